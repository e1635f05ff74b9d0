// Windows starts a process with the x87 precision control at 53 bits, which would round every
// long double intermediate to a double's precision without a sound. mingw-w64's usual start-up
// object (CRT_fp10.o) happens to run fninit and so gives 64 bits, but that is link order, not a
// promise: another C runtime or start-up object (CRT_fp8.o) leaves the system's 53 bits. So the
// entries set the control word themselves, and the window layer sets it again after Windows ran.
#include "Fpu.h"

void SetExtendedPrecision() {
    // Precision control 11 (64 bits), rounding control 00 (nearest), the six exception masks set.
    const unsigned short controlWord = 0x037F;
    // Rounding 00 (nearest), FZ and DAZ clear, the six exception masks set, no flags.
    const unsigned int mxcsr = 0x1F80;
    __asm__ volatile("fldcw %0" : : "m"(controlWord));
    __asm__ volatile("ldmxcsr %0" : : "m"(mxcsr));
}
