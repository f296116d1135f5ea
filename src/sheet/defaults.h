// The program's title and the values a new sheet and a first run start from, in one place.
#pragma once

#include "sheet/cmpair.h"

namespace zarvo {

// The title of the main window, of the message boxes and of the settings dialogs; it names the
// program in the print job too.
constexpr char ProgramTitle[] = "EPS-Dateien drucken";

// The standard box: the size of an EPS item without a bounding box until the user sets another.
constexpr TCmPair StandardBoxSize{10.0, 10.0};

// The A4 paper of this program: 21.0 x 29.6 cm.
constexpr TCmPair A4Paper{21.0, 29.6};

// The font of new texts: Helvetica regular, 18 points.
constexpr int DefaultFontType = 1;  // Helvetica
constexpr int DefaultFontStyle = 0; // regular
constexpr int DefaultFontSize = 18;

// The settings of a first run, before there is a configuration file.
constexpr int DefaultPrinter = 3; // LPT3
constexpr char DefaultPrintFile[] = "ZVS.PS";
constexpr char DefaultFilter[] = "EPS-Dateien|*.eps";
constexpr int DefaultGridWidth = 5; // mm
constexpr int DefaultClientWidth = 500, DefaultClientHeight = 400;

} // namespace zarvo
