// The dialog TForm1 without a window: its controls and their table, the start-up and close
// sequences and the settings file. A window (or the batch runner) shows it through TFormView.
#pragma once

#include <array>
#include <cstddef>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

#include "JwwGaibu.h"
#include "Unit1Dim.h"

// The controls the dialog's logic knows by name, in the order of their settings lines (the tab
// order is the window table's).
enum class TControlId : int {
    ComboBox1,
    ComboBox2,
    ComboBox3,
    ComboBox4,
    ComboBox5,
    Edit1,
    Edit2,
    Edit3,
    Edit4,
    Edit5,
    Edit6,
    Edit7,
    Edit8,
    Edit9,
    RadioGroup1,
    RadioGroup2,
    CheckBox1,
    CheckBox2,
    CheckBox3,
    CheckBox4,
    Button1,
    Button2,
};
inline constexpr std::size_t ControlCount = 22;

// "ComboBox3", "Edit8", ...; "" for a value outside the table.
const char* ControlName(TControlId id);

// What the dialog's logic asks of the window showing it. Win32Form draws it; the batch runner
// records it.
struct TFormView {
    virtual void FocusControl(TControlId id) = 0;
    virtual void ShowStatus(const std::string& sjis) = 0;   // shown and repainted at once
    virtual void ShowMessage(const std::string& sjis) = 0;  // modal, question mark, one OK
    virtual void Close() = 0;                               // the owner then runs FormClose
    virtual void GetPosition(int& left, int& top) = 0;      // window's screen position
    virtual void MoveTo(int left, int top) = 0;
    virtual void ShowInfoPage(const std::string& url) = 0;  // failures ignored
    virtual ~TFormView() = default;
};

struct TComboBox {
    std::vector<std::string> Items;
    int ItemIndex = -1;  // -1: no selection
};

struct TEdit {
    std::string Text;
};

struct TRadioGroup {
    std::vector<std::string> Items;
    int ItemIndex = 0;
};

struct TCheckBox {
    bool Checked = false;
};

struct TLabel {
    std::string Caption;
};

// The status line's texts, Shift-JIS: blank until OK runs, then the handler's.
extern const char DialogTitle[];        // 平行寸法線, the dialog's title bar
extern const char ApplicationTitle[];   // zr47_平行寸法線, the name in the task bar
extern const char StatusBlank[];        // a full-width blank
extern const char StatusBusy[];         // 処理中です
extern const char StatusWriting[];      // ファイル生成中です
extern const char ZeroLengthMessage[];  // 寸法が「0」になりますので作図出来ません

class TForm1;

enum class TControlKind { ComboBox, Edit, RadioGroup, CheckBox, Button };

// Whether the input method may be used while the control has the focus.
enum class TImeMode { Allowed, Off };

// Where a control keeps its value in TForm1; buttons keep none.
using TControlMember = std::variant<std::monostate, TComboBox TForm1::*, TEdit TForm1::*,
                                    TRadioGroup TForm1::*, TCheckBox TForm1::*>;

// One control: everything about it that is not a matter of the window system.
struct TControlRow {
    TControlId Id;
    const char* Name;
    TControlKind Kind;
    TControlMember Member;
    int SettingsLine;  // 1-based line of the settings file; 0: not kept
    int MaxBytes;      // what the user may type, in Shift-JIS bytes; 0: no limit
    TImeMode Ime;
};

// Every control, in the order of TControlId.
extern const std::array<TControlRow, ControlCount> ControlTable;

inline const TControlRow& ControlRow(TControlId id) {
    return ControlTable[static_cast<std::size_t>(id)];
}

// The typing rule of a limited edit box: an edit that leaves the text within maxBytes Shift-JIS
// bytes, or no longer than it was (a text set by the program may be longer), is kept.
bool TypingKeepsLimit(std::size_t bytesBefore, std::size_t bytesAfter, std::size_t maxBytes);

// What of `inserted` fits when it replaces a selection and `kept` bytes stay around it: the
// longest run of whole characters from its front within maxBytes in all.
std::string FitInsertion(std::size_t kept, std::string_view inserted, std::size_t maxBytes);

// Where the window stands, left and top in screen pixels, when no settings file says otherwise.
inline constexpr int DefaultWindowPosition = 100;

class TForm1 {
public:
    explicit TForm1(TFormView& view);

    // Set by the program entry before FormShow; everything else is derived from it.
    TPath ExePath;

    TPath ToolFolder;
    std::string InfoPageUrl;
    int SavedLeft = DefaultWindowPosition;
    int SavedTop = DefaultWindowPosition;

    TComboBox ComboBox1, ComboBox2, ComboBox3, ComboBox4, ComboBox5;
    TEdit Edit1, Edit2, Edit3, Edit4, Edit5, Edit6, Edit7, Edit8, Edit9;
    TRadioGroup RadioGroup1, RadioGroup2;
    TCheckBox CheckBox1, CheckBox2, CheckBox3, CheckBox4;
    TLabel LabelA1;

    void FormShow();
    void Button1Click();
    void Button2Click();
    void FormClose();

    void LoadSettings(const TPath& path);
    // False when the file could not be replaced; the old one is then kept as it was.
    [[nodiscard]] bool SaveSettings(const TPath& path);
    TPath SettingsFile() const;  // ExePath with ".dat"

    // The controls' values for one press of OK, distances still in paper millimetres.
    TDimParams ReadDimParams() const;

private:
    void ShowStatus(const char* sjis);
    void FillTextTypeList();

    TFormView& View;
};
