// Start-up benchmark, run under Wine (scripts/bench-startup.sh) or on Windows: starts each exe in
// turn, in its own folder with a fresh copy of FOLDER/JWC_TEMP.TXT, and measures from process
// creation until a visible top-level window titled exactly 平行寸法線 exists; then closes it.
// Alternates the exes for a number of rounds and prints each one's median with its quartiles and
// range, then each exe against the first and against the one before it: the ratio of the medians,
// and the median and quartiles of the ratios within a round (the exes of a round ran under the
// same load). usage: pardim-startup-bench ROUNDS FOLDER EXE...
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cwchar>
#include <filesystem>
#include <iterator>
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

// The started process's visible top-level window with the title, if it has one yet. Another
// process's window of the same title (one still closing, say) is not it.
struct TSearch {
    DWORD Process;
    HWND Found = nullptr;
};

BOOL CALLBACK FindShownWindow(HWND window, LPARAM lParam) {
    auto* search = reinterpret_cast<TSearch*>(lParam);
    DWORD process = 0;
    GetWindowThreadProcessId(window, &process);
    if (process != search->Process || !IsWindowVisible(window)) return TRUE;
    wchar_t title[std::size(Title) + 1] = {};
    GetWindowTextW(window, title, static_cast<int>(std::size(title)));
    if (std::wcscmp(title, Title) != 0) return TRUE;
    search->Found = window;
    return FALSE;
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
        TSearch search{process.dwProcessId};
        EnumWindows(FindShownWindow, reinterpret_cast<LPARAM>(&search));
        if ((window = search.Found)) {
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

// The value below which a share q of the values lie, between neighbours where it falls between.
double Quantile(std::vector<double> values, double q) {
    std::sort(values.begin(), values.end());
    const double at = q * static_cast<double>(values.size() - 1);
    const auto below = static_cast<size_t>(at);
    const size_t above = std::min(below + 1, values.size() - 1);
    return values[below] + (values[above] - values[below]) * (at - static_cast<double>(below));
}

double Median(const std::vector<double>& values) { return Quantile(values, 0.5); }

std::wstring Name(const fs::path& exe) { return exe.filename().wstring(); }

// One exe against another: the ratio of their medians, and the ratios round by round.
void PrintRatio(const std::vector<double>& over, const fs::path& overExe,
                const std::vector<double>& under, const fs::path& underExe) {
    std::vector<double> ratios;
    for (size_t round = 0; round < over.size(); ++round) {
        ratios.push_back(over[round] / under[round]);
    }
    std::printf("ratio %.2fx  per round %.2fx (quartiles %.2f-%.2f)  %ls / %ls\n",
                Median(over) / Median(under), Median(ratios), Quantile(ratios, 0.25),
                Quantile(ratios, 0.75), Name(overExe).c_str(), Name(underExe).c_str());
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
    for (size_t i = 0; i < exes.size(); ++i) {
        const std::vector<double>& t = times[i];
        std::printf("median %.3f s (quartiles %.3f-%.3f, range %.3f-%.3f)  %ls\n", Median(t),
                    Quantile(t, 0.25), Quantile(t, 0.75), Quantile(t, 0), Quantile(t, 1),
                    Name(exes[i]).c_str());
    }
    for (size_t i = 1; i < exes.size(); ++i) {
        PrintRatio(times[i], exes[i], times[0], exes[0]);
        if (i > 1) PrintRatio(times[i], exes[i], times[i - 1], exes[i - 1]);
    }
    return 0;
}
