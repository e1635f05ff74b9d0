// Window ids of the dialog's controls. The end-to-end test driver finds the controls of a running
// pardim.exe by these ids, so they are part of the dialog's outside contract: never renumber.
#pragma once

namespace WinId {

enum : int {
    // The system's IDOK and IDCANCEL, so that Enter and Escape reach them through the dialog
    // manager.
    Button1 = 1,
    Button2 = 2,

    ComboBox1 = 101,
    ComboBox2 = 102,
    ComboBox3 = 103,
    ComboBox4 = 104,
    ComboBox5 = 105,

    Edit1 = 111,
    Edit2 = 112,
    Edit3 = 113,
    Edit4 = 114,
    Edit5 = 115,
    Edit6 = 116,
    Edit7 = 117,
    Edit8 = 118,
    Edit9 = 119,

    // A radio group is a group box; its buttons follow it, item i at the group's id + 1 + i.
    RadioGroup1 = 121,
    RadioGroup2 = 125,

    CheckBox1 = 131,
    CheckBox2 = 132,
    CheckBox3 = 133,
    CheckBox4 = 134,

    // LabelN is Label1 + N - 1.
    Label1 = 201,

    LabelA1 = 250,
    Memo1 = 260,
    ScrollBox1 = 270,
    Panel1 = 271,
    WebBrowser1 = 272,
};

constexpr int LabelId(int number) { return Label1 + number - 1; }
constexpr int RadioItemId(int group, int item) { return group + 1 + item; }

}  // namespace WinId
