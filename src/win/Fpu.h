// The x87 state that the long double intermediates of the construction need, set by each
// Windows entry point before anything is computed.
#pragma once

// 64-bit precision, round to nearest, every exception masked (control word 0x037F).
void SetExtendedPrecision();
