// Every field of ExchangeModel and OutputAttributeState in a fixed order; reals by their bits,
// strings and lists with their lengths, so that no two different stores dump alike.
#include "StoreDump.h"

#include <cstdint>
#include <cstring>

#include "FuzzSupport.h"
#include "JwwGaibu.h"
#include "MyFunc.h"

namespace {

class TDump {
public:
    std::string Bytes;

    void Put(int value) { Raw(&value, sizeof value); }
    void Put(bool value) { Put(static_cast<int>(value)); }
    void Put(double value) {
        std::uint64_t bits;
        std::memcpy(&bits, &value, sizeof bits);
        Raw(&bits, sizeof bits);
    }
    void Put(const std::string& text) {
        Put(static_cast<int>(text.size()));
        Bytes += text;
    }
    template <class T, std::size_t N>
    void Put(const std::array<T, N>& values) {
        for (const T& value : values) Put(value);
    }
    template <class T>
    void Put(const std::vector<T>& values) {
        Put(static_cast<int>(values.size()));
        for (const T& value : values) Put(value);
    }
    void Put(const TJwwTextType& t) { All(t.Width, t.Height, t.Spacing, t.Color); }
    void Put(const TJwwRefPoint& p) { All(p.Given, p.X, p.Y, p.PickKind); }
    void Put(const TJwwEntHead& h) {
        All(h.Hhp, h.LayerGroup, h.Layer, h.Color, h.LineType, h.LineWidth, h.ZFlags);
    }
    void Put(const TJwwEntRef& r) { All(r.Kind, r.Index); }
    void Put(const TJwwEntLine& e) { All(e.Head, e.PolylineNo, e.X1, e.Y1, e.X2, e.Y2); }
    void Put(const TJwwEntCircle& e) { All(e.Head, e.X, e.Y, e.R); }
    void Put(const TJwwEntArc& e) { All(e.Head, e.Values); }
    void Put(const TJwwEntText& e) {
        All(e.Head, e.TextKind, e.Cc, e.TextType, e.Width, e.Height, e.Spacing, e.X, e.Y, e.Dx,
            e.Dy, e.FontName, e.Text);
    }
    void Put(const TJwwEntPoint& e) { All(e.Head, e.X, e.Y); }
    void Put(const TJwwEntPointEx& e) { All(e.Head, e.X, e.Y, e.A, e.B, e.N); }
    void Put(const TJwwEntDim& e) { All(e.Head, e.Line, e.Text); }
    void Put(const TJwwEntBlk& e) { All(e.Head, e.X, e.Y, e.Name); }
    void Put(const TJwwEntSl2& e) { All(e.Head, e.ExtColor, e.X1, e.Y1, e.X2, e.Y2); }
    void Put(const TJwwEntSl3& e) { All(e.Head, e.ExtColor, e.X1, e.Y1, e.X2, e.Y2, e.X3, e.Y3); }
    void Put(const TJwwEntSl4& e) {
        All(e.Head, e.ExtColor, e.X1, e.Y1, e.X2, e.Y2, e.X3, e.Y3, e.X4, e.Y4);
    }
    void Put(const TJwwEntSc& e) { All(e.Head, e.ExtColor, e.Values, e.N); }
    void Put(const TJwwEntSo& e) { All(e.Head, e.ExtColor, e.Values); }
    void Put(const TOutputRecord& r) { All(r.Text, r.JoinsNext); }

    template <class... T>
    void All(const T&... values) {
        (Put(values), ...);
    }

private:
    void Raw(const void* data, std::size_t size) {
        Bytes.append(static_cast<const char*>(data), size);
    }
};

}  // namespace

std::string DumpStore() {
    const TExchangeModel& m = ExchangeModel;
    const TOutputAttributeState& s = OutputAttributeState;
    TDump d;
    d.All(m.SourceFileName, m.HkValue, m.LayerGroupScale, m.SheetWidth, m.SheetHeight, m.TextTypes,
          m.BzFlag, m.HnValues);
    d.All(m.InitialLayerGroup, m.InitialLayer, m.InitialColor, m.InitialLineType,
          m.InitialLineWidth, m.InitialTextType, m.InitialFreeText, m.InitialFontName);
    d.All(m.LayerGroupStates, m.LayerGroupNames, m.LayerStates, m.LayerNames, m.RefPoints,
          m.RefPointCount);
    d.All(m.PolylineNo, m.InPolyline, m.DimPending, m.PendingDimLine);
    d.All(m.EntOrder, m.EntLines, m.EntCircles, m.EntArcs, m.EntTexts, m.EntPoints, m.EntPointsEx,
          m.EntDims, m.EntBlocks, m.EntSl2, m.EntSl3, m.EntSl4, m.EntSc, m.EntSe, m.EntSo, m.EntSg);
    d.All(s.CurHhp, s.CurLayerGroup, s.CurLayer, s.CurColor, s.CurLineType, s.CurLineWidth,
          s.CurTextType, s.CurFreeText, s.CurCc, s.CurFontName, s.CurZFlags, s.CurPenNo,
          s.CurExtColor, s.AttrFlags);
    d.Put(OutputLines);
    return d.Bytes;
}

namespace {

bool InRange(int value, int low, int high) { return value >= low && value <= high; }

template <class T>
int Count(const std::vector<T>& list) {
    return static_cast<int>(list.size());
}

bool IsShortText(const std::string& text) {
    return text.size() <= 255 && TruncateWholeChars(text, 255) == text;
}

}  // namespace

void RequireStoreShape() {
    const TExchangeModel& m = ExchangeModel;
    const TOutputAttributeState& s = OutputAttributeState;
    Require(m.LayerGroupStates.size() == 16 && m.LayerGroupNames.size() == 16, "group tables");
    Require(m.LayerStates.size() == 256 && m.LayerNames.size() == 256, "layer tables");
    Require(m.RefPoints.size() == 100 && !m.RefPoints[0].Given, "reference points");
    int given = 0;
    for (const TJwwRefPoint& p : m.RefPoints) given += p.Given;
    Require(m.RefPointCount >= given, "every given point counted");
    Require(InRange(m.InitialLayerGroup, 0, 15) && InRange(m.InitialLayer, 0, 15) &&
                InRange(s.CurLayerGroup, 0, 15) && InRange(s.CurLayer, 0, 15),
            "layer group and layer within 0..15");
    Require(InRange(s.CurCc, 0, 8) && InRange(s.CurZFlags, 0, 31), "cc and z flags");

    const int counts[16] = {0,
                            Count(m.EntLines),
                            Count(m.EntCircles),
                            Count(m.EntArcs),
                            Count(m.EntTexts),
                            Count(m.EntPoints),
                            Count(m.EntPointsEx),
                            Count(m.EntDims),
                            Count(m.EntBlocks),
                            Count(m.EntSl2),
                            Count(m.EntSl3),
                            Count(m.EntSl4),
                            Count(m.EntSc),
                            Count(m.EntSe),
                            Count(m.EntSo),
                            Count(m.EntSg)};
    int next[16] = {};
    for (const TJwwEntRef& ref : m.EntOrder) {
        Require(InRange(ref.Kind, 1, 15), "entity kind");
        Require(ref.Index == next[ref.Kind]++, "entity order follows each list");
    }
    for (int kind = 1; kind <= 15; ++kind) {
        Require(next[kind] == counts[kind], "every entity in the order");
    }
    for (const TJwwEntText& t : m.EntTexts) {
        Require(IsShortText(t.Text) && IsShortText(t.FontName), "texts of at most 255 bytes");
    }
    for (const TJwwEntDim& d : m.EntDims) {
        Require(IsShortText(d.Text.Text) && IsShortText(d.Text.FontName), "figure texts");
        Require(d.Text.TextKind == 2, "a figure's text is a cs text");
    }
}
