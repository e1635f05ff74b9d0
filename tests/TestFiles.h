// Files for tests: whole-file bytes in and out, the samples in tests/data, and a scratch folder
// that lives as long as the test.
#pragma once

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>
#include <string>
#include <system_error>

inline std::string ReadBytes(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

inline void WriteBytes(const std::filesystem::path& path, const std::string& bytes) {
    std::ofstream(path, std::ios::binary) << bytes;
}

inline std::filesystem::path DataFile(const char* name) {
    return std::filesystem::path(PARDIM_TEST_DATA) / name;
}

// A new empty folder named after the running test; removed with everything in it (made
// writable again first, for the tests that take the rights away).
class TScratchFolder {
public:
    explicit TScratchFolder(const char* prefix) {
        const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
        std::random_device random;
        Path = std::filesystem::temp_directory_path() /
               (std::string(prefix) + "-" + info->test_suite_name() + "-" + info->name() + "-" +
                std::to_string(random()));
        std::filesystem::remove_all(Path);
        std::filesystem::create_directories(Path);
    }
    ~TScratchFolder() {
        std::error_code ec;
        std::filesystem::permissions(Path, std::filesystem::perms::owner_all,
                                     std::filesystem::perm_options::add, ec);
        std::filesystem::remove_all(Path, ec);
    }
    TScratchFolder(const TScratchFolder&) = delete;
    TScratchFolder& operator=(const TScratchFolder&) = delete;

    std::filesystem::path Path;
};
