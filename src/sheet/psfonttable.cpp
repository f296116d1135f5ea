// The four fonts of text items: screen font for the preview, PostScript names for the printer.
#include "sheet/psfonttable.h"

namespace zarvo {

const TPSFontRow PSFontTable[4] = {
    {"Times New Roman", {"Times-Roman", "Times-Italic", "Times-Bold", "Times-BoldItalic"}},
    {"Arial", {"Helvetica", "Helvetica-Oblique", "Helvetica-Bold", "Helvetica-BoldOblique"}},
    {"Courier New", {"Courier", "Courier-Oblique", "Courier-Bold", "Courier-BoldOblique"}},
    {"Symbol", {"Symbol", "Symbol", "Symbol", "Symbol"}},
};

int ValidFontType(int FontType, int Default) {
    if (FontType >= 0 && FontType <= 3) return FontType;
    return Default >= 0 && Default <= 3 ? Default : DefaultFontType;
}

int ValidFontStyle(int FontStyle, int Default) {
    if (FontStyle >= 0 && FontStyle <= 3) return FontStyle;
    return Default >= 0 && Default <= 3 ? Default : DefaultFontStyle;
}

int ValidFontSize(long long FontSize, int Default) {
    if (FontSize >= 1 && FontSize <= 65535) return static_cast<int>(FontSize);
    return Default >= 1 && Default <= 65535 ? Default : DefaultFontSize;
}

std::string ScreenName(int FontType) {
    return PSFontTable[ValidFontType(FontType)].ScreenName;
}

std::string PSName(int FontType, int FontStyle) {
    return PSFontTable[ValidFontType(FontType)].PSName[ValidFontStyle(FontStyle)];
}

} // namespace zarvo
