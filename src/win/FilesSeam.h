// Where a test build of the exe answers for the system in the file layer (Files.cpp), to show
// what Windows answers and Wine does not.
#pragma once

// Makes the folder `name` (already in its long-path form): true when made, else false with the
// system's error code set for GetLastError.
using TCreateFolderCall = bool (*)(const wchar_t* name);
// Null gives the system's CreateDirectoryW back.
void SetCreateFolderCall(TCreateFolderCall call);
