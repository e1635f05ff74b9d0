// Stateless number, text and plane-geometry helpers shared by the exchange and the dialog.
// Texts are Shift-JIS byte strings; every walk through one goes by IsLeadByte.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

// Extended-precision constants: degrees become radians as a / 180 * Pi in long double.
inline constexpr long double Pi = 3.14159265358979323851L;
inline constexpr long double TwoPi = 6.28318530717958647703L;

// Degrees to radians, kept in long double up to ExtCos and ExtSin.
inline long double DegToRad(long double angleDeg) { return angleDeg / 180 * Pi; }

// The same rounded to double on purpose: RotatePointDeg turns by the double nearest the angle
// (so does a drawing that follows it). Not interchangeable with DegToRad: the last bits differ.
inline double DegToRadRounded(double angleDeg) { return static_cast<double>(DegToRad(angleDeg)); }

// Sine, cosine and atan2 of extended values, correctly rounded: the long double nearest to the
// exact value for the given argument(s), ties to even, bit for bit the same on every build
// (built from + - * / of long double and integers; the C libraries differ, and the x87
// fsin/fcos/fpatan misround). They expect the x87 precision control at 64 bits.
// - ExtSin, ExtCos: correctly rounded for |x| <= 1024 pi (2048 quarter turns). Beyond, they give
//   the correctly rounded sine and cosine of the remainder of x by T, the long double nearest
//   2 pi (x - n T with n = trunc(x / T), as fmodl(x, T) would), so still a value in [-1, 1].
//   Infinity and NaN give NaN; ExtSin(-0) is -0.
// - ExtAtan2(y, x): the angle of (x, y) in [-pi, pi], with the C library's zeros and infinities:
//   atan2(+-0, x) is +-0 for x > 0 or x = +0 and +-pi for x < 0 or x = -0, atan2(+-inf, +-inf)
//   is +-pi/4 or +-3pi/4; a NaN gives NaN.
long double ExtSin(long double angleRad);
long double ExtCos(long double angleRad);
long double ExtAtan2(long double y, long double x);

// 0x80-0x9F and 0xE0-0xFD start a two-byte character (0x80 and 0xFD included on purpose).
constexpr bool IsLeadByte(unsigned char b) {
    return (b >= 0x80 && b <= 0x9F) || (b >= 0xE0 && b <= 0xFD);
}

// 0 unless the whole text is a 32-bit integer (decimal, or hex after $, x, X, 0x, 0X).
int SafeStrToInt(std::string_view text);

// 0 unless the whole text is a decimal real with "." as its point.
double SafeStrToFloat(std::string_view text);

// The real at the front of text, by SafeStrToFloat's grammar without its leading blanks: returns
// how many bytes it takes (0 when no real starts there) and sets value to it, or to 0 when it
// lies outside the double range. Lets a reader find a number's end and value in one pass.
std::size_t ReadReal(std::string_view text, double& value);

// Fixed-point text with exactly `decimals` decimals (0..18, larger prints 2, negative 0); the
// integer part grouped by three with "," (FormatGrouped) or plain (FormatFixed). A negative value
// keeps its "-" even when it rounds to zero; -0 is not negative; NAN, INF, -INF as such.
std::string FormatGrouped(int decimals, double value);
std::string FormatFixed(int decimals, double value);

// The text without half-width blanks, full-width blanks and one-byte control characters.
std::string RemoveBlanks(std::string_view text);

// The whole characters lying in bytes start..start+count-1 (1-based); bytesTaken tells the
// caller how far it got. Never splits a two-byte character.
std::string CopyWholeChars(std::string_view text, int start, int count, int& bytesTaken);

// At most maxBytes bytes of the text, cut at the last whole character that fits.
std::string TruncateWholeChars(std::string_view text, std::size_t maxBytes);

// The text without CR and LF, so that it stays on one line of the host's file; a two-byte
// character broken by one goes whole, and so does a lead byte at the very end.
std::string DropLineBreaks(std::string_view text);

// One-byte characters to their full-width forms, hiragana to katakana (own table, no locale).
std::string ToFullWidth(std::string_view text);

double RoundTo1E10(double x);
double RoundByMode(int decimals, int mode, double x);

// The plane's zero: a vector shorter than this in both coordinates has no direction (AngleRad
// gives 0), and the dimension's construction takes a shorter length as none.
inline constexpr double GeometryZero = 1e-10;

double Distance(double x1, double y1, double x2, double y2);
double AngleRad(double dx, double dy);
double AngleDeg(double dx, double dy);
double NormalizeDeg(double angleDeg);
void RotatePointRad(double x, double y, double cx, double cy, double angleRad, double& newX,
                    double& newY);
void RotatePointDeg(double x, double y, double cx, double cy, double angleDeg, double& newX,
                    double& newY);

// Estimated length of a one-line text: full-width characters `width` wide with `spacing`
// between characters, half-width characters half of both.
double MeasureText(std::string_view text, double width, double spacing);
