// Starts pardim.exe and reads and drives its dialog from another process, as a user would: window
// messages for clicks and keys, the dialog's own ids to find its controls.
#pragma once

#include <windows.h>

#include <cstdint>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

bool WaitUntil(const std::function<bool()>& condition, DWORD timeoutMs);

std::string ReadFileBytes(const std::filesystem::path& path);  // "" when missing
bool WriteFileBytes(const std::filesystem::path& path, const std::string& bytes);

std::wstring WindowText(HWND window);
bool SetClipboardText(const std::wstring& text);
std::wstring ClassName(HWND window);
RECT RectInParent(HWND window);  // in the client coordinates of its parent
std::vector<std::wstring> ComboItems(HWND combo);
std::string Utf8(const std::wstring& text);

// Runs a console program with one argument; its output goes to outputFile. -1 when it could not
// start or did not end in time.
int RunProgram(const std::filesystem::path& exe, const std::filesystem::path& argument,
               const std::filesystem::path& outputFile, DWORD timeoutMs);

// One run of pardim.exe in its own folder.
class TPardim {
public:
    // Copies exe into folder and starts it there; Dialog is null when no dialog showed up.
    TPardim(const std::filesystem::path& exe, const std::filesystem::path& folder,
            const std::wstring& arguments = L"");
    ~TPardim();  // ends a dialog that a failed test left open
    TPardim(const TPardim&) = delete;
    TPardim& operator=(const TPardim&) = delete;

    HWND Dialog = nullptr;
    HWND Item(int id) const { return GetDlgItem(Dialog, id); }
    HWND Focus() const;
    HWND FindMessageBox() const;  // a second dialog of the process, or null
    bool WaitForExit(DWORD timeoutMs) const;
    DWORD ExitCode() const;  // STILL_ACTIVE while it runs
    bool Running() const { return !WaitForExit(0); }
    std::vector<std::filesystem::path> LoadedModules() const;

    // Key presses go to the control that has the focus, through the dialog's message loop.
    void PressKey(UINT virtualKey) const;
    void PressAltKey(UINT virtualKey) const;
    void TypeChar(HWND control, wchar_t ch) const;
    void Click(HWND button) const;
    // Returns once the dialog has handled everything sent or posted to it so far.
    void Settle() const;

private:
    PROCESS_INFORMATION Process{};
};

// The pixels of a screen rectangle, as 0x00RRGGBB, rows top-down.
struct TCapture {
    int Width = 0;
    int Height = 0;
    std::vector<std::uint32_t> Pixels;

    std::uint32_t At(int x, int y) const { return Pixels[static_cast<size_t>(y * Width + x)]; }
    // The colour most pixels of the rectangle have.
    std::uint32_t Dominant(const RECT& rect) const;
    bool SaveBmp(const std::filesystem::path& path) const;
};

TCapture CaptureScreen(const RECT& rect);
