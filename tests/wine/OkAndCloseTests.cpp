// The ways a run ends: OK drawing what pardim-batch draws from the same input and settings, in
// any tool folder; every way of closing without OK, which leaves the files as they were; and OK
// refused, which keeps the dialog open with the focus on what must change.
#include <windows.h>

#include <cstddef>
#include <filesystem>
#include <functional>
#include <string>

#include "ControlIds.h"
#include "Win32Text.h"
#include "WineDriver.h"
#include "WineSuite.h"

namespace fs = std::filesystem;
using namespace WinId;

namespace wine {
namespace {

const char JapaneseFolder[] =
    "\x95\xbd\x8ds \x90\xa1\x96@\x90\xfc \x83t\x83H\x83\x8b\x83_";  // 平行 寸法線 フォルダ
const char ZeroLengthMessage[] =
    "\x90\xa1\x96@\x82\xaa\x81u0\x81v\x82\xc9\x82\xc8\x82\xe8\x82\xdc\x82\xb7\x82\xcc\x82\xc5"
    "\x8d\xec\x90}\x8fo\x97\x88\x82\xdc\x82\xb9\x82\xf1";  // 寸法が「0」になりますので作図出来ません

// The user tabs to the text type list, picks the third entry with the arrow keys and presses
// Enter; everything else keeps its default.
void ChooseTextTypeAndPressEnter(TCheck& check, const TPardim& run) {
    for (int i = 0; i < 5; ++i) run.PressKey(VK_TAB);
    check.Expect(run.Focus() == run.Item(ComboBox3), "five Tabs reach ComboBox3");
    run.PressKey(VK_DOWN);
    run.PressKey(VK_DOWN);
    check.Expect(SendMessageW(run.Item(ComboBox3), CB_GETCURSEL, 0, 0) == 2, "text type 2 chosen");
    run.PressKey(VK_RETURN);
}

void RunOkAgainstBatch(const TContext& context, TCheck& check, const fs::path& folderName,
                       const char* input) {
    const fs::path folder = Prepare(context, folderName, input, Settings(137, 91, 0));
    TPardim run(context.PardimExe, folder);
    if (!check.Expect(run.Dialog != nullptr, "dialog shown")) return;
    RECT window{};
    GetWindowRect(run.Dialog, &window);
    check.Expect(window.left == 137 && window.top == 91, "placed at the saved position");
    ChooseTextTypeAndPressEnter(check, run);
    if (!check.Expect(run.WaitForExit(10000), "OK closed the dialog")) return;
    ExpectSameAsBatch(check, context, folder, input, Settings(137, 91, 2));
}

HWND FindChildWithText(HWND parent, const std::wstring& text) {
    for (HWND child = GetWindow(parent, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
        if (WindowText(child) == text) return child;
    }
    return nullptr;
}

}  // namespace

std::function<void(const TContext&, TCheck&)> OkCase(const char* input) {
    return [input](const TContext& context, TCheck& check) {
        RunOkAgainstBatch(context, check, "ok", input);
    };
}

void JapaneseFolderWithBlankWorks(const TContext& context, TCheck& check) {
    RunOkAgainstBatch(context, check, fs::path(SjisToWide(JapaneseFolder)),
                      "road-one-dimension.txt");
}

// Windows refuses a folder name of 248 characters or more without the long-path form: from a
// tool folder of about 231 characters on, the temporary folder beside the exchange file passes
// it. Wine has no such limit, so this shows only that the long-path form does no harm.
void LongToolFolderWorks(const TContext& context, TCheck& check) {
    const std::size_t want = 240;
    const std::size_t base = (context.WorkDir / L"99-").wstring().size();
    std::wstring name = L"long";
    while (base + name.size() + 11 <= want) name += L"\\0123456789";
    name.append(want > base + name.size() ? want - base - name.size() : 0, L'x');
    const std::size_t length = (context.WorkDir / L"99-").wstring().size() + name.size();
    check.Expect(length >= 231 && length < 248,
                 "tool folder of " + std::to_string(length) + " characters");
    RunOkAgainstBatch(context, check, name, "road-one-dimension.txt");
}

// Every way of closing without OK leaves both files as they were.
std::function<void(const TContext&, TCheck&)> CloseCase(TCloseAction close) {
    return [close](const TContext& context, TCheck& check) {
        const std::string settings = Settings(120, 80, 1);
        const fs::path folder =
            Prepare(context, "close", "parcel-a-4points-freetext.txt", settings);
        TPardim run(context.PardimExe, folder);
        if (!check.Expect(run.Dialog != nullptr, "dialog shown")) return;
        close(run);
        ExpectClosedWith(check, run, folder, Cancelled, settings);
    };
}

// A refused OK keeps the dialog open, with the focus on the first field that must change.
void InvalidFieldsMoveTheFocusInOrder(const TContext& context, TCheck& check) {
    const std::string settings = Settings(120, 80, 1);
    const fs::path folder = Prepare(context, "invalid", "road-one-dimension.txt", settings);
    const std::string input = ReadFileBytes(folder / ExchangeName);
    TPardim run(context.PardimExe, folder);
    if (!check.Expect(run.Dialog != nullptr, "dialog shown")) return;
    SetText(run.Item(Edit8), "0");
    SetText(run.Item(Edit9), "-1");
    run.PressKey(VK_RETURN);
    check.Expect(WaitUntil([&] { return run.Focus() == run.Item(Edit8); }, 3000),
                 "focus on Edit8, the first bad field");
    SetText(run.Item(Edit8), "179.99");
    run.Click(run.Item(Button1));
    check.Expect(WaitUntil([&] { return run.Focus() == run.Item(Edit9); }, 3000), "then on Edit9");
    check.Expect(run.Running(), "dialog still open");
    check.Expect(ReadFileBytes(folder / ExchangeName) == input, "JWC_TEMP.TXT untouched");
    check.Expect(ReadFileBytes(folder / SettingsName) == settings, "pardim.dat untouched");
    run.Click(run.Item(Button2));
    ExpectClosedWith(check, run, folder, Cancelled, settings);
}

void EnterInNoteBoxPressesOk(const TContext& context, TCheck& check) {
    const fs::path folder = Prepare(context, "note-enter", "road-one-dimension.txt", "");
    TPardim run(context.PardimExe, folder);
    if (!check.Expect(run.Dialog != nullptr, "dialog shown")) return;
    HWND memo = run.Item(Memo1);
    PostMessageW(memo, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(20, 20));
    PostMessageW(memo, WM_LBUTTONUP, 0, MAKELPARAM(20, 20));
    run.Settle();
    check.Expect(run.Focus() == memo, "a click puts the focus into the note box");
    run.PressKey(VK_RETURN);
    // No text type chosen yet: OK refuses and points at the list.
    check.Expect(WaitUntil([&] { return run.Focus() == run.Item(ComboBox3); }, 3000),
                 "Enter pressed OK, which moved the focus to ComboBox3");
    check.Expect(!fs::exists(folder / SettingsName), "no settings file written");
    run.PressKey(VK_ESCAPE);
    ExpectClosedWith(check, run, folder, Cancelled, "");
}

void ZeroLengthShowsMessageAndStaysOpen(const TContext& context, TCheck& check) {
    const std::string settings = Settings(120, 80, 1);
    const fs::path folder = Prepare(context, "zero", "road-zero-length.txt", settings);
    const std::string input = ReadFileBytes(folder / ExchangeName);
    TPardim run(context.PardimExe, folder);
    if (!check.Expect(run.Dialog != nullptr, "dialog shown")) return;
    run.PressKey(VK_RETURN);
    HWND box = nullptr;
    WaitUntil([&] { return (box = run.FindMessageBox()) != nullptr; }, 5000);
    if (!check.Expect(box != nullptr, "message box shown")) return;
    check.ExpectText(box, ApplicationTitle, "message box caption");
    check.Expect(GetWindow(box, GW_OWNER) == run.Dialog, "owned by the dialog");
    check.Expect(FindChildWithText(box, SjisToWide(ZeroLengthMessage)) != nullptr,
                 "shows the zero-length message");
    check.Expect(GetDlgItem(box, IDOK) && !GetDlgItem(box, IDCANCEL) && !GetDlgItem(box, IDYES),
                 "one OK button");
    run.Click(GetDlgItem(box, IDOK));
    check.Expect(WaitUntil([&] { return !IsWindow(box); }, 3000), "message box closed");
    check.Expect(run.Running() && IsWindowVisible(run.Dialog), "dialog still open");
    check.ExpectText(run.Item(LabelA1), "\x81@", "status line unchanged");
    check.Expect(ReadFileBytes(folder / ExchangeName) == input, "JWC_TEMP.TXT untouched");
    // The settings were saved before the dimension was refused.
    const std::string saved = ReadFileBytes(folder / SettingsName);
    check.Expect(saved.rfind(settings, 0) == 0 && saved.size() > settings.size(),
                 "pardim.dat rewritten with the same settings");
    run.Click(run.Item(Button2));
    ExpectClosedWith(check, run, folder, Cancelled, saved);
}

}  // namespace wine
