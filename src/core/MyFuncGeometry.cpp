// Distances, angles and rotations in the plane, built on the correctly rounded trigonometry.
#include <cmath>

#include "MyFunc.h"

double Distance(double x1, double y1, double x2, double y2) {
    long double dx = static_cast<long double>(x2) - x1;
    long double dy = static_cast<long double>(y2) - y1;
    return static_cast<double>(sqrtl(dx * dx + dy * dy));
}

double AngleRad(double dx, double dy) {
    if (std::fabs(dx) < GeometryZero && std::fabs(dy) < GeometryZero) return 0;
    long double r = ExtAtan2(dy, dx);
    if (r < 0) r += TwoPi;
    return static_cast<double>(r);
}

double AngleDeg(double dx, double dy) {
    double rad = AngleRad(dx, dy);
    return RoundTo1E10(static_cast<double>(rad * 180.0L / Pi));
}

double NormalizeDeg(double angleDeg) {
    double a = std::fabs(angleDeg);
    if (a >= 360) a = static_cast<double>(a - truncl(a / 360.0L) * 360.0L);
    if (angleDeg < 0) a = -a;
    if (a < 0) a = static_cast<double>(a + 360.0L);
    if (a >= 360) a = static_cast<double>(a - 360.0L);
    // A whole negative turn folds to -0, which would print with its sign.
    return a == 0 ? 0.0 : a;
}

void RotatePointRad(double x, double y, double cx, double cy, double angleRad, double& newX,
                    double& newY) {
    long double c = ExtCos(angleRad);
    long double s = ExtSin(angleRad);
    long double dx = static_cast<long double>(x) - cx;
    long double dy = static_cast<long double>(y) - cy;
    double rx = static_cast<double>(cx + c * dx - s * dy);
    double ry = static_cast<double>(cy + s * dx + c * dy);
    newX = rx;
    newY = ry;
}

void RotatePointDeg(double x, double y, double cx, double cy, double angleDeg, double& newX,
                    double& newY) {
    RotatePointRad(x, y, cx, cy, DegToRadRounded(angleDeg), newX, newY);
}
