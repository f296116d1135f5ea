// The plot canvas on a QPainter, pixel by pixel: dashed lines against the painter's own dashed
// pen, dashes anchored at the line's start beyond the device edge, the painting order of
// texts and pixels the canvas holds back to draw them in one call, and the pixels it sets
// directly (dashes, texts, blended pictures) against the painter's.
#include "plot/imageruns.h"
#include "plot/qtcanvas.h"

#include <gtest/gtest.h>

#include <QImage>
#include <QPainter>
#include <QPen>

#include <algorithm>
#include <cstdlib>
#include <string>
#include <vector>

namespace {

using namespace zarvo;

const int Width = 64, Height = 48;
const TColor Red = RGBColor(255, 0, 0);
const TColor Blue = RGBColor(0, 0, 255);

// One logical unit per pixel, y down as on the device, so that logical coordinates are pixels.
void MapOneToOne(TQtCanvas& Canvas, int W = Width, int H = Height) {
    TViewMapping M;
    M.WindowExtX = W;
    M.WindowExtY = H;
    M.ViewportExtX = W;
    M.ViewportExtY = H;
    Canvas.SetMapping(M);
}

QImage WhiteImage(int W = Width, int H = Height) {
    QImage Image(W, H, QImage::Format_RGB32);
    Image.fill(Qt::white);
    return Image;
}

struct TLine {
    int X1, Y1, X2, Y2;
};

QImage CanvasLines(const std::vector<TLine>& Lines, TPenStyle Style) {
    QImage Image = WhiteImage();
    QPainter Painter(&Image);
    TQtCanvas Canvas;
    MapOneToOne(Canvas);
    Canvas.Begin(&Painter);
    Canvas.SetPenColor(Red);
    Canvas.SetPenStyle(Style);
    for (const TLine& L : Lines) {
        Canvas.MoveTo(L.X1, L.Y1);
        Canvas.LineTo(L.X2, L.Y2);
    }
    Canvas.End();
    return Image;
}

QImage CanvasDashes(const std::vector<TLine>& Lines) {
    return CanvasLines(Lines, TPenStyle::Dash);
}

TEST(QtCanvas, RowsAndColumnsSetThePixelsOfThePainterPen) {
    // Rows and columns in both directions, of every length up to several dash periods and
    // of length zero, wholly inside the device: where the painter's pen clips nothing, the
    // canvas must set exactly its pixels, solid or dashed.
    for (TPenStyle Style : {TPenStyle::Solid, TPenStyle::Dash})
        for (int Vertical = 0; Vertical < 2; ++Vertical)
            for (int Length = -20; Length <= 20; ++Length) {
                const int A = 22, B = 22 + Length, Across = 5 + (Length + 20) % 37;
                const TLine L =
                    Vertical ? TLine{Across, A, Across, B} : TLine{A, Across, B, Across};
                QImage Expected = WhiteImage();
                {
                    QPainter Painter(&Expected);
                    Painter.setPen(QPen(QColor(255, 0, 0), 0,
                                        Style == TPenStyle::Dash ? Qt::DashLine : Qt::SolidLine,
                                        Qt::FlatCap));
                    Painter.drawLine(QLineF(L.X1, L.Y1, L.X2, L.Y2));
                }
                EXPECT_TRUE(CanvasLines({L}, Style) == Expected)
                    << (Style == TPenStyle::Dash ? "dashed " : "solid ")
                    << (Vertical ? "column" : "row") << " of length " << Length;
            }
}

// The pixels of one row of an image as '#' (red) and '.' (anything else).
std::string RowOf(const QImage& Image, int Y) {
    std::string S;
    for (int X = 0; X < Image.width(); ++X)
        S += Image.pixel(X, Y) == qRgb(255, 0, 0) ? '#' : '.';
    return S;
}

std::string ColumnOf(const QImage& Image, int X) {
    std::string S;
    for (int Y = 0; Y < Image.height(); ++Y)
        S += Image.pixel(X, Y) == qRgb(255, 0, 0) ? '#' : '.';
    return S;
}

TEST(QtCanvas, DashesStayWithTheLineWhereItStartsBeyondTheDevice) {
    // A line moved by some pixels shows the same dashes moved by as many pixels, wherever
    // its start lies: scrolling must not shift the pattern along the frame.
    struct TCase {
        const char* Name;
        TLine Line;
        bool Vertical;
    } Cases[] = {{"forward row", {10, 5, 60, 5}, false},
                 {"backward row", {55, 9, 2, 9}, false},
                 {"downward column", {7, 4, 7, 45}, true},
                 {"upward column", {9, 44, 9, 3}, true}};
    for (const TCase& C : Cases)
        for (int Shift : {1, 2, 3, 7, 40, 1001}) {
            const TLine& L = C.Line;
            const TLine M = C.Vertical ? TLine{L.X1, L.Y1 - Shift, L.X2, L.Y2 - Shift}
                                       : TLine{L.X1 - Shift, L.Y1, L.X2 - Shift, L.Y2};
            const std::string Inside =
                C.Vertical ? ColumnOf(CanvasDashes({L}), L.X1) : RowOf(CanvasDashes({L}), L.Y1);
            const std::string Moved =
                C.Vertical ? ColumnOf(CanvasDashes({M}), M.X1) : RowOf(CanvasDashes({M}), M.Y1);
            const std::size_t N = std::min<std::size_t>(Shift, Inside.size());
            EXPECT_EQ(Moved, Inside.substr(N) + std::string(N, '.'))
                << C.Name << " moved by " << Shift;
        }
    // A line beside the device, or on a row or column just outside it, sets nothing.
    EXPECT_TRUE(CanvasDashes({{-30, 5, -1, 5},
                              {70, 5, 90, 5},
                              {3, -1, 60, -1},
                              {3, 48, 60, 48},
                              {-1, 3, -1, 40},
                              {64, 3, 64, 40}}) == WhiteImage());
}

// Writes Text in blue with its cell's top-left corner at (X, Y), 40 pixels to the em.
void WriteBlue(TQtCanvas& Canvas, int X, int Y, const std::string& Text) {
    Canvas.Font().Name = "Arial";
    Canvas.Font().Height = -40;
    Canvas.SetFontColor(Blue);
    Canvas.TextOut(X, Y, Text, true);
}

// A pixel that the text alone paints in exactly its own colour (inside a stem).
QPoint SolidPixelOf(const QImage& Image) {
    for (int Y = 0; Y < Image.height(); ++Y)
        for (int X = 0; X < Image.width(); ++X)
            if (Image.pixel(X, Y) == qRgb(0, 0, 255)) return {X, Y};
    return {-1, -1};
}

TEST(QtCanvas, HeldBackTextsAndPixelsKeepThePaintingOrder) {
    QImage TextOnly = WhiteImage();
    {
        QPainter Painter(&TextOnly);
        TQtCanvas Canvas;
        MapOneToOne(Canvas);
        Canvas.Begin(&Painter);
        WriteBlue(Canvas, 4, 2, "HI");
        Canvas.End(); // draws what was held back
    }
    const QPoint Solid = SolidPixelOf(TextOnly);
    ASSERT_GE(Solid.x(), 0) << "no text drawn";

    // A pixel set before the text lies under it; a line drawn after the text lies on it.
    QImage Image = WhiteImage();
    QPainter Painter(&Image);
    TQtCanvas Canvas;
    MapOneToOne(Canvas);
    Canvas.Begin(&Painter);
    Canvas.SetPixel(Solid.x(), Solid.y(), Red);
    WriteBlue(Canvas, 4, 2, "HI");
    Canvas.SetPenColor(Red);
    Canvas.SetPenStyle(TPenStyle::Solid);
    Canvas.MoveTo(0, Solid.y() + 1);
    Canvas.LineTo(Width, Solid.y() + 1);
    Canvas.End();
    EXPECT_EQ(Image.pixel(Solid), qRgb(0, 0, 255));
    EXPECT_EQ(Image.pixel(Solid.x(), Solid.y() + 1), qRgb(255, 0, 0));

    // A pixel set between two texts of one font and colour lies on the first: the texts
    // must not be joined into one run across it.
    QImage Between = WhiteImage();
    {
        QPainter P(&Between);
        TQtCanvas C;
        MapOneToOne(C);
        C.Begin(&P);
        WriteBlue(C, 4, 2, "HI");
        C.SetPixel(Solid.x(), Solid.y(), Red);
        WriteBlue(C, 50, 2, "I");
        C.End();
    }
    EXPECT_EQ(Between.pixel(Solid), qRgb(255, 0, 0));
}

// Where the canvas may set its image's pixels, dashes and texts (from their sprites, the
// second time from the cache, also partly outside the image) are the painter's pixels.
TEST(QtCanvas, PixelsSetDirectlyAreThePaintersPixels) {
    auto Draw = [](bool Direct) {
        QImage Image(200, 90, QImage::Format_RGB32);
        for (int Y = 0; Y < 90; ++Y)
            for (int X = 0; X < 200; ++X)
                Image.setPixel(X, Y, qRgb(X % 256, Y * 2 % 256, X * Y % 256));
        QPainter Painter(&Image);
        TQtCanvas Canvas;
        MapOneToOne(Canvas, 200, 90);
        Canvas.Begin(&Painter, Direct ? &Image : nullptr);
        Canvas.SetPenColor(Red);
        Canvas.SetPenStyle(TPenStyle::Dash);
        for (const TLine& L : {TLine{3, 5, 190, 5}, TLine{187, 80, 2, 80}, TLine{7, 2, 7, 88},
                               TLine{150, 85, 150, -30}}) {
            Canvas.MoveTo(L.X1, L.Y1);
            Canvas.LineTo(L.X2, L.Y2);
        }
        for (const QPoint& P : {QPoint(5, 20), QPoint(6, 21), QPoint(-15, 50), QPoint(170, 60)})
            WriteBlue(Canvas, P.x(), P.y(), "Std.:10,0x7");
        Canvas.Font().Height = -13;
        Canvas.Font().Italic = true;
        Canvas.SetFontColor(Red);
        Canvas.TextOut(40, 40, "Wg/ffi", true);
        Canvas.End();
        return Image;
    };
    // Where glyphs of one text overlap, the painter blends them onto the image one by one and
    // the sprite holds them blended together: a colour level apart at most.
    const QImage Painted = Draw(false), Direct = Draw(true);
    int Most = 0, Differ = 0;
    for (int Y = 0; Y < Painted.height(); ++Y)
        for (int X = 0; X < Painted.width(); ++X) {
            const QRgb A = Painted.pixel(X, Y), B = Direct.pixel(X, Y);
            const int D = std::max({std::abs(qRed(A) - qRed(B)), std::abs(qGreen(A) - qGreen(B)),
                                    std::abs(qBlue(A) - qBlue(B))});
            Most = std::max(Most, D);
            Differ += D != 0;
        }
    EXPECT_LE(Most, 1);
    EXPECT_LE(Differ, 10);
}

// Blending only the pixels a drawing paints, straight into the picture, gives the pixels
// QPainter gives: transparent, half-transparent and opaque parts, odd offsets partly outside
// every edge, and overlapping drawings in their order across the bands of rows.
TEST(ImageRuns, BlendsThePixelsThePainterDraws) {
    QImage Drawing(37, 29, QImage::Format_ARGB32_Premultiplied);
    Drawing.fill(Qt::transparent);
    for (int Y = 0; Y < 29; ++Y)
        for (int X = 9; X < 37; ++X) {
            const int A = Y >= 10 && Y < 13 ? 0 : X < 25 ? (X * 37 + Y * 11) % 256 : 255;
            Drawing.setPixel(X, Y, qPremultiply(qRgba(X * 7 % 256, Y * 9 % 256, 200, A)));
        }
    // Wide enough that a band of rows is a few rows high.
    QImage Background(4000, 60, QImage::Format_RGB32);
    for (int Y = 0; Y < 60; ++Y)
        for (int X = 0; X < 4000; ++X)
            Background.setPixel(X, Y, qRgb(X * 13 % 256, Y * 17 % 256, (X + Y) % 256));
    const TImageRuns Runs(Drawing);
    const QPoint Places[] = {{-5, -3}, {3981, 44}, {1001, 13}, {1010, 21}, {-30, 50}};
    std::vector<TImageRuns::TPlaced> All;
    QImage Painted = Background;
    QPainter Painter(&Painted);
    for (const QPoint& P : Places) {
        QImage One = Background, Expected = Background;
        Runs.BlendOnto(Drawing, P.x(), P.y(), One);
        QPainter(&Expected).drawImage(P, Drawing);
        EXPECT_TRUE(One == Expected) << P.x() << "," << P.y();
        Painter.drawImage(P, Drawing);
        All.push_back({&Drawing, &Runs, P.x(), P.y()});
    }
    Painter.end();
    QImage Together = Background;
    TImageRuns::BlendOnto(All, Together);
    EXPECT_TRUE(Together == Painted);
    EXPECT_FALSE(Together == Background);
}

} // namespace
