// Text, number and file helpers of the host stand-in: Shift-JIS <-> UTF-8 for the terminal, TOML
// and SVG, the host's own number format, strict number reading for the checker, and whole files.
#pragma once

#include <cstddef>
#include <filesystem>
#include <string>
#include <string_view>

// The whole file; false with the one-line reason: "<path> is missing", "<path> is a folder" or
// "<path> cannot be read".
bool ReadWholeFile(const std::filesystem::path& path, std::string& bytes, std::string& error);

// Replaces the file with the bytes; false with "could not write <path>".
bool WriteWholeFile(const std::filesystem::path& path, std::string_view bytes, std::string& error);

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

// The text with &, <, > and " escaped for XML.
std::string XmlEscape(std::string_view utf8);
