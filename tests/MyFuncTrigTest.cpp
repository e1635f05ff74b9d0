// ExtSin, ExtCos and ExtAtan2 against MPFR (64 bits, round to nearest, long double's exponent
// range): every result must be the correctly rounded one. PARDIM_TRIG_COUNT=n runs n times as
// many random arguments.
#include <gtest/gtest.h>
#include <mpfr.h>

#include <algorithm>
#include <cfloat>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <random>
#include <string>
#include <thread>
#include <vector>

#include "MyFunc.h"

namespace {

constexpr long double ReduceLimit = 0x1.921fb54442d18468p11L;  // the long double below 1024 pi
constexpr long double Inf = INFINITY;
constexpr long double PiLd = 0x1.921fb54442d1846ap1L;  // the long double nearest pi

int Scale() {
    const char* text = std::getenv("PARDIM_TRIG_COUNT");
    return text && std::atoi(text) > 0 ? std::atoi(text) : 1;
}

std::mt19937_64 Rng(20261208);

long double Unit() { return static_cast<long double>(Rng()) * 0x1p-64L; }  // [0, 1), 64 bits

long double RandomSign(long double x) { return Rng() % 2 ? -x : x; }

// A random significand in [1/2, 1) times 2^exp; every 64-bit pattern can come up.
long double Binade(int exp) { return std::ldexp(0.5L + Unit() / 2, exp); }

bool SameBits(long double a, long double b) {
    return (std::isnan(a) && std::isnan(b)) || std::memcmp(&a, &b, 10) == 0;
}

std::string Hex(long double x) {
    char text[64];
    return std::string(text,
                       std::to_chars(text, text + sizeof text, x, std::chars_format::hex).ptr);
}

// MPFR as the hardware would round: subnormal results on the subnormal grid. One per thread, as
// MPFR keeps its exponent range per thread.
class TReference {
public:
    TReference() {
        mpfr_set_emin(-16444);
        mpfr_set_emax(16384);
        mpfr_inits2(64, A, B, S, C, TwoPi, static_cast<mpfr_ptr>(nullptr));
        mpfr_const_pi(TwoPi, MPFR_RNDN);
        mpfr_mul_2ui(TwoPi, TwoPi, 1, MPFR_RNDN);  // the long double nearest 2 pi
    }
    ~TReference() {
        mpfr_clears(A, B, S, C, TwoPi, static_cast<mpfr_ptr>(nullptr));
        mpfr_free_cache2(MPFR_FREE_LOCAL_CACHE);  // this thread's constants
    }

    // Beyond 1024 pi, of the argument's remainder by the long double nearest 2 pi.
    void SinCos(long double x, long double& s, long double& c) {
        mpfr_set_ld(A, x, MPFR_RNDN);
        if (std::fabs(x) > ReduceLimit) mpfr_fmod(A, A, TwoPi, MPFR_RNDN);  // exact
        int ternary = mpfr_sin_cos(S, C, A, MPFR_RNDN) & 3;  // the sine's: 1 above, 2 below
        mpfr_subnormalize(S, ternary == 1 ? 1 : -(ternary == 2), MPFR_RNDN);
        s = mpfr_get_ld(S, MPFR_RNDN);
        c = mpfr_get_ld(C, MPFR_RNDN);
    }

    long double Atan2(long double y, long double x) {
        mpfr_set_ld(A, y, MPFR_RNDN);
        mpfr_set_ld(B, x, MPFR_RNDN);
        mpfr_subnormalize(S, mpfr_atan2(S, A, B, MPFR_RNDN), MPFR_RNDN);
        return mpfr_get_ld(S, MPFR_RNDN);
    }

private:
    mpfr_t A, B, S, C, TwoPi;
};

struct TArgs {
    TArgs() = default;
    TArgs(long double a, long double b = 0) : A(a), B(b) {}
    long double A = 0, B = 0;
};

enum class TKind { SinCos, Atan2 };

// Every case against the reference, in two threads; fallback runs the fixed-point path alone.
void ExpectCorrectlyRounded(TKind kind, const std::vector<TArgs>& cases, bool fallback = false) {
    std::vector<std::string> misses[2];
    std::size_t counts[2] = {0, 0};
    auto check = [&](int part) {
        TReference reference;
        auto report = [&](const char* name, TArgs c, long double got, long double want) {
            if (SameBits(got, want)) return;
            if (++counts[part] <= 5) {
                misses[part].push_back(std::string(name) + "(" + Hex(c.A) + ", " + Hex(c.B) +
                                       ") = " + Hex(got) + ", want " + Hex(want));
            }
        };
        for (std::size_t i = part; i < cases.size(); i += 2) {
            TArgs c = cases[i];
            if (kind == TKind::SinCos) {
                long double s, co;
                reference.SinCos(c.A, s, co);
                report("sin", c, fallback ? ExtSinByFallback(c.A) : ExtSin(c.A), s);
                report("cos", c, fallback ? ExtCosByFallback(c.A) : ExtCos(c.A), co);
            } else {
                long double got = fallback ? ExtAtan2ByFallback(c.A, c.B) : ExtAtan2(c.A, c.B);
                report("atan2", c, got, reference.Atan2(c.A, c.B));
            }
        }
    };
    std::thread other(check, 1);
    check(0);
    other.join();
    for (const auto& part : misses) {
        for (const auto& miss : part) ADD_FAILURE() << miss;
    }
    EXPECT_EQ(counts[0] + counts[1], 0u) << "misrounded of " << cases.size() << " arguments";
}

// x and its 64 neighbours on either side.
void AddAround(std::vector<TArgs>& cases, long double x, long double b = 0) {
    long double below = x, above = x;
    cases.push_back({x, b});
    for (int i = 0; i < 64; ++i) {
        cases.push_back({below = std::nextafter(below, -Inf), b});
        cases.push_back({above = std::nextafter(above, Inf), b});
    }
}

// The long double nearest k pi / 4.
long double QuarterPi(int k) {
    mpfr_t x;
    mpfr_init2(x, 256);
    mpfr_const_pi(x, MPFR_RNDN);
    mpfr_mul_si(x, x, k, MPFR_RNDN);
    mpfr_div_2ui(x, x, 2, MPFR_RNDN);
    long double nearest = mpfr_get_ld(x, MPFR_RNDN);
    mpfr_clear(x);
    return nearest;
}

TEST(ExtSinCos, CorrectlyRoundedOnRandomArguments) {
    std::vector<TArgs> cases;
    for (int i = 0; i < 350000 * Scale(); ++i) cases.push_back({14 * Unit() - 7});
    while (cases.size() < 600000u * Scale()) {  // every binade from 2^-32 to 1024 pi
        long double x = RandomSign(Binade(-31 + static_cast<int>(Rng() % 43)));
        if (std::fabs(x) <= ReduceLimit) cases.push_back({x});
    }
    ExpectCorrectlyRounded(TKind::SinCos, cases);
}

TEST(ExtSinCos, CorrectlyRoundedAroundMultiplesOfQuarterPi) {
    std::vector<TArgs> cases;
    for (int k = -4096; k <= 4096; k += std::max(1, 8 / Scale())) AddAround(cases, QuarterPi(k));
    ExpectCorrectlyRounded(TKind::SinCos, cases);
}

// The angles the construction turns by: AngleRad's of vectors near an axis, as long double, with
// 2 pi added, as double, and through degrees.
TEST(ExtSinCos, CorrectlyRoundedOnAnglesOfAxisNearVectors) {
    std::vector<TArgs> cases;
    for (int i = 0; i < 60000 * Scale(); ++i) {
        double e = static_cast<double>(std::ldexp(2 * Unit() - 1, -static_cast<int>(Rng() % 60)));
        double dx[] = {1, -e, -1, e}, dy[] = {e, 1, -e, -1};
        int q = static_cast<int>(Rng() % 4);
        long double t = ExtAtan2(dy[q], dx[q]);
        cases.push_back({t});
        cases.push_back({t < 0 ? t + TwoPi : t - TwoPi});
        cases.push_back({static_cast<double>(t)});
        cases.push_back({AngleDeg(dx[q], dy[q]) / 180.0L * Pi});
    }
    ExpectCorrectlyRounded(TKind::SinCos, cases);
}

TEST(ExtSinCos, CorrectlyRoundedOnTinyAndHugeArguments) {
    std::vector<TArgs> cases;
    for (int i = 0; i < 30000 * Scale(); ++i) {  // down to the least subnormal
        cases.push_back({RandomSign(Binade(-static_cast<int>(Rng() % 16430) - 16))});
    }
    // Just off a midpoint, beyond what the fast path can decide: cos(m 2^-32) = 1 - m^2 2^-65 +
    // m^4 2^-128 / 24 - ..., and x^3/6 is an odd number of half ulps for these x.
    for (int m = 1; m < 64; m += 2) cases.push_back({m * 0x1p-32L});
    for (long double x : {0x3p-31L, 0x9p-30L, 0xfp-30L}) cases.insert(cases.end(), {{x}, {-x}});
    for (int i = 0; i < 4000 * Scale(); ++i) {  // by the remainder, up to the largest
        cases.push_back({RandomSign(Binade(13 + static_cast<int>(Rng() % 16372)))});
    }
    AddAround(cases, ReduceLimit);
    AddAround(cases, -ReduceLimit);
    for (int k : {12, 100, 16381}) cases.push_back({std::ldexp(0x1.921fb54442d1846ap2L, k)});
    cases.insert(cases.end(), {{LDBL_MAX}, {-LDBL_MAX}, {LDBL_TRUE_MIN}, {-0.0L}, {0.0L}});
    ExpectCorrectlyRounded(TKind::SinCos, cases);
}

TEST(ExtSinCos, FallbackCorrectlyRoundedOnItsOwn) {
    std::vector<TArgs> cases;
    for (int i = 0; i < 1500 * Scale(); ++i) {
        cases.push_back({RandomSign(ReduceLimit * Unit())});
        cases.push_back({RandomSign(Binade(-31 + static_cast<int>(Rng() % 43)))});
    }
    ExpectCorrectlyRounded(TKind::SinCos, cases, true);
}

TEST(ExtSinCos, ExactValues) {
    struct {
        long double x, wantSin, wantCos;
    } cases[] = {
        // The long doubles nearest pi/2 and pi lie above them by 0x1.d9cceba3f91f1976p-66 and
        // twice that, which their cosine and sine give back.
        {PiLd / 2, 1, -0x1.d9cceba3f91f1976p-66L},
        {Pi, -0x1.d9cceba3f91f1976p-65L, -1},
        {-0.0L, -0.0L, 1},
        {0x1p-40L, 0x1p-40L, 1},
        {1, 0x1.aed548f090cee042p-1L, 0x1.14a280fb5068b924p-1L},
    };
    for (auto c : cases) {
        EXPECT_TRUE(SameBits(ExtSin(c.x), c.wantSin)) << Hex(c.x) << " " << Hex(ExtSin(c.x));
        EXPECT_TRUE(SameBits(ExtCos(c.x), c.wantCos)) << Hex(c.x) << " " << Hex(ExtCos(c.x));
    }
    for (long double x : {Inf, -Inf, static_cast<long double>(NAN)}) {
        EXPECT_TRUE(std::isnan(ExtSin(x)) && std::isnan(ExtCos(x))) << Hex(x);
    }
}

TEST(ExtAtan2, CorrectlyRoundedOnRandomAndIntegerVectors) {
    std::vector<TArgs> cases;
    for (int i = 0; i < 300000 * Scale(); ++i) {
        int exp = static_cast<int>(Rng() % 201) - 100;
        cases.push_back({std::ldexp(2 * Unit() - 1, exp), std::ldexp(2 * Unit() - 1, exp)});
    }
    for (int y = -160; y <= 160; ++y) {
        for (int x = -160; x <= 160; ++x) cases.push_back({static_cast<long double>(y), x * 1.0L});
    }
    ExpectCorrectlyRounded(TKind::Atan2, cases);
}

// Near the axes, and with |y| within 64 ulps of |x|.
TEST(ExtAtan2, CorrectlyRoundedNearTheAxesAndTheDiagonals) {
    std::vector<TArgs> cases;
    for (int i = 0; i < 200000 * Scale(); ++i) {
        long double big = RandomSign(Binade(static_cast<int>(Rng() % 41) - 20));
        long double small = big * RandomSign(Binade(-static_cast<int>(Rng() % 70)));
        cases.push_back(Rng() % 2 ? TArgs{small, big} : TArgs{big, small});
    }
    for (int i = 0; i < 1200 * Scale(); ++i) {
        long double x = RandomSign(Binade(static_cast<int>(Rng() % 41) - 20));
        AddAround(cases, RandomSign(x), x);
    }
    ExpectCorrectlyRounded(TKind::Atan2, cases);
}

TEST(ExtAtan2, CorrectlyRoundedOnTinyAndHugeVectors) {
    std::vector<TArgs> cases;
    auto exp = [](int from, int to) { return from + static_cast<int>(Rng() % (to - from + 1)); };
    for (int i = 0; i < 50000 * Scale(); ++i) {
        cases.push_back({RandomSign(Binade(exp(-16444, 16384))),  // any sizes
                         RandomSign(Binade(exp(-16444, 16384)))});
        int e = exp(-16444, 16384);  // both tiny or both huge, and results among the subnormals
        cases.push_back({RandomSign(Binade(e)), RandomSign(Binade(e + exp(-60, 60)))});
        int x = exp(-60, 16384);
        cases.push_back({RandomSign(Binade(x - 16382 - exp(0, 70))), Binade(x)});
    }
    ExpectCorrectlyRounded(TKind::Atan2, cases);
}

// (x, y) with integer coordinates below 2^64 (y scaled by a power of two) whose angle lies
// within about 2^-126 of its size from mid, a midpoint between two long doubles in (0, pi):
// the convergents of the continued fraction of the reduced angle's tangent.
TArgs NearMidpoint(long double angle, bool above) {
    mpfr_t mid, t, a;
    mpfr_inits2(512, mid, t, a, static_cast<mpfr_ptr>(nullptr));
    mpfr_set_ld(mid, angle, MPFR_RNDN);
    mpfr_set_ld(t, std::nextafter(angle, above ? Inf : 0), MPFR_RNDN);
    mpfr_add(mid, mid, t, MPFR_RNDN);
    mpfr_div_2ui(mid, mid, 1, MPFR_RNDN);
    int octant = static_cast<int>(angle / (PiLd / 4));  // 0..3
    mpfr_const_pi(a, MPFR_RNDN);
    mpfr_mul_si(a, a, (octant + 1) / 2, MPFR_RNDN);
    mpfr_div_2ui(a, a, 1, MPFR_RNDN);
    if (octant % 2) {
        mpfr_sub(t, a, mid, MPFR_RNDN);  // the reduced angle
    } else {
        mpfr_sub(t, mid, a, MPFR_RNDN);
    }
    mpfr_tan(t, t, MPFR_RNDN);
    long exp2 = 0;
    mpfr_get_d_2exp(&exp2, t, MPFR_RNDN);
    mpfr_div_2si(t, t, exp2, MPFR_RNDN);  // in [1/2, 1)
    std::uint64_t p[2] = {1, 0}, q[2] = {0, 1};
    for (int i = 0; i < 200 && !mpfr_zero_p(t); ++i) {  // convergents p/q, q below 2^64
        mpfr_ui_div(t, 1, t, MPFR_RNDN);
        std::uint64_t term = mpfr_get_ui(t, MPFR_RNDZ), nextP, nextQ;
        mpfr_sub_ui(t, t, term, MPFR_RNDN);
        if (__builtin_mul_overflow(term, q[1], &nextQ) ||
            __builtin_add_overflow(nextQ, q[0], &nextQ))
            break;
        nextP = term * p[1] + p[0];  // below nextQ
        p[0] = p[1], q[0] = q[1], p[1] = nextP, q[1] = nextQ;
    }
    mpfr_clears(mid, t, a, static_cast<mpfr_ptr>(nullptr));
    // Keep y normal by moving a tiny scale into x.
    long shiftY = std::max(exp2, -16300L), shiftX = shiftY - exp2;
    long double small = std::ldexp(static_cast<long double>(p[1]), static_cast<int>(shiftY));
    long double big = std::ldexp(static_cast<long double>(q[1]), static_cast<int>(shiftX));
    TArgs xy[] = {{big, small}, {small, big}, {-small, big}, {-big, small}};
    return {xy[octant].B, xy[octant].A};
}

TEST(ExtAtan2, CorrectlyRoundedJustOffMidpoints) {
    std::vector<TArgs> cases;
    for (int i = 0; i < 1500 * Scale(); ++i) {
        long double angle = i % 3 ? PiLd * Unit() : Binade(-40 - static_cast<int>(Rng() % 16000));
        if (angle == 0 || angle >= PiLd) continue;
        TArgs c = NearMidpoint(angle, Rng() % 2);
        cases.push_back(Rng() % 2 ? TArgs{-c.A, c.B} : c);
    }
    ExpectCorrectlyRounded(TKind::Atan2, cases);
    cases.resize(cases.size() / 3);
    ExpectCorrectlyRounded(TKind::Atan2, cases, true);
}

TEST(ExtAtan2, FallbackCorrectlyRoundedOnItsOwn) {
    std::vector<TArgs> cases;
    for (int i = 0; i < 2000 * Scale(); ++i) {
        int exp = static_cast<int>(Rng() % 201) - 100;
        int apart = -static_cast<int>(Rng() % 300);
        cases.push_back({std::ldexp(2 * Unit() - 1, exp), std::ldexp(2 * Unit() - 1, exp)});
        cases.push_back({RandomSign(Binade(exp + apart)), RandomSign(Binade(exp))});
    }
    ExpectCorrectlyRounded(TKind::Atan2, cases, true);
}

TEST(ExtAtan2, ZerosAndInfinitiesAsTheCLibrary) {
    const long double halfPi = PiLd / 2, quarterPi = PiLd / 4,
                      threeQuarters = 0x1.2d97c7f3321d235p1L;
    struct {
        long double y, x, want;
    } cases[] = {
        {0.0L, 0.0L, 0.0L},
        {-0.0L, 0.0L, -0.0L},
        {0.0L, -0.0L, PiLd},
        {-0.0L, -0.0L, -PiLd},
        {0.0L, 5, 0.0L},
        {-0.0L, 5, -0.0L},
        {0.0L, -5, PiLd},
        {-0.0L, -5, -PiLd},
        {3, 0.0L, halfPi},
        {-3, -0.0L, -halfPi},
        {Inf, Inf, quarterPi},
        {-Inf, Inf, -quarterPi},
        {Inf, -Inf, threeQuarters},
        {-Inf, -Inf, -threeQuarters},
        {Inf, 7, halfPi},
        {-Inf, -7, -halfPi},
        {7, Inf, 0.0L},
        {-7, Inf, -0.0L},
        {7, -Inf, PiLd},
        {-7, -Inf, -PiLd},
        {1, 1, quarterPi},
        {-1, -1, -threeQuarters},
        {LDBL_TRUE_MIN, LDBL_MAX, 0.0L},
        {-LDBL_MAX, LDBL_TRUE_MIN, -halfPi},
    };
    TReference reference;
    for (auto c : cases) {
        SCOPED_TRACE(Hex(c.y) + " " + Hex(c.x));
        EXPECT_TRUE(SameBits(ExtAtan2(c.y, c.x), c.want)) << Hex(ExtAtan2(c.y, c.x));
        EXPECT_TRUE(SameBits(reference.Atan2(c.y, c.x), c.want));
    }
    EXPECT_TRUE(std::isnan(ExtAtan2(NAN, 1)));
    EXPECT_TRUE(std::isnan(ExtAtan2(1, NAN)));
}

}  // namespace
