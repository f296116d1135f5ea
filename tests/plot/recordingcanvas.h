// A plot canvas for tests that records every primitive in logical units instead of painting.
#pragma once

#include "plot/plotcanvas.h"

#include <cmath>
#include <string>
#include <vector>

namespace zarvotest {

class TRecordingCanvas : public zarvo::TPlotCanvas {
public:
    struct TLine {
        zarvo::TLogicalPoint From, To;
        zarvo::TColor Color;
        zarvo::TPenStyle Style;
        zarvo::TPenMode Mode;
    };
    struct TText {
        int X, Y;
        std::string Text;
        zarvo::TCanvasFont Font;
        zarvo::TColor Color;
        bool Transparent;
    };
    struct TFill {
        zarvo::TLogicalRect Rect;
        zarvo::TColor Color;
    };

    // Every character is half the font's height wide, so widths are easy to predict.
    static double CharWidth(int FontHeight) { return std::fabs(FontHeight) * 0.5; }

    void FillRect(const zarvo::TLogicalRect& R, zarvo::TColor C) override { Fills.push_back({R, C}); }
    void SetPixel(int X, int Y, zarvo::TColor) override { Pixels.push_back({X, Y}); }
    void TextOut(int X, int Y, const std::string& Text, bool Transparent) override {
        Texts.push_back({X, Y, Text, Font(), FontColor(), Transparent});
    }
    double TextWidth(const std::string& Text) override {
        return Text.size() * CharWidth(Font().Height);
    }
    void Clear() {
        Lines.clear();
        Texts.clear();
        Fills.clear();
        Pixels.clear();
    }

    std::vector<TLine> Lines;
    std::vector<TText> Texts;
    std::vector<TFill> Fills;
    std::vector<zarvo::TLogicalPoint> Pixels;

protected:
    void DrawLine(zarvo::TLogicalPoint From, zarvo::TLogicalPoint To) override {
        Lines.push_back({From, To, PenColor(), PenStyle(), PenMode()});
    }
};

} // namespace zarvotest
