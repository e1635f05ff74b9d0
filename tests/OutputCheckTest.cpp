// The checker's writer-form level, the fuzzers' reading of a written JWC_TEMP.TXT: it must take
// what the writer makes and refuse each kind of line the host could misread.
#include <gtest/gtest.h>

#include <string>

#include "OutputCheck.h"

TEST(CheckWriterForm, TakesTheWritersLines) {
    const std::string good[] = {
        "hq\r\n",
        "lg0\r\nlyF\r\nlc2\r\npn101\r\nlt-1\r\nlw30000\r\ncn\"$<F\">\r\ncc8\r\nz1\r\nz5\r\n",
        "cn12\r\ncn0 2.5 2.5 0 2\r\n0 20 100 20\r\npt 1E-5 -2.5 1 45 -7\r\n",
        // Ends a few units of the last place apart: written, though alike at 15 digits.
        "156842099844.518 156842099844.518 156842099844.518 156842099844.518\r\n",
        "cs 47.75 20.5 10 0 \"100\r\nch 0 0 -2.50827880633417E-19 10 \" L= \"1\" \r\n",
        "msg\r\n0 0 1000 0\r\ncs 500 5 10 0 \"1,000\r\n",
        "cs 0 0 10 0 \"" + std::string(255, 'x') + "\r\n",
        // Plain from 0.0001 (0.1 x 10^-3) to 15 digits before the point; a subnormal's digits.
        "0.0001 -123456789012345 1E-5 1E15\r\n",
        "0 0 4.94065645841247E-324 0\r\n",
    };
    for (const auto& file : good) {
        SCOPED_TRACE(file);
        EXPECT_EQ(CheckWriterForm(file), "");
    }
}

TEST(CheckWriterForm, RefusesWhatTheHostWouldMisread) {
    const std::string bad[] = {
        "",
        "hq",                                          // no line end
        "z3\r\nhq\r\n",                                // hq among commands
        "cs -2.25 0.5 10 0 \"INF\r\n",                 // a text made of infinity
        "cs 0 0 10 0 \"\x82\x68\x82\x6d\x82\x65\r\n",  // ＩＮＦ
        "0 0 INF 0\r\n",
        "0 0 1.79769313486232E308 0\r\n",  // past the largest double
        "0 0 1.50 0\r\n",                  // not as NumberText writes it
        "0 0 0.00001 0\r\n",               // 1E-5 in the writer's form
        "0 0 1E14 0\r\n",                  // 100000000000000 in the writer's form
        "0 0 1234567890123456 0\r\n",      // 16 significant digits
        "0 0 -0 0\r\n",
        "0 0 1E-400 0\r\n",            // reads as 0
        "0 0 1 0 5\r\n",               // five numbers
        "cs 0 0 10 0 \"a\rb\r\n",      // a bare CR inside a line
        "cn\"$a\nb\r\n",               // a bare LF
        "cs 0 0 0 0 \"a\r\n",          // no direction
        "cs 0 0 10 0 \"\x81\x40\r\n",  // blank text
        "cs 0 0 10 0 \"" + std::string(256, 'x') + "\r\n",
        std::string(256, '1') + "\r\n",
        "msg\r\ncs 0 0 10 0 \"1\r\n",  // a figure without its line
        "msg\r\n0 0 1 0\r\n",          // a figure without its text
        "lw-1\r\n",
        "cc9\r\n",
        "lg0A\r\n",
        "cn0\r\n",
        "pt 0 0 1 0 12\r\n",
        "z6\r\n",
    };
    for (const auto& file : bad) {
        SCOPED_TRACE(file);
        EXPECT_NE(CheckWriterForm(file), "");
    }
    TWriterFormOptions prefixed;
    prefixed.TextMayReadInfOrNan = true;
    EXPECT_EQ(CheckWriterForm("cs 0 0 10 0 \"NAN100\r\n", prefixed), "");
}

// The checker's own blank test, by whole characters: a full-width blank only where a character
// starts.
TEST(IsBlankText, OnlyBlanksAndControlsAreBlank) {
    const struct {
        std::string text;
        bool blank;
    } cases[] = {
        {"", true},
        {" \t\x01\x1f", true},
        {"\x81\x40 \x81\x40", true},
        {"!", false},                 // 0x21, just past the blank
        {"\x7f", false},              // DEL is drawn
        {"\x81\x41", false},          // "、"
        {"\x81", false},              // a lone lead byte
        {"\x81\x81\x40\x40", false},  // "＝" and "@", not a full-width blank
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        EXPECT_EQ(IsBlankText(c.text), c.blank);
    }
}
