// End-to-end tests of the real dialog, run inside Wine by scripts/wine-e2e.sh: each case starts
// pardim.exe in a scratch folder, drives it as a user would and checks the window and the files it
// leaves, comparing a drawn dimension with what pardim-batch.exe makes of the same input.
// usage: pardim-wine-tests PARDIM_EXE BATCH_EXE DATA_DIR WORK_DIR [CASE...]
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <functional>
#include <string>
#include <system_error>
#include <vector>

#include "ControlIds.h"
#include "Fpu.h"
#include "JwwGaibu.h"
#include "RecordingView.h"
#include "Unit1.h"
#include "Win32Text.h"
#include "WineDriver.h"

namespace fs = std::filesystem;
using namespace WinId;

namespace {

struct TContext {
    fs::path PardimExe;
    fs::path BatchExe;
    fs::path DataDir;
    fs::path WorkDir;
    fs::path DriverDir;  // the test builds and the planted DLL sit beside the driver
};

// Collects the failed expectations of one case.
struct TCheck {
    std::vector<std::string> Failures;

    bool Expect(bool ok, const std::string& what) {
        if (!ok) Failures.push_back(what);
        return ok;
    }
    void ExpectText(HWND window, const std::string& sjis, const std::string& what) {
        const std::wstring actual = WindowText(window);
        Expect(actual == SjisToWide(sjis),
               what + ": text is '" + Utf8(actual) + "', want '" + Utf8(SjisToWide(sjis)) + "'");
    }
};

const char ExchangeName[] = "JWC_TEMP.TXT";
const char SettingsName[] = "pardim.dat";
const char Cancelled[] = "hq\r\n";
const char ApplicationTitle[] = "zr47_\x95\xbd\x8ds\x90\xa1\x96@\x90\xfc";  // zr47_平行寸法線
const char DialogTitle[] = "\x95\xbd\x8ds\x90\xa1\x96@\x90\xfc";            // 平行寸法線
const char JapaneseFolder[] =
    "\x95\xbd\x8ds \x90\xa1\x96@\x90\xfc \x83t\x83H\x83\x8b\x83_";  // 平行 寸法線 フォルダ
const char ZeroLengthMessage[] =
    "\x90\xa1\x96@\x82\xaa\x81u0\x81v\x82\xc9\x82\xc8\x82\xe8\x82\xdc\x82\xb7\x82\xcc\x82\xc5"
    "\x8d\xec\x90}\x8fo\x97\x88\x82\xdc\x82\xb9\x82\xf1";  // 寸法が「0」になりますので作図出来ません

// The 22 lines of a settings file as the dialog's defaults would save them, with the window at
// (left, top) and the given text type.
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

// A new, empty folder for one run; every run gets its own, so that a process a failed case
// left behind cannot hold files of the next one.
fs::path Scratch(const TContext& context, const fs::path& name) {
    static int runs = 0;
    fs::path folder = context.WorkDir / std::to_wstring(++runs);
    folder += L"-";
    folder += name;
    std::error_code ec;
    fs::create_directories(folder, ec);
    return folder;
}

void PutInput(const TContext& context, const fs::path& folder, const char* input) {
    WriteFileBytes(folder / ExchangeName, ReadFileBytes(context.DataDir / input));
}

// A scratch folder with the exchange file `input` and, unless empty, a settings file.
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

void ExpectClosedWith(TCheck& check, const TPardim& run, const fs::path& folder,
                      const std::string& exchange, const std::string& settings) {
    if (!check.Expect(run.WaitForExit(10000), "process ended")) return;
    check.Expect(ReadFileBytes(folder / ExchangeName) == exchange, "JWC_TEMP.TXT as expected");
    check.Expect(ReadFileBytes(folder / SettingsName) == settings, "pardim.dat as expected");
}

// ---- layout ----------------------------------------------------------------------------------

struct TExpectedControl {
    int Id;
    const wchar_t* Class;
    int Left, Top, Width, Height;
    const char* Text;  // Shift-JIS; nullptr: not a caption
};

// clang-format off
const TExpectedControl InputControls[] = {
    {ComboBox1,   L"ComboBox", 48,  4,   81,  21, nullptr},
    {ComboBox2,   L"ComboBox", 48,  28,  81,  21, nullptr},
    {Edit7,       L"Edit",     48,  64,  33,  21, "3"},
    {Edit8,       L"Edit",     48,  88,  33,  21, "15"},
    {Edit1,       L"Edit",     72,  112, 57,  21, "1"},
    {ComboBox3,   L"ComboBox", 136, 28,  169, 21, nullptr},
    {Edit2,       L"Edit",     200, 56,  105, 21, ""},
    {Edit3,       L"Edit",     200, 80,  105, 21, ""},
    {ComboBox4,   L"ComboBox", 200, 136, 105, 21, nullptr},
    {ComboBox5,   L"ComboBox", 200, 160, 105, 21, nullptr},
    {RadioGroup1, L"Button",   8,   184, 145, 41, "\x8f\xac\x90\x94\x93_\x88\xc8\x89\xba\x82\xcc\x82O\x95\\\x8e\xa6"},  // 小数点以下の０表示
    {RadioGroup2, L"Button",   160, 184, 145, 41, "\x90\xa1\x96@\x92l\x82\xcc\x92P\x88\xca"},  // 寸法値の単位
    {CheckBox1,   L"Button",   8,   232, 145, 17, "\x82R\x8c\x85\x96\x88\x83J\x83\x93\x83}\x95t\x89\xc1"},  // ３桁毎カンマ付加
    {CheckBox2,   L"Button",   152, 232, 105, 17, "\x92P\x88\xca\x82\xcc\x95t\x89\xc1"},  // 単位の付加
    {CheckBox3,   L"Button",   256, 232, 129, 17, "\x90\xa1\x96@\x92l\x82\xf0\x91S\x8ap\x89\xbb"},  // 寸法値を全角化
    {CheckBox4,   L"Button",   384, 232, 105, 17, "\x90\xa1\x96@\x90}\x8c`\x89\xbb"},  // 寸法図形化
    {Edit4,       L"Edit",     200, 252, 57,  21, "0.5"},
    {Edit5,       L"Edit",     200, 276, 57,  21, "2"},
    {Edit6,       L"Edit",     200, 300, 57,  21, "2"},
    {Edit9,       L"Edit",     200, 324, 57,  21, "2"},
    {Button1,     L"Button",   360, 264, 121, 33, "\x82n\x82j(&Y)"},  // ＯＫ(&Y)
    {Button2,     L"Button",   360, 312, 121, 33, "\x83L\x83\x83\x83\x93\x83Z\x83\x8b(&N)"},  // キャンセル(&N)
    {Memo1,       L"Edit",     312, 0,   177, 225, nullptr},
    {LabelA1,     L"Static",   0,   347, 492, 24,  "\x81@"},  // full-width blank
    {ScrollBox1,  nullptr,     0,   371, 492, 65,  nullptr},
};

struct TExpectedLabel {
    int Number;
    int Left, Top, Height;
    const char* Text;
};

const TExpectedLabel Labels[] = {
    {6,  8,   8,   13, "\x8en\x93_"},  // 始点
    {7,  8,   32,  13, "\x8fI\x93_"},  // 終点
    {15, 8,   52,  11, "\x81i\x90\xfc\x96\xee\x88\xf3\x81j"},  // （線矢印）
    {17, 8,   68,  13, "\x92\xb7\x82\xb3"},  // 長さ
    {18, 88,  68,  13, "\x90}\x90\xa1mm"},  // 図寸mm
    {16, 8,   92,  13, "\x8ap\x93x"},  // 角度
    {19, 88,  92,  13, "\x81\x8b"},  // °
    {1,  8,   116, 13, "\x92[\x93_\x94{\x97\xa6"},  // 端点倍率
    {20, 128, 116, 13, "\x81i\x93_\x83}\x81[\x83J\x81@\x90\xfc\x96\xee\x88\xf3\x82\xf0\x8f\x9c\x82\xad\x81j"},  // （点マーカ　線矢印を除く）
    {2,  136, 8,   13, "\x90\xa1\x96@\x92l\x82\xcc\x95\xb6\x8e\x9a\x8e\xed"},  // 寸法値の文字種
    {11, 136, 60,  13, "\x90\xda\x93\xaa\x95\xb6\x8e\x9a"},  // 接頭文字
    {12, 136, 84,  13, "\x90\xda\x94\xf6\x95\xb6\x8e\x9a"},  // 接尾文字
    {13, 8,   140, 13, "\x90\xa1\x96@\x92l\x82\xcc\x90\xb8\x93x"},  // 寸法値の精度
    {21, 8,   164, 13, "\x90\xa1\x96@\x92l\x82\xcc\x8a\xdb\x82\xdf"},  // 寸法値の丸め
    {3,  8,   256, 13, "\x90\xa1\x96@\x92l\x82\xc6\x90\x85\x95\xbd\x90\xfc\x82\xc6\x82\xcc\x8b\x97\x97\xa3"},  // 寸法値と水平線との距離
    {4,  264, 256, 13, "\x90}\x90\xa1mm"},  // 図寸mm
    {5,  8,   280, 13, "\x8cv\x91\xaa\x93_\x82\xc6\x90\xa1\x96@\x95\xe2\x8f\x95\x90\xfc\x82\xcc\x8b\x97\x97\xa3"},  // 計測点と寸法補助線の距離
    {8,  264, 280, 13, "\x90}\x90\xa1mm"},  // 図寸mm
    {9,  8,   304, 13, "\x90\xa1\x96@\x95\xe2\x8f\x95\x90\xfc\x82\xcc\x82\xcd\x82\xdd\x8fo\x82\xb5\x8b\x97\x97\xa3"},  // 寸法補助線のはみ出し距離
    {10, 264, 304, 13, "\x90}\x90\xa1mm"},  // 図寸mm
    {14, 8,   328, 13, "\x8bt\x96\xee\x88\xf3\x82\xcc\x90\xa1\x96@\x82\xcd\x82\xdd\x82\xbe\x82\xb5\x8b\x97\x97\xa3"},  // 逆矢印の寸法はみだし距離
    {22, 264, 328, 13, "\x90}\x90\xa1mm"},  // 図寸mm
};
// clang-format on

const std::vector<std::string> EndMarkItems = {
    "\x90\xfc\x96\xee\x88\xf3",  // 線矢印
    "\x81\xa2",
    "\x81\xa0",
    "\x82n",
    "\x81\x9b",
    "\x81\xa1",  // △ □ Ｏ ○ ■
    "\x81\xa3",
    "\x81\x9c",
    "\x81`",
    "\x81\x84",
    "\x81^",     // ▲ ● ～ ＞ ／
    "\x81\xa2",  // △
};

void ExpectItems(TCheck& check, HWND combo, const std::vector<std::string>& want, int selected,
                 const std::string& name) {
    const std::vector<std::wstring> items = ComboItems(combo);
    check.Expect(items.size() == want.size(), name + ": " + std::to_string(items.size()) +
                                                  " items, want " + std::to_string(want.size()));
    for (size_t i = 0; i < items.size() && i < want.size(); ++i) {
        check.Expect(items[i] == SjisToWide(want[i]),
                     name + " item " + std::to_string(i) + " is '" + Utf8(items[i]) + "'");
    }
    const auto current = static_cast<int>(SendMessageW(combo, CB_GETCURSEL, 0, 0));
    check.Expect(current == selected, name + ": selection " + std::to_string(current));
}

void ExpectRect(TCheck& check, HWND window, int left, int top, int width, int height,
                const std::string& name) {
    const RECT r = RectInParent(window);
    check.Expect(
        r.left == left && r.top == top && r.right - r.left == width && r.bottom - r.top == height,
        name + " at " + RectText(r) + ", want " +
            RectText(RECT{left, top, left + width, top + height}));
}

void CheckControls(TCheck& check, const TPardim& run) {
    for (const TExpectedControl& want : InputControls) {
        HWND control = run.Item(want.Id);
        const std::string name = "control " + std::to_string(want.Id);
        if (!check.Expect(control != nullptr, name + " exists")) continue;
        if (want.Class) {
            check.Expect(lstrcmpiW(ClassName(control).c_str(), want.Class) == 0,
                         name + " is a " + Utf8(ClassName(control)));
        }
        ExpectRect(check, control, want.Left, want.Top, want.Width, want.Height, name);
        if (want.Text) check.ExpectText(control, want.Text, name);
    }
    for (const TExpectedLabel& want : Labels) {
        HWND label = run.Item(LabelId(want.Number));
        const std::string name = "Label" + std::to_string(want.Number);
        if (!check.Expect(label != nullptr, name + " exists")) continue;
        const RECT r = RectInParent(label);
        check.Expect(r.left == want.Left && r.top == want.Top && r.bottom - r.top == want.Height &&
                         r.right > r.left,
                     name + " at " + RectText(r));
        check.ExpectText(label, want.Text, name);
    }

    ExpectItems(check, run.Item(ComboBox1), EndMarkItems, 0, "ComboBox1");
    ExpectItems(check, run.Item(ComboBox2), EndMarkItems, 0, "ComboBox2");
    std::vector<std::string> textTypes = {
        "\x8c\xbb\x8d\xdd\x82\xcc\x95\xb6\x8e\x9a\x8e\xed(No1)"};  // 現在の文字種(No1)
    for (int n = 1; n <= 10; ++n) textTypes.push_back("No" + std::to_string(n) + ": W3 H3 D0");
    ExpectItems(check, run.Item(ComboBox3), textTypes, -1, "ComboBox3");
    ExpectItems(
        check, run.Item(ComboBox4),
        {"1", "0.1", "0.01", "0.001", "0.0001", "0.00001", "0.000001", "0.0000001", "0.00000001"},
        3, "ComboBox4");
    ExpectItems(check, run.Item(ComboBox5),
                {"\x90\xd8\x82\xe8\x8e\xcc\x82\xc4",  // 切り捨て
                 "\x90\xd8\x82\xe8\x8f\xe3\x82\xb0",  // 切り上げ
                 "\x8el\x8e\xcc\x8c\xdc\x93\xfc"},    // 四捨五入
                2, "ComboBox5");

    struct {
        int Group;
        const char* Items[2];
    } radios[] = {{RadioGroup1, {"\x96\xb3", "\x97L"}},  // 無, 有
                  {RadioGroup2, {"mm", "\x82\x8d"}}};    // mm, ｍ
    for (const auto& radio : radios) {
        for (int item = 0; item < 2; ++item) {
            HWND button = run.Item(RadioItemId(radio.Group, item));
            const std::string name =
                "radio " + std::to_string(radio.Group) + "." + std::to_string(item);
            check.ExpectText(button, radio.Items[item], name);
            const bool checked = SendMessageW(button, BM_GETCHECK, 0, 0) == BST_CHECKED;
            check.Expect(checked == (item == 0), name + (checked ? " checked" : " unchecked"));
        }
    }
    for (int id : {CheckBox1, CheckBox2, CheckBox3, CheckBox4}) {
        check.Expect(SendMessageW(run.Item(id), BM_GETCHECK, 0, 0) == BST_UNCHECKED,
                     "check box " + std::to_string(id) + " unchecked");
    }
    check.Expect((GetWindowLongW(run.Item(Button1), GWL_STYLE) & 0xF) == BS_DEFPUSHBUTTON,
                 "OK is the default button");
    ExpectRect(check, GetDlgItem(run.Item(ScrollBox1), Panel1), -3, -3, 600, 200, "Panel1");
}

void CheckNoteBox(TCheck& check, const TPardim& run) {
    HWND memo = run.Item(Memo1);
    const LONG style = GetWindowLongW(memo, GWL_STYLE);
    check.Expect((style & ES_MULTILINE) && (style & ES_READONLY) && (style & WS_VSCROLL) &&
                     (style & ES_AUTOHSCROLL) && !(style & WS_HSCROLL) && !(style & WS_TABSTOP),
                 "note box read-only, vertical scroll bar, no wrap, no tab stop");
    const std::wstring text = WindowText(memo);
    std::vector<std::wstring> lines;
    for (size_t start = 0;;) {
        const size_t end = text.find(L"\r\n", start);
        lines.push_back(text.substr(start, end - start));
        if (end == std::wstring::npos) break;
        start = end + 2;
    }
    if (!check.Expect(lines.size() == 22,
                      "note box has " + std::to_string(lines.size()) + " lines")) {
        return;
    }
    const struct {
        size_t Line;
        const char* Text;
    } samples[] = {
        {1,
         "\x81\x9e\x95\xbd\x8ds\x90\xa1\x96@\x90\xfc\x82\xcc\x90\xdd\x92\xe8\x82\xcd"},  // ◇平行寸法線の設定は
        {7, ""},
        {13,
         "\x81@Jw_cad\x82\xcc\x83"
         "C\x83\x93\x83X\x83g\x81[\x83\x8b\x81"
         "E"},  // 　Jw_cadのインストール・
        {22,
         "\x81@\x89\xba\x82\xb3\x82\xa2\x81"
         "B"},  // 　下さい。
    };
    for (const auto& sample : samples) {
        check.Expect(lines[sample.Line - 1] == SjisToWide(sample.Text),
                     "note line " + std::to_string(sample.Line) + " is '" +
                         Utf8(lines[sample.Line - 1]) + "'");
    }
}

void CheckWindow(TCheck& check, const TPardim& run) {
    check.ExpectText(run.Dialog, DialogTitle, "title bar");
    HWND owner = GetWindow(run.Dialog, GW_OWNER);
    check.Expect(owner && IsWindowVisible(owner), "owned by a visible application window");
    if (owner) check.ExpectText(owner, ApplicationTitle, "application window");
    RECT client{};
    GetClientRect(run.Dialog, &client);
    check.Expect(client.right == 492 && client.bottom == 436, "client " + RectText(client));
    RECT window{};
    GetWindowRect(run.Dialog, &window);
    check.Expect(window.left == 100 && window.top == 100,
                 "placed at 100,100 without a settings file: " + RectText(window));
    const LONG style = GetWindowLongW(run.Dialog, GWL_STYLE);
    check.Expect((style & WS_CAPTION) == WS_CAPTION && (style & WS_SYSMENU) &&
                     (style & WS_MINIMIZEBOX) && !(style & WS_MAXIMIZEBOX) &&
                     !(style & WS_THICKFRAME),
                 "fixed border, system menu and minimise button only");
    check.Expect(run.Focus() == run.Item(ComboBox1), "ComboBox1 has the focus at start");
}

// Tab visits the controls in this order and skips labels, the note box and the strip.
void CheckTabOrder(TCheck& check, const TPardim& run) {
    const int order[] = {ComboBox1,
                         ComboBox2,
                         Edit7,
                         Edit8,
                         Edit1,
                         ComboBox3,
                         Edit2,
                         Edit3,
                         ComboBox4,
                         ComboBox5,
                         RadioItemId(RadioGroup1, 0),
                         RadioItemId(RadioGroup2, 0),
                         CheckBox1,
                         CheckBox2,
                         CheckBox3,
                         CheckBox4,
                         Edit4,
                         Edit5,
                         Edit6,
                         Edit9,
                         Button1,
                         Button2,
                         ComboBox1};
    HWND current = run.Item(order[0]);
    for (size_t i = 1; i < std::size(order); ++i) {
        current = GetNextDlgTabItem(run.Dialog, current, FALSE);
        const int id = GetDlgCtrlID(current);
        if (!check.Expect(id == order[i], std::string("tab stop ").append(std::to_string(i)) +
                                              " is " + std::to_string(id) + ", want " +
                                              std::to_string(order[i]))) {
            return;
        }
    }
    run.PressKey(VK_TAB);
    check.Expect(WaitUntil([&] { return run.Focus() == run.Item(ComboBox2); }, 2000),
                 "the Tab key moves from ComboBox1 to ComboBox2");
    // A radio group is entered at its checked button.
    run.Click(run.Item(RadioItemId(RadioGroup1, 1)));
    check.Expect(GetNextDlgTabItem(run.Dialog, run.Item(ComboBox5), FALSE) ==
                     run.Item(RadioItemId(RadioGroup1, 1)),
                 "after choosing its second button, Tab enters RadioGroup1 there");
}

// Controls may share their edge pixel (the layout abuts some of them) but never more.
void CheckNothingOverlaps(TCheck& check, const TPardim& run) {
    std::vector<HWND> controls;
    for (HWND child = GetWindow(run.Dialog, GW_CHILD); child;
         child = GetWindow(child, GW_HWNDNEXT)) {
        if (IsWindowVisible(child)) controls.push_back(child);
    }
    for (size_t i = 0; i < controls.size(); ++i) {
        for (size_t j = i + 1; j < controls.size(); ++j) {
            const int a = GetDlgCtrlID(controls[i]);
            const int b = GetDlgCtrlID(controls[j]);
            const bool groupAndItem = (a == RadioGroup1 && (b == a + 1 || b == a + 2)) ||
                                      (a == RadioGroup2 && (b == a + 1 || b == a + 2));
            if (groupAndItem) continue;
            RECT ra = RectInParent(controls[i]);
            RECT rb = RectInParent(controls[j]);
            RECT overlap{};
            if (!IntersectRect(&overlap, &ra, &rb)) continue;
            check.Expect(overlap.right - overlap.left <= 1 || overlap.bottom - overlap.top <= 1,
                         "controls " + std::to_string(a) + " and " + std::to_string(b) +
                             " overlap at " + RectText(overlap));
        }
    }
}

// Colours and the screenshot come from the screen itself.
void CheckPixels(TCheck& check, const TPardim& run, const TContext& context) {
    Sleep(500);  // let the last paint reach the screen
    RECT window{};
    GetWindowRect(run.Dialog, &window);
    const TCapture shot = CaptureScreen(window);
    check.Expect(shot.SaveBmp(context.WorkDir / "pardim-dialog.bmp"), "screenshot saved");
    POINT origin{0, 0};
    ClientToScreen(run.Dialog, &origin);
    const auto area = [&](int left, int top, int right, int bottom) {
        return RECT{left + origin.x - window.left, top + origin.y - window.top,
                    right + origin.x - window.left, bottom + origin.y - window.top};
    };
    const struct {
        RECT Area;
        std::uint32_t Colour;
        const char* What;
    } samples[] = {
        {area(312, 300, 356, 344), 0xFFFFFF, "dialog background"},
        {area(316, 4, 470, 221), 0xBBEBF4, "note box background"},
        {area(0, 347, 492, 371), 0xE7E7E7, "status line background"},
    };
    for (const auto& sample : samples) {
        const std::uint32_t colour = shot.Dominant(sample.Area);
        check.Expect(colour == sample.Colour, std::string(sample.What) + " is #" + Hex(colour));
    }
}

void DialogShowsEveryControlAsLaidOut(const TContext& context, TCheck& check) {
    const fs::path folder = Scratch(context, "layout");
    TPardim run(context.PardimExe, folder);
    if (!check.Expect(run.Dialog != nullptr, "dialog shown")) return;
    CheckWindow(check, run);
    CheckControls(check, run);
    CheckNoteBox(check, run);
    CheckNothingOverlaps(check, run);
    CheckPixels(check, run, context);
    CheckTabOrder(check, run);
    run.Click(run.Item(Button2));
    // Without an exchange file the close still writes one; without OK no settings file appears.
    ExpectClosedWith(check, run, folder, Cancelled, "");
    check.Expect(!fs::exists(folder / SettingsName), "no settings file written");
}

void TextTypeListFollowsExchangeFile(const TContext& context, TCheck& check) {
    const fs::path folder = Prepare(context, "text-types", "parcel-a-4points-freetext.txt", "");
    TPardim run(context.PardimExe, folder);
    if (!check.Expect(run.Dialog != nullptr, "dialog shown")) return;
    ExpectItems(check, run.Item(ComboBox3),
                {"\x8c\xbb\x8d\xdd\x82\xcc\x95\xb6\x8e\x9a\x8e\xed(Free)",  // 現在の文字種(Free)
                 "No1: W2 H2 D0", "No2: W2.5 H2.5 D0", "No3: W3 H3 D0.5", "No4: W4 H4 D0.5",
                 "No5: W5 H5 D0.5", "No6: W6 H6 D1", "No7: W7 H7 D1", "No8: W8 H8 D1",
                 "No9: W9 H9 D1", "No10: W6 H3 D1"},
                -1, "ComboBox3");
    run.PressKey(VK_ESCAPE);
    ExpectClosedWith(check, run, folder, Cancelled, "");
}

// ---- OK against the batch runner ---------------------------------------------------------------

// The batch runner presses OK on the same input and settings; the dialog must leave the same bytes.
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

// ---- closing without OK ----------------------------------------------------------------------

using TCloseAction = std::function<void(const TPardim&)>;

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

// ---- refused OK --------------------------------------------------------------------------------

void SetText(HWND control, const char* text) {
    SendMessageW(control, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(SjisToWide(text).c_str()));
}

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

HWND FindChildWithText(HWND parent, const std::wstring& text) {
    for (HWND child = GetWindow(parent, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
        if (WindowText(child) == text) return child;
    }
    return nullptr;
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

// ---- typing limits and placement -------------------------------------------------------------

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

// ---- x87 precision ------------------------------------------------------------------------------

// The driver is linked with CRT_fp8.o like the fp8/ builds, so it reads here what a process
// gets from Windows.
unsigned short EntryControlWord = 0;

unsigned short ControlWord() {
    unsigned short controlWord = 0;
    __asm__ volatile("fnstcw %0" : "=m"(controlWord));
    return controlWord;
}

void LoadControlWord(unsigned short controlWord) {
    __asm__ volatile("fldcw %0" : : "m"(controlWord));
}

// A wall of 3639.9995 measured at 1/50, with point marks: horizontal, so no sine or cosine but
// those of 0 and 180 degrees enters the bytes. The value text rounds 3639.9995 (just below the
// half in binary) half up to three decimals, which 53-bit intermediates round to 3640.
const char TieInput[] = "wall-3639.9995-point-marks.txt";
const char TieSettings[] = "wall-3639.9995-point-marks.dat";

fs::path PrepareTie(const TContext& context, const char* name) {
    return Prepare(context, name, TieInput, ReadFileBytes(context.DataDir / TieSettings));
}

std::string TieDrawnByLinux(const TContext& context) {
    return ReadFileBytes(context.DataDir / "golden" / "wall-3639.9995-point-marks.out.txt");
}

// The whole run in this process, with whatever control word is loaded.
std::string DrawHere(const fs::path& folder) {
    TRecordingView view;
    TForm1 form(view);
    form.ExePath = folder / "pardim.exe";
    form.FormShow();
    form.Button1Click();
    form.FormClose();
    return ReadFileBytes(folder / ExchangeName);
}

// The value text that OK computes from the files in folder, with controlWord loaded for the
// computation alone: the file layer sets the state again after each of its calls.
std::string ValueTextHere(const fs::path& folder, unsigned short controlWord) {
    TRecordingView view;
    TForm1 form(view);
    form.ExePath = folder / "pardim.exe";
    form.FormShow();
    TDimParams params = form.ReadDimParams();
    ScaleDimParams(params, CurrentDrawingScale(ExchangeModel));
    const TDimGeometry geometry = ComputeDimGeometry(
        RefPoint(ExchangeModel, 1), RefPoint(ExchangeModel, 2), RefPoint(ExchangeModel, 3));
    const unsigned short saved = ControlWord();
    LoadControlWord(controlWord);
    const std::string text = FormatDimValue(geometry.DimLength, params);
    LoadControlWord(saved);
    form.FormClose();
    return text;
}

void StartUpLeavesWindowsPrecision(const TContext&, TCheck& check) {
    check.Expect(EntryControlWord == 0x027F,
                 "control word at entry is " + Hex(EntryControlWord) + ", want 00027F");
}

void SetExtendedPrecisionFromAnyState(const TContext&, TCheck& check) {
    const unsigned short saved = ControlWord();
    // Windows' 53 bits; 24 bits; 53 bits toward zero; 64 bits toward +infinity.
    for (unsigned short start : {0x027F, 0x007F, 0x0E7F, 0x0B7F}) {
        LoadControlWord(start);
        SetExtendedPrecision();
        const unsigned short result = ControlWord();
        check.Expect(result == 0x037F, "from " + Hex(start) + " it leaves " + Hex(result));
    }
    LoadControlWord(saved);
}

void SetExtendedPrecisionRestoresTheDrawing(const TContext& context, TCheck& check) {
    const unsigned short saved = ControlWord();
    const std::string golden = TieDrawnByLinux(context);
    check.Expect(golden.find("\"3639.999\r\n") != std::string::npos, "golden file reads 3639.999");
    // Else the input would prove nothing.
    check.Expect(ValueTextHere(PrepareTie(context, "x87-53"), 0x027F) == "3640",
                 "at 53 bits the value reads 3640");
    LoadControlWord(0x027F);
    SetExtendedPrecision();
    check.Expect(DrawHere(PrepareTie(context, "x87-64")) == golden,
                 "after SetExtendedPrecision the bytes equal the Linux build's");
    LoadControlWord(saved);
}

void EntrySetsExtendedPrecisionInBatch(const TContext& context, TCheck& check) {
    const fs::path folder = PrepareTie(context, "x87-batch");
    const int exitCode = RunProgram(context.DriverDir / "fp8" / "pardim-batch.exe", folder,
                                    context.WorkDir / "batch-output.txt", 30000);
    check.Expect(exitCode == 0, "pardim-batch ran, exit code " + std::to_string(exitCode));
    check.Expect(ReadFileBytes(folder / ExchangeName) == TieDrawnByLinux(context),
                 "JWC_TEMP.TXT equals the Linux build's");
}

void EntrySetsExtendedPrecisionInDialog(const TContext& context, TCheck& check) {
    const fs::path folder = PrepareTie(context, "x87-dialog");
    TPardim run(context.DriverDir / "fp8" / "pardim.exe", folder);
    if (!check.Expect(run.Dialog != nullptr, "dialog shown")) return;
    run.PressKey(VK_RETURN);
    if (!check.Expect(run.WaitForExit(10000), "OK closed the dialog")) return;
    check.Expect(ReadFileBytes(folder / ExchangeName) == TieDrawnByLinux(context),
                 "JWC_TEMP.TXT equals the Linux build's");
}

// ---- hardening ----------------------------------------------------------------------------------

// The test build that plants the fault its command line names (TestFaults.cpp).
fs::path FaultsExe(const TContext& context) { return context.DriverDir / "faults" / "pardim.exe"; }

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

// ---- what Windows does to a running tool
// ---------------------------------------------------------

// An exception that reaches the boundary where Windows called us ends the run as a close would,
// with a normal exit: "hq" unless OK had finished, then the whole dimension.
struct TExceptionCase {
    const wchar_t* Fault;
    bool PressOk;  // else Cancel
    bool Draws;    // OK had finished before the exception
};

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

// ---- the quick run of the continuous-drawing BAT ----------------------------------------------

// pardim.exe /quick: complete settings draw as pardim-batch does, without any window of our own
// (the faults build logs each window the tool makes, however short-lived); a failed check opens
// the dialog with the focus on its control, and once the value is put right Enter draws and saves.
struct TQuickCase {
    bool Faults;            // the faults build, logging its windows
    const wchar_t* Switch;  // as a BAT may spell it
    const char* Input;
    std::string Settings;       // "": first use
    int Focus;                  // the control the dialog opens with; 0: no dialog
    std::string BatchSettings;  // what pardim-batch draws the same with; "": nothing drawn
};

// Settings(120, 80, 1) with one line (1-based) changed.
std::string SettingsWith(std::size_t line, const char* value) {
    std::vector<std::string> lines = SettingsLines(120, 80, 1);
    lines[line - 1] = value;
    return Joined(lines);
}

std::function<void(const TContext&, TCheck&)> QuickCase(TQuickCase c) {
    return [c](const TContext& context, TCheck& check) {
        const fs::path folder = Prepare(context, "quick", c.Input, c.Settings);
        const std::string input = ReadFileBytes(folder / ExchangeName);
        TPardim run(c.Faults ? FaultsExe(context) : context.PardimExe, folder,
                    std::wstring(c.Switch) + (c.Faults ? L" log:windows" : L""));
        if (c.Focus != 0 && check.Expect(run.Dialog != nullptr, "dialog shown")) {
            check.Expect(WaitUntil([&] { return run.Focus() == run.Item(c.Focus); }, 3000),
                         "focus on the failed control");
            check.Expect(ReadFileBytes(folder / ExchangeName) == input, "JWC_TEMP.TXT untouched");
            if (c.Focus == ComboBox3) SendMessageW(run.Item(ComboBox3), CB_SETCURSEL, 2, 0);
            if (c.Focus == Edit8) SetText(run.Item(Edit8), "15");
            run.PressKey(VK_RETURN);
        }
        check.Expect(c.Focus != 0 || run.Dialog == nullptr, "no dialog");
        if (!check.Expect(run.WaitForExit(10000), "process ended")) return;
        check.Expect(run.ExitCode() == 0, "exit code " + Hex(run.ExitCode()) + ", want 0");
        const std::string windows = ReadFileBytes(folder / "windows.log");
        if (c.Faults) {
            check.Expect(fs::exists(folder / "windows.log"), "windows logged");
            check.Expect((windows.find("#32770") != std::string::npos) == (c.Focus != 0),
                         "windows made: [" + windows + "]");
            check.Expect(c.Focus != 0 || windows.empty(), "no window at all");
        }
        if (c.BatchSettings.empty()) {
            check.Expect(ReadFileBytes(folder / ExchangeName) == Cancelled, "JWC_TEMP.TXT is hq");
        } else {
            ExpectSameAsBatch(check, context, folder, c.Input, c.BatchSettings);
        }
    };
}

struct TCase {
    const char* Name;
    std::function<void(const TContext&, TCheck&)> Run;
};

}  // namespace

int wmain(int argc, wchar_t** argv) {
    EntryControlWord = ControlWord();
    if (argc < 5) {
        std::fputs("usage: pardim-wine-tests PARDIM_EXE BATCH_EXE DATA_DIR WORK_DIR [CASE...]\n",
                   stderr);
        return 2;
    }
    const std::vector<std::wstring> only(argv + 5, argv + argc);  // names or name prefixes
    wchar_t self[MAX_PATH] = {};
    GetModuleFileNameW(nullptr, self, MAX_PATH);
    const TContext context{argv[1], argv[2], argv[3], argv[4], fs::path(self).parent_path()};
    const TCase cases[] = {
        {"DialogShowsEveryControlAsLaidOut", DialogShowsEveryControlAsLaidOut},
        {"TextTypeListFollowsExchangeFile", TextTypeListFollowsExchangeFile},
        {"OkMatchesBatch.RoadOneDimension", OkCase("road-one-dimension.txt")},
        {"OkMatchesBatch.RoadScale50", OkCase("road-scale50.txt")},
        {"OkMatchesBatch.ParcelA", OkCase("parcel-a-4points-freetext.txt")},
        {"OkMatchesBatch.ParcelC", OkCase("parcel-c-mixed-scales-cn10.txt")},
        {"OkMatchesBatch.ParcelG", OkCase("parcel-g-4points-lg2.txt")},
        {"JapaneseFolderWithBlankWorks", JapaneseFolderWithBlankWorks},
        {"LongToolFolderWorks", LongToolFolderWorks},
        {"CloseKeepsFiles.CancelButton",
         CloseCase([](const TPardim& run) { run.Click(run.Item(Button2)); })},
        {"CloseKeepsFiles.Escape", CloseCase([](const TPardim& run) { run.PressKey(VK_ESCAPE); })},
        {"CloseKeepsFiles.CloseBox", CloseCase([](const TPardim& run) {
             PostMessageW(run.Dialog, WM_SYSCOMMAND, SC_CLOSE, 0);
         })},
        {"CloseKeepsFiles.AltF4", CloseCase([](const TPardim& run) { run.PressAltKey(VK_F4); })},
        {"CloseKeepsFiles.AccessKeyAltN", CloseCase([](const TPardim& run) {
             PostMessageW(run.Focus(), WM_SYSCHAR, L'n', 1 << 29);
             run.Settle();
         })},
        {"CloseKeepsFiles.TaskBarClose", CloseCase([](const TPardim& run) {
             PostMessageW(GetWindow(run.Dialog, GW_OWNER), WM_CLOSE, 0, 0);
         })},
        {"InvalidFieldsMoveTheFocusInOrder", InvalidFieldsMoveTheFocusInOrder},
        {"EnterInNoteBoxPressesOk", EnterInNoteBoxPressesOk},
        {"ZeroLengthShowsMessageAndStaysOpen", ZeroLengthShowsMessageAndStaysOpen},
        {"EditLimitsCountShiftJisBytesWhenTyping", EditLimitsCountShiftJisBytesWhenTyping},
        {"SavedPositionIsUsedUnchanged", SavedPositionIsUsedUnchanged},
        {"PasteInsertsWhatFits", PasteInsertsWhatFits},
        {"PositionOffEveryMonitorComesBack", PositionOffEveryMonitorComesBack},
        {"MinimiseGoesThroughTheApplicationWindow", MinimiseGoesThroughTheApplicationWindow},
        {"StartUpWithoutFninit.Leaves53Bits", StartUpLeavesWindowsPrecision},
        {"SetExtendedPrecision.FromAnyState", SetExtendedPrecisionFromAnyState},
        {"SetExtendedPrecision.RestoresTheDrawingAt53Bits", SetExtendedPrecisionRestoresTheDrawing},
        {"EntrySetsExtendedPrecision.Batch", EntrySetsExtendedPrecisionInBatch},
        {"EntrySetsExtendedPrecision.Dialog", EntrySetsExtendedPrecisionInDialog},
        {"DialogRefusedLeavesNothingDrawn", DialogRefusedLeavesNothingDrawn},
        {"ApplicationWindowRefusedDialogStillDraws", ApplicationWindowRefusedDialogStillDraws},
        {"PlantedAtlIsNotLoaded", PlantedAtlIsNotLoaded},
        {"DefaultBuildMakesNoBrowser", DefaultBuildMakesNoBrowser},
        {"HighContrastKeepsLabelsReadable", HighContrastKeepsLabelsReadable},
        {"ExceptionEndsTheRun.OkThrowsAfterItsLastCommand",
         ExceptionCase({L"throw:ok", true, false})},
        {"ExceptionEndsTheRun.CloseThrowsAfterCancel",
         ExceptionCase({L"throw:close", false, false})},
        {"ExceptionEndsTheRun.CloseThrowsAfterOk", ExceptionCase({L"throw:close", true, true})},
        {"FpuRestored.AfterStatusUpdate", FpuCase(L"fpu:status")},
        {"FpuRestored.AfterSettingsRename", FpuCase(L"fpu:rename")},
        {"RenameWaitsForHeldFile.Temporary", HeldFileCase(L"hold:temp")},
        {"RenameWaitsForHeldFile.Target", HeldFileCase(L"hold:target")},
        {"HeldTemporaryFolderIsPassedOver", HeldTemporaryFolderIsPassedOver},
        {"TerminateEndsAtOnce.Uncaught", TerminateCase(L"terminate:throw")},
        {"TerminateEndsAtOnce.Direct", TerminateCase(L"terminate:direct")},
        {"WideToSjisKeepsBestFit", WideToSjisKeepsBestFit},
        {"QuickRun.DrawsWithoutAnyWindow",
         QuickCase({true, L"/quick", TieInput, Settings(137, 91, 2), 0, Settings(137, 91, 2)})},
        {"QuickRun.SwitchInAnyCase", QuickCase({false, L"/QUICK", "road-one-dimension.txt",
                                                Settings(137, 91, 2), 0, Settings(137, 91, 2)})},
        {"QuickRun.ZeroLengthShowsNothing",
         QuickCase({true, L"/Quick", "road-zero-length.txt", Settings(120, 80, 1), 0, ""})},
        {"QuickRun.FirstUseOpensTheDialog", QuickCase({true, L"/quick", "road-one-dimension.txt",
                                                       "", ComboBox3, Settings(100, 100, 2)})},
        {"QuickRun.OnlyTheWholeSwitch",  // a normal run: the dialog, its focus where it starts
         QuickCase({true, L"/quickly", "road-one-dimension.txt", Settings(137, 91, 2), ComboBox1,
                    Settings(137, 91, 2)})},
        {"QuickRun.BadValueOpensTheDialog",
         QuickCase({false, L"/quick", "road-one-dimension.txt", SettingsWith(15, "180"), Edit8,
                    Settings(120, 80, 1)})},
    };
    int failed = 0;
    size_t run = 0;
    for (const TCase& test : cases) {
        const std::wstring name = SjisToWide(test.Name);
        if (!only.empty() && std::none_of(only.begin(), only.end(), [&](const std::wstring& want) {
                return name.compare(0, want.size(), want) == 0;
            })) {
            continue;
        }
        ++run;
        TCheck check;
        test.Run(context, check);
        if (check.Failures.empty()) {
            std::printf("PASS %s\n", test.Name);
        } else {
            ++failed;
            std::printf("FAIL %s\n", test.Name);
            for (const std::string& failure : check.Failures)
                std::printf("    %s\n", failure.c_str());
        }
        std::fflush(stdout);
    }
    // The script adds its own checks and prints the overall count.
    std::printf("driver done: %d of %zu cases failed\n", failed, run);
    return failed == 0 ? 0 : 1;
}
