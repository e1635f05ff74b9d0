// pardim-host: does on Linux what the host does around one run of the tool (writes its input,
// runs it, reads its output back) and shows, checks and draws what came back.
#include <CLI/CLI.hpp>
#include <cstdio>

#include "HostDraw.h"
#include "HostFiles.h"
#include "HostRun.h"
#include "HostScenario.h"
#include "HostShow.h"
#include "HostText.h"
#include "OutputCheck.h"

namespace fs = std::filesystem;

namespace {

constexpr char ScenarioCopyName[] = "pardim-host.toml";

// Bad arguments and unreadable files: one line on stderr, status 2, nothing written. The file
// helpers here throw through Fail; those of HostRun.cpp answer with an empty result instead.
struct TUsageError {
    std::string Message;
};

[[noreturn]] void Fail(std::string message) { throw TUsageError{std::move(message)}; }

std::string ReadBytesOrFail(const fs::path& path) {
    std::string bytes, error;
    if (!ReadWholeFile(path, bytes, error)) Fail(error);
    return bytes;
}

void WriteBytesOrFail(const fs::path& path, std::string_view bytes) {
    std::string error;
    if (!WriteWholeFile(path, bytes, error)) Fail(error);
}

// "X,Y" and "W,H,D,C" option values.
std::vector<double> Numbers(const std::string& text, std::size_t count, const std::string& option) {
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
        Fail(option + " needs " + std::to_string(count) + " numbers separated by commas, not '" +
             text + "'");
    }
    return values;
}

// ---- write --------------------------------------------------------------------------------------

struct TWriteOptions {
    std::string Dir, Scenario, Points[3], FreeText, Font;
    double Scale = 0;
    std::array<int, ScenarioInts.size()> Ints{};
};

void AddWrite(CLI::App& app, TWriteOptions& o, std::function<void()>& action) {
    CLI::App* cmd = app.add_subcommand(
        "write", "Write DIR/JWC_TEMP.TXT as the host does before it starts the tool");
    cmd->footer(
        "Without options: a wall 3,640 long at 1/50, points (0,0), (3640,0), (1820,800).\n"
        "Options override the scenario file. Also writes DIR/pardim-host.toml (the scenario\n"
        "used, with the wall as context lines for draw).");
    cmd->add_option("DIR", o.Dir, "Tool folder (created when missing)")
        ->type_name("PATH")
        ->required();
    cmd->add_option("--scenario", o.Scenario, "Scenario file (TOML, see docs/pardim-host.md)")
        ->type_name("FILE");
    const char* pointHelp[] = {"Point 1, start of the measurement",
                               "Point 2, end of the measurement", "Point 3, on the dimension line"};
    std::vector<CLI::Option*> points, ints;
    for (int i = 0; i < 3; ++i) {
        points.push_back(cmd->add_option("--p" + std::to_string(i + 1), o.Points[i], pointHelp[i])
                             ->type_name("X,Y"));
    }
    auto* scale = cmd->add_option("--scale", o.Scale, "Scale denominator of every layer group");
    for (std::size_t i = 0; i < ScenarioInts.size(); ++i) {
        const TScenarioInt& row = ScenarioInts[i];
        ints.push_back(cmd->add_option(row.Option, o.Ints[i], row.Description)
                           ->check(CLI::Range(row.Low, row.High).description("")));
    }
    auto* freeText =
        cmd->add_option("--free-text", o.FreeText, "Current free text size (sets text type 0)")
            ->type_name("W,H,SPACING,COLOUR");
    auto* font = cmd->add_option("--font", o.Font, "Current font (UTF-8)")->type_name("NAME");

    action = [&o, points, scale, ints, freeText, font] {
        TScenario s = DefaultScenario();
        std::string error;
        if (!o.Scenario.empty() && !LoadScenario(o.Scenario, s, error)) Fail(error);
        for (std::size_t i = 0; i < 3; ++i) {
            if (points[i]->count() == 0) continue;
            const auto xy = Numbers(o.Points[i], 2, points[i]->get_name());
            if (s.Points.size() <= i) s.Points.resize(i + 1, {0, 0});
            s.Points[i] = {xy[0], xy[1]};
        }
        if (scale->count()) {
            if (!(o.Scale > 0)) Fail("--scale must be above 0");
            s.Scales.fill(o.Scale);
        }
        for (std::size_t i = 0; i < ints.size(); ++i) {
            if (ints[i]->count()) s.*ScenarioInts[i].Field = o.Ints[i];
        }
        if (freeText->count()) {
            if (!MakeFreeText(Numbers(o.FreeText, 4, "--free-text"), s.FreeText)) {
                Fail(std::string("--free-text needs ") + FreeTextRule);
            }
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
        WriteBytesOrFail(dir / ExchangeFileName, bytes);
        WriteBytesOrFail(dir / ScenarioCopyName, ScenarioToml(s));
        fs::remove(dir / InputCopyName, ec);  // from an earlier run; draw would take it
        std::printf("wrote %s and %s\n", (dir / ExchangeFileName).c_str(),
                    (dir / ScenarioCopyName).c_str());
    };
}

// ---- run ----------------------------------------------------------------------------------------

struct TRunOptions {
    std::string Dir, Exe, Batch, WinePrefix;
    bool Show = false, Auto = false, Quick = false;
    int Timeout = 60;
};

void AddRun(CLI::App& app, TRunOptions& o, std::function<int()>& action) {
    CLI::App* cmd =
        app.add_subcommand("run", "Run the tool on DIR as the host does and print what it drew");
    cmd->footer(
        "Saves the host's input as DIR/JWC_TEMP.in.txt (for draw) and reads JWC_TEMP.TXT back.\n"
        "Without --show/--auto: --show when DISPLAY is set, else --auto. Exit status 0 drawn,\n"
        "1 nothing drawn, 2 the run could not be made.");
    cmd->add_option("DIR", o.Dir, "Tool folder holding JWC_TEMP.TXT")
        ->type_name("PATH")
        ->required();
    auto* exe = cmd->add_option("--exe", o.Exe, "pardim.exe to copy into DIR and run under Wine")
                    ->type_name("PATH");
    auto* batch = cmd->add_option("--batch", o.Batch, "pardim-batch to run on DIR instead")
                      ->type_name("PATH");
    exe->excludes(batch);
    auto* show =
        cmd->add_flag("--show", o.Show, "Show the dialog on DISPLAY and wait for the user");
    auto* autoFlag = cmd->add_flag(
        "--auto", o.Auto, "Run the dialog on its own Xvfb and confirm it with the keyboard");
    show->excludes(autoFlag);
    cmd->add_flag("--quick", o.Quick,
                  "Start the exe with /quick, as the continuous BAT does: the saved settings draw "
                  "without the dialog");
    cmd->add_option("--timeout", o.Timeout,
                    "Seconds for the dialog to appear and to close (--auto), 1-3600")
        ->check(CLI::Range(1, 3600).description(""));
    cmd->add_option("--wineprefix", o.WinePrefix,
                    "Wine prefix (default: ~/.cache/pardim-host/wine-prefix, made once)")
        ->type_name("PATH");
    action = [&o] {
        TRunRequest request;
        // Absolute: the tool is started with DIR as its current folder.
        std::error_code ec;
        request.Dir = fs::absolute(o.Dir, ec);
        request.Exe = o.Exe;
        request.Batch = o.Batch;
        request.Mode = o.Show ? TRunMode::Show : o.Auto ? TRunMode::Auto : TRunMode::Default;
        request.WinePrefix = o.WinePrefix;
        request.Quick = o.Quick;
        request.TimeoutSeconds = o.Timeout;
        std::string error;
        const int status = RunTool(request, error);
        if (status == 2) Fail(error);
        return status;
    };
}

// ---- check, draw, show --------------------------------------------------------------------------

int Check(const std::string& file) {
    const auto problems = CheckHostLevel(ReadBytesOrFail(file));
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
    const std::string bytes = ReadBytesOrFail(file);  // unreadable: fail before anything is written
    std::error_code ec;
    TDrawRequest request;
    request.Output = file;
    request.TitleUtf8 = file.filename().string();
    std::string note;
    if (!o.Input.empty()) {
        request.Input = o.Input;
        ReadBytesOrFail(request.Input);
    } else if (fs::is_regular_file(file.parent_path() / InputCopyName, ec) &&
               file.filename() != InputCopyName) {
        request.Input = file.parent_path() / InputCopyName;
    } else {
        request.Input = file;
        if (bytes.find("\nhs ") == std::string::npos) {
            note = std::string("no host input (--input, or ") + InputCopyName +
                   " beside the file): scale 1 and the reader's default text types";
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
    WriteBytesOrFail(svg, result.Svg);
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
    if (!note.empty()) std::fprintf(stderr, "pardim-host: %s\n", note.c_str());
}

int Show(const std::string& file) {
    ReadBytesOrFail(file);
    std::string report;
    if (!ShowExchangeFile(file, report)) Fail(file + " cannot be read");
    std::fputs(report.c_str(), stdout);
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    CLI::App app{"pardim-host: does on Linux what the host (Jw_cad) does around one run of pardim",
                 "pardim-host"};
    app.require_subcommand(1);
    app.set_version_flag("--version", PARDIM_VERSION);

    TWriteOptions writeOptions;
    std::function<void()> writeAction;
    AddWrite(app, writeOptions, writeAction);
    TRunOptions runOptions;
    std::function<int()> runAction;
    AddRun(app, runOptions, runAction);

    std::string checkFile;
    CLI::App* check = app.add_subcommand(
        "check", "Report every line of FILE the host would not understand (exit 1 if any)");
    check->add_option("FILE", checkFile, "The tool's output, JWC_TEMP.TXT")
        ->type_name("FILE")
        ->required();

    TDrawOptions drawOptions;
    CLI::App* draw = app.add_subcommand("draw", "Draw FILE as the host would show it, as SVG/PNG");
    draw->footer(
        "Text sizes, scales and the picked points come from the host's input: --input, else\n"
        "JWC_TEMP.in.txt beside FILE (saved by run). Context lines come from --scenario, else\n"
        "pardim-host.toml beside FILE (saved by write).");
    draw->add_option("FILE", drawOptions.File, "The tool's output, JWC_TEMP.TXT")
        ->type_name("FILE")
        ->required();
    draw->add_option("-o,--output", drawOptions.Svg, "SVG file (default: FILE with .svg)")
        ->type_name("FILE");
    draw->add_option("--png", drawOptions.Png, "Also render a PNG through rsvg-convert")
        ->type_name("FILE");
    draw->add_option("--input", drawOptions.Input, "The host's input file of this run")
        ->type_name("FILE");
    draw->add_option("--scenario", drawOptions.Scenario, "Scenario file with context lines")
        ->type_name("FILE");

    std::string showFile;
    CLI::App* show = app.add_subcommand(
        "show",
        "Show what the tool sees in FILE: attributes, scales, text types, points, entities");
    show->add_option("FILE", showFile, "An exchange file, usually the host's JWC_TEMP.TXT")
        ->type_name("FILE")
        ->required();

    // Set last, so that the subcommands' help does not repeat it.
    app.footer(
        "Typical run (docs/pardim-host.md):\n"
        "  pardim-host write /tmp/run\n"
        "  pardim-host run /tmp/run --exe build/windows/src/win/pardim.exe --auto\n"
        "  pardim-host check /tmp/run/JWC_TEMP.TXT\n"
        "  pardim-host draw /tmp/run/JWC_TEMP.TXT --png /tmp/run/JWC_TEMP.png");

    try {
        // CLI11 would call an unknown word or option a missing subcommand.
        if (argc > 1) {
            const std::string word = argv[1];
            const bool option = word[0] == '-';
            if (option && word != "-h" && word != "--help" && word != "--version") {
                Fail("unknown option '" + word + "' (see --help)");
            }
            const auto named = [&](const CLI::App* sub) { return sub->get_name() == word; };
            if (!option && std::as_const(app).get_subcommands(named).empty()) {
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
        if (e.get_exit_code() == 0) return app.exit(e);  // --help, --version
        std::fprintf(stderr, "pardim-host: %s (see --help)\n", e.what());
        return 2;
    } catch (const TUsageError& e) {
        std::fprintf(stderr, "pardim-host: %s\n", e.Message.c_str());
        return 2;
    }
}
