// Conversion between the program's byte strings and the strings of the Qt widgets.
#pragma once

#include <QString>

#include <string>

namespace zarvo {

// Texts are byte strings everywhere outside the widgets: the sheet file stores them and the
// print job sends them unchanged. The widgets read and write them in the ANSI code page 1252
// (support/ansicodepage.h), the same the page view draws and the job's fonts print. So a
// character picked by its code in the character table is exactly the byte that is stored and
// printed, and a text survives the trip into a widget and back unchanged, byte for byte.
//
// A QString can hold characters that have no byte. Entry fields refuse them as they are typed
// or pasted (TAnsiValidator), so FromQt only meets them if a caller skipped that check; it
// then writes '?' for each, visibly, rather than dropping them.

QString ToQt(const std::string& Bytes);
std::string FromQt(const QString& Text);

// True when every character of Text has a byte of its own.
bool IsAnsi(const QString& Text);

} // namespace zarvo
