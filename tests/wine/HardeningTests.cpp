// Runs of the faults build (TestFaults.cpp) and of the default one under what the world does to
// a tool: refused windows, a DLL planted in the tool's folder, no browser unless a page is set,
// a high-contrast theme; and what Windows does to a running tool: exceptions, the floating-point
// state left by system code, held files and folders, an end before any window, the code page.
#include <windows.h>

#include <cstdint>
#include <filesystem>
#include <string>
#include <system_error>
#include <utility>

#include "ControlIds.h"
#include "Win32Text.h"
#include "WineDriver.h"
#include "WineSuite.h"

namespace fs = std::filesystem;
using namespace WinId;

namespace wine {

void DialogRefusedLeavesNothingDrawn(const TContext& context, TCheck& check) {
    const std::string settings = Settings(120, 80, 1);
    const fs::path folder = Prepare(context, "refused", "road-one-dimension.txt", settings);
    TPardim run(FaultsExe(context), folder, L"refuse:#32770");
    check.Expect(run.Dialog == nullptr, "no dialog");
    // Not the host's input, which it would otherwise carry out as commands.
    ExpectClosedWith(check, run, folder, Cancelled, settings);
}

void ApplicationWindowRefusedDialogStillDraws(const TContext& context, TCheck& check) {
    const char input[] = "road-one-dimension.txt";
    const fs::path folder = Prepare(context, "no-application", input, Settings(137, 91, 2));
    TPardim run(FaultsExe(context), folder, L"refuse:PardimApplication");
    if (!check.Expect(run.Dialog != nullptr, "dialog shown")) return;
    check.Expect(GetWindow(run.Dialog, GW_OWNER) == nullptr, "no application window");
    run.PressKey(VK_RETURN);
    if (!check.Expect(run.WaitForExit(10000), "OK closed the dialog")) return;
    ExpectSameAsBatch(check, context, folder, input, Settings(137, 91, 2));
}

void PlantedAtlIsNotLoaded(const TContext& context, TCheck& check) {
    const fs::path planted = context.DriverDir / "planted-atl.dll";
    // First, that a search through the folder would take the planted copy over the system's.
    const fs::path control = Scratch(context, "planted-control");
    std::error_code ec;
    fs::copy_file(planted, control / "atl.dll", ec);
    SetDllDirectoryW(control.c_str());
    LoadLibraryW(L"atl.dll");  // refused by the planted DllMain
    SetDllDirectoryW(nullptr);
    if (!check.Expect(fs::exists(control / "atl.dll.loaded"),
                      "control: a search through the folder loads the planted atl.dll")) {
        return;
    }

    // A build whose strip has a page to show: the default one makes no browser at all.
    const fs::path folder = Prepare(context, "planted", "road-one-dimension.txt", "");
    fs::copy_file(planted, folder / "atl.dll", ec);
    TPardim run(FaultsExe(context), folder, L"page:http://pardim.test/pr/");
    if (!check.Expect(run.Dialog != nullptr, "dialog shown")) return;
    run.Settle();  // the browser is made once the dialog shows
    check.Expect(!fs::exists(folder / "atl.dll.loaded"), "the planted atl.dll was not loaded");
    bool systemAtl = false;
    for (const fs::path& module : run.LoadedModules()) {
        if (lstrcmpiW(module.filename().c_str(), L"atl.dll") == 0) {
            systemAtl = !fs::equivalent(module.parent_path(), folder, ec);
        }
    }
    check.Expect(systemAtl, "the system's atl.dll is loaded instead");
    run.Click(run.Item(Button2));
    ExpectClosedWith(check, run, folder, Cancelled, "");
}

// An exception that reaches the boundary where Windows called us ends the run as a close would,
// with a normal exit: "hq" unless OK had finished, then the whole dimension.
std::function<void(const TContext&, TCheck&)> ExceptionCase(TExceptionCase c) {
    return [c](const TContext& context, TCheck& check) {
        const char input[] = "road-one-dimension.txt";
        const std::string settings = Settings(137, 91, 2);
        const fs::path folder = Prepare(context, "exception", input, settings);
        TPardim run(FaultsExe(context), folder, c.Fault);
        if (!check.Expect(run.Dialog != nullptr, "dialog shown")) return;
        if (c.PressOk) {
            run.PressKey(VK_RETURN);
        } else {
            run.Click(run.Item(Button2));
        }
        if (!check.Expect(run.WaitForExit(10000), "process ended")) return;
        check.Expect(run.ExitCode() == 0, "exit code " + Hex(run.ExitCode()) + ", want 0");
        check.Expect(!fs::exists(folder / "JWC_TEMP.TXT.tmp"), "no temporary left behind");
        if (c.Draws) {
            ExpectSameAsBatch(check, context, folder, input, settings);
            return;
        }
        check.Expect(ReadFileBytes(folder / ExchangeName) == Cancelled, "JWC_TEMP.TXT is hq");
        std::string saved = settings;  // Cancel saves nothing; OK saves before it draws
        if (c.PressOk) {
            const fs::path batchFolder = Prepare(context, "batch", input, settings);
            RunProgram(context.BatchExe, batchFolder, context.WorkDir / "batch-output.txt", 30000);
            saved = ReadFileBytes(batchFolder / SettingsName);
        }
        check.Expect(ReadFileBytes(folder / SettingsName) == saved, "pardim.dat as OK saved it");
    };
}

// Code that Windows runs in our process leaves the x87 at 53 bits and SSE rounding toward zero:
// while the status line is updated, or inside the file functions as the settings are saved,
// before the dimension is computed. The drawing is still the golden one.
std::function<void(const TContext&, TCheck&)> FpuCase(const wchar_t* fault) {
    return [fault](const TContext& context, TCheck& check) {
        const fs::path folder = PrepareTie(context, "fpu");
        TPardim run(FaultsExe(context), folder, fault);
        if (!check.Expect(run.Dialog != nullptr, "dialog shown")) return;
        run.PressKey(VK_RETURN);
        if (!check.Expect(run.WaitForExit(10000), "OK closed the dialog")) return;
        check.Expect(ReadFileBytes(folder / ExchangeName) == TieDrawnByLinux(context),
                     "JWC_TEMP.TXT equals the golden file");
    };
}

// Another handle holds one of the files for 200 ms as it is renamed; the output still arrives
// whole.
std::function<void(const TContext&, TCheck&)> HeldFileCase(const wchar_t* fault) {
    return [fault](const TContext& context, TCheck& check) {
        const char input[] = "road-one-dimension.txt";
        const std::string settings = Settings(137, 91, 2);
        const fs::path folder = Prepare(context, "held", input, settings);
        TPardim run(FaultsExe(context), folder, fault);
        if (!check.Expect(run.Dialog != nullptr, "dialog shown")) return;
        run.PressKey(VK_RETURN);
        if (!check.Expect(run.WaitForExit(10000), "OK closed the dialog")) return;
        ExpectSameAsBatch(check, context, folder, input, settings);
        check.Expect(!fs::exists(folder / "JWC_TEMP.TXT.not-held"),
                     "the held file did stop the first rename");
    };
}

// A virus scanner or a sync client still holds the temporary folders of an earlier run, whose
// deletion is pending: Windows refuses to make a folder under those names with "access denied".
// The next names are taken instead, and the run draws.
void HeldTemporaryFolderIsPassedOver(const TContext& context, TCheck& check) {
    const char input[] = "road-one-dimension.txt";
    const std::string settings = Settings(137, 91, 2);
    const fs::path folder = Prepare(context, "pending", input, settings);
    std::error_code ec;
    for (const char* held : {"JWC_TEMP.TXT.tmp", "pardim.dat.tmp"}) {
        fs::create_directory(folder / held, ec);
    }
    TPardim run(FaultsExe(context), folder, L"pending:temp");
    if (!check.Expect(run.Dialog != nullptr, "dialog shown")) return;
    run.PressKey(VK_RETURN);
    if (!check.Expect(run.WaitForExit(10000), "OK closed the dialog")) return;
    ExpectSameAsBatch(check, context, folder, input, settings);
    check.Expect(
        !fs::exists(folder / "JWC_TEMP.TXT.tmp1") && !fs::exists(folder / "pardim.dat.tmp1"),
        "the next temporary names are gone again");
}

// An exception that nothing catches, or a call of std::terminate, before any window exists: the
// process ends at once with code 3 and shows nothing (no "Runtime Error!" box that the host would
// wait behind). The host reads back its own file, which tells it that nothing was drawn.
std::function<void(const TContext&, TCheck&)> TerminateCase(const wchar_t* fault) {
    return [fault](const TContext& context, TCheck& check) {
        const fs::path folder =
            Prepare(context, "terminate", "road-one-dimension.txt", Settings(137, 91, 2));
        const std::string hostInput = ReadFileBytes(folder / ExchangeName);
        const ULONGLONG start = GetTickCount64();
        TPardim run(FaultsExe(context), folder, fault);
        const bool ended = run.WaitForExit(5000);
        const ULONGLONG ms = GetTickCount64() - start;
        check.Expect(run.Dialog == nullptr, "no window appeared");
        if (!check.Expect(ended, "process ended")) return;
        check.Expect(ms < 5000, "ended after " + std::to_string(ms) + " ms");
        check.Expect(run.ExitCode() == 3, "exit code " + Hex(run.ExitCode()) + ", want 3");
        check.Expect(
            hostInput.rfind("hq\r\n", 0) == 0 && ReadFileBytes(folder / ExchangeName) == hostInput,
            "JWC_TEMP.TXT is the host's own, first line hq");
    };
}

// Texts typed or pasted into the dialog reach the drawing through code page 932 with Windows'
// best fit: what mail, the web or another system gives for the Shift-JIS characters that the
// drafter sees keeps those characters. A character without any Shift-JIS form becomes '?'.
void WideToSjisKeepsBestFit(const TContext&, TCheck& check) {
    const struct {
        const wchar_t* Wide;
        const char* Sjis;
    } rows[] = {
        {L"\u5E73\u884C", "\x95\xbd\x8ds"},                   // 平行, mapped as it is
        {L"\u301C", "\x81\x60"},                              // wave dash: 〜
        {L"\uFF5E", "\x81\x60"},                              // fullwidth tilde, the same character
        {L"\u2212", "\x81\x7c"},                              // minus sign: －
        {L"\u2016", "\x81\x61"},                              // double vertical line: ∥
        {L"\u2014", "\x81\x5c"},                              // em dash: ―
        {L"\u00A2\u00A3\u00AC", "\x81\x91\x81\x92\x81\xca"},  // ¢ £ ¬
        {L"\u00A5", "\\"},         // yen sign: the byte Japanese fonts draw as ¥
        {L"a\U0001F600b", "a?b"},  // an emoji: one character, one '?'
        {L"\xD83D", "?"},          // half of one
    };
    for (const auto& row : rows) {
        const std::string sjis = WideToSjis(row.Wide);
        std::string bytes;
        for (const char c : sjis) bytes += Hex(static_cast<unsigned char>(c)).substr(4) + " ";
        check.Expect(sjis == row.Sjis, "U+" + Hex(row.Wide[0]) + " gives " + bytes);
    }
}

// The default address never resolves: no browser engine is loaded, nothing is sent.
void DefaultBuildMakesNoBrowser(const TContext& context, TCheck& check) {
    const fs::path folder = Prepare(context, "no-browser", "road-one-dimension.txt", "");
    TPardim run(context.PardimExe, folder);
    if (!check.Expect(run.Dialog != nullptr, "dialog shown")) return;
    run.Settle();
    for (const fs::path& module : run.LoadedModules()) {
        for (const wchar_t* browser : {L"atl.dll", L"ieframe.dll", L"mshtml.dll"}) {
            check.Expect(lstrcmpiW(module.filename().c_str(), browser) != 0,
                         Utf8(module.wstring()) + " is loaded");
        }
    }
    run.Click(run.Item(Button2));
    ExpectClosedWith(check, run, folder, Cancelled, "");
}

// Under a high-contrast theme whose window text is white, the labels must not vanish white on
// white: the system's colours then apply. The control run shows that they do vanish otherwise.
void HighContrastKeepsLabelsReadable(const TContext& context, TCheck& check) {
    const int element = COLOR_WINDOWTEXT;
    const COLORREF saved = GetSysColor(element);
    const COLORREF white = RGB(255, 255, 255);
    SetSysColors(1, &element, &white);
    const auto labelColours = [&](const wchar_t* fault) {
        const fs::path folder = Prepare(context, "contrast", "road-one-dimension.txt", "");
        TPardim run(FaultsExe(context), folder, fault);
        std::pair<std::uint32_t, int> result{0, 0};  // background, pixels of another colour
        if (!run.Dialog) return result;
        run.Settle();
        Sleep(500);  // let the last paint reach the screen
        RECT label{};
        GetWindowRect(run.Item(LabelId(13)), &label);  // 寸法値の精度
        const TCapture shot = CaptureScreen(label);
        result.first = shot.Dominant(RECT{0, 0, shot.Width, shot.Height});
        for (const std::uint32_t pixel : shot.Pixels) result.second += pixel != result.first;
        run.Click(run.Item(Button2));
        run.WaitForExit(10000);
        return result;
    };
    const auto normal = labelColours(L"");
    const auto high = labelColours(L"contrast:high");
    SetSysColors(1, &element, &saved);
    check.Expect(normal.first == 0xFFFFFF && normal.second == 0,
                 "control: without high contrast the label is white on white (#" +
                     Hex(normal.first) + ", " + std::to_string(normal.second) + " other pixels)");
    check.Expect(high.second > 20, "in high contrast the label shows " +
                                       std::to_string(high.second) + " pixels of text on #" +
                                       Hex(high.first));
}

}  // namespace wine
