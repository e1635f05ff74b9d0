// The parallel dimension built on OK: the dialog's values, the geometry from reference points 1
// to 3, the value text and the end marks, planned once and then appended to OutputLines in the
// order the host draws.
//
// Intermediates stay in long double (80-bit with this compiler) and are rounded to double when
// stored; the host gets the numbers as printed, so that decides the last digit it sees.
#include <cmath>

#include "Unit1Dim.h"

#include "MyFunc.h"
#include "Unit1.h"

namespace {

const char MetreText[] = "\x82\x8d";  // ｍ, full width

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
    const long double angleRad = DegToRad(angleDeg);
    return {static_cast<double>(from.X + length * ExtCos(angleRad)),
            static_cast<double>(from.Y + length * ExtSin(angleRad))};
}

// Every line of the dimension carries the dimension attribute ("z3") before it.
void EmitSegment(const TDimSegment& segment) {
    EmitZFlags(ZFlagDimension);
    EmitLine(segment.From.X, segment.From.Y, segment.To.X, segment.To.Y);
}

// A host's current text type outside 1..10 that is not the free size is drawn as type 1.
void ChooseTextType(const TExchangeModel& model, int index, int& number, TJwwTextType& size) {
    if (index >= 1 && index <= LastTextType) {
        number = index;
        size = model.TextTypes[index];
        return;
    }
    number = model.InitialTextType;
    if (number == 0) {
        size = model.InitialFreeText;
        return;
    }
    if (number < 1 || number > LastTextType) number = 1;
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

namespace {

// The length as the text shows it: in metres when asked, rounded by the dialog's mode.
double RoundedDimValue(double lengthDrawing, const TDimParams& params) {
    double length = lengthDrawing;
    if (params.UnitIndex == UnitMetre) {
        length = static_cast<double>(static_cast<long double>(lengthDrawing) / 1000);
    }
    return RoundByMode(params.Decimals, params.RoundMode, length);
}

std::string DimValueText(double value, const TDimParams& params) {
    if (!std::isfinite(value)) return {};  // no text is ever made of INF or NAN
    std::string number =
        params.Commas ? FormatGrouped(params.Decimals, value) : FormatFixed(params.Decimals, value);
    if (params.ZeroDisplay == 0) DropTrailingZeros(number);
    // Only the number turns full width; the unit "mm" stays as it is.
    if (params.FullWidth) number = ToFullWidth(number);
    std::string text = params.Prefix + number;
    if (params.AppendUnit) text += params.UnitIndex == UnitMetre ? MetreText : "mm";
    return text + params.Suffix;
}

// Each line runs from the gap beside its measured point to the overshoot past the dimension
// line. A dimension line no farther from the measured line than the gap gets none.
bool PlanExtensionLines(const TDimGeometry& g, const TDimParams& params, TDimSegment (&lines)[2]) {
    const long double gap = params.ExtGap;
    const long double overshoot = params.ExtOvershoot;
    if (std::fabs(static_cast<long double>(g.LocalP3.Y) - g.P1.Y) - gap <= ConstructionZero) {
        return false;
    }
    const int side1 = g.LocalP3.Y >= g.P1.Y ? 1 : -1;
    lines[0] = {BackRotate(g, g.P1.X, static_cast<double>(g.P1.Y + side1 * gap)),
                BackRotate(g, g.P1.X, static_cast<double>(g.LocalP3.Y + side1 * overshoot))};
    const int side2 = g.LocalP3.Y >= g.LocalP2.Y ? 1 : -1;
    lines[1] = {BackRotate(g, g.LocalP2.X, static_cast<double>(g.LocalP2.Y + side2 * gap)),
                BackRotate(g, g.LocalP2.X, static_cast<double>(g.LocalP3.Y + side2 * overshoot))};
    return true;
}

// The arrow's strokes are the arrow length at the drawing scale.
double ArrowLengthDrawing(const TDimParams& params) {
    return static_cast<double>(static_cast<long double>(params.ArrowLength) * params.Scale);
}

}  // namespace

std::string FormatDimValue(double lengthDrawing, const TDimParams& params) {
    return DimValueText(RoundedDimValue(lengthDrawing, params), params);
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
    layout.DimValue = RoundedDimValue(Distance(start.X, start.Y, end.X, end.Y), params);
    layout.ValueText = DimValueText(layout.DimValue, params);

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

    const long double angleRad = DegToRad(layout.TextAngle);
    layout.TextDir.X = static_cast<double>(ExtCos(angleRad) * 10);
    layout.TextDir.Y = static_cast<double>(ExtSin(angleRad) * 10);
    return layout;
}

// The line arrow is the tool's own drawing and ignores the end-point magnification; the point
// marks' sizes are the tool's assumptions about how large the host draws them. The extent is
// its own product, rounded once: not the arrow's stroke length times the cosine.
double MarkExtent(int kind, const TDimParams& params) {
    if (kind == MarkLineArrow) {
        return static_cast<double>(params.ArrowLength * ExtCos(DegToRad(params.ArrowAngle)) *
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

// Unreversed, the mark points outward past its end; reversed, it stands outside and points
// back in, and the dimension line may be prolonged to carry it.
TEndMarkPlan PlanEndMark(TDimPoint end, TDimPoint other, int kind, bool reversed,
                         const TDimParams& params) {
    TEndMarkPlan mark;
    mark.End = end;
    mark.Kind = kind;
    mark.MarkScale = params.MarkScale;
    const long double turn = reversed ? 180 : 0;
    double direction = static_cast<double>(
        AngleDeg(Difference(end.X, other.X), Difference(end.Y, other.Y)) + turn);
    if (direction >= 360)
        direction = static_cast<double>(static_cast<long double>(direction) - 360);
    mark.DirectionDeg = direction;
    const long double back = static_cast<long double>(direction) + 180;

    mark.HasOvershoot = reversed && params.ReverseOvershoot > ConstructionZero;
    if (mark.HasOvershoot) mark.Overshoot = {end, Offset(end, params.ReverseOvershoot, back)};
    if (kind == MarkLineArrow) {
        const double arrow = ArrowLengthDrawing(params);
        mark.ArrowStrokes[0] = {end, Offset(end, arrow, back + params.ArrowAngle)};
        mark.ArrowStrokes[1] = {end, Offset(end, arrow, back - params.ArrowAngle)};
    }
    return mark;
}

TDimPlan BuildDimPlan(const TExchangeModel& model, const TDimParams& params,
                      const TDimGeometry& geometry) {
    TDimPlan plan;
    plan.Geometry = geometry;
    plan.DrawingScale = params.Scale;
    plan.TextGapDrawing = params.TextGap;
    plan.ExtGapDrawing = params.ExtGap;
    plan.ExtOvershootDrawing = params.ExtOvershoot;
    plan.ReverseOvershootDrawing = params.ReverseOvershoot;
    plan.ArrowLengthPaperMm = params.ArrowLength;
    plan.ArrowLengthDrawing = ArrowLengthDrawing(params);
    plan.HasExtensionLines = PlanExtensionLines(geometry, params, plan.ExtensionLines);
    plan.DimFigure = params.DimFigure;
    plan.Text = LayoutValueText(model, params, geometry);
    plan.MarksReversed = MarksReversed(geometry, params);
    plan.StartMark = PlanEndMark(geometry.DimStart, geometry.DimEnd, params.StartMark,
                                 plan.MarksReversed, params);
    plan.EndMark =
        PlanEndMark(geometry.DimEnd, geometry.DimStart, params.EndMark, plan.MarksReversed, params);
    return plan;
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

void EmitExtensionLines(const TDimPlan& plan) {
    if (!plan.HasExtensionLines) return;
    for (const TDimSegment& line : plan.ExtensionLines) EmitSegment(line);
}

void EmitDimensionLine(const TDimGeometry& geometry) {
    EmitSegment({geometry.DimStart, geometry.DimEnd});
}

// The text type stays selected until the host's own is written back at the end.
void EmitValueText(const TDimPlan& plan) {
    const TValueTextLayout& text = plan.Text;
    const TJwwTextType& size = text.ValueTextSize;
    const TDimPoint& start = plan.Geometry.DimStart;
    const TDimPoint& end = plan.Geometry.DimEnd;
    const TDimPoint& at = text.TextStart;
    const TDimPoint& dir = text.TextDir;
    if (!plan.DimFigure) EmitDimensionLine(plan.Geometry);
    EmitTextType(text.ValueTextType, size.Color, 0, size.Width, size.Height, size.Spacing);
    if (plan.DimFigure) {
        EmitDimensionFigure(text.ValueText, start.X, start.Y, end.X, end.Y, at.X, at.Y, dir.X,
                            dir.Y);
        return;
    }
    EmitCcValue(0);
    EmitZFlags(ZFlagDimension);
    EmitText(TextKindCs, text.ValueText, at.X, at.Y, dir.X, dir.Y);
}

void EmitEndMarks(const TDimPlan& plan) {
    EmitEndMark(plan.StartMark);
    EmitZFlags(ZFlagDimension);
    EmitEndMark(plan.EndMark);
}

void EmitEndMark(const TEndMarkPlan& mark) {
    if (mark.HasOvershoot) EmitSegment(mark.Overshoot);
    if (mark.Kind == MarkLineArrow) {
        for (const TDimSegment& stroke : mark.ArrowStrokes) EmitSegment(stroke);
        return;
    }
    EmitZFlags(ZFlagDimension);
    EmitPoint(mark.Kind, mark.End.X, mark.End.Y, mark.MarkScale, mark.DirectionDeg);
}

// The host is left with the text type it had before the tool ran.
void EmitHostTextType(const TExchangeModel& model) {
    const TJwwTextType& free = model.InitialFreeText;
    EmitTextType(model.InitialTextType, free.Color, 0, free.Width, free.Height, free.Spacing);
}
