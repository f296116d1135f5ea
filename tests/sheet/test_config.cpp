// Tests of the configuration keys: defaults, round trip and values a hand-edited file holds.
#include "sheet/config.h"
#include "support/inifile.h"
#include "support/localefmt.h"

#include <gtest/gtest.h>

using namespace zarvo;

TEST(Config, DefaultsOfAFirstStart) {
    TIniFile Empty;
    const TConfig C = ReadConfig(Empty, "/home/u/Documents");
    EXPECT_EQ(C.WorkDir, "/home/u/Documents");
    EXPECT_EQ(C.Filter, "EPS-Dateien|*.eps");
    EXPECT_EQ(C.Printer, 3);
    EXPECT_EQ(C.PrintFile, "ZVS.PS");
    EXPECT_FALSE(C.Landscape);
    EXPECT_EQ(C.PaperSize, (TCmPair{21.0, 29.6}));
    EXPECT_TRUE(C.GridOn);
    EXPECT_EQ(C.GridWidth, 5);
    EXPECT_EQ(C.FormBounds.ClientWidth, 500);
    EXPECT_EQ(C.FormBounds.ClientHeight, 400);
    EXPECT_EQ(C.FormBounds.Left, 0);
    EXPECT_EQ(C.WindowState, 0);
    EXPECT_EQ(C.TextFont, TPSFontRec());
    EXPECT_EQ(C.ShowContent, -1); // chosen by whether Ghostscript is there
    EXPECT_EQ(ConfigFileName("/home/u/Documents", "zarvo"), "/home/u/Documents/zarvo.INI");
    EXPECT_EQ(ConfigFileName("", "zarvo"), "zarvo.INI");
}

TEST(Config, RoundTripInTheLocalesSeparator) {
    SetLocaleDecimalChar(',');
    TConfig C;
    C.WorkDir = "/data/eps";
    C.Printer = 0;
    C.Landscape = true;
    C.PaperSize = {21.04, 30.0};
    C.GridWidth = 25;
    C.TextFont.FontType = 3;
    C.TextFont.FontColor = 0xFF0000;
    C.FormBounds = {10, 20, 800, 600};
    C.WindowState = 2;
    C.GridOn = false;
    C.PrintFile = "auftrag.ps";
    C.Filter = "Bilder|*.eps;*.ps";
    C.TextFont.FontSize = 30;
    C.TextFont.FontStyle = 2;
    C.ShowContent = 0;
    TIniFile Ini;
    WriteConfig(Ini, C);
    EXPECT_EQ(Ini.ReadString("Config", "ShowContent", ""), "0");
    EXPECT_EQ(Ini.ReadString("Config", "PaperWidth", ""), "21,0");
    const TConfig Back = ReadConfig(Ini, "/x");
    SetLocaleDecimalChar(0);
    EXPECT_EQ(Back.WorkDir, "/data/eps");
    EXPECT_EQ(Back.Printer, 0);
    EXPECT_TRUE(Back.Landscape);
    EXPECT_EQ(Back.PaperSize, (TCmPair{21.0, 30.0}));
    EXPECT_EQ(Back.GridWidth, 25);
    EXPECT_EQ(Back.TextFont.FontType, 3);
    EXPECT_EQ(Back.TextFont.FontColor, 0xFF0000u);
    EXPECT_EQ(Back.FormBounds.Left, 10);
    EXPECT_EQ(Back.FormBounds.Top, 20);
    EXPECT_EQ(Back.FormBounds.ClientWidth, 800);
    EXPECT_EQ(Back.FormBounds.ClientHeight, 600);
    EXPECT_EQ(Back.WindowState, 2);
    EXPECT_FALSE(Back.GridOn);
    EXPECT_EQ(Back.PrintFile, "auftrag.ps");
    EXPECT_EQ(Back.Filter, "Bilder|*.eps;*.ps");
    EXPECT_EQ(Back.TextFont.FontSize, 30);
    EXPECT_EQ(Back.TextFont.FontStyle, 2);
    EXPECT_EQ(Back.ShowContent, 0);
}

TEST(Config, ValuesThatWouldBreakThePreviewAreHeldInLimits) {
    TIniFile Ini;
    Ini.Parse("[Config]\nGridWidth=0\nPaperWidth=-1\nPaperHeight=1e9\nPrinter=abc\n"
              "[Font]\nFontType=9\nFontStyle=-1\nFontSize=65536\n[Ports]\nLPT2=|lp -o raw\n");
    const TConfig C = ReadConfig(Ini, "");
    EXPECT_EQ(C.GridWidth, 1);
    EXPECT_EQ(C.PaperSize, (TCmPair{MinPaperSide, MaxPaperSide}));
    EXPECT_EQ(C.Printer, 3);
    EXPECT_EQ(C.TextFont.FontType, 1);
    EXPECT_EQ(C.TextFont.FontStyle, 0);
    EXPECT_EQ(C.TextFont.FontSize, 18); // not wrapped to 0
    Ini.Parse("[Font]\nFontSize=0\n");
    EXPECT_EQ(ReadConfig(Ini, "").TextFont.FontSize, 18);
    EXPECT_EQ(C.PortTargets[1], "|lp -o raw");
    EXPECT_EQ(C.PortTargets[0], "");
}
