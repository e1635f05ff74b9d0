// Output records, number text and the emitters (stubs until implemented).
#include "JwwGaibu.h"

std::string NumberText(double) { return "0"; }
void AddOutputLine(std::string_view text) { OutputLines.push_back({std::string(text), false}); }
bool WriteOutputFile(const std::filesystem::path&) { return false; }
void EmitLayerGroup(int) {}
void EmitLayer(int) {}
void EmitLineColor(int, int) {}
void EmitLineType(int, int) {}
void EmitLineWidth(int) {}
void EmitTextType(int, int, int, double, double, double) {}
void EmitCcValue(int) {}
void EmitFontName(std::string_view) {}
void EmitPenNumber(int, int) {}
void EmitZFlags(int) {}
void EmitLine(double, double, double, double) {}
void EmitPoint(int, double, double, double, double) {}
void EmitText(int, std::string_view, double, double, double, double) {}
void EmitDimensionFigure(std::string_view, double, double, double, double, double, double, double,
                         double) {}
