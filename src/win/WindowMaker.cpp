// How the rows of the window table become the dialog's windows.
#include "WindowMaker.h"

#include <commctrl.h>
#include <imm.h>

#include <string>
#include <type_traits>
#include <variant>

#include "Boundary.h"
#include "ByteLimitedEdit.h"
#include "ControlIds.h"
#include "Win32Text.h"

namespace {

using namespace WinId;

constexpr wchar_t StripClass[] = L"PardimStrip";

// A multi-line edit normally keeps Enter, Escape and Tab for itself; the note box only shows
// text, so those keys go to the dialog (OK, Cancel, next control).
LRESULT NoteBoxProc(HWND memo, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR, DWORD_PTR) {
    const LRESULT result = DefSubclassProc(memo, message, wParam, lParam);
    return message == WM_GETDLGCODE ? (result & ~DLGC_WANTALLKEYS) : result;
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

}  // namespace

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

TWindowMaker::TWindowMaker(HINSTANCE instance, HWND dialog, HFONT font, HFONT smallFont,
                           const TForm1& form)
    : Instance(instance), Dialog(dialog), Font(font), SmallFont(smallFont), Form(form) {}

void TWindowMaker::CreateAll() const {
    for (const TWindowEntry& entry : WindowTable()) {
        HWND window = CreateWindowOf(entry);
        if (!window || entry.Kind != TKind::Control) continue;
        const TControlRow& row = ControlRow(entry.Control);
        if (row.Ime == TImeMode::Off) ImmAssociateContext(window, nullptr);
        if (row.MaxBytes > 0) LimitTypedBytes(window, row.MaxBytes);
    }
}

HWND TWindowMaker::CreateWindowOf(const TWindowEntry& entry) const {
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
HWND TWindowMaker::CreateChild(const TWindowEntry& entry, const wchar_t* cls, DWORD style,
                               DWORD exStyle, HFONT font, int width, int height) const {
    HWND window = CreateWindowExW(
        exStyle, cls, SjisToWide(entry.Text).c_str(), WS_CHILD | WS_VISIBLE | WS_GROUP | style,
        entry.Left, entry.Top, width ? width : entry.Width, height ? height : entry.Height, Dialog,
        reinterpret_cast<HMENU>(static_cast<INT_PTR>(entry.Id)), Instance, nullptr);
    if (window)
        SendMessageW(window, WM_SETFONT, reinterpret_cast<WPARAM>(font ? font : Font), FALSE);
    return window;
}

HWND TWindowMaker::CreateLabel(const TWindowEntry& entry, HFONT font) const {
    const int width = TextWidth(Dialog, font, SjisToWide(entry.Text));
    return CreateChild(entry, L"STATIC", SS_LEFT | SS_NOPREFIX, 0, font, width);
}

HWND TWindowMaker::CreateComboBox(const TWindowEntry& entry) const {
    // The window's height includes the dropped list; the closed box is then sized to the row.
    HWND combo = CreateChild(entry, L"COMBOBOX", WS_TABSTOP | WS_VSCROLL | CBS_DROPDOWNLIST, 0,
                             nullptr, 0, entry.Height + 200);
    if (combo) SetClosedComboHeight(combo, entry.Height);
    return combo;
}

HWND TWindowMaker::CreateMemo(const TWindowEntry& entry) const {
    HWND memo = CreateChild(
        entry, L"EDIT", WS_VSCROLL | ES_MULTILINE | ES_READONLY | ES_AUTOVSCROLL | ES_AUTOHSCROLL,
        WS_EX_CLIENTEDGE);
    if (!memo) return nullptr;
    // The longest note line is exactly as wide as the box inside its frame and scroll bar.
    SendMessageW(memo, EM_SETMARGINS, EC_LEFTMARGIN | EC_RIGHTMARGIN, 0);
    SetWindowTextW(memo, SjisToWide(NoteText()).c_str());
    SetWindowSubclass(memo, AtBoundary<NoteBoxProc>, 0, 0);
    return memo;
}

// A group box with its buttons in two columns of one row inside the frame, below its caption.
HWND TWindowMaker::CreateRadioGroup(const TWindowEntry& entry) const {
    HWND frame = CreateChild(entry, L"BUTTON", BS_GROUPBOX, 0);
    if (!frame) return nullptr;
    const TRadioGroup& group = RadioGroupOf(Form, entry);
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
HWND TWindowMaker::CreateStrip(const TWindowEntry& entry) const {
    HWND strip = CreateChild(entry, StripClass, WS_CLIPCHILDREN, WS_EX_CLIENTEDGE);
    if (!strip) return nullptr;
    CreateWindowExW(0, StripClass, L"", WS_CHILD | WS_VISIBLE | WS_CLIPCHILDREN, -3, -3, 600, 200,
                    strip, reinterpret_cast<HMENU>(static_cast<INT_PTR>(Panel1)), Instance,
                    nullptr);
    return strip;
}

namespace {

void PushValue(HWND dialog, int id, const TComboBox& combo) {
    HWND box = GetDlgItem(dialog, id);
    SendMessageW(box, CB_RESETCONTENT, 0, 0);
    for (const std::string& item : combo.Items) {
        SendMessageW(box, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(SjisToWide(item).c_str()));
    }
    // An index past the end leaves the list without a selection.
    SendMessageW(box, CB_SETCURSEL, static_cast<WPARAM>(combo.ItemIndex), 0);
}

void PushValue(HWND dialog, int id, const TEdit& edit) {
    SetWindowTextW(GetDlgItem(dialog, id), SjisToWide(edit.Text).c_str());
}

void PushValue(HWND dialog, int id, const TRadioGroup& group) {
    for (size_t i = 0; i < group.Items.size(); ++i) {
        const int item = static_cast<int>(i);
        CheckDlgButton(dialog, RadioItemId(id, item),
                       item == group.ItemIndex ? BST_CHECKED : BST_UNCHECKED);
    }
}

void PushValue(HWND dialog, int id, const TCheckBox& check) {
    CheckDlgButton(dialog, id, check.Checked ? BST_CHECKED : BST_UNCHECKED);
}

}  // namespace

void PushFormValues(HWND dialog, const TForm1& form) {
    for (const TWindowEntry& entry : WindowTable()) {
        if (entry.Kind != TKind::Control) continue;
        std::visit(
            [&](auto member) {
                if constexpr (!std::is_same_v<decltype(member), std::monostate>) {
                    PushValue(dialog, entry.Id, form.*member);
                }
            },
            ControlRow(entry.Control).Member);
    }
}
