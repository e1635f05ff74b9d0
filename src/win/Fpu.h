// The floating-point state that the construction needs: the x87 at 64-bit precision for the long
// double intermediates, and SSE at round-to-nearest for the doubles (both builds keep doubles in
// SSE). Set by each Windows entry point before anything is computed, and set again wherever
// Windows hands control back to our computation: code that Windows runs in our process (an input
// method, the browser control, hooks and what they load) may leave either register changed.
#pragma once

// x87 control word 0x037F: 64-bit precision, round to nearest, every exception masked.
// MXCSR 0x1F80: round to nearest, no flush-to-zero or denormals-are-zero, exceptions masked.
void SetExtendedPrecision();

// Sets the state again when it goes out of scope: for a call into Windows in the middle of a
// computation.
struct TFpuRestore {
    TFpuRestore() = default;
    TFpuRestore(const TFpuRestore&) = delete;
    TFpuRestore& operator=(const TFpuRestore&) = delete;
    ~TFpuRestore() { SetExtendedPrecision(); }
};
