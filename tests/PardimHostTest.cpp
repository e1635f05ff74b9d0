// The host stand-in: its input file against the real host's samples, scenario files, the output
// checker on a table of bad lines, the SVG it draws, the report of show, and the program itself
// on scratch folders (a whole run through pardim-batch included).

// GCC 12 with the sanitizers misreads std::regex's inlined std::function moves as uninitialised;
// the regex only picks our own SVG apart.
#pragma GCC diagnostic ignored "-Wmaybe-uninitialized"

#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cstdio>
#include <fstream>
#include <random>
#include <regex>
#include <sstream>

#include "HostDraw.h"
#include "HostScenario.h"
#include "HostShow.h"
#include "HostText.h"
#include "OutputCheck.h"
#include "TestFiles.h"

namespace fs = std::filesystem;

namespace {

std::vector<std::string> Lines(const std::string& bytes) {
    std::vector<std::string> lines;
    std::istringstream in(bytes);
    for (std::string line; std::getline(in, line);) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        lines.push_back(line);
    }
    return lines;
}

std::vector<std::string> Without(std::vector<std::string> lines, const std::regex& drop) {
    std::erase_if(lines, [&](const std::string& l) { return std::regex_search(l, drop); });
    return lines;
}

std::string InputOf(const TScenario& scenario) {
    std::string bytes, error;
    EXPECT_TRUE(HostInputBytes(scenario, bytes, error)) << error;
    return bytes;
}

class Scratch : public ::testing::Test {
protected:
    void SetUp() override {
        Dir = fs::temp_directory_path() /
              ("pardim-host-test-" + std::to_string(std::random_device{}()));
        fs::create_directories(Dir);
    }
    void TearDown() override { fs::remove_all(Dir); }
    fs::path Dir;
};

// ---- the input file -----------------------------------------------------------------------------

TEST(HostInputBytes, MatchesTheRealHostsHeaderAndAttributes) {
    TScenario s = DefaultScenario();
    s.Scales.fill(100);
    s.Points.clear();
    const std::string ours = InputOf(s);
    const std::string host = ReadBytes(PARDIM_TEST_DATA "/host-10.3.6-one-line-crlf.txt");
    // The sample also names the drawing, had a selection and carries the selected line; ours
    // carries the line width our BAT asks for.
    EXPECT_EQ(Without(Lines(ours), std::regex("^(hn |lw)")),
              Without(Lines(host), std::regex("^(file=|hn | )")));
    EXPECT_NE(ours.find("\r\n"), std::string::npos);
    EXPECT_EQ(ours.find("\n"), ours.find("\r\n") + 1);  // CR LF throughout
}

TEST(HostInputBytes, WritesPointsScalesAndFreeTextAsTheHostDoes) {
    TScenario s = DefaultScenario();
    s.Scales.fill(1e6);
    s.Scales[0] = 500;
    s.Points = {{34262.8515141222, 19199.8914568925}, {-40496.8595011236, 19256.2733412202}};
    s.TextType = 0;
    s.FreeText = {3.5, 3.5, 0, 2};
    const auto lines = Lines(InputOf(s));
    const auto sample = Lines(ReadBytes(PARDIM_TEST_DATA "/parcel-a-4points-freetext.txt"));
    const auto exponents = Lines(ReadBytes(PARDIM_TEST_DATA "/parcel-d-scale-exponent.txt"));
    auto has = [&](const std::string& line) {
        return std::find(lines.begin(), lines.end(), line) != lines.end();
    };
    EXPECT_TRUE(has(sample[8])) << sample[8];        // hp1-  34262.8515141222 19199.8914568925
    EXPECT_TRUE(has(sample[9])) << sample[9];        // hp2   -40496.8595011236 19256.2733412202
    EXPECT_TRUE(has(exponents[2])) << exponents[2];  // hs 500 1e+06 1e+06 ...
    EXPECT_TRUE(has("cn0 3.5 3.5 0 2"));
}

TEST(HostInputBytes, ReadsBackThroughTheToolsReader) {
    TScenario s = DefaultScenario();
    s.LayerGroup = 10;
    s.Layer = 3;
    s.Scales[10] = 30;
    s.TextType = 4;
    s.Points.push_back({-1.5, 2.25});
    const fs::path file = fs::temp_directory_path() / "pardim-host-readback.txt";
    WriteBytes(file, InputOf(s));
    JwwInit();
    ASSERT_TRUE(JwwLoadFile(file));
    fs::remove(file);
    EXPECT_EQ(ExchangeModel.InitialLayerGroup, 10);
    EXPECT_EQ(ExchangeModel.InitialLayer, 3);
    EXPECT_EQ(ExchangeModel.LayerGroupScale[10], 30);
    EXPECT_EQ(ExchangeModel.InitialTextType, 4);
    EXPECT_EQ(ExchangeModel.TextTypes[2].Width, 2.5);
    EXPECT_EQ(ExchangeModel.TextTypes[10].Color, 5);
    EXPECT_EQ(ExchangeModel.RefPoints[1].PickKind, 1);  // "hp1-"
    EXPECT_EQ(ExchangeModel.RefPoints[2].X, 3640);
    EXPECT_EQ(ExchangeModel.RefPoints[4].Y, 2.25);
    EXPECT_EQ(ExchangeModel.InitialFontName,
              "<\x82\x6c\x82\x72 \x83\x53\x83\x56\x83\x62\x83\x4e>");  // <ＭＳ ゴシック>
    JwwFree();
}

// C's own %.15g in the C locale is the reference for the host's number text.
TEST(HostNumber, EqualsCsGeneralFormat) {
    for (double v : {0.0, 50.0, 1e6, 1e15, 1e16, 0.1 + 0.2, -44948.9239307439, 1e-5, 1.0 / 3,
                     123456789.123456789, -0.000123, 2.5e-300}) {
        char expected[64];
        std::snprintf(expected, sizeof expected, "%.15g", v);
        EXPECT_EQ(HostNumber(v), expected) << v;
    }
    EXPECT_EQ(HostNumber(1e6, 6), "1e+06");
    EXPECT_EQ(HostNumber(-0.0), "0");
}

// ---- scenario files -----------------------------------------------------------------------------

TEST_F(Scratch, LoadScenarioReadsKeysOverTheDefaults) {
    WriteBytes(Dir / "s.toml",
               "scale = 100\nlayer_group = 2\ntext_type = 0\nfree_text = [3, 3, 0.5, 2]\n"
               "points = [[1, 2], [3.5, -4]]\nfont = \"IPA\"\ncontext = []\n");
    TScenario s = DefaultScenario();
    std::string error;
    ASSERT_TRUE(LoadScenario(Dir / "s.toml", s, error)) << error;
    EXPECT_EQ(s.Scales[15], 100);
    EXPECT_EQ(s.LayerGroup, 2);
    EXPECT_EQ(s.FreeText.Spacing, 0.5);
    ASSERT_EQ(s.Points.size(), 2u);
    EXPECT_EQ(s.Points[1][1], -4);
    EXPECT_TRUE(s.Context.empty());
    EXPECT_EQ(s.LineColor, 2);  // left out: the default

    TScenario again = DefaultScenario();
    WriteBytes(Dir / "copy.toml", ScenarioToml(s));
    ASSERT_TRUE(LoadScenario(Dir / "copy.toml", again, error)) << error;
    EXPECT_EQ(InputOf(again), InputOf(s));
}

TEST(LoadScenario, TheSampleIsTheDefaultRun) {
    TScenario s = DefaultScenario();
    s.Scales.fill(1);
    s.Points.clear();
    s.Context.clear();
    std::string error;
    ASSERT_TRUE(LoadScenario(PARDIM_HOST_SAMPLE, s, error)) << error;
    EXPECT_EQ(InputOf(s), InputOf(DefaultScenario()));
    EXPECT_EQ(s.Context, DefaultScenario().Context);
}

TEST_F(Scratch, LoadScenarioRefusesBadFiles) {
    const struct {
        const char* text;
        const char* message;
    } cases[] = {
        {"scal = 50\n", "unknown key 'scal'"},
        {"layer_group = 16\n", "layer_group must be 0 to 15"},
        {"text_type = \"2\"\n", "text_type must be a whole number"},
        {"points = [[1, 2, 3]]\n", "points must be an array of [x, y]"},
        {"scales = [50, 50]\n", "scales must hold 16 numbers"},
        {"scale = 0\n", "scale must be above 0"},
        {"scale = \n", ":1:"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        WriteBytes(Dir / "bad.toml", c.text);
        TScenario s = DefaultScenario();
        std::string error;
        EXPECT_FALSE(LoadScenario(Dir / "bad.toml", s, error));
        EXPECT_NE(error.find(c.message), std::string::npos) << error;
    }
}

// ---- the checker --------------------------------------------------------------------------------

// What the tool writes for the default wall (pardim-batch's output, as the Wine run gives it).
const char WallOutput[] =
    "lg0\r\nly0\r\nlc2\r\npn2\r\nlt1\r\nlw0\r\n"
    "cn\"$<\x82\x6c\x82\x72 \x83\x53\x83\x56\x83\x62\x83\x4e>\r\n"
    "z3\r\n0 100 0 900\r\nz3\r\n3640 100 3640 900\r\nz3\r\n0 800 3640 800\r\ncn1\r\ncc0\r\n"
    "z3\r\ncs 1720 825 10 0 \"3640\r\n"
    "z3\r\n0 800 144.88887394336 838.822856765378\r\n"
    "z3\r\n0 800 144.88887394336 761.177143234622\r\nz3\r\n"
    "z3\r\n3640 800 3495.11112605664 761.177143234622\r\n"
    "z3\r\n3640 800 3495.11112605664 838.822856765378\r\ncn2\r\n";

TEST(CheckHostLevel, TheToolsOwnLanguageIsClean) {
    EXPECT_TRUE(CheckHostLevel(WallOutput).empty());
    EXPECT_TRUE(CheckHostLevel("hq\r\n").empty());
    EXPECT_TRUE(
        CheckHostLevel("msg\n0 0 10 0\ncs 4 1 10 0 \"10\ncn0 2.5 2.5 0 2\nlgA 1\nlc10 255\n"
                       "pt 1 2 1 45 -3\nz5\ncc8\npn9\ncv 0 0 0 10 \"a b\n1E-5 0 -1.5e+06 .5")
            .empty());
}

TEST(CheckHostLevel, ReportsEachBadLineWithItsNumber) {
    const struct {
        std::string line;
        const char* message;
    } cases[] = {
        {"xx 1 2", "unknown command 'xx'"},
        {"hp1 0 0", "unknown command 'hp1'"},
        {"0 0 1O 0", "'1O' is not a number"},
        {"0 0 inf 0", "'inf' is not finite"},
        {"0 0 1e999 0", "'1e999' is not finite"},
        {"0 0 10", "a line takes four numbers, not 3"},
        {"cs 0 0 10 0", "'cs' is missing its text (a double quote and the text)"},
        {"cs 0 0 10 0 \"", "'cs' is missing its text"},
        {"ch 0 0 10 0 \"" + std::string(256, 'a'), "text is 256 bytes, over 255"},
        {"ch 0 0 0 0 \"a", "direction (0, 0) gives the text no direction"},
        {"ch 0 0 10 \"a", "'ch' takes 4 values, not 3"},
        {"ch 0 0 10 0 \"\x82\x20", "bad Shift-JIS at byte 14"},
        {"ch 0 0 10 0 \"\x85\x40", "bad Shift-JIS at byte 14"},  // an unassigned code
        {"z3\t\x01", "control character 1 at byte 4"},
        {"z6", "unknown command 'z6'"},
        {"z3 1", "'z3' takes 0 values, not 1"},
        {"pt 0 0 1 0 12", "marker code 12 is outside -7 to 11"},
        {"pt 0 0 1 0", "'pt' takes 5 values, not 4"},
        {"lgG", "'lgG' needs one hexadecimal digit 0 to F"},
        {"lc2 5", "'lc2' takes 0 values, not 1"},
        {"lw40000", "value of 'lw' 40000 is outside 0 to 30000"},
        {"ltx", "value of 'lt' 'x' is not a whole number"},
        {"cc9", "'cc9' needs one digit 0 to 8"},
        {"cn11", "text type 11 is outside 0 to 10"},
        {"cn0 2.5 2.5 0", "'cn0' takes 4 values, not 3"},
        {"cn\"<font>", "a font line is cn\"$ followed by the font name"},
        {"lc2 \"x", "unexpected double quote after 'lc2'"},
        {"msg", "'msg' must be followed by a line of four numbers and a 'cs' text"},
        {"hq", "'hq' is understood only as the first line"},
        {"", "empty line"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.line);
        const auto problems = CheckHostLevel("lg0\r\n" + c.line + "\r\nz3\r\n");
        ASSERT_EQ(problems.size(), 1u) << (problems.empty() ? "" : problems.back().Message);
        EXPECT_EQ(problems[0].Line, 2);
        EXPECT_EQ(problems[0].Message.find(c.message), 0u) << problems[0].Message;
    }
    const auto hqFirst = CheckHostLevel("hq\nz3\n");
    ASSERT_EQ(hqFirst.size(), 1u);
    EXPECT_EQ(hqFirst[0].Message,
              "'hq' as the first line: the host draws nothing and ignores "
              "the other 1 lines");
}

// What the writer writes as it was given is told apart from a form the host cannot read.
TEST(CheckHostLevel, MarksWhatTheWriterPassesThrough) {
    const struct {
        const char* line;
        bool passedThrough;
    } cases[] = {
        {"lg11", true}, {"lc-3", true},     {"cn17", true}, {"cs 0 0 1 0 \"\x85\x40", true},
        {"lgG", false}, {"lw40000", false}, {"cc9", false}, {"pt 0 0 1 0 12", false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.line);
        const auto problems = CheckHostLevel(std::string(c.line) + "\r\n");
        ASSERT_EQ(problems.size(), 1u);
        EXPECT_EQ(problems[0].PassedThrough, c.passedThrough);
    }
}

// ---- draw ---------------------------------------------------------------------------------------

struct TElement {
    std::string Tag;
    std::map<std::string, std::string> Attributes;
    std::string Inner;
};

// Our own well-formed SVG: elements of a tag with their attributes and, for texts, content.
std::vector<TElement> Elements(const std::string& svg, const std::string& tag) {
    std::vector<TElement> found;
    const std::regex element("<" + tag + "((?: [a-z0-9-]+=\"[^\"]*\")*)\\s*(/>|>([\\s\\S]*?)</" +
                             tag + ">)");
    const std::regex attribute("([a-z0-9-]+)=\"([^\"]*)\"");
    for (std::sregex_iterator it(svg.begin(), svg.end(), element), end; it != end; ++it) {
        TElement e{tag, {}, (*it)[3]};
        const std::string attributes = (*it)[1];
        for (std::sregex_iterator a(attributes.begin(), attributes.end(), attribute); a != end;
             ++a) {
            e.Attributes[(*a)[1]] = (*a)[2];
        }
        found.push_back(e);
    }
    return found;
}

std::vector<TElement> OfClass(const std::vector<TElement>& all, const std::string& cls) {
    std::vector<TElement> found;
    for (const TElement& e : all) {
        if (e.Attributes.count("class") && e.Attributes.at("class") == cls) found.push_back(e);
    }
    return found;
}

class DrawSvgTest : public Scratch {
protected:
    TDrawResult Draw(const std::string& output) {
        WriteBytes(Dir / "JWC_TEMP.in.txt", InputOf(DefaultScenario()));
        WriteBytes(Dir / "JWC_TEMP.TXT", output);
        TDrawRequest request{Dir / "JWC_TEMP.TXT", Dir / "JWC_TEMP.in.txt",
                             DefaultScenario().Context, "test"};
        TDrawResult result = DrawSvg(request);
        EXPECT_TRUE(result.Ok) << result.Error;
        return result;
    }
};

TEST_F(DrawSvgTest, DrawsLinesTextsMarksAndFiguresInTheirColours) {
    const std::string svg =
        Draw(std::string(WallOutput) +
             "lc8\r\npn6\r\n0 0 1 1\r\npt 3640 800 1 0 6\r\npt 0 800 2 180 10\r\n"
             "cn3\r\nmsg\r\n0 -500 3640 -500\r\ncs 1720 -475 10 0 \"\x90\xa1\x96\x40\r\n")  // 寸法
            .Svg;
    const auto lines = Elements(svg, "line");
    const auto drawn = OfClass(lines, "line");
    ASSERT_EQ(drawn.size(), 8u);  // two extension lines, the dimension line, four strokes, 0 0 1 1
    EXPECT_EQ(drawn[0].Attributes.at("x1"), "0");
    EXPECT_EQ(drawn[0].Attributes.at("y1"), "-100");  // y turned up
    EXPECT_EQ(drawn[0].Attributes.at("y2"), "-900");
    EXPECT_EQ(drawn[0].Attributes.at("stroke"), "#000000");  // colour 2
    EXPECT_EQ(drawn[7].Attributes.at("stroke"), "#ff0000");  // colour 8
    EXPECT_EQ(OfClass(lines, "context").size(), 4u);
    EXPECT_EQ(OfClass(lines, "context")[0].Attributes.at("stroke"), "#b4b4b4");

    // Text type 1 at 1/50: 2 mm becomes 100, each half-width digit 50 along; colour 1.
    const auto texts = OfClass(Elements(svg, "text"), "text");
    ASSERT_EQ(texts.size(), 1u);
    EXPECT_EQ(texts[0].Attributes.at("data-text"), "3640");
    EXPECT_EQ(texts[0].Attributes.at("font-size"), "100");
    EXPECT_EQ(texts[0].Attributes.at("fill"), "#00b0b0");
    EXPECT_EQ(texts[0].Attributes.at("transform"), "translate(1720 -825) rotate(0) scale(1 1)");
    const auto tspans = Elements(texts[0].Inner, "tspan");
    ASSERT_EQ(tspans.size(), 4u);
    EXPECT_EQ(tspans[1].Inner, "6");
    EXPECT_EQ(tspans[1].Attributes.at("x"), "50");
    EXPECT_EQ(tspans[3].Attributes.at("x"), "150");
    EXPECT_EQ(tspans[0].Attributes.at("y"), "-12");  // the baseline above the reference point

    // Text type 3 (3 mm wide, spacing 0.5, colour 2): full-width characters 175 apart.
    const auto figure = OfClass(Elements(svg, "text"), "dim-text");
    ASSERT_EQ(figure.size(), 1u);
    EXPECT_EQ(figure[0].Attributes.at("data-text"), "\xe5\xaf\xb8\xe6\xb3\x95");  // 寸法
    EXPECT_EQ(figure[0].Attributes.at("fill"), "#000000");
    EXPECT_EQ(Elements(figure[0].Inner, "tspan")[1].Attributes.at("x"), "175");
    ASSERT_EQ(OfClass(lines, "dim-line").size(), 1u);
    EXPECT_EQ(OfClass(lines, "dim-line")[0].Attributes.at("y1"), "500");

    // A filled triangle with its tip on the end point, 7.5 mm long at 1/50, in pen 6 (blue);
    // a 45-degree stroke of 5 mm at magnification 2.
    const auto marks = Elements(svg, "g");
    const auto polygons = Elements(svg, "polygon");
    ASSERT_EQ(polygons.size(), 1u);
    EXPECT_EQ(polygons[0].Attributes.at("points").substr(0, 19), "3640,-800 3265,-900");
    EXPECT_EQ(polygons[0].Attributes.at("fill"), "#0000ff");
    const auto strokes = Elements(svg, "polyline");
    ASSERT_EQ(strokes.size(), 1u);
    EXPECT_EQ(strokes[0].Attributes.at("points"),
              "176.7766953,-976.7766953 -176.7766953,-623.2233047");
    EXPECT_EQ(OfClass(marks, "pick").size(), 3u);
}

TEST_F(DrawSvgTest, NothingIsDrawnAfterHqButThePointsAreShown) {
    const TDrawResult result = Draw("hq\r\n0 0 100 0\r\n");
    EXPECT_FALSE(result.Drawn);
    EXPECT_TRUE(OfClass(Elements(result.Svg, "line"), "line").empty());
    EXPECT_EQ(OfClass(Elements(result.Svg, "g"), "pick").size(), 3u);
    EXPECT_NE(result.Svg.find("nothing drawn"), std::string::npos);
}

// ---- show ---------------------------------------------------------------------------------------

TEST(ShowExchangeFile, ReportsWhatTheReaderSees) {
    std::string report;
    ASSERT_TRUE(ShowExchangeFile(PARDIM_TEST_DATA "/parcel-b-9points-range-lg1.txt", report));
    for (const char* part :
         {"layer group: 1 (scale 1/600)\n", "layer: 7\n",
          "text type: 3 (3 x 3 mm, spacing 0.5, colour 2)\n",
          "  9: 1.5 x 1.5 mm, spacing 0, colour 1\n", "points: 9\n",
          "  10-  (-87180.2794537891, 24495.5054891724)\n", "entities: none\n"}) {
        EXPECT_NE(report.find(part), std::string::npos) << part << report;
    }
    EXPECT_FALSE(ShowExchangeFile("/nonexistent/JWC_TEMP.TXT", report));
}

// ---- the program --------------------------------------------------------------------------------

class PardimHost : public Scratch {
protected:
    int Run(const std::string& args) { return RunProgram(PARDIM_HOST, args, Dir, Stdout, Stderr); }
    std::string In(const char* name) { return "'" + (Dir / name).string() + "'"; }
    std::string Stdout, Stderr;
};

TEST_F(PardimHost, RunsTheDefaultWallThroughPardimBatch) {
    ASSERT_EQ(Run("write " + In("run")), 0) << Stderr;
    ASSERT_EQ(Run("run " + In("run") + " --batch '" PARDIM_BATCH "'"), 0) << Stderr;
    EXPECT_NE(Stdout.find("pardim-batch: drawn\noutcome: drawn\ncommands:\nlg0\n"),
              std::string::npos)
        << Stdout;
    EXPECT_NE(Stdout.find("\ncs 1720 825 10 0 \"3640\n"), std::string::npos);
    EXPECT_NE(Stdout.find("\ncn\"$<\xef\xbc\xad\xef\xbc\xb3 "), std::string::npos);  // UTF-8
    EXPECT_EQ(ReadBytes(Dir / "run" / "JWC_TEMP.TXT"), WallOutput);

    EXPECT_EQ(Run("check " + In("run/JWC_TEMP.TXT")), 0) << Stdout;
    EXPECT_EQ(Run("show " + In("run/JWC_TEMP.in.txt")), 0);
    EXPECT_NE(Stdout.find("points: 3\n"), std::string::npos);
    ASSERT_EQ(Run("draw " + In("run/JWC_TEMP.TXT") + " --png " + In("wall.png")), 0) << Stderr;
    EXPECT_EQ(ReadBytes(Dir / "wall.png").substr(0, 4), "\x89PNG");
    EXPECT_EQ(OfClass(Elements(ReadBytes(Dir / "run" / "JWC_TEMP.svg"), "line"), "context").size(),
              4u);  // the wall, from the scenario that write kept beside the file

    WriteBytes(Dir / "bad.txt", "lg0\r\nzz\r\n");
    EXPECT_EQ(Run("check " + In("bad.txt")), 1);
    EXPECT_EQ(Stdout, (Dir / "bad.txt").string() + ":2: unknown command 'zz'\n" +
                          (Dir / "bad.txt").string() + ": 1 problem\n");
}

// Each bad invocation: status 2, one line on stderr saying what is wrong, and nothing written
// (no new folder, nothing added to an empty one or to a folder the host's input is in).
TEST_F(PardimHost, BadArgumentsGetOneMessageAndWriteNothing) {
    fs::create_directory(Dir / "empty");
    fs::create_directory(Dir / "ready");
    WriteBytes(Dir / "ready" / "JWC_TEMP.TXT", InputOf(DefaultScenario()));
    WriteBytes(Dir / "empty.toml", "scale = -1\n");
    WriteBytes(Dir / "syntax.toml", "scale = \n");
    const struct {
        std::string args;
        const char* message;
    } cases[] = {
        {"bogus", "unknown subcommand 'bogus'"},
        {"--bogus", "unknown option '--bogus'"},
        {"write", "DIR is required"},
        {"write " + In("new") + " --p1 1", "--p1 needs 2 numbers"},
        {"write " + In("new") + " --layer-group 16", "not in range 0 to 15"},
        {"write " + In("new") + " --scenario " + In("empty.toml"), "scale must be above 0"},
        {"write " + In("new") + " --scenario " + In("missing.toml"), "missing.toml is missing"},
        {"write " + In("new") + " --scenario " + In("syntax.toml"), "syntax.toml:1: "},
        {"run " + In("empty") + " --batch '" PARDIM_BATCH "'", "JWC_TEMP.TXT is missing"},
        {"run " + In("empty") + " --batch x --auto", "JWC_TEMP.TXT is missing"},
        {"run " + In("ready") + " --batch x --auto", "--show, --auto and --quick are for the exe"},
        {"run " + In("ready") + " --batch x --quick", "--show, --auto and --quick are for the exe"},
        {"run " + In("ready") + " --batch nosuchprog", "nosuchprog not found"},
        {"run " + In("ready") + " --exe " + In("nosuch.exe"), "nosuch.exe not found"},
        {"check " + In("missing.txt"), "missing.txt is missing"},
        {"draw " + In("missing.txt"), "missing.txt is missing"},
        {"show " + In("missing.txt"), "missing.txt is missing"},
        {"check " + In("empty"), "empty is a folder"},
        {"draw " + In("empty"), "empty is a folder"},
        {"show " + In("empty"), "empty is a folder"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.args);
        EXPECT_EQ(Run(c.args), 2);
        EXPECT_EQ(std::count(Stderr.begin(), Stderr.end(), '\n'), 1) << Stderr;
        EXPECT_EQ(Stderr.substr(0, 13), "pardim-host: ");
        EXPECT_NE(Stderr.find(c.message), std::string::npos) << Stderr;
        EXPECT_FALSE(fs::exists(Dir / "new"));
        EXPECT_TRUE(fs::is_empty(Dir / "empty"));
        EXPECT_EQ(std::distance(fs::directory_iterator(Dir / "ready"), {}), 1);
    }
    for (const char* sub : {"write", "run", "check", "draw", "show"}) {
        EXPECT_EQ(Run(std::string(sub) + " --help"), 0);
        EXPECT_NE(Stdout.find("Usage: pardim-host " + std::string(sub)), std::string::npos) << sub;
        EXPECT_EQ(Stdout.find("Typical run"), std::string::npos) << sub;  // the top level's
    }
    EXPECT_EQ(Run("--version"), 0);
    EXPECT_TRUE(std::regex_match(Stdout, std::regex("[0-9]+\\.[0-9]+\\.[0-9]+\n"))) << Stdout;
}

}  // namespace
