// Tests of the print targets: names, status text, and how each kind of target is written.
#include "output/printtarget.h"
#include "support/inouterror.h"
#include "testsupport.h"

#include <gtest/gtest.h>

#include <cerrno>

#include <sys/stat.h>
#include <unistd.h>

using namespace zarvo;

TEST(PrintTarget, NamesAndStatusLine) {
    EXPECT_EQ(PrintTargetStatus(3, "/home/u", "ZVS.PS"), "Ausgabe nach LPT3");
    EXPECT_EQ(PrintTargetName(1, "/home/u", "ZVS.PS"), "LPT1");
    EXPECT_EQ(PrintTargetStatus(0, "/Daten", "ZVS.PS"), "Ausgabe nach /Daten/ZVS.PS");
    EXPECT_EQ(PrintTargetName(0, "/Daten", "job"), "/Daten/job.PS");
    EXPECT_EQ(PrintTargetName(0, "/Daten", "/out/job.ps"), "/out/job.ps");
    EXPECT_EQ(PrintTargetName(0, "", "ZVS.PS"), "ZVS.PS");
    EXPECT_EQ(PrintTargetName(7, "/Daten", "x"), "LPT7"); // taken as it stands
    EXPECT_EQ(PortTarget(1, ""), "/dev/lp0");
    EXPECT_EQ(PortTarget(4, ""), "/dev/lp3");
    EXPECT_EQ(PortTarget(2, "|lp -o raw"), "|lp -o raw");
}

namespace {
void WriteAll(TByteTarget& T, const std::string& S) {
    T.Write(reinterpret_cast<const unsigned char*>(S.data()), S.size());
}
} // namespace

TEST(PrintTarget, AnAbandonedFileLeavesTheOldOneAndNoTemporary) {
    zarvotest::TTempDir Dir;
    const std::string Path = Dir.File("job.ps");
    zarvotest::WriteFile(Path, "old");
    ::chmod(Path.c_str(), 0640);
    {
        auto T = OpenPrintTarget(Path);
        WriteAll(*T, "new");
        T->Flush();
        EXPECT_EQ(zarvotest::ReadFile(Path), "old");
    }
    EXPECT_EQ(zarvotest::ReadFile(Path), "old");
    EXPECT_EQ(zarvotest::ListDir(Dir.Path()).size(), 1u);
    auto T = OpenPrintTarget(Path);
    WriteAll(*T, "new");
    T->Close();
    EXPECT_EQ(zarvotest::ReadFile(Path), "new");
    struct stat St;
    ASSERT_EQ(::stat(Path.c_str(), &St), 0);
    EXPECT_EQ(St.st_mode & 0777, 0640u); // the replaced file's mode is kept
}

TEST(PrintTarget, PipesFeedACommandAndReportItsFailure) {
    zarvotest::TTempDir Dir;
    const std::string Out = Dir.File("piped.ps");
    auto T = OpenPrintTarget("|cat > '" + Out + "'");
    WriteAll(*T, "%!PS-Adobe\r\n");
    T->Close();
    EXPECT_EQ(zarvotest::ReadFile(Out), "%!PS-Adobe\r\n");
    // A command that fails is an error that gives its exit status and the last lines it
    // wrote to standard error, whether it fails at the end or before it read the job.
    auto Bad =
        OpenPrintTarget("|cat >/dev/null; echo one >&2; echo 'lp: kein Drucker' >&2; exit 3");
    WriteAll(*Bad, "x");
    try {
        Bad->Close();
        ADD_FAILURE() << "a failing command passed";
    } catch (const EInOutError& E) {
        EXPECT_NE(std::string(E.what()).find("endete mit Status 3: one; lp: kein Drucker"),
                  std::string::npos)
            << E.what();
    }
    auto Early = OpenPrintTarget("|echo 'lp: Fehler' >&2; exit 1");
    try {
        for (int I = 0; I < 2000; ++I)
            WriteAll(*Early, std::string(1024, 'x'));
        Early->Close();
        ADD_FAILURE() << "a command that ended early passed";
    } catch (const EInOutError& E) {
        EXPECT_NE(std::string(E.what()).find("endete mit Status 1: lp: Fehler"), std::string::npos)
            << E.what();
    }
}

TEST(PrintTarget, LinksAreFollowedNotReplaced) {
    zarvotest::TTempDir Dir;
    const std::string Real = Dir.File("real.ps"), Link = Dir.File("link.ps");
    zarvotest::WriteFile(Real, "old");
    ASSERT_EQ(::symlink(Real.c_str(), Link.c_str()), 0);
    auto T = OpenPrintTarget(Link);
    WriteAll(*T, "new");
    T->Close();
    EXPECT_EQ(zarvotest::ReadFile(Real), "new");
    struct stat St;
    ASSERT_EQ(::lstat(Link.c_str(), &St), 0);
    EXPECT_TRUE(S_ISLNK(St.st_mode));
}

// A printer port whose device is not there is an error, never a new file among the devices
// (which only root could make, and would then print into).
TEST(PrintTarget, AMissingDeviceIsReportedNotCreated) {
    const std::string Device = "/dev/zarvo-test-no-such-port";
    ASSERT_FALSE(zarvotest::FileExists(Device));
    try {
        auto T = OpenPrintTarget(Device);
        WriteAll(*T, "%!PS-Adobe\r\n");
        T->Close();
        ADD_FAILURE() << "a missing device was opened";
    } catch (const EInOutError& E) {
        EXPECT_EQ(E.ErrorCode, ENOENT);
    }
    const bool Created = zarvotest::FileExists(Device);
    if (Created) ::unlink(Device.c_str());
    EXPECT_FALSE(Created);
    for (const std::string& Name : zarvotest::ListDir("/dev"))
        EXPECT_NE(Name.rfind("zarvo-test-no-such-port", 0), 0u) << "left behind: /dev/" << Name;
}
