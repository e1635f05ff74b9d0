// Whole files through the standard streams.
#include "HostFiles.h"

#include <fstream>
#include <iterator>
#include <system_error>

bool ReadWholeFile(const std::filesystem::path& path, std::string& bytes, std::string& error) {
    std::error_code ec;
    const auto status = std::filesystem::status(path, ec);
    std::ifstream in;
    if (std::filesystem::is_directory(status)) {
        error = path.string() + " is a folder";
    } else if (!std::filesystem::exists(status)) {
        error = path.string() + " is missing";
    } else if (in.open(path, std::ios::binary); in) {
        bytes.assign(std::istreambuf_iterator<char>(in), {});
        if (!in.bad()) return true;
    }
    if (error.empty()) error = path.string() + " cannot be read";
    bytes.clear();
    return false;
}

bool WriteWholeFile(const std::filesystem::path& path, std::string_view bytes, std::string& error) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    if (out.flush()) return true;
    error = "could not write " + path.string();
    return false;
}
