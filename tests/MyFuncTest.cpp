// Tests of the number, text and geometry helpers; exact doubles where the last digit matters.

// GCC 12 with the sanitizers misreads std::regex's inlined std::function moves as uninitialised;
// the regex is only the independent reference for the number grammar.
#pragma GCC diagnostic ignored "-Wmaybe-uninitialized"

#include <gtest/gtest.h>

#include <bit>
#include <charconv>
#include <climits>
#include <cmath>
#include <cstdint>
#include <random>
#include <regex>
#include <string>
#include <vector>

#include "MyFunc.h"

using namespace std::string_literals;

TEST(SafeStrToInt, AcceptsOnlyWholeIntegersInRange) {
    struct {
        std::string in;
        int want;
    } cases[] = {
        // clang-format off
        {"", 0},         {"12", 12},       {" -7", -7},          {"+5", 5},         {"00012", 12},
        {"$1F", 31},     {"0x10", 16},     {"0X1f", 31},         {"x1F", 31},       {"-$10", -16},
        {"12a", 0},      {"12 ", 0},       {"\t12", 0},          {"1 2", 0},        {"-", 0},
        {"$", 0},        {"0x", 0},        {"$-1", 0},           {"+-1", 0},
        {"2147483647", INT_MAX},  {"2147483648", 0},  {"-2147483648", INT_MIN},  {"-2147483649", 0},
        {"$7FFFFFFF", INT_MAX},   {"$80000000", 0},   {"-$80000000", INT_MIN},
        {"99999999999999999999", 0},
        // clang-format on
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.in);
        EXPECT_EQ(SafeStrToInt(c.in), c.want);
    }
}

TEST(SafeStrToFloat, FollowsTheDecimalGrammar) {
    struct {
        std::string in;
        double want;
    } cases[] = {
        // clang-format off
        {"", 0},         {"0.5", 0.5},    {"-2", -2},      {"1.5E2", 150},  {".5", 0.5},
        {"5.", 5},       {"5.e1", 50},    {" 2.5", 2.5},   {"+2.5", 2.5},   {"1e+2", 100},
        {"1E-2", 0.01},  {"1e", 0},       {".", 0},        {".e5", 0},      {"e5", 0},
        {"inf", 0},      {"nan", 0},      {"1,5", 0},      {"2.5 ", 0},     {"abc", 0},
        {"--1", 0},      {"0x10", 0},     {"1.2.3", 0},    {"1e400", 0},    {"-1e400", 0},
        {"1e-400", 0},
        // Rounded once, ties to even: a second rounding would give ...994.
        {"9007199254740993", 9007199254740992.0},
        // clang-format on
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.in);
        EXPECT_EQ(SafeStrToFloat(c.in), c.want);
    }
}

TEST(SafeStrToFloat, ReadsHostNumbersExactly) {
    struct {
        std::string in;
        double want;
    } cases[] = {
        {"-44948.9239307439", -44948.9239307439},
        {"1e+06", 1e6},
        {"0.1", 0.1},
        {"-0.000123456789012345", -0.000123456789012345},
        {"123456789012345e-22", 123456789012345e-22},  // smallest exact power of ten
        {"9007199254740992e22", 9007199254740992e22},  // largest exact significand
        {"9007199254740993e-1", 900719925474099.3},    // one above: rounded by the library
        {"1e23", 1e23},                                // 10^23 is not exact in a double
        {"0.30000000000000004440892098500626", 0.30000000000000004},  // more than 19 digits
        {"000000000000000000000000001.5", 1.5},  // leading zeros are not digits
        {"1.500000000000000000000000000", 1.5},
        {"0e999", 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.in);
        EXPECT_EQ(std::bit_cast<std::uint64_t>(SafeStrToFloat(c.in)),
                  std::bit_cast<std::uint64_t>(c.want));
    }
    EXPECT_TRUE(std::signbit(SafeStrToFloat("-0")));
    EXPECT_TRUE(std::signbit(SafeStrToFloat(" -0.0e5")));
}

TEST(ReadReal, TakesTheLongestRealAtTheFront) {
    struct {
        std::string in;
        std::size_t used;
        double value;
    } cases[] = {
        // clang-format off
        {"1.5 2", 3, 1.5},    {"-7\t", 2, -7},     {"5.x", 2, 5},        {".5e1=", 4, 5},
        {"1e", 1, 1},         {"1e+", 1, 1},        {"2E-3,", 4, 0.002},  {"12abc", 2, 12},
        {"", 0, 0},           {"+", 0, 0},          {".", 0, 0},          {"-.e5", 0, 0},
        {" 1", 0, 0},         {"1e400 ", 5, 0},     {"-1e400", 6, 0},     {"1.2.3", 3, 1.2},
        {"123", 3, 123},      {"-1234567", 8, -1234567},                  {"12345678", 8, 12345678},
        {"1.5", 3, 1.5},      {"-44948.9239307439", 17, -44948.9239307439},
        // clang-format on
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.in);
        // A buffer of exactly the text's size, so reading past its end is caught.
        const std::vector<char> exact(c.in.begin(), c.in.end());
        double value = -1;
        EXPECT_EQ(ReadReal(std::string_view(exact.data(), exact.size()), value), c.used);
        EXPECT_EQ(value, c.value);
        EXPECT_FALSE(std::signbit(value) && c.value == 0);  // out of range is +0 either way
    }
}

namespace {

// The reader as plainly as it can be written: the grammar as a pattern, the rounding by the
// library; 0 for anything else.
double ReferenceStrToFloat(const std::string& text) {
    static const std::regex grammar("[ ]*[+-]?([0-9]+(\\.[0-9]*)?|\\.[0-9]+)([eE][+-]?[0-9]+)?");
    if (!std::regex_match(text, grammar)) return 0;
    std::size_t start = text.find_first_not_of(' ');
    const bool negative = text[start] == '-';
    if (text[start] == '+' || text[start] == '-') ++start;
    double value = 0;
    const char* end = text.data() + text.size();
    const auto [ptr, ec] = std::from_chars(text.data() + start, end, value);
    if (ec != std::errc() || ptr != end) return 0;
    return negative ? -value : value;
}

// Number-like texts: host numbers, long and short digit runs, exponents near the double range
// and near the exact powers of ten, and some with one character spoiled.
class TNumberTexts {
public:
    std::string Next() {
        std::string text;
        switch (Pick(4)) {
            case 0:
                text = HostNumber();
                break;
            case 1:
                text = Shortest();
                break;
            default:
                text = Composed();
                break;
        }
        if (Pick(5) == 0) Spoil(text);
        return text;
    }

private:
    int Pick(int count) { return std::uniform_int_distribution<int>(0, count - 1)(Rng); }
    std::string Digits(int count) {
        std::string digits;
        for (int i = 0; i < count; ++i) digits += static_cast<char>('0' + Pick(10));
        return digits;
    }
    std::string Format(double value, std::chars_format format, int precision) {
        char text[64];
        return std::string(text,
                           std::to_chars(text, text + sizeof text, value, format, precision).ptr);
    }
    double AnyDouble() {
        for (;;) {
            const double value = std::bit_cast<double>(Rng());
            if (std::isfinite(value)) return value;
        }
    }
    std::string HostNumber() {
        const double value =
            std::uniform_real_distribution<double>(-1e5, 1e5)(Rng) * std::pow(10.0, Pick(13) - 6);
        return Format(value, std::chars_format::general, 1 + Pick(15));
    }
    std::string Shortest() {
        char text[64];
        return std::string(text, std::to_chars(text, text + sizeof text, AnyDouble()).ptr);
    }
    std::string Composed() {
        static constexpr const char* Signs[] = {"", "+", "-"};
        std::string text(static_cast<std::size_t>(Pick(4) == 0 ? Pick(3) : 0), ' ');
        text += Signs[Pick(3)];
        const int intDigits = Pick(3) == 0 ? Pick(24) : Pick(8);
        text += Pick(6) == 0 ? std::string(static_cast<std::size_t>(Pick(20)), '0') : "";
        text += Digits(intDigits);
        if (Pick(2) == 0) {
            text += '.';
            text += Digits(Pick(3) == 0 ? Pick(24) : Pick(8));
        }
        if (Pick(2) == 0) {
            text += "eE"[Pick(2)];
            text += Signs[Pick(3)];
            const int exponents[] = {Pick(10), 15 + Pick(16), 300 + Pick(30), Pick(400)};
            text += std::to_string(exponents[Pick(4)]);
        }
        return text;
    }
    void Spoil(std::string& text) {
        // "/" and ":" border the digits.
        static constexpr char Others[] = "0123456789+-.eE ,x\t/:\xb9";
        const char c = Others[Pick(static_cast<int>(sizeof Others) - 1)];
        const auto at = static_cast<std::size_t>(Pick(static_cast<int>(text.size()) + 1));
        if (Pick(2) == 0 && at < text.size()) {
            text[at] = c;
        } else {
            text.insert(at, 1, c);
        }
    }

    std::mt19937_64 Rng{1234567};
};

}  // namespace

TEST(SafeStrToFloat, MatchesTheGrammarAndTheLibraryOnRandomTexts) {
    TNumberTexts texts;
    int valid = 0;
    for (int i = 0; i < 100000; ++i) {
        const std::string text = texts.Next();
        const double want = ReferenceStrToFloat(text);
        if (want != 0) ++valid;
        ASSERT_EQ(std::bit_cast<std::uint64_t>(SafeStrToFloat(text)),
                  std::bit_cast<std::uint64_t>(want))
            << "text \"" << text << "\"";
        if (want == 0) continue;
        // A reader that finds the number's end itself stops where the real ends.
        const std::string number = text.substr(text.find_first_not_of(' '));
        const std::vector<char> exact(number.begin(), number.end());
        double value = 0;
        ASSERT_EQ(ReadReal(std::string_view(exact.data(), exact.size()), value), number.size());
        ASSERT_EQ(std::bit_cast<std::uint64_t>(value), std::bit_cast<std::uint64_t>(want));
        ASSERT_EQ(ReadReal(number + " 1", value), number.size()) << "text \"" << text << "\"";
        ASSERT_EQ(std::bit_cast<std::uint64_t>(value), std::bit_cast<std::uint64_t>(want));
    }
    EXPECT_GT(valid, 50000);  // the generator must mostly make numbers, or it proves little
}

TEST(FormatFixed, RoundsTo18DigitsThenDecimalsHalfAway) {
    struct {
        int decimals;
        double in;
        const char* fixed;
        const char* grouped;
    } cases[] = {
        {0, 1234.5, "1235", "1,235"},
        {2, 999.999, "1000.00", "1,000.00"},
        {3, 0.5, "0.500", "0.500"},
        {2, 7, "7.00", "7.00"},
        {3, 1234.5, "1234.500", "1,234.500"},
        {0, 1234567, "1234567", "1,234,567"},
        {0, 123456, "123456", "123,456"},
        {2, 0.125, "0.13", "0.13"},  // exact tie goes away from zero
        {2, 2.675, "2.67", "2.67"},  // stored just below
        {1, 0.05, "0.1", "0.1"},     // stored just above
        {0, -2.5, "-3", "-3"},
        {2, -0.001, "-0.00", "-0.00"},  // the sign survives rounding to zero
        {2, -0.0, "0.00", "0.00"},      // negative zero is not a negative value
        {0, 99999.5, "100000", "100,000"},
        {18, 0.1, "0.100000000000000006", "0.100000000000000006"},
        {19, 1.005, "1.00", "1.00"},  // above 18 decimals prints 2
        {-1, 1.5, "2", "2"},
        {0, 1e18 + 128, "1000000000000000130", "1,000,000,000,000,000,130"},
        {0, NAN, "NAN", "NAN"},
        {0, -INFINITY, "-INF", "-INF"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.in);
        EXPECT_EQ(FormatFixed(c.decimals, c.in), c.fixed);
        EXPECT_EQ(FormatGrouped(c.decimals, c.in), c.grouped);
    }
}

TEST(FormatFixed, PrintsHugeValuesInFullWith18Digits) {
    std::string text = FormatFixed(1, 1e300);
    EXPECT_EQ(text.size(), 303u);
    EXPECT_EQ(text.substr(0, 22), "1000000000000000050000");
    EXPECT_EQ(text.substr(text.size() - 4), "00.0");
}

TEST(RemoveBlanks, DropsBlanksAndControlsOnly) {
    struct {
        std::string in, want;
    } cases[] = {
        {"\x81\x40 a b\x81\x40", "ab"},  // 　 a b　
        {"\x81\x40", ""},
        {"\t\t\r\n", ""},
        {"a\x7f", "a\x7f"},
        {"\x8a\xbf \x8e\x9a", "\x8a\xbf\x8e\x9a"},  // 漢 字
        {"\x82\x20", "\x82\x20"},                   // trail byte 0x20 is no blank
        {"\x88\x81\x40", "\x88\x81\x40"},           // 0x81 is a trail byte here
        {"a \x82", "a\x82"},                        // lone final lead byte kept
    };
    for (const auto& c : cases) EXPECT_EQ(RemoveBlanks(c.in), c.want) << c.in;
}

TEST(CopyWholeChars, NeverSplitsATwoByteCharacter) {
    const std::string text =
        "ab\x8a\xbf"
        "c";  // ab漢c
    struct {
        std::string text;
        int start, count;
        std::string want;
    } cases[] = {
        {text, 1, 3, "ab"},
        {text, 3, 2, "\x8a\xbf"},
        {text, 4, 2, "c"},
        {text, 0, 2, ""},
        {text, 1, 0, ""},
        {text, 6, 1, ""},
        {text, 2, INT_MAX,
         "b\x8a\xbf"
         "c"},
        {"a\x82", 2, 1, "\x82"},  // lone final lead byte taken as one byte
        {"", 1, 1, ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.start);
        int taken = -1;
        EXPECT_EQ(CopyWholeChars(c.text, c.start, c.count, taken), c.want);
        EXPECT_EQ(taken, static_cast<int>(c.want.size()));
    }
}

TEST(TruncateWholeChars, CutsAtTheLastWholeCharacter) {
    const std::string text = "ab\x8a\xbf";  // ab漢
    EXPECT_EQ(TruncateWholeChars(text, 3), "ab");
    EXPECT_EQ(TruncateWholeChars(text, 4), text);
    EXPECT_EQ(TruncateWholeChars(text, 0), "");
    EXPECT_EQ(TruncateWholeChars(std::string(300, 'x'), 255), std::string(255, 'x'));
}

TEST(DropLineBreaks, DropsBreaksAndTheCharactersTheyBreak) {
    struct {
        const char *in, *want;
    } cases[] = {
        {"a\r", "a"},
        {"\r\na\nb\r", "ab"},
        {"\x82\xa0\r\x82\xa0", "\x82\xa0\x82\xa0"},  // あ, CR, あ
        {"X\x82\rY", "XY"},                          // a lead byte broken by the CR goes with it
        {"\x82\n\x82\x5c", "\x82\x5c"},              // a trail byte 0x5C is a character's own
        {"ab\x82", "ab"},                            // it would pair with the line end
        {"\x81\x40 \t", "\x81\x40 \t"},              // other blanks and controls stay
        {"", ""},
    };
    for (auto c : cases) {
        SCOPED_TRACE(c.in);
        EXPECT_EQ(DropLineBreaks(c.in), c.want);
    }
}

TEST(ToFullWidth, MapsByOwnTable) {
    struct {
        std::string in, want;
    } cases[] = {
        // clang-format off
        {"1,234.5", "\x82\x50\x81\x43\x82\x51\x82\x52\x82\x53\x81\x44\x82\x54"},  // １，２３４．５
        {"-09", "\x81\x7c\x82\x4f\x82\x58"},                                      // －０９
        {" Az~", "\x81\x40\x82\x60\x82\x9a\x81\x60"},                             // 　Ａｚ～
        {"\"'\\", "\xfa\x57\xfa\x56\x81\x5f"},                                    // ＂＇＼
        {"\xb6\xde\xa1\xdf", "\x83\x4a\x81\x4a\x81\x42\x81\x4b"},                 // ｶﾞ｡ﾟ: カ゛。゜
        {"\x82\xa0\x82\xdd\x82\xde\x82\xf1", "\x83\x41\x83\x7e\x83\x80\x83\x93"}, // あみむん: アミムン
        {"\x8a\xbf\x83\x41", "\x8a\xbf\x83\x41"},                                 // 漢ア stay
        {"\t\x7f\xa0", "\t\x7f\xa0"},
        {"1\0" "2"s, "\x82\x50\0\x82\x51"s},                                        // NUL kept
        {"1\x82", "\x82\x50\x82"},  // lone final lead byte left as is
        // clang-format on
    };
    for (const auto& c : cases) EXPECT_EQ(ToFullWidth(c.in), c.want) << c.in;
}

TEST(ToFullWidth, ConvertsLongTextsInWholeCharacterChunks) {
    std::string digits(300, '0');
    std::string want;
    for (int i = 0; i < 300; ++i) want += "\x82\x4f";
    EXPECT_EQ(ToFullWidth(digits), want);

    // 漢 occupies bytes 126-127, across the first chunk's end.
    std::string across = std::string(125, 'a') +
                         "\x8a\xbf"
                         "b";
    want.clear();
    for (int i = 0; i < 125; ++i) want += "\x82\x81";
    want += "\x8a\xbf\x82\x82";
    EXPECT_EQ(ToFullWidth(across), want);
}

TEST(RoundTo1E10, SnapsHalvesAwayFromZero) {
    EXPECT_EQ(RoundTo1E10(89.99999999999997), 90.0);
    EXPECT_EQ(RoundTo1E10(-89.99999999999997), -90.0);
    EXPECT_EQ(RoundTo1E10(5e-11), 1e-10);
    EXPECT_EQ(RoundTo1E10(4.9e-11), 0.0);
    EXPECT_EQ(RoundTo1E10(1.23456789012345), 1.2345678901);
}

TEST(RoundByMode, EachModeAtItsEdge) {
    struct {
        int dec, mode;
        double in, want;
    } cases[] = {
        // clang-format off
        {1, 0, 1234.59, 1234.5},   {1, 0, -1234.59, -1234.5}, {-1, 0, 2.7, 2},
        {1, 1, 1234.52, 1234.6},   {1, 1, 1234.505, 1234.5},  // under 0.1 of a unit is dropped
        {0, 1, 2.1, 3},            {0, 1, 2.09, 2},           {1, 1, 1.05, 1.1},
        {1, 1, 1.001, 1.0},        {3, 1, 0.0001, 0.001},     {1, 2, 1234.25, 1234.3},
        {1, 2, 1234.55, 1234.5},   // stored just below; a double product would round up
        {0, 2, 2.5, 3},            {2, 2, 2.675, 2.67},       {1, 2, -1234.25, -1234.3},
        {1, 2, 0.15, 0.1},         {1, 2, 1.35, 1.4},         {1, 2, 1.25, 1.3},
        {2, 2, 1.005, 1.0},        {14, 2, 2.5, 3},           {1, 5, 1.25, 1.3},
        {13, 2, 0.12345678901234, 0.1234567890123},
        {13, 0, 1.2345678901234567, 1.2345678901234},
        // clang-format on
    };
    for (auto c : cases) {
        SCOPED_TRACE(c.in);
        EXPECT_EQ(RoundByMode(c.dec, c.mode, c.in), c.want);
    }
}

TEST(Distance, IsEuclidean) {
    EXPECT_EQ(Distance(0, 0, 3, 4), 5.0);
    EXPECT_EQ(Distance(0.3, 0.7, 0.1, 0.2), 0.5385164807134504);
}

TEST(AngleDeg, SnapsToTheAxes) {
    EXPECT_EQ(AngleRad(0, 0), 0.0);
    EXPECT_EQ(AngleRad(1e-11, -1e-11), 0.0);
    EXPECT_EQ(AngleRad(-9.9e-11, 9.9e-11), 0.0);  // both below 1e-10: no direction
    EXPECT_NEAR(AngleRad(-1e-10, 9.9e-11), 2.3612195735231576, 1e-15);  // one at it: its own
    EXPECT_EQ(AngleRad(-1, 0), 3.141592653589793);
    EXPECT_EQ(AngleRad(1, -1), 5.497787143782138);
    EXPECT_EQ(AngleRad(1, -1e-14), 6.2831853071795765);
    struct {
        double dx, dy, want;
    } cases[] = {
        {1, 0, 0},    {1, 1, 45},       {0, 1, 90},    {-1, 0, 180},      {0, -1, 270},
        {1, -1, 315}, {1, -1e-14, 360}, {1, 1e-14, 0}, {-1, -1e-14, 180}, {3, 4, 53.1301023542},
    };
    for (auto c : cases) EXPECT_EQ(AngleDeg(c.dx, c.dy), c.want) << c.dx << " " << c.dy;
}

TEST(NormalizeDeg, FoldsIntoOneTurn) {
    struct {
        double in, want;
    } cases[] = {
        // clang-format off
        {725, 5},    {-30, 330},     {360, 0},  {-360, 0},   {359.5, 359.5},
        {-725, 355}, {720.25, 0.25}, {-0.0, 0}, {-1e-20, 0},  // 360 - 1e-20 is 360
        // clang-format on
    };
    for (auto c : cases) {
        double got = NormalizeDeg(c.in);
        EXPECT_EQ(got, c.want) << c.in;
        EXPECT_FALSE(std::signbit(got)) << c.in;
    }
}

TEST(ExtCos, GivesTheTrueValueNearTheAxes) {
    // Pi is a little above the true pi, so the far component is small but not zero; the bare
    // x87 fcos would give -2.710505431213761e-19 for the first.
    struct {
        long double angleDeg;
        double wantCos10, wantSin10;
    } cases[] = {
        {90, -2.508278806334166e-19, 10},
        {180, -10, -5.016557612668332e-19},
        {270, 1.8366858143857544e-18, -10},
        {30, 8.660254037844387, 5},
        {45, 7.0710678118654755, 7.0710678118654755},
        {120, -5, 8.660254037844387},
    };
    for (auto c : cases) {
        SCOPED_TRACE(static_cast<double>(c.angleDeg));
        long double t = c.angleDeg / 180 * Pi;
        EXPECT_EQ(static_cast<double>(ExtCos(t) * 10), c.wantCos10);
        EXPECT_EQ(static_cast<double>(ExtSin(t) * 10), c.wantSin10);
    }
    EXPECT_TRUE(std::isnan(ExtSin(INFINITY)));
}

TEST(ExtSin, MatchesTheLibraryInEveryQuadrant) {
    for (int deg = -1080; deg <= 1080; deg += 7) {
        long double t = deg / 180.0L * Pi;
        EXPECT_NEAR(static_cast<double>(ExtSin(t) - std::sin(t)), 0, 1e-18) << deg;
        EXPECT_NEAR(static_cast<double>(ExtCos(t) - std::cos(t)), 0, 1e-18) << deg;
    }
}

TEST(RotatePointDeg, RotatesByTheDoubleNearestTheAngle) {
    struct {
        double x, y, cx, cy, angle, wantX, wantY;
    } cases[] = {
        {1, 0, 0, 0, 90, 6.123233995736766e-17, 1},
        {10, 0, 0, 0, 30, 8.660254037844386, 5.000000000000001},
        {2, 1, 1, 1, 180, 0, 1.0000000000000002},
        {100, 0, 0, 0, 270, -1.8369701987210297e-14, -100},
        {3, -2, 1, 4, -45, -1.8284271247461898, -1.6568542494923804},
        {5, 5, 5, 5, 123.4, 5, 5},
    };
    for (auto c : cases) {
        SCOPED_TRACE(c.angle);
        double x = 0, y = 0;
        RotatePointDeg(c.x, c.y, c.cx, c.cy, c.angle, x, y);
        EXPECT_EQ(x, c.wantX);
        EXPECT_EQ(y, c.wantY);
    }
    double x = 0, y = 0;
    RotatePointRad(0, 2, 0, 0, 1.0, x, y);
    EXPECT_NEAR(x, -1.682941969615793, 1e-15);
    EXPECT_NEAR(y, 1.0806046117362795, 1e-15);
}

TEST(MeasureText, HalfWidthCountsHalf) {
    struct {
        std::string text;
        double width, spacing, want;
    } cases[] = {
        {"", 3, 0.5, 0},        {"A", 3, 1, 1.5},
        {"12.5", 3, 0.5, 6.75}, {"\x82\x50\x82\x51", 3, 0.5, 6.5},  // １２
        {"a\tb", 3, 1, 4},                                          // the tab adds spacing only
        {"a\x82", 3, 1, 5},  // lone final lead byte is full width
    };
    for (const auto& c : cases)
        EXPECT_EQ(MeasureText(c.text, c.width, c.spacing), c.want) << c.text;
}
