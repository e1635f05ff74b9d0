// The parallel dimension's pieces: geometry, extension lines, value text and its placement,
// end marks and their reversal, checked through the records they append.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>

#include "MyFunc.h"
#include "Unit1.h"

namespace {

// A store as after start-up: defaults, nothing written yet.
void FreshStore() {
    JwwInit();
    ResetOutputState();
}

std::vector<std::string> Records() {
    std::vector<std::string> texts;
    for (const auto& record : OutputLines) texts.push_back(record.Text);
    return texts;
}

// Defaults of the dialog with text type No1, at scale 1.
TDimParams DefaultParams() {
    TDimParams params;
    params.StartMark = 0;
    params.EndMark = 0;
    params.MarkScale = 1;
    params.ArrowLength = 3;
    params.ArrowAngle = 15;
    params.TextTypeIndex = 1;
    params.Decimals = 3;
    params.RoundMode = 2;
    params.ZeroDisplay = 0;
    params.UnitIndex = 0;
    params.TextGap = 0.5;
    params.ExtGap = 2;
    params.ExtOvershoot = 2;
    params.ReverseOvershoot = 2;
    params.Scale = 1;
    return params;
}

TDimPlan Plan(const TDimGeometry& geometry, const TDimParams& params) {
    return BuildDimPlan(ExchangeModel, params, geometry);
}

TDimGeometry Line(double x1, double y1, double x2, double y2, double angleDeg) {
    TDimGeometry geometry;
    geometry.DimStart = {x1, y1};
    geometry.DimEnd = {x2, y2};
    geometry.DimAngle = angleDeg;
    geometry.DimLength = Distance(x1, y1, x2, y2);
    return geometry;
}

// The four numbers of a line record.
std::vector<double> Numbers(const std::string& record) {
    std::vector<double> values;
    const char* p = record.c_str();
    char* end = nullptr;
    for (double v = std::strtod(p, &end); end != p; v = std::strtod(p, &end)) {
        values.push_back(v);
        p = end;
    }
    return values;
}

void ExpectLine(const std::string& record, std::vector<double> want) {
    const auto got = Numbers(record);
    ASSERT_EQ(got.size(), 4u) << record;
    for (int i = 0; i < 4; ++i) EXPECT_NEAR(got[i], want[i], 1e-12) << record;
}

// A fresh store with the host's current attributes.
void HostAttributes(int group, int layer, int color, int lineType, int lineWidth,
                    const char* font) {
    FreshStore();
    ExchangeModel.InitialLayerGroup = group;
    ExchangeModel.InitialLayer = layer;
    ExchangeModel.InitialColor = color;
    ExchangeModel.InitialLineType = lineType;
    ExchangeModel.InitialLineWidth = lineWidth;
    ExchangeModel.InitialFontName = font;
}

}  // namespace

TEST(ComputeDimGeometry, ProjectsTheMeasuredPointsOntoTheLineThroughP3) {
    struct {
        TDimPoint p1, p2, p3;
        double angle;
        TDimPoint start, end;
        double length;
    } cases[] = {
        {{0, 0}, {100, 0}, {50, 20}, 0, {0, 20}, {100, 20}, 100},
        {{0, 0}, {100, 0}, {50, -20}, 0, {0, -20}, {100, -20}, 100},
        {{0, 0}, {100, 0}, {250, 20}, 0, {0, 20}, {100, 20}, 100},  // beyond the ends
        {{0, 0}, {0, 50}, {-10, 25}, 90, {-10, 0}, {-10, 50}, 50},
        {{0, 0}, {10, 10}, {0, 10}, 45, {-5, 5}, {5, 15}, 14.142135623730951},
        {{100, 0}, {0, 0}, {50, 20}, 180, {100, 20}, {0, 20}, 100},
        {{3, 4}, {3, 4}, {9, 9}, 0, {3, 9}, {3, 9}, 0},  // no length at all
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.angle);
        const TDimGeometry g = ComputeDimGeometry(c.p1, c.p2, c.p3);
        EXPECT_EQ(g.DimAngle, c.angle);
        EXPECT_NEAR(g.DimStart.X, c.start.X, 1e-12);
        EXPECT_NEAR(g.DimStart.Y, c.start.Y, 1e-12);
        EXPECT_NEAR(g.DimEnd.X, c.end.X, 1e-12);
        EXPECT_NEAR(g.DimEnd.Y, c.end.Y, 1e-12);
        EXPECT_NEAR(g.DimLength, c.length, 1e-12);
    }
}

TEST(ComputeDimGeometry, SlantedLocalFrame) {
    const TDimGeometry g = ComputeDimGeometry({0, 0}, {10, 10}, {0, 10});
    EXPECT_NEAR(g.LocalP2.X, 14.142135623730951, 1e-14);
    EXPECT_NEAR(g.LocalP2.Y, 0, 1e-14);
    EXPECT_NEAR(g.LocalP3.X, 7.0710678118654755, 1e-14);
    EXPECT_NEAR(g.LocalP3.Y, 7.0710678118654755, 1e-14);
}

TEST(EmitExtensionLines, RunFromTheGapToPastTheDimensionLine) {
    struct {
        TDimPoint p3;
        double gap;
        std::vector<std::string> want;
    } cases[] = {
        {{50, 20}, 2, {"z3", "0 2 0 22", "z3", "100 2 100 22"}},
        {{50, -20}, 2, {"z3", "0 -2 0 -22", "z3", "100 -2 100 -22"}},
        {{50, 20}, 0, {"z3", "0 0 0 22", "z3", "100 0 100 22"}},
        {{50, 0}, 2, {}},               // on the measured line
        {{50, 2}, 2, {}},               // no farther than the gap
        {{50, -2.00000000001}, 2, {}},  // within 1e-10 of it
        {{50, 2.00000000009}, 2, {}},   // 9e-11 past the gap: still within
        {{50, 2.0000000002}, 2, {"z3", "0 2 0 4.0000000002", "z3", "100 2 100 4.0000000002"}},
        {{50, 2.000001}, 2, {"z3", "0 2 0 4.000001", "z3", "100 2 100 4.000001"}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.p3.Y);
        FreshStore();
        TDimParams params = DefaultParams();
        params.ExtGap = c.gap;
        EmitExtensionLines(Plan(ComputeDimGeometry({0, 0}, {100, 0}, c.p3), params));
        EXPECT_EQ(Records(), c.want);
    }
}

TEST(EmitExtensionLines, SlantedLinesStandSquareToTheMeasuredLine) {
    FreshStore();
    EmitExtensionLines(Plan(ComputeDimGeometry({0, 0}, {10, 10}, {0, 10}), DefaultParams()));
    const auto records = Records();
    ASSERT_EQ(records.size(), 4u);
    EXPECT_EQ(records[0], "z3");
    ExpectLine(records[1],
               {-1.414213562373095, 1.4142135623730951, -6.414213562373095, 6.414213562373096});
    EXPECT_EQ(records[2], "z3");
    ExpectLine(records[3],
               {8.585786437626906, 11.414213562373096, 3.585786437626907, 16.414213562373096});
}

TEST(EmitBaseAttributes, WritesTheHostsAttributesInOrder) {
    HostAttributes(10, 3, 5, 2, 7, "Arial");
    EmitBaseAttributes(ExchangeModel);
    EXPECT_EQ(Records(),
              (std::vector<std::string>{"lgA", "ly3", "lc5", "pn5", "lt2", "lw7", "cn\"$Arial"}));
}

// Colours and line types above 9 would change if mapped: they reach the host as the host sent them.
TEST(Emitters, PassTheHostsAttributesThroughUnmapped) {
    HostAttributes(15, 15, 12, 12, 30000, "F");
    ExchangeModel.InitialTextType = 0;
    ExchangeModel.InitialFreeText = {2.5, 2.5, 0.5, 12};
    EmitBaseAttributes(ExchangeModel);
    TDimParams params = DefaultParams();
    params.TextTypeIndex = 0;
    EmitValueText(Plan(Line(0, 20, 100, 20, 0), params));
    ExchangeModel.InitialFreeText.Color = 11;
    EmitHostTextType(ExchangeModel);
    EXPECT_EQ(Records(),
              (std::vector<std::string>{"lgF", "lyF", "lc12", "pn12", "lt12", "lw30000", "cn\"$F",
                                        "z3", "0 20 100 20", "cn0 2.5 2.5 0.5 12", "cc0", "z3",
                                        "cs 47.875 20.5 10 0 \"", "100", "cn0 2.5 2.5 0.5 11"}));
}

TEST(TextReadingAngle, ReadsLeftToRightOrBottomToTop) {
    struct {
        double dim, text;
    } cases[] = {
        {0, 0},
        {45, 45},
        {90, 90},
        {91, 271},
        {135, 315},
        {180, 0},
        {225, 45},
        {269, 89},
        {270, 90},
        {271, 271},
        {315, 315},
        {360, 0},
        {-90, 90},
        {90.000000005, 90.000000005},
        {90.00000001, 90.00000001},  // at the tolerance: still bottom to top
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.dim);
        EXPECT_EQ(TextReadingAngle(c.dim), c.text);
    }
    EXPECT_NEAR(TextReadingAngle(90.1), 270.1, 1e-12);  // past the tolerance: top to bottom
    EXPECT_NEAR(TextReadingAngle(90.00000002), 270.00000002, 1e-12);
}

TEST(LayoutValueText, CentresTheTextAboveTheMidpoint) {
    const double half = 70.71067811865476;
    struct {
        TDimGeometry line;
        const char* text;
        double angle;
        TDimPoint start, dir;
    } cases[] = {
        {Line(0, 20, 100, 20, 0), "100", 0, {47.75, 20.5}, {10, 0}},
        {Line(100, 20, 0, 20, 180), "100", 0, {47.75, 20.5}, {10, 0}},
        {Line(-10, 0, -10, 50, 90), "50", 90, {-10.5, 23.5}, {0, 10}},
        {Line(0, 0, -half, half, 135),
         "100",
         315,
         {-36.592775926403836, 37.299882707590383},
         {7.0710678118654752, -7.0710678118654752}},
    };
    FreshStore();
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        const TValueTextLayout layout = LayoutValueText(ExchangeModel, DefaultParams(), c.line);
        EXPECT_EQ(layout.ValueTextType, 1);
        EXPECT_EQ(layout.ValueText, c.text);
        EXPECT_EQ(layout.TextAngle, c.angle);
        EXPECT_NEAR(layout.TextStart.X, c.start.X, 1e-12);
        EXPECT_NEAR(layout.TextStart.Y, c.start.Y, 1e-12);
        EXPECT_NEAR(layout.TextDir.X, c.dir.X, 1e-12);
        EXPECT_NEAR(layout.TextDir.Y, c.dir.Y, 1e-12);
    }
}

// The radians stay long double up to the cosine, so a vertical text is off by the extended
// constant's own error, not by double pi's.
TEST(LayoutValueText, VerticalDirectionPrintsTheExtendedResidue) {
    FreshStore();
    const auto layout = LayoutValueText(ExchangeModel, DefaultParams(), Line(-10, 0, -10, 50, 90));
    EXPECT_EQ(NumberText(layout.TextDir.X), "-2.50827880633417E-19");
    EXPECT_EQ(NumberText(layout.TextDir.Y), "10");
}

TEST(LayoutValueText, NegativeGapPutsTheTextBelowAndScaleWidensIt) {
    FreshStore();
    TDimParams params = DefaultParams();
    params.TextGap = -25;
    params.Scale = 50;
    const auto layout = LayoutValueText(ExchangeModel, params, Line(0, 500, 1000, 500, 0));
    EXPECT_EQ(layout.TextStart.X, 350);  // "1000" is 6 paper mm long
    EXPECT_EQ(layout.TextStart.Y, 475);
    EXPECT_EQ(layout.TextDir.X, 10);  // whatever the scale
}

TEST(LayoutValueText, HostsTextTypeDecidesTheSize) {
    struct {
        int index, hostType;
        int wantType;
        double wantWidth;
    } cases[] = {
        {0, 0, 0, 2.5},  // the free size of the host
        {0, 4, 4, 4},    // the host's numbered type
        {0, 12, 1, 3},   // outside the table: type 1
        {0, 11, 1, 3},   {0, 10, 10, 10}, {0, 1, 1, 3},
        {0, -1, 1, 3},   {7, 0, 7, 7},   // chosen in the list
        {10, 4, 10, 10}, {11, 4, 4, 4},  // no item of the list: the host's
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.index * 100 + c.hostType);
        FreshStore();
        ExchangeModel.InitialTextType = c.hostType;
        ExchangeModel.InitialFreeText = {2.5, 2.5, 0.5, 3};
        ExchangeModel.TextTypes[4] = {4, 4, 0, 2};
        ExchangeModel.TextTypes[7] = {7, 7, 0, 2};
        ExchangeModel.TextTypes[10] = {10, 10, 0, 2};
        TDimParams params = DefaultParams();
        params.TextTypeIndex = c.index;
        const auto layout = LayoutValueText(ExchangeModel, params, Line(0, 20, 100, 20, 0));
        EXPECT_EQ(layout.ValueTextType, c.wantType);
        EXPECT_EQ(layout.ValueTextSize.Width, c.wantWidth);
    }
}

TEST(FormatDimValue, WorkedExamples) {
    struct {
        double length;
        int decimals, mode, unit;
        bool commas;
        int zeros;
        bool fullWidth, appendUnit;
        const char *prefix, *suffix, *want;
    } cases[] = {
        {1234.5, 1, 2, 0, true, 1, false, true, "", "", "1,234.5mm"},
        {1234.5, 0, 2, 0, true, 1, false, false, "", "", "1,235"},
        {1234.5, 3, 2, 0, false, 1, false, false, "", "", "1234.500"},
        {1234.5, 3, 2, 0, false, 0, false, false, "", "", "1234.5"},
        {1234.5, 8, 2, 0, true, 1, false, false, "", "", "1,234.50000000"},
        {1234.5, 3, 2, 1, false, 1, false, true, "", "", "1.234\x82\x8d"},  // 1.234ｍ
        {1234.5, 3, 1, 1, false, 1, false, true, "", "", "1.235\x82\x8d"},  // 1.235ｍ
        {1234.505, 1, 1, 0, false, 1, false, false, "", "", "1234.5"},
        {1234.52, 1, 1, 0, false, 1, false, false, "", "", "1234.6"},
        {1234.59, 1, 0, 0, false, 1, false, false, "", "", "1234.5"},
        {1000, 2, 2, 0, true, 0, false, false, "", "", "1,000"},
        {1000, 2, 2, 0, true, 1, false, false, "", "", "1,000.00"},
        {999.96, 1, 2, 0, true, 1, false, false, "", "", "1,000.0"},
        // １２，３４５．６８mm
        {12345.678, 2, 2, 0, true, 1, true, true, "", "",
         "\x82\x50\x82\x51\x81\x43\x82\x52\x82\x53\x82\x54\x81\x44\x82\x55\x82\x57mm"},
        // １．５ｍ
        {1500, 1, 2, 1, false, 0, true, true, "", "", "\x82\x50\x81\x44\x82\x54\x82\x8d"},
        {1500, 0, 2, 1, false, 1, false, true, "", "", "2\x82\x8d"},  // 2ｍ
        {1234.5, 1, 2, 0, true, 1, false, true, "W", "*", "W1,234.5mm*"},
        {0.04, 1, 2, 0, false, 0, false, false, "", "", "0"},
        {0.04, 1, 1, 0, false, 1, false, false, "", "", "0.1"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.want);
        TDimParams params = DefaultParams();
        params.Decimals = c.decimals;
        params.RoundMode = c.mode;
        params.UnitIndex = c.unit;
        params.Commas = c.commas;
        params.ZeroDisplay = c.zeros;
        params.FullWidth = c.fullWidth;
        params.AppendUnit = c.appendUnit;
        params.Prefix = c.prefix;
        params.Suffix = c.suffix;
        EXPECT_EQ(FormatDimValue(c.length, params), c.want);
    }
}

TEST(FormatDimValue, TrailingZerosGoOnlyFromTheDecimals) {
    struct {
        double length;
        int decimals;
        bool commas;
        const char* want;
    } cases[] = {
        {1000, 3, true, "1,000"},  // '1,000.000'
        {1000, 0, true, "1,000"},  // no decimals, nothing removed
        {100, 0, false, "100"},     {100, 3, false, "100"}, {10.5, 2, false, "10.5"},
        {10.05, 2, false, "10.05"}, {0.5, 3, false, "0.5"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.want);
        TDimParams params = DefaultParams();
        params.Decimals = c.decimals;
        params.Commas = c.commas;
        EXPECT_EQ(FormatDimValue(c.length, params), c.want);
    }
}

TEST(FormatDimValue, OnlyTheNumberTurnsFullWidth) {
    TDimParams params = DefaultParams();
    params.Decimals = 1;
    params.Commas = true;
    params.FullWidth = true;
    params.AppendUnit = true;
    params.UnitIndex = 1;
    // １，２３４．５ｍ
    EXPECT_EQ(FormatDimValue(1234500, params),
              "\x82\x50\x81\x43\x82\x51\x82\x52\x82\x53\x81\x44\x82\x54\x82\x8d");
    params.UnitIndex = 0;
    params.ZeroDisplay = 1;
    params.Prefix = " L= ";
    // ' L= １，２３４，５００．０mm'
    EXPECT_EQ(FormatDimValue(1234500, params),
              " L= \x82\x50\x81\x43\x82\x51\x82\x52\x82\x53\x81\x43\x82\x54\x82\x4f\x82\x4f\x81\x44"
              "\x82\x4fmm");
}

TEST(FormatDimValue, NonFiniteLengthGivesNoText) {
    TDimParams params = DefaultParams();
    params.Prefix = "L=";
    params.AppendUnit = true;
    params.FullWidth = true;
    for (double length : {HUGE_VAL, -HUGE_VAL, std::nan("")}) {
        SCOPED_TRACE(length);
        EXPECT_EQ(FormatDimValue(length, params), "");
    }
}

// The ends are finite, but their distance, or the place of a text of huge width, is not.
TEST(IsWritable, ValueBeyondTheRangeOfRealsIsRefused) {
    for (bool figure : {false, true}) {
        SCOPED_TRACE(figure);
        TDimParams params = DefaultParams();
        params.DimFigure = figure;
        FreshStore();
        EXPECT_FALSE(IsWritable(Plan(Line(-1e308, 20, 1e308, 20, 0), params)));
        EXPECT_TRUE(IsWritable(Plan(Line(0, 20, 1000, 20, 0), params)));
        ExchangeModel.TextTypes[1].Width = 1e308;
        EXPECT_FALSE(IsWritable(Plan(Line(0, 20, 1000, 20, 0), params)));
        // Only the extension lines' ends pass the top: measured far up, a huge overshoot.
        params.ExtOvershoot = 1e307;
        FreshStore();
        const TDimGeometry high =
            ComputeDimGeometry({0, 1.7e308}, {1000, 1.7e308}, {500, 1.79e308});
        EXPECT_FALSE(IsWritable(Plan(high, params)));
    }
}

// Each number the check looks at, on its own beyond the range of reals (or printing past it),
// and numbers that are never written, which must not refuse the dimension.
TEST(IsWritable, RefusesEachCheckedNumberBeyondTheRange) {
    const double beyond = 1.7976931348623157e308;  // prints as 1.79769313486232E308
    struct {
        const char* what;
        bool writable;
        void (*spoil)(TDimPlan&, double);
    } cases[] = {
        {"nothing", true, [](TDimPlan&, double) {}},
        {"length 1e-10", true, [](TDimPlan& p, double) { p.Geometry.DimLength = 1e-10; }},
        {"length 9.9e-11", false, [](TDimPlan& p, double) { p.Geometry.DimLength = 9.9e-11; }},
        {"P1", false, [](TDimPlan& p, double v) { p.Geometry.P1.X = v; }},
        {"P2", false, [](TDimPlan& p, double v) { p.Geometry.P2.Y = v; }},
        {"P3", false, [](TDimPlan& p, double v) { p.Geometry.P3.X = v; }},
        {"LocalP2", false, [](TDimPlan& p, double v) { p.Geometry.LocalP2.Y = v; }},
        {"LocalP3", false, [](TDimPlan& p, double v) { p.Geometry.LocalP3.X = v; }},
        {"DimStart", false, [](TDimPlan& p, double v) { p.Geometry.DimStart.Y = v; }},
        {"DimEnd", false, [](TDimPlan& p, double v) { p.Geometry.DimEnd.X = v; }},
        {"angle", false, [](TDimPlan& p, double v) { p.Geometry.DimAngle = v; }},
        {"length", false, [](TDimPlan& p, double v) { p.Geometry.DimLength = v; }},
        {"scale", false, [](TDimPlan& p, double v) { p.DrawingScale = v; }},
        {"text gap", false, [](TDimPlan& p, double v) { p.TextGapDrawing = v; }},
        {"extension gap", false, [](TDimPlan& p, double v) { p.ExtGapDrawing = v; }},
        {"overshoot", false, [](TDimPlan& p, double v) { p.ExtOvershootDrawing = v; }},
        {"reverse overshoot", false, [](TDimPlan& p, double v) { p.ReverseOvershootDrawing = v; }},
        {"arrow", false, [](TDimPlan& p, double v) { p.ArrowLengthDrawing = v; }},
        {"value", false, [](TDimPlan& p, double v) { p.Text.DimValue = v; }},
        {"text start", false, [](TDimPlan& p, double v) { p.Text.TextStart.Y = v; }},
        {"text direction", false, [](TDimPlan& p, double v) { p.Text.TextDir.X = v; }},
        {"extension line 1 foot", false,
         [](TDimPlan& p, double v) { p.ExtensionLines[0].From.X = v; }},
        {"extension line 2 end", false,
         [](TDimPlan& p, double v) { p.ExtensionLines[1].To.Y = v; }},
        {"no extension lines", true,
         [](TDimPlan& p, double v) {
             p.HasExtensionLines = false;
             p.ExtensionLines[0].To.X = v;
         }},
        {"mark overshoot end", false,
         [](TDimPlan& p, double v) {
             p.EndMark.HasOvershoot = true;
             p.EndMark.Overshoot.To.X = v;
         }},
        {"no mark overshoot", true, [](TDimPlan& p, double v) { p.EndMark.Overshoot.To.X = v; }},
        {"arrow stroke end", false,
         [](TDimPlan& p, double v) { p.StartMark.ArrowStrokes[1].To.Y = v; }},
        {"point mark magnification", false,
         [](TDimPlan& p, double v) {
             p.EndMark.Kind = MarkTriangle;
             p.EndMark.MarkScale = v;
         }},
        {"point mark direction", false,
         [](TDimPlan& p, double v) {
             p.StartMark.Kind = MarkCircle;
             p.StartMark.DirectionDeg = v;
         }},
        {"line arrow magnification", true, [](TDimPlan& p, double v) { p.EndMark.MarkScale = v; }},
        {"point mark strokes", true,
         [](TDimPlan& p, double v) {
             p.EndMark.Kind = MarkTriangle;
             p.EndMark.ArrowStrokes[0].To.X = v;
         }},
        {"host's free text size", true,
         [](TDimPlan& p, double v) {
             p.Text.ValueTextType = 0;
             p.Text.ValueTextSize.Height = v;
         }},
    };
    FreshStore();
    const TDimPlan good = Plan(ComputeDimGeometry({0, 0}, {100, 0}, {50, 20}), DefaultParams());
    ASSERT_TRUE(good.HasExtensionLines);
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        for (double v : {beyond, -HUGE_VAL, std::nan("")}) {
            TDimPlan plan = good;
            c.spoil(plan, v);
            EXPECT_EQ(IsWritable(plan), c.writable);
        }
    }
}

TEST(EmitValueText, PlainLineThenTextTypeCcAndText) {
    FreshStore();
    EmitValueText(Plan(Line(0, 20, 100, 20, 0), DefaultParams()));
    EXPECT_EQ(Records(), (std::vector<std::string>{"z3", "0 20 100 20", "cn1", "cc0", "z3",
                                                   "cs 47.75 20.5 10 0 \"", "100"}));
}

TEST(EmitValueText, DimensionFigureCarriesLineAndText) {
    FreshStore();
    TDimParams params = DefaultParams();
    params.DimFigure = true;
    EmitValueText(Plan(Line(0, 20, 100, 20, 0), params));
    EXPECT_EQ(Records(), (std::vector<std::string>{"cn1", "msg", "0 20 100 20",
                                                   "cs 47.75 20.5 10 0 \"", "100"}));
}

TEST(EmitValueText, FreeSizeIsWrittenWithItsValues) {
    FreshStore();
    ExchangeModel.InitialTextType = 0;
    ExchangeModel.InitialFreeText = {2.5, 2.5, 0.5, 3};
    TDimParams params = DefaultParams();
    params.TextTypeIndex = 0;
    EmitValueText(Plan(Line(0, 20, 100, 20, 0), params));
    // '100' measures 3 * 1.25 + 2 * 0.25 = 4.25
    EXPECT_EQ(Records(), (std::vector<std::string>{"z3", "0 20 100 20", "cn0 2.5 2.5 0.5 3", "cc0",
                                                   "z3", "cs 47.875 20.5 10 0 \"", "100"}));
}

// Long enough for the zero test, too short for the emitters: the line goes, the text stays.
TEST(EmitValueText, LineBelowTheEmittersBoundKeepsOnlyTheText) {
    const TDimGeometry tiny = ComputeDimGeometry({0, 0}, {5e-9, 0}, {0, 0});
    FreshStore();
    EmitValueText(Plan(tiny, DefaultParams()));
    EXPECT_EQ(Records(), (std::vector<std::string>{"z3", "cn1", "cc0", "z3",
                                                   "cs -0.7499999975 0.5 10 0 \"", "0"}));
    FreshStore();
    TDimParams params = DefaultParams();
    params.DimFigure = true;
    EmitValueText(Plan(tiny, params));
    EXPECT_EQ(Records(), (std::vector<std::string>{"cn1"}));
}

TEST(EmitHostTextType, GivesBackTheHostsOwnNumber) {
    FreshStore();
    ExchangeModel.InitialTextType = 12;
    EmitTextType(1, 2, 0, 3, 3, 0);
    EmitHostTextType(ExchangeModel);
    EXPECT_EQ(Records(), (std::vector<std::string>{"cn1", "cn12"}));
    FreshStore();
    ExchangeModel.InitialTextType = 3;
    EmitTextType(3, 2, 0, 3, 3, 0);
    EmitHostTextType(ExchangeModel);
    EXPECT_EQ(Records(), (std::vector<std::string>{"cn3"}));  // already the current one
}

TEST(MarkExtent, BaseExtentTimesMagnificationAndScale) {
    struct {
        int kind;
        double markScale, scale, want;
    } cases[] = {
        {0, 1, 1, 2.897777478867205},
        {0, 2, 1, 2.897777478867205},  // the line arrow ignores the magnification
        {0, 1, 50, 144.88887394336024},
        {1, 2, 1, 15},
        {2, 2, 1, 2.5},
        {3, 2, 1, 2.5},
        {4, 2, 1, 2.5},
        {5, 2, 1, 2.5},
        {6, 2, 1, 15},
        {7, 2, 1, 2.5},
        {8, 1, 1, 1.7677669529663689},
        {8, 2, 1, 3.5355339059327378},
        {9, 2, 1, 15},
        {10, 1, 1, 1.7677669529663689},
        {11, 2, 1, 15},
        {7, 1, 50, 62.5},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.kind);
        TDimParams params = DefaultParams();
        params.MarkScale = c.markScale;
        params.Scale = c.scale;
        EXPECT_EQ(MarkExtent(c.kind, params), c.want);
    }
    TDimParams wide = DefaultParams();
    wide.ArrowAngle = 120;
    EXPECT_NEAR(MarkExtent(0, wide), -1.5, 1e-15);
}

TEST(MarksReversed, OnlyWhenTheMarksAreLongerThanTheLine) {
    struct {
        int startMark, endMark;
        double markScale, arrowAngle, length;
        bool want;
    } cases[] = {
        {0, 0, 1, 15, 5.79555495773441, false},  // exactly both arrows
        {0, 0, 1, 15, 5.795554957734409, true},
        {7, 7, 1, 15, 2.5, false},
        {7, 7, 1, 15, 2.4999999, true},
        {7, 7, 2, 15, 5, false},
        {7, 7, 2, 15, 4.9999999, true},
        {1, 0, 1, 15, 10.3978, false},
        {1, 0, 1, 15, 10.3977, true},
        {0, 0, 1, 120, 0.001, false},  // arrows opening backwards take no room
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.length);
        TDimParams params = DefaultParams();
        params.StartMark = c.startMark;
        params.EndMark = c.endMark;
        params.MarkScale = c.markScale;
        params.ArrowAngle = c.arrowAngle;
        EXPECT_EQ(MarksReversed(Line(0, 0, c.length, 0, 0), params), c.want);
    }
}

TEST(EmitEndMarks, ArrowsPointOutwardAtBothEnds) {
    FreshStore();
    EmitEndMarks(Plan(Line(0, 20, 100, 20, 0), DefaultParams()));
    EXPECT_EQ(Records(),
              (std::vector<std::string>{"z3", "0 20 2.89777747886721 20.7764571353076", "z3",
                                        "0 20 2.89777747886721 19.2235428646924", "z3", "z3",
                                        "100 20 97.1022225211328 19.2235428646924", "z3",
                                        "100 20 97.1022225211328 20.7764571353076"}));
}

TEST(EmitEndMarks, ReversedArrowsStandOutsideOnProlongedLine) {
    FreshStore();
    EmitEndMarks(Plan(Line(0, 0, 2, 0, 0), DefaultParams()));
    const auto records = Records();
    ASSERT_EQ(records.size(), 13u);
    for (int i : {0, 2, 4, 6, 7, 9, 11}) EXPECT_EQ(records[i], "z3") << i;
    ExpectLine(records[1], {0, 0, -2, 0});
    ExpectLine(records[3], {0, 0, -2.897777478867205, -0.7764571353075622});
    ExpectLine(records[5], {0, 0, -2.897777478867205, 0.7764571353075622});
    ExpectLine(records[8], {2, 0, 4, 0});
    ExpectLine(records[10], {2, 0, 4.897777478867205, 0.7764571353075622});
    ExpectLine(records[12], {2, 0, 4.897777478867205, -0.7764571353075622});
}

TEST(EmitEndMarks, ReversedWithoutOvershootDrawsOnlyTheMarks) {
    FreshStore();
    TDimParams params = DefaultParams();
    params.ReverseOvershoot = 0;
    EmitEndMarks(Plan(Line(0, 0, 2, 0, 0), params));
    EXPECT_EQ(Records().size(), 9u);
}

// A reversed mark's overshoot longer than 1e-10 carries its "z3" (its line, shorter than the
// writer's 1e-8, is dropped there); at 1e-10 or less there is no overshoot at all.
TEST(EmitEndMarks, ReverseOvershootBeyondTheZeroOnly) {
    struct {
        double overshoot;
        std::size_t records;
    } cases[] = {{1e-10, 9}, {2e-10, 11}, {2e-8, 13}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.overshoot);
        FreshStore();
        TDimParams params = DefaultParams();
        params.ReverseOvershoot = c.overshoot;
        EmitEndMarks(Plan(Line(0, 0, 2, 0, 0), params));
        EXPECT_EQ(Records().size(), c.records);
    }
}

TEST(EmitEndMarks, PointMarksCarryCodeMagnificationAndDirection) {
    struct {
        int startMark, endMark;
        double markScale, length;
        std::vector<std::string> want;
    } cases[] = {
        {11, 1, 1.5, 100, {"z3", "pt 0 20 1.5 180 11", "z3", "z3", "pt 100 20 1.5 0 1"}},
        {7, 7, 1, 2, {"z3", "pt 0 20 1 0 7", "z3", "z3", "pt 2 20 1 180 7"}},  // reversed
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.length);
        FreshStore();
        TDimParams params = DefaultParams();
        params.StartMark = c.startMark;
        params.EndMark = c.endMark;
        params.MarkScale = c.markScale;
        params.ReverseOvershoot = 0;
        EmitEndMarks(Plan(Line(0, 20, c.length, 20, 0), params));
        EXPECT_EQ(Records(), c.want);
    }
}

TEST(EmitEndMark, MixedMarksFollowTheSharedReversal) {
    FreshStore();
    TDimParams params = DefaultParams();
    params.ReverseOvershoot = 0;
    EmitEndMark(PlanEndMark({5, 5}, {0, 5}, 4, true, params));
    EmitEndMark(PlanEndMark({5, 5}, {0, 5}, 4, false, params));
    EXPECT_EQ(Records(), (std::vector<std::string>{"z3", "pt 5 5 1 180 4", "z3", "pt 5 5 1 0 4"}));
}
