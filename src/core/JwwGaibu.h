// The exchange with the host: the one store filled from JWC_TEMP.TXT, its reader, the running
// attribute state and the output commands written back at close.
#pragma once

#include <array>
#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "Files.h"

struct TJwwTextType {
    double Width = 0;
    double Height = 0;
    double Spacing = 0;
    int Color = 0;
};

// Every text type before the host names its sizes, and the free size before a "cn0" line.
inline constexpr TJwwTextType DefaultTextType{3.0, 3.0, 0.0, 2};
inline constexpr TJwwTextType DefaultFreeText{2.0, 2.0, 0.0, 1};

// "<ＭＳ ゴシック>", the font the writer assumes before it has written one.
inline constexpr char DefaultFontName[] =
    "<\x82\x6c\x82\x72 \x83\x53\x83\x56\x83\x62\x83\x4e>";  // <ＭＳ ゴシック>

template <class T, std::size_t N>
constexpr std::array<T, N> FilledArray(const T& value) {
    std::array<T, N> values{};
    values.fill(value);
    return values;
}

struct TJwwRefPoint {
    bool Given = false;
    double X = 0;
    double Y = 0;
    int PickKind = 0;  // 0 plain, 1 "-", 2 "ln", 3 "ci", 4 "ch"
};

struct TJwwEntHead {
    int Hhp = 0;
    int LayerGroup = 0;
    int Layer = 0;
    int Color = 0;
    int LineType = 0;
    int LineWidth = 0;
    int ZFlags = 0;
};

// Kind codes as stored in EntOrder.
enum TJwwKind : int {
    KindLine = 1,
    KindCircle = 2,
    KindArc = 3,
    KindText = 4,
    KindPoint = 5,
    KindPointEx = 6,
    KindDim = 7,
    KindBlock = 8,
    KindSl2 = 9,
    KindSl3 = 10,
    KindSl4 = 11,
    KindSc = 12,
    KindSe = 13,
    KindSo = 14,
    KindSg = 15,
};

struct TJwwEntLine {
    TJwwEntHead Head;
    int PolylineNo = 0;
    double X1 = 0, Y1 = 0, X2 = 0, Y2 = 0;
};

struct TJwwEntCircle {
    TJwwEntHead Head;
    double X = 0, Y = 0, R = 0;
};

struct TJwwEntArc {
    TJwwEntHead Head;
    std::array<double, 7> Values{};  // centre x, centre y, radius, then the line's other four
};

// The text commands, numbered as the reader stores them and as EmitText takes them.
enum TJwwTextKind : int {
    TextKindCh = 0,
    TextKindCv,
    TextKindCs,
    TextKindCr,
    TextKindCo,
    TextKindCp,
    TextKindCt,
    TextKindCk,
    TextKindCz,
    TextKindC2,
};

// The keyword of each text kind.
inline constexpr std::array<std::string_view, TextKindC2 + 1> TextKeywords{
    "ch", "cv", "cs", "cr", "co", "cp", "ct", "ck", "cz", "c2"};

struct TJwwEntText {
    TJwwEntHead Head;
    TJwwTextKind TextKind = TextKindCh;
    int Cc = 0;
    int TextType = 0;
    double Width = 0, Height = 0, Spacing = 0;
    double X = 0, Y = 0, Dx = 0, Dy = 0;
    std::string FontName;  // at most 255 bytes
    std::string Text;      // at most 255 bytes
};

struct TJwwEntPoint {
    TJwwEntHead Head;
    double X = 0, Y = 0;
};

struct TJwwEntPointEx {
    TJwwEntHead Head;
    double X = 0, Y = 0, A = 0, B = 0;
    int N = 0;
};

struct TJwwEntDim {
    TJwwEntHead Head;
    TJwwEntLine Line;
    TJwwEntText Text;
};

struct TJwwEntBlk {
    TJwwEntHead Head;
    double X = 0, Y = 0;
    std::string Name;
};

struct TJwwEntSl2 {
    TJwwEntHead Head;
    int ExtColor = 0;
    double X1 = 0, Y1 = 0, X2 = 0, Y2 = 0;
};

struct TJwwEntSl3 {
    TJwwEntHead Head;
    int ExtColor = 0;
    double X1 = 0, Y1 = 0, X2 = 0, Y2 = 0, X3 = 0, Y3 = 0;
};

struct TJwwEntSl4 {
    TJwwEntHead Head;
    int ExtColor = 0;
    double X1 = 0, Y1 = 0, X2 = 0, Y2 = 0, X3 = 0, Y3 = 0, X4 = 0, Y4 = 0;
};

// "sc" and "se": seven reals and an integer.
struct TJwwEntSc {
    TJwwEntHead Head;
    int ExtColor = 0;
    std::array<double, 7> Values{};
    int N = 0;
};
using TJwwEntSe = TJwwEntSc;

// "so" and "sg": eight reals.
struct TJwwEntSo {
    TJwwEntHead Head;
    int ExtColor = 0;
    std::array<double, 8> Values{};
};
using TJwwEntSg = TJwwEntSo;

struct TJwwEntRef {
    int Kind = 0;
    int Index = 0;
};

// Where each attribute keeps its flag in AttrFlags. While the input is read, the flags up to
// AttrTextType mean that the first line of their keyword is still to come; after
// ResetOutputState each flag makes its emitter write its line whatever the value.
enum TAttrFlag : int {
    AttrLayerGroup = 1,  // "lg"
    AttrLayer,           // "ly"
    AttrColor,           // "lc"
    AttrLineType,        // "lt"
    AttrLineWidth,       // "lw"
    AttrTextType,        // "cn"
    AttrCc,              // "cc"
    AttrFontName,        // the font line
    AttrPenNo,           // "pn"
};

// Bits of CurZFlags and of EmitZFlags, one for each of the lines "z1" to "z5". The host gives the
// item after a "z3" line the dimension attribute.
enum TZFlag : int {
    ZFlag1 = 1,
    ZFlag2 = 2,
    ZFlag3 = 4,
    ZFlag4 = 8,
    ZFlag5 = 16,
    ZFlagDimension = ZFlag3,
};

// The attributes that the reader follows and the writer writes, as both of them start.
struct TJwwRunningAttributes {
    int CurLayerGroup = 0;
    int CurLayer = 0;
    int CurColor = 1;
    int CurLineType = 1;
    int CurLineWidth = 0;
    int CurTextType = 1;
    TJwwTextType CurFreeText = DefaultFreeText;
    int CurCc = 0;
    std::string CurFontName = DefaultFontName;
    int CurPenNo = 1;
    int CurExtColor = 0;
};

// The running attributes: followed by the reader while it reads, then (after ResetOutputState)
// the last values the writer wrote, with AttrFlags as its force flags.
struct TOutputAttributeState : TJwwRunningAttributes {
    int CurHhp = 0;
    int CurZFlags = 0;
    std::array<bool, AttrPenNo + 1> AttrFlags{};  // by TAttrFlag; index 0 unused
};

// Header values, each set by one keyword of the input.
// The host's numbered text types run from 1 to this; 0 stands for the free size.
inline constexpr int LastTextType = 10;

struct TJwwHeaderValues {
    std::string SourceFileName;
    double HkValue = 0;
    std::array<double, 16> LayerGroupScale = FilledArray<double, 16>(1.0);
    double SheetWidth = 1189, SheetHeight = 841;
    // Text types 1..LastTextType; index 0 unused.
    std::array<TJwwTextType, LastTextType + 1> TextTypes =
        FilledArray<TJwwTextType, LastTextType + 1>(DefaultTextType);
    bool BzFlag = false;
    std::array<double, 5> HnValues{};  // 1..4; index 0 unused
};

// The host's current attributes: the first of each attribute line.
struct TJwwInitialAttributes {
    int InitialLayerGroup = 0;
    int InitialLayer = 0;
    int InitialColor = 1;
    int InitialLineType = 1;
    int InitialLineWidth = 0;
    int InitialTextType = 1;
    TJwwTextType InitialFreeText = DefaultFreeText;
    std::string InitialFontName;
};

// The store as JwwInit leaves it is the default-constructed one.
struct TExchangeModel : TJwwHeaderValues, TJwwInitialAttributes {
    // Layer tables: groups 0..15, layers at group * 16 + layer.
    std::vector<int> LayerGroupStates = std::vector<int>(16);
    std::vector<std::string> LayerGroupNames = std::vector<std::string>(16);
    std::vector<int> LayerStates = std::vector<int>(256);
    std::vector<std::string> LayerNames = std::vector<std::string>(256);

    // Reference points 1..99; slot 0 is never written.
    std::vector<TJwwRefPoint> RefPoints = std::vector<TJwwRefPoint>(100);
    int RefPointCount = 0;

    // Grouping state of the reader. A dimension figure without a line of its own has the
    // segment (0, 0)-(1, 0).
    int PolylineNo = 0;
    bool InPolyline = false;
    bool DimPending = false;
    TJwwEntLine PendingDimLine{.Head = {.Color = 1, .LineType = 1}, .X2 = 1};

    // Entities in input order, and one list per kind.
    std::vector<TJwwEntRef> EntOrder;
    std::vector<TJwwEntLine> EntLines;
    std::vector<TJwwEntCircle> EntCircles;
    std::vector<TJwwEntArc> EntArcs;
    std::vector<TJwwEntText> EntTexts;
    std::vector<TJwwEntPoint> EntPoints;
    std::vector<TJwwEntPointEx> EntPointsEx;
    std::vector<TJwwEntDim> EntDims;
    std::vector<TJwwEntBlk> EntBlocks;
    std::vector<TJwwEntSl2> EntSl2;
    std::vector<TJwwEntSl3> EntSl3;
    std::vector<TJwwEntSl4> EntSl4;
    std::vector<TJwwEntSc> EntSc;
    std::vector<TJwwEntSe> EntSe;
    std::vector<TJwwEntSo> EntSo;
    std::vector<TJwwEntSg> EntSg;
};

// One output record. A text command ends with a double quote and is joined on one line with
// the text record after it; every other record is a line of its own.
struct TOutputRecord {
    std::string Text;  // at most 255 bytes
    bool JoinsNext = false;
};

// The process-wide instances.
extern TExchangeModel ExchangeModel;
extern TOutputAttributeState OutputAttributeState;
extern std::vector<TOutputRecord> OutputLines;

// The exchange file the host writes into the tool's folder before starting it and reads back
// after the tool has ended.
inline constexpr char ExchangeFileName[] = "JWC_TEMP.TXT";

// The exchange file beside the executable at exePath.
inline TPath ExchangeFilePath(const TPath& exePath) {
    return exePath.Folder() + ExchangeFileName;
}

// Store (JwwGaibuStore.cpp).
void JwwInit();
void JwwFree();
void ResetOutputState();
void FillEntHead(TJwwEntHead& head);
void AddEntRef(int kind, int index);
int MapColorNumber(int n);
int MapLineTypeNumber(int n);

// Reader (JwwGaibuRead.cpp). JwwSplitLine is the tokenizer (JwwGaibuTokens.cpp, at most 32
// tokens), exposed for tests.
[[nodiscard]] bool JwwLoadFile(const TPath& path);
// JwwLoadFile reads in blocks of this size, large enough that a big selection takes few calls
// (a smaller file of known size, in one block just larger than itself); a line may straddle two
// blocks.
inline constexpr std::size_t JwwReadBlockBytes = std::size_t{1} << 20;
void JwwParseLine(std::string_view line);
std::vector<std::string> JwwSplitLine(std::string_view line);

// Writer (JwwGaibuOut.cpp, like the emitters below). A record of the output file (a line, or
// the two parts of a text command's line each) is cut to this many bytes at a whole character.
inline constexpr std::size_t MaxOutputRecordBytes = 255;
std::string NumberText(double value);
// "-" when negative and the decimal digits: every integer in output lines and settings.
std::string IntegerText(int value);
// Whether NumberText writes the value as a number the host reads back: finite, and not one of
// the largest doubles, whose 15 digits round past the largest double.
bool IsWritableReal(double value);
void AddOutputLine(std::string_view text);
[[nodiscard]] bool WriteOutputFile(const TPath& path);

// Attribute and geometry emitters: each appends zero or more records to OutputLines.
void EmitLayerGroup(int group);
void EmitLayer(int layer);
void EmitLineColor(int color, int map);
void EmitLineType(int type, int map);
void EmitLineWidth(int width);
void EmitTextType(int number, int color, int map, double width, double height, double spacing);
void EmitCcValue(int value);
void EmitFontName(std::string_view name);
void EmitPenNumber(int number, int map);
void EmitZFlags(int bits);  // TZFlag bits
void EmitLine(double x1, double y1, double x2, double y2);
void EmitPoint(int code, double x, double y, double magnification, double angleDeg);

// Text and dimension-figure emitters. A kind outside TJwwTextKind writes "ch".
void EmitText(int kind, std::string_view text, double x, double y, double dx, double dy);
void EmitDimensionFigure(std::string_view text, double x1, double y1, double x2, double y2,
                         double x, double y, double dx, double dy);
