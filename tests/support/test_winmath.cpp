// Tests of the real arithmetic and the prefixed number labels.
#include "support/localefmt.h"
#include "support/winmath.h"

#include <gtest/gtest.h>

using namespace zarvo;

TEST(RealArithmetic, FloorModuloAndSign) {
    EXPECT_EQ(FloorReal(-2.5), -3.0);
    EXPECT_EQ(FloorReal(2.5), 2.0);
    EXPECT_EQ(FloorReal(-3.0), -3.0);
    EXPECT_EQ(FModReal(-7, 3), -1.0);
    EXPECT_EQ(FModReal(7, 3), 1.0);
    EXPECT_EQ(SignTransfer(2, -1), -2.0);
    EXPECT_EQ(SignTransfer(2, 0), 0.0);
    EXPECT_EQ(SignTransfer(-2, 5), -2.0);
    EXPECT_NEAR(Log10Real(1000), 3.0, 1e-12);
    EXPECT_NEAR(PowerReal(10, 2.5), 316.227766, 1e-5);
}

TEST(ScaleToPrefix, ChoosesRangeAndFactor) {
    struct Case {
        double In;
        int Index;
        double Out;
    } Cases[] = {
        {0.0, 6, 0.0},    {1e16, 6, 1e16},    {999.0, 7, 0.999}, {998.999, 6, 998.999},
        {0.0025, 5, 2.5}, {-1500.0, 7, -1.5}, {2e-14, 1, 20.0},  {5e-11, 2, 50.0},
        {3e-8, 3, 30.0},  {4e-5, 4, 40.0},    {1.5e6, 8, 1.5},   {2e9, 9, 2.0},
        {1e12, 10, 1.0},  {0.1, 6, 0.1},
    };
    for (const Case& C : Cases) {
        double X = C.In, Factor;
        int Index;
        ScaleToPrefix(X, Factor, Index);
        EXPECT_EQ(Index, C.Index) << C.In;
        EXPECT_NEAR(X, C.Out, std::abs(C.Out) * 1e-12) << C.In;
    }
}

TEST(FloatToPrefixStr, PrefixLetterAndUnit) {
    SetLocaleDecimalChar('.');
    EXPECT_EQ(FloatToPrefixStr(0.0025, 0, -3, "m"), "2.50 mm");
    EXPECT_EQ(FloatToPrefixStr(1500, 0, 1, "V"), "1.5 kV");
    // Without a prefix the unit is followed by a blank, so both forms are equally long.
    EXPECT_EQ(FloatToPrefixStr(2.5, 0, 1, "V"), "2.5 V ");
    EXPECT_EQ(FloatToPrefixStr(3, 0, 0, ""), "3");
    EXPECT_EQ(FloatToPrefixStr(0.002, 0, -1, ""), "2m");
    EXPECT_EQ(FloatToPrefixStr(-20, 0, 0, ""), "-20");
    // Below 1 after scaling one more decimal; units cut to five characters.
    EXPECT_EQ(FloatToPrefixStr(0.0005, 0, -3, ""), "0.500m");
    EXPECT_EQ(FloatToPrefixStr(1500, 0, 1, "Hertz"), "1.5 kHertz");
    EXPECT_EQ(FloatToPrefixStr(1500, 0, 1, "Hertzen"), "1.5 kHertz");
    // Zero with automatic decimals has none, and the unit keeps its trailing blank.
    EXPECT_EQ(FloatToPrefixStr(0, 0, -3, "V"), "0 V ");
    // Rounded once: 1.3496 is 1.3 with one decimal, not 1.35 rounded again to 1.4.
    EXPECT_EQ(FloatToPrefixStr(1.3496, 0, 1, ""), "1.3");
    SetLocaleDecimalChar(',');
    EXPECT_EQ(FloatToPrefixStr(0.0025, 0, -3, "m"), "2,50 mm");
    SetLocaleDecimalChar(0);
}

TEST(NormalizedFloatToStr, ExponentInStepsOfThree) {
    SetLocaleDecimalChar('.');
    EXPECT_EQ(NormalizedFloatToStr(1500, '.', 3), "1.50E3");
    EXPECT_EQ(NormalizedFloatToStr(0.0025, '.', 2), "2.5E-3");
    EXPECT_EQ(NormalizedFloatToStr(12.5, '.', 4), "12.50");
    EXPECT_EQ(NormalizedFloatToStr(0.5, '.', 2), "0.50");
    EXPECT_EQ(NormalizedFloatToStr(0, ',', 1), "0,0");
    EXPECT_EQ(NormalizedFloatToStr(-1500, '.', 3), "-1.50E3");
    EXPECT_EQ(NormalizedFloatToStr(123456, '.', 2), "120E3");
    EXPECT_EQ(NormalizedFloatToStr(2.5, '.', 12), "2.5000000"); // digits limited to 8
    // Rounding that reaches the next power of ten moves the point instead of adding a digit.
    EXPECT_EQ(NormalizedFloatToStr(999.6, '.', 3), "1.00E3");
    EXPECT_EQ(NormalizedFloatToStr(9.9996, '.', 3), "10.0");
    EXPECT_EQ(NormalizedFloatToStr(0.99996, '.', 2), "1.0");
    EXPECT_EQ(NormalizedFloatToStr(99.96, '.', 2), "100");
    EXPECT_EQ(NormalizedFloatToStr(0.09999996, '.', 3), "100E-3");
    // Beyond the prefixes the value is written in full, however large.
    EXPECT_EQ(NormalizedFloatToStr(1e19, '.', 3), "10000000000000000000");
    EXPECT_EQ(NormalizedFloatToStr(-2.5e20, '.', 2), "-250000000000000000000");
    EXPECT_EQ(NormalizedFloatToStr(9.2233720368547758e18, '.', 4), "9223000000000000000");
    SetLocaleDecimalChar(0);
}
