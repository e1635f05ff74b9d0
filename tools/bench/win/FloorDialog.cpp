// The floor of the start-up benchmark: the least a program can do to show the tool's dialog. It
// makes the same windows as pardim.exe (the application window, the dialog and every row of the
// window table, with their classes, styles, fonts, captions, icons and colours) and fills them
// with the form's defaults, the drop-down lists' items included, but reads no file, loads no
// settings and computes nothing. What pardim.exe takes beyond it is its own start-up.
#include <windows.h>

#include <commctrl.h>

#include <string>

#include "Boundary.h"
#include "ControlIds.h"
#include "RecordingView.h"
#include "ResourceIds.h"
#include "Win32Text.h"
#include "WindowMaker.h"
#include "WindowTable.h"

namespace {

using namespace WinId;

struct TFloor {
    HINSTANCE Instance;
    HFONT Font, SmallFont;
    HBRUSH WhiteBrush, StatusBrush, MemoBrush;
    const TForm1& Form;
};

HICON LoadIconSized(HINSTANCE instance, int width, int height) {
    return static_cast<HICON>(
        LoadImageW(instance, MAKEINTRESOURCEW(PARDIM_ICON), IMAGE_ICON, width, height, 0));
}

// The form's values into the windows, as the dialog pushes them.
void PushValues(HWND dialog, const TForm1& form) {
    PushFormValues(dialog, form);
    HWND status = GetDlgItem(dialog, LabelA1);
    SetWindowTextW(status, SjisToWide(form.LabelA1.Caption).c_str());
    UpdateWindow(status);
}

INT_PTR FloorProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    const auto* floor = reinterpret_cast<const TFloor*>(GetWindowLongPtrW(dialog, DWLP_USER));
    switch (message) {
        case WM_INITDIALOG:
            SetWindowLongPtrW(dialog, DWLP_USER, lParam);
            floor = reinterpret_cast<const TFloor*>(lParam);
            TWindowMaker(floor->Instance, dialog, floor->Font, floor->SmallFont, floor->Form)
                .CreateAll();
            return FALSE;
        case WM_COMMAND:
            if (HIWORD(wParam) == BN_CLICKED &&
                (LOWORD(wParam) == Button1 || LOWORD(wParam) == Button2)) {
                PostMessageW(dialog, WM_CLOSE, 0, 0);
            }
            return TRUE;
        case WM_CLOSE:
            DestroyWindow(dialog);
            PostQuitMessage(0);
            return TRUE;
        case WM_CTLCOLORDLG:
            return reinterpret_cast<INT_PTR>(floor->WhiteBrush);
        case WM_CTLCOLORSTATIC:
        case WM_CTLCOLORBTN: {
            const int id = GetDlgCtrlID(reinterpret_cast<HWND>(lParam));
            const auto dc = reinterpret_cast<HDC>(wParam);
            SetBkColor(dc, id == LabelA1 ? StatusColor : id == Memo1 ? MemoColor : WhiteColor);
            SetTextColor(dc, GetSysColor(COLOR_WINDOWTEXT));
            return reinterpret_cast<INT_PTR>(id == LabelA1 ? floor->StatusBrush
                                             : id == Memo1 ? floor->MemoBrush
                                                           : floor->WhiteBrush);
        }
        default:
            return FALSE;
    }
}

HWND CreateApplicationWindow(HINSTANCE instance) {
    WNDCLASSEXW cls{};
    cls.cbSize = sizeof cls;
    cls.lpfnWndProc = DefWindowProcW;
    cls.hInstance = instance;
    cls.hIcon = LoadIconW(instance, MAKEINTRESOURCEW(PARDIM_ICON));
    cls.lpszClassName = L"PardimFloorApplication";
    RegisterClassExW(&cls);
    HWND window =
        CreateWindowExW(0, cls.lpszClassName, SjisToWide(ApplicationTitle).c_str(),
                        WS_POPUP | WS_CAPTION | WS_CLIPSIBLINGS | WS_SYSMENU | WS_MINIMIZEBOX,
                        GetSystemMetrics(SM_CXSCREEN) / 2, GetSystemMetrics(SM_CYSCREEN) / 2, 0, 0,
                        nullptr, nullptr, instance, nullptr);
    if (window) ShowWindow(window, SW_SHOWNA);
    return window;
}

}  // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int) {
    INITCOMMONCONTROLSEX controls{sizeof controls, ICC_STANDARD_CLASSES};
    InitCommonControlsEx(&controls);
    HWND application = CreateApplicationWindow(instance);

    TRecordingView view;
    TForm1 form(view);  // the lists' items and the controls' defaults
    // The text-type list as a run without an exchange file fills it: eleven items.
    form.ComboBox3.Items.push_back("\x8c\xbb\x8d\xdd\x82\xcc\x95\xb6\x8e\x9a\x8e\xed(No1)");
    for (int number = 1; number <= 10; ++number) {
        form.ComboBox3.Items.push_back("No" + std::to_string(number) + ": W3 H3 D0");
    }

    TFloor floor{instance,
                 CreateDialogFont(FontHeightPx),
                 CreateDialogFont(SmallFontHeightPx),
                 CreateSolidBrush(WhiteColor),
                 CreateSolidBrush(StatusColor),
                 CreateSolidBrush(MemoColor),
                 form};
    HICON bigIcon =
        LoadIconSized(instance, GetSystemMetrics(SM_CXICON), GetSystemMetrics(SM_CYICON));
    HICON smallIcon =
        LoadIconSized(instance, GetSystemMetrics(SM_CXSMICON), GetSystemMetrics(SM_CYSMICON));
    RegisterStripClass(instance);

    struct alignas(4) {
        DLGTEMPLATE Header;
        WORD Menu, Class, Title;
    } empty{};
    empty.Header.style = WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX;
    HWND dialog =
        CreateDialogIndirectParamW(instance, &empty.Header, application, AtBoundary<FloorProc>,
                                   reinterpret_cast<LPARAM>(&floor));
    if (!dialog) return 1;
    SetWindowTextW(dialog, SjisToWide(DialogTitle).c_str());
    SendMessageW(dialog, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(bigIcon));
    SendMessageW(dialog, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(smallIcon));
    RECT rect{0, 0, ClientWidth, ClientHeight};
    AdjustWindowRectEx(&rect, static_cast<DWORD>(GetWindowLongPtrW(dialog, GWL_STYLE)), FALSE,
                       static_cast<DWORD>(GetWindowLongPtrW(dialog, GWL_EXSTYLE)));
    SetWindowPos(dialog, nullptr, DefaultWindowPosition, DefaultWindowPosition,
                 rect.right - rect.left, rect.bottom - rect.top, SWP_NOZORDER | SWP_NOACTIVATE);

    PushValues(dialog, form);
    ShowWindow(dialog, SW_SHOW);
    SetForegroundWindow(dialog);
    SendMessageW(dialog, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(GetDlgItem(dialog, ComboBox1)),
                 TRUE);
    UpdateWindow(dialog);

    MSG message;
    while (GetMessageW(&message, nullptr, 0, 0) > 0) {
        if (IsWindow(dialog) && IsDialogMessageW(dialog, &message)) continue;
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
    if (application) DestroyWindow(application);
    return 0;
}
