// The sheet being edited: its items, paper, file name and modified flag.
#pragma once

#include "sheet/itemlist.h"

#include <string>

namespace zarvo {

// The largest paper side the preview shows and the print job takes, in cm (100 m); only an
// edited sheet file holds more.
constexpr double MaxSheetPaperSide = 10000.0;

class TSheet {
public:
    TItemList FItems;
    std::string FSheetFile; // empty while untitled
    bool FModified = false;
    TCmPair FPaperSize = A4Paper; // portrait sense: width, height
    bool FLandscape = false;
    TCmPair FBoxSize = StandardBoxSize; // standard size of EPS items without bounding box
    TPSFontRec FTextFont;               // default font of new texts; also the defaults when loading

    // The page size in its current orientation (x across).
    TCmPair PageSize() const {
        return FLandscape ? TCmPair{FPaperSize.Y, FPaperSize.X} : FPaperSize;
    }
};

} // namespace zarvo
