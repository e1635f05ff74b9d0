// What the two levels of the output checker judge alike: the host level (HostLevelCheck.cpp) and
// the writer-form level (WriterFormCheck.cpp) take these from here. Where the levels differ on
// purpose, the level's own file says why.
#pragma once

#include <algorithm>
#include <cstddef>
#include <string_view>
#include <vector>

namespace check {

// Point-marker codes the host draws: -7 to 0 plain points, 1 to 11 the marks. The writer clamps
// a code into this range.
inline constexpr int MarkerCodeLow = -7;
inline constexpr int MarkerCodeHigh = 11;
// The host's line widths; the writer clamps a width into them.
inline constexpr int LineWidthHigh = 30000;
// "cc0" to "cc8": the nine reference points of a text.
inline constexpr char TextReferenceHigh = '8';
// Layers and layer groups are 32-bit: at most 8 hexadecimal digits.
inline constexpr std::size_t HexDigitsMax = 8;

// The ten text commands: a keyword, four numbers, a double quote and the text.
inline constexpr std::string_view TextKeywords[] = {"ch", "cv", "cs", "cr", "co",
                                                    "cp", "ct", "ck", "cz", "c2"};

inline bool IsTextKeyword(std::string_view keyword) {
    for (std::string_view k : TextKeywords) {
        if (keyword == k) return true;
    }
    return false;
}

// "z1" to "z5", alone on the line.
inline bool IsZFlag(std::string_view keyword) {
    return keyword.size() == 2 && keyword[0] == 'z' && keyword[1] >= '1' && keyword[1] <= '5';
}

// The digit after "cc": one of 0 to 8.
inline bool IsTextReference(std::string_view digit) {
    return digit.size() == 1 && digit[0] >= '0' && digit[0] <= TextReferenceHigh;
}

// A byte that starts a two-byte character in the host's code page 932 (0x81 to 0x9F, 0xE0 to
// 0xFC); the byte after it belongs to that character whatever its value.
constexpr bool StartsTwoByteChar(unsigned char b) {
    return (b >= 0x81 && b <= 0x9F) || (b >= 0xE0 && b <= 0xFC);
}

// The file's lines, each without lineEnd; a last line without it is a line too.
inline std::vector<std::string_view> SplitLines(std::string_view file, std::string_view lineEnd) {
    std::vector<std::string_view> lines;
    for (std::size_t start = 0; start < file.size();) {
        const std::size_t end = std::min(file.find(lineEnd, start), file.size());
        lines.push_back(file.substr(start, end - start));
        start = end + lineEnd.size();
    }
    return lines;
}

}  // namespace check
