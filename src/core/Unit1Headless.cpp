// The headless run: TForm1 shown through a view that keeps what OK did.
#include "Unit1Headless.h"

#include "RecordingView.h"

THeadlessRun RunHeadless(const TPath& exePath) {
    THeadlessView view;
    TForm1 form(view);
    form.ExePath = exePath;
    form.FormShow();
    form.Button1Click();
    if (view.Focused) {
        JwwFree();
        return {THeadlessRun::TOutcome::CheckFailed, *view.Focused};
    }
    // A refused OK leaves the dialog open, and nothing in it to draw: the run ends as a Cancel.
    if (!view.Closed) form.Button2Click();
    form.FormClose();
    return {view.Refused ? THeadlessRun::TOutcome::Refused : THeadlessRun::TOutcome::Drawn};
}

void WriteNothingDrawn(const TPath& exePath) {
    if (exePath.empty()) return;
    JwwInit();  // an empty output list, which is written as "hq"
    // A file that cannot be written keeps the host's own input, whose first line is "hq" too.
    (void)WriteOutputFile(ExchangeFilePath(exePath));
    JwwFree();
}
