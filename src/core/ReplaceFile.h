// Replacing a file so that whoever reads it finds either the old contents or all of the new.
#pragma once

#include <string_view>

#include "Files.h"

// <windows.h> maps ReplaceFile to the system's ReplaceFileW; this one is ours.
#ifdef ReplaceFile
#undef ReplaceFile
#endif

// Writes bytes to a temporary beside path and renames that over path. False when any step
// fails, or when path is a file its owner may not write: path is then as it was and the
// temporary is gone. Never writes over any other file.
[[nodiscard]] bool ReplaceFile(const TPath& path, std::string_view bytes);

// The last step: puts the finished file `from` in the place of `to`, true when it is there. It is
// the platform's RenameFileOver (Files.h); a test may plant another, and null gives that back.
using TRenameOver = bool (*)(const TPath& from, const TPath& to);
void SetRenameOver(TRenameOver rename);
