// The faults that faults/pardim.exe plants, chosen by its command line:
//   refuse:CLASS  the system refuses to create a top-level window of that class ("#32770" is the
//                 dialog), as when the session is out of window handles or desktop heap;
//   throw:ok      OK throws once it has emitted every command, as the status line turns to
//                 "writing the file";
//   throw:close   the first rename of the exchange file throws, inside the close;
//   fpu:status    the status line's update leaves the x87 at 53 bits and SSE rounding toward
//                 zero, as code that Windows runs in our process may (planted in our own frame:
//                 Wine undoes such a change made inside a callback from user32 when the call
//                 returns, which Windows does not promise for 32-bit code);
//   hold:temp     another handle holds our finished temporary for 200 ms when it is renamed;
//   hold:target   the same for the file it replaces;
//   fpu:rename    the rename of pardim.dat, between the checks and the computation of OK, leaves
//                 the x87 at 53 bits and SSE rounding toward zero, as a security product's hook
//                 of the file functions may;
//   pending:temp  making a folder under a name that exists is refused with "access denied", as
//                 Windows answers for a temporary folder whose deletion is still pending;
//   terminate:throw, terminate:direct
//                 an exception that nothing catches leaves the entry before any window exists, or
//                 the start-up calls std::terminate itself; abort() shows the C runtime's
//                 "Runtime Error!" box first, as Windows' msvcrt does in a window program and
//                 Wine's does not (planted as the SIGABRT handler, which abort() raises);
//   page:URL      the information strip shows URL instead of the built-in address;
//   contrast:high the system reports high contrast (Wine's SPI_GETHIGHCONTRAST never does);
//   log:windows   every window the thread creates is logged by class into windows.log beside
//                 the exe, which is made empty first (polling from outside can miss a short one).
// The fault may follow a switch of the tool's own: "/quick log:windows".
#include <windows.h>

#include "TestFaults.h"

#include <algorithm>
#include <csignal>
#include <exception>
#include <stdexcept>
#include <string>

#include "Boundary.h"
#include "ControlIds.h"
#include "Files.h"
#include "FilesSeam.h"
#include "ReplaceFile.h"
#include "Unit1.h"

namespace {

std::wstring Fault;     // the part before the colon
std::wstring Argument;  // the part after it

LRESULT RefuseWindow(int code, WPARAM wParam, LPARAM lParam) {
    if (code == HCBT_CREATEWND) {
        wchar_t name[64] = {};
        GetClassNameW(reinterpret_cast<HWND>(wParam), name, 64);
        if (Argument == name) return 1;
    }
    return CallNextHookEx(nullptr, code, wParam, lParam);
}

bool IsExchangeFile(const TPath& path) {
    return lstrcmpiW(path.FileName().c_str(), L"JWC_TEMP.TXT") == 0;
}

bool ThrowOnFirstExchangeRename(const TPath& from, const TPath& to) {
    static bool thrown = false;
    if (IsExchangeFile(to) && !thrown) {
        thrown = true;
        throw std::runtime_error("the exchange file's rename failed");
    }
    return RenameFileOver(from, to);
}

DWORD CloseAfter200Ms(void* held) {
    Sleep(200);
    CloseHandle(static_cast<HANDLE>(held));
    return 0;
}

// Opens the file without sharing and closes it 200 ms later from another thread; leaves a marker
// beside the target when the rename would have gone through at once, which would prove nothing.
bool RenameWhileHeld(const TPath& from, const TPath& to) {
    const TPath& held = Argument == L"temp" ? from : to;
    HANDLE handle = CreateFileW(held.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    if (handle == INVALID_HANDLE_VALUE) return RenameFileOver(from, to);
    HANDLE release = CreateThread(nullptr, 0, AtBoundary<CloseAfter200Ms>, handle, 0, nullptr);
    if (!release) CloseHandle(handle);
    bool renamed = MoveFileExW(from.c_str(), to.c_str(), MOVEFILE_REPLACE_EXISTING);
    if (renamed) {
        const TPath marker = to + ".not-held";
        CloseHandle(
            CreateFileW(marker.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr));
    } else {
        renamed = RenameFileOver(from, to);
    }
    if (release) {
        WaitForSingleObject(release, INFINITE);
        CloseHandle(release);
    }
    return renamed;
}

// What code that Windows runs in our process may leave behind: the x87 at 53 bits, SSE rounding
// toward zero.
void LoadForeignFpuState() {
    const unsigned short x87At53Bits = 0x027F;
    const unsigned int sseTowardZero = 0x7F80;
    __asm__ volatile("fldcw %0" : : "m"(x87At53Bits));
    __asm__ volatile("ldmxcsr %0" : : "m"(sseTowardZero));
}

bool RenameAfterChangingFpu(const TPath& from, const TPath& to) {
    if (lstrcmpiW(to.FileName().c_str(), L"pardim.dat") == 0) {
        LoadForeignFpuState();
    }
    return RenameFileOver(from, to);
}

bool CreateFolderPendingDeletion(const wchar_t* name) {
    if (CreateDirectoryW(name, nullptr)) return true;
    if (GetLastError() == ERROR_ALREADY_EXISTS) SetLastError(ERROR_ACCESS_DENIED);
    return false;
}

// Where LogWindow writes. The hook is the thread's: the tool makes every window on its one thread.
HANDLE WindowLog = INVALID_HANDLE_VALUE;

LRESULT LogWindow(int code, WPARAM wParam, LPARAM lParam) {
    if (code == HCBT_CREATEWND) {
        char name[64] = {};
        GetClassNameA(reinterpret_cast<HWND>(wParam), name, 63);
        lstrcatA(name, "\r\n");
        DWORD written = 0;
        WriteFile(WindowLog, name, static_cast<DWORD>(lstrlenA(name)), &written, nullptr);
    }
    return CallNextHookEx(nullptr, code, wParam, lParam);
}

void StartWindowLog() {
    wchar_t exe[MAX_PATH] = {};
    GetModuleFileNameW(nullptr, exe, MAX_PATH);
    std::wstring log = exe;
    log = log.substr(0, log.find_last_of(L'\\') + 1) + L"windows.log";
    WindowLog = CreateFileW(log.c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr, CREATE_ALWAYS, 0,
                            nullptr);
    SetWindowsHookExW(WH_CBT, AtBoundary<LogWindow>, nullptr, GetCurrentThreadId());
}

void ShowRuntimeErrorBox(int) {
    MessageBoxW(nullptr, L"abnormal program termination", L"Runtime Error!",
                MB_OK | MB_ICONERROR | MB_TASKMODAL);
}

}  // namespace

void StartFaults(const wchar_t* commandLine) {
    std::wstring line = commandLine ? commandLine : L"";
    if (!line.empty() && line[0] == L'/') {  // the tool's own switch comes first
        line.erase(0, std::min(line.find_first_not_of(L' ', line.find(L' ')), line.size()));
    }
    const size_t colon = line.find(L':');
    Fault = line.substr(0, colon);
    Argument = colon == std::wstring::npos ? L"" : line.substr(colon + 1);
    if (Fault == L"refuse") {
        SetWindowsHookExW(WH_CBT, AtBoundary<RefuseWindow>, nullptr, GetCurrentThreadId());
    } else if (Fault == L"throw" && Argument == L"close") {
        SetRenameOver(ThrowOnFirstExchangeRename);
    } else if (Fault == L"hold") {
        SetRenameOver(RenameWhileHeld);
    } else if (Fault == L"fpu" && Argument == L"rename") {
        SetRenameOver(RenameAfterChangingFpu);
    } else if (Fault == L"pending") {
        SetCreateFolderCall(CreateFolderPendingDeletion);
    } else if (Fault == L"terminate") {
        std::signal(SIGABRT, ShowRuntimeErrorBox);
    }
    if (Fault == L"terminate" && Argument == L"throw") {
        throw std::runtime_error("nothing catches this");
    } else if (Fault == L"terminate" && Argument == L"direct") {
        std::terminate();
    } else if (Fault == L"log" && Argument == L"windows") {
        StartWindowLog();
    }
}

void FaultOnStatus(const std::string& sjis) {
    if (Fault == L"throw" && Argument == L"ok" && sjis == StatusWriting) {
        throw std::runtime_error("OK failed after its last command");
    }
    if (Fault == L"fpu" && Argument == L"status") {
        LoadForeignFpuState();
    }
}

void FaultOnInfoPage(std::wstring& url) {
    if (Fault == L"page") url = Argument;
}

void FaultOnHighContrast(bool& on) {
    if (Fault == L"contrast" && Argument == L"high") on = true;
}
