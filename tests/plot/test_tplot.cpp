// Mapping chain, pen primitives and text output of the plot engine, observed on a recording
// canvas.
#include "plot/tplot.h"
#include "recordingcanvas.h"

#include <gtest/gtest.h>

namespace {

using namespace zarvo;
using zarvotest::TRecordingCanvas;

// The preview's plot window for an A4 portrait page: 22.0 x 30.6 cm, frame = the page.
void SetUpA4(TPlot& Plot) {
    Plot.SetPlotArea({22.0, 30.6}, {0.0, 0.0, 0.0, 0.0});
    Plot.SetFrame(2, 0.75, 0.25, 0.75, 0.25);
}

TEST(PlotMapping, WorldToLogicalRoundsHalvesToEvenAndClampsOnlyWhenAsked) {
    TRecordingCanvas Canvas;
    TPlot Plot(&Canvas);
    SetUpA4(Plot);
    EXPECT_EQ(Plot.AreaRect().Top, 3060);
    EXPECT_EQ(Plot.AreaRect().Right, 2200);
    int PX, PY;
    Plot.WorldToLogical(21.0, 29.6, PX, PY);
    EXPECT_EQ(PX, 2100);
    EXPECT_EQ(PY, 2960);
    Plot.WorldToLogical(0.125, 0.375, PX, PY);
    EXPECT_EQ(PX, 12);
    EXPECT_EQ(PY, 38);
    Plot.WorldToLogical(-1.0, 40.0, PX, PY); // no clamping
    EXPECT_EQ(PX, -100);
    EXPECT_EQ(PY, 4000);
    Plot.WorldToLogicalClamped(-3.0, 10.0, PX, PY);
    EXPECT_EQ(PX, 0);
    EXPECT_EQ(PY, 1000);
    Plot.WorldToLogicalClamped(1e300, -1e300, PX, PY);
    EXPECT_EQ(PX, 2200);
    EXPECT_EQ(PY, 0);
}

TEST(PlotMapping, NegativePlotToShiftsOriginAndFrame) {
    TRecordingCanvas Canvas;
    TPlot Plot(&Canvas);
    SetUpA4(Plot);
    EXPECT_DOUBLE_EQ(Plot.Frame().Left, 0.75);
    EXPECT_DOUBLE_EQ(Plot.Frame().Top, 30.35);
    Plot.ClearPlot(true, RGBColor(240, 240, 240));
    Plot.PlotTo(-3, 0, 0.75, 0.75);
    EXPECT_DOUBLE_EQ(Plot.PlotOrigin().X, 0.75);
    EXPECT_DOUBLE_EQ(Plot.PlotOrigin().Y, 0.75);
    EXPECT_NEAR(Plot.Frame().Left, 0.0, 1e-12);
    EXPECT_NEAR(Plot.Frame().Bottom, 0.0, 1e-12);
    EXPECT_NEAR(Plot.Frame().Top, 29.6, 1e-12);

    int PX, PY;
    Plot.PlotToLogical(0.0, 0.0, PX, PY);
    EXPECT_EQ(PX, 75);
    EXPECT_EQ(PY, 75);
    Plot.PlotToLogical(-5.0, 100.0, PX, PY); // clamped to the area
    EXPECT_EQ(PX, 0);
    EXPECT_EQ(PY, 3060);
    double X, Y;
    Plot.LogicalToPlot(175, 275, X, Y);
    EXPECT_NEAR(X, 1.0, 1e-12);
    EXPECT_NEAR(Y, 2.0, 1e-12);

    // ClearPlot brings the frame back to world coordinates.
    Plot.ClearPlot(false, ColorWhite);
    EXPECT_DOUBLE_EQ(Plot.PlotOrigin().X, 0.0);
    EXPECT_NEAR(Plot.Frame().Left, 0.75, 1e-12);
    EXPECT_NEAR(Plot.Frame().Top, 30.35, 1e-12);
}

TEST(PlotMapping, ViewportShowingMoreThanTheArea) {
    TRecordingCanvas Canvas;
    TPlot Plot(&Canvas);
    SetUpA4(Plot);
    // The whole-page view of an A4 page in 800 x 600 pixels: x shows more than the area.
    const double ZX = (22.0 / 30.6) / (800.0 / 600.0);
    Plot.SetViewport({800, 600}, {30.0, 15.0}, {ZX, 1.0});
    const TViewMapping& M = Plot.Mapping();
    EXPECT_EQ(M.WindowExtX, 4080); // Round(2200 / 0.5392...)
    EXPECT_EQ(M.WindowExtY, -3060);
    EXPECT_EQ(M.WindowOrgX, 0); // nothing hidden: the scroll position does not count
    EXPECT_EQ(M.WindowOrgY, 3060);
    EXPECT_EQ(Canvas.Mapping().WindowExtX, 4080); // the canvas maps the same way

    TLogicalPoint P{0, 0};
    Plot.LogicalToDevice(P);
    EXPECT_EQ(P.X, 0);
    EXPECT_EQ(P.Y, 600);
    P = {2200, 3060};
    Plot.LogicalToDevice(P);
    EXPECT_EQ(P.X, 431); // 2200 * 800 / 4080 = 431.4
    EXPECT_EQ(P.Y, 0);
    P = {400, 300};
    Plot.DeviceToLogical(P);
    EXPECT_EQ(P.X, 2040);
    EXPECT_EQ(P.Y, 1530);
}

TEST(PlotMapping, ViewportZoomedInFollowsTheScrollPositions) {
    TRecordingCanvas Canvas;
    TPlot Plot(&Canvas);
    SetUpA4(Plot);
    Plot.SetViewport({800, 600}, {0.0, 0.0}, {2.0, 2.0});
    EXPECT_EQ(Plot.Mapping().WindowExtX, 1100);
    EXPECT_EQ(Plot.Mapping().WindowExtY, -1530);
    EXPECT_EQ(Plot.Mapping().WindowOrgX, 0);
    EXPECT_EQ(Plot.Mapping().WindowOrgY, 3060); // position 0 shows the top end

    Plot.SetViewport({800, 600}, {100.0, 100.0}, {2.0, 2.0});
    EXPECT_EQ(Plot.Mapping().WindowOrgX, 1100);
    EXPECT_EQ(Plot.Mapping().WindowOrgY, 1530);
    TLogicalPoint P{1100, 1530};
    Plot.LogicalToDevice(P);
    EXPECT_EQ(P.X, 0);
    EXPECT_EQ(P.Y, 0);
    P = {400, 300};
    Plot.DeviceToLogical(P);
    EXPECT_EQ(P.X, 1650);
    EXPECT_EQ(P.Y, 765);

    // 15 % of the hidden 1530 units is 229.5: the half goes to the even neighbour.
    Plot.SetViewport({800, 600}, {50.0, 15.0}, {2.0, 2.0});
    EXPECT_EQ(Plot.Mapping().WindowOrgX, 550);
    EXPECT_EQ(Plot.Mapping().WindowOrgY, 3060 - 230);

    // Without a canvas the conversions leave the point alone.
    TPlot Bare(nullptr);
    SetUpA4(Bare);
    Bare.SetViewport({800, 600}, {0.0, 0.0}, {2.0, 2.0});
    P = {400, 300};
    Bare.DeviceToLogical(P);
    EXPECT_EQ(P.X, 400);
    EXPECT_EQ(P.Y, 300);
}

TEST(PlotPrimitives, ClearPlotResetsStateAndFillsTheArea) {
    TRecordingCanvas Canvas;
    TPlot Plot(&Canvas);
    SetUpA4(Plot);
    Plot.SetTextHeight(2.0);
    Plot.SetFontStyle(3);
    Plot.SetUserScale(1, 2, 3, 4);
    const TColor Face = RGBColor(240, 240, 240);
    Plot.ClearPlot(true, Face);
    ASSERT_EQ(Canvas.Fills.size(), 1u);
    EXPECT_EQ(Canvas.Fills[0].Rect.Right, 2200);
    EXPECT_EQ(Canvas.Fills[0].Rect.Top, 3060);
    EXPECT_EQ(Canvas.Fills[0].Color, Face);
    EXPECT_EQ(Canvas.PenColor(), RGBColor(15, 15, 15)); // all colour bits inverted
    EXPECT_EQ(Canvas.Font().Height, 50);                // positive: cell height
    EXPECT_DOUBLE_EQ(Plot.GetTextHeight(), 0.5);
    EXPECT_EQ(Plot.TextStyle(), 0);
    // The user scale is back to identity: code 12 draws where code 2 would.
    Plot.PlotTo(13, 0, 1.0, 1.0);
    Plot.PlotTo(12, 0, 2.0, 1.0);
    ASSERT_EQ(Canvas.Lines.size(), 1u);
    EXPECT_EQ(Canvas.Lines[0].To.X, 200);
}

TEST(PlotPrimitives, PlotToFollowsPenStateUserScaleAndClamping) {
    TRecordingCanvas Canvas;
    TPlot Plot(&Canvas);
    SetUpA4(Plot);
    Plot.ClearPlot(true, ColorWhite);
    Canvas.Clear();

    Plot.PlotTo(1, 0, 1.0, 1.0); // pen up after ClearPlot: a move
    EXPECT_TRUE(Canvas.Lines.empty());
    Plot.PlotTo(2, 0, 2.0, 1.0);
    Plot.PlotTo(1, 0, 2.0, 3.0); // pen down now: a line
    Plot.PlotTo(3, 0, 5.0, 5.0);
    Plot.PlotTo(1, 0, 6.0, 5.0); // pen up again: a move
    Plot.PlotTo(7, 0, 9.0, 9.0); // no such code: nothing, but the last point moves
    ASSERT_EQ(Canvas.Lines.size(), 2u);
    EXPECT_EQ(Canvas.Lines[0].From.X, 100);
    EXPECT_EQ(Canvas.Lines[0].To.X, 200);
    EXPECT_EQ(Canvas.Lines[1].To.Y, 300);
    EXPECT_DOUBLE_EQ(Plot.LastPoint().X, 9.0);

    // Codes above 10 go through the user scale (X - x0) / fx.
    Canvas.Clear();
    Plot.SetUserScale(10.0, 20.0, 2.0, 4.0);
    Plot.PlotTo(13, 0, 12.0, 24.0);
    Plot.PlotTo(12, 0, 14.0, 28.0);
    ASSERT_EQ(Canvas.Lines.size(), 1u);
    EXPECT_EQ(Canvas.Lines[0].From.Y, 100);
    EXPECT_EQ(Canvas.Lines[0].To.X, 200);

    // A line towards an outside point runs along the edge.
    Canvas.Clear();
    Plot.PlotTo(3, 0, 1.0, 1.0);
    Plot.PlotTo(2, 0, 100.0, 1.0);
    ASSERT_EQ(Canvas.Lines.size(), 1u);
    EXPECT_EQ(Canvas.Lines[0].To.X, 2200);
}

TEST(PlotPrimitives, MarkersAreDrawnAroundThePointAndThePenReturns) {
    TRecordingCanvas Canvas;
    TPlot Plot(&Canvas);
    SetUpA4(Plot);
    Plot.ClearPlot(true, ColorWhite); // marker size 0.4: half-size 0.2
    const std::size_t Expected[] = {0, 2, 2, 3, 4, 8, 0};
    for (int Marker = 1; Marker <= 6; ++Marker) {
        Canvas.Clear();
        Plot.PlotTo(3, Marker, 5.0, 5.0);
        EXPECT_EQ(Canvas.Lines.size(), Expected[Marker]) << "marker " << Marker;
        EXPECT_EQ(Canvas.PenPos().X, 500) << "marker " << Marker;
        EXPECT_EQ(Canvas.PenPos().Y, 500) << "marker " << Marker;
    }
    // The plus: a horizontal and a vertical stroke of the full marker size.
    Canvas.Clear();
    Plot.PlotTo(3, 1, 5.0, 5.0);
    EXPECT_EQ(Canvas.Lines[0].From.X, 480);
    EXPECT_EQ(Canvas.Lines[0].To.X, 520);
    EXPECT_EQ(Canvas.Lines[1].From.Y, 520);
    EXPECT_EQ(Canvas.Lines[1].To.Y, 480);
    // Code 0 neither moves nor draws a line to the point, but marks it all the same; codes
    // beyond 3 mark nothing.
    Canvas.Clear();
    Plot.PlotTo(0, 2, 7.0, 7.0);
    ASSERT_EQ(Canvas.Lines.size(), 2u);
    EXPECT_EQ(Canvas.Lines[0].From.X, 680);
    EXPECT_EQ(Canvas.Lines[0].To.X, 720);
    Canvas.Clear();
    Plot.PlotTo(4, 2, 7.0, 7.0);
    EXPECT_TRUE(Canvas.Lines.empty());
}

TEST(PlotPrimitives, StylesColoursAndNoCanvas) {
    TRecordingCanvas Canvas;
    TPlot Plot(&Canvas);
    Plot.SetFontStyle(7);
    EXPECT_EQ(Plot.TextStyle(), 0);
    Plot.SetFontStyle(3);
    EXPECT_EQ(Plot.TextStyle(), StyleBold | StyleItalic);
    EXPECT_EQ(PlotColor(20), ColorWhite);
    EXPECT_EQ(PlotColor(4), RGBColor(255, 0, 0));

    TPlot Bare(nullptr);
    SetUpA4(Bare);
    Bare.ClearPlot(true, ColorWhite);
    Bare.PlotTo(2, 1, 5, 5);
    Bare.WriteText("abc", 5, ColorBlack, 1, 1);
    Bare.DrawScale(1, 10, ColorBlack, 0, 1.0, 0.0);
    EXPECT_DOUBLE_EQ(Bare.GetTextWidth("abc"), 0.0);
}

// Text: a plot of 100 units per cm, text height 1 cm, so the font is 100 logical units and
// the recording canvas makes each character 50 units (0.5 cm) wide.
class PlotText : public ::testing::Test {
protected:
    void SetUp() override {
        SetUpA4(Plot);
        Plot.ClearPlot(true, ColorWhite);
        Plot.SetTextHeight(1.0);
        Canvas.Clear();
    }
    TRecordingCanvas Canvas;
    TPlot Plot{&Canvas};
};

TEST_F(PlotText, SuperscriptIsRaisedByAThirdOfTheHeightAndTheWidthIgnoresMarkers) {
    Plot.WriteText("x^2", 1, RGBColor(0, 0, 255), 5.0, 5.0);
    ASSERT_EQ(Canvas.Texts.size(), 2u);
    // Alignment 1 (left, bottom): the cell's top-left corner is 0.9 of the height above.
    EXPECT_EQ(Canvas.Texts[0].Text, "x");
    EXPECT_EQ(Canvas.Texts[0].X, 500);
    EXPECT_EQ(Canvas.Texts[0].Y, 590);
    EXPECT_EQ(Canvas.Texts[1].Text, "2");
    EXPECT_EQ(Canvas.Texts[1].X, 550);
    EXPECT_EQ(Canvas.Texts[1].Y - Canvas.Texts[0].Y, 36); // 0.36 of the 100-unit height
    EXPECT_EQ(Canvas.Texts[0].Color, RGBColor(0, 0, 255));
    EXPECT_EQ(Canvas.Texts[0].Font.Height, -100);
    EXPECT_DOUBLE_EQ(Plot.GetTextWidth("x^2"), Plot.GetTextWidth("x2"));
    EXPECT_DOUBLE_EQ(Plot.GetTextWidth("x^2"), 1.0);
}

TEST_F(PlotText, MarkersAccumulateAndReturnToTheBaseline) {
    Plot.WriteText("a^b_c", 1, ColorBlack, 5.0, 5.0);
    ASSERT_EQ(Canvas.Texts.size(), 3u);
    EXPECT_EQ(Canvas.Texts[1].Y - Canvas.Texts[0].Y, 36);
    EXPECT_EQ(Canvas.Texts[2].Y, Canvas.Texts[0].Y);
    EXPECT_EQ(Canvas.Texts[2].X, 600);

    Canvas.Clear();
    Plot.WriteText("a^^b_x", 1, ColorBlack, 5.0, 5.0);
    ASSERT_EQ(Canvas.Texts.size(), 3u);
    EXPECT_EQ(Canvas.Texts[1].Y - Canvas.Texts[0].Y, 72); // raised twice
    EXPECT_EQ(Canvas.Texts[2].Y - Canvas.Texts[0].Y, 36); // lowered once: still raised

    Canvas.Clear();
    Plot.WriteText("_1", 1, ColorBlack, 5.0, 5.0);
    ASSERT_EQ(Canvas.Texts.size(), 1u);
    EXPECT_EQ(Canvas.Texts[0].Y, 590 - 36);

    Canvas.Clear();
    Plot.WriteText("", 1, ColorBlack, 5.0, 5.0);
    Plot.WriteText("^_", 1, ColorBlack, 5.0, 5.0);
    EXPECT_TRUE(Canvas.Texts.empty());
}

TEST_F(PlotText, AlignmentMovesTheReferencePoint) {
    // "abcd" is 2 cm wide; H = 0.9 cm.
    struct TCase {
        int Align;
        int X, Y;
    } Cases[] = {
        {0, 1000, 1000}, {1, 1000, 1090}, {2, 1000, 1050}, {3, 1000, 1009},
        {4, 900, 1090},  {5, 900, 1050},  {6, 900, 1009},  {7, 800, 1090},
        {8, 800, 1050},  {9, 800, 1009},  {15, 900, 1050}, // only Align mod 10 counts
    };
    for (const TCase& C : Cases) {
        Canvas.Clear();
        Plot.WriteText("abcd", C.Align, ColorBlack, 10.0, 10.0);
        ASSERT_EQ(Canvas.Texts.size(), 1u);
        EXPECT_EQ(Canvas.Texts[0].X, C.X) << "alignment " << C.Align;
        EXPECT_EQ(Canvas.Texts[0].Y, C.Y) << "alignment " << C.Align;
    }
}

TEST_F(PlotText, CentredAtNinetyDegreesAndTheFontIsRestored) {
    Canvas.Font().Name = "Courier New";
    Canvas.SetFontColor(RGBColor(9, 9, 9));
    Plot.SetTextAngle(90.0);
    Plot.SetFontStyle(StyleBold | StyleItalic);
    Plot.WriteText("abcd", 5, RGBColor(255, 0, 0), 10.0, 10.0);
    ASSERT_EQ(Canvas.Texts.size(), 1u);
    // Half the 2 cm width down along y, 0.55 * 0.9 cm to the left along x.
    EXPECT_EQ(Canvas.Texts[0].X, 950); // 950.5, the half to the even neighbour
    EXPECT_EQ(Canvas.Texts[0].Y, 900);
    EXPECT_EQ(Canvas.Texts[0].Font.Escapement, 900);
    EXPECT_EQ(Canvas.Texts[0].Font.Weight, 600);
    EXPECT_TRUE(Canvas.Texts[0].Font.Italic);
    EXPECT_EQ(Canvas.Texts[0].Font.Name, "Courier New");
    EXPECT_FALSE(Canvas.Texts[0].Transparent);
    // The canvas gets its own font and colour back.
    EXPECT_EQ(Canvas.Font().Escapement, 0);
    EXPECT_EQ(Canvas.Font().Weight, 400);
    EXPECT_EQ(Canvas.FontColor(), RGBColor(9, 9, 9));

    // With a superscript at 90 degrees the baseline shift goes to the left.
    Canvas.Clear();
    Plot.SetTextTransparent(true);
    Plot.WriteText("a^b", 1, ColorBlack, 10.0, 10.0);
    ASSERT_EQ(Canvas.Texts.size(), 2u);
    EXPECT_EQ(Canvas.Texts[1].X - Canvas.Texts[0].X, -36);
    EXPECT_EQ(Canvas.Texts[1].Y - Canvas.Texts[0].Y, 50);
    EXPECT_TRUE(Canvas.Texts[0].Transparent);
}

} // namespace
