// TForm1 without a window: defaults, start-up and close, the settings file, OK's checks and
// whole runs against exchange files in a scratch folder, and the batch runner end to end.
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <algorithm>
#include <cstdlib>
#include <fstream>
#include <random>
#include <sstream>

#include "Faults.h"
#include "RecordingView.h"
#include "TestFiles.h"
#include "Unit1.h"
#include "Unit1Headless.h"

namespace fs = std::filesystem;

namespace {

// The names in a folder, sorted.
std::vector<std::string> Names(const fs::path& folder) {
    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(folder)) {
        names.push_back(entry.path().filename().string());
    }
    std::sort(names.begin(), names.end());
    return names;
}

// Every value the settings file keeps, in its line order.
std::vector<std::string> Snapshot(const TForm1& f) {
    std::vector<std::string> values = {std::to_string(f.SavedLeft), std::to_string(f.SavedTop)};
    for (const TComboBox* box :
         {&f.ComboBox1, &f.ComboBox2, &f.ComboBox3, &f.ComboBox4, &f.ComboBox5}) {
        values.push_back(std::to_string(box->ItemIndex));
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

// A scratch folder standing in for the tool's own folder.
class Unit1Run : public ::testing::Test {
protected:
    void SetUp() override { Form.ExePath = Dir / "pardim.exe"; }

    void UseExchange(const char* name) { fs::copy_file(DataFile(name), Dir / "JWC_TEMP.TXT"); }
    std::string Output() const { return ReadBytes(Dir / "JWC_TEMP.TXT"); }
    fs::path Settings() const { return Dir / "pardim.dat"; }

    TScratchFolder Scratch{"pardim-unit1"};
    fs::path Dir = Scratch.Path;
    TRecordingView View;
    TForm1 Form{View};
};

const char FullWidthBlank[] = "\x81\x40";  // 　

// 31 lines as SaveSettings writes them: window at 100 / 100, the dialog's defaults, text type
// No1 picked, then the exchange values of road-one-dimension.txt.
const char RoadSettings[] =
    "100\r\n100\r\n0\r\n0\r\n1\r\n3\r\n2\r\n1\r\n\r\n\r\n0.5\r\n2\r\n2\r\n3\r\n15\r\n2\r\n"
    "0\r\n0\r\n0\r\n0\r\n0\r\n0\r\n0\r\n1\r\n0\r\n0\r\n0\r\n100\r\n0\r\n50\r\n20\r\n";

// The whole output of one dimension with the dialog's defaults and text type No1: attributes,
// extension lines, dimension line, value text, the two arrows and the host's text type.
const char RoadOutput[] =
    "lg0\r\nly0\r\nlc2\r\npn2\r\nlt1\r\nlw0\r\n"
    "cn\"$<\x82\x6c\x82\x72 \x83\x53\x83\x56\x83\x62\x83\x4e>\r\n"  // cn"$<ＭＳ ゴシック>
    "z3\r\n0 2 0 22\r\n"
    "z3\r\n100 2 100 22\r\n"
    "z3\r\n0 20 100 20\r\n"
    "cn1\r\ncc0\r\n"
    "z3\r\ncs 47.75 20.5 10 0 \"100\r\n"
    "z3\r\n0 20 2.89777747886721 20.7764571353076\r\n"
    "z3\r\n0 20 2.89777747886721 19.2235428646924\r\n"
    "z3\r\n"
    "z3\r\n100 20 97.1022225211328 19.2235428646924\r\n"
    "z3\r\n100 20 97.1022225211328 20.7764571353076\r\n"
    "cn2\r\n";

}  // namespace

TEST(TForm1, StartsWithTheDialogDefaults) {
    TRecordingView view;
    TForm1 form(view);
    ASSERT_EQ(form.ComboBox1.Items.size(), 12u);
    EXPECT_EQ(form.ComboBox1.Items[0], "\x90\xfc\x96\xee\x88\xf3");  // 線矢印
    EXPECT_EQ(form.ComboBox1.Items[8], "\x81\x60");                  // ～
    EXPECT_EQ(form.ComboBox1.Items[11], form.ComboBox1.Items[1]);    // two marks, one text
    EXPECT_EQ(form.ComboBox2.Items, form.ComboBox1.Items);
    EXPECT_EQ(form.ComboBox1.ItemIndex, 0);
    EXPECT_EQ(form.ComboBox2.ItemIndex, 0);
    EXPECT_EQ(form.ComboBox3.ItemIndex, -1);
    ASSERT_EQ(form.ComboBox4.Items.size(), 9u);
    EXPECT_EQ(form.ComboBox4.Items[8], "0.00000001");
    EXPECT_EQ(form.ComboBox4.ItemIndex, 3);
    ASSERT_EQ(form.ComboBox5.Items.size(), 3u);
    EXPECT_EQ(form.ComboBox5.Items[2], "\x8e\x6c\x8e\xcc\x8c\xdc\x93\xfc");  // 四捨五入
    EXPECT_EQ(form.ComboBox5.ItemIndex, 2);
    const std::vector<std::string> edits = {form.Edit1.Text, form.Edit2.Text, form.Edit3.Text,
                                            form.Edit4.Text, form.Edit5.Text, form.Edit6.Text,
                                            form.Edit7.Text, form.Edit8.Text, form.Edit9.Text};
    EXPECT_EQ(edits, (std::vector<std::string>{"1", "", "", "0.5", "2", "2", "3", "15", "2"}));
    EXPECT_EQ(form.RadioGroup1.Items, (std::vector<std::string>{"\x96\xb3", "\x97\x4c"}));
    EXPECT_EQ(form.RadioGroup2.Items, (std::vector<std::string>{"mm", "\x82\x8d"}));
    EXPECT_EQ(form.RadioGroup1.ItemIndex, 0);
    EXPECT_EQ(form.RadioGroup2.ItemIndex, 0);
    EXPECT_FALSE(form.CheckBox1.Checked || form.CheckBox2.Checked || form.CheckBox3.Checked ||
                 form.CheckBox4.Checked);
    EXPECT_EQ(form.LabelA1.Caption, FullWidthBlank);
    EXPECT_EQ(form.SavedLeft, 100);
    EXPECT_EQ(form.SavedTop, 100);
}

// Every row of the control table, in its order: the name, the settings line, the typing limit,
// the input method and, read through the row's member, the default that the dialog shows.
TEST(ControlName, NamesEveryControlAsTheDialogDoes) {
    const struct {
        const char* name;
        int line, maxBytes;
        bool imeOff;
        const char* value;  // an item index, a text or a check; nothing for a button
    } rows[] = {
        {"ComboBox1", 3, 0, true, "0"},     {"ComboBox2", 4, 0, true, "0"},
        {"ComboBox3", 5, 0, true, "-1"},    {"ComboBox4", 6, 0, true, "3"},
        {"ComboBox5", 7, 0, true, "2"},     {"Edit1", 8, 16, true, "1"},
        {"Edit2", 9, 32, false, ""},        {"Edit3", 10, 32, false, ""},
        {"Edit4", 11, 16, true, "0.5"},     {"Edit5", 12, 16, true, "2"},
        {"Edit6", 13, 16, true, "2"},       {"Edit7", 14, 8, true, "3"},
        {"Edit8", 15, 8, true, "15"},       {"Edit9", 16, 16, true, "2"},
        {"RadioGroup1", 17, 0, false, "0"}, {"RadioGroup2", 18, 0, false, "0"},
        {"CheckBox1", 19, 0, false, "0"},   {"CheckBox2", 20, 0, false, "0"},
        {"CheckBox3", 21, 0, false, "0"},   {"CheckBox4", 22, 0, false, "0"},
        {"Button1", 0, 0, false, ""},       {"Button2", 0, 0, false, ""},
    };
    static_assert(std::size(rows) == ControlCount);
    TRecordingView view;
    const TForm1 form(view);
    for (std::size_t i = 0; i < ControlCount; ++i) {
        const auto& c = rows[i];
        const TControlRow& row = ControlTable[i];
        SCOPED_TRACE(c.name);
        EXPECT_STREQ(ControlName(static_cast<TControlId>(i)), c.name);
        EXPECT_EQ(row.SettingsLine, c.line);
        EXPECT_EQ(row.MaxBytes, c.maxBytes);
        EXPECT_EQ(row.Ime == TImeMode::Off, c.imeOff);
        const std::string value = std::visit(
            [&form](auto member) -> std::string {
                using T = decltype(member);
                if constexpr (std::is_same_v<T, TEdit TForm1::*>) {
                    return (form.*member).Text;
                } else if constexpr (std::is_same_v<T, TCheckBox TForm1::*>) {
                    return (form.*member).Checked ? "1" : "0";
                } else if constexpr (std::is_same_v<T, std::monostate>) {
                    return "";
                } else {
                    return std::to_string((form.*member).ItemIndex);
                }
            },
            row.Member);
        EXPECT_EQ(value, c.value);
    }
}

TEST_F(Unit1Run, FormShowWithoutExchangeFileListsDefaultTextTypes) {
    Form.FormShow();
    ASSERT_EQ(Form.ComboBox3.Items.size(), 11u);
    EXPECT_EQ(Form.ComboBox3.Items[0],
              "\x8c\xbb\x8d\xdd\x82\xcc\x95\xb6\x8e\x9a\x8e\xed(No1)");  // 現在の文字種(No1)
    EXPECT_EQ(Form.ComboBox3.Items[1], "No1: W3 H3 D0");
    EXPECT_EQ(Form.ComboBox3.Items[10], "No10: W3 H3 D0");
    EXPECT_EQ(Form.ComboBox3.ItemIndex, -1);
    EXPECT_EQ(Form.ToolFolder, Dir / "");
    EXPECT_EQ(View.Events, (std::vector<std::string>{"move 100 100", "info " + Form.InfoPageUrl}));
    EXPECT_EQ(Form.InfoPageUrl.substr(0, 7), "http://");
    EXPECT_EQ(Form.InfoPageUrl.substr(Form.InfoPageUrl.size() - 4), "/pr/");
}

TEST_F(Unit1Run, FormShowListsTheHostsTextTypes) {
    UseExchange("parcel-a-4points-freetext.txt");
    Form.FormShow();
    ASSERT_EQ(Form.ComboBox3.Items.size(), 11u);
    EXPECT_EQ(Form.ComboBox3.Items[0],
              "\x8c\xbb\x8d\xdd\x82\xcc\x95\xb6\x8e\x9a\x8e\xed(Free)");  // 現在の文字種(Free)
    EXPECT_EQ(Form.ComboBox3.Items[2], "No2: W2.5 H2.5 D0");
    EXPECT_EQ(Form.ComboBox3.Items[3], "No3: W3 H3 D0.5");
    EXPECT_EQ(Form.ComboBox3.Items[10], "No10: W6 H3 D1");
}

TEST_F(Unit1Run, FormShowPlacesTheWindowWhereTheSettingsSay) {
    WriteBytes(Settings(), "-50\r\n99999\r\n");
    Form.FormShow();
    ASSERT_FALSE(View.Events.empty());
    EXPECT_EQ(View.Events[0], "move -50 99999");
}

TEST_F(Unit1Run, FormShowSelectsTheSavedTextType) {
    UseExchange("road-one-dimension.txt");
    WriteBytes(Settings(), RoadSettings);
    Form.FormShow();
    EXPECT_EQ(Form.ComboBox3.ItemIndex, 1);
}

TEST_F(Unit1Run, SaveSettingsWritesAllLinesAndLoadRestoresThem) {
    UseExchange("road-one-dimension.txt");
    Form.FormShow();
    Form.SavedLeft = -12;
    Form.SavedTop = 3456;
    Form.ComboBox1.ItemIndex = 11;
    Form.ComboBox2.ItemIndex = 7;
    Form.ComboBox3.ItemIndex = 10;
    Form.ComboBox4.ItemIndex = 8;
    Form.ComboBox5.ItemIndex = 0;
    Form.Edit1.Text = "1.5";
    Form.Edit2.Text = " L= ";
    Form.Edit3.Text = "\x81\x40mm\x81\x40";  // full-width blanks round it
    Form.Edit4.Text = "-1";
    Form.Edit5.Text = "abc";
    Form.Edit6.Text = "0";
    Form.Edit7.Text = "1000";
    Form.Edit8.Text = "179.99";
    Form.Edit9.Text = "";
    Form.RadioGroup1.ItemIndex = 1;
    Form.RadioGroup2.ItemIndex = 1;
    Form.CheckBox1.Checked = true;
    Form.CheckBox3.Checked = true;
    ASSERT_TRUE(Form.SaveSettings(Settings()));

    EXPECT_EQ(ReadBytes(Settings()),
              "-12\r\n3456\r\n11\r\n7\r\n10\r\n8\r\n0\r\n1.5\r\n L= \r\n\x81\x40mm\x81\x40\r\n"
              "-1\r\nabc\r\n0\r\n1000\r\n179.99\r\n\r\n1\r\n1\r\n1\r\n0\r\n1\r\n0\r\n"
              "0\r\n1\r\n0\r\n0\r\n0\r\n100\r\n0\r\n50\r\n20\r\n");

    TRecordingView otherView;
    TForm1 other(otherView);
    other.ComboBox3.Items = Form.ComboBox3.Items;
    other.LoadSettings(Settings());
    EXPECT_EQ(Snapshot(other), Snapshot(Form));
}

TEST_F(Unit1Run, SaveSettingsReplacesALongerOldFileWhole) {
    WriteBytes(Settings(), std::string(5000, 'x'));
    EXPECT_TRUE(Form.SaveSettings(Settings()));
    const std::string saved = ReadBytes(Settings());
    EXPECT_EQ(saved.substr(0, 10), "100\r\n100\r\n");
    EXPECT_EQ(saved.find('x'), std::string::npos);
    EXPECT_EQ(Names(Dir), (std::vector<std::string>{"pardim.dat"}));
}

TEST_F(Unit1Run, SaveSettingsThatCannotReplaceKeepsWhatWasThere) {
    fs::create_directory(Settings());  // a folder in the settings file's place
    WriteBytes(Settings() / "keep", "k");
    EXPECT_FALSE(Form.SaveSettings(Settings()));
    EXPECT_TRUE(fs::is_directory(Settings()));
    EXPECT_EQ(ReadBytes(Settings() / "keep"), "k");
    EXPECT_EQ(Names(Dir), (std::vector<std::string>{"pardim.dat"}));
}

// A file of the user's that happens to have a temporary-looking name is never written over.
TEST_F(Unit1Run, SaveSettingsLeavesAUsersFileOfATemporaryNameAlone) {
    fs::create_directory(Dir / "pardim.dat.tmp");
    WriteBytes(Dir / "pardim.dat.tmp0", "mine");
    EXPECT_TRUE(Form.SaveSettings(Settings()));
    EXPECT_TRUE(fs::is_directory(Dir / "pardim.dat.tmp"));
    EXPECT_EQ(ReadBytes(Dir / "pardim.dat.tmp0"), "mine");
    EXPECT_EQ(Names(Dir),
              (std::vector<std::string>{"pardim.dat", "pardim.dat.tmp", "pardim.dat.tmp0"}));
}

TEST_F(Unit1Run, SaveSettingsIntoAMissingFolderLeavesNothing) {
    EXPECT_FALSE(Form.SaveSettings(Dir / "missing" / "pardim.dat"));
    EXPECT_FALSE(fs::exists(Dir / "missing"));
}

TEST_F(Unit1Run, LoadSettingsWithoutFileKeepsDefaults) {
    for (bool folder : {false, true}) {  // a folder in the file's place reads as no file
        SCOPED_TRACE(folder);
        if (folder) fs::create_directory(Settings());
        Form.SavedLeft = 7;
        Form.LoadSettings(Settings());
        EXPECT_EQ(Form.SavedLeft, 100);
        EXPECT_EQ(Form.SavedTop, 100);
        EXPECT_EQ(Form.ComboBox4.ItemIndex, 3);
        EXPECT_EQ(Form.Edit8.Text, "15");
    }
}

TEST_F(Unit1Run, LoadSettingsFromAnEmptyFileClearsEveryControl) {
    Form.ComboBox3.Items.assign(11, "x");
    Form.CheckBox2.Checked = true;
    WriteBytes(Settings(), "");
    Form.LoadSettings(Settings());
    EXPECT_EQ(Form.SavedLeft, 0);
    EXPECT_EQ(Form.SavedTop, 0);
    for (const TComboBox* box :
         {&Form.ComboBox1, &Form.ComboBox2, &Form.ComboBox3, &Form.ComboBox4, &Form.ComboBox5}) {
        EXPECT_EQ(box->ItemIndex, 0);
    }
    for (const TEdit* edit : {&Form.Edit1, &Form.Edit4, &Form.Edit7, &Form.Edit8, &Form.Edit9}) {
        EXPECT_EQ(edit->Text, "");
    }
    EXPECT_EQ(Form.RadioGroup1.ItemIndex, 0);
    EXPECT_EQ(Form.RadioGroup2.ItemIndex, 0);
    EXPECT_FALSE(Form.CheckBox2.Checked);
}

TEST_F(Unit1Run, LoadSettingsReadsTheLinesATruncatedFileHas) {
    WriteBytes(Settings(), "40\r\n50\r\n6\r\n");
    Form.LoadSettings(Settings());
    EXPECT_EQ(Form.SavedLeft, 40);
    EXPECT_EQ(Form.SavedTop, 50);
    EXPECT_EQ(Form.ComboBox1.ItemIndex, 6);
    EXPECT_EQ(Form.ComboBox2.ItemIndex, 0);
    EXPECT_EQ(Form.Edit1.Text, "");
    EXPECT_EQ(Form.ComboBox4.ItemIndex, 0);
}

TEST_F(Unit1Run, LoadSettingsClampsIndexesAndReadsCheckBoxes) {
    Form.ComboBox3.Items.assign(11, "x");
    // Lines 1-22; the window, five lists, nine edit boxes, two radio groups, four check boxes.
    WriteBytes(Settings(),
               "abc\n12 \n12\n-3\n-1\n9\n3\n1\n\n\n0.5\n2\n2\n3\n15\n2\n5\n-2\n2\nabc\n-1\n0\n");
    Form.LoadSettings(Settings());
    EXPECT_EQ(Form.SavedLeft, 0);              // malformed
    EXPECT_EQ(Form.SavedTop, 0);               // trailing blank is malformed
    EXPECT_EQ(Form.ComboBox1.ItemIndex, -1);   // beyond the last of 12
    EXPECT_EQ(Form.ComboBox2.ItemIndex, 0);    // negative
    EXPECT_EQ(Form.ComboBox3.ItemIndex, 0);    // -1 selects the first
    EXPECT_EQ(Form.ComboBox4.ItemIndex, -1);   // beyond the last of 9
    EXPECT_EQ(Form.ComboBox5.ItemIndex, -1);   // beyond the last of 3
    EXPECT_EQ(Form.RadioGroup1.ItemIndex, 1);  // beyond the last selects the last
    EXPECT_EQ(Form.RadioGroup2.ItemIndex, 0);
    EXPECT_TRUE(Form.CheckBox1.Checked);   // "2"
    EXPECT_FALSE(Form.CheckBox2.Checked);  // "abc"
    EXPECT_TRUE(Form.CheckBox3.Checked);   // "-1"
    EXPECT_FALSE(Form.CheckBox4.Checked);
}

// The last item of a list and of a group is kept; -1 in a group selects its first item.
TEST_F(Unit1Run, LoadSettingsKeepsTheEndsOfEachList) {
    WriteBytes(Settings(), "100\n100\n11\n0\n0\n8\n2\n1\n\n\n0.5\n2\n2\n3\n15\n2\n-1\n1\n");
    Form.LoadSettings(Settings());
    EXPECT_EQ(Form.ComboBox1.ItemIndex, 11);
    EXPECT_EQ(Form.ComboBox4.ItemIndex, 8);
    EXPECT_EQ(Form.RadioGroup1.ItemIndex, 0);
    EXPECT_EQ(Form.RadioGroup2.ItemIndex, 1);
}

TEST_F(Unit1Run, LoadSettingsIgnoresEverythingAfterLine22) {
    const std::string first22 =
        "1\r\n2\r\n3\r\n4\r\n5\r\n6\r\n2\r\n a \r\n\r\n\r\n0.5\r\n2\r\n2\r\n3\r\n15\r\n2\r\n"
        "1\r\n1\r\n1\r\n1\r\n1\r\n1\r\n";
    Form.ComboBox3.Items.assign(11, "x");
    WriteBytes(Settings(), first22 + "garbage\r\n\x81\r\n");
    Form.LoadSettings(Settings());
    TRecordingView otherView;
    TForm1 other(otherView);
    other.ComboBox3.Items.assign(11, "x");
    WriteBytes(Settings(), first22);
    other.LoadSettings(Settings());
    EXPECT_EQ(Form.Edit1.Text, " a ");
    EXPECT_EQ(Snapshot(Form), Snapshot(other));
}

TEST_F(Unit1Run, CancelWritesHqAndLeavesTheSettingsAlone) {
    UseExchange("road-one-dimension.txt");
    WriteBytes(Settings(), RoadSettings);
    Form.FormShow();
    Form.Button2Click();
    EXPECT_EQ(View.Events.back(), "close");
    Form.FormClose();
    EXPECT_EQ(Output(), "hq\r\n");
    EXPECT_EQ(ReadBytes(Settings()), RoadSettings);
}

TEST_F(Unit1Run, ClosingWithoutExchangeFileCreatesHq) {
    Form.FormShow();
    Form.FormClose();
    EXPECT_EQ(Output(), "hq\r\n");
    EXPECT_FALSE(fs::exists(Settings()));
}

TEST_F(Unit1Run, OkDrawsTheWholeDimension) {
    UseExchange("road-one-dimension.txt");
    WriteBytes(Settings(), RoadSettings);
    Form.FormShow();
    View.Left = 320;
    View.Top = -8;
    Form.Button1Click();
    Form.FormClose();
    EXPECT_EQ(Output(), RoadOutput);
    EXPECT_EQ(ReadBytes(Settings()).substr(0, 9), "320\r\n-8\r\n");
    const std::vector<std::string> tail(View.Events.end() - 3, View.Events.end());
    EXPECT_EQ(tail, (std::vector<std::string>{
                        "status \x8f\x88\x97\x9d\x92\x86\x82\xc5\x82\xb7",  // 処理中です
                        "status " + std::string(StatusWriting), "close"}));
    EXPECT_EQ(Form.LabelA1.Caption, StatusWriting);
}

TEST_F(Unit1Run, OkAsDimensionFigureSendsLineAndTextTogether) {
    UseExchange("road-one-dimension.txt");
    WriteBytes(Settings(), RoadSettings);
    Form.FormShow();
    Form.CheckBox4.Checked = true;
    Form.Button1Click();
    Form.FormClose();
    const std::string out = Output();
    const std::string expected =
        "z3\r\n100 2 100 22\r\n"
        "cn1\r\nmsg\r\n0 20 100 20\r\ncs 47.75 20.5 10 0 \"100\r\n"
        "z3\r\n0 20 2.89777747886721 20.7764571353076\r\n";
    EXPECT_NE(out.find(expected), std::string::npos) << out;
    EXPECT_EQ(out.find("cc0"), std::string::npos);
}

TEST_F(Unit1Run, HostTextTypeOutsideTheTableIsGivenBackAsItWas) {
    UseExchange("road-cn12.txt");
    WriteBytes(Settings(), RoadSettings);
    Form.FormShow();
    EXPECT_EQ(Form.ComboBox3.Items[0],
              "\x8c\xbb\x8d\xdd\x82\xcc\x95\xb6\x8e\x9a\x8e\xed(No12)");  // 現在の文字種(No12)
    Form.ComboBox3.ItemIndex = 0;
    Form.Button1Click();
    Form.FormClose();
    const std::string out = Output();
    EXPECT_NE(out.find("cn1\r\ncc0\r\nz3\r\ncs 47.75 20.5 10 0 \"100\r\n"), std::string::npos)
        << out;
    const std::string end = "100 20 97.1022225211328 20.7764571353076\r\ncn12\r\n";
    ASSERT_GE(out.size(), end.size());
    EXPECT_EQ(out.substr(out.size() - end.size()), end);
}

TEST_F(Unit1Run, DrawingScaleWidensGapsArrowsAndText) {
    UseExchange("road-scale50.txt");
    WriteBytes(Settings(), RoadSettings);
    Form.FormShow();
    Form.Button1Click();
    Form.FormClose();
    const std::string out = Output();
    const std::string expected =
        "z3\r\n0 100 0 600\r\n"
        "z3\r\n1000 100 1000 600\r\n"
        "z3\r\n0 500 1000 500\r\n"
        "cn1\r\ncc0\r\n"
        "z3\r\ncs 350 525 10 0 \"1000\r\n"
        "z3\r\n0 500 144.88887394336 538.822856765378\r\n";
    EXPECT_NE(out.find(expected), std::string::npos) << out;
}

TEST_F(Unit1Run, ZeroLengthIsRefusedAfterTheSettingsAreSaved) {
    UseExchange("road-zero-length.txt");
    WriteBytes(Settings(), RoadSettings);
    Form.FormShow();
    View.Left = 5;
    Form.Button1Click();
    EXPECT_EQ(View.Events.back(), std::string("message ") + ZeroLengthMessage);
    EXPECT_TRUE(OutputLines.empty());
    EXPECT_EQ(Form.LabelA1.Caption, FullWidthBlank);
    EXPECT_EQ(ReadBytes(Settings()).substr(0, 3), "5\r\n");
    Form.Button2Click();
    Form.FormClose();
    EXPECT_EQ(Output(), "hq\r\n");
}

// A prefix typed as "a" and CR in a hand-edited settings file, and a host font name with a
// two-byte character broken by a CR, reach the host without a CR or LF inside a line.
TEST_F(Unit1Run, OkWritesNoLineBreakInsideALine) {
    WriteBytes(Dir / "JWC_TEMP.TXT", "hp1 0 0\r\nhp2 100 0\r\nhp3 50 20\r\ncn\"$<F\x82\rG>\r\n");
    std::string settings = RoadSettings;
    settings.replace(settings.find("1\r\n\r\n\r\n0.5"), 10, "1\r\na\r\r\n\r\n0.5");
    WriteBytes(Settings(), settings);
    Form.FormShow();
    EXPECT_EQ(Form.Edit2.Text, "a\r");
    Form.Button1Click();
    Form.FormClose();
    const std::string out = Output();
    EXPECT_NE(out.find("\r\ncn\"$<FG>\r\n"), std::string::npos) << out;
    EXPECT_NE(out.find(" \"a100\r\n"), std::string::npos) << out;
    for (std::size_t i = 0; i < out.size(); ++i) {
        if (out[i] == '\r') {
            EXPECT_EQ(out.substr(i, 2), "\r\n") << i;
        } else if (out[i] == '\n') {
            EXPECT_EQ(out.substr(i - 1, 2), "\r\n") << i;
        }
    }
}

// Each exchange file gives a dimension with a number beyond the range of reals, which the host
// would read as INF or NAN: the points' distance, a point turned into the measured line's frame,
// the gaps at a huge scale, the text's place with a huge text width, a point so near the largest
// double that its 15 digits lie beyond it.
TEST_F(Unit1Run, NonFiniteDimensionIsRefusedLikeAZeroOne) {
    const std::string points = "hp1 0 0\r\nhp2 1000 0\r\nhp3 500 20\r\n";
    const std::string exchanges[] = {
        "hp1 -1e308 0\r\nhp2 1e308 0\r\nhp3 0 20\r\n",
        "hp1 -1e308 -1e308\r\nhp2 1e308 1e308\r\nhp3 0 0\r\n",
        "hs 1e308 1 1 1 1 1 1 1 1 1 1 1 1 1 1 1\r\n" + points,
        "hcw 1e308 3 3 3 3 3 3 3 3 3\r\n" + points,
        "hp1 0 0\r\nhp2 1.7976931348623157e308 0\r\nhp3 0 20\r\n",
    };
    for (const auto& exchange : exchanges) {
        SCOPED_TRACE(exchange);
        WriteBytes(Dir / "JWC_TEMP.TXT", exchange);
        WriteBytes(Settings(), RoadSettings);
        View.Events.clear();
        Form.FormShow();
        Form.Button1Click();
        EXPECT_EQ(View.Events.back(), std::string("message ") + ZeroLengthMessage);
        EXPECT_TRUE(OutputLines.empty());
        EXPECT_EQ(Form.LabelA1.Caption, FullWidthBlank);
        Form.Button2Click();
        Form.FormClose();
        EXPECT_EQ(Output(), "hq\r\n");
    }
}

// A dimension line of 1e-10 is drawn; anything shorter is refused as of zero length.
TEST_F(Unit1Run, ZeroLengthEndsJustBelow1E10) {
    struct {
        const char* p2;
        bool drawn;
    } cases[] = {{"1e-10", true}, {"9.9e-11", false}, {"-1e-10", true}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.p2);
        WriteBytes(Dir / "JWC_TEMP.TXT",
                   std::string("hp1 0 0\r\nhp2 ") + c.p2 + " 0\r\nhp3 0 20\r\n");
        WriteBytes(Settings(), RoadSettings);
        View.Events.clear();
        Form.FormShow();
        Form.Button1Click();
        EXPECT_EQ(View.Events.back(),
                  c.drawn ? std::string("close") : std::string("message ") + ZeroLengthMessage);
        Form.FormClose();
    }
}

TEST_F(Unit1Run, FailedCheckFocusesAndWritesNothing) {
    UseExchange("road-one-dimension.txt");
    WriteBytes(Settings(), RoadSettings);
    Form.FormShow();
    Form.Edit8.Text = "0";
    Form.Edit9.Text = "-1";
    Form.Button1Click();
    EXPECT_EQ(View.Events.back(), "focus Edit8");
    Form.Edit8.Text = "15";
    Form.Button1Click();
    EXPECT_EQ(View.Events.back(), "focus Edit9");
    EXPECT_TRUE(OutputLines.empty());
    EXPECT_EQ(ReadBytes(Settings()), RoadSettings);
    Form.Button2Click();
    Form.FormClose();
    EXPECT_EQ(Output(), "hq\r\n");
}

// The quick run's decision on a settings file: complete settings draw; a failed check leaves both
// files as they were, for the dialog; a zero length leaves "hq".
TEST_F(Unit1Run, HeadlessRunDecidesOnTheSettingsFile) {
    using enum THeadlessRun::TOutcome;
    const auto with = [](std::size_t line, const char* value) {  // RoadSettings, one line changed
        std::string text = RoadSettings;
        std::size_t at = 0;
        for (std::size_t n = 1; n < line; ++n) at = text.find("\r\n", at) + 2;
        return text.replace(at, text.find("\r\n", at) - at, value);
    };
    const struct {
        const char* input;
        std::string settings;  // "": no settings file, as on first use
        THeadlessRun::TOutcome outcome;
        TControlId focus;
    } rows[] = {
        {"road-one-dimension.txt", RoadSettings, Drawn, {}},
        {"road-one-dimension.txt", "", CheckFailed, TControlId::ComboBox3},
        {"road-one-dimension.txt", with(5, "10"), Drawn, {}},  // text type No10
        {"road-one-dimension.txt", with(5, "11"), CheckFailed, TControlId::ComboBox3},
        {"road-one-dimension.txt", with(15, "179.99"), Drawn, {}},
        {"road-one-dimension.txt", with(15, "180"), CheckFailed, TControlId::Edit8},
        {"road-one-dimension.txt", with(8, "0.01"), Drawn, {}},
        {"road-one-dimension.txt", with(8, "0"), CheckFailed, TControlId::Edit1},
        {"road-zero-length.txt", RoadSettings, Refused, {}},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.settings);
        fs::remove(Settings());
        fs::copy_file(DataFile(row.input), Dir / "JWC_TEMP.TXT",
                      fs::copy_options::overwrite_existing);
        if (!row.settings.empty()) WriteBytes(Settings(), row.settings);
        const THeadlessRun run = RunHeadless(Form.ExePath);
        EXPECT_EQ(run.Outcome, row.outcome);
        const std::string input = ReadBytes(DataFile(row.input));
        if (row.outcome == CheckFailed) {
            EXPECT_EQ(ControlName(run.Focus), std::string(ControlName(row.focus)));
            EXPECT_EQ(Output(), input);
            EXPECT_EQ(fs::exists(Settings()) ? ReadBytes(Settings()) : "", row.settings);
        } else {
            EXPECT_EQ(Output() == "hq\r\n", row.outcome == Refused);
            EXPECT_NE(Output(), input);
        }
    }
}

// One whole run (OK, then Cancel if OK was refused) against each fault of rights and disk, as
// the tool's user meets it (an ordinary user even when the tests run as root). Every file is
// afterwards whole: the new one, or the old one as it was; nothing is left beside them.
TEST(FormClose, FileSystemFaultsLoseNoFile) {
    enum TFault { ReadOnly, FolderInstead, WriteCutShort };
    const struct {
        const char* target;  // in the tool's folder; "": the folder itself
        TFault fault;
        bool settingsSaved;    // else kept as they were
        const char* exchange;  // what the host reads back; nullptr: its own file, as it was
    } cases[] = {
        {"", ReadOnly, false, nullptr},
        {"JWC_TEMP.TXT", ReadOnly, true, nullptr},
        {"JWC_TEMP.TXT", FolderInstead, true, nullptr},
        {"pardim.dat", ReadOnly, false, RoadOutput},
        {"pardim.dat", FolderInstead, false, "hq\r\n"},
        {"", WriteCutShort, false, nullptr},
    };
    // What a file, or a folder in its place, holds.
    const auto contents = [](const fs::path& path) {
        return fs::is_directory(path) ? "folder " + ReadBytes(path / "inside") : ReadBytes(path);
    };
    // The settings as OK saves them from the window at 320 / -8, up to line 22.
    std::string saved = RoadSettings;
    saved.replace(0, 10, "320\r\n-8\r\n");
    saved.erase(saved.find("0\r\n1\r\n0\r\n0\r\n0\r\n100"));
    // The host's own file begins with "hq": read back unchanged, it draws nothing.
    ASSERT_EQ(ReadBytes(DataFile("road-one-dimension.txt")).substr(0, 4), "hq\r\n");
    for (const auto& c : cases) {
        const char* const faultNames[] = {"read-only", "a folder", "write cut short"};
        SCOPED_TRACE(std::string(c.target) + " " + faultNames[c.fault]);
        TScratchFolder scratch("pardim-fault");
        const fs::path exchange = scratch.Path / "JWC_TEMP.TXT";
        const fs::path settings = scratch.Path / "pardim.dat";
        fs::copy_file(DataFile("road-one-dimension.txt"), exchange);
        WriteBytes(settings, RoadSettings);
        const fs::path target = scratch.Path / c.target;
        if (c.fault == ReadOnly) {
            fs::permissions(
                target, fs::perms::owner_write | fs::perms::group_write | fs::perms::others_write,
                fs::perm_options::remove);
        } else if (c.fault == FolderInstead) {
            fs::remove(target);
            fs::create_directory(target);
            WriteBytes(target / "inside", "kept");
        }
        const std::string oldExchange = contents(exchange);
        const std::string oldSettings = contents(settings);
        RunAsOrdinaryUser(
            scratch.Path,
            [&] {
                TRecordingView view;
                TForm1 form(view);
                form.ExePath = scratch.Path / "pardim.exe";
                form.FormShow();
                view.Left = 320;
                view.Top = -8;
                form.Button1Click();
                if (!view.Closed) form.Button2Click();
                form.FormClose();
            },
            c.fault == WriteCutShort ? 16 : 0);
        if (c.settingsSaved) {
            EXPECT_EQ(ReadBytes(settings).substr(0, saved.size()), saved);
        } else {
            EXPECT_EQ(contents(settings), oldSettings);
        }
        EXPECT_EQ(contents(exchange), c.exchange ? c.exchange : oldExchange);
        EXPECT_EQ(Names(scratch.Path), (std::vector<std::string>{"JWC_TEMP.TXT", "pardim.dat"}));
    }
}

// Each row spoils one field of an otherwise valid dialog.
TEST(CheckDimParams, FocusesTheFirstInvalidControl) {
    struct {
        void (*spoil)(TForm1&);
        const char* focus;  // nullptr: passes
    } cases[] = {
        {[](TForm1& f) { f.ComboBox1.ItemIndex = -1; }, "ComboBox1"},
        {[](TForm1& f) { f.ComboBox2.ItemIndex = -1; }, "ComboBox2"},
        {[](TForm1& f) { f.Edit1.Text = "0"; }, "Edit1"},
        {[](TForm1& f) { f.Edit1.Text = "-1"; }, "Edit1"},
        {[](TForm1& f) { f.Edit1.Text = "abc"; }, "Edit1"},
        {[](TForm1& f) { f.Edit1.Text = "0.01"; }, nullptr},
        {[](TForm1& f) { f.Edit7.Text = "1000"; }, nullptr},
        {[](TForm1& f) { f.Edit7.Text = "1000.001"; }, "Edit7"},
        {[](TForm1& f) { f.Edit7.Text = "0"; }, "Edit7"},
        {[](TForm1& f) { f.Edit8.Text = "179.99"; }, nullptr},
        {[](TForm1& f) { f.Edit8.Text = "180"; }, "Edit8"},
        {[](TForm1& f) { f.Edit8.Text = "0"; }, "Edit8"},
        {[](TForm1& f) { f.ComboBox3.ItemIndex = -1; }, "ComboBox3"},
        {[](TForm1& f) { f.ComboBox4.ItemIndex = -1; }, "ComboBox4"},
        {[](TForm1& f) { f.ComboBox5.ItemIndex = -1; }, "ComboBox5"},
        {[](TForm1& f) { f.RadioGroup1.ItemIndex = -1; }, "RadioGroup1"},
        {[](TForm1& f) { f.RadioGroup2.ItemIndex = -1; }, "RadioGroup2"},
        {[](TForm1& f) { f.Edit5.Text = "-0.1"; }, "Edit5"},
        {[](TForm1& f) { f.Edit5.Text = "abc"; }, nullptr},
        {[](TForm1& f) { f.Edit6.Text = "-1"; }, "Edit6"},
        {[](TForm1& f) { f.Edit9.Text = "-1"; }, "Edit9"},
        {[](TForm1& f) { f.Edit4.Text = "-1"; }, nullptr},
        {[](TForm1& f) { f.Edit7.Text = "0.01"; }, nullptr},
        {[](TForm1& f) { f.Edit8.Text = "0.01"; }, nullptr},
        {[](TForm1& f) { f.Edit6.Text = "0"; }, nullptr},
        {[](TForm1& f) { f.Edit9.Text = "0"; }, nullptr},
        {[](TForm1& f) { f.ComboBox3.ItemIndex = 0; }, nullptr},
        {[](TForm1& f) { f.ComboBox4.ItemIndex = 0; }, nullptr},
        {[](TForm1& f) { f.ComboBox5.ItemIndex = 0; }, nullptr},
        {[](TForm1& f) { f.RadioGroup2.ItemIndex = 1; }, nullptr},
        {[](TForm1& f) {
             f.Edit1.Text = "0";
             f.Edit9.Text = "-1";
         },
         "Edit1"},
        {[](TForm1& f) {
             f.ComboBox3.ItemIndex = -1;
             f.Edit5.Text = "-1";
         },
         "ComboBox3"},
    };
    int row = 0;
    for (const auto& c : cases) {
        SCOPED_TRACE(row++);
        TRecordingView view;
        TForm1 form(view);
        form.ComboBox3.ItemIndex = 1;
        c.spoil(form);
        const auto bad = CheckDimParams(form.ReadDimParams());
        if (c.focus) {
            ASSERT_TRUE(bad.has_value());
            EXPECT_STREQ(ControlName(*bad), c.focus);
        } else {
            EXPECT_FALSE(bad.has_value());
        }
    }
}

// A wrong entry only moves the cursor, so the readme's table of ranges is where a drafter learns
// the limits. Each row ties a field's line there (the readme is kept in UTF-8) to values just
// inside and just outside what OK takes; a field that is not wholly a number counts as 0.
TEST(CheckDimParams, TakesWhatTheReadmeStates) {
    const std::string readme = ReadBytes(PARDIM_README);
    const std::size_t table = readme.find(
        "\xe2\x96\xa0 \xe5\x85\xa5\xe5\x8a\x9b\xe3\x81\xa7"
        "\xe3\x81\x8d\xe3\x82\x8b\xe5\x80\xa4\n");  // ■ 入力できる値
    ASSERT_NE(table, std::string::npos);
    const std::string ranges = readme.substr(table, readme.find("\n\n\n", table) - table);
    EXPECT_NE(ranges.find("\xe3\x81\xaf 0 \xe3\x81\xa8\xe3\x81\x97\xe3\x81\xa6\xe6\x89\xb1\xe3\x81"
                          "\x84\xe3\x81\xbe\xe3\x81\x99"),  // は 0 として扱います
              std::string::npos);
    const char* const above0 = "0 \xe3\x82\x88\xe3\x82\x8a\xe5\xa4\xa7\xe3\x81\x8d";  // 0 より大き
    const char* const atLeast0 = "0 \xe4\xbb\xa5\xe4\xb8\x8a";                        // 0 以上
    const struct {
        TEdit TForm1::*edit;
        const char* caption;  // UTF-8
        std::string range;    // UTF-8
        std::vector<const char*> taken, refused;
    } rows[] = {
        {&TForm1::Edit1,
         "\xef\xbc\xbb\xe7\xab\xaf\xe7\x82\xb9\xe5\x80\x8d\xe7\x8e\x87\xef\xbc\xbd",  // ［端点倍率］
         std::string(above0) + "\xe3\x81\x84\xe5\x80\xa4",  // 0 より大きい値
         {"0.0001", "1000000"},
         {"0", "-0.0001", "3mm", "1,5", ""}},
        {&TForm1::Edit7,
         "\xef\xbc\xbb\xe9\x95\xb7\xe3\x81\x95\xef\xbc\xbd",  // ［長さ］
         std::string(above0) +
             "\xe3\x81\x8f 1000 \xe4\xbb\xa5\xe4\xb8\x8b",  // 0 より大きく 1000 以下
         {"0.0001", "1000"},
         {"0", "1000.0001"}},
        {&TForm1::Edit8,
         "\xef\xbc\xbb\xe8\xa7\x92\xe5\xba\xa6\xef\xbc\xbd",  // ［角度］
         std::string(above0) +
             "\xe3\x81\x8f 180 \xe6\x9c\xaa\xe6\xba\x80",  // 0 より大きく 180 未満
         {"0.0001", "179.9999"},
         {"0", "180"}},
        {&TForm1::Edit4,
         "\xef\xbc\xbb\xe5\xaf\xb8\xe6\xb3\x95\xe5\x80\xa4\xe3\x81\xa8\xe6\xb0\xb4\xe5\xb9\xb3\xe7"
         "\xb7\x9a\xe3\x81\xa8\xe3\x81\xae\xe8\xb7\x9d\xe9\x9b\xa2\xef\xbc\xbd",  // ［寸法値と水平線との距離］
         "\xe3\x81\xa9\xe3\x81\xae\xe5\x80\xa4\xe3\x81\xa7\xe3\x82\x82\xe5\x8f\xaf",  // どの値でも可
         {"-1000000", "1000000", "abc"},
         {}},
        {&TForm1::Edit5,
         "\xef\xbc\xbb\xe8\xa8\x88\xe6\xb8\xac\xe7\x82\xb9\xe3\x81\xa8\xe5\xaf\xb8\xe6\xb3\x95\xe8"
         "\xa3\x9c\xe5\x8a\xa9\xe7\xb7\x9a\xe3\x81\xae\xe8\xb7\x9d\xe9\x9b\xa2\xef\xbc\xbd",  // ［計測点と寸法補助線の距離］
         atLeast0,
         {"0", "abc"},
         {"-0.0001"}},
        {&TForm1::Edit6,
         "\xef\xbc\xbb\xe5\xaf\xb8\xe6\xb3\x95\xe8\xa3\x9c\xe5\x8a\xa9\xe7\xb7\x9a\xe3\x81\xae\xe3"
         "\x81\xaf\xe3\x81\xbf\xe5\x87\xba\xe3\x81\x97\xe8\xb7\x9d\xe9\x9b\xa2\xef\xbc\xbd",  // ［寸法補助線のはみ出し距離］
         atLeast0,
         {"0", "abc"},
         {"-0.0001"}},
        {&TForm1::Edit9,
         "\xef\xbc\xbb\xe9\x80\x86\xe7\x9f\xa2\xe5\x8d\xb0\xe3\x81\xae\xe5\xaf\xb8\xe6\xb3\x95\xe3"
         "\x81\xaf\xe3\x81\xbf\xe3\x81\xa0\xe3\x81\x97\xe8\xb7\x9d\xe9\x9b\xa2\xef\xbc\xbd",  // ［逆矢印の寸法はみだし距離］
         atLeast0,
         {"0", "abc"},
         {"-0.0001"}},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.caption);
        const std::size_t at = ranges.find(std::string("\n  ") + row.caption);
        ASSERT_NE(at, std::string::npos);
        const std::string line = ranges.substr(at + 1, ranges.find('\n', at + 1) - at - 1);
        EXPECT_NE(line.find(row.range), std::string::npos) << line;
        for (const auto& [values, taken] : {std::pair{row.taken, true}, {row.refused, false}}) {
            for (const char* value : values) {
                SCOPED_TRACE(value);
                TRecordingView view;
                TForm1 form(view);
                form.ComboBox3.ItemIndex = 1;
                (form.*row.edit).Text = value;
                EXPECT_EQ(CheckDimParams(form.ReadDimParams()).has_value(), !taken);
            }
        }
    }
}

TEST(ReadDimParams, TakesTheControlsAsTheyStand) {
    TRecordingView view;
    TForm1 form(view);
    form.Edit2.Text = "\x81\x40 ";  // blanks only
    form.Edit3.Text = " A";
    form.Edit4.Text = "abc";
    form.Edit5.Text = "2.5";
    form.CheckBox2.Checked = true;
    const TDimParams params = form.ReadDimParams();
    EXPECT_EQ(params.Prefix, "");
    EXPECT_EQ(params.Suffix, " A");
    EXPECT_EQ(params.TextGap, 0);
    EXPECT_EQ(params.ExtGap, 2.5);
    EXPECT_EQ(params.ArrowAngle, 15);
    EXPECT_EQ(params.TextTypeIndex, -1);
    EXPECT_EQ(params.Decimals, 3);
    EXPECT_EQ(params.RoundMode, 2);
    EXPECT_TRUE(params.AppendUnit);
    EXPECT_FALSE(params.Commas);
}

TEST(ScaleDimParams, TurnsPaperDistancesIntoDrawingUnits) {
    TDimParams params;
    params.TextGap = 0.5;
    params.ExtGap = 2;
    params.ExtOvershoot = 0.1;
    params.ReverseOvershoot = 3;
    params.ArrowLength = 3;
    ScaleDimParams(params, 50);
    EXPECT_EQ(params.Scale, 50);
    EXPECT_EQ(params.TextGap, 25);
    EXPECT_EQ(params.ExtGap, 100);
    EXPECT_EQ(params.ExtOvershoot, 5);
    EXPECT_EQ(params.ReverseOvershoot, 150);
    EXPECT_EQ(params.ArrowLength, 3);  // scaled by the end marks themselves
}

// The batch runner, run as a program on scratch folders.
class PardimBatch : public Unit1Run {
protected:
    // Runs the runner on the folder and returns its exit status; stdout goes to Stdout.
    int Run(const std::string& args) { return RunProgram(PARDIM_BATCH, args, Dir, Stdout, Stderr); }
    std::string Quoted(const fs::path& dir) { return "'" + dir.string() + "'"; }

    std::string Stdout;
    std::string Stderr;
};

TEST_F(PardimBatch, DrawsTheDimensionWithTheSavedSettings) {
    UseExchange("road-one-dimension.txt");
    WriteBytes(Settings(), RoadSettings);
    EXPECT_EQ(Run(Quoted(Dir)), 0);
    EXPECT_EQ(Stdout, "drawn\n");
    EXPECT_EQ(Output(), RoadOutput);
    EXPECT_EQ(ReadBytes(Settings()), RoadSettings);  // same window position, same values
}

// Fixed bytes, so that every build (the Windows ones under Wine too) is held to the same output:
// each sample with its own settings file, or the dialog's defaults with text type No2 and the
// window at 137 / 91, which the golden settings file holds.
TEST_F(PardimBatch, SamplesGiveTheGoldenFiles) {
    for (const char* name : {"road-one-dimension", "road-scale50", "parcel-a-4points-freetext",
                             "parcel-c-mixed-scales-cn10", "parcel-g-4points-lg2",
                             "wall-3639.9995-point-marks"}) {
        SCOPED_TRACE(name);
        const std::string sample = name;
        const fs::path ownSettings = DataFile((sample + ".dat").c_str());
        const fs::path goldenSettings = DataFile(("golden/" + sample + ".dat").c_str());
        const bool hasOwn = fs::exists(ownSettings);
        fs::copy_file(DataFile((sample + ".txt").c_str()), Dir / "JWC_TEMP.TXT",
                      fs::copy_options::overwrite_existing);
        fs::copy_file(hasOwn ? ownSettings : goldenSettings, Settings(),
                      fs::copy_options::overwrite_existing);
        EXPECT_EQ(Run(Quoted(Dir)), 0);
        EXPECT_EQ(Stdout, "drawn\n");
        EXPECT_EQ(Output(), ReadBytes(DataFile(("golden/" + sample + ".out.txt").c_str())));
        if (!hasOwn) {
            EXPECT_EQ(ReadBytes(Settings()), ReadBytes(goldenSettings));
        }
    }
}

TEST_F(PardimBatch, FolderNameWithJapaneseAndBlankWorks) {
    const fs::path inner = Dir / u8"寸法 テスト";
    fs::create_directory(inner);
    fs::copy_file(DataFile("road-one-dimension.txt"), inner / "JWC_TEMP.TXT");
    WriteBytes(inner / "pardim.dat", RoadSettings);
    EXPECT_EQ(Run(Quoted(inner)), 0);
    EXPECT_EQ(Stdout, "drawn\n");
    EXPECT_EQ(ReadBytes(inner / "JWC_TEMP.TXT"), RoadOutput);
}

TEST_F(PardimBatch, WithoutSettingsAsksForTheTextType) {
    UseExchange("road-one-dimension.txt");
    EXPECT_EQ(Run(Quoted(Dir)), 0);
    EXPECT_EQ(Stdout, "focus ComboBox3\n");
    EXPECT_EQ(Output(), "hq\r\n");
    EXPECT_FALSE(fs::exists(Settings()));
}

TEST_F(PardimBatch, BadSettingFocusesItsControl) {
    UseExchange("road-one-dimension.txt");
    std::string settings = RoadSettings;
    settings.replace(settings.find("3\r\n15\r\n"), 7, "3\r\n0\r\n");  // Edit8, the arrow angle
    WriteBytes(Settings(), settings);
    EXPECT_EQ(Run(Quoted(Dir)), 0);
    EXPECT_EQ(Stdout, "focus Edit8\n");
    EXPECT_EQ(Output(), "hq\r\n");
    EXPECT_EQ(ReadBytes(Settings()), settings);
}

TEST_F(PardimBatch, ZeroLengthLeavesHqButSavesSettings) {
    UseExchange("road-zero-length.txt");
    std::string settings = RoadSettings;
    settings.erase(settings.find("0\r\n1\r\n0\r\n0\r\n0\r\n100"));  // keep lines 1-22
    WriteBytes(Settings(), settings);
    EXPECT_EQ(Run(Quoted(Dir)), 0);
    EXPECT_EQ(Stdout, "zero-length\n");
    EXPECT_EQ(Output(), "hq\r\n");
    EXPECT_EQ(ReadBytes(Settings()), settings + "0\r\n1\r\n0\r\n5\r\n5\r\n5\r\n5\r\n5\r\n10\r\n");
}

TEST_F(PardimBatch, InfiniteLengthIsReportedAsZeroLength) {
    WriteBytes(Dir / "JWC_TEMP.TXT", "hp1 -1e308 0\r\nhp2 1e308 0\r\nhp3 0 20\r\n");
    WriteBytes(Settings(), RoadSettings);
    EXPECT_EQ(Run(Quoted(Dir)), 0);
    EXPECT_EQ(Stdout, "zero-length\n");
    EXPECT_EQ(Output(), "hq\r\n");
}

// One message naming the problem, then the usage, on stderr; --help prints the usage alone.
TEST_F(PardimBatch, RefusesBadArgumentsAndWritesNothing) {
    WriteBytes(Dir / "plain-file", "x");
    const struct {
        std::string args;
        const char* message;
    } cases[] = {
        {"", "DIR is missing"},
        {Quoted(Dir / "missing"), "not an existing folder"},
        {Quoted(Dir / "plain-file"), "not an existing folder"},
        {Quoted(Dir) + " " + Quoted(Dir), "only one DIR"},
        {"--bogus", "unknown option"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.args);
        EXPECT_EQ(Run(c.args), 2);
        EXPECT_EQ(Stdout, "");
        const std::string first = Stderr.substr(0, Stderr.find('\n'));
        EXPECT_EQ(first.find("pardim-batch: "), 0u) << Stderr;
        EXPECT_NE(first.find(c.message), std::string::npos) << Stderr;
        EXPECT_NE(Stderr.find("usage: pardim-batch DIR"), std::string::npos);
    }
    EXPECT_FALSE(fs::exists(Dir / "JWC_TEMP.TXT"));
    EXPECT_FALSE(fs::exists(Dir / "missing"));
    EXPECT_EQ(Run("--help"), 0);
    EXPECT_EQ(Stdout.find("usage: pardim-batch DIR"), 0u);
    EXPECT_EQ(Stderr, "");
}

// A JWC_TEMP.TXT that vanishes or shrinks while it is read (a FIFO that ends inside point 2) is
// read as far as it goes: nothing to measure, so OK is refused and the host reads "hq".
TEST_F(PardimBatch, ExchangeFileThatEndsEarlyDrawsNothing) {
    WriteBytes(Settings(), RoadSettings);
    const std::string road = ReadBytes(DataFile("road-one-dimension.txt"));
    TFifoFeed feed(Dir / "JWC_TEMP.TXT", road.substr(0, road.find("hp2  100") + 6));
    EXPECT_EQ(Run(Quoted(Dir)), 0);
    EXPECT_EQ(Stdout, "zero-length\n");
    ASSERT_TRUE(fs::is_regular_file(Dir / "JWC_TEMP.TXT"));  // a FIFO would block the reading
    EXPECT_EQ(Output(), "hq\r\n");
    EXPECT_EQ(Names(Dir), (std::vector<std::string>{"JWC_TEMP.TXT", "pardim.dat"}));
}

// The typing limit counts Shift-JIS bytes; a text set longer by the program may still shrink,
// and an insertion is cut at the last whole character that fits.
TEST(TypingLimit, KeepsOrCutsAtWholeCharacters) {
    struct {
        std::size_t before, after, max;
        bool kept;
    } edits[] = {
        {7, 8, 8, true}, {8, 9, 8, false}, {20, 19, 16, true}, {20, 21, 16, false}, {0, 0, 0, true},
    };
    for (const auto& c : edits) {
        SCOPED_TRACE(c.after);
        EXPECT_EQ(TypingKeepsLimit(c.before, c.after, c.max), c.kept);
    }
    struct {
        std::size_t kept;
        const char* inserted;
        std::size_t max;
        const char* fits;
    } inserts[] = {
        {3, "\x82`\x82`\x82`", 8, "\x82`\x82`"},  // ＡＡＡ: two whole characters in five bytes
        {4, "\x82`\x82`", 8, "\x82`\x82`"},
        {8, "a", 8, ""},
        {10, "a", 8, ""},            // already over: nothing more
        {0, "ab\x82", 8, "ab\x82"},  // a lone lead byte at the end counts as one byte
    };
    for (const auto& c : inserts) {
        SCOPED_TRACE(c.kept);
        EXPECT_EQ(FitInsertion(c.kept, c.inserted, c.max), c.fits);
    }
}
