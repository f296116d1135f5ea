// EPS files from other programs, as bad as they come: odd line ends and control bytes, numbers
// out of every range, huge files, folders and pipes where a file should be, data that ends the
// file. Each gives a clear message or a job that prints one page.
#include "badinputsupport.h"
#include "output/printjob.h"
#include "sheet/epsheader.h"
#include "support/winsub.h"

#include <gtest/gtest.h>

#include <climits>
#include <cmath>
#include <sys/stat.h>

using namespace zarvo;
using zarvotest::ReadFile;
using zarvotest::WriteFile;

namespace {

class BadEpsTest : public ::testing::Test {
protected:
    struct THeader {
        bool Ok;
        std::uint8_t Kind;
        TCmPair Size, Offset;
    };
    THeader Header(const std::string& Contents) {
        const std::string Path = Dir.File("h.eps");
        WriteFile(Path, Contents);
        THeader R{false, KindStdSize, {10.0, 10.0}, {0.0, 0.0}};
        R.Ok = Record(ReadEpsHeader(Path, R.Kind, R.Size, R.Offset));
        return R;
    }
    // Keeps the message of a result, as the window would show it.
    bool Record(const TStatus& S) {
        if (!S.Message().empty()) Messages.push_back(S.Message());
        return S.Ok();
    }
    // Prints a sheet into a file and renders it: the job must give exactly one page.
    zarvotest::TGhostscriptResult PrintAndRender(const TSheet& S) {
        const std::string Out = Dir.File("job.ps");
        const TPrintResult R = PrintSheet(S, Out, Out);
        EXPECT_TRUE(R.Ok) << R.Message;
        const std::string Job = ReadFile(Out);
        EXPECT_GE(Job.size(), 14u);
        EXPECT_EQ(Job.substr(Job.size() - 14), "showpage end\r\n");
        auto G = zarvotest::RenderBBox(Out);
        EXPECT_TRUE(G.Ok) << G.Output;
        EXPECT_EQ(G.Pages.size(), 1u) << G.Output;
        return G;
    }
    zarvotest::TTempDir Dir;
    std::vector<std::string> Messages;
};

// A filled square of Side points at the origin of the file's coordinates, with the line ends
// and control bytes of other systems between its lines.
std::string Square(int Side, const std::string& Eol, const std::string& Junk) {
    const std::string S = std::to_string(Side);
    return "%!PS-Adobe-3.0 EPSF-3.0" + Eol + "%%BoundingBox: 0 0 " + S + " " + S + Eol + Junk +
           "newpath 0 0 moveto " + S + " 0 lineto" + Eol + Junk + S + " " + S + " lineto 0 " + S +
           " lineto closepath fill" + Eol + "showpage" + Eol + "%%EOF" + Eol;
}

} // namespace

TEST_F(BadEpsTest, LineEndsAndControlBytesOfOtherSystems) {
    // LF CR pairs: under the header's text-file rules LF and CR each end a line, so the bounding
    // box stands on line 3 and is found.
    auto H = Header("%!PS\n\r%%BoundingBox: 1 2 31 42\n\r");
    EXPECT_TRUE(H.Ok);
    EXPECT_EQ(H.Kind, KindBBox);
    EXPECT_NEAR(H.Size.X, 30 / 28.35, 1e-12);
    // NUL and form feed are ordinary bytes of a header line: a NUL after "%!" keeps the file
    // PostScript, a form feed glued to the last number makes it no whole number (its default).
    H = Header(std::string("%!PS\0\f\n%%BoundingBox: 0 0 20 40\f\n", 33));
    EXPECT_TRUE(H.Ok);
    EXPECT_EQ(H.Kind, KindBBox);
    EXPECT_NEAR(H.Size.X, 20 / 28.35, 1e-12);
    EXPECT_NEAR(H.Size.Y, 284 / 28.35, 1e-12);
    EXPECT_TRUE(Messages.empty());

    // In the job they stand as in the file; the page shows each square where the sheet puts
    // it.
    TSheet S;
    WriteFile(Dir.File("lfcr.eps"), Square(40, "\n\r", ""));
    WriteFile(Dir.File("nulff.eps"), Square(40, "\r\n", std::string("\0\f\f\0", 4)));
    WriteFile(Dir.File("cr.eps"), Square(40, "\r", "\r\r"));
    S.FItems.Add("a", zarvotest::MakeEpsItem(Dir.File("lfcr.eps"), {2.0, 2.0}));
    S.FItems.Add("b", zarvotest::MakeEpsItem(Dir.File("nulff.eps"), {6.0, 6.0}));
    S.FItems.Add("c", zarvotest::MakeEpsItem(Dir.File("cr.eps"), {10.0, 10.0}));
    const auto G = PrintAndRender(S);
    ASSERT_EQ(G.Pages.size(), 1u);
    EXPECT_NEAR(G.Pages[0][0], 2.0 * 28.35, 1.5);
    EXPECT_NEAR(G.Pages[0][3], 10.0 * 28.35 + 40, 1.5);
    const std::string Job = ReadFile(Dir.File("job.ps"));
    EXPECT_NE(Job.find(std::string("\r\n\0\f\f\0", 6)), std::string::npos);
    EXPECT_NE(Job.find("EPSF-3.0\n\r% %%BoundingBox: 0 0 40 40\n\r"), std::string::npos);
}

TEST_F(BadEpsTest, BoundingBoxNumbersAtTheEdgesOfTheRange) {
    // The largest whole numbers there are: finite sizes, the corners in any order.
    auto H = Header("%!PS\n%%BoundingBox: 2147483647 2147483647 -2147483648 -2147483648\n");
    EXPECT_EQ(H.Kind, KindBBox);
    EXPECT_NEAR(H.Offset.X, -2147483648.0 / 28.35, 1e-3);
    EXPECT_NEAR(H.Size.X, 4294967295.0 / 28.35, 1e-3);
    EXPECT_TRUE(std::isfinite(H.Size.Y) && H.Size.Y > 0);
    // One past the range is no whole number: the defaults (0 and the standard size).
    H = Header("%!PS\n%%BoundingBox: -2147483649 0 2147483648 99999999999999999999\n");
    EXPECT_EQ(H.Offset, (TCmPair{0.0, 0.0}));
    EXPECT_NEAR(H.Size.X, 284 / 28.35, 1e-12);
    EXPECT_NEAR(H.Size.Y, 284 / 28.35, 1e-12);
    // Nothing after the keyword, and signs without digits.
    H = Header("%!PS\n%%BoundingBox:\n");
    EXPECT_EQ(H.Kind, KindBBox);
    EXPECT_NEAR(H.Size.X, 284 / 28.35, 1e-12);
    H = Header("%!PS\n%%BoundingBox: - + -0 +0\n");
    EXPECT_EQ(H.Offset, (TCmPair{0.0, 0.0}));
    EXPECT_EQ(H.Size, (TCmPair{0.0, 0.0}));
    EXPECT_TRUE(Messages.empty());

    // Such an item still prints one page: the far-away drawing lands off the paper.
    WriteFile(Dir.File("far.eps"), "%!PS\n%%BoundingBox: 2147483000 0 2147483600 10\n"
                                   "2147483000 0 moveto 600 0 rlineto stroke\n");
    TSheet S;
    S.FItems.Add(
        "a", zarvotest::MakeEpsItem(Dir.File("far.eps"), {1.0, 1.0}, {2147483000 / 28.35, 0.0}));
    const std::string Out = Dir.File("job.ps");
    ASSERT_TRUE(PrintSheet(S, Out, Out).Ok);
    const auto G = zarvotest::RenderBBox(Out);
    EXPECT_TRUE(G.Ok) << G.Output;
    EXPECT_EQ(G.Pages.size(), 1u);
}

TEST_F(BadEpsTest, AHundredMegabytesWithoutLineEndsPrintWithoutBeingHeld) {
    // One line of 100 MB: the header search reads to its end and tells that there is no
    // bounding box; the job takes the line whole, streamed, in little memory.
    const long long Size = 100LL * 1024 * 1024;
    const std::string Eps = Dir.File("huge.eps");
    zarvotest::WriteBigFile(Eps, "%!PS-Adobe-3.0 EPSF-3.0 %%", 'x', Size);
    std::uint8_t Kind = KindStdSize;
    TCmPair BoxSize{10.0, 10.0}, Offset;
    EXPECT_TRUE(Record(ReadEpsHeader(Eps, Kind, BoxSize, Offset)));
    EXPECT_EQ(Kind, KindStdSize);
    ASSERT_EQ(Messages.size(), 1u);
    EXPECT_EQ(Messages[0].rfind("Keine Bounding Box in ", 0), 0u);

    WriteFile(Dir.File("huge.zvs"), "[Global]\nCount=1\n[Frame01]\nName=" + Eps + "\nBBox=0\n");
    const std::string Out = Dir.File("huge.ps");
    const auto M =
        zarvotest::RunProgram({ZARVO_PROGRAM, "--print", Dir.File("huge.zvs"), "-o", Out});
    ASSERT_EQ(M.Status, 0) << M.Err;
    // The job holds the line with "% " in front, then restore and showpage end.
    struct stat St;
    ASSERT_EQ(::stat(Out.c_str(), &St), 0);
    EXPECT_GT(St.st_size, Size);
    EXPECT_LT(St.st_size, Size + 1000);
    // Far less memory than the file: it was never held as a whole.
    EXPECT_LT(M.MaxRssKiB, 60 * 1024);
    FILE* F = std::fopen(Out.c_str(), "rb");
    ASSERT_NE(F, nullptr);
    std::fseek(F, -32, SEEK_END);
    char Tail[33] = {};
    EXPECT_EQ(std::fread(Tail, 1, 32, F), 32u);
    std::fclose(F);
    EXPECT_EQ(std::string(Tail).substr(32 - 25), "\r\nrestore\r\nshowpage end\r\n");
    std::remove(Out.c_str());
    std::remove(Eps.c_str());
}

TEST_F(BadEpsTest, FoldersAndPipesWhereAnEpsFileShouldBe) {
    // A folder cannot be opened as a file: the message for a file that cannot be opened.
    ASSERT_EQ(::mkdir(Dir.File("folder.eps").c_str(), 0700), 0);
    std::uint8_t Kind = KindStdSize;
    TCmPair BoxSize{10.0, 10.0}, Offset;
    EXPECT_FALSE(Record(ReadEpsHeader(Dir.File("folder.eps"), Kind, BoxSize, Offset)));
    ASSERT_EQ(Messages.size(), 1u);
    EXPECT_EQ(Messages[0],
              "Datei " + ShortenPath(Dir.File("folder.eps"), 20) + " nicht gefunden!");
    // A sheet naming it prints nothing, and a former print file stays; the print says why.
    const std::string Out = Dir.File("job.ps");
    WriteFile(Out, "previous job");
    TSheet S;
    S.FItems.Add("a", zarvotest::MakeEpsItem(Dir.File("folder.eps"), {1, 1}));
    const TPrintResult R = PrintSheet(S, Out, Out);
    EXPECT_FALSE(R.Ok);
    EXPECT_EQ(R.Message,
              "Datei " + Dir.File("folder.eps") + " kann nicht gelesen werden (Is a directory)");
    EXPECT_EQ(ReadFile(Out), "previous job");

    // A named pipe that nobody writes: read as empty at once, never waited for.
    ASSERT_EQ(::mkfifo(Dir.File("pipe.eps").c_str(), 0600), 0);
    Messages.clear();
    EXPECT_FALSE(Record(ReadEpsHeader(Dir.File("pipe.eps"), Kind, BoxSize, Offset)));
    ASSERT_EQ(Messages.size(), 1u);
    EXPECT_EQ(Messages[0], "Kein Postscript in " + ShortenPath(Dir.File("pipe.eps"), 20));

    // A device without end (one endless line of NUL bytes): refused like a file that cannot
    // be opened, at import and at print time, instead of being read for ever.
    Messages.clear();
    EXPECT_FALSE(Record(ReadEpsHeader("/dev/zero", Kind, BoxSize, Offset)));
    ASSERT_EQ(Messages.size(), 1u);
    EXPECT_EQ(Messages[0], "Datei /dev/zero nicht gefunden!");
    TSheet Z;
    Z.FItems.Add("z", zarvotest::MakeEpsItem("/dev/zero", {1, 1}));
    EXPECT_EQ(PrintSheet(Z, Out, Out).Message,
              "Datei /dev/zero kann nicht gelesen werden (No such device)");
    EXPECT_EQ(ReadFile(Out), "previous job");
}

TEST_F(BadEpsTest, DataThatEndsTheFileInsideALineLeavesRestoreAlone) {
    // A data section that announces more bytes than the file has, cut inside a line: the job
    // must still close the EPS block, or "restore" lands in the data's last line (a comment
    // here) and the page never comes out.
    TSheet S;
    for (const char* Tail : {"%%x", "1 pop", "\n\r\n2 pop"}) {
        const std::string Name = Dir.File("cut" + std::to_string(S.FItems.Count()) + ".eps");
        WriteFile(Name, Square(30, "\n", "") + "%%BeginBinary: 5000\n" + Tail);
        S.FItems.Add("a", zarvotest::MakeEpsItem(Name, {2.0 + 3 * S.FItems.Count(), 2.0}));
    }
    S.FItems.Add("t", zarvotest::MakeTextItem("danach", {2.0, 20.0}));
    const auto G = PrintAndRender(S);
    ASSERT_EQ(G.Pages.size(), 1u);
    // The text after the cut files is drawn too.
    EXPECT_GT(G.Pages[0][3], 20.0 * 28.35);
    const std::string Job = ReadFile(Dir.File("job.ps"));
    const std::string End = "\r\ncount ZarvoOps sub";
    EXPECT_NE(Job.find("%%x" + End), std::string::npos);
    EXPECT_NE(Job.find("\n1 pop" + End), std::string::npos);
}
