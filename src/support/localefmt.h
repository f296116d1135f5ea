// The user's locale decimal separator and locale-tolerant conversions of doubles to and from text.
#pragma once

#include <string>

namespace zarvo {

// The decimal separator of the user's locale ('.' or ',' in practice).
char LocaleDecimalChar();
// Overrides the locale's separator for the rest of the run (tests, and users with odd locales).
void SetLocaleDecimalChar(char C);

// Parses a double written with '.' or ',' as its decimal separator; surrounding blanks are
// allowed. Returns false (and leaves Value alone) for anything else, infinities included.
bool TryStrToFloat(const std::string& S, double& Value);
double StrToFloatDef(const std::string& S, double Default);

// Parses an optionally signed decimal integer that fits 32 bits; surrounding blanks allowed.
bool TryStrToInt(const std::string& S, long& Value);

// X in fixed notation with D decimals and the locale's separator, no padding.
std::string FloatToFixed(double X, int D);

} // namespace zarvo
