// Tests of the exchange store and the reader of JWC_TEMP.TXT.
#include <gtest/gtest.h>

#include <climits>
#include <fstream>
#include <string>
#include <vector>

#include "JwwGaibu.h"

namespace {

using Tokens = std::vector<std::string>;

// A fresh store fed with the given lines, as the run sequence does with the file.
void Parse(std::initializer_list<std::string_view> lines) {
    JwwInit();
    for (std::string_view line : lines) JwwParseLine(line);
}

std::filesystem::path Sample(const char* name) {
    return std::filesystem::path(PARDIM_TEST_DATA) / name;
}

// A file in the temp folder holding exactly the given bytes, removed with the object.
class TempFile {
public:
    explicit TempFile(std::string_view bytes) {
        Path = std::filesystem::temp_directory_path() /
               (std::string("pardim-reader-") +
                testing::UnitTest::GetInstance()->current_test_info()->name() + ".txt");
        std::ofstream(Path, std::ios::binary).write(bytes.data(), std::ssize(bytes));
    }
    ~TempFile() { std::filesystem::remove(Path); }
    std::filesystem::path Path;
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
    EXPECT_EQ(M.InitialLayerGroup, 0);
    EXPECT_EQ(M.InitialLayer, 0);
    EXPECT_EQ(M.InitialColor, 1);
    EXPECT_EQ(M.InitialLineType, 1);
    EXPECT_EQ(M.InitialLineWidth, 0);
    EXPECT_EQ(M.InitialTextType, 1);
    ExpectTextType(M.InitialFreeText, 2, 2, 0, 1);
    EXPECT_EQ(M.InitialFontName, "");
    EXPECT_EQ(M.LayerGroupNames.size(), 16u);
    EXPECT_EQ(M.LayerStates.size(), 256u);
    EXPECT_EQ(M.LayerNames.size(), 256u);
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
