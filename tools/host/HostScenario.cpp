// Scenario files (TOML through toml++) and the host's input file written from a scenario.
#include "HostScenario.h"

#include <toml++/toml.h>

#include <charconv>
#include <cmath>
#include <cstdio>
#include <functional>
#include <map>
#include <optional>
#include <sstream>

#include "HostFiles.h"
#include "HostText.h"

namespace {

// The host's own text types on a new drawing, as it writes them: widths, heights, spacings,
// colours.
constexpr std::array<TJwwTextType, 10> HostTextTypes{{
    {2, 2, 0, 1},
    {2.5, 2.5, 0, 1},
    {3, 3, 0.5, 2},
    {4, 4, 0.5, 2},
    {5, 5, 0.5, 3},
    {6, 6, 0.5, 3},
    {7, 7, 1, 4},
    {8, 8, 1, 4},
    {9, 9, 1, 5},
    {10, 10, 1, 5},
}};

// The text types' sizes, as scenario keys (text_width, ...) and as the host's header lines.
constexpr std::tuple<const char*, const char*, double TJwwTextType::*> TextTypeSizes[] = {
    {"width", "hcw", &TJwwTextType::Width},
    {"height", "hch", &TJwwTextType::Height},
    {"spacing", "hcd", &TJwwTextType::Spacing},
};

// The host pads each text-type colour to seven characters ("hcc      1      1 ...").
std::string PaddedInt(int value) {
    std::string text = std::to_string(value);
    if (text.size() < 7) text.insert(0, 7 - text.size(), ' ');
    return text;
}

// The shortest text that reads back to the same double: what a person would type.
std::string ShortestNumber(double value) {
    if (value == 0) return "0";
    std::array<char, 64> buffer{};
    auto end = std::to_chars(buffer.data(), buffer.data() + buffer.size(), value).ptr;
    return std::string(buffer.data(), end);
}

std::string TomlString(std::string_view utf8) {
    std::string out = "\"";
    for (char c : utf8) {
        if (c == '"' || c == '\\') {
            out += '\\';
            out += c;
        } else if (static_cast<unsigned char>(c) < 0x20) {
            char code[8];
            std::snprintf(code, sizeof code, "\\u%04x", static_cast<unsigned char>(c));
            out += code;
        } else {
            out += c;
        }
    }
    return out + "\"";
}

template <typename TValues, typename TFormat>
std::string TomlArray(const TValues& values, TFormat format) {
    std::string out = "[";
    for (std::size_t i = 0; i < values.size(); ++i) {
        if (i > 0) out += ", ";
        out += format(values[i]);
    }
    return out + "]";
}

// Reading one TOML value into a field; each reader returns an error text or an empty one.
using TReader = std::function<std::string(const toml::node&, TScenario&)>;

std::string ReadReal(const toml::node& node, double& value) {
    if (!node.is_number()) return "must be a number";
    value = node.value<double>().value_or(0);
    if (!std::isfinite(value)) return "must be finite";
    return {};
}

std::string ReadInt(const toml::node& node, int& value, int low, int high) {
    if (!node.is_integer()) return "must be a whole number";
    const std::int64_t v = node.value<std::int64_t>().value_or(0);
    if (v < low || v > high) {
        return "must be " + std::to_string(low) + " to " + std::to_string(high);
    }
    value = static_cast<int>(v);
    return {};
}

// An array of exactly `count` numbers (any count when count is 0).
std::string ReadReals(const toml::node& node, std::vector<double>& values, std::size_t count) {
    const toml::array* array = node.as_array();
    if (!array) return "must be an array of numbers";
    if (count != 0 && array->size() != count) {
        return "must hold " + std::to_string(count) + " numbers";
    }
    values.clear();
    for (const toml::node& item : *array) {
        double v = 0;
        if (!ReadReal(item, v).empty()) return "must be an array of finite numbers";
        values.push_back(v);
    }
    return {};
}

template <std::size_t N>
std::string ReadTuples(const toml::node& node, std::vector<std::array<double, N>>& tuples) {
    const std::string what =
        "must be an array of [" + std::string(N == 2 ? "x, y" : "x1, y1, x2, y2") + "]";
    const toml::array* array = node.as_array();
    if (!array) return what;
    tuples.clear();
    for (const toml::node& item : *array) {
        std::vector<double> values;
        if (!ReadReals(item, values, N).empty()) return what;
        std::array<double, N> tuple{};
        std::copy(values.begin(), values.end(), tuple.begin());
        tuples.push_back(tuple);
    }
    return {};
}

std::string ReadTextTypeField(const toml::node& node, TScenario& s, double TJwwTextType::*field) {
    std::vector<double> values;
    if (auto e = ReadReals(node, values, 10); !e.empty()) return e;
    for (std::size_t i = 0; i < 10; ++i) {
        if (values[i] < 0) return "must not be negative";
        s.TextTypes[i].*field = values[i];
    }
    return {};
}

// Scales are above 0, one for every layer group or 16 of them.
std::string ReadScales(const toml::node& node, TScenario& s, std::size_t count) {
    std::vector<double> v(1);
    auto e = count == 1 ? ReadReal(node, v[0]) : ReadReals(node, v, count);
    if (!e.empty()) return e;
    for (std::size_t i = 0; i < s.Scales.size(); ++i) {
        if (v[count == 1 ? 0 : i] <= 0)
            return count == 1 ? "must be above 0" : "must all be above 0";
        s.Scales[i] = v[count == 1 ? 0 : i];
    }
    return {};
}

std::string ReadTextColors(const toml::node& node, TScenario& s) {
    const toml::array* array = node.as_array();
    if (!array || array->size() != 10) return "must hold 10 colours";
    for (std::size_t i = 0; i < 10; ++i) {
        if (!ReadInt((*array)[i], s.TextTypes[i].Color, 1, 9).empty()) {
            return "must hold 10 colours 1 to 9";
        }
    }
    return {};
}

const std::map<std::string, TReader, std::less<>>& Readers() {
    using TNode = const toml::node&;
    static const auto readers = [] {
        std::map<std::string, TReader, std::less<>> r;
        r["axis_angle"] = [](TNode n, TScenario& s) { return ReadReal(n, s.AxisAngle); };
        r["scale"] = [](TNode n, TScenario& s) { return ReadScales(n, s, 1); };
        r["scales"] = [](TNode n, TScenario& s) { return ReadScales(n, s, 16); };
        for (const TScenarioInt& row : ScenarioInts) {
            r[row.Key] = [&row](TNode n, TScenario& s) {
                return ReadInt(n, s.*row.Field, row.Low, row.High);
            };
        }
        r["free_text"] = [](TNode n, TScenario& s) {
            std::vector<double> v;
            if (!ReadReals(n, v, 4).empty())
                return std::string("must be [width, height, spacing, colour]");
            return MakeFreeText(v, s.FreeText) ? std::string()
                                               : std::string("needs ") + FreeTextRule;
        };
        r["font"] = [](TNode n, TScenario& s) {
            s.FontUtf8 = n.value<std::string>().value_or("");
            return n.is_string() ? std::string() : std::string("must be a string");
        };
        for (const auto& size : TextTypeSizes) {
            const auto field = std::get<2>(size);
            r[std::string("text_") + std::get<0>(size)] = [field](TNode n, TScenario& s) {
                return ReadTextTypeField(n, s, field);
            };
        }
        r["text_color"] = ReadTextColors;
        r["points"] = [](TNode n, TScenario& s) {
            if (auto e = ReadTuples(n, s.Points); !e.empty()) return e;
            return s.Points.size() > 99 ? std::string("may hold at most 99 points") : std::string();
        };
        r["context"] = [](TNode n, TScenario& s) { return ReadTuples(n, s.Context); };
        return r;
    }();
    return readers;
}

// What a scenario must satisfy before it is written; empty when it is fine.
std::string ValidateScenario(const TScenario& s) {
    std::string sjis;
    if (!Utf8ToSjis(s.FontUtf8, sjis)) return "font name has no Shift-JIS form";
    if (sjis.size() > 250) return "font name is longer than 250 bytes";
    for (const auto& p : s.Points) {
        if (!std::isfinite(p[0]) || !std::isfinite(p[1])) return "points must be finite";
    }
    return {};
}

}  // namespace

const std::array<TScenarioInt, 6> ScenarioInts = {{
    {"layer_group", "--layer-group", "Current layer group 0-15", 0, 15, &TScenario::LayerGroup},
    {"layer", "--layer", "Current layer 0-15", 0, 15, &TScenario::Layer},
    {"line_color", "--color", "Current line colour 1-9", 1, 9, &TScenario::LineColor},
    {"line_type", "--line-type", "Current line type 1-9", 1, 9, &TScenario::LineType},
    {"line_width", "--line-width", "Current line width 0-30000", 0, 30000, &TScenario::LineWidth},
    {"text_type", "--text-type", "Current text type 1-10 (0: --free-text)", 0, 10,
     &TScenario::TextType},
}};

bool MakeFreeText(const std::vector<double>& v, TJwwTextType& size) {
    if (v.size() != 4 || !(v[0] > 0 && v[1] > 0 && v[2] >= 0 && v[3] >= 1 && v[3] <= 9 &&
                           v[3] == std::floor(v[3]))) {
        return false;
    }
    size = {v[0], v[1], v[2], static_cast<int>(v[3])};
    return true;
}

TScenario DefaultScenario() {
    TScenario s;
    s.Scales.fill(50);
    s.TextTypes = HostTextTypes;
    s.Points = {{0, 0}, {3640, 0}, {1820, 800}};
    s.Context = {{0, 0, 3640, 0}, {3640, 0, 3640, -120}, {3640, -120, 0, -120}, {0, -120, 0, 0}};
    return s;
}

bool LoadScenario(const std::filesystem::path& path, TScenario& scenario, std::string& error) {
    std::string text;
    if (!ReadWholeFile(path, text, error)) return false;
    toml::table table;
    try {
        table = toml::parse(text, path.string());
    } catch (const toml::parse_error& e) {
        error = path.string() + ":" + std::to_string(e.source().begin.line) + ": " +
                std::string(e.description());
        return false;
    }
    TScenario loaded = scenario;
    for (auto&& [key, node] : table) {
        const auto reader = Readers().find(key.str());
        if (reader == Readers().end()) {
            error = path.string() + ": unknown key '" + std::string(key.str()) + "'";
            return false;
        }
        if (std::string e = reader->second(node, loaded); !e.empty()) {
            error = path.string() + ": " + std::string(key.str()) + " " + e;
            return false;
        }
    }
    scenario = loaded;
    return true;
}

std::string ScenarioToml(const TScenario& s) {
    auto number = [](double v) { return ShortestNumber(v); };
    auto tuple = [&](const auto& t) { return TomlArray(t, number); };
    const std::array<double, 4> freeText{s.FreeText.Width, s.FreeText.Height, s.FreeText.Spacing,
                                         static_cast<double>(s.FreeText.Color)};
    std::ostringstream out;
    out << "# pardim-host scenario: the host's state for one run of the tool\n"
        << "axis_angle = " << number(s.AxisAngle) << "\n"
        << "scales = " << TomlArray(s.Scales, number) << "\n";
    for (const TScenarioInt& row : ScenarioInts) out << row.Key << " = " << s.*row.Field << "\n";
    out << "free_text = " << TomlArray(freeText, number) << "\n"
        << "font = " << TomlString(s.FontUtf8) << "\n";
    for (const auto& size : TextTypeSizes) {
        const auto field = std::get<2>(size);
        auto value = [field](const TJwwTextType& t) { return ShortestNumber(t.*field); };
        out << "text_" << std::get<0>(size) << " = " << TomlArray(s.TextTypes, value) << "\n";
    }
    out << "text_color = "
        << TomlArray(s.TextTypes, [](const TJwwTextType& t) { return std::to_string(t.Color); })
        << "\n"
        << "points = " << TomlArray(s.Points, tuple) << "\n"
        << "context = [\n";
    for (const auto& line : s.Context) out << "    " << tuple(line) << ",\n";
    out << "]\n";
    return out.str();
}

bool HostInputBytes(const TScenario& s, std::string& bytes, std::string& error) {
    error = ValidateScenario(s);
    if (!error.empty()) return false;
    std::string font;
    Utf8ToSjis(s.FontUtf8, font);
    if (font.empty() || font.front() != '<') font = "<" + font + ">";

    std::vector<std::string> lines = {"hq", "hk " + HostNumber(s.AxisAngle)};
    // Scales come with six significant digits, as the host writes 1:1,000,000 as 1e+06.
    std::string scales = "hs";
    for (double v : s.Scales) scales.append(" ").append(HostNumber(v, 6));
    lines.push_back(scales);
    for (const auto& [key, keyword, field] : TextTypeSizes) {
        std::string line = keyword;
        for (const TJwwTextType& t : s.TextTypes) line.append(" ").append(HostNumber(t.*field));
        lines.push_back(line);
    }
    std::string colors = "hcc";
    for (const TJwwTextType& t : s.TextTypes) colors += PaddedInt(t.Color);
    lines.push_back(colors);
    lines.push_back("hn 0 0 0 0");  // our BAT selects nothing

    // "hp", the number, a two-character suffix field ("-" for the BAT's "#1-"), a blank, x, y.
    for (std::size_t i = 0; i < s.Points.size(); ++i) {
        const std::string suffix = i == 0 ? "- " : "  ";
        lines.push_back("hp" + std::to_string(i + 1) + suffix + " " + HostNumber(s.Points[i][0]) +
                        " " + HostNumber(s.Points[i][1]));
    }
    const char hexDigits[] = "0123456789ABCDEF";
    lines.push_back(std::string("lg") + hexDigits[s.LayerGroup & 15]);
    lines.push_back(std::string("ly") + hexDigits[s.Layer & 15]);
    lines.push_back("lc" + std::to_string(s.LineColor));
    lines.push_back("lt" + std::to_string(s.LineType));
    lines.push_back("lw" + std::to_string(s.LineWidth));  // the BAT asks for it with #zw
    if (s.TextType == 0) {
        lines.push_back("cn0 " + HostNumber(s.FreeText.Width) + " " +
                        HostNumber(s.FreeText.Height) + " " + HostNumber(s.FreeText.Spacing) + " " +
                        std::to_string(s.FreeText.Color));
    } else {
        lines.push_back("cn" + std::to_string(s.TextType));
    }
    lines.push_back("cn\"$" + font);
    lines.push_back("#");

    bytes.clear();
    for (const std::string& line : lines) bytes += line + "\r\n";
    return true;
}
