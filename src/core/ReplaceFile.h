// Replacing a file so that whoever reads it finds either the old contents or all of the new.
#pragma once

#include <filesystem>
#include <string_view>

// Writes bytes to a temporary beside path and renames that over path. False when any step
// fails, or when path is a file its owner may not write: path is then as it was and the
// temporary is gone. Never writes over any other file.
[[nodiscard]] bool ReplaceFile(const std::filesystem::path& path, std::string_view bytes);
