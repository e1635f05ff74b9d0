// pardim-host: does on Linux what the host does around one run of the tool (writes its input,
// runs it, reads its output back) and shows, checks and draws what came back.
#include <CLI/CLI.hpp>
#include <charconv>
#include <cstdio>
#include <fstream>
#include <sstream>

#include "HostDraw.h"
#include "HostRun.h"
#include "HostScenario.h"
#include "HostShow.h"
#include "HostText.h"
#include "OutputCheck.h"

namespace fs = std::filesystem;

namespace {

constexpr char ExchangeName[] = "JWC_TEMP.TXT";
constexpr char InputCopyName[] = "JWC_TEMP.in.txt";
constexpr char ScenarioCopyName[] = "pardim-host.toml";

// Bad arguments and unreadable files: one line on stderr, status 2, nothing written.
struct TUsageError {
    std::string Message;
};

[[noreturn]] void Fail(std::string message) { throw TUsageError{std::move(message)}; }

std::string ReadBytes(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in) Fail(path.string() + " cannot be read");
    std::ostringstream bytes;
    bytes << in.rdbuf();
    return bytes.str();
}

void WriteBytes(const fs::path& path, std::string_view bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    if (!out) Fail("could not write " + path.string());
}

// "X,Y" and "W,H,D,C" option values.
std::vector<double> Numbers(const std::string& text, std::size_t count, const char* option) {
    std::vector<double> values;
    std::size_t start = 0;
    for (;;) {
        const std::size_t comma = text.find(',', start);
        double v = 0;
        if (ReadHostReal(text.substr(start, comma - start), v) != TRealRead::Ok) break;
        values.push_back(v);
        if (comma == std::string::npos) break;
        start = comma + 1;
    }
    if (values.size() != count) {
        Fail(std::string(option) + " needs " + std::to_string(count) +
             " numbers separated by commas, not '" + text + "'");
    }
    return values;
}

// ---- write --------------------------------------------------------------------------------------

struct TWriteOptions {
    std::string Dir, Scenario, P1, P2, P3, FreeText, Font;
    double Scale = 0;
    int LayerGroup = 0, Layer = 0, Color = 0, LineType = 0, LineWidth = 0, TextType = 0;
};

void AddWrite(CLI::App& app, TWriteOptions& o, std::function<void()>& action) {
    CLI::App* cmd = app.add_subcommand(
        "write", "Write DIR/JWC_TEMP.TXT as the host does before it starts the tool");
    cmd->footer(
        "Without options: a wall 3,640 long at 1/50, points (0,0), (3640,0), (1820,800).\n"
        "Options override the scenario file. Also writes DIR/pardim-host.toml (the scenario\n"
        "used, with the wall as context lines for draw).");
    cmd->add_option("DIR", o.Dir, "Tool folder (created when missing)")->type_name("")->required();
    cmd->add_option("--scenario", o.Scenario, "Scenario file (TOML, see README)")
        ->type_name("FILE");
    auto* p1 = cmd->add_option("--p1", o.P1, "Point 1, start of the measurement")->type_name("X,Y");
    auto* p2 = cmd->add_option("--p2", o.P2, "Point 2, end of the measurement")->type_name("X,Y");
    auto* p3 = cmd->add_option("--p3", o.P3, "Point 3, on the dimension line")->type_name("X,Y");
    auto* scale = cmd->add_option("--scale", o.Scale, "Scale denominator of every layer group");
    auto* group = cmd->add_option("--layer-group", o.LayerGroup, "Current layer group 0-15")
                      ->check(CLI::Range(0, 15));
    auto* layer =
        cmd->add_option("--layer", o.Layer, "Current layer 0-15")->check(CLI::Range(0, 15));
    auto* color =
        cmd->add_option("--color", o.Color, "Current line colour 1-9")->check(CLI::Range(1, 9));
    auto* lineType = cmd->add_option("--line-type", o.LineType, "Current line type 1-9")
                         ->check(CLI::Range(1, 9));
    auto* lineWidth = cmd->add_option("--line-width", o.LineWidth, "Current line width 0-30000")
                          ->check(CLI::Range(0, 30000));
    auto* textType =
        cmd->add_option("--text-type", o.TextType, "Current text type 1-10 (0: --free-text)")
            ->check(CLI::Range(0, 10));
    auto* freeText =
        cmd->add_option("--free-text", o.FreeText, "Current free text size (sets text type 0)")
            ->type_name("W,H,SPACING,COLOUR");
    auto* font = cmd->add_option("--font", o.Font, "Current font (UTF-8)")->type_name("NAME");

    action = [&o, p1, p2, p3, scale, group, layer, color, lineType, lineWidth, textType, freeText,
              font] {
        TScenario s = DefaultScenario();
        std::string error;
        if (!o.Scenario.empty() && !LoadScenario(o.Scenario, s, error)) Fail(error);
        const std::pair<CLI::Option*, const std::string*> points[] = {
            {p1, &o.P1}, {p2, &o.P2}, {p3, &o.P3}};
        for (std::size_t i = 0; i < 3; ++i) {
            if (points[i].first->count() == 0) continue;
            const auto xy = Numbers(*points[i].second, 2, points[i].first->get_name().c_str());
            if (s.Points.size() <= i) s.Points.resize(i + 1, {0, 0});
            s.Points[i] = {xy[0], xy[1]};
        }
        if (scale->count()) {
            if (!(o.Scale > 0)) Fail("--scale must be above 0");
            s.Scales.fill(o.Scale);
        }
        if (group->count()) s.LayerGroup = o.LayerGroup;
        if (layer->count()) s.Layer = o.Layer;
        if (color->count()) s.LineColor = o.Color;
        if (lineType->count()) s.LineType = o.LineType;
        if (lineWidth->count()) s.LineWidth = o.LineWidth;
        if (textType->count()) s.TextType = o.TextType;
        if (freeText->count()) {
            const auto v = Numbers(o.FreeText, 4, "--free-text");
            if (!(v[0] > 0 && v[1] > 0 && v[2] >= 0 && v[3] >= 1 && v[3] <= 9 &&
                  v[3] == static_cast<int>(v[3]))) {
                Fail("--free-text needs width and height above 0, spacing 0 or more, colour 1-9");
            }
            s.FreeText = {v[0], v[1], v[2], static_cast<int>(v[3])};
            s.TextType = 0;
        }
        if (font->count()) s.FontUtf8 = o.Font;

        std::string bytes;
        if (!HostInputBytes(s, bytes, error)) Fail(error);
        const fs::path dir = o.Dir;
        std::error_code ec;
        if (fs::exists(dir, ec) && !fs::is_directory(dir, ec)) Fail(o.Dir + " is not a folder");
        fs::create_directories(dir, ec);
        if (ec) Fail("could not create " + o.Dir);
        WriteBytes(dir / ExchangeName, bytes);
        WriteBytes(dir / ScenarioCopyName, ScenarioToml(s));
        fs::remove(dir / InputCopyName, ec);  // from an earlier run; draw would take it
        std::printf("wrote %s and %s\n", (dir / ExchangeName).c_str(),
                    (dir / ScenarioCopyName).c_str());
    };
}

// ---- run ----------------------------------------------------------------------------------------

struct TRunOptions {
    std::string Dir, Exe, Batch, WinePrefix;
    bool Show = false, Auto = false;
    int Timeout = 60;
};

void AddRun(CLI::App& app, TRunOptions& o, std::function<int()>& action) {
    CLI::App* cmd =
        app.add_subcommand("run", "Run the tool on DIR as the host does and print what it drew");
    cmd->footer(
        "Saves the host's input as DIR/JWC_TEMP.in.txt (for draw) and reads JWC_TEMP.TXT back.\n"
        "Without --show/--auto: --show when DISPLAY is set, else --auto. Exit status 0 drawn,\n"
        "1 nothing drawn, 2 the run could not be made.");
    cmd->add_option("DIR", o.Dir, "Tool folder holding JWC_TEMP.TXT")->required();
    auto* exe = cmd->add_option("--exe", o.Exe, "pardim.exe to copy into DIR and run under Wine");
    auto* batch = cmd->add_option("--batch", o.Batch, "pardim-batch to run on DIR instead");
    exe->excludes(batch);
    auto* show =
        cmd->add_flag("--show", o.Show, "Show the dialog on DISPLAY and wait for the user");
    auto* autoFlag = cmd->add_flag(
        "--auto", o.Auto, "Run the dialog on its own Xvfb and confirm it with the keyboard");
    show->excludes(autoFlag);
    cmd->add_option("--timeout", o.Timeout,
                    "Seconds for the dialog to appear and to close (--auto)")
        ->check(CLI::Range(1, 3600));
    cmd->add_option("--wineprefix", o.WinePrefix,
                    "Wine prefix (default: ~/.cache/pardim-host/wine-prefix, made once)");
    action = [&o] {
        TRunRequest request;
        // Absolute: the tool is started with DIR as its current folder.
        std::error_code ec;
        request.Dir = fs::absolute(o.Dir, ec);
        request.Exe = o.Exe;
        request.Batch = o.Batch;
        request.Mode = o.Show ? TRunMode::Show : o.Auto ? TRunMode::Auto : TRunMode::Default;
        request.WinePrefix = o.WinePrefix;
        request.TimeoutSeconds = o.Timeout;
        std::string error;
        const int status = RunTool(request, error);
        if (status == 2) Fail(error);
        return status;
    };
}

// ---- check, draw, show --------------------------------------------------------------------------

int Check(const std::string& file) {
    const std::string bytes = ReadBytes(file);
    const auto problems = CheckHostLevel(bytes);
    for (const TCheckProblem& p : problems) {
        std::printf("%s:%d: %s\n", file.c_str(), p.Line, p.Message.c_str());
    }
    if (problems.empty()) {
        std::printf("%s: clean\n", file.c_str());
        return 0;
    }
    std::printf("%s: %zu problem%s\n", file.c_str(), problems.size(),
                problems.size() == 1 ? "" : "s");
    return 1;
}

struct TDrawOptions {
    std::string File, Svg, Png, Input, Scenario;
};

void Draw(const TDrawOptions& o) {
    const fs::path file = o.File;
    ReadBytes(file);  // unreadable: fail before anything is written
    std::error_code ec;
    TDrawRequest request;
    request.Output = file;
    request.TitleUtf8 = file.filename().string();
    if (!o.Input.empty()) {
        request.Input = o.Input;
    } else if (fs::is_regular_file(file.parent_path() / InputCopyName, ec) &&
               file.filename() != InputCopyName) {
        request.Input = file.parent_path() / InputCopyName;
    } else {
        request.Input = file;
        if (ReadBytes(file).find("\nhs ") == std::string::npos) {
            std::fprintf(stderr,
                         "draw: no host input (--input, or %s beside the file): scale 1 and the "
                         "reader's default text types\n",
                         InputCopyName);
        }
    }
    const fs::path scenarioFile =
        !o.Scenario.empty() ? fs::path(o.Scenario) : file.parent_path() / ScenarioCopyName;
    if (!o.Scenario.empty() || fs::is_regular_file(scenarioFile, ec)) {
        TScenario scenario;
        std::string error;
        if (!LoadScenario(scenarioFile, scenario, error)) Fail(error);
        request.Context = scenario.Context;
    }
    const TDrawResult result = DrawSvg(request);
    if (!result.Ok) Fail(result.Error);

    const fs::path svg =
        !o.Svg.empty() ? fs::path(o.Svg) : fs::path(file).replace_extension(".svg");
    WriteBytes(svg, result.Svg);
    if (!o.Png.empty()) {
        std::string error;
        if (!RenderPng(svg, o.Png, error)) {
            if (o.Svg.empty()) fs::remove(svg, ec);
            Fail(error);
        }
    }
    std::printf("%s: %s\nwrote %s\n", file.c_str(), result.Drawn ? "drawn" : "nothing drawn",
                svg.c_str());
    if (!o.Png.empty()) std::printf("wrote %s\n", o.Png.c_str());
}

int Show(const std::string& file) {
    std::string report;
    if (!ShowExchangeFile(file, report)) Fail(file + " cannot be read");
    std::fputs(report.c_str(), stdout);
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    CLI::App app{"pardim-host: does on Linux what the host (Jw_cad) does around one run of pardim"};
    app.require_subcommand(1);
    app.footer(
        "Typical run:\n"
        "  pardim-host write /tmp/run\n"
        "  pardim-host run /tmp/run --exe build/windows/src/win/pardim.exe --auto\n"
        "  pardim-host check /tmp/run/JWC_TEMP.TXT\n"
        "  pardim-host draw /tmp/run/JWC_TEMP.TXT --png /tmp/run/JWC_TEMP.png");

    TWriteOptions writeOptions;
    std::function<void()> writeAction;
    AddWrite(app, writeOptions, writeAction);
    TRunOptions runOptions;
    std::function<int()> runAction;
    AddRun(app, runOptions, runAction);

    std::string checkFile;
    CLI::App* check = app.add_subcommand(
        "check", "Report every line of FILE the host would not understand (exit 1 if any)");
    check->add_option("FILE", checkFile, "The tool's output, JWC_TEMP.TXT")->required();

    TDrawOptions drawOptions;
    CLI::App* draw = app.add_subcommand("draw", "Draw FILE as the host would show it, as SVG/PNG");
    draw->footer(
        "Text sizes, scales and the picked points come from the host's input: --input, else\n"
        "JWC_TEMP.in.txt beside FILE (saved by run). Context lines come from --scenario, else\n"
        "pardim-host.toml beside FILE (saved by write).");
    draw->add_option("FILE", drawOptions.File, "The tool's output, JWC_TEMP.TXT")->required();
    draw->add_option("-o,--output", drawOptions.Svg, "SVG file (default: FILE with .svg)");
    draw->add_option("--png", drawOptions.Png, "Also render a PNG through rsvg-convert");
    draw->add_option("--input", drawOptions.Input, "The host's input file of this run");
    draw->add_option("--scenario", drawOptions.Scenario, "Scenario file with context lines");

    std::string showFile;
    CLI::App* show = app.add_subcommand(
        "show",
        "Show what the tool sees in FILE: attributes, scales, text types, points, entities");
    show->add_option("FILE", showFile, "An exchange file, usually the host's JWC_TEMP.TXT")
        ->required();

    try {
        // CLI11 would call an unknown word a missing subcommand.
        if (argc > 1 && argv[1][0] != '-') {
            const std::string word = argv[1];
            if (word != "write" && word != "run" && word != "check" && word != "draw" &&
                word != "show") {
                Fail("unknown subcommand '" + word + "' (see --help)");
            }
        }
        app.parse(argc, argv);
        if (app.got_subcommand("write")) {
            writeAction();
            return 0;
        }
        if (app.got_subcommand("run")) return runAction();
        if (app.got_subcommand("check")) return Check(checkFile);
        if (app.got_subcommand("draw")) {
            Draw(drawOptions);
            return 0;
        }
        return Show(showFile);
    } catch (const CLI::ParseError& e) {
        if (e.get_exit_code() == 0) return app.exit(e);  // --help
        std::fprintf(stderr, "pardim-host: %s (see --help)\n", e.what());
        return 2;
    } catch (const TUsageError& e) {
        std::fprintf(stderr, "pardim-host: %s\n", e.Message.c_str());
        return 2;
    }
}
