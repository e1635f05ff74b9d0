// One run's host state (scales, text types, current attributes, picked points) and the drawing
// around it, as read from a TOML scenario file, and JWC_TEMP.TXT written from it as the host
// writes it.
#pragma once

#include <array>
#include <filesystem>
#include <string>
#include <vector>

#include "JwwGaibu.h"

struct TScenario {
    double AxisAngle = 0;
    std::array<double, 16> Scales{};
    std::array<TJwwTextType, 10> TextTypes{};  // text types 1..10
    int LayerGroup = 0;
    int Layer = 0;
    int LineColor = 2;
    int LineType = 1;
    int LineWidth = 0;
    int TextType = 2;  // 0: FreeText
    TJwwTextType FreeText{2.5, 2.5, 0, 2};
    std::string FontUtf8 =
        "\xef\xbc\xad\xef\xbc\xb3 \xe3\x82\xb4\xe3\x82\xb7\xe3\x83\x83\xe3\x82\xaf";  // ＭＳ
                                                                                      // ゴシック
    std::vector<std::array<double, 2>> Points;   // picked points 1, 2, 3 ...
    std::vector<std::array<double, 4>> Context;  // the drawing's own lines, never sent
};

// The scenario's whole-number settings: a key of a scenario file and an option of write.
struct TScenarioInt {
    const char* Key;
    const char* Option;
    const char* Description;  // with the range
    int Low, High;
    int TScenario::*Field;
};
extern const std::array<TScenarioInt, 6> ScenarioInts;

// A free text size from [width, height, spacing, colour]; false unless the rule holds.
inline constexpr char FreeTextRule[] = "width and height above 0, spacing 0 or more, colour 1 to 9";
bool MakeFreeText(const std::vector<double>& values, TJwwTextType& size);

// A wall 3,640 long at 1/50, measured along its upper face, the dimension line 800 above it.
TScenario DefaultScenario();

// Reads a scenario file over the defaults; keys it leaves out keep them. False with a message
// for a syntax error, an unknown key, a value of the wrong type or out of range.
bool LoadScenario(const std::filesystem::path& path, TScenario& scenario, std::string& error);

// The scenario as a TOML file that LoadScenario reads back to the same values.
std::string ScenarioToml(const TScenario& scenario);

// JWC_TEMP.TXT as the host writes it for our BAT: Shift-JIS bytes with CR LF. False with a
// message when the font name has no Shift-JIS form or a value is out of range.
bool HostInputBytes(const TScenario& scenario, std::string& bytes, std::string& error);
