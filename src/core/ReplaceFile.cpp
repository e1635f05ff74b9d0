// Write beside, then rename: the one way a file of ours is replaced.
#include "ReplaceFile.h"

#include <array>
#include <charconv>
#include <utility>

#include "Files.h"

namespace {

TRenameOver RenameOver = RenameFileOver;

// How many names beside the target are tried for the temporary.
constexpr int MaxTempNames = 100;

// path + ".tmp", then path + ".tmp1" to ".tmp99".
TPath TempName(const TPath& path, int n) {
    if (n == 0) return path + ".tmp";
    std::array<char, 16> digits{};
    return path + ".tmp" +
           std::string_view(digits.data(),
                            std::to_chars(digits.data(), digits.data() + digits.size(), n).ptr);
}

// A new, empty folder beside path, or an empty path when none can be made. Creating a folder
// fails on any name already taken, file or folder, so the temporary inside it can never be
// somebody's file; unlike the C library's exclusive open, this takes wide paths and works on
// every Windows runtime.
TPath MakeTempFolder(const TPath& path) {
    for (int n = 0; n < MaxTempNames; ++n) {
        const TPath folder = TempName(path, n);
        const TMakeFolder made = MakeFolder(folder);
        if (made == TMakeFolder::Made) return folder;
        if (made == TMakeFolder::Failed) break;  // no folder can be made here at all
    }
    return {};
}

// Every byte written and the file closed without an error.
[[nodiscard]] bool WriteWholeFile(const TPath& path, std::string_view bytes) {
    TOpenFile out = OpenFileToWrite(path);
    if (!out) return false;
    const bool written = WriteToFile(out, bytes);
    return CloseFile(std::move(out)) && written;
}

// A file its owner made read-only is the user's decision to keep it. Windows refuses to rename
// over such a file; POSIX leaves it to the folder's rights and would silently replace it, so the
// file's own rights are checked first and both systems keep it alike (root included).
bool IsReadOnlyFile(const TPath& path) {
    TFileFacts facts;
    return FileFacts(path, facts) && facts.ReadOnly;
}

}  // namespace

bool ReplaceFile(const TPath& path, std::string_view bytes) {
    if (IsReadOnlyFile(path)) return false;
    const TPath folder = MakeTempFolder(path);
    if (folder.empty()) return false;
    const TPath temp = folder / path.FileName();
    // The temporary and its folder go whatever happens, an exception from the rename included.
    struct TCleanUp {
        const TPath& Temp;
        const TPath& Folder;
        ~TCleanUp() {
            RemoveFile(Temp);
            RemoveFolder(Folder);
        }
    } cleanUp{temp, folder};
    return WriteWholeFile(temp, bytes) && RenameOver(temp, path);
}

void SetRenameOver(TRenameOver rename) { RenameOver = rename ? rename : RenameFileOver; }
