// The one crossing between the core's Shift-JIS texts and the UTF-16 of the Windows API. Code page
// 932 is named explicitly, so the dialog reads right on a Windows of any language.
#pragma once

#include <string>
#include <string_view>

std::wstring SjisToWide(std::string_view sjis);
// Characters without a Shift-JIS form become '?'.
std::string WideToSjis(std::wstring_view wide);
