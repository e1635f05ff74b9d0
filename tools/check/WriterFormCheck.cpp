// The output checker's writer-form level: is this exactly the form the writer promises for each
// command and number? Stricter than the host level: CR LF line ends, single blanks, upper-case
// hexadecimal, every number in the writer's canonical text. The numbers are read as the host
// reads them (HostText.h), and the text is held against the canonical form written out here,
// never formatted with the writer's own code.
#include <charconv>
#include <string>
#include <vector>

#include "CheckShared.h"
#include "HostText.h"
#include "OutputCheck.h"

using namespace check;

namespace {

// What one record of the writer may hold; a text command and its text are two records. (The
// host level's limit is on the text and the font name alone.)
constexpr std::size_t RecordLimitBytes = 255;
// Reals are rounded to 15 significant digits, written plain for decimal exponents -3 to 15.
constexpr int SignificantDigitsMax = 15;
constexpr int PlainExponentLow = -3;
constexpr int PlainExponentHigh = 15;
// Decimal integers are 32-bit: at most 10 digits.
constexpr std::size_t DecimalDigitsMax = 10;

// ---- numbers ------------------------------------------------------------------------------------

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

bool AllDigits(std::string_view s) {
    if (s.empty()) return false;
    for (char c : s) {
        if (!IsDigit(c)) return false;
    }
    return true;
}

// Decimal integers: "0" or digits without a leading zero, with an optional "-", within 32 bits
// (as the host level reads a whole number).
bool IsCanonicalInt(std::string_view s, int& value) {
    const bool negative = !s.empty() && s[0] == '-';
    const std::string_view digits = s.substr(negative ? 1 : 0);
    if (!AllDigits(digits) || digits.size() > DecimalDigitsMax) return false;
    if (digits.size() > 1 && digits[0] == '0') return false;
    if (negative && digits == "0") return false;
    return ParseHostInt(s, value);
}

// Hexadecimal integers: upper-case digits, as few as needed (a negative value in 8).
bool IsCanonicalHex(std::string_view s) {
    if (s.empty() || s.size() > HexDigitsMax || (s.size() > 1 && s[0] == '0')) return false;
    for (char c : s) {
        if (!IsDigit(c) && !(c >= 'A' && c <= 'F')) return false;
    }
    return true;
}

// A real that reads back: finite, and zero only when written "0" (never "-0", never a value
// too small for a double). A decimal of at most 15 significant digits reads to a double whose
// 15-digit rounding is that decimal again, so a text of the canonical form that reads back is
// the writer's text of the double it reads to: the form and the reading are the whole promise.
// The reading is the host level's.
bool IsNumber(std::string_view s, double& value) {
    if (!HasNumberForm(s) || ReadHostReal(s, value) != TRealRead::Ok) return false;
    return value != 0 || s == "0";
}

// Fields between single blanks: two blanks in a row make an empty field, which is no number.
// The host level takes any run of blanks and tabs, as the host does.
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

// ---- the commands -------------------------------------------------------------------------------

// The writer drops a line shorter than 1e-8 by its doubles; printed to 15 digits, the ends of a
// longer one far from 0 may still read alike, so the length is not checked here.
bool IsLine(std::string_view line) {
    const auto fields = Fields(line);
    std::vector<double> v;
    return fields.size() == 4 && AreNumbers(fields, 0, 4, v);
}

// Attribute commands: keyword and value with nothing between; z1 to z5 alone.
bool IsAttribute(std::string_view line) {
    int n = 0;
    if (IsZFlag(line)) return true;
    const std::string_view key = line.substr(0, 2);
    const std::string_view rest = line.substr(std::min<std::size_t>(2, line.size()));
    if (key == "lg" || key == "ly") return IsCanonicalHex(rest);
    if (key == "lc" || key == "lt" || key == "pn") return IsCanonicalInt(rest, n);
    if (key == "lw") return IsCanonicalInt(rest, n) && n >= 0 && n <= LineWidthHigh;
    if (key == "cc") return IsTextReference(rest);
    if (key != "cn") return false;
    if (line.starts_with("cn\"$")) return line.size() <= RecordLimitBytes;  // the font name
    if (IsCanonicalInt(rest, n)) return n != 0;  // the free size carries its values
    const auto fields = Fields(line);
    std::vector<double> sizes;
    return fields.size() == 5 && fields[0] == "cn0" && AreNumbers(fields, 1, 3, sizes) &&
           IsCanonicalInt(fields[4], n);
}

// "pt x y magnification angle code": the code clamped, a magnification of 0 written as 1.
bool IsPoint(std::string_view line) {
    const auto fields = Fields(line);
    std::vector<double> v;
    int code = 0;
    return fields.size() == 6 && fields[0] == "pt" && AreNumbers(fields, 1, 4, v) &&
           IsCanonicalInt(fields[5], code) && code >= MarkerCodeLow && code <= MarkerCodeHigh &&
           v[2] != 0;
}

// keyword x y dx dy, a double quote and the text: each of the two records within its bytes.
std::string TextProblem(std::string_view line, const TWriterFormOptions& options, bool& isText) {
    isText = false;
    const std::size_t quote = line.find('"');
    if (quote == std::string_view::npos || line.size() < 3 || line[2] != ' ') return {};
    if (!IsTextKeyword(line.substr(0, 2))) return {};
    isText = true;
    const std::string_view command = line.substr(0, quote + 1);
    const std::string_view text = line.substr(quote + 1);
    if (command.size() > RecordLimitBytes) return "text command longer than 255 bytes";
    if (text.size() > RecordLimitBytes) return "text longer than 255 bytes";
    const auto fields = Fields(command.substr(0, command.size() - 2));
    std::vector<double> v;
    if (!command.ends_with(" \"") || fields.size() != 5 || !AreNumbers(fields, 1, 4, v))
        return "text command numbers";
    // Above 1e-8 as doubles; printed, such a direction reads at least 1E-8, never 0.
    if (v[2] == 0 && v[3] == 0) return "text without direction";
    if (IsBlankText(text)) return "blank text";
    if (!options.TextMayReadInfOrNan && ReadsInfOrNan(text)) return "text of INF or NAN";
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

// The decimal exponent e of a canonical real's digits, in the form 0.d1d2... x 10^e, and how
// many significant digits it has.
void DigitsOf(std::string_view mantissa, int& exponent, int& significant) {
    const std::size_t point = mantissa.find('.');
    const std::string_view whole = mantissa.substr(0, point);
    const std::string_view fraction =
        point == std::string_view::npos ? std::string_view() : mantissa.substr(point + 1);
    std::string digits = std::string(whole) + std::string(fraction);
    const std::size_t first = digits.find_first_not_of('0');
    if (first == std::string::npos) {
        exponent = 0;
        significant = 0;
        return;
    }
    exponent = static_cast<int>(whole.size()) - static_cast<int>(first);
    significant = static_cast<int>(digits.find_last_not_of('0') - first + 1);
}

}  // namespace

bool HasNumberForm(std::string_view s) {
    if (!s.empty() && s[0] == '-') s.remove_prefix(1);
    const std::size_t e = s.find('E');
    const std::string_view mantissa = s.substr(0, e);
    const std::size_t point = mantissa.find('.');
    const std::string_view whole = mantissa.substr(0, point);
    if (!AllDigits(whole) || (whole.size() > 1 && whole[0] == '0')) return false;
    if (point != std::string_view::npos) {
        const std::string_view fraction = mantissa.substr(point + 1);
        if (!AllDigits(fraction) || fraction.back() == '0') return false;
    }
    int exponent = 0, significant = 0;
    DigitsOf(mantissa, exponent, significant);
    if (significant > SignificantDigitsMax) return false;
    const bool plainRange = exponent >= PlainExponentLow && exponent <= PlainExponentHigh;
    if (e == std::string_view::npos) return significant == 0 || plainRange;
    if (whole.size() != 1 || whole[0] == '0') return false;
    const std::string_view written = s.substr(e + 1);
    const std::string_view digits = written.substr(!written.empty() && written[0] == '-');
    if (!AllDigits(digits) || digits[0] == '0' || digits.size() > 4) return false;
    int power = 0;
    std::from_chars(written.data(), written.data() + written.size(), power);
    exponent = power + 1;  // d1.d2... x 10^power is 0.d1d2... x 10^(power + 1)
    return exponent < PlainExponentLow || exponent > PlainExponentHigh;
}

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

std::string CheckWriterForm(std::string_view file, const TWriterFormOptions& options) {
    if (file == "hq\r\n") return {};
    if (file.empty()) return "empty file";
    if (!file.ends_with("\r\n")) return "last line without CR LF";
    const std::vector<std::string_view> lines = SplitLines(file, "\r\n");
    int figureStep = 0;  // after "msg": 1 wants the line, 2 the "cs" text
    for (std::size_t i = 0; i < lines.size(); ++i) {
        const std::string_view line = lines[i];
        const std::string where = "line " + std::to_string(i + 1) + " '" + Escaped(line) + "': ";
        if (line.find_first_of("\r\n") != std::string_view::npos) return where + "CR or LF inside";
        bool isText = false;
        const std::string textProblem = TextProblem(line, options, isText);
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
        if (line.size() > RecordLimitBytes) return where + "longer than 255 bytes";
        if (line == "msg") {
            figureStep = 1;
            continue;
        }
        if (!IsAttribute(line) && !IsLine(line) && !IsPoint(line)) return where + "not a command";
    }
    if (figureStep != 0) return "dimension figure cut short";
    return {};
}
