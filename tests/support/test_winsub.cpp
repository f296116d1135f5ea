// Tests of the string, path and number-format helpers.
#include "support/userdialogs.h"
#include "support/winsub.h"
#include "testsupport.h"

#include <gtest/gtest.h>

using namespace zarvo;

TEST(StripExtension, CutsAtTheLastPointEvenInsideAFolderName) {
    EXPECT_EQ(StripExtension("/dir.old/name"), "/dir");
    EXPECT_EQ(StripExtension("/dir/name"), "/dir/name");
    EXPECT_EQ(StripExtension("a.b.c"), "a.b");
    EXPECT_EQ(StripExtension(""), "");
}

TEST(CombineFileName, JoinsFolderNameAndDefaultExtension) {
    EXPECT_EQ(CombineFileName("/data", "sheet", "zvs"), "/data/sheet.zvs");
    EXPECT_EQ(CombineFileName("/data/", "sheet", ".zvs"), "/data/sheet.zvs");
    EXPECT_EQ(CombineFileName("/data", "sheet.old", "zvs"), "/data/sheet.old");
    // A name with a folder of its own ignores the folder argument.
    EXPECT_EQ(CombineFileName("/data", "/x/y", "zvs"), "/x/y.zvs");
    EXPECT_EQ(CombineFileName("/data", "out/job.ps", "PS"), "out/job.ps");
    EXPECT_EQ(CombineFileName("", "zarvo", "INI"), "zarvo.INI");
    EXPECT_EQ(CombineFileName("/data", "name", ""), "/data/name");
    // A point in a folder name is no extension.
    EXPECT_EQ(CombineFileName("/data", "~/v1.2/job", "PS"), "~/v1.2/job.PS");
}

TEST(ShortenPath, KeepsTheStartOfThePathAndTheFileName) {
    // 25 characters: "C:/Daten/.../Bild1.eps" (22) is too long, the next candidate fits.
    EXPECT_EQ(ShortenPath("C:/Daten/Grafik/Bild1.eps", 20), "C:/.../Bild1.eps");
    EXPECT_EQ(ShortenPath("/home/Daten/Grafik/Bild1.eps", 20), "/home/.../Bild1.eps");
    // A single separator: "..." and the last N - 2 characters.
    const std::string Long = "C:/" + std::string(30, 'x');
    EXPECT_EQ(ShortenPath(Long, 20), "..." + std::string(18, 'x'));
    EXPECT_EQ(ShortenPath(std::string(25, 'y'), 20), "..." + std::string(18, 'y'));
    // Shorter than N: unchanged; exactly N is processed.
    EXPECT_EQ(ShortenPath("/abc/defghijklmnopq", 20), "/abc/defghijklmnopq");
    EXPECT_EQ(ShortenPath("/abcd/efghijklmnopqr", 20), "/.../efghijklmnopqr");
    // A candidate of exactly N characters fits.
    EXPECT_EQ(ShortenPath("/homex/Daten/Grafik/Bild1.eps", 20), "/homex/.../Bild1.eps");
}

TEST(RealToStr, FixedPointRightAlignedNeverCut) {
    EXPECT_EQ(RealToStr(4, 1, 1.5), " 1.5");
    EXPECT_EQ(RealToStr(4, 1, 12.34), "12.3");
    EXPECT_EQ(RealToStr(4, 1, 123.44), "123.4");
    EXPECT_EQ(RealToStr(4, 1, -0.5), "-0.5");
    EXPECT_EQ(RealToStr(4, 1, -1.5), "-1.5");
    EXPECT_EQ(RealToStr(0, 1, 10.0), "10.0");
    EXPECT_EQ(RealToStr(4, 1, 3.0 - 14 / 28.35), " 2.5");
    // Rounding to zero gives no sign.
    EXPECT_EQ(RealToStr(4, 1, -0.04), " 0.0");
}

TEST(RealToStr, WritesTheProgramsDecimalCharacter) {
    SetDecimalChar(',');
    EXPECT_EQ(RealToStr(0, 1, 10.0), "10,0");
    EXPECT_EQ(ApplyDecimalChar("1.2.3"), "1,2.3");
    SetDecimalChar('.');
    EXPECT_EQ(RealToStr(0, 1, 10.0), "10.0");
}

TEST(IntegerFormats, ZeroPaddingWidthAndHex) {
    EXPECT_EQ(IntToStrZero(5, 2), "05");
    EXPECT_EQ(IntToStrZero(7, 2), "07");
    EXPECT_EQ(IntToStrZero(12, 2), "12");
    EXPECT_EQ(IntToStrZero(100, 2), "100");
    EXPECT_EQ(IntToStrZero(-7, 2), "-7");
    EXPECT_EQ(IntToStrZero(-12, 2), "-12");
    EXPECT_EQ(IntToStrZero(-5, 3), "-05");
    EXPECT_EQ(IntToStrWidth(42, 0), "42");
    EXPECT_EQ(IntToStrWidth(-42, 5), "  -42");
    EXPECT_EQ(ByteToHex(10), "0A");
    EXPECT_EQ(ByteToHex(255), "FF");
    EXPECT_EQ(ByteToHex(0), "00");
}

TEST(RoundHalfEven, WholePointsOfPaperSizes) {
    EXPECT_EQ(RoundHalfEven(0.125 * 100), 12);
    EXPECT_EQ(RoundHalfEven(0.375 * 100), 38);
    EXPECT_EQ(RoundHalfEven(30.0 * 28.35), 850); // 850.5 to the even neighbour
    EXPECT_EQ(RoundHalfEven(10.0 * 28.35), 284); // 283.5
    EXPECT_EQ(RoundHalfEven(21.0 * 28.35), 595);
    EXPECT_EQ(RoundHalfEven(29.6 * 28.35), 839);
    EXPECT_EQ(RoundHalfEven(-2.5), -2);
    EXPECT_EQ(RoundHalfEven(-3.5), -4);
    EXPECT_EQ(RoundHalfEven(2.5000001), 3);
}

TEST(FitIntoScreen, KeepsQuestionBoxesInsideTheScreen) {
    zarvotest::TRecordingDialogs Dialogs;
    Dialogs.Screen = {1024, 768};
    int X = 5000, Y = 10;
    FitIntoScreen(X, Y, 200, 150);
    EXPECT_EQ(X, 804);
    EXPECT_EQ(Y, 10);
    X = 100;
    Y = 700;
    FitIntoScreen(X, Y, 200, 150);
    EXPECT_EQ(X, 100);
    EXPECT_EQ(Y, 598);
    // AskYesNo applies it to the box position; -1 stays centred.
    EXPECT_FALSE(AskYesNo("Box löschen?", 5000, 20));
    EXPECT_FALSE(AskYesNo("Blatt speichern?", -1, -1));
    ASSERT_EQ(Dialogs.QuestionPositions.size(), 2u);
    EXPECT_EQ(Dialogs.QuestionPositions[0].X, 804);
    EXPECT_EQ(Dialogs.QuestionPositions[1].X, -1);
}
