// What every fuzz target shares: stopping on a broken invariant, a scratch folder of its own,
// and whole files as bytes.
#pragma once

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>

// Prints what broke and aborts, so libFuzzer keeps the input that broke it.
void Require(bool holds, const char* what);
void Require(bool holds, const std::string& what);

// A folder of this process alone, created on first use and removed at exit.
const std::filesystem::path& FuzzFolder();

// The output checker's host level: every line a form the host reads. Only a value or text that
// the writer passes through as it was given may be one the host does not take.
void RequireHostCanRead(std::string_view file);

std::string ReadFileBytes(const std::filesystem::path& path);
void WriteFileBytes(const std::filesystem::path& path, std::string_view bytes);

// Pulls values off the front of the fuzzer's input; past its end everything is zero.
class TFuzzInput {
public:
    TFuzzInput(const std::uint8_t* data, std::size_t size)
        : Rest(reinterpret_cast<const char*>(data), size) {}
    std::uint8_t Byte();
    std::uint32_t Bytes(int count);  // little-endian, 1 to 4 bytes
    double Real();                   // any bit pattern: infinities, NaN and subnormals included
    std::string_view Text(std::size_t maxBytes);
    std::string_view Remaining() const { return Rest; }

private:
    std::string_view Rest;
};
