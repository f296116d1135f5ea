// EPS import: checks that a file is PostScript and reads its "%%BoundingBox:" comment.
#include "sheet/epsheader.h"

#include "support/bytesource.h"
#include "support/inouterror.h"
#include "support/winsub.h"

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

// Text-file lines: a line ends at CR, LF or CR LF, and Ctrl-Z ends the data.
class THeaderLines {
public:
    explicit THeaderLines(std::unique_ptr<TByteSource> S) : Source(std::move(S)) {}

    std::string Next() {
        std::string Line;
        for (;;) {
            const int B = Get();
            if (B < 0) return Line;
            if (B == '\n') return Line;
            if (B == '\r') {
                if (Peek() == '\n') Get();
                return Line;
            }
            if (Line.size() < MaxKeptLine) Line.push_back(static_cast<char>(B));
        }
    }
    void Close() { Source->Close(); }

private:
    int Peek() {
        if (Pos == Len && !Fill()) return -1;
        return Buf[Pos] == 26 ? -1 : Buf[Pos];
    }
    int Get() {
        const int B = Peek();
        if (B >= 0) ++Pos;
        return B;
    }
    bool Fill() {
        if (Ended) return false;
        Pos = 0;
        Len = Source->Read(Buf, sizeof Buf);
        Ended = Len == 0;
        return !Ended;
    }
    std::unique_ptr<TByteSource> Source;
    unsigned char Buf[4096];
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
    auto Source = OpenFileSource(FileName, Error);
    if (!Source) return TError{"Datei " + Short + " nicht gefunden!", FileName};
    THeaderLines Lines(std::move(Source));
    try {
        const std::string First = Lines.Next();
        if (First.compare(0, 2, "%!") != 0) {
            Lines.Close();
            return TError{"Kein Postscript in " + Short, FileName};
        }
        std::string BBoxLine;
        bool Found = false;
        for (int N = 2; N <= MaxHeaderLine && !Found; ++N) {
            BBoxLine = Lines.Next();
            Found = BBoxLine.compare(0, BBoxKeywordLength, BBoxKeyword) == 0;
        }
        Lines.Close();
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
