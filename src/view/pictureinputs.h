// Everything the page picture is drawn from, as one value: the kept picture is drawn again
// exactly when this value changes.
#pragma once

#include "plot/plotcolors.h"
#include "sheet/epsbox.h"
#include "view/epscontentsource.h"

#include <array>
#include <string>
#include <vector>

namespace zarvo {

// The page picture's drawing code takes nothing but this value (and the plot it draws with),
// so whatever shows in the picture is a field here. Equality compares every field; it is
// written so that a field added here without being compared does not compile.
struct TPictureInputs {
    double PixelRatio = 1.0; // device pixels per paint-box pixel
    int ViewWidth = 0;       // the paint box in pixels
    int ViewHeight = 0;
    double PageFracX = 1.0; // share of the paint box the plot window fills at zoom 64
    double PageFracY = 1.0;
    int Zoom = 64;   // zoom divisor
    int HorzPos = 0; // scroll positions, 0..100
    int VertPos = 0;
    TCmPair PlotWindow;                    // page plus margins, cm
    std::array<double, 4> Margins{};       // left, top, right, bottom, cm
    int GridStep = 50;                     // logical units
    TColor FaceColor = 0;                  // beside the page
    char DecimalChar = '.';                // of the size labels
    int Selected = -1;                     // the item being placed is left out of the picture
    std::vector<TEPSBox> Items;            // in painting order
    bool ContentShown = false;             // EPS items show their drawings
    std::vector<TContentPicture> Contents; // one per item while shown; texts' stay empty
    // Why an EPS item's file would stop the print job, one per item while any file of the
    // sheet would; empty strings for the others, and no entries when none would.
    std::vector<std::string> JobFailures;

    bool operator==(const TPictureInputs& O) const;
    bool operator!=(const TPictureInputs& O) const { return !(*this == O); }
};

// Item equality by every field of the item and its font, in the same construction.
bool SameItem(const TEPSBox& A, const TEPSBox& B);

} // namespace zarvo
