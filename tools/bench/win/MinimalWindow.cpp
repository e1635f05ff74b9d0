// The yardstick of the start-up benchmark: the least a Win32 program can do to show a window
// titled like our dialog, with one button and a message loop. Built twice: bare (user32 only),
// and with the tool's imports and manifest (PARDIM_SAME_IMPORTS), to tell what Windows loads for
// us before our entry runs from what our entry does.
#include <windows.h>

#ifdef PARDIM_SAME_IMPORTS
#include <commctrl.h>
#include <imm.h>
#endif

namespace {

LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_DESTROY) {
        PostQuitMessage(0);
        return 0;
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

}  // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR commandLine, int) {
#ifdef PARDIM_SAME_IMPORTS
    // Never true: the calls only make the loader map the same DLLs as the tool's.
    if (commandLine && commandLine[0] == L'\x1') {
        InitCommonControls();
        ImmGetContext(nullptr);
    }
#else
    (void)commandLine;
#endif
    WNDCLASSEXW cls{};
    cls.cbSize = sizeof cls;
    cls.lpfnWndProc = WindowProc;
    cls.hInstance = instance;
    cls.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    cls.lpszClassName = L"PardimMinimal";
    RegisterClassExW(&cls);
    HWND window = CreateWindowExW(0, cls.lpszClassName, L"\x5E73\x884C\x5BF8\x6CD5\x7DDA",
                                  WS_CAPTION | WS_SYSMENU, 100, 100, 300, 200, nullptr, nullptr,
                                  instance, nullptr);
    CreateWindowExW(0, L"BUTTON", L"OK", WS_CHILD | WS_VISIBLE | BS_DEFPUSHBUTTON, 100, 80, 80, 30,
                    window, nullptr, instance, nullptr);
    ShowWindow(window, SW_SHOW);
    UpdateWindow(window);
    MSG message;
    while (GetMessageW(&message, nullptr, 0, 0) > 0) {
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
    return 0;
}
