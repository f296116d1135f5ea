// The four fonts of text items: screen font for the preview, PostScript names for the printer.
#pragma once

#include "sheet/defaults.h"

#include <string>

namespace zarvo {

struct TPSFontRow {
    const char* ScreenName;
    const char* PSName[4]; // by style: regular, italic, bold, bold italic
};

extern const TPSFontRow PSFontTable[4];

// Font numbers and styles outside 0 to 3 (only an edited file holds them) take the given
// defaults (a sheet's item the sheet's text font), else the table's.
int ValidFontType(int FontType, int Default = DefaultFontType);
int ValidFontStyle(int FontStyle, int Default = DefaultFontStyle);
// Sizes from 1 to 65535 points; 0 (which no printer scales a font to) and larger sizes, which
// the 16-bit size would wrap, take the default.
int ValidFontSize(long long FontSize, int Default = DefaultFontSize);

std::string ScreenName(int FontType);
std::string PSName(int FontType, int FontStyle);

} // namespace zarvo
