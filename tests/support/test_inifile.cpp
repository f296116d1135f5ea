// Tests of the INI files: the private-profile reading rules and writes that keep the rest.
#include "support/inifile.h"
#include "support/inouterror.h"
#include "support/localefmt.h"
#include "testsupport.h"

#include <gtest/gtest.h>

using namespace zarvo;

TEST(IniRead, NamesWithoutRegardToCaseValuesTrimmedAndUnquoted) {
    TIniFile Ini;
    Ini.Parse("; comment\r\n[Config]\r\n  WorkDir =  /home/a b  \r\nFILTER=\"EPS|*.eps\"\r\n"
              "Quoted='x'\r\nHalf=\"x\r\n[other]\nkey=1\n");
    EXPECT_EQ(Ini.ReadString("config", "workdir", "-"), "/home/a b");
    EXPECT_EQ(Ini.ReadString("CONFIG", "Filter", "-"), "EPS|*.eps");
    EXPECT_EQ(Ini.ReadString("Config", "Quoted", "-"), "x");
    EXPECT_EQ(Ini.ReadString("Config", "Half", "-"), "\"x");
    EXPECT_EQ(Ini.ReadString("Config", "Missing", "dflt"), "dflt");
    EXPECT_EQ(Ini.ReadString("Nowhere", "key", "dflt"), "dflt");
    EXPECT_EQ(Ini.ReadInteger("OTHER", "KEY", 0), 1);
    // Every letter counts without case, Z included (a hand-edited "XSIZE").
    Ini.Parse("[FRAMEZ]\nXSIZE=3\nZoom=4\n");
    EXPECT_EQ(Ini.ReadInteger("FrameZ", "XSize", 0), 3);
    EXPECT_EQ(Ini.ReadInteger("framez", "ZOOM", 0), 4);
    Ini.Parse("; comment\n[Config]\n[other]\nkey=1\n");
    EXPECT_TRUE(Ini.SectionExists("other"));
    EXPECT_FALSE(Ini.SectionExists("comment"));
}

TEST(IniRead, LongValuesAreCutTo2047Characters) {
    TIniFile Ini;
    Ini.Parse("[Frame01]\nName=" + std::string(1 << 20, 'x') + "\n");
    EXPECT_EQ(Ini.ReadString("Frame01", "Name", "").size(), 2047u);
}

TEST(IniRead, ValuesThatDoNotConvertTakeTheDefault) {
    TIniFile Ini;
    Ini.Parse("[S]\nInt=12x\nNeg=-7\nBig=99999999999\nBool=2\nBool0=0\nWord=ja\n"
              "Point=3.5\nComma=3,5\nBad=3.5.1\nInf=inf\nExp=1e2\nEmpty=\n");
    EXPECT_EQ(Ini.ReadInteger("S", "Int", 5), 5);
    EXPECT_EQ(Ini.ReadInteger("S", "Neg", 5), -7);
    EXPECT_EQ(Ini.ReadInteger("S", "Big", 5), 5);
    EXPECT_TRUE(Ini.ReadBool("S", "Bool", false)); // any integer but 0 is true
    EXPECT_FALSE(Ini.ReadBool("S", "Bool0", true));
    EXPECT_TRUE(Ini.ReadBool("S", "Word", true));
    // Doubles come in with either decimal separator, whatever the locale.
    EXPECT_DOUBLE_EQ(Ini.ReadFloat("S", "Point", 0), 3.5);
    EXPECT_DOUBLE_EQ(Ini.ReadFloat("S", "Comma", 0), 3.5);
    EXPECT_DOUBLE_EQ(Ini.ReadFloat("S", "Bad", 9), 9);
    EXPECT_DOUBLE_EQ(Ini.ReadFloat("S", "Inf", 9), 9);
    EXPECT_DOUBLE_EQ(Ini.ReadFloat("S", "Exp", 9), 100);
    EXPECT_DOUBLE_EQ(Ini.ReadFloat("S", "Empty", 9), 9);
}

TEST(IniRead, TheFirstOfDuplicateSectionsAndKeysCounts) {
    TIniFile Ini;
    Ini.Parse("[A]\nk=1\nk=2\n[a]\nk=3\nj=4\n");
    EXPECT_EQ(Ini.ReadInteger("A", "k", 0), 1);
    EXPECT_EQ(Ini.ReadInteger("A", "j", 0), 0);
}

TEST(IniWrite, KeepsOtherLinesReplacesKeysInPlaceAndAppendsNewOnes) {
    TIniFile Ini;
    Ini.Parse("; keep me\n[Config]\nWorkDir=/a\nX=1\n\n[Files]\nHistory0=/s.zvs\n");
    Ini.WriteString("CONFIG", "workdir", "/b");
    Ini.WriteInteger("Config", "Printer", 3);
    Ini.WriteBool("New", "Grid", true);
    EXPECT_EQ(Ini.Text(), "; keep me\n[Config]\nworkdir=/b\nX=1\nPrinter=3\n\n[Files]\n"
                          "History0=/s.zvs\n\n[New]\nGrid=1\n");
}

TEST(IniWrite, LinesNotRewrittenKeepTheirLineEnds) {
    // CR LF, a lone CR and a last line without an end come back byte for byte; the program's
    // own lines end with LF.
    const std::string Kept = "; Notiz\r\n[Config]\r\nX=1\r\n\r\n[Files]\rHistory0=/s.zvs";
    TIniFile Ini;
    Ini.Parse(Kept);
    EXPECT_EQ(Ini.Text(), Kept);
    Ini.WriteInteger("Config", "X", 2);
    Ini.WriteInteger("Files", "Count", 1);
    Ini.WriteBool("New", "Grid", true);
    EXPECT_EQ(Ini.Text(), "; Notiz\r\n[Config]\r\nX=2\r\n\r\n[Files]\rHistory0=/s.zvs\n"
                          "Count=1\n\n[New]\nGrid=1\n");
}

TEST(IniWrite, EraseSectionRemovesEveryCopyOfIt) {
    TIniFile Ini;
    Ini.Parse("[Frame01]\nName=old\n[Global]\nCount=1\n[frame01]\nName=older\n");
    Ini.EraseSection("FRAME01");
    EXPECT_FALSE(Ini.SectionExists("Frame01"));
    Ini.WriteString("Frame01", "Name", "new");
    EXPECT_EQ(Ini.ReadString("Frame01", "Name", ""), "new");
    EXPECT_EQ(Ini.Text(), "[Global]\nCount=1\n\n[Frame01]\nName=new\n");
}

TEST(IniWrite, ValuesCannotBreakTheLineStructure) {
    TIniFile Ini;
    Ini.WriteString("S", "Name", "a\nb\r[Evil]");
    TIniFile Back;
    Back.Parse(Ini.Text());
    EXPECT_FALSE(Back.SectionExists("Evil"));
    EXPECT_EQ(Back.ReadString("S", "Name", ""), "a b [Evil]");
}

TEST(IniWrite, DoublesWithOneDecimalInTheLocalesSeparator) {
    TIniFile Ini;
    SetLocaleDecimalChar('.');
    Ini.WriteFloat("C", "PaperWidth", 21.04);
    EXPECT_EQ(Ini.ReadString("C", "PaperWidth", ""), "21.0");
    SetLocaleDecimalChar(',');
    Ini.WriteFloat("C", "PaperWidth", 21.04);
    Ini.WriteFloat("C", "Neg", -0.04);
    EXPECT_EQ(Ini.ReadString("C", "PaperWidth", ""), "21,0");
    EXPECT_EQ(Ini.ReadString("C", "Neg", ""), "0,0");
    EXPECT_DOUBLE_EQ(Ini.ReadFloat("C", "PaperWidth", 0), 21.0);
    SetLocaleDecimalChar(0);
}

TEST(IniFile, OpenMissingUnreadableAndUpdate) {
    zarvotest::TTempDir Dir;
    TIniFile Missing(Dir.File("none.ini"));
    EXPECT_EQ(Missing.Open(), TIniFile::TOpenResult::Missing);
    TIniFile Folder(Dir.Path());
    EXPECT_EQ(Folder.Open(), TIniFile::TOpenResult::Unreadable);

    const std::string Path = Dir.File("zarvo.INI");
    zarvotest::WriteFile(Path, "[Config]\r\nGrid=0\r\n");
    TIniFile Ini(Path);
    ASSERT_EQ(Ini.Open(), TIniFile::TOpenResult::Ok);
    EXPECT_FALSE(Ini.ReadBool("Config", "Grid", true));
    Ini.WriteBool("Config", "Grid", true);
    Ini.UpdateFile();
    EXPECT_EQ(zarvotest::ReadFile(Path), "[Config]\r\nGrid=1\r\n"); // its line ends kept
    // No temporary file is left beside it.
    EXPECT_EQ(zarvotest::ListDir(Dir.Path()).size(), 1u);

    // A file that cannot be written raises and leaves nothing behind.
    TIniFile Nowhere(Dir.File("no/such/folder/x.ini"));
    Nowhere.WriteBool("Config", "Grid", true);
    EXPECT_THROW(Nowhere.UpdateFile(), EInOutError);
}

TEST(IniWrite, SavingTheSameSectionsAgainGivesTheSameText) {
    // The configuration and sheets rewrite whole sections on every save; the file must not
    // grow (a blank line more each time) or change when nothing else did.
    TIniFile Ini;
    Ini.Parse("; mine\n\n[Config]\nGrid=1\n\n[Files]\nHistory0=/a.zvs\n\n[Extra]\nx=1\n");
    std::string Before;
    for (int Round = 0; Round < 3; ++Round) {
        Ini.EraseSection("Files");
        Ini.WriteString("Files", "History0", "/a.zvs");
        Ini.WriteString("Config", "Grid", "1");
        const std::string Text = Ini.Text();
        if (Round > 0) {
            EXPECT_EQ(Text, Before) << "round " << Round;
        }
        Before = Text;
        Ini.Parse(Text);
    }
    EXPECT_EQ(Before.find("\n\n\n"), std::string::npos) << Before;
    EXPECT_NE(Before.find("; mine\n"), std::string::npos);
    EXPECT_NE(Before.find("[Extra]\nx=1\n"), std::string::npos);
}
