// Print files in PDF: Ghostscript's pdfwrite fed with the job, checked with pdfinfo and
// Ghostscript's bounding-box device.
#include "output/pdftarget.h"
#include "output/printroute.h"
#include "testsupport.h"

#include <gtest/gtest.h>

#include <cstdlib>

using namespace zarvo;

namespace {

std::string Info(const std::string& Pdf) {
    return zarvotest::RunProgram({"pdfinfo", Pdf}).Out;
}

bool HasPdfinfo() {
    return zarvotest::RunProgram({"pdfinfo", "-v"}).Status == 0;
}

class PdfTest : public ::testing::Test {
protected:
    void SetUp() override {
        if (!HasPdfinfo()) GTEST_SKIP() << "pdfinfo (poppler-utils) is not installed";
        zarvotest::WriteFile(Dir.File("box.eps"),
                             "%!PS-Adobe-3.0 EPSF-3.0\n%%BoundingBox: 0 0 100 50\n"
                             "newpath 0 0 moveto 100 0 lineto 100 50 lineto 0 50 lineto "
                             "closepath fill\n");
        Sheet.FItems.Add("box", zarvotest::MakeEpsItem(Dir.File("box.eps"), {3.0, 4.0}));
    }
    zarvotest::TTempDir Dir;
    TSheet Sheet;
};

} // namespace

TEST_F(PdfTest, APdfHasTheSheetsPaperOnePageAndTheItemsInPlace) {
    EXPECT_TRUE(IsPdfFileName("/x/Blatt.PDF"));
    EXPECT_FALSE(IsPdfFileName("/x/pdf"));
    const std::string Pdf = Dir.File("blatt.pdf");
    // Ghostscript's temporary folder is one of its own, gone afterwards.
    zarvotest::TTempDir Tmp;
    const char* OldTmp = std::getenv("TMPDIR");
    const std::string Before = OldTmp ? OldTmp : "";
    ::setenv("TMPDIR", Tmp.Path().c_str(), 1);
    TPrintResult R = PrintToFile(Sheet, Pdf, Pdf);
    if (OldTmp)
        ::setenv("TMPDIR", Before.c_str(), 1);
    else
        ::unsetenv("TMPDIR");
    EXPECT_TRUE(zarvotest::ListDir(Tmp.Path()).empty());
    ASSERT_TRUE(R.Ok) << R.Message;
    std::string I = Info(Pdf);
    EXPECT_NE(I.find("Pages:           1\n"), std::string::npos) << I;
    EXPECT_NE(I.find("Page size:       595 x 839 pts"), std::string::npos) << I;
    EXPECT_NE(I.find("Page rot:        0\n"), std::string::npos) << I;
    const auto G = zarvotest::RenderBBox(Pdf);
    ASSERT_EQ(G.Pages.size(), 1u) << G.Output;
    const double Mm = 2.835;
    EXPECT_NEAR(G.Pages[0][0], 3.0 * 28.35, Mm);
    EXPECT_NEAR(G.Pages[0][1], 4.0 * 28.35, Mm);
    EXPECT_NEAR(G.Pages[0][2], 3.0 * 28.35 + 100, Mm);
    EXPECT_NEAR(G.Pages[0][3], 4.0 * 28.35 + 50, Mm);
    // Landscape: the same paper, shown turned, so a viewer shows the page upright across.
    Sheet.FLandscape = true;
    R = PrintToFile(Sheet, Pdf, Pdf);
    ASSERT_TRUE(R.Ok) << R.Message;
    I = Info(Pdf);
    EXPECT_NE(I.find("Page size:       595 x 839 pts"), std::string::npos) << I;
    EXPECT_NE(I.find("Page rot:        90\n"), std::string::npos) << I;
    // A custom paper gives its own page size.
    Sheet.FLandscape = false;
    Sheet.FPaperSize = {10.0, 15.0};
    R = PrintToFile(Sheet, Pdf, Pdf);
    ASSERT_TRUE(R.Ok) << R.Message;
    EXPECT_NE(Info(Pdf).find("Page size:       284 x 425 pts"), std::string::npos) << Info(Pdf);
    // Nothing else is left beside the file.
    EXPECT_EQ(zarvotest::ListDir(Dir.Path()).size(), 2u);
}

TEST_F(PdfTest, AFailingGhostscriptOrNoneKeepsTheOldPdf) {
    const std::string Pdf = Dir.File("blatt.pdf");
    zarvotest::WriteFile(Pdf, "old pdf");
    zarvotest::WriteFile(Dir.File("bad.eps"),
                         "%!PS-Adobe-3.0 EPSF-3.0\n%%BoundingBox: 0 0 10 10\nzarvo_undefined\n");
    TSheet Bad;
    Bad.FItems.Add("bad", zarvotest::MakeEpsItem(Dir.File("bad.eps"), {1.0, 1.0}));
    const TPrintResult R = PrintToFile(Bad, Pdf, Pdf);
    EXPECT_FALSE(R.Ok);
    EXPECT_NE(R.Message.find("Ghostscript endete mit Status"), std::string::npos) << R.Message;
    EXPECT_NE(R.Message.find("undefined"), std::string::npos) << R.Message;
    EXPECT_EQ(zarvotest::ReadFile(Pdf), "old pdf");
    EXPECT_EQ(zarvotest::ListDir(Dir.Path()).size(), 3u);

    // Without Ghostscript on the path: a clear message, nothing written.
    const std::string OldPath = std::getenv("PATH") ? std::getenv("PATH") : "";
    ::setenv("PATH", Dir.Path().c_str(), 1);
    const TPrintResult NoGs = PrintToFile(Sheet, Pdf, Pdf);
    ::setenv("PATH", OldPath.c_str(), 1);
    EXPECT_FALSE(NoGs.Ok);
    EXPECT_NE(NoGs.Message.find("braucht Ghostscript"), std::string::npos) << NoGs.Message;
    EXPECT_EQ(zarvotest::ReadFile(Pdf), "old pdf");
    EXPECT_EQ(zarvotest::ListDir(Dir.Path()).size(), 3u);
}
