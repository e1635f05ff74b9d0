// Number text, the emitters and the output file, checked against the exact bytes the host reads.
#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <limits>
#include <string>
#include <vector>

#include "JwwGaibu.h"

namespace fs = std::filesystem;

namespace {

constexpr double Inf = std::numeric_limits<double>::infinity();
constexpr double NaN = std::numeric_limits<double>::quiet_NaN();

// A fresh output state (as after the start-up sequence) and a fresh folder per test.
class OutputTest : public ::testing::Test {
protected:
    void SetUp() override {
        OutputLines.clear();
        OutputAttributeState = TOutputAttributeState{};
        OutputAttributeState.CurFontName = DefaultFontName;
        for (int flag = 1; flag <= 9; ++flag) OutputAttributeState.AttrFlags[flag] = true;
        ExchangeModel = TExchangeModel{};
        ExchangeModel.InitialColor = 1;
        ExchangeModel.InitialLineType = 1;
        ExchangeModel.InitialTextType = 1;
        ExchangeModel.InitialFreeText = {2.0, 2.0, 0.0, 1};

        const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
        folder = fs::temp_directory_path() /
                 (std::string("pardim-out-") + info->test_suite_name() + "-" + info->name());
        fs::remove_all(folder);
        fs::create_directories(folder);
    }

    void TearDown() override {
        std::error_code ec;
        fs::permissions(folder, fs::perms::owner_all, fs::perm_options::add, ec);
        fs::remove_all(folder, ec);
        OutputLines.clear();
    }

    // The records as texts; a joined command is marked with a trailing "+".
    static std::vector<std::string> Records() {
        std::vector<std::string> texts;
        for (const auto& record : OutputLines) texts.push_back(record.Text + (record.JoinsNext ? "+" : ""));
        return texts;
    }

    std::string WrittenFile() {
        const fs::path path = folder / "JWC_TEMP.TXT";
        EXPECT_TRUE(WriteOutputFile(path));
        return ReadBytes(path);
    }

    static std::string ReadBytes(const fs::path& path) {
        std::ifstream in(path, std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(in), {});
    }

    static void WriteBytes(const fs::path& path, const std::string& bytes) {
        std::ofstream(path, std::ios::binary) << bytes;
    }

    std::vector<fs::path> FolderEntries() const {
        std::vector<fs::path> entries;
        for (const auto& entry : fs::directory_iterator(folder)) entries.push_back(entry.path());
        return entries;
    }

    fs::path folder;
};

using Records = std::vector<std::string>;

}  // namespace

TEST(NumberText, PlainAndScientificAtTheirEdges) {
    struct {
        double in;
        const char* want;
    } cases[] = {
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
        {1e15, "1E15"},                            // exponent 16: scientific
        {1234567890123456, "1.23456789012346E15"},  // 16th digit rounds the 15th up
        {2.5e20, "2.5E20"},
        {1e300, "1E300"},
        {1.7976931348623157e308, "1.79769313486232E308"},
        {4.9406564584124654e-324, "4.94065645841247E-324"},
        {0.0, "0"},
        {-0.0, "0"},
    };
    for (auto c : cases) {
        SCOPED_TRACE(c.want);
        EXPECT_EQ(NumberText(c.in), c.want);
    }
}

TEST(NumberText, TiesRoundAwayFromZeroOnTheExactDigits) {
    struct {
        double in;
        const char* want;
    } cases[] = {
        {100000000000000.5, "100000000000001"},  // an exact tie: not to even
        {-100000000000000.5, "-100000000000001"},
        {std::nextafter(100000000000000.5, 0.0), "100000000000000"},  // just below the tie
        {2.5, "2.5"},
    };
    for (auto c : cases) {
        SCOPED_TRACE(c.want);
        EXPECT_EQ(NumberText(c.in), c.want);
    }
}

TEST(NumberText, CarryTakesTheExponentAfterRounding) {
    struct {
        double in;
        const char* want;
    } cases[] = {
        {999999999999999.9, "1E15"},
        {-999999999999999.9, "-1E15"},
        {std::nextafter(1.0, 0.0), "1"},
        {std::nextafter(1e-4, 0.0), "0.0001"},  // 9.99...E-5 becomes plain again
        {99999.99999999999, "100000"},
    };
    for (auto c : cases) {
        SCOPED_TRACE(c.want);
        EXPECT_EQ(NumberText(c.in), c.want);
    }
}

TEST(NumberText, NonFiniteValuesHaveNames) {
    EXPECT_EQ(NumberText(Inf), "INF");
    EXPECT_EQ(NumberText(-Inf), "-INF");
    EXPECT_EQ(NumberText(NaN), "NAN");
}
