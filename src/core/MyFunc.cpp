// Number, text and geometry helpers. Every real between two stores is long double (x87 80-bit)
// and rounded to double when stored: that decides the last digit of rounded values.
#include "MyFunc.h"

#include <algorithm>
#include <array>
#include <bit>
#include <cfloat>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <system_error>

namespace {

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

// Value of a hexadecimal digit, or -1.
int HexValue(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

std::size_t SkipBlanks(std::string_view text) {
    std::size_t i = 0;
    while (i < text.size() && text[i] == ' ') ++i;
    return i;
}

// Length of the character starting at byte i: a lead byte with nothing after it is one byte.
std::size_t CharLength(std::string_view text, std::size_t i) {
    return IsLeadByte(static_cast<unsigned char>(text[i])) && i + 1 < text.size() ? 2 : 1;
}

// Magnitudes beyond this are out of range whatever the sign; capping keeps the sum from
// wrapping on long runs of digits.
constexpr std::uint64_t IntMagnitudeCap = 0x80000001;

// The digits from i to the end in the given base, capped at IntMagnitudeCap; false when there
// are none or another character follows.
bool ReadMagnitude(std::string_view text, std::size_t i, int base, std::uint64_t& magnitude) {
    if (i >= text.size()) return false;
    magnitude = 0;
    for (; i < text.size(); ++i) {
        int digit = base == 16 ? HexValue(text[i]) : (IsDigit(text[i]) ? text[i] - '0' : -1);
        if (digit < 0) return false;
        magnitude = magnitude * base + digit;
        if (magnitude > IntMagnitudeCap) magnitude = IntMagnitudeCap;
    }
    return true;
}

constexpr std::int64_t MaxExactDigits = 19;  // 10^19 - 1 still fits in 64 bits
constexpr std::uint64_t MaxExactSignificand = std::uint64_t{1} << 53;
// Exponents beyond this are out of the double range whatever the digits; capping keeps the
// sum from wrapping.
constexpr std::int64_t ExponentCap = 100000;

constexpr std::uint64_t IntPowersOfTen[] = {1,      10,      100,      1000,     10000,
                                            100000, 1000000, 10000000, 100000000};

// Powers of ten that a double holds exactly.
constexpr double ExactPowersOfTen[] = {1e0,  1e1,  1e2,  1e3,  1e4,  1e5,  1e6,  1e7,
                                       1e8,  1e9,  1e10, 1e11, 1e12, 1e13, 1e14, 1e15,
                                       1e16, 1e17, 1e18, 1e19, 1e20, 1e21, 1e22};
constexpr std::int64_t MaxExactPower = 22;

// How many of the eight bytes of w (in memory order, read little-endian) are digits before the
// first one that is not: 0 to 8. Each byte is tested on its own, without carries between bytes.
constexpr int LeadingDigits(std::uint64_t w) {
    const std::uint64_t x = w ^ 0x3030303030303030u;  // digits become 0..9
    const std::uint64_t nonDigits =
        (((x & 0x7F7F7F7F7F7F7F7Fu) + 0x7676767676767676u) | x) & 0x8080808080808080u;
    return std::countr_zero(nonDigits) / 8;
}

// The value of the first n (1 to 8) bytes of w, all digits: moved to the top with zero digits
// before them, then combined in pairs, fours and the eight.
constexpr std::uint64_t LeadingDigitsValue(std::uint64_t w, int n) {
    constexpr std::uint64_t Low = 0x000000FF000000FFu;
    std::uint64_t x = (w ^ 0x3030303030303030u) << (8 * (8 - n));
    x = x * 10 + (x >> 8);
    return ((x & Low) * (100 + (std::uint64_t{1000000} << 32)) +
            ((x >> 16) & Low) * (1 + (std::uint64_t{10000} << 32))) >>
           32;
}

// The up to eight bytes from p + offset in memory order, zero past end; nothing outside
// [begin, end) is read.
[[gnu::always_inline]] inline std::uint64_t LoadEight(const char* begin, const char* end,
                                                      const char* p, std::ptrdiff_t offset) {
    std::uint64_t w = 0;
    const std::ptrdiff_t left = end - p - offset;
    if (left >= 8) {
        std::memcpy(&w, p + offset, 8);
    } else if (left <= 0) {
        return 0;
    } else if (end - begin >= 8) {
        std::memcpy(&w, end - 8, 8);
        w >>= 8 * (8 - left);
    } else {
        std::memcpy(&w, p + offset, static_cast<std::size_t>(left));
    }
    return w;
}

// Host numbers are short plain decimals: a few integer digits, a point and the fraction, 15
// significant digits at most, no exponent; or a whole number of a few digits. Such a number,
// at p after its sign, is read in at most two blocks of digits: the first eight digits with
// the point taken out, and the next eight bytes. On success p moves past it; false, with p
// unmoved, for any other number, which TRealReader then takes. The value is the same either
// way: the significand and the power of ten are exact, so one division rounds it (Clinger).
[[gnu::always_inline]] inline bool ReadShortDecimal(const char* begin, const char* end,
                                                    const char*& p, double& value) {
    if constexpr (std::endian::native != std::endian::little || FLT_EVAL_METHOD != 0) return false;
    const auto isExponentAt = [&](std::ptrdiff_t offset) {
        return offset < end - p && (p[offset] == 'e' || p[offset] == 'E');
    };
    const std::uint64_t head = LoadEight(begin, end, p, 0);
    const int point = LeadingDigits(head);
    if (point == 8) return false;
    if (point >= end - p || p[point] != '.') {
        if (point == 0 || isExponentAt(point)) return false;
        value = static_cast<double>(LeadingDigitsValue(head, point));  // below 10^7: exact
        p += point;
        return true;
    }
    // Bytes before the point from head, the rest from one byte further on.
    const std::uint64_t below = (std::uint64_t{1} << (8 * point)) - 1;
    const std::uint64_t first = (head & below) | (LoadEight(begin, end, p, 1) & ~below);
    const std::uint64_t second = LoadEight(begin, end, p, 9);
    const int firstDigits = LeadingDigits(first);
    const int secondDigits = firstDigits == 8 ? LeadingDigits(second) : 0;
    const int digits = firstDigits + secondDigits;
    const int length = digits + 1;  // with the point
    if (digits == 0 || secondDigits == 8 || isExponentAt(length)) return false;
    std::uint64_t significand = LeadingDigitsValue(first, firstDigits);
    if (secondDigits > 0)
        significand =
            significand * IntPowersOfTen[secondDigits] + LeadingDigitsValue(second, secondDigits);
    if (significand > MaxExactSignificand) return false;
    value = static_cast<double>(significand) / ExactPowersOfTen[digits - point];
    p += length;
    return true;
}

// Reads one real from the front of [begin, end) in a single pass: checks the grammar and
// gathers the significant digits as an integer (exact while Digits <= 19) and the power of ten
// that scales them.
class TRealReader {
public:
    TRealReader(const char* begin, const char* end) : Begin(begin), P(begin), End(end) {}

    // Bytes taken, 0 when no real starts here; value as ReadReal gives it.
    std::size_t Read(double& value) {
        value = 0;
        bool negative = false;
        if (P < End && (*P == '+' || *P == '-')) negative = *P++ == '-';
        const char* const numberStart = P;
        ReadDigits(false);
        bool anyDigit = P != numberStart;
        if (P < End && *P == '.') {
            const char* const fractionStart = ++P;
            ReadDigits(true);
            anyDigit = anyDigit || P != fractionStart;
        }
        if (!anyDigit) return 0;
        if (P < End && (*P == 'e' || *P == 'E')) ReadExponent();
        const auto used = static_cast<std::size_t>(P - Begin);
        if (!Exact(value)) {
            // std::from_chars takes no "+"; the sign is applied below.
            const auto [ptr, ec] = std::from_chars(numberStart, P, value);
            if (ec != std::errc() || ptr != P) {
                value = 0;  // out of the double range, whatever the sign
                return used;
            }
        }
        if (negative) value = -value;
        return used;
    }

private:
    // Adds the digits from P (a fraction's digits each lower the exponent). Inlined, as every
    // number of a large file comes here twice and the digits are few.
    [[gnu::always_inline]] void ReadDigits(bool fraction) {
        const char* const start = P;
        if (!ReadDigitBlocks()) ReadDigitsOneByOne();
        if (fraction) Exponent -= P - start;
    }

    // Takes up to eight digits at once while the significand has room; true when the run of
    // digits ended inside a block. A block's leading zeros count as digits, which only sends a
    // few exact values to the slower rounding.
    [[gnu::always_inline]] bool ReadDigitBlocks() {
        if constexpr (std::endian::native != std::endian::little) return false;
        while (P < End) {
            const std::uint64_t w = LoadEight(Begin, End, P, 0);
            const int n = LeadingDigits(w);
            if (n == 0 || Digits + n > MaxExactDigits) return false;
            Significand = Significand * IntPowersOfTen[n] + LeadingDigitsValue(w, n);
            if (Significand != 0) Digits += n;
            P += n;
            if (n < 8) return true;
        }
        return true;
    }

    void ReadDigitsOneByOne() {
        for (; P < End && IsDigit(*P); ++P) {
            const unsigned digit = static_cast<unsigned>(*P - '0');
            if (Digits == 0 && digit == 0) continue;  // a leading zero changes nothing
            if (Digits < MaxExactDigits) Significand = Significand * 10 + digit;
            ++Digits;
        }
    }

    // The exponent's optional sign and digits after the "e" at P; an "e" without digits is
    // not part of the number and is left unread.
    void ReadExponent() {
        const char* p = P + 1;
        bool negative = false;
        if (p < End && (*p == '+' || *p == '-')) negative = *p++ == '-';
        const char* const start = p;
        std::int64_t exponent = 0;
        for (; p < End && IsDigit(*p); ++p)
            exponent = std::min(exponent * 10 + (*p - '0'), ExponentCap);
        if (p == start) return;
        Exponent += negative ? -exponent : exponent;
        P = p;
    }

    // The value when a single double operation gives it exactly rounded: an exact significand
    // (at most 2^53) times or divided by an exact power of ten rounds once, as std::from_chars
    // does (Clinger). Holds only where double operations round straight to double (SSE), not
    // on x87 with its wider registers; false leaves the rounding to the library.
    bool Exact(double& value) const {
        if constexpr (FLT_EVAL_METHOD != 0) return false;
        if (Digits > MaxExactDigits || Significand > MaxExactSignificand ||
            Exponent < -MaxExactPower || Exponent > MaxExactPower)
            return false;
        const double significand = static_cast<double>(Significand);
        value = Exponent >= 0 ? significand * ExactPowersOfTen[Exponent]
                              : significand / ExactPowersOfTen[-Exponent];
        return true;
    }

    const char* const Begin;
    const char* P;
    const char* const End;
    std::uint64_t Significand = 0;
    std::int64_t Digits = 0;  // significant digits, from the first non-zero one or block
    std::int64_t Exponent = 0;
};

[[gnu::noinline]] std::size_t ReadAnyReal(const char* begin, const char* end, double& value) {
    return TRealReader(begin, end).Read(value);
}

// Largest output of std::to_chars for a double in fixed notation with 1074 decimals (enough
// for the exact value of every double): 309 integer digits, sign, point.
constexpr int ExactDecimals = 1074;
constexpr std::size_t ExactBufferSize = 1400;

// Keeps digits[0..keep) and rounds them half away from zero by the digit at keep, clearing
// the rest. digits[0] is a spare '0' that takes the carry.
void RoundDigitsAt(char* digits, std::size_t length, std::size_t keep) {
    if (keep >= length) return;
    bool up = digits[keep] >= '5';
    for (std::size_t i = keep; i < length; ++i) digits[i] = '0';
    if (!up) return;
    std::size_t i = keep - 1;
    while (digits[i] == '9') digits[i--] = '0';
    ++digits[i];
}

std::string FormatDecimal(int decimals, double value, bool grouped) {
    if (std::isnan(value)) return "NAN";
    if (std::isinf(value)) return value < 0 ? "-INF" : "INF";
    if (decimals > 18) decimals = 2;
    if (decimals < 0) decimals = 0;

    // The exact decimal expansion of |value|, then the digits behind a spare leading zero.
    std::array<char, ExactBufferSize> exact;
    auto written = std::to_chars(exact.data(), exact.data() + exact.size(), std::fabs(value),
                                 std::chars_format::fixed, ExactDecimals);
    std::array<char, ExactBufferSize> digits;
    std::size_t length = 0;
    std::size_t pointPos = 0;
    digits[length++] = '0';
    for (const char* p = exact.data(); p != written.ptr; ++p) {
        if (*p == '.') {
            pointPos = length;
        } else {
            digits[length++] = *p;
        }
    }

    // Eighteen significant digits first, then the decimals, each half away from zero; the two
    // steps differ from one rounding only for values from 1e17 up.
    std::size_t first = 0;
    while (first < length && digits[first] == '0') ++first;
    if (first < length) RoundDigitsAt(digits.data(), length, first + 18);
    RoundDigitsAt(digits.data(), length, pointPos + decimals);

    std::size_t intStart = 0;
    while (intStart + 1 < pointPos && digits[intStart] == '0') ++intStart;
    std::string text;
    if (value < 0) text += '-';  // even when it rounds to zero
    for (std::size_t i = intStart; i < pointPos; ++i) {
        if (grouped && i > intStart && (pointPos - i) % 3 == 0) text += ',';
        text += digits[i];
    }
    if (decimals > 0) {
        text += '.';
        text.append(digits.data() + pointPos, decimals);
    }
    return text;
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

// 10^decimals for 1..13, otherwise 1.
long double ModeFactor(int decimals) {
    long double factor = 1.0L;
    if (decimals >= 1 && decimals <= 13) {
        for (int i = 0; i < decimals; ++i) factor *= 10.0L;
    }
    return factor;
}

}  // namespace

int SafeStrToInt(std::string_view text) {
    std::size_t i = SkipBlanks(text);
    bool negative = false;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) negative = text[i++] == '-';
    int base = 10;
    if (i < text.size() && (text[i] == '$' || text[i] == 'x' || text[i] == 'X')) {
        base = 16;
        i += 1;
    } else if (i + 1 < text.size() && text[i] == '0' &&
               (text[i + 1] == 'x' || text[i + 1] == 'X')) {
        base = 16;
        i += 2;
    }
    std::uint64_t magnitude = 0;
    if (!ReadMagnitude(text, i, base, magnitude)) return 0;
    std::int64_t value = static_cast<std::int64_t>(magnitude);
    if (negative) value = -value;
    return value >= INT32_MIN && value <= INT32_MAX ? static_cast<int>(value) : 0;
}

std::size_t ReadReal(std::string_view text, double& value) {
    const char* const begin = text.data();
    const char* const end = begin + text.size();
    const char* p = begin;
    const bool negative = p < end && *p == '-';
    if (p < end && (*p == '+' || *p == '-')) ++p;
    // The host's own numbers are read inline; anything else is read anew, out of line, so the
    // common case carries little of the general case's cost.
    if (!ReadShortDecimal(begin, end, p, value)) return ReadAnyReal(begin, end, value);
    if (negative) value = -value;
    return static_cast<std::size_t>(p - begin);
}

double SafeStrToFloat(std::string_view text) {
    text.remove_prefix(SkipBlanks(text));
    double value = 0;
    const std::size_t used = ReadReal(text, value);
    return used != 0 && used == text.size() ? value : 0;
}

std::string FormatGrouped(int decimals, double value) {
    return FormatDecimal(decimals, value, true);
}

std::string FormatFixed(int decimals, double value) {
    return FormatDecimal(decimals, value, false);
}

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

double RoundTo1E10(double x) {
    double r = static_cast<double>(truncl(fabsl(x) / 1e-10L + 0.5L) * 1e-10L);
    return x >= 0 ? r : -r;
}

double RoundByMode(int decimals, int mode, double x) {
    long double factor = ModeFactor(decimals);
    long double a = fabsl(x);
    switch (mode) {
        case 0:  // truncate
            a = truncl(a * factor) / factor;
            break;
        case 1:  // round up, dropping a remainder under 0.1 of the last kept unit
            a = truncl(a * factor + 0.9L) / factor;
            break;
        default:  // halves up in magnitude
            a = truncl(a * factor + 0.5L) / factor;
            break;
    }
    double rounded = static_cast<double>(a);
    return x >= 0 ? rounded : -rounded;
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
