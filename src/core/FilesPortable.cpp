// The core's file operations through the standard library, for every system but Windows.
#include <system_error>

#include "Files.h"

namespace fs = std::filesystem;

namespace {

fs::path Std(const TPath& path) { return path.Native(); }

}  // namespace

TOpenFile OpenFileToRead(const TPath& path) { return TOpenFile(std::fopen(path.c_str(), "rb")); }

TOpenFile OpenFileToWrite(const TPath& path) { return TOpenFile(std::fopen(path.c_str(), "wb")); }

void TCloseFile::operator()(std::FILE* file) const { std::fclose(file); }

std::size_t ReadFromFile(const TOpenFile& file, char* into, std::size_t size, bool& failed) {
    const std::size_t got = std::fread(into, 1, size, file.get());
    if (got < size && std::ferror(file.get())) failed = true;
    return got;
}

bool WriteToFile(const TOpenFile& file, std::string_view bytes) {
    return std::fwrite(bytes.data(), 1, bytes.size(), file.get()) == bytes.size();
}

bool CloseFile(TOpenFile file) { return std::fclose(file.release()) == 0; }

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
