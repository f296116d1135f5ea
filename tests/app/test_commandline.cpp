// Tests of the command line: printing sheets and reading EPS headers as a script would.
#include "privatecups.h"
#include "support/winsub.h"
#include "testsupport.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <sys/stat.h>

using zarvotest::ReadFile;
using zarvotest::RunProgram;
using zarvotest::WriteFile;

namespace {

class CommandLineTest : public ::testing::Test {
protected:
    void SetUp() override {
        WriteFile(Dir.File("box.eps"),
                  "%!PS-Adobe-3.0 EPSF-3.0\r\n%%BoundingBox: 14 14 114 64\r\n\r\n"
                  "newpath 14 14 moveto 114 64 lineto stroke\r\nshowpage\r\n%%EOF\r\n");
        WriteFile(Dir.File("sheet.zvs"), "[Global]\nCount=2\nLandscape=1\n"
                                         "[Frame01]\nName=" +
                                             Dir.File("box.eps") +
                                             "\nBBox=1\nXOrigin=3.0\nYOrigin=4.0\n"
                                             "XOffset=0.5\nYOffset=0.5\n"
                                             "[Frame02]\nName=Hallo\nBBox=2\nXOrigin=12.0\n"
                                             "YOrigin=15.5\nFontSize=24\nFontStyle=2\n");
    }
    zarvotest::TTempDir Dir;
    const std::string Zarvo = ZARVO_PROGRAM;
};

} // namespace

TEST_F(CommandLineTest, PrintWritesTheJobToAFileOrStandardOutput) {
    const auto ToStdout = RunProgram({Zarvo, "--print", Dir.File("sheet.zvs")});
    ASSERT_EQ(ToStdout.Status, 0) << ToStdout.Err;
    EXPECT_EQ(ToStdout.Out.rfind("%!PS-Adobe\r\n", 0), 0u);
    EXPECT_NE(ToStdout.Out.find("\r\n(Hallo) show\r\n"), std::string::npos);
    EXPECT_NE(ToStdout.Out.find("\r\n 2.5 cm  3.5 cm translate\r\n"), std::string::npos);
    const std::string Out = Dir.File("job.ps");
    const auto ToFile = RunProgram({Zarvo, "--print", Dir.File("sheet.zvs"), "-o", Out});
    ASSERT_EQ(ToFile.Status, 0) << ToFile.Err;
    EXPECT_TRUE(ToFile.Out.empty());
    EXPECT_EQ(ReadFile(Out), ToStdout.Out);
    EXPECT_EQ(RunProgram({Zarvo, "--print", Dir.File("sheet.zvs"), "-o", "-"}).Out, ToStdout.Out);
    const auto G = zarvotest::RenderBBox(Out);
    EXPECT_TRUE(G.Ok) << G.Output;
    EXPECT_EQ(G.Pages.size(), 1u);
}

TEST_F(CommandLineTest, PrintFailuresSayWhyAndLeaveThePreviousFile) {
    const std::string Out = Dir.File("job.ps");
    WriteFile(Out, "previous");
    auto R = RunProgram({Zarvo, "--print", Dir.File("missing.zvs"), "-o", Out});
    EXPECT_EQ(R.Status, 1);
    EXPECT_NE(R.Err.find("nicht gefunden"), std::string::npos);
    R = RunProgram({Zarvo, "--print", Dir.File("box.eps"), "-o", Out});
    EXPECT_EQ(R.Status, 1);
    EXPECT_NE(R.Err.find("Keine Blattdaten in "), std::string::npos);
    R = RunProgram({Zarvo, "--print", Dir.File("sheet.zvs"), "-o", "/dev/full"});
    EXPECT_EQ(R.Status, 1);
    EXPECT_NE(R.Err.find("Fehler beim Schreiben nach /dev/full"), std::string::npos);
    R = RunProgram({Zarvo, "--print", Dir.File("sheet.zvs"), "-o", Dir.File("no/such/dir/x.ps")});
    EXPECT_EQ(R.Status, 1);
    EXPECT_NE(R.Err.find("Fehler beim Schreiben nach " + Dir.File("no/such/dir/x.ps")),
              std::string::npos);
    std::remove(Dir.File("box.eps").c_str());
    R = RunProgram({Zarvo, "--print", Dir.File("sheet.zvs"), "-o", Out});
    EXPECT_EQ(R.Status, 1);
    EXPECT_NE(R.Err.find("Datei " + Dir.File("box.eps") + " nicht gefunden!"), std::string::npos);
    EXPECT_EQ(ReadFile(Out), "previous");
    EXPECT_EQ(zarvotest::ListDir(Dir.Path()).size(), 2u);
}

TEST_F(CommandLineTest, CheckNamesTheItemsThatWouldFailAndStopsThePrint) {
    const auto Good = RunProgram({Zarvo, "--check", Dir.File("sheet.zvs")});
    EXPECT_EQ(Good.Status, 0) << Good.Err;
    EXPECT_EQ(Good.Err, "1 " + Dir.File("box.eps") + ": druckt\n2 Text \"Hallo\": druckt\n");
    // A file that stops Ghostscript: its item is named with the error, exit status 1, and a
    // print with --check writes nothing.
    WriteFile(Dir.File("box.eps"), "%!PS-Adobe-3.0 EPSF-3.0\n%%BoundingBox: 0 0 9 9\n1 0 div\n");
    const auto Bad = RunProgram({Zarvo, "--check", Dir.File("sheet.zvs")});
    EXPECT_EQ(Bad.Status, 1);
    EXPECT_NE(Bad.Err.find("1 " + Dir.File("box.eps") + ": druckt nicht: Error: /undefinedresult in --div--\n"),
              std::string::npos) << Bad.Err;
    EXPECT_NE(Bad.Err.find("2 Text \"Hallo\": druckt\n"), std::string::npos);
    const std::string Out = Dir.File("job.ps");
    const auto Print = RunProgram({Zarvo, "--print", Dir.File("sheet.zvs"), "--check", "-o", Out});
    EXPECT_EQ(Print.Status, 1);
    EXPECT_NE(Print.Err.find("Nichts gedruckt"), std::string::npos);
    EXPECT_TRUE(zarvotest::ListDir(Dir.Path()).size() == 2u);
    EXPECT_EQ(RunProgram({Zarvo, "--check"}).Status, 1);
}

TEST_F(CommandLineTest, EpsInfoTellsWhatInsertWouldRecord) {
    WriteFile(Dir.File("nobox.eps"), "%!PS\nnewpath\n");
    WriteFile(Dir.File("text.txt"), "plain text\n");
    const auto R = RunProgram({Zarvo, "--eps-info", Dir.File("box.eps"), Dir.File("nobox.eps"),
                               Dir.File("text.txt"), Dir.File("gone.eps")});
    EXPECT_EQ(R.Status, 1);
    EXPECT_EQ(R.Out, Dir.File("box.eps") + "\t1\t0.4938\t0.4938\t3.5273\t1.7637\n" +
                         Dir.File("nobox.eps") + "\t0\t0.0000\t0.0000\t10.0000\t10.0000\n");
    // One line on standard error for each message; the box's line break becomes a blank.
    EXPECT_EQ(std::count(R.Err.begin(), R.Err.end(), '\n'), 3) << R.Err;
    EXPECT_NE(R.Err.find("Keine Bounding Box in " + zarvo::ShortenPath(Dir.File("nobox.eps"), 20) +
                         " Verwende Standardgröße\n"),
              std::string::npos);
    EXPECT_NE(R.Err.find("Kein Postscript in "), std::string::npos);
    EXPECT_NE(R.Err.find(" nicht gefunden!"), std::string::npos);
    const auto Good = RunProgram({Zarvo, "--eps-info", Dir.File("box.eps"), Dir.File("nobox.eps")});
    EXPECT_EQ(Good.Status, 0);
}

TEST_F(CommandLineTest, HelpVersionAndMistakes) {
    const auto V = RunProgram({Zarvo, "--version"});
    EXPECT_EQ(V.Status, 0);
    EXPECT_EQ(V.Out, "zarvo 1.32\n");
    const auto H = RunProgram({Zarvo, "--help"});
    EXPECT_EQ(H.Status, 0);
    EXPECT_NE(H.Out.find("--print"), std::string::npos);
    EXPECT_EQ(RunProgram({Zarvo, "-h"}).Out, H.Out); // the short form
    EXPECT_EQ(RunProgram({Zarvo, "--bogus"}).Status, 1);
    EXPECT_EQ(RunProgram({Zarvo, "--print"}).Status, 1);
    EXPECT_EQ(RunProgram({Zarvo, "--print", Dir.File("sheet.zvs"), "-o"}).Status, 1);
    const auto Unknown = RunProgram({Zarvo, "--print", Dir.File("sheet.zvs"), "--output", "x.ps"});
    EXPECT_EQ(Unknown.Status, 1);
    EXPECT_EQ(Unknown.Err, "Unbekannte Option: --output\n");
}

// --printers and --port against a private CUPS server, with the settings of a home folder of
// the test's own.
TEST_F(CommandLineTest, PrintersListsThePortsAndPortPrintsWhereTheWindowWould) {
    zarvotest::TPrivateCups Cups;
    if (!Cups.Ok()) GTEST_SKIP() << Cups.SkipReason();
    const std::string Uri = Cups.AddPrinter("ps", "application/postscript");
    ASSERT_TRUE(Cups.Admin({"lpadmin", "-p", "Office", "-E", "-v", Uri, "-D", "Büro"}));
    ASSERT_TRUE(Cups.Admin({"lpadmin", "-p", "Keller", "-E", "-v", Uri}));
    ASSERT_TRUE(Cups.Admin({"cupsdisable", "Keller"}));
    ASSERT_TRUE(Cups.Admin({"lpadmin", "-d", "Office"}));
    const std::string Home = Dir.File("home");
    ::mkdir(Home.c_str(), 0755);
    WriteFile(Home + "/zarvo.INI",
              "[Config]\nPrinter=2\n[Ports]\nLPT1=Keller\nLPT2=" + Dir.File("port2.ps") +
                  "\nLPT4=|cat >" + Dir.File("port4.ps") + "\n");
    const std::string OldHome = std::getenv("HOME") ? std::getenv("HOME") : "";
    ::setenv("HOME", Home.c_str(), 1);
    const auto List = RunProgram({Zarvo, "--printers"});
    const auto ToDefault = RunProgram({Zarvo, "--print", Dir.File("sheet.zvs"), "--port", "lpt3"});
    const auto ToFile = RunProgram({Zarvo, "--print", Dir.File("sheet.zvs"), "--port", "LPT2"});
    const auto Paused = RunProgram({Zarvo, "--print", Dir.File("sheet.zvs"), "--port", "LPT1"});
    const auto Bad = RunProgram({Zarvo, "--print", Dir.File("sheet.zvs"), "--port", "LPT5"});
    ::setenv("HOME", OldHome.c_str(), 1);

    ASSERT_EQ(List.Status, 0) << List.Err;
    EXPECT_EQ(List.Out, "  LPT1  CUPS-Drucker Keller (angehalten)\n"
                        "* LPT2  Datei " +
                            Dir.File("port2.ps") +
                            "\n"
                            "  LPT3  Standarddrucker Office (Büro, bereit)\n"
                            "  LPT4  Befehl cat >" +
                            Dir.File("port4.ps") +
                            "\n"
                            "  Datei " +
                            Home + "/ZVS.PS\n");
    ASSERT_EQ(ToDefault.Status, 0) << ToDefault.Err;
    EXPECT_EQ(ToDefault.Out.rfind("Druckauftrag Office-", 0), 0u) << ToDefault.Out;
    const auto Job = RunProgram({Zarvo, "--print", Dir.File("sheet.zvs")});
    const std::string Doc = Cups.WaitForDocument("ps", ".ps");
    ASSERT_FALSE(Doc.empty());
    EXPECT_EQ(ReadFile(Doc), Job.Out);
    ASSERT_EQ(ToFile.Status, 0) << ToFile.Err;
    EXPECT_EQ(ReadFile(Dir.File("port2.ps")), Job.Out);
    EXPECT_EQ(Paused.Status, 1);
    EXPECT_EQ(Paused.Err, "Fehler beim Schreiben nach LPT1 (Drucker Keller ist angehalten)\n");
    EXPECT_EQ(Bad.Status, 1);
    EXPECT_NE(Bad.Err.find("LPT5"), std::string::npos);
}
