// Whole files for the host stand-in: its input, the tool's output and the pictures.
#pragma once

#include <filesystem>
#include <string>
#include <string_view>

// The whole file; false with the one-line reason: "<path> is missing", "<path> is a folder" or
// "<path> cannot be read".
bool ReadWholeFile(const std::filesystem::path& path, std::string& bytes, std::string& error);

// Replaces the file with the bytes; false with "could not write <path>".
bool WriteWholeFile(const std::filesystem::path& path, std::string_view bytes, std::string& error);
