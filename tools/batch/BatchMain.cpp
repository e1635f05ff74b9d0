// Headless run of the tool: as if DIR/pardim.exe had been started by the host and the user had
// pressed OK once without touching the dialog. Prints what OK did: "drawn", "focus <Control>"
// or "zero-length"; JWC_TEMP.TXT and pardim.dat in DIR are left as the tool leaves them.
#include <cstdio>
#include <filesystem>
#include <optional>
#include <string>
#include <system_error>

#include "Unit1.h"

#ifdef _WIN32
#include "Fpu.h"
#endif

namespace {

// Records what the dialog's logic asked of its window; the window stays where it was put.
struct TBatchView : TFormView {
    int Left = 0;
    int Top = 0;
    bool Closed = false;
    bool Refused = false;
    std::optional<TControlId> Focused;

    void FocusControl(TControlId id) override { Focused = id; }
    void ShowStatus(const std::string&) override {}
    void ShowMessage(const std::string&) override { Refused = true; }
    void Close() override { Closed = true; }
    void GetPosition(int& left, int& top) override {
        left = Left;
        top = Top;
    }
    void MoveTo(int left, int top) override {
        Left = left;
        Top = top;
    }
    void ShowInfoPage(const std::string&) override {}
};

std::string Outcome(const TBatchView& view) {
    if (view.Focused) return std::string("focus ").append(ControlName(*view.Focused));
    return view.Refused ? "zero-length" : "drawn";
}

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
    TBatchView view;
    TForm1 form(view);
    form.ExePath = dir / "pardim.exe";
    form.FormShow();
    form.Button1Click();
    // A refused OK leaves the dialog open; the user then cancels it.
    if (!view.Closed) form.Button2Click();
    form.FormClose();
    std::printf("%s\n", Outcome(view).c_str());
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
    // Windows starts a process at 53.
    SetExtendedPrecision();
    return Main(argc, argv);
}
#else
int main(int argc, char** argv) { return Main(argc, argv); }
#endif
