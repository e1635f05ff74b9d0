// The edit boxes that limit what is typed by Shift-JIS bytes.
#include "ByteLimitedEdit.h"

#include <commctrl.h>
#include <imm.h>

#include <algorithm>
#include <string_view>

#include "Boundary.h"
#include "Unit1.h"
#include "Win32Text.h"

std::wstring WindowText(HWND window) {
    std::wstring text(static_cast<size_t>(GetWindowTextLengthW(window)) + 1, L'\0');
    text.resize(
        static_cast<size_t>(GetWindowTextW(window, text.data(), static_cast<int>(text.size()))));
    return text;
}

namespace {

// Shift-JIS bytes of the box's text outside its selection: what stays when something replaces it.
size_t KeptBytes(HWND edit) {
    const std::wstring text = WindowText(edit);
    DWORD selStart = 0, selEnd = 0;
    SendMessageW(edit, EM_GETSEL, reinterpret_cast<WPARAM>(&selStart),
                 reinterpret_cast<LPARAM>(&selEnd));
    const size_t end = std::min<size_t>(selEnd, text.size());
    const size_t start = std::min<size_t>(selStart, end);
    return WideToSjis(std::wstring_view(text).substr(0, start)).size() +
           WideToSjis(std::wstring_view(text).substr(end)).size();
}

// Puts as much of a committed text in place of the selection as the limit leaves room for, at
// whole characters, as a standard edit box does with its own limit; beeps when some stays out.
void InsertWithinLimit(HWND edit, std::wstring_view inserted, size_t maxBytes) {
    const std::string sjis = WideToSjis(inserted);
    const std::string fits = FitInsertion(KeptBytes(edit), sjis, maxBytes);
    if (!fits.empty()) {
        SendMessageW(edit, EM_REPLACESEL, TRUE, reinterpret_cast<LPARAM>(SjisToWide(fits).c_str()));
    }
    if (fits.size() < sjis.size()) MessageBeep(MB_OK);
}

// The clipboard's text up to its first line end: a one-line box takes no more.
std::wstring ClipboardLine(HWND owner) {
    std::wstring text;
    if (!OpenClipboard(owner)) return text;
    if (HANDLE data = GetClipboardData(CF_UNICODETEXT)) {
        if (const auto* chars = static_cast<const wchar_t*>(GlobalLock(data))) {
            text = chars;
            GlobalUnlock(data);
        }
    }
    CloseClipboard();
    return text.substr(0, text.find_first_of(L"\r\n"));
}

// The text an input method has just committed, if this message carries one.
bool CommittedText(HWND edit, LPARAM flags, std::wstring& text) {
    if (!(flags & GCS_RESULTSTR)) return false;
    HIMC context = ImmGetContext(edit);
    if (!context) return false;
    const LONG bytes = ImmGetCompositionStringW(context, GCS_RESULTSTR, nullptr, 0);
    if (bytes > 0) {
        text.resize(static_cast<size_t>(bytes) / sizeof(wchar_t));
        ImmGetCompositionStringW(context, GCS_RESULTSTR, text.data(), static_cast<DWORD>(bytes));
    }
    ImmReleaseContext(edit, context);
    return bytes > 0;
}

// Limits what the user types, pastes or commits through the input method to a number of
// Shift-JIS bytes, as the dialog's fields have always counted them (a full-width character takes
// two). A composition in progress is never touched; its text is measured once committed. Texts
// set by the program (a settings file may hold longer ones) pass untouched, and a text already
// over the limit may still be shortened.
LRESULT LimitedEditProc(HWND edit, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR,
                        DWORD_PTR maxBytes) {
    switch (message) {
        case WM_PASTE:
            InsertWithinLimit(edit, ClipboardLine(edit), maxBytes);
            return 0;
        case WM_IME_COMPOSITION: {
            std::wstring committed;
            if (!CommittedText(edit, lParam, committed)) break;
            if (KeptBytes(edit) + WideToSjis(committed).size() <= maxBytes) break;
            InsertWithinLimit(edit, committed, maxBytes);
            // The rest of the message (a new composition begun at once) goes on as usual.
            return DefSubclassProc(edit, message, wParam, lParam & ~GCS_RESULTSTR);
        }
        case WM_CHAR:
        case WM_IME_CHAR:
        case WM_UNDO:
        case EM_UNDO: {
            const std::wstring before = WindowText(edit);
            DWORD selStart = 0, selEnd = 0;
            SendMessageW(edit, EM_GETSEL, reinterpret_cast<WPARAM>(&selStart),
                         reinterpret_cast<LPARAM>(&selEnd));
            const LRESULT result = DefSubclassProc(edit, message, wParam, lParam);
            const size_t bytesAfter = WideToSjis(WindowText(edit)).size();
            if (!TypingKeepsLimit(WideToSjis(before).size(), bytesAfter, maxBytes)) {
                SetWindowTextW(edit, before.c_str());
                SendMessageW(edit, EM_SETSEL, selStart, selEnd);
                MessageBeep(MB_OK);
            }
            return result;
        }
        default:
            break;
    }
    return DefSubclassProc(edit, message, wParam, lParam);
}
}  // namespace

void LimitTypedBytes(HWND edit, int maxBytes) {
    SetWindowSubclass(edit, AtBoundary<LimitedEditProc>, 0, static_cast<DWORD_PTR>(maxBytes));
}
