// Tests of the EPS header reader: PostScript check, bounding box and its numbers.
#include "sheet/epsheader.h"
#include "support/winsub.h"
#include "testsupport.h"

#include <gtest/gtest.h>

#include <fcntl.h>
#include <unistd.h>

using namespace zarvo;

namespace {

class EpsHeaderTest : public ::testing::Test {
protected:
    struct TResult {
        bool Ok;
        std::uint8_t Kind;
        TCmPair Size, Offset;
    };
    // Reads a file with the given contents, starting from a 10 x 10 cm standard box.
    TResult Read(const std::string& Contents, const std::string& Name = "bild.eps") {
        const std::string Path = Dir.File(Name);
        zarvotest::WriteFile(Path, Contents);
        return ReadPath(Path);
    }
    TResult ReadPath(const std::string& Path) {
        TResult R{false, KindStdSize, {10.0, 10.0}, {0.0, 0.0}};
        R.Ok = Record(ReadEpsHeader(Path, R.Kind, R.Size, R.Offset));
        return R;
    }
    // Keeps the message of a result, as the window would show it.
    bool Record(const TStatus& S) {
        if (!S.Message().empty()) Messages.push_back(S.Message());
        return S.Ok();
    }
    // The reader returns its messages and never opens a message box itself.
    void TearDown() override { EXPECT_TRUE(Dialogs.Errors.empty()); }
    zarvotest::TTempDir Dir;
    zarvotest::TRecordingDialogs Dialogs;
    std::vector<std::string> Messages;
};

std::string WithBBoxOnLine(int Line, const std::string& BBox) {
    std::string S = "%!PS-Adobe-3.0 EPSF-3.0\r\n";
    for (int I = 2; I < Line; ++I)
        S += "%%Title: line " + std::to_string(I) + "\r\n";
    return S + BBox + "\r\nshowpage\r\n";
}

} // namespace

TEST_F(EpsHeaderTest, BoundingBoxInPointsBecomesCentimetres) {
    auto R = Read(WithBBoxOnLine(5, "%%BoundingBox: 0 0 595 842"));
    ASSERT_TRUE(R.Ok);
    EXPECT_EQ(R.Kind, KindBBox);
    EXPECT_NEAR(R.Offset.X, 0.0, 1e-12);
    EXPECT_NEAR(R.Size.X, 20.99, 0.005);
    EXPECT_NEAR(R.Size.Y, 29.70, 0.005);
    EXPECT_TRUE(Messages.empty());

    R = Read(WithBBoxOnLine(2, "%%BoundingBox:   10  20    110 220"));
    EXPECT_NEAR(R.Offset.X, 0.35, 0.005);
    EXPECT_NEAR(R.Offset.Y, 0.71, 0.005);
    EXPECT_NEAR(R.Size.X, 3.53, 0.005);
    EXPECT_NEAR(R.Size.Y, 7.05, 0.005);
    // 1 cm is 28.35 points: 0 to 567 points is 20 cm.
    R = Read(WithBBoxOnLine(3, "%%BoundingBox: 0 0 567 567"));
    EXPECT_DOUBLE_EQ(R.Size.X, 20.0);
}

TEST_F(EpsHeaderTest, NumbersThatAreMissingOrNotWholeTakeTheirDefaults) {
    // A word instead of numbers: all four default; 10 cm is 284 whole points.
    auto R = Read(WithBBoxOnLine(2, "%%BoundingBox: (none)"));
    EXPECT_EQ(R.Kind, KindBBox);
    EXPECT_EQ(R.Offset, (TCmPair{0.0, 0.0}));
    EXPECT_NEAR(R.Size.X, 284 / 28.35, 1e-12);
    EXPECT_NEAR(R.Size.X, 10.0176, 1e-4);
    // Tabs are not blanks: the first token runs to the end of the line.
    R = Read(WithBBoxOnLine(2, "%%BoundingBox:\t10\t20\t110\t220"));
    EXPECT_EQ(R.Offset, (TCmPair{0.0, 0.0}));
    EXPECT_NEAR(R.Size.Y, 284 / 28.35, 1e-12);
    R = Read(WithBBoxOnLine(2, "%%BoundingBox: 0 0 100.5 200"));
    EXPECT_NEAR(R.Size.X, 284 / 28.35, 1e-12);
    EXPECT_NEAR(R.Size.Y, 200 / 28.35, 1e-12);
    // Corners given the wrong way round describe the same box.
    R = Read(WithBBoxOnLine(2, "%%BoundingBox: 110 220 10 20"));
    EXPECT_NEAR(R.Offset.X, 10 / 28.35, 1e-12);
    EXPECT_NEAR(R.Size.Y, 200 / 28.35, 1e-12);
    R = Read(WithBBoxOnLine(2, "%%BoundingBox: -10 -20 90 80"));
    EXPECT_NEAR(R.Offset.Y, -20 / 28.35, 1e-12);
    EXPECT_NEAR(R.Size.X, 100 / 28.35, 1e-12);
    // Each side falls back to its own default: a box of 4 x 3 cm is 113 x 85 whole points.
    const std::string Path = Dir.File("oblong.eps");
    zarvotest::WriteFile(Path, WithBBoxOnLine(2, "%%BoundingBox: (none)"));
    TCmPair Size{4.0, 3.0}, Offset{1.0, 1.0};
    std::uint8_t Kind = KindStdSize;
    ASSERT_TRUE(Record(ReadEpsHeader(Path, Kind, Size, Offset)));
    EXPECT_NEAR(Size.X, 113 / 28.35, 1e-12);
    EXPECT_NEAR(Size.Y, 85 / 28.35, 1e-12);
    EXPECT_EQ(Offset, (TCmPair{0.0, 0.0}));
}

TEST_F(EpsHeaderTest, ABoxGivenAtTheEndIsReadFromTheTrailer) {
    // The last box line with numbers counts, read with the header's number rules.
    const std::string Head = "%!PS-Adobe-3.0 EPSF-3.0\n%%BoundingBox: (atend)\n";
    auto R = Read(Head + "%%BoundingBox: 1 2 3 4\nx\n%%Trailer\r\n%%BoundingBox: 28 0 85 "
                         "x\r\n%%BoundingBox: (atend)\n");
    EXPECT_EQ(R.Kind, KindBBox);
    EXPECT_NEAR(R.Offset.X, 28 / 28.35, 1e-12);
    EXPECT_NEAR(R.Size.X, 57 / 28.35, 1e-12);
    EXPECT_NEAR(R.Size.Y, 284 / 28.35, 1e-12);
    EXPECT_TRUE(Messages.empty());
    // Far from the end of a large file (beyond the tail read first): the file is read on.
    const std::string Body(200 * 1024, '\n');
    R = Read(Head + "%%BoundingBox: 0 0 57 85\n" + Body + "%%EOF\n");
    EXPECT_EQ(R.Kind, KindBBox);
    EXPECT_NEAR(R.Size.Y, 85 / 28.35, 1e-12);
    // Behind a long line cut by the tail, and without a line end of its own.
    R = Read(Head + std::string(70 * 1024, ' ') + "\n%%BoundingBox: 0 0 10 20");
    EXPECT_NEAR(R.Size.Y, 20 / 28.35, 1e-12);
    // Ctrl-Z ends the data also at the end.
    R = Read(Head + "%%BoundingBox: 0 0 10 30\n\x1a%%BoundingBox: 0 0 10 40\n");
    EXPECT_NEAR(R.Size.Y, 30 / 28.35, 1e-12);
    // No box anywhere: the standard size stays, and the user is told.
    R = Read(Head + "%%Trailer\n%%BoundingBox: (atend)\n", "ohne.eps");
    EXPECT_TRUE(R.Ok);
    EXPECT_EQ(R.Kind, KindStdSize);
    EXPECT_EQ(R.Size, (TCmPair{10.0, 10.0}));
    ASSERT_EQ(Messages.size(), 1u);
    EXPECT_EQ(Messages[0], "Keine Bounding Box in " + ShortenPath(Dir.File("ohne.eps"), 20) +
                                     "\rVerwende Standardgröße");
}

TEST_F(EpsHeaderTest, DosEpsFilesAreReadFromTheirPostScriptSection) {
    // The binary header: magic, offset and length of the PostScript, then the previews'.
    auto DosEps = [](const std::string& PS, std::uint32_t Start, std::uint32_t Length) {
        std::string H = "\xC5\xD0\xD3\xC6";
        for (std::uint32_t V : {Start, Length, 0u, 0u, Start + Length, 4u})
            for (int I = 0; I < 4; ++I)
                H.push_back(static_cast<char>(V >> (8 * I) & 0xFF));
        H += "\xFF\xFF";
        return H + PS + "TIFF";
    };
    const std::string PS = "%!PS-Adobe-3.0 EPSF-3.0\n%%BoundingBox: 0 0 57 85\n%%EOF\n";
    auto R = Read(DosEps(PS, 30, static_cast<std::uint32_t>(PS.size())));
    EXPECT_TRUE(R.Ok);
    EXPECT_EQ(R.Kind, KindBBox);
    EXPECT_NEAR(R.Size.Y, 85 / 28.35, 1e-12);
    // (atend) within the section: its tail is the section's, not the file's preview.
    const std::string AtEnd = "%!PS\n%%BoundingBox: (atend)\n%%BoundingBox: 0 0 10 20\n";
    R = Read(DosEps(AtEnd, 30, static_cast<std::uint32_t>(AtEnd.size())));
    EXPECT_NEAR(R.Size.Y, 20 / 28.35, 1e-12);
    // Offsets that point outside the file, or into the header, are refused with a message.
    const std::string Cut("\xC5\xD0\xD3\xC6 binary", 11);
    for (const std::string& Bad :
         {DosEps(PS, 30, 5000), DosEps(PS, 0xFFFFFFF0u, 100), DosEps(PS, 4, 20), Cut}) {
        Messages.clear();
        R = Read(Bad, "kaputt.eps");
        EXPECT_FALSE(R.Ok);
        ASSERT_EQ(Messages.size(), 1u);
        EXPECT_EQ(Messages[0], "Ungültiger DOS-EPS-Kopf in " +
                                         ShortenPath(Dir.File("kaputt.eps"), 20) +
                                         ": der PostScript-Teil liegt außerhalb der Datei");
    }
}

TEST_F(EpsHeaderTest, ParseBBoxNumberTakesOneTokenAtATime) {
    std::string Line = "  12 -3 +4  x 99999999999 ";
    EXPECT_EQ(ParseBBoxNumber(Line, 7), 12);
    EXPECT_EQ(ParseBBoxNumber(Line, 7), -3);
    EXPECT_EQ(ParseBBoxNumber(Line, 7), 4);
    EXPECT_EQ(ParseBBoxNumber(Line, 7), 7); // the empty token between two blanks
    EXPECT_EQ(ParseBBoxNumber(Line, 7), 7); // x
    EXPECT_EQ(ParseBBoxNumber(Line, 7), 7); // too large for a whole number
    EXPECT_EQ(ParseBBoxNumber(Line, 7), 7); // nothing left
    EXPECT_EQ(Line, "");
}

TEST_F(EpsHeaderTest, WithoutBoundingBoxTheStandardSizeStaysAndTheUserIsTold) {
    for (const std::string& Contents : {WithBBoxOnLine(101, "%%BoundingBox: 0 0 10 10"),
                                        WithBBoxOnLine(3, "%%boundingbox: 0 0 10 10"),
                                        WithBBoxOnLine(3, " %%BoundingBox: 0 0 10 10"),
                                        // Ctrl-Z ends the data of a text file.
                                        std::string("%!PS\r\n\x1a%%BoundingBox: 0 0 10 10\r\n")}) {
        Messages.clear();
        const auto R = Read(Contents, "nobbox.eps");
        EXPECT_TRUE(R.Ok);
        EXPECT_EQ(R.Kind, KindStdSize);
        EXPECT_EQ(R.Size, (TCmPair{10.0, 10.0}));
        ASSERT_EQ(Messages.size(), 1u);
        EXPECT_EQ(Messages[0], "Keine Bounding Box in " +
                                         ShortenPath(Dir.File("nobbox.eps"), 20) +
                                         "\rVerwende Standardgröße");
    }
}

TEST_F(EpsHeaderTest, LineEndsOfOtherSystems) {
    EXPECT_EQ(Read("%!PS\n%%Title: x\n%%BoundingBox: 0 0 10 20\n").Kind, KindBBox);
    EXPECT_EQ(Read("%!PS\r%%BoundingBox: 0 0 10 20\r").Kind, KindBBox);
    // Line 100 is still searched.
    EXPECT_EQ(Read(WithBBoxOnLine(100, "%%BoundingBox: 0 0 10 20")).Kind, KindBBox);
}

TEST_F(EpsHeaderTest, FilesThatAreNotPostScriptAreRejected) {
    const std::string Short = ShortenPath(Dir.File("bild.eps"), 20);
    for (const std::string& Contents :
         {std::string("%%BoundingBox: 0 0 10 10\n"), std::string("\xEF\xBB\xBF%!PS-Adobe-3.0\n"),
          std::string("%"), std::string()}) {
        Messages.clear();
        const auto R = Read(Contents);
        EXPECT_FALSE(R.Ok);
        ASSERT_EQ(Messages.size(), 1u);
        EXPECT_EQ(Messages[0], "Kein Postscript in " + Short);
    }
    Messages.clear();
    EXPECT_FALSE(ReadPath(Dir.File("weg.eps")).Ok);
    ASSERT_EQ(Messages.size(), 1u);
    EXPECT_EQ(Messages[0],
              "Datei " + ShortenPath(Dir.File("weg.eps"), 20) + " nicht gefunden!");
}

TEST_F(EpsHeaderTest, AHugeFileWithoutLineEndsIsReadToItsEnd) {
    // 100 MB after "%!" without a line end (sparse: no disk space needed).
    const std::string Path = Dir.File("huge.eps");
    zarvotest::WriteFile(Path, "%!PS");
    const int Fd = ::open(Path.c_str(), O_WRONLY);
    ASSERT_GE(Fd, 0);
    ASSERT_EQ(::ftruncate(Fd, 100LL * 1024 * 1024), 0);
    ::close(Fd);
    const auto R = ReadPath(Path);
    EXPECT_TRUE(R.Ok);
    EXPECT_EQ(R.Kind, KindStdSize);
    EXPECT_EQ(Messages.size(), 1u);
}
