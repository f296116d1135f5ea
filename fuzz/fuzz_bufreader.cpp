// Fuzz target: the buffered line reader (and the writer that gives the job its CR LF lines).
// Lines never hold a line-end byte, reading always comes to an end, the fast run-wise reader
// gives what single ReadBufChar calls give, sources that deliver in small pieces read the same,
// and lines written with WriteBufLine read back unchanged.
#include "fuzzcommon.h"
#include "support/buftextfile.h"
#include "support/inouterror.h"

#include <algorithm>
#include <cstring>

using namespace zarvo;
using zarvofuzz::ReadLinesByteWise;
using zarvofuzz::TChunkySource;

namespace {

bool IsLineEnd(unsigned char B) {
    return B == 13 || B == 10 || B == 12 || B == 0;
}

std::vector<std::string> ReadLines(std::unique_ptr<TByteSource> Source, std::size_t Size) {
    TBufTextFile F;
    FUZZ_CHECK(OpenBufRead(F, std::move(Source), "fuzz"));
    std::vector<std::string> Lines;
    std::string Line;
    while (!BufEof(F)) {
        ReadBufLine(F, Line);
        for (unsigned char C : Line)
            FUZZ_CHECK(!IsLineEnd(C));
        Lines.push_back(Line);
        // Every line but the last consumes at least its line end; the end of the data can add
        // at most one empty line, and a full last block one more.
        FUZZ_CHECK(Lines.size() <= Size + 2);
    }
    // Reading past the end gives nothing and keeps the end.
    FUZZ_CHECK(ReadBufChar(F) == 0);
    FUZZ_CHECK(BufEof(F));
    CloseBufRead(F);
    return Lines;
}

// ReadBufRun with a stop set and a limit taken from the data consumes exactly the bytes that
// single reads would.
void CheckRuns(const std::string& Data, std::uint8_t StopA, std::uint8_t StopB, std::size_t Max) {
    TBufTextFile F;
    FUZZ_CHECK(OpenBufRead(F, MakeMemorySource(Data), "fuzz"));
    const TStopSet Stops{StopA, StopB};
    std::string Got;
    std::size_t Guard = 0;
    while (!BufEof(F)) {
        const std::uint8_t* Run;
        int Stopper;
        const std::size_t N = ReadBufRun(F, Stops, Max, Run, Stopper);
        FUZZ_CHECK(N <= Max);
        for (std::size_t I = 0; I < N; ++I)
            FUZZ_CHECK(!Stops.Contains(Run[I]));
        Got.append(reinterpret_cast<const char*>(Run), N);
        if (Stopper >= 0) {
            FUZZ_CHECK(Stops.Contains(static_cast<std::uint8_t>(Stopper)));
            Got.push_back(static_cast<char>(Stopper));
        }
        FUZZ_CHECK(++Guard <= 2 * Data.size() + 4);
    }
    FUZZ_CHECK(Got == Data);
}

// Lines written with WriteBufLine come back as they were, in blocks of 1024 bytes.
void CheckWriteRoundTrip(const std::vector<std::string>& Lines) {
    std::string Out;
    TBufTextFile W;
    OpenBufWrite(W, MakeMemoryTarget(Out), "mem");
    std::size_t Total = 0;
    for (const std::string& L : Lines) {
        WriteBufLine(W, L);
        Total += L.size() + 2;
        // Only full blocks leave before the close.
        FUZZ_CHECK(Out.size() % BufBlockSize == 0);
        FUZZ_CHECK(Out.size() <= Total);
    }
    CloseBufWrite(W);
    FUZZ_CHECK(Out.size() == Total);
    std::vector<std::string> Back = ReadLinesByteWise(Out);
    // After the last CR LF (or in empty data) the reader finds one more, empty line.
    std::vector<std::string> Expected = Lines;
    Expected.push_back("");
    FUZZ_CHECK(Back == Expected);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* Data, std::size_t Size) {
    const std::string Input(reinterpret_cast<const char*>(Data), Size);
    const std::vector<std::string> Lines = ReadLines(MakeMemorySource(Input), Size);
    FUZZ_CHECK(Lines == ReadLinesByteWise(Input));
    // A source that delivers 1 to 8 bytes per call: the same lines.
    const std::size_t Chunk = Size ? Data[0] % 8 + 1 : 1;
    FUZZ_CHECK(ReadLines(std::make_unique<TChunkySource>(Input, Chunk), Size) == Lines);
    if (Size >= 3) CheckRuns(Input, Data[0], Data[1], Data[2] % 64 + 1);
    CheckRuns(Input, 13, 10, SIZE_MAX);
    CheckWriteRoundTrip(Lines);

    // A target that fails after some bytes: the failure surfaces as EInOutError, nothing else.
    std::string Mem;
    TBufTextFile W;
    OpenBufWrite(W, MakeMemoryTarget(Mem, Size ? Data[Size - 1] * 16 : 0), "mem");
    try {
        for (const std::string& L : Lines)
            WriteBufLine(W, L);
        CloseBufWrite(W);
    } catch (const EInOutError&) {
    }
    return 0;
}
