// What both entries (pardim.exe and pardim-batch.exe) set up first.
#pragma once

// The floating-point state. The file operations the core calls come from Files.cpp, linked in
// place of the portable ones.
void PreparePlatform();
