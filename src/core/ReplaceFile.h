// Replacing a file as a whole: the new bytes are written beside it and take its place only
// once they are complete.
#pragma once

#include <filesystem>
#include <string_view>

// False when the file could not be replaced; the old file (or its absence) is then untouched
// and nothing of ours is left beside it.
[[nodiscard]] bool ReplaceFile(const std::filesystem::path& path, std::string_view bytes);
