// A second reading of the output rules, written apart from the writer: it checks the file as
// the host will meet it, line by line.
#include "OutputCheck.h"

#include <cfloat>
#include <climits>
#include <cmath>
#include <cstdint>
#include <vector>

#include "JwwGaibu.h"
#include "MyFunc.h"

namespace {

constexpr std::size_t MaxRecordBytes = 255;

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

bool AllDigits(std::string_view s) {
    if (s.empty()) return false;
    for (char c : s) {
        if (!IsDigit(c)) return false;
    }
    return true;
}

// "0" or digits without a leading zero, with an optional "-".
bool IsCanonicalInt(std::string_view s, long long& value) {
    std::string_view digits = s;
    if (!digits.empty() && digits[0] == '-') digits.remove_prefix(1);
    if (!AllDigits(digits) || digits.size() > 10) return false;
    if (digits.size() > 1 && digits[0] == '0') return false;
    if (s[0] == '-' && digits == "0") return false;
    value = 0;
    for (char c : digits) value = value * 10 + (c - '0');
    if (s[0] == '-') value = -value;
    return value >= INT_MIN && value <= INT_MAX;
}

bool IsCanonicalHex(std::string_view s) {
    if (s.empty() || s.size() > 8 || (s.size() > 1 && s[0] == '0')) return false;
    for (char c : s) {
        if (!IsDigit(c) && !(c >= 'A' && c <= 'F')) return false;
    }
    return true;
}

}  // namespace

bool HasNumberForm(std::string_view s) {
    if (!s.empty() && s[0] == '-') s.remove_prefix(1);
    const std::size_t e = s.find('E');
    std::string_view mantissa = s.substr(0, e);
    const std::size_t point = mantissa.find('.');
    const std::string_view whole = mantissa.substr(0, point);
    if (!AllDigits(whole) || (whole.size() > 1 && whole[0] == '0')) return false;
    if (point != std::string_view::npos) {
        const std::string_view fraction = mantissa.substr(point + 1);
        if (!AllDigits(fraction) || fraction.back() == '0') return false;
    }
    if (e == std::string_view::npos) return true;
    if (whole.size() != 1 || whole[0] == '0') return false;
    std::string_view exponent = s.substr(e + 1);
    if (!exponent.empty() && exponent[0] == '-') exponent.remove_prefix(1);
    return AllDigits(exponent) && exponent[0] != '0';
}

namespace {

// A finite number as NumberText writes it (the form alone for subnormals, whose 15 digits do
// not come back). A text past the largest double reads as 0 here, and as infinity to the host.
bool IsNumber(std::string_view s, double& value) {
    if (!HasNumberForm(s)) return false;
    value = SafeStrToFloat(s);
    if (!std::isfinite(value) || (value == 0 && s != "0")) return false;
    if (std::fabs(value) < DBL_MIN) return true;
    return NumberText(value) == s;
}

std::vector<std::string_view> Fields(std::string_view line) {
    std::vector<std::string_view> fields;
    std::size_t start = 0;
    for (;;) {
        const std::size_t blank = line.find(' ', start);
        fields.push_back(line.substr(start, blank - start));
        if (blank == std::string_view::npos) return fields;
        start = blank + 1;
    }
}

bool AreNumbers(const std::vector<std::string_view>& fields, std::size_t first, std::size_t count,
                std::vector<double>& values) {
    if (fields.size() < first + count) return false;
    values.assign(count, 0);
    for (std::size_t i = 0; i < count; ++i) {
        if (!IsNumber(fields[first + i], values[i])) return false;
    }
    return true;
}

bool IsLine(std::string_view line) {
    const auto fields = Fields(line);
    std::vector<double> v;
    // The writer drops a line shorter than 1e-8 by its doubles; printed to 15 digits, the ends
    // of a longer one far from 0 may still read alike, so the length is not checked here.
    return fields.size() == 4 && AreNumbers(fields, 0, 4, v);
}

bool IsAttribute(std::string_view line) {
    long long n = 0;
    if (line.size() == 2 && line[0] == 'z' && line[1] >= '1' && line[1] <= '5') return true;
    const std::string_view key = line.substr(0, 2);
    const std::string_view rest = line.substr(std::min<std::size_t>(2, line.size()));
    if (key == "lg" || key == "ly") return IsCanonicalHex(rest);
    if (key == "lc" || key == "lt" || key == "pn") return IsCanonicalInt(rest, n);
    if (key == "lw") return IsCanonicalInt(rest, n) && n >= 0 && n <= 30000;
    if (key == "cc") return rest.size() == 1 && rest[0] >= '0' && rest[0] <= '8';
    if (key != "cn") return false;
    if (line.starts_with("cn\"$")) return line.size() <= MaxRecordBytes;  // the font name
    if (IsCanonicalInt(rest, n)) return n != 0;  // the free size carries its values
    const auto fields = Fields(line);
    std::vector<double> sizes;
    return fields.size() == 5 && fields[0] == "cn0" && AreNumbers(fields, 1, 3, sizes) &&
           IsCanonicalInt(fields[4], n);
}

bool IsPoint(std::string_view line) {
    const auto fields = Fields(line);
    std::vector<double> v;
    long long code = 0;
    return fields.size() == 6 && fields[0] == "pt" && AreNumbers(fields, 1, 4, v) &&
           IsCanonicalInt(fields[5], code) && code >= -7 && code <= 11 && v[2] != 0;
}

// keyword x y dx dy, a double quote and the text: each of the two records within its bytes.
std::string TextProblem(std::string_view line, const TOutputCheck& check, bool& isText) {
    static const char* const keywords[] = {"ch", "cv", "cs", "cr", "co",
                                           "cp", "ct", "ck", "cz", "c2"};
    isText = false;
    const std::size_t quote = line.find('"');
    if (quote == std::string_view::npos || line.size() < 3 || line[2] != ' ') return {};
    bool keyword = false;
    for (const char* k : keywords) keyword = keyword || line.starts_with(k);
    if (!keyword) return {};
    isText = true;
    const std::string_view command = line.substr(0, quote + 1);
    const std::string_view text = line.substr(quote + 1);
    if (command.size() > MaxRecordBytes) return "text command longer than 255 bytes";
    if (text.size() > MaxRecordBytes) return "text longer than 255 bytes";
    const auto fields = Fields(command.substr(0, command.size() - 2));
    std::vector<double> v;
    if (!command.ends_with(" \"") || fields.size() != 5 || !AreNumbers(fields, 1, 4, v))
        return "text command numbers";
    // Above 1e-8 as doubles; printed, such a direction reads at least 1E-8, never 0.
    if (v[2] == 0 && v[3] == 0) return "text without direction";
    if (RemoveBlanks(text).empty()) return "blank text";
    if (!check.TextMayReadInfOrNan && ReadsInfOrNan(text)) return "text of INF or NAN";
    return {};
}

// The line as C-like text, cut to 80 bytes, for the report of a broken rule.
std::string Escaped(std::string_view line) {
    static const char hex[] = "0123456789abcdef";
    std::string out;
    for (char c : line.substr(0, 80)) {
        const auto b = static_cast<unsigned char>(c);
        if (b >= 0x20 && b < 0x7F && b != '\\') {
            out += c;
        } else {
            out.append("\\x").append(1, hex[b >> 4]).append(1, hex[b & 15]);
        }
    }
    return out;
}

}  // namespace

bool ReadsInfOrNan(std::string_view text) {
    static const std::string_view spellings[] = {
        "INF", "NAN",
        "\x82\x68\x82\x6d\x82\x65",  // ＩＮＦ
        "\x82\x6d\x82\x60\x82\x6d",  // ＮＡＮ
    };
    for (std::string_view s : spellings) {
        if (text.find(s) != std::string_view::npos) return true;
    }
    return false;
}

std::string CheckOutputFile(std::string_view file, const TOutputCheck& check) {
    if (file == "hq\r\n") return {};
    if (file.empty()) return "empty file";
    if (!file.ends_with("\r\n")) return "last line without CR LF";
    std::vector<std::string_view> lines;
    for (std::size_t start = 0; start < file.size();) {
        const std::size_t end = file.find("\r\n", start);
        lines.push_back(file.substr(start, end - start));
        start = end + 2;
    }
    int figureStep = 0;  // after "msg": 1 wants the line, 2 the "cs" text
    for (std::size_t i = 0; i < lines.size(); ++i) {
        const std::string_view line = lines[i];
        const std::string where = "line " + std::to_string(i + 1) + " '" + Escaped(line) + "': ";
        if (line.find_first_of("\r\n") != std::string_view::npos) return where + "CR or LF inside";
        bool isText = false;
        const std::string textProblem = TextProblem(line, check, isText);
        if (!textProblem.empty()) return where + textProblem;
        if (figureStep == 1) {
            if (!IsLine(line)) return where + "no line after msg";
            figureStep = 2;
            continue;
        }
        if (figureStep == 2) {
            if (!isText || !line.starts_with("cs ")) return where + "no cs text after its line";
            figureStep = 0;
            continue;
        }
        if (isText) continue;
        if (line.size() > MaxRecordBytes) return where + "longer than 255 bytes";
        if (line == "msg") {
            figureStep = 1;
            continue;
        }
        if (!IsAttribute(line) && !IsLine(line) && !IsPoint(line)) return where + "not a command";
    }
    if (figureStep != 0) return "dimension figure cut short";
    return {};
}
