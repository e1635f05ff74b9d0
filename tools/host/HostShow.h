// What the tool sees in an exchange file, as a short report for support questions.
#pragma once

#include <filesystem>
#include <string>

// The report in UTF-8; false when the file cannot be read.
bool ShowExchangeFile(const std::filesystem::path& path, std::string& report);
