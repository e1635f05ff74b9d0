// The parallel dimension built on OK: the dialog's values for one press, the geometry from
// reference points 1 to 3, the value text and the end marks, planned once (TDimPlan) and then
// appended to OutputLines in the order the host draws them.
#pragma once

#include <optional>
#include <string>

#include "JwwGaibu.h"
#include "MyFunc.h"

enum class TControlId : int;  // the dialog's controls (Unit1.h)

// The twelve end marks, numbered as the two mark lists show them. The line arrow is drawn by the
// tool; every other kind is a host point mark whose code is this number.
enum TMarkKind : int {
    MarkLineArrow = 0,
    MarkTriangle = 1,
    MarkSquare = 2,
    MarkRing = 3,  // "Ｏ"
    MarkCircle = 4,
    MarkFilledSquare = 5,
    MarkFilledTriangle = 6,
    MarkFilledCircle = 7,
    MarkTilde = 8,
    MarkChevron = 9,
    MarkSlash = 10,
    MarkOpenTriangle = 11,  // shows "△" like MarkTriangle, but its own code
};

// The unit group's items.
enum TDimUnit : int {
    UnitMillimetre = 0,
    UnitMetre = 1,
};

// The dialog's values for one press of OK; distances in drawing units once scaled.
struct TDimParams {
    int StartMark = MarkLineArrow;
    int EndMark = MarkLineArrow;
    double MarkScale = 0;
    double ArrowLength = 0;  // paper mm
    double ArrowAngle = 0;   // degrees
    int TextTypeIndex = 0;
    std::string Prefix;
    std::string Suffix;
    int Decimals = 0;
    int RoundMode = 0;
    int ZeroDisplay = 0;
    int UnitIndex = UnitMillimetre;
    bool Commas = false;
    bool AppendUnit = false;
    bool FullWidth = false;
    bool DimFigure = false;
    double TextGap = 0;
    double ExtGap = 0;
    double ExtOvershoot = 0;
    double ReverseOvershoot = 0;
    double Scale = 1;
};

struct TDimPoint {
    double X = 0;
    double Y = 0;
};

// The construction's zero, in drawing units: a dimension line needs at least this length, and an
// extension line's room beyond its gap and a reversed mark's overshoot must be longer than it.
// The same zero as the plane's, below which a direction has no angle.
inline constexpr double ConstructionZero = GeometryZero;

struct TDimGeometry {
    TDimPoint P1, P2, P3;
    double DimAngle = 0;  // degrees
    TDimPoint LocalP2, LocalP3;
    TDimPoint DimStart, DimEnd;
    double DimLength = 0;
};

// OK's checks in their fixed order: the first control whose value is invalid, if any.
std::optional<TControlId> CheckDimParams(const TDimParams& params);

// The drawing scale: the host's current layer group's entry of LayerGroupScale.
double CurrentDrawingScale(const TExchangeModel& model);

// Sets Scale and turns the four paper distances into drawing units.
void ScaleDimParams(TDimParams& params, double scale);

// Reference point n of the store; (0, 0) for a point the host did not send.
TDimPoint RefPoint(const TExchangeModel& model, int n);

// The dimension line through p3, parallel to p1-p2, with its ends opposite p1 and p2.
TDimGeometry ComputeDimGeometry(TDimPoint p1, TDimPoint p2, TDimPoint p3);

// Everything EmitValueText writes, worked out before writing.
struct TValueTextLayout {
    int ValueTextType = 1;  // 0: the free size
    TJwwTextType ValueTextSize;
    double DimValue = 0;  // rounded, in millimetres or metres as the text shows it
    std::string ValueText;
    double TextAngle = 0;  // degrees, reading direction
    TDimPoint TextStart;
    TDimPoint TextDir;  // length 10
};
TValueTextLayout LayoutValueText(const TExchangeModel& model, const TDimParams& params,
                                 const TDimGeometry& geometry);

// The value text for a dimension line of this length: prefix, number, unit, suffix.
std::string FormatDimValue(double lengthDrawing, const TDimParams& params);

// A text along a line of this direction reads left to right or bottom to top.
double TextReadingAngle(double dimAngleDeg);

// How far a mark reaches along the dimension line from its end, in drawing units.
double MarkExtent(int kind, const TDimParams& params);

// Both marks turn round when together they are longer than the dimension line.
bool MarksReversed(const TDimGeometry& geometry, const TDimParams& params);

struct TDimSegment {
    TDimPoint From, To;
};

// One end mark as it is written, in drawing units.
struct TEndMarkPlan {
    TDimPoint End;
    int Kind = MarkLineArrow;
    double DirectionDeg = 0;    // where the mark points
    bool HasOvershoot = false;  // reversed, the dimension line prolonged past End
    TDimSegment Overshoot;
    TDimSegment ArrowStrokes[2];  // the line arrow's two strokes; only for MarkLineArrow
    double MarkScale = 1;         // the point mark's magnification, as entered
};

// The mark at end, pointing away from other (reversed: back towards it).
TEndMarkPlan PlanEndMark(TDimPoint end, TDimPoint other, int kind, bool reversed,
                         const TDimParams& params);

// The dimension of one press of OK, planned once: every point, length, text and mark as it is
// written. Distances are in drawing units unless a name says otherwise.
struct TDimPlan {
    TDimGeometry Geometry;
    double DrawingScale = 1;
    double TextGapDrawing = 0;
    double ExtGapDrawing = 0;
    double ExtOvershootDrawing = 0;
    double ReverseOvershootDrawing = 0;
    double ArrowLengthPaperMm = 0;
    double ArrowLengthDrawing = 0;
    bool HasExtensionLines = false;  // none when the dimension line lies within the gap
    TDimSegment ExtensionLines[2];
    bool DimFigure = false;
    TValueTextLayout Text;
    bool MarksReversed = false;
    TEndMarkPlan StartMark, EndMark;
};

// params already scaled (ScaleDimParams).
TDimPlan BuildDimPlan(const TExchangeModel& model, const TDimParams& params,
                      const TDimGeometry& geometry);

// False when the dimension line is shorter than ConstructionZero, or when a number the emitters
// write for it (a point, length or distance, its value, its text's place, the ends of its
// extension lines, overshoots and arrow strokes, a point mark's direction and magnification) is
// not finite or prints past the largest double (IsWritableReal): the host would read INF, NAN or
// infinity. OK refuses such a dimension, so that none is drawn with a line missing.
bool IsWritable(const TDimPlan& plan);

// Commands of the dimension, appended to OutputLines in the order the host draws them: the
// host's own attributes from the model, everything else as the plan has it.
void EmitBaseAttributes(const TExchangeModel& model);
void EmitExtensionLines(const TDimPlan& plan);
void EmitDimensionLine(const TDimGeometry& geometry);
void EmitValueText(const TDimPlan& plan);
void EmitEndMarks(const TDimPlan& plan);
void EmitEndMark(const TEndMarkPlan& mark);
void EmitHostTextType(const TExchangeModel& model);  // gives the host its own text type back
