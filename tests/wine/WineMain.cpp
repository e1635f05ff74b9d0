// End-to-end tests of the real dialog, run inside Wine by scripts/wine-e2e.sh: each case starts
// pardim.exe in a scratch folder, drives it as a user would and checks the window and the files it
// leaves, comparing a drawn dimension with what pardim-batch.exe makes of the same input.
// usage: pardim-wine-tests PARDIM_EXE BATCH_EXE DATA_DIR WORK_DIR [CASE...]
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "ControlIds.h"
#include "Win32Text.h"
#include "WineDriver.h"
#include "WineSuite.h"

namespace fs = std::filesystem;
using namespace WinId;
using namespace wine;

namespace {

struct TCase {
    const char* Name;
    std::function<void(const TContext&, TCheck&)> Run;
};

}  // namespace

int wmain(int argc, wchar_t** argv) {
    EntryControlWord = ControlWord();
    if (argc < 5) {
        std::fputs("usage: pardim-wine-tests PARDIM_EXE BATCH_EXE DATA_DIR WORK_DIR [CASE...]\n",
                   stderr);
        return 2;
    }
    const std::vector<std::wstring> only(argv + 5, argv + argc);  // names or name prefixes
    wchar_t self[MAX_PATH] = {};
    GetModuleFileNameW(nullptr, self, MAX_PATH);
    const TContext context{argv[1], argv[2], argv[3], argv[4], fs::path(self).parent_path()};
    const TCase cases[] = {
        {"DialogShowsEveryControlAsLaidOut", DialogShowsEveryControlAsLaidOut},
        {"TextTypeListFollowsExchangeFile", TextTypeListFollowsExchangeFile},
        {"OkMatchesBatch.RoadOneDimension", OkCase("road-one-dimension.txt")},
        {"OkMatchesBatch.RoadScale50", OkCase("road-scale50.txt")},
        {"OkMatchesBatch.ParcelA", OkCase("parcel-a-4points-freetext.txt")},
        {"OkMatchesBatch.ParcelC", OkCase("parcel-c-mixed-scales-cn10.txt")},
        {"OkMatchesBatch.ParcelG", OkCase("parcel-g-4points-lg2.txt")},
        {"JapaneseFolderWithBlankWorks", JapaneseFolderWithBlankWorks},
        {"LongToolFolderWorks", LongToolFolderWorks},
        {"CloseKeepsFiles.CancelButton",
         CloseCase([](const TPardim& run) { run.Click(run.Item(Button2)); })},
        {"CloseKeepsFiles.Escape", CloseCase([](const TPardim& run) { run.PressKey(VK_ESCAPE); })},
        {"CloseKeepsFiles.CloseBox", CloseCase([](const TPardim& run) {
             PostMessageW(run.Dialog, WM_SYSCOMMAND, SC_CLOSE, 0);
         })},
        {"CloseKeepsFiles.AltF4", CloseCase([](const TPardim& run) { run.PressAltKey(VK_F4); })},
        {"CloseKeepsFiles.AccessKeyAltN", CloseCase([](const TPardim& run) {
             PostMessageW(run.Focus(), WM_SYSCHAR, L'n', 1 << 29);
             run.Settle();
         })},
        {"CloseKeepsFiles.TaskBarClose", CloseCase([](const TPardim& run) {
             PostMessageW(GetWindow(run.Dialog, GW_OWNER), WM_CLOSE, 0, 0);
         })},
        {"InvalidFieldsMoveTheFocusInOrder", InvalidFieldsMoveTheFocusInOrder},
        {"EnterInNoteBoxPressesOk", EnterInNoteBoxPressesOk},
        {"ZeroLengthShowsMessageAndStaysOpen", ZeroLengthShowsMessageAndStaysOpen},
        {"EditLimitsCountShiftJisBytesWhenTyping", EditLimitsCountShiftJisBytesWhenTyping},
        {"SavedPositionIsUsedUnchanged", SavedPositionIsUsedUnchanged},
        {"PasteInsertsWhatFits", PasteInsertsWhatFits},
        {"PositionOffEveryMonitorComesBack", PositionOffEveryMonitorComesBack},
        {"MinimiseGoesThroughTheApplicationWindow", MinimiseGoesThroughTheApplicationWindow},
        {"StartUpWithoutFninit.Leaves53Bits", StartUpLeavesWindowsPrecision},
        {"SetExtendedPrecision.FromAnyState", SetExtendedPrecisionFromAnyState},
        {"SetExtendedPrecision.RestoresTheDrawingAt53Bits", SetExtendedPrecisionRestoresTheDrawing},
        {"EntrySetsExtendedPrecision.Batch", EntrySetsExtendedPrecisionInBatch},
        {"EntrySetsExtendedPrecision.Dialog", EntrySetsExtendedPrecisionInDialog},
        {"DialogRefusedLeavesNothingDrawn", DialogRefusedLeavesNothingDrawn},
        {"ApplicationWindowRefusedDialogStillDraws", ApplicationWindowRefusedDialogStillDraws},
        {"PlantedAtlIsNotLoaded", PlantedAtlIsNotLoaded},
        {"DefaultBuildMakesNoBrowser", DefaultBuildMakesNoBrowser},
        {"HighContrastKeepsLabelsReadable", HighContrastKeepsLabelsReadable},
        {"ExceptionEndsTheRun.OkThrowsAfterItsLastCommand",
         ExceptionCase({L"throw:ok", true, false})},
        {"ExceptionEndsTheRun.CloseThrowsAfterCancel",
         ExceptionCase({L"throw:close", false, false})},
        {"ExceptionEndsTheRun.CloseThrowsAfterOk", ExceptionCase({L"throw:close", true, true})},
        {"FpuRestored.AfterStatusUpdate", FpuCase(L"fpu:status")},
        {"FpuRestored.AfterSettingsRename", FpuCase(L"fpu:rename")},
        {"RenameWaitsForHeldFile.Temporary", HeldFileCase(L"hold:temp")},
        {"RenameWaitsForHeldFile.Target", HeldFileCase(L"hold:target")},
        {"HeldTemporaryFolderIsPassedOver", HeldTemporaryFolderIsPassedOver},
        {"TerminateEndsAtOnce.Uncaught", TerminateCase(L"terminate:throw")},
        {"TerminateEndsAtOnce.Direct", TerminateCase(L"terminate:direct")},
        {"WideToSjisKeepsBestFit", WideToSjisKeepsBestFit},
        {"QuickRun.DrawsWithoutAnyWindow",
         QuickCase({true, L"/quick", TieInput, Settings(137, 91, 2), 0, Settings(137, 91, 2)})},
        {"QuickRun.SwitchInAnyCase", QuickCase({false, L"/QUICK", "road-one-dimension.txt",
                                                Settings(137, 91, 2), 0, Settings(137, 91, 2)})},
        {"QuickRun.ZeroLengthShowsNothing",
         QuickCase({true, L"/Quick", "road-zero-length.txt", Settings(120, 80, 1), 0, ""})},
        {"QuickRun.FirstUseOpensTheDialog", QuickCase({true, L"/quick", "road-one-dimension.txt",
                                                       "", ComboBox3, Settings(100, 100, 2)})},
        {"QuickRun.OnlyTheWholeSwitch",  // a normal run: the dialog, its focus where it starts
         QuickCase({true, L"/quickly", "road-one-dimension.txt", Settings(137, 91, 2), ComboBox1,
                    Settings(137, 91, 2)})},
        {"QuickRun.BadValueOpensTheDialog",
         QuickCase({false, L"/quick", "road-one-dimension.txt", SettingsWith(15, "180"), Edit8,
                    Settings(120, 80, 1)})},
    };
    int failed = 0;
    size_t run = 0;
    for (const TCase& test : cases) {
        const std::wstring name = SjisToWide(test.Name);
        if (!only.empty() && std::none_of(only.begin(), only.end(), [&](const std::wstring& want) {
                return name.compare(0, want.size(), want) == 0;
            })) {
            continue;
        }
        ++run;
        TCheck check;
        test.Run(context, check);
        if (check.Failures.empty()) {
            std::printf("PASS %s\n", test.Name);
        } else {
            ++failed;
            std::printf("FAIL %s\n", test.Name);
            for (const std::string& failure : check.Failures)
                std::printf("    %s\n", failure.c_str());
        }
        std::fflush(stdout);
    }
    // The script adds its own checks and prints the overall count.
    std::printf("driver done: %d of %zu cases failed\n", failed, run);
    return failed == 0 ? 0 : 1;
}
