// Sheet and configuration files edited by hand, carried from another machine, or no files at
// all: each loads what it can with a clear message for the rest, and saving never loses or
// garbles what the user had.
#include "badinputsupport.h"
#include "sheet/config.h"
#include "sheet/sheetfile.h"
#include "support/inifile.h"
#include "support/inouterror.h"
#include "support/localefmt.h"

#include <gtest/gtest.h>

#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <unistd.h>

using namespace zarvo;
using zarvotest::ReadFile;
using zarvotest::RunProgram;
using zarvotest::WriteFile;

namespace {

class BadFileTest : public ::testing::Test {
protected:
    void SetUp() override { SetLocaleDecimalChar('.'); }
    void TearDown() override { SetLocaleDecimalChar(0); }
    // A sheet with one item, to see that a failed load leaves it as it was.
    static TSheet Current() {
        TSheet S;
        S.FItems.Add("a", zarvotest::MakeTextItem("bleibt", {1, 1}));
        S.FSheetFile = "/alt.zvs";
        return S;
    }
    zarvotest::TTempDir Dir;
    const std::string Zarvo = ZARVO_PROGRAM;
};

bool IsFifo(const std::string& Path) {
    struct stat St;
    return ::lstat(Path.c_str(), &St) == 0 && S_ISFIFO(St.st_mode);
}

} // namespace

TEST_F(BadFileTest, SheetsWithFarTooManyOrFarTooLargeItems) {
    // Count 100000 without any item section: an empty sheet at once, and a blank page.
    WriteFile(Dir.File("count.zvs"), "[Global]\r\nCount=100000\r\n");
    TSheet S = Current();
    ASSERT_TRUE(LoadSheet(S, Dir.File("count.zvs")).Succeeded());
    EXPECT_EQ(S.FItems.Count(), 0);
    const auto Blank =
        RunProgram({Zarvo, "--print", Dir.File("count.zvs"), "-o", Dir.File("blank.ps")});
    ASSERT_EQ(Blank.Status, 0) << Blank.Err;
    auto G = zarvotest::RenderBBox(Dir.File("blank.ps"));
    EXPECT_TRUE(G.Ok) << G.Output;
    EXPECT_EQ(G.Pages.size(), 1u);

    // A text of 1 MB: cut to 2047 characters, printed as one balanced string on one page,
    // and saved and loaded again (less the blank that the cut left at its end: the file
    // format keeps no blanks around a value).
    std::string Text;
    for (int I = 0; Text.size() < 1024 * 1024; ++I)
        Text += I % 7 == 0 ? "(\\" : I % 5 == 0 ? ")" : "Text ";
    WriteFile(Dir.File("big.zvs"),
              "[Global]\nCount=1\n[Frame01]\nName=" + Text + "\nBBox=2\nYOrigin=20.0\n");
    ASSERT_TRUE(LoadSheet(S, Dir.File("big.zvs")).Succeeded());
    ASSERT_EQ(S.FItems.Count(), 1);
    EXPECT_EQ(S.FItems.Item(0).Name, Text.substr(0, 2047));
    const auto Printed =
        RunProgram({Zarvo, "--print", Dir.File("big.zvs"), "-o", Dir.File("big.ps")});
    ASSERT_EQ(Printed.Status, 0) << Printed.Err;
    G = zarvotest::RenderBBox(Dir.File("big.ps"));
    EXPECT_TRUE(G.Ok) << G.Output;
    EXPECT_EQ(G.Pages.size(), 1u);
    ASSERT_TRUE(SaveSheet(S, Dir.File("again.zvs")).Succeeded());
    TSheet Back;
    ASSERT_TRUE(LoadSheet(Back, Dir.File("again.zvs")).Succeeded());
    ASSERT_EQ(Back.FItems.Count(), 1);
    const std::string Cut = S.FItems.Item(0).Name;
    EXPECT_EQ(Back.FItems.Item(0).Name, Cut.substr(0, Cut.find_last_not_of(' ') + 1));
}

TEST_F(BadFileTest, NumbersNoPrinterCanTakeStopThePrintBeforeAnythingIsWritten) {
    // A previous job stays where a refused one would have gone.
    const std::string Out = Dir.File("job.ps");
    WriteFile(Out, "vorher");
    const auto Print = [&](const std::string& Sheet) {
        WriteFile(Dir.File("s.zvs"), Sheet);
        return RunProgram({Zarvo, "--print", Dir.File("s.zvs"), "-o", Out});
    };
    auto R = Print("[Global]\nCount=0\nPaperHeight=1e300\n");
    EXPECT_EQ(R.Status, 1);
    EXPECT_NE(R.Err.find("Papiergröße außerhalb des druckbaren Bereichs"), std::string::npos)
        << R.Err;
    R = Print("[Global]\nCount=1\n[Frame01]\nName=Hallo\nBBox=2\nXOrigin=3\nYOrigin=-1e200\n");
    EXPECT_EQ(R.Status, 1);
    EXPECT_NE(R.Err.find("Lage von Hallo außerhalb des druckbaren Bereichs"), std::string::npos)
        << R.Err;
    // Paper that is no size, or beyond 100 m.
    for (const char* Paper : {"PaperWidth=-5", "PaperWidth=0", "PaperHeight=20000"}) {
        R = Print(std::string("[Global]\nCount=0\n") + Paper + "\n");
        EXPECT_EQ(R.Status, 1) << Paper;
        EXPECT_EQ(R.Err, "Papiergröße außerhalb des druckbaren Bereichs\n") << Paper;
    }
    // A text is named as it reads (its bytes in the ANSI code page, the message UTF-8).
    R = Print("[Global]\nCount=1\n[Frame01]\nName=\x84Gr\xf6\xdf"
              "e\x93\nBBox=2\nXOrigin=2e31\n");
    EXPECT_EQ(R.Err, "Lage von „Größe“ außerhalb des druckbaren Bereichs\n");
    // An EPS item is placed by its origin less its offset; either may be out of range.
    WriteFile(Dir.File("a.eps"), "%!PS\n%%BoundingBox: 0 0 10 10\n");
    R = Print("[Global]\nCount=1\n[Frame01]\nName=" + Dir.File("a.eps") +
              "\nBBox=1\nXOffset=5e31\n");
    EXPECT_EQ(R.Status, 1);
    EXPECT_NE(R.Err.find("außerhalb des druckbaren Bereichs"), std::string::npos) << R.Err;
    EXPECT_EQ(ReadFile(Out), "vorher");

    // Far off the paper but within the printer's numbers: one page, the text not on it.
    R = Print("[Global]\nCount=1\nPaperWidth=0.5\n[Frame01]\nName=Hallo\nBBox=2\n"
              "XOrigin=1e25\nYOrigin=-3e29\n");
    ASSERT_EQ(R.Status, 0) << R.Err;
    const auto G = zarvotest::RenderBBox(Out);
    EXPECT_TRUE(G.Ok) << G.Output;
    EXPECT_EQ(G.Pages.size(), 1u);
}

TEST_F(BadFileTest, DuplicateSectionsAndKeysTheFirstCountsAndSavingClearsTheCopies) {
    const std::string Path = Dir.File("dup.zvs");
    WriteFile(Path, "[Global]\nCount=2\nCount=9\nLandscape=1\n"
                    "[Frame01]\nName=/erste.eps\nName=/zweite.eps\nBBox=1\nXOrigin=2.0\n"
                    "[frame01]\nName=/kopie.eps\nXOrigin=7.0\n"
                    "[Frame02]\nName=Text\nBBox=2\nBBox=1\nFontSize=30\n"
                    "[GLOBAL]\nCount=0\nLandscape=0\n");
    TSheet S;
    ASSERT_TRUE(LoadSheet(S, Path).Succeeded());
    ASSERT_EQ(S.FItems.Count(), 2);
    EXPECT_TRUE(S.FLandscape);
    EXPECT_EQ(S.FItems.Item(0).Name, "/erste.eps");
    EXPECT_DOUBLE_EQ(S.FItems.Item(0).Origin.X, 2.0);
    EXPECT_EQ(S.FItems.Item(1).Kind, KindText);
    EXPECT_EQ(S.FItems.Item(1).Font.FontSize, 30);
    // Saved back: each item section once, no stale copy that an editor would show as the item.
    ASSERT_TRUE(SaveSheet(S, Path).Succeeded());
    const std::string Saved = ReadFile(Path);
    EXPECT_EQ(Saved.find("/kopie.eps"), std::string::npos);
    EXPECT_EQ(Saved.find("/zweite.eps"), std::string::npos);
    TSheet Back;
    ASSERT_TRUE(LoadSheet(Back, Path).Succeeded());
    ASSERT_EQ(Back.FItems.Count(), 2);
    EXPECT_EQ(Back.FItems.Item(0).Name, "/erste.eps");
    EXPECT_TRUE(Back.FLandscape);
}

TEST_F(BadFileTest, TextsInQuoteMarksKeepThemThroughSaveAndLoad) {
    // Reading drops one pair of enclosing quote marks; texts that have such a pair must not
    // lose it, nor vanish (the text "" read back empty and its item was skipped).
    TSheet S;
    for (const char* T : {"\"Hallo\"", "\"\"", "'a'", "\"x'", "a \"b\""})
        S.FItems.Add(T, zarvotest::MakeTextItem(T, {1, 1}));
    const std::string Path = Dir.File("quotes.zvs");
    ASSERT_TRUE(SaveSheet(S, Path).Succeeded());
    TSheet Back;
    ASSERT_TRUE(LoadSheet(Back, Path).Succeeded());
    ASSERT_EQ(Back.FItems.Count(), S.FItems.Count());
    for (int I = 0; I < S.FItems.Count(); ++I)
        EXPECT_EQ(Back.FItems.Item(I).Name, S.FItems.Item(I).Name);
}

TEST_F(BadFileTest, FilesThatAreNoSheetFilesAreToldApartAndLeftAlone) {
    TSheet S = Current();
    auto Unchanged = [&] {
        EXPECT_EQ(S.FItems.Count(), 1);
        EXPECT_EQ(S.FSheetFile, "/alt.zvs");
    };
    // 100 MB without a line end (a sparse file: no disk needed).
    const std::string Huge = Dir.File("huge.zvs");
    WriteFile(Huge, "[Global");
    ASSERT_EQ(::truncate(Huge.c_str(), 100LL * 1024 * 1024), 0);
    TSheetResult R = LoadSheet(S, Huge);
    EXPECT_EQ(R.Status, TSheetResult::NotASheet);
    EXPECT_EQ(R.Message, "Keine Blattdaten in " + Huge);
    Unchanged();
    // A folder: the system's reason in the message, on the command line too.
    R = LoadSheet(S, Dir.Path());
    EXPECT_EQ(R.Message, "Datei " + Dir.Path() + " kann nicht gelesen werden (Is a directory)");
    Unchanged();
    auto Run = RunProgram({Zarvo, "--print", Dir.Path()});
    EXPECT_EQ(Run.Status, 1);
    EXPECT_EQ(Run.Err, R.Message + "\n");
    EXPECT_TRUE(Run.Out.empty());
    // A path through a plain file.
    WriteFile(Dir.File("plain"), "x");
    R = LoadSheet(S, Dir.File("plain/s.zvs"));
    EXPECT_EQ(R.Message,
              "Datei " + Dir.File("plain/s.zvs") + " kann nicht gelesen werden (Not a directory)");
    Unchanged();
    // A named pipe that nobody writes: read as empty at once, never waited for.
    ASSERT_EQ(::mkfifo(Dir.File("pipe.zvs").c_str(), 0600), 0);
    R = LoadSheet(S, Dir.File("pipe.zvs"));
    EXPECT_EQ(R.Message, "Keine Blattdaten in " + Dir.File("pipe.zvs"));
    Unchanged();
}

TEST_F(BadFileTest, SavingOntoPipesAndDevicesWritesThemInPlace) {
    // Saving onto a named pipe without a reader fails at once; the pipe stays a pipe (the
    // replacing save would have renamed a plain file over it).
    const std::string Pipe = Dir.File("pipe.zvs");
    ASSERT_EQ(::mkfifo(Pipe.c_str(), 0600), 0);
    TSheet S = Current();
    S.FModified = true;
    TSheetResult R = SaveSheet(S, Pipe);
    EXPECT_EQ(R.Status, TSheetResult::CannotWrite);
    EXPECT_EQ(R.Message, "Fehler beim Schreiben nach " + Pipe + " (No such device or address)");
    EXPECT_TRUE(S.FModified);
    EXPECT_TRUE(IsFifo(Pipe));
    EXPECT_EQ(zarvotest::ListDir(Dir.Path()).size(), 1u);

    // A full device: the configuration's write fails with the device's error, and the device
    // is still the device.
    TIniFile Full("/dev/full");
    Full.WriteBool("Config", "Grid", true);
    try {
        Full.UpdateFile();
        ADD_FAILURE() << "writing to /dev/full succeeded";
    } catch (const EInOutError& E) {
        EXPECT_EQ(E.ErrorCode, ENOSPC);
    }
    struct stat St;
    ASSERT_EQ(::stat("/dev/full", &St), 0);
    EXPECT_TRUE(S_ISCHR(St.st_mode));
    // A sheet saved onto /dev/full: the device takes nothing, which is reported.
    TSheetResult OnFull = SaveSheet(S, "/dev/full");
    EXPECT_EQ(OnFull.Status, TSheetResult::CannotWrite);
    EXPECT_EQ(OnFull.Message, "Fehler beim Schreiben nach /dev/full (No space left on device)");
    EXPECT_TRUE(S.FModified);
    // Loaded, a device is no sheet: it is not read at all (/dev/zero would never end).
    R = LoadSheet(S, "/dev/zero");
    EXPECT_EQ(R.Message, "Datei /dev/zero kann nicht gelesen werden (No such device)");
    EXPECT_EQ(S.FSheetFile, "/alt.zvs");

    // The null device, made here (root only): the save goes into it and it stays a device.
    const std::string Null = Dir.File("null");
    if (::mknod(Null.c_str(), S_IFCHR | 0666, makedev(1, 3)) != 0)
        GTEST_SKIP() << "cannot make a device node here (not root): " << std::strerror(errno);
    EXPECT_TRUE(SaveSheet(S, Null).Succeeded());
    ASSERT_EQ(::stat(Null.c_str(), &St), 0);
    EXPECT_TRUE(S_ISCHR(St.st_mode));
}

TEST_F(BadFileTest, AConfigurationWithEveryKeyUnparsable) {
    const std::string Path = Dir.File("zarvo.INI");
    const std::string Long(5000, 'w');
    WriteFile(Path, "[Config]\r\nWorkDir=\"" + Long +
                        "\"\r\nFilter=\r\nPrinter=drei\r\n"
                        "PrintFile= \t \r\nLandscape=ja\r\nPaperHeight=1e999\r\nPaperWidth=nan\r\n"
                        "Grid=\r\nGridWidth=5mm\r\n"
                        "[Form]\r\nLeft=x\r\nTop=99999999999\r\nWidth=1.5\r\nHeight=--1\r\n"
                        "State=\r\n"
                        "[Font]\r\nFontType=inf\r\nFontSize=0x12\r\nFontStyle=2,0\r\n"
                        "FontColor=-\r\n");
    TIniFile Ini(Path);
    ASSERT_EQ(Ini.Open(), TIniFile::TOpenResult::Ok);
    const TConfig C = ReadConfig(Ini, "/home/u/Documents");
    const TConfig D = ReadConfig(TIniFile(), "/home/u/Documents");
    // Every number and switch takes its default.
    EXPECT_EQ(C.Printer, D.Printer);
    EXPECT_EQ(C.Landscape, D.Landscape);
    EXPECT_EQ(C.PaperSize, D.PaperSize);
    EXPECT_EQ(C.GridOn, D.GridOn);
    EXPECT_EQ(C.GridWidth, D.GridWidth);
    EXPECT_EQ(C.FormBounds.Left, D.FormBounds.Left);
    EXPECT_EQ(C.FormBounds.Top, D.FormBounds.Top);
    EXPECT_EQ(C.FormBounds.ClientWidth, D.FormBounds.ClientWidth);
    EXPECT_EQ(C.FormBounds.ClientHeight, D.FormBounds.ClientHeight);
    EXPECT_EQ(C.WindowState, D.WindowState);
    EXPECT_EQ(C.TextFont, D.TextFont);
    // Texts are texts: taken as they stand, cut to 2047 characters.
    EXPECT_EQ(C.WorkDir, Long.substr(0, 2047));
    EXPECT_EQ(C.Filter, "");
    EXPECT_EQ(C.PrintFile, "");
    // Written back and read again: the same settings, and the file stays one of sections
    // and keys.
    WriteConfig(Ini, C);
    Ini.UpdateFile();
    TIniFile Again(Path);
    ASSERT_EQ(Again.Open(), TIniFile::TOpenResult::Ok);
    const TConfig B = ReadConfig(Again, "/x");
    EXPECT_EQ(B.WorkDir, C.WorkDir);
    EXPECT_EQ(B.Printer, C.Printer);
    EXPECT_EQ(B.PaperSize, C.PaperSize);
    EXPECT_EQ(B.TextFont, C.TextFont);
    EXPECT_EQ(Again.SectionNames(), (std::vector<std::string>{"Config", "Form", "Font"}));

    // A configuration file that is a folder or a pipe: all defaults, nothing waits.
    TIniFile Folder(Dir.Path());
    EXPECT_EQ(Folder.Open(), TIniFile::TOpenResult::Unreadable);
    EXPECT_EQ(Folder.LastError(), EISDIR);
    ASSERT_EQ(::mkfifo(Dir.File("pipe.INI").c_str(), 0600), 0);
    TIniFile Pipe(Dir.File("pipe.INI"));
    EXPECT_EQ(Pipe.Open(), TIniFile::TOpenResult::Ok);
    EXPECT_EQ(ReadConfig(Pipe, "/d").Printer, D.Printer);
}
