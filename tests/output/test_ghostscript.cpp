// Every kind of job the program prints, rendered by Ghostscript: one page, no error, and
// the drawing where the sheet puts it.
#include "output/printjob.h"
#include "support/ansicodepage.h"
#include "testsupport.h"

#include <cctype>
#include <cstdlib>

#include <gtest/gtest.h>

using namespace zarvo;
using zarvotest::WriteFile;

namespace {

// An EPS file that fills its bounding box, so that the rendered box shows where it landed.
std::string FilledEps(int Llx, int Lly, int Urx, int Ury) {
    const std::string B = std::to_string(Llx) + " " + std::to_string(Lly) + " " +
                          std::to_string(Urx) + " " + std::to_string(Ury);
    return "%!PS-Adobe-3.0 EPSF-3.0\n%%BoundingBox: " + B + "\n%%EndComments\n\n" + "newpath " +
           std::to_string(Llx) + " " + std::to_string(Lly) + " moveto " + std::to_string(Urx) +
           " " + std::to_string(Lly) + " lineto " + std::to_string(Urx) + " " +
           std::to_string(Ury) + " lineto " + std::to_string(Llx) + " " + std::to_string(Ury) +
           " lineto closepath fill\nshowpage\n%%EOF\n";
}

class GhostscriptTest : public ::testing::Test {
protected:
    zarvotest::TGhostscriptResult Render(const TSheet& S) {
        const std::string Out = Dir.File("job.ps");
        const TPrintResult R = PrintSheet(S, Out, Out);
        EXPECT_TRUE(R.Ok) << R.Message;
        zarvotest::TGhostscriptResult G = zarvotest::RenderBBox(Out);
        EXPECT_TRUE(G.Ok) << G.Output;
        EXPECT_EQ(G.Pages.size(), 1u) << G.Output;
        return G;
    }
    TEPSBox Eps(const std::string& Name, const std::string& Contents, TCmPair Origin,
                TCmPair Offset) {
        WriteFile(Dir.File(Name), Contents);
        return zarvotest::MakeEpsItem(Dir.File(Name), Origin, Offset);
    }
    zarvotest::TTempDir Dir;
};

TEPSBox Text(const std::string& S, TCmPair Origin, int Type, int Style) {
    return zarvotest::MakeTextItem(S, Origin, Type, Style, 14);
}

} // namespace

TEST_F(GhostscriptTest, EmptySheetsPrintOneBlankPage) {
    // Nothing marks the page: its rendered bounding box is empty.
    TSheet S;
    for (bool Landscape : {false, true}) {
        S.FLandscape = Landscape;
        const auto G = Render(S);
        ASSERT_EQ(G.Pages.size(), 1u);
        EXPECT_EQ(G.Pages[0], (std::vector<double>{0, 0, 0, 0})) << G.Output;
    }
}

TEST_F(GhostscriptTest, AnEpsLandsAtItsOriginInPortraitAndLandscape) {
    // Bounding box 100 200 200 250 points, dropped at (3.0, 4.0) cm: the box's corner lands
    // on 3.0 / 4.0 cm, within the millimetre the job's one decimal allows.
    TSheet S;
    S.FItems.Add("a", Eps("fill.eps", FilledEps(100, 200, 200, 250), {3.0, 4.0},
                          {100 / 28.35, 200 / 28.35}));
    auto G = Render(S);
    ASSERT_EQ(G.Pages.size(), 1u);
    const double Mm = 28.35 / 10;
    EXPECT_NEAR(G.Pages[0][0], 3.0 * 28.35, Mm);
    EXPECT_NEAR(G.Pages[0][1], 4.0 * 28.35, Mm);
    EXPECT_NEAR(G.Pages[0][2] - G.Pages[0][0], 100, 1);
    EXPECT_NEAR(G.Pages[0][3] - G.Pages[0][1], 50, 1);

    // Landscape: x runs up the portrait paper from its lower-right corner.
    S.FLandscape = true;
    G = Render(S);
    ASSERT_EQ(G.Pages.size(), 1u);
    const double PaperW = 21.0 * 28.35;
    EXPECT_NEAR(G.Pages[0][2], PaperW - 4.0 * 28.35, Mm); // landscape y measured from the right
    EXPECT_NEAR(G.Pages[0][1], 3.0 * 28.35, Mm);
    EXPECT_NEAR(G.Pages[0][3] - G.Pages[0][1], 100, 1);
}

TEST_F(GhostscriptTest, SeveralEpsItemsWithTheirPageOperatorsDisabled) {
    TSheet S;
    // The second file calls showpage twice and erasepage: still one page, nothing erased.
    S.FItems.Add("a", Eps("a.eps", FilledEps(0, 0, 50, 50), {1.0, 1.0}, {0, 0}));
    S.FItems.Add("b", Eps("b.eps",
                          "%!PS-Adobe-3.0 EPSF-3.0\r%%BoundingBox: 0 0 20 20\r"
                          "0 0 20 20 rectfill showpage erasepage\rshowpage copypage\r",
                          {15.0, 25.0}, {0, 0}));
    S.FItems.Add("c",
                 Eps("c.eps", FilledEps(10, 10, 30, 30), {10.0, 10.0}, {10 / 28.35, 10 / 28.35}));
    const auto G = Render(S);
    ASSERT_EQ(G.Pages.size(), 1u);
    EXPECT_NEAR(G.Pages[0][0], 1.0 * 28.35, 3);
    EXPECT_NEAR(G.Pages[0][3], 25.0 * 28.35 + 20, 3);
}

TEST_F(GhostscriptTest, TextsInAllFontsAndStylesAndWithAwkwardCharacters) {
    TSheet S;
    double Y = 2.0;
    for (int Type = 0; Type < 4; ++Type)
        for (int Style = 0; Style < 4; ++Style) {
            S.FItems.Add("t", Text("Abc xyz", {2.0, Y}, Type, Style));
            Y += 1.5;
        }
    for (const char* Awkward : {"a) (b", "x\\", "((", "))", "\\(", ") showpage (", "m^2_x"}) {
        S.FItems.Add("t", Text(Awkward, {12.0, Y - 20}, 1, 0));
        Y += 1.5;
    }
    Render(S);
    S.FLandscape = true;
    Render(S);
}

TEST_F(GhostscriptTest, TextsPrintTheCharactersTheyHold) {
    // The text is stored and printed as Latin-1 bytes: "Größe 25 °C, ½-Zoll"; its hyphen
    // stays a hyphen (the Latin-1 encoding of PostScript has a minus sign there).
    TSheet S;
    S.FItems.Add("t", Text("Gr\xf6\xdf"
                           "e 25 \xb0"
                           "C, \xbd-Zoll",
                           {3.0, 20.0}, 0, 0));
    S.FItems.Add("t", Text("plain", {3.0, 15.0}, 1, 2));
    Render(S);
    const auto R = zarvotest::RunProgram({"gs", "-q", "-dSAFER", "-dBATCH", "-dNOPAUSE",
                                          "-sDEVICE=txtwrite", "-o", "-", Dir.File("job.ps")});
    EXPECT_NE(R.Out.find("Gr\xc3\xb6\xc3\x9f"
                         "e 25 \xc2\xb0"
                         "C, \xc2\xbd-Zoll"),
              std::string::npos)
        << R.Out;
    EXPECT_NE(R.Out.find("plain"), std::string::npos);
    // Only the text that needs it gets a re-encoded font.
    const std::string Job = zarvotest::ReadFile(Dir.File("job.ps"));
    EXPECT_NE(Job.find("/ZarvoAnsi"), std::string::npos);
    EXPECT_EQ(Job.find("/ZarvoAnsi"), Job.rfind("/ZarvoAnsi"));
}

TEST_F(GhostscriptTest, TheCodePagesTypographicCharactersPrintInEveryTextFont) {
    // Bytes 0x80..0x9F: each of the 27 characters of the code page prints with ink in every
    // style of the three text fonts; the five codes without a character print nothing.
    TSheet S;
    const double Left = 0.5, Step = 0.62, Bottom = 2.0, Row = 2.2;
    for (int Font = 0; Font < 12; ++Font)
        for (int B = 0x80; B <= 0x9F; ++B)
            S.FItems.Add("t",
                         Text(std::string(1, static_cast<char>(B)),
                              {Left + (B - 0x80) * Step, Bottom + Font * Row}, Font / 4, Font % 4));
    Render(S);
    const std::string Pgm = Dir.File("page.pgm");
    const auto R = zarvotest::RunProgram({"gs", "-q", "-dSAFER", "-dBATCH", "-dNOPAUSE",
                                          "-sPAPERSIZE=a4", "-r72", "-sDEVICE=pgmraw",
                                          "-sOutputFile=" + Pgm, Dir.File("job.ps")});
    ASSERT_EQ(R.Status, 0) << R.Err;
    const std::string Image = zarvotest::ReadFile(Pgm);
    // The header: "P5", width, height, maximum, each after blanks or "#" comment lines.
    std::size_t Pos = 2;
    int Fields[3] = {0, 0, 0};
    for (int& F : Fields) {
        while (Pos < Image.size() &&
               (std::isspace(static_cast<unsigned char>(Image[Pos])) || Image[Pos] == '#'))
            Pos = Image[Pos] == '#' ? Image.find('\n', Pos) : Pos + 1;
        ASSERT_LT(Pos, Image.size());
        F = std::atoi(Image.c_str() + Pos);
        Pos = Image.find_first_not_of("0123456789", Pos);
    }
    ASSERT_EQ(Image.rfind("P5", 0), 0u);
    const int W = Fields[0], H = Fields[1];
    const std::size_t Pixels = Pos + 1;
    ASSERT_EQ(Image.size(), Pixels + static_cast<std::size_t>(W) * H);
    // Dark pixels in the cell of one character, from its origin up and a little below.
    const auto Ink = [&](double X, double Y) {
        int N = 0;
        for (int Px = int(X * 28.35); Px < int((X + Step - 0.04) * 28.35); ++Px)
            for (int Py = int((Y - 0.3) * 28.35); Py < int((Y + 0.7) * 28.35); ++Py)
                if (static_cast<unsigned char>(Image[Pixels + std::size_t(H - 1 - Py) * W + Px]) <
                    128)
                    ++N;
        return N;
    };
    for (int Font = 0; Font < 12; ++Font)
        for (int B = 0x80; B <= 0x9F; ++B) {
            const int N = Ink(Left + (B - 0x80) * Step, Bottom + Font * Row);
            if (AnsiAssigned(static_cast<unsigned char>(B)))
                EXPECT_GT(N, 0) << "font " << Font << " byte " << B;
            else
                EXPECT_EQ(N, 0) << "font " << Font << " byte " << B;
        }

    // And they are the characters the page view and the dialogs show.
    TSheet Line;
    std::string All;
    for (int B = 0x80; B <= 0x9F; ++B)
        if (AnsiAssigned(static_cast<unsigned char>(B))) All += static_cast<char>(B);
    Line.FItems.Add("t", Text(All, {1.0, 20.0}, 1, 0));
    Render(Line);
    const auto T = zarvotest::RunProgram({"gs", "-q", "-dSAFER", "-dBATCH", "-dNOPAUSE",
                                          "-sDEVICE=txtwrite", "-o", "-", Dir.File("job.ps")});
    EXPECT_NE(T.Out.find("€‚ƒ„…†‡ˆ‰Š‹ŒŽ‘’“”•–—˜™š›œžŸ"), std::string::npos) << T.Out;
}
