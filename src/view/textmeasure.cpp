// Measuring text items in their preview font, for loading sheets and for the text commands.
#include "view/textmeasure.h"

#include "sheet/psfonttable.h"
#include "sheet/epsbox.h"

namespace zarvo {

TCmPair MeasureText(TPlot& Plot, const std::string& Text, const TPSFontRec& Font) {
    Plot.SetFontName(ScreenName(Font.FontType));
    Plot.SetTextHeight(Font.FontSize / PtPerCm);
    Plot.SetFontStyle(Font.FontStyle);
    return {Plot.GetTextWidth(Text), Plot.GetTextHeight()};
}

TTextMeasurer::TTextMeasurer() : FPlot(&FCanvas) {
    // A 10 x 10 cm plot window on 1000 x 1000 pixels: one pixel per logical unit.
    FPlot.SetPlotArea({10.0, 10.0}, {0.0, 0.0, 0.0, 0.0});
    FPlot.SetViewport({1000, 1000}, {0.0, 0.0}, {1.0, 1.0});
}

TCmPair TTextMeasurer::Measure(const std::string& Text, const TPSFontRec& Font) {
    return MeasureText(FPlot, Text, Font);
}

TTextMeasure MakeTextMeasure() {
    auto Measurer = std::make_shared<TTextMeasurer>();
    return [Measurer](const std::string& Text, const TPSFontRec& Font) {
        return Measurer->Measure(Text, Font);
    };
}

} // namespace zarvo
