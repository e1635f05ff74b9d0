// Texts bound for one line of the host's file: the host ends a line at a CR or an LF, so a text
// that carried one would run its rest as a command.
#include "MyFunc.h"

namespace {

bool IsLineBreak(char c) { return c == '\r' || c == '\n'; }

}  // namespace

// No character of code page 932 has a second byte below 0x40, so a lead byte before a CR or LF
// starts a broken character, and on its own it would take the next byte as its partner: both
// go. A lead byte that ends the text goes too, or it would take the CR of the line end.
std::string DropLineBreaks(std::string_view text) {
    std::string result;
    result.reserve(text.size());
    for (std::size_t i = 0; i < text.size();) {
        if (IsLeadByte(static_cast<unsigned char>(text[i]))) {
            if (i + 1 < text.size() && !IsLineBreak(text[i + 1])) result.append(text.substr(i, 2));
            i += 2;
        } else {
            if (!IsLineBreak(text[i])) result += text[i];
            i += 1;
        }
    }
    return result;
}
