// Text helpers: blanks, whole-character cuts, full width, line breaks and the length estimate. Texts are
// Shift-JIS bytes, walked character by character with IsLeadByte.
#include "MyFunc.h"

#include <cstdint>
#include <string>

namespace {

// Length of the character starting at byte i: a lead byte with nothing after it is one byte.
std::size_t CharLength(std::string_view text, std::size_t i) {
    return IsLeadByte(static_cast<unsigned char>(text[i])) && i + 1 < text.size() ? 2 : 1;
}

// Full-width forms in code page 932 of the blank and printable ASCII (0x20-0x7E) and of the
// half-width katakana (0xA1-0xDF). Our own table, so every machine maps alike; derived from
// the Unicode width forms (U+3000, U+FF01-U+FF5E, the katakana and their voiced marks as the
// spacing U+309B/U+309C).
constexpr std::uint16_t AsciiFullWidth[0x7F - 0x20] = {
    0x8140, 0x8149, 0xFA57, 0x8194, 0x8190, 0x8193, 0x8195, 0xFA56,  //  !"#$%&'
    0x8169, 0x816A, 0x8196, 0x817B, 0x8143, 0x817C, 0x8144, 0x815E,  // ()*+,-./
    0x824F, 0x8250, 0x8251, 0x8252, 0x8253, 0x8254, 0x8255, 0x8256,  // 01234567
    0x8257, 0x8258, 0x8146, 0x8147, 0x8183, 0x8181, 0x8184, 0x8148,  // 89:;<=>?
    0x8197, 0x8260, 0x8261, 0x8262, 0x8263, 0x8264, 0x8265, 0x8266,  // @ABCDEFG
    0x8267, 0x8268, 0x8269, 0x826A, 0x826B, 0x826C, 0x826D, 0x826E,  // HIJKLMNO
    0x826F, 0x8270, 0x8271, 0x8272, 0x8273, 0x8274, 0x8275, 0x8276,  // PQRSTUVW
    0x8277, 0x8278, 0x8279, 0x816D, 0x815F, 0x816E, 0x814F, 0x8151,  // XYZ[\]^_
    0x814D, 0x8281, 0x8282, 0x8283, 0x8284, 0x8285, 0x8286, 0x8287,  // `abcdefg
    0x8288, 0x8289, 0x828A, 0x828B, 0x828C, 0x828D, 0x828E, 0x828F,  // hijklmno
    0x8290, 0x8291, 0x8292, 0x8293, 0x8294, 0x8295, 0x8296, 0x8297,  // pqrstuvw
    0x8298, 0x8299, 0x829A, 0x816F, 0x8162, 0x8170, 0x8160,          // xyz{|}~
};
constexpr std::uint16_t KanaFullWidth[0xE0 - 0xA1] = {
    0x8142, 0x8175, 0x8176, 0x8141, 0x8145, 0x8392, 0x8340, 0x8342,  // 。「」、・ヲァィ
    0x8344, 0x8346, 0x8348, 0x8383, 0x8385, 0x8387, 0x8362, 0x815B,  // ゥェォャュョッー
    0x8341, 0x8343, 0x8345, 0x8347, 0x8349, 0x834A, 0x834C, 0x834E,  // アイウエオカキク
    0x8350, 0x8352, 0x8354, 0x8356, 0x8358, 0x835A, 0x835C, 0x835E,  // ケコサシスセソタ
    0x8360, 0x8363, 0x8365, 0x8367, 0x8369, 0x836A, 0x836B, 0x836C,  // チツテトナニヌネ
    0x836D, 0x836E, 0x8371, 0x8374, 0x8377, 0x837A, 0x837D, 0x837E,  // ノハヒフヘホマミ
    0x8380, 0x8381, 0x8382, 0x8384, 0x8386, 0x8388, 0x8389, 0x838A,  // ムメモヤユヨラリ
    0x838B, 0x838C, 0x838D, 0x838F, 0x8393, 0x814A, 0x814B,          // ルレロワン゛゜
};

void AppendPair(std::string& out, std::uint16_t pair) {
    out += static_cast<char>(pair >> 8);
    out += static_cast<char>(pair & 0xFF);
}

// Hiragana ぁ..ん (0x829F-0x82F1) to katakana ァ..ン; katakana skip the trail byte 0x7F.
std::uint16_t HiraganaToKatakana(unsigned char trail) {
    return trail <= 0xDD ? 0x8300 + (trail - 0x5F) : 0x8300 + (trail - 0x5E);
}

// One chunk mapped to full width: at most twice its length.
void AppendFullWidth(std::string& out, std::string_view chunk) {
    for (std::size_t i = 0; i < chunk.size();) {
        unsigned char b = static_cast<unsigned char>(chunk[i]);
        std::size_t length = CharLength(chunk, i);
        if (length == 2) {
            unsigned char trail = static_cast<unsigned char>(chunk[i + 1]);
            if (b == 0x82 && trail >= 0x9F && trail <= 0xF1) {
                AppendPair(out, HiraganaToKatakana(trail));
            } else {
                out.append(chunk.substr(i, 2));
            }
        } else if (b >= 0x20 && b <= 0x7E) {
            AppendPair(out, AsciiFullWidth[b - 0x20]);
        } else if (b >= 0xA1 && b <= 0xDF) {
            AppendPair(out, KanaFullWidth[b - 0xA1]);
        } else {
            out += chunk[i];  // controls, DEL, unassigned bytes and a lone final lead byte
        }
        i += length;
    }
}

// The host ends a line at a CR or an LF, so a text that carried one would run its rest as a
// command.
bool IsLineBreak(char c) { return c == '\r' || c == '\n'; }

}  // namespace

std::string RemoveBlanks(std::string_view text) {
    std::string result;
    result.reserve(text.size());
    for (std::size_t i = 0; i < text.size();) {
        std::size_t length = CharLength(text, i);
        unsigned char b = static_cast<unsigned char>(text[i]);
        bool blank = length == 2 ? (b == 0x81 && static_cast<unsigned char>(text[i + 1]) == 0x40)
                                 : b <= 0x20;
        if (!blank) result.append(text.substr(i, length));
        i += length;
    }
    return result;
}

std::string CopyWholeChars(std::string_view text, int start, int count, int& bytesTaken) {
    bytesTaken = 0;
    if (text.empty() || start < 1 || static_cast<std::size_t>(start) > text.size() || count <= 0) {
        return {};
    }
    // 1-based positions; 64-bit so start + count cannot overflow.
    std::int64_t first = start;
    std::int64_t last = first + count - 1;
    std::string result;
    for (std::size_t i = 0; i < text.size();) {
        std::size_t length = CharLength(text, i);
        std::int64_t pos = static_cast<std::int64_t>(i) + 1;
        if (pos > last) break;
        if (pos >= first && pos + static_cast<std::int64_t>(length) - 1 <= last) {
            result.append(text.substr(i, length));
        }
        i += length;
    }
    bytesTaken = static_cast<int>(result.size());
    return result;
}

std::string TruncateWholeChars(std::string_view text, std::size_t maxBytes) {
    if (text.size() <= maxBytes) return std::string(text);
    std::size_t end = 0;
    while (end < text.size()) {
        std::size_t length = CharLength(text, end);
        if (end + length > maxBytes) break;
        end += length;
    }
    return std::string(text.substr(0, end));
}

std::string ToFullWidth(std::string_view text) {
    // Chunks of 126 bytes, cut between whole characters, so each maps into 252 bytes.
    constexpr int ChunkBytes = 126;
    std::string result;
    result.reserve(text.size() * 2);
    int position = 1;
    for (;;) {
        int taken = 0;
        std::string chunk = CopyWholeChars(text, position, ChunkBytes, taken);
        if (taken == 0) break;
        AppendFullWidth(result, chunk);
        position += taken;
    }
    return result;
}

double MeasureText(std::string_view text, double width, double spacing) {
    double length = 0;
    for (std::size_t i = 0; i < text.size();) {
        unsigned char b = static_cast<unsigned char>(text[i]);
        bool wide = IsLeadByte(b);  // a lone final lead byte still counts full width
        std::size_t next = i + (wide ? 2 : 1);
        long double charWidth = wide ? width : (b >= 0x20 ? width / 2.0L : 0.0L);
        long double gap = wide ? spacing : spacing / 2.0L;
        length = static_cast<double>(length + charWidth);
        if (next < text.size()) length = static_cast<double>(length + gap);
        i = next;
    }
    return length;
}

// No character of code page 932 has a second byte below 0x40, so a lead byte before a CR or LF
// starts a broken character, and on its own it would take the next byte as its partner: both
// go. A lead byte that ends the text goes too, or it would take the CR of the line end.
std::string DropLineBreaks(std::string_view text) {
    std::string result;
    result.reserve(text.size());
    for (std::size_t i = 0; i < text.size();) {
        if (IsLeadByte(static_cast<unsigned char>(text[i]))) {
            if (i + 1 < text.size() && !IsLineBreak(text[i + 1])) result.append(text.substr(i, 2));
            i += 2;
        } else {
            if (!IsLineBreak(text[i])) result += text[i];
            i += 1;
        }
    }
    return result;
}
