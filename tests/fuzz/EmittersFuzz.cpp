// The emitters called in any order with any values, infinities, NaN, CR and LF included: every
// record stays within 255 bytes on one line, and the file written is one the host can take.
#include <cstdint>
#include <string>
#include <string_view>

#include "FuzzSupport.h"
#include "JwwGaibu.h"
#include "MyFunc.h"
#include "OutputCheck.h"

namespace {

int Int(TFuzzInput& in) { return static_cast<int>(in.Bytes(4)); }

// A small number most of the time, so that attributes repeat and the force flags matter.
int SmallOrAny(TFuzzInput& in) {
    const std::uint8_t b = in.Byte();
    return b < 0xF0 ? static_cast<int>(b % 20) - 3 : Int(in);
}

void RequireRecordsHold() {
    for (const TOutputRecord& record : OutputLines) {
        Require(record.Text.size() <= 255, "a record of at most 255 bytes");
        Require(record.Text.find_first_of("\r\n") == std::string::npos, "no CR or LF in a record");
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    TFuzzInput in(data, size);
    JwwInit();
    ResetOutputState();
    TExchangeModel& model = ExchangeModel;
    model.InitialFontName = std::string(in.Text(300));
    model.InitialTextType = SmallOrAny(in);
    model.InitialFreeText = {in.Real(), in.Real(), in.Real(), SmallOrAny(in)};
    model.InitialLineWidth = SmallOrAny(in);

    bool mayReadInfOrNan = false;  // a text of ours that spells it itself
    auto text = [&](std::size_t maxBytes) {
        const std::string_view t = in.Text(maxBytes);
        mayReadInfOrNan = mayReadInfOrNan || ReadsInfOrNan(DropLineBreaks(t));
        return t;
    };
    for (int step = 0; step < 64 && !in.Remaining().empty(); ++step) {
        // clang-format off
        switch (in.Byte() % 14) {
            case 0: EmitLayerGroup(SmallOrAny(in)); break;
            case 1: EmitLayer(SmallOrAny(in)); break;
            case 2: EmitLineColor(SmallOrAny(in), in.Byte() & 1); break;
            case 3: EmitLineType(SmallOrAny(in), in.Byte() & 1); break;
            case 4: EmitLineWidth(SmallOrAny(in)); break;
            case 5: {
                const int number = SmallOrAny(in), color = SmallOrAny(in), map = in.Byte() & 1;
                const double w = in.Real(), h = in.Real(), d = in.Real();
                EmitTextType(number, color, map, w, h, d);
                break;
            }
            case 6: EmitCcValue(SmallOrAny(in)); break;
            case 7: EmitFontName(in.Text(300)); break;
            case 8: EmitPenNumber(SmallOrAny(in), in.Byte() & 1); break;
            case 9: EmitZFlags(in.Byte()); break;
            case 10: {
                const double x1 = in.Real(), y1 = in.Real(), x2 = in.Real(), y2 = in.Real();
                EmitLine(x1, y1, x2, y2);
                break;
            }
            case 11: {
                const int code = SmallOrAny(in);
                const double x = in.Real(), y = in.Real(), m = in.Real(), a = in.Real();
                EmitPoint(code, x, y, m, a);
                break;
            }
            case 12: {
                const int kind = SmallOrAny(in);
                const std::string_view t = text(300);
                const double x = in.Real(), y = in.Real(), dx = in.Real(), dy = in.Real();
                EmitText(kind, t, x, y, dx, dy);
                break;
            }
            default: {
                const std::string_view t = text(300);
                double v[8];
                for (double& value : v) value = in.Real();
                EmitDimensionFigure(t, v[0], v[1], v[2], v[3], v[4], v[5], v[6], v[7]);
                break;
            }
        }
        // clang-format on
        RequireRecordsHold();
    }

    const auto path = FuzzFolder() / "JWC_TEMP.TXT";
    Require(WriteOutputFile(path), "the output file is written");
    const std::string file = ReadFileBytes(path);
    TWriterFormOptions options;
    options.TextMayReadInfOrNan = mayReadInfOrNan;
    const std::string problem = CheckWriterForm(file, options);
    Require(problem.empty(), "the writer's form: " + problem);
    RequireHostCanRead(file);
    JwwFree();
    return 0;
}
