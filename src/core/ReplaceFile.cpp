// Write beside, then rename: the one way a file of ours is replaced.
#include "ReplaceFile.h"

#include <array>
#include <charconv>
#include <fstream>
#include <string>
#include <system_error>

namespace {

bool RenameWithStandardLibrary(const std::filesystem::path& from, const std::filesystem::path& to) {
    std::error_code ec;
    std::filesystem::rename(from, to, ec);
    return !ec;
}

TRenameOver RenameOver = RenameWithStandardLibrary;

// How many names beside the target are tried for the temporary.
constexpr int MaxTempNames = 100;

// path + ".tmp", then path + ".tmp1" to ".tmp99".
std::filesystem::path TempName(const std::filesystem::path& path, int n) {
    std::filesystem::path name = path;
    name += ".tmp";
    if (n > 0) {
        std::array<char, 16> digits{};
        name += std::string(digits.data(),
                            std::to_chars(digits.data(), digits.data() + digits.size(), n).ptr);
    }
    return name;
}

// A new, empty folder beside path, or an empty path when none can be made. Creating a folder
// fails on any name already taken, file or folder, so the temporary inside it can never be
// somebody's file; unlike the C library's exclusive open, this takes wide paths and works on
// every Windows runtime.
std::filesystem::path MakeTempFolder(const std::filesystem::path& path) {
    for (int n = 0; n < MaxTempNames; ++n) {
        const std::filesystem::path folder = TempName(path, n);
        std::error_code ec;
        if (std::filesystem::create_directory(folder, ec)) return folder;
        if (ec && ec != std::errc::file_exists) break;  // no folder can be made here at all
    }
    return {};
}

[[nodiscard]] bool WriteWholeFile(const std::filesystem::path& path, std::string_view bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    if (!out.is_open()) return false;
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    out.flush();
    if (!out) return false;
    out.close();
    return !out.fail();
}

// A file its owner made read-only is the user's decision to keep it. Windows refuses to rename
// over such a file; POSIX leaves it to the folder's rights and would silently replace it, so the
// file's own rights are checked first and both systems keep it alike (root included).
bool IsReadOnlyFile(const std::filesystem::path& path) {
    std::error_code ec;
    const std::filesystem::file_status status = std::filesystem::status(path, ec);
    return !ec && std::filesystem::is_regular_file(status) &&
           (status.permissions() & std::filesystem::perms::owner_write) ==
               std::filesystem::perms::none;
}

}  // namespace

bool ReplaceFile(const std::filesystem::path& path, std::string_view bytes) {
    if (IsReadOnlyFile(path)) return false;
    const std::filesystem::path folder = MakeTempFolder(path);
    if (folder.empty()) return false;
    const std::filesystem::path temp = folder / path.filename();
    // The temporary and its folder go whatever happens, an exception from the rename included.
    struct TCleanUp {
        const std::filesystem::path& Temp;
        const std::filesystem::path& Folder;
        ~TCleanUp() {
            std::error_code ec;
            std::filesystem::remove(Temp, ec);
            std::filesystem::remove(Folder, ec);
        }
    } cleanUp{temp, folder};
    return WriteWholeFile(temp, bytes) && RenameOver(temp, path);
}

void SetRenameOver(TRenameOver rename) { RenameOver = rename ? rename : RenameWithStandardLibrary; }
