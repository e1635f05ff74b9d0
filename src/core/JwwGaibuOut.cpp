// The commands written back to the host: number text, output records, the attribute, geometry,
// text and dimension-figure emitters, and the file that replaces JWC_TEMP.TXT at close.
#include <algorithm>
#include <array>
#include <cassert>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <initializer_list>
#include <string_view>
#include <system_error>

#include "JwwGaibu.h"
#include "MyFunc.h"
#include "ReplaceFile.h"

namespace {

constexpr int SignificantDigits = 15;

// Below this a line has no length; at or below it a direction has none.
constexpr double MinExtent = 1e-8;

// The grid a dimension figure's measured length is rounded to when its text is blank. A long
// double, as the division by it must be: the divisor's type decides the bytes written.
constexpr long double LengthGrid = 1e-8L;

// The decimal digits of a positive finite value rounded to 15 significant digits (trailing
// zeros dropped) and its exponent e in the form 0.d1d2... x 10^e.
struct TRoundedDigits {
    std::string Digits;
    int Exponent = 0;
};

TRoundedDigits RoundToSignificant(double magnitude) {
    // A double's exact decimal expansion has at most 767 significant digits, so at this
    // precision nothing is rounded and the digit after the 15th is the true one. Rounding
    // half away from zero then only needs that digit.
    constexpr int ExactPrecision = 767;
    std::array<char, 800> buf{};
    auto [end, ec] = std::to_chars(buf.data(), buf.data() + buf.size(), magnitude,
                                   std::chars_format::scientific, ExactPrecision);
    assert(ec == std::errc{});  // the buffer holds every double
    if (ec != std::errc{}) return {"0", 1};

    // buf: d1 '.' d2 ... 'e' sign exponent
    TRoundedDigits rounded;
    rounded.Digits.push_back(buf[0]);
    rounded.Digits.append(buf.data() + 2, SignificantDigits - 1);
    const char* exponentText = std::find(buf.data(), end, 'e') + 1;
    if (*exponentText == '+') ++exponentText;
    int exponent = 0;
    std::from_chars(exponentText, end, exponent);
    rounded.Exponent = exponent + 1;

    if (buf[SignificantDigits + 1] >= '5') {
        int i = SignificantDigits - 1;
        while (i >= 0 && rounded.Digits[i] == '9') rounded.Digits[i--] = '0';
        if (i >= 0) {
            ++rounded.Digits[i];
        } else {
            rounded.Digits.insert(rounded.Digits.begin(), '1');  // 999...9.5 became 1000...0
            ++rounded.Exponent;
        }
    }
    rounded.Digits.erase(rounded.Digits.find_last_not_of('0') + 1);
    return rounded;
}

std::string PlainText(const TRoundedDigits& r) {
    const int count = static_cast<int>(r.Digits.size());
    std::string text;
    if (r.Exponent >= 1) {
        const int whole = r.Exponent;
        text = r.Digits.substr(0, std::min(whole, count));
        if (whole > count) text.append(whole - count, '0');
        if (count > whole) text.append(1, '.').append(r.Digits, whole);
    } else {
        text.append("0.").append(-r.Exponent, '0').append(r.Digits);
    }
    return text;
}

std::string ScientificText(const TRoundedDigits& r) {
    std::string text(1, r.Digits[0]);
    if (r.Digits.size() > 1) text.append(1, '.').append(r.Digits, 1);
    return text.append(1, 'E').append(IntegerText(r.Exponent - 1));
}

// A negative value is written as its 32-bit two's complement.
std::string HexText(int value) {
    std::array<char, 8> buf{};
    auto end =
        std::to_chars(buf.data(), buf.data() + buf.size(), static_cast<std::uint32_t>(value), 16)
            .ptr;
    std::string text(buf.data(), end);
    for (char& c : text) {
        if (c >= 'a' && c <= 'f') c = static_cast<char>(c - 'a' + 'A');
    }
    return text;
}

// The values by NumberText, separated by single blanks. False when one is not finite, or so
// near the largest double that its text reads as infinity: the host would read "INF" or "NAN"
// as garbage, so such a command is never written.
[[nodiscard]] bool NumbersText(std::initializer_list<double> values, std::string& text) {
    text.clear();
    for (double value : values) {
        if (!IsWritableReal(value)) return false;
        if (!text.empty()) text += ' ';
        text += NumberText(value);
    }
    return true;
}

bool IsZeroLine(double x1, double y1, double x2, double y2) {
    return std::fabs(static_cast<long double>(x2) - x1) < MinExtent &&
           std::fabs(static_cast<long double>(y2) - y1) < MinExtent;
}

bool IsZeroDirection(double dx, double dy) {
    return std::fabs(dx) <= MinExtent && std::fabs(dy) <= MinExtent;
}

void AppendRecord(std::string_view text, bool joinsNext) {
    // push_back grows the list geometrically: a fixed step would make appending quadratic.
    // A record stays on its line of the file: a CR or LF in a text or font name is dropped.
    OutputLines.push_back(
        {TruncateWholeChars(DropLineBreaks(text), MaxOutputRecordBytes), joinsNext});
}

// A text command ends with a double quote; the host reads the rest of that line as the text,
// so the text follows in a record joined onto the same line. Each part is cut on its own.
void AddTextCommand(const std::string& command, std::string_view text) {
    AppendRecord(command + " \"", true);
    AddOutputLine(text);
}

// Writes an attribute line when forced or changed, and remembers it as the last written.
bool EmitIntAttribute(TAttrFlag flag, int& lastWritten, int value, const std::string& line) {
    auto& state = OutputAttributeState;
    if (!state.AttrFlags[flag] && value == lastWritten) return false;
    AddOutputLine(line);
    lastWritten = value;
    state.AttrFlags[flag] = false;
    return true;
}

std::string TextKeyword(int kind) {
    const bool known = kind >= TextKindCh && kind <= TextKindC2;
    return std::string(TextKeywords[known ? kind : TextKindCh]);
}

std::string OutputFileContent() {
    if (OutputLines.empty()) return "hq\r\n";
    std::string content;
    const std::size_t count = OutputLines.size();
    for (std::size_t i = 0; i < count; ++i) {
        content += OutputLines[i].Text;
        if (OutputLines[i].JoinsNext) {
            if (i + 1 == count) break;         // the file ends on the command, without a line end
            content += OutputLines[++i].Text;  // the partner record joins whatever it is
        }
        content += "\r\n";
    }
    return content;
}

}  // namespace

std::string NumberText(double value) {
    if (std::isnan(value)) return "NAN";
    if (std::isinf(value)) return value < 0 ? "-INF" : "INF";
    if (value == 0) return "0";  // -0.0 too

    const TRoundedDigits rounded = RoundToSignificant(std::fabs(value));
    const bool plain = rounded.Exponent >= -3 && rounded.Exponent <= 15;
    std::string text = value < 0 ? "-" : "";
    return text.append(plain ? PlainText(rounded) : ScientificText(rounded));
}

std::string IntegerText(int value) {
    std::array<char, 16> buf{};
    auto end = std::to_chars(buf.data(), buf.data() + buf.size(), value).ptr;
    return std::string(buf.data(), end);
}

// The largest doubles, from 1.797693134862315E308 up, round at 15 digits to this text, which
// lies beyond the largest double; it is the only such text NumberText can give.
bool IsWritableReal(double value) {
    constexpr std::string_view BeyondRange = "1.79769313486232E308";
    return std::isfinite(value) && !NumberText(value).ends_with(BeyondRange);
}

void AddOutputLine(std::string_view text) { AppendRecord(text, false); }

// The host would run a half-written file as commands: only a complete file replaces it.
bool WriteOutputFile(const TPath& path) {
    return ReplaceFile(path, OutputFileContent());
}

void EmitLayerGroup(int group) {
    auto& state = OutputAttributeState;
    // A new group brings its own current layer: the layer that follows is always written.
    if (EmitIntAttribute(AttrLayerGroup, state.CurLayerGroup, group, "lg" + HexText(group))) {
        state.AttrFlags[AttrLayer] = true;
    }
}

void EmitLayer(int layer) {
    EmitIntAttribute(AttrLayer, OutputAttributeState.CurLayer, layer, "ly" + HexText(layer));
}

void EmitLineColor(int color, int map) {
    if (map == 1) color = MapColorNumber(color);
    EmitIntAttribute(AttrColor, OutputAttributeState.CurColor, color, "lc" + IntegerText(color));
}

void EmitLineType(int type, int map) {
    if (map == 1) type = MapLineTypeNumber(type);
    EmitIntAttribute(AttrLineType, OutputAttributeState.CurLineType, type,
                     "lt" + IntegerText(type));
}

void EmitLineWidth(int width) {
    if (width == -1) width = ExchangeModel.InitialLineWidth;
    if (width < 0 || width > 30000) width = 0;
    EmitIntAttribute(AttrLineWidth, OutputAttributeState.CurLineWidth, width,
                     "lw" + IntegerText(width));
}

void EmitTextType(int number, int color, int map, double width, double height, double spacing) {
    if (map == 1) color = MapColorNumber(color);
    if (number < 0 || number > LastTextType) {
        number = ExchangeModel.InitialTextType;
        if (number == 0) {
            const TJwwTextType& initial = ExchangeModel.InitialFreeText;
            width = initial.Width;
            height = initial.Height;
            spacing = initial.Spacing;
            color = initial.Color;
        }
    }

    auto& state = OutputAttributeState;
    const TJwwTextType& last = state.CurFreeText;
    const bool sizeChanged = number == 0 && (width != last.Width || height != last.Height ||
                                             spacing != last.Spacing || color != last.Color);
    if (!state.AttrFlags[AttrTextType] && number == state.CurTextType && !sizeChanged) return;

    if (number == 0) {
        std::string sizes;
        if (!NumbersText({width, height, spacing}, sizes)) return;
        AddOutputLine("cn0 " + sizes + " " + IntegerText(color));
        state.CurFreeText = {width, height, spacing, color};
    } else {
        AddOutputLine("cn" + IntegerText(number));
    }
    state.CurTextType = number;
    state.AttrFlags[AttrTextType] = false;
}

void EmitCcValue(int value) {
    if (value < 0 || value > 8) value = 0;
    EmitIntAttribute(AttrCc, OutputAttributeState.CurCc, value, "cc" + IntegerText(value));
}

void EmitFontName(std::string_view name) {
    if (name.empty() || name == "<>") name = ExchangeModel.InitialFontName;
    auto& state = OutputAttributeState;
    if (!state.AttrFlags[AttrFontName] && name == state.CurFontName) return;
    AddOutputLine("cn\"$" + std::string(name));
    state.CurFontName = std::string(name);
    state.AttrFlags[AttrFontName] = false;
}

void EmitPenNumber(int number, int map) {
    if (map == 1) number = MapColorNumber(number);
    EmitIntAttribute(AttrPenNo, OutputAttributeState.CurPenNo, number, "pn" + IntegerText(number));
}

void EmitZFlags(int bits) {
    if (bits & ZFlag1) AddOutputLine("z1");
    if (bits & ZFlag2) AddOutputLine("z2");
    if (bits & ZFlag3) AddOutputLine("z3");
    if ((bits & ZFlag4) && !(bits & ZFlag5)) AddOutputLine("z4");
    if (bits & ZFlag5) AddOutputLine("z5");
}

void EmitLine(double x1, double y1, double x2, double y2) {
    if (IsZeroLine(x1, y1, x2, y2)) return;
    std::string line;
    if (!NumbersText({x1, y1, x2, y2}, line)) return;
    AddOutputLine(line);
}

void EmitPoint(int code, double x, double y, double magnification, double angleDeg) {
    if (code < -7 || code > 11) code = -3;
    if (std::fabs(magnification) <= MinExtent) magnification = 1;
    std::string numbers;
    if (!NumbersText({x, y, magnification, angleDeg}, numbers)) return;
    AddOutputLine("pt " + numbers + " " + IntegerText(code));
}

void EmitText(int kind, std::string_view text, double x, double y, double dx, double dy) {
    if (IsZeroDirection(dx, dy)) return;
    if (RemoveBlanks(DropLineBreaks(text)).empty()) return;
    std::string numbers;
    if (!NumbersText({x, y, dx, dy}, numbers)) return;
    AddTextCommand(TextKeyword(kind) + " " + numbers, text);
}

void EmitDimensionFigure(std::string_view text, double x1, double y1, double x2, double y2,
                         double x, double y, double dx, double dy) {
    if (IsZeroLine(x1, y1, x2, y2) || IsZeroDirection(dx, dy)) return;
    std::string line, place;
    if (!NumbersText({x1, y1, x2, y2}, line) || !NumbersText({x, y, dx, dy}, place)) return;

    std::string value(text);
    if (RemoveBlanks(DropLineBreaks(text)).empty()) {
        // The measured length in steps of LengthGrid, so the last binary digits do not show.
        const double length = Distance(x1, y1, x2, y2);
        const double rounded = static_cast<double>(
            std::trunc(static_cast<long double>(length) / LengthGrid + 0.5L) * LengthGrid);
        if (!IsWritableReal(rounded)) return;
        value = NumberText(rounded);
    }
    AddOutputLine("msg");
    AddOutputLine(line);
    AddTextCommand(TextKeyword(TextKindCs) + " " + place, value);
}
