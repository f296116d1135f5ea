// EPS import: checks that a file is PostScript and reads its "%%BoundingBox:" comment.
#include "sheet/epsheader.h"

#include "sheet/epsfile.h"
#include "support/bytesource.h"
#include "support/dsclines.h"
#include "support/inouterror.h"
#include "support/winsub.h"

#include <algorithm>
#include <climits>
#include <cstring>
#include <memory>

namespace zarvo {

namespace {

const char BBoxKeyword[] = "%%BoundingBox:";
constexpr int BBoxKeywordLength = 14;
constexpr int MaxHeaderLine = 100;
// Only the start of a header line matters; the rest of a long line is skipped, not kept.
constexpr std::size_t MaxKeptLine = 64 * 1024;

// Text-file lines: a line ends at CR, LF or CR LF (the structuring conventions' line ends,
// found in blocks), and Ctrl-Z ends the data.
class THeaderLines {
public:
    explicit THeaderLines(TByteSource& S) : Source(S) {}

    bool AtEnd() { return Peek() < 0; }

    std::string Next() {
        std::string Line;
        Next(Line);
        return Line;
    }
    void Next(std::string& Line) {
        Line.clear();
        for (;;) {
            if (Pos == Len && !Fill()) return;
            std::size_t N = FindDscLineEnd(Buf + Pos, Len - Pos);
            const void* Z = std::memchr(Buf + Pos, CtrlZ, N);
            if (Z) N = static_cast<std::size_t>(static_cast<const unsigned char*>(Z) - (Buf + Pos));
            if (Line.size() < MaxKeptLine)
                Line.append(reinterpret_cast<const char*>(Buf + Pos),
                            std::min(N, MaxKeptLine - Line.size()));
            Pos += N;
            if (Pos == Len) continue;
            if (Buf[Pos] == CtrlZ) {
                Ended = true;
                Len = Pos;
                return;
            }
            const unsigned char End = Buf[Pos++];
            if (End == DscCR && Peek() == DscLF) ++Pos;
            return;
        }
    }

    // Reads on from a line start to the end of the data; the last line that Wanted accepts
    // among those starting with "%". Lines without one are passed over with memchr.
    bool LastCommentLine(bool (*Wanted)(const std::string&), std::string& Found) {
        bool Got = false;
        int Prev = DscLF;
        std::string Line;
        for (;;) {
            if (Pos == Len && !Fill()) return Got;
            const void* Z = std::memchr(Buf + Pos, CtrlZ, Len - Pos);
            const std::size_t End =
                Z ? static_cast<std::size_t>(static_cast<const unsigned char*>(Z) - Buf) : Len;
            bool Took = false;
            for (std::size_t P = Pos; P < End;) {
                const void* H = std::memchr(Buf + P, '%', End - P);
                if (!H) break;
                const std::size_t At =
                    static_cast<std::size_t>(static_cast<const unsigned char*>(H) - Buf);
                if (IsDscLineEnd(static_cast<std::uint8_t>(At > Pos ? Buf[At - 1] : Prev))) {
                    Pos = At;
                    Next(Line);
                    if (Wanted(Line)) {
                        Found = Line;
                        Got = true;
                    }
                    Prev = DscLF;
                    Took = true;
                    break;
                }
                P = At + 1;
            }
            if (Took) continue;
            if (End > Pos) Prev = Buf[End - 1];
            Pos = End;
            if (Z) {
                Ended = true;
                Len = End;
                return Got;
            }
        }
    }

private:
    static constexpr unsigned char CtrlZ = 26;
    int Peek() {
        if (Pos == Len && !Fill()) return -1;
        return Buf[Pos] == CtrlZ ? -1 : Buf[Pos];
    }
    bool Fill() {
        if (Ended) return false;
        Pos = 0;
        Len = Source.Read(Buf, sizeof Buf);
        Ended = Len == 0;
        return !Ended;
    }
    TByteSource& Source;
    unsigned char Buf[65536];
    std::size_t Pos = 0, Len = 0;
    bool Ended = false;
};

bool ParseWholeNumber(const std::string& Token, int& Value) {
    std::size_t I = 0;
    bool Neg = false;
    if (I < Token.size() && (Token[I] == '+' || Token[I] == '-')) Neg = Token[I++] == '-';
    if (I >= Token.size()) return false;
    long long V = 0;
    for (; I < Token.size(); ++I) {
        if (Token[I] < '0' || Token[I] > '9') return false;
        V = V * 10 + (Token[I] - '0');
        if (V > static_cast<long long>(INT_MAX) + 1) return false;
    }
    if (Neg) V = -V;
    if (V > INT_MAX || V < INT_MIN) return false;
    Value = static_cast<int>(V);
    return true;
}

// A box line whose first number is a number: not "(atend)", not empty.
bool HasBoxNumbers(const std::string& Line) {
    if (Line.compare(0, BBoxKeywordLength, BBoxKeyword) != 0) return false;
    std::string Rest = Line.substr(BBoxKeywordLength);
    const std::size_t Start = Rest.find_first_not_of(' ');
    if (Start == std::string::npos) return false;
    int Value;
    return ParseWholeNumber(Rest.substr(Start, Rest.find(' ', Start) - Start), Value);
}

bool IsAtEnd(const std::string& Line) {
    const std::size_t Start = Line.find_first_not_of(' ', BBoxKeywordLength);
    return Start != std::string::npos && Line.compare(Start, 7, "(atend)") == 0;
}

// The part of the file the trailer box is looked for in first: it normally stands in the last
// lines, so a large file is not read twice.
constexpr std::size_t TailSize = 64 * 1024;

// The last box line with numbers in the tail of the file; false when the tail has none.
bool LastBoxInTail(TEpsSource& Source, std::string& Found) {
    std::string Tail = Source.Tail(TailSize);
    if (Tail.empty()) return false;
    const std::size_t Z = Tail.find('\x1a');
    if (Z != std::string::npos) Tail.resize(Z);
    std::size_t Pos = 0;
    // The tail's first line may have begun before it.
    if (!Source.TailIsAll(TailSize)) {
        const std::size_t N =
            FindDscLineEnd(reinterpret_cast<const std::uint8_t*>(Tail.data()), Tail.size());
        if (N == Tail.size()) return false;
        Pos = N + 1;
    }
    bool Got = false;
    while (Pos < Tail.size()) {
        const std::size_t N = FindDscLineEnd(
            reinterpret_cast<const std::uint8_t*>(Tail.data()) + Pos, Tail.size() - Pos);
        if (Tail.compare(Pos, BBoxKeywordLength, BBoxKeyword) == 0) {
            std::string Line = Tail.substr(Pos, N);
            if (HasBoxNumbers(Line)) {
                Found = Line;
                Got = true;
            }
        }
        Pos += N + 1;
    }
    return Got;
}

} // namespace

int ParseBBoxNumber(std::string& Line, int Default) {
    const std::size_t Start = Line.find_first_not_of(' ');
    Line.erase(0, Start == std::string::npos ? Line.size() : Start);
    if (Line.empty()) return Default;
    const std::size_t Blank = Line.find(' ');
    const std::string Token = Line.substr(0, Blank);
    Line.erase(0, Blank == std::string::npos ? Line.size() : Blank + 1);
    int Value;
    return ParseWholeNumber(Token, Value) ? Value : Default;
}

TStatus ReadEpsHeader(const std::string& FileName, std::uint8_t& Kind, TCmPair& Size,
                      TCmPair& Offset) {
    const std::string Short = ShortenPath(FileName, 20);
    int Error = 0;
    std::string Message;
    auto Source = OpenEpsSource(FileName, Error, Message);
    if (!Source)
        return TError{Message.empty() ? "Datei " + Short + " nicht gefunden!"
                                      : BadDosHeaderMessage(Short),
                      FileName};
    THeaderLines Lines(*Source);
    try {
        const std::string First = Lines.Next();
        if (First.compare(0, 2, "%!") != 0) {
            Source->Close();
            return TError{"Kein Postscript in " + Short, FileName};
        }
        std::string BBoxLine;
        bool Found = false;
        for (int N = 2; N <= MaxHeaderLine && !Found; ++N) {
            BBoxLine = Lines.Next();
            Found = BBoxLine.compare(0, BBoxKeywordLength, BBoxKeyword) == 0;
        }
        // "(atend)": the box stands in the trailer, normally in the file's last lines; only
        // when the tail has none is the rest of the file read, once.
        if (Found && IsAtEnd(BBoxLine)) {
            std::string Trailer;
            Found = LastBoxInTail(*Source, Trailer);
            if (!Found) Lines.LastCommentLine(HasBoxNumbers, Trailer);
            Found = Found || !Trailer.empty();
            BBoxLine = Trailer;
        }
        Source->Close();
        if (!Found) {
            TStatus Result = Done();
            Result.Warning = "Keine Bounding Box in " + Short + "\r" + "Verwende Standardgröße";
            return Result;
        }
        Kind = KindBBox;
        BBoxLine.erase(0, BBoxKeywordLength);
        const int Llx = ParseBBoxNumber(BBoxLine, 0);
        const int Lly = ParseBBoxNumber(BBoxLine, 0);
        const int Urx = ParseBBoxNumber(BBoxLine, static_cast<int>(CmToWholePoints(Size.X)));
        const int Ury = ParseBBoxNumber(BBoxLine, static_cast<int>(CmToWholePoints(Size.Y)));
        // A box given with its corners swapped is the same box; keep sizes positive.
        const long long X0 = std::min(Llx, Urx), X1 = std::max(Llx, Urx);
        const long long Y0 = std::min(Lly, Ury), Y1 = std::max(Lly, Ury);
        Offset = {X0 / PtPerCm, Y0 / PtPerCm};
        Size = {(X1 - X0) / PtPerCm, (Y1 - Y0) / PtPerCm};
        return Done();
    } catch (const EInOutError& E) {
        return TError{"Fehler beim Lesen von " + Short + ": " + E.what(), FileName, true};
    }
}

} // namespace zarvo
