// The dialog as it first shows: every control where the layout puts it, with its class, caption,
// items and defaults; the note box, the tab order, the colours on the screen; and the text type
// list as the exchange file fills it. The numbers are this suite's own copy of the layout, an
// independent check of the window table the product builds its controls from.
#include <windows.h>

#include <cstdint>
#include <filesystem>
#include <iterator>
#include <string>
#include <vector>

#include "ControlIds.h"
#include "Win32Text.h"
#include "WineDriver.h"
#include "WineSuite.h"

namespace fs = std::filesystem;
using namespace WinId;

namespace wine {
namespace {

const char DialogTitle[] = "\x95\xbd\x8ds\x90\xa1\x96@\x90\xfc";  // 平行寸法線

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

}  // namespace

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

}  // namespace wine
