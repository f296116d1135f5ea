// The Windows ANSI code page (1252) in which texts are stored, shown and printed.
#pragma once

#include <QString>

#include <string>

namespace zarvo {

// Texts are byte strings in code page 1252: the sheet file stores them, the print job sends
// them unchanged. It is Latin-1 except for 0x80..0x9F, where it has the euro sign, the German
// low quotes and other typographic characters. Five of those codes (0x81, 0x8D, 0x8F, 0x90,
// 0x9D) have no character; they map to the control character of the same code, so that every
// byte string survives the trip into a QString and back unchanged.

// The character of byte B.
char16_t AnsiToUnicode(unsigned char B);

// The byte of character U; false when the code page has none.
bool UnicodeToAnsi(char16_t U, unsigned char& B);

// False for the five codes without a character.
bool AnsiAssigned(unsigned char B);

// The PostScript glyph name of B in 0x80..0x9F, nullptr for the other bytes and the five
// unassigned ones.
const char* AnsiGlyphName(unsigned char B);

QString AnsiToQt(const std::string& Bytes);

// Characters without a byte become a visible '?'.
std::string QtToAnsi(const QString& Text);

// For messages, which are UTF-8.
std::string AnsiToUtf8(const std::string& Bytes);

} // namespace zarvo
