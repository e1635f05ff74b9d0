// Whether a planned dimension can be drawn at all. Points far apart can have a length beyond the
// range of reals, and a huge scale or text size can push a distance or the text's place there;
// the host would get "INF" or "NAN" for them, so OK refuses such a dimension as it refuses a
// zero one.
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

}  // namespace

// The extension lines and the marks are not looked at: they are built from what is checked
// here, and the writer leaves out a line it cannot write.
bool IsWritable(const TDimPlan& plan) {
    const TDimGeometry& g = plan.Geometry;
    if (g.DimLength < ConstructionZero) return false;
    return AllWritable({g.P1, g.P2, g.P3, g.LocalP2, g.LocalP3, g.DimStart, g.DimEnd}) &&
           AllWritable({g.DimAngle, g.DimLength, plan.DrawingScale, plan.TextGapDrawing,
                        plan.ExtGapDrawing, plan.ExtOvershootDrawing, plan.ReverseOvershootDrawing,
                        plan.ArrowLengthDrawing, plan.Text.DimValue}) &&
           AllWritable({plan.Text.TextStart, plan.Text.TextDir});
}
