// The dialog TForm1 without a window: its control values, the start-up and close sequences, the
// settings file and the parallel dimension built on OK. A window (or the batch runner) shows it
// through TFormView.
#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "JwwGaibu.h"

enum class TControlId {
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

// "ComboBox3", "Edit8", ...
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

// The dialog's values for one press of OK; distances in drawing units once scaled.
struct TDimParams {
    int StartMark = 0;
    int EndMark = 0;
    double MarkScale = 0;
    double ArrowLength = 0;  // paper mm
    double ArrowAngle = 0;   // degrees
    int TextTypeIndex = 0;
    std::string Prefix;
    std::string Suffix;
    int Decimals = 0;
    int RoundMode = 0;
    int ZeroDisplay = 0;
    int UnitIndex = 0;
    bool Commas = false;
    bool AppendUnit = false;
    bool FullWidth = false;
    bool DimFigure = false;
    double TextGap = 0;
    double ExtGap = 0;
    double ExtOvershoot = 0;
    double ReverseOvershoot = 0;
    double Scale = 1;
};

struct TDimPoint {
    double X = 0;
    double Y = 0;
};

struct TDimGeometry {
    TDimPoint P1, P2, P3;
    double DimAngle = 0;  // degrees
    TDimPoint LocalP2, LocalP3;
    TDimPoint DimStart, DimEnd;
    double DimLength = 0;
};

// The handler's texts, Shift-JIS.
extern const char StatusBusy[];         // 処理中です
extern const char StatusWriting[];      // ファイル生成中です
extern const char ZeroLengthMessage[];  // 寸法が「0」になりますので作図出来ません

// OK's checks in their fixed order: the first control whose value is invalid, if any.
std::optional<TControlId> CheckDimParams(const TDimParams& params);

// The drawing scale: the host's current layer group's entry of LayerGroupScale.
double CurrentDrawingScale();

// Sets Scale and turns the four paper distances into drawing units.
void ScaleDimParams(TDimParams& params, double scale);

// Reference point n of the store; (0, 0) for a point the host did not send.
TDimPoint RefPoint(int n);

// The dimension line through p3, parallel to p1-p2, with its ends opposite p1 and p2.
TDimGeometry ComputeDimGeometry(TDimPoint p1, TDimPoint p2, TDimPoint p3);

// False when a point, length or distance of the dimension, its value or its text's place is not
// finite, or prints past the largest double (IsWritableReal): the host would read INF, NAN or
// infinity, so OK refuses it as it refuses a zero length.
bool IsFiniteDimension(const TDimParams& params, const TDimGeometry& geometry);

// Commands of the dimension, appended to OutputLines in the order the host draws them.
void EmitBaseAttributes();
void EmitExtensionLines(const TDimGeometry& geometry, const TDimParams& params);
void EmitDimensionLine(const TDimGeometry& geometry);
void EmitValueText(const TDimParams& params, const TDimGeometry& geometry);
void EmitEndMarks(const TDimGeometry& geometry, const TDimParams& params);
void EmitEndMark(TDimPoint end, TDimPoint other, int kind, bool reversed, const TDimParams& params);
void EmitHostTextType();  // gives the host its own text type back

// Everything EmitValueText writes, worked out before writing.
struct TValueTextLayout {
    int ValueTextType = 1;  // 0: the free size
    TJwwTextType ValueTextSize;
    std::string ValueText;
    double TextAngle = 0;  // degrees, reading direction
    TDimPoint TextStart;
    TDimPoint TextDir;  // length 10
};
TValueTextLayout LayoutValueText(const TDimParams& params, const TDimGeometry& geometry);

// The value text for a dimension line of this length: prefix, number, unit, suffix.
std::string FormatDimValue(double lengthDrawing, const TDimParams& params);

// A text along a line of this direction reads left to right or bottom to top.
double TextReadingAngle(double dimAngleDeg);

// How far a mark reaches along the dimension line from its end, in drawing units.
double MarkExtent(int kind, const TDimParams& params);

// Both marks turn round when together they are longer than the dimension line.
bool MarksReversed(const TDimGeometry& geometry, const TDimParams& params);

class TForm1 {
public:
    explicit TForm1(TFormView& view);

    // Set by the program entry before FormShow; everything else is derived from it.
    std::filesystem::path ExePath;

    std::filesystem::path ToolFolder;
    std::string InfoPageUrl;
    int SavedLeft = 100;
    int SavedTop = 100;

    TComboBox ComboBox1, ComboBox2, ComboBox3, ComboBox4, ComboBox5;
    TEdit Edit1, Edit2, Edit3, Edit4, Edit5, Edit6, Edit7, Edit8, Edit9;
    TRadioGroup RadioGroup1, RadioGroup2;
    TCheckBox CheckBox1, CheckBox2, CheckBox3, CheckBox4;
    TLabel LabelA1;

    void FormShow();
    void Button1Click();
    void Button2Click();
    void FormClose();

    void LoadSettings(const std::filesystem::path& path);
    void SaveSettings(const std::filesystem::path& path);
    std::filesystem::path SettingsFile() const;  // ExePath with ".dat"

    // The controls' values for one press of OK, distances still in paper millimetres.
    TDimParams ReadDimParams() const;

private:
    void ShowStatus(const char* sjis);
    void FillTextTypeList();

    TFormView& View;
};
