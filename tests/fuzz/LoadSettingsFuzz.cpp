// A hand-edited pardim.dat through LoadSettings: every control ends within its range, and what
// SaveSettings then writes loads back to the same controls.
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>
#include <vector>

#include "FuzzSupport.h"
#include "RecordingView.h"
#include "Unit1.h"

namespace {

std::vector<const TComboBox*> Combos(const TForm1& f) {
    return {&f.ComboBox1, &f.ComboBox2, &f.ComboBox3, &f.ComboBox4, &f.ComboBox5};
}

// Every value the settings file keeps, in its line order. A list left without a selection is
// saved as -1, which loads as the first item: the saved file cannot tell the two apart.
std::vector<std::string> Snapshot(const TForm1& f, bool noSelectionAsFirst) {
    std::vector<std::string> values = {std::to_string(f.SavedLeft), std::to_string(f.SavedTop)};
    for (const TComboBox* box : Combos(f)) {
        const int index = noSelectionAsFirst && box->ItemIndex == -1 ? 0 : box->ItemIndex;
        values.push_back(std::to_string(index));
    }
    for (const TEdit* edit : {&f.Edit1, &f.Edit2, &f.Edit3, &f.Edit4, &f.Edit5, &f.Edit6, &f.Edit7,
                              &f.Edit8, &f.Edit9}) {
        values.push_back(edit->Text);
    }
    values.push_back(std::to_string(f.RadioGroup1.ItemIndex));
    values.push_back(std::to_string(f.RadioGroup2.ItemIndex));
    for (const TCheckBox* check : {&f.CheckBox1, &f.CheckBox2, &f.CheckBox3, &f.CheckBox4}) {
        values.push_back(check->Checked ? "1" : "0");
    }
    return values;
}

void RequireInRange(const TForm1& f) {
    for (const TComboBox* box : Combos(f)) {
        Require(box->ItemIndex >= -1 && box->ItemIndex < static_cast<int>(box->Items.size()),
                "a list's index is one of its items or none");
    }
    for (const TRadioGroup* group : {&f.RadioGroup1, &f.RadioGroup2}) {
        Require(group->ItemIndex >= 0 && group->ItemIndex < static_cast<int>(group->Items.size()),
                "a radio group's index is one of its buttons");
    }
    for (const TEdit* edit : {&f.Edit1, &f.Edit2, &f.Edit3, &f.Edit4, &f.Edit5, &f.Edit6, &f.Edit7,
                              &f.Edit8, &f.Edit9}) {
        Require(edit->Text.find('\n') == std::string::npos, "an edit box holds one line");
    }
}

// 31 lines, each ending with CR LF.
void RequireSavedShape(const std::string& saved) {
    int lines = 0;
    for (std::size_t i = 0; i < saved.size(); ++i) {
        if (saved[i] != '\n') continue;
        Require(i > 0 && saved[i - 1] == '\r', "every saved line ends with CR LF");
        ++lines;
    }
    Require(lines == 31 && saved.ends_with("\r\n"), "the saved file has 31 lines");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const auto& folder = FuzzFolder();
    WriteFileBytes(folder / "pardim.dat",
                   std::string_view(reinterpret_cast<const char*>(data), size));
    std::error_code ec;
    std::filesystem::remove(folder / "JWC_TEMP.TXT", ec);

    TRecordingView view;
    TForm1 form(view);
    form.ExePath = folder / "pardim.exe";
    form.FormShow();  // fills the text-type list, then loads the settings over the defaults
    RequireInRange(form);

    const auto savedPath = folder / "saved.dat";
    if (!form.SaveSettings(savedPath)) std::abort();  // a scratch folder of our own takes it
    RequireSavedShape(ReadFileBytes(savedPath));
    TRecordingView otherView;
    TForm1 other(otherView);
    other.ComboBox3.Items = form.ComboBox3.Items;
    other.LoadSettings(savedPath);
    Require(Snapshot(other, false) == Snapshot(form, true), "saved settings load back the same");
    Require(!std::filesystem::exists(folder / "saved.dat.tmp"), "no temporary file is left");
    JwwFree();
    return 0;
}
