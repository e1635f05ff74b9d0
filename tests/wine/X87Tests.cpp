// x87 precision: the start-up that Windows gives a process (53 bits), SetExtendedPrecision from
// any state, and both exes drawing the Linux build's bytes when started that way, on an input
// whose value text differs at 53 bits.
#include <windows.h>

#include <filesystem>
#include <string>

#include "Fpu.h"
#include "JwwGaibu.h"
#include "RecordingView.h"
#include "Unit1.h"
#include "WineDriver.h"
#include "WineSuite.h"

namespace fs = std::filesystem;

namespace wine {
namespace {

void LoadControlWord(unsigned short controlWord) {
    __asm__ volatile("fldcw %0" : : "m"(controlWord));
}

// The whole run in this process, with whatever control word is loaded.
std::string DrawHere(const fs::path& folder) {
    TRecordingView view;
    TForm1 form(view);
    form.ExePath = folder / "pardim.exe";
    form.FormShow();
    form.Button1Click();
    form.FormClose();
    return ReadFileBytes(folder / ExchangeName);
}

// The value text that OK computes from the files in folder, with controlWord loaded for the
// computation alone: the file layer sets the state again after each of its calls.
std::string ValueTextHere(const fs::path& folder, unsigned short controlWord) {
    TRecordingView view;
    TForm1 form(view);
    form.ExePath = folder / "pardim.exe";
    form.FormShow();
    TDimParams params = form.ReadDimParams();
    ScaleDimParams(params, CurrentDrawingScale(ExchangeModel));
    const TDimGeometry geometry = ComputeDimGeometry(
        RefPoint(ExchangeModel, 1), RefPoint(ExchangeModel, 2), RefPoint(ExchangeModel, 3));
    const unsigned short saved = ControlWord();
    LoadControlWord(controlWord);
    const std::string text = FormatDimValue(geometry.DimLength, params);
    LoadControlWord(saved);
    form.FormClose();
    return text;
}

}  // namespace

void StartUpLeavesWindowsPrecision(const TContext&, TCheck& check) {
    check.Expect(EntryControlWord == 0x027F,
                 "control word at entry is " + Hex(EntryControlWord) + ", want 00027F");
}

void SetExtendedPrecisionFromAnyState(const TContext&, TCheck& check) {
    const unsigned short saved = ControlWord();
    // Windows' 53 bits; 24 bits; 53 bits toward zero; 64 bits toward +infinity.
    for (unsigned short start : {0x027F, 0x007F, 0x0E7F, 0x0B7F}) {
        LoadControlWord(start);
        SetExtendedPrecision();
        const unsigned short result = ControlWord();
        check.Expect(result == 0x037F, "from " + Hex(start) + " it leaves " + Hex(result));
    }
    LoadControlWord(saved);
}

void SetExtendedPrecisionRestoresTheDrawing(const TContext& context, TCheck& check) {
    const unsigned short saved = ControlWord();
    const std::string golden = TieDrawnByLinux(context);
    check.Expect(golden.find("\"3639.999\r\n") != std::string::npos, "golden file reads 3639.999");
    // Else the input would prove nothing.
    check.Expect(ValueTextHere(PrepareTie(context, "x87-53"), 0x027F) == "3640",
                 "at 53 bits the value reads 3640");
    LoadControlWord(0x027F);
    SetExtendedPrecision();
    check.Expect(DrawHere(PrepareTie(context, "x87-64")) == golden,
                 "after SetExtendedPrecision the bytes equal the Linux build's");
    LoadControlWord(saved);
}

void EntrySetsExtendedPrecisionInBatch(const TContext& context, TCheck& check) {
    const fs::path folder = PrepareTie(context, "x87-batch");
    const int exitCode = RunProgram(context.DriverDir / "fp8" / "pardim-batch.exe", folder,
                                    context.WorkDir / "batch-output.txt", 30000);
    check.Expect(exitCode == 0, "pardim-batch ran, exit code " + std::to_string(exitCode));
    check.Expect(ReadFileBytes(folder / ExchangeName) == TieDrawnByLinux(context),
                 "JWC_TEMP.TXT equals the Linux build's");
}

void EntrySetsExtendedPrecisionInDialog(const TContext& context, TCheck& check) {
    const fs::path folder = PrepareTie(context, "x87-dialog");
    TPardim run(context.DriverDir / "fp8" / "pardim.exe", folder);
    if (!check.Expect(run.Dialog != nullptr, "dialog shown")) return;
    run.PressKey(VK_RETURN);
    if (!check.Expect(run.WaitForExit(10000), "OK closed the dialog")) return;
    check.Expect(ReadFileBytes(folder / ExchangeName) == TieDrawnByLinux(context),
                 "JWC_TEMP.TXT equals the Linux build's");
}

}  // namespace wine
