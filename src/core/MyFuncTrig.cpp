// Sine, cosine and atan2 of long doubles, correctly rounded and bit for bit the same on every
// build. Only + - * / of long double (x87 80-bit, at the 64-bit precision the program entry
// sets) and integer arithmetic: no C library function.
//
// Each function first works in double-long-double (head + tail, about 128 bits; relative error
// below 2^-122, see the kernels). If the result lies within 2^-110 of its size from a rounding
// boundary, which happens about once in 2^45 arguments, it is recomputed in 384-bit fixed point
// (MyFuncTrigFallback.cpp; error below 2^-372 absolute) and rounded from there. A result still undecided at that
// precision would have to lie within about 2^-300 of its size from a midpoint; none is known
// or expected, and it would get the nearest value of the 384-bit result.
#include "MyFunc.h"
#include "MyFuncTrigFallback.h"
#include "MyFuncTrigParts.h"

namespace {

TDld Neg(TDld a) { return {-a.Hi, -a.Lo}; }

TDld TwoSum(long double a, long double b) {  // exact
    long double s = a + b;
    long double bb = s - a;
    return {s, (a - (s - bb)) + (b - bb)};
}

TDld FastTwoSum(long double a, long double b) {  // exact when |a| >= |b|
    long double s = a + b;
    return {s, b - (s - a)};
}

// Veltkamp: a = Hi + Lo with 32 bits each, so products of halves are exact.
TDld Split(long double a) {
    constexpr long double Splitter = 4294967297.0L;  // 2^32 + 1
    long double c = Splitter * a;
    long double hi = c - (c - a);
    return {hi, a - hi};
}

TDld TwoProduct(long double a, long double b) {  // exact, barring underflow
    long double p = a * b;
    TDld as = Split(a);
    TDld bs = Split(b);
    return {p, ((as.Hi * bs.Hi - p) + as.Hi * bs.Lo + as.Lo * bs.Hi) + as.Lo * bs.Lo};
}

TDld Add(TDld a, TDld b) {  // relative error below 3u^2, cancellation included
    TDld s = TwoSum(a.Hi, b.Hi);
    TDld t = TwoSum(a.Lo, b.Lo);
    s = FastTwoSum(s.Hi, s.Lo + t.Hi);
    return FastTwoSum(s.Hi, s.Lo + t.Lo);
}

TDld Mul(TDld a, TDld b) {  // relative error below 7u^2
    TDld p = TwoProduct(a.Hi, b.Hi);
    return FastTwoSum(p.Hi, p.Lo + (a.Hi * b.Lo + a.Lo * b.Hi));
}

TDld Div(TDld a, TDld b) {  // relative error below 6u^2: one correction of the quotient
    long double q = a.Hi / b.Hi;
    TDld p = TwoProduct(b.Hi, q);
    TDld bq = FastTwoSum(p.Hi, p.Lo + b.Lo * q);
    TDld rest = Add(a, Neg(bq));
    return FastTwoSum(q, rest.Hi / b.Hi);
}

// n / d as Hi + Lo: Hi the correctly rounded quotient, Lo the exact remainder over d, rounded
// (so Lo is zero exactly when the quotient is exact, and has the remainder's sign).
TDld Quotient(long double n, long double d) {
    long double q = n / d;
    TDld p = TwoProduct(q, d);
    return {q, ((n - p.Hi) - p.Lo) / d};  // n - q d is representable, both steps exact
}

// Constants printed by tools/trigconst/TrigConst.cpp (MPFR): each long double is the nearest to
// the exact value, the Lo of a pair the nearest to what Hi leaves. pi/2 comes in four 53-bit
// pieces, so k times a piece is exact for k <= 2048; their sum is within 2^-217 of pi/2.
// clang-format off
constexpr long double PiOver2Pieces[] = {0x1.921fb54442d18p0L, 0x1.1a62633145c07p-54L, -0x1.f1976b7ed8fbcp-110L, 0x1.4cf98e804177dp-164L};
constexpr long double TwoOverPi = 0x1.45f306dc9c882a54p-1L;
constexpr long double ReduceLimit = 0x1.921fb54442d18468p11L;
constexpr long double TwoPiNearest = 0x1.921fb54442d1846ap2L;
constexpr TDld PiPair = {0x1.921fb54442d1846ap1L, -0x1.d9cceba3f91f1976p-65L};
constexpr TDld PiOver2Pair = {0x1.921fb54442d1846ap0L, -0x1.d9cceba3f91f1976p-66L};
constexpr long double ThreePiOver4 = 0x1.2d97c7f3321d235p1L;
constexpr TDld SinCoeffPairs[] = {
    {-0x1.5555555555555556p-3L, 0x1.5555555555555556p-68L},
    {0x1.1111111111111112p-7L, -0x1.dddddddddddddddep-72L},
    {-0x1.a01a01a01a01a01ap-13L, -0x1.a01a01a01a01a01ap-85L},
    {0x1.71de3a556c7338fap-19L, 0x1.583911ca002e3bc8p-84L},
    {-0x1.ae64567f544e38fep-26L, -0x1.d1f92e0df71c788p-92L},
    {0x1.6124613a86d097cap-33L, 0x1.c198e91d7b4269dap-100L},
    {-0x1.ae7f3e733b81f11ep-41L, 0x1.e6a53c45cd405b86p-107L},
    {0x1.952c77030ad4a6b2p-49L, 0x1.81465ddc6bffa9dep-115L},
};
constexpr long double SinCoeffRest[] = {
    -0x1.2f49b4681415724cp-57L,
    0x1.71b8ef6dcf5718bep-66L,
    -0x1.761b413163819d98p-75L,
    0x1.3f3ccdd165fa8d4ep-84L,
    -0x1.d1ab1c2dccea320ap-94L,
    0x1.259f98b4358ad7acp-103L,
    -0x1.434d2e783f5bc42ep-113L,
};
constexpr TDld CosCoeffPairs[] = {
    {-0x1p-1L, 0.0L},
    {0x1.5555555555555556p-5L, -0x1.5555555555555556p-70L},
    {-0x1.6c16c16c16c16c16p-10L, -0x1.82d82d82d82d82d8p-75L},
    {0x1.a01a01a01a01a01ap-16L, 0x1.a01a01a01a01a01ap-88L},
    {-0x1.27e4fb7789f5c72ep-22L, -0x1.e02da7d4ccf1c96cp-87L},
    {0x1.1eed8eff8d897b54p-29L, 0x1.36a61eb3fa12fbp-95L},
    {-0x1.93974a8c07c9d20cp-37L, 0x1.483ae881706c55ccp-103L},
    {0x1.ae7f3e733b81f11ep-45L, -0x1.e6a53c45cd405b86p-111L},
    {-0x1.6827863b97d977bcp-53L, 0x1.ff6ef2ba7aaad0f4p-118L},
};
constexpr long double CosCoeffRest[] = {
    0x1.e542ba402022507ap-62L,
    -0x1.0ce396db7f852946p-70L,
    0x1.f2cf01972f577ccap-80L,
    -0x1.88e85fc6a4e59a38p-89L,
    0x1.0a18a2635085d374p-98L,
    -0x1.3932c5047d60e60cp-108L,
    0x1.434d2e783f5bc42ep-118L,
};
constexpr TDld AtanCoeffPairs[] = {
    {-0x1.5555555555555556p-2L, 0x1.5555555555555556p-67L},
    {0x1.999999999999999ap-3L, -0x1.999999999999999ap-69L},
    {-0x1.2492492492492492p-3L, -0x1.2492492492492492p-69L},
    {0x1.c71c71c71c71c71cp-4L, 0x1.c71c71c71c71c71cp-70L},
    {-0x1.745d1745d1745d18p-4L, 0x1.745d1745d1745d18p-69L},
};
constexpr long double AtanCoeffRest[] = {
    0x1.3b13b13b13b13b14p-4L,
    -0x1.1111111111111112p-4L,
    0x1.e1e1e1e1e1e1e1e2p-5L,
    -0x1.af286bca1af286bcp-5L,
    0x1.8618618618618618p-5L,
    -0x1.642c8590b21642c8p-5L,
    0x1.47ae147ae147ae14p-5L,
};
constexpr TDld AtanOfSixteenths[] = {
    {0.0L, 0.0L},
    {0x1.ff55bb72cfde9c6ep-5L, -0x1.a6c3691f8e8f9576p-71L},
    {0x1.fd5ba9aac2f6dc66p-4L, -0x1.bb433b060bbb8844p-70L},
    {0x1.7b97b4bce5b02268p-3L, 0x1.ec2d3e207271d21ep-68L},
    {0x1.f5b75f92c80dd62ap-3L, 0x1.b71e7bd7de885f96p-68L},
    {0x1.362773707ebcbcd4p-2L, -0x1.d2a25b396c2866cp-68L},
    {0x1.6f61941e4def08e8p-2L, -0x1.d5737b748c06edf4p-67L},
    {0x1.a64eec3cc23fcb6cp-2L, 0x1.09f257a40079c4dap-67L},
    {0x1.dac670561bb4f68ap-2L, 0x1.bf9117b2f0ea340ep-67L},
    {0x1.0657e94db30cfc54p-1L, 0x1.2da8272d86945704p-66L},
    {0x1.1e00babdefeb3f36p-1L, 0x1.720d78599710dd1ep-66L},
    {0x1.345f01cce37bb44p-1L, 0x1.089be388813fcef4p-66L},
    {0x1.4978fa3269ee1248p-1L, 0x1.9a87f2a457dac9eep-68L},
    {0x1.5d58987169b181p-1L, 0x1.4725e2f3e52070ap-68L},
    {0x1.700a7c5784633ce8p-1L, -0x1.a692d56f7addde16p-67L},
    {0x1.819d0b7158a4cc82p-1L, -0x1.d88a74ee45b4176cp-66L},
    {0x1.921fb54442d1846ap-1L, -0x1.d9cceba3f91f1976p-67L},
};
// clang-format on

// Sum over n >= 1 of c_n z^(n-1): the terms below 2^-60 of the whole in long double, the
// leading ones in double-long-double.
template <std::size_t P, std::size_t R>
TDld Series(const TDld (&pairs)[P], const long double (&rest)[R], TDld z) {
    long double tail = rest[R - 1];
    for (std::size_t i = R - 1; i-- > 0;) tail = tail * z.Hi + rest[i];
    TDld sum = {tail, 0};
    for (std::size_t i = P; i-- > 0;) sum = Add(Mul(sum, z), pairs[i]);
    return sum;
}

// sin r or cos r for |r| <= pi/4 and a little. The series stop after r^31 and r^32 (the rest is
// below 2^-129); the operations add under 12u^2 relative to the result, and an error of r
// passes through with its relative size: below 2^-122 in all.
TDld KernelSinCos(TDld r, bool cosine) {
    TDld z = Mul(r, r);
    if (cosine) return Add({1, 0}, Mul(z, Series(CosCoeffPairs, CosCoeffRest, z)));
    return Add(r, Mul(r, Mul(z, Series(SinCoeffPairs, SinCoeffRest, z))));
}

// atan t for 2^-42 <= t <= 1: atan(j/16) from the table plus the series of atan u for
// u = (t - j/16) / (1 + t j/16), |u| <= 1/32, which stops after u^25 (the rest is below 2^-134).
// Relative error below 2^-122.
TDld KernelAtan(TDld t) {
    int j = static_cast<int>(t.Hi * 16 + 0.5L);
    TDld u = t;
    if (j > 0) {
        long double c = j / 16.0L;
        TDld num = TwoSum(t.Hi - c, t.Lo);  // t.Hi - c is exact: c/2 <= t.Hi <= 2c
        TDld tc = TwoProduct(t.Hi, c);
        u = Div(num, Add({1, 0}, FastTwoSum(tc.Hi, tc.Lo + t.Lo * c)));
    }
    TDld w = Mul(u, u);
    TDld atanU = Add(u, Mul(u, Mul(w, Series(AtanCoeffPairs, AtanCoeffRest, w))));
    return Add(AtanOfSixteenths[j], atanU);
}

// Hi + Lo rounded, when an error of 2^-110 of it (far above the kernels' 2^-122) cannot move it
// across a rounding boundary. Rounding is monotonic, so equal ends decide it.
bool RoundFast(TDld v, long double& rounded) {
    long double err = (v.Hi < 0 ? -v.Hi : v.Hi) * 0x1p-110L;
    rounded = v.Hi + (v.Lo - err);
    return rounded == v.Hi + (v.Lo + err);
}

TDld Scale(TDld v, long double pow2) { return {v.Hi * pow2, v.Lo * pow2}; }

// a - n T for the n that leaves [0, T), T the long double nearest 2 pi, for a > 1024 pi: with
// a = A 2^(e-63) and T = M 2^-61 (A, M the significands) that is (A 2^(e-2) mod M) 2^-61, got
// exactly by doubling modulo M.
long double RemainderTwoPi(long double a) {
    TParts parts = Decompose(a);
    std::uint64_t m = Decompose(TwoPiNearest).Mant;
    std::uint64_t r = parts.Mant >= m ? parts.Mant - m : parts.Mant;
    for (int i = parts.Exp - 2; i > 0; --i) r = r >= m - r ? r - (m - r) : r + r;
    return Compose(false, r, -61);
}

// a = k pi/2 + r with |r| <= pi/4 and a little, 0 <= a <= 1024 pi. The first subtraction is
// exact (the difference is a multiple of a's ulp below 1), the second exact by TwoSum; the
// pieces' error, k times 2^-217, is far below the least |r| of any long double (2^-67.2, at k =
// 359).
int Reduce(long double a, TDld& r) {
    int k = static_cast<int>(a * TwoOverPi + 0.5L);
    r = {a, 0};
    if (k == 0) return 0;
    long double kk = k;
    long double y = a - kk * PiOver2Pieces[0];
    TDld s = TwoSum(y, -(kk * PiOver2Pieces[1]));
    r = Add(s, Neg(FastTwoSum(kk * PiOver2Pieces[2], kk * PiOver2Pieces[3])));
    return k;
}

long double SinCos(long double x, bool cosine, bool fallback) {
    if (x - x != 0) return x - x;  // infinity or NaN: NaN
    bool negative = SignBit(x);
    long double a = negative ? -x : x;
    if (a > ReduceLimit) a = RemainderTwoPi(a);
    // Below 2^-32, x^2/2 and x^3/6 are under half an ulp of 1 and of x: nothing to compute.
    if (a < 0x1p-32L) return cosine ? 1.0L : (negative ? -a : a);
    TDld r;
    int k = Reduce(a, r);
    int quadrant = (k + (cosine ? 1 : 0)) & 3;  // cos t = sin(t + pi/2)
    bool useCos = (quadrant & 1) != 0;
    long double v;
    if (fallback || !RoundFast(KernelSinCos(r, useCos), v)) v = FallbackSinCos(a, k, useCos);
    if (quadrant >= 2) v = -v;
    return negative && !cosine ? -v : v;
}

// (q.Hi + q.Lo) * 2^scale less a positive amount too small to matter, rounded to nearest; q.Hi
// is the rounded quotient of two significands and q.Lo has the remainder's sign. Where the
// result is normal that is q.Hi scaled (such a quotient is never halfway between two long
// doubles); among the subnormals it may be halfway, and then it goes down.
long double RoundJustBelow(TDld q, int scale) {
    TParts p = Decompose(q.Hi);
    int low = p.Exp - 63 + scale;  // weight of the significand's last bit
    int drop = LeastSubnormalExp - low;
    if (drop <= 0) return Compose(false, p.Mant, low);
    if (drop > 64) return 0;
    std::uint64_t kept = drop == 64 ? 0 : p.Mant >> drop;
    std::uint64_t rest = drop == 64 ? p.Mant : p.Mant & ((std::uint64_t{1} << drop) - 1);
    std::uint64_t half = std::uint64_t{1} << (drop - 1);
    bool up = rest > half || (rest == half && q.Lo > 0);
    return Compose(false, kept + (up ? 1 : 0), LeastSubnormalExp);
}

// atan t for t = n / d * 2^scale, 1 <= n, d < 2, scale <= -42, the angle itself (x > 0, |y| <=
// |x|): t - t^3/3 with a scale of its own, the next term being below 2^-166 of it. Below
// 2^-225 even t^3/3 lies far beneath the distance of t from any rounding boundary.
long double AtanTiny(long double n, long double d, int scale, bool fallback) {
    TDld q = Quotient(n, d);
    if (scale < -225) return RoundJustBelow(q, scale);
    TDld v = Add(q, {-(q.Hi * q.Hi * q.Hi / 3 * Pow2(2 * scale)), 0});
    long double rounded;
    if (!fallback && RoundFast(v, rounded)) return rounded * Pow2(scale);
    return FallbackAtanTiny(n, d, scale);
}

// The angle in [0, pi] for t = n / d * 2^scale <= 1: atan t, pi - atan t (x < 0), or
// pi/2 - atan t and pi/2 + atan t (|y| > |x|, so t = |x| / |y|).
long double AtanOctant(long double n, long double d, int scale, bool swap, bool xNegative,
                       bool fallback) {
    TDld at{0, 0};  // below 2^-300, t is under the error bound and left out
    if (scale > -42) {
        at = KernelAtan(Quotient(n * Pow2(scale), d));
    } else if (scale >= -300) {
        TDld q = Quotient(n, d);
        at = Scale(Add(q, {-(q.Hi * q.Hi * q.Hi / 3 * Pow2(2 * scale)), 0}), Pow2(scale));
    }
    TDld angle = at;
    if (swap) {
        angle = Add(PiOver2Pair, xNegative ? at : Neg(at));
    } else if (xNegative) {
        angle = Add(PiPair, Neg(at));
    }
    long double rounded;
    if (!fallback && RoundFast(angle, rounded)) return rounded;
    return FallbackAtanOctant(n, d, scale, swap, xNegative, at);
}

long double Atan2(long double y, long double x, bool fallback) {
    if (y != y || x != x) return y + x;  // NaN
    bool yNegative = SignBit(y);
    bool xNegative = SignBit(x);
    long double ay = yNegative ? -y : y;
    long double ax = xNegative ? -x : x;
    bool yInfinite = ay - ay != 0;
    bool xInfinite = ax - ax != 0;
    long double angle;
    if (ay == 0 || (xInfinite && !yInfinite)) {
        angle = xNegative ? PiPair.Hi : 0;
    } else if (yInfinite) {
        angle = xInfinite ? (xNegative ? ThreePiOver4 : PiPair.Hi / 4) : PiOver2Pair.Hi;
    } else if (ax == 0) {
        angle = PiOver2Pair.Hi;
    } else {
        bool swap = ay > ax;
        TParts num = Decompose(swap ? ax : ay);
        TParts den = Decompose(swap ? ay : ax);
        int scale = num.Exp - den.Exp;  // t = n / d * 2^scale <= 1
        long double n = Compose(false, num.Mant, -63);
        long double d = Compose(false, den.Mant, -63);
        angle = !swap && !xNegative && scale <= -42
                    ? AtanTiny(n, d, scale, fallback)
                    : AtanOctant(n, d, scale, swap, xNegative, fallback);
    }
    return yNegative ? -angle : angle;
}

}  // namespace
long double ExtSin(long double angleRad) { return SinCos(angleRad, false, false); }

long double ExtCos(long double angleRad) { return SinCos(angleRad, true, false); }

long double ExtAtan2(long double y, long double x) { return Atan2(y, x, false); }

long double ExtSinByFallback(long double angleRad) { return SinCos(angleRad, false, true); }

long double ExtCosByFallback(long double angleRad) { return SinCos(angleRad, true, true); }

long double ExtAtan2ByFallback(long double y, long double x) { return Atan2(y, x, true); }
