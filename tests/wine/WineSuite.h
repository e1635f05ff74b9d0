// What the files of the Wine suite share: the context of a run, the checks a case collects, the
// files a run leaves, and the helpers that prepare a run and compare it with pardim-batch. The
// runner (WineMain.cpp) lists the cases that the other files define, in the order they run.
#pragma once

#include <windows.h>

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "Win32Text.h"
#include "WineDriver.h"

namespace wine {

struct TContext {
    std::filesystem::path PardimExe;
    std::filesystem::path BatchExe;
    std::filesystem::path DataDir;
    std::filesystem::path WorkDir;
    std::filesystem::path DriverDir;  // the test builds and the planted DLL sit beside the driver
};

// Collects the failed expectations of one case.
struct TCheck {
    std::vector<std::string> Failures;

    bool Expect(bool ok, const std::string& what) {
        if (!ok) Failures.push_back(what);
        return ok;
    }
    void ExpectText(HWND window, const std::string& sjis, const std::string& what) {
        const std::wstring actual = WindowText(window);
        Expect(actual == SjisToWide(sjis),
               what + ": text is '" + Utf8(actual) + "', want '" + Utf8(SjisToWide(sjis)) + "'");
    }
};

inline constexpr char ExchangeName[] = "JWC_TEMP.TXT";
inline constexpr char SettingsName[] = "pardim.dat";
inline constexpr char Cancelled[] = "hq\r\n";
inline constexpr char ApplicationTitle[] =
    "zr47_\x95\xbd\x8ds\x90\xa1\x96@\x90\xfc";  // zr47_平行寸法線

// The 22 lines of a settings file as the dialog's defaults would save them, with the window at
// (left, top) and the given text type.
std::vector<std::string> SettingsLines(int left, int top, int textType);
std::string Joined(const std::vector<std::string>& lines);
std::string Settings(int left, int top, int textType);
// Settings(120, 80, 1) with one line (1-based) changed.
std::string SettingsWith(std::size_t line, const char* value);

// A new, empty folder for one run; every run gets its own, so that a process a failed case
// left behind cannot hold files of the next one.
std::filesystem::path Scratch(const TContext& context, const std::filesystem::path& name);
// A scratch folder with the exchange file `input` and, unless empty, a settings file.
std::filesystem::path Prepare(const TContext& context, const std::filesystem::path& name,
                              const char* input, const std::string& settings);

std::string Hex(std::uint32_t value);
std::string RectText(const RECT& r);
void SetText(HWND control, const char* text);

void ExpectClosedWith(TCheck& check, const TPardim& run, const std::filesystem::path& folder,
                      const std::string& exchange, const std::string& settings);
// The batch runner presses OK on the same input and settings; the dialog must leave the same bytes.
void ExpectSameAsBatch(TCheck& check, const TContext& context,
                       const std::filesystem::path& guiFolder, const char* input,
                       const std::string& batchSettings);

// The test build that plants the fault its command line names (TestFaults.cpp).
std::filesystem::path FaultsExe(const TContext& context);

// The driver is linked with CRT_fp8.o like the fp8/ builds, so it reads at entry what a process
// gets from Windows.
extern unsigned short EntryControlWord;
unsigned short ControlWord();

// A wall of 3639.9995 measured at 1/50, with point marks: horizontal, so no sine or cosine but
// those of 0 and 180 degrees enters the bytes. The value text rounds 3639.9995 (just below the
// half in binary) half up to three decimals, which 53-bit intermediates round to 3640.
inline constexpr char TieInput[] = "wall-3639.9995-point-marks.txt";
std::filesystem::path PrepareTie(const TContext& context, const char* name);
std::string TieDrawnByLinux(const TContext& context);

// The cases, by the file that defines them.

// LayoutTests.cpp
void DialogShowsEveryControlAsLaidOut(const TContext& context, TCheck& check);
void TextTypeListFollowsExchangeFile(const TContext& context, TCheck& check);

// OkAndCloseTests.cpp
using TCloseAction = std::function<void(const TPardim&)>;
std::function<void(const TContext&, TCheck&)> OkCase(const char* input);
void JapaneseFolderWithBlankWorks(const TContext& context, TCheck& check);
void LongToolFolderWorks(const TContext& context, TCheck& check);
std::function<void(const TContext&, TCheck&)> CloseCase(TCloseAction close);
void InvalidFieldsMoveTheFocusInOrder(const TContext& context, TCheck& check);
void EnterInNoteBoxPressesOk(const TContext& context, TCheck& check);
void ZeroLengthShowsMessageAndStaysOpen(const TContext& context, TCheck& check);

// TypingAndPlacementTests.cpp
void EditLimitsCountShiftJisBytesWhenTyping(const TContext& context, TCheck& check);
void SavedPositionIsUsedUnchanged(const TContext& context, TCheck& check);
void PasteInsertsWhatFits(const TContext& context, TCheck& check);
void PositionOffEveryMonitorComesBack(const TContext& context, TCheck& check);
void MinimiseGoesThroughTheApplicationWindow(const TContext& context, TCheck& check);

// X87Tests.cpp
void StartUpLeavesWindowsPrecision(const TContext& context, TCheck& check);
void SetExtendedPrecisionFromAnyState(const TContext& context, TCheck& check);
void SetExtendedPrecisionRestoresTheDrawing(const TContext& context, TCheck& check);
void EntrySetsExtendedPrecisionInBatch(const TContext& context, TCheck& check);
void EntrySetsExtendedPrecisionInDialog(const TContext& context, TCheck& check);

// HardeningTests.cpp
void DialogRefusedLeavesNothingDrawn(const TContext& context, TCheck& check);
void ApplicationWindowRefusedDialogStillDraws(const TContext& context, TCheck& check);
void PlantedAtlIsNotLoaded(const TContext& context, TCheck& check);
void DefaultBuildMakesNoBrowser(const TContext& context, TCheck& check);
void HighContrastKeepsLabelsReadable(const TContext& context, TCheck& check);
struct TExceptionCase {
    const wchar_t* Fault;
    bool PressOk;  // else Cancel
    bool Draws;    // OK had finished before the exception
};
std::function<void(const TContext&, TCheck&)> ExceptionCase(TExceptionCase c);
std::function<void(const TContext&, TCheck&)> FpuCase(const wchar_t* fault);
std::function<void(const TContext&, TCheck&)> HeldFileCase(const wchar_t* fault);
void HeldTemporaryFolderIsPassedOver(const TContext& context, TCheck& check);
std::function<void(const TContext&, TCheck&)> TerminateCase(const wchar_t* fault);
void WideToSjisKeepsBestFit(const TContext& context, TCheck& check);

// QuickRunTests.cpp
struct TQuickCase {
    bool Faults;            // the faults build, logging its windows
    const wchar_t* Switch;  // as a BAT may spell it
    const char* Input;
    std::string Settings;       // "": first use
    int Focus;                  // the control the dialog opens with; 0: no dialog
    std::string BatchSettings;  // what pardim-batch draws the same with; "": nothing drawn
};
std::function<void(const TContext&, TCheck&)> QuickCase(TQuickCase c);

}  // namespace wine
