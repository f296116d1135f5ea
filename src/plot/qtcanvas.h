// The plot canvas on a QPainter: lines, fills, pixels and text in device pixels.
#pragma once

#include "plot/plotcanvas.h"

#include <QColor>
#include <QPoint>
#include <QRawFont>
#include <QString>

#include <array>
#include <map>
#include <string>
#include <tuple>
#include <vector>

class QPainter;

namespace zarvo {

// Strings of the sheet are bytes in the Windows ANSI code page (1252).
QString AnsiToQString(const std::string& S);

class TQtCanvas : public TPlotCanvas {
public:
    TQtCanvas() = default;
    ~TQtCanvas() override;
    TQtCanvas(const TQtCanvas&) = delete;
    TQtCanvas& operator=(const TQtCanvas&) = delete;

    // Primitives reach pixels only between Begin and End; the state and the text measuring
    // work at any time.
    void Begin(QPainter* Painter);
    void End();
    QPainter* Painter() const { return FPainter; }

    void FillRect(const TLogicalRect& R, TColor C) override;
    void SetPixel(int X, int Y, TColor C) override;
    void TextOut(int X, int Y, const std::string& Text, bool Transparent) override;
    double TextWidth(const std::string& Text) override;

    // The font the canvas would write with now, and its em size in device pixels (0 when the
    // text would be too small to see).
    QRawFont CurrentRawFont() const;
    double CurrentPixelSize() const;

protected:
    void DrawLine(TLogicalPoint From, TLogicalPoint To) override;

private:
    // A font at one pixel size with the glyph and advance of each of the 256 byte codes,
    // looked up when first used. Texts are laid out from this table glyph by glyph, as a
    // PostScript printer sets them: no kerning, no ligatures, no shaping.
    struct TFontEntry {
        QRawFont Raw;
        double Ascent = 0;
        double Descent = 0;
        std::array<quint32, 256> Glyphs{};
        std::array<double, 256> Advances{};
        std::array<bool, 256> Known{};
        double Advance(unsigned char C);
        quint32 Glyph(unsigned char C) {
            Advance(C);
            return Glyphs[C];
        }
    };
    using TFontKey = std::tuple<std::string, int, int, bool>;

    // The font at an integer pixel size no larger than the largest size drawn directly, and
    // the factor by which its metrics and glyphs are scaled to the wanted size.
    TFontEntry& ResolveFont(double PixelSize, double& Scale) const;
    TFontEntry& FontAt(const std::string& Name, int Pixels, int Weight, bool Italic) const;
    double LayoutWidth(TFontEntry& E, const std::string& Text) const;
    void ApplyPen();
    void FlushPixels();
    QPointF ToDevice(int X, int Y) const;

    QPainter* FPainter = nullptr;
    bool FPenApplied = false;
    TColor FAppliedColor = 0;
    TPenStyle FAppliedStyle = TPenStyle::Solid;
    TPenMode FAppliedMode = TPenMode::Copy;
    int FAppliedWidth = 1;
    std::vector<QPoint> FPixels;
    TColor FPixelColor = 0;
    mutable std::map<TFontKey, TFontEntry> FFonts;
    mutable TFontKey FLastKey;
    mutable TFontEntry* FLastEntry = nullptr;
};

} // namespace zarvo
