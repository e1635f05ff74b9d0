// ExtSin, ExtCos and ExtAtan2 against MPFR (64 bits, round to nearest, long double's exponent
// range): every result must be the correctly rounded one. PARDIM_TRIG_COUNT=n runs n times as
// many arguments.
#include <gmp.h>
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
#include <utility>
#include <vector>

#include "MyFunc.h"
#include "MyFuncTrigFallback.h"

namespace {

constexpr long double Inf = INFINITY;
constexpr long double PiLd = 0x1.921fb54442d1846ap1L;          // the long double nearest pi
constexpr long double ReduceLimit = 0x1.921fb54442d18468p11L;  // the long double below 1024 pi
const char* const CountText = std::getenv("PARDIM_TRIG_COUNT");
const int Scale = std::max(1, CountText ? std::atoi(CountText) : 1);

// MPFR allocates temporaries in every call; the sanitizer's bookkeeping of them (stacks,
// quarantine) would take more time than the checks. They need no checking of ours: glibc's own
// allocator.
extern "C" void* __libc_malloc(std::size_t);
extern "C" void* __libc_realloc(void*, std::size_t);
extern "C" void __libc_free(void*);
const bool PlainAllocator = [] {
    mp_set_memory_functions(
        __libc_malloc, [](void* p, std::size_t, std::size_t n) { return __libc_realloc(p, n); },
        [](void* p, std::size_t) { __libc_free(p); });
    return true;
}();

std::mt19937_64 Rng(20261208);

long double Unit() { return static_cast<long double>(Rng()) * 0x1p-64L; }  // [0, 1), 64 bits

int Between(int from, int to) { return from + static_cast<int>(Rng() % (to - from + 1)); }

// A random significand in [1/2, 1) times 2^exp, with a random sign.
long double Binade(int exp) { return std::ldexp((Rng() % 2 ? -0.5L : 0.5L) * (1 + Unit()), exp); }

std::string Hex(long double x) {
    char text[64];
    return std::string(text,
                       std::to_chars(text, text + sizeof text, x, std::chars_format::hex).ptr);
}

bool SameBits(long double a, long double b) {
    return (std::isnan(a) && std::isnan(b)) || std::memcmp(&a, &b, 10) == 0;
}

struct TArgs {
    long double A, B = 0;
};

// MPFR's result on long double's grid, subnormals included. One per thread, as MPFR keeps its
// exponent range per thread.
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
        mpfr_free_cache2(MPFR_FREE_LOCAL_CACHE);
    }
    // Beyond 1024 pi, those of the remainder by the long double nearest 2 pi.
    void SinCos(long double x, long double& s, long double& c) {
        mpfr_set_ld(A, x, MPFR_RNDN);
        if (std::fabs(x) > ReduceLimit) mpfr_fmod(A, A, TwoPi, MPFR_RNDN);  // exact
        int ternary = mpfr_sin_cos(S, C, A, MPFR_RNDN) & 3;  // the sine's: 1 above, 2 below
        s = Get(S, ternary == 1 ? 1 : -(ternary == 2));
        c = Get(C, 0);
    }
    long double Atan2(long double y, long double x) {
        mpfr_set_ld(A, y, MPFR_RNDN);
        mpfr_set_ld(B, x, MPFR_RNDN);
        return Get(S, mpfr_atan2(S, A, B, MPFR_RNDN));
    }

private:
    static long double Get(mpfr_t r, int ternary) {
        mpfr_subnormalize(r, ternary, MPFR_RNDN);
        return mpfr_get_ld(r, MPFR_RNDN);
    }
    mpfr_t A, B, S, C, TwoPi;
};

// Every case against the reference, in two threads; fallback checks the fixed-point path alone.
void ExpectCorrectlyRounded(bool atan2, const std::vector<TArgs>& cases, bool fallback = false) {
    std::vector<std::string> misses[2];
    auto check = [&](int part) {
        TReference reference;
        auto expect = [&](const char* name, TArgs c, long double got, long double want) {
            if (!SameBits(got, want)) {
                misses[part].push_back(std::string(name) + "(" + Hex(c.A) + ", " + Hex(c.B) +
                                       ") = " + Hex(got) + ", want " + Hex(want));
            }
        };
        long double s, c;
        for (std::size_t i = part; i < cases.size(); i += 2) {
            TArgs a = cases[i];
            if (atan2) {
                expect("atan2", a, fallback ? ExtAtan2ByFallback(a.A, a.B) : ExtAtan2(a.A, a.B),
                       reference.Atan2(a.A, a.B));
                continue;
            }
            reference.SinCos(a.A, s, c);
            expect("sin", a, fallback ? ExtSinByFallback(a.A) : ExtSin(a.A), s);
            expect("cos", a, fallback ? ExtCosByFallback(a.A) : ExtCos(a.A), c);
        }
    };
    std::thread other(check, 1);
    check(0);
    other.join();
    misses[0].insert(misses[0].end(), misses[1].begin(), misses[1].end());
    for (std::size_t i = 0; i < std::min<std::size_t>(misses[0].size(), 10); ++i) {
        ADD_FAILURE() << misses[0][i];
    }
    EXPECT_EQ(misses[0].size(), 0u) << "misrounded, of " << cases.size() << " arguments";
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

TEST(ExtSinCos, CorrectlyRoundedOnRandomArguments) {
    std::vector<TArgs> cases;
    for (int i = 0; i < 350000 * Scale; ++i) cases.push_back({14 * Unit() - 7});
    while (cases.size() < 600000u * Scale) {  // every binade from 2^-32 to 1024 pi
        long double x = Binade(Between(-31, 12));
        if (std::fabs(x) <= ReduceLimit) cases.push_back({x});
    }
    ExpectCorrectlyRounded(false, cases);
}

TEST(ExtSinCos, CorrectlyRoundedAroundMultiplesOfQuarterPi) {
    std::vector<TArgs> cases;
    mpfr_t x;
    mpfr_init2(x, 256);
    for (int k = -4096; k <= 4096; k += std::max(1, 8 / Scale)) {
        mpfr_const_pi(x, MPFR_RNDN);
        mpfr_mul_si(x, x, k, MPFR_RNDN);
        AddAround(cases, mpfr_get_ld(x, MPFR_RNDN) / 4);  // the long double nearest k pi/4
    }
    mpfr_clear(x);
    ExpectCorrectlyRounded(false, cases);
}

// The angles the construction turns by: AngleRad's of vectors near an axis, as long double, with
// 2 pi added, as double, and through degrees.
TEST(ExtSinCos, CorrectlyRoundedOnAnglesOfAxisNearVectors) {
    std::vector<TArgs> cases;
    for (int i = 0; i < 60000 * Scale; ++i) {
        double e = static_cast<double>(Binade(-Between(0, 60)));
        double dx[] = {1, -e, -1, e}, dy[] = {e, 1, -e, -1};
        int q = Between(0, 3);
        long double t = ExtAtan2(dy[q], dx[q]);
        cases.insert(cases.end(), {{t},
                                   {t < 0 ? t + TwoPi : t - TwoPi},
                                   {static_cast<double>(t)},
                                   {AngleDeg(dx[q], dy[q]) / 180.0L * Pi}});
    }
    ExpectCorrectlyRounded(false, cases);
}

TEST(ExtSinCos, CorrectlyRoundedOnTinyAndHugeArguments) {
    std::vector<TArgs> cases;
    for (int i = 0; i < 30000 * Scale; ++i) cases.push_back({Binade(Between(-16445, -16))});
    for (int i = 0; i < 4000 * Scale; ++i) cases.push_back({Binade(Between(13, 16384))});
    // Just off a midpoint, beyond what the fast path decides: cos(m 2^-32) = 1 - m^2 2^-65 +
    // m^4 2^-128 / 24 - ..., and x^3/6 is an odd number of half ulps for these x.
    for (int m = 1; m < 64; m += 2) cases.push_back({m * 0x1p-32L});
    for (long double x : {0x3p-31L, 0x9p-30L, 0xfp-30L}) cases.insert(cases.end(), {{x}, {-x}});
    AddAround(cases, ReduceLimit);
    AddAround(cases, -ReduceLimit);
    for (int k : {12, 100, 16381}) cases.push_back({std::ldexp(2 * PiLd, k)});  // remainder 0
    cases.insert(cases.end(), {{LDBL_MAX}, {-LDBL_MAX}, {LDBL_TRUE_MIN}, {-0.0L}, {0.0L}});
    ExpectCorrectlyRounded(false, cases);
}

TEST(ExtSinCos, FallbackCorrectlyRoundedOnItsOwn) {
    std::vector<TArgs> cases;
    for (int i = 0; i < 1500 * Scale; ++i) {
        cases.insert(cases.end(), {{(2 * Unit() - 1) * ReduceLimit}, {Binade(Between(-31, 12))}});
    }
    ExpectCorrectlyRounded(false, cases, true);
}

TEST(ExtSinCos, ExactValues) {
    struct {
        long double x, wantSin, wantCos;
    } cases[] = {
        // The long doubles nearest pi/2 and pi lie above them by 0x1.d9cceba3f91f1976p-66 and
        // twice that, which their cosine and sine give back.
        {PiLd / 2, 1, -0x1.d9cceba3f91f1976p-66L},
        {Pi, -0x1.d9cceba3f91f1976p-65L, -1},
        {1, 0x1.aed548f090cee042p-1L, 0x1.14a280fb5068b924p-1L},
        {0x1p-40L, 0x1p-40L, 1},
        {-0.0L, -0.0L, 1},
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
    for (int i = 0; i < 400000 * Scale; ++i) {
        int exp = Between(-100, 100);
        cases.push_back({std::ldexp(2 * Unit() - 1, exp), std::ldexp(2 * Unit() - 1, exp)});
    }
    for (int y = -160; y <= 160; ++y) {
        for (int x = -160; x <= 160; ++x) cases.push_back({y * 1.0L, x * 1.0L});
    }
    ExpectCorrectlyRounded(true, cases);
}

// Near the axes, and with |y| within 64 ulps of |x|.
TEST(ExtAtan2, CorrectlyRoundedNearTheAxesAndTheDiagonals) {
    std::vector<TArgs> cases;
    for (int i = 0; i < 200000 * Scale; ++i) {
        long double big = Binade(Between(-20, 20)), small = big * Binade(-Between(0, 70));
        cases.push_back(Rng() % 2 ? TArgs{small, big} : TArgs{big, small});
    }
    for (int i = 0; i < 1200 * Scale; ++i) {
        long double x = Binade(Between(-20, 20));
        AddAround(cases, Rng() % 2 ? -x : x, x);
    }
    ExpectCorrectlyRounded(true, cases);
}

// Any sizes; both tiny or both huge; quotients among the subnormals.
TEST(ExtAtan2, CorrectlyRoundedOnTinyAndHugeVectors) {
    std::vector<TArgs> cases;
    for (int i = 0; i < 50000 * Scale; ++i) {
        int e = Between(-16444, 16384), x = Between(-60, 16384);
        cases.insert(cases.end(), {{Binade(Between(-16444, 16384)), Binade(e)},
                                   {Binade(e), Binade(e + Between(-60, 60))},
                                   {Binade(x - 16382 - Between(0, 70)), Binade(x)}});
    }
    ExpectCorrectlyRounded(true, cases);
}

// (y, x) whose angle lies within about 2^-126 of its size from the midpoint next to angle, a
// long double in (0, pi): the reduced angle's tangent by its continued fraction's convergents,
// with denominators below 2^64 (and y scaled by a power of two).
TArgs NearMidpoint(long double angle) {
    mpfr_t mid, t;
    mpfr_inits2(512, mid, t, static_cast<mpfr_ptr>(nullptr));
    mpfr_set_ld(mid, angle, MPFR_RNDN);
    mpfr_set_ld(t, std::nextafter(angle, Inf), MPFR_RNDN);
    mpfr_add(mid, mid, t, MPFR_RNDN);
    mpfr_div_2ui(mid, mid, 1, MPFR_RNDN);
    int octant = static_cast<int>(angle / (PiLd / 4));  // the reduced angle: mid less a multiple
    mpfr_const_pi(t, MPFR_RNDN);                        // of pi/2, or that multiple less mid
    mpfr_mul_si(t, t, (octant + 1) / 2, MPFR_RNDN);
    mpfr_div_2ui(t, t, 1, MPFR_RNDN);
    (octant % 2 ? mpfr_sub(t, t, mid, MPFR_RNDN) : mpfr_sub(t, mid, t, MPFR_RNDN));
    mpfr_tan(t, t, MPFR_RNDN);
    long exp = 0;
    mpfr_get_d_2exp(&exp, t, MPFR_RNDN);
    mpfr_div_2si(t, t, exp, MPFR_RNDN);  // in [1/2, 1)
    std::uint64_t p[2] = {1, 0}, q[2] = {0, 1}, term, nextQ;
    for (int i = 0; i < 200 && !mpfr_zero_p(t); ++i) {
        mpfr_ui_div(t, 1, t, MPFR_RNDN);
        mpfr_sub_ui(t, t, term = mpfr_get_ui(t, MPFR_RNDZ), MPFR_RNDN);
        if (__builtin_mul_overflow(term, q[1], &nextQ) ||
            __builtin_add_overflow(nextQ, q[0], &nextQ))
            break;
        p[0] = std::exchange(p[1], term * p[1] + p[0]);
        q[0] = std::exchange(q[1], nextQ);
    }
    mpfr_clears(mid, t, static_cast<mpfr_ptr>(nullptr));
    long shiftY = std::max(exp, -16300L);  // keeps y normal; x takes the rest
    long double small = std::ldexp(static_cast<long double>(p[1]), static_cast<int>(shiftY));
    long double big = std::ldexp(static_cast<long double>(q[1]), static_cast<int>(shiftY - exp));
    TArgs yx[] = {{small, big}, {big, small}, {big, -small}, {small, -big}};
    return yx[octant];
}

TEST(ExtAtan2, CorrectlyRoundedJustOffMidpoints) {
    std::vector<TArgs> cases;
    for (int i = 0; i < 1500 * Scale; ++i) {
        long double angle = i % 3 ? PiLd * Unit() : std::fabs(Binade(-Between(40, 16040)));
        TArgs c = NearMidpoint(angle > 0 ? angle : 1);
        cases.push_back(Rng() % 2 ? TArgs{-c.A, c.B} : c);
    }
    ExpectCorrectlyRounded(true, cases);
    cases.resize(cases.size() / 3);
    ExpectCorrectlyRounded(true, cases, true);
}

TEST(ExtAtan2, FallbackCorrectlyRoundedOnItsOwn) {
    std::vector<TArgs> cases;
    for (int i = 0; i < 2000 * Scale; ++i) {
        int exp = Between(-100, 100);
        cases.insert(cases.end(),
                     {{std::ldexp(2 * Unit() - 1, exp), std::ldexp(2 * Unit() - 1, exp)},
                      {Binade(exp - Between(0, 300)), Binade(exp)}});
    }
    ExpectCorrectlyRounded(true, cases, true);
}

TEST(ExtAtan2, ZerosAndInfinitiesAsTheCLibrary) {
    const long double pi2 = PiLd / 2, pi4 = PiLd / 4, pi34 = 0x1.2d97c7f3321d235p1L;
    struct {
        long double y, x, want;
    } cases[] = {
        // clang-format off
        {0.0L, 0.0L, 0.0L}, {-0.0L, 0.0L, -0.0L}, {0.0L, -0.0L, PiLd}, {-0.0L, -0.0L, -PiLd},
        {0.0L, 5, 0.0L}, {-0.0L, 5, -0.0L}, {0.0L, -5, PiLd}, {-0.0L, -5, -PiLd},
        {3, 0.0L, pi2}, {-3, -0.0L, -pi2}, {Inf, 7, pi2}, {-Inf, -7, -pi2},
        {7, Inf, 0.0L}, {-7, Inf, -0.0L}, {7, -Inf, PiLd}, {-7, -Inf, -PiLd},
        {Inf, Inf, pi4}, {-Inf, Inf, -pi4}, {Inf, -Inf, pi34}, {-Inf, -Inf, -pi34},
        {1, 1, pi4}, {-1, -1, -pi34}, {LDBL_TRUE_MIN, LDBL_MAX, 0.0L}, {-LDBL_MAX, LDBL_TRUE_MIN, -pi2},
        // clang-format on
    };
    TReference reference;
    for (auto c : cases) {
        EXPECT_TRUE(SameBits(ExtAtan2(c.y, c.x), c.want)) << Hex(c.y) << " " << Hex(c.x);
        EXPECT_TRUE(SameBits(reference.Atan2(c.y, c.x), c.want)) << Hex(c.y) << " " << Hex(c.x);
    }
    EXPECT_TRUE(std::isnan(ExtAtan2(NAN, 1)) && std::isnan(ExtAtan2(1, NAN)));
}

// The fallback's 384-bit results before rounding, word by word against MPFR at 600 bits: a
// fault in the word arithmetic below the 128 bits that rounding needs shows here.
class TFixReference {
public:
    TFixReference() { mpfr_inits2(600, X, Y, Pi, static_cast<mpfr_ptr>(nullptr)); }
    ~TFixReference() { mpfr_clears(X, Y, Pi, static_cast<mpfr_ptr>(nullptr)); }

    // |got - exact * 2^shift| within the fallback's error bound (plus the reference's rounding).
    void Expect(const TFix& got, int shift, const std::string& what) {
        mpz_t z;
        mpz_init(z);
        mpz_import(z, got.size(), -1, sizeof got[0], 0, 0, got.data());
        mpfr_mul_2si(X, X, shift, MPFR_RNDN);
        mpfr_sub_z(X, X, z, MPFR_RNDN);
        mpz_clear(z);
        EXPECT_LE(mpfr_cmpabs_ui(X, FixError + 1), 0) << what;
    }
    void Atan(long double n, long double d, int scale) {  // X = atan(n / d 2^scale)
        mpfr_set_ld(X, n, MPFR_RNDN);
        mpfr_set_ld(Y, d, MPFR_RNDN);
        mpfr_div(X, X, Y, MPFR_RNDN);
        mpfr_mul_2si(X, X, scale, MPFR_RNDN);
        mpfr_atan(X, X, MPFR_RNDN);
    }
    mpfr_t X, Y, Pi;
};

TEST(Fallback, FixedPointResultsWithinTheirBound) {
    TFixReference ref;
    for (int i = 0; i < 300; ++i) {
        const long double a = i % 2 ? Unit() * ReduceLimit : std::fabs(Binade(Between(-31, 0)));
        const int k = static_cast<int>(a / (PiLd / 2) + 0.5L);
        for (bool cosine : {false, true}) {
            bool below = false;
            const TFix got = FixSinCosOfRemainder(a, k, cosine, below);
            mpfr_const_pi(ref.Pi, MPFR_RNDN);
            mpfr_mul_si(ref.Y, ref.Pi, k, MPFR_RNDN);
            mpfr_div_2ui(ref.Y, ref.Y, 1, MPFR_RNDN);
            mpfr_set_ld(ref.X, a, MPFR_RNDN);
            mpfr_sub(ref.X, ref.X, ref.Y, MPFR_RNDN);
            EXPECT_EQ(below, mpfr_sgn(ref.X) < 0) << Hex(a);
            mpfr_abs(ref.X, ref.X, MPFR_RNDN);
            cosine ? mpfr_cos(ref.X, ref.X, MPFR_RNDN) : mpfr_sin(ref.X, ref.X, MPFR_RNDN);
            ref.Expect(got, 384, (cosine ? "cos " : "sin ") + Hex(a));
        }
        // t = n / d 2^scale: the tiny series alone, then each octant by both of its paths.
        long double n = 1 + Unit(), d = 1 + Unit();
        if (n > d) std::swap(n, d);
        const int tiny = -Between(42, 225);
        ref.Atan(n, d, tiny);
        ref.Expect(FixAtanTiny(n, d, tiny), 384 - tiny, "atan tiny " + Hex(n) + " " + Hex(d));
        const int scale = i % 3 ? -Between(0, 41) : -Between(42, 300);
        const bool swap = Rng() % 2, xNegative = Rng() % 2;
        ref.Atan(n, d, scale);
        const TDld at = {mpfr_get_ld(ref.X, MPFR_RNDN), 0};
        mpfr_const_pi(ref.Pi, MPFR_RNDN);
        if (swap) {
            mpfr_div_2ui(ref.Y, ref.Pi, 1, MPFR_RNDN);
            xNegative ? mpfr_add(ref.X, ref.Y, ref.X, MPFR_RNDN)
                      : mpfr_sub(ref.X, ref.Y, ref.X, MPFR_RNDN);
        } else if (xNegative) {
            mpfr_sub(ref.X, ref.Pi, ref.X, MPFR_RNDN);
        }
        ref.Expect(FixAtanOctant(n, d, scale, swap, xNegative, at), 384,
                   "octant " + Hex(n) + " " + Hex(d) + " " + std::to_string(scale));
    }
}

}  // namespace
