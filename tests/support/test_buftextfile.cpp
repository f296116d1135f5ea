// Tests of the buffered text files: line ends, block boundaries and the block writes.
#include "support/buftextfile.h"
#include "support/inouterror.h"
#include "testsupport.h"

#include <gtest/gtest.h>

#include <random>

using namespace zarvo;

namespace {

// A target that records the size of every block handed to it.
class TBlockRecorder : public TByteTarget {
public:
    explicit TBlockRecorder(std::vector<std::size_t>& Blocks) : Blocks(Blocks) {}
    void Write(const unsigned char*, std::size_t Count) override { Blocks.push_back(Count); }
    void Flush() override {}
    void Close() override {}

private:
    std::vector<std::size_t>& Blocks;
};

// All lines of Data as ReadBufLine gives them, and whether BufEof held after each.
std::vector<std::string> ReadAllLines(const std::string& Data, std::size_t Chunk = 0) {
    TBufTextFile F;
    std::unique_ptr<TByteSource> S;
    if (Chunk)
        S = std::make_unique<zarvotest::TChunkySource>(Data, Chunk);
    else
        S = MakeMemorySource(Data);
    EXPECT_TRUE(OpenBufRead(F, std::move(S), "mem"));
    std::vector<std::string> Lines;
    std::string Line;
    int Guard = 0;
    while (!BufEof(F) && ++Guard < 1000000) {
        ReadBufLine(F, Line);
        Lines.push_back(Line);
    }
    CloseBufRead(F);
    return Lines;
}

using Lines = std::vector<std::string>;

} // namespace

TEST(BufRead, LineEndsOfEveryKind) {
    EXPECT_EQ(ReadAllLines("A\r\nB\nC\rD"), (Lines{"A", "B", "C", "D"}));
    // Every LF directly after a CR-ended line is skipped; LF CR ends two lines.
    EXPECT_EQ(ReadAllLines("A\r\n\nB"), (Lines{"A", "B"}));
    EXPECT_EQ(ReadAllLines("A\n\rB"), (Lines{"A", "", "B"}));
    // Form feed and NUL end a line and are not returned.
    EXPECT_EQ(ReadAllLines(std::string("A\fB\0C", 5)), (Lines{"A", "B", "C"}));
    // Bytes 128 to 255 pass unchanged.
    EXPECT_EQ(ReadAllLines("\xe4\xf6\xfc\xff\x80"), (Lines{"\xe4\xf6\xfc\xff\x80"}));
}

TEST(BufRead, EndOfDataRules) {
    // An empty file: not at the end before the first read, one empty line.
    EXPECT_EQ(ReadAllLines(""), (Lines{""}));
    // A last line ended by CR LF gives one further empty line; a lone LF or CR none.
    EXPECT_EQ(ReadAllLines("A\r\n"), (Lines{"A", ""}));
    EXPECT_EQ(ReadAllLines("A\n"), (Lines{"A"}));
    EXPECT_EQ(ReadAllLines("A\r"), (Lines{"A"}));
}

TEST(BufRead, BlockBoundaries) {
    // Exactly 1024 bytes: the end is only known after one more (empty) read.
    const std::string Full(1023, 'x');
    EXPECT_EQ(ReadAllLines(Full + "\n"), (Lines{Full, ""}));
    const std::string Two(2047, 'y');
    EXPECT_EQ(ReadAllLines(Two + "\n"), (Lines{Two, ""}));
    // CR as the last byte of one block and LF as the first of the next: one line end.
    const std::string A(1023, 'a');
    EXPECT_EQ(ReadAllLines(A + "\r\nB"), (Lines{A, "B"}));
    // A line longer than several blocks.
    const std::string Long(5000, 'z');
    EXPECT_EQ(ReadAllLines("%!\n" + Long + "\nend"), (Lines{"%!", Long, "end"}));
}

TEST(BufRead, SourcesThatDeliverInSmallPiecesReadTheSame) {
    std::mt19937 Rng(7);
    const char Alphabet[] = "ab%!\r\n\f\0";
    for (int Round = 0; Round < 40; ++Round) {
        std::string Data;
        const int Len = static_cast<int>(Rng() % 4000);
        for (int I = 0; I < Len; ++I)
            Data.push_back(Alphabet[Rng() % 8]);
        const Lines Expected = ReadAllLines(Data);
        EXPECT_EQ(ReadAllLines(Data, 1), Expected);
        EXPECT_EQ(ReadAllLines(Data, 333), Expected);
    }
}

TEST(BufRead, LinesMatchByteWiseReadingAcrossBlocks) {
    std::mt19937 Rng(3);
    const char Alphabet[] = "ab\r\n\f";
    for (int Round = 0; Round < 200; ++Round) {
        std::string Data;
        // Sizes around whole blocks, where runs and single bytes meet.
        const int Len =
            Round < 20 ? 1024 * (Round % 4) + Round / 4 - 2 : static_cast<int>(Rng() % 5000);
        for (int I = 0; I < Len; ++I)
            Data.push_back(Rng() % 40 == 0 ? '\0' : Alphabet[Rng() % 5]);
        if (Round % 5 == 0) Data.insert(Data.size() / 2, std::string(Rng() % 2100, 'x'));
        ASSERT_EQ(ReadAllLines(Data), zarvotest::ReadLinesByteWise(Data)) << "round " << Round;
    }
}

TEST(BufRead, RunsTakeTheSameBytesAsSingleReads) {
    std::string Data;
    for (int I = 0; I < 3000; ++I)
        Data.push_back(static_cast<char>(I * 7 % 256));
    Data[1023] = 13; // a stop byte that ends a block
    Data[1024] = 13; // and one that starts the next
    TBufTextFile F;
    ASSERT_TRUE(OpenBufRead(F, MakeMemorySource(Data), "mem"));
    std::string Got;
    const TStopSet Stop{13};
    while (!BufEof(F)) {
        const std::uint8_t* Run;
        int Stopper;
        const std::size_t N = ReadBufRun(F, Stop, 100, Run, Stopper);
        Got.append(reinterpret_cast<const char*>(Run), N);
        if (Stopper >= 0) Got.push_back(static_cast<char>(Stopper));
    }
    EXPECT_EQ(Got, Data);
    EXPECT_EQ(ReadBufChar(F), 0); // no data left: NUL
}

TEST(BufRead, FailedOpenReportsFalseAndTheFirstReadRaises) {
    TBufTextFile F;
    EXPECT_FALSE(OpenBufRead(F, "/nonexistent/zarvo/file.eps"));
    std::string Line;
    EXPECT_THROW(ReadBufLine(F, Line), EInOutError);
    EXPECT_FALSE(TryResetText("/nonexistent/zarvo/file.eps"));
    zarvotest::TTempDir Dir;
    EXPECT_FALSE(OpenBufRead(F, Dir.Path())); // a folder is not a file
}

TEST(BufWrite, BlocksGoOutOnlyWhenAFurtherByteArrives) {
    std::vector<std::size_t> Blocks;
    TBufTextFile F;
    OpenBufWrite(F, std::make_unique<TBlockRecorder>(Blocks), "rec");
    WriteBufStr(F, std::string(1024, 'x'));
    EXPECT_TRUE(Blocks.empty());
    CloseBufWrite(F);
    EXPECT_EQ(Blocks, (std::vector<std::size_t>{1024}));

    Blocks.clear();
    OpenBufWrite(F, std::make_unique<TBlockRecorder>(Blocks), "rec");
    for (int I = 0; I < 1024; ++I)
        WriteBufChar(F, 'y');
    EXPECT_TRUE(Blocks.empty());
    WriteBufChar(F, 'z');
    EXPECT_EQ(Blocks, (std::vector<std::size_t>{1024}));
    CloseBufWrite(F);
    EXPECT_EQ(Blocks, (std::vector<std::size_t>{1024, 1}));

    // FlushBuf hands over what waits, once.
    Blocks.clear();
    OpenBufWrite(F, std::make_unique<TBlockRecorder>(Blocks), "rec");
    WriteBufLine(F, "%!PS-Adobe");
    FlushBuf(F);
    FlushBuf(F);
    EXPECT_EQ(Blocks, (std::vector<std::size_t>{12}));
    CloseBufWrite(F);
    EXPECT_EQ(Blocks.size(), 1u);
}

TEST(BufWrite, LinesEndWithCrLfAndBytesPassUnchanged) {
    std::string Out;
    TBufTextFile F;
    OpenBufWrite(F, MakeMemoryTarget(Out), "mem");
    WriteBufLine(F, "");
    WriteBufLine(F, "\xe4\xff");
    WriteBufStr(F, "x");
    CloseBufWrite(F);
    EXPECT_EQ(Out, "\r\n\xe4\xff\r\nx");
}

TEST(BufWrite, FailuresRaise) {
    TBufTextFile F;
    EXPECT_THROW(OpenBufWrite(F, "/nonexistent/zarvo/out.ps"), EInOutError);
    OpenBufWrite(F, "/dev/full");
    WriteBufLine(F, "%!PS-Adobe");
    EXPECT_THROW(FlushBuf(F), EInOutError);

    std::string Out;
    OpenBufWrite(F, MakeMemoryTarget(Out, 1500), "mem");
    WriteBufStr(F, std::string(1024, 'a'));
    WriteBufStr(F, std::string(1024, 'b')); // the first block goes out and fits
    EXPECT_THROW(CloseBufWrite(F), EInOutError);
}

TEST(BufFiles, RoundTripThroughARealFile) {
    zarvotest::TTempDir Dir;
    const std::string Path = Dir.File("lines.txt");
    TBufTextFile W;
    OpenBufWrite(W, Path);
    for (int I = 0; I < 500; ++I)
        WriteBufLine(W, "Zeile " + std::to_string(I));
    CloseBufWrite(W);
    const std::string Bytes = zarvotest::ReadFile(Path);
    ASSERT_GT(Bytes.size(), 1024u);
    const Lines Got = ReadAllLines(Bytes);
    ASSERT_EQ(Got.size(), 501u);
    EXPECT_EQ(Got[499], "Zeile 499");
    EXPECT_EQ(Got[500], "");
}
