// The body of an EPS file in the print job: copied in large blocks, lines found with memchr.
#include "output/epscopy.h"

#include "support/dsclines.h"

#include <climits>
#include <cstring>
#include <string>
#include <vector>

namespace zarvo {

namespace {

// Large enough that a copy costs few system calls, small enough that printing a file of any
// size takes the same memory.
constexpr std::size_t BlockSize = 256 * 1024;
// A regular file is read by position in windows of this size: few large reads, and only one
// window is in memory at a time.
constexpr std::size_t MapSize = 1024 * 1024;

class TEpsCopy {
public:
    TEpsCopy(TEpsSource& In, TBufTextFile& W)
        : In(In), W(W), Buf(In.Mappable() ? 0 : BlockSize), Bytes(Buf.data()),
          WindowStart(In.Start()) {}

    void Run() {
        for (;;) {
            if (I == Len) {
                Emit();
                if (!Refill()) break;
            }
            if (Data >= 0 || DataLines >= 0)
                CopyData();
            else if (AtLineStart)
                LineStart();
            else
                LineRest();
        }
        Emit();
        if (Last >= 0 && !IsDscLineEnd(static_cast<std::uint8_t>(Last))) {
            WriteBufChar(W, DscCR);
            WriteBufChar(W, DscLF);
        }
    }

private:
    // Writes the bytes since RunStart as they stand.
    void Emit() {
        if (I > RunStart) {
            WriteBufThrough(W, Bytes + RunStart, I - RunStart);
            Last = Bytes[I - 1];
        }
        RunStart = I;
    }

    // Keeps the unread bytes and reads more after them; false at the end of the data.
    bool Refill() {
        if (I > 0) PrevByte = Bytes[I - 1];
        if (In.Mappable()) {
            // The next window starts at the first byte not yet dealt with.
            WindowStart += static_cast<long long>(I);
            Bytes = In.Map(WindowStart, MapSize, Len);
            I = RunStart = 0;
            Ended = Len < MapSize;
            return Len > 0;
        }
        std::memmove(Buf.data(), Buf.data() + I, Len - I);
        Len -= I;
        I = RunStart = 0;
        const std::size_t Before = Len;
        while (Len < Buf.size()) {
            const std::size_t N = In.Read(Buf.data() + Len, Buf.size() - Len);
            if (N == 0) {
                Ended = true;
                break;
            }
            Len += N;
            // A block is enough to go on with; the rest comes with the next refill.
            if (Len - Before >= DscHeadSize) break;
        }
        return Len > I;
    }

    // At least Count bytes from I on, unless the data ends first.
    void Want(std::size_t Count) {
        if (Len - I >= Count || Ended) return;
        Emit();
        Refill();
        while (Len - I < Count && !Ended)
            Refill();
    }

    void LineStart() {
        const std::uint8_t B = Bytes[I];
        if (B == DscLF && PendingCR) { // the second byte of a CR LF line end
            PendingCR = false;
            ++I;
            return;
        }
        PendingCR = false;
        if (Pending.Present) {
            Data = Pending.Lines ? -1 : (Pending.Count < 0 ? LLONG_MAX : Pending.Count);
            DataLines = Pending.Lines ? (Pending.Count < 0 ? LLONG_MAX : Pending.Count) : -1;
            Pending = {};
            EndDataIfDone(true);
            return;
        }
        AtLineStart = false;
        if (B != '%') return;
        Want(DscHeadSize);
        const std::size_t Avail = Len - I;
        if (!IsStructuringComment(reinterpret_cast<const char*>(Bytes + I), Avail)) {
            ++I; // the "%" is dealt with: the search for the next line start goes on after it
            return;
        }
        Emit();
        WriteBufStr(W, "% ");
        const std::size_t HeadLen =
            FindDscLineEnd(Bytes + I, Avail < DscHeadSize ? Avail : DscHeadSize);
        Pending = DataSectionOf(std::string(reinterpret_cast<const char*>(Bytes + I), HeadLen));
        ++I;
    }

    void LineRest() {
        if (!Pending.Present) {
            // Only a line that starts with "%" can be changed: everything up to the next "%"
            // that follows a line end passes at memchr's speed, line ends and all.
            for (std::size_t P = I; P < Len;) {
                const void* H = std::memchr(Bytes + P, '%', Len - P);
                if (!H) break;
                const std::size_t At =
                    static_cast<std::size_t>(static_cast<const std::uint8_t*>(H) - Bytes);
                if (IsDscLineEnd(At > 0 ? Bytes[At - 1] : PrevByte)) {
                    I = At;
                    PendingCR = false;
                    AtLineStart = true;
                    return;
                }
                P = At + 1;
            }
            I = Len;
            return;
        }
        const std::size_t N = FindDscLineEnd(Bytes + I, Len - I);
        I += N;
        if (I == Len) return;
        PendingCR = Bytes[I] == DscCR;
        ++I;
        AtLineStart = true;
    }

    void CopyData() {
        if (Data >= 0) {
            const unsigned long long Avail = Len - I;
            const unsigned long long N = static_cast<unsigned long long>(Data) < Avail
                                             ? static_cast<unsigned long long>(Data)
                                             : Avail;
            I += static_cast<std::size_t>(N);
            Data -= static_cast<long long>(N);
            EndDataIfDone(false);
            return;
        }
        // Lines of data: each ends at CR, LF or CR LF.
        if (PendingCR) {
            PendingCR = false;
            if (Bytes[I] == DscLF) {
                ++I;
                return;
            }
        }
        const std::size_t N = FindDscLineEnd(Bytes + I, Len - I);
        I += N;
        if (I == Len) return;
        PendingCR = Bytes[I] == DscCR;
        ++I;
        --DataLines;
        EndDataIfDone(false);
    }

    // After the data the line rules go on: at a line start when the data ended with a line
    // end (or there was none), else inside the line the data stopped in.
    void EndDataIfDone(bool Empty) {
        if (Data != 0 && DataLines != 0) return;
        const bool LineEnd = Empty || DataLines == 0 || IsDscLineEnd(Bytes[I - 1]);
        if (Data == 0 && !Empty) PendingCR = Bytes[I - 1] == DscCR;
        Data = DataLines = -1;
        AtLineStart = LineEnd;
    }

    TEpsSource& In;
    TBufTextFile& W;
    std::vector<std::uint8_t> Buf;
    const std::uint8_t* Bytes; // the bytes at hand: Buf, or a window of the file
    long long WindowStart;     // the file offset of Bytes[0] in a window
    std::size_t I = 0, Len = 0, RunStart = 0;
    bool Ended = false;
    std::uint8_t PrevByte = DscLF; // the byte before Bytes[0] in the file (a line end at its start)
    int Last = -1;                 // the last byte of the file written, -1 before the first
    bool AtLineStart = true;       // the next byte starts a line
    bool PendingCR = false;        // the last line end was a CR: an LF right after it belongs to it
    TDataSection Pending;          // announced by the current comment; starts after its line end
    long long Data = -1;           // bytes of data left, -1 outside byte-counted data
    long long DataLines = -1;      // lines of data left, -1 outside line-counted data
};

} // namespace

void CopyEpsBody(TEpsSource& In, TBufTextFile& Writer) {
    TEpsCopy(In, Writer).Run();
}

} // namespace zarvo
