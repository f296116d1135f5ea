// EPS files as the figure tools users have write them, made in the test run: each file's box,
// a page that prints them between other items, and the check that names a file that breaks.
#include "output/jobcheck.h"
#include "output/printjob.h"
#include "sheet/epsheader.h"
#include "testsupport.h"

#include <gtest/gtest.h>

using namespace zarvo;
using zarvotest::ReadFile;
using zarvotest::WriteFile;

namespace {

const double Mm = 28.35 / 10;

// A producer: the command that writes OUT (the placeholder) from the test's inputs, and what
// the file must show to be the case the test is about.
struct TProducer {
    const char* Name;
    std::vector<std::string> Command;
    const char* Mark; // bytes the file must hold ("" for none)
};

const char* const MatplotlibScript =
    "import sys, matplotlib; matplotlib.use('ps'); import matplotlib.pyplot as plt\n"
    "fig, ax = plt.subplots(figsize=(3, 2)); ax.plot([0, 1, 2], [1, 0, 2])\n"
    "ax.set_title('Messung'); fig.savefig(sys.argv[1])\n";

std::vector<TProducer> Producers(const std::string& Dir) {
    return {
        {"gnuplot",
         {"gnuplot", "-e", "set terminal postscript eps; set output 'OUT'; plot sin(x)"},
         "%%BoundingBox:"},
        {"dot -Tps", {"dot", "-Tps", Dir + "/g.dot", "-o", "OUT"}, "%%BoundingBox: (atend)"},
        {"dot -Tps2", {"dot", "-Tps2", Dir + "/g.dot", "-o", "OUT"}, "setpagedevice"},
        {"matplotlib", {"/usr/bin/python3", "-c", MatplotlibScript, "OUT"}, "%%BoundingBox:"},
        {"eps2eps", {"eps2eps", Dir + "/gnuplot.eps", "OUT"}, "stream"},
        {"ps2epsi", {"ps2epsi", Dir + "/gnuplot.eps", "OUT"}, "%%BoundingBox:"},
        {"ImageMagick eps2:", {"convert", "rose:", "eps2:OUT"}, "%%BeginData:"},
        {"GraphicsMagick ept:", {"gm", "convert", "rose:", "ept:OUT"}, "\xC5\xD0\xD3\xC6"},
    };
}

class RealEpsTest : public ::testing::Test {
protected:
    // Makes every file of the corpus; the name of each, in the order of Producers().
    std::vector<std::string> MakeCorpus() {
        WriteFile(Dir.File("g.dot"), "digraph G { a -> b -> c; a -> c; c [shape=box] }\n");
        std::vector<std::string> Files;
        int N = 0;
        for (TProducer P : Producers(Dir.Path())) {
            const std::string Out =
                Dir.File(N++ == 0 ? "gnuplot.eps" : "f" + std::to_string(N) + ".eps");
            for (std::string& A : P.Command) {
                const auto At = A.find("OUT");
                if (At != std::string::npos) A.replace(At, 3, Out);
            }
            const auto R = zarvotest::RunProgram(P.Command);
            EXPECT_EQ(R.Status, 0) << P.Name << ": " << R.Err;
            EXPECT_NE(ReadFile(Out).find(P.Mark), std::string::npos) << P.Name;
            Files.push_back(Out);
        }
        return Files;
    }
    zarvotest::TTempDir Dir;
    zarvotest::TRecordingDialogs Dialogs;
};

} // namespace

TEST_F(RealEpsTest, FilesOfRealProducersKeepTheirBoxAndPrintBetweenOtherItems) {
    const std::vector<std::string> Files = MakeCorpus();
    const auto Names = Producers(Dir.Path());
    for (std::size_t I = 0; I < Files.size(); ++I) {
        SCOPED_TRACE(Names[I].Name);
        // The box the file declares, and what Ghostscript draws of it lies within it.
        TEPSBox B(TCmPair{10, 10});
        B.Name = Files[I];
        ASSERT_TRUE(ReadEpsHeader(Files[I], B.Kind, B.Size, B.Offset));
        EXPECT_EQ(B.Kind, KindBBox);
        const auto Alone = zarvotest::RenderBBox(Files[I]);
        ASSERT_TRUE(Alone.Ok) << Alone.Output;
        ASSERT_EQ(Alone.Pages.size(), 1u);
        const auto& D = Alone.Pages[0];
        EXPECT_GE(D[0], B.Offset.X * 28.35 - 1);
        EXPECT_GE(D[1], B.Offset.Y * 28.35 - 1);
        EXPECT_LE(D[2], (B.Offset.X + B.Size.X) * 28.35 + 1);
        EXPECT_LE(D[3], (B.Offset.Y + B.Size.Y) * 28.35 + 1);

        // On a page, after a text and before another: one page, no error, each item in its
        // place. The texts stand beyond the figure on both sides, so the page's drawn box ends
        // at them when they print.
        TSheet S;
        S.FItems.Add("v", zarvotest::MakeTextItem("vorher", {1.0, 27.0}));
        B.Origin = {3.0, 3.0};
        S.FItems.Add("e", B);
        S.FItems.Add("n", zarvotest::MakeTextItem("nachher", {12.0, 1.0}));
        const std::string Job = Dir.File("job.ps");
        const TPrintResult R = PrintSheet(S, Job, Job);
        ASSERT_TRUE(R.Ok) << R.Message;
        const auto Page = zarvotest::RenderBBox(Job);
        ASSERT_TRUE(Page.Ok) << Page.Output;
        ASSERT_EQ(Page.Pages.size(), 1u) << Page.Output;
        EXPECT_NEAR(Page.Pages[0][0], 1.0 * 28.35, Mm);
        EXPECT_NEAR(Page.Pages[0][1], 1.0 * 28.35, Mm);
        EXPECT_NEAR(Page.Pages[0][3], 27.0 * 28.35 + 13, 2); // the cap height of 18 points
        // The figure alone on the page lands in its frame.
        TSheet One;
        One.FItems.Add("e", B);
        ASSERT_TRUE(PrintSheet(One, Job, Job).Ok);
        const auto Placed = zarvotest::RenderBBox(Job);
        ASSERT_EQ(Placed.Pages.size(), 1u) << Placed.Output;
        const double Dx = 3.0 * 28.35 - B.Offset.X * 28.35, Dy = 3.0 * 28.35 - B.Offset.Y * 28.35;
        EXPECT_NEAR(Placed.Pages[0][0], D[0] + Dx, Mm);
        EXPECT_NEAR(Placed.Pages[0][1], D[1] + Dy, Mm);
        EXPECT_NEAR(Placed.Pages[0][2], D[2] + Dx, Mm);
        EXPECT_NEAR(Placed.Pages[0][3], D[3] + Dy, Mm);
    }
}

TEST_F(RealEpsTest, TheCheckNamesTheItemThatBreaksTheJob) {
    // A file that leaves values on the operand stack and a dictionary open prints; one with an
    // error is named with Ghostscript's error, and the items around it still print.
    WriteFile(Dir.File("leaves.eps"), "%!PS-Adobe-3.0 EPSF-3.0\n%%BoundingBox: 0 0 20 20\n"
                                      "true true true 10 dict begin 0 0 20 20 rectfill\n");
    WriteFile(Dir.File("broken.eps"), "%!PS-Adobe-3.0 EPSF-3.0\n%%BoundingBox: 0 0 20 20\n"
                                      "0 0 moveto nosuchoperator\n");
    TSheet S;
    S.FItems.Add("a", zarvotest::MakeEpsItem(Dir.File("leaves.eps"), {2, 2}));
    S.FItems.Add("b", zarvotest::MakeEpsItem(Dir.File("broken.eps"), {5, 5}));
    S.FItems.Add("c", zarvotest::MakeTextItem("t", {8, 8}));
    const TJobCheck C = CheckSheetJob(S, 30);
    ASSERT_TRUE(C.Ran) << C.Message;
    ASSERT_EQ(C.Items.size(), 3u);
    EXPECT_TRUE(C.Items[0].Ok) << C.Items[0].Error;
    EXPECT_FALSE(C.Items[1].Ok);
    EXPECT_EQ(C.Items[1].Error, "Error: /undefined in nosuchoperator");
    EXPECT_TRUE(C.Items[2].Ok) << C.Items[2].Error;
    EXPECT_FALSE(C.AllOk());
    EXPECT_TRUE(CheckEpsFile(Dir.File("leaves.eps"), 30).Ok);
    // A file that never ends its loop is stopped by the time limit.
    WriteFile(Dir.File("loop.eps"), "%!PS-Adobe-3.0 EPSF-3.0\n%%BoundingBox: 0 0 20 20\n{} loop\n");
    const TItemCheck Loop = CheckEpsFile(Dir.File("loop.eps"), 2);
    EXPECT_FALSE(Loop.Ok);
    EXPECT_EQ(Loop.Error, "Zeitüberschreitung nach 2 s");
}
