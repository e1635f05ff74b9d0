// The dialog's window table: every window of the dialog in tab order, with its place, caption and
// kind, and what the dialog looks like as a whole (size, font, colours, the note's text). The
// dialog (Win32Form.cpp) and the start-up benchmark's floor build their windows from it.
#pragma once

#include <windows.h>

#include <span>
#include <string>

#include "Unit1.h"

inline constexpr int ClientWidth = 492;
inline constexpr int ClientHeight = 436;
inline constexpr int FontHeightPx = 13;
inline constexpr int SmallFontHeightPx = 11;

inline constexpr COLORREF WhiteColor = RGB(255, 255, 255);
inline constexpr COLORREF StatusColor = RGB(231, 231, 231);
inline constexpr COLORREF MemoColor = RGB(187, 235, 244);

// A row of the window's table: a control of the dialog's logic, whose kind, value, typing limit
// and input method the core's control table gives, or one of the window's own parts.
enum class TKind { Control, Label, SmallLabel, Memo, Status, Strip };

struct TWindowEntry {
    TKind Kind;
    int Id;                        // window id
    int Left, Top, Width, Height;  // client pixels; a label's width follows its text
    const char* Text;              // Shift-JIS caption
    TControlId Control{};          // the control this window shows (TKind::Control)
};

// Every row, in creation order, which is the tab order; labels sit before the control they name.
std::span<const TWindowEntry> WindowTable();

// The table's row that shows a control of the dialog's logic.
const TWindowEntry& EntryOf(TControlId id);

// The note box's text, its lines joined by CR LF (Shift-JIS).
std::string NoteText();

// The dialog's font (ＭＳ ゴシック) at a height in pixels.
HFONT CreateDialogFont(int heightPx);

// The radio group in TForm1 that a row of kind TKind::Control and TControlKind::RadioGroup shows.
const TRadioGroup& RadioGroupOf(const TForm1& form, const TWindowEntry& entry);
