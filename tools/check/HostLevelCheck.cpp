// The output checker's host level: can the host read this line? Each rule comes from the host's
// own description of the commands it reads back. The host reads leniently, as a C reader does,
// so this level takes forms the writer never writes (tabs, "+", "e", leading zeros, bare LF).
#include <cctype>
#include <optional>

#include "CheckShared.h"
#include "HostText.h"
#include "OutputCheck.h"

using namespace check;

namespace {

// ---- constants ----------------------------------------------------------------------------------

// The longest text or font name the tool gives the host; the host states no limit of its own.
// (The writer's own limit is on records, where a font line's "cn\"$" counts too.)
constexpr std::size_t HostTextLimitBytes = 255;
// Colours, line types, pens, layer states and text colours: any count the host keeps.
constexpr int AttributeHigh = 1 << 30;
// "lc10" carries an RGB colour value.
constexpr int SetColorNumber = 10;
constexpr int ColorValueHigh = 0xFFFFFF;
// Text types 1 to 10, and 0 for the free size.
constexpr int TextTypeHigh = 10;

// ---- one line -----------------------------------------------------------------------------------

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
        if (StartsTwoByteChar(b)) {
            ++i;
        } else if (b == '"') {
            out.Command = line.substr(0, i);
            out.Text = line.substr(i + 1);
            return;
        }
    }
}

// Host level: values are separated by blanks or tabs, in any number (a C reader's %lg). The
// writer-form level takes single blanks only: that is the writer's promise, not the host's need.
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

// ---- the rules, one per command -----------------------------------------------------------------

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
    if (IsBlankText(*line.Text)) {
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
// a group or layer the writer was given and the host has not. The host takes lower-case digits
// too; the writer-form level takes the writer's upper case only.
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
    if (!IsTextReference(digit)) {
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

// Tested in order, after the z flags and the text commands: exact keywords before the prefixes
// that would also take them.
constexpr TRule Rules[] = {
    {"hq", false, CheckHq},
    {"msg", false, CheckMsg},
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
        if (StartsTwoByteChar(b)) {
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
    if (IsZFlag(line.Keyword())) {
        CheckZFlag(line);
        return;
    }
    if (IsTextKeyword(line.Keyword())) {
        CheckTextCommand(line);
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

}  // namespace

// The host ends a line at LF and drops a CR before it; the writer promises CR LF, which the
// writer-form level holds it to.
std::vector<TCheckProblem> CheckHostLevel(std::string_view fileBytes) {
    std::vector<std::string_view> lines = SplitLines(fileBytes, "\n");
    for (std::string_view& line : lines) {
        if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
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

// A blank, a tab or another control character, or the full-width blank "\x81\x40": what the host
// draws as nothing. Both levels judge a blank text by this, the checker's own walk through the
// characters, never by the writer's.
bool IsBlankText(std::string_view text) {
    for (std::size_t i = 0; i < text.size(); ++i) {
        const auto b = static_cast<unsigned char>(text[i]);
        if (StartsTwoByteChar(b)) {
            if (b != 0x81 || i + 1 >= text.size() || text[i + 1] != '\x40') return false;
            ++i;
        } else if (b > 0x20) {
            return false;
        }
    }
    return true;
}
