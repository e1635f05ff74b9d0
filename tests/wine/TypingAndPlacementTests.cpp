// What the edit boxes let a user type or paste, counted in Shift-JIS bytes; and where the window
// opens: at the saved place, brought back onto a monitor when that place is off every one, and
// minimised and restored through the application window.
#include <windows.h>

#include <filesystem>
#include <string>
#include <vector>

#include "ControlIds.h"
#include "Win32Text.h"
#include "WineDriver.h"
#include "WineSuite.h"

namespace fs = std::filesystem;
using namespace WinId;

namespace wine {

void EditLimitsCountShiftJisBytesWhenTyping(const TContext& context, TCheck& check) {
    std::vector<std::string> lines = SettingsLines(120, 80, 1);
    lines[7] = "12345678901234567890";  // Edit1 types 16 bytes at most; a file may hold more
    const fs::path folder = Prepare(context, "limits", nullptr, Joined(lines));
    TPardim run(context.PardimExe, folder);
    if (!check.Expect(run.Dialog != nullptr, "dialog shown")) return;
    check.ExpectText(run.Item(Edit1), lines[7].c_str(), "Edit1 as loaded");
    run.TypeChar(run.Item(Edit1), L'9');
    check.ExpectText(run.Item(Edit1), lines[7].c_str(), "Edit1 refuses more typing");

    HWND edit7 = run.Item(Edit7);
    SetText(edit7, "");
    for (int i = 0; i < 10; ++i) PostMessageW(edit7, WM_CHAR, L'1', 1);
    run.Settle();
    check.ExpectText(edit7, "11111111", "Edit7 takes 8 bytes");

    HWND edit2 = run.Item(Edit2);
    const std::wstring fullWidthA = SjisToWide("\x82`");  // Ａ
    for (int i = 0; i < 20; ++i) PostMessageW(edit2, WM_CHAR, fullWidthA[0], 1);
    PostMessageW(edit2, WM_CHAR, L'a', 1);
    run.Settle();
    std::string sixteen;
    for (int i = 0; i < 16; ++i) sixteen += "\x82`";
    check.ExpectText(edit2, sixteen, "Edit2 takes 16 full-width characters (32 bytes)");
    run.PressKey(VK_ESCAPE);
    check.Expect(run.WaitForExit(10000), "Escape closed the dialog");
}

void SavedPositionIsUsedUnchanged(const TContext& context, TCheck& check) {
    const fs::path folder = Prepare(context, "position", nullptr, Settings(-40, -20, 1));
    TPardim run(context.PardimExe, folder);
    if (!check.Expect(run.Dialog != nullptr, "dialog shown")) return;
    RECT window{};
    GetWindowRect(run.Dialog, &window);
    check.Expect(window.left == -40 && window.top == -20, "placed at " + RectText(window));
    run.Click(run.Item(Button2));
    check.Expect(run.WaitForExit(10000), "Cancel closed the dialog");
}

// A paste takes what fits at whole characters, as a standard edit box does with its own limit.
void PasteInsertsWhatFits(const TContext& context, TCheck& check) {
    const fs::path folder = Prepare(context, "paste", nullptr, Settings(120, 80, 1));
    TPardim run(context.PardimExe, folder);
    if (!check.Expect(run.Dialog != nullptr, "dialog shown")) return;
    std::wstring twenty;
    std::string fourteen;
    for (int i = 0; i < 20; ++i) twenty += SjisToWide("\x82`");  // Ａ, two bytes each
    for (int i = 0; i < 14; ++i) fourteen += "\x82`";
    const struct {
        const char* before;
        std::wstring pasted;
        std::string want;
    } cases[] = {
        {"abc", twenty + L"\r\nsecond line", "abc" + fourteen},  // 29 bytes left: 14 characters
        {"", L"12\r\n34", "12"},                                 // one line only
    };
    for (const auto& c : cases) {
        HWND edit2 = run.Item(Edit2);
        SetText(edit2, c.before);
        SendMessageW(edit2, EM_SETSEL, 3, 3);
        if (!check.Expect(SetClipboardText(c.pasted), "clipboard set")) return;
        SendMessageW(edit2, WM_PASTE, 0, 0);
        check.ExpectText(edit2, c.want, std::string("paste after '") + c.before + "'");
    }
    run.PressKey(VK_ESCAPE);
    check.Expect(run.WaitForExit(10000), "Escape closed the dialog");
}

// A saved place off every monitor opens the window wholly on the nearest one; a place where the
// title bar can still be grabbed is kept.
void PositionOffEveryMonitorComesBack(const TContext& context, TCheck& check) {
    const RECT work = [] {
        RECT r{};
        SystemParametersInfoW(SPI_GETWORKAREA, 0, &r, 0);
        return r;
    }();
    const struct {
        int left, top;
        bool kept;
    } cases[] = {
        {-40, -20, true},    {900, 700, true},    {2147483647, 2147483647, false},
        {-5000, 100, false}, {100, 30000, false},
    };
    for (const auto& c : cases) {
        const std::string name = std::to_string(c.left) + "," + std::to_string(c.top);
        const fs::path folder =
            Prepare(context, "place " + name, "road-one-dimension.txt", Settings(c.left, c.top, 1));
        TPardim run(context.PardimExe, folder);
        if (!check.Expect(run.Dialog != nullptr, name + ": dialog shown")) continue;
        RECT window{};
        GetWindowRect(run.Dialog, &window);
        if (c.kept) {
            check.Expect(window.left == c.left && window.top == c.top,
                         name + ": kept, placed at " + RectText(window));
        } else {
            check.Expect(
                window.left >= work.left && window.top >= work.top && window.right <= work.right &&
                    window.bottom <= work.bottom,
                name + ": on the work area " + RectText(work) + ", placed at " + RectText(window));
        }
        run.Click(run.Item(Button1));
        check.Expect(run.WaitForExit(10000), name + ": OK closed the dialog");
        const std::string saved = ReadFileBytes(folder / SettingsName);
        const std::string wantStart =
            std::to_string(window.left) + "\r\n" + std::to_string(window.top) + "\r\n";
        check.Expect(saved.rfind(wantStart, 0) == 0, name + ": the place shown is saved");
    }
}

// The task bar button belongs to the application window: minimising the dialog minimises that
// window, which hides the dialog, and restoring it brings the dialog back.
void MinimiseGoesThroughTheApplicationWindow(const TContext& context, TCheck& check) {
    const fs::path folder = Scratch(context, "minimise");
    TPardim run(context.PardimExe, folder);
    if (!check.Expect(run.Dialog != nullptr, "dialog shown")) return;
    HWND application = GetWindow(run.Dialog, GW_OWNER);
    PostMessageW(run.Dialog, WM_SYSCOMMAND, SC_MINIMIZE, 0);
    check.Expect(
        WaitUntil([&] { return IsIconic(application) && !IsWindowVisible(run.Dialog); }, 3000),
        "application window minimised, dialog hidden");
    PostMessageW(application, WM_SYSCOMMAND, SC_RESTORE, 0);
    check.Expect(
        WaitUntil([&] { return !IsIconic(application) && IsWindowVisible(run.Dialog); }, 3000),
        "restored with the dialog");
    run.Click(run.Item(Button2));
    check.Expect(run.WaitForExit(10000), "Cancel closed the dialog");
}

}  // namespace wine
