// The plot canvas on a QPainter: lines, fills, pixels and text in device pixels.
#pragma once

#include "plot/imageruns.h"
#include "plot/plotcanvas.h"

#include <QColor>
#include <QGlyphRun>
#include <QImage>
#include <QPainter>
#include <QPoint>
#include <QRawFont>
#include <QString>

#include <array>
#include <map>
#include <memory>
#include <string>
#include <tuple>
#include <unordered_map>
#include <vector>

namespace zarvo {

// The Qt colour of a plot colour.
QColor ToQColor(TColor C);
// Strings of the sheet are bytes in the Windows ANSI code page (1252).
QString AnsiToQString(const std::string& S);

class TQtCanvas : public TPlotCanvas {
public:
    TQtCanvas() = default;
    ~TQtCanvas() override;
    TQtCanvas(const TQtCanvas&) = delete;
    TQtCanvas& operator=(const TQtCanvas&) = delete;

    // Primitives reach pixels only between Begin and End; the state and the text measuring
    // work at any time. Pixels and upright texts may be held back until the next primitive
    // of another kind, Flush or End, so that runs of them cost one painter call; whoever
    // paints on the painter directly between Begin and End calls Flush first.
    // Pixels, when given, is the image Painter paints on (RGB32 or ARGB32_Premultiplied, not
    // shared): dashed lines along the pixel grid set its pixels directly.
    void Begin(QPainter* Painter, QImage* Pixels = nullptr);
    void Flush();
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
        double Advance(unsigned char C) {
            if (!Known[C]) Look(C);
            return Advances[C];
        }
        quint32 Glyph(unsigned char C) {
            if (!Known[C]) Look(C);
            return Glyphs[C];
        }
        void Look(unsigned char C);
    };
    using TFontKey = std::tuple<std::string, int, int, bool>;

    // The font at an integer pixel size no larger than the largest size drawn directly, and
    // the factor by which its metrics and glyphs are scaled to the wanted size.
    TFontEntry& ResolveFont(double PixelSize, double& Scale) const;
    TFontEntry& FontAt(const std::string& Name, int Pixels, int Weight, bool Italic) const;
    static double LayoutWidth(TFontEntry& E, const std::string& Text);
    // What this canvas last set on the painter; a primitive changes only what differs.
    enum class TPainterPen { Unknown, Line, Text, Points };
    void ApplyPen();
    void ApplyColorPen(TPainterPen Kind, TColor C);
    void ApplyComposition(QPainter::CompositionMode Mode);
    void ForgetPainterState();

    void FlushPixels();
    void FlushGlyphs();
    void DrawAxisLine(double X1, double Y1, double X2, double Y2);
    const QImage& DashStrip(bool Vertical, int Length);
    void DrawTransformedText(TFontEntry& E, const QTransform& T, double W, double H,
                             const std::string& Text, bool Transparent);
    QPointF ToDevice(int X, int Y) const;
    bool CanSetPixels() const;
    // Draws an upright text from its sprite (see FSprites); false when it cannot.
    bool DrawTextSprite(TFontEntry& E, const std::string& Text, QPointF P, double W, double H);

    QPainter* FPainter = nullptr;
    QImage* FPixelsImage = nullptr;
    // The painter maps this canvas's device coordinates 1:1 to whole pixels of its device, as
    // the blitted dashes assume; under any other transform lines take the painter's pen.
    bool FPlainDevice = false;
    // The caller set no world transform: upright texts can be given to the painter in device
    // coordinates, without a transform of their own.
    bool FPlainWorld = false;
    TPainterPen FPainterPen = TPainterPen::Unknown;
    TColor FAppliedColor = 0;
    TPenStyle FAppliedStyle = TPenStyle::Solid;
    int FAppliedWidth = 1;
    bool FCompositionKnown = false;
    QPainter::CompositionMode FAppliedComposition = QPainter::CompositionMode_SourceOver;

    std::vector<QPoint> FPixels;
    TColor FPixelColor = 0;

    // Glyphs of upright texts at their drawn size in one font and colour, in device pixels,
    // waiting to be drawn as one glyph run.
    std::vector<quint32> FRunGlyphs;
    std::vector<QPointF> FRunPositions;
    // The font entry the pending glyphs belong to; forgotten when the font table is emptied
    // (the run keeps its own reference to the font).
    mutable const TFontEntry* FRunFont = nullptr;
    TColor FRunColor = 0;
    QGlyphRun FRun;

    // The dash pattern of the pen (four pixels on, two off) in the pen colour on a transparent
    // background, once along x and once along y, long enough for any line on the device.
    QImage FDashStrip[2];
    TColor FDashColor[2] = {0, 0};

    // Upright texts drawn once into a transparent picture of their own and then blended
    // wherever they go, pixel for pixel where the painter's text would be (each text sits at
    // a whole pixel, so its glyphs fall on the pixel grid alike everywhere): a sheet's frame
    // labels are thousands of glyph blits per paint. Within a memory limit (see
    // MakeRoomForSprite).
    struct TTextSprite {
        QImage Image;
        std::unique_ptr<TImageRuns> Runs;
        QPoint Pad;             // the text's origin inside the image, for overhanging glyphs
        long long LastUsed = 0; // the paint (FGeneration) that last showed it
        long long Bytes = 0;
    };
    bool MakeRoomForSprite(std::size_t Bytes);
    std::unordered_map<std::string, TTextSprite> FSprites;
    long long FSpriteBytes = 0;
    long long FGeneration = 0; // counts the paints (Begin)
    long long FSpritesTrimmed = -1;
    int FSpritesMade = 0; // in this paint
    std::string FSpriteKey;

    mutable std::map<TFontKey, TFontEntry> FFonts;
    mutable TFontKey FLastKey;
    mutable TFontEntry* FLastEntry = nullptr;
};

} // namespace zarvo
