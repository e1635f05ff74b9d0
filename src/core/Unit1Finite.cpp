// Whether a planned dimension can be drawn at all. Points far apart can have a length beyond the
// range of reals, and a huge scale or text size can push a distance, the text's place or the end
// of a line there; the host would get "INF" or "NAN" for them, so OK refuses such a dimension as
// it refuses a zero one. The writer would leave out a line it cannot write, and the dimension
// would then be drawn with a line missing: every number the emitters write for this dimension is
// checked here, so that it is drawn whole or not at all.
#include <initializer_list>

#include "MyFunc.h"
#include "Unit1Dim.h"

namespace {

// Finite, and not so near the largest double that the host would read its text as infinity.
bool AllWritable(std::initializer_list<double> values) {
    for (double value : values) {
        if (!IsWritableReal(value)) return false;
    }
    return true;
}

bool AllWritable(std::initializer_list<TDimPoint> points) {
    for (const TDimPoint& point : points) {
        if (!AllWritable({point.X, point.Y})) return false;
    }
    return true;
}

bool SegmentWritable(const TDimSegment& segment) { return AllWritable({segment.From, segment.To}); }

// Only what EmitEndMark writes: the overshoot when there is one, the strokes of a line arrow,
// and a point mark's direction and magnification (a line arrow's magnification is never written).
bool MarkWritable(const TEndMarkPlan& mark) {
    if (mark.HasOvershoot && !SegmentWritable(mark.Overshoot)) return false;
    if (mark.Kind == MarkLineArrow) {
        return SegmentWritable(mark.ArrowStrokes[0]) && SegmentWritable(mark.ArrowStrokes[1]);
    }
    return AllWritable({mark.DirectionDeg, mark.MarkScale});
}

}  // namespace

// The value's text type is the host's own when it is the free size: its numbers are the host's,
// handed back as they came, and not ours to refuse.
bool IsWritable(const TDimPlan& plan) {
    const TDimGeometry& g = plan.Geometry;
    if (g.DimLength < ConstructionZero) return false;
    const bool extensionLines =
        !plan.HasExtensionLines ||
        (SegmentWritable(plan.ExtensionLines[0]) && SegmentWritable(plan.ExtensionLines[1]));
    return AllWritable({g.P1, g.P2, g.P3, g.LocalP2, g.LocalP3, g.DimStart, g.DimEnd}) &&
           AllWritable({g.DimAngle, g.DimLength, plan.DrawingScale, plan.TextGapDrawing,
                        plan.ExtGapDrawing, plan.ExtOvershootDrawing, plan.ReverseOvershootDrawing,
                        plan.ArrowLengthDrawing, plan.Text.DimValue}) &&
           AllWritable({plan.Text.TextStart, plan.Text.TextDir}) && extensionLines &&
           MarkWritable(plan.StartMark) && MarkWritable(plan.EndMark);
}
