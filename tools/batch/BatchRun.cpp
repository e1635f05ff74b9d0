// The headless run as pardim-batch reports it, and the settings file a first run starts from.
#include "BatchRun.h"

#include "RecordingView.h"
#include "Unit1Headless.h"

std::string RunOnce(const std::filesystem::path& dir) {
    const TPath exePath = dir / "pardim.exe";
    const THeadlessRun run = RunHeadless(exePath);
    switch (run.Outcome) {
        case THeadlessRun::TOutcome::Drawn:
            return "drawn";
        case THeadlessRun::TOutcome::Refused:
            return "zero-length";
        case THeadlessRun::TOutcome::CheckFailed:
            break;
    }
    // The dialog would stay open with the focus moved; the user then cancels it.
    WriteNothingDrawn(exePath);
    return std::string("focus ") + ControlName(run.Focus);
}

bool SaveDefaultSettings(const std::filesystem::path& path) {
    TRecordingView view;
    TForm1 form(view);
    form.ComboBox3.ItemIndex = 1;  // No1: item 0 is the host's current text type
    JwwInit();
    const bool saved = form.SaveSettings(path);
    JwwFree();
    return saved;
}
