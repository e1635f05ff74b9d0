// The dialog's window. Every control is a row of one table, created in tab order; its values live
// in TForm1 and are copied in before the dialog is shown and out before OK is handled.
#include "Win32Form.h"

#include <commctrl.h>
#include <imm.h>

#include <algorithm>
#include <cassert>
#include <iterator>
#include <type_traits>
#include <variant>

#include "Boundary.h"
#include "ControlIds.h"
#include "Fpu.h"
#include "Messages.h"
#include "ResourceIds.h"
#include "TestFaults.h"
#include "WebView.h"
#include "Win32Text.h"

namespace {

constexpr int ClientWidth = 492;
constexpr int ClientHeight = 436;
constexpr int FontHeightPx = 13;
constexpr int SmallFontHeightPx = 11;
constexpr wchar_t StripClass[] = L"PardimStrip";

const char FontFace[] =
    "\x82l\x82r \x83S\x83V\x83"
    "b\x83N";                        // ＭＳ ゴシック

const COLORREF WhiteColor = RGB(255, 255, 255);
const COLORREF StatusColor = RGB(231, 231, 231);
const COLORREF MemoColor = RGB(187, 235, 244);

const char* const MemoLines[] = {
    "\x81\x9e\x95\xbd\x8ds\x90\xa1\x96@\x90\xfc\x82\xcc\x90\xdd\x92\xe8\x82\xcd",  // ◇平行寸法線の設定は
    "\x81@\x90\x85\x95\xbd\x81"
    "E\x90\x82\x92\xbc\x90\xa1\x96@\x90\xfc\x82\xcc",  // 　水平・垂直寸法線の
    "\x81@\x90\xdd\x92\xe8\x82\xc6\x82\xcd\x95\xca\x82\xc9\x8c\xc4\x8fo\x81"
    "E",  // 　設定とは別に呼出・
    "\x81@\x93o\x98^\x82\xb5\x82\xc4\x82\xa8\x82\xe8\x81"
    "A",                                                              // 　登録しており、
    "\x81@\x82\xbb\x82\xea\x82\xe7\x82\xcc\x90\xdd\x92\xe8\x82\xf0",  // 　それらの設定を
    "\x81@\x8b\xa4\x97L\x97\x98\x97p\x82\xb5\x82\xc4\x82\xa2\x82\xdc\x82\xb9\x82\xf1",  // 　共有利用していません
    "",
    "\x81\x9f\x83u\x83\x8d\x83"
    "b\x83N\x90}\x8c`\x93\xe0\x82\xcc\x82\xe0\x82\xcc\x82\xcd",  // ◆ブロック図形内のものは
    "\x81@\x8f\x88\x97\x9d\x8fo\x97\x88\x82\xdc\x82\xb9\x82\xf1\x82\xcc\x82\xc5",  // 　処理出来ませんので
    "\x81@\x8c\xe4\x92\x8d\x88\xd3\x89\xba\x82\xb3\x82\xa2\x81"
    "B",  // 　御注意下さい。
    "\x81@\x83u\x83\x8d\x83"
    "b\x83N\x95\xd2\x8fW\x93\xe0\x82\xc5\x8ds\x82\xa4",  // 　ブロック編集内で行う
    "\x81@\x8f\xea\x8d\x87\x82\xc9\x82\xcd\x81"
    "A\x96{\x83\\\x83t\x83g\x82\xf0",  // 　場合には、本ソフトを
    "\x81@Jw_cad\x82\xcc\x83"
    "C\x83\x93\x83X\x83g\x81[\x83\x8b\x81"
    "E",  // 　Jw_cadのインストール・
    "\x81@\x83t\x83H\x83\x8b\x83_\x82\xc9\x94z\x92u\x82\xb5\x82\xc4",  // 　フォルダに配置して
    "\x81@\x8e\xc0\x8ds\x82\xf0\x8ds\x82\xc1\x82\xc4\x89\xba\x82\xb3\x82\xa2\x81"
    "B",  // 　実行を行って下さい。
    "\x81\x9f\x83"
    "E\x83"
    "C\x83\x8b\x83X\x81^\x83Z\x83L\x83\x85\x83\x8a\x83"
    "e\x83"
    "B",  // ◆ウイルス／セキュリティ
    "\x81@\x83\\\x83t\x83g\x81^\x83Z\x83L\x83\x85\x83\x8a\x83"
    "e\x83"
    "B",  // 　ソフト／セキュリティ
    "\x81@\x90\xdd\x92\xe8\x82\xcc\x89\xe6\x96\xca\x82\xaa\x95\\\x8e\xa6",  // 　設定の画面が表示
    "\x81@\x82\xb3\x82\xea\x81"
    "A\x8b\x96\x89\xc2\x81^\x8e\xd5\x92"
    "f\x82\xf0",  // 　され、許可／遮断を
    "\x81@\x96\xe2\x82\xa2\x8d\x87\x82\xed\x82\xb9\x82\xc4\x82\xab\x82\xbd\x8f\xea\x8d\x87",  // 　問い合わせてきた場合
    "\x81@\x82\xc9\x82\xcd\x81u\x8b\x96\x89\xc2\x81v\x82\xf0\x91I\x91\xf0\x82\xb5\x82\xc4",  // 　には「許可」を選択して
    "\x81@\x89\xba\x82\xb3\x82\xa2\x81"
    "B",  // 　下さい。
};

}  // namespace

// A row of the window's table: a control of the dialog's logic, whose kind, value, typing limit
// and input method the core's control table gives, or one of the window's own parts.
enum class TKind { Control, Label, SmallLabel, Memo, Status, Strip };

struct TWindowEntry {
    TKind Kind;
    int Id;                        // window id
    int Left, Top, Width, Height;  // client pixels; a label's width follows its text
    const char* Text;              // Shift-JIS caption
    TControlId Control{};          // the control this window shows (TKind::Control)
};

namespace {

using namespace WinId;

// Creation order is the tab order; labels sit before the control they name.
// clang-format off
const TWindowEntry Controls[] = {
    {TKind::Label,      LabelId(6),  8,   8,   0,   13, "\x8en\x93_"},  // 始点
    {TKind::Control,    ComboBox1,   48,  4,   81,  21, "", TControlId::ComboBox1},
    {TKind::Label,      LabelId(7),  8,   32,  0,   13, "\x8fI\x93_"},  // 終点
    {TKind::Control,    ComboBox2,   48,  28,  81,  21, "", TControlId::ComboBox2},
    {TKind::SmallLabel, LabelId(15), 8,   52,  0,   11, "\x81i\x90\xfc\x96\xee\x88\xf3\x81j"},  // （線矢印）
    {TKind::Label,      LabelId(17), 8,   68,  0,   13, "\x92\xb7\x82\xb3"},  // 長さ
    {TKind::Control,    Edit7,       48,  64,  33,  21, "", TControlId::Edit7},
    {TKind::Label,      LabelId(18), 88,  68,  0,   13, "\x90}\x90\xa1mm"},  // 図寸mm
    {TKind::Label,      LabelId(16), 8,   92,  0,   13, "\x8ap\x93x"},  // 角度
    {TKind::Control,    Edit8,       48,  88,  33,  21, "", TControlId::Edit8},
    {TKind::Label,      LabelId(19), 88,  92,  0,   13, "\x81\x8b"},  // °
    {TKind::Label,      LabelId(1),  8,   116, 0,   13, "\x92[\x93_\x94{\x97\xa6"},  // 端点倍率
    {TKind::Control,    Edit1,       72,  112, 57,  21, "", TControlId::Edit1},
    {TKind::Label,      LabelId(20), 128, 116, 0,   13,
     "\x81i\x93_\x83}\x81[\x83J\x81@\x90\xfc\x96\xee\x88\xf3\x82\xf0\x8f\x9c\x82\xad\x81j"},  // （点マーカ　線矢印を除く）
    {TKind::Label,      LabelId(2),  136, 8,   0,   13,
     "\x90\xa1\x96@\x92l\x82\xcc\x95\xb6\x8e\x9a\x8e\xed"},  // 寸法値の文字種
    {TKind::Control,    ComboBox3,   136, 28,  169, 21, "", TControlId::ComboBox3},
    {TKind::Label,      LabelId(11), 136, 60,  0,   13, "\x90\xda\x93\xaa\x95\xb6\x8e\x9a"},  // 接頭文字
    {TKind::Control,    Edit2,       200, 56,  105, 21, "", TControlId::Edit2},
    {TKind::Label,      LabelId(12), 136, 84,  0,   13, "\x90\xda\x94\xf6\x95\xb6\x8e\x9a"},  // 接尾文字
    {TKind::Control,    Edit3,       200, 80,  105, 21, "", TControlId::Edit3},
    {TKind::Label,      LabelId(13), 8,   140, 0,   13,
     "\x90\xa1\x96@\x92l\x82\xcc\x90\xb8\x93x"},  // 寸法値の精度
    {TKind::Control,    ComboBox4,   200, 136, 105, 21, "", TControlId::ComboBox4},
    {TKind::Label,      LabelId(21), 8,   164, 0,   13,
     "\x90\xa1\x96@\x92l\x82\xcc\x8a\xdb\x82\xdf"},  // 寸法値の丸め
    {TKind::Control,    ComboBox5,   200, 160, 105, 21, "", TControlId::ComboBox5},
    {TKind::Control,    RadioGroup1, 8,   184, 145, 41,
     "\x8f\xac\x90\x94\x93_\x88\xc8\x89\xba\x82\xcc\x82O\x95\\\x8e\xa6", TControlId::RadioGroup1},  // 小数点以下の０表示
    {TKind::Control,    RadioGroup2, 160, 184, 145, 41,
     "\x90\xa1\x96@\x92l\x82\xcc\x92P\x88\xca", TControlId::RadioGroup2},  // 寸法値の単位
    {TKind::Control,    CheckBox1,   8,   232, 145, 17,
     "\x82R\x8c\x85\x96\x88\x83J\x83\x93\x83}\x95t\x89\xc1", TControlId::CheckBox1},  // ３桁毎カンマ付加
    {TKind::Control,    CheckBox2,   152, 232, 105, 17, "\x92P\x88\xca\x82\xcc\x95t\x89\xc1", TControlId::CheckBox2},  // 単位の付加
    {TKind::Control,    CheckBox3,   256, 232, 129, 17,
     "\x90\xa1\x96@\x92l\x82\xf0\x91S\x8ap\x89\xbb", TControlId::CheckBox3},  // 寸法値を全角化
    {TKind::Control,    CheckBox4,   384, 232, 105, 17, "\x90\xa1\x96@\x90}\x8c`\x89\xbb", TControlId::CheckBox4},  // 寸法図形化
    {TKind::Label,      LabelId(3),  8,   256, 0,   13,
     "\x90\xa1\x96@\x92l\x82\xc6\x90\x85\x95\xbd\x90\xfc\x82\xc6\x82\xcc\x8b\x97\x97\xa3"},  // 寸法値と水平線との距離
    {TKind::Control,    Edit4,       200, 252, 57,  21, "", TControlId::Edit4},
    {TKind::Label,      LabelId(4),  264, 256, 0,   13, "\x90}\x90\xa1mm"},  // 図寸mm
    {TKind::Label,      LabelId(5),  8,   280, 0,   13,
     "\x8cv\x91\xaa\x93_\x82\xc6\x90\xa1\x96@\x95\xe2\x8f\x95\x90\xfc\x82\xcc\x8b\x97\x97\xa3"},  // 計測点と寸法補助線の距離
    {TKind::Control,    Edit5,       200, 276, 57,  21, "", TControlId::Edit5},
    {TKind::Label,      LabelId(8),  264, 280, 0,   13, "\x90}\x90\xa1mm"},  // 図寸mm
    {TKind::Label,      LabelId(9),  8,   304, 0,   13,
     "\x90\xa1\x96@\x95\xe2\x8f\x95\x90\xfc\x82\xcc\x82\xcd\x82\xdd\x8fo\x82\xb5\x8b\x97\x97\xa3"},  // 寸法補助線のはみ出し距離
    {TKind::Control,    Edit6,       200, 300, 57,  21, "", TControlId::Edit6},
    {TKind::Label,      LabelId(10), 264, 304, 0,   13, "\x90}\x90\xa1mm"},  // 図寸mm
    {TKind::Label,      LabelId(14), 8,   328, 0,   13,
     "\x8bt\x96\xee\x88\xf3\x82\xcc\x90\xa1\x96@\x82\xcd\x82\xdd\x82\xbe\x82\xb5\x8b\x97\x97\xa3"},  // 逆矢印の寸法はみだし距離
    {TKind::Control,    Edit9,       200, 324, 57,  21, "", TControlId::Edit9},
    {TKind::Label,      LabelId(22), 264, 328, 0,   13, "\x90}\x90\xa1mm"},  // 図寸mm
    {TKind::Control,    Button1,     360, 264, 121, 33, "\x82n\x82j(&Y)", TControlId::Button1},  // ＯＫ(&Y)
    {TKind::Control,    Button2,     360, 312, 121, 33, "\x83L\x83\x83\x83\x93\x83Z\x83\x8b(&N)", TControlId::Button2},  // キャンセル(&N)
    {TKind::Memo,       Memo1,       312, 0,   177, 225, ""},
    {TKind::Status,     LabelA1,     0,   347, 492, 24,  StatusBlank},
    {TKind::Strip,      ScrollBox1,  0,   371, 492, 65,  ""},
};
// clang-format on

std::wstring WindowText(HWND window) {
    std::wstring text(static_cast<size_t>(GetWindowTextLengthW(window)) + 1, L'\0');
    text.resize(
        static_cast<size_t>(GetWindowTextW(window, text.data(), static_cast<int>(text.size()))));
    return text;
}

// Shift-JIS bytes of the box's text outside its selection: what stays when something replaces it.
size_t KeptBytes(HWND edit) {
    const std::wstring text = WindowText(edit);
    DWORD selStart = 0, selEnd = 0;
    SendMessageW(edit, EM_GETSEL, reinterpret_cast<WPARAM>(&selStart),
                 reinterpret_cast<LPARAM>(&selEnd));
    const size_t end = std::min<size_t>(selEnd, text.size());
    const size_t start = std::min<size_t>(selStart, end);
    return WideToSjis(std::wstring_view(text).substr(0, start)).size() +
           WideToSjis(std::wstring_view(text).substr(end)).size();
}

// Puts as much of a committed text in place of the selection as the limit leaves room for, at
// whole characters, as a standard edit box does with its own limit; beeps when some stays out.
void InsertWithinLimit(HWND edit, std::wstring_view inserted, size_t maxBytes) {
    const std::string sjis = WideToSjis(inserted);
    const std::string fits = FitInsertion(KeptBytes(edit), sjis, maxBytes);
    if (!fits.empty()) {
        SendMessageW(edit, EM_REPLACESEL, TRUE, reinterpret_cast<LPARAM>(SjisToWide(fits).c_str()));
    }
    if (fits.size() < sjis.size()) MessageBeep(MB_OK);
}

// The clipboard's text up to its first line end: a one-line box takes no more.
std::wstring ClipboardLine(HWND owner) {
    std::wstring text;
    if (!OpenClipboard(owner)) return text;
    if (HANDLE data = GetClipboardData(CF_UNICODETEXT)) {
        if (const auto* chars = static_cast<const wchar_t*>(GlobalLock(data))) {
            text = chars;
            GlobalUnlock(data);
        }
    }
    CloseClipboard();
    return text.substr(0, text.find_first_of(L"\r\n"));
}

// The text an input method has just committed, if this message carries one.
bool CommittedText(HWND edit, LPARAM flags, std::wstring& text) {
    if (!(flags & GCS_RESULTSTR)) return false;
    HIMC context = ImmGetContext(edit);
    if (!context) return false;
    const LONG bytes = ImmGetCompositionStringW(context, GCS_RESULTSTR, nullptr, 0);
    if (bytes > 0) {
        text.resize(static_cast<size_t>(bytes) / sizeof(wchar_t));
        ImmGetCompositionStringW(context, GCS_RESULTSTR, text.data(), static_cast<DWORD>(bytes));
    }
    ImmReleaseContext(edit, context);
    return bytes > 0;
}

// Limits what the user types, pastes or commits through the input method to a number of
// Shift-JIS bytes, as the dialog's fields have always counted them (a full-width character takes
// two). A composition in progress is never touched; its text is measured once committed. Texts
// set by the program (a settings file may hold longer ones) pass untouched, and a text already
// over the limit may still be shortened.
LRESULT LimitedEditProc(HWND edit, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR,
                        DWORD_PTR maxBytes) {
    switch (message) {
        case WM_PASTE:
            InsertWithinLimit(edit, ClipboardLine(edit), maxBytes);
            return 0;
        case WM_IME_COMPOSITION: {
            std::wstring committed;
            if (!CommittedText(edit, lParam, committed)) break;
            if (KeptBytes(edit) + WideToSjis(committed).size() <= maxBytes) break;
            InsertWithinLimit(edit, committed, maxBytes);
            // The rest of the message (a new composition begun at once) goes on as usual.
            return DefSubclassProc(edit, message, wParam, lParam & ~GCS_RESULTSTR);
        }
        case WM_CHAR:
        case WM_IME_CHAR:
        case WM_UNDO:
        case EM_UNDO: {
            const std::wstring before = WindowText(edit);
            DWORD selStart = 0, selEnd = 0;
            SendMessageW(edit, EM_GETSEL, reinterpret_cast<WPARAM>(&selStart),
                         reinterpret_cast<LPARAM>(&selEnd));
            const LRESULT result = DefSubclassProc(edit, message, wParam, lParam);
            const size_t bytesAfter = WideToSjis(WindowText(edit)).size();
            if (!TypingKeepsLimit(WideToSjis(before).size(), bytesAfter, maxBytes)) {
                SetWindowTextW(edit, before.c_str());
                SendMessageW(edit, EM_SETSEL, selStart, selEnd);
                MessageBeep(MB_OK);
            }
            return result;
        }
        default:
            break;
    }
    return DefSubclassProc(edit, message, wParam, lParam);
}

// A multi-line edit normally keeps Enter, Escape and Tab for itself; the note box only shows
// text, so those keys go to the dialog (OK, Cancel, next control).
LRESULT NoteBoxProc(HWND memo, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR, DWORD_PTR) {
    const LRESULT result = DefSubclassProc(memo, message, wParam, lParam);
    return message == WM_GETDLGCODE ? (result & ~DLGC_WANTALLKEYS) : result;
}

void RegisterStripClass(HINSTANCE instance) {
    WNDCLASSEXW cls{};
    cls.cbSize = sizeof cls;
    cls.lpfnWndProc = DefWindowProcW;
    cls.hInstance = instance;
    cls.hCursor = LoadCursorW(nullptr, reinterpret_cast<LPCWSTR>(IDC_ARROW));
    cls.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    cls.lpszClassName = StripClass;
    RegisterClassExW(&cls);  // a second registration fails harmlessly
}

HFONT CreateDialogFont(int heightPx) {
    const std::wstring face = SjisToWide(FontFace);
    return CreateFontW(-heightPx, 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE, SHIFTJIS_CHARSET,
                       OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY,
                       FIXED_PITCH | FF_MODERN, face.c_str());
}

int TextWidth(HWND window, HFONT font, const std::wstring& text) {
    HDC dc = GetDC(window);
    HGDIOBJ old = SelectObject(dc, font);
    SIZE size{};
    GetTextExtentPoint32W(dc, text.c_str(), static_cast<int>(text.size()), &size);
    SelectObject(dc, old);
    ReleaseDC(window, dc);
    return size.cx;
}

// A window's rectangle at a place that may lie far outside the screen. Far is far enough: the
// corner is kept within a million pixels, so its size can be added without overflow.
RECT ClampedRect(int left, int top, int width, int height) {
    constexpr int Far = 1000000;
    const LONG x = std::clamp(left, -Far, Far);
    const LONG y = std::clamp(top, -Far, Far);
    return RECT{x, y, x + width, y + height};
}

// Whether some of the caption lies on a monitor's work area, where the mouse can grab it.
bool TitleBarReachable(const RECT& window) {
    RECT title = window;
    title.bottom = title.top + GetSystemMetrics(SM_CYCAPTION) + GetSystemMetrics(SM_CYFIXEDFRAME);
    HMONITOR monitor = MonitorFromRect(&title, MONITOR_DEFAULTTONULL);
    if (!monitor) return false;
    MONITORINFO info{};
    info.cbSize = sizeof info;
    RECT visible{};
    return GetMonitorInfoW(monitor, &info) && IntersectRect(&visible, &title, &info.rcWork);
}

// The top-left corner that puts the window wholly on the nearest monitor's work area (its
// top-left part, when the window is larger than the area).
POINT FitOnNearestMonitor(const RECT& window) {
    MONITORINFO info{};
    info.cbSize = sizeof info;
    if (!GetMonitorInfoW(MonitorFromRect(&window, MONITOR_DEFAULTTONEAREST), &info)) {
        return POINT{0, 0};
    }
    const RECT& work = info.rcWork;
    const LONG width = window.right - window.left;
    const LONG height = window.bottom - window.top;
    return POINT{std::max(work.left, std::min(window.left, work.right - width)),
                 std::max(work.top, std::min(window.top, work.bottom - height))};
}

// A drop-down list's height is that of its selection field plus its frame; the field is sized so
// that the closed box is exactly as high as the layout says. The frame is measured, not assumed.
// (Some systems read the field's height back with its padding added, so the value set last is
// the one corrected, not the one read.)
void SetClosedComboHeight(HWND combo, int heightPx) {
    auto field =
        static_cast<int>(SendMessageW(combo, CB_GETITEMHEIGHT, static_cast<WPARAM>(-1), 0));
    for (int attempt = 0; attempt < 3; ++attempt) {
        RECT rect{};
        GetWindowRect(combo, &rect);
        const int error = heightPx - (rect.bottom - rect.top);
        if (error == 0) return;
        field += error;
        SendMessageW(combo, CB_SETITEMHEIGHT, static_cast<WPARAM>(-1), field);
    }
}

// In high contrast the system's colours apply throughout: our fixed light backgrounds would
// otherwise carry the theme's light text (white on white under High Contrast Black).
bool HighContrastOn() {
    HIGHCONTRASTW contrast{};
    contrast.cbSize = sizeof contrast;
    bool on = SystemParametersInfoW(SPI_GETHIGHCONTRAST, sizeof contrast, &contrast, 0) &&
              (contrast.dwFlags & HCF_HIGHCONTRASTON);
    FaultOnHighContrast(on);
    return on;
}

}  // namespace

TWin32Form::TWin32Form(HINSTANCE instance, HWND owner, const TPath& exePath)
    : Instance(instance), Owner(owner), Form(*this) {
    Form.ExePath = exePath;
    Font = CreateDialogFont(FontHeightPx);
    SmallFont = CreateDialogFont(SmallFontHeightPx);
    WhiteBrush = CreateSolidBrush(WhiteColor);
    StatusBrush = CreateSolidBrush(StatusColor);
    MemoBrush = CreateSolidBrush(MemoColor);
    BigIcon =
        static_cast<HICON>(LoadImageW(instance, MAKEINTRESOURCEW(PARDIM_ICON), IMAGE_ICON,
                                      GetSystemMetrics(SM_CXICON), GetSystemMetrics(SM_CYICON), 0));
    SmallIcon = static_cast<HICON>(LoadImageW(instance, MAKEINTRESOURCEW(PARDIM_ICON), IMAGE_ICON,
                                              GetSystemMetrics(SM_CXSMICON),
                                              GetSystemMetrics(SM_CYSMICON), 0));
    RegisterStripClass(instance);
    HighContrast = HighContrastOn();
}

TWin32Form::~TWin32Form() {
    CloseOnce();  // a message loop ended from outside still writes the exchange file
    for (HGDIOBJ object : {static_cast<HGDIOBJ>(Font), static_cast<HGDIOBJ>(SmallFont),
                           static_cast<HGDIOBJ>(WhiteBrush), static_cast<HGDIOBJ>(StatusBrush),
                           static_cast<HGDIOBJ>(MemoBrush)}) {
        if (object) DeleteObject(object);
    }
    if (BigIcon) DestroyIcon(BigIcon);
    if (SmallIcon) DestroyIcon(SmallIcon);
}

bool TWin32Form::Show() {
    // An empty template: the window is sized in pixels and the controls are made from the table,
    // so nothing depends on dialog units or the system font.
    struct alignas(4) {
        DLGTEMPLATE Header;
        WORD Menu, Class, Title;
    } empty{};
    // No WS_CLIPCHILDREN: group boxes are drawn transparent over the dialog's own background.
    empty.Header.style = WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX;
    Dialog = CreateDialogIndirectParamW(Instance, &empty.Header, Owner, AtBoundary<DialogProc>,
                                        reinterpret_cast<LPARAM>(this));
    if (!Dialog) return false;
    SetWindowTextW(Dialog, SjisToWide(DialogTitle).c_str());
    SendMessageW(Dialog, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(BigIcon));
    SendMessageW(Dialog, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(SmallIcon));
    SizeWindow();
    if (Ended) return true;  // the creation failed inside and the run has ended

    SetExtendedPrecision();  // making the windows ran the system's code in our process
    Form.FormShow();
    if (Ended) return true;
    PushValues();  // the form's defaults, as the exchange and settings files changed them

    ShowWindow(Dialog, SW_SHOW);
    SetForegroundWindow(Dialog);
    SendMessageW(Dialog, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(Item(ComboBox1)), TRUE);
    UpdateWindow(Dialog);
    // Windows gives a started program the foreground only for a short while, and a click
    // elsewhere takes that right away: then the task bar button flashes, so that the user finds
    // the dialog behind the host.
    if (GetForegroundWindow() != Dialog) {
        FLASHWINFO flash{sizeof flash, Owner ? Owner : Dialog, FLASHW_TRAY | FLASHW_TIMERNOFG, 0,
                         0};
        FlashWindowEx(&flash);
    }
    return true;
}

void TWin32Form::SizeWindow() {
    RECT rect{0, 0, ClientWidth, ClientHeight};
    AdjustWindowRectEx(&rect, static_cast<DWORD>(GetWindowLongPtrW(Dialog, GWL_STYLE)), FALSE,
                       static_cast<DWORD>(GetWindowLongPtrW(Dialog, GWL_EXSTYLE)));
    SetWindowPos(Dialog, nullptr, 0, 0, rect.right - rect.left, rect.bottom - rect.top,
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

namespace {

// The table's row that shows a control of the dialog's logic.
const TWindowEntry& EntryOf(TControlId id) {
    for (const TWindowEntry& entry : Controls) {
        if (entry.Kind == TKind::Control && entry.Control == id) return entry;
    }
    assert(false && "every control has a window");
    return Controls[0];
}

}  // namespace

void TWin32Form::CreateControls() {
    for (const TWindowEntry& entry : Controls) {
        HWND window = CreateControl(entry);
        if (!window || entry.Kind != TKind::Control) continue;
        const TControlRow& row = ControlRow(entry.Control);
        if (row.Ime == TImeMode::Off) ImmAssociateContext(window, nullptr);
        if (row.MaxBytes > 0) {
            SetWindowSubclass(window, AtBoundary<LimitedEditProc>, 0,
                              static_cast<DWORD_PTR>(row.MaxBytes));
        }
    }
}

HWND TWin32Form::CreateControl(const TWindowEntry& entry) {
    switch (entry.Kind) {
        case TKind::Label:
            return CreateLabel(entry, Font);
        case TKind::SmallLabel:
            return CreateLabel(entry, SmallFont);
        case TKind::Memo:
            return CreateMemo(entry);
        case TKind::Status:
            return CreateChild(entry, L"STATIC", SS_CENTER | SS_CENTERIMAGE | SS_NOPREFIX, 0);
        case TKind::Strip:
            return CreateStrip(entry);
        case TKind::Control:
            break;
    }
    switch (ControlRow(entry.Control).Kind) {
        case TControlKind::ComboBox:
            return CreateComboBox(entry);
        case TControlKind::Edit:
            return CreateChild(entry, L"EDIT", WS_TABSTOP | ES_AUTOHSCROLL, WS_EX_CLIENTEDGE);
        case TControlKind::RadioGroup:
            return CreateRadioGroup(entry);
        case TControlKind::CheckBox:
            return CreateChild(entry, L"BUTTON", WS_TABSTOP | BS_AUTOCHECKBOX, 0);
        case TControlKind::Button: {
            const bool isDefault = entry.Control == TControlId::Button1;
            return CreateChild(entry, L"BUTTON",
                               WS_TABSTOP | (isDefault ? BS_DEFPUSHBUTTON : BS_PUSHBUTTON), 0);
        }
    }
    return nullptr;
}

// One child window of the dialog in the row's place, caption and font.
HWND TWin32Form::CreateChild(const TWindowEntry& entry, const wchar_t* cls, DWORD style,
                             DWORD exStyle, HFONT font, int width, int height) {
    HWND window = CreateWindowExW(
        exStyle, cls, SjisToWide(entry.Text).c_str(), WS_CHILD | WS_VISIBLE | WS_GROUP | style,
        entry.Left, entry.Top, width ? width : entry.Width, height ? height : entry.Height, Dialog,
        reinterpret_cast<HMENU>(static_cast<INT_PTR>(entry.Id)), Instance, nullptr);
    if (window)
        SendMessageW(window, WM_SETFONT, reinterpret_cast<WPARAM>(font ? font : Font), FALSE);
    return window;
}

HWND TWin32Form::CreateLabel(const TWindowEntry& entry, HFONT font) {
    const int width = TextWidth(Dialog, font, SjisToWide(entry.Text));
    return CreateChild(entry, L"STATIC", SS_LEFT | SS_NOPREFIX, 0, font, width);
}

HWND TWin32Form::CreateComboBox(const TWindowEntry& entry) {
    // The window's height includes the dropped list; the closed box is then sized to the row.
    HWND combo = CreateChild(entry, L"COMBOBOX", WS_TABSTOP | WS_VSCROLL | CBS_DROPDOWNLIST, 0,
                             nullptr, 0, entry.Height + 200);
    if (combo) SetClosedComboHeight(combo, entry.Height);
    return combo;
}

HWND TWin32Form::CreateMemo(const TWindowEntry& entry) {
    HWND memo = CreateChild(
        entry, L"EDIT", WS_VSCROLL | ES_MULTILINE | ES_READONLY | ES_AUTOVSCROLL | ES_AUTOHSCROLL,
        WS_EX_CLIENTEDGE);
    if (!memo) return nullptr;
    std::string note = MemoLines[0];
    for (size_t i = 1; i < std::size(MemoLines); ++i) note += std::string("\r\n") + MemoLines[i];
    // The longest note line is exactly as wide as the box inside its frame and scroll bar.
    SendMessageW(memo, EM_SETMARGINS, EC_LEFTMARGIN | EC_RIGHTMARGIN, 0);
    SetWindowTextW(memo, SjisToWide(note).c_str());
    SetWindowSubclass(memo, AtBoundary<NoteBoxProc>, 0, 0);
    return memo;
}

// A group box with its buttons in two columns of one row inside the frame, below its caption.
HWND TWin32Form::CreateRadioGroup(const TWindowEntry& entry) {
    HWND frame = CreateChild(entry, L"BUTTON", BS_GROUPBOX, 0);
    if (!frame) return nullptr;
    const TRadioGroup& group = RadioGroupOf(entry);
    const int columnWidth = (entry.Width - 10) / 2;
    const int top = entry.Top + FontHeightPx + 1;
    const int rowHeight = entry.Height - (FontHeightPx + 1) - 5;
    for (size_t i = 0; i < group.Items.size(); ++i) {
        const int item = static_cast<int>(i);
        HWND button = CreateWindowExW(
            0, L"BUTTON", SjisToWide(group.Items[i]).c_str(),
            WS_CHILD | WS_VISIBLE | BS_AUTORADIOBUTTON | (i == 0 ? WS_GROUP : 0),
            entry.Left + 8 + (item % 2) * columnWidth, top + (item / 2) * rowHeight, columnWidth,
            rowHeight, Dialog,
            reinterpret_cast<HMENU>(static_cast<INT_PTR>(RadioItemId(entry.Id, item))), Instance,
            nullptr);
        SendMessageW(button, WM_SETFONT, reinterpret_cast<WPARAM>(Font), FALSE);
    }
    return frame;
}

// The panel is larger than the strip and starts above and left of it, so only its inner part
// shows; the page fills it inside a one-pixel border.
HWND TWin32Form::CreateStrip(const TWindowEntry& entry) {
    HWND strip = CreateChild(entry, StripClass, WS_CLIPCHILDREN, WS_EX_CLIENTEDGE);
    if (!strip) return nullptr;
    CreateWindowExW(0, StripClass, L"", WS_CHILD | WS_VISIBLE | WS_CLIPCHILDREN, -3, -3, 600, 200,
                    strip, reinterpret_cast<HMENU>(static_cast<INT_PTR>(Panel1)), Instance,
                    nullptr);
    return strip;
}

const TRadioGroup& TWin32Form::RadioGroupOf(const TWindowEntry& entry) const {
    return Form.*std::get<TRadioGroup TForm1::*>(ControlRow(entry.Control).Member);
}

// Each control's value, into its window and back out.
void TWin32Form::PushValue(int id, const TComboBox& combo) {
    HWND box = Item(id);
    SendMessageW(box, CB_RESETCONTENT, 0, 0);
    for (const std::string& item : combo.Items) {
        SendMessageW(box, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(SjisToWide(item).c_str()));
    }
    // An index past the end leaves the list without a selection.
    SendMessageW(box, CB_SETCURSEL, static_cast<WPARAM>(combo.ItemIndex), 0);
}

void TWin32Form::PushValue(int id, const TEdit& edit) {
    SetWindowTextW(Item(id), SjisToWide(edit.Text).c_str());
}

void TWin32Form::PushValue(int id, const TRadioGroup& group) {
    for (size_t i = 0; i < group.Items.size(); ++i) {
        const int item = static_cast<int>(i);
        CheckDlgButton(Dialog, RadioItemId(id, item),
                       item == group.ItemIndex ? BST_CHECKED : BST_UNCHECKED);
    }
}

void TWin32Form::PushValue(int id, const TCheckBox& check) {
    CheckDlgButton(Dialog, id, check.Checked ? BST_CHECKED : BST_UNCHECKED);
}

void TWin32Form::PullValue(int id, TComboBox& combo) const {
    combo.ItemIndex = static_cast<int>(SendMessageW(Item(id), CB_GETCURSEL, 0, 0));  // CB_ERR: -1
}

void TWin32Form::PullValue(int id, TEdit& edit) const {
    edit.Text = WideToSjis(WindowText(Item(id)));
}

void TWin32Form::PullValue(int id, TRadioGroup& group) const {
    group.ItemIndex = -1;
    for (size_t i = 0; i < group.Items.size(); ++i) {
        const int item = static_cast<int>(i);
        if (IsDlgButtonChecked(Dialog, RadioItemId(id, item)) == BST_CHECKED) {
            group.ItemIndex = item;
            return;
        }
    }
}

void TWin32Form::PullValue(int id, TCheckBox& check) const {
    check.Checked = IsDlgButtonChecked(Dialog, id) == BST_CHECKED;
}

template <class F>
void TWin32Form::ForEachValue(F&& f) {
    for (const TWindowEntry& entry : Controls) {
        if (entry.Kind != TKind::Control) continue;
        std::visit(
            [&](auto member) {
                if constexpr (!std::is_same_v<decltype(member), std::monostate>) {
                    f(entry.Id, Form.*member);
                }
            },
            ControlRow(entry.Control).Member);
    }
}

void TWin32Form::PushValues() {
    ForEachValue([this](int id, const auto& value) { PushValue(id, value); });
    if (!Form.LabelA1.Caption.empty()) ShowStatus(Form.LabelA1.Caption);
    UpdateRadioTabStops();
}

void TWin32Form::PullValues() {
    ForEachValue([this](int id, auto& value) { PullValue(id, value); });
}

// A radio group is one stop of the Tab key: its checked button, or its first when none is.
void TWin32Form::UpdateRadioTabStops() {
    for (const TWindowEntry& entry : Controls) {
        if (entry.Kind != TKind::Control ||
            ControlRow(entry.Control).Kind != TControlKind::RadioGroup) {
            continue;
        }
        const auto count = static_cast<int>(RadioGroupOf(entry).Items.size());
        int stop = 0;
        for (int item = 0; item < count; ++item) {
            if (IsDlgButtonChecked(Dialog, RadioItemId(entry.Id, item)) == BST_CHECKED) stop = item;
        }
        for (int item = 0; item < count; ++item) {
            HWND button = Item(RadioItemId(entry.Id, item));
            const LONG_PTR style = GetWindowLongPtrW(button, GWL_STYLE);
            SetWindowLongPtrW(button, GWL_STYLE,
                              item == stop ? (style | WS_TABSTOP) : (style & ~WS_TABSTOP));
        }
    }
}

// Each call from the dialog's logic into the window may run code of the system's (an input
// method, hooks, the browser control) and comes back with the floating-point state restored.

void TWin32Form::FocusControl(TControlId id) {
    const TFpuRestore restore;
    const TWindowEntry& entry = EntryOf(id);
    HWND target = Item(entry.Id);
    if (ControlRow(id).Kind == TControlKind::RadioGroup) {
        // A group takes the focus on its button that is the Tab stop.
        UpdateRadioTabStops();
        for (HWND button = GetWindow(target, GW_HWNDNEXT); button;
             button = GetWindow(button, GW_HWNDNEXT)) {
            if (GetWindowLongPtrW(button, GWL_STYLE) & WS_TABSTOP) {
                target = button;
                break;
            }
        }
    }
    SendMessageW(Dialog, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(target), TRUE);
}

void TWin32Form::ShowStatus(const std::string& sjis) {
    const TFpuRestore restore;
    FaultOnStatus(sjis);
    HWND status = Item(LabelA1);
    SetWindowTextW(status, SjisToWide(sjis).c_str());
    UpdateWindow(status);
}

void TWin32Form::ShowMessage(const std::string& sjis) {
    const TFpuRestore restore;
    if (!Dialog) return;
    std::wstring caption(256, L'\0');
    caption.resize(static_cast<size_t>(GetWindowTextW(Owner, caption.data(), 256)));
    MessageBoxW(Dialog, SjisToWide(sjis).c_str(), caption.c_str(), MB_ICONQUESTION | MB_OK);
}

// The close runs after the handler that asked for it has returned.
void TWin32Form::Close() {
    const TFpuRestore restore;
    CloseAsked = true;
    if (Dialog) PostMessageW(Dialog, WmCloseOnce, 0, 0);
}

void TWin32Form::GetPosition(int& left, int& top) {
    const TFpuRestore restore;
    RECT rect{};
    GetWindowRect(Dialog, &rect);
    left = rect.left;
    top = rect.top;
}

// The user's saved place wins while the title bar can still be reached on some monitor, so
// that the window can be dragged back; a place off every monitor (a screen unplugged since, a
// hand-edited file) becomes the nearest place on the nearest monitor's work area.
void TWin32Form::MoveTo(int left, int top) {
    const TFpuRestore restore;
    RECT current{};
    GetWindowRect(Dialog, &current);
    const RECT wanted =
        ClampedRect(left, top, current.right - current.left, current.bottom - current.top);
    if (!TitleBarReachable(wanted)) {
        const POINT fitted = FitOnNearestMonitor(wanted);
        left = fitted.x;
        top = fitted.y;
    }
    SetWindowPos(Dialog, nullptr, left, top, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

// The browser is made once the dialog shows and is active, so that the first paint does not wait
// for the browser engine. A host that never resolves (".invalid", the default) is no page at all:
// no browser is made and nothing is sent, not even to a proxy.
void TWin32Form::ShowInfoPage(const std::string& url) {
    const TFpuRestore restore;
    InfoPage = SjisToWide(url);
    FaultOnInfoPage(InfoPage);
    if (PageNeverResolves(InfoPage)) {
        InfoPage.clear();
        return;
    }
    if (Dialog) PostMessageW(Dialog, WmLoadInfoPage, 0, 0);
}

void TWin32Form::LoadInfoPage() {
    if (InfoPage.empty() || !Dialog) return;
    HWND focus = GetFocus();
    ShowWebPage(GetDlgItem(Item(ScrollBox1), Panel1), WebBrowser1, RECT{1, 1, 599, 199}, InfoPage);
    InfoPage.clear();
    SetExtendedPrecision();  // the browser engine has just loaded into the process
    // The browser may take the focus; the user's control gets it back, so that Enter and Escape
    // still reach OK and Cancel.
    if (focus && IsWindow(focus) && GetFocus() != focus) {
        SendMessageW(Dialog, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(focus), TRUE);
    }
}

void TWin32Form::CloseOnce() {
    if (Closing || !Dialog) return;
    Closing = true;
    Form.FormClose();
    Written = true;
    EndWindow();
}

void TWin32Form::Abort() noexcept {
    if (Ended) return;
    if (!CloseAsked) OutputLines.clear();
    if (!Written) {
        // Once more if the close itself threw: it writes the file first and then only releases
        // memory, so a second try writes what the first could not.
        try {
            Closing = true;
            Form.FormClose();
            Written = true;
        } catch (...) {
            // The file is then as it was or wholly new, never half of it (ReplaceFile).
        }
    }
    EndWindow();
}

void TWin32Form::EndWindow() noexcept {
    if (Ended) return;
    Ended = true;
    if (HWND dialog = Dialog) {
        Dialog = nullptr;
        DestroyWindow(dialog);
    }
    PostQuitMessage(0);
}

INT_PTR TWin32Form::DialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_INITDIALOG) {
        auto* self = reinterpret_cast<TWin32Form*>(lParam);
        SetWindowLongPtrW(dialog, DWLP_USER, lParam);
        self->Dialog = dialog;
        self->CreateControls();
        return FALSE;  // the focus is placed once the dialog shows
    }
    auto* self = reinterpret_cast<TWin32Form*>(GetWindowLongPtrW(dialog, DWLP_USER));
    return self && self->Dialog == dialog ? self->HandleMessage(message, wParam, lParam) : FALSE;
}

INT_PTR TWin32Form::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_COMMAND:
            OnCommand(LOWORD(wParam), HIWORD(wParam));
            return TRUE;
        case WM_CLOSE:  // close box, Alt+F4, the task bar's close
        case WmCloseOnce:
            CloseOnce();
            return TRUE;
        case WmLoadInfoPage:
            LoadInfoPage();
            return TRUE;
        case WM_ENDSESSION:
            if (wParam) CloseOnce();
            return TRUE;
        case WM_SYSCOMMAND:
            // Minimising goes through the application window, which owns the task bar button.
            if ((wParam & 0xFFF0) == SC_MINIMIZE) {
                ShowWindow(Owner, SW_MINIMIZE);
                SetWindowLongPtrW(Dialog, DWLP_MSGRESULT, 0);
                return TRUE;
            }
            return FALSE;
        case WM_SETTINGCHANGE:
            if (const bool on = HighContrastOn(); on != HighContrast) {
                HighContrast = on;
                RedrawWindow(Dialog, nullptr, nullptr,
                             RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_FRAME);
            }
            return FALSE;
        case WM_CTLCOLORDLG:
            return HighContrast ? FALSE : reinterpret_cast<INT_PTR>(WhiteBrush);
        case WM_CTLCOLORSTATIC:
        case WM_CTLCOLORBTN:
            if (HighContrast) return FALSE;
            return OnControlColor(reinterpret_cast<HDC>(wParam), reinterpret_cast<HWND>(lParam));
        default:
            return FALSE;
    }
}

void TWin32Form::OnCommand(int id, int code) {
    if (code != BN_CLICKED) return;
    SetExtendedPrecision();  // whatever ran in the process meanwhile may have changed it
    if (id == Button1) {
        PullValues();
        Form.Button1Click();
    } else if (id == Button2) {
        Form.Button2Click();
    } else {
        UpdateRadioTabStops();
    }
}

INT_PTR TWin32Form::OnControlColor(HDC dc, HWND control) {
    const int id = GetDlgCtrlID(control);
    const COLORREF color = id == LabelA1 ? StatusColor : id == Memo1 ? MemoColor : WhiteColor;
    SetBkColor(dc, color);
    SetTextColor(dc, GetSysColor(COLOR_WINDOWTEXT));
    return reinterpret_cast<INT_PTR>(id == LabelA1 ? StatusBrush
                                     : id == Memo1 ? MemoBrush
                                                   : WhiteBrush);
}
