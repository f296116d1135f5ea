// EPS files with binary data sections: the announced data passes into the job byte for byte.
#include "output/printjob.h"
#include "sheet/epsheader.h"
#include "testsupport.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <random>

using namespace zarvo;
using zarvotest::ReadFile;
using zarvotest::WriteFile;

namespace {

class DataSectionTest : public ::testing::Test {
protected:
    // The lines CopyPSFile writes for one EPS file, between its translation and "restore".
    std::string Body(const std::string& Contents) {
        WriteFile(Dir.File("d.eps"), Contents);
        TEPSBox B(TCmPair{10, 10});
        B.Name = Dir.File("d.eps");
        B.Kind = KindBBox;
        std::string Out;
        TBufTextFile W;
        OpenBufWrite(W, MakeMemoryTarget(Out), "mem");
        CopyPSFile(W, B);
        CloseBufWrite(W);
        const std::string Start = " cm translate\r\n";
        const std::string End = std::string(EpsWrapperEnd) + "\r\nrestore\r\n";
        const auto From = Out.find(Start) + Start.size();
        EXPECT_EQ(Out.substr(Out.size() - End.size()), End);
        return Out.substr(From, Out.size() - End.size() - From);
    }
    zarvotest::TTempDir Dir;
};

// Bytes that the line rules would change: line ends of every kind, empty lines, FF, NUL, and
// lines that start like structuring comments.
const std::string Nasty = std::string("\r\n\n\r\x0c\0\0x\n\n%%EOF\r%!fake\n\r\n\r", 27) +
                          std::string("\xff\xfe\x8f binary", 10);

} // namespace

TEST_F(DataSectionTest, BinaryBytesPassUnchanged) {
    const std::string N = std::to_string(Nasty.size());
    EXPECT_EQ(Body("%!PS\n%%BeginData: " + N + " Binary Bytes\r\n" + Nasty + "\n%%EndData\nx\n"),
              "% %!PS\n% %%BeginData: " + N + " Binary Bytes\r\n" + Nasty + "\n% %%EndData\nx\n");
    // Data that starts with LF after a comment ended by CR: only one LF is the line end.
    EXPECT_EQ(Body("%%BeginBinary: 4\r\n\n%%z\n%%EndBinary\n"),
              "% %%BeginBinary: 4\r\n\n%%z\n% %%EndBinary\n");
    // Data that ends inside a line: the line goes on after it, no comment starts there.
    EXPECT_EQ(Body("%%BeginBinary: 2\n%%%%x\n%%y"), "% %%BeginBinary: 2\n%%%%x\n% %%y\r\n");
}

TEST_F(DataSectionTest, CountsInLines) {
    EXPECT_EQ(Body("%!PS\n%%BeginData: 3 ASCII Lines\n%%a\r\n\rb\r%%EndData\n"),
              "% %!PS\n% %%BeginData: 3 ASCII Lines\n%%a\r\n\rb\r% %%EndData\n");
    // "Lines" must be the third word; otherwise the count is in bytes.
    EXPECT_EQ(Body("%%BeginData: 2 Lines\n\n\n%%x\n"), "% %%BeginData: 2 Lines\n\n\n% %%x\n");
}

TEST_F(DataSectionTest, CountsThatDoNotFitCopyToTheEnd) {
    EXPECT_EQ(Body("%%BeginBinary: 99999\nabc\r\n%%x"), "% %%BeginBinary: 99999\nabc\r\n%%x\r\n");
    EXPECT_EQ(Body("%%BeginData:\n\r\n%%x\n"), "% %%BeginData:\n\r\n%%x\n");
    EXPECT_EQ(Body("%%BeginData: -5 Binary Bytes\n\n%%x\n"),
              "% %%BeginData: -5 Binary Bytes\n\n%%x\n");
    EXPECT_EQ(Body("%%BeginData: 12abc\n%%x\n"), "% %%BeginData: 12abc\n%%x\n");
    EXPECT_EQ(Body("%%BeginData: 5 ASCII Lines\na\n%%b\n"),
              "% %%BeginData: 5 ASCII Lines\na\n%%b\n");
    // A count of 0: no data, the line rules go on at once.
    EXPECT_EQ(Body("%%BeginData: 0\r\n%%EndData\n"), "% %%BeginData: 0\r\n% %%EndData\n");
    // The comment at the very end of the file.
    EXPECT_EQ(Body("%%BeginBinary: 10"), "% %%BeginBinary: 10\r\n");
}

TEST_F(DataSectionTest, SectionsAcrossBlockBoundaries) {
    std::mt19937 Rng(5);
    // Streams are read in blocks of 256 KB, files in windows of 1 MB, the next one read ahead.
    for (std::size_t Lead : {990u, 1023u, 1024u, 1025u, 262140u, 262143u, 262144u, 262150u,
                             1048570u, 1048575u, 2097148u}) {
        std::string Data;
        for (int I = 0; I < 2500; ++I)
            Data.push_back(static_cast<char>(Rng() % 16 ? Rng() % 40 : '%'));
        const std::string Pad(Lead, 'p');
        const std::string Eps =
            Pad + "\r\n%%BeginData: 2500 Binary Bytes\r\n" + Data + "\r\n%%EndData";
        EXPECT_EQ(Body(Eps),
                  Pad + "\r\n% %%BeginData: 2500 Binary Bytes\r\n" + Data + "\r\n% %%EndData\r\n")
            << "lead " << Lead;
    }
}

TEST_F(DataSectionTest, FilesWithoutSectionsAreCopiedAsBefore) {
    EXPECT_EQ(Body("%!PS\n%%BeginDocument: x\n\n%%Begin\na\n"),
              "% %!PS\n% %%BeginDocument: x\n\n% %%Begin\na\n");
}

namespace {

// Reads a binary PPM (P6) image.
struct TImage {
    int W = 0, H = 0;
    std::string Pixels;
    int At(int X, int Y, int C) const {
        return static_cast<unsigned char>(Pixels[(static_cast<std::size_t>(Y) * W + X) * 3 + C]);
    }
};

TImage ReadPpm(const std::string& Path) {
    TImage Img;
    const std::string S = ReadFile(Path);
    std::size_t Pos = 0;
    auto Token = [&]() {
        for (;;) {
            while (Pos < S.size() && std::isspace(static_cast<unsigned char>(S[Pos])))
                ++Pos;
            if (Pos >= S.size() || S[Pos] != '#') break;
            while (Pos < S.size() && S[Pos] != '\n')
                ++Pos; // a comment line
        }
        const std::size_t B = Pos;
        while (Pos < S.size() && !std::isspace(static_cast<unsigned char>(S[Pos])))
            ++Pos;
        return S.substr(B, Pos - B);
    };
    if (Token() != "P6") return Img;
    Img.W = std::stoi(Token());
    Img.H = std::stoi(Token());
    Token(); // maximum value
    Img.Pixels = S.substr(Pos + 1);
    if (Img.Pixels.size() < static_cast<std::size_t>(Img.W) * Img.H * 3) Img.W = Img.H = 0;
    return Img;
}

} // namespace

TEST_F(DataSectionTest, AnImageMagickPictureOnASheetPrintsAsItself) {
    // ImageMagick writes its pixels as binary data after "%%BeginData: ... Binary Bytes".
    const std::string Rose = Dir.File("rose.eps");
    const auto Made =
        zarvotest::RunProgram({"convert", "rose:", "-resize", "200%", "eps2:" + Rose});
    if (Made.Status != 0) GTEST_SKIP() << "ImageMagick cannot write EPS here: " << Made.Err;
    ASSERT_NE(ReadFile(Rose).find("%%BeginData:"), std::string::npos);

    TSheet S;
    TEPSBox B(S.FBoxSize);
    B.Name = Rose;
    ASSERT_TRUE(ReadEpsHeader(Rose, B.Kind, B.Size, B.Offset));
    ASSERT_EQ(B.Kind, KindBBox);
    B.Origin = {0.0, 20.0}; // 20.0 cm is 567 whole points: the picture lands on whole pixels
    S.FItems.Add(B.Name, B);
    const std::string Job = Dir.File("job.ps");
    const TPrintResult R = PrintSheet(S, Job, Job);
    ASSERT_TRUE(R.Ok) << R.Message;
    const auto Box = zarvotest::RenderBBox(Job);
    EXPECT_TRUE(Box.Ok) << Box.Output;
    EXPECT_EQ(Box.Pages.size(), 1u);

    const std::string PagePpm = Dir.File("page.ppm"), AlonePpm = Dir.File("alone.ppm");
    ASSERT_EQ(zarvotest::RunProgram({"gs", "-q", "-dSAFER", "-dBATCH", "-dNOPAUSE", "-r72",
                                     "-g595x842", "-sDEVICE=ppmraw", "-o", PagePpm, Job})
                  .Status,
              0);
    ASSERT_EQ(zarvotest::RunProgram({"gs", "-q", "-dSAFER", "-dBATCH", "-dNOPAUSE", "-r72",
                                     "-dEPSCrop", "-sDEVICE=ppmraw", "-o", AlonePpm, Rose})
                  .Status,
              0);
    const TImage Page = ReadPpm(PagePpm), Alone = ReadPpm(AlonePpm);
    ASSERT_GT(Alone.W, 100);
    ASSERT_EQ(Page.W, 595);
    // The picture's lower-left corner is at (0, 567) points: rows from 842 - 567 upwards.
    const int Top = 842 - 567 - Alone.H;
    long long Diff = 0;
    int Worst = 0;
    for (int Y = 0; Y < Alone.H; ++Y)
        for (int X = 0; X < Alone.W; ++X)
            for (int C = 0; C < 3; ++C) {
                const int D = std::abs(Page.At(X, Top + Y, C) - Alone.At(X, Y, C));
                Diff += D;
                Worst = std::max(Worst, D);
            }
    const double Mean = static_cast<double>(Diff) / (Alone.W * Alone.H * 3);
    EXPECT_LT(Mean, 2.0) << "worst " << Worst;
    // And the picture is really there: not a blank region.
    long long Ink = 0;
    for (int Y = 0; Y < Alone.H; ++Y)
        for (int X = 0; X < Alone.W; ++X)
            Ink += 255 - Page.At(X, Top + Y, 0);
    EXPECT_GT(Ink / (Alone.W * Alone.H), 20);
}
