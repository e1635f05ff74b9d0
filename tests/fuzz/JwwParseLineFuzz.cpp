// One line of JWC_TEMP.TXT through the reader. Whatever it holds, the store keeps its shape,
// and a line stored as four reals (read on its own fast path) holds what its tokens read.
#include <cstdint>
#include <cstring>
#include <string>
#include <string_view>

#include "FuzzSupport.h"
#include "JwwGaibu.h"
#include "MyFunc.h"
#include "StoreDump.h"

namespace {

bool SameBits(double a, double b) { return std::memcmp(&a, &b, sizeof a) == 0; }

void RequireTokenValues(const TJwwEntLine& line, const std::vector<std::string>& tokens) {
    Require(tokens.size() == 4, "only a line of four tokens is a line");
    const double values[] = {line.X1, line.Y1, line.X2, line.Y2};
    for (int i = 0; i < 4; ++i) {
        Require(SameBits(values[i], SafeStrToFloat(tokens[i])), "a line holds its tokens' reals");
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view line(reinterpret_cast<const char*>(data), size);
    const std::vector<std::string> tokens = JwwSplitLine(line);
    Require(!tokens.empty() && tokens.size() <= 32, "one to 32 tokens");
    std::size_t bytes = 0;
    for (const std::string& token : tokens) bytes += token.size();
    Require(bytes <= line.size(), "tokens hold no more bytes than the line");

    JwwInit();
    JwwParseLine(line);
    RequireStoreShape();
    const bool storedLine = ExchangeModel.EntLines.size() == 1;
    if (storedLine) RequireTokenValues(ExchangeModel.EntLines[0], tokens);
    if (!ExchangeModel.EntTexts.empty()) {
        Require(ExchangeModel.EntTexts[0].Text ==
                    TruncateWholeChars(tokens.size() > 5 ? tokens[5] : "", 255),
                "a text holds its sixth token");
    }

    // Inside a dimension figure the same line becomes the figure's line instead.
    JwwInit();
    JwwParseLine("msg");
    JwwParseLine(line);
    RequireStoreShape();
    if (storedLine) {
        Require(ExchangeModel.EntLines.empty() && ExchangeModel.DimPending,
                "a line inside a figure waits for its text");
        RequireTokenValues(ExchangeModel.PendingDimLine, tokens);
    }
    JwwFree();
    return 0;
}
