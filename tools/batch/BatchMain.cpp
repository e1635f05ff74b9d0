// Headless run of the tool: as if DIR/pardim.exe had been started by the host and the user had
// pressed OK once without touching the dialog. Prints what OK did: "drawn", "focus <Control>"
// or "zero-length"; JWC_TEMP.TXT and pardim.dat in DIR are left as the tool leaves them.
#include <cstdio>
#include <filesystem>
#include <string>
#include <system_error>

#include "BatchRun.h"

#ifdef _WIN32
#include "Platform.h"
#endif

namespace {

void PrintUsage() {
    std::fputs(
        "usage: pardim-batch DIR\n"
        "  runs the tool as DIR/pardim.exe with OK pressed once; DIR must be an existing "
        "folder\n",
        stderr);
}

int Run(const std::filesystem::path& dir) {
    std::error_code ec;
    if (!std::filesystem::is_directory(dir, ec)) {
        std::fputs("pardim-batch: DIR is not an existing folder\n", stderr);
        PrintUsage();
        return 2;
    }
    std::fputs((RunOnce(dir) + "\n").c_str(), stdout);
    return 0;
}

// Both entries take the folder as the platform hands it over.
template <typename TChar>
int Main(int argc, TChar** argv) {
    if (argc != 2) {
        PrintUsage();
        return 2;
    }
    return Run(std::filesystem::path(argv[1]));
}

}  // namespace

#ifdef _WIN32
// Wide arguments, so that folder names in any script and with blanks arrive intact.
int wmain(int argc, wchar_t** argv) {
    // Before anything is computed: the long double intermediates need the x87 at 64 bits, and
    // Windows starts a process at 53. Files are then renamed as the dialog renames them.
    PreparePlatform();
    return Main(argc, argv);
}
#else
int main(int argc, char** argv) { return Main(argc, argv); }
#endif
