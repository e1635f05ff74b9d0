// Sine and cosine of long doubles with our own reduction and kernels, and the plane geometry
// built on them.
#include <cmath>

#include "MyFunc.h"

namespace {

// Pi/2 in three parts: the first two have 53 bits, so k times either is exact for the quarter
// turns an angle can have (|k| < 2048), and the reduced angle keeps its small digits.
constexpr long double PiOver2Hi = 0x1.921fb54442d18p+0L;
constexpr long double PiOver2Mid = 0x1.1a62633145c07p-54L;
constexpr long double PiOver2Lo = -1.498614237976317898159183e-33L;

constexpr long double InverseFactorial(int n) {
    long double factorial = 1.0L;
    for (int i = 2; i <= n; ++i) factorial *= i;  // exact up to 21!
    return 1.0L / factorial;
}

// Kernels for r = head + tail, |r| <= pi/4, tail below an ulp of head; the Taylor series beyond
// the 21st power is below 1e-21. Only + and * of long double, so the bits do not depend on the C
// library; the large term is added last, so the result is rounded almost always correctly.
long double SinKernel(long double head, long double tail) {
    long double r2 = head * head;
    long double p = InverseFactorial(21);
    for (int n = 19; n >= 3; n -= 2) p = p * -r2 + InverseFactorial(n);
    return head + (tail * (1.0L - r2 * 0.5L) - head * r2 * p);
}

long double CosKernel(long double head, long double tail) {
    // head*head split exactly (Dekker), so 1 - head*head/2 loses nothing of the square.
    constexpr long double Splitter = 4294967297.0L;  // 2^32 + 1
    long double c = head * Splitter;
    long double high = c - (c - head);
    long double low = head - high;
    long double r2 = head * head;
    long double r2Low = ((high * high - r2) + 2 * high * low) + low * low;
    long double p = InverseFactorial(20);
    for (int n = 18; n >= 4; n -= 2) p = p * -r2 + InverseFactorial(n);
    long double halfR2 = r2 * 0.5L;
    long double w = 1.0L - halfR2;
    long double rest = ((1.0L - w) - halfR2) - r2Low * 0.5L + r2 * r2 * p - head * tail;
    return w + rest;
}

// sin (wantCos false) or cos of t: t = k * pi/2 + head + tail, then the kernel by the quadrant.
long double ExtSinCos(long double t, bool wantCos) {
    if (!std::isfinite(t)) return t - t;  // NaN, as the library functions give
    long double k = std::round(t / (PiOver2Hi + PiOver2Mid));
    long double head = t;
    long double tail = 0;
    if (k != 0) {
        long double y = t - k * PiOver2Hi;  // exact
        head = y - k * PiOver2Mid;
        tail = ((y - head) - k * PiOver2Mid) - k * PiOver2Lo;
    }
    long double quadrant = std::fmod(k, 4.0L);  // exact, also for huge k
    int q = static_cast<int>(quadrant < 0 ? quadrant + 4 : quadrant);
    if (wantCos) q += 1;  // cos t = sin(t + pi/2)
    switch (q & 3) {
        case 0:
            return SinKernel(head, tail);
        case 1:
            return CosKernel(head, tail);
        case 2:
            return -SinKernel(head, tail);
        default:
            return -CosKernel(head, tail);
    }
}

}  // namespace

long double ExtSin(long double angleRad) { return ExtSinCos(angleRad, false); }

long double ExtCos(long double angleRad) { return ExtSinCos(angleRad, true); }

double Distance(double x1, double y1, double x2, double y2) {
    long double dx = static_cast<long double>(x2) - x1;
    long double dy = static_cast<long double>(y2) - y1;
    return static_cast<double>(sqrtl(dx * dx + dy * dy));
}

double AngleRad(double dx, double dy) {
    if (std::fabs(dx) < 1e-10 && std::fabs(dy) < 1e-10) return 0;
    long double r = atan2l(dy, dx);
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
    // Rounded to double on purpose: this path rotates by the double nearest the angle.
    double angleRad = static_cast<double>(angleDeg / 180.0L * Pi);
    RotatePointRad(x, y, cx, cy, angleRad, newX, newY);
}
