// Reads the file with the tool's own reader and reports the store it fills.
#include "HostShow.h"

#include <algorithm>
#include <fstream>
#include <sstream>

#include "HostText.h"
#include "JwwGaibu.h"

namespace {

std::string SizeText(const TJwwTextType& t) {
    return HostNumber(t.Width) + " x " + HostNumber(t.Height) + " mm, spacing " +
           HostNumber(t.Spacing) + ", colour " + std::to_string(t.Color);
}

const char* const PickSuffix[] = {"", "-", "ln", "ci", "ch"};

}  // namespace

bool ShowExchangeFile(const std::filesystem::path& path, std::string& report) {
    std::error_code ec;
    if (!std::filesystem::is_regular_file(path, ec) || !std::ifstream(path)) return false;
    JwwInit();
    if (!JwwLoadFile(path)) {
        JwwFree();
        return false;
    }
    const TExchangeModel& m = ExchangeModel;
    std::ostringstream out;
    const int group = m.InitialLayerGroup;
    out << "file: " << path.string() << "\n"
        << "layer group: " << std::hex << std::uppercase << group << std::dec << " (scale 1/"
        << HostNumber(m.LayerGroupScale[group]) << ")\n"
        << "layer: " << std::hex << std::uppercase << m.InitialLayer << std::dec << "\n"
        << "line colour: " << m.InitialColor << ", line type: " << m.InitialLineType
        << ", line width: " << m.InitialLineWidth << "\n";
    const int type = m.InitialTextType;
    out << "text type: ";
    if (type >= 1 && type <= 10) {
        out << type << " (" << SizeText(m.TextTypes[type]) << ")\n";
    } else {
        out << type << ", free size (" << SizeText(m.InitialFreeText) << ")\n";
    }
    out << "font: " << SjisToUtf8(m.InitialFontName) << "\n"
        << "axis angle: " << HostNumber(m.HkValue) << "\n"
        << "scales:";
    for (double s : m.LayerGroupScale) out << " " << HostNumber(s);
    out << "\ntext types:\n";
    for (int i = 1; i <= 10; ++i) out << "  " << i << ": " << SizeText(m.TextTypes[i]) << "\n";
    out << "points: " << m.RefPointCount << "\n";
    for (int i = 1; i <= 99; ++i) {
        const TJwwRefPoint& p = m.RefPoints[i];
        if (!p.Given) continue;
        std::string name =
            std::to_string(i) + PickSuffix[p.PickKind >= 0 && p.PickKind <= 4 ? p.PickKind : 0];
        name.resize(std::max<std::size_t>(name.size(), 4), ' ');
        out << "  " << name << " (" << HostNumber(p.X) << ", " << HostNumber(p.Y) << ")\n";
    }
    const std::pair<const char*, std::size_t> kinds[] = {
        {"lines", m.EntLines.size()},
        {"circles", m.EntCircles.size()},
        {"arcs", m.EntArcs.size()},
        {"texts", m.EntTexts.size()},
        {"points", m.EntPoints.size()},
        {"point marks", m.EntPointsEx.size()},
        {"dimension figures", m.EntDims.size()},
        {"blocks", m.EntBlocks.size()},
        {"solids", m.EntSl2.size() + m.EntSl3.size() + m.EntSl4.size()},
        {"curved solids", m.EntSc.size() + m.EntSe.size() + m.EntSo.size() + m.EntSg.size()},
    };
    out << "entities:";
    bool any = false;
    for (const auto& [name, count] : kinds) {
        if (count == 0) continue;
        out << (any ? ", " : " ") << name << " " << count;
        any = true;
    }
    out << (any ? "\n" : " none\n");
    JwwFree();
    report = out.str();
    return true;
}
