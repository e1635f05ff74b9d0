// The points where a test build of the exe (tests/wine/TestFaults.cpp) plants what Windows can do
// to a running tool: refuse a window, throw from deep inside a handler, change the floating-point
// state, hold a file. In the tool itself they are empty and compile to nothing.
#pragma once

#include <string>

#ifdef PARDIM_TEST_FAULTS
void StartFaults(const wchar_t* commandLine);  // the fault the command line names
void FaultOnStatus(const std::string& sjis);   // the status line is about to show sjis
void FaultOnInfoPage(std::wstring& url);       // the strip is about to show url
void FaultOnHighContrast(bool& on);            // the system has said whether contrast is high
#else
inline void StartFaults(const wchar_t*) {}
inline void FaultOnStatus(const std::string&) {}
inline void FaultOnInfoPage(std::wstring&) {}
inline void FaultOnHighContrast(bool&) {}
#endif
