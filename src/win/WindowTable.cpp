// The dialog's window table and the note's text.
#include "WindowTable.h"

#include <cassert>
#include <iterator>
#include <variant>

#include "ControlIds.h"
#include "Win32Text.h"

namespace {

const char FontFace[] =
    "\x82l\x82r \x83S\x83V\x83"
    "b\x83N";  // ＭＳ ゴシック

const char* const MemoLines[] = {
    "\x81\x9e\x95\xbd\x8ds\x90\xa1\x96@\x90\xfc\x82\xcc\x90\xdd\x92\xe8\x82\xcd",  // ◇平行寸法線の設定は
    "\x81@\x90\x85\x95\xbd\x81"
    "E\x90\x82\x92\xbc\x90\xa1\x96@\x90\xfc\x82\xcc",  // 　水平・垂直寸法線の
    "\x81@\x90\xdd\x92\xe8\x82\xc6\x82\xcd\x95\xca\x82\xc9\x8c\xc4\x8fo\x81"
    "E",  // 　設定とは別に呼出・
    "\x81@\x93o\x98^\x82\xb5\x82\xc4\x82\xa8\x82\xe8\x81"
    "A",                                                              // 　登録しており、
    "\x81@\x82\xbb\x82\xea\x82\xe7\x82\xcc\x90\xdd\x92\xe8\x82\xf0",  // 　それらの設定を
    "\x81@\x8b\xa4\x97L\x97\x98\x97p\x82\xb5\x82\xc4\x82\xa2\x82\xdc\x82\xb9\x82\xf1",  // 　共有利用していません
    "",
    "\x81\x9f\x83u\x83\x8d\x83"
    "b\x83N\x90}\x8c`\x93\xe0\x82\xcc\x82\xe0\x82\xcc\x82\xcd",  // ◆ブロック図形内のものは
    "\x81@\x8f\x88\x97\x9d\x8fo\x97\x88\x82\xdc\x82\xb9\x82\xf1\x82\xcc\x82\xc5",  // 　処理出来ませんので
    "\x81@\x8c\xe4\x92\x8d\x88\xd3\x89\xba\x82\xb3\x82\xa2\x81"
    "B",  // 　御注意下さい。
    "\x81@\x83u\x83\x8d\x83"
    "b\x83N\x95\xd2\x8fW\x93\xe0\x82\xc5\x8ds\x82\xa4",  // 　ブロック編集内で行う
    "\x81@\x8f\xea\x8d\x87\x82\xc9\x82\xcd\x81"
    "A\x96{\x83\\\x83t\x83g\x82\xf0",  // 　場合には、本ソフトを
    "\x81@Jw_cad\x82\xcc\x83"
    "C\x83\x93\x83X\x83g\x81[\x83\x8b\x81"
    "E",  // 　Jw_cadのインストール・
    "\x81@\x83t\x83H\x83\x8b\x83_\x82\xc9\x94z\x92u\x82\xb5\x82\xc4",  // 　フォルダに配置して
    "\x81@\x8e\xc0\x8ds\x82\xf0\x8ds\x82\xc1\x82\xc4\x89\xba\x82\xb3\x82\xa2\x81"
    "B",  // 　実行を行って下さい。
    "\x81\x9f\x83"
    "E\x83"
    "C\x83\x8b\x83X\x81^\x83Z\x83L\x83\x85\x83\x8a\x83"
    "e\x83"
    "B",  // ◆ウイルス／セキュリティ
    "\x81@\x83\\\x83t\x83g\x81^\x83Z\x83L\x83\x85\x83\x8a\x83"
    "e\x83"
    "B",  // 　ソフト／セキュリティ
    "\x81@\x90\xdd\x92\xe8\x82\xcc\x89\xe6\x96\xca\x82\xaa\x95\\\x8e\xa6",  // 　設定の画面が表示
    "\x81@\x82\xb3\x82\xea\x81"
    "A\x8b\x96\x89\xc2\x81^\x8e\xd5\x92"
    "f\x82\xf0",  // 　され、許可／遮断を
    "\x81@\x96\xe2\x82\xa2\x8d\x87\x82\xed\x82\xb9\x82\xc4\x82\xab\x82\xbd\x8f\xea\x8d\x87",  // 　問い合わせてきた場合
    "\x81@\x82\xc9\x82\xcd\x81u\x8b\x96\x89\xc2\x81v\x82\xf0\x91I\x91\xf0\x82\xb5\x82\xc4",  // 　には「許可」を選択して
    "\x81@\x89\xba\x82\xb3\x82\xa2\x81"
    "B",  // 　下さい。
};

using namespace WinId;

// clang-format off
const TWindowEntry Windows[] = {
    {TKind::Label,      LabelId(6),  8,   8,   0,   13, "\x8en\x93_"},  // 始点
    {TKind::Control,    ComboBox1,   48,  4,   81,  21, "", TControlId::ComboBox1},
    {TKind::Label,      LabelId(7),  8,   32,  0,   13, "\x8fI\x93_"},  // 終点
    {TKind::Control,    ComboBox2,   48,  28,  81,  21, "", TControlId::ComboBox2},
    {TKind::SmallLabel, LabelId(15), 8,   52,  0,   11, "\x81i\x90\xfc\x96\xee\x88\xf3\x81j"},  // （線矢印）
    {TKind::Label,      LabelId(17), 8,   68,  0,   13, "\x92\xb7\x82\xb3"},  // 長さ
    {TKind::Control,    Edit7,       48,  64,  33,  21, "", TControlId::Edit7},
    {TKind::Label,      LabelId(18), 88,  68,  0,   13, "\x90}\x90\xa1mm"},  // 図寸mm
    {TKind::Label,      LabelId(16), 8,   92,  0,   13, "\x8ap\x93x"},  // 角度
    {TKind::Control,    Edit8,       48,  88,  33,  21, "", TControlId::Edit8},
    {TKind::Label,      LabelId(19), 88,  92,  0,   13, "\x81\x8b"},  // °
    {TKind::Label,      LabelId(1),  8,   116, 0,   13, "\x92[\x93_\x94{\x97\xa6"},  // 端点倍率
    {TKind::Control,    Edit1,       72,  112, 57,  21, "", TControlId::Edit1},
    {TKind::Label,      LabelId(20), 128, 116, 0,   13,
     "\x81i\x93_\x83}\x81[\x83J\x81@\x90\xfc\x96\xee\x88\xf3\x82\xf0\x8f\x9c\x82\xad\x81j"},  // （点マーカ　線矢印を除く）
    {TKind::Label,      LabelId(2),  136, 8,   0,   13,
     "\x90\xa1\x96@\x92l\x82\xcc\x95\xb6\x8e\x9a\x8e\xed"},  // 寸法値の文字種
    {TKind::Control,    ComboBox3,   136, 28,  169, 21, "", TControlId::ComboBox3},
    {TKind::Label,      LabelId(11), 136, 60,  0,   13, "\x90\xda\x93\xaa\x95\xb6\x8e\x9a"},  // 接頭文字
    {TKind::Control,    Edit2,       200, 56,  105, 21, "", TControlId::Edit2},
    {TKind::Label,      LabelId(12), 136, 84,  0,   13, "\x90\xda\x94\xf6\x95\xb6\x8e\x9a"},  // 接尾文字
    {TKind::Control,    Edit3,       200, 80,  105, 21, "", TControlId::Edit3},
    {TKind::Label,      LabelId(13), 8,   140, 0,   13,
     "\x90\xa1\x96@\x92l\x82\xcc\x90\xb8\x93x"},  // 寸法値の精度
    {TKind::Control,    ComboBox4,   200, 136, 105, 21, "", TControlId::ComboBox4},
    {TKind::Label,      LabelId(21), 8,   164, 0,   13,
     "\x90\xa1\x96@\x92l\x82\xcc\x8a\xdb\x82\xdf"},  // 寸法値の丸め
    {TKind::Control,    ComboBox5,   200, 160, 105, 21, "", TControlId::ComboBox5},
    {TKind::Control,    RadioGroup1, 8,   184, 145, 41,
     "\x8f\xac\x90\x94\x93_\x88\xc8\x89\xba\x82\xcc\x82O\x95\\\x8e\xa6", TControlId::RadioGroup1},  // 小数点以下の０表示
    {TKind::Control,    RadioGroup2, 160, 184, 145, 41,
     "\x90\xa1\x96@\x92l\x82\xcc\x92P\x88\xca", TControlId::RadioGroup2},  // 寸法値の単位
    {TKind::Control,    CheckBox1,   8,   232, 145, 17,
     "\x82R\x8c\x85\x96\x88\x83J\x83\x93\x83}\x95t\x89\xc1", TControlId::CheckBox1},  // ３桁毎カンマ付加
    {TKind::Control,    CheckBox2,   152, 232, 105, 17, "\x92P\x88\xca\x82\xcc\x95t\x89\xc1", TControlId::CheckBox2},  // 単位の付加
    {TKind::Control,    CheckBox3,   256, 232, 129, 17,
     "\x90\xa1\x96@\x92l\x82\xf0\x91S\x8ap\x89\xbb", TControlId::CheckBox3},  // 寸法値を全角化
    {TKind::Control,    CheckBox4,   384, 232, 105, 17, "\x90\xa1\x96@\x90}\x8c`\x89\xbb", TControlId::CheckBox4},  // 寸法図形化
    {TKind::Label,      LabelId(3),  8,   256, 0,   13,
     "\x90\xa1\x96@\x92l\x82\xc6\x90\x85\x95\xbd\x90\xfc\x82\xc6\x82\xcc\x8b\x97\x97\xa3"},  // 寸法値と水平線との距離
    {TKind::Control,    Edit4,       200, 252, 57,  21, "", TControlId::Edit4},
    {TKind::Label,      LabelId(4),  264, 256, 0,   13, "\x90}\x90\xa1mm"},  // 図寸mm
    {TKind::Label,      LabelId(5),  8,   280, 0,   13,
     "\x8cv\x91\xaa\x93_\x82\xc6\x90\xa1\x96@\x95\xe2\x8f\x95\x90\xfc\x82\xcc\x8b\x97\x97\xa3"},  // 計測点と寸法補助線の距離
    {TKind::Control,    Edit5,       200, 276, 57,  21, "", TControlId::Edit5},
    {TKind::Label,      LabelId(8),  264, 280, 0,   13, "\x90}\x90\xa1mm"},  // 図寸mm
    {TKind::Label,      LabelId(9),  8,   304, 0,   13,
     "\x90\xa1\x96@\x95\xe2\x8f\x95\x90\xfc\x82\xcc\x82\xcd\x82\xdd\x8fo\x82\xb5\x8b\x97\x97\xa3"},  // 寸法補助線のはみ出し距離
    {TKind::Control,    Edit6,       200, 300, 57,  21, "", TControlId::Edit6},
    {TKind::Label,      LabelId(10), 264, 304, 0,   13, "\x90}\x90\xa1mm"},  // 図寸mm
    {TKind::Label,      LabelId(14), 8,   328, 0,   13,
     "\x8bt\x96\xee\x88\xf3\x82\xcc\x90\xa1\x96@\x82\xcd\x82\xdd\x82\xbe\x82\xb5\x8b\x97\x97\xa3"},  // 逆矢印の寸法はみだし距離
    {TKind::Control,    Edit9,       200, 324, 57,  21, "", TControlId::Edit9},
    {TKind::Label,      LabelId(22), 264, 328, 0,   13, "\x90}\x90\xa1mm"},  // 図寸mm
    {TKind::Control,    Button1,     360, 264, 121, 33, "\x82n\x82j(&Y)", TControlId::Button1},  // ＯＫ(&Y)
    {TKind::Control,    Button2,     360, 312, 121, 33, "\x83L\x83\x83\x83\x93\x83Z\x83\x8b(&N)", TControlId::Button2},  // キャンセル(&N)
    {TKind::Memo,       Memo1,       312, 0,   177, 225, ""},
    {TKind::Status,     LabelA1,     0,   347, 492, 24,  StatusBlank},
    {TKind::Strip,      ScrollBox1,  0,   371, 492, 65,  ""},
};
// clang-format on

}  // namespace

std::span<const TWindowEntry> WindowTable() { return Windows; }

const TWindowEntry& EntryOf(TControlId id) {
    for (const TWindowEntry& entry : Windows) {
        if (entry.Kind == TKind::Control && entry.Control == id) return entry;
    }
    assert(false && "every control has a window");
    return Windows[0];
}

std::string NoteText() {
    std::string note = MemoLines[0];
    for (size_t i = 1; i < std::size(MemoLines); ++i) note += std::string("\r\n") + MemoLines[i];
    return note;
}

HFONT CreateDialogFont(int heightPx) {
    const std::wstring face = SjisToWide(FontFace);
    return CreateFontW(-heightPx, 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE, SHIFTJIS_CHARSET,
                       OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY,
                       FIXED_PITCH | FF_MODERN, face.c_str());
}

const TRadioGroup& RadioGroupOf(const TForm1& form, const TWindowEntry& entry) {
    return form.*std::get<TRadioGroup TForm1::*>(ControlRow(entry.Control).Member);
}
