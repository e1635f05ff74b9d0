// The exchange store: the process-wide instances, their defaults, the reset at start-up and
// before writing, the release at close, and the entity headers and number maps the reader and
// the writer share.
#include <climits>
#include <string>
#include <vector>

#include "JwwGaibu.h"
#include "JwwGaibuTokens.h"

TExchangeModel ExchangeModel;
TOutputAttributeState OutputAttributeState;
std::vector<TOutputRecord> OutputLines;
const char DefaultFontName[] =
    "<\x82\x6c\x82\x72 \x83\x53\x83\x56\x83\x62\x83\x4e>";  // <ＭＳ ゴシック>

namespace {

constexpr TJwwTextType DefaultTextType{3.0, 3.0, 0.0, 2};
constexpr TJwwTextType DefaultFreeText{2.0, 2.0, 0.0, 1};

// Every list of the store, so that emptying and releasing cannot forget one.
template <class F>
void ForEachList(F&& f) {
    TExchangeModel& m = ExchangeModel;
    f(m.EntOrder);
    f(m.EntLines);
    f(m.EntCircles);
    f(m.EntArcs);
    f(m.EntTexts);
    f(m.EntPoints);
    f(m.EntPointsEx);
    f(m.EntDims);
    f(m.EntBlocks);
    f(m.EntSl2);
    f(m.EntSl3);
    f(m.EntSl4);
    f(m.EntSc);
    f(m.EntSe);
    f(m.EntSo);
    f(m.EntSg);
    f(OutputLines);
}

template <class T>
void Release(std::vector<T>& list) {
    std::vector<T>().swap(list);
}

TJwwEntLine DefaultDimLine() {
    TJwwEntLine line;
    line.Head.Color = 1;
    line.Head.LineType = 1;
    line.X2 = 1;
    return line;
}

// The attributes that both the reader's start and the writer's start put back.
void ResetRunningAttributes() {
    TOutputAttributeState& s = OutputAttributeState;
    s.CurLayerGroup = 0;
    s.CurLayer = 0;
    s.CurColor = 1;
    s.CurLineType = 1;
    s.CurLineWidth = 0;
    s.CurTextType = 1;
    s.CurFreeText = DefaultFreeText;
    s.CurCc = 0;
    s.CurFontName = DefaultFontName;
    s.CurPenNo = 1;
    s.CurExtColor = 0;
}

void ResetHeader() {
    TExchangeModel& m = ExchangeModel;
    m.SourceFileName.clear();
    m.HkValue = 0;
    m.LayerGroupScale.fill(1.0);
    m.SheetWidth = 1189;
    m.SheetHeight = 841;
    m.TextTypes.fill(DefaultTextType);
    m.BzFlag = false;
    m.HnValues.fill(0);
}

void ResetInitialAttributes() {
    TExchangeModel& m = ExchangeModel;
    m.InitialLayerGroup = 0;
    m.InitialLayer = 0;
    m.InitialColor = 1;
    m.InitialLineType = 1;
    m.InitialLineWidth = 0;
    m.InitialTextType = 1;
    m.InitialFreeText = DefaultFreeText;
    m.InitialFontName.clear();
}

// Colour and line-type numbers come from the input unchecked; saturate instead of overflowing.
int AddSaturated(int n, int offset) { return n > INT_MAX - offset ? INT_MAX : n + offset; }

}  // namespace

void JwwInit() {
    TExchangeModel& m = ExchangeModel;
    ResetHeader();
    ResetInitialAttributes();
    m.LayerGroupStates.assign(16, 0);
    m.LayerGroupNames.assign(16, std::string());
    m.LayerStates.assign(256, 0);
    m.LayerNames.assign(256, std::string());
    m.RefPoints.assign(100, TJwwRefPoint{});
    m.RefPointCount = 0;
    m.PolylineNo = 0;
    m.InPolyline = false;
    m.DimPending = false;
    m.PendingDimLine = DefaultDimLine();
    ForEachList([](auto& list) { list.clear(); });

    TOutputAttributeState& s = OutputAttributeState;
    ResetRunningAttributes();
    s.CurHhp = 0;
    s.CurZFlags = 0;
    // The flags after AttrTextType belong to the writer alone; ResetOutputState sets them.
    for (int k = AttrLayerGroup; k <= AttrTextType; ++k) s.AttrFlags[k] = true;
}

void ResetOutputState() {
    ResetRunningAttributes();
    for (int k = AttrLayerGroup; k <= AttrPenNo; ++k) OutputAttributeState.AttrFlags[k] = true;
}

void FillEntHead(TJwwEntHead& head) {
    const TOutputAttributeState& s = OutputAttributeState;
    head.Hhp = s.CurHhp;
    head.LayerGroup = s.CurLayerGroup;
    head.Layer = s.CurLayer;
    head.Color = s.CurColor;
    head.LineType = s.CurLineType;
    head.LineWidth = s.CurLineWidth;
    head.ZFlags = s.CurZFlags;
}

void AddEntRef(int kind, int index) { ExchangeModel.EntOrder.push_back({kind, index}); }

int MapColorNumber(int n) {
    if (n <= 0) return ExchangeModel.InitialColor;
    if (n <= 9) return n;
    return AddSaturated(n, 91);
}

int MapLineTypeNumber(int n) {
    if (n <= 0) return ExchangeModel.InitialLineType;
    if (n <= 9) return n;
    if (n <= 18) return n + 1;
    return AddSaturated(n, 12);
}

void JwwFree() {
    TExchangeModel& m = ExchangeModel;
    Release(m.LayerGroupStates);
    Release(m.LayerGroupNames);
    Release(m.LayerStates);
    Release(m.LayerNames);
    Release(m.RefPoints);
    ForEachList([](auto& list) { Release(list); });
    LineTokens.Release();
}
