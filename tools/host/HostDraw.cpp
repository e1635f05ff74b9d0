// Draws the tool's output as the host would show it: the exchange reader turns the output into
// entity records, each record becomes SVG in drawing units (y turned up), and the view is fitted
// around everything with a margin, a title and a scale bar.
#include "HostDraw.h"

#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cmath>
#include <limits>
#include <sstream>

#include "HostFiles.h"
#include "HostText.h"
#include "JwwGaibu.h"
#include "MyFunc.h"
#include "Unit1Dim.h"

namespace fs = std::filesystem;

namespace {

// The text with &, <, > and " escaped for XML.
std::string XmlEscape(std::string_view utf8) {
    std::string out;
    out.reserve(utf8.size());
    for (char c : utf8) {
        const char* entity = c == '&'   ? "&amp;"
                             : c == '<' ? "&lt;"
                             : c == '>' ? "&gt;"
                             : c == '"' ? "&quot;"
                                        : nullptr;
        if (entity) {
            out += entity;
        } else {
            out += c;
        }
    }
    return out;
}

// The picture's size on screen; strokes and labels are sized in these pixels.
constexpr double MaxWidthPx = 1200;
constexpr double MaxHeightPx = 900;
constexpr char ContextColor[] = "#b4b4b4";
constexpr char PickColor[] = "#e06000";
constexpr char FontFamily[] = "IPAGothic, sans-serif";

// IPAGothic's em box reaches 0.12 em below the baseline; the host's text box starts at its
// reference point, so the baseline sits that far above it.
constexpr double DescentEm = 0.12;
// A plain point's dot, in paper mm.
constexpr double PlainPointRadius = 0.3;

struct TPoint {
    double X = 0, Y = 0;
};

struct TBounds {
    double MinX = std::numeric_limits<double>::infinity();
    double MinY = std::numeric_limits<double>::infinity();
    double MaxX = -std::numeric_limits<double>::infinity();
    double MaxY = -std::numeric_limits<double>::infinity();

    void Add(TPoint p) {
        if (!std::isfinite(p.X) || !std::isfinite(p.Y)) return;
        MinX = std::min(MinX, p.X);
        MinY = std::min(MinY, p.Y);
        MaxX = std::max(MaxX, p.X);
        MaxY = std::max(MaxY, p.Y);
    }
    bool Empty() const { return MinX > MaxX; }
};

// The host's screen colour of a colour number, as "#rrggbb".
std::string ScreenColor(int color) {
    // The host's screen colours 1 to 9 on a white background (1 light blue, 2 black, 3 green,
    // 4 yellow, 5 magenta, 6 blue, 7 dark green, 8 red, 9 the auxiliary colour).
    static const char* const colors[] = {"#404040", "#00b0b0", "#000000", "#00a000", "#c8a000",
                                         "#ff00ff", "#0000ff", "#006e3c", "#ff0000", "#a0a0ff"};
    return color >= 1 && color <= 9 ? colors[color] : colors[0];
}

std::string Num(double v) { return HostNumber(v, 10); }

// SVG's y runs down; the drawing's runs up.
std::string Xy(TPoint p) { return Num(p.X) + "," + Num(-p.Y); }

double Radians(double angleDeg) { return static_cast<double>(angleDeg / 180.0L * Pi); }

// A point of a shape given in its own frame (paper mm, +x along the angle), placed at `at`.
TPoint Place(TPoint at, double unit, double angleDeg, double lx, double ly) {
    const long double a = Radians(angleDeg);
    const long double c = ExtCos(a), s = ExtSin(a);
    return {static_cast<double>(at.X + unit * (lx * c - ly * s)),
            static_cast<double>(at.Y + unit * (lx * s + ly * c))};
}

struct TSvgBuilder {
    std::ostringstream Body;
    TBounds Bounds;

    void Line(const char* cls, TPoint a, TPoint b, const std::string& color) {
        Body << "<line class=\"" << cls << "\" x1=\"" << Num(a.X) << "\" y1=\"" << Num(-a.Y)
             << "\" x2=\"" << Num(b.X) << "\" y2=\"" << Num(-b.Y) << "\" stroke=\"" << color
             << "\"/>\n";
        Bounds.Add(a);
        Bounds.Add(b);
    }

    void Polygon(const std::vector<TPoint>& points, bool closed, bool filled,
                 const std::string& color) {
        Body << "<" << (closed ? "polygon" : "polyline") << " points=\"";
        for (std::size_t i = 0; i < points.size(); ++i) {
            Body << (i ? " " : "") << Xy(points[i]);
            Bounds.Add(points[i]);
        }
        Body << "\" stroke=\"" << color << "\" fill=\"" << (filled ? color : "none") << "\"/>\n";
    }

    void Circle(TPoint c, double r, bool filled, const std::string& color) {
        Body << "<circle cx=\"" << Num(c.X) << "\" cy=\"" << Num(-c.Y) << "\" r=\"" << Num(r)
             << "\" stroke=\"" << color << "\" fill=\"" << (filled ? color : "none") << "\"/>\n";
        Bounds.Add({c.X - r, c.Y - r});
        Bounds.Add({c.X + r, c.Y + r});
    }
};

// ---- point marks --------------------------------------------------------------------------------

// A mark's reach along the dimension line from its point, in paper mm at magnification 1: the
// extents the tool itself assumes when it decides whether the marks fit.
double PaperExtent(int kind) {
    TDimParams unit;
    unit.MarkScale = 1;
    unit.Scale = 1;
    return MarkExtent(kind, unit);
}

// Arrow-like marks reach their length back from the tip, 15 degrees to each side; squares and
// circles their half width around the point; the slash and the wave reach it along both axes.
void DrawMark(TSvgBuilder& svg, const TJwwEntPointEx& mark, double scale) {
    const std::string color = ScreenColor(mark.Head.Color);
    const TPoint at{mark.X, mark.Y};
    const double unit = (mark.A == 0 ? 1 : mark.A) * scale;
    auto p = [&](double lx, double ly) { return Place(at, unit, mark.B, lx, ly); };
    const double length = PaperExtent(MarkTriangle);
    const double halfWidth = length * std::tan(Radians(15));
    const double h = PaperExtent(MarkSquare);
    const double slash = PaperExtent(MarkSlash);
    const std::vector<TPoint> arrow = {p(0, 0), p(-length, halfWidth), p(-length, -halfWidth)};

    svg.Body << "<g class=\"mark\" data-code=\"" << mark.N << "\">\n";
    switch (mark.N) {
        case MarkTriangle:
        case MarkOpenTriangle:  // shown in the dialog with the same symbol
        case MarkFilledTriangle:
            svg.Polygon(arrow, true, mark.N == MarkFilledTriangle, color);
            break;
        case MarkChevron:
            svg.Polygon({arrow[1], arrow[0], arrow[2]}, false, false, color);
            break;
        case MarkSquare:
        case MarkFilledSquare:
            svg.Polygon({p(-h, -h), p(h, -h), p(h, h), p(-h, h)}, true, mark.N == MarkFilledSquare,
                        color);
            break;
        case MarkRing:
        case MarkCircle:
        case MarkFilledCircle:
            svg.Circle(at, h * unit, mark.N == MarkFilledCircle, color);
            break;
        case MarkSlash:
            svg.Polygon({p(-slash, -slash), p(slash, slash)}, false, false, color);
            break;
        case MarkTilde: {  // a wave along the slash's stroke
            const TPoint a = p(-slash, -slash), c1 = p(-1.4, 0.6), c2 = p(1.4, -0.6),
                         b = p(slash, slash);
            svg.Body << "<path d=\"M" << Xy(a) << " C" << Xy(c1) << " " << Xy(c2) << " " << Xy(b)
                     << "\" stroke=\"" << color << "\" fill=\"none\"/>\n";
            for (TPoint q : {a, b}) svg.Bounds.Add(q);
            break;
        }
        default:  // codes 0 and below: a plain point
            svg.Circle(at, PlainPointRadius * unit, true, color);
    }
    svg.Body << "</g>\n";
}

// ---- texts --------------------------------------------------------------------------------------

// One character per tspan, each at its place along the text: full-width characters are the
// text type's width wide with its spacing after them, half-width ones half of both. The text is
// squeezed horizontally from the font's square em to that width.
void DrawText(TSvgBuilder& svg, const TJwwEntText& text, double scale, const char* cls) {
    const double width = text.Width * scale, height = text.Height * scale,
                 spacing = text.Spacing * scale;
    if (!(height > 0) || !(width > 0) || (text.Dx == 0 && text.Dy == 0)) return;
    const double angle = AngleDeg(text.Dx, text.Dy);
    const TPoint at{text.X, text.Y};
    const double squeeze = width / height;
    const std::string color = ScreenColor(text.Head.Color);

    svg.Body << "<text class=\"" << cls << "\" data-text=\"" << XmlEscape(SjisToUtf8(text.Text))
             << "\" font-size=\"" << Num(height) << "\" fill=\"" << color
             << "\" transform=\"translate(" << Num(at.X) << " " << Num(-at.Y) << ") rotate("
             << Num(-angle) << ") scale(" << Num(squeeze) << " 1)\">";
    double along = 0;
    const std::string& bytes = text.Text;
    for (std::size_t i = 0; i < bytes.size();) {
        const bool wide = IsLeadByte(static_cast<unsigned char>(bytes[i]));
        const std::size_t n = wide && i + 1 < bytes.size() ? 2 : 1;
        svg.Body << "<tspan x=\"" << Num(along / squeeze) << "\" y=\"" << Num(-DescentEm * height)
                 << "\">" << XmlEscape(SjisToUtf8(std::string_view(bytes).substr(i, n)))
                 << "</tspan>";
        along += wide ? width + spacing : (width + spacing) / 2;
        i += n;
    }
    svg.Body << "</text>\n";

    const double length = MeasureText(bytes, width, spacing);
    for (auto [lx, ly] : {std::pair{0.0, 0.0}, {length, 0.0}, {0.0, height}, {length, height}}) {
        svg.Bounds.Add(Place(at, 1, angle, lx, ly));
    }
}

// ---- the view ----------------------------------------------------------------------------------

double NiceLength(double rough) {
    if (!(rough > 0)) return 1;
    const double power = std::pow(10.0, std::floor(std::log10(rough)));
    for (double step : {5.0, 2.0, 1.0}) {
        if (step * power <= rough) return step * power;
    }
    return power;
}

// ---- the host's input -------------------------------------------------------------------------

struct TInputFacts {
    std::array<double, 16> Scales{};
    std::array<TJwwTextType, 11> TextTypes{};
    std::vector<std::pair<int, TPoint>> Points;  // picked points 1..3 that were given
    int LayerGroup = 0;

    double ScaleOf(const TJwwEntHead& head) const {
        return Scales[static_cast<std::size_t>(head.LayerGroup & 15)];
    }
};

TInputFacts ReadInputFacts(const fs::path& input) {
    JwwInit();
    // The caller has checked that the file can be read; without one the defaults stand.
    if (!input.empty()) (void)JwwLoadFile(input);
    TInputFacts facts;
    facts.Scales = ExchangeModel.LayerGroupScale;
    facts.TextTypes = ExchangeModel.TextTypes;
    facts.LayerGroup = ExchangeModel.InitialLayerGroup;
    for (int i = 1; i <= 3; ++i) {
        const TJwwRefPoint& p = ExchangeModel.RefPoints[i];
        if (p.Given) facts.Points.push_back({i, {p.X, p.Y}});
    }
    JwwFree();
    return facts;
}

// ---- the steps ----------------------------------------------------------------------------------

// The lines, marks and texts of the output, read in the input's text types and scales as the
// host reads it with its own; returns what was drawn, counted by kind (", 3 lines, 1 text").
std::string DrawOutput(TSvgBuilder& svg, const fs::path& output, const TInputFacts& facts) {
    JwwInit();
    ExchangeModel.TextTypes = facts.TextTypes;
    ExchangeModel.LayerGroupScale = facts.Scales;
    (void)JwwLoadFile(output);  // read by the caller already
    const TExchangeModel& m = ExchangeModel;
    for (const TJwwEntLine& line : m.EntLines) {
        svg.Line("line", {line.X1, line.Y1}, {line.X2, line.Y2}, ScreenColor(line.Head.Color));
    }
    for (const TJwwEntDim& dim : m.EntDims) {
        const TJwwEntLine& line = dim.Line;
        svg.Line("dim-line", {line.X1, line.Y1}, {line.X2, line.Y2}, ScreenColor(line.Head.Color));
        DrawText(svg, dim.Text, facts.ScaleOf(dim.Text.Head), "dim-text");
    }
    for (const TJwwEntPointEx& mark : m.EntPointsEx) DrawMark(svg, mark, facts.ScaleOf(mark.Head));
    for (const TJwwEntPoint& point : m.EntPoints) {
        svg.Circle({point.X, point.Y}, PlainPointRadius * facts.ScaleOf(point.Head), true,
                   ScreenColor(point.Head.Color));
    }
    for (const TJwwEntText& text : m.EntTexts) {
        DrawText(svg, text, facts.ScaleOf(text.Head), "text");
    }
    std::string counts;
    const std::pair<std::size_t, const char*> kinds[] = {
        {m.EntLines.size(), "line"},
        {m.EntTexts.size(), "text"},
        {m.EntPointsEx.size(), "mark"},
        {m.EntPoints.size(), "point"},
        {m.EntDims.size(), "dimension figure"},
    };
    for (const auto& [count, name] : kinds) {
        if (count > 0) counts += ", " + std::to_string(count) + " " + name + (count > 1 ? "s" : "");
    }
    JwwFree();
    return counts;
}

// The view box in drawing units, and how many of them make one pixel of the picture.
struct TView {
    double X = 0, Y = 0, W = 0, H = 0, Px = 1;
};

// A margin around everything, a band above for the title and one below for the legend.
TView FitView(TBounds b) {
    if (b.Empty()) b = {-50, -50, 50, 50};
    const double extent = std::max({b.MaxX - b.MinX, b.MaxY - b.MinY, 1e-6});
    const double margin = 0.08 * extent;
    const double contentW = b.MaxX - b.MinX + 2 * margin;
    const double contentH = b.MaxY - b.MinY + 2 * margin;
    const double px = std::max(contentW / MaxWidthPx, contentH / (MaxHeightPx - 110));
    const double titleBand = 40 * px, legendBand = 70 * px;
    return {b.MinX - margin, -(b.MaxY + margin) - titleBand, contentW,
            contentH + titleBand + legendBand, px};
}

void WriteHead(std::ostringstream& out, const TView& v, const std::string& title) {
    out << "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
        << "<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"" << std::lround(v.W / v.Px)
        << "\" height=\"" << std::lround(v.H / v.Px) << "\" viewBox=\"" << Num(v.X) << " "
        << Num(v.Y) << " " << Num(v.W) << " " << Num(v.H) << "\">\n"
        << "<style>line, polyline, polygon, path, circle { stroke-width: " << Num(1.5 * v.Px)
        << "; stroke-linecap: round; stroke-linejoin: round }\n"
        << ".context { stroke-width: " << Num(1.0 * v.Px) << " }\n"
        << "text { font-family: " << FontFamily << " }</style>\n"
        << "<rect class=\"background\" x=\"" << Num(v.X) << "\" y=\"" << Num(v.Y) << "\" width=\""
        << Num(v.W) << "\" height=\"" << Num(v.H) << "\" fill=\"#ffffff\"/>\n"
        << "<text class=\"title\" x=\"" << Num(v.X + 12 * v.Px) << "\" y=\"" << Num(v.Y + 26 * v.Px)
        << "\" font-size=\"" << Num(16 * v.Px) << "\" fill=\"#000000\">" << title << "</text>\n";
}

// The picked points, as orange circles with their numbers.
void WritePicks(std::ostringstream& out, const TView& v, const TInputFacts& facts) {
    for (const auto& [number, p] : facts.Points) {
        out << "<g class=\"pick\" data-point=\"" << number << "\">"
            << "<circle cx=\"" << Num(p.X) << "\" cy=\"" << Num(-p.Y) << "\" r=\"" << Num(6 * v.Px)
            << "\" stroke=\"" << PickColor << "\" fill=\"none\"/>"
            << "<text x=\"" << Num(p.X + 8 * v.Px) << "\" y=\"" << Num(-p.Y + 20 * v.Px)
            << "\" font-size=\"" << Num(15 * v.Px) << "\" fill=\"" << PickColor << "\">" << number
            << "</text></g>\n";
    }
}

// The legend: a round length near a fifth of the view, in drawing millimetres and on paper.
void WriteScaleBar(std::ostringstream& out, const TView& v, double drawingScale) {
    const double length = NiceLength(v.W / 5);
    const double x = v.X + 20 * v.Px, y = v.Y + v.H - 30 * v.Px;
    const double tick = 6 * v.Px;
    out << "<g class=\"scale-bar\" data-length=\"" << Num(length) << "\">"
        << "<line x1=\"" << Num(x) << "\" y1=\"" << Num(y) << "\" x2=\"" << Num(x + length)
        << "\" y2=\"" << Num(y) << "\" stroke=\"#000000\"/>";
    for (double end : {x, x + length}) {
        out << "<line x1=\"" << Num(end) << "\" y1=\"" << Num(y - tick) << "\" x2=\"" << Num(end)
            << "\" y2=\"" << Num(y + tick) << "\" stroke=\"#000000\"/>";
    }
    out << "<text x=\"" << Num(x + length + 10 * v.Px) << "\" y=\"" << Num(y + 5 * v.Px)
        << "\" font-size=\"" << Num(14 * v.Px) << "\" fill=\"#000000\">" << HostNumber(length)
        << " mm (" << HostNumber(length / drawingScale) << " mm on paper at 1/"
        << HostNumber(drawingScale) << ")</text></g>\n";
}

}  // namespace

bool DrawsNothing(std::string_view bytes) {
    const std::size_t end = bytes.find_first_of("\r\n");
    const std::string_view first = bytes.substr(0, end);
    return bytes.empty() || first == "hq";
}

TDrawResult DrawSvg(const TDrawRequest& request) {
    TDrawResult result;
    std::string outputBytes, inputBytes;
    if (!ReadWholeFile(request.Output, outputBytes, result.Error) ||
        (!request.Input.empty() && !ReadWholeFile(request.Input, inputBytes, result.Error))) {
        return result;
    }
    const TInputFacts facts = ReadInputFacts(request.Input);
    result.Drawn = !DrawsNothing(outputBytes);

    TSvgBuilder svg;
    for (const auto& c : request.Context) {
        svg.Line("context", {c[0], c[1]}, {c[2], c[3]}, ContextColor);
    }
    const std::string counts = result.Drawn ? DrawOutput(svg, request.Output, facts) : "";
    for (const auto& [number, p] : facts.Points) svg.Bounds.Add(p);

    const TView view = FitView(svg.Bounds);
    const double drawingScale = facts.Scales[static_cast<std::size_t>(facts.LayerGroup & 15)];
    const std::string title = XmlEscape(request.TitleUtf8) +
                              (request.TitleUtf8.empty() ? "" : " \xe2\x80\x94 ") +
                              (result.Drawn ? "drawn" + counts : std::string("nothing drawn")) +
                              ", 1/" + HostNumber(drawingScale);
    std::ostringstream out;
    WriteHead(out, view, title);
    out << svg.Body.str();
    WritePicks(out, view, facts);
    WriteScaleBar(out, view, drawingScale);
    out << "</svg>\n";
    result.Svg = out.str();
    result.Ok = true;
    return result;
}

bool RenderPng(const fs::path& svg, const fs::path& png, std::string& error) {
    const pid_t pid = fork();
    if (pid < 0) {
        error = "could not start rsvg-convert";
        return false;
    }
    if (pid == 0) {
        execlp("rsvg-convert", "rsvg-convert", "-o", png.c_str(), svg.c_str(),
               static_cast<char*>(nullptr));
        _exit(127);
    }
    int status = 0;
    waitpid(pid, &status, 0);
    if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) {
        error = WIFEXITED(status) && WEXITSTATUS(status) == 127
                    ? "rsvg-convert is missing (Debian package librsvg2-bin)"
                    : "rsvg-convert could not render " + svg.string();
        std::error_code ec;
        fs::remove(png, ec);
        return false;
    }
    return true;
}
