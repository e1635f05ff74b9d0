// Number helpers: tolerant parsing, fixed-decimal text and rounding by mode. Every real between
// two stores is long double (x87 80-bit) and rounded to double when stored: that decides the
// last digit of rounded values.
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
