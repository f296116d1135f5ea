// The PostScript print job: header, every item of the sheet in order, and the final showpage.
#include "output/printjob.h"

#include "output/printtarget.h"
#include "sheet/psfonttable.h"
#include "support/ansicodepage.h"
#include "support/version.h"
#include "support/winsub.h"

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cmath>
#include <cstring>
#include <vector>

namespace zarvo {

namespace {

constexpr std::uint8_t CR = 13, LF = 10, FF = 12, NUL = 0;
// The start of a line that is gathered before it is written: enough for the prefix rule and
// for the words of a data-section comment. The rest of a line is streamed, however long.
constexpr std::size_t HeadSize = 256;

const TStopSet LineEndStops{CR, LF, FF, NUL};
const TStopSet CrLfStops{CR, LF};
const TStopSet NoStops;

bool IsLineEnd(std::uint8_t B) {
    return B == CR || B == LF || B == FF || B == NUL;
}

// The EPS file as the copy reads it: runs of bytes from the reader, and one byte that can be
// put back (a data section may end on a byte that already belongs to the next line).
class TCopyInput {
public:
    explicit TCopyInput(TBufTextFile& R) : R(R) {}

    bool AtEnd() const { return Pending < 0 && BufEof(R); }

    // The next byte; false at the end of the data.
    bool Get(std::uint8_t& B) {
        const std::uint8_t* Run;
        int Stopper;
        if (Pending >= 0) {
            B = static_cast<std::uint8_t>(Pending);
            Pending = -1;
            return true;
        }
        if (ReadBufRun(R, NoStops, 1, Run, Stopper) == 0) return false;
        B = Run[0];
        return true;
    }

    void Unget(std::uint8_t B) { Pending = B; }

    // As ReadBufRun, the put-back byte first.
    std::size_t Run(const TStopSet& Stops, std::size_t Max, const std::uint8_t*& Out,
                    int& Stopper) {
        if (Pending >= 0) {
            Held = static_cast<std::uint8_t>(Pending);
            Pending = -1;
            Out = &Held;
            Stopper = -1;
            if (!Stops.Contains(Held)) return 1;
            Stopper = Held;
            return 0;
        }
        return ReadBufRun(R, Stops, Max, Out, Stopper);
    }

private:
    TBufTextFile& R;
    int Pending = -1;
    std::uint8_t Held = 0;
};

void WriteRun(TBufTextFile& W, const std::uint8_t* Run, std::size_t N) {
    WriteBufBytes(W, Run, N);
}

// A data section announced by a structuring comment: how much raw data follows its line.
struct TDataSection {
    bool Present = false;
    bool Lines = false;   // the count is in lines, not bytes
    long long Count = -1; // -1: unknown, copy to the end of the file
};

std::vector<std::string> Words(const std::string& S) {
    std::vector<std::string> W;
    std::size_t I = 0;
    while (I < S.size()) {
        while (I < S.size() && (S[I] == ' ' || S[I] == '\t'))
            ++I;
        const std::size_t B = I;
        while (I < S.size() && S[I] != ' ' && S[I] != '\t')
            ++I;
        if (I > B) W.push_back(S.substr(B, I - B));
    }
    return W;
}

TDataSection DataSectionOf(const std::string& Head) {
    TDataSection D;
    static const char BeginData[] = "%%BeginData:";
    static const char BeginBinary[] = "%%BeginBinary:";
    std::vector<std::string> W;
    if (Head.compare(0, std::strlen(BeginData), BeginData) == 0) {
        W = Words(Head.substr(std::strlen(BeginData)));
        D.Lines = W.size() >= 3 && W[2] == "Lines";
    } else if (Head.compare(0, std::strlen(BeginBinary), BeginBinary) == 0) {
        W = Words(Head.substr(std::strlen(BeginBinary)));
    } else {
        return D;
    }
    D.Present = true;
    if (!W.empty() && W[0].size() <= 18 &&
        W[0].find_first_not_of("0123456789") == std::string::npos)
        D.Count = std::stoll(W[0]);
    return D;
}

// Copies the data of a section byte for byte. End is the byte that ended the comment line;
// an LF right after a CR belongs to that line end and is not data. Returns true when the data
// stops inside a line (its last byte is no CR or LF).
bool CopyDataSection(TCopyInput& In, TBufTextFile& W, const TDataSection& D, std::uint8_t End) {
    int Last = -1;
    std::uint8_t B;
    if (End == CR && In.Get(B) && B != LF) In.Unget(B);
    const std::uint8_t* Run;
    int Stopper;
    if (!D.Lines) {
        unsigned long long Left =
            D.Count < 0 ? ULLONG_MAX : static_cast<unsigned long long>(D.Count);
        while (Left > 0) {
            const std::size_t Max = Left > SIZE_MAX ? SIZE_MAX : static_cast<std::size_t>(Left);
            const std::size_t N = In.Run(NoStops, Max, Run, Stopper);
            if (N == 0) break; // the end of the file
            WriteRun(W, Run, N);
            Last = Run[N - 1];
            Left -= N;
        }
    } else {
        // Lines end at CR, LF or CR LF; each is copied with its own line end.
        long long Left = D.Count < 0 ? LLONG_MAX : D.Count;
        while (Left > 0 && !In.AtEnd()) {
            const std::size_t N = In.Run(CrLfStops, SIZE_MAX, Run, Stopper);
            WriteRun(W, Run, N);
            if (N > 0) Last = Run[N - 1];
            if (Stopper < 0) continue; // the block ended, or the data
            WriteBufChar(W, static_cast<std::uint8_t>(Stopper));
            Last = Stopper;
            if (Stopper == CR && In.Get(B)) {
                if (B == LF)
                    WriteBufChar(W, LF);
                else
                    In.Unget(B);
            }
            --Left;
        }
    }
    // The line rules start afresh after the data.
    LastLineEnd = 0;
    return Last >= 0 && Last != CR && Last != LF;
}

// Copies the lines of an EPS file by the job's line rules: empty lines are dropped, lines that
// start with "%!" or "%%" get "% " in front, every line ends with CR LF. This is line-by-line
// reading as the buffered reader does it, streamed: only the head of a line is held.
void CopyLines(TBufTextFile& R, TBufTextFile& W) {
    const TStopSet& Stops = LineEndStops;
    TCopyInput In(R);
    std::string Head;
    // Data that ends the file inside a line would take the job's "restore" into its line (a
    // comment swallows it, anything else turns it into garbage); such a line is ended here.
    bool OpenLine = false;
    while (!In.AtEnd()) {
        // A full block may end the data without BufEof knowing it yet: no byte then counts
        // as a NUL, which ends an empty line.
        std::uint8_t B = NUL;
        In.Get(B);
        while (B == LF && LastLineEnd == CR) {
            B = NUL;
            In.Get(B);
        }
        LastLineEnd = 0;
        if (IsLineEnd(B)) {
            LastLineEnd = B; // an empty line
            // Unless it ends the line that data stopped in: then the job ends that line too,
            // or the next line would be joined to the data's last one.
            if (OpenLine) {
                WriteBufChar(W, CR);
                WriteBufChar(W, LF);
                OpenLine = false;
            }
            continue;
        }
        int End = -1;
        const std::uint8_t* Run;
        // Only lines that start with "%" can be structuring comments; their head is gathered
        // before anything is written. All other lines go straight through.
        bool Comment = false;
        if (B != '%') {
            WriteBufChar(W, B);
        } else {
            Head.assign(1, static_cast<char>(B));
            while (End < 0 && Head.size() < HeadSize) {
                if (In.AtEnd()) {
                    End = NUL;
                    break;
                }
                const std::size_t N = In.Run(Stops, HeadSize - Head.size(), Run, End);
                Head.append(reinterpret_cast<const char*>(Run), N);
            }
            Comment = Head.size() >= 2 && (Head[1] == '!' || Head[1] == '%');
            if (Comment) WriteBufStr(W, "% ");
            WriteBufStr(W, Head);
        }
        while (End < 0) {
            if (In.AtEnd()) {
                End = NUL;
                break;
            }
            const std::size_t N = In.Run(Stops, SIZE_MAX, Run, End);
            WriteRun(W, Run, N);
        }
        WriteBufChar(W, CR);
        WriteBufChar(W, LF);
        OpenLine = false;
        LastLineEnd = static_cast<std::uint8_t>(End);
        if (Comment) {
            const TDataSection D = DataSectionOf(Head);
            if (D.Present) OpenLine = CopyDataSection(In, W, D, static_cast<std::uint8_t>(End));
        }
    }
    if (OpenLine) {
        WriteBufChar(W, CR);
        WriteBufChar(W, LF);
    }
}

// PostScript string contents: backslash and parentheses escaped, so that no text can end the
// string early or leave it open.
std::string PSStringBody(const std::string& Text) {
    std::string S;
    S.reserve(Text.size());
    for (char C : Text) {
        if (C == '\\' || C == '(' || C == ')') S.push_back('\\');
        S.push_back(C);
    }
    return S;
}

std::string CmOperand(double Cm) {
    return RealToStr(4, 1, Cm);
}

} // namespace

void CopyPSFile(TBufTextFile& Writer, const TEPSBox& Item) {
    WriteBufLine(Writer, "save");
    WriteBufLine(Writer, "/copypage {} bind def /showpage {} bind def /erasepage {} bind def");
    WriteBufLine(Writer, CmOperand(Item.Origin.X - Item.Offset.X) + " cm " +
                             CmOperand(Item.Origin.Y - Item.Offset.Y) + " cm translate");
    TBufTextFile Reader;
    try {
        int Error = 0;
        auto Source = OpenFileSource(Item.Name, Error);
        if (!OpenBufRead(Reader, std::move(Source), Item.Name))
            RaiseInOutError(Item.Name, Error, true);
        CopyLines(Reader, Writer);
        CloseBufRead(Reader);
    } catch (const EInOutError& E) {
        if (!E.Reading) throw;
        throw EPrintSourceError(Item.Name, E);
    }
    WriteBufLine(Writer, "restore");
}

// Texts are bytes of the ANSI code page 1252; the base fonts' own encoding has other
// characters (or none) above 127. A text that uses them gets its font re-encoded, so that it
// prints as typed: ISO Latin-1 with the code page's typographic characters (euro sign, quotes,
// dashes) in 0x80..0x9F, where ISO Latin-1 has accents or nothing. Symbol keeps its own
// encoding: its bytes are its glyphs.
// ISOLatin1Encoding puts a minus sign where ASCII has the hyphen; the copy puts the hyphen
// back. A printer without that encoding prints the font as it is.
const std::vector<std::string>& AnsiFontLines() {
    static const std::vector<std::string> Lines = [] {
        std::vector<std::string> L = {
            "/ISOLatin1Encoding where {pop dup length dict begin",
            "{1 index /FID ne {def} {pop pop} ifelse} forall",
            "/Encoding ISOLatin1Encoding 256 array copy dup 45 /hyphen put",
        };
        std::string Names = "dup 128 [";
        for (int B = 0x80; B <= 0x9F; ++B) {
            const char* Glyph = AnsiGlyphName(static_cast<unsigned char>(B));
            Names += std::string(B == 0x80 ? "/" : " /") + (Glyph ? Glyph : ".notdef");
            if (B % 8 == 7 && B != 0x9F) {
                L.push_back(Names);
                Names.clear();
            }
        }
        L.push_back(Names + "] putinterval def");
        L.push_back("currentdict end /ZarvoAnsi exch definefont} if");
        return L;
    }();
    return Lines;
}

bool NeedsAnsiFont(const TEPSBox& Item) {
    return PSName(Item.Font.FontType, 0) != "Symbol" &&
           std::any_of(Item.Name.begin(), Item.Name.end(),
                       [](char C) { return static_cast<unsigned char>(C) >= 128; });
}

void PrintPSText(TBufTextFile& Writer, const TEPSBox& Item) {
    WriteBufLine(Writer, "save");
    const std::string FontName =
        ("/" + PSName(Item.Font.FontType, Item.Font.FontStyle)).substr(0, 30);
    WriteBufLine(Writer, (FontName + " findfont").substr(0, 39));
    if (NeedsAnsiFont(Item))
        for (const std::string& Line : AnsiFontLines())
            WriteBufLine(Writer, Line);
    WriteBufLine(Writer, IntToStrWidth(Item.Font.FontSize, 0) + " scalefont setfont");
    WriteBufLine(Writer,
                 CmOperand(Item.Origin.X) + " cm " + CmOperand(Item.Origin.Y) + " cm moveto");
    WriteBufLine(Writer, "(" + PSStringBody(Item.Name) + ") show");
    WriteBufLine(Writer, "restore");
}

void WritePrintJob(TBufTextFile& Writer, const TSheet& Sheet) {
    WriteBufLine(Writer, "%!PS-Adobe");
    FlushBuf(Writer);
    WriteBufLine(Writer,
                 std::string("%%Creator: zarvo ") + ProgramVersion + " (" + ProgramTitle + ")");
    const long long W = CmToWholePoints(Sheet.FPaperSize.X);
    const long long H = CmToWholePoints(Sheet.FPaperSize.Y);
    const long long A = Sheet.FLandscape ? H : W;
    const long long B = Sheet.FLandscape ? W : H;
    WriteBufLine(Writer, "%%BoundingBox: 0 0 " + IntToStrWidth(A, 0) + " " + IntToStrWidth(B, 0));
    WriteBufLine(Writer, "/psdict 120 dict def psdict begin");
    WriteBufLine(Writer, "/cm {28.35 mul} def");
    if (Sheet.FLandscape)
        WriteBufLine(Writer, CmOperand(Sheet.FPaperSize.X) + " cm 0 translate 90 rotate");
    for (int I = 0; I < Sheet.FItems.Count(); ++I) {
        const TEPSBox& Item = Sheet.FItems.Item(I);
        WriteBufLine(Writer, "");
        if (Item.Kind == KindText)
            PrintPSText(Writer, Item);
        else
            CopyPSFile(Writer, Item);
    }
    WriteBufLine(Writer, "showpage end");
}

namespace {

// PostScript's reals end near 1e38; a length beyond this many centimetres (a hand-edited
// sheet) would make the printer stop the job with a limit error after it was reported as
// printed.
const double MaxPrintableCm = 1.0e30;

bool Printable(double Cm) {
    return std::isfinite(Cm) && std::fabs(Cm) <= MaxPrintableCm;
}

// A paper side gives the job's bounding box in whole points; it must be a size.
bool PrintablePaper(double Cm) {
    return std::isfinite(Cm) && Cm > 0.0 && Cm <= MaxSheetPaperSide;
}

} // namespace

TPrintResult CheckPrintable(const TSheet& Sheet) {
    if (!PrintablePaper(Sheet.FPaperSize.X) || !PrintablePaper(Sheet.FPaperSize.Y))
        return {false, "Papiergröße außerhalb des druckbaren Bereichs"};
    for (int I = 0; I < Sheet.FItems.Count(); ++I) {
        const TEPSBox& Item = Sheet.FItems.Item(I);
        bool Ok = Printable(Item.Origin.X) && Printable(Item.Origin.Y);
        if (Item.Kind != KindText)
            Ok = Ok && Printable(Item.Origin.X - Item.Offset.X) &&
                 Printable(Item.Origin.Y - Item.Offset.Y);
        const std::string Name = Item.Kind == KindText ? AnsiToUtf8(Item.Name) : Item.Name;
        if (!Ok) return {false, "Lage von " + Name + " außerhalb des druckbaren Bereichs"};
        // "0 scalefont" stops the printer with an error after the job was handed over.
        if (Item.Kind == KindText && Item.Font.FontSize == 0)
            return {false, "Schriftgröße von " + Name + " außerhalb des druckbaren Bereichs"};
    }
    return {};
}

namespace {

// The job onto an opened target, for a sheet that passed CheckPrintable.
TPrintResult WriteCheckedJob(const TSheet& Sheet, const std::string& TargetName,
                             std::unique_ptr<TByteTarget> Target) {
    TPrintResult Result;
    const std::string WriteFailed = "Fehler beim Schreiben nach " + TargetName;
    TBufTextFile Writer;
    OpenBufWrite(Writer, std::move(Target), TargetName);
    try {
        WritePrintJob(Writer, Sheet);
        CloseBufWrite(Writer);
    } catch (const EPrintSourceError& E) {
        Result.Ok = false;
        Result.Message = "Fehler beim Lesen von " + E.FileName + " (" + E.what() + ")";
    } catch (const EInOutError& E) {
        Result.Ok = false;
        Result.Message = WriteFailed + " (" + E.what() + ")";
    }
    return Result;
}

} // namespace

TPrintResult PrintSheetTo(const TSheet& Sheet, const std::string& TargetName,
                          std::unique_ptr<TByteTarget> Target) {
    if (TPrintResult Check = CheckPrintable(Sheet); !Check.Ok) return Check;
    return WriteCheckedJob(Sheet, TargetName, std::move(Target));
}

TPrintResult PrintSheet(const TSheet& Sheet, const std::string& TargetName,
                        const std::string& Path) {
    return PrintSheetWith(Sheet, TargetName, [&]() { return OpenPrintTarget(Path); });
}

TPrintResult PrintSheetWith(const TSheet& Sheet, const std::string& TargetName,
                            const std::function<std::unique_ptr<TByteTarget>()>& Open) {
    if (TPrintResult Check = CheckPrintable(Sheet); !Check.Ok) return Check;
    // Every EPS file must be there before anything is written.
    for (int I = 0; I < Sheet.FItems.Count(); ++I) {
        const TEPSBox& Item = Sheet.FItems.Item(I);
        if (Item.Kind == KindText) continue;
        int Error = 0;
        if (!OpenFileSource(Item.Name, Error)) {
            if (Error == ENOENT || Error == ENOTDIR)
                return {false, "Datei " + Item.Name + " nicht gefunden!"};
            // There, but not to be read (no permission, a folder, a device): say why.
            return {false, "Datei " + Item.Name + " kann nicht gelesen werden (" +
                               std::strerror(Error) + ")"};
        }
    }
    std::unique_ptr<TByteTarget> Target;
    try {
        Target = Open();
    } catch (const EInOutError& E) {
        return {false, "Fehler beim Schreiben nach " + TargetName + " (" + E.what() + ")"};
    }
    return WriteCheckedJob(Sheet, TargetName, std::move(Target));
}

} // namespace zarvo
