// Prints the constants of MyFuncTrig*.cpp as C++ source: long doubles as hex literals (each the
// nearest to the exact value; a pair is the value and the nearest to what is left), the 53-bit
// pieces of pi/2 and pi/2 in 32-bit words for the fixed-point path. A developer tool, not built
// with the product:  g++ -std=c++20 TrigConst.cpp -lmpfr -lgmp && ./a.out
#include <gmp.h>
#include <mpfr.h>

#include <cstdio>
#include <string>

namespace {

constexpr mpfr_prec_t Work = 2000;

// x rounded to `bits` bits as a literal; x becomes what is left (x minus the literal).
std::string Take(mpfr_t x, int bits) {
    mpfr_t r;
    mpfr_init2(r, bits);
    mpfr_set(r, x, MPFR_RNDN);
    mpfr_sub(x, x, r, MPFR_RNDN);  // exact at Work bits
    std::string text = "0.0L";
    if (!mpfr_zero_p(r)) {
        mpz_t m;
        mpz_init(m);
        long e = mpfr_get_z_2exp(m, r);  // r = m * 2^e, |m| has `bits` bits
        bool negative = mpz_sgn(m) < 0;
        mpz_abs(m, m);
        mpz_clrbit(m, bits - 1);                       // the fraction after the leading 1
        mpz_mul_2exp(m, m, (4 - (bits - 1) % 4) % 4);  // whole hex digits
        char digits[64];
        gmp_snprintf(digits, sizeof digits, "%0*Zx", (bits - 1 + 3) / 4, m);
        std::string fraction = digits;
        while (!fraction.empty() && fraction.back() == '0') fraction.pop_back();
        text = std::string(negative ? "-" : "") + "0x1" + (fraction.empty() ? "" : ".") + fraction +
               "p" + std::to_string(e + bits - 1) + "L";
        mpz_clear(m);
    }
    mpfr_clear(r);
    return text;
}

void Pi(mpfr_t x, long num, long den) {
    mpfr_const_pi(x, MPFR_RNDN);
    mpfr_mul_si(x, x, num, MPFR_RNDN);
    mpfr_div_si(x, x, den, MPFR_RNDN);
}

void Pair(const char* name, mpfr_t x) {
    std::string hi = Take(x, 64);
    std::printf("constexpr TDld %s = {%s, %s};\n", name, hi.c_str(), Take(x, 64).c_str());
}

void Single(const char* name, mpfr_t x, mpfr_rnd_t mode = MPFR_RNDN) {
    mpfr_t r;
    mpfr_init2(r, 64);
    mpfr_set(r, x, mode);
    mpfr_set(x, r, MPFR_RNDN);
    std::printf("constexpr long double %s = %s;\n", name, Take(x, 64).c_str());
    mpfr_clear(r);
}

// Series coefficients sign^n / f(n) for n = 1..count; the first `pairs` as pairs.
template <typename F>
void Series(const char* name, int count, int pairs, F denominator) {
    mpfr_t x;
    mpfr_init2(x, Work);
    std::printf("constexpr TDld %sPairs[] = {\n", name);
    for (int n = 1; n <= count; ++n) {
        if (n == pairs + 1) std::printf("};\nconstexpr long double %sRest[] = {\n", name);
        mpfr_set_si(x, n % 2 ? -1 : 1, MPFR_RNDN);
        mpfr_div(x, x, denominator(n), MPFR_RNDN);
        std::string hi = Take(x, 64);
        if (n <= pairs) {
            std::printf("    {%s, %s},\n", hi.c_str(), Take(x, 64).c_str());
        } else {
            std::printf("    %s,\n", hi.c_str());
        }
    }
    std::printf("};\n");
    mpfr_clear(x);
}

mpfr_t Den;

mpfr_ptr Factorial(long n) {
    mpfr_fac_ui(Den, n, MPFR_RNDN);
    return Den;
}

mpfr_ptr Odd(long n) {
    mpfr_set_si(Den, 2 * n + 1, MPFR_RNDN);
    return Den;
}

}  // namespace

int main() {
    mpfr_t x;
    mpfr_init2(x, Work);
    mpfr_init2(Den, Work);

    std::printf("constexpr long double PiOver2Pieces[] = {");
    Pi(x, 1, 2);
    for (int i = 0; i < 4; ++i) std::printf("%s%s", i ? ", " : "", Take(x, 53).c_str());
    std::printf("};\n");
    Pi(x, 2, 1);
    mpfr_ui_div(x, 4, x, MPFR_RNDN);
    Single("TwoOverPi", x);
    Pi(x, 1024, 1);
    Single("ReduceLimit", x, MPFR_RNDD);
    Pi(x, 2, 1);
    Single("TwoPiNearest", x);
    Pi(x, 1, 1);
    Pair("PiPair", x);
    Pi(x, 1, 2);
    Pair("PiOver2Pair", x);
    Pi(x, 3, 4);
    Single("ThreePiOver4", x);

    Series("SinCoeff", 15, 8, [](long n) { return Factorial(2 * n + 1); });
    Series("CosCoeff", 16, 9, [](long n) { return Factorial(2 * n); });
    Series("AtanCoeff", 12, 5, Odd);

    std::printf("constexpr TDld AtanOfSixteenths[] = {\n");
    for (int j = 0; j <= 16; ++j) {
        mpfr_set_si(x, j, MPFR_RNDN);
        mpfr_div_si(x, x, 16, MPFR_RNDN);
        mpfr_atan(x, x, MPFR_RNDN);
        std::string hi = Take(x, 64);
        std::printf("    {%s, %s},\n", hi.c_str(), Take(x, 64).c_str());
    }
    std::printf("};\n");

    // pi/2 truncated to 384 fraction bits, least significant word first.
    Pi(x, 1, 2);
    mpfr_mul_2ui(x, x, 384, MPFR_RNDN);
    mpz_t m;
    mpz_init(m);
    mpfr_get_z(m, x, MPFR_RNDD);
    std::printf("constexpr TFix PiOver2Fix = {{");
    for (int i = 0; i < 13; ++i) {
        std::printf("%s0x%08lxu", i ? (i % 6 ? ", " : ",\n    ") : "",
                    mpz_getlimbn(m, 0) & 0xffffffffUL);
        mpz_fdiv_q_2exp(m, m, 32);
    }
    std::printf("}};\n");
    return 0;
}
