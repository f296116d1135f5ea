// Screen fonts and text measuring: the four font names resolve to metric-compatible fonts,
// and a measured text is as wide as the printer sets it.
#include "sheet/psfonttable.h"
#include "sheet/sheetfile.h"
#include "support/winsub.h"
#include "testsupport.h"
#include "view/textmeasure.h"

#include <gtest/gtest.h>

#include <QFont>
#include <QFontInfo>

namespace {

using namespace zarvo;

TEST(ScreenFonts, TheFourScreenNamesResolveToMetricCompatibleFonts) {
    const char* Expected[4] = {"Liberation Serif", "Liberation Sans", "Liberation Mono",
                               "Standard Symbols PS"};
    TQtCanvas Canvas;
    TPlot Plot(&Canvas);
    Plot.SetPlotArea({10.0, 10.0}, {0.0, 0.0, 0.0, 0.0});
    Plot.SetViewport({1000, 1000}, {0.0, 0.0}, {1.0, 1.0});
    for (int Type = 0; Type < 4; ++Type) {
        const QString Name = QString::fromStdString(ScreenName(Type));
        EXPECT_TRUE(QFontInfo(QFont(Name)).family().startsWith(Expected[Type]))
            << ScreenName(Type) << " -> " << QFontInfo(QFont(Name)).family().toStdString();
        // The canvas draws and measures with the same font.
        Plot.SetFontName(ScreenName(Type));
        Plot.SetTextHeight(0.5);
        EXPECT_TRUE(Canvas.CurrentRawFont().familyName().startsWith(Expected[Type]))
            << Canvas.CurrentRawFont().familyName().toStdString();
    }
}

// The width of a text in em units from the PostScript font metrics of the printer's fonts.
struct TWidthCase {
    int FontType, FontStyle;
    const char* Text;
    double Em; // sum of the glyph widths / 1000
};

TEST(TextMeasure, WidthsMatchThePrintedWidths) {
    const TWidthCase Cases[] = {
        {1, 0, "Hello", (722 + 556 + 222 + 222 + 556) / 1000.0}, // Helvetica
        {1, 2, "Hello", (722 + 556 + 278 + 278 + 611) / 1000.0}, // Helvetica-Bold
        {0, 0, "Hello", (722 + 444 + 278 + 278 + 500) / 1000.0}, // Times-Roman
        {2, 0, "Hello", 5 * 0.6},                                // Courier
        {3, 0, "abg", (631 + 549 + 411) / 1000.0},               // Symbol: alpha beta gamma
        {1, 0, "AV", (667 + 667) / 1000.0},                      // not kerned, as printed
        {1, 0, "\x84\x80\x97", (333 + 556 + 1000) / 1000.0},     // code page 1252: „ € —
    };
    TTextMeasurer Measurer;
    for (const TWidthCase& C : Cases) {
        TPSFontRec Font;
        Font.FontType = static_cast<std::uint16_t>(C.FontType);
        Font.FontStyle = static_cast<std::uint16_t>(C.FontStyle);
        Font.FontSize = 18;
        const TCmPair Size = Measurer.Measure(C.Text, Font);
        // The font height is a whole number of 0.1 mm units: 18 pt = 0.63 cm.
        const double EmCm = RoundHalfEven(18 / PtPerCm * 100) / 100.0;
        EXPECT_NEAR(Size.X, C.Em * EmCm, 0.01 * C.Em * EmCm)
            << C.Text << " in font " << C.FontType << " style " << C.FontStyle;
        EXPECT_DOUBLE_EQ(Size.Y, 18 / PtPerCm);
    }
}

TEST(TextMeasure, MarkersDoNotCountAndSizesScale) {
    TTextMeasurer Measurer;
    TPSFontRec Font;
    EXPECT_DOUBLE_EQ(Measurer.Measure("x^2_y", Font).X, Measurer.Measure("x2y", Font).X);
    Font.FontSize = 0;
    EXPECT_DOUBLE_EQ(Measurer.Measure("abc", Font).X, 0.0);
    // Beyond the sizes glyphs are drawn at, widths still grow in proportion.
    Font.FontSize = 36;
    const double W36 = Measurer.Measure("Hello", Font).X;
    Font.FontSize = 3600;
    EXPECT_NEAR(Measurer.Measure("Hello", Font).X, 100 * W36, 0.01 * 100 * W36);
    Font.FontSize = 65535;
    const TCmPair Huge = Measurer.Measure("Hello", Font);
    EXPECT_GT(Huge.X, 1000.0);
    EXPECT_DOUBLE_EQ(Huge.Y, 65535 / PtPerCm);
}

TEST(TextMeasure, LoadSheetMeasuresTextItemsInTheirOwnFont) {
    zarvotest::TTempDir Dir;
    const std::string File = Dir.File("texts.zvs");
    zarvotest::WriteFile(File, "[Global]\r\nCount=2\r\n"
                               "[Frame01]\r\nName=x^2 Hallo\r\nBBox=2\r\nXOrigin=3.0\r\n"
                               "YOrigin=4.0\r\nXSize=99.0\r\nYSize=99.0\r\nFontType=0\r\n"
                               "FontSize=24\r\nFontStyle=1\r\nFontColor=255\r\n"
                               "[Frame02]\r\nName=/tmp/a.eps\r\nBBox=1\r\nXSize=12.3\r\n"
                               "YSize=4.5\r\n");
    TSheet Sheet;
    ASSERT_TRUE(LoadSheet(Sheet, File, MakeTextMeasure()).Succeeded());
    ASSERT_EQ(Sheet.FItems.Count(), 2);
    const TEPSBox& Text = Sheet.FItems.Item(0);
    TTextMeasurer Measurer;
    EXPECT_DOUBLE_EQ(Text.Size.X, Measurer.Measure("x2 Hallo", Text.Font).X);
    EXPECT_GT(Text.Size.X, 1.0);
    EXPECT_LT(Text.Size.X, 5.0);
    EXPECT_DOUBLE_EQ(Text.Size.Y, 24 / PtPerCm);
    EXPECT_DOUBLE_EQ(Sheet.FItems.Item(1).Size.X, 12.3); // EPS items keep their stored size
}

} // namespace
