// Measuring text items in their preview font, for loading sheets and for the text commands.
#pragma once

#include "plot/qtcanvas.h"
#include "plot/tplot.h"
#include "sheet/sheetfile.h"

#include <memory>

namespace zarvo {

// Sets the plot's font to the item font and returns the text's width (without its "^" and
// "_" markers) and height in centimetres.
TCmPair MeasureText(TPlot& Plot, const std::string& Text, const TPSFontRec& Font);

// A plot of its own on a canvas where one logical unit (0.1 mm) is one pixel, so that a
// text's measured size does not depend on the zoom of any preview. Needs a QGuiApplication.
class TTextMeasurer {
public:
    TTextMeasurer();
    TCmPair Measure(const std::string& Text, const TPSFontRec& Font);

private:
    TQtCanvas FCanvas;
    TPlot FPlot;
};

// The measuring function LoadSheet takes, backed by a TTextMeasurer.
TTextMeasure MakeTextMeasure();

} // namespace zarvo
