// Files for tests: whole-file bytes in and out, the samples in tests/data, and a scratch folder
// that lives as long as the test.
#pragma once

#include <gtest/gtest.h>
#include <sys/wait.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <cstdlib>
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

// Runs `program args` through the shell, with what it prints and its errors caught in files
// beside `scratch`; returns its exit status, or -1 when it did not exit.
inline int RunProgram(const std::string& program, const std::string& args,
                      const std::filesystem::path& scratch, std::string& out, std::string& err) {
    const std::filesystem::path outFile = scratch.string() + ".out";
    const std::filesystem::path errFile = scratch.string() + ".err";
    const std::string command = "'" + program + "' " + args + " >'" + outFile.string() + "' 2>'" +
                                errFile.string() + "'";
    const int status = std::system(command.c_str());
    out = ReadBytes(outFile);
    err = ReadBytes(errFile);
    std::filesystem::remove(outFile);
    std::filesystem::remove(errFile);
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}
