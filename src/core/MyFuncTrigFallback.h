// The trigonometry's fallback in 384-bit fixed point, taken when a fast result lies too near a
// rounding boundary (about once in 2^45 arguments). Internal to the core: the kernels call it,
// and the tests check its arithmetic to the last words.
#pragma once

#include <array>
#include <cstdint>

#include "MyFuncTrigParts.h"

// Fixed point for the fallback: 12 fraction words and one integer word, least significant
// first, read modulo 2^416 (two's complement where a difference may pass through zero).
inline constexpr int FixWords = 13;
inline constexpr int FixBits = 32 * FixWords;
inline constexpr int FixFracBits = FixBits - 32;
using TFix = std::array<std::uint32_t, FixWords>;

// Error bound of every fixed-point result, in units of 2^-384: the reduction's k times the
// truncation of pi/2 (at most 2048), the series' truncations (about 2 per term, under 50 terms
// each) and the Newton step of atan (under 700); the bound leaves room to spare.
inline constexpr std::uint32_t FixError = 1 << 12;

// The exact values the fallback works out, times 2^384 and within FixError of it:
// - sin or cos of |a - k pi/2| for 0 <= a <= 1024 pi and the k of the reduction; below tells
//   whether a lies below k pi/2;
// - atan(n / d * 2^scale) / 2^scale for 1 <= n, d < 2 and scale <= -42;
// - the angle in [0, pi] of the octant: atan t, pi - atan t (xNegative), pi/2 - atan t or
//   pi/2 + atan t (swap), t = n / d * 2^scale <= 1, at an approximation of atan t.
TFix FixSinCosOfRemainder(long double a, int k, bool cosine, bool& below);
TFix FixAtanTiny(long double n, long double d, int scale);
TFix FixAtanOctant(long double n, long double d, int scale, bool swap, bool xNegative, TDld at);

// Those values rounded to long double (the sine with its sign), correctly wherever the error
// bound decides it.
long double FallbackSinCos(long double a, int k, bool cosine);
long double FallbackAtanTiny(long double n, long double d, int scale);
long double FallbackAtanOctant(long double n, long double d, int scale, bool swap, bool xNegative,
                               TDld at);

// ExtSin, ExtCos and ExtAtan2, always by the fallback (slow): the tests check it on its own.
long double ExtSinByFallback(long double angleRad);
long double ExtCosByFallback(long double angleRad);
long double ExtAtan2ByFallback(long double y, long double x);
