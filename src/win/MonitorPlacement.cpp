// Where the dialog goes on the screen.
#include "MonitorPlacement.h"

#include <algorithm>

namespace {

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

}  // namespace

void MoveWithinReach(HWND window, int left, int top) {
    RECT current{};
    GetWindowRect(window, &current);
    const RECT wanted =
        ClampedRect(left, top, current.right - current.left, current.bottom - current.top);
    if (!TitleBarReachable(wanted)) {
        const POINT fitted = FitOnNearestMonitor(wanted);
        left = fitted.x;
        top = fitted.y;
    }
    SetWindowPos(window, nullptr, left, top, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}
