// Start-up benchmark, run under Wine (scripts/bench-startup.sh) or on Windows: starts each exe in
// turn, in its own folder with a fresh copy of FOLDER/JWC_TEMP.TXT, and measures from process
// creation until a visible top-level window titled exactly 平行寸法線 exists; then closes it.
// Alternates the exes for a number of rounds and prints each one's median and its ratio to the
// first. usage: pardim-startup-bench ROUNDS FOLDER EXE...
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cwchar>
#include <filesystem>
#include <string>
#include <vector>

#include "JwwGaibu.h"

namespace fs = std::filesystem;

namespace {

const wchar_t Title[] = L"\x5E73\x884C\x5BF8\x6CD5\x7DDA";  // 平行寸法線

double Now() {
    LARGE_INTEGER count, frequency;
    QueryPerformanceCounter(&count);
    QueryPerformanceFrequency(&frequency);
    return static_cast<double>(count.QuadPart) / static_cast<double>(frequency.QuadPart);
}

// Seconds until the window shows, or a negative number when it did not within 30 s.
double TimeOneStart(const fs::path& exe, const fs::path& folder, const fs::path& input) {
    std::error_code ec;
    fs::create_directories(folder, ec);
    if (fs::exists(input)) {
        fs::copy_file(input, folder / input.filename(), fs::copy_options::overwrite_existing, ec);
    }
    const fs::path copy = folder / exe.filename();
    fs::copy_file(exe, copy, fs::copy_options::overwrite_existing, ec);
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process{};
    std::wstring commandLine = L"\"" + copy.wstring() + L"\"";
    const double start = Now();
    if (!CreateProcessW(copy.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr,
                        folder.c_str(), &startup, &process)) {
        return -1;
    }
    double shown = -1;
    HWND window = nullptr;
    while (Now() - start < 30) {
        window = FindWindowW(nullptr, Title);
        if (window && IsWindowVisible(window)) {
            shown = Now() - start;
            break;
        }
        Sleep(1);
    }
    if (window) PostMessageW(window, WM_CLOSE, 0, 0);
    if (WaitForSingleObject(process.hProcess, 10000) != WAIT_OBJECT_0) {
        TerminateProcess(process.hProcess, 1);
        WaitForSingleObject(process.hProcess, 5000);
    }
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    return shown;
}

double Median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    const size_t n = values.size();
    return n % 2 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    if (argc < 4) {
        std::fputs("usage: pardim-startup-bench ROUNDS FOLDER EXE...\n", stderr);
        return 2;
    }
    const int rounds = std::max(1, _wtoi(argv[1]));
    const fs::path folder = argv[2];
    const std::vector<fs::path> exes(argv + 3, argv + argc);
    std::vector<std::vector<double>> times(exes.size());
    for (int round = 0; round < rounds; ++round) {
        for (size_t i = 0; i < exes.size(); ++i) {
            const double t =
                TimeOneStart(exes[i], folder / std::to_wstring(i), folder / ExchangeFileName);
            if (t < 0) {
                std::fprintf(stderr, "bench: %ls showed no window\n", exes[i].c_str());
                return 1;
            }
            times[i].push_back(t);
            std::printf("round %d: %ls %.3f s\n", round + 1, exes[i].filename().c_str(), t);
            std::fflush(stdout);
        }
    }
    const double base = Median(times[0]);
    for (size_t i = 0; i < exes.size(); ++i) {
        const double median = Median(times[i]);
        std::printf("median %.3f s  %.2fx  %ls\n", median, median / base, exes[i].c_str());
    }
    return 0;
}
