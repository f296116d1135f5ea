// Tests of the print job: its lines byte for byte, the EPS copy rules, texts and failures.
#include "output/printjob.h"
#include "support/winsub.h"
#include "testsupport.h"

#include <gtest/gtest.h>

#include <memory>
#include <random>

#include <unistd.h>

using namespace zarvo;
using zarvotest::JobLines;
using zarvotest::ReadFile;
using zarvotest::WriteFile;

namespace {

const std::string WorkedEps = "%!PS-Adobe-3.0 EPSF-3.0\r\n%%BoundingBox: 14 14 114 64\r\n\r\n"
                              "newpath 14 14 moveto 114 64 lineto stroke\r\nshowpage\r\n%%EOF\r\n";

TEPSBox Eps(const std::string& Path, TCmPair Origin, TCmPair Offset = {0, 0}) {
    return zarvotest::MakeEpsItem(Path, Origin, Offset);
}

TEPSBox Text(const std::string& S, TCmPair Origin, int Type = 1, int Style = 0, int Size = 18) {
    return zarvotest::MakeTextItem(S, Origin, Type, Style, Size);
}

// The job for a sheet, composed in memory.
std::string Job(const TSheet& Sheet) {
    std::string Out;
    const TPrintResult R = PrintSheetTo(Sheet, "mem", MakeMemoryTarget(Out));
    EXPECT_TRUE(R.Ok) << R.Message;
    return Out;
}

// The lines CopyPSFile writes for the contents of one EPS file (without save, the
// definitions, the translation and restore).
std::string CopiedBody(const std::string& Contents) {
    zarvotest::TTempDir Dir;
    WriteFile(Dir.File("x.eps"), Contents);
    std::string Out;
    TBufTextFile W;
    OpenBufWrite(W, MakeMemoryTarget(Out), "mem");
    CopyPSFile(W, Eps(Dir.File("x.eps"), {0, 0}));
    CloseBufWrite(W);
    const std::string Head = "save\r\n/copypage {} bind def /showpage {} bind def /erasepage {} "
                             "bind def\r\n" + std::string(EpsWrapperBegin) +
                             "\r\n 0.0 cm  0.0 cm translate\r\n";
    const std::string Tail = std::string(EpsWrapperEnd) + "\r\nrestore\r\n";
    EXPECT_EQ(Out.substr(0, Head.size()), Head);
    EXPECT_EQ(Out.substr(Out.size() - Tail.size()), Tail);
    return Out.substr(Head.size(), Out.size() - Head.size() - Tail.size());
}

// The copy rules one byte at a time: "% " before every "%!" or "%%" that starts a line (after
// CR or LF), CR LF after a last line without a line end.
std::string ReferenceBody(const std::string& Contents) {
    std::string Out;
    for (std::size_t I = 0; I < Contents.size(); ++I) {
        const bool LineStart = I == 0 || Contents[I - 1] == '\r' || Contents[I - 1] == '\n';
        if (LineStart && Contents.compare(I, 2, "%!") == 0) Out += "% ";
        if (LineStart && Contents.compare(I, 2, "%%") == 0) Out += "% ";
        Out += Contents[I];
    }
    if (!Out.empty() && Out.back() != '\r' && Out.back() != '\n') Out += "\r\n";
    return Out;
}

class PrintJobTest : public ::testing::Test {
protected:
    zarvotest::TTempDir Dir;
};

} // namespace

TEST_F(PrintJobTest, TheWorkedExampleLineForLine) {
    WriteFile(Dir.File("line.eps"), WorkedEps);
    TSheet S;
    S.FLandscape = true;
    S.FItems.Add("a", Eps(Dir.File("line.eps"), {3.0, 4.0}, {14 / 28.35, 14 / 28.35}));
    TEPSBox Hallo = Text("Hallo", {12.0, 15.5}, 1, 2, 24);
    S.FItems.Add("b", Hallo);
    const std::vector<std::string> L = JobLines(Job(S));
    const std::vector<std::string> Expected = {
        "%!PS-Adobe",
        "(creator)",
        "%%BoundingBox: 0 0 839 595",
        "/psdict 120 dict def psdict begin",
        "/cm {28.35 mul} def",
        "21.0 cm 0 translate 90 rotate",
        "",
        "save",
        "/copypage {} bind def /showpage {} bind def /erasepage {} bind def",
        "/setpagedevice {pop} bind def count /ZarvoOps exch def /ZarvoDicts countdictstack def",
        " 2.5 cm  3.5 cm translate",
        "% %!PS-Adobe-3.0 EPSF-3.0",
        "% %%BoundingBox: 14 14 114 64",
        "",
        "newpath 14 14 moveto 114 64 lineto stroke",
        "showpage",
        "% %%EOF",
        "count ZarvoOps sub {pop} repeat countdictstack ZarvoDicts sub {end} repeat",
        "restore",
        "",
        "save",
        "/Helvetica-Bold findfont",
        "24 scalefont setfont",
        "12.0 cm 15.5 cm moveto",
        "(Hallo) show",
        "restore",
        "showpage end",
    };
    ASSERT_EQ(L.size(), Expected.size());
    for (std::size_t I = 0; I < L.size(); ++I) {
        if (I == 1)
            EXPECT_EQ(L[I].rfind("%%Creator: ", 0), 0u) << L[I];
        else
            EXPECT_EQ(L[I], Expected[I]) << "line " << I + 1;
    }
}

TEST_F(PrintJobTest, EmptySheetsPrintABlankPage) {
    TSheet S;
    std::vector<std::string> L = JobLines(Job(S));
    ASSERT_EQ(L.size(), 6u);
    EXPECT_EQ(L[2], "%%BoundingBox: 0 0 595 839");
    EXPECT_EQ(L[5], "showpage end");
    S.FLandscape = true;
    L = JobLines(Job(S));
    ASSERT_EQ(L.size(), 7u);
    EXPECT_EQ(L[2], "%%BoundingBox: 0 0 839 595");
    EXPECT_EQ(L[5], "21.0 cm 0 translate 90 rotate");
    // Whole points round halves to the even neighbour: 30.0 cm is 850, 10.0 cm is 284.
    S.FLandscape = false;
    S.FPaperSize = {30.0, 10.0};
    EXPECT_EQ(JobLines(Job(S))[2], "%%BoundingBox: 0 0 850 284");
}

TEST_F(PrintJobTest, PositionsArePaddedToFourCharacters) {
    WriteFile(Dir.File("a.eps"), "%!PS\n");
    TSheet S;
    S.FItems.Add("a", Eps(Dir.File("a.eps"), {2.0, 3.5}, {0.5, 0.5}));
    S.FItems.Add("b", Text("t", {0, 0}));
    S.FItems.Add("c", Eps(Dir.File("a.eps"), {120.0, -1.5}));
    const std::string J = Job(S);
    EXPECT_NE(J.find("\r\n 1.5 cm  3.0 cm translate\r\n"), std::string::npos);
    EXPECT_NE(J.find("\r\n 0.0 cm  0.0 cm moveto\r\n"), std::string::npos);
    EXPECT_NE(J.find("\r\n120.0 cm -1.5 cm translate\r\n"), std::string::npos);
}

TEST_F(PrintJobTest, EpsBytesPassAsTheyStandButForStructuringComments) {
    // Line ends of every kind and empty lines stay, so that data read by byte count (Ghostscript's
    // eps2write streams) keeps its bytes; FF and NUL are no line ends. A last line without a
    // line end gets CR LF, so that the job's next line stands alone.
    EXPECT_EQ(CopiedBody("a\r\nb\nc\rd"), "a\r\nb\nc\rd\r\n");
    EXPECT_EQ(CopiedBody("a\n\n\r\n\rb\r\n"), "a\n\n\r\n\rb\r\n");
    EXPECT_EQ(CopiedBody(std::string("a\f%%b\0%!c\n", 10)), std::string("a\f%%b\0%!c\n", 10));
    EXPECT_EQ(CopiedBody(""), "");
    // Structuring comments at any line start are commented out; other comments stay.
    EXPECT_EQ(CopiedBody("%\n% note\n%%Page: 1 1\nx %%y\r%!PS\r\n%%\n%a"),
              "%\n% note\n% %%Page: 1 1\nx %%y\r% %!PS\r\n% %%\n%a\r\n");
    // Bytes above 127 pass unchanged.
    EXPECT_EQ(CopiedBody("(\xe4\xf6\xfc) show\n"), "(\xe4\xf6\xfc) show\n");
}

TEST_F(PrintJobTest, StreamedCopyMatchesTheRulesByteByByte) {
    std::mt19937 Rng(11);
    const char Alphabet[] = "%%!!ab \r\n\f";
    for (int Round = 0; Round < 100; ++Round) {
        std::string Data;
        const int Len =
            Round < 12 ? 1024 * (Round % 3 + 1) + Round / 3 - 1 : static_cast<int>(Rng() % 5000);
        for (int I = 0; I < Len; ++I)
            Data.push_back(Rng() % 50 == 0 ? '\0' : Alphabet[Rng() % 10]);
        if (Round % 3 == 0) Data += std::string(Rng() % 3000, 'L'); // long lines across blocks
        ASSERT_EQ(CopiedBody(Data), ReferenceBody(Data)) << "round " << Round;
    }
    // Comments and line ends that straddle the copy's large blocks.
    for (std::size_t Lead = 256 * 1024 - 3; Lead <= 256 * 1024 + 1; ++Lead) {
        std::string Data(Lead, 'x');
        Data[Lead - 1] = Lead % 2 ? '\r' : '\n';
        Data += "%%z\r\n%!q\n";
        ASSERT_EQ(CopiedBody(Data), ReferenceBody(Data)) << "lead " << Lead;
    }
    // A line of several megabytes is streamed, not truncated.
    const std::string Big = "%%" + std::string(3 * 1024 * 1024, 'q');
    const std::string Body = CopiedBody(Big + "\n");
    EXPECT_EQ(Body.size(), Big.size() + 3);
    EXPECT_EQ(Body.substr(0, 5), "% %%q");
}

// A target that shortens the EPS file being copied once the job has reached a given size, as
// another program writing the file anew would.
class TShorteningTarget : public TByteTarget {
public:
    TShorteningTarget(std::string& Out, std::string Victim, std::size_t After, bool& Done)
        : Out(Out), Victim(std::move(Victim)), After(After), Done(Done) {}
    void Write(const unsigned char* Data, std::size_t Count) override {
        Out.append(reinterpret_cast<const char*>(Data), Count);
        if (!Done && Out.size() > After) Done = ::truncate(Victim.c_str(), 100) == 0;
    }
    void Flush() override {}
    void Close() override {}

private:
    std::string& Out;
    std::string Victim;
    std::size_t After;
    bool& Done; // the file has been shortened
};

TEST_F(PrintJobTest, AFileShortenedWhileItIsCopiedEndsEarlyWithoutHarm) {
    const std::string Path = Dir.File("waechst.eps");
    WriteFile(Path, "%!PS-Adobe-3.0 EPSF-3.0\n" + std::string(3 * 1024 * 1024, 'a') + "\n");
    TSheet S;
    S.FItems.Add("e", Eps(Path, {1, 1}));
    std::string Out;
    bool Shortened = false;
    const TPrintResult R = PrintSheetTo(
        S, "mem", std::make_unique<TShorteningTarget>(Out, Path, 64 * 1024, Shortened));
    ASSERT_TRUE(Shortened);
    EXPECT_TRUE(R.Ok) << R.Message;
    EXPECT_LT(Out.size(), 3u * 1024 * 1024);
    EXPECT_EQ(Out.substr(Out.size() - 14), "showpage end\r\n");
}

TEST_F(PrintJobTest, TwoItemsOfOneFileGiveTwoCopies) {
    WriteFile(Dir.File("a.eps"), "%!PS\nmarker\n");
    TSheet S;
    S.FItems.Add("a", Eps(Dir.File("a.eps"), {1, 1}));
    S.FItems.Add("b", Eps(Dir.File("a.eps"), {5, 5}));
    const std::string J = Job(S);
    const auto First = J.find("marker");
    ASSERT_NE(First, std::string::npos);
    EXPECT_NE(J.find("marker", First + 1), std::string::npos);
}

TEST_F(PrintJobTest, TextsAreSafePostScriptStrings) {
    TSheet S;
    S.FItems.Add("a", Text("Hallo", {1, 1}));
    S.FItems.Add("b", Text("a) (b", {1, 2}));
    S.FItems.Add("c", Text("x\\", {1, 3}));
    S.FItems.Add("d", Text(") showpage (", {1, 4}));
    S.FItems.Add("e", Text("m^2_x (ok)", {1, 5}, 0, 3));
    S.FItems.Add("f", Text("", {1, 6}, 3, 2));
    const std::string J = Job(S);
    EXPECT_NE(J.find("\r\n(Hallo) show\r\n"), std::string::npos);
    EXPECT_NE(J.find("\r\n(a\\) \\(b) show\r\n"), std::string::npos);
    EXPECT_NE(J.find("\r\n(x\\\\) show\r\n"), std::string::npos);
    EXPECT_NE(J.find("\r\n(\\) showpage \\() show\r\n"), std::string::npos);
    EXPECT_NE(J.find("\r\n/Times-BoldItalic findfont\r\n"), std::string::npos);
    EXPECT_NE(J.find("\r\n(m^2_x \\(ok\\)) show\r\n"), std::string::npos);
    EXPECT_NE(J.find("\r\n/Symbol findfont\r\n18 scalefont setfont\r\n"), std::string::npos);
    EXPECT_NE(J.find("\r\n() show\r\n"), std::string::npos);
}

TEST_F(PrintJobTest, OnlyTextFontsAreReencodedAndOnlyForCharactersAbove127) {
    // A Times text with "å": its font is re-encoded in the lines after findfont, to Latin-1
    // with the code page's characters in 0x80..0x9F (0x80 the euro sign, 0x81 none).
    // The same byte in Symbol is a glyph of Symbol's own encoding (a Greek letter) and stays
    // as it is; a plain text needs nothing.
    TSheet S;
    S.FItems.Add("a", Text("\xe5", {1, 1}, 0, 0));
    std::string Reencode;
    for (const std::string& Line : AnsiFontLines())
        Reencode += Line + "\r\n";
    EXPECT_NE(Job(S).find("\r\n/Times-Roman findfont\r\n" + Reencode + "18 scalefont setfont\r\n"),
              std::string::npos);
    EXPECT_NE(Reencode.find("dup 128 [/Euro /.notdef /quotesinglbase /florin /quotedblbase"),
              std::string::npos)
        << Reencode;
    EXPECT_NE(Reencode.find("/zcaron /Ydieresis] putinterval def"), std::string::npos);
    TSheet Symbol;
    Symbol.FItems.Add("s", Text("\xe5\xb0\x80", {1, 1}, 3, 0));
    Symbol.FItems.Add("p", Text("plain", {1, 2}, 1, 0));
    const std::string J = Job(Symbol);
    EXPECT_EQ(J.find("ZarvoAnsi"), std::string::npos);
    EXPECT_NE(J.find("\r\n/Symbol findfont\r\n18 scalefont setfont\r\n"), std::string::npos);
    EXPECT_NE(J.find("\r\n/Helvetica findfont\r\n18 scalefont setfont\r\n"), std::string::npos);
}

TEST_F(PrintJobTest, FontNumbersOutsideTheTableTakeTheDefaultFont) {
    TSheet S;
    S.FItems.Add("a", Text("t", {1, 1}, 9, 9));
    EXPECT_NE(Job(S).find("\r\n/Helvetica findfont\r\n"), std::string::npos);
}

TEST_F(PrintJobTest, AMissingEpsFileStopsThePrintBeforeAnythingIsWritten) {
    const std::string Out = Dir.File("out.ps");
    WriteFile(Out, "previous job");
    TSheet S;
    S.FItems.Add("a", Text("t", {1, 1}));
    S.FItems.Add("b", Eps(Dir.File("gone.eps"), {1, 1}));
    const TPrintResult R = PrintSheet(S, Out, Out);
    EXPECT_FALSE(R.Ok);
    EXPECT_EQ(R.Message, "Datei " + Dir.File("gone.eps") + " nicht gefunden!");
    EXPECT_EQ(ReadFile(Out), "previous job");
    // A text of 0 points would stop the printer with an error after a reported success.
    TSheet Zero;
    Zero.FItems.Add("z", Text("Null \x84x\x93", {1, 1}, 1, 0, 0));
    const TPrintResult Z = PrintSheet(Zero, Out, Out);
    EXPECT_FALSE(Z.Ok);
    EXPECT_EQ(Z.Message, "Schriftgröße von Null „x“ außerhalb des druckbaren Bereichs");
    EXPECT_EQ(ReadFile(Out), "previous job");
}

TEST_F(PrintJobTest, WriteFailuresAreReportedNeverTakenForSuccess) {
    TSheet S;
    std::string Mem;
    // The first line cannot be written.
    TPrintResult R = PrintSheetTo(S, "LPT2", MakeMemoryTarget(Mem, 0));
    EXPECT_FALSE(R.Ok);
    EXPECT_EQ(R.Message.rfind("Fehler beim Schreiben nach LPT2", 0), 0u);
    // A later block cannot be written.
    WriteFile(Dir.File("big.eps"), "%!PS\n" + std::string(5000, 'x') + "\n");
    S.FItems.Add("a", Eps(Dir.File("big.eps"), {1, 1}));
    Mem.clear();
    R = PrintSheetTo(S, "LPT1", MakeMemoryTarget(Mem, 3000));
    EXPECT_FALSE(R.Ok);
    EXPECT_EQ(R.Message.rfind("Fehler beim Schreiben nach LPT1", 0), 0u);
    // A device that takes nothing, and a folder that does not exist.
    R = PrintSheet(S, "/dev/full", "/dev/full");
    EXPECT_FALSE(R.Ok);
    EXPECT_EQ(R.Message.rfind("Fehler beim Schreiben nach /dev/full", 0), 0u);
    R = PrintSheet(S, Dir.File("no/dir/x.ps"), Dir.File("no/dir/x.ps"));
    EXPECT_FALSE(R.Ok);
    EXPECT_EQ(zarvotest::ListDir(Dir.Path()).size(), 1u);
}

TEST_F(PrintJobTest, PrintFilesAreReplacedOnlyByACompleteJob) {
    WriteFile(Dir.File("a.eps"), WorkedEps);
    TSheet S;
    S.FItems.Add("a", Eps(Dir.File("a.eps"), {1, 1}));
    const std::string Out = Dir.File("ZVS.PS");
    ASSERT_TRUE(PrintSheet(S, Out, Out).Ok);
    const std::string First = ReadFile(Out);
    EXPECT_EQ(First, Job(S));
    // Printing again overwrites the file.
    S.FItems.Add("b", Text("zwei", {2, 2}));
    ASSERT_TRUE(PrintSheet(S, Out, Out).Ok);
    EXPECT_EQ(ReadFile(Out), Job(S));
    EXPECT_EQ(zarvotest::ListDir(Dir.Path()).size(), 2u); // a.eps and ZVS.PS, no temporaries
    // A job that fails half way (an EPS file that opens but cannot be read) leaves the
    // previous job as it was, and nothing beside it.
    const std::string Previous = ReadFile(Out);
    S.FItems.Add("c", Eps("/proc/self/mem", {3, 3}));
    const TPrintResult R = PrintSheet(S, Out, Out);
    EXPECT_FALSE(R.Ok);
    EXPECT_EQ(R.Message.rfind("Fehler beim Lesen von /proc/self/mem (", 0), 0u) << R.Message;
    EXPECT_EQ(ReadFile(Out), Previous);
    EXPECT_EQ(zarvotest::ListDir(Dir.Path()).size(), 2u);
}
