// Shared pieces of the fuzz targets.
#include "FuzzSupport.h"

#include <stdlib.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <iterator>
#include <system_error>

#include "OutputCheck.h"

namespace {

std::filesystem::path* Folder = nullptr;

// Memory-backed where the machine has it: replacing a file on disk waits for the disk, which
// would slow every run tenfold.
std::filesystem::path ScratchRoot() {
    std::error_code ec;
    if (!std::getenv("TMPDIR") && std::filesystem::is_directory("/dev/shm", ec)) return "/dev/shm";
    return std::filesystem::temp_directory_path();
}

void RemoveFolder() {
    std::error_code ec;
    if (Folder) std::filesystem::remove_all(*Folder, ec);
}

}  // namespace

void Require(bool holds, const char* what) {
    if (holds) return;
    std::fprintf(stderr, "invariant broken: %s\n", what);
    RemoveFolder();  // abort runs no exit handler
    std::abort();
}

void Require(bool holds, const std::string& what) { Require(holds, what.c_str()); }

void RequireHostCanRead(std::string_view file) {
    for (const TCheckProblem& problem : CheckHostLevel(file)) {
        Require(problem.PassedThrough,
                "the host can read line " + std::to_string(problem.Line) + ": " + problem.Message);
    }
}

const std::filesystem::path& FuzzFolder() {
    if (!Folder) {
        std::string pattern = ScratchRoot() / "pardim-fuzz-XXXXXX";
        Require(mkdtemp(pattern.data()) != nullptr, "a scratch folder can be made");
        Folder = new std::filesystem::path(pattern);
        std::atexit(RemoveFolder);
    }
    return *Folder;
}

std::string ReadFileBytes(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

void WriteFileBytes(const std::filesystem::path& path, std::string_view bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    Require(static_cast<bool>(out), "the scratch file is written");
}

std::uint8_t TFuzzInput::Byte() {
    if (Rest.empty()) return 0;
    const auto b = static_cast<std::uint8_t>(Rest[0]);
    Rest.remove_prefix(1);
    return b;
}

std::uint32_t TFuzzInput::Bytes(int count) {
    std::uint32_t value = 0;
    for (int i = 0; i < count; ++i) value |= static_cast<std::uint32_t>(Byte()) << (8 * i);
    return value;
}

double TFuzzInput::Real() {
    char bytes[sizeof(double)] = {};
    const std::size_t n = std::min(Rest.size(), sizeof bytes);
    std::memcpy(bytes, Rest.data(), n);
    Rest.remove_prefix(n);
    double value;
    std::memcpy(&value, bytes, sizeof value);
    return value;
}

std::string_view TFuzzInput::Text(std::size_t maxBytes) {
    const std::size_t length = Bytes(2);
    const std::size_t n = std::min({length % (maxBytes + 1), Rest.size()});
    const std::string_view text = Rest.substr(0, n);
    Rest.remove_prefix(n);
    return text;
}
