// Write-beside-then-rename, for the exchange file and the settings file alike.
#include "ReplaceFile.h"

#include <fstream>
#include <random>
#include <string>
#include <system_error>

namespace {

// A temporary name beside the target that no file has yet, so that nothing of the user's is
// overwritten. (The standard library has no exclusive create for wide paths; the folder is the
// tool's own, where nothing else makes files while it runs.)
bool UnusedNameBeside(const std::filesystem::path& path, std::filesystem::path& temp) {
    std::random_device seed;
    std::minstd_rand random(seed());
    for (int attempt = 0; attempt < 100; ++attempt) {
        temp = path;
        temp += ".tmp" + std::to_string(random() % 1000000);
        std::error_code ec;
        const auto status = std::filesystem::symlink_status(temp, ec);
        if (status.type() == std::filesystem::file_type::not_found) return true;
    }
    return false;
}

}  // namespace

bool ReplaceFile(const std::filesystem::path& path, std::string_view bytes) {
    std::filesystem::path temp;
    if (!UnusedNameBeside(path, temp)) return false;
    std::ofstream out(temp, std::ios::binary | std::ios::trunc);
    if (!out.is_open()) return false;  // nothing of ours to clean up
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    out.flush();
    out.close();
    std::error_code ec;
    if (out) {
        std::filesystem::rename(temp, path, ec);
        if (!ec) return true;
    }
    std::filesystem::remove(temp, ec);
    return false;
}
