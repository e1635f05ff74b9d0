// Shift-JIS <-> UTF-16 through the system's code page 932 tables.
#include <windows.h>

#include "Win32Text.h"

namespace {
constexpr UINT ShiftJis = 932;
}

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
    const int size = static_cast<int>(wide.size());
    const int count =
        WideCharToMultiByte(ShiftJis, 0, wide.data(), size, nullptr, 0, nullptr, nullptr);
    std::string sjis(static_cast<size_t>(count), '\0');
    WideCharToMultiByte(ShiftJis, 0, wide.data(), size, sjis.data(), count, nullptr, nullptr);
    return sjis;
}
