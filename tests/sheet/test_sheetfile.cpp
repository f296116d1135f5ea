// Tests of sheet files: what is written, what comes back, and what bad files do.
#include "sheet/sheetfile.h"
#include "support/inifile.h"
#include "support/localefmt.h"
#include "testsupport.h"

#include <gtest/gtest.h>

#include <sys/stat.h>

using namespace zarvo;
using zarvotest::ReadFile;
using zarvotest::WriteFile;

namespace {

TEPSBox EpsItem(const std::string& Path, double X, double Y) {
    TEPSBox B(TCmPair{10.0, 10.0});
    B.Name = Path;
    B.Kind = KindBBox;
    B.Origin = {X, Y};
    B.Offset = {0.4, 0.7};
    B.Size = {12.3, 8.8};
    return B;
}

TEPSBox TextItem(const std::string& Text, double X, double Y) {
    TEPSBox B(TCmPair{10.0, 10.0});
    B.Name = Text;
    B.Kind = KindText;
    B.Origin = {X, Y};
    B.Size = {4.0, 0.6};
    B.Font.FontType = 0;
    B.Font.FontSize = 24;
    B.Font.FontStyle = 3;
    B.Font.FontColor = 0xFF0000;
    return B;
}

TSheet SheetWith(int N) {
    TSheet S;
    for (int I = 0; I < N; ++I)
        S.FItems.Add("x", EpsItem("/eps/item" + std::to_string(I) + ".eps", I, I));
    return S;
}

class SheetFileTest : public ::testing::Test {
protected:
    void SetUp() override { SetLocaleDecimalChar('.'); }
    void TearDown() override { SetLocaleDecimalChar(0); }
    zarvotest::TTempDir Dir;
};

} // namespace

TEST_F(SheetFileTest, RoundTripKeepsEveryFieldToTheMillimetre) {
    TSheet S;
    S.FLandscape = true;
    S.FModified = true;
    S.FItems.Add("a", EpsItem("/data/Grafik/bild.eps", 2.0, 3.14));
    S.FItems.Add("b", TextItem("x^2 Größe", 12.04, 15.5));
    const std::string Path = Dir.File("blatt.zvs");
    ASSERT_TRUE(SaveSheet(S, Path).Succeeded());
    EXPECT_FALSE(S.FModified);
    EXPECT_EQ(S.FSheetFile, Path);

    const std::string Text = ReadFile(Path);
    EXPECT_NE(Text.find("[Global]\nCount=2\nLandscape=1\nPaperHeight=29.6\nPaperWidth=21.0\n"),
              std::string::npos);
    EXPECT_NE(Text.find("[Frame01]\nName=/data/Grafik/bild.eps\nBBox=1\nXOrigin=2.0\n"
                        "YOrigin=3.1\nXOffset=0.4\nYOffset=0.7\nXSize=12.3\nYSize=8.8\n"),
              std::string::npos);
    // Font keys only for texts.
    EXPECT_EQ(Text.find("FontType"), Text.rfind("FontType"));
    EXPECT_NE(Text.find("FontType=0\nFontSize=24\nFontStyle=3\nFontColor=16711680\n"),
              std::string::npos);

    TSheet L;
    ASSERT_TRUE(LoadSheet(L, Path).Succeeded());
    ASSERT_EQ(L.FItems.Count(), 2);
    EXPECT_TRUE(L.FLandscape);
    const TEPSBox& E = L.FItems.Item(0);
    EXPECT_EQ(E.Name, "/data/Grafik/bild.eps");
    EXPECT_EQ(L.FItems.Label(0), E.Name);
    EXPECT_EQ(E.Kind, KindBBox);
    // Every number from its own key (all of them differ).
    EXPECT_EQ(E.Origin, (TCmPair{2.0, 3.1}));
    EXPECT_EQ(E.Offset, (TCmPair{0.4, 0.7}));
    EXPECT_EQ(E.Size, (TCmPair{12.3, 8.8}));
    EXPECT_EQ(L.FPaperSize, (TCmPair{21.0, 29.6}));
    const TEPSBox& T = L.FItems.Item(1);
    EXPECT_EQ(T.Name, "x^2 Größe");
    EXPECT_EQ(T.Origin, (TCmPair{12.0, 15.5}));
    EXPECT_EQ(T.Font.FontType, 0);
    EXPECT_EQ(T.Font.FontSize, 24);
    EXPECT_EQ(T.Font.FontStyle, 3);
    EXPECT_EQ(T.Font.FontColor, 0xFF0000u);
    EXPECT_EQ(T.Font.FontAngle, 0);
}

TEST_F(SheetFileTest, AShorterSheetLeavesOldSectionsThatLoadingIgnores) {
    const std::string Path = Dir.File("s.zvs");
    TSheet Twelve = SheetWith(12);
    ASSERT_TRUE(SaveSheet(Twelve, Path).Succeeded());
    TSheet Three = SheetWith(3);
    Three.FItems.Item(0).Name = "/eps/changed.eps";
    ASSERT_TRUE(SaveSheet(Three, Path).Succeeded());
    TIniFile Ini(Path);
    ASSERT_EQ(Ini.Open(), TIniFile::TOpenResult::Ok);
    EXPECT_EQ(Ini.ReadInteger("Global", "Count", 0), 3);
    EXPECT_TRUE(Ini.SectionExists("Frame12"));
    EXPECT_EQ(Ini.ReadString("Frame01", "Name", ""), "/eps/changed.eps");
    TSheet L;
    ASSERT_TRUE(LoadSheet(L, Path).Succeeded());
    ASSERT_EQ(L.FItems.Count(), 3);
    EXPECT_EQ(L.FItems.Item(0).Name, "/eps/changed.eps");

    // An empty sheet is written too: loading then shows it empty, not the former items.
    TSheet Empty;
    ASSERT_TRUE(SaveSheet(Empty, Path).Succeeded());
    ASSERT_TRUE(LoadSheet(L, Path).Succeeded());
    EXPECT_EQ(L.FItems.Count(), 0);
}

TEST_F(SheetFileTest, SectionNamesGrowBeyondTwoDigits) {
    const std::string Path = Dir.File("big.zvs");
    TSheet S = SheetWith(101);
    ASSERT_TRUE(SaveSheet(S, Path).Succeeded());
    const std::string Text = ReadFile(Path);
    EXPECT_NE(Text.find("[Frame09]"), std::string::npos);
    EXPECT_NE(Text.find("[Frame100]"), std::string::npos);
    EXPECT_NE(Text.find("[Frame101]"), std::string::npos);
    TSheet L;
    ASSERT_TRUE(LoadSheet(L, Path).Succeeded());
    ASSERT_EQ(L.FItems.Count(), 101);
    EXPECT_EQ(L.FItems.Item(100).Name, "/eps/item100.eps");
}

TEST_F(SheetFileTest, EditedFilesLoadWithDefaults) {
    const std::string Path = Dir.File("edited.zvs");
    WriteFile(Path, "[global]\r\ncount=6\r\nPaperWidth=30,0\r\nPaperHeight=oops\r\n"
                    "[Frame01]\r\nName=/a.eps\r\nXOrigin=3,5\r\n"
                    "[Frame02]\r\nName=\r\n"
                    "[Frame03]\r\nName=Text\r\nBBox=258\r\nFontType=7\r\nFontStyle=9\r\n"
                    "FontSize=12\r\nXSize=99.0\r\n"
                    "[Frame04]\r\nBBox=1\r\n"
                    "[Frame05]\r\nName=Null\r\nBBox=2\r\nFontSize=0\r\n"
                    "[Frame06]\r\nName=Wrap\r\nBBox=2\r\nFontSize=65536\r\n");
    TSheet L;
    L.FBoxSize = {5.0, 6.0};
    L.FTextFont.FontSize = 30;
    L.FTextFont.FontType = 2;
    L.FTextFont.FontStyle = 3;
    int Measured = 0;
    const TTextMeasure Measure = [&](const std::string& Text, const TPSFontRec& Font) {
        ++Measured;
        if (Text != "Text") return TCmPair{1, 1};
        // Numbers outside the font table: the sheet's text font, as for missing keys.
        EXPECT_EQ(Font.FontType, 2);
        EXPECT_EQ(Font.FontStyle, 3);
        return TCmPair{Font.FontSize * 0.1, Font.FontSize / 28.35};
    };
    ASSERT_TRUE(LoadSheet(L, Path, Measure).Succeeded());
    EXPECT_DOUBLE_EQ(L.FPaperSize.X, 30.0);
    EXPECT_DOUBLE_EQ(L.FPaperSize.Y, 29.6); // unreadable: the A4 default, not the old value
    // Empty or missing names are skipped, but counted.
    ASSERT_EQ(L.FItems.Count(), 4);
    const TEPSBox& A = L.FItems.Item(0);
    EXPECT_DOUBLE_EQ(A.Origin.X, 3.5);
    EXPECT_EQ(A.Kind, KindStdSize);
    EXPECT_EQ(A.Size, (TCmPair{5.0, 6.0})); // no size keys: the standard box size
    const TEPSBox& T = L.FItems.Item(1);
    EXPECT_EQ(T.Kind, KindText); // the low 8 bits of 258
    EXPECT_EQ(Measured, 3);
    EXPECT_DOUBLE_EQ(T.Size.X, 1.2); // measured, the stored 99.0 is ignored
    // No printer scales a font to 0 points, and 65536 would wrap to 0: the sheet's size.
    EXPECT_EQ(L.FItems.Item(2).Font.FontSize, 30);
    EXPECT_EQ(L.FItems.Item(3).Font.FontSize, 30);
}

TEST_F(SheetFileTest, ACountFarBeyondTheSectionsEndsAtTheLastSection) {
    const std::string Path = Dir.File("count.zvs");
    WriteFile(Path, "[Global]\nCount=2000000000\n[Frame02]\nName=/b.eps\n");
    TSheet L;
    ASSERT_TRUE(LoadSheet(L, Path).Succeeded());
    ASSERT_EQ(L.FItems.Count(), 1);
    EXPECT_EQ(L.FItems.Item(0).Name, "/b.eps");
    WriteFile(Path, "[Global]\nCount=-5\n[Frame01]\nName=/b.eps\n");
    ASSERT_TRUE(LoadSheet(L, Path).Succeeded());
    EXPECT_EQ(L.FItems.Count(), 0);
}

TEST_F(SheetFileTest, FilesThatAreNoSheetsLeaveTheSheetAlone) {
    TSheet S = SheetWith(2);
    S.FSheetFile = "/old.zvs";
    S.FModified = true;
    auto Unchanged = [&](const TSheetResult& R, TSheetResult::TStatus Status) {
        EXPECT_EQ(R.Status, Status);
        EXPECT_FALSE(R.Message.empty());
        EXPECT_EQ(S.FItems.Count(), 2);
        EXPECT_EQ(S.FSheetFile, "/old.zvs");
        EXPECT_TRUE(S.FModified);
    };
    const TSheetResult Missing = LoadSheet(S, Dir.File("missing.zvs"));
    Unchanged(Missing, TSheetResult::Missing);
    EXPECT_EQ(Missing.Message, "Datei:" + Dir.File("missing.zvs") + " nicht gefunden!");
    Unchanged(LoadSheet(S, Dir.Path()), TSheetResult::Unreadable);
    WriteFile(Dir.File("bild.png"), std::string("\x89PNG\r\n\x1a\n\0\0\0\rIHDR", 16));
    const TSheetResult Png = LoadSheet(S, Dir.File("bild.png"));
    Unchanged(Png, TSheetResult::NotASheet);
    EXPECT_EQ(Png.Message, "Keine Blattdaten in " + Dir.File("bild.png"));
    WriteFile(Dir.File("empty.zvs"), "");
    Unchanged(LoadSheet(S, Dir.File("empty.zvs")), TSheetResult::NotASheet);
}

TEST_F(SheetFileTest, AFailedSaveKeepsThePreviousFileAndTheModifiedFlag) {
    const std::string Path = Dir.File("keep.zvs");
    TSheet Old = SheetWith(2);
    ASSERT_TRUE(SaveSheet(Old, Path).Succeeded());
    const std::string Before = ReadFile(Path);

    TSheet S = SheetWith(5);
    S.FModified = true;
    const TSheetResult R = SaveSheet(S, Dir.File("no/folder/x.zvs"));
    EXPECT_EQ(R.Status, TSheetResult::CannotWrite);
    EXPECT_EQ(R.Message.rfind("Fehler beim Schreiben nach " + Dir.File("no/folder/x.zvs"), 0), 0u);
    EXPECT_TRUE(S.FModified);
    EXPECT_TRUE(S.FSheetFile.empty());

    // A folder where the sheet should be: refused, and nothing else is touched.
    ::mkdir(Dir.File("dir.zvs").c_str(), 0700);
    EXPECT_EQ(SaveSheet(S, Dir.File("dir.zvs")).Status, TSheetResult::CannotWrite);
    EXPECT_EQ(ReadFile(Path), Before);
    EXPECT_EQ(zarvotest::ListDir(Dir.Path()).size(), 2u); // keep.zvs and dir.zvs, no leftovers
}

TEST_F(SheetFileTest, OtherSectionsOfTheFileSurviveASave) {
    const std::string Path = Dir.File("mixed.zvs");
    WriteFile(Path, "; Notizen\n[Global]\nCount=0\nAuthor=me\n[Notes]\nline=kept\n");
    TSheet S = SheetWith(1);
    ASSERT_TRUE(SaveSheet(S, Path).Succeeded());
    TIniFile Ini(Path);
    ASSERT_EQ(Ini.Open(), TIniFile::TOpenResult::Ok);
    EXPECT_EQ(Ini.ReadString("Notes", "line", ""), "kept");
    EXPECT_EQ(Ini.ReadString("Global", "Author", ""), "me");
    EXPECT_EQ(Ini.ReadInteger("Global", "Count", 0), 1);
    EXPECT_EQ(ReadFile(Path).rfind("; Notizen\n", 0), 0u);
    // Written on Windows: the sections the save does not rewrite keep their CR LF.
    WriteFile(Path, "; Notizen\r\n[Global]\r\nCount=0\r\n[Notes]\r\nline=kept\r\n\r\n");
    ASSERT_TRUE(SaveSheet(S, Path).Succeeded());
    const std::string Saved = ReadFile(Path);
    EXPECT_EQ(Saved.rfind("; Notizen\r\n[Global]\r\nCount=1\r\n", 0), 0u) << Saved;
    EXPECT_NE(Saved.find("[Notes]\r\nline=kept\r\n\r\n"), std::string::npos) << Saved;
}

TEST_F(SheetFileTest, ACommaLocaleWritesCommasThatLoadEverywhere) {
    SetLocaleDecimalChar(',');
    TSheet S = SheetWith(1);
    S.FItems.Item(0).Origin = {2.5, 7.24};
    const std::string Path = Dir.File("komma.zvs");
    ASSERT_TRUE(SaveSheet(S, Path).Succeeded());
    EXPECT_NE(ReadFile(Path).find("XOrigin=2,5\n"), std::string::npos);
    SetLocaleDecimalChar('.');
    TSheet L;
    ASSERT_TRUE(LoadSheet(L, Path).Succeeded());
    ASSERT_EQ(L.FItems.Count(), 1);
    EXPECT_DOUBLE_EQ(L.FItems.Item(0).Origin.X, 2.5);
    EXPECT_DOUBLE_EQ(L.FItems.Item(0).Origin.Y, 7.2); // written with one decimal
}
