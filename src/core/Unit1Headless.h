// One run of the tool without a window: the start-up and one press of OK with the controls as
// the exchange and settings files leave them. pardim-batch is made of it, and so is the quick
// run that the continuous-drawing BAT starts.
#pragma once

#include "Unit1.h"

struct THeadlessRun {
    enum class TOutcome {
        Drawn,        // the dimension is in JWC_TEMP.TXT; the settings file was rewritten
        Refused,      // zero length (or beyond the reals): JWC_TEMP.TXT is "hq", settings saved
        CheckFailed,  // a value failed OK's checks: nothing is written, JWC_TEMP.TXT untouched
    };
    TOutcome Outcome = TOutcome::Drawn;
    TControlId Focus = TControlId::ComboBox1;  // CheckFailed: where the check put the focus
};

// Runs the tool as exePath would, closing it (JWC_TEMP.TXT written) unless a check failed; then
// the store is released and the files are as they were, so that the dialog can take over.
THeadlessRun RunHeadless(const TPath& exePath);

// Leaves "hq" in JWC_TEMP.TXT beside exePath, as a cancelled run does: for a run that ends
// without the dialog's close, since the host would otherwise carry out its own input as commands.
// An empty path (no folder known) writes nothing rather than a file in the wrong place.
void WriteNothingDrawn(const TPath& exePath);
