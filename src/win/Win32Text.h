// The one crossing between the core's Shift-JIS texts and the UTF-16 of the Windows API. Code page
// 932 is named explicitly, so the dialog reads right on a Windows of any language.
#pragma once

#include <string>
#include <string_view>

std::wstring SjisToWide(std::string_view sjis);
// Characters that Shift-JIS holds under another Unicode code point keep their Shift-JIS form:
// the wave dash U+301C and the minus sign U+2212 that mail and web pages carry become 〜 and －,
// as the drafter sees them (and so do U+2016, U+2014, ¢, £, ¬ and ¥), on every system. Beyond
// those, Windows' best fit applies (Ø becomes O); a character without any Shift-JIS form, such as
// an emoji, becomes one '?'.
std::string WideToSjis(std::wstring_view wide);
