// TForm1 without a window: the controls' defaults, the start-up, OK, Cancel and close sequences,
// and the settings file beside the executable.
#include "Unit1.h"

#include <array>
#include <cstddef>
#include <type_traits>
#include <variant>

#include "Files.h"
#include "MyFunc.h"
#include "ReplaceFile.h"

const char DialogTitle[] = "\x95\xbd\x8d\x73\x90\xa1\x96\x40\x90\xfc";  // 平行寸法線
// zr47_平行寸法線
const char ApplicationTitle[] = "zr47_\x95\xbd\x8d\x73\x90\xa1\x96\x40\x90\xfc";
// 　 (a full-width blank)
const char StatusBlank[] = "\x81\x40";
const char StatusBusy[] = "\x8f\x88\x97\x9d\x92\x86\x82\xc5\x82\xb7";  // 処理中です
// ファイル生成中です
const char StatusWriting[] =
    "\x83\x74\x83\x40\x83\x43\x83\x8b\x90\xb6\x90\xac\x92\x86\x82\xc5\x82\xb7";
// 寸法が「0」になりますので作図出来ません
const char ZeroLengthMessage[] =
    "\x90\xa1\x96\x40\x82\xaa\x81\x75"
    "0\x81\x76\x82\xc9\x82\xc8\x82\xe8\x82\xdc\x82\xb7\x82\xcc"
    "\x82\xc5\x8d\xec\x90\x7d\x8f\x6f\x97\x88\x82\xdc\x82\xb9\x82\xf1";

namespace {

std::vector<std::string> EndMarkItems() {
    return {
        "\x90\xfc\x96\xee\x88\xf3",  // 線矢印
        "\x81\xa2",                  // △
        "\x81\xa0",                  // □
        "\x82\x6e",                  // Ｏ
        "\x81\x9b",                  // ○
        "\x81\xa1",                  // ■
        "\x81\xa3",                  // ▲
        "\x81\x9c",                  // ●
        "\x81\x60",                  // ～
        "\x81\x84",                  // ＞
        "\x81\x5e",                  // ／
        "\x81\xa2",                  // △ (its own mark, code 11)
    };
}

std::string TextTypeItem(int number, const TJwwTextType& type) {
    return "No" + IntegerText(number) + ": W" + NumberText(type.Width) + " H" +
           NumberText(type.Height) + " D" + NumberText(type.Spacing);
}

std::string CurrentTextTypeItem(int number) {
    std::string item = "\x8c\xbb\x8d\xdd\x82\xcc\x95\xb6\x8e\x9a\x8e\xed(";  // 現在の文字種(
    if (number == 0) return item + "Free)";
    return item + "No" + IntegerText(number) + ")";
}

// A stored index the list no longer has leaves the list without a selection.
void LoadValue(TComboBox& box, const std::string& line) {
    int index = SafeStrToInt(line);
    if (index < 0) index = 0;
    box.ItemIndex = index < static_cast<int>(box.Items.size()) ? index : -1;
}

void LoadValue(TRadioGroup& group, const std::string& line) {
    int index = SafeStrToInt(line);
    if (index < 0) index = 0;
    const int last = static_cast<int>(group.Items.size()) - 1;
    group.ItemIndex = index > last ? last : index;
}

void LoadValue(TEdit& edit, const std::string& line) { edit.Text = line; }
void LoadValue(TCheckBox& check, const std::string& line) {
    check.Checked = SafeStrToInt(line) != 0;
}

std::string SavedValue(const TComboBox& box) { return IntegerText(box.ItemIndex); }
std::string SavedValue(const TRadioGroup& group) { return IntegerText(group.ItemIndex); }
std::string SavedValue(const TEdit& edit) { return edit.Text; }
std::string SavedValue(const TCheckBox& check) { return check.Checked ? "1" : "0"; }

// The settings file keeps the window's position and then one line per control, up to here.
constexpr std::size_t ReadBackLines = 22;

// The settings file's lines, read through the platform in small blocks: a hand-edited file may be
// of any size, and only its first lines are wanted.
class TLineReader {
public:
    explicit TLineReader(const TOpenFile& file) : File(file) {}

    // The next line without its end. Lines end with CR LF; a bare LF is taken as well, and the
    // last line needs none. Past the end of the file, or after a read error, a line reads as
    // empty.
    void ReadLine(std::string& line) {
        line.clear();
        for (;;) {
            if (At == Filled && !Refill()) break;
            const char c = Block[At++];
            if (c == '\n') break;
            line.push_back(c);
        }
        if (!line.empty() && line.back() == '\r') line.pop_back();
    }

private:
    bool Refill() {
        if (Ended) return false;
        bool failed = false;
        Filled = ReadFromFile(File, Block.data(), Block.size(), failed);
        At = 0;
        Ended = Filled < Block.size();
        return Filled > 0;
    }

    const TOpenFile& File;
    std::array<char, 512> Block{};
    std::size_t At = 0;
    std::size_t Filled = 0;
    bool Ended = false;
};

}  // namespace

TForm1::TForm1(TFormView& view) : View(view) {
    ComboBox1.Items = EndMarkItems();
    ComboBox1.ItemIndex = 0;
    ComboBox2.Items = EndMarkItems();
    ComboBox2.ItemIndex = 0;
    ComboBox4.Items = {"1",       "0.1",      "0.01",      "0.001",     "0.0001",
                       "0.00001", "0.000001", "0.0000001", "0.00000001"};
    ComboBox4.ItemIndex = 3;
    ComboBox5.Items = {
        "\x90\xd8\x82\xe8\x8e\xcc\x82\xc4",  // 切り捨て
        "\x90\xd8\x82\xe8\x8f\xe3\x82\xb0",  // 切り上げ
        "\x8e\x6c\x8e\xcc\x8c\xdc\x93\xfc",  // 四捨五入
    };
    ComboBox5.ItemIndex = 2;
    Edit1.Text = "1";
    Edit4.Text = "0.5";
    Edit5.Text = "2";
    Edit6.Text = "2";
    Edit7.Text = "3";
    Edit8.Text = "15";
    Edit9.Text = "2";
    RadioGroup1.Items = {"\x96\xb3", "\x97\x4c"};  // 無, 有
    RadioGroup1.ItemIndex = 0;
    RadioGroup2.Items = {"mm", "\x82\x8d"};  // mm, ｍ
    RadioGroup2.ItemIndex = 0;
    LabelA1.Caption = StatusBlank;
}

// Later steps use what the earlier ones filled: the reader needs a clean store, the writer's
// state is reset only after the reader has used it, and the settings select an item of the
// text-type list.
void TForm1::FormShow() {
    JwwInit();
    ToolFolder = ExePath.Folder();
    // A missing or unreadable exchange file leaves the store empty: nothing to measure.
    (void)JwwLoadFile(ExchangeFilePath(ExePath));
    ResetOutputState();
    FillTextTypeList();
    LoadSettings(SettingsFile());
    View.MoveTo(SavedLeft, SavedTop);
    InfoPageUrl = "http://" PARDIM_INFO_HOST "/pr/";
    View.ShowInfoPage(InfoPageUrl);
}

void TForm1::FillTextTypeList() {
    ComboBox3.Items.clear();
    ComboBox3.Items.push_back(CurrentTextTypeItem(ExchangeModel.InitialTextType));
    for (int number = 1; number <= LastTextType; ++number) {
        ComboBox3.Items.push_back(TextTypeItem(number, ExchangeModel.TextTypes[number]));
    }
}

void TForm1::Button1Click() {
    View.GetPosition(SavedLeft, SavedTop);
    TDimParams params = ReadDimParams();
    if (const auto bad = CheckDimParams(params)) {
        View.FocusControl(*bad);
        return;
    }
    // A settings file that cannot be written keeps the last good one; the drawing goes on.
    (void)SaveSettings(SettingsFile());
    const TExchangeModel& model = ExchangeModel;
    ScaleDimParams(params, CurrentDrawingScale(model));
    const TDimGeometry geometry =
        ComputeDimGeometry(RefPoint(model, 1), RefPoint(model, 2), RefPoint(model, 3));
    const TDimPlan plan = BuildDimPlan(model, params, geometry);
    if (!IsWritable(plan)) {
        View.ShowMessage(ZeroLengthMessage);
        return;
    }
    ShowStatus(StatusBusy);
    EmitBaseAttributes(model);
    EmitExtensionLines(plan);
    EmitValueText(plan);
    EmitEndMarks(plan);
    EmitHostTextType(model);
    ShowStatus(StatusWriting);
    View.Close();
}

void TForm1::Button2Click() { View.Close(); }

// Whatever closed the dialog, the host reads this file next: "hq" when nothing was drawn.
void TForm1::FormClose() {
    // A failed write leaves no partial file; nothing more can be done before the host reads it.
    (void)WriteOutputFile(ExchangeFilePath(ExePath));
    JwwFree();
}

void TForm1::ShowStatus(const char* sjis) {
    LabelA1.Caption = sjis;
    View.ShowStatus(LabelA1.Caption);
}

TPath TForm1::SettingsFile() const { return ExePath.WithExtension(".dat"); }

// Lines 1 to 22 are read back; a missing line reads as empty. A file that cannot be opened, or
// is no file at all (a folder opens on some systems and then reads as nothing), leaves the
// controls as they are.
void TForm1::LoadSettings(const TPath& path) {
    SavedLeft = DefaultWindowPosition;
    SavedTop = DefaultWindowPosition;
    TFileFacts facts;
    if (!FileFacts(path, facts) || !facts.Regular) return;
    const TOpenFile in = OpenFileToRead(path);
    if (!in) return;

    TLineReader reader(in);
    std::array<std::string, ReadBackLines> lines;
    for (auto& line : lines) reader.ReadLine(line);
    SavedLeft = SafeStrToInt(lines[0]);
    SavedTop = SafeStrToInt(lines[1]);
    for (const TControlRow& row : ControlTable) {
        if (row.SettingsLine == 0) continue;
        const std::string& line = lines[static_cast<std::size_t>(row.SettingsLine - 1)];
        std::visit(
            [&](auto member) {
                if constexpr (!std::is_same_v<decltype(member), std::monostate>) {
                    LoadValue(this->*member, line);
                }
            },
            row.Member);
    }
}

// The new file takes the old one's place only when complete, so a failed write keeps the last
// good settings and never leaves half a file.
bool TForm1::SaveSettings(const TPath& path) {
    const TExchangeModel& model = ExchangeModel;
    const int group = model.InitialLayerGroup;
    std::vector<std::string> lines(ReadBackLines);
    lines[0] = IntegerText(SavedLeft);
    lines[1] = IntegerText(SavedTop);
    for (const TControlRow& row : ControlTable) {
        if (row.SettingsLine == 0) continue;
        std::visit(
            [&](auto member) {
                if constexpr (!std::is_same_v<decltype(member), std::monostate>) {
                    lines[static_cast<std::size_t>(row.SettingsLine - 1)] =
                        SavedValue(this->*member);
                }
            },
            row.Member);
    }
    lines.push_back(IntegerText(group));
    lines.push_back(NumberText(CurrentDrawingScale(model)));
    lines.push_back(NumberText(model.HkValue));
    for (int n = 1; n <= 3; ++n) {
        const TDimPoint point = RefPoint(model, n);
        lines.push_back(NumberText(point.X));
        lines.push_back(NumberText(point.Y));
    }

    std::string bytes;
    for (const auto& line : lines) bytes += line + "\r\n";
    return ReplaceFile(path, bytes);
}
