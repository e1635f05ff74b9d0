// The core's file operations on Windows: wide names straight to the system, so that neither the
// standard library's file streams nor its filesystem operations (and the locale machinery they
// bring) are linked.
#include <windows.h>

#include "Files.h"

namespace {

constexpr ULONGLONG RetryForMs = 1000;

bool HeldByAnotherHandle(DWORD error) {
    return error == ERROR_SHARING_VIOLATION || error == ERROR_LOCK_VIOLATION ||
           error == ERROR_ACCESS_DENIED;
}

}  // namespace

TOpenFile OpenFileToRead(const TPath& path) { return TOpenFile(_wfopen(path.c_str(), L"rb")); }

TOpenFile OpenFileToWrite(const TPath& path) { return TOpenFile(_wfopen(path.c_str(), L"wb")); }

bool FileFacts(const TPath& path, TFileFacts& facts) {
    WIN32_FILE_ATTRIBUTE_DATA data;
    if (!GetFileAttributesExW(path.c_str(), GetFileExInfoStandard, &data)) return false;
    facts = {};
    facts.Regular = (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) == 0;
    if (!facts.Regular) return true;
    facts.ReadOnly = (data.dwFileAttributes & FILE_ATTRIBUTE_READONLY) != 0;
    facts.Bytes = (std::uintmax_t{data.nFileSizeHigh} << 32) | data.nFileSizeLow;
    return true;
}

// Windows says "already exists" for a folder and for a file of that name alike; Wine may say
// "file exists" for the latter.
TMakeFolder MakeFolder(const TPath& path) {
    if (CreateDirectoryW(path.c_str(), nullptr)) return TMakeFolder::Made;
    const DWORD error = GetLastError();
    return error == ERROR_ALREADY_EXISTS || error == ERROR_FILE_EXISTS ? TMakeFolder::Taken
                                                                       : TMakeFolder::Failed;
}

bool RemoveFile(const TPath& path) { return DeleteFileW(path.c_str()); }

bool RemoveFolder(const TPath& path) { return RemoveDirectoryW(path.c_str()); }

// A virus scanner or the search indexer often holds a freshly written file for a few
// milliseconds: the rename is tried again for about a second while either file is held by
// another handle (sharing or lock violation on our temporary, access denied on a held target;
// Wine says access denied for any opened target). Any other failure, or one that outlasts the
// wait, gives false at once with both files as they were.
bool RenameFileOver(const TPath& from, const TPath& to) {
    const ULONGLONG start = GetTickCount64();
    DWORD pauseMs = 5;
    for (;;) {
        if (MoveFileExW(from.c_str(), to.c_str(), MOVEFILE_REPLACE_EXISTING)) return true;
        if (!HeldByAnotherHandle(GetLastError()) || GetTickCount64() - start >= RetryForMs) {
            return false;
        }
        Sleep(pauseMs);
        pauseMs = pauseMs < 80 ? pauseMs * 2 : 100;
    }
}
