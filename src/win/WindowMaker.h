// How the rows of the window table become the dialog's windows: each in its place, class, style,
// caption and font, in tab order. The dialog (Win32Form.cpp) and the start-up benchmark's floor
// make their windows with it.
#pragma once

#include <windows.h>

#include "WindowTable.h"

class TWindowMaker {
public:
    // dialog: the empty dialog that receives the windows; form: the radio groups' items.
    TWindowMaker(HINSTANCE instance, HWND dialog, HFONT font, HFONT smallFont, const TForm1& form);

    // Every row's window, in the table's order; a control that the core's control table says so
    // of takes no input method, or limits what is typed.
    void CreateAll() const;

private:
    HWND CreateWindowOf(const TWindowEntry& entry) const;
    HWND CreateChild(const TWindowEntry& entry, const wchar_t* cls, DWORD style, DWORD exStyle,
                     HFONT font = nullptr, int width = 0, int height = 0) const;
    HWND CreateLabel(const TWindowEntry& entry, HFONT font) const;
    HWND CreateComboBox(const TWindowEntry& entry) const;
    HWND CreateMemo(const TWindowEntry& entry) const;
    HWND CreateRadioGroup(const TWindowEntry& entry) const;
    HWND CreateStrip(const TWindowEntry& entry) const;

    HINSTANCE Instance;
    HWND Dialog;
    HFONT Font;
    HFONT SmallFont;
    const TForm1& Form;
};

// The form's values into the table's windows: each list's items and selection, each edit's text,
// each radio group's and check box's state. The dialog pushes them so, and so does the floor.
void PushFormValues(HWND dialog, const TForm1& form);

// The class of the information strip and of its panel; once per process, before CreateAll.
void RegisterStripClass(HINSTANCE instance);
