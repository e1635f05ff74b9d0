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

namespace {

// Every list of the store, so that releasing cannot forget one.
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

// Raises the flags first..last of the running attribute state.
void RaiseFlags(TAttrFlag first, TAttrFlag last) {
    for (int k = first; k <= last; ++k) OutputAttributeState.AttrFlags[k] = true;
}

// Colour and line-type numbers come from the input unchecked; saturate instead of overflowing.
int AddSaturated(int n, int offset) { return n > INT_MAX - offset ? INT_MAX : n + offset; }

}  // namespace

void JwwInit() {
    ExchangeModel = TExchangeModel{};
    OutputLines.clear();
    // The flags after AttrTextType belong to the writer alone; ResetOutputState sets them.
    const auto flags = OutputAttributeState.AttrFlags;
    OutputAttributeState = TOutputAttributeState{};
    OutputAttributeState.AttrFlags = flags;
    RaiseFlags(AttrLayerGroup, AttrTextType);
}

// The reader's own values (CurHhp, CurZFlags) are not the writer's and stay.
void ResetOutputState() {
    static_cast<TJwwRunningAttributes&>(OutputAttributeState) = TJwwRunningAttributes{};
    RaiseFlags(AttrLayerGroup, AttrPenNo);
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
