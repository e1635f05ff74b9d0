// One headless run of the tool, as pardim-batch makes it: start-up, OK pressed once without
// touching the dialog, and the close.
#pragma once

#include <filesystem>
#include <string>

// Runs the tool as DIR/pardim.exe, which must be an existing folder, and returns what OK did:
// "drawn", "focus <Control>" or "zero-length". JWC_TEMP.TXT and pardim.dat in DIR are left as
// the tool leaves them.
std::string RunOnce(const std::filesystem::path& dir);

// Saves the dialog's defaults with text type No1 chosen, through the tool's own SaveSettings:
// what a first OK saves when the user only picked the text type, and what a headless run needs
// before its OK can pass. False when the file could not be written.
bool SaveDefaultSettings(const std::filesystem::path& path);
