// Files and targets the program may not read or write, devices that fail and readers that go
// away: every print or save that cannot be completed is reported as failed, with the reason,
// and leaves the former file as it was.
#include "badinputsupport.h"
#include "output/printjob.h"
#include "sheet/sheetfile.h"
#include "support/localefmt.h"

#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

using namespace zarvo;
using zarvotest::ReadFile;
using zarvotest::RunProgram;
using zarvotest::WriteFile;

namespace {

class BadOutputTest : public ::testing::Test {
protected:
    void SetUp() override {
        WriteFile(Dir.File("box.eps"), "%!PS-Adobe-3.0 EPSF-3.0\n%%BoundingBox: 0 0 50 50\n"
                                       "0 0 50 50 rectfill\nshowpage\n");
        WriteFile(Dir.File("sheet.zvs"),
                  "[Global]\nCount=2\n[Frame01]\nName=" + Dir.File("box.eps") +
                      "\nBBox=1\nXOrigin=2.0\nYOrigin=2.0\n"
                      "[Frame02]\nName=Hallo\nBBox=2\nYOrigin=5.0\n");
    }
    // A sheet whose job is several megabytes, far more than a pipe holds.
    std::string BigSheet() {
        std::string Eps = "%!PS\n";
        while (Eps.size() < 4 * 1024 * 1024)
            Eps += "0 0 moveto 1 1 lineto stroke\n";
        WriteFile(Dir.File("big.eps"), Eps);
        WriteFile(Dir.File("big.zvs"),
                  "[Global]\nCount=1\n[Frame01]\nName=" + Dir.File("big.eps") + "\nBBox=1\n");
        return Dir.File("big.zvs");
    }
    zarvotest::TTempDir Dir;
    const std::string Zarvo = ZARVO_PROGRAM;
};

} // namespace

TEST_F(BadOutputTest, FilesWithoutReadPermission) {
    // The same path without permissions: a folder in the way (no root rights needed).
    WriteFile(Dir.File("plain"), "x");
    auto R = RunProgram({Zarvo, "--print", Dir.File("plain/sheet.zvs")});
    EXPECT_EQ(R.Status, 1);
    EXPECT_EQ(R.Err, "Datei " + Dir.File("plain/sheet.zvs") +
                         " kann nicht gelesen werden (Not a directory)\n");
    ASSERT_EQ(::chmod(Dir.File("sheet.zvs").c_str(), 0), 0);
    ASSERT_EQ(::chmod(Dir.File("box.eps").c_str(), 0), 0);
    ::chmod(Dir.Path().c_str(), 0755);
    const std::vector<std::string> Cmd =
        zarvotest::UnprivilegedCommand({Zarvo, "--print", Dir.File("sheet.zvs")});
    if (Cmd.empty()) GTEST_SKIP() << "running as root without setpriv: permissions do not hold";
    R = RunProgram(Cmd);
    EXPECT_EQ(R.Status, 1);
    EXPECT_EQ(R.Err, "Datei " + Dir.File("sheet.zvs") +
                         " kann nicht gelesen werden (Permission denied)\n");
    EXPECT_TRUE(R.Out.empty());
    // A readable sheet whose EPS file is not: nothing is printed.
    ASSERT_EQ(::chmod(Dir.File("sheet.zvs").c_str(), 0644), 0);
    const std::string Out = Dir.File("job.ps");
    R = RunProgram(zarvotest::UnprivilegedCommand({Zarvo, "--print", Dir.File("sheet.zvs")}));
    EXPECT_EQ(R.Status, 1);
    EXPECT_EQ(R.Err,
              "Datei " + Dir.File("box.eps") + " kann nicht gelesen werden (Permission denied)\n");
    EXPECT_TRUE(R.Out.empty());
    // The import takes it for a file that cannot be opened.
    R = RunProgram(zarvotest::UnprivilegedCommand({Zarvo, "--eps-info", Dir.File("box.eps")}));
    EXPECT_EQ(R.Status, 1);
    EXPECT_NE(R.Err.find(" nicht gefunden!"), std::string::npos);
}

TEST_F(BadOutputTest, FoldersWithoutWritePermission) {
    // A folder in the way first: refused, and nothing is left behind.
    WriteFile(Dir.File("plain"), "x");
    auto R = RunProgram({Zarvo, "--print", Dir.File("sheet.zvs"), "-o", Dir.File("plain/x.ps")});
    EXPECT_EQ(R.Status, 1);
    EXPECT_EQ(R.Err,
              "Fehler beim Schreiben nach " + Dir.File("plain/x.ps") + " (Not a directory)\n");

    // A folder that may not be written: a new job cannot go there, and no temporary file is
    // left. The files already in it that may be written are written in place.
    const std::string Ro = Dir.File("ro");
    ASSERT_EQ(::mkdir(Ro.c_str(), 0755), 0);
    WriteFile(Ro + "/job.ps", "previous job");
    WriteFile(Ro + "/blatt.zvs", "[Global]\nCount=0\n");
    zarvotest::OpenToAll(Dir.Path());
    ::chmod(Ro.c_str(), 0555);
    ::chmod((Ro + "/job.ps").c_str(), 0666);
    ::chmod((Ro + "/blatt.zvs").c_str(), 0666);
    const std::vector<std::string> Cmd = zarvotest::UnprivilegedCommand(
        {Zarvo, "--print", Dir.File("sheet.zvs"), "-o", Ro + "/new.ps"});
    if (Cmd.empty()) GTEST_SKIP() << "running as root without setpriv: permissions do not hold";
    R = RunProgram(Cmd);
    EXPECT_EQ(R.Status, 1);
    EXPECT_EQ(R.Err, "Fehler beim Schreiben nach " + Ro + "/new.ps (Permission denied)\n");
    R = RunProgram(zarvotest::UnprivilegedCommand(
        {Zarvo, "--print", Dir.File("sheet.zvs"), "-o", Ro + "/job.ps"}));
    EXPECT_EQ(R.Status, 0) << R.Err;
    EXPECT_EQ(ReadFile(Ro + "/job.ps").substr(0, 12), "%!PS-Adobe\r\n");

    const auto SaveAsNobody = [&](const std::string& Path) {
        return zarvotest::RunUnprivileged([&] {
            SetLocaleDecimalChar('.');
            TSheet S;
            S.FItems.Add("t", zarvotest::MakeTextItem("neu", {1, 1}));
            S.FModified = true;
            const TSheetResult Res = SaveSheet(S, Path);
            return Res.Message + (S.FModified ? "|modified" : "|clean");
        });
    };
    const auto Saved = SaveAsNobody(Ro + "/blatt.zvs");
    if (Saved.Skipped) GTEST_SKIP() << "cannot drop root rights here";
    EXPECT_EQ(Saved.Result, "|clean");
    EXPECT_NE(ReadFile(Ro + "/blatt.zvs").find("Name=neu"), std::string::npos);
    EXPECT_EQ(zarvotest::ListDir(Ro).size(), 2u);

    // A write-protected sheet or job in a folder that may be written is not replaced: the
    // protection holds for the program as for any other.
    const std::string Rw = Dir.File("rw");
    ASSERT_EQ(::mkdir(Rw.c_str(), 0777), 0);
    ::chmod(Rw.c_str(), 0777);
    WriteFile(Rw + "/blatt.zvs", "[Global]\nCount=0\n");
    WriteFile(Rw + "/job.ps", "previous job");
    ::chmod((Rw + "/blatt.zvs").c_str(), 0444);
    ::chmod((Rw + "/job.ps").c_str(), 0444);
    EXPECT_EQ(SaveAsNobody(Rw + "/blatt.zvs").Result,
              "Fehler beim Schreiben nach " + Rw + "/blatt.zvs (Permission denied)|modified");
    EXPECT_EQ(ReadFile(Rw + "/blatt.zvs"), "[Global]\nCount=0\n");
    R = RunProgram(zarvotest::UnprivilegedCommand(
        {Zarvo, "--print", Dir.File("sheet.zvs"), "-o", Rw + "/job.ps"}));
    EXPECT_EQ(R.Status, 1);
    EXPECT_EQ(R.Err, "Fehler beim Schreiben nach " + Rw + "/job.ps (Permission denied)\n");
    EXPECT_EQ(ReadFile(Rw + "/job.ps"), "previous job");
    EXPECT_EQ(zarvotest::ListDir(Rw).size(), 2u);
}

TEST_F(BadOutputTest, ReadersThatStopEarlyMakeTheJobFail) {
    const std::string Big = BigSheet();
    // Standard output into a reader that takes ten bytes and goes.
    const auto Piped = RunProgram(
        {"/bin/sh", "-c",
         "('" + Zarvo + "' --print '" + Big + "'; echo \"status $?\" >&2) | head -c 10"});
    EXPECT_EQ(Piped.Out.size(), 10u);
    EXPECT_NE(Piped.Err.find("Fehler beim Schreiben nach Standardausgabe (Broken pipe)"),
              std::string::npos)
        << Piped.Err;
    EXPECT_NE(Piped.Err.find("status 1"), std::string::npos) << Piped.Err;

    // A print command that reads ten bytes and ends well: failed all the same, for a job
    // larger than the pipe and for one that fits into it.
    for (const std::string& Sheet : {Big, Dir.File("sheet.zvs")}) {
        const auto R = RunProgram({Zarvo, "--print", Sheet, "-o", "|head -c 10 >/dev/null"});
        EXPECT_EQ(R.Status, 1) << Sheet;
        EXPECT_EQ(R.Err, "Fehler beim Schreiben nach |head -c 10 >/dev/null (Befehl head -c 10 "
                         ">/dev/null hat den Auftrag nicht ganz gelesen)\n");
    }
    // A command that takes it all still succeeds, however slowly it starts reading.
    const std::string Out = Dir.File("slow.ps");
    const auto Slow =
        RunProgram({Zarvo, "--print", Dir.File("sheet.zvs"), "-o", "|sleep 0.3; cat >" + Out});
    EXPECT_EQ(Slow.Status, 0) << Slow.Err;
    const auto Direct = RunProgram({Zarvo, "--print", Dir.File("sheet.zvs")});
    EXPECT_EQ(ReadFile(Out), Direct.Out);
}

TEST_F(BadOutputTest, DevicesThatTakeNothingOrAreNotThere) {
    // /dev/full takes no byte: the first line already fails.
    const auto Full = RunProgram({Zarvo, "--print", BigSheet(), "-o", "/dev/full"});
    EXPECT_EQ(Full.Status, 1);
    EXPECT_EQ(Full.Err, "Fehler beim Schreiben nach /dev/full (No space left on device)\n");
    // A named pipe that nobody reads: refused at once instead of waiting.
    const std::string Pipe = Dir.File("printer");
    ASSERT_EQ(::mkfifo(Pipe.c_str(), 0600), 0);
    const auto NoReader = RunProgram({Zarvo, "--print", Dir.File("sheet.zvs"), "-o", Pipe});
    EXPECT_EQ(NoReader.Status, 1);
    EXPECT_EQ(NoReader.Err,
              "Fehler beim Schreiben nach " + Pipe + " (No such device or address)\n");
    struct stat St;
    ASSERT_EQ(::lstat(Pipe.c_str(), &St), 0);
    EXPECT_TRUE(S_ISFIFO(St.st_mode));
}
