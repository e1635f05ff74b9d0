// The information strip's page in the system's web browser control.
#pragma once

#include <windows.h>

#include <string>

// Creates the browser as child `id` of parent within bounds and starts loading url. Nothing waits
// for the page; every failure (no browser, no network) leaves the parent as it was.
void ShowWebPage(HWND parent, int id, const RECT& bounds, const std::wstring& url);

// Leaves the OLE apartment that ShowWebPage entered, if it did; once every browser is destroyed.
void EndWebPages();

// True for an address whose host can never resolve (the reserved top-level name "invalid"):
// showing it would only load the browser engine and send a request to nowhere.
bool PageNeverResolves(const std::wstring& url);
