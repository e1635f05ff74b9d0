// Headless run of the tool: as if DIR/pardim.exe had been started by the host and the user had
// pressed OK once without touching the dialog. Prints what OK did: "drawn", "focus <Control>"
// or "zero-length"; JWC_TEMP.TXT and pardim.dat in DIR are left as the tool leaves them.
#include <cstdio>
#include <filesystem>
#include <string>
#include <string_view>
#include <system_error>

#include "BatchRun.h"

#ifdef _WIN32
#include "Fpu.h"
#endif

namespace {

constexpr char Usage[] =
    "usage: pardim-batch DIR\n"
    "  runs the tool as DIR/pardim.exe with OK pressed once; DIR must be an existing folder\n";

// One message and the usage on stderr: a wrong invocation, status 2, nothing written.
int Refuse(const char* message) {
    std::fprintf(stderr, "pardim-batch: %s\n%s", message, Usage);
    return 2;
}

// Whether an argument, narrow or wide, is exactly this ASCII text.
template <typename TChar>
bool Is(const TChar* argument, std::string_view text) {
    std::size_t i = 0;
    for (; argument[i] != 0 && i < text.size(); ++i) {
        if (argument[i] != static_cast<TChar>(text[i])) return false;
    }
    return argument[i] == 0 && i == text.size();
}

// Both entries take the folder as the platform hands it over.
template <typename TChar>
int Main(int argc, TChar** argv) {
    if (argc == 2 && (Is(argv[1], "--help") || Is(argv[1], "-h"))) {
        std::fputs(Usage, stdout);
        return 0;
    }
    if (argc < 2) return Refuse("DIR is missing");
    if (argc > 2) return Refuse("only one DIR is taken");
    if (argv[1][0] == '-') return Refuse("unknown option (only --help is taken)");
    const std::filesystem::path dir(argv[1]);
    std::error_code ec;
    if (!std::filesystem::is_directory(dir, ec)) return Refuse("DIR is not an existing folder");
    std::fputs((RunOnce(dir) + "\n").c_str(), stdout);
    return 0;
}

}  // namespace

#ifdef _WIN32
// Wide arguments, so that folder names in any script and with blanks arrive intact.
int wmain(int argc, wchar_t** argv) {
    // Before anything is computed: the long double intermediates need the x87 at 64 bits, and
    // Windows starts a process at 53.
    SetExtendedPrecision();
    return Main(argc, argv);
}
#else
int main(int argc, char** argv) { return Main(argc, argv); }
#endif
