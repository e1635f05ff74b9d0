// Encoding conversion through iconv(3) and the host's number formats.
#include "HostText.h"

#include <iconv.h>

#include <array>
#include <cerrno>
#include <charconv>
#include <cmath>

namespace {

constexpr char ReplacementChar[] = "\xef\xbf\xbd";  // U+FFFD

// One conversion, stopping at the first byte iconv refuses; returns how many input bytes it took.
std::size_t ConvertPrefix(const char* to, const char* from, std::string_view in, std::string& out,
                          bool& stopped) {
    stopped = false;
    iconv_t cd = iconv_open(to, from);
    if (cd == reinterpret_cast<iconv_t>(-1)) {
        stopped = true;
        return 0;
    }
    std::size_t done = 0;
    std::array<char, 1024> buffer{};
    while (done < in.size()) {
        char* inPtr = const_cast<char*>(in.data() + done);
        std::size_t inLeft = in.size() - done;
        char* outPtr = buffer.data();
        std::size_t outLeft = buffer.size();
        const std::size_t result = iconv(cd, &inPtr, &inLeft, &outPtr, &outLeft);
        out.append(buffer.data(), static_cast<std::size_t>(outPtr - buffer.data()));
        done = in.size() - inLeft;
        if (result == static_cast<std::size_t>(-1) && errno != E2BIG) {
            stopped = true;  // EILSEQ or EINVAL (a lead byte at the end)
            break;
        }
    }
    iconv_close(cd);
    return done;
}

}  // namespace

std::string SjisToUtf8(std::string_view sjis) {
    std::string out;
    while (!sjis.empty()) {
        bool stopped = false;
        const std::size_t taken = ConvertPrefix("UTF-8", "CP932", sjis, out, stopped);
        sjis.remove_prefix(taken);
        if (!stopped) break;
        out += ReplacementChar;
        if (!sjis.empty()) sjis.remove_prefix(1);
    }
    return out;
}

bool Utf8ToSjis(std::string_view utf8, std::string& sjis) {
    sjis.clear();
    bool stopped = false;
    ConvertPrefix("CP932", "UTF-8", utf8, sjis, stopped);
    return !stopped;
}

bool IsValidSjis(std::string_view bytes, std::size_t& badOffset) {
    std::string ignored;
    bool stopped = false;
    badOffset = ConvertPrefix("UTF-8", "CP932", bytes, ignored, stopped);
    return !stopped;
}

std::string HostNumber(double value, int precision) {
    if (value == 0) return "0";  // also -0, which the host never writes
    std::array<char, 64> buffer{};
    auto [end, ec] = std::to_chars(buffer.data(), buffer.data() + buffer.size(), value,
                                   std::chars_format::general, precision);
    if (ec != std::errc{}) return "0";
    return std::string(buffer.data(), end);
}

TRealRead ReadHostReal(std::string_view token, double& value) {
    value = 0;
    if (!token.empty() && token.front() == '+') token.remove_prefix(1);
    std::string_view magnitude = token;
    if (!magnitude.empty() && magnitude.front() == '-') magnitude.remove_prefix(1);
    std::string lower;
    for (char c : magnitude) lower += static_cast<char>(c >= 'A' && c <= 'Z' ? c - 'A' + 'a' : c);
    if (lower == "inf" || lower == "infinity" || lower == "nan") return TRealRead::NotFinite;
    // Only digits, point, signs and exponent: from_chars alone would take "nan(...)" forms.
    for (char c : magnitude) {
        const bool allowed =
            (c >= '0' && c <= '9') || c == '.' || c == '-' || c == '+' || c == 'e' || c == 'E';
        if (!allowed) return TRealRead::NotANumber;
    }
    const char* end = token.data() + token.size();
    auto [ptr, ec] = std::from_chars(token.data(), end, value, std::chars_format::general);
    if (token.empty() || ptr != end) return TRealRead::NotANumber;
    if (ec == std::errc::result_out_of_range) return TRealRead::NotFinite;
    if (ec != std::errc{}) return TRealRead::NotANumber;
    return std::isfinite(value) ? TRealRead::Ok : TRealRead::NotFinite;
}

bool ParseHostInt(std::string_view token, int& value) {
    const char* end = token.data() + token.size();
    auto [ptr, ec] = std::from_chars(token.data(), end, value);
    return !token.empty() && ec == std::errc{} && ptr == end;
}
