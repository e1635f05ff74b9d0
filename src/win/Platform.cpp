#include <windows.h>

#include "Platform.h"

#include "Fpu.h"
#include "ReplaceFile.h"

namespace {

constexpr ULONGLONG RetryForMs = 1000;

bool HeldByAnotherHandle(DWORD error) {
    return error == ERROR_SHARING_VIOLATION || error == ERROR_LOCK_VIOLATION ||
           error == ERROR_ACCESS_DENIED;
}

}  // namespace

bool RenameWithRetry(const std::filesystem::path& from, const std::filesystem::path& to) {
    const ULONGLONG start = GetTickCount64();
    DWORD pauseMs = 5;
    for (;;) {
        if (MoveFileExW(from.c_str(), to.c_str(), MOVEFILE_REPLACE_EXISTING)) return true;
        if (!HeldByAnotherHandle(GetLastError()) || GetTickCount64() - start >= RetryForMs) {
            return false;
        }
        Sleep(pauseMs);
        pauseMs = pauseMs < 80 ? pauseMs * 2 : 100;
    }
}

void PreparePlatform() {
    SetExtendedPrecision();  // first: every long double intermediate depends on it
    SetRenameOver(RenameWithRetry);
}
