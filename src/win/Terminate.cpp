// What ends the dialog exe when an exception escapes all our boundaries (Boundary.h), or one is
// thrown while another unwinds. The standard library's default handler writes the exception's
// type to stderr, which a window program does not have, links a 45 KB demangler to do so, and
// then calls abort(), whose C runtime shows a modal "Runtime Error!" box first. The host waits
// for us (start /wait) until the drafter finds and closes that box, often behind its own window.
// This one ends the process at once, without a window: the host then reads back its own
// exchange file, whose first line is "hq", and draws nothing. It takes the library's name, so the
// library's own is not linked.
#include <windows.h>

#include <cstdlib>
#include <exception>

namespace {
// The exit code of a run that ended this way, as abort() would give.
constexpr UINT EndedByTerminate = 3;
}  // namespace

void __gnu_cxx::__verbose_terminate_handler() {
    TerminateProcess(GetCurrentProcess(), EndedByTerminate);
    std::_Exit(EndedByTerminate);  // not reached: TerminateProcess does not return for ourselves
}
