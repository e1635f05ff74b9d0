// Number, text and geometry helpers (stubs until implemented).
#include "MyFunc.h"

int SafeStrToInt(std::string_view) { return 0; }
double SafeStrToFloat(std::string_view) { return 0; }
std::string FormatGrouped(int, double) { return "0"; }
std::string FormatFixed(int, double) { return "0"; }
std::string RemoveBlanks(std::string_view text) { return std::string(text); }
std::string CopyWholeChars(std::string_view, int, int, int& bytesTaken) {
    bytesTaken = 0;
    return {};
}
std::string TruncateWholeChars(std::string_view text, std::size_t maxBytes) {
    return std::string(text.substr(0, maxBytes));
}
std::string ToFullWidth(std::string_view text) { return std::string(text); }
double RoundTo1E10(double x) { return x; }
double RoundByMode(int, int, double x) { return x; }
double Distance(double, double, double, double) { return 0; }
double AngleRad(double, double) { return 0; }
double AngleDeg(double, double) { return 0; }
double NormalizeDeg(double angleDeg) { return angleDeg; }
void RotatePointRad(double x, double y, double, double, double, double& newX, double& newY) {
    newX = x;
    newY = y;
}
void RotatePointDeg(double x, double y, double, double, double, double& newX, double& newY) {
    newX = x;
    newY = y;
}
double MeasureText(std::string_view, double, double) { return 0; }
