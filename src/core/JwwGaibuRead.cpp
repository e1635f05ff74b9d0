// The reader of JWC_TEMP.TXT: the file is read in large blocks, each line is split into tokens
// and handed to the first rule that takes it (a line of four reals, the bulk of a large
// selection, goes straight into its record). The header and attribute lines are read here, the
// entities in JwwGaibuEntities.cpp.
#include <algorithm>
#include <array>
#include <cstdint>
#include <cstring>
#include <iterator>
#include <new>
#include <string>

#include "Files.h"
#include "JwwGaibu.h"
#include "JwwGaibuEntities.h"
#include "JwwGaibuTokens.h"
#include "MyFunc.h"

namespace {

template <class T>
void SetAt(std::vector<T>& table, int index, T value) {
    if (index >= 0 && static_cast<std::size_t>(index) < table.size())
        table[static_cast<std::size_t>(index)] = std::move(value);
}

// Index of a layer in the layer tables, or -1 (ignored by SetAt) outside them.
int LayerIndex(int group, int layer) {
    const bool inside = group >= 0 && group <= 15 && layer >= 0 && layer <= 15;
    return inside ? group * 16 + layer : -1;
}

// The one character after a layer keyword as a hexadecimal digit; anything else is 0.
int LayerDigit(std::string_view rest) {
    const char text[2] = {'$', rest.empty() ? '\0' : rest[0]};
    const int d = SafeStrToInt(std::string_view(text, rest.empty() ? 1 : 2));
    return d >= 0 && d <= 15 ? d : 0;
}

// Where the number of an "hp" or "hhp" keyword ends: each suffix is searched in turn and the
// last one found decides the cut and the pick kind (its index + 1; 0 when none is found).
struct TSuffixCut {
    std::size_t Cut;
    int Kind;
};

template <std::size_t N>
TSuffixCut CutAtSuffix(std::string_view rest, const std::array<std::string_view, N>& suffixes) {
    TSuffixCut result{rest.size(), 0};
    for (std::size_t k = 0; k < N; ++k) {
        const std::size_t pos = rest.find(suffixes[k]);
        if (pos != std::string_view::npos) result = {pos, static_cast<int>(k) + 1};
    }
    return result;
}

// Header values.

void ReadSourceFile(const TTokenList& t, std::string_view) {
    ExchangeModel.SourceFileName.assign(t[0].substr(5));  // the keyword contains "file="
}

void ReadHk(const TTokenList& t, std::string_view) { ExchangeModel.HkValue = Real(t, 1); }

void ReadScales(const TTokenList& t, std::string_view) {
    for (int g = 0; g < 16; ++g) ExchangeModel.LayerGroupScale[g] = Real(t, g + 1);
}

void ReadSheet(const TTokenList& t, std::string_view) {
    ExchangeModel.SheetWidth = Real(t, 1);
    ExchangeModel.SheetHeight = Real(t, 2);
}

void ReadTextWidths(const TTokenList& t, std::string_view) {
    for (int k = 1; k <= LastTextType; ++k) ExchangeModel.TextTypes[k].Width = Real(t, k);
}

void ReadTextHeights(const TTokenList& t, std::string_view) {
    for (int k = 1; k <= LastTextType; ++k) ExchangeModel.TextTypes[k].Height = Real(t, k);
}

void ReadTextSpacings(const TTokenList& t, std::string_view) {
    for (int k = 1; k <= LastTextType; ++k) ExchangeModel.TextTypes[k].Spacing = Real(t, k);
}

void ReadTextColors(const TTokenList& t, std::string_view) {
    for (int k = 1; k <= LastTextType; ++k) ExchangeModel.TextTypes[k].Color = Int(t, k);
}

void ReadBz(const TTokenList&, std::string_view) { ExchangeModel.BzFlag = true; }

void ReadHn(const TTokenList& t, std::string_view) {
    for (int k = 1; k <= 4; ++k) ExchangeModel.HnValues[k] = Real(t, k);
}

// Layers and attributes. The first of each attribute line is the host's current setting.

void ReadLayerGroupName(const TTokenList&, std::string_view rest) {
    SetAt(ExchangeModel.LayerGroupNames, OutputAttributeState.CurLayerGroup, std::string(rest));
}

void ReadLayerName(const TTokenList&, std::string_view rest) {
    const TOutputAttributeState& s = OutputAttributeState;
    SetAt(ExchangeModel.LayerNames, LayerIndex(s.CurLayerGroup, s.CurLayer), std::string(rest));
}

// Takes the first value of an attribute as the host's setting; flag is its first-occurrence flag.
void CaptureFirst(TAttrFlag flag, int& initial, int value) {
    bool& unseen = OutputAttributeState.AttrFlags[flag];
    if (!unseen) return;
    initial = value;
    unseen = false;
}

void ReadLayerGroup(const TTokenList& t, std::string_view rest) {
    const int d = LayerDigit(rest);
    CaptureFirst(AttrLayerGroup, ExchangeModel.InitialLayerGroup, d);
    OutputAttributeState.CurLayerGroup = d;
    if (t.Count() >= 2) SetAt(ExchangeModel.LayerGroupStates, d, Int(t, 1));
}

void ReadLayer(const TTokenList& t, std::string_view rest) {
    const int d = LayerDigit(rest);
    CaptureFirst(AttrLayer, ExchangeModel.InitialLayer, d);
    OutputAttributeState.CurLayer = d;
    if (t.Count() >= 2)
        SetAt(ExchangeModel.LayerStates, LayerIndex(OutputAttributeState.CurLayerGroup, d),
              Int(t, 1));
}

void ReadColor(const TTokenList& t, std::string_view rest) {
    const int c = SafeStrToInt(rest);
    CaptureFirst(AttrColor, ExchangeModel.InitialColor, c);
    OutputAttributeState.CurColor = c;
    if (c == 10 && t.Count() >= 2) OutputAttributeState.CurExtColor = Int(t, 1);
}

void ReadLineType(const TTokenList&, std::string_view rest) {
    const int lt = SafeStrToInt(rest);
    CaptureFirst(AttrLineType, ExchangeModel.InitialLineType, lt);
    OutputAttributeState.CurLineType = lt;
}

void ReadLineWidth(const TTokenList&, std::string_view rest) {
    const int w = SafeStrToInt(rest);
    CaptureFirst(AttrLineWidth, ExchangeModel.InitialLineWidth, w);
    OutputAttributeState.CurLineWidth = w;
}

void ReadFontName(const TTokenList&, std::string_view rest) {
    if (ExchangeModel.InitialFontName.empty()) ExchangeModel.InitialFontName.assign(rest);
    OutputAttributeState.CurFontName.assign(rest);
}

void ReadTextType(const TTokenList& t, std::string_view rest) {
    TOutputAttributeState& s = OutputAttributeState;
    const int k = SafeStrToInt(rest);
    if (k == 0 && t.Count() >= 5) {
        const TJwwTextType size{Real(t, 1), Real(t, 2), Real(t, 3), Int(t, 4)};
        if (s.AttrFlags[AttrTextType]) ExchangeModel.InitialFreeText = size;
        s.CurFreeText = size;
    }
    CaptureFirst(AttrTextType, ExchangeModel.InitialTextType, k);
    s.CurTextType = k;
}

void ReadCc(const TTokenList&, std::string_view rest) {
    const int v = SafeStrToInt(rest.substr(0, 1));
    OutputAttributeState.CurCc = v >= 0 && v <= 8 ? v : 0;
}

void ReadZFlag(const TTokenList& t, std::string_view) {
    OutputAttributeState.CurZFlags |= ZFlag1 << (t[0][1] - '1');  // the keyword is "z1" to "z5"
}

void ReadPenNo(const TTokenList&, std::string_view rest) {
    OutputAttributeState.CurPenNo = SafeStrToInt(rest);
}

// Reference points and the hhp number.

void ReadRefPoint(const TTokenList& t, std::string_view rest) {
    static constexpr std::array<std::string_view, 4> Suffixes{"-", "ln", "ci", "ch"};
    const TSuffixCut cut = CutAtSuffix(rest, Suffixes);
    const int p = SafeStrToInt(rest.substr(0, cut.Cut));
    if (p < 1 || p > 99 || ExchangeModel.RefPoints.size() <= 99u) return;
    ExchangeModel.RefPoints[p] = {true, Real(t, 1), Real(t, 2), cut.Kind};
    Increment(ExchangeModel.RefPointCount);
}

void ReadHhp(const TTokenList&, std::string_view rest) {
    static constexpr std::array<std::string_view, 3> Suffixes{"ln", "ci", "ch"};
    OutputAttributeState.CurHhp = SafeStrToInt(rest.substr(0, CutAtSuffix(rest, Suffixes).Cut));
}

// The rules, tested strictly in this order; the first whose keyword and token count both match
// takes the line. A keyword that matches with the wrong count lets the next rules try.

enum class TKeyTest { Contains, Equals, StartsWith, Any };
enum class TCountTest { Any, Exactly, AtLeast };

using TRuleAction = void (*)(const TTokenList& tokens, std::string_view rest);

struct TRule {
    TKeyTest KeyTest;
    std::string_view Key;
    TCountTest CountTest;
    int Count;
    TRuleAction Apply;
};

using enum TKeyTest;
constexpr TCountTest AnyCount = TCountTest::Any;
constexpr TCountTest Exactly = TCountTest::Exactly;
constexpr TCountTest AtLeast = TCountTest::AtLeast;

// clang-format off
constexpr TRule Rules[] = {
    {Contains,   "file=", AnyCount, 0,  ReadSourceFile},
    {Equals,     "hk",    AtLeast,  2,  ReadHk},
    {Equals,     "hs",    AtLeast,  17, ReadScales},
    {Equals,     "hzs",   AtLeast,  3,  ReadSheet},
    {Equals,     "hcw",   AtLeast,  11, ReadTextWidths},
    {Equals,     "hch",   AtLeast,  11, ReadTextHeights},
    {Equals,     "hcd",   AtLeast,  11, ReadTextSpacings},
    {Equals,     "hcc",   AtLeast,  11, ReadTextColors},
    {Equals,     "bz",    AnyCount, 0,  ReadBz},
    {Equals,     "hn",    AtLeast,  5,  ReadHn},
    {StartsWith, "lgn",   AnyCount, 0,  ReadLayerGroupName},
    {StartsWith, "lyn",   AnyCount, 0,  ReadLayerName},
    {StartsWith, "lg",    AnyCount, 0,  ReadLayerGroup},
    {StartsWith, "ly",    AnyCount, 0,  ReadLayer},
    {StartsWith, "lc",    AnyCount, 0,  ReadColor},
    {StartsWith, "lt",    AnyCount, 0,  ReadLineType},
    {StartsWith, "lw",    AnyCount, 0,  ReadLineWidth},
    {StartsWith, "cn$",   AnyCount, 0,  ReadFontName},
    {StartsWith, "cn",    AnyCount, 0,  ReadTextType},
    {StartsWith, "cc",    AnyCount, 0,  ReadCc},
    {Equals,     "z1",    AnyCount, 0,  ReadZFlag},
    {Equals,     "z2",    AnyCount, 0,  ReadZFlag},
    {Equals,     "z3",    AnyCount, 0,  ReadZFlag},
    {Equals,     "z4",    AnyCount, 0,  ReadZFlag},
    {Equals,     "z5",    AnyCount, 0,  ReadZFlag},
    {StartsWith, "pn",    AnyCount, 0,  ReadPenNo},
    {Equals,     "pl",    AnyCount, 0,  OpenPolyline},
    {Equals,     "msg",   AnyCount, 0,  OpenDimension},
    {Equals,     "#",     AnyCount, 0,  ReadGroupEnd},
    {StartsWith, "hp",    AtLeast,  3,  ReadRefPoint},
    {StartsWith, "hhp",   AnyCount, 0,  ReadHhp},
    {Equals,     "ci",    Exactly,  4,  StoreCircle},
    {Equals,     "ci",    AtLeast,  8,  StoreArc},
    {Equals,     TextKeywords[TextKindCh], AtLeast, 6, StoreText},
    {Equals,     TextKeywords[TextKindCv], AtLeast, 6, StoreText},
    {Equals,     TextKeywords[TextKindCs], AtLeast, 6, StoreText},
    {Equals,     TextKeywords[TextKindCr], AtLeast, 6, StoreText},
    {Equals,     TextKeywords[TextKindCo], AtLeast, 6, StoreText},
    {Equals,     TextKeywords[TextKindCp], AtLeast, 6, StoreText},
    {Equals,     TextKeywords[TextKindCt], AtLeast, 6, StoreText},
    {Equals,     TextKeywords[TextKindCk], AtLeast, 6, StoreText},
    {Equals,     TextKeywords[TextKindCz], AtLeast, 6, StoreText},
    {Equals,     TextKeywords[TextKindC2], AtLeast, 6, StoreText},
    {Equals,     "pt",    Exactly,  3,  StorePoint},
    {Equals,     "pt",    AtLeast,  6,  StorePointEx},
    {Equals,     "BL",    AtLeast,  4,  StoreBlock},
    {Equals,     "sl",    Exactly,  5,  StoreSolid2},
    {Equals,     "sl",    Exactly,  7,  StoreSolid3},
    {Equals,     "sl",    AtLeast,  9,  StoreSolid4},
    {Equals,     "sc",    AtLeast,  9,  StoreSc},
    {Equals,     "se",    AtLeast,  9,  StoreSe},
    {Equals,     "so",    AtLeast,  9,  StoreSo},
    {Equals,     "sg",    AtLeast,  9,  StoreSg},
    {Any,        "",      Exactly,  4,  StoreLine},
};
// clang-format on

constexpr int RuleCount = static_cast<int>(std::size(Rules));

bool KeyMatches(const TRule& rule, std::string_view keyword) {
    switch (rule.KeyTest) {
        case Contains:
            return keyword.find(rule.Key) != std::string_view::npos;
        case Equals:
            return keyword == rule.Key;
        case StartsWith:
            return keyword.starts_with(rule.Key);
        case Any:
            return true;
    }
    return false;
}

bool CountMatches(const TRule& rule, int n) {
    switch (rule.CountTest) {
        case TCountTest::Any:
            return true;
        case TCountTest::Exactly:
            return n == rule.Count;
        case TCountTest::AtLeast:
            return n >= rule.Count;
    }
    return false;
}

// For each first byte of a keyword, the rules (in table order) that can possibly take it, so a
// line of numbers is not compared with every keyword of the table.
struct TRuleIndex {
    std::array<std::array<std::int8_t, RuleCount + 1>, 256> Candidates{};  // ends with -1

    constexpr TRuleIndex() {
        for (int b = 0; b < 256; ++b) {
            int used = 0;
            for (int r = 0; r < RuleCount; ++r) {
                const TRule& rule = Rules[r];
                const bool keyed = rule.KeyTest == Equals || rule.KeyTest == StartsWith;
                if (!keyed || static_cast<unsigned char>(rule.Key[0]) == b)
                    Candidates[b][used++] = static_cast<std::int8_t>(r);
            }
            Candidates[b][used] = -1;
        }
    }
};

constexpr TRuleIndex RuleIndex;

void Dispatch(const TTokenList& tokens) {
    const std::string_view keyword = tokens[0];
    const int n = tokens.Count();
    if (n == 1 && keyword.empty()) return;  // empty or blank line
    const unsigned char first = keyword.empty() ? 0 : static_cast<unsigned char>(keyword[0]);
    for (const std::int8_t* r = RuleIndex.Candidates[first].data(); *r >= 0; ++r) {
        const TRule& rule = Rules[*r];
        if (!KeyMatches(rule, keyword) || !CountMatches(rule, n)) continue;
        const std::string_view rest =
            rule.KeyTest == StartsWith ? keyword.substr(rule.Key.size()) : keyword;
        rule.Apply(tokens, rest);
        return;
    }
}

// Parses every line of data[0..size) that ends with LF (searching from `from`, the bytes before
// having no LF) and returns where the unfinished rest starts. A CR before the LF belongs to
// the line end.
std::size_t ParseWholeLines(const char* data, std::size_t size, std::size_t from) {
    std::size_t start = 0;
    while (from < size) {
        const void* found = std::memchr(data + from, '\n', size - from);
        if (!found) break;
        const std::size_t lf = static_cast<std::size_t>(static_cast<const char*>(found) - data);
        std::size_t end = lf;
        if (end > start && data[end - 1] == '\r') --end;
        JwwParseLine(std::string_view(data + start, end - start));
        start = from = lf + 1;
    }
    return start;
}

// Reads the file to its end in blocks of blockBytes, a line longer than a block in one twice
// as large (and so on). False on a read error: the lines read so far stay.
[[nodiscard]] bool ReadAllLines(const TOpenFile& in, std::size_t blockBytes) {
    std::vector<char> block(blockBytes);
    std::size_t kept = 0;  // bytes of an unfinished line at the front of the block
    for (;;) {
        if (kept == block.size()) block.resize(block.size() * 2);  // a line longer than a block
        const std::size_t wanted = block.size() - kept;
        bool failed = false;
        const std::size_t got = ReadFromFile(in, block.data() + kept, wanted, failed);
        if (failed) return false;
        const std::size_t filled = kept + got;
        const std::size_t done = ParseWholeLines(block.data(), filled, kept);
        if (got < wanted) {
            // The end of the file. The last line needs no line end.
            if (done < filled) JwwParseLine(std::string_view(block.data() + done, filled - done));
            return true;
        }
        std::memmove(block.data(), block.data() + done, filled - done);
        kept = filled - done;
    }
}

// A large selection is mostly lines of four reals, some 70 bytes each. Room for one line and
// one entry of the entity order per this many bytes of file is set aside before reading, so the
// two big lists are not copied again and again as they grow. Room that the file does not fill
// is never written, so it takes address space but no memory.
constexpr std::uintmax_t FileBytesPerLine = 64;

void ReserveForFile(std::uintmax_t bytes) {
    TExchangeModel& m = ExchangeModel;
    const std::uintmax_t lines = std::min<std::uintmax_t>(
        bytes / FileBytesPerLine, std::min(m.EntLines.max_size(), m.EntOrder.max_size()));
    try {
        m.EntLines.reserve(static_cast<std::size_t>(lines));
        m.EntOrder.reserve(static_cast<std::size_t>(lines));
    } catch (const std::bad_alloc&) {
        // Only a head start: without it the lists grow as they are filled.
    }
}

// The usual file is a few hundred bytes: a block one byte larger than a file of known size
// reads it in one call, up to the full block. A file of unknown size (a pipe) gets the full
// block.
std::size_t ReadBlockBytes(const TPath& path) {
    TFileFacts facts;
    if (!FileFacts(path, facts) || !facts.Regular) return JwwReadBlockBytes;
    ReserveForFile(facts.Bytes);
    return static_cast<std::size_t>(std::min<std::uintmax_t>(facts.Bytes + 1, JwwReadBlockBytes));
}

}  // namespace

bool JwwLoadFile(const TPath& path) {
    const TOpenFile file = OpenFileToRead(path);
    if (!file) return false;
    try {
        return ReadAllLines(file, ReadBlockBytes(path));
    } catch (const std::bad_alloc&) {
        // A selection too large for memory ends the reading like a read error: what was read
        // so far stays.
        return false;
    }
}

void JwwParseLine(std::string_view line) {
    std::array<double, 4> ends;
    if (ReadFourReals(line, ends)) {
        StoreLine(ends);
        return;
    }
    LineTokens.Split(line);
    Dispatch(LineTokens);
}
