// Process, window and screen helpers of the end-to-end tests.
#include "WineDriver.h"

#include <psapi.h>

#include <algorithm>
#include <cstring>
#include <fstream>
#include <map>
#include <sstream>
#include <system_error>

namespace fs = std::filesystem;

bool WaitUntil(const std::function<bool()>& condition, DWORD timeoutMs) {
    const ULONGLONG end = GetTickCount64() + timeoutMs;
    for (;;) {
        if (condition()) return true;
        if (GetTickCount64() >= end) return false;
        Sleep(20);
    }
}

std::string ReadFileBytes(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream bytes;
    bytes << in.rdbuf();
    return bytes.str();
}

bool WriteFileBytes(const fs::path& path, const std::string& bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    return static_cast<bool>(out);
}

std::wstring WindowText(HWND window) {
    wchar_t buffer[4096] = {};
    DWORD_PTR length = 0;
    SendMessageTimeoutW(window, WM_GETTEXT, std::size(buffer), reinterpret_cast<LPARAM>(buffer),
                        SMTO_ABORTIFHUNG, 2000, &length);
    return std::wstring(buffer, std::min<size_t>(length, std::size(buffer) - 1));
}

std::wstring ClassName(HWND window) {
    wchar_t buffer[256] = {};
    return std::wstring(buffer, static_cast<size_t>(GetClassNameW(window, buffer, 256)));
}

RECT RectInParent(HWND window) {
    RECT rect{};
    GetWindowRect(window, &rect);
    MapWindowPoints(HWND_DESKTOP, GetParent(window), reinterpret_cast<POINT*>(&rect), 2);
    return rect;
}

std::vector<std::wstring> ComboItems(HWND combo) {
    std::vector<std::wstring> items;
    const auto count = SendMessageW(combo, CB_GETCOUNT, 0, 0);
    for (LRESULT i = 0; i < count; ++i) {
        wchar_t buffer[512] = {};
        SendMessageW(combo, CB_GETLBTEXT, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(buffer));
        items.emplace_back(buffer);
    }
    return items;
}

std::string Utf8(const std::wstring& text) {
    if (text.empty()) return {};
    const int size = static_cast<int>(text.size());
    const int count =
        WideCharToMultiByte(CP_UTF8, 0, text.data(), size, nullptr, 0, nullptr, nullptr);
    std::string utf8(static_cast<size_t>(count), '\0');
    WideCharToMultiByte(CP_UTF8, 0, text.data(), size, utf8.data(), count, nullptr, nullptr);
    return utf8;
}

int RunProgram(const fs::path& exe, const fs::path& argument, const fs::path& outputFile,
               DWORD timeoutMs) {
    SECURITY_ATTRIBUTES inherit{sizeof inherit, nullptr, TRUE};
    HANDLE output = CreateFileW(outputFile.c_str(), GENERIC_WRITE, FILE_SHARE_READ, &inherit,
                                CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (output == INVALID_HANDLE_VALUE) return -1;
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdOutput = output;
    startup.hStdError = output;
    startup.hStdInput = GetStdHandle(STD_INPUT_HANDLE);
    std::wstring commandLine = L"\"" + exe.wstring() + L"\" \"" + argument.wstring() + L"\"";
    PROCESS_INFORMATION process{};
    const BOOL started = CreateProcessW(exe.c_str(), commandLine.data(), nullptr, nullptr, TRUE, 0,
                                        nullptr, nullptr, &startup, &process);
    CloseHandle(output);
    if (!started) return -1;
    DWORD exitCode = static_cast<DWORD>(-1);
    if (WaitForSingleObject(process.hProcess, timeoutMs) == WAIT_OBJECT_0) {
        GetExitCodeProcess(process.hProcess, &exitCode);
    } else {
        TerminateProcess(process.hProcess, 1);
    }
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    return static_cast<int>(exitCode);
}

namespace {

struct TFindDialog {
    DWORD ProcessId;
    HWND Except;
    HWND Found;
};

BOOL CALLBACK FindDialogProc(HWND window, LPARAM param) {
    auto* find = reinterpret_cast<TFindDialog*>(param);
    DWORD processId = 0;
    GetWindowThreadProcessId(window, &processId);
    if (processId == find->ProcessId && window != find->Except && IsWindowVisible(window) &&
        ClassName(window) == L"#32770") {
        find->Found = window;
        return FALSE;
    }
    return TRUE;
}

HWND FindProcessDialog(DWORD processId, HWND except) {
    TFindDialog find{processId, except, nullptr};
    EnumWindows(FindDialogProc, reinterpret_cast<LPARAM>(&find));
    return find.Found;
}

LPARAM KeyParam(UINT virtualKey, bool up, bool alt) {
    const auto scan = static_cast<LPARAM>(MapVirtualKeyW(virtualKey, MAPVK_VK_TO_VSC));
    LPARAM param = 1 | (scan << 16);
    if (alt) param |= 1 << 29;
    if (up) param |= (1LL << 30) | (1LL << 31);
    return param;
}

}  // namespace

TPardim::TPardim(const fs::path& exe, const fs::path& folder, const std::wstring& arguments) {
    std::error_code ec;
    fs::create_directories(folder, ec);
    const fs::path copy = folder / exe.filename();
    fs::copy_file(exe, copy, fs::copy_options::overwrite_existing, ec);
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    std::wstring commandLine = L"\"" + copy.wstring() + L"\"";
    if (!arguments.empty()) commandLine += L" " + arguments;
    if (!CreateProcessW(copy.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr,
                        folder.c_str(), &startup, &Process)) {
        Process = {};
        return;
    }
    WaitForInputIdle(Process.hProcess, 10000);
    WaitUntil(
        [&] {
            Dialog = FindProcessDialog(Process.dwProcessId, nullptr);
            return Dialog != nullptr || !Running();
        },
        20000);
    if (Dialog) Settle();
}

TPardim::~TPardim() {
    if (!Process.hProcess) return;
    if (Running()) TerminateProcess(Process.hProcess, 1);
    WaitForExit(5000);
    CloseHandle(Process.hThread);
    CloseHandle(Process.hProcess);
}

std::vector<fs::path> TPardim::LoadedModules() const {
    HMODULE modules[1024];
    DWORD bytes = 0;
    if (!EnumProcessModules(Process.hProcess, modules, sizeof modules, &bytes)) return {};
    std::vector<fs::path> paths;
    for (DWORD i = 0; i < bytes / sizeof(HMODULE) && i < std::size(modules); ++i) {
        wchar_t path[MAX_PATH] = {};
        if (GetModuleFileNameExW(Process.hProcess, modules[i], path, MAX_PATH)) {
            paths.emplace_back(path);
        }
    }
    return paths;
}

HWND TPardim::Focus() const {
    GUITHREADINFO info{};
    info.cbSize = sizeof info;
    return GetGUIThreadInfo(Process.dwThreadId, &info) ? info.hwndFocus : nullptr;
}

HWND TPardim::FindMessageBox() const { return FindProcessDialog(Process.dwProcessId, Dialog); }

bool TPardim::WaitForExit(DWORD timeoutMs) const {
    return !Process.hProcess || WaitForSingleObject(Process.hProcess, timeoutMs) == WAIT_OBJECT_0;
}

DWORD TPardim::ExitCode() const {
    DWORD code = STILL_ACTIVE;
    if (Process.hProcess) GetExitCodeProcess(Process.hProcess, &code);
    return code;
}

void TPardim::PressKey(UINT virtualKey) const {
    HWND target = Focus();
    PostMessageW(target, WM_KEYDOWN, virtualKey, KeyParam(virtualKey, false, false));
    PostMessageW(target, WM_KEYUP, virtualKey, KeyParam(virtualKey, true, false));
    Settle();
}

void TPardim::PressAltKey(UINT virtualKey) const {
    HWND target = Focus();
    PostMessageW(target, WM_SYSKEYDOWN, virtualKey, KeyParam(virtualKey, false, true));
    PostMessageW(target, WM_SYSKEYUP, virtualKey, KeyParam(virtualKey, true, true));
    Settle();
}

void TPardim::TypeChar(HWND control, wchar_t ch) const {
    PostMessageW(control, WM_CHAR, ch, 1);
    Settle();
}

void TPardim::Click(HWND button) const {
    PostMessageW(button, BM_CLICK, 0, 0);
    Settle();
}

// Posted messages are handled in order within a few milliseconds of an idle loop; the sent
// message then makes sure the loop is running and not stuck in a handler.
void TPardim::Settle() const {
    Sleep(150);
    if (Dialog && IsWindow(Dialog)) {
        DWORD_PTR result = 0;
        SendMessageTimeoutW(Dialog, WM_NULL, 0, 0, SMTO_ABORTIFHUNG, 2000, &result);
    }
}

std::uint32_t TCapture::Dominant(const RECT& rect) const {
    std::map<std::uint32_t, int> counts;
    for (int y = std::max(0L, rect.top); y < std::min<LONG>(Height, rect.bottom); ++y) {
        for (int x = std::max(0L, rect.left); x < std::min<LONG>(Width, rect.right); ++x) {
            ++counts[At(x, y)];
        }
    }
    std::uint32_t best = 0;
    int bestCount = -1;
    for (const auto& [colour, count] : counts) {
        if (count > bestCount) {
            best = colour;
            bestCount = count;
        }
    }
    return best;
}

bool TCapture::SaveBmp(const fs::path& path) const {
    BITMAPFILEHEADER file{};
    BITMAPINFOHEADER info{};
    info.biSize = sizeof info;
    info.biWidth = Width;
    info.biHeight = -Height;  // top-down
    info.biPlanes = 1;
    info.biBitCount = 32;
    info.biCompression = BI_RGB;
    const auto imageBytes = static_cast<DWORD>(Pixels.size() * 4);
    file.bfType = 0x4D42;  // "BM"
    file.bfOffBits = sizeof file + sizeof info;
    file.bfSize = file.bfOffBits + imageBytes;
    std::string bytes(reinterpret_cast<const char*>(&file), sizeof file);
    bytes.append(reinterpret_cast<const char*>(&info), sizeof info);
    bytes.append(reinterpret_cast<const char*>(Pixels.data()), imageBytes);
    return WriteFileBytes(path, bytes);
}

TCapture CaptureScreen(const RECT& rect) {
    TCapture capture;
    capture.Width = rect.right - rect.left;
    capture.Height = rect.bottom - rect.top;
    if (capture.Width <= 0 || capture.Height <= 0) return {};
    capture.Pixels.resize(static_cast<size_t>(capture.Width * capture.Height));
    HDC screen = GetDC(nullptr);
    HDC memory = CreateCompatibleDC(screen);
    HBITMAP bitmap = CreateCompatibleBitmap(screen, capture.Width, capture.Height);
    HGDIOBJ old = SelectObject(memory, bitmap);
    BitBlt(memory, 0, 0, capture.Width, capture.Height, screen, rect.left, rect.top, SRCCOPY);
    SelectObject(memory, old);
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = capture.Width;
    info.bmiHeader.biHeight = -capture.Height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    GetDIBits(memory, bitmap, 0, static_cast<UINT>(capture.Height), capture.Pixels.data(), &info,
              DIB_RGB_COLORS);
    for (auto& pixel : capture.Pixels) pixel &= 0x00FFFFFF;
    DeleteObject(bitmap);
    DeleteDC(memory);
    ReleaseDC(nullptr, screen);
    return capture;
}

bool SetClipboardText(const std::wstring& text) {
    if (!OpenClipboard(nullptr)) return false;
    EmptyClipboard();
    const size_t bytes = (text.size() + 1) * sizeof(wchar_t);
    HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE, bytes);
    bool ok = false;
    if (memory) {
        if (void* target = GlobalLock(memory)) {
            std::memcpy(target, text.c_str(), bytes);
            GlobalUnlock(memory);
            ok = SetClipboardData(CF_UNICODETEXT, memory) != nullptr;
        }
        if (!ok) GlobalFree(memory);
    }
    CloseClipboard();
    return ok;
}
