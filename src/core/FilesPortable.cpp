// The core's file operations through the standard library, for every system but Windows.
#include "Files.h"

#include <system_error>

namespace fs = std::filesystem;

namespace {

fs::path Std(const TPath& path) { return path.Native(); }

}  // namespace

TOpenFile OpenFileToRead(const TPath& path) { return TOpenFile(std::fopen(path.c_str(), "rb")); }

TOpenFile OpenFileToWrite(const TPath& path) { return TOpenFile(std::fopen(path.c_str(), "wb")); }

bool FileFacts(const TPath& path, TFileFacts& facts) {
    std::error_code ec;
    const fs::file_status status = fs::status(Std(path), ec);
    if (ec || !fs::exists(status)) return false;
    facts = {};
    facts.Regular = fs::is_regular_file(status);
    if (!facts.Regular) return true;
    facts.ReadOnly = (status.permissions() & fs::perms::owner_write) == fs::perms::none;
    const std::uintmax_t bytes = fs::file_size(Std(path), ec);
    if (!ec) facts.Bytes = bytes;
    return true;
}

// An existing folder is no error to create_directory, an existing file is.
TMakeFolder MakeFolder(const TPath& path) {
    std::error_code ec;
    if (fs::create_directory(Std(path), ec)) return TMakeFolder::Made;
    return !ec || ec == std::errc::file_exists ? TMakeFolder::Taken : TMakeFolder::Failed;
}

bool RemoveFile(const TPath& path) {
    std::error_code ec;
    return fs::remove(Std(path), ec);
}

bool RemoveFolder(const TPath& path) { return RemoveFile(path); }

bool RenameFileOver(const TPath& from, const TPath& to) {
    std::error_code ec;
    fs::rename(Std(from), Std(to), ec);
    return !ec;
}
