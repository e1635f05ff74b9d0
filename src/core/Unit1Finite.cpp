// Whether a dimension can be drawn at all. Points far apart can have a length beyond the range
// of reals, and a huge scale or text size can push a distance or the text's place there; the
// host would get "INF" or "NAN" for them, so OK refuses such a dimension as it refuses a zero one.
#include <initializer_list>

#include "MyFunc.h"
#include "Unit1.h"

namespace {

// Finite, and not so near the largest double that the host would read its text as infinity.
bool AllFinite(std::initializer_list<double> values) {
    for (double value : values) {
        if (!IsWritableReal(value)) return false;
    }
    return true;
}

bool AllFinite(std::initializer_list<TDimPoint> points) {
    for (const TDimPoint& point : points) {
        if (!AllFinite({point.X, point.Y})) return false;
    }
    return true;
}

}  // namespace

bool IsFiniteDimension(const TExchangeModel& model, const TDimParams& params,
                       const TDimGeometry& geometry) {
    const TDimGeometry& g = geometry;
    if (!AllFinite({g.P1, g.P2, g.P3, g.LocalP2, g.LocalP3, g.DimStart, g.DimEnd})) return false;
    const double arrow =
        static_cast<double>(static_cast<long double>(params.ArrowLength) * params.Scale);
    if (!AllFinite({g.DimAngle, g.DimLength, params.Scale, params.TextGap, params.ExtGap,
                    params.ExtOvershoot, params.ReverseOvershoot, arrow})) {
        return false;
    }
    // The value as the text shows it, and where the text stands.
    double length = Distance(g.DimStart.X, g.DimStart.Y, g.DimEnd.X, g.DimEnd.Y);
    if (params.UnitIndex == UnitMetre)
        length = static_cast<double>(static_cast<long double>(length) / 1000);
    const TValueTextLayout layout = LayoutValueText(model, params, geometry);
    return AllFinite({RoundByMode(params.Decimals, params.RoundMode, length)}) &&
           AllFinite({layout.TextStart, layout.TextDir});
}
