// The page preview: layout and zoom arithmetic, pixel/centimetre conversions, and the page
// picture itself, checked by sampling the rendered image where things must appear.
#include "../plot/recordingcanvas.h"
#include "pageviewtest.h"
#include "plot/plotcolors.h"
#include "plot/tplot.h"
#include "support/winsub.h"
#include "view/pageview.h"
#include "view/textmeasure.h"

#include <gtest/gtest.h>

#include <QImage>
#include <QPainter>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <functional>
#include <limits>

namespace {

using namespace zarvo;
using zarvotest::Box;

QImage Render(TPageView& View, int W, int H) {
    View.SetupPageMapping();
    View.FormResize(W, H);
    QImage Image(W, H, QImage::Format_RGB32);
    Image.fill(Qt::magenta); // anything the picture leaves out shows
    QPainter Painter(&Image);
    View.Paint(Painter);
    return Image;
}

QRgb Face(const TPageView& View) {
    return qRgb(RedOf(View.FFaceColor), GreenOf(View.FFaceColor), BlueOf(View.FFaceColor));
}

bool IsBlack(QRgb C) {
    return qRed(C) < 60 && qGreen(C) < 60 && qBlue(C) < 60;
}
bool IsWhite(QRgb C) {
    return (C & 0xFFFFFF) == 0xFFFFFF;
}
bool IsRed(QRgb C) {
    return qRed(C) == 255 && qGreen(C) == 0 && qBlue(C) == 0;
}
bool IsReddish(QRgb C) {
    return qRed(C) > qGreen(C) + 60 && qRed(C) > qBlue(C) + 60;
}
bool IsBluish(QRgb C) {
    return qBlue(C) > qRed(C) + 60 && qBlue(C) > qGreen(C) + 60;
}

// Pixels of a rectangle given in page centimetres for which Pred holds.
template <class TPred>
int CountIn(TPageView& View, const QImage& Image, double X1, double Y1, double X2, double Y2,
            TPred Pred) {
    TLogicalPoint A, B;
    View.WorldToPixel(X1, Y1, A);
    View.WorldToPixel(X2, Y2, B);
    int N = 0;
    for (int Y = std::min(A.Y, B.Y); Y <= std::max(A.Y, B.Y); ++Y)
        for (int X = std::min(A.X, B.X); X <= std::max(A.X, B.X); ++X)
            if (Image.valid(X, Y) && Pred(Image.pixel(X, Y))) ++N;
    return N;
}

QRgb PixelAt(TPageView& View, const QImage& Image, double X, double Y) {
    TLogicalPoint P;
    View.WorldToPixel(X, Y, P);
    return Image.pixel(P.X, P.Y);
}
TEST(PageLayout, A4PortraitPlotWindowGridAndMargins) {
    TSheet Sheet;
    TPageView View(Sheet);
    View.SetupPageMapping();
    EXPECT_DOUBLE_EQ(View.Plot().PlotArea().Right, 22.0);
    EXPECT_DOUBLE_EQ(View.Plot().PlotArea().Top, 30.6);
    EXPECT_DOUBLE_EQ(View.FPageAspect, 22.0 / 30.6);
    EXPECT_EQ(View.FGridStep, 50);
    // Plot coordinates are page centimetres even before the first paint.
    int PX, PY;
    View.Plot().PlotToLogical(0.0, 0.0, PX, PY);
    EXPECT_EQ(PX, 75);
    EXPECT_EQ(PY, 75);
    View.SetGridWidth(2);
    EXPECT_EQ(View.FGridStep, 20);
}

TEST(PageLayout, LandscapeA4InAWideBoxFillsTheHeight) {
    TSheet Sheet;
    Sheet.FLandscape = true;
    TPageView View(Sheet);
    View.SetupPageMapping();
    EXPECT_DOUBLE_EQ(View.FPageAspect, 30.6 / 22.0);
    View.FormResize(600, 300);
    EXPECT_NEAR(View.FPageFracX, 0.695, 0.001);
    EXPECT_DOUBLE_EQ(View.FPageFracY, 1.0);

    // Portrait in a tall box fills the width instead.
    Sheet.FLandscape = false;
    View.SetupPageMapping();
    View.FormResize(300, 800);
    EXPECT_DOUBLE_EQ(View.FPageFracX, 1.0);
    EXPECT_NEAR(View.FPageFracY, 0.521590909090909, 1e-12); // (300 / 800) / (22 / 30.6)

    const TViewSize Small = View.FormResize(20, 40);
    EXPECT_EQ(Small.Width, 50);
    EXPECT_EQ(Small.Height, 50);
}

TEST(PageLayout, ZoomLimitsAndScrollBarVisibility) {
    TSheet Sheet;
    TPageView View(Sheet);
    View.SetupPageMapping();
    View.FormResize(800, 600);
    View.UpdateViewport();
    EXPECT_FALSE(View.HorzScrollVisible());
    EXPECT_FALSE(View.VertScrollVisible());

    EXPECT_TRUE(View.ZoomLarger());
    View.UpdateViewport();
    EXPECT_TRUE(View.VertScrollVisible()); // the page fills the height at zoom 64
    EXPECT_TRUE(View.HorzScrollVisible() == (View.FPageFracX * 2 > 1));

    for (int I = 0; I < 5; ++I)
        EXPECT_TRUE(View.ZoomLarger());
    EXPECT_EQ(View.FZoom, 1);
    EXPECT_FALSE(View.ZoomLarger());
    EXPECT_EQ(View.FZoom, 1);

    View.ZoomFit();
    EXPECT_EQ(View.FZoom, 64);
    for (int I = 0; I < 6; ++I)
        EXPECT_TRUE(View.ZoomSmaller());
    EXPECT_EQ(View.FZoom, 4096);
    EXPECT_FALSE(View.ZoomSmaller());
    EXPECT_EQ(View.FZoom, 4096);
}

TEST(PageLayout, PixelsAndCentimetresConvertBothWays) {
    TSheet Sheet;
    TPageView View(Sheet);
    View.SetupPageMapping();
    View.FormResize(800, 600);
    // The whole-page view: 600 / 30.6 pixels per cm, the page corner 0.75 cm from the
    // window's left and bottom edges.
    TLogicalPoint P;
    View.WorldToPixel(0.0, 0.0, P);
    EXPECT_NEAR(P.X, 0.75 * 600 / 30.6, 1.0);
    EXPECT_NEAR(P.Y, 600 - 0.75 * 600 / 30.6, 1.0);
    View.WorldToPixel(21.0, 29.6, P);
    EXPECT_NEAR(P.X, 21.75 * 600 / 30.6, 1.0);
    EXPECT_NEAR(P.Y, 0.25 * 600 / 30.6, 1.0);

    // From pixels to centimetres and back lands on the same pixel, at any zoom and scroll
    // position, wherever the point lies inside the plot window.
    struct TView {
        int Zoom, H, V;
    } Views[] = {{64, 0, 15}, {8, 100, 100}, {1, 37, 80}, {4096, 50, 50}};
    for (const TView& Z : Views) {
        View.FZoom = Z.Zoom;
        View.FHorzPos = Z.H;
        View.FVertPos = Z.V;
        for (int Px = 0; Px < 800; Px += 97)
            for (int Py = 0; Py < 600; Py += 83) {
                double X, Y;
                View.PixelToWorld({Px, Py}, X, Y);
                const TPlotRect& Frame = View.Plot().Frame(); // the page; the window is 0.75 wider
                if (X <= Frame.Left - 0.75 || X >= Frame.Right + 0.25 || Y <= Frame.Bottom - 0.75 ||
                    Y >= Frame.Top + 0.25)
                    continue;
                TLogicalPoint Back;
                View.WorldToPixel(X, Y, Back);
                const double Tol = 1.0 + std::fabs(View.Plot().Mapping().ScaleX());
                EXPECT_NEAR(Back.X, Px, Tol) << "zoom " << Z.Zoom;
                EXPECT_NEAR(Back.Y, Py, Tol) << "zoom " << Z.Zoom;
            }
    }
    // Zoomed in with the scroll bars at 0, the top-left pixel shows the plot window's
    // top-left corner: page x -0.75 cm, page y 29.85 cm.
    View.FZoom = 8;
    View.FHorzPos = 0;
    View.FVertPos = 0;
    double X, Y;
    View.PixelToWorld({0, 0}, X, Y);
    EXPECT_NEAR(X, -0.75, 0.011);
    EXPECT_NEAR(Y, 29.85, 0.011);
}

// An A4 portrait sheet with both kinds of boxes, a text and an item being placed, painted at
// the whole-page view in 800 x 600 pixels.
class PagePicture : public ::testing::Test {
protected:
    void SetUp() override {
        Sheet.FItems.Add("", Box(KindBBox, "/home/user/grafiken/sehr/lang/abbildung.eps",
                                 {2.0, 3.5}, {12.3, 8.8}));
        Sheet.FItems.Add("", Box(KindStdSize, "/tmp/box.eps", {5.0, 15.0}, {10.0, 10.0}));
        TEPSBox Text = Box(KindText, "Hallo", {3.0, 27.0}, {0.0, 0.0});
        Text.Font.FontType = 0; // Times
        Text.Font.FontSize = 36;
        Text.Font.FontStyle = 2;
        Text.Font.FontColor = 0xFF0000; // blue: red is the low byte
        Sheet.FItems.Add("", Text);
        Sheet.FItems.Add("", Box(KindBBox, "/tmp/placed.eps", {16.0, 14.0}, {4.0, 4.0}));
        View.SetupPageMapping();
        View.FPlacement.PickUp(3);
        Image = Render(View, 800, 600);
    }
    TSheet Sheet;
    TPageView View{Sheet};
    QImage Image;
};

TEST_F(PagePicture, WhitePageAtTheLeftOfTheFaceColour) {
    const QRgb FaceColour = Face(View);
    // Right of the plot window (22 cm at 600 / 30.6 pixels per cm: 431 pixels) the face
    // colour; nothing is left unpainted.
    for (int Y = 0; Y < 600; Y += 50) {
        EXPECT_EQ(Image.pixel(440, Y), FaceColour);
        EXPECT_EQ(Image.pixel(799, Y), FaceColour);
    }
    EXPECT_EQ(Image.pixel(2, 2), FaceColour);
    for (int Y = 0; Y < 600; ++Y)
        for (int X = 0; X < 800; X += 7)
            ASSERT_NE(Image.pixel(X, Y), qRgb(255, 0, 255));

    // The page's edges where the arithmetic puts them: right edge at 21.75 cm, top edge at
    // 0.25 cm from the top, so the page has the aspect 21 : 29.6.
    int Right = 440;
    while (Right > 0 && Image.pixel(Right, 300) == FaceColour)
        --Right;
    int Top = 0;
    while (Top < 600 && Image.pixel(300, Top) == FaceColour)
        ++Top;
    EXPECT_NEAR(Right, 21.75 * 600 / 30.6 - 1, 1.0); // a fill leaves out its right edge
    EXPECT_NEAR(Top, 0.25 * 600 / 30.6, 1.0);
    // Between the lattice dots the page is white.
    EXPECT_TRUE(IsWhite(PixelAt(View, Image, 17.25, 7.25)));
    EXPECT_TRUE(IsWhite(PixelAt(View, Image, 20.75, 28.75)));
    EXPECT_TRUE(IsWhite(PixelAt(View, Image, 0.25, 29.25)));
}

TEST_F(PagePicture, ScalesAlongTheBottomAndLeftEdges) {
    TLogicalPoint Corner, Far;
    View.WorldToPixel(0.0, 0.0, Corner);
    View.WorldToPixel(21.0, 29.6, Far);
    int Black = 0;
    for (int X = Corner.X; X < Far.X; ++X)
        Black += IsBlack(Image.pixel(X, Corner.Y));
    EXPECT_GE(Black, Far.X - Corner.X - 1);
    Black = 0;
    for (int Y = Far.Y + 1; Y <= Corner.Y; ++Y)
        Black += IsBlack(Image.pixel(Corner.X, Y));
    EXPECT_GE(Black, Corner.Y - Far.Y - 1);
    // No scale along the top or right edge.
    EXPECT_EQ(CountIn(View, Image, 0.5, 29.55, 20.5, 29.55, IsBlack), 0);

    for (int Cm = 0; Cm <= 21; ++Cm) {
        TLogicalPoint T;
        View.WorldToPixel(Cm, 0.0, T);
        // The long tick reaches 0.15 cm (3 pixels) below the axis; the label sits under it.
        EXPECT_TRUE(IsBlack(Image.pixel(T.X, T.Y + 2))) << Cm << " cm";
        EXPECT_GT(CountIn(View, Image, Cm - 0.15, -0.25, Cm + 0.15, -0.55,
                          [](QRgb C) { return qGray(C) < 140; }),
                  0)
            << "label " << Cm;
    }
    for (int Cm = 0; Cm <= 29; ++Cm)
        EXPECT_GT(CountIn(View, Image, -0.25, Cm - 0.1, -0.7, Cm + 0.1,
                          [](QRgb C) { return qGray(C) < 140; }),
                  0)
            << "label " << Cm;
}

TEST_F(PagePicture, BoxesAreDashedRedFramesWithNameAndSize) {
    // The top edge of the bounding-box item: red dashes with gaps.
    const auto IsGap = [](QRgb C) { return !IsRed(C); };
    const int Red = CountIn(View, Image, 2.2, 12.3, 14.1, 12.3, IsRed);
    const int Gaps = CountIn(View, Image, 2.2, 12.3, 14.1, 12.3, IsGap);
    EXPECT_GT(Red, 2 * Gaps / 3);
    EXPECT_GT(Gaps, 10);
    EXPECT_GT(CountIn(View, Image, 2.0, 4.0, 2.0, 11.0, IsRed), 40); // the left edge
    // Red writing inside at the top-left (file name) and bottom-left (size).
    EXPECT_GT(CountIn(View, Image, 2.2, 12.2, 5.0, 11.8, IsReddish), 10);
    EXPECT_GT(CountIn(View, Image, 2.2, 3.6, 5.0, 4.0, IsReddish), 10);
    // The standard-size box likewise.
    EXPECT_GT(CountIn(View, Image, 5.0, 16.0, 5.0, 24.0, IsRed), 40);
    EXPECT_GT(CountIn(View, Image, 5.2, 15.1, 7.5, 15.5, IsReddish), 10);
}

TEST_F(PagePicture, TextInItsColour) {
    const int Blue = CountIn(View, Image, 3.0, 27.0, 5.5, 27.9, IsBluish);
    EXPECT_GT(Blue, 30);
    EXPECT_EQ(CountIn(View, Image, 3.0, 27.0, 5.5, 27.9, IsReddish), 0);
}

TEST_F(PagePicture, TheItemBeingPlacedIsOnlyItsExclusiveOrFrame) {
    // Yellow xor white is blue, yellow xor a black dot is yellow; no red anywhere on or in it.
    const auto IsXor = [](QRgb C) {
        return (C & 0xFFFFFF) == 0x0000FF || (C & 0xFFFFFF) == 0xFFFF00;
    };
    const int Edge = CountIn(View, Image, 16.1, 18.0, 19.9, 18.0, IsXor);
    TLogicalPoint L, R;
    View.WorldToPixel(16.1, 18.0, L);
    View.WorldToPixel(19.9, 18.0, R);
    EXPECT_EQ(Edge, R.X - L.X + 1);
    EXPECT_GT(CountIn(View, Image, 16.0, 14.1, 16.0, 17.9, IsXor), 0); // the left edge
    EXPECT_EQ(CountIn(View, Image, 15.9, 13.9, 20.1, 18.1, IsReddish), 0);

    // Drawing the frame once more erases it: the picture is then the one without the item.
    {
        QPainter Painter(&Image);
        View.Canvas().Begin(&Painter);
        View.DrawDragFrame();
        View.Canvas().End();
    }
    TSheet Without = Sheet;
    Without.FItems.Delete(3);
    TPageView Other(Without);
    EXPECT_TRUE(Render(Other, 800, 600) == Image);
}

TEST_F(PagePicture, APainterShiftedByWholePixelsShiftsThePictureAndNothingElse) {
    // Drawn into part of a larger surface, through a painter with a transform of its own, the
    // preview takes the painter's transform for its texts instead of placing their glyphs in
    // device pixels itself: both ways must put every glyph, dash and dot on the same pixels.
    // (The picture of its own blends each text from a picture of the whole text, where the
    // painter blends glyph by glyph: where glyphs overlap, a colour level apart at most.)
    QImage Larger(900, 700, QImage::Format_RGB32);
    Larger.fill(Qt::magenta);
    {
        QPainter Painter(&Larger);
        Painter.translate(37, 23);
        Painter.fillRect(0, 0, 800, 600, QColor(Face(View)));
        View.Canvas().Begin(&Painter);
        View.PaintPicture();
        View.Canvas().End();
    }
    const QImage Shifted = Larger.copy(37, 23, 800, 600);
    int Most = 0, Differ = 0;
    for (int Y = 0; Y < 600; ++Y)
        for (int X = 0; X < 800; ++X) {
            const QRgb A = Shifted.pixel(X, Y), B = Image.pixel(X, Y);
            const int D = std::max({std::abs(qRed(A) - qRed(B)), std::abs(qGreen(A) - qGreen(B)),
                                    std::abs(qBlue(A) - qBlue(B))});
            Most = std::max(Most, D);
            Differ += D != 0;
        }
    EXPECT_LE(Most, 1);
    EXPECT_LE(Differ, 50);
}

TEST_F(PagePicture, DrawItemWritesNameSizeAndTextInTheirFonts) {
    zarvotest::TRecordingCanvas Canvas;
    Canvas.SetMapping(View.Plot().Mapping());
    View.Plot().SetCanvas(&Canvas);
    for (int I = 0; I < 3; ++I)
        View.DrawItem(Sheet.FItems.Item(I), -4);
    View.DrawItem(Sheet.FItems.Item(2), 2); // highlighted
    View.Plot().SetCanvas(&View.Canvas());

    ASSERT_EQ(Canvas.Texts.size(), 6u);
    const std::string Short = ShortenPath("/home/user/grafiken/sehr/lang/abbildung.eps", 20);
    EXPECT_EQ(Canvas.Texts[0].Text, Short);
    EXPECT_EQ(Canvas.Texts[1].Text, "BBox:12.3x8.8");
    EXPECT_EQ(Canvas.Texts[3].Text, "Std.:10.0x10.0");
    EXPECT_EQ(Canvas.Texts[3].Color, PlotColor(4));
    EXPECT_EQ(Canvas.Texts[3].Font.Name, "Arial");
    EXPECT_EQ(Canvas.Texts[3].Font.Height, -50);
    const auto& Text = Canvas.Texts[4];
    EXPECT_EQ(Text.Text, "Hallo");
    EXPECT_EQ(Text.Font.Name, "Times New Roman");
    EXPECT_EQ(Text.Font.Height, -RoundHalfEven(36 / PtPerCm * 100));
    EXPECT_EQ(Text.Font.Weight, 600);
    EXPECT_EQ(Text.Color, RGBColor(0, 0, 255));
    EXPECT_TRUE(Text.Transparent);
    EXPECT_EQ(Canvas.Texts[5].Color, PlotColor(2)); // the highlight is green
    // Each box outline is one dashed red path of four lines from the top-left corner, (2.0,
    // 3.5 + 8.8) cm from the page corner.
    ASSERT_EQ(Canvas.Lines.size(), 8u);
    EXPECT_EQ(Canvas.Lines[0].Style, TPenStyle::Dash);
    EXPECT_EQ(Canvas.Lines[0].From.X, 275);
    EXPECT_EQ(Canvas.Lines[0].From.Y, 1305);
    EXPECT_EQ(Canvas.Lines[3].To.Y, 1305);
}

// The dot lattice on an empty A4 sheet: spacing by the pixels one grid step takes.
struct TLatticeCase {
    int Width, Height, GridMm;
    double Spacing; // cm between dots
};

TEST(PageGrid, TheLatticeIsCoarsenedWhenStepsAreFewPixels) {
    const TLatticeCase Cases[] = {
        {800, 600, 5, 0.5}, // 9.8 pixels per step, rounded to 10: every step
        {800, 600, 3, 0.6}, // 5.9 pixels: every second step
        {800, 306, 5, 1.0}, // exactly 5 pixels: every second step
        {800, 600, 1, 0.5}, // 2 pixels: every fifth step
        {400, 300, 1, 1.0}, // 1 pixel: every tenth step
    };
    for (const TLatticeCase& C : Cases) {
        TSheet Sheet;
        TPageView View(Sheet);
        View.SetGridWidth(C.GridMm);
        const QImage Image = Render(View, C.Width, C.Height);
        int Dots = 0, Between = 0;
        for (int I = 1; I * C.Spacing < 20.5; ++I) {
            const double X = I * C.Spacing;
            Dots += IsBlack(PixelAt(View, Image, X, 10 * C.Spacing));
            // Half a spacing further, no dot.
            Between += IsBlack(PixelAt(View, Image, X + C.Spacing / 2, 10 * C.Spacing));
        }
        const int Expected = static_cast<int>(std::ceil(20.5 / C.Spacing)) - 1;
        EXPECT_EQ(Dots, Expected) << C.GridMm << " mm in " << C.Width;
        EXPECT_EQ(Between, 0) << C.GridMm << " mm in " << C.Width;
    }
}

TEST(PageGrid, TheLatticeStopsShortOfThePageEdges) {
    TSheet Sheet;
    Sheet.FPaperSize = {10.0, 10.0};
    TPageView View(Sheet);
    zarvotest::TRecordingCanvas Canvas;
    View.SetupPageMapping();
    View.FormResize(400, 400);
    View.Plot().SetCanvas(&Canvas);
    View.PaintPicture();
    View.Plot().SetCanvas(&View.Canvas());
    // 10 cm page, 5 mm grid: dots at 0.5 .. 9.5 cm in both directions.
    ASSERT_EQ(Canvas.Pixels.size(), 19u * 19u);
    for (const auto& P : Canvas.Pixels) {
        EXPECT_GT(P.X, 75);
        EXPECT_LT(P.X, 1075);
        EXPECT_EQ((P.X - 75) % 50, 0);
        EXPECT_EQ((P.Y - 75) % 50, 0);
    }
}

TEST(PageGrid, TheLatticeCostIsBoundedAtEveryZoom) {
    // However far the view is zoomed in or out, the lattice walks only dots that land on the
    // device, and they are at least a pixel apart.
    TSheet Sheet;
    TPageView View(Sheet);
    View.SetGridWidth(1);
    View.SetupPageMapping();
    View.FormResize(1200, 900);
    zarvotest::TRecordingCanvas Canvas;
    View.Plot().SetCanvas(&Canvas);
    for (int Zoom = 1; Zoom <= 4096; Zoom *= 2) {
        View.FZoom = Zoom;
        View.FHorzPos = View.FVertPos = 50;
        Canvas.Clear();
        View.PaintPicture();
        ASSERT_GE(Canvas.Pixels.size(), 2u) << "zoom " << Zoom;
        // The pixel distance of two neighbouring dots of one row.
        const auto& M = View.Plot().Mapping();
        double Spacing = 1e9;
        for (std::size_t I = 1; I < Canvas.Pixels.size(); ++I)
            if (Canvas.Pixels[I].Y == Canvas.Pixels[I - 1].Y)
                Spacing = std::min(Spacing, (Canvas.Pixels[I].X - Canvas.Pixels[I - 1].X) *
                                                std::fabs(M.ScaleX()));
        EXPECT_GE(Spacing, 1.0) << "zoom " << Zoom;
        if (Spacing > 1e8) Spacing = 1200; // a single column of dots
        const double Bound = (1200 / Spacing + 6) * (900 / Spacing + 6);
        EXPECT_LE(Canvas.Pixels.size(), Bound) << "zoom " << Zoom;
    }
    View.Plot().SetCanvas(&View.Canvas());
}

// Sheets a hand-edited file can produce: nothing may hang, crash or divide by zero.
TEST(PageRobustness, AbsurdValuesPaintWithoutHangingOrCrashing) {
    const double Nan = std::numeric_limits<double>::quiet_NaN();
    const TCmPair Papers[] = {{21.0, 29.6}, {0.0, 0.0}, {-5.0, -1.0}, {1e300, 1e300}, {Nan, 3.0}};
    const int Grids[] = {5, 0, -7, 100000};
    for (const TCmPair& Paper : Papers) {
        for (int Grid : Grids) {
            TSheet Sheet;
            Sheet.FPaperSize = Paper;
            TEPSBox Huge = Box(KindText, "Riesig^2", {5.0, 5.0}, {0.0, 0.0});
            Huge.Font.FontSize = 65535;
            Huge.Font.FontType = 7;  // no such font
            Huge.Font.FontStyle = 9; // no such style
            Sheet.FItems.Add("", Huge);
            Sheet.FItems.Add("", Box(KindBBox, "/x.eps", {-1e300, 1e300}, {1e300, 1e300}));
            Sheet.FItems.Add("", Box(KindStdSize, "/y.eps", {Nan, Nan}, {Nan, -3.0}));
            Sheet.FItems.Add("", Box(KindText, std::string(2047, 'W'), {1e12, -1e12}, {}));
            Sheet.FItems.Add("", Box(KindBBox, "/z.eps", {1.0, 1.0}, {2.0, 2.0}));
            TPageView View(Sheet);
            View.SetGridWidth(Grid);
            View.SetupPageMapping();
            EXPECT_TRUE(std::isfinite(View.FPageAspect));
            EXPECT_GT(View.FPageAspect, 0.0);
            View.FPlacement.PickUp(1);
            for (int Zoom : {64, 1, 4096}) {
                View.FZoom = Zoom;
                // The whole box is painted: none of the magenta it started with is left.
                const QImage Image = Render(View, 300, 200);
                int Unpainted = 0;
                for (int Y = 0; Y < Image.height(); Y += 3)
                    for (int X = 0; X < Image.width(); X += 3)
                        Unpainted += Image.pixel(X, Y) == qRgb(255, 0, 255);
                EXPECT_EQ(Unpainted, 0) << "zoom " << Zoom;
            }
            double X, Y;
            View.PixelToWorld({10, 10}, X, Y);
            EXPECT_TRUE(std::isfinite(X) && std::isfinite(Y));
        }
    }
}

} // namespace
