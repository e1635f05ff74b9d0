// Program entry: the invisible application window that carries the title shown in the task bar,
// the dialog, and the message loop that runs until the dialog has closed.
#include <windows.h>

#include <commctrl.h>

#include <exception>
#include <optional>
#include <string>

#include "Boundary.h"
#include "Fpu.h"
#include "Messages.h"
#include "ResourceIds.h"
#include "TestFaults.h"
#include "Unit1Headless.h"
#include "WebView.h"
#include "Win32Form.h"
#include "Win32Text.h"

namespace {

constexpr wchar_t ApplicationClass[] = L"PardimApplication";

HWND DialogOf(HWND application) {
    HWND dialog = reinterpret_cast<HWND>(GetWindowLongPtrW(application, GWLP_USERDATA));
    return dialog && IsWindow(dialog) ? dialog : nullptr;
}

// The application window owns the task bar button and the dialog; whatever reaches it through
// the task bar (activation, close) is handed on to the dialog.
LRESULT ApplicationProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_ACTIVATE:
            if (LOWORD(wParam) != WA_INACTIVE && !IsIconic(window)) {
                PostMessageW(window, WmActivateDialog, 0, 0);
            }
            return 0;
        case WmActivateDialog:
            if (HWND dialog = DialogOf(window)) {
                SetActiveWindow(IsWindowEnabled(dialog) ? dialog : GetLastActivePopup(dialog));
            }
            return 0;
        case WM_SIZE:
            // Minimising goes through this window; the dialog hides and comes back with it.
            if (HWND dialog = DialogOf(window)) {
                if (wParam == SIZE_MINIMIZED) ShowWindow(dialog, SW_HIDE);
                if (wParam == SIZE_RESTORED) ShowWindow(dialog, SW_SHOW);
            }
            return 0;
        case WM_CLOSE:
            if (HWND dialog = DialogOf(window)) PostMessageW(dialog, WM_CLOSE, 0, 0);
            return 0;
        default:
            return DefWindowProcW(window, message, wParam, lParam);
    }
}

// Visible but without size, at the middle of the screen: it shows in the task bar only.
HWND CreateApplicationWindow(HINSTANCE instance) {
    WNDCLASSEXW cls{};
    cls.cbSize = sizeof cls;
    cls.lpfnWndProc = AtBoundary<ApplicationProc>;
    cls.hInstance = instance;
    cls.hIcon = LoadIconW(instance, MAKEINTRESOURCEW(PARDIM_ICON));
    cls.lpszClassName = ApplicationClass;
    if (!RegisterClassExW(&cls)) return nullptr;
    HWND window =
        CreateWindowExW(0, ApplicationClass, SjisToWide(ApplicationTitle).c_str(),
                        WS_POPUP | WS_CAPTION | WS_CLIPSIBLINGS | WS_SYSMENU | WS_MINIMIZEBOX,
                        GetSystemMetrics(SM_CXSCREEN) / 2, GetSystemMetrics(SM_CYSCREEN) / 2, 0, 0,
                        nullptr, nullptr, instance, nullptr);
    if (window) ShowWindow(window, SW_SHOWNA);
    return window;
}

TPath ExecutablePath() {
    std::wstring buffer(MAX_PATH, L'\0');
    for (;;) {
        const DWORD length =
            GetModuleFileNameW(nullptr, buffer.data(), static_cast<DWORD>(buffer.size()));
        if (length == 0) return {};
        if (length < buffer.size()) {
            buffer.resize(length);
            return buffer;
        }
        buffer.resize(buffer.size() * 2);  // a long path was cut: try again with more room
    }
}

// DLLs that the system loads on our behalf later (COM servers, themes, the input method) come
// from System32 only, never from the tool's own folder, which users keep writable. Windows 7
// without its loader update lacks the call; there only our own loads are restricted.
void LoadLibrariesFromSystem32Only() {
    using TSetDefaultDllDirectories = BOOL(WINAPI*)(DWORD);
    HMODULE kernel = GetModuleHandleW(L"kernel32.dll");
    const auto set = reinterpret_cast<TSetDefaultDllDirectories>(
        reinterpret_cast<void (*)()>(GetProcAddress(kernel, "SetDefaultDllDirectories")));
    if (set) set(LOAD_LIBRARY_SEARCH_SYSTEM32);
}

void RunMessageLoop(const TWin32Form& form) {
    MSG message;
    while (GetMessageW(&message, nullptr, 0, 0) > 0) {
        // The dialog manager turns Tab, Enter, Escape and the access keys into dialog actions.
        HWND dialog = form.Handle();
        // Alt+F4 closes the dialog whichever control has the focus; a drop-down list would
        // otherwise keep the key to itself on some systems.
        if (dialog && message.message == WM_SYSKEYDOWN && message.wParam == VK_F4) {
            PostMessageW(dialog, WM_SYSCOMMAND, SC_CLOSE, 0);
            continue;
        }
        if (dialog && IsDialogMessageW(dialog, &message)) continue;
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
}

// The continuous-drawing BAT starts us with /quick (its first argument, in any case): the host
// repeats the run, and the settings of the last OK draw at once, without a window of our own.
bool IsQuickRun(const wchar_t* commandLine) {
    const wchar_t* c = commandLine ? commandLine : L"";
    while (*c == L' ' || *c == L'\t') ++c;
    for (const char* s = "/quick"; *s; ++s, ++c) {
        const wchar_t lower = *c >= L'A' && *c <= L'Z' ? *c + (L'a' - L'A') : *c;
        if (lower != static_cast<wchar_t>(*s)) return false;
    }
    return *c == 0 || *c == L' ' || *c == L'\t';
}

// The quick run: true when it has ended the run (drawn, refused, or an exception left "hq").
// A failed check writes nothing; focus then holds the control the dialog opens with.
bool RunQuick(std::optional<TControlId>& focus) {
    SetExtendedPrecision();  // the faults' hook may have run the system's code since the entry
    const TPath exePath = ExecutablePath();
    try {
        const THeadlessRun run = RunHeadless(exePath);
        if (run.Outcome != THeadlessRun::TOutcome::CheckFailed) return true;
        focus = run.Focus;
        return false;
    } catch (const std::exception&) {
        WriteNothingDrawn(exePath);  // as the dialog's run ends after one
        return true;
    }
}

// The dialog whose run an exception caught at a boundary ends.
TWin32Form* RunningForm = nullptr;

void EndRunAfterException() {
    if (RunningForm) RunningForm->Abort();
}

}  // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR commandLine, int) {
    SetExtendedPrecision();  // first: every long double intermediate depends on it
    LoadLibrariesFromSystem32Only();
    SetBoundaryHandler(EndRunAfterException);
    StartFaults(commandLine);
    std::optional<TControlId> focus;  // a quick run's failed check: where the dialog starts
    if (IsQuickRun(commandLine) && RunQuick(focus)) return 0;
    INITCOMMONCONTROLSEX controls{sizeof controls, ICC_STANDARD_CLASSES};
    InitCommonControlsEx(&controls);
    // Without its application window the dialog still works; it is then its own task bar button.
    HWND application = CreateApplicationWindow(instance);
    const TPath exePath = ExecutablePath();
    bool shown = false;
    try {
        TWin32Form form(instance, application, exePath);
        RunningForm = &form;
        shown = form.Show();
        if (shown) {
            SetWindowLongPtrW(application, GWLP_USERDATA,
                              reinterpret_cast<LONG_PTR>(form.Handle()));
            if (focus && form.Handle()) form.FocusControl(*focus);
            RunMessageLoop(form);
        }
        RunningForm = nullptr;
    } catch (const std::exception&) {
        // Out of memory for a huge selection, say: unwinding has ended the form all the same,
        // and the host must not find its own input left in the file.
        RunningForm = nullptr;
    }  // the form's end writes the exchange file if its window exists and no close did
    if (!shown) WriteNothingDrawn(exePath);
    if (application) DestroyWindow(application);
    EndWebPages();  // the OLE apartment, if the information strip entered it
    return 0;
}
