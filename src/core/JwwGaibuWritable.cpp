// Which reals a command may carry: the host reads back what NumberText wrote, and a number it
// would read as infinity must never reach it.
#include <cmath>
#include <string_view>

#include "JwwGaibu.h"

// The largest doubles, from 1.797693134862315E308 up, round at 15 digits to this text, which
// lies beyond the largest double; it is the only such text NumberText can give.
bool IsWritableReal(double value) {
    constexpr std::string_view BeyondRange = "1.79769313486232E308";
    return std::isfinite(value) && !NumberText(value).ends_with(BeyondRange);
}
