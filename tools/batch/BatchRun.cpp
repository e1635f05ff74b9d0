// The headless run: TForm1 shown through a view that records what the dialog's logic asked, and the
// settings file a first run starts from.
#include "BatchRun.h"

#include "RecordingView.h"
#include "Unit1.h"

std::string RunOnce(const std::filesystem::path& dir) {
    TRecordingView view;
    TForm1 form(view);
    form.ExePath = dir / "pardim.exe";
    form.FormShow();
    form.Button1Click();
    std::string outcome = "drawn";
    if (view.Focused) {
        outcome = std::string("focus ") + ControlName(*view.Focused);
    } else if (view.Refused) {
        outcome = "zero-length";
    }
    // A refused OK leaves the dialog open; the user then cancels it.
    if (!view.Closed) form.Button2Click();
    form.FormClose();
    return outcome;
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
