// The helpers that walk bytes or turn numbers into text and back, each against a second
// reading of its rule written here: the whole input is the text, its first bytes also give the
// numbers, decimals, positions and widths.
#include <cerrno>
#include <cfloat>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>
#include <string_view>

#include "FuzzSupport.h"
#include "JwwGaibu.h"
#include "MyFunc.h"
#include "OutputCheck.h"

namespace {

bool SameBits(double a, double b) { return std::memcmp(&a, &b, sizeof a) == 0; }
bool IsDigit(char c) { return c >= '0' && c <= '9'; }

// Byte length of the character at i: two for a lead byte with a byte after it.
std::size_t CharAt(std::string_view s, std::size_t i) {
    return IsLeadByte(static_cast<unsigned char>(s[i])) && i + 1 < s.size() ? 2 : 1;
}

int ReferenceStrToInt(std::string_view s) {
    std::size_t i = 0;
    while (i < s.size() && s[i] == ' ') ++i;
    bool negative = false;
    if (i < s.size() && (s[i] == '+' || s[i] == '-')) negative = s[i++] == '-';
    int base = 10;
    if (i < s.size() && (s[i] == '$' || s[i] == 'x' || s[i] == 'X')) {
        base = 16;
        ++i;
    } else if (s.substr(i, 2) == "0x" || s.substr(i, 2) == "0X") {
        base = 16;
        i += 2;
    }
    if (i == s.size()) return 0;
    long long magnitude = 0;
    for (; i < s.size(); ++i) {
        const char c = s[i];
        int digit = -1;
        if (IsDigit(c)) digit = c - '0';
        if (base == 16 && c >= 'a' && c <= 'f') digit = c - 'a' + 10;
        if (base == 16 && c >= 'A' && c <= 'F') digit = c - 'A' + 10;
        if (digit < 0) return 0;
        magnitude = magnitude * base + digit;
        if (magnitude > 2147483648LL) magnitude = 2147483649LL;
    }
    const long long value = negative ? -magnitude : magnitude;
    return value >= INT32_MIN && value <= INT32_MAX ? static_cast<int>(value) : 0;
}

// Length of the longest real at the front: [+-]?(d+(.d*)?|.d+)([eE][+-]?d+)?; 0 when none.
std::size_t RealPrefix(std::string_view s) {
    std::size_t i = 0;
    if (i < s.size() && (s[i] == '+' || s[i] == '-')) ++i;
    std::size_t digits = 0;
    for (; i < s.size() && IsDigit(s[i]); ++i) ++digits;
    if (i < s.size() && s[i] == '.') {
        ++i;
        for (; i < s.size() && IsDigit(s[i]); ++i) ++digits;
    }
    if (digits == 0) return 0;
    if (i < s.size() && (s[i] == 'e' || s[i] == 'E')) {
        std::size_t j = i + 1;
        if (j < s.size() && (s[j] == '+' || s[j] == '-')) ++j;
        const std::size_t start = j;
        for (; j < s.size() && IsDigit(s[j]); ++j) {
        }
        if (j > start) i = j;
    }
    return i;
}

// The value of a real of that grammar, by the C library: rounded once; 0 beyond the double
// range. Results below the normal range may come out either way.
bool MatchesLibrary(std::string_view number, double got) {
    std::string unsigned_(number);
    const bool negative = !unsigned_.empty() && unsigned_[0] == '-';
    if (!unsigned_.empty() && (unsigned_[0] == '+' || unsigned_[0] == '-')) unsigned_.erase(0, 1);
    errno = 0;
    double want = std::strtod(unsigned_.c_str(), nullptr);
    if (std::isinf(want)) return got == 0;
    if (negative) want = -want;
    if (std::fabs(want) < DBL_MIN) return got == 0 || SameBits(got, want);
    return SameBits(got, want);
}

void CheckNumberReading(std::string_view text) {
    Require(SafeStrToInt(text) == ReferenceStrToInt(text), "SafeStrToInt follows its grammar");

    double value = 1;
    const std::size_t used = ReadReal(text, value);
    Require(used == RealPrefix(text), "ReadReal takes the longest real at the front");
    if (used > 0) Require(MatchesLibrary(text.substr(0, used), value), "ReadReal's value");
    if (used == 0) Require(value == 0, "no real reads as 0");

    std::size_t blanks = 0;
    while (blanks < text.size() && text[blanks] == ' ') ++blanks;
    const std::string_view number = text.substr(blanks);
    const double got = SafeStrToFloat(text);
    if (!number.empty() && RealPrefix(number) == number.size()) {
        Require(MatchesLibrary(number, got), "SafeStrToFloat's value");
    } else {
        Require(SameBits(got, 0.0), "SafeStrToFloat of a non-number is 0");
    }
}

// The decimal exponent e of 0.d1d2... x 10^e that a NumberText text shows.
int ShownExponent(std::string_view text, bool& scientific) {
    if (text[0] == '-') text.remove_prefix(1);
    const std::size_t e = text.find('E');
    scientific = e != std::string_view::npos;
    if (scientific) return std::atoi(std::string(text.substr(e + 1)).c_str()) + 1;
    const std::size_t point = text.find('.');
    if (text.substr(0, point) != "0") return static_cast<int>(text.substr(0, point).size());
    const std::size_t firstDigit = text.find_first_not_of('0', point + 1);
    return -static_cast<int>(firstDigit - point - 1);
}

void CheckNumberText(double value) {
    const std::string text = NumberText(value);
    if (!std::isfinite(value)) {
        Require(text == (std::isnan(value) ? "NAN"
                         : value < 0       ? "-INF"
                                           : "INF"),
                "NumberText names a non-finite value");
        return;
    }
    Require(HasNumberForm(text), "NumberText's form");
    if (value == 0) {
        Require(text == "0", "zero is 0");
        return;
    }
    const long double back = std::strtold(text.c_str(), nullptr);
    Require(std::fabs(back - value) <= std::fabs(static_cast<long double>(value)) * 5.0000001e-15L,
            "NumberText rounds to 15 significant digits");
    bool scientific = false;
    const int e = ShownExponent(text, scientific);
    Require(scientific == (e < -3 || e > 15), "plain exactly for exponents -3 to 15");
    // The largest doubles print past the largest double; the emitters never write those.
    if (!IsWritableReal(value)) {
        Require(std::fabs(value) > 1.79769313486231e308, "only the largest doubles are unwritable");
    } else if (std::fabs(value) >= DBL_MIN) {
        Require(NumberText(SafeStrToFloat(text)) == text, "NumberText reads back as itself");
    }
}

void CheckFixed(int decimals, double value) {
    const std::string fixed = FormatFixed(decimals, value);
    const std::string grouped = FormatGrouped(decimals, value);
    if (!std::isfinite(value)) {
        const char* name = std::isnan(value) ? "NAN" : value < 0 ? "-INF" : "INF";
        Require(fixed == name && grouped == name, "FormatFixed names a non-finite value");
        return;
    }
    const int n = decimals > 18 ? 2 : decimals < 0 ? 0 : decimals;
    std::string_view digits = fixed;
    Require(digits.starts_with('-') == (value < 0), "a minus exactly for a negative value");
    if (value < 0) digits.remove_prefix(1);
    const std::size_t point = digits.find('.');
    const std::string_view whole = digits.substr(0, point);
    Require(!whole.empty() && (whole.size() == 1 || whole[0] != '0'), "no leading zeros");
    Require(n == 0 ? point == std::string_view::npos : digits.size() - point - 1 == std::size_t(n),
            "exactly the decimals asked for");
    for (char c : digits) Require(IsDigit(c) || c == '.', "digits and one point");

    std::string regrouped = value < 0 ? "-" : "";
    for (std::size_t i = 0; i < whole.size(); ++i) {
        if (i > 0 && (whole.size() - i) % 3 == 0) regrouped += ',';
        regrouped += whole[i];
    }
    regrouped += digits.substr(whole.size());
    Require(grouped == regrouped, "FormatGrouped is FormatFixed with commas every three digits");

    const long double shown = std::strtold(std::string(digits).c_str(), nullptr);
    const long double exact = std::fabs(static_cast<long double>(value));
    const long double bound = 0.5L * std::pow(10.0L, -n) + exact * 1.1e-17L;
    Require(std::fabs(shown - exact) <= bound, "rounded to 18 digits, then to the decimals");
}

std::string ReferenceRemoveBlanks(std::string_view s) {
    std::string out;
    for (std::size_t i = 0; i < s.size();) {
        const std::size_t n = CharAt(s, i);
        const auto b = static_cast<unsigned char>(s[i]);
        const bool blank = n == 2 ? s.substr(i, 2) == "\x81\x40" : b <= 0x20;
        if (!blank) out.append(s.substr(i, n));
        i += n;
    }
    return out;
}

std::string ReferenceCopy(std::string_view s, long long start, long long count) {
    std::string out;
    if (s.empty() || start < 1 || start > static_cast<long long>(s.size()) || count <= 0)
        return out;
    for (std::size_t i = 0; i < s.size();) {
        const std::size_t n = CharAt(s, i);
        const long long position = static_cast<long long>(i) + 1;
        if (position >= start && position + static_cast<long long>(n) - 1 <= start + count - 1)
            out.append(s.substr(i, n));
        i += n;
    }
    return out;
}

std::string ReferenceTruncate(std::string_view s, std::size_t maxBytes) {
    if (s.size() <= maxBytes) return std::string(s);
    std::size_t end = 0;
    while (end < s.size() && end + CharAt(s, end) <= maxBytes) end += CharAt(s, end);
    return std::string(s.substr(0, end));
}

std::string ReferenceDropLineBreaks(std::string_view s) {
    std::string out;
    for (std::size_t i = 0; i < s.size();) {
        const bool lead = IsLeadByte(static_cast<unsigned char>(s[i]));
        const std::string_view c = s.substr(i, lead ? 2 : 1);
        const bool broken = lead && (c.size() < 2 || c[1] == '\r' || c[1] == '\n');
        if (!broken && c != "\r" && c != "\n") out.append(c);
        i += c.size();
    }
    return out;
}

void CheckTextWalks(std::string_view text, long long start, long long count, double width,
                    double spacing) {
    Require(RemoveBlanks(text) == ReferenceRemoveBlanks(text), "RemoveBlanks");

    int taken = -1;
    const std::string copy =
        CopyWholeChars(text, static_cast<int>(start), static_cast<int>(count), taken);
    Require(copy == ReferenceCopy(text, start, count), "CopyWholeChars takes whole characters");
    Require(taken == static_cast<int>(copy.size()), "CopyWholeChars counts what it took");

    const std::size_t maxBytes = static_cast<std::size_t>(count < 0 ? -count : count) % 300;
    Require(TruncateWholeChars(text, maxBytes) == ReferenceTruncate(text, maxBytes),
            "TruncateWholeChars keeps the whole characters that fit");

    const std::string dropped = DropLineBreaks(text);
    Require(dropped.find_first_of("\r\n") == std::string::npos, "no CR or LF byte is left");
    Require(dropped == ReferenceDropLineBreaks(text), "DropLineBreaks drops only broken parts");

    // Mapped in chunks, the text must come out as its characters mapped one by one.
    std::string oneByOne;
    for (std::size_t i = 0; i < text.size(); i += CharAt(text, i)) {
        oneByOne += ToFullWidth(text.substr(i, CharAt(text, i)));
    }
    const std::string full = ToFullWidth(text);
    Require(full == oneByOne, "ToFullWidth's chunks never cut a character");
    Require(full.size() <= 2 * text.size(), "full width at most doubles the bytes");

    if (!(std::fabs(width) < 1e100 && std::fabs(spacing) < 1e100)) return;
    long double want = 0;
    for (std::size_t i = 0; i < text.size();) {
        const bool wide = IsLeadByte(static_cast<unsigned char>(text[i]));
        const std::size_t next = i + (wide ? 2 : 1);
        const bool printable = wide || static_cast<unsigned char>(text[i]) >= 0x20;
        want += printable ? (wide ? width : width / 2.0L) : 0.0L;
        if (next < text.size()) want += wide ? spacing : spacing / 2.0L;
        i = next;
    }
    // Each step rounds the running length to double, subnormal widths to a few bits.
    const long double steps = static_cast<long double>(text.size() + 1);
    const long double bound = (std::fabs(width) + std::fabs(spacing)) * steps * steps * 2.3e-16L +
                              steps * 2 * DBL_TRUE_MIN;
    Require(std::fabs(MeasureText(text, width, spacing) - want) <= bound,
            "MeasureText counts full width, half width and the gaps between");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    CheckNumberReading(text);

    TFuzzInput input(data, size);
    const double bits = input.Real();
    const int decimals = static_cast<std::int8_t>(input.Byte()) % 24;
    const long long start = static_cast<std::int16_t>(input.Bytes(2));
    const long long count = static_cast<std::int16_t>(input.Bytes(2));
    const double width = input.Real();
    const double spacing = input.Real();
    for (double value :
         {bits, SafeStrToFloat(text), static_cast<double>(ReferenceStrToInt(text))}) {
        CheckNumberText(value);
        CheckFixed(decimals, value);
    }
    CheckTextWalks(text, start, count, width, spacing);
    return 0;
}
