// The drawing surface the plot engine paints on: pen, brush and font state in logical units.
#pragma once

#include "plot/plotcolors.h"
#include "plot/viewmapping.h"

#include <string>

namespace zarvo {

enum class TPenStyle { Solid, Dash };
enum class TPenMode { Copy, Xor }; // Xor: the pixel becomes pen colour xor pixel

// The font the canvas writes with. Height is in logical units: negative asks for the character
// (em) height without internal leading, positive for the cell height. Escapement is the text
// direction in tenths of a degree, counter-clockwise on the page.
struct TCanvasFont {
    std::string Name = "Arial";
    int Height = 0;
    int Escapement = 0;
    int Weight = 400; // 400 regular, 600 and more bold
    bool Italic = false;
    bool operator==(const TCanvasFont& O) const {
        return Name == O.Name && Height == O.Height && Escapement == O.Escapement &&
               Weight == O.Weight && Italic == O.Italic;
    }
    bool operator!=(const TCanvasFont& O) const { return !(*this == O); }
};

struct TLogicalPoint {
    int X = 0;
    int Y = 0;
};

// A rectangle in logical units; Top is above Bottom (Top > Bottom).
struct TLogicalRect {
    int Left = 0;
    int Top = 0;
    int Right = 0;
    int Bottom = 0;
};

// The state lives here; a concrete canvas only turns the primitives into pixels (or records
// them). Every coordinate handed to a primitive is logical; the canvas maps it through
// Mapping().
class TPlotCanvas {
public:
    virtual ~TPlotCanvas() = default;

    void SetMapping(const TViewMapping& M) { FMapping = M; }
    const TViewMapping& Mapping() const { return FMapping; }

    void SetPenColor(TColor C) { FPenColor = C; }
    void SetPenWidth(int W) { FPenWidth = W < 1 ? 1 : W; }
    void SetPenStyle(TPenStyle S) { FPenStyle = S; }
    void SetPenMode(TPenMode M) { FPenMode = M; }
    TColor PenColor() const { return FPenColor; }
    int PenWidth() const { return FPenWidth; }
    TPenStyle PenStyle() const { return FPenStyle; }
    TPenMode PenMode() const { return FPenMode; }

    void SetBrushColor(TColor C) { FBrushColor = C; }
    TColor BrushColor() const { return FBrushColor; }

    TCanvasFont& Font() { return FFont; }
    const TCanvasFont& Font() const { return FFont; }
    void SetFontColor(TColor C) { FFontColor = C; }
    TColor FontColor() const { return FFontColor; }

    // Pen moves and lines; a line leaves out its last pixel, so a path is drawn once per pixel.
    void MoveTo(int X, int Y) { FPenPos = {X, Y}; }
    void LineTo(int X, int Y) {
        DrawLine(FPenPos, {X, Y});
        FPenPos = {X, Y};
    }
    TLogicalPoint PenPos() const { return FPenPos; }

    // Fills the rectangle between the two corners (right and bottom device edges left out).
    virtual void FillRect(const TLogicalRect& R, TColor C) = 0;
    // One device pixel at a logical point.
    virtual void SetPixel(int X, int Y, TColor C) = 0;
    // Writes Text with the current font and font colour; (X, Y) is the top-left corner of the
    // text cell before rotation. When Transparent is false, the cell is first filled with the
    // brush colour.
    virtual void TextOut(int X, int Y, const std::string& Text, bool Transparent) = 0;
    // Advance width of Text in the current font, in logical units along the x axis.
    virtual double TextWidth(const std::string& Text) = 0;

protected:
    virtual void DrawLine(TLogicalPoint From, TLogicalPoint To) = 0;

private:
    TViewMapping FMapping;
    TColor FPenColor = ColorBlack;
    int FPenWidth = 1;
    TPenStyle FPenStyle = TPenStyle::Solid;
    TPenMode FPenMode = TPenMode::Copy;
    TColor FBrushColor = ColorWhite;
    TCanvasFont FFont;
    TColor FFontColor = ColorBlack;
    TLogicalPoint FPenPos;
};

} // namespace zarvo
