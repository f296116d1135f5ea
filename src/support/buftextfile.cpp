// Buffered text files: byte and line reading and CR LF writing through a 1024-byte block buffer.
#include "support/buftextfile.h"

#include "support/inouterror.h"

#include <cerrno>
#include <cstring>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace zarvo {

std::uint8_t LastLineEnd = 0;

namespace {

constexpr std::uint8_t CR = 13, LF = 10, FF = 12, NUL = 0;

bool IsLineEnd(std::uint8_t B) {
    return B == CR || B == LF || B == FF || B == NUL;
}

// Loads the next block: as many bytes as the source gives up to 1024. Sources may hand out
// fewer bytes than asked for before their end, so this asks until the block is full or the
// source reports its end; a short block therefore always means the end of the data.
void LoadBlock(TBufTextFile& F) {
    if (!F.FileVar.Source) RaiseInOutError(F.FileVar.Name, EBADF, true);
    std::size_t Got = 0;
    while (Got < BufBlockSize) {
        const std::size_t N = F.FileVar.Source->Read(F.Buffer + Got, BufBlockSize - Got);
        if (N == 0) break;
        Got += N;
    }
    F.BufLen = static_cast<std::int32_t>(Got);
}

void WriteBlock(TBufTextFile& F, std::size_t Count) {
    if (!F.FileVar.Target) RaiseInOutError(F.FileVar.Name, EBADF);
    F.FileVar.Target->Write(F.Buffer, Count);
}

} // namespace

TStopSet::TStopSet(std::initializer_list<std::uint8_t> Stops) {
    for (std::uint8_t B : Stops) {
        if (Table[B]) continue;
        Table[B] = true;
        if (Count >= 0 && Count < 4)
            Bytes[Count++] = B;
        else
            Count = -1;
    }
}

std::size_t TStopSet::Scan(const std::uint8_t* P, std::size_t N) const {
    if (Count == 0) return N;
    std::size_t I = 0;
#if defined(__SSE2__)
    if (Count > 0) {
        __m128i V[4];
        for (int K = 0; K < 4; ++K)
            V[K] = _mm_set1_epi8(static_cast<char>(Bytes[K < Count ? K : 0]));
        for (; I + 16 <= N; I += 16) {
            const __m128i X = _mm_loadu_si128(reinterpret_cast<const __m128i*>(P + I));
            const __m128i M =
                _mm_or_si128(_mm_or_si128(_mm_cmpeq_epi8(X, V[0]), _mm_cmpeq_epi8(X, V[1])),
                             _mm_or_si128(_mm_cmpeq_epi8(X, V[2]), _mm_cmpeq_epi8(X, V[3])));
            const int Mask = _mm_movemask_epi8(M);
            if (Mask)
                return I + static_cast<std::size_t>(__builtin_ctz(static_cast<unsigned>(Mask)));
        }
    }
#endif
    while (I < N && !Table[P[I]])
        ++I;
    return I;
}

bool OpenBufRead(TBufTextFile& F, const std::string& FileName) {
    int Error = 0;
    auto Source = OpenFileSource(FileName, Error);
    return OpenBufRead(F, std::move(Source), FileName);
}

bool OpenBufRead(TBufTextFile& F, std::unique_ptr<TByteSource> Source, const std::string& Name) {
    F.FileVar.Name = Name;
    F.FileVar.Source = std::move(Source);
    F.FileVar.Target.reset();
    F.BufPos = 0;
    F.BufLen = BufBlockSize;
    LastLineEnd = 0;
    return F.FileVar.Source != nullptr;
}

std::uint8_t ReadBufChar(TBufTextFile& F) {
    if (F.BufPos == 0 && F.BufLen == BufBlockSize) LoadBlock(F);
    if (F.BufPos >= F.BufLen) return NUL;
    const std::uint8_t B = F.Buffer[F.BufPos++];
    if (F.BufPos == F.BufLen && F.BufLen == BufBlockSize) F.BufPos = 0;
    return B;
}

std::size_t ReadBufRun(TBufTextFile& F, const TStopSet& Stops, std::size_t MaxCount,
                       const std::uint8_t*& Run, int& Stopper) {
    Stopper = -1;
    Run = F.Buffer;
    if (MaxCount == 0) return 0;
    // A loaded full block must lose at least one byte before returning, or (0, 1024) would
    // read as "load the next block" and skip it: hence the stop byte is consumed here too.
    if (F.BufPos == 0 && F.BufLen == BufBlockSize) LoadBlock(F);
    Run = F.Buffer + F.BufPos;
    std::size_t Avail = F.BufPos < F.BufLen ? static_cast<std::size_t>(F.BufLen - F.BufPos) : 0;
    if (Avail > MaxCount) Avail = MaxCount;
    const std::size_t N = Stops.Scan(Run, Avail);
    F.BufPos += static_cast<std::int32_t>(N);
    if (N < Avail) Stopper = F.Buffer[F.BufPos++];
    if (F.BufPos == F.BufLen && F.BufLen == BufBlockSize) F.BufPos = 0;
    return N;
}

void ReadBufLine(TBufTextFile& F, std::string& Line) {
    static const TStopSet LineEnds{CR, LF, FF, NUL};
    Line.clear();
    std::uint8_t Ending = NUL;
    if (!BufEof(F)) {
        std::uint8_t B = ReadBufChar(F);
        while (B == LF && LastLineEnd == CR)
            B = ReadBufChar(F);
        LastLineEnd = 0;
        if (IsLineEnd(B)) {
            Ending = B;
        } else {
            Line.push_back(static_cast<char>(B));
            // The rest of the line a run at a time; the end test before every byte is the
            // run's stop condition and the block boundary.
            while (!BufEof(F)) {
                const std::uint8_t* Run;
                int Stopper;
                const std::size_t N = ReadBufRun(F, LineEnds, SIZE_MAX, Run, Stopper);
                Line.append(reinterpret_cast<const char*>(Run), N);
                if (Stopper >= 0) {
                    Ending = static_cast<std::uint8_t>(Stopper);
                    break;
                }
            }
        }
    }
    LastLineEnd = Ending;
}

void CloseBufRead(TBufTextFile& F) {
    auto Source = std::move(F.FileVar.Source);
    if (!Source) RaiseInOutError(F.FileVar.Name, EBADF, true);
    Source->Close();
}

void OpenBufWrite(TBufTextFile& F, const std::string& FileName) {
    OpenBufWrite(F, OpenDirectTarget(FileName), FileName);
}

void OpenBufWrite(TBufTextFile& F, std::unique_ptr<TByteTarget> Target, const std::string& Name) {
    F.FileVar.Name = Name;
    F.FileVar.Source.reset();
    F.FileVar.Target = std::move(Target);
    F.BufPos = 0;
    F.BufLen = 0;
}

void WriteBufChar(TBufTextFile& F, std::uint8_t C) {
    if (F.BufPos == BufBlockSize) {
        WriteBlock(F, BufBlockSize);
        F.BufPos = 0;
    }
    F.Buffer[F.BufPos++] = C;
}

void WriteBufBytes(TBufTextFile& F, const std::uint8_t* Data, std::size_t Count) {
    // Same blocks as byte-wise WriteBufChar: a full buffer goes out when a further byte comes.
    while (Count > 0) {
        if (F.BufPos == BufBlockSize) {
            WriteBlock(F, BufBlockSize);
            F.BufPos = 0;
        }
        std::size_t N = static_cast<std::size_t>(BufBlockSize - F.BufPos);
        if (N > Count) N = Count;
        std::memcpy(F.Buffer + F.BufPos, Data, N);
        F.BufPos += static_cast<std::int32_t>(N);
        Data += N;
        Count -= N;
    }
}

void WriteBufThrough(TBufTextFile& F, const std::uint8_t* Data, std::size_t Count) {
    if (Count < static_cast<std::size_t>(BufBlockSize)) {
        WriteBufBytes(F, Data, Count);
        return;
    }
    if (F.BufPos > 0) {
        const std::size_t N = static_cast<std::size_t>(F.BufPos);
        F.BufPos = 0;
        WriteBlock(F, N);
    }
    if (!F.FileVar.Target) RaiseInOutError(F.FileVar.Name, EBADF);
    F.FileVar.Target->Write(Data, Count);
}

void WriteBufStr(TBufTextFile& F, const std::string& S) {
    WriteBufBytes(F, reinterpret_cast<const std::uint8_t*>(S.data()), S.size());
}

void WriteBufLine(TBufTextFile& F, const std::string& S) {
    WriteBufStr(F, S);
    WriteBufChar(F, CR);
    WriteBufChar(F, LF);
}

void FlushBuf(TBufTextFile& F) {
    if (F.BufPos > 0) {
        const std::size_t N = static_cast<std::size_t>(F.BufPos);
        F.BufPos = 0;
        WriteBlock(F, N);
    }
    if (F.FileVar.Target) F.FileVar.Target->Flush();
}

void CloseBufWrite(TBufTextFile& F) {
    if (!F.FileVar.Target) RaiseInOutError(F.FileVar.Name, EBADF);
    if (F.BufPos > 0) {
        const std::size_t N = static_cast<std::size_t>(F.BufPos);
        F.BufPos = 0;
        WriteBlock(F, N);
    }
    auto Target = std::move(F.FileVar.Target);
    Target->Close();
}

bool TryResetText(const std::string& FileName) {
    int Error = 0;
    auto Source = OpenFileSource(FileName, Error);
    return Source != nullptr;
}

} // namespace zarvo
