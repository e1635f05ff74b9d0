// Starting the tool as the host would (the exe under Wine through scripts/wine.sh, or
// pardim-batch), with the keys a user presses in the dialog, and the file read back afterwards.
#include "HostRun.h"

#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <optional>
#include <sstream>
#include <thread>
#include <utility>
#include <vector>

#include "BatchRun.h"
#include "HostDraw.h"
#include "HostFiles.h"
#include "HostText.h"
#include "Unit1.h"

namespace fs = std::filesystem;

namespace {

constexpr char SettingsName[] = "pardim.dat";
constexpr char ToolName[] = "pardim.exe";

using namespace std::chrono_literals;

struct TEnv {
    std::vector<std::pair<std::string, std::string>> Set;
    std::vector<std::string> Unset;
};

// Starts a program in its own process group, so that a stuck run can be ended as a whole.
pid_t Spawn(const std::vector<std::string>& argv, const TEnv& env, const fs::path& cwd, int outFd,
            int errFd) {
    std::vector<char*> args;
    for (const std::string& a : argv) args.push_back(const_cast<char*>(a.c_str()));
    args.push_back(nullptr);
    const pid_t pid = fork();
    if (pid != 0) return pid;
    setpgid(0, 0);
    if (!cwd.empty() && chdir(cwd.c_str()) != 0) _exit(127);
    for (const auto& [name, value] : env.Set) setenv(name.c_str(), value.c_str(), 1);
    for (const std::string& name : env.Unset) unsetenv(name.c_str());
    if (outFd >= 0) dup2(outFd, STDOUT_FILENO);
    if (errFd >= 0) dup2(errFd, STDERR_FILENO);
    execvp(args[0], args.data());
    _exit(127);
}

int ExitCode(int status) {
    if (WIFEXITED(status)) return WEXITSTATUS(status);
    return 128 + (WIFSIGNALED(status) ? WTERMSIG(status) : 0);
}

// The exit code, or nothing when the process still runs after the timeout (negative: forever).
std::optional<int> WaitExit(pid_t pid, std::chrono::milliseconds timeout) {
    const auto end = std::chrono::steady_clock::now() + timeout;
    for (;;) {
        int status = 0;
        const pid_t done = waitpid(pid, &status, timeout.count() < 0 ? 0 : WNOHANG);
        if (done == pid) return ExitCode(status);
        if (done < 0) return -1;
        if (std::chrono::steady_clock::now() >= end) return std::nullopt;
        std::this_thread::sleep_for(50ms);
    }
}

// What a program writes to stdout.
std::string Capture(const std::vector<std::string>& argv, const TEnv& env, int errFd,
                    const fs::path& cwd, int& exitCode) {
    exitCode = -1;
    int fds[2];
    if (pipe2(fds, O_CLOEXEC) != 0) return {};  // the write end reaches the child as stdout only
    const pid_t pid = Spawn(argv, env, cwd, fds[1], errFd);
    close(fds[1]);
    std::string out;
    char buffer[4096];
    for (ssize_t n; (n = read(fds[0], buffer, sizeof buffer)) > 0;) out.append(buffer, n);
    close(fds[0]);
    if (pid > 0) exitCode = WaitExit(pid, -1ms).value_or(-1);
    return out;
}

// The run's files as bytes; a file that cannot be read reads as empty.
std::string ReadBytesOrEmpty(const fs::path& path) {
    std::string bytes, error;
    ReadWholeFile(path, bytes, error);
    return bytes;
}

// False when the file could not be written.
bool TryWriteBytes(const fs::path& path, std::string_view bytes) {
    std::string error;
    return WriteWholeFile(path, bytes, error);
}

// ---- Wine and the virtual display ---------------------------------------------------------------

fs::path StandInCache() {
    if (const char* cache = std::getenv("XDG_CACHE_HOME"); cache && *cache) {
        return fs::path(cache) / "pardim-host";
    }
    const char* home = std::getenv("HOME");
    return fs::path(home && *home ? home : "/tmp") / ".cache" / "pardim-host";
}

// Whether this machine can run exe under Wine, as scripts/wine.sh decides it (a 32-bit exe needs
// a machine that runs 32-bit programs), and has what an unattended run needs; false with the
// script's own message.
bool CanRunUnderWine(const fs::path& exe, bool autoMode, std::string& error) {
    int code = -1;
    const std::string out = Capture({"bash", "-c", "exec bash \"$0\" env \"$1\" $2 2>&1",
                                     PARDIM_WINE_SCRIPT, exe.string(), autoMode ? "auto" : ""},
                                    {}, -1, {}, code);
    if (code == 0) return true;
    std::istringstream lines(out);
    for (std::string line; std::getline(lines, line);) {
        if (!line.empty()) error = line;
    }
    if (error.empty()) error = "scripts/wine.sh env failed (exit " + std::to_string(code) + ")";
    return false;
}

// True when the program is found on PATH, as execvp would find it.
bool OnPath(const std::string& program) {
    const char* path = std::getenv("PATH");
    std::istringstream dirs(path ? path : "");
    for (std::string dir; std::getline(dirs, dir, ':');) {
        if (!dir.empty() && access((fs::path(dir) / program).c_str(), X_OK) == 0) return true;
    }
    return false;
}

// ---- the run ------------------------------------------------------------------------------------

int RunBatch(const TRunRequest& request, std::string& error) {
    int code = -1;
    const std::string out =
        Capture({request.Batch.string(), request.Dir.string()}, {}, -1, {}, code);
    if (code != 0) {
        error = request.Batch.string() + " failed (exit " + std::to_string(code) + ")";
        return 2;
    }
    std::printf("pardim-batch: %s", out.c_str());
    return 0;
}

// The exe under Wine, as scripts/wine.sh runs it; Wine's messages go to the stand-in's log.
int RunExe(const TRunRequest& request, bool autoMode, bool haveSettings, std::string& error) {
    const fs::path cache = StandInCache();
    // The same prefix serves both loaders: either makes a 64-bit one, which runs 32-bit exes as
    // Windows does.
    const fs::path prefix = request.WinePrefix.empty() ? cache / "wine-prefix" : request.WinePrefix;
    std::error_code ec;
    fs::create_directories(cache, ec);
    std::vector<std::string> argv = {"bash", PARDIM_WINE_SCRIPT, "run"};
    if (request.Quick) argv.insert(argv.end(), {"--arg", "/quick"});
    argv.insert(argv.end(),
                {prefix.string(), (request.Dir / ToolName).string(), autoMode ? "auto" : "show",
                 std::to_string(request.TimeoutSeconds), (cache / "last-run.log").string()});
    // Without saved settings the text type list has no selection: the first Enter only moves the
    // focus there, two Down arrows pick No1 below the host's current type, and the second Enter
    // is OK. A quick run opens the dialog only then, with the focus already there.
    for (const char* key : haveSettings
                               ? std::vector<const char*>{"Return"}
                               : std::vector<const char*>{"Return", "Down", "Down", "Return"}) {
        argv.emplace_back(key);
    }
    std::fflush(stdout);
    const pid_t pid = Spawn(argv, {}, {}, -1, -1);
    if (pid < 0 || WaitExit(pid, -1ms).value_or(-1) != 0) {
        error = "the run under Wine failed (see the message above and " +
                (cache / "last-run.log").string() + ")";
        return 2;
    }
    return 0;
}

void PrintOutcome(const fs::path& dir, const std::string& input) {
    std::error_code ec;
    const fs::path file = dir / ExchangeFileName;
    if (!fs::exists(file, ec)) {
        std::printf("outcome: nothing drawn (%s is missing)\n", ExchangeFileName);
        return;
    }
    const std::string bytes = ReadBytesOrEmpty(file);
    if (!DrawsNothing(bytes)) {
        std::printf("outcome: drawn\n");
    } else if (bytes == input) {
        std::printf("outcome: nothing drawn (%s is unchanged: the tool did not write it)\n",
                    ExchangeFileName);
    } else {
        std::printf("outcome: nothing drawn (the tool left hq)\n");
    }
    if (bytes == input) return;
    std::printf("commands:\n");
    std::istringstream lines(SjisToUtf8(bytes));
    for (std::string line; std::getline(lines, line);) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        std::printf("%s\n", line.c_str());
    }
}

}  // namespace

int RunTool(const TRunRequest& request, std::string& error) {
    std::error_code ec;
    const fs::path& dir = request.Dir;
    const fs::path exchange = dir / ExchangeFileName;
    std::string input;
    if (!fs::is_directory(dir, ec)) {
        error = dir.string() + (fs::exists(dir, ec) ? " is not a folder" : " is missing");
        return 2;
    }
    if (!fs::exists(exchange, ec)) {
        error = exchange.string() + " is missing; write it first (pardim-host write)";
        return 2;
    }
    if (!ReadWholeFile(exchange, input, error)) return 2;
    // The host writes a fresh file for every run; an earlier run's output is not one.
    if (input.substr(0, input.find_first_of("\r\n")) != "hq" ||
        input.find('\n') == std::string::npos || input.find('\n') + 1 >= input.size()) {
        error = exchange.string() +
                " is not the host's input (it may be an earlier run's output); write it again";
        return 2;
    }
    const bool batch = !request.Batch.empty();
    if (batch && (request.Mode != TRunMode::Default || request.Quick)) {
        error = "--show, --auto and --quick are for the exe, not for --batch";
        return 2;
    }
    // The exe is copied; pardim-batch is started as execvp would, a bare name found on PATH.
    const fs::path& program = batch ? request.Batch : request.Exe;
    const bool found =
        batch && !program.has_parent_path()
            ? OnPath(program.string())
            : fs::is_regular_file(program, ec) && access(program.c_str(), batch ? X_OK : R_OK) == 0;
    if (!program.empty() && !found) {
        error = program.string() + " not found";
        return 2;
    }
    if (!batch && request.Exe.empty() && !fs::is_regular_file(dir / ToolName, ec)) {
        error = (dir / ToolName).string() + " is missing; give --exe or --batch";
        return 2;
    }
    const char* displayEnv = std::getenv("DISPLAY");
    const bool haveDisplay = displayEnv && *displayEnv;
    const bool autoMode =
        request.Mode == TRunMode::Auto || (request.Mode == TRunMode::Default && !haveDisplay);
    if (!batch && !autoMode && !haveDisplay) {
        error = "--show needs a display (DISPLAY is not set); use --auto";
        return 2;
    }
    if (!batch) {
        // Whether this machine runs the exe at all (a 32-bit one needs 32-bit programs), and has
        // the display and the keyboard of an unattended run.
        if (!CanRunUnderWine(request.Exe.empty() ? dir / ToolName : request.Exe, autoMode, error)) {
            return 2;
        }
    }

    // The host's file as it was, for draw and for telling an untouched file from the tool's.
    if (!TryWriteBytes(dir / InputCopyName, input)) {
        error = "could not write " + (dir / InputCopyName).string();
        return 2;
    }
    if (!request.Exe.empty() && !fs::equivalent(request.Exe, dir / ToolName, ec)) {
        fs::copy_file(request.Exe, dir / ToolName, fs::copy_options::overwrite_existing, ec);
        if (ec) {
            error = "could not copy " + request.Exe.string() + " into " + dir.string();
            return 2;
        }
    }
    const bool haveSettings = fs::exists(dir / SettingsName, ec);
    if (batch && !haveSettings) {
        // pardim-batch presses OK without touching the dialog; a user would pick a text type.
        (void)SaveDefaultSettings(dir / SettingsName);  // the tool then runs without them
        std::printf("settings: none yet; saved the dialog's defaults with text type No1\n");
    } else if (!haveSettings && autoMode) {
        std::printf("settings: none yet; text type No1 will be chosen in the dialog\n");
    }
    std::fflush(stdout);

    const int status =
        batch ? RunBatch(request, error) : RunExe(request, autoMode, haveSettings, error);
    if (status != 0) return status;
    PrintOutcome(dir, input);
    return DrawsNothing(ReadBytesOrEmpty(dir / ExchangeFileName)) ? 1 : 0;
}
