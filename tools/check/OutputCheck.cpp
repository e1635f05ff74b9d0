// The two levels of the output checker. Each rule names where it comes from: the host's own
// description of the commands it reads back (the host level), or the forms the writer promises
// for each command and number (the writer-form level).
#include "OutputCheck.h"

#include <cctype>
#include <cfloat>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <optional>

#include "HostText.h"
#include "MyFunc.h"

namespace {

// ---- the host level's constants -----------------------------------------------------------------

// The longest text or font name the tool gives the host; the host states no limit of its own.
constexpr std::size_t HostTextLimitBytes = 255;
// Point-marker codes the host draws: -7 to 0 plain points, 1 to 11 the marks.
constexpr int MarkerCodeLow = -7;
constexpr int MarkerCodeHigh = 11;
// The host's line widths.
constexpr int LineWidthHigh = 30000;
// Colours, line types, pens, layer states and text colours: any count the host keeps.
constexpr int AttributeHigh = 1 << 30;
// "lc10" carries an RGB colour value.
constexpr int SetColorNumber = 10;
constexpr int ColorValueHigh = 0xFFFFFF;
// Text types 1 to 10, and 0 for the free size.
constexpr int TextTypeHigh = 10;
// "cc0" to "cc8": the nine reference points of a text.
constexpr char TextReferenceHigh = '8';

// ---- the writer-form level's constants ----------------------------------------------------------

// What one record of the writer may hold; a text command and its text are two records.
constexpr std::size_t RecordLimitBytes = 255;
// Reals are rounded to 15 significant digits, written plain for decimal exponents -3 to 15.
constexpr int SignificantDigitsMax = 15;
constexpr int PlainExponentLow = -3;
constexpr int PlainExponentHigh = 15;
// Integers are 32-bit: at most 10 decimal or 8 hexadecimal digits.
constexpr std::size_t DecimalDigitsMax = 10;
constexpr std::size_t HexDigitsMax = 8;
// The writer's line widths after clamping.
constexpr long long WriterLineWidthHigh = 30000;

// ---- host level: one line -----------------------------------------------------------------------

struct TLine {
    int Number = 0;
    std::string_view Command;              // before the first double quote (all of it without one)
    std::optional<std::string_view> Text;  // after the first double quote
    std::vector<std::string_view> Tokens;
    std::vector<TCheckProblem>* Problems = nullptr;
    const std::vector<std::string_view>* AllLines = nullptr;

    void Report(std::string message, bool passedThrough = false) const {
        Problems->push_back({Number, std::move(message), passedThrough});
    }
    std::string_view Keyword() const { return Tokens.front(); }
    std::size_t ValueCount() const { return Tokens.size() - 1; }
};

std::string Shown(std::string_view bytes) {
    std::string shown = "'";
    return shown.append(SjisToUtf8(bytes)).append("'");
}

// Host level, from the text commands: the text is everything after the first double quote.
// Whole characters are walked, so that a trail byte is never taken for one.
void SplitAtQuote(std::string_view line, TLine& out) {
    out.Command = line;
    out.Text.reset();
    for (std::size_t i = 0; i < line.size(); ++i) {
        const auto b = static_cast<unsigned char>(line[i]);
        if (IsLeadByte(b)) {
            ++i;
        } else if (b == '"') {
            out.Command = line.substr(0, i);
            out.Text = line.substr(i + 1);
            return;
        }
    }
}

// Host level: values are separated by blanks or tabs, in any number (a C reader's %lg).
std::vector<std::string_view> SplitBlanks(std::string_view text) {
    std::vector<std::string_view> tokens;
    std::size_t i = 0;
    while (i < text.size()) {
        while (i < text.size() && (text[i] == ' ' || text[i] == '\t')) ++i;
        const std::size_t start = i;
        while (i < text.size() && text[i] != ' ' && text[i] != '\t') ++i;
        if (i > start) tokens.push_back(text.substr(start, i - start));
    }
    return tokens;
}

bool CheckReal(const TLine& line, std::string_view token, double* value = nullptr) {
    double v = 0;
    switch (ReadHostReal(token, v)) {
        case TRealRead::Ok:
            if (value) *value = v;
            return true;
        case TRealRead::NotFinite:
            line.Report(Shown(token) + " is not finite");
            return false;
        case TRealRead::NotANumber:
            line.Report(Shown(token) + " is not a number");
            return false;
    }
    return false;
}

// A whole number in its range; `passedThrough` when the writer writes the value it was given.
bool CheckInt(const TLine& line, std::string_view token, int low, int high, const char* what,
              bool passedThrough, int* value = nullptr) {
    int v = 0;
    if (!ParseHostInt(token, v)) {
        line.Report(std::string(what) + " " + Shown(token) + " is not a whole number");
        return false;
    }
    if (v < low || v > high) {
        line.Report(std::string(what) + " " + std::to_string(v) + " is outside " +
                        std::to_string(low) + " to " + std::to_string(high),
                    passedThrough);
        return false;
    }
    if (value) *value = v;
    return true;
}

bool CheckCount(const TLine& line, std::size_t low, std::size_t high) {
    const std::size_t n = line.ValueCount();
    if (n >= low && n <= high) return true;
    const std::string expected =
        low == high ? std::to_string(low) : std::to_string(low) + " to " + std::to_string(high);
    line.Report(Shown(line.Keyword()) + " takes " + expected + " values, not " + std::to_string(n));
    return false;
}

bool NoText(const TLine& line) {
    if (!line.Text) return true;
    line.Report("unexpected double quote after " + Shown(line.Keyword()));
    return false;
}

bool CheckReals(const TLine& line, std::size_t from, std::size_t count) {
    bool ok = true;
    for (std::size_t i = from; i < from + count && i < line.Tokens.size(); ++i) {
        ok = CheckReal(line, line.Tokens[i]) && ok;
    }
    return ok;
}

bool IsFourNumberLine(std::string_view text) {
    TLine line;
    SplitAtQuote(text, line);
    const auto tokens = SplitBlanks(line.Command);
    if (line.Text || tokens.size() != 4) return false;
    for (auto token : tokens) {
        double v = 0;
        if (ReadHostReal(token, v) != TRealRead::Ok) return false;
    }
    return true;
}

// ---- host level: the rules, one per command -----------------------------------------------------

// "hq" as the first line: the host draws nothing and reports the run as not carried out.
void CheckHq(const TLine& line) {
    CheckCount(line, 0, 0);
    NoText(line);
    if (line.Number != 1) {
        line.Report("'hq' is understood only as the first line");
    } else if (line.AllLines->size() > 1) {
        line.Report("'hq' as the first line: the host draws nothing and ignores the other " +
                    std::to_string(line.AllLines->size() - 1) + " lines");
    }
}

// "z1" to "z5": an attribute of the next item, alone on its line.
void CheckZFlag(const TLine& line) {
    CheckCount(line, 0, 0);
    NoText(line);
}

// A dimension figure is "msg", its line and its "cs" value, one after the other.
void CheckMsg(const TLine& line) {
    CheckCount(line, 0, 0);
    NoText(line);
    const auto& all = *line.AllLines;
    const std::size_t next = static_cast<std::size_t>(line.Number);  // 0-based index of the next
    const bool figure =
        next + 1 < all.size() && IsFourNumberLine(all[next]) && all[next + 1].substr(0, 3) == "cs ";
    if (!figure) line.Report("'msg' must be followed by a line of four numbers and a 'cs' text");
}

// keyword x y dx dy "text: drawn from (x, y) along (dx, dy), of which only the direction counts,
// so a direction is missing only when both read as 0.
void CheckTextCommand(const TLine& line) {
    if (!line.Text) {
        line.Report(Shown(line.Keyword()) + " is missing its text (a double quote and the text)");
        return;
    }
    if (CheckCount(line, 4, 4)) {
        double dx = 0, dy = 0;
        CheckReals(line, 1, 2);
        const bool haveDx = CheckReal(line, line.Tokens[3], &dx);
        const bool haveDy = CheckReal(line, line.Tokens[4], &dy);
        if (haveDx && haveDy && dx == 0 && dy == 0) {
            line.Report("direction (" + std::string(line.Tokens[3]) + ", " +
                        std::string(line.Tokens[4]) + ") gives the text no direction");
        }
    }
    if (RemoveBlanks(*line.Text).empty()) {
        line.Report(Shown(line.Keyword()) + " is missing its text");
    } else if (line.Text->size() > HostTextLimitBytes) {
        line.Report("text is " + std::to_string(line.Text->size()) + " bytes, over " +
                    std::to_string(HostTextLimitBytes));
    }
}

// "pt x y magnification angle code": a point marker.
void CheckPoint(const TLine& line) {
    NoText(line);
    if (!CheckCount(line, 5, 5)) return;
    CheckReals(line, 1, 4);
    CheckInt(line, line.Tokens[5], MarkerCodeLow, MarkerCodeHigh, "marker code", false);
}

// "x1 y1 x2 y2": a line segment.
void CheckLine(const TLine& line) {
    NoText(line);
    if (line.Tokens.size() != 4) {
        line.Report("a line takes four numbers, not " + std::to_string(line.Tokens.size()));
    }
    CheckReals(line, 0, line.Tokens.size());
}

// "lg"/"ly" and one hexadecimal digit; the host ignores a layer state after it. More digits are
// a group or layer the writer was given and the host has not.
void CheckLayerDigit(const TLine& line) {
    NoText(line);
    const std::string_view digits = line.Keyword().substr(2);
    bool hex = !digits.empty() && digits.size() <= HexDigitsMax;
    for (char c : digits) hex = hex && std::isxdigit(static_cast<unsigned char>(c));
    if (!hex || digits.size() != 1) {
        line.Report(Shown(line.Keyword()) + " needs one hexadecimal digit 0 to F", hex);
    }
    if (CheckCount(line, 0, 1) && line.ValueCount() == 1) {
        CheckInt(line, line.Tokens[1], 0, AttributeHigh, "layer state", false);
    }
}

// "lc", "lt", "lw", "pn" and a whole number; "lc10" may carry its colour value. The writer
// clamps the line width; the others it writes as given.
void CheckAttributeNumber(const TLine& line) {
    NoText(line);
    const std::string_view keyword = line.Keyword();
    const std::string_view name = keyword.substr(0, 2);
    const bool width = name == "lw";
    int value = 0;
    const std::string what = "value of " + Shown(name);
    if (!CheckInt(line, keyword.substr(2), 0, width ? LineWidthHigh : AttributeHigh, what.c_str(),
                  !width, &value)) {
        return;
    }
    const std::size_t extra = name == "lc" && value == SetColorNumber ? 1 : 0;
    if (CheckCount(line, 0, extra) && line.ValueCount() == 1) {
        CheckInt(line, line.Tokens[1], 0, ColorValueHigh, "colour value", false);
    }
}

// "cc0" to "cc8": the reference point of the texts that follow.
void CheckCc(const TLine& line) {
    NoText(line);
    CheckCount(line, 0, 0);
    const std::string_view digit = line.Keyword().substr(2);
    if (digit.size() != 1 || digit[0] < '0' || digit[0] > TextReferenceHigh) {
        line.Report(Shown(line.Keyword()) + " needs one digit 0 to " + TextReferenceHigh);
    }
}

// "cn1" .. "cn10", "cn0 w h d c", or the font line cn"$name.
void CheckCn(const TLine& line) {
    if (line.Keyword() == "cn" && line.Text && line.ValueCount() == 0) {
        if (line.Text->empty() || line.Text->front() != '$') {
            line.Report("a font line is cn\"$ followed by the font name");
        } else if (line.Text->size() - 1 > HostTextLimitBytes) {
            line.Report("font name is " + std::to_string(line.Text->size() - 1) + " bytes, over " +
                        std::to_string(HostTextLimitBytes));
        }
        return;
    }
    NoText(line);
    int type = 0;
    if (!CheckInt(line, line.Keyword().substr(2), 0, TextTypeHigh, "text type", true, &type)) {
        return;
    }
    if (type != 0) {
        CheckCount(line, 0, 0);
        return;
    }
    if (!CheckCount(line, 4, 4)) return;
    CheckReals(line, 1, 3);
    CheckInt(line, line.Tokens[4], 0, AttributeHigh, "text colour", true);
}

struct TRule {
    std::string_view Keyword;
    bool Prefix;  // the keyword starts the first token; otherwise it is the whole token
    void (*Check)(const TLine&);
};

// Tested in order: exact keywords before the prefixes that would also take them.
constexpr TRule Rules[] = {
    {"hq", false, CheckHq},
    {"msg", false, CheckMsg},
    {"z1", false, CheckZFlag},
    {"z2", false, CheckZFlag},
    {"z3", false, CheckZFlag},
    {"z4", false, CheckZFlag},
    {"z5", false, CheckZFlag},
    {"ch", false, CheckTextCommand},
    {"cv", false, CheckTextCommand},
    {"cs", false, CheckTextCommand},
    {"cr", false, CheckTextCommand},
    {"co", false, CheckTextCommand},
    {"cp", false, CheckTextCommand},
    {"ct", false, CheckTextCommand},
    {"ck", false, CheckTextCommand},
    {"cz", false, CheckTextCommand},
    {"c2", false, CheckTextCommand},
    {"pt", false, CheckPoint},
    {"lg", true, CheckLayerDigit},
    {"ly", true, CheckLayerDigit},
    {"lc", true, CheckAttributeNumber},
    {"lt", true, CheckAttributeNumber},
    {"lw", true, CheckAttributeNumber},
    {"pn", true, CheckAttributeNumber},
    {"cc", true, CheckCc},
    {"cn", true, CheckCn},
};

bool LooksNumeric(std::string_view token) {
    const char c = token.front();
    return (c >= '0' && c <= '9') || c == '-' || c == '+' || c == '.';
}

// The host reads code page 932 text without control characters (a tab separates values).
void CheckOneLine(TLine& line, std::string_view bytes) {
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        const auto b = static_cast<unsigned char>(bytes[i]);
        if (IsLeadByte(b)) {
            ++i;
        } else if ((b < 0x20 && b != '\t') || b == 0x7F) {
            line.Report(
                "control character " + std::to_string(b) + " at byte " + std::to_string(i + 1),
                true);
            return;
        }
    }
    std::size_t badOffset = 0;
    if (!IsValidSjis(bytes, badOffset)) {
        line.Report("bad Shift-JIS at byte " + std::to_string(badOffset + 1), true);
        return;
    }
    SplitAtQuote(bytes, line);
    line.Tokens = SplitBlanks(line.Command);
    if (line.Tokens.empty()) {
        line.Report(line.Text ? "text without a command" : "empty line");
        return;
    }
    for (const TRule& rule : Rules) {
        const std::string_view keyword = line.Keyword();
        const bool match = rule.Prefix ? keyword.substr(0, rule.Keyword.size()) == rule.Keyword
                                       : keyword == rule.Keyword;
        if (match) {
            rule.Check(line);
            return;
        }
    }
    if (LooksNumeric(line.Keyword())) {
        CheckLine(line);
        return;
    }
    line.Report("unknown command " + Shown(line.Keyword()));
}

// ---- writer-form level: numbers -----------------------------------------------------------------

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

bool AllDigits(std::string_view s) {
    if (s.empty()) return false;
    for (char c : s) {
        if (!IsDigit(c)) return false;
    }
    return true;
}

// Decimal integers: "0" or digits without a leading zero, with an optional "-", within 32 bits.
bool IsCanonicalInt(std::string_view s, long long& value) {
    const bool negative = !s.empty() && s[0] == '-';
    const std::string_view digits = s.substr(negative ? 1 : 0);
    if (!AllDigits(digits) || digits.size() > DecimalDigitsMax) return false;
    if (digits.size() > 1 && digits[0] == '0') return false;
    if (negative && digits == "0") return false;
    std::from_chars(s.data(), s.data() + s.size(), value);
    return value >= INT32_MIN && value <= INT32_MAX;
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
bool IsNumber(std::string_view s, double& value) {
    if (!HasNumberForm(s)) return false;
    const auto [end, ec] = std::from_chars(s.data(), s.data() + s.size(), value);
    if (ec != std::errc{} || end != s.data() + s.size()) return false;
    return std::isfinite(value) && (value != 0 || s == "0");
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

// ---- writer-form level: the commands ------------------------------------------------------------

// The writer drops a line shorter than 1e-8 by its doubles; printed to 15 digits, the ends of a
// longer one far from 0 may still read alike, so the length is not checked here.
bool IsLine(std::string_view line) {
    const auto fields = Fields(line);
    std::vector<double> v;
    return fields.size() == 4 && AreNumbers(fields, 0, 4, v);
}

// Attribute commands: keyword and value with nothing between; z1 to z5 alone.
bool IsAttribute(std::string_view line) {
    long long n = 0;
    if (line.size() == 2 && line[0] == 'z' && line[1] >= '1' && line[1] <= '5') return true;
    const std::string_view key = line.substr(0, 2);
    const std::string_view rest = line.substr(std::min<std::size_t>(2, line.size()));
    if (key == "lg" || key == "ly") return IsCanonicalHex(rest);
    if (key == "lc" || key == "lt" || key == "pn") return IsCanonicalInt(rest, n);
    if (key == "lw") return IsCanonicalInt(rest, n) && n >= 0 && n <= WriterLineWidthHigh;
    if (key == "cc") return rest.size() == 1 && rest[0] >= '0' && rest[0] <= TextReferenceHigh;
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
    long long code = 0;
    return fields.size() == 6 && fields[0] == "pt" && AreNumbers(fields, 1, 4, v) &&
           IsCanonicalInt(fields[5], code) && code >= MarkerCodeLow && code <= MarkerCodeHigh &&
           v[2] != 0;
}

// keyword x y dx dy, a double quote and the text: each of the two records within its bytes.
std::string TextProblem(std::string_view line, const TWriterFormOptions& options, bool& isText) {
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
    if (command.size() > RecordLimitBytes) return "text command longer than 255 bytes";
    if (text.size() > RecordLimitBytes) return "text longer than 255 bytes";
    const auto fields = Fields(command.substr(0, command.size() - 2));
    std::vector<double> v;
    if (!command.ends_with(" \"") || fields.size() != 5 || !AreNumbers(fields, 1, 4, v))
        return "text command numbers";
    // Above 1e-8 as doubles; printed, such a direction reads at least 1E-8, never 0.
    if (v[2] == 0 && v[3] == 0) return "text without direction";
    if (RemoveBlanks(text).empty()) return "blank text";
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

std::vector<TCheckProblem> CheckHostLevel(std::string_view fileBytes) {
    std::vector<std::string_view> lines;
    std::size_t start = 0;
    while (start < fileBytes.size()) {
        std::size_t end = fileBytes.find('\n', start);
        if (end == std::string_view::npos) end = fileBytes.size();
        std::string_view line = fileBytes.substr(start, end - start);
        if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
        lines.push_back(line);
        start = end + 1;
    }
    std::vector<TCheckProblem> problems;
    if (lines.empty()) problems.push_back({1, "empty file: the host needs at least 'hq'"});
    for (std::size_t i = 0; i < lines.size(); ++i) {
        TLine line;
        line.Number = static_cast<int>(i + 1);
        line.Problems = &problems;
        line.AllLines = &lines;
        CheckOneLine(line, lines[i]);
    }
    return problems;
}

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
