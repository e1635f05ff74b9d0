// The dialog's controls: the one table every other part reads (names, kinds, where each keeps
// its value, its settings line, typing limit and input method), and what OK reads from them.
#include <string>

#include "MyFunc.h"
#include "Unit1.h"

namespace {

using enum TControlId;
using enum TControlKind;
constexpr TImeMode ImeOff = TImeMode::Off;
constexpr TImeMode ImeAllowed = TImeMode::Allowed;

// A prefix or suffix of nothing but blanks would only widen the text.
std::string VisibleOrEmpty(const std::string& text) {
    return RemoveBlanks(text).empty() ? std::string() : text;
}

}  // namespace

// Lines 1 and 2 of the settings file hold the window's position; the controls follow from 3.
// The names are the dialog's own; the comments say what the controls set, in row order.
// clang-format off
const std::array<TControlRow, ControlCount> ControlTable = {{
    // The start and the end mark (TMarkKind).
    {ComboBox1,   "ComboBox1",   ComboBox,   &TForm1::ComboBox1,   3,  0,  ImeOff},
    {ComboBox2,   "ComboBox2",   ComboBox,   &TForm1::ComboBox2,   4,  0,  ImeOff},
    // The value's text type, its decimals and its rounding mode.
    {ComboBox3,   "ComboBox3",   ComboBox,   &TForm1::ComboBox3,   5,  0,  ImeOff},
    {ComboBox4,   "ComboBox4",   ComboBox,   &TForm1::ComboBox4,   6,  0,  ImeOff},
    {ComboBox5,   "ComboBox5",   ComboBox,   &TForm1::ComboBox5,   7,  0,  ImeOff},
    // The point marks' magnification (端点倍率); the line arrow ignores it.
    {Edit1,       "Edit1",       Edit,       &TForm1::Edit1,       8,  16, ImeOff},
    // The value's prefix and suffix.
    {Edit2,       "Edit2",       Edit,       &TForm1::Edit2,       9,  32, ImeAllowed},
    {Edit3,       "Edit3",       Edit,       &TForm1::Edit3,       10, 32, ImeAllowed},
    // Paper mm: the value's gap above the line, the extension lines' gap and their overshoot.
    {Edit4,       "Edit4",       Edit,       &TForm1::Edit4,       11, 16, ImeOff},
    {Edit5,       "Edit5",       Edit,       &TForm1::Edit5,       12, 16, ImeOff},
    {Edit6,       "Edit6",       Edit,       &TForm1::Edit6,       13, 16, ImeOff},
    // The line arrow's length (paper mm) and its angle (degrees).
    {Edit7,       "Edit7",       Edit,       &TForm1::Edit7,       14, 8,  ImeOff},
    {Edit8,       "Edit8",       Edit,       &TForm1::Edit8,       15, 8,  ImeOff},
    // Paper mm: how far the dimension line runs past a reversed mark.
    {Edit9,       "Edit9",       Edit,       &TForm1::Edit9,       16, 16, ImeOff},
    // Trailing zeros of the decimals kept or dropped; the unit, mm or m.
    {RadioGroup1, "RadioGroup1", RadioGroup, &TForm1::RadioGroup1, 17, 0,  ImeAllowed},
    {RadioGroup2, "RadioGroup2", RadioGroup, &TForm1::RadioGroup2, 18, 0,  ImeAllowed},
    // Thousands commas, the unit appended, a full-width value, a dimension figure.
    {CheckBox1,   "CheckBox1",   CheckBox,   &TForm1::CheckBox1,   19, 0,  ImeAllowed},
    {CheckBox2,   "CheckBox2",   CheckBox,   &TForm1::CheckBox2,   20, 0,  ImeAllowed},
    {CheckBox3,   "CheckBox3",   CheckBox,   &TForm1::CheckBox3,   21, 0,  ImeAllowed},
    {CheckBox4,   "CheckBox4",   CheckBox,   &TForm1::CheckBox4,   22, 0,  ImeAllowed},
    // OK and Cancel.
    {Button1,     "Button1",     Button,     std::monostate{},     0,  0,  ImeAllowed},
    {Button2,     "Button2",     Button,     std::monostate{},     0,  0,  ImeAllowed},
}};
// clang-format on

static_assert(ControlCount == static_cast<std::size_t>(TControlId::Button2) + 1,
              "one row for every control");

const char* ControlName(TControlId id) {
    const auto index = static_cast<std::size_t>(id);
    return index < ControlTable.size() ? ControlTable[index].Name : "";
}

bool TypingKeepsLimit(std::size_t bytesBefore, std::size_t bytesAfter, std::size_t maxBytes) {
    return bytesAfter <= maxBytes || bytesAfter <= bytesBefore;
}

std::string FitInsertion(std::size_t kept, std::string_view inserted, std::size_t maxBytes) {
    if (kept >= maxBytes) return {};
    return TruncateWholeChars(inserted, maxBytes - kept);
}

TDimParams TForm1::ReadDimParams() const {
    TDimParams params;
    params.StartMark = ComboBox1.ItemIndex;
    params.EndMark = ComboBox2.ItemIndex;
    params.MarkScale = SafeStrToFloat(Edit1.Text);
    params.ArrowLength = SafeStrToFloat(Edit7.Text);
    params.ArrowAngle = SafeStrToFloat(Edit8.Text);
    params.TextTypeIndex = ComboBox3.ItemIndex;
    params.Prefix = VisibleOrEmpty(Edit2.Text);
    params.Suffix = VisibleOrEmpty(Edit3.Text);
    params.Decimals = ComboBox4.ItemIndex;
    params.RoundMode = ComboBox5.ItemIndex;
    params.ZeroDisplay = RadioGroup1.ItemIndex;
    params.UnitIndex = RadioGroup2.ItemIndex;
    params.Commas = CheckBox1.Checked;
    params.AppendUnit = CheckBox2.Checked;
    params.FullWidth = CheckBox3.Checked;
    params.DimFigure = CheckBox4.Checked;
    params.TextGap = SafeStrToFloat(Edit4.Text);
    params.ExtGap = SafeStrToFloat(Edit5.Text);
    params.ExtOvershoot = SafeStrToFloat(Edit6.Text);
    params.ReverseOvershoot = SafeStrToFloat(Edit9.Text);
    return params;
}
