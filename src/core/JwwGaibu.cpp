// Exchange store and reader (stubs until implemented).
#include "JwwGaibu.h"

TExchangeModel ExchangeModel;
TOutputAttributeState OutputAttributeState;
std::vector<TOutputRecord> OutputLines;
const char DefaultFontName[] = "<\x82\x6c\x82\x72 \x83\x53\x83\x56\x83\x62\x83\x4e>";  // <ＭＳ ゴシック>

void JwwInit() { OutputLines.clear(); }
void JwwFree() { OutputLines.clear(); }
void ResetOutputState() {}
void FillEntHead(TJwwEntHead&) {}
void AddEntRef(int, int) {}
int MapColorNumber(int n) { return n; }
int MapLineTypeNumber(int n) { return n; }
bool JwwLoadFile(const std::filesystem::path&) { return false; }
void JwwParseLine(std::string_view) {}
std::vector<std::string> JwwSplitLine(std::string_view) { return {}; }
