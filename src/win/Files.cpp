// The core's file operations on Windows: wide names straight to the system, so that neither the
// standard library's file streams nor its filesystem operations (and the locale machinery they
// bring) are linked. Every call into the system is made here, and each function:
// - hands the system the long-path form of its names (LongPath.h), since a tool folder deep in a
//   project tree passes the 248 characters that Windows otherwise allows a folder;
// - sets the floating-point state again when it returns (Fpu.h): security products hook the
//   file functions in every process, and whatever they leave behind must not reach the numbers
//   that the reader parses or the dimension that OK computes after saving the settings.
#include <windows.h>

#include "Files.h"

#include "FilesSeam.h"
#include "Fpu.h"
#include "LongPath.h"

namespace {

constexpr ULONGLONG RetryForMs = 1000;

bool HeldByAnotherHandle(DWORD error) {
    return error == ERROR_SHARING_VIOLATION || error == ERROR_LOCK_VIOLATION ||
           error == ERROR_ACCESS_DENIED;
}

std::wstring Long(const TPath& path) { return LongPathForm(path.Native()); }

bool SystemCreateFolder(const wchar_t* name) { return CreateDirectoryW(name, nullptr); }

TCreateFolderCall CreateFolderCall = SystemCreateFolder;

// Whether a name that a folder could not be made under is somebody's: it is found, or asking
// about it is refused as well (a folder whose deletion is pending, which a virus scanner, the
// indexer or a sync client still holds open).
bool NameIsTaken(const std::wstring& name) {
    WIN32_FILE_ATTRIBUTE_DATA data;
    if (GetFileAttributesExW(name.c_str(), GetFileExInfoStandard, &data)) return true;
    const DWORD error = GetLastError();
    return error == ERROR_ACCESS_DENIED || error == ERROR_DELETE_PENDING;
}

}  // namespace

void SetCreateFolderCall(TCreateFolderCall call) {
    CreateFolderCall = call ? call : SystemCreateFolder;
}

TOpenFile OpenFileToRead(const TPath& path) {
    const TFpuRestore restore;
    const std::wstring name = Long(path);
    return TOpenFile(_wfopen(name.c_str(), L"rb"));
}

TOpenFile OpenFileToWrite(const TPath& path) {
    const TFpuRestore restore;
    const std::wstring name = Long(path);
    return TOpenFile(_wfopen(name.c_str(), L"wb"));
}

void TCloseFile::operator()(std::FILE* file) const {
    const TFpuRestore restore;
    std::fclose(file);
}

std::size_t ReadFromFile(const TOpenFile& file, char* into, std::size_t size, bool& failed) {
    const TFpuRestore restore;
    const std::size_t got = std::fread(into, 1, size, file.get());
    if (got < size && std::ferror(file.get())) failed = true;
    return got;
}

bool WriteToFile(const TOpenFile& file, std::string_view bytes) {
    const TFpuRestore restore;
    return std::fwrite(bytes.data(), 1, bytes.size(), file.get()) == bytes.size();
}

bool CloseFile(TOpenFile file) {
    const TFpuRestore restore;
    return std::fclose(file.release()) == 0;
}

bool FileFacts(const TPath& path, TFileFacts& facts) {
    const TFpuRestore restore;
    const std::wstring name = Long(path);
    WIN32_FILE_ATTRIBUTE_DATA data;
    if (!GetFileAttributesExW(name.c_str(), GetFileExInfoStandard, &data)) return false;
    facts = {};
    facts.Regular = (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) == 0;
    if (!facts.Regular) return true;
    facts.ReadOnly = (data.dwFileAttributes & FILE_ATTRIBUTE_READONLY) != 0;
    facts.Bytes = (std::uintmax_t{data.nFileSizeHigh} << 32) | data.nFileSizeLow;
    return true;
}

// Windows says "already exists" for a folder and for a file of that name alike; Wine may say
// "file exists" for the latter. A folder whose deletion is still pending gets "access denied",
// as does a folder we may not write in: only the first is a name to pass over.
TMakeFolder MakeFolder(const TPath& path) {
    const TFpuRestore restore;
    const std::wstring name = Long(path);
    if (CreateFolderCall(name.c_str())) return TMakeFolder::Made;
    const DWORD error = GetLastError();
    if (error == ERROR_ALREADY_EXISTS || error == ERROR_FILE_EXISTS) return TMakeFolder::Taken;
    if (error == ERROR_ACCESS_DENIED && NameIsTaken(name)) return TMakeFolder::Taken;
    return TMakeFolder::Failed;
}

bool RemoveFile(const TPath& path) {
    const TFpuRestore restore;
    const std::wstring name = Long(path);
    return DeleteFileW(name.c_str());
}

bool RemoveFolder(const TPath& path) {
    const TFpuRestore restore;
    const std::wstring name = Long(path);
    return RemoveDirectoryW(name.c_str());
}

// A virus scanner or the search indexer often holds a freshly written file for a few
// milliseconds: the rename is tried again for about a second while either file is held by
// another handle (sharing or lock violation on our temporary, access denied on a held target;
// Wine says access denied for any opened target). Any other failure, or one that outlasts the
// wait, gives false at once with both files as they were.
bool RenameFileOver(const TPath& from, const TPath& to) {
    const TFpuRestore restore;
    const std::wstring fromName = Long(from);
    const std::wstring toName = Long(to);
    const ULONGLONG start = GetTickCount64();
    DWORD pauseMs = 5;
    for (;;) {
        if (MoveFileExW(fromName.c_str(), toName.c_str(), MOVEFILE_REPLACE_EXISTING)) return true;
        if (!HeldByAnotherHandle(GetLastError()) || GetTickCount64() - start >= RetryForMs) {
            return false;
        }
        Sleep(pauseMs);
        pauseMs = pauseMs < 80 ? pauseMs * 2 : 100;
    }
}
