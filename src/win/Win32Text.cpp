// Shift-JIS <-> UTF-16 through the system's code page 932 tables.
#include <windows.h>

#include "Win32Text.h"

namespace {

constexpr UINT ShiftJis = 932;

// Characters of JIS X 0208 that Unicode holds twice: mail, web pages and other systems give the
// first form, code page 932 holds the second. Windows' best fit maps them so; Wine's tables do
// not, so the mapping is ours on every system.
constexpr struct {
    wchar_t From;
    wchar_t To;
} JisForms[] = {
    {L'\u301C', L'\uFF5E'},  // wave dash: ～
    {L'\u2212', L'\uFF0D'},  // minus sign: －
    {L'\u2016', L'\u2225'},  // double vertical line: ∥
    {L'\u2014', L'\u2015'},  // em dash: ―
    {L'\u00A2', L'\uFFE0'},  // cent sign: ￠
    {L'\u00A3', L'\uFFE1'},  // pound sign: ￡
    {L'\u00AC', L'\uFFE2'},  // not sign: ￢
    {L'\u00A5', L'\u005C'},  // yen sign: the byte that Japanese fonts draw as ¥
};

bool IsHighSurrogate(wchar_t c) { return c >= 0xD800 && c <= 0xDBFF; }
bool IsLowSurrogate(wchar_t c) { return c >= 0xDC00 && c <= 0xDFFF; }

// The text with the JIS forms above in code page 932's places, and each character beyond the
// 16-bit range (a surrogate pair, as an emoji is) as one '?': Shift-JIS has none of them, and
// systems differ in whether such a pair gives one '?' or two.
std::wstring InCodePage932Forms(std::wstring_view wide) {
    std::wstring text;
    text.reserve(wide.size());
    for (std::size_t i = 0; i < wide.size(); ++i) {
        wchar_t c = wide[i];
        for (const auto& form : JisForms) {
            if (c == form.From) c = form.To;
        }
        if (IsHighSurrogate(c) || IsLowSurrogate(c)) {
            if (IsHighSurrogate(c) && i + 1 < wide.size() && IsLowSurrogate(wide[i + 1])) ++i;
            c = L'?';
        }
        text.push_back(c);
    }
    return text;
}

}  // namespace

std::wstring SjisToWide(std::string_view sjis) {
    if (sjis.empty()) return {};
    const int size = static_cast<int>(sjis.size());
    const int count = MultiByteToWideChar(ShiftJis, 0, sjis.data(), size, nullptr, 0);
    std::wstring wide(static_cast<size_t>(count), L'\0');
    MultiByteToWideChar(ShiftJis, 0, sjis.data(), size, wide.data(), count);
    return wide;
}

std::string WideToSjis(std::wstring_view wide) {
    if (wide.empty()) return {};
    const std::wstring text = InCodePage932Forms(wide);
    const int size = static_cast<int>(text.size());
    const int count =
        WideCharToMultiByte(ShiftJis, 0, text.data(), size, nullptr, 0, nullptr, nullptr);
    std::string sjis(static_cast<size_t>(count), '\0');
    WideCharToMultiByte(ShiftJis, 0, text.data(), size, sjis.data(), count, nullptr, nullptr);
    return sjis;
}
