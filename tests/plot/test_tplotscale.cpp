// Scales of the plot engine: ticks, labels, grid lines and axis lines, observed as the lines
// and texts they leave on a recording canvas.
#include "plot/tplot.h"
#include "support/localefmt.h"
#include "recordingcanvas.h"
#include "support/winmath.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <map>
#include <string>
#include <vector>

namespace {

using namespace zarvo;
using zarvotest::TRecordingCanvas;

// The preview's set-up: an A4 page with plot coordinates from its lower-left corner (world
// 0.75, 0.75, logical 75, 75) and the preview's scale style.
class PlotScale : public ::testing::Test {
protected:
    void SetUp() override {
        Plot.SetPlotArea({22.0, 30.6}, {0.0, 0.0, 0.0, 0.0});
        Plot.SetFrame(2, 0.75, 0.25, 0.75, 0.25);
        Plot.ClearPlot(true, ColorWhite);
        Plot.PlotTo(-3, 0, Plot.Frame().Left, Plot.Frame().Bottom);
        Plot.SetAxis(1, 5, 0.0, 21.0);
        Plot.SetAxis(5, 9, 0.0, 29.6);
        Plot.SetScaleStyle(0, 0.3, 0.2, 0.15, 0.075);
        Canvas.Clear();
    }

    // Lines across a horizontal axis at logical y 75: ticks (and grid lines), by x.
    std::vector<TRecordingCanvas::TLine> VerticalLines() const {
        std::vector<TRecordingCanvas::TLine> R;
        for (const auto& L : Canvas.Lines)
            if (L.From.X == L.To.X && L.From.Y != L.To.Y) R.push_back(L);
        return R;
    }
    std::vector<TRecordingCanvas::TLine> HorizontalLines() const {
        std::vector<TRecordingCanvas::TLine> R;
        for (const auto& L : Canvas.Lines)
            if (L.From.Y == L.To.Y && L.From.X != L.To.X) R.push_back(L);
        return R;
    }
    std::vector<std::string> Labels() const {
        std::vector<std::string> R;
        for (const auto& T : Canvas.Texts) R.push_back(T.Text);
        return R;
    }
    static int Length(const TRecordingCanvas::TLine& L) {
        return std::abs(L.To.X - L.From.X) + std::abs(L.To.Y - L.From.Y);
    }

    TRecordingCanvas Canvas;
    TPlot Plot{&Canvas};
};

TEST_F(PlotScale, PortraitA4XScaleHas211TicksAnd22Labels) {
    Canvas.SetPenColor(RGBColor(1, 2, 3));
    Plot.DrawScaleIndexed(1, 10, 0, 64, 1.0, 0.0);

    const auto Ticks = VerticalLines();
    ASSERT_EQ(Ticks.size(), 211u);
    int Long = 0;
    for (std::size_t K = 0; K < Ticks.size(); ++K) {
        EXPECT_EQ(Ticks[K].From.X, 75 + 10 * static_cast<int>(K)) << "tick " << K;
        EXPECT_EQ(Ticks[K].Color, ColorBlack);
        const bool IsLong = K % 10 == 0;
        // Long ticks reach 0.15 cm to both sides of the axis, short ones 0.075 cm.
        EXPECT_EQ(Length(Ticks[K]), IsLong ? 30 : 14) << "tick " << K;
        if (IsLong) {
            ++Long;
            EXPECT_EQ(Ticks[K].From.Y, 60);
            EXPECT_EQ(Ticks[K].To.Y, 90);
        }
    }
    EXPECT_EQ(Long, 22);

    std::vector<std::string> Expected;
    for (int I = 0; I <= 21; ++I) Expected.push_back(std::to_string(I));
    EXPECT_EQ(Labels(), Expected);
    for (std::size_t I = 0; I < Canvas.Texts.size(); ++I) {
        const auto& T = Canvas.Texts[I];
        // Centred under its tick, its top 0.2 cm below the axis (plus a tenth of 0.9 height).
        const double Centre = T.X + TRecordingCanvas::CharWidth(T.Font.Height) * T.Text.size() / 2;
        EXPECT_NEAR(Centre, 75 + 100.0 * I, 1.0) << T.Text;
        EXPECT_EQ(T.Y, 58) << T.Text;
        EXPECT_EQ(T.Font.Height, -30);
        EXPECT_EQ(T.Color, ColorBlack);
    }

    // The axis line runs along the page's bottom edge, right to left over the whole frame.
    const auto Axis = HorizontalLines();
    ASSERT_EQ(Axis.size(), 1u);
    EXPECT_EQ(Axis[0].From.X, 2175);
    EXPECT_EQ(Axis[0].To.X, 75);
    EXPECT_EQ(Axis[0].From.Y, 75);

    // The pen colour and the text state come back.
    EXPECT_EQ(Canvas.PenColor(), RGBColor(1, 2, 3));
    EXPECT_DOUBLE_EQ(Plot.GetTextHeight(), 0.5);
}

TEST_F(PlotScale, ZeroSubdivisionsAndNegativeStepBehaveAsTheUsualScale) {
    Plot.DrawScale(1, 10, ColorBlack, 0, 1.0, 0.0);
    const auto Lines = Canvas.Lines;
    const auto Texts = Labels();

    Canvas.Clear();
    Plot.DrawScale(1, 0, ColorBlack, 0, 1.0, 0.0);
    ASSERT_EQ(Canvas.Lines.size(), Lines.size());
    EXPECT_EQ(Labels(), Texts);

    Canvas.Clear();
    Plot.DrawScale(1, -10, ColorBlack, 0, -1.0, 0.0);
    ASSERT_EQ(Canvas.Lines.size(), Lines.size());
    for (std::size_t I = 0; I < Lines.size(); ++I) EXPECT_EQ(Length(Canvas.Lines[I]), Length(Lines[I]));
    EXPECT_EQ(Labels(), Texts);
}

TEST_F(PlotScale, ZeroIsLabelledPlainlyOrLeftOutWithFlag256) {
    Plot.SetAxis(1, 0, -3.0, 3.0);
    Plot.DrawScale(1, 10, ColorBlack, 0, 1.0, 0.0);
    const std::vector<std::string> All = {"-3", "-2", "-1", "0", "1", "2", "3"};
    EXPECT_EQ(Labels(), All);
    const std::size_t TickCount = VerticalLines().size();
    EXPECT_EQ(TickCount, 61u);

    Canvas.Clear();
    Plot.DrawScale(1, 10, ColorBlack, 256, 1.0, 0.0);
    const std::vector<std::string> NoZero = {"-3", "-2", "-1", "1", "2", "3"};
    EXPECT_EQ(Labels(), NoZero);
    const auto Ticks = VerticalLines();
    ASSERT_EQ(Ticks.size(), TickCount); // the tick at 0 stays
    EXPECT_EQ(Length(Ticks[30]), 30);   // and it is a long one

    // Prefix labels write 0 as such, not as a tiny negative number.
    Canvas.Clear();
    Plot.SetScaleStyle(-999, 0.3, 0.2, 0.15, 0.075); // decimals from the step: 1
    Plot.SetAxis(1, 0, -0.3, 0.3);
    SetLocaleDecimalChar('.');
    Plot.DrawScale(1, 10, ColorBlack, 4, 0.1, 0.0);
    SetLocaleDecimalChar(0);
    ASSERT_EQ(Canvas.Texts.size(), 7u);
    EXPECT_EQ(Canvas.Texts[3].Text, "0.0");
    for (const auto& T : Canvas.Texts) EXPECT_EQ(T.Text.find('e'), std::string::npos) << T.Text;
}

TEST_F(PlotScale, TicksOnTheRangeEndsSurviveRoundingErrors) {
    // k * F + start lands a hair below -0.7 (so it lies just under a multiple of the step,
    // not on it) and a hair beside -0.2 (the range's end).
    Plot.SetScaleStyle(-999, 0.3, 0.2, 0.15, 0.075); // decimals from the step: 1
    Plot.SetAxis(1, 0, -1.0, -0.2);
    Plot.DrawScale(1, 2, ColorBlack, 0, 0.1, 0.0);
    const auto Ticks = VerticalLines();
    ASSERT_EQ(Ticks.size(), 17u);
    for (std::size_t K = 0; K < Ticks.size(); ++K)
        EXPECT_EQ(Length(Ticks[K]), K % 2 == 0 ? 30 : 14) << "tick " << K;
    const std::vector<std::string> Expected = {"-1.0", "-0.9", "-0.8", "-0.7", "-0.6",
                                               "-0.5", "-0.4", "-0.3", "-0.2"};
    EXPECT_EQ(Labels(), Expected);
}

TEST_F(PlotScale, IndexNineDrawsNothing) {
    Plot.DrawScale(9, 10, ColorBlack, 0, 1.0, 0.0);
    Plot.DrawScale(-9, 10, ColorBlack, 0, 1.0, 0.0);
    EXPECT_TRUE(Canvas.Lines.empty());
    EXPECT_TRUE(Canvas.Texts.empty());
    EXPECT_DOUBLE_EQ(Plot.AxisToPlot(9, 123.0), 1.0);
    Plot.SetAxis(9, 0, 0.0, 1.0); // ignored
    EXPECT_DOUBLE_EQ(Plot.AxisToPlot(-1, 21.0), 21.0); // a negative index counts by magnitude
}

TEST_F(PlotScale, FlagsForGridOtherSideAndRotatedLabels) {
    Plot.DrawScale(1, 10, ColorBlack, 1 | 16, 1.0, 0.0);
    // A grid line from the frame's top to its bottom at every long tick.
    int Grid = 0;
    for (const auto& L : VerticalLines())
        if (L.From.Y == 3035 && L.To.Y == 75) ++Grid;
    EXPECT_EQ(Grid, 22);
    ASSERT_FALSE(Canvas.Texts.empty());
    // Above the axis: centre-bottom alignment at 0.2 cm above it.
    EXPECT_EQ(Canvas.Texts[0].Y, 75 + 20 + 27);

    Canvas.Clear();
    Plot.DrawScale(5, 10, ColorBlack, 128, 1.0, 0.0);
    ASSERT_FALSE(Canvas.Texts.empty());
    EXPECT_EQ(Canvas.Texts[0].Font.Escapement, 900);
    EXPECT_DOUBLE_EQ(Plot.TextAngle(), 0.0); // restored afterwards

    Canvas.Clear();
    Plot.DrawScale(1, 10, ColorBlack, 2, 1.0, 0.0);
    EXPECT_TRUE(Canvas.Texts.empty());
    EXPECT_EQ(VerticalLines().size(), 211u);
}

TEST_F(PlotScale, LogarithmicScaleOverThreeDecades) {
    Plot.SetAxis(1, 2, 1.0, 1000.0);
    EXPECT_NEAR(Plot.AxisToPlot(1, 10.0), 7.0, 1e-12);
    EXPECT_NEAR(Plot.AxisToPlot(1, 1000.0), 21.0, 1e-12);
    Plot.DrawScale(1, 10, ColorBlack, 0, 1.0, 0.0);

    std::map<int, int> TickLength;
    for (const auto& L : VerticalLines()) TickLength[L.From.X] = Length(L);
    int Long = 0, Short = 0;
    for (const auto& [X, Len] : TickLength) (Len == 30 ? Long : Short)++;
    // Long ticks at 5, 10, 50, 100, 500; short ones at 1.5 .. 4.5 and 6 .. 9 per decade.
    EXPECT_EQ(Long, 5);
    EXPECT_EQ(Short, 33);
    const std::vector<std::string> Expected = {"5", "10", "50", "100", "500"};
    EXPECT_EQ(Labels(), Expected);

    // The pieces of the axis line join up from the frame's left end to its right end.
    auto Pieces = HorizontalLines();
    std::sort(Pieces.begin(), Pieces.end(),
              [](const auto& A, const auto& B) { return A.From.X < B.From.X; });
    ASSERT_FALSE(Pieces.empty());
    EXPECT_EQ(Pieces.front().From.X, 75);
    for (std::size_t I = 1; I < Pieces.size(); ++I)
        EXPECT_EQ(Pieces[I].From.X, Pieces[I - 1].To.X);
    EXPECT_EQ(Pieces.back().To.X, 2175);
}

TEST_F(PlotScale, AbsurdRangesDrawOnlyTheAxisLine) {
    Plot.SetAxis(1, 0, 0.0, 1e15);
    Plot.DrawScale(1, 10, ColorBlack, 0, 1.0, 0.0); // 1e16 ticks: not walked
    EXPECT_EQ(Canvas.Lines.size(), 1u);
    Canvas.Clear();
    Plot.SetAxis(1, 0, 0.0, 21.0);
    Plot.DrawScale(1, 10, ColorBlack, 0, 0.0, 0.0); // no step
    EXPECT_EQ(Canvas.Lines.size(), 1u);
    Canvas.Clear();
    Plot.SetAxis(1, 2, -1.0, 100.0); // no logarithm of a negative bound
    Plot.DrawScale(1, 10, ColorBlack, 0, 1.0, 0.0);
    EXPECT_TRUE(Canvas.Texts.empty());
}

TEST(PlotScaleFormat, FormatScaleValue) {
    EXPECT_EQ(TPlot::FormatScaleValue(0, 3.0), "3");
    EXPECT_EQ(TPlot::FormatScaleValue(-2, 1234.0), "1200");
    EXPECT_EQ(TPlot::FormatScaleValue(-2, -1250.0), "-1300"); // halves away from zero
    EXPECT_EQ(TPlot::FormatScaleValue(-1, 15.0), "20");
    EXPECT_EQ(TPlot::FormatScaleValue(2, 2.5), "2.50");
    EXPECT_EQ(TPlot::FormatScaleValue(1, -0.01), "0.0");
    EXPECT_EQ(TPlot::FormatScaleValue(-999, 7.0), "0");
}

} // namespace
