// The edit boxes that limit what is typed by Shift-JIS bytes, as the dialog's fields have always
// counted them, whatever way the text comes in: keys, paste, undo or the input method.
#pragma once

#include <windows.h>

#include <string>

// Limits what the user types, pastes or commits into the edit box to maxBytes Shift-JIS bytes.
void LimitTypedBytes(HWND edit, int maxBytes);

// The window's whole text.
std::wstring WindowText(HWND window);
