// The quick run of the continuous-drawing BAT: pardim.exe /quick.
#include <windows.h>

#include <filesystem>
#include <string>

#include "ControlIds.h"
#include "Win32Text.h"
#include "WineDriver.h"
#include "WineSuite.h"

namespace fs = std::filesystem;
using namespace WinId;

namespace wine {

// pardim.exe /quick: complete settings draw as pardim-batch does, without any window of our own
// (the faults build logs each window the tool makes, however short-lived); a failed check opens
// the dialog with the focus on its control, and once the value is put right Enter draws and saves.
std::function<void(const TContext&, TCheck&)> QuickCase(TQuickCase c) {
    return [c](const TContext& context, TCheck& check) {
        const fs::path folder = Prepare(context, "quick", c.Input, c.Settings);
        const std::string input = ReadFileBytes(folder / ExchangeName);
        TPardim run(c.Faults ? FaultsExe(context) : context.PardimExe, folder,
                    std::wstring(c.Switch) + (c.Faults ? L" log:windows" : L""));
        if (c.Focus != 0 && check.Expect(run.Dialog != nullptr, "dialog shown")) {
            check.Expect(WaitUntil([&] { return run.Focus() == run.Item(c.Focus); }, 3000),
                         "focus on the failed control");
            check.Expect(ReadFileBytes(folder / ExchangeName) == input, "JWC_TEMP.TXT untouched");
            if (c.Focus == ComboBox3) SendMessageW(run.Item(ComboBox3), CB_SETCURSEL, 2, 0);
            if (c.Focus == Edit8) SetText(run.Item(Edit8), "15");
            run.PressKey(VK_RETURN);
        }
        check.Expect(c.Focus != 0 || run.Dialog == nullptr, "no dialog");
        if (!check.Expect(run.WaitForExit(10000), "process ended")) return;
        check.Expect(run.ExitCode() == 0, "exit code " + Hex(run.ExitCode()) + ", want 0");
        const std::string windows = ReadFileBytes(folder / "windows.log");
        if (c.Faults) {
            check.Expect(fs::exists(folder / "windows.log"), "windows logged");
            check.Expect((windows.find("#32770") != std::string::npos) == (c.Focus != 0),
                         "windows made: [" + windows + "]");
            check.Expect(c.Focus != 0 || windows.empty(), "no window at all");
        }
        if (c.BatchSettings.empty()) {
            check.Expect(ReadFileBytes(folder / ExchangeName) == Cancelled, "JWC_TEMP.TXT is hq");
        } else {
            ExpectSameAsBatch(check, context, folder, c.Input, c.BatchSettings);
        }
    };
}

}  // namespace wine
