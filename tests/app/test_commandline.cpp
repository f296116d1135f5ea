// Tests of the command line: printing sheets and reading EPS headers as a script would.
#include "testsupport.h"

#include <gtest/gtest.h>

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
    EXPECT_NE(R.Err.find("Keine Bounding Box in "), std::string::npos);
    EXPECT_NE(R.Err.find("Verwende Standardgröße"), std::string::npos);
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
}
