// Tests of the exchange store and the reader of JWC_TEMP.TXT.
#include <gtest/gtest.h>

#include <array>
#include <bit>
#include <climits>
#include <cmath>
#include <cstdint>
#include <fstream>
#include <random>
#include <string>
#include <vector>

#include "Faults.h"
#include "JwwGaibu.h"
#include "TestFiles.h"
#include "MyFunc.h"

namespace {

using Tokens = std::vector<std::string>;

// A fresh store fed with the given lines, as the run sequence does with the file.
void Parse(std::initializer_list<std::string_view> lines) {
    JwwInit();
    for (std::string_view line : lines) JwwParseLine(line);
}

std::filesystem::path Sample(const char* name) { return DataFile(name); }

// A file in a scratch folder holding exactly the given bytes, removed with the object.
class TempFile {
public:
    explicit TempFile(std::string_view bytes) { WriteBytes(Path, std::string(bytes)); }
    TScratchFolder Scratch{"pardim-reader"};
    std::filesystem::path Path = Scratch.Path / "JWC_TEMP.TXT";
};

void ExpectTextType(const TJwwTextType& t, double width, double height, double spacing, int color) {
    EXPECT_EQ(t.Width, width);
    EXPECT_EQ(t.Height, height);
    EXPECT_EQ(t.Spacing, spacing);
    EXPECT_EQ(t.Color, color);
}

const TExchangeModel& M = ExchangeModel;
const TOutputAttributeState& S = OutputAttributeState;

}  // namespace

TEST(JwwInit, SetsEveryDefaultAndLeavesWriterFlags) {
    Parse({"hs 5 5 5 5 5 5 5 5 5 5 5 5 5 5 5 5", "hzs 1 2", "lg3", "ly4", "lc5", "cn0 1 1 1 1",
           "cn\"$X", "hp1 1 2", "pl", "msg", " 7 7 8 8", "ch 1 2 3 4 x", "hhp4", "z2"});
    OutputAttributeState.AttrFlags[7] = OutputAttributeState.AttrFlags[8] = true;
    OutputLines.push_back({"lg0", false});
    JwwInit();

    for (double scale : M.LayerGroupScale) EXPECT_EQ(scale, 1.0);
    EXPECT_EQ(M.SheetWidth, 1189);
    EXPECT_EQ(M.SheetHeight, 841);
    for (int k = 1; k <= 10; ++k) ExpectTextType(M.TextTypes[k], 3, 3, 0, 2);
    // Layer group, layer, colour, line type, line width, text type.
    EXPECT_EQ((std::array{M.InitialLayerGroup, M.InitialLayer, M.InitialColor, M.InitialLineType,
                          M.InitialLineWidth, M.InitialTextType}),
              (std::array{0, 0, 1, 1, 0, 1}));
    ExpectTextType(M.InitialFreeText, 2, 2, 0, 1);
    EXPECT_EQ(M.InitialFontName, "");
    EXPECT_EQ((std::array{M.LayerGroupStates.size(), M.LayerGroupNames.size(), M.LayerStates.size(),
                          M.LayerNames.size()}),
              (std::array<std::size_t, 4>{16, 16, 256, 256}));
    ASSERT_EQ(M.RefPoints.size(), 100u);
    EXPECT_FALSE(M.RefPoints[1].Given);
    EXPECT_EQ(M.RefPointCount, 0);
    EXPECT_EQ(M.PolylineNo, 0);
    EXPECT_FALSE(M.InPolyline);
    EXPECT_FALSE(M.DimPending);
    EXPECT_EQ(M.PendingDimLine.Head.Color, 1);
    EXPECT_EQ(M.PendingDimLine.Head.LineType, 1);
    EXPECT_EQ(M.PendingDimLine.X2, 1);
    EXPECT_EQ(M.PendingDimLine.Y2, 0);
    EXPECT_TRUE(M.EntOrder.empty());
    EXPECT_TRUE(M.EntLines.empty());
    EXPECT_TRUE(M.EntTexts.empty());
    EXPECT_TRUE(OutputLines.empty());
    EXPECT_EQ(S.CurHhp, 0);
    EXPECT_EQ(S.CurLayerGroup, 0);
    EXPECT_EQ(S.CurColor, 1);
    EXPECT_EQ(S.CurTextType, 1);
    EXPECT_EQ(S.CurZFlags, 0);
    EXPECT_EQ(S.CurFontName, DefaultFontName);
    for (int k = 1; k <= 6; ++k) EXPECT_TRUE(S.AttrFlags[k]) << k;
    EXPECT_TRUE(S.AttrFlags[7]);
    EXPECT_TRUE(S.AttrFlags[8]);
    EXPECT_FALSE(S.AttrFlags[9]);
}

TEST(ResetOutputState, RestoresRunningStateButKeepsInitials) {
    Parse({"lg5", "ly2", "lc10 77", "cn0 1 1 1 1", "cc3", "pn4", "cn\"$Other", "hhp6", "z1"});
    ResetOutputState();
    EXPECT_EQ(S.CurLayerGroup, 0);
    EXPECT_EQ(S.CurLayer, 0);
    EXPECT_EQ(S.CurColor, 1);
    EXPECT_EQ(S.CurTextType, 1);
    EXPECT_EQ(S.CurFreeText.Width, 2.0);
    EXPECT_EQ(S.CurCc, 0);
    EXPECT_EQ(S.CurPenNo, 1);
    EXPECT_EQ(S.CurExtColor, 0);
    EXPECT_EQ(S.CurFontName, DefaultFontName);
    for (int k = 1; k <= 9; ++k) EXPECT_TRUE(S.AttrFlags[k]) << k;
    EXPECT_EQ(S.CurHhp, 6);  // the reader's own values are not the writer's
    EXPECT_EQ(M.InitialLayerGroup, 5);
    EXPECT_EQ(M.InitialFontName, "Other");
}

TEST(MapColorNumber, EachRangeAndItsEdges) {
    Parse({"lc5", "lt4"});
    const int cases[][2] = {{-3, 5}, {0, 5}, {1, 1}, {9, 9}, {10, 101}, {INT_MAX, INT_MAX}};
    for (auto c : cases) EXPECT_EQ(MapColorNumber(c[0]), c[1]) << c[0];
}

TEST(MapLineTypeNumber, EachRangeAndItsEdges) {
    Parse({"lc5", "lt4"});
    const int cases[][2] = {{0, 4}, {9, 9}, {10, 11}, {18, 19}, {19, 31}, {INT_MAX, INT_MAX}};
    for (auto c : cases) EXPECT_EQ(MapLineTypeNumber(c[0]), c[1]) << c[0];
}

TEST(JwwSplitLine, SeparatorsQuotesAndBytes) {
    const struct {
        std::string_view line;
        Tokens want;
    } cases[] = {
        {"", {""}},
        {"  \t ", {""}},
        {" -5000 0\t5000  0", {"-5000", "0", "5000", "0"}},
        {"1 2 3 4 ", {"1", "2", "3", "4", ""}},  // the blank opens an empty token
        {"ch 1 2 3 4 \"a  b \"c\"\t", {"ch", "1", "2", "3", "4", "a  b \"c\""}},
        {"ch 1 2 3 4 \"", {"ch", "1", "2", "3", "4", ""}},
        {"cn\"$<\x82\x6c\x82\x72 \x83\x53>", {"cn$<\x82\x6c\x82\x72 \x83\x53>"}},
        {"file=C:\\a b\tc=d", {"file=C:\\a bc=d"}},
        {"ab=c \"d", {"ab=c \"d"}},
        {"a\x01\r\x7f\xfe\xff\xb1 b", {"a\x7f\xb1", "b"}},
        // A trail byte that looks like a backslash, quote, blank or "=" is part of its character.
        {"ch 0 0 1 0 \x83\x5c\x95\x5c", {"ch", "0", "0", "1", "0", "\x83\x5c\x95\x5c"}},
        {"a\x81\x22 b", {"a\x81\x22", "b"}},
        {"a\x81\x20 b\x81\x3d c", {"a\x81\x20", "b\x81\x3d", "c"}},
        {"ab\x82", {"ab"}},  // a lead byte at the end is dropped
        {"ab \x82", {"ab", ""}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.line);
        EXPECT_EQ(JwwSplitLine(c.line), c.want);
    }
}

TEST(JwwSplitLine, KeepsAtMost32Tokens) {
    std::string line;
    for (int i = 1; i <= 40; ++i) line += "t" + std::to_string(i) + " ";
    const Tokens forty = JwwSplitLine(line + "\"quoted rest");
    ASSERT_EQ(forty.size(), 32u);
    EXPECT_EQ(forty.back(), "t32");

    std::string words31;
    for (int i = 1; i <= 31; ++i) words31 += "w ";
    EXPECT_EQ(JwwSplitLine(words31).size(), 32u);  // 31 words and the empty token
    EXPECT_EQ(JwwSplitLine(words31).back(), "");
    EXPECT_EQ(JwwSplitLine(words31 + "w ").back(), "w");  // the 33rd, empty, is dropped
}

// Plain tokens are scanned eight bytes at a time: a byte of each kind at every offset of a long
// token must be found where it is.
TEST(JwwSplitLine, SpecialByteAtEveryOffsetOfALongToken) {
    for (int k = 0; k <= 20; ++k) {
        SCOPED_TRACE(k);
        const std::string ones(k, '1'), twos(21 - k, '2');
        auto split = [&](std::string_view b) {
            return JwwSplitLine("x " + ones + std::string(b) + twos + " y");
        };
        const Tokens separated = k == 0 ? Tokens{"x", twos, "y"} : Tokens{"x", ones, twos, "y"};
        EXPECT_EQ(split("\t"), separated);
        EXPECT_EQ(split(" "), separated);
        EXPECT_EQ(split("\""), (Tokens{"x", ones + twos + " y"}));
        EXPECT_EQ(split("="), (Tokens{"x", ones + "=" + twos + " y"}));
        EXPECT_EQ(split("\x7f"), (Tokens{"x", ones + "\x7f" + twos, "y"}));
        EXPECT_EQ(split("\xb1"), (Tokens{"x", ones + "\xb1" + twos, "y"}));
        EXPECT_EQ(split("\x01"), (Tokens{"x", ones + twos, "y"}));
        EXPECT_EQ(split("\x82"), (Tokens{"x", ones + "\x82" + twos, "y"}));  // '2' is its trail
        EXPECT_EQ(split(""), (Tokens{"x", ones + twos, "y"}));
    }
}

// Which entity, if any, each line becomes: count conditions, case and the four-token fallback.
TEST(JwwParseLine, EachRuleTakesItsCountsOnly) {
    const struct {
        std::string_view line;
        int kind;  // kind of the stored entity, 0 for none
    } cases[] = {
        // clang-format off
        {"1 2 3 4", KindLine}, {"1 2 3 4 ", 0}, {"1 2 3", 0}, {"xyz 1 2 3", KindLine},
        {"hs 1 2 3", KindLine}, {"hk 1 2 3", 0}, {"cn0 1 1 1", 0}, {"hp1 1 2 3", 0},
        {"ci 1 2 3", KindCircle}, {"ci 1 2 3 4", 0}, {"ci 1 2 3 4 5 6", 0},
        {"ci 1 2 3 4 5 6 7", KindArc}, {"Ci 1 2 3", KindLine}, {"ci 1 2 3 ", 0},
        {"ch 1 2 3 4 x", KindText}, {"ch 1 2 3 4", 0}, {"ch 1 2 3", KindLine}, {"CH 1 2 3 4 x", 0},
        {"pt 1 2", KindPoint}, {"pt 1 2 3", KindLine}, {"pt 1 2 3 4", 0},
        {"pt 1 2 3 4 5", KindPointEx}, {"BL 1 2 n", KindBlock}, {"BL 1 2", 0},
        {"sl 1 2 3 4", KindSl2}, {"sl 1 2 3 4 5", 0}, {"sl 0 0 1 0 1 1", KindSl3},
        {"sl 0 0 1 0 1 1 0", 0}, {"sl 0 0 1 0 1 1 0 1", KindSl4}, {"sc 1 2 3 4 5 6 7 8", KindSc},
        {"sc 1 2 3 4 5 6 7", 0}, {"se 1 2 3 4 5 6 7 8", KindSe}, {"so 1 2 3 4 5 6 7 8", KindSo},
        {"sg 1 2 3 4 5 6 7 8", KindSg},
        // clang-format on
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.line);
        Parse({c.line});
        if (c.kind == 0) {
            EXPECT_TRUE(M.EntOrder.empty());
        } else {
            ASSERT_EQ(M.EntOrder.size(), 1u);
            EXPECT_EQ(M.EntOrder[0].Kind, c.kind);
        }
    }
}

TEST(JwwParseLine, HeaderValues) {
    Parse({"file=C:\\a dir\\b.jww", "hk 12.5", "hs 1 2 3 4 5 6 7 8 9 10 11 12 13 14 15 1e+06",
           "hzs 420 297", "hcw 1 2 3 4 5 6 7 8 9 10", "hch 1 1 1 1 1 1 1 1 1 2.5",
           "hcd 0 0 0 0 0 0 0 0 0 0.5", "hcc      1      1      2 2 2 2 2 2 2  9", "bz",
           "hn 1 -2 3 4"});
    EXPECT_EQ(M.SourceFileName, "C:\\a dir\\b.jww");
    EXPECT_EQ(M.HkValue, 12.5);
    EXPECT_EQ(M.LayerGroupScale[0], 1);
    EXPECT_EQ(M.LayerGroupScale[15], 1e6);
    EXPECT_EQ(M.SheetWidth, 420);
    EXPECT_EQ(M.SheetHeight, 297);
    ExpectTextType(M.TextTypes[10], 10, 2.5, 0.5, 9);
    EXPECT_EQ(M.TextTypes[1].Color, 1);
    EXPECT_TRUE(M.BzFlag);
    EXPECT_EQ(M.HnValues[2], -2);
    EXPECT_EQ(M.HnValues[4], 4);
}

TEST(JwwParseLine, ShortHeaderLinesChangeNothing) {
    Parse({"hk 5", "hk", "hs 2 2 2 2 2 2 2 2 2 2 2 2 2 2 2", "hcw 1 2 3 4 5 6 7 8 9", "hzs 5"});
    EXPECT_EQ(M.HkValue, 5);
    EXPECT_EQ(M.LayerGroupScale[0], 1);
    EXPECT_EQ(M.TextTypes[1].Width, 3);
    EXPECT_EQ(M.SheetWidth, 1189);
}

TEST(JwwParseLine, FirstAttributeLinesAreTheHostSettings) {
    Parse({"lgA 1", "ly5 3", "lc10 255", "lt2", "lw30", "cn0 2.5 3.5 0.5 4", "lg3", "ly1", "lc3 7",
           "lt4", "lw5", "cn2"});
    EXPECT_EQ(M.InitialLayerGroup, 10);
    EXPECT_EQ(M.LayerGroupStates[10], 1);
    EXPECT_EQ(M.InitialLayer, 5);
    EXPECT_EQ(M.LayerStates[10 * 16 + 5], 3);
    EXPECT_EQ(M.InitialColor, 10);
    EXPECT_EQ(M.InitialLineType, 2);
    EXPECT_EQ(M.InitialLineWidth, 30);
    EXPECT_EQ(M.InitialTextType, 0);
    ExpectTextType(M.InitialFreeText, 2.5, 3.5, 0.5, 4);
    EXPECT_EQ(S.CurLayerGroup, 3);
    EXPECT_EQ(S.CurLayer, 1);
    EXPECT_EQ(S.CurColor, 3);
    EXPECT_EQ(S.CurExtColor, 255);  // only "lc10" carries one
    EXPECT_EQ(S.CurLineType, 4);
    EXPECT_EQ(S.CurLineWidth, 5);
    EXPECT_EQ(S.CurTextType, 2);
    EXPECT_EQ(S.CurFreeText.Width, 2.5);
}

// The layer digits: each end of the three hexadecimal ranges and the character just outside it.
TEST(JwwParseLine, LayerDigitsAndCcValues) {
    const struct {
        std::string_view line;
        int group, cc;
        int layer = 6;
    } cases[] = {
        {"lgF", 15, 4},    {"lgG", 0, 4},     {"lg", 0, 4},      {"lg12", 1, 4},
        {"cc5", 7, 5},     {"cc9", 7, 0},     {"cc12", 7, 1},    {"cc", 7, 0},
        {"lg0", 0, 4},     {"lg9", 9, 4},     {"lga", 10, 4},    {"lgf", 15, 4},
        {"lgA", 10, 4},    {"lg/", 0, 4},     {"lg:", 0, 4},     {"lg`", 0, 4},
        {"lgg", 0, 4},     {"lg@", 0, 4},     {"ly0", 7, 4, 0},  {"ly9", 7, 4, 9},
        {"lya", 7, 4, 10}, {"lyf", 7, 4, 15}, {"lyA", 7, 4, 10}, {"lyF", 7, 4, 15},
        {"ly/", 7, 4, 0},  {"ly:", 7, 4, 0},  {"ly`", 7, 4, 0},  {"lyg", 7, 4, 0},
        {"ly@", 7, 4, 0},  {"lyG", 7, 4, 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.line);
        Parse({"lg7", "ly6", "cc4", c.line});
        EXPECT_EQ(S.CurLayerGroup, c.group);
        EXPECT_EQ(S.CurLayer, c.layer);
        EXPECT_EQ(S.CurCc, c.cc);
    }
}

TEST(JwwParseLine, NamesGoToTheRunningLayer) {
    Parse({"lg2", "ly5", "lgnGround floor", "lynWalls"});
    EXPECT_EQ(M.LayerGroupNames[2], "Ground");
    EXPECT_EQ(M.LayerNames[2 * 16 + 5], "Walls");
    EXPECT_EQ(S.CurLayerGroup, 2);
    EXPECT_EQ(S.CurLayer, 5);
}

TEST(JwwParseLine, FontNameFirstIsKeptRunningFollows) {
    Parse({"cn\"$<\x82\x6c\x82\x72 \x96\xbe\x92\xa9>", "cn3", "cn\"$Second"});  // <ＭＳ 明朝>
    EXPECT_EQ(M.InitialFontName, "<\x82\x6c\x82\x72 \x96\xbe\x92\xa9>");
    EXPECT_EQ(S.CurFontName, "Second");
    EXPECT_EQ(S.CurTextType, 3);
}

TEST(JwwParseLine, ReferencePointsAndPickKinds) {
    const struct {
        std::string_view line;
        int slot;  // 0: dropped
        double x, y;
        int kind;
    } cases[] = {
        {"hp2ln 10 20", 2, 10, 20, 2},
        {"hp1-  34262.8515141222 19199.8914568925", 1, 34262.8515141222, 19199.8914568925, 1},
        {"hp10-  -87180.2794537891 24495.5054891724", 10, -87180.2794537891, 24495.5054891724, 1},
        {"hp3ci 1 2", 3, 1, 2, 3},
        {"hp4ch 1 2", 4, 1, 2, 4},
        {"hp99   1 2 9", 99, 1, 2, 0},
        {"hp1-ln 1 2", 0, 0, 0, 0},  // the number would be "1-"
        {"hp0 1 2", 0, 0, 0, 0},
        {"hp100 1 2", 0, 0, 0, 0},
        {"hp1 5", 0, 0, 0, 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.line);
        Parse({c.line});
        EXPECT_EQ(M.RefPointCount, c.slot ? 1 : 0);
        EXPECT_TRUE(M.EntOrder.empty());
        if (c.slot == 0) continue;
        const TJwwRefPoint& p = M.RefPoints[c.slot];
        EXPECT_TRUE(p.Given);
        EXPECT_EQ(p.X, c.x);
        EXPECT_EQ(p.Y, c.y);
        EXPECT_EQ(p.PickKind, c.kind);
    }
    Parse({"hp1 1 2", "hp1 3 4"});
    EXPECT_EQ(M.RefPointCount, 2);
    EXPECT_EQ(M.RefPoints[1].X, 3);
}

TEST(JwwParseLine, HhpIsNotAReferencePoint) {
    const std::pair<std::string_view, int> cases[] = {
        {"hhp5", 5}, {"hhp7ln", 7}, {"hhp12ci3", 12}, {"hhp3 1 2", 3}, {"hhpx", 0}};
    for (auto [line, hhp] : cases) {
        SCOPED_TRACE(line);
        Parse({line});
        EXPECT_EQ(S.CurHhp, hhp);
        EXPECT_EQ(M.RefPointCount, 0);
    }
}

TEST(JwwParseLine, EntityHeaderFollowsRunningStateAndZFlagsEndWithIt) {
    Parse({"hhp3", "lg2", "ly4", "lc5", "lt6", "lw7", "z2", "z5", "z2", " 1 2 3 4", "5 6 7 8"});
    ASSERT_EQ(M.EntLines.size(), 2u);
    const TJwwEntHead& h = M.EntLines[0].Head;
    EXPECT_EQ(h.Hhp, 3);
    EXPECT_EQ(h.LayerGroup, 2);
    EXPECT_EQ(h.Layer, 4);
    EXPECT_EQ(h.Color, 5);
    EXPECT_EQ(h.LineType, 6);
    EXPECT_EQ(h.LineWidth, 7);
    EXPECT_EQ(h.ZFlags, 2 | 16);
    EXPECT_EQ(M.EntLines[0].X1, 1);
    EXPECT_EQ(M.EntLines[0].Y2, 4);
    EXPECT_EQ(M.EntLines[1].Head.ZFlags, 0);
}

TEST(JwwParseLine, TextTakesSizesFromItsTextType) {
    Parse({"hcw 1 2 3 4 5 6 7 8 9 10", "hcc 1 6 1 1 1 1 1 1 1 1", "cn2", "cc3", "cn\"$F", "lc4",
           "cv 1 2 3 4 \"\x90\xa1\x96\x40 a", "cn0 2.5 2.5 0 5", "ch 1 2 3 4 a b", "cn11",
           "c2 0 0 1 0 x"});
    ASSERT_EQ(M.EntTexts.size(), 3u);
    const TJwwEntText& t = M.EntTexts[0];
    EXPECT_EQ(t.TextKind, 1);
    EXPECT_EQ(t.Cc, 3);
    EXPECT_EQ(t.TextType, 2);
    EXPECT_EQ(t.Width, 2);
    EXPECT_EQ(t.Head.Color, 6);
    EXPECT_EQ(t.Dx, 3);
    EXPECT_EQ(t.FontName, "F");
    EXPECT_EQ(t.Text, "\x90\xa1\x96\x40 a");  // 寸法 a
    EXPECT_EQ(M.EntTexts[1].Width, 2.5);      // the free size
    EXPECT_EQ(M.EntTexts[1].Head.Color, 5);
    EXPECT_EQ(M.EntTexts[1].Text, "a");  // without a quote only the next word
    EXPECT_EQ(M.EntTexts[2].TextType, 11);
    EXPECT_EQ(M.EntTexts[2].Height, 2.5);
    EXPECT_EQ(M.EntTexts[2].TextKind, 9);
    // Types 1 to 10 take their entry; 0 and 11 the free size, which is not type 1's.
    const struct {
        const char* textType;
        double width;
    } cases[] = {{"cn0", 9}, {"cn1", 1}, {"cn10", 10}, {"cn11", 9}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.textType);
        Parse({"hcw 1 2 3 4 5 6 7 8 9 10", "cn0 9 8 7 5", c.textType, "ch 0 0 1 0 a"});
        ASSERT_EQ(M.EntTexts.size(), 1u);
        EXPECT_EQ(M.EntTexts[0].Width, c.width);
    }
}

TEST(JwwParseLine, TextIsCutAtAWholeCharacter) {
    std::string text = "ab";
    for (int i = 0; i < 200; ++i) text += "\x82\xa0";
    Parse({"ch 0 0 1 0 \"" + text});
    ASSERT_EQ(M.EntTexts.size(), 1u);
    EXPECT_EQ(M.EntTexts[0].Text, text.substr(0, 254));
}

TEST(JwwParseLine, DimensionFigureTakesTheLastLineAndTheCsText) {
    Parse({"msg", "0 0 50 0", "lc3", "0 0 100 0", "cs 50 5 10 0 \"100", "cs 1 1 1 0 \"next",
           "2 2 3 3"});
    ASSERT_EQ(M.EntDims.size(), 1u);
    const TJwwEntDim& d = M.EntDims[0];
    EXPECT_EQ(d.Line.X2, 100);
    EXPECT_EQ(d.Line.Head.Color, 3);
    EXPECT_EQ(d.Text.TextKind, 2);
    EXPECT_EQ(d.Text.Text, "100");
    EXPECT_EQ(d.Text.X, 50);
    ASSERT_EQ(M.EntOrder.size(), 3u);
    EXPECT_EQ(M.EntOrder[0].Kind, KindDim);
    EXPECT_EQ(M.EntOrder[1].Kind, KindText);  // the figure was closed by its text
    EXPECT_EQ(M.EntOrder[2].Kind, KindLine);
    EXPECT_EQ(M.EntLines.size(), 1u);

    Parse({"msg", "cs 50 5 10 0 \"1"});  // no line: the default segment
    ASSERT_EQ(M.EntDims.size(), 1u);
    EXPECT_EQ(M.EntDims[0].Line.X2, 1);
    Parse({"msg", "ch 1 2 3 4 x", "1 2 3 4", "msg", "#", "cs 1 2 3 4 x"});
    EXPECT_TRUE(M.EntDims.empty());
    EXPECT_EQ(M.EntLines.size(), 1u);
}

TEST(JwwParseLine, PolylineNumbersLastUntilAnotherEntity) {
    Parse({"pl", "0 0 1 0", "1 0 1 1", "z3", "1 1 0 1", "pt 5 5", "0 0 2 2", "pl", "0 0 3 3", "#",
           "0 0 4 4"});
    const int want[] = {1, 1, 1, 0, 2, 0};
    ASSERT_EQ(M.EntLines.size(), std::size(want));
    for (std::size_t i = 0; i < std::size(want); ++i) EXPECT_EQ(M.EntLines[i].PolylineNo, want[i]);
    EXPECT_EQ(M.EntOrder[3].Kind, KindPoint);
    EXPECT_EQ(M.EntOrder[4].Index, 3);
}

TEST(JwwParseLine, SolidCornersThatCoincideAreMerged) {
    const struct {
        std::string_view line;
        int kind;
        std::vector<double> corners;
    } cases[] = {
        {"sl 0 0 1e-10 0 5 5", KindSl2, {0, 0, 5, 5}},
        {"sl 0 0 2e-10 0 5 5", KindSl3, {0, 0, 2e-10, 0, 5, 5}},
        {"sl 0 0 5 5 5 5", KindSl2, {0, 0, 5, 5}},
        {"sl 0 0 0 0 0 0 7 7", KindSl2, {0, 0, 7, 7}},
        {"sl 0 0 7 7 7 7 7 7", KindSl2, {0, 0, 7, 7}},
        {"sl 0 0 0 0 7 7 7 7", KindSl2, {0, 0, 7, 7}},
        {"sl 0 0 1 0 1 1 1 0", KindSl3, {0, 0, 1, 0, 1, 1}},
        {"sl 0 0 1 0 0 0 1 1", KindSl3, {0, 0, 1, 0, 1, 1}},
        {"sl 0 0 0 0 1 0 1 1", KindSl3, {0, 0, 1, 0, 1, 1}},
        {"sl 0 0 1 0 1 1 0 1", KindSl4, {0, 0, 1, 0, 1, 1, 0, 1}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.line);
        Parse({"lc10 255", c.line});
        ASSERT_EQ(M.EntOrder.size(), 1u);
        EXPECT_EQ(M.EntOrder[0].Kind, c.kind);
        std::vector<double> got;
        if (c.kind == KindSl2) {
            const auto& s = M.EntSl2[0];
            got = {s.X1, s.Y1, s.X2, s.Y2};
            EXPECT_EQ(s.ExtColor, 255);
        } else if (c.kind == KindSl3) {
            const auto& s = M.EntSl3[0];
            got = {s.X1, s.Y1, s.X2, s.Y2, s.X3, s.Y3};
        } else {
            const auto& s = M.EntSl4[0];
            got = {s.X1, s.Y1, s.X2, s.Y2, s.X3, s.Y3, s.X4, s.Y4};
        }
        EXPECT_EQ(got, c.corners);
    }
}

TEST(JwwParseLine, OtherEntityFields) {
    Parse({"lc2", "pn7", "pt 1 2", "pt 1 2 3 4 5.5", "BL 1 2 \"block name", "ci 1 2 3",
           "ci 1 2 3 4 5 6 7", "lc10 9", "sc 1 2 3 4 5 6 7 8", "so 1 2 3 4 5 6 7 8"});
    EXPECT_EQ(M.EntPoints[0].Head.Color, 7);
    EXPECT_EQ(M.EntPoints[0].Y, 2);
    EXPECT_EQ(M.EntPointsEx[0].Head.Color, 7);
    EXPECT_EQ(M.EntPointsEx[0].B, 4);
    EXPECT_EQ(M.EntPointsEx[0].N, 0);  // "5.5" is not an integer
    EXPECT_EQ(M.EntBlocks[0].Name, "block name");
    EXPECT_EQ(M.EntCircles[0].R, 3);
    EXPECT_EQ(M.EntArcs[0].Values[6], 7);
    EXPECT_EQ(M.EntSc[0].Values[6], 7);
    EXPECT_EQ(M.EntSc[0].N, 8);
    EXPECT_EQ(M.EntSc[0].ExtColor, 9);
    EXPECT_EQ(M.EntSo[0].Values[7], 8);
}

TEST(JwwParseLine, ListsGrowPastAThousand) {
    JwwInit();
    for (int i = 0; i < 1001; ++i) JwwParseLine(std::to_string(i) + " 0 1 1");
    ASSERT_EQ(M.EntLines.size(), 1001u);
    EXPECT_EQ(M.EntLines[1000].X1, 1000);
    EXPECT_EQ(M.EntOrder[1000].Index, 1000);
}

TEST(JwwParseLine, FourRealsAreReadAsTheirTokens) {
    const struct {
        std::string_view line;
        bool stored;
        std::array<double, 4> ends;
    } cases[] = {
        // clang-format off
        {" -44948.9239307439 20896.7361991344\t1e+06 .5", true, {-44948.9239307439, 20896.7361991344, 1e6, 0.5}},
        {"\t+1  -2.5e-3 5. 0", true, {1, -0.0025, 5, 0}},
        {"1e 2 3 4", true, {0, 2, 3, 4}},  // a token that is not a real reads 0
        {"1 2 3 4x", true, {1, 2, 3, 0}},
        {"1 2 3 1e400", true, {1, 2, 3, 0}},
        {"1 2 3\x01 4", true, {1, 2, 3, 4}},  // the control byte is dropped from "3"
        {"1 2 3 4\x01", true, {1, 2, 3, 4}},
        {"1 2\x01" "3 4", false, {}},  // "23" is one token
        {"9007199254740993 0 0 0", true, {9007199254740992.0, 0, 0, 0}},
        {"1 2 3 4 ", false, {}},
        {"1 2 3 4\t", false, {}},
        {"1 2 3", false, {}},
        {"1 2 3 4 5", false, {}},
        {"1 2 \"3 4", false, {}},  // the quote makes "3 4" one token
        {"1=2 3 4 5", false, {}},
        // clang-format on
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.line);
        Parse({c.line});
        if (!c.stored) {
            EXPECT_TRUE(M.EntOrder.empty());
            continue;
        }
        ASSERT_EQ(M.EntLines.size(), 1u);
        const TJwwEntLine& line = M.EntLines[0];
        EXPECT_EQ((std::array{line.X1, line.Y1, line.X2, line.Y2}), c.ends);
    }
    Parse({"-0 0 0 0"});
    ASSERT_EQ(M.EntLines.size(), 1u);
    EXPECT_TRUE(std::signbit(M.EntLines[0].X1));
}

// Lines of four tokens drawn from reals, near-reals and junk, with any separators: what is
// stored must be what splitting the line and reading each token gives.
TEST(JwwParseLine, LinesOfRealsMatchTheirTokens) {
    // clang-format off
    static constexpr std::string_view Pieces[] = {
        "1", "-2.5", "1e", ".", "+.5e-3", "9007199254740993", "1e400", "x", "0x10", "1.5.2", "-0",
        "5.", "-44948.9239307439", "1e+06", "7\x01", "3\x01" "4", "1\x82", "2E-308", "--1",
        "123456789012345678901234", "12345678.12345678"};
    // clang-format on
    static constexpr std::string_view Separators[] = {" ", "\t", "  ", " \t"};
    std::mt19937 rng(42);
    const auto pick = [&](int count) {
        return std::uniform_int_distribution<int>(0, count - 1)(rng);
    };
    for (int i = 0; i < 5000; ++i) {
        std::string line = pick(3) == 0 ? std::string(Separators[pick(4)]) : "";
        const int tokens = 3 + pick(3);
        for (int k = 0; k < tokens; ++k) {
            if (k > 0) line += Separators[pick(4)];
            line += Pieces[pick(static_cast<int>(std::size(Pieces)))];
        }
        if (pick(8) == 0) line += Separators[pick(4)];
        SCOPED_TRACE(line);
        const Tokens split = JwwSplitLine(line);
        Parse({line});
        if (split.size() != 4) {
            EXPECT_TRUE(M.EntOrder.empty());
            continue;
        }
        ASSERT_EQ(M.EntLines.size(), 1u);
        const TJwwEntLine& stored = M.EntLines[0];
        const std::array<double, 4> ends{stored.X1, stored.Y1, stored.X2, stored.Y2};
        for (int k = 0; k < 4; ++k) {
            const double want = SafeStrToFloat(split[k]);
            EXPECT_EQ(std::bit_cast<std::uint64_t>(ends[k]), std::bit_cast<std::uint64_t>(want))
                << k;
        }
    }
}

// After JwwFree the tables are gone: lines that would write into them change no table and
// write no output, while the running state and the lists go on as usual.
TEST(JwwParseLine, NoStoreDoesNotCrash) {
    JwwFree();
    for (std::string_view line : {"lgn", "lyn", "lg1 5", "ly1 5", "hp1 1 2", "ch 1 2 3 4 x"})
        JwwParseLine(line);
    EXPECT_TRUE(M.LayerGroupStates.empty());
    EXPECT_TRUE(M.LayerGroupNames.empty());
    EXPECT_TRUE(M.LayerStates.empty());
    EXPECT_TRUE(M.LayerNames.empty());
    EXPECT_TRUE(M.RefPoints.empty());
    EXPECT_EQ(M.RefPointCount, 0);
    EXPECT_TRUE(OutputLines.empty());
    EXPECT_EQ(S.CurLayer, 1);
    EXPECT_EQ(M.EntTexts.size(), 1u);
}

TEST(JwwLoadFile, SamplesFromTheHost) {
    const struct {
        const char* file;
        double scale;  // of the current layer group
        int group, layer, textType, points;
    } cases[] = {
        {"host-10.3.6-one-line-crlf.txt", 100, 0, 0, 2, 0},
        {"parcel-a-4points-freetext.txt", 250, 0, 0, 0, 4},
        {"parcel-b-9points-range-lg1.txt", 600, 1, 7, 3, 9},
        {"parcel-c-mixed-scales-cn10.txt", 500, 0, 0, 10, 4},
        {"parcel-d-scale-exponent.txt", 500, 0, 0, 0, 5},
        {"parcel-e-all-scales-exponent.txt", 1e6, 0, 0, 3, 2},
        {"parcel-f-no-points.txt", 250, 2, 6, 3, 0},
        {"parcel-g-4points-lg2.txt", 250, 2, 6, 3, 4},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.file);
        JwwInit();
        ASSERT_TRUE(JwwLoadFile(Sample(c.file)));
        EXPECT_EQ(M.LayerGroupScale[M.InitialLayerGroup], c.scale);
        EXPECT_EQ(M.InitialLayerGroup, c.group);
        EXPECT_EQ(M.InitialLayer, c.layer);
        EXPECT_EQ(M.InitialTextType, c.textType);
        EXPECT_EQ(M.RefPointCount, c.points);
        EXPECT_EQ(M.InitialColor, 2);
        EXPECT_EQ(M.InitialFontName, DefaultFontName);
    }
}

TEST(JwwLoadFile, SampleDetails) {
    JwwInit();
    ASSERT_TRUE(JwwLoadFile(Sample("host-10.3.6-one-line-crlf.txt")));
    EXPECT_EQ(M.SourceFileName, "");
    EXPECT_EQ(M.TextTypes[3].Spacing, 0.5);
    EXPECT_EQ(M.TextTypes[10].Color, 5);
    EXPECT_EQ(M.HnValues[2], -2989.07922912206);
    ASSERT_EQ(M.EntOrder.size(), 1u);
    ASSERT_EQ(M.EntLines.size(), 1u);
    EXPECT_EQ(M.EntLines[0].X1, -5000);
    EXPECT_EQ(M.EntLines[0].X2, 5000);
    EXPECT_EQ(M.EntLines[0].Head.Color, 2);

    JwwInit();
    ASSERT_TRUE(JwwLoadFile(Sample("parcel-a-4points-freetext.txt")));
    ExpectTextType(M.InitialFreeText, 3, 3, 0.5, 2);
    const int kinds[] = {0, 1, 0, 1, 0};
    for (int p = 1; p <= 4; ++p) EXPECT_EQ(M.RefPoints[p].PickKind, kinds[p]) << p;
    EXPECT_EQ(M.RefPoints[2].X, -40496.8595011236);

    JwwInit();
    ASSERT_TRUE(JwwLoadFile(Sample("parcel-b-9points-range-lg1.txt")));
    EXPECT_FALSE(M.RefPoints[2].Given);
    EXPECT_EQ(M.RefPoints[10].Y, 24495.5054891724);
    EXPECT_EQ(M.RefPoints[10].PickKind, 1);
    EXPECT_EQ(M.TextTypes[9].Height, 1.5);
}

TEST(JwwLoadFile, LineEndsOfEitherKindAndNoneAtTheEnd) {
    // The CR of CR LF ends the line, so the lone lead byte before it is dropped.
    TempFile file("lg3\r\nly4\ncn\"$\x82\r\n 1 2 3 4");
    JwwInit();
    ASSERT_TRUE(JwwLoadFile(file.Path));
    EXPECT_EQ(M.InitialLayerGroup, 3);
    EXPECT_EQ(M.InitialLayer, 4);
    EXPECT_EQ(S.CurFontName, "");
    ASSERT_EQ(M.EntLines.size(), 1u);
    EXPECT_EQ(M.EntLines[0].Y2, 4);
}

TEST(JwwLoadFile, ShortLinesOutgrowTheRoomSetAside) {
    std::string bytes;
    for (int i = 0; i < 20000; ++i) bytes += std::to_string(i % 10) + " 0 1 1\n";
    TempFile file(bytes);
    JwwInit();
    ASSERT_TRUE(JwwLoadFile(file.Path));
    ASSERT_EQ(M.EntLines.size(), 20000u);
    ASSERT_EQ(M.EntOrder.size(), 20000u);
    EXPECT_EQ(M.EntLines[19999].X1, 9);
    EXPECT_EQ(M.EntOrder[19999].Index, 19999);
}

TEST(JwwLoadFile, MissingFileKeepsDefaults) {
    JwwInit();
    EXPECT_FALSE(JwwLoadFile(std::filesystem::path(PARDIM_TEST_DATA) / "no-such-file.txt"));
    EXPECT_FALSE(JwwLoadFile(PARDIM_TEST_DATA));  // a folder
    EXPECT_EQ(M.LayerGroupScale[0], 1.0);
    EXPECT_EQ(M.InitialColor, 1);
    EXPECT_TRUE(M.EntOrder.empty());
}

TEST(JwwLoadFile, HostileBytesAndLongLines) {
    std::string bytes = "hk 5\x82\n";  // a lone lead byte before the line end
    unsigned state = 12345;
    for (int i = 0; i < 200000; ++i) {
        state = state * 1103515245u + 12345u;
        bytes += static_cast<char>(state >> 16);
    }
    bytes += "\nch 0 0 1 0 \"" + std::string(3 << 20, 'a') + "\n";  // longer than a read block
    bytes += std::string(1 << 20, ' ') + "\n" + std::string(1 << 20, '1');
    TempFile file(bytes);
    JwwInit();
    ASSERT_TRUE(JwwLoadFile(file.Path));
    EXPECT_EQ(M.HkValue, 5);
    ASSERT_FALSE(M.EntTexts.empty());
    EXPECT_EQ(M.EntTexts.back().Text, std::string(255, 'a'));
}

// A file that vanishes or shrinks while it is read ends early for the reader. A FIFO that
// delivers part of a file, past one read block and in short reads, is read as far as it goes.
TEST(JwwLoadFile, FileThatEndsEarlyIsReadAsFarAsItGoes) {
    std::string head;
    for (int i = 0; i < 1100; ++i) head += "# " + std::string(1000, 'x') + "\r\n";  // > 1 MiB
    const struct {
        const char* tail;
        std::size_t lines;
        int points;
        const char* font;
    } cases[] = {
        {"7 0 1 1\r\n7 0 1", 1, 0, ""},    // cut inside a line
        {"7 0 1 1\r\n7 0 1 1", 2, 0, ""},  // cut before the line end
        {"hp1 5 6\r\nhp2 10", 0, 1, ""},   // cut inside a point
        {"cn\"$AB\x82", 0, 0, "AB"},       // cut inside a two-byte character
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.tail);
        TScratchFolder scratch("pardim-fifo");
        TFifoFeed feed(scratch.Path / "JWC_TEMP.TXT", head + c.tail);
        JwwInit();
        EXPECT_TRUE(JwwLoadFile(scratch.Path / "JWC_TEMP.TXT"));
        EXPECT_EQ(M.EntLines.size(), c.lines);
        EXPECT_EQ(M.RefPointCount, c.points);
        EXPECT_EQ(M.InitialFontName, c.font);
    }
}

TEST(JwwFree, ReleasesTheLists) {
    JwwInit();
    ASSERT_TRUE(JwwLoadFile(Sample("host-10.3.6-one-line-crlf.txt")));
    OutputLines.push_back({"hq", false});
    JwwFree();
    EXPECT_EQ(M.EntLines.capacity(), 0u);
    EXPECT_EQ(M.EntOrder.capacity(), 0u);
    EXPECT_TRUE(M.RefPoints.empty());
    EXPECT_TRUE(M.LayerNames.empty());
    EXPECT_EQ(OutputLines.capacity(), 0u);
}
