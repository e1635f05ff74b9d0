// Faults of the file system for tests, made so that they bind root too: a test body run in a
// child as an ordinary user (and with a cap on file size), and a FIFO that ends early.
#pragma once

#include <fcntl.h>
#include <grp.h>
#include <gtest/gtest-spi.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <functional>
#include <string>

// "nobody", which Debian always has and which owns nothing of ours.
constexpr uid_t OrdinaryUid = 65534;
constexpr gid_t OrdinaryGid = 65534;

// Exit codes of the child: all passed, failures sent up the pipe.
constexpr int ChildPassed = 0;
constexpr int ChildFailed = 3;

inline void WriteAll(int fd, const std::string& bytes) {
    for (std::size_t done = 0; done < bytes.size();) {
        const ssize_t n = ::write(fd, bytes.data() + done, bytes.size() - done);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) return;
        done += static_cast<std::size_t>(n);
    }
}

// In the child: gives folder and everything in it to the ordinary user and becomes that user,
// so that rights are checked as they are for a user of the tool. "" when done, else why not.
inline std::string BecomeOrdinaryUser(const std::filesystem::path& folder) {
    if (::geteuid() != 0) return "";  // already bound by the rights
    std::error_code ec;
    if (::lchown(folder.c_str(), OrdinaryUid, OrdinaryGid) != 0) return "chown of the folder";
    for (const auto& entry : std::filesystem::recursive_directory_iterator(folder, ec)) {
        if (::lchown(entry.path().c_str(), OrdinaryUid, OrdinaryGid) != 0) return "chown";
    }
    if (ec) return "walk of the folder: " + ec.message();
    if (::setgroups(0, nullptr) != 0 || ::setgid(OrdinaryGid) != 0 || ::setuid(OrdinaryUid) != 0 ||
        ::geteuid() == 0) {
        return std::string("dropping root: ") + std::strerror(errno);
    }
    if (::access(folder.c_str(), X_OK) != 0) {
        return "uid 65534 cannot reach " + folder.string() + " (set TMPDIR to a public folder)";
    }
    return "";
}

// The child's side: becomes the ordinary user, caps file sizes, runs body and returns its
// failures, each as file, line and message ended by '\0'.
inline std::string RunAndReport(const std::filesystem::path& folder,
                                const std::function<void()>& body, rlim_t maxFileBytes) {
    ::testing::TestPartResultArray results;
    {
        ::testing::ScopedFakeTestPartResultReporter intercept(
            ::testing::ScopedFakeTestPartResultReporter::INTERCEPT_ONLY_CURRENT_THREAD, &results);
        const std::string refused = BecomeOrdinaryUser(folder);
        const rlimit cap{maxFileBytes, maxFileBytes};
        if (!refused.empty()) {
            ADD_FAILURE() << "child set-up: " << refused;
        } else if (maxFileBytes != 0 && (::signal(SIGXFSZ, SIG_IGN) == SIG_ERR ||
                                         ::setrlimit(RLIMIT_FSIZE, &cap) != 0)) {
            ADD_FAILURE() << "file size cap: " << std::strerror(errno);
        } else {
            try {
                body();
            } catch (const std::exception& e) {
                ADD_FAILURE() << "exception: " << e.what();
            } catch (...) {
                ADD_FAILURE() << "exception of unknown type";
            }
        }
    }
    std::string report;
    for (int i = 0; i < results.size(); ++i) {
        const ::testing::TestPartResult& r = results.GetTestPartResult(i);
        if (!r.failed()) continue;
        report += std::string(r.file_name() ? r.file_name() : "?") + '\0' +
                  std::to_string(r.line_number()) + '\0' + r.message() + '\0';
    }
    return report;
}

// The parent's side: the child's failures, and its end if that was not its own.
inline void AddChildFailures(const std::string& report, int status) {
    for (std::size_t at = 0;;) {
        const std::size_t fileEnd = report.find('\0', at);
        if (fileEnd == std::string::npos) break;
        const std::size_t lineEnd = report.find('\0', fileEnd + 1);
        if (lineEnd == std::string::npos) break;
        const std::size_t messageEnd = report.find('\0', lineEnd + 1);
        if (messageEnd == std::string::npos) break;
        const std::string file = report.substr(at, fileEnd - at);
        const int line = std::stoi(report.substr(fileEnd + 1, lineEnd - fileEnd - 1));
        ADD_FAILURE_AT(file.c_str(), line)
            << "(in the child) " << report.substr(lineEnd + 1, messageEnd - lineEnd - 1);
        at = messageEnd + 1;
    }
    if (WIFSIGNALED(status)) {
        ADD_FAILURE() << "the child was killed by signal " << WTERMSIG(status) << " ("
                      << ::strsignal(WTERMSIG(status)) << ")";
    } else if (!WIFEXITED(status) ||
               (WEXITSTATUS(status) != ChildPassed && WEXITSTATUS(status) != ChildFailed)) {
        ADD_FAILURE() << "the child ended with status " << WEXITSTATUS(status)
                      << " (a sanitizer's report, if any, is on stderr)";
    }
}

// Runs body in a child process that owns folder as an ordinary user (when the tests run as
// root) and may write files of at most maxFileBytes (0: no cap; a write past it fails with
// EFBIG instead of killing the child). Failures in the child, a crash or a sanitizer's exit
// become failures of the calling test. Set up the files first: the child sees them as they are.
inline void RunAsOrdinaryUser(const std::filesystem::path& folder,
                              const std::function<void()>& body, rlim_t maxFileBytes = 0) {
    int pipeFds[2];
    ASSERT_EQ(::pipe(pipeFds), 0) << std::strerror(errno);
    std::fflush(nullptr);
    const pid_t pid = ::fork();
    ASSERT_GE(pid, 0) << std::strerror(errno);
    if (pid == 0) {
        ::close(pipeFds[0]);
        const std::string report = RunAndReport(folder, body, maxFileBytes);
        WriteAll(pipeFds[1], report);
        // No exit handlers: the test framework and the sanitizers' leak check are the parent's.
        ::_exit(report.empty() ? ChildPassed : ChildFailed);
    }
    ::close(pipeFds[1]);
    std::string report;
    char buffer[4096];
    for (;;) {
        const ssize_t n = ::read(pipeFds[0], buffer, sizeof buffer);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) break;
        report.append(buffer, static_cast<std::size_t>(n));
    }
    ::close(pipeFds[0]);
    int status = 0;
    while (::waitpid(pid, &status, 0) < 0 && errno == EINTR) {
    }
    AddChildFailures(report, status);
}

// A FIFO at path that hands its reader bytes and then closes, as a file that vanishes or
// shrinks while it is read: the reader finds its end early. The writer is a child process,
// ended with the object.
class TFifoFeed {
public:
    TFifoFeed(const std::filesystem::path& path, const std::string& bytes) {
        if (::mkfifo(path.c_str(), 0666) != 0) {
            ADD_FAILURE() << "mkfifo: " << std::strerror(errno);
            return;
        }
        std::fflush(nullptr);
        Pid = ::fork();
        if (Pid == 0) {
            const int fd = ::open(path.c_str(), O_WRONLY);  // waits for the reader
            if (fd >= 0) WriteAll(fd, bytes);
            ::_exit(0);
        }
        if (Pid < 0) ADD_FAILURE() << "fork: " << std::strerror(errno);
    }
    ~TFifoFeed() {
        if (Pid <= 0) return;
        ::kill(Pid, SIGKILL);  // still waiting when nobody opened the FIFO
        ::waitpid(Pid, nullptr, 0);
    }
    TFifoFeed(const TFifoFeed&) = delete;
    TFifoFeed& operator=(const TFifoFeed&) = delete;

private:
    pid_t Pid = -1;
};
