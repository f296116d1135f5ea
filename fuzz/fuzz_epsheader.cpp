// Fuzz target: ReadEpsHeader on a file with the fuzzed bytes, and ParseBBoxNumber on the bytes
// taken as a line. The result is checked against a plain re-reading of the rules: first line
// "%!", the first "%%BoundingBox:" of lines 2 to 100, numbers that are whole or default. The
// reader returns its error or warning, naming the file, and never opens a message box.
#include "fuzzcommon.h"
#include "sheet/epsheader.h"
#include "support/winsub.h"

#include <climits>
#include <cmath>

using namespace zarvo;

namespace {

// The header lines as a text file gives them: CR, LF or CR LF end a line, Ctrl-Z ends the data.
std::vector<std::string> TextLines(const std::string& Data, std::size_t Max) {
    std::vector<std::string> Lines;
    std::string Line;
    std::size_t I = 0;
    bool Open = false;
    for (; I < Data.size() && Lines.size() < Max; ++I) {
        const char C = Data[I];
        if (C == 26) break;
        if (C == '\n' || C == '\r') {
            if (C == '\r' && I + 1 < Data.size() && Data[I + 1] == '\n') ++I;
            Lines.push_back(Line);
            Line.clear();
            Open = false;
            continue;
        }
        Line.push_back(C);
        Open = true;
    }
    if (Open && Lines.size() < Max) Lines.push_back(Line);
    while (Lines.size() < Max)
        Lines.push_back(""); // reading past the end yields empty lines
    return Lines;
}

// One token by the rules: blanks only separate; an optionally signed decimal that fits.
bool WholeNumber(const std::string& T, long long& V) {
    std::size_t I = 0;
    bool Neg = false;
    if (I < T.size() && (T[I] == '+' || T[I] == '-')) Neg = T[I++] == '-';
    if (I >= T.size()) return false;
    V = 0;
    for (; I < T.size(); ++I) {
        if (T[I] < '0' || T[I] > '9') return false;
        V = V * 10 + (T[I] - '0');
        if (V > 100000000000LL) V = 100000000000LL; // far out of range; leading zeros are fine
    }
    if (Neg) V = -V;
    return V >= INT_MIN && V <= INT_MAX;
}

int NextNumber(std::string& Line, int Default) {
    std::size_t I = 0;
    while (I < Line.size() && Line[I] == ' ')
        ++I;
    Line.erase(0, I);
    if (Line.empty()) return Default;
    const std::size_t Blank = Line.find(' ');
    const std::string Token = Line.substr(0, Blank);
    Line = Blank == std::string::npos ? std::string() : Line.substr(Blank + 1);
    long long V;
    return WholeNumber(Token, V) ? static_cast<int>(V) : Default;
}

void CheckParseBBoxNumber(const std::string& Input, int Default) {
    std::string Line = Input, Reference = Input;
    for (std::size_t Calls = 0;; ++Calls) {
        FUZZ_CHECK(Calls <= Input.size() + 1);
        const std::size_t Before = Line.size();
        const int Got = ParseBBoxNumber(Line, Default);
        FUZZ_CHECK(Got == NextNumber(Reference, Default));
        FUZZ_CHECK(Line == Reference);
        if (Before == 0) {
            FUZZ_CHECK(Got == Default && Line.empty());
            break;
        }
        FUZZ_CHECK(Line.size() < Before);
    }
}

bool Close(double A, double B) {
    return std::fabs(A - B) <= 1e-9 * std::fmax(1.0, std::fabs(B));
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* Data, std::size_t Size) {
    const std::string Input(reinterpret_cast<const char*>(Data), Size);
    CheckParseBBoxNumber(Input.substr(0, Input.find_first_of("\r\n")), Size ? Data[0] - 100 : 7);

    static const std::string Path = zarvofuzz::TempFile("header.eps");
    zarvofuzz::WriteFile(Path, Input);
    zarvofuzz::TQuietDialogs Dialogs;
    const TCmPair StdSize{10.0, 10.0};
    std::uint8_t Kind = KindStdSize;
    TCmPair BoxSize = StdSize, Offset{0.0, 0.0};
    const TStatus Read = ReadEpsHeader(Path, Kind, BoxSize, Offset);
    const bool Ok = Read.Ok();
    FUZZ_CHECK(Dialogs.Messages.empty());

    const std::string Short = ShortenPath(Path, 20);
    // A DOS EPS header: read by its section, or refused; nothing more is promised here.
    if (Input.compare(0, 4, "\xC5\xD0\xD3\xC6") == 0) return 0;
    const std::vector<std::string> Lines = TextLines(Input, 100);
    if (Lines[0].compare(0, 2, "%!") != 0) {
        FUZZ_CHECK(!Ok);
        FUZZ_CHECK(Read.Error().Message == "Kein Postscript in " + Short);
        FUZZ_CHECK(Read.Error().File == Path && !Read.Error().ReadFailed);
        FUZZ_CHECK(Kind == KindStdSize && BoxSize == StdSize);
        return 0;
    }
    FUZZ_CHECK(Ok);
    std::size_t Found = 0;
    for (std::size_t I = 1; I < Lines.size() && !Found; ++I)
        if (Lines[I].compare(0, 14, "%%BoundingBox:") == 0) Found = I;
    // "(atend)": the last box line in the file whose first word is a whole number.
    std::string BoxLine = Found ? Lines[Found] : std::string();
    const std::size_t Word = BoxLine.find_first_not_of(' ', 14);
    if (Found && Word != std::string::npos && BoxLine.compare(Word, 7, "(atend)") == 0) {
        // Ctrl-Z ends the data for the header's lines; the tail read first does not know about
        // one before it, and a file with one is left out here.
        if (Input.find('\x1a') != std::string::npos) return 0;
        Found = 0;
        BoxLine.clear();
        for (const std::string& L : TextLines(Input, Input.size() + 1)) {
            if (L.compare(0, 14, "%%BoundingBox:") != 0) continue;
            std::string Rest = L.substr(14);
            if (NextNumber(Rest, -1) == -1 && NextNumber(Rest = L.substr(14), -2) == -2) continue;
            BoxLine = L;
            Found = 1;
        }
    }
    if (!Found) {
        FUZZ_CHECK(Kind == KindStdSize);
        FUZZ_CHECK(BoxSize == StdSize);
        FUZZ_CHECK(Offset == (TCmPair{0.0, 0.0}));
        FUZZ_CHECK(Read.Warning == "Keine Bounding Box in " + Short + "\rVerwende Standardgröße");
        return 0;
    }
    FUZZ_CHECK(Read.Warning.empty());
    FUZZ_CHECK(Kind == KindBBox);
    // The reader keeps only the first 64 KiB of a line; the libFuzzer inputs stay far below.
    if (BoxLine.size() > 64 * 1024) return 0;
    std::string Line = BoxLine.substr(14);
    const long long Llx = NextNumber(Line, 0), Lly = NextNumber(Line, 0);
    const long long Urx = NextNumber(Line, 284), Ury = NextNumber(Line, 284);
    // Corners in either order describe the same box; sizes are never negative.
    FUZZ_CHECK(BoxSize.X >= 0 && BoxSize.Y >= 0);
    FUZZ_CHECK(Close(BoxSize.X, std::llabs(Urx - Llx) / PtPerCm));
    FUZZ_CHECK(Close(BoxSize.Y, std::llabs(Ury - Lly) / PtPerCm));
    FUZZ_CHECK(Close(Offset.X, std::min(Llx, Urx) / PtPerCm));
    FUZZ_CHECK(Close(Offset.Y, std::min(Lly, Ury) / PtPerCm));
    return 0;
}
