// Where Windows calls us. A C++ exception must never unwind through Windows' own frames: the
// 32-bit build unwinds with DWARF tables, which those frames lack (std::terminate), and on x86-64
// an exception leaving a window procedure that a kernel callback reached may be swallowed or turn
// into a crash. So every function that Windows calls (window, dialog and subclass procedures,
// hooks, COM methods) is one of the wrappers below, and the exception is caught before it leaves
// our code. What then happens to the run is the handler's decision (Main.cpp).
#pragma once

#include <windows.h>

#include <utility>

// Called with no exception in flight, once per exception caught at a boundary.
using TBoundaryHandler = void (*)();
void SetBoundaryHandler(TBoundaryHandler handler);
void ExceptionAtBoundary() noexcept;

template <auto Handler>
struct TBoundary;

template <class R, class... A, R (*Handler)(A...)>
struct TBoundary<Handler> {
    // What Windows calls: the handler's result, or R{} (0, FALSE, S_OK) when it threw.
    static R CALLBACK Call(A... args) noexcept {
        try {
            return Handler(args...);
        } catch (...) {
        }
        ExceptionAtBoundary();
        return R{};
    }
};

// The callback to hand to Windows for one of our functions: AtBoundary<ApplicationProc>.
template <auto Handler>
inline constexpr auto AtBoundary = &TBoundary<Handler>::Call;

// The body of a COM method: f's result, or `failed` when it threw.
template <class R, class F>
R CallAtBoundary(R failed, F&& f) noexcept {
    try {
        return std::forward<F>(f)();
    } catch (...) {
    }
    ExceptionAtBoundary();
    return failed;
}
