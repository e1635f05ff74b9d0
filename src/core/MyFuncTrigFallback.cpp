// The trigonometry's fallback: sine, cosine and atan in 384-bit fixed point (error below 2^-372
// absolute), from integer words only. Slow, and taken only where the fast result cannot decide
// the rounding.
#include "MyFuncTrigFallback.h"

namespace {

// pi/2 to 384 fraction bits, printed by tools/trigconst/TrigConst.cpp (MPFR).
// clang-format off
constexpr TFix PiOver2Fix = {{0x9a748636u, 0xdf2a3367u, 0x1c6809bbu, 0xa29410f3u, 0x76273644u, 0x04177d4cu,
    0x14cf98e8u, 0x52049c11u, 0x01b839a2u, 0x898cc517u, 0x42d18469u, 0x921fb544u,
    0x00000001u}};
// clang-format on

TFix FixOne() {
    TFix one{};
    one[FixWords - 1] = 1;
    return one;
}

bool FixIsZero(const TFix& a) {
    for (std::uint32_t w : a) {
        if (w != 0) return false;
    }
    return true;
}

bool FixLess(const TFix& a, const TFix& b) {
    for (int i = FixWords - 1; i >= 0; --i) {
        if (a[i] != b[i]) return a[i] < b[i];
    }
    return false;
}

int FixBit(const TFix& a, int i) { return i < 0 || i >= FixBits ? 0 : a[i / 32] >> i % 32 & 1; }

TFix FixAdd(const TFix& a, const TFix& b) {
    TFix r;
    std::uint64_t carry = 0;
    for (int i = 0; i < FixWords; ++i) {
        std::uint64_t t = std::uint64_t{a[i]} + b[i] + carry;
        r[i] = static_cast<std::uint32_t>(t);
        carry = t >> 32;
    }
    return r;
}

TFix FixSub(const TFix& a, const TFix& b) {
    TFix r;
    std::uint64_t borrow = 0;
    for (int i = 0; i < FixWords; ++i) {
        std::uint64_t t = std::uint64_t{a[i]} - b[i] - borrow;
        r[i] = static_cast<std::uint32_t>(t);
        borrow = t >> 63;
    }
    return r;
}

TFix FixMul(const TFix& a, const TFix& b) {  // truncated: error below one unit of 2^-384
    std::array<std::uint32_t, 2 * FixWords> p{};
    for (int i = 0; i < FixWords; ++i) {
        std::uint64_t carry = 0;
        for (int j = 0; j < FixWords; ++j) {
            std::uint64_t t = std::uint64_t{a[i]} * b[j] + p[i + j] + carry;
            p[i + j] = static_cast<std::uint32_t>(t);
            carry = t >> 32;
        }
        p[i + FixWords] = static_cast<std::uint32_t>(carry);
    }
    TFix r;
    for (int i = 0; i < FixWords; ++i) r[i] = p[i + FixWords - 1];
    return r;
}

TFix FixMulSmall(const TFix& a, std::uint32_t m) {  // exact while the product stays below 2^32
    TFix r;
    std::uint64_t carry = 0;
    for (int i = 0; i < FixWords; ++i) {
        std::uint64_t t = std::uint64_t{a[i]} * m + carry;
        r[i] = static_cast<std::uint32_t>(t);
        carry = t >> 32;
    }
    return r;
}

TFix FixDivSmall(const TFix& a, std::uint32_t d) {  // truncated
    TFix r;
    std::uint64_t rest = 0;
    for (int i = FixWords - 1; i >= 0; --i) {
        std::uint64_t t = rest << 32 | a[i];
        r[i] = static_cast<std::uint32_t>(t / d);
        rest = t % d;
    }
    return r;
}

TFix FixShiftRight(const TFix& a, int bits) {  // truncated
    TFix r{};
    int words = bits / 32;
    int rest = bits % 32;
    for (int i = 0; i + words < FixWords; ++i) {
        std::uint64_t pair = a[i + words];
        if (i + words + 1 < FixWords) pair |= std::uint64_t{a[i + words + 1]} << 32;
        r[i] = static_cast<std::uint32_t>(pair >> rest);
    }
    return r;
}

// a / b truncated, for b > 0 and a / b < 2^32: binary long division.
TFix FixDiv(const TFix& a, const TFix& b) {
    std::array<std::uint32_t, FixWords + 1> rest{};  // below 2b at every step
    TFix q{};
    for (int i = FixBits + FixFracBits - 1; i >= 0; --i) {
        for (int w = FixWords; w > 0; --w) rest[w] = rest[w] << 1 | rest[w - 1] >> 31;
        rest[0] = rest[0] << 1 | FixBit(a, i - FixFracBits);
        int w = FixWords - 1;
        while (w > 0 && rest[w] == b[w]) --w;
        if (rest[FixWords] == 0 && rest[w] < b[w]) continue;
        std::uint64_t borrow = 0;
        for (w = 0; w <= FixWords; ++w) {
            std::uint64_t t = std::uint64_t{rest[w]} - (w < FixWords ? b[w] : 0) - borrow;
            rest[w] = static_cast<std::uint32_t>(t);
            borrow = t >> 63;
        }
        if (i < FixBits) q[i / 32] |= 1u << i % 32;
    }
    return q;
}

TFix FixFromLd(long double x) {  // x >= 0; bits below 2^-384 are dropped
    TFix r{};
    if (x == 0) return r;
    TParts p = Decompose(x);
    for (int i = 0; i < 64; ++i) {
        int bit = p.Exp - 63 + FixFracBits + i;
        if ((p.Mant >> i & 1) && bit >= 0 && bit < FixBits) r[bit / 32] |= 1u << bit % 32;
    }
    return r;
}

// a * 2^(scale - 384) rounded to nearest, ties to even; a > 0 and the result normal.
long double FixToLd(const TFix& a, int scale) {
    int top = FixBits - 1;
    while (!FixBit(a, top)) --top;
    int cut = top < 63 ? 0 : top - 63;  // the last bit kept
    std::uint64_t mant = 0;
    for (int i = top; i >= cut; --i) mant = mant << 1 | FixBit(a, i);
    bool sticky = false;
    for (int i = 0; i < cut - 1; ++i) sticky = sticky || FixBit(a, i);
    if (FixBit(a, cut - 1) && (sticky || (mant & 1))) {
        if (++mant == 0) {
            mant = std::uint64_t{1} << 63;
            ++cut;
        }
    }
    return Compose(false, mant, cut + scale - FixFracBits);
}

// sin r or cos r for 0 <= r <= pi/4 and a little: the Taylor series until its terms vanish.
TFix FixSinCos(const TFix& r, bool cosine) {
    TFix r2 = FixMul(r, r);
    TFix term = cosine ? FixOne() : r;
    TFix sum = term;
    for (std::uint32_t m = 1;; ++m) {
        std::uint32_t n = cosine ? 2 * m - 1 : 2 * m;
        term = FixDivSmall(FixMul(term, r2), n * (n + 1));
        if (FixIsZero(term)) return sum;
        sum = m % 2 ? FixSub(sum, term) : FixAdd(sum, term);
    }
}

// atan(t) / 2^scale for t = s * 2^scale, scale <= 0, t small: s - s^3 4^scale / 3 + ...
TFix FixAtanSeries(const TFix& s, int scale) {
    TFix s2 = FixMul(s, s);
    TFix power = s;
    TFix sum = s;
    for (std::uint32_t m = 1;; ++m) {
        power = FixShiftRight(FixMul(power, s2), -2 * scale);
        if (FixIsZero(power)) return sum;
        TFix term = FixDivSmall(power, 2 * m + 1);
        sum = m % 2 ? FixSub(sum, term) : FixAdd(sum, term);
    }
}

// atan(n / d), 0 < n <= d, by one exact Newton step from theta0 (any value near it):
// atan(n / d) = theta0 + atan((n cos theta0 - d sin theta0) / (d cos theta0 + n sin theta0)).
TFix FixAtanNear(const TFix& n, const TFix& d, TDld theta0) {
    TFix theta = FixFromLd(theta0.Hi);
    TFix lo = FixFromLd(theta0.Lo < 0 ? -theta0.Lo : theta0.Lo);
    theta = theta0.Lo < 0 ? FixSub(theta, lo) : FixAdd(theta, lo);
    TFix s = FixSinCos(theta, false);
    TFix c = FixSinCos(theta, true);
    TFix nc = FixMul(n, c);
    TFix ds = FixMul(d, s);
    TFix rotated = FixAdd(FixMul(d, c), FixMul(n, s));
    if (FixLess(nc, ds)) return FixSub(theta, FixAtanSeries(FixDiv(FixSub(ds, nc), rotated), 0));
    return FixAdd(theta, FixAtanSeries(FixDiv(FixSub(nc, ds), rotated), 0));
}

// a * 2^(scale - 384) correctly rounded if the error bound decides it, else the nearest of a.
long double FixRoundNear(const TFix& a, int scale) {
    TFix err{};
    err[0] = FixError;
    long double low = FixLess(a, err) ? 0 : FixToLd(FixSub(a, err), scale);
    long double high = FixToLd(FixAdd(a, err), scale);
    return low == high ? low : FixToLd(a, scale);
}

}  // namespace

TFix FixSinCosOfRemainder(long double a, int k, bool cosine, bool& below) {
    TFix x = FixFromLd(a);  // exact: a has no bits below 2^-95
    TFix quarters = FixMulSmall(PiOver2Fix, static_cast<std::uint32_t>(k));
    below = FixLess(x, quarters);
    return FixSinCos(below ? FixSub(quarters, x) : FixSub(x, quarters), cosine);
}

TFix FixAtanTiny(long double n, long double d, int scale) {
    return FixAtanSeries(FixDiv(FixFromLd(n), FixFromLd(d)), scale);
}

TFix FixAtanOctant(long double n, long double d, int scale, bool swap, bool xNegative, TDld at) {
    TFix fixAt = scale > -42 ? FixAtanNear(FixFromLd(n * Pow2(scale)), FixFromLd(d), at)
                             : FixShiftRight(FixAtanTiny(n, d, scale), -scale);
    if (swap) return xNegative ? FixAdd(PiOver2Fix, fixAt) : FixSub(PiOver2Fix, fixAt);
    if (xNegative) return FixSub(FixAdd(PiOver2Fix, PiOver2Fix), fixAt);
    return fixAt;
}

long double FallbackSinCos(long double a, int k, bool cosine) {
    bool below = false;
    long double v = FixRoundNear(FixSinCosOfRemainder(a, k, cosine, below), 0);
    return below && !cosine ? -v : v;
}

long double FallbackAtanTiny(long double n, long double d, int scale) {
    return FixRoundNear(FixAtanTiny(n, d, scale), scale);
}

long double FallbackAtanOctant(long double n, long double d, int scale, bool swap, bool xNegative,
                               TDld at) {
    return FixRoundNear(FixAtanOctant(n, d, scale, swap, xNegative, at), 0);
}
