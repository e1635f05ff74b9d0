// Number text, the emitters and the output file, checked against the exact bytes the host reads.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <fstream>
#include <functional>
#include <initializer_list>
#include <iterator>
#include <limits>
#include <stdexcept>
#include <string>
#include <vector>

#include "Faults.h"
#include "JwwGaibu.h"
#include "LongPath.h"
#include "ReplaceFile.h"
#include "TestFiles.h"

namespace fs = std::filesystem;

namespace {

constexpr double Inf = std::numeric_limits<double>::infinity();
constexpr double NaN = std::numeric_limits<double>::quiet_NaN();

// A fresh output state, as after the start-up sequence, and a fresh folder for the test.
struct TFreshOutput {
    TFreshOutput() {
        JwwInit();
        ResetOutputState();
    }

    ~TFreshOutput() { OutputLines.clear(); }

    TFreshOutput(const TFreshOutput&) = delete;
    TFreshOutput& operator=(const TFreshOutput&) = delete;

    std::vector<fs::path> Entries() const {
        std::vector<fs::path> entries;
        for (const auto& entry : fs::directory_iterator(Folder)) entries.push_back(entry.path());
        std::sort(entries.begin(), entries.end());
        return entries;
    }

    TScratchFolder Scratch{"pardim-out"};
    fs::path Folder = Scratch.Path;
};

using Texts = std::vector<std::string>;

// The records as texts; a command joined to the next record is marked with a trailing "+".
Texts Records() {
    Texts texts;
    for (const auto& record : OutputLines) {
        texts.push_back(record.Text + (record.JoinsNext ? "+" : ""));
    }
    return texts;
}

// The file written from the records, as bytes.
std::string WrittenFile(const fs::path& folder) {
    const fs::path path = folder / "JWC_TEMP.TXT";
    EXPECT_TRUE(WriteOutputFile(path));
    return ReadBytes(path);
}

struct TNumberCase {
    double In;
    const char* Want;
};

void ExpectNumberTexts(std::initializer_list<TNumberCase> cases) {
    for (auto c : cases) {
        SCOPED_TRACE(c.Want);
        EXPECT_EQ(NumberText(c.In), c.Want);
    }
}

}  // namespace

TEST(NumberText, PlainAndScientificAtTheirEdges) {
    ExpectNumberTexts({
        {3, "3"},
        {2.5, "2.5"},
        {-0.125, "-0.125"},
        {1.0 / 3, "0.333333333333333"},
        {0.1, "0.1"},
        {0.1 + 0.2, "0.3"},
        {1000000, "1000000"},
        {0.001, "0.001"},
        {0.0001, "0.0001"},  // exponent -3: still plain
        {0.000999, "0.000999"},
        {0.00001, "1E-5"},  // exponent -4: scientific
        {0.000012, "1.2E-5"},
        {-0.000012, "-1.2E-5"},
        {123456789012345, "123456789012345"},  // exponent 15: plain
        {999999999999999, "999999999999999"},
        {1e15, "1E15"},                             // exponent 16: scientific
        {1234567890123456, "1.23456789012346E15"},  // 16th digit rounds the 15th up
        {2.5e20, "2.5E20"},
        {1e300, "1E300"},
        {1.7976931348623157e308, "1.79769313486232E308"},
        {4.9406564584124654e-324, "4.94065645841247E-324"},
        {0.0, "0"},
        {-0.0, "0"},
    });
}

TEST(NumberText, TiesRoundAwayFromZeroOnTheExactDigits) {
    ExpectNumberTexts({
        {100000000000000.5, "100000000000001"},  // an exact tie: not to even
        {-100000000000000.5, "-100000000000001"},
        {std::nextafter(100000000000000.5, 0.0), "100000000000000"},  // just below the tie
        {2.5, "2.5"},
    });
}

TEST(NumberText, CarryTakesTheExponentAfterRounding) {
    ExpectNumberTexts({
        {999999999999999.9, "1E15"},
        {-999999999999999.9, "-1E15"},
        {std::nextafter(1.0, 0.0), "1"},
        {std::nextafter(1e-4, 0.0), "0.0001"},  // 9.99...E-5 becomes plain again
        {99999.99999999999, "100000"},
    });
}

TEST(NumberText, NonFiniteValuesHaveNames) {
    EXPECT_EQ(NumberText(Inf), "INF");
    EXPECT_EQ(NumberText(-Inf), "-INF");
    EXPECT_EQ(NumberText(NaN), "NAN");
}

TEST(IntegerText, SignAndExtremes) {
    EXPECT_EQ(IntegerText(0), "0");
    EXPECT_EQ(IntegerText(-7), "-7");
    EXPECT_EQ(IntegerText(std::numeric_limits<int>::max()), "2147483647");
    EXPECT_EQ(IntegerText(std::numeric_limits<int>::min()), "-2147483648");
}

TEST(Emitters, FirstCallsWriteTheExampleLines) {
    struct {
        const char* call;
        std::function<void()> emit;
        const char* file;
    } cases[] = {
        {"lg 10", [] { EmitLayerGroup(10); }, "lgA\r\n"},
        {"lc 2", [] { EmitLineColor(2, 0); }, "lc2\r\n"},
        {"lc 10 as given", [] { EmitLineColor(10, 0); }, "lc10\r\n"},
        {"lc 10 mapped", [] { EmitLineColor(10, 1); }, "lc101\r\n"},
        {"lt 10 as given", [] { EmitLineType(10, 0); }, "lt10\r\n"},
        {"lt 10 mapped", [] { EmitLineType(10, 1); }, "lt11\r\n"},
        {"pn 10 as given", [] { EmitPenNumber(10, 0); }, "pn10\r\n"},
        {"pn 10 mapped", [] { EmitPenNumber(10, 1); }, "pn101\r\n"},
        {"lw -1", [] { EmitLineWidth(-1); }, "lw0\r\n"},
        {"cn0", [] { EmitTextType(0, 2, 0, 2.5, 2.5, 0); }, "cn0 2.5 2.5 0 2\r\n"},
        {"cn0 colour as given", [] { EmitTextType(0, 10, 0, 2.5, 2.5, 0); },
         "cn0 2.5 2.5 0 10\r\n"},
        {"cn0 colour mapped", [] { EmitTextType(0, 10, 1, 2.5, 2.5, 0); }, "cn0 2.5 2.5 0 101\r\n"},
        {"cn3", [] { EmitTextType(3, 7, 0, 9.5, 1, 2); }, "cn3\r\n"},
        {"font", [] { EmitFontName("\x82\x6c\x82\x72 \x96\xbe\x92\xa9"); },  // ＭＳ 明朝
         "cn\"$\x82\x6c\x82\x72 \x96\xbe\x92\xa9\r\n"},
        {"line", [] { EmitLine(0, 0, 1000.5, -0.25); }, "0 0 1000.5 -0.25\r\n"},
        {"pt", [] { EmitPoint(3, 10, 20, 1, 45); }, "pt 10 20 1 45 3\r\n"},
        {"text", [] { EmitText(TextKindCs, "\x90\xa1\x96\x40", 100, 50, 10, 0); },  // 寸法
         "cs 100 50 10 0 \"\x90\xa1\x96\x40\r\n"},
        {"figure", [] { EmitDimensionFigure("1,000", 0, 0, 1000, 0, 500, 5, 10, 0); },
         "msg\r\n0 0 1000 0\r\ncs 500 5 10 0 \"1,000\r\n"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.call);
        TFreshOutput out;
        c.emit();
        EXPECT_EQ(WrittenFile(out.Folder), c.file);
    }
}

// The host ends a line at a CR or LF: a text or font name carrying one loses it, and a text
// left blank by that is not written.
TEST(Emitters, NoLineBreakInsideARecord) {
    struct {
        const char* call;
        std::function<void()> emit;
        std::string file;
    } cases[] = {
        {"text CR", [] { EmitText(2, "a\r", 0, 0, 10, 0); }, "cs 0 0 10 0 \"a\r\n"},
        {"text LF", [] { EmitText(2, "a\nb", 0, 0, 10, 0); }, "cs 0 0 10 0 \"ab\r\n"},
        {"text broken", [] { EmitText(2, "\x82\r", 0, 0, 10, 0); }, "hq\r\n"},
        {"font", [] { EmitFontName("<F\x82\rG>"); }, "cn\"$<FG>\r\n"},
        {"font lead", [] { EmitFontName("<F>\x82"); }, "cn\"$<F>\r\n"},
        {"figure", [] { EmitDimensionFigure("\r\n", 0, 0, 3, 4, 0, 0, 10, 0); },
         "msg\r\n0 0 3 4\r\ncs 0 0 10 0 \"5\r\n"},
        {"long", [] { EmitText(2, std::string(254, 'x') + "\rab", 0, 0, 10, 0); },
         "cs 0 0 10 0 \"" + std::string(254, 'x') + "a\r\n"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.call);
        TFreshOutput out;
        c.emit();
        EXPECT_EQ(WrittenFile(out.Folder), c.file);
    }
}

TEST(AttributeEmitters, AttributeIsWrittenOnceUntilItChanges) {
    TFreshOutput out;
    EmitLineColor(1, 0);  // equal to the reset value, but forced
    EmitLineColor(1, 0);
    EmitLineColor(4, 0);
    EmitLineType(1, 0);
    EmitLineType(1, 0);
    EmitCcValue(0);
    EmitCcValue(0);
    EmitPenNumber(1, 0);
    EmitPenNumber(1, 0);
    EmitFontName(DefaultFontName);
    EmitFontName(DefaultFontName);
    EmitTextType(1, 0, 0, 0, 0, 0);
    EmitTextType(1, 5, 0, 9, 9, 9);  // sizes do not matter for a numbered type
    EXPECT_EQ(Records(), (Texts{"lc1", "lc4", "lt1", "cc0", "pn1",
                                std::string("cn\"$") + DefaultFontName, "cn1"}));
}

TEST(EmitLayerGroup, NewGroupForcesTheLayer) {
    TFreshOutput out;
    EmitLayer(0);
    EmitLayerGroup(0);
    EmitLayer(0);  // unchanged, but the group line before it forces it
    EmitLayer(0);
    EmitLayerGroup(0);  // nothing written: the layer is not forced again
    EmitLayer(0);
    EmitLayerGroup(5);
    EmitLayer(0);
    EXPECT_EQ(Records(), (Texts{"ly0", "lg0", "ly0", "lg5", "ly0"}));
}

TEST(EmitLayerGroup, WritesHexWithTwosComplement) {
    TFreshOutput out;
    EmitLayerGroup(31);
    EmitLayer(15);
    EmitLayerGroup(-1);
    EmitLayer(-2);
    EXPECT_EQ(Records(), (Texts{"lg1F", "lyF", "lgFFFFFFFF", "lyFFFFFFFE"}));
}

TEST(EmitLineWidth, OutOfRangeBecomesZero) {
    TFreshOutput out;
    ExchangeModel.InitialLineWidth = 7;
    EmitLineWidth(-1);
    EmitLineWidth(40000);
    EmitLineWidth(-5);  // 0 again: nothing written
    EmitLineWidth(30000);
    EmitLineWidth(30001);
    EXPECT_EQ(Records(), (Texts{"lw7", "lw0", "lw30000", "lw0"}));
}

TEST(EmitCcValue, OutOfRangeBecomesZero) {
    TFreshOutput out;
    EmitCcValue(9);
    EmitCcValue(-1);
    EmitCcValue(8);
    EXPECT_EQ(Records(), (Texts{"cc0", "cc8"}));
}

TEST(EmitTextType, OutOfRangeTakesTheHostsFreeSize) {
    TFreshOutput out;
    ExchangeModel.InitialTextType = 0;
    ExchangeModel.InitialFreeText = {3.5, 4, 0.5, 6};
    EmitTextType(11, 2, 0, 1, 1, 1);
    EmitTextType(0, 6, 0, 3.5, 4, 0.5);  // the same free size: nothing
    EmitTextType(0, 6, 0, 3.5, 4.5, 0.5);
    EmitTextType(0, 5, 0, 3.5, 4.5, 0.5);
    EXPECT_EQ(Records(), (Texts{"cn0 3.5 4 0.5 6", "cn0 3.5 4.5 0.5 6", "cn0 3.5 4.5 0.5 5"}));
}

TEST(EmitTextType, OutOfRangeTakesTheHostsNumber) {
    TFreshOutput out;
    ExchangeModel.InitialTextType = 4;
    EmitTextType(-1, 2, 0, 1, 1, 1);
    EmitTextType(4, 2, 0, 1, 1, 1);
    EmitTextType(10, 2, 0, 1, 1, 1);  // the last of the table
    EXPECT_EQ(Records(), (Texts{"cn4", "cn10"}));
}

TEST(EmitFontName, EmptyOrBracketsMeansTheHostsFont) {
    TFreshOutput out;
    ExchangeModel.InitialFontName = "<A>";
    EmitFontName("<>");
    EmitFontName("");
    EmitFontName("B\"");
    EXPECT_EQ(Records(), (Texts{"cn\"$<A>", "cn\"$B\""}));
}

TEST(EmitFontName, EmptyEverywhereWritesTheBareCommand) {
    TFreshOutput out;
    EmitFontName("");
    EXPECT_EQ(Records(), (Texts{"cn\"$"}));
}

TEST(EmitZFlags, OneLinePerBit) {
    TFreshOutput out;
    struct {
        int bits;
        Texts want;
    } cases[] = {
        {24, {"z5"}}, {5, {"z1", "z3"}}, {8, {"z4"}}, {31, {"z1", "z2", "z3", "z5"}}, {0, {}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.bits);
        OutputLines.clear();
        EmitZFlags(c.bits);
        EXPECT_EQ(Records(), c.want);
    }
}

TEST(EmitLine, ShorterThanTheToleranceIsDropped) {
    TFreshOutput out;
    EmitLine(5, 5, 5, 5);
    EmitLine(0, 0, 0.000000009, -0.000000009);
    EmitLine(0, 0, 0.00001, 0);
    EmitLine(0, 0, 0, 1e-8);  // at the tolerance: kept
    EmitLine(0, 0, 1e-8, 0);
    EXPECT_EQ(Records(), (Texts{"0 0 1E-5 0", "0 0 0 1E-8", "0 0 1E-8 0"}));
}

TEST(EmitPoint, CodeAndMagnificationAreNormalised) {
    TFreshOutput out;
    EmitPoint(12, 0, 0, 0, 0);
    EmitPoint(-8, 0, 0, 1e-8, 0);
    EmitPoint(-7, 0, 0, -2, 90);
    EmitPoint(11, 1.5, -2.5, 2e-8, 0);
    EXPECT_EQ(Records(), (Texts{"pt 0 0 1 0 -3", "pt 0 0 1 0 -3", "pt 0 0 -2 90 -7",
                                "pt 1.5 -2.5 2E-8 0 11"}));
}

TEST(Emitters, NonFiniteValuesWriteNothingAndKeepTheState) {
    TFreshOutput out;
    EmitLine(0, 0, Inf, 0);
    EmitLine(NaN, 0, 1, 0);
    EmitPoint(1, 0, NaN, 1, 0);
    EmitPoint(1, 0, 0, Inf, 0);
    EmitPoint(1, 0, 0, 1, -Inf);
    EmitTextType(0, 1, 0, NaN, 2, 0);
    EmitText(TextKindCs, "1", 0, 0, 10, NaN);
    EmitText(TextKindCs, "1", Inf, 0, 10, 0);
    EmitDimensionFigure("1", 0, 0, Inf, 0, 0, 0, 10, 0);
    EmitDimensionFigure("1", 0, 0, 1, 0, NaN, 0, 10, 0);
    EmitDimensionFigure("", 0, 0, 1.5e308, 1.5e308, 0, 0, 10, 0);  // too long to measure
    EXPECT_EQ(Records(), Texts{});
    EXPECT_TRUE(OutputAttributeState.AttrFlags[6]);
    EXPECT_EQ(OutputAttributeState.CurTextType, 1);
}

// 15 digits of the largest doubles round past the largest double: the host would read infinity.
TEST(IsWritableReal, LargestDoublesReadAsInfinity) {
    struct {
        double value;
        bool want;
    } cases[] = {
        {0, true},
        {1e308, true},
        {1.7976931348623149e308, true},  // 1.79769313486231E308
        {-1.7976931348623149e308, true},
        {1.7976931348623151e308, false},  // 1.79769313486232E308, as the largest double
        {std::numeric_limits<double>::max(), false},
        {-std::numeric_limits<double>::max(), false},
        {Inf, false},
        {NaN, false},
        {std::numeric_limits<double>::denorm_min(), true},
    };
    for (auto c : cases) {
        SCOPED_TRACE(c.value);
        EXPECT_EQ(IsWritableReal(c.value), c.want);
    }
}

TEST(Emitters, NumbersThatReadAsInfinityWriteNothing) {
    TFreshOutput out;
    const double max = std::numeric_limits<double>::max();
    EmitLine(0, 0, max, 0);
    EmitPoint(1, -max, 0, 1, 0);
    EmitText(2, "1", 0, 0, max, 0);
    EmitDimensionFigure("", 0, 0, max, 0, 0, 0, 10, 0);
    EmitTextType(0, 1, 0, max, 2, 0);
    EXPECT_EQ(Records(), Texts{});
    EmitLine(0, 0, 1.7976931348623149e308, 0);
    EXPECT_EQ(Records(), Texts{"0 0 1.79769313486231E308 0"});
}

TEST(EmitText, KindChoosesTheKeyword) {
    TFreshOutput out;
    struct {
        int kind;
        const char* want;
    } cases[] = {
        {0, "ch 1 2 10 0 \"+"}, {10, "ch 1 2 10 0 \"+"}, {-1, "ch 1 2 10 0 \"+"},
        {1, "cv 1 2 10 0 \"+"}, {2, "cs 1 2 10 0 \"+"},  {3, "cr 1 2 10 0 \"+"},
        {4, "co 1 2 10 0 \"+"}, {5, "cp 1 2 10 0 \"+"},  {6, "ct 1 2 10 0 \"+"},
        {7, "ck 1 2 10 0 \"+"}, {8, "cz 1 2 10 0 \"+"},  {9, "c2 1 2 10 0 \"+"},
    };
    for (auto c : cases) {
        SCOPED_TRACE(c.kind);
        OutputLines.clear();
        EmitText(c.kind, "A", 1, 2, 10, 0);
        EXPECT_EQ(Records(), (Texts{c.want, "A"}));
    }
}

TEST(EmitText, BlankTextOrNoDirectionWritesNothing) {
    TFreshOutput out;
    EmitText(TextKindCs, "\x81\x40\x81\x40", 0, 0, 10, 0);  // two full-width blanks
    EmitText(TextKindCs, " \t ", 0, 0, 10, 0);
    EmitText(TextKindCs, "", 0, 0, 10, 0);
    EmitText(TextKindCs, "1", 0, 0, 0, 0);
    EmitText(TextKindCs, "1", 0, 0, 1e-8, -1e-8);  // at the tolerance: no direction
    EXPECT_EQ(Records(), Texts{});
}

TEST(EmitText, BlanksInTheTextAreKept) {
    TFreshOutput out;
    EmitText(TextKindCs, " L= 100 ", 0, 0, 0, 2e-8);
    EXPECT_EQ(WrittenFile(out.Folder), "cs 0 0 0 2E-8 \" L= 100 \r\n");
}

TEST(EmitText, LongTextIsCutTo255Bytes) {
    TFreshOutput out;
    EmitText(TextKindCs, std::string(300, 'x'), 0, 0, 10, 0);
    ASSERT_EQ(OutputLines.size(), 2u);
    EXPECT_EQ(OutputLines[1].Text, std::string(255, 'x'));
}

TEST(EmitText, CutNeverSplitsATwoByteCharacter) {
    TFreshOutput out;
    std::string text(254, 'x');
    text += "\x82\xa0\x82\xa0";  // あ across byte 255
    EmitText(TextKindCs, text, 0, 0, 10, 0);
    ASSERT_EQ(OutputLines.size(), 2u);
    EXPECT_EQ(OutputLines[1].Text, std::string(254, 'x'));
}

TEST(EmitText, LeavesTheAttributesAlone) {
    TFreshOutput out;
    EmitText(TextKindCs, "1", 0, 0, 10, 0);
    EmitDimensionFigure("1", 0, 0, 1, 0, 0, 0, 10, 0);
    EXPECT_EQ(OutputAttributeState.CurTextType, 1);
    for (int flag = 1; flag <= 9; ++flag) EXPECT_TRUE(OutputAttributeState.AttrFlags[flag]);
}

TEST(EmitDimensionFigure, BlankTextReadsTheRoundedLength) {
    TFreshOutput out;
    struct {
        double x2, y2;
        const char* text;
        const char* want;
    } cases[] = {
        {3, 4, " ", "5"},
        {1000, 0, "", "1000"},
        {0, 0.1 + 0.2, "\x81\x40", "0.3"},
        {1.000000004, 0, "", "1"},
        {1.000000005, 0, "", "1"},  // stored just below the half
        {1.000000006, 0, "", "1.00000001"},
        {1.0000000050001, 0, "", "1.00000001"},  // just above the half
        {-2e-8, 0, "", "2E-8"},
    };
    for (auto c : cases) {
        SCOPED_TRACE(c.want);
        OutputLines.clear();
        EmitDimensionFigure(c.text, 0, 0, c.x2, c.y2, 0, 0, 10, 0);
        ASSERT_EQ(OutputLines.size(), 4u);
        EXPECT_EQ(OutputLines[3].Text, c.want);
    }
}

TEST(EmitDimensionFigure, DegenerateFigureWritesNotEvenMsg) {
    TFreshOutput out;
    EmitDimensionFigure("1", 0, 0, 0.000000009, 0.000000009, 0, 0, 10, 0);
    EmitDimensionFigure("1", 0, 0, 1, 0, 0, 0, 1e-8, 0);
    EXPECT_EQ(Records(), Texts{});
}

TEST(WriteOutputFile, EmptyListWritesHq) {
    TFreshOutput out;
    EXPECT_EQ(WrittenFile(out.Folder), "hq\r\n");
}

TEST(WriteOutputFile, JoinedPairsShareALine) {
    TFreshOutput out;
    EmitLineColor(2, 0);
    EmitText(TextKindCh, "a\"", 1, 2, 10, 0);  // a text ending in a quote does not join again
    AddOutputLine("");
    EmitFontName("<F>\"");  // a font ending in a quote is a line of its own
    EmitLine(0, 0, 1, 1);
    EmitText(TextKindCs, "b", 3, 4, 0, 10);
    EXPECT_EQ(WrittenFile(out.Folder),
              "lc2\r\n"
              "ch 1 2 10 0 \"a\"\r\n"
              "\r\n"
              "cn\"$<F>\"\r\n"
              "0 0 1 1\r\n"
              "cs 3 4 0 10 \"b\r\n");
}

TEST(WriteOutputFile, JoinedRecordLastEndsWithoutLineEnd) {
    TFreshOutput out;
    EmitLine(0, 0, 1, 0);
    EmitText(TextKindCs, "x", 0, 0, 10, 0);
    OutputLines.pop_back();
    EXPECT_EQ(WrittenFile(out.Folder), "0 0 1 0\r\ncs 0 0 10 0 \"");
}

TEST(WriteOutputFile, ReplacesTheExistingFileAndLeavesNoTemporary) {
    TFreshOutput out;
    const fs::path path = out.Folder / "JWC_TEMP.TXT";
    WriteBytes(path, "hp1 0 0\r\nhp2 1 1\r\nhp3 2 2\r\nmuch longer than the new contents\r\n");
    EmitZFlags(ZFlagDimension);
    EXPECT_TRUE(WriteOutputFile(path));
    EXPECT_EQ(ReadBytes(path), "z3\r\n");
    EXPECT_EQ(out.Entries(), std::vector<fs::path>{path});
}

TEST(WriteOutputFile, MissingFolderFails) {
    TFreshOutput out;
    EmitZFlags(ZFlagDimension);
    EXPECT_FALSE(WriteOutputFile(out.Folder / "missing" / "JWC_TEMP.TXT"));
    EXPECT_EQ(out.Entries(), std::vector<fs::path>{});
}

TEST(WriteOutputFile, TargetThatIsAFolderIsLeftAsItWas) {
    TFreshOutput out;
    const fs::path path = out.Folder / "JWC_TEMP.TXT";
    fs::create_directory(path);
    WriteBytes(path / "inside.txt", "kept");
    EmitZFlags(ZFlagDimension);
    EXPECT_FALSE(WriteOutputFile(path));
    EXPECT_EQ(out.Entries(), std::vector<fs::path>{path});
    EXPECT_EQ(ReadBytes(path / "inside.txt"), "kept");
}

// Faults of rights and disk, met as the tool's user meets them (an ordinary user even when the
// tests run as root): the host's own file, which draws nothing, stays as it was, and nothing is
// left beside it.
TEST(WriteOutputFile, FileSystemFaultsKeepTheOldFile) {
    constexpr fs::perms writable =
        fs::perms::owner_write | fs::perms::group_write | fs::perms::others_write;
    const struct {
        const char* fault;
        fs::perms folderDenied, fileDenied;
        rlim_t maxFileBytes;  // 0: no cap
    } cases[] = {
        {"read-only folder", writable, fs::perms::none, 0},
        {"read-only file", fs::perms::none, writable, 0},
        {"write cut short", fs::perms::none, fs::perms::none, 16},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.fault);
        TFreshOutput out;
        const fs::path path = out.Folder / "JWC_TEMP.TXT";
        const std::string old = "hq\r\nhk 0\r\nhp1 0 0\r\n";
        WriteBytes(path, old);
        fs::permissions(path, c.fileDenied, fs::perm_options::remove);
        fs::permissions(out.Folder, c.folderDenied, fs::perm_options::remove);
        EmitLine(0, 0, 1000.5, -0.25);
        EmitLine(1, 2, 3, 4);
        RunAsOrdinaryUser(
            out.Folder, [&] { EXPECT_FALSE(WriteOutputFile(path)); }, c.maxFileBytes);
        EXPECT_EQ(ReadBytes(path), old);
        EXPECT_EQ(out.Entries(), std::vector<fs::path>{path});
    }
}

// The core's paths are taken apart as the standard library's: the folder with its separator,
// the file name, and the extension that the settings file's name replaces.
TEST(TPath, TakesNamesApartAsTheStandardLibrary) {
    for (const char* text : {"/d/pardim.exe", "pardim.exe", "/pardim.exe", "d/x.tar.gz",
                             "a.b/pardim", "d/.profile", "d/..", "d/.", "d/", ""}) {
        SCOPED_TRACE(text);
        const fs::path standard(text);
        const TPath path(text);
        EXPECT_EQ(path.Folder(), standard.parent_path() / "");
        EXPECT_EQ(path.FileName(), standard.filename());
        EXPECT_EQ(path.WithExtension(".dat"), fs::path(text).replace_extension(".dat"));
        EXPECT_EQ(path.Folder() / "JWC_TEMP.TXT", standard.parent_path() / "JWC_TEMP.TXT");
    }
}

TEST(ReplaceFile, TakenTemporaryNamesAreLeftAlone) {
    TFreshOutput out;
    const fs::path path = out.Folder / "a.dat";
    WriteBytes(path, "old");
    WriteBytes(out.Folder / "a.dat.tmp", "the user's");
    fs::create_directory(out.Folder / "a.dat.tmp1");
    WriteBytes(out.Folder / "a.dat.tmp1" / "a.dat", "also the user's");
    EXPECT_TRUE(ReplaceFile(path, std::string("new\0\r\n", 6)));
    EXPECT_EQ(ReadBytes(path), std::string("new\0\r\n", 6));
    EXPECT_EQ(ReadBytes(out.Folder / "a.dat.tmp"), "the user's");
    EXPECT_EQ(ReadBytes(out.Folder / "a.dat.tmp1" / "a.dat"), "also the user's");
    EXPECT_EQ(out.Entries(),
              (std::vector<fs::path>{path, out.Folder / "a.dat.tmp", out.Folder / "a.dat.tmp1"}));
}

TEST(ReplaceFile, NoFreeTemporaryNameKeepsTheOldFile) {
    TFreshOutput out;
    const fs::path path = out.Folder / "a.dat";
    WriteBytes(path, "old");
    WriteBytes(out.Folder / "a.dat.tmp", "");
    for (int n = 1; n < 100; ++n) WriteBytes(out.Folder / ("a.dat.tmp" + std::to_string(n)), "");
    EXPECT_FALSE(ReplaceFile(path, "new"));
    EXPECT_EQ(ReadBytes(path), "old");
    EXPECT_EQ(out.Entries().size(), 101u);
}

// Decided by the file's own rights, so that root, whom no right binds, keeps it as well.
TEST(ReplaceFile, ReadOnlyTargetIsKeptWhoeverRuns) {
    TFreshOutput out;
    const fs::path path = out.Folder / "a.dat";
    WriteBytes(path, "old");
    fs::permissions(path, fs::perms::owner_read);
    EXPECT_FALSE(ReplaceFile(path, "new"));
    EXPECT_EQ(ReadBytes(path), "old");
    EXPECT_EQ(out.Entries(), std::vector<fs::path>{path});
}

// The platform's rename is the last step: it is handed the finished temporary, and when it
// fails, or throws, the old file is all that is left.
TEST(ReplaceFile, UsesThePlatformsRename) {
    enum TOutcome { Renames, Fails, Throws };
    static TOutcome outcome;
    static std::string renamedBytes;
    SetRenameOver([](const TPath& from, const TPath& to) {
        renamedBytes = ReadBytes(from.Native());
        if (outcome == Throws) throw std::runtime_error("held");
        if (outcome == Renames) fs::rename(from.Native(), to.Native());
        return outcome == Renames;
    });
    for (const TOutcome o : {Renames, Fails, Throws}) {
        SCOPED_TRACE(o);
        outcome = o;
        TFreshOutput out;
        const fs::path path = out.Folder / "a.dat";
        WriteBytes(path, "old");
        if (o == Throws) {
            EXPECT_THROW((void)ReplaceFile(path, "new"), std::runtime_error);
        } else {
            EXPECT_EQ(ReplaceFile(path, "new"), o == Renames);
        }
        EXPECT_EQ(renamedBytes, "new");
        EXPECT_EQ(ReadBytes(path), o == Renames ? "new" : "old");
        EXPECT_EQ(out.Entries(), std::vector<fs::path>{path});
    }
    SetRenameOver(nullptr);
}

// What Windows' file functions receive. The expected forms are those that Windows' own
// normalisation (GetFullPathNameW) gives the same paths, with the prefix in front.
TEST(LongPathForm, PrefixesAbsolutePathsAfterNormalising) {
    const struct {
        const wchar_t* Path;
        const wchar_t* Form;
    } rows[] = {
        {LR"(C:\jww\pardim\JWC_TEMP.TXT)", LR"(\\?\C:\jww\pardim\JWC_TEMP.TXT)"},
        {LR"(c:/jww/pardim/pardim.dat)", LR"(\\?\c:\jww\pardim\pardim.dat)"},
        {LR"(C:\jww\\pardim\.\x\..\JWC_TEMP.TXT)", LR"(\\?\C:\jww\pardim\JWC_TEMP.TXT)"},
        {LR"(C:\..\..\a)", LR"(\\?\C:\a)"},  // ".." never takes the drive away
        {LR"(C:\jww\pardim\)", LR"(\\?\C:\jww\pardim\)"},
        {LR"(C:\jww\pardim\.)", LR"(\\?\C:\jww\pardim)"},
        {LR"(C:\jww\..)", LR"(\\?\C:\)"},
        {LR"(C:\)", LR"(\\?\C:\)"},
        {LR"(\\server\share\jww\pardim.dat)", LR"(\\?\UNC\server\share\jww\pardim.dat)"},
        {LR"(//server/share/a/../pardim.dat)", LR"(\\?\UNC\server\share\pardim.dat)"},
        {LR"(\\server\share\..\..\pardim.dat)", LR"(\\?\UNC\server\share\pardim.dat)"},
        {LR"(\\server\share)", LR"(\\?\UNC\server\share\)"},
        // Already in a prefixed form: Windows takes these as they stand.
        {LR"(\\?\C:\jww\.\pardim.dat)", LR"(\\?\C:\jww\.\pardim.dat)"},
        {LR"(\\?\UNC\server\share\a)", LR"(\\?\UNC\server\share\a)"},
        {LR"(\\.\C:\a)", LR"(\\.\C:\a)"},
        {LR"(\??\C:\a)", LR"(\??\C:\a)"},
        // Relative: to the current folder, the current drive, or the drive's current folder.
        {LR"(pardim.dat)", LR"(pardim.dat)"},
        {LR"(.\a/../pardim.dat)", LR"(.\a/../pardim.dat)"},
        {LR"(\jww\pardim.dat)", LR"(\jww\pardim.dat)"},
        {LR"(C:pardim.dat)", LR"(C:pardim.dat)"},
        {LR"(C:)", LR"(C:)"},
        {L"", L""},
    };
    for (const auto& row : rows) {
        const std::wstring path = row.Path;
        SCOPED_TRACE(std::string(path.begin(), path.end()));
        EXPECT_EQ(LongPathForm(row.Path), row.Form);
    }
}
