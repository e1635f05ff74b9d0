// The definitions of the helpers that the files of the Wine suite share (WineSuite.h).
#include "WineSuite.h"

#include <cstdio>
#include <system_error>

namespace fs = std::filesystem;

namespace wine {
namespace {

const char TieSettings[] = "wall-3639.9995-point-marks.dat";

void PutInput(const TContext& context, const fs::path& folder, const char* input) {
    WriteFileBytes(folder / ExchangeName, ReadFileBytes(context.DataDir / input));
}

}  // namespace

std::vector<std::string> SettingsLines(int left, int top, int textType) {
    return {std::to_string(left),
            std::to_string(top),
            "0",
            "0",
            std::to_string(textType),
            "3",
            "2",
            "1",
            "",
            "",
            "0.5",
            "2",
            "2",
            "3",
            "15",
            "2",
            "0",
            "0",
            "0",
            "0",
            "0",
            "0"};
}

std::string Joined(const std::vector<std::string>& lines) {
    std::string text;
    for (const std::string& line : lines) text += line + "\r\n";
    return text;
}

std::string Settings(int left, int top, int textType) {
    return Joined(SettingsLines(left, top, textType));
}

std::string SettingsWith(std::size_t line, const char* value) {
    std::vector<std::string> lines = SettingsLines(120, 80, 1);
    lines[line - 1] = value;
    return Joined(lines);
}

fs::path Scratch(const TContext& context, const fs::path& name) {
    static int runs = 0;
    fs::path folder = context.WorkDir / std::to_wstring(++runs);
    folder += L"-";
    folder += name;
    std::error_code ec;
    fs::create_directories(folder, ec);
    return folder;
}

fs::path Prepare(const TContext& context, const fs::path& name, const char* input,
                 const std::string& settings) {
    const fs::path folder = Scratch(context, name);
    if (input) PutInput(context, folder, input);
    if (!settings.empty()) WriteFileBytes(folder / SettingsName, settings);
    return folder;
}

std::string Hex(std::uint32_t value) {
    char buffer[16];
    std::snprintf(buffer, sizeof buffer, "%06X", static_cast<unsigned>(value));
    return buffer;
}

std::string RectText(const RECT& r) {
    return std::to_string(r.left) + "," + std::to_string(r.top) + " " +
           std::to_string(r.right - r.left) + "x" + std::to_string(r.bottom - r.top);
}

void SetText(HWND control, const char* text) {
    SendMessageW(control, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(SjisToWide(text).c_str()));
}

void ExpectClosedWith(TCheck& check, const TPardim& run, const fs::path& folder,
                      const std::string& exchange, const std::string& settings) {
    if (!check.Expect(run.WaitForExit(10000), "process ended")) return;
    check.Expect(ReadFileBytes(folder / ExchangeName) == exchange, "JWC_TEMP.TXT as expected");
    check.Expect(ReadFileBytes(folder / SettingsName) == settings, "pardim.dat as expected");
}

void ExpectSameAsBatch(TCheck& check, const TContext& context, const fs::path& guiFolder,
                       const char* input, const std::string& batchSettings) {
    const fs::path batchFolder = Prepare(context, "batch", input, batchSettings);
    const int exitCode =
        RunProgram(context.BatchExe, batchFolder, context.WorkDir / "batch-output.txt", 30000);
    check.Expect(exitCode == 0, "pardim-batch ran, exit code " + std::to_string(exitCode));
    const std::string drawn = ReadFileBytes(guiFolder / ExchangeName);
    check.Expect(drawn.size() > 4 && drawn != Cancelled, "the dialog drew something");
    check.Expect(drawn == ReadFileBytes(batchFolder / ExchangeName),
                 "JWC_TEMP.TXT equals pardim-batch's");
    check.Expect(
        ReadFileBytes(guiFolder / SettingsName) == ReadFileBytes(batchFolder / SettingsName),
        "pardim.dat equals pardim-batch's");
}

fs::path FaultsExe(const TContext& context) { return context.DriverDir / "faults" / "pardim.exe"; }

unsigned short EntryControlWord = 0;

unsigned short ControlWord() {
    unsigned short controlWord = 0;
    __asm__ volatile("fnstcw %0" : "=m"(controlWord));
    return controlWord;
}

fs::path PrepareTie(const TContext& context, const char* name) {
    return Prepare(context, name, TieInput, ReadFileBytes(context.DataDir / TieSettings));
}

std::string TieDrawnByLinux(const TContext& context) {
    return ReadFileBytes(context.DataDir / "golden" / "wall-3639.9995-point-marks.out.txt");
}

}  // namespace wine
