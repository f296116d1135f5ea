// The Windows ANSI code page (1252) in which texts are stored, shown and printed.
#include "support/ansicodepage.h"

namespace zarvo {

namespace {

struct THighCode {
    char16_t Unicode;
    const char* Glyph;
};

// 0x80..0x9F; the unassigned codes keep their own code and have no glyph.
const THighCode High[32] = {
    {0x20AC, "Euro"},
    {0x0081, nullptr},
    {0x201A, "quotesinglbase"},
    {0x0192, "florin"},
    {0x201E, "quotedblbase"},
    {0x2026, "ellipsis"},
    {0x2020, "dagger"},
    {0x2021, "daggerdbl"},
    {0x02C6, "circumflex"},
    {0x2030, "perthousand"},
    {0x0160, "Scaron"},
    {0x2039, "guilsinglleft"},
    {0x0152, "OE"},
    {0x008D, nullptr},
    {0x017D, "Zcaron"},
    {0x008F, nullptr},
    {0x0090, nullptr},
    {0x2018, "quoteleft"},
    {0x2019, "quoteright"},
    {0x201C, "quotedblleft"},
    {0x201D, "quotedblright"},
    {0x2022, "bullet"},
    {0x2013, "endash"},
    {0x2014, "emdash"},
    {0x02DC, "tilde"},
    {0x2122, "trademark"},
    {0x0161, "scaron"},
    {0x203A, "guilsinglright"},
    {0x0153, "oe"},
    {0x009D, nullptr},
    {0x017E, "zcaron"},
    {0x0178, "Ydieresis"},
};

} // namespace

char16_t AnsiToUnicode(unsigned char B) {
    return B >= 0x80 && B <= 0x9F ? High[B - 0x80].Unicode : char16_t(B);
}

bool UnicodeToAnsi(char16_t U, unsigned char& B) {
    if (U <= 0xFF && (U < 0x80 || U > 0x9F)) {
        B = static_cast<unsigned char>(U);
        return true;
    }
    for (int I = 0; I < 32; ++I)
        if (High[I].Unicode == U) {
            B = static_cast<unsigned char>(0x80 + I);
            return true;
        }
    return false;
}

bool AnsiAssigned(unsigned char B) {
    return B < 0x80 || B > 0x9F || High[B - 0x80].Glyph != nullptr;
}

const char* AnsiGlyphName(unsigned char B) {
    return B >= 0x80 && B <= 0x9F ? High[B - 0x80].Glyph : nullptr;
}

QString AnsiToQt(const std::string& Bytes) {
    QString R;
    R.reserve(static_cast<qsizetype>(Bytes.size()));
    for (unsigned char C : Bytes)
        R += QChar(AnsiToUnicode(C));
    return R;
}

std::string QtToAnsi(const QString& Text) {
    std::string R;
    R.reserve(static_cast<std::size_t>(Text.size()));
    for (const QChar C : Text) {
        unsigned char B;
        R.push_back(UnicodeToAnsi(C.unicode(), B) ? static_cast<char>(B) : '?');
    }
    return R;
}

std::string AnsiToUtf8(const std::string& Bytes) {
    return AnsiToQt(Bytes).toStdString();
}

} // namespace zarvo
