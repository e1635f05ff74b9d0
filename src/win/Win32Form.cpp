// The dialog's window. Every control is a row of one table (WindowTable.h), created in tab order;
// its values live in TForm1 and are copied in before the dialog is shown and out before OK is
// handled.
#include "Win32Form.h"

#include <type_traits>
#include <variant>

#include "Boundary.h"
#include "ByteLimitedEdit.h"
#include "ControlIds.h"
#include "Fpu.h"
#include "Messages.h"
#include "MonitorPlacement.h"
#include "ResourceIds.h"
#include "TestFaults.h"
#include "WebView.h"
#include "Win32Text.h"
#include "WindowMaker.h"
#include "WindowTable.h"

namespace {

using namespace WinId;

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

void TWin32Form::CreateControls() {
    TWindowMaker(Instance, Dialog, Font, SmallFont, Form).CreateAll();
}

// Each control's value out of its window.
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
    for (const TWindowEntry& entry : WindowTable()) {
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
    PushFormValues(Dialog, Form);
    if (!Form.LabelA1.Caption.empty()) ShowStatus(Form.LabelA1.Caption);
    UpdateRadioTabStops();
}

void TWin32Form::PullValues() {
    ForEachValue([this](int id, auto& value) { PullValue(id, value); });
}

// A radio group is one stop of the Tab key: its checked button, or its first when none is.
void TWin32Form::UpdateRadioTabStops() {
    for (const TWindowEntry& entry : WindowTable()) {
        if (entry.Kind != TKind::Control ||
            ControlRow(entry.Control).Kind != TControlKind::RadioGroup) {
            continue;
        }
        const auto count = static_cast<int>(RadioGroupOf(Form, entry).Items.size());
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

void TWin32Form::MoveTo(int left, int top) {
    const TFpuRestore restore;
    MoveWithinReach(Dialog, left, top);
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
