// The x87 long double taken apart and put together again, and the double-long-double pair: what
// the trigonometry's kernels and its fixed-point fallback share. Internal to the core.
#pragma once

#include <cfloat>
#include <cstdint>
#include <cstring>

// The x87 format, little-endian on every target of ours: 64 significand bits with the leading
// bit explicit, then the exponent (15 bits, biased by 16383) and the sign.
static_assert(LDBL_MANT_DIG == 64 && LDBL_MAX_EXP == 16384, "long double must be x87 80-bit");
inline constexpr int ExpBias = 16383;
inline constexpr int LeastSubnormalExp = -16445;

inline bool SignBit(long double x) {
    unsigned char bytes[10];
    std::memcpy(bytes, &x, sizeof bytes);
    return (bytes[9] & 0x80) != 0;
}

// |x| = Mant * 2^(Exp - 63) with the top bit of Mant set, subnormal x included.
struct TParts {
    std::uint64_t Mant;
    int Exp;
};

inline TParts Decompose(long double x) {  // x finite and nonzero
    unsigned char bytes[10];
    std::memcpy(bytes, &x, sizeof bytes);
    std::uint64_t mant = 0;
    for (int i = 7; i >= 0; --i) mant = mant << 8 | bytes[i];
    int biased = (bytes[9] & 0x7f) << 8 | bytes[8];
    int exp = biased - ExpBias;
    if (biased == 0) {
        for (exp = 1 - ExpBias; !(mant >> 63); --exp) mant <<= 1;
    }
    return {mant, exp};
}

// +-mant * 2^exp, which must be representable (normal or subnormal).
inline long double Compose(bool negative, std::uint64_t mant, int exp) {
    int biased = 0;
    if (mant != 0) {
        for (; !(mant >> 63); --exp) mant <<= 1;
        biased = exp + 63 + ExpBias;
        if (biased < 1) {
            mant >>= 1 - biased;
            biased = 0;
        }
    }
    unsigned char bytes[10];
    for (int i = 0; i < 8; ++i) bytes[i] = static_cast<unsigned char>(mant >> 8 * i);
    bytes[8] = static_cast<unsigned char>(biased);
    bytes[9] = static_cast<unsigned char>(biased >> 8 | (negative ? 0x80 : 0));
    long double x = 0;
    std::memcpy(&x, bytes, sizeof bytes);
    return x;
}

inline long double Pow2(int exp) { return Compose(false, 1, exp); }  // normal exponents only

// Double-long-double: Hi + Lo with |Lo| at most half an ulp of Hi. u = 2^-64 below.
struct TDld {
    long double Hi, Lo;
};
