// The parallel dimension built on OK: the dialog's values, the geometry from reference points 1
// to 3, the value text and the end marks, appended to OutputLines in the order the host draws.
//
// Intermediates stay in long double (80-bit with this compiler) and are rounded to double when
// stored; the host gets the numbers as printed, so that decides the last digit it sees.
#include <cmath>

#include "Unit1Dim.h"

#include "MyFunc.h"
#include "Unit1.h"

namespace {

const char MetreText[] = "\x82\x8d";  // ｍ, full width

// Angles become radians as a / 180 * Pi and stay long double up to cos and sin.
long double Radians(long double angleDeg) { return angleDeg / 180 * Pi; }

double Difference(double a, double b) {
    return static_cast<double>(static_cast<long double>(a) - b);
}

// A point of the frame in which the measured line is horizontal, turned back about P1.
TDimPoint BackRotate(const TDimGeometry& geometry, double x, double y) {
    TDimPoint point;
    RotatePointDeg(x, y, geometry.P1.X, geometry.P1.Y, geometry.DimAngle, point.X, point.Y);
    return point;
}

// from + length * (cos a, sin a)
TDimPoint Offset(TDimPoint from, double length, long double angleDeg) {
    const long double angleRad = Radians(angleDeg);
    return {static_cast<double>(from.X + length * ExtCos(angleRad)),
            static_cast<double>(from.Y + length * ExtSin(angleRad))};
}

// Every line of the dimension carries the dimension attribute ("z3") before it.
void EmitSegment(TDimPoint from, TDimPoint to) {
    EmitZFlags(ZFlagDimension);
    EmitLine(from.X, from.Y, to.X, to.Y);
}

// A host's current text type outside 1..10 that is not the free size is drawn as type 1.
void ChooseTextType(const TExchangeModel& model, int index, int& number, TJwwTextType& size) {
    if (index >= 1 && index <= 10) {
        number = index;
        size = model.TextTypes[index];
        return;
    }
    number = model.InitialTextType;
    if (number == 0) {
        size = model.InitialFreeText;
        return;
    }
    if (number < 1 || number > 10) number = 1;
    size = model.TextTypes[number];
}

// Trailing zeros of the decimals go, and the point with them when no decimal is left; the
// integer part is never touched.
void DropTrailingZeros(std::string& number) {
    const auto point = number.find('.');
    if (point == std::string::npos) return;
    auto cut = number.size();
    while (cut > point + 1 && number[cut - 1] == '0') --cut;
    if (cut == point + 1) cut = point;
    number.erase(cut);
}

}  // namespace

// The order is the order of the controls the user is sent back to; the text gap may be
// anything, a negative one puts the value on the other side.
std::optional<TControlId> CheckDimParams(const TDimParams& params) {
    if (params.StartMark < 0) return TControlId::ComboBox1;
    if (params.EndMark < 0) return TControlId::ComboBox2;
    if (!(params.MarkScale > 0)) return TControlId::Edit1;
    if (!(params.ArrowLength > 0 && params.ArrowLength <= 1000)) return TControlId::Edit7;
    if (!(params.ArrowAngle > 0 && params.ArrowAngle < 180)) return TControlId::Edit8;
    if (params.TextTypeIndex < 0) return TControlId::ComboBox3;
    if (params.Decimals < 0) return TControlId::ComboBox4;
    if (params.RoundMode < 0) return TControlId::ComboBox5;
    if (params.ZeroDisplay < 0) return TControlId::RadioGroup1;
    if (params.UnitIndex < 0) return TControlId::RadioGroup2;
    if (!(params.ExtGap >= 0)) return TControlId::Edit5;
    if (!(params.ExtOvershoot >= 0)) return TControlId::Edit6;
    if (!(params.ReverseOvershoot >= 0)) return TControlId::Edit9;
    return std::nullopt;
}

double CurrentDrawingScale(const TExchangeModel& model) {
    const int group = model.InitialLayerGroup;
    if (group < 0 || group >= static_cast<int>(model.LayerGroupScale.size())) return 1.0;
    return model.LayerGroupScale[group];
}

// The arrow length and the mark sizes stay in paper millimetres; the end marks scale them.
void ScaleDimParams(TDimParams& params, double scale) {
    params.Scale = scale;
    for (double* distance :
         {&params.TextGap, &params.ExtGap, &params.ExtOvershoot, &params.ReverseOvershoot}) {
        *distance = static_cast<double>(static_cast<long double>(*distance) * scale);
    }
}

TDimPoint RefPoint(const TExchangeModel& model, int n) {
    const auto& points = model.RefPoints;
    if (n < 0 || n >= static_cast<int>(points.size())) return {};
    return {points[n].X, points[n].Y};
}

TDimGeometry ComputeDimGeometry(TDimPoint p1, TDimPoint p2, TDimPoint p3) {
    TDimGeometry geometry;
    geometry.P1 = p1;
    geometry.P2 = p2;
    geometry.P3 = p3;
    geometry.DimAngle = AngleDeg(Difference(p2.X, p1.X), Difference(p2.Y, p1.Y));
    RotatePointDeg(p2.X, p2.Y, p1.X, p1.Y, -geometry.DimAngle, geometry.LocalP2.X,
                   geometry.LocalP2.Y);
    RotatePointDeg(p3.X, p3.Y, p1.X, p1.Y, -geometry.DimAngle, geometry.LocalP3.X,
                   geometry.LocalP3.Y);
    geometry.DimStart = BackRotate(geometry, p1.X, geometry.LocalP3.Y);
    geometry.DimEnd = BackRotate(geometry, geometry.LocalP2.X, geometry.LocalP3.Y);
    geometry.DimLength =
        Distance(geometry.DimStart.X, geometry.DimStart.Y, geometry.DimEnd.X, geometry.DimEnd.Y);
    return geometry;
}

// Lines and marks are drawn in the host's own layer, colour, line type and width; the point
// marks take their colour from "pn", so it gets the line colour too.
void EmitBaseAttributes(const TExchangeModel& model) {
    EmitLayerGroup(model.InitialLayerGroup);
    EmitLayer(model.InitialLayer);
    EmitLineColor(model.InitialColor, 0);
    EmitPenNumber(model.InitialColor, 0);
    EmitLineType(model.InitialLineType, 0);
    EmitLineWidth(model.InitialLineWidth);
    EmitFontName(model.InitialFontName);
}

// Each line runs from the gap beside its measured point to the overshoot past the dimension
// line. A dimension line no farther from the measured line than the gap gets none.
void EmitExtensionLines(const TDimGeometry& geometry, const TDimParams& params) {
    const TDimGeometry& g = geometry;
    const long double gap = params.ExtGap;
    const long double overshoot = params.ExtOvershoot;
    if (std::fabs(static_cast<long double>(g.LocalP3.Y) - g.P1.Y) - gap <= 1e-10) return;

    const int side1 = g.LocalP3.Y >= g.P1.Y ? 1 : -1;
    EmitSegment(BackRotate(g, g.P1.X, static_cast<double>(g.P1.Y + side1 * gap)),
                BackRotate(g, g.P1.X, static_cast<double>(g.LocalP3.Y + side1 * overshoot)));
    const int side2 = g.LocalP3.Y >= g.LocalP2.Y ? 1 : -1;
    EmitSegment(BackRotate(g, g.LocalP2.X, static_cast<double>(g.LocalP2.Y + side2 * gap)),
                BackRotate(g, g.LocalP2.X, static_cast<double>(g.LocalP3.Y + side2 * overshoot)));
}

void EmitDimensionLine(const TDimGeometry& geometry) {
    EmitSegment(geometry.DimStart, geometry.DimEnd);
}

std::string FormatDimValue(double lengthDrawing, const TDimParams& params) {
    const bool metres = params.UnitIndex == UnitMetre;
    double length = lengthDrawing;
    if (metres) length = static_cast<double>(static_cast<long double>(lengthDrawing) / 1000);
    const double value = RoundByMode(params.Decimals, params.RoundMode, length);
    if (!std::isfinite(value)) return {};  // no text is ever made of INF or NAN
    std::string number =
        params.Commas ? FormatGrouped(params.Decimals, value) : FormatFixed(params.Decimals, value);
    if (params.ZeroDisplay == 0) DropTrailingZeros(number);
    // Only the number turns full width; the unit "mm" stays as it is.
    if (params.FullWidth) number = ToFullWidth(number);
    std::string text = params.Prefix + number;
    if (params.AppendUnit) text += metres ? MetreText : "mm";
    return text + params.Suffix;
}

// Folded into the half turn that reads left to right; the tolerance keeps a line a hair past
// vertical reading bottom to top.
double TextReadingAngle(double dimAngleDeg) {
    double angle = NormalizeDeg(dimAngleDeg);
    if (angle >= 180) angle = static_cast<double>(static_cast<long double>(angle) - 180);
    if (angle > 90.00000001) angle = static_cast<double>(static_cast<long double>(angle) + 180);
    return angle;
}

// Centred on the dimension line's midpoint along the reading direction (as far as the text
// length estimate goes) and lifted by the text gap.
TValueTextLayout LayoutValueText(const TExchangeModel& model, const TDimParams& params,
                                 const TDimGeometry& geometry) {
    TValueTextLayout layout;
    ChooseTextType(model, params.TextTypeIndex, layout.ValueTextType, layout.ValueTextSize);
    const TDimPoint& start = geometry.DimStart;
    const TDimPoint& end = geometry.DimEnd;
    layout.ValueText = FormatDimValue(Distance(start.X, start.Y, end.X, end.Y), params);

    const double textLength =
        MeasureText(layout.ValueText, layout.ValueTextSize.Width, layout.ValueTextSize.Spacing);
    const double back =
        static_cast<double>(-static_cast<long double>(textLength) * params.Scale / 2);
    layout.TextAngle = TextReadingAngle(geometry.DimAngle);
    double rx = 0;
    double ry = 0;
    RotatePointDeg(back, params.TextGap, 0, 0, layout.TextAngle, rx, ry);
    layout.TextStart.X = static_cast<double>((static_cast<long double>(start.X) + end.X) / 2 + rx);
    layout.TextStart.Y = static_cast<double>((static_cast<long double>(start.Y) + end.Y) / 2 + ry);

    const long double angleRad = Radians(layout.TextAngle);
    layout.TextDir.X = static_cast<double>(ExtCos(angleRad) * 10);
    layout.TextDir.Y = static_cast<double>(ExtSin(angleRad) * 10);
    return layout;
}

// The text type stays selected until the host's own is written back at the end.
void EmitValueText(const TExchangeModel& model, const TDimParams& params,
                   const TDimGeometry& geometry) {
    const TValueTextLayout layout = LayoutValueText(model, params, geometry);
    const TJwwTextType& size = layout.ValueTextSize;
    const TDimPoint& start = geometry.DimStart;
    const TDimPoint& end = geometry.DimEnd;
    const TDimPoint& at = layout.TextStart;
    const TDimPoint& dir = layout.TextDir;
    // A value or a place beyond the range of reals: neither the text nor half the dimension.
    for (double number : {at.X, at.Y, dir.X, dir.Y}) {
        if (!IsWritableReal(number)) return;
    }
    if (layout.ValueText.empty()) return;
    if (!params.DimFigure) EmitDimensionLine(geometry);
    EmitTextType(layout.ValueTextType, size.Color, 0, size.Width, size.Height, size.Spacing);
    if (params.DimFigure) {
        EmitDimensionFigure(layout.ValueText, start.X, start.Y, end.X, end.Y, at.X, at.Y, dir.X,
                            dir.Y);
        return;
    }
    EmitCcValue(0);
    EmitZFlags(ZFlagDimension);
    EmitText(TextKindCs, layout.ValueText, at.X, at.Y, dir.X, dir.Y);
}

// The line arrow is the tool's own drawing and ignores the end-point magnification; the point
// marks' sizes are the tool's assumptions about how large the host draws them.
double MarkExtent(int kind, const TDimParams& params) {
    if (kind == MarkLineArrow) {
        return static_cast<double>(params.ArrowLength * ExtCos(Radians(params.ArrowAngle)) *
                                   params.Scale);
    }
    long double base = 0;
    switch (kind) {
        case MarkTriangle:
        case MarkFilledTriangle:
        case MarkChevron:
        case MarkOpenTriangle:
            base = 7.5L;
            break;
        case MarkSquare:
        case MarkRing:
        case MarkCircle:
        case MarkFilledSquare:
        case MarkFilledCircle:
            base = 1.25L;
            break;
        case MarkTilde:
        case MarkSlash:
            base = 1.25L * std::sqrt(2.0L);
            break;
        default:
            break;
    }
    return static_cast<double>(base * params.MarkScale * params.Scale);
}

bool MarksReversed(const TDimGeometry& geometry, const TDimParams& params) {
    const double startExtent = MarkExtent(params.StartMark, params);
    const double endExtent = MarkExtent(params.EndMark, params);
    const TDimPoint& start = geometry.DimStart;
    const TDimPoint& end = geometry.DimEnd;
    const double length = Distance(start.X, start.Y, end.X, end.Y);
    return static_cast<long double>(startExtent) + endExtent > length;
}

void EmitEndMarks(const TDimGeometry& geometry, const TDimParams& params) {
    const bool reversed = MarksReversed(geometry, params);
    EmitEndMark(geometry.DimStart, geometry.DimEnd, params.StartMark, reversed, params);
    EmitZFlags(ZFlagDimension);
    EmitEndMark(geometry.DimEnd, geometry.DimStart, params.EndMark, reversed, params);
}

// Unreversed, the mark points outward past its end; reversed, it stands outside and points
// back in, and the dimension line may be prolonged to carry it.
void EmitEndMark(TDimPoint end, TDimPoint other, int kind, bool reversed,
                 const TDimParams& params) {
    const long double turn = reversed ? 180 : 0;
    double direction = static_cast<double>(
        AngleDeg(Difference(end.X, other.X), Difference(end.Y, other.Y)) + turn);
    if (direction >= 360)
        direction = static_cast<double>(static_cast<long double>(direction) - 360);
    const long double back = static_cast<long double>(direction) + 180;

    if (reversed && params.ReverseOvershoot > 1e-10) {
        EmitSegment(end, Offset(end, params.ReverseOvershoot, back));
    }
    if (kind == MarkLineArrow) {
        const double arrow =
            static_cast<double>(static_cast<long double>(params.ArrowLength) * params.Scale);
        EmitSegment(end, Offset(end, arrow, back + params.ArrowAngle));
        EmitSegment(end, Offset(end, arrow, back - params.ArrowAngle));
        return;
    }
    EmitZFlags(ZFlagDimension);
    EmitPoint(kind, end.X, end.Y, params.MarkScale, direction);
}

// The host is left with the text type it had before the tool ran.
void EmitHostTextType(const TExchangeModel& model) {
    const TJwwTextType& free = model.InitialFreeText;
    EmitTextType(model.InitialTextType, free.Color, 0, free.Width, free.Height, free.Spacing);
}
