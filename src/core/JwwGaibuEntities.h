// The readers of the exchange file's entity lines and of their grouping, as the reader's rule
// table calls them, and the token helpers both share. Internal to the reader.
#pragma once

#include <array>
#include <climits>
#include <string_view>

#include "JwwGaibuTokens.h"
#include "MyFunc.h"

inline double Real(const TTokenList& t, int i) { return SafeStrToFloat(t[i]); }
inline int Int(const TTokenList& t, int i) { return SafeStrToInt(t[i]); }

// Counters of the exchange model stop at the largest int.
inline void Increment(int& counter) {
    if (counter < INT_MAX) ++counter;
}

// "pl", "msg" and "#".
void OpenPolyline(const TTokenList& t, std::string_view rest);
void OpenDimension(const TTokenList& t, std::string_view rest);
void ReadGroupEnd(const TTokenList& t, std::string_view rest);

// One record each, from the line's tokens.
void StoreCircle(const TTokenList& t, std::string_view rest);
void StoreArc(const TTokenList& t, std::string_view rest);
void StoreText(const TTokenList& t, std::string_view rest);
void StorePoint(const TTokenList& t, std::string_view rest);
void StorePointEx(const TTokenList& t, std::string_view rest);
void StoreBlock(const TTokenList& t, std::string_view rest);
void StoreSolid2(const TTokenList& t, std::string_view rest);
void StoreSolid3(const TTokenList& t, std::string_view rest);
void StoreSolid4(const TTokenList& t, std::string_view rest);
void StoreSc(const TTokenList& t, std::string_view rest);
void StoreSe(const TTokenList& t, std::string_view rest);
void StoreSo(const TTokenList& t, std::string_view rest);
void StoreSg(const TTokenList& t, std::string_view rest);
void StoreLine(const TTokenList& t, std::string_view rest);
void StoreLine(const std::array<double, 4>& ends);

// A line of exactly four reals, read without splitting it; false, storing nothing, otherwise.
bool ReadFourReals(std::string_view line, std::array<double, 4>& values);
