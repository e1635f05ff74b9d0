// The entity lines of JWC_TEMP.TXT and their grouping: each entity becomes a record of the
// exchange model with the running attributes as its header.
#include "JwwGaibuEntities.h"

#include <algorithm>
#include <array>
#include <cassert>
#include <cmath>
#include <string>

#include "JwwGaibu.h"
#include "MyFunc.h"

namespace {

void CloseGroups() {
    ExchangeModel.InPolyline = false;
    ExchangeModel.DimPending = false;
}

// A text and its font name are kept to this many bytes, as the host's own fields.
constexpr std::size_t MaxTextBytes = 255;

// Each new record takes its header from the running attributes; storing it ends the z
// attributes, and every entity but a line ends an open polyline or dimension figure.
template <class T>
T& AddEntity(std::vector<T>& list, int kind) {
    T& record = list.emplace_back();
    FillEntHead(record.Head);
    AddEntRef(kind, static_cast<int>(list.size() - 1));
    return record;
}

void EndEntity() {
    OutputAttributeState.CurZFlags = 0;
    CloseGroups();
}

template <std::size_t N>
void ReadReals(const TTokenList& t, int first, std::array<double, N>& values) {
    for (std::size_t k = 0; k < N; ++k) values[k] = Real(t, first + static_cast<int>(k));
}

void FillText(TJwwEntText& text, TJwwTextKind kind, const TTokenList& t) {
    const TOutputAttributeState& s = OutputAttributeState;
    FillEntHead(text.Head);
    text.TextKind = kind;
    text.Cc = s.CurCc;
    text.TextType = s.CurTextType;
    const bool typed = s.CurTextType >= 1 && s.CurTextType <= LastTextType;
    const TJwwTextType& size = typed ? ExchangeModel.TextTypes[s.CurTextType] : s.CurFreeText;
    text.Head.Color = size.Color;
    text.Width = size.Width;
    text.Height = size.Height;
    text.Spacing = size.Spacing;
    text.X = Real(t, 1);
    text.Y = Real(t, 2);
    text.Dx = Real(t, 3);
    text.Dy = Real(t, 4);
    text.FontName = TruncateWholeChars(s.CurFontName, MaxTextBytes);
    text.Text = TruncateWholeChars(t[5], MaxTextBytes);
}

// A point takes its colour from the last "pn" line, not from "lc".
template <class T>
T& AddPoint(std::vector<T>& list, int kind, const TTokenList& t) {
    T& p = AddEntity(list, kind);
    p.Head.Color = OutputAttributeState.CurPenNo;
    p.X = Real(t, 1);
    p.Y = Real(t, 2);
    return p;
}

// Solids ("sl"): corners that coincide within 1e-10 are merged into fewer corners.
struct TCorner {
    double X, Y;
};

// Corners this close in both coordinates are one corner (the reader's own rule, not the
// construction's zero).
constexpr double SameCornerTolerance = 1e-10;

bool SameCorner(const TCorner& a, const TCorner& b) {
    return std::fabs(static_cast<long double>(a.X) - b.X) <= SameCornerTolerance &&
           std::fabs(static_cast<long double>(a.Y) - b.Y) <= SameCornerTolerance;
}

TCorner CornerAt(const TTokenList& t, int first) { return {Real(t, first), Real(t, first + 1)}; }

void StoreSolid(const TCorner& p1, const TCorner& p2) {
    TJwwEntSl2& s = AddEntity(ExchangeModel.EntSl2, KindSl2);
    s.ExtColor = OutputAttributeState.CurExtColor;
    s.X1 = p1.X, s.Y1 = p1.Y, s.X2 = p2.X, s.Y2 = p2.Y;
    EndEntity();
}

void StoreSolid(const TCorner& p1, const TCorner& p2, const TCorner& p3) {
    TJwwEntSl3& s = AddEntity(ExchangeModel.EntSl3, KindSl3);
    s.ExtColor = OutputAttributeState.CurExtColor;
    s.X1 = p1.X, s.Y1 = p1.Y, s.X2 = p2.X, s.Y2 = p2.Y, s.X3 = p3.X, s.Y3 = p3.Y;
    EndEntity();
}

void StoreSolid(const TCorner& p1, const TCorner& p2, const TCorner& p3, const TCorner& p4) {
    TJwwEntSl4& s = AddEntity(ExchangeModel.EntSl4, KindSl4);
    s.ExtColor = OutputAttributeState.CurExtColor;
    s.X1 = p1.X, s.Y1 = p1.Y, s.X2 = p2.X, s.Y2 = p2.Y;
    s.X3 = p3.X, s.Y3 = p3.Y, s.X4 = p4.X, s.Y4 = p4.Y;
    EndEntity();
}

// "sc" and "se": seven reals and an integer; "so" and "sg": eight reals.
void StoreSevenAndInt(std::vector<TJwwEntSc>& list, int kind, const TTokenList& t) {
    TJwwEntSc& s = AddEntity(list, kind);
    s.ExtColor = OutputAttributeState.CurExtColor;
    ReadReals(t, 1, s.Values);
    s.N = Int(t, 8);
    EndEntity();
}

void StoreEightReals(std::vector<TJwwEntSo>& list, int kind, const TTokenList& t) {
    TJwwEntSo& s = AddEntity(list, kind);
    s.ExtColor = OutputAttributeState.CurExtColor;
    ReadReals(t, 1, s.Values);
    EndEntity();
}

}  // namespace

// Grouping: a polyline ("pl") or a dimension figure ("msg") stays open until "#" or an entity
// other than a line.

void OpenPolyline(const TTokenList&, std::string_view) {
    TExchangeModel& m = ExchangeModel;
    Increment(m.PolylineNo);
    m.InPolyline = true;
    m.DimPending = false;
}

void OpenDimension(const TTokenList&, std::string_view) {
    ExchangeModel.DimPending = true;
    ExchangeModel.InPolyline = false;
}

void ReadGroupEnd(const TTokenList&, std::string_view) { CloseGroups(); }

void StoreCircle(const TTokenList& t, std::string_view) {
    TJwwEntCircle& c = AddEntity(ExchangeModel.EntCircles, KindCircle);
    c.X = Real(t, 1);
    c.Y = Real(t, 2);
    c.R = Real(t, 3);
    EndEntity();
}

void StoreArc(const TTokenList& t, std::string_view) {
    ReadReals(t, 1, AddEntity(ExchangeModel.EntArcs, KindArc).Values);
    EndEntity();
}

void StoreText(const TTokenList& t, std::string_view) {
    TExchangeModel& m = ExchangeModel;
    const auto found = std::find(TextKeywords.begin(), TextKeywords.end(), t[0]);
    assert(found != TextKeywords.end());  // the rule table sends only these keywords
    const auto kind = static_cast<TJwwTextKind>(found - TextKeywords.begin());
    if (kind == TextKindCs && m.DimPending) {
        // "msg", a line and this "cs" text form one dimension figure.
        TJwwEntDim& dim = AddEntity(m.EntDims, KindDim);
        dim.Line = m.PendingDimLine;
        FillText(dim.Text, kind, t);
    } else {
        FillText(AddEntity(m.EntTexts, KindText), kind, t);
    }
    EndEntity();
}

void StorePoint(const TTokenList& t, std::string_view) {
    AddPoint(ExchangeModel.EntPoints, KindPoint, t);
    EndEntity();
}

void StorePointEx(const TTokenList& t, std::string_view) {
    TJwwEntPointEx& p = AddPoint(ExchangeModel.EntPointsEx, KindPointEx, t);
    p.A = Real(t, 3);
    p.B = Real(t, 4);
    p.N = Int(t, 5);
    EndEntity();
}

void StoreBlock(const TTokenList& t, std::string_view) {
    TJwwEntBlk& b = AddEntity(ExchangeModel.EntBlocks, KindBlock);
    b.X = Real(t, 1);
    b.Y = Real(t, 2);
    b.Name.assign(t[3]);
    EndEntity();
}

void StoreSolid2(const TTokenList& t, std::string_view) {
    StoreSolid(CornerAt(t, 1), CornerAt(t, 3));
}

void StoreSolid3(const TTokenList& t, std::string_view) {
    const TCorner p1 = CornerAt(t, 1), p2 = CornerAt(t, 3), p3 = CornerAt(t, 5);
    if (SameCorner(p1, p2)) {
        StoreSolid(p1, p3);
    } else if (SameCorner(p2, p3)) {
        StoreSolid(p1, p2);
    } else {
        StoreSolid(p1, p2, p3);
    }
}

void StoreSolid4(const TTokenList& t, std::string_view) {
    const TCorner p1 = CornerAt(t, 1), p2 = CornerAt(t, 3), p3 = CornerAt(t, 5),
                  p4 = CornerAt(t, 7);
    if (SameCorner(p1, p2) && SameCorner(p1, p3)) {
        StoreSolid(p1, p4);
    } else if (SameCorner(p2, p3) && SameCorner(p2, p4)) {
        StoreSolid(p1, p2);
    } else if (SameCorner(p1, p2) && SameCorner(p3, p4)) {
        StoreSolid(p1, p3);
    } else if (SameCorner(p4, p1) || SameCorner(p4, p2) || SameCorner(p4, p3)) {
        StoreSolid(p1, p2, p3);
    } else if (SameCorner(p3, p1) || SameCorner(p3, p2)) {
        StoreSolid(p1, p2, p4);
    } else if (SameCorner(p2, p1)) {
        StoreSolid(p1, p3, p4);
    } else {
        StoreSolid(p1, p2, p3, p4);
    }
}

void StoreSc(const TTokenList& t, std::string_view) {
    StoreSevenAndInt(ExchangeModel.EntSc, KindSc, t);
}
void StoreSe(const TTokenList& t, std::string_view) {
    StoreSevenAndInt(ExchangeModel.EntSe, KindSe, t);
}
void StoreSo(const TTokenList& t, std::string_view) {
    StoreEightReals(ExchangeModel.EntSo, KindSo, t);
}
void StoreSg(const TTokenList& t, std::string_view) {
    StoreEightReals(ExchangeModel.EntSg, KindSg, t);
}

// A line keeps an open polyline or dimension figure open; inside a dimension figure it becomes
// the figure's line, replacing an earlier one.
void StoreLine(const std::array<double, 4>& ends) {
    TExchangeModel& m = ExchangeModel;
    TJwwEntLine* line = &m.PendingDimLine;
    if (m.DimPending) {
        FillEntHead(line->Head);
        line->PolylineNo = 0;
    } else {
        line = &AddEntity(m.EntLines, KindLine);
        line->PolylineNo = m.InPolyline ? m.PolylineNo : 0;
    }
    line->X1 = ends[0];
    line->Y1 = ends[1];
    line->X2 = ends[2];
    line->Y2 = ends[3];
    OutputAttributeState.CurZFlags = 0;
}

void StoreLine(const TTokenList& t, std::string_view) {
    StoreLine({Real(t, 0), Real(t, 1), Real(t, 2), Real(t, 3)});
}

// Most lines of a large selection are four reals. Their first token cannot be taken by any
// rule before the line rule (no keyword starts with a digit, sign or point, and a real does not
// contain "file="), so such a line is read straight into its four values, which is exactly
// what splitting it and reading each token would give. False, with nothing stored, for every
// other line: fewer or more tokens, a trailing blank, anything that is not a real.
bool ReadFourReals(std::string_view line, std::array<double, 4>& values) {
    const char* p = line.data();
    const char* const end = p + line.size();
    const auto isSeparator = [](char c) { return c == ' ' || c == '\t'; };
    for (std::size_t k = 0; k < values.size(); ++k) {
        while (p < end && isSeparator(*p)) ++p;
        const std::size_t used =
            ReadReal(std::string_view(p, static_cast<std::size_t>(end - p)), values[k]);
        if (used == 0) return false;
        p += used;
        const bool last = k + 1 == values.size();
        if (last ? p != end : p == end || !isSeparator(*p)) return false;
    }
    return true;
}
