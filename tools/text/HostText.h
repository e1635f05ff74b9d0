// The host's texts and numbers, as the host stand-in and the output checker both need them:
// Shift-JIS <-> UTF-8 (for the terminal, TOML and SVG), the host's own number format, and numbers
// read as the host reads them. A leaf: it uses nothing of the tool or of the other tools.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

// Shift-JIS (code page 932) to UTF-8; a byte that is not valid Shift-JIS becomes U+FFFD.
std::string SjisToUtf8(std::string_view sjis);

// UTF-8 to Shift-JIS; false when a character has no Shift-JIS form.
bool Utf8ToSjis(std::string_view utf8, std::string& sjis);

// True when the bytes are valid code page 932; otherwise badOffset is the first bad byte.
bool IsValidSjis(std::string_view bytes, std::size_t& badOffset);

// The host's number text: C's %.<precision>g (at most `precision` significant digits, no
// trailing zeros, exponents such as 1e+06), always with "." and never "-0".
std::string HostNumber(double value, int precision = 15);

// The whole token as a real, as a C reader of the host's kind takes it (%lg): an optional sign,
// digits with an optional ".", an optional exponent. "inf", "nan" and values beyond the double
// range read but are not finite.
enum class TRealRead { Ok, NotANumber, NotFinite };
TRealRead ReadHostReal(std::string_view token, double& value);

// The whole token as a decimal integer with an optional "-".
bool ParseHostInt(std::string_view token, int& value);
