// Fuzz target: the job writer fed with a fuzzed sheet and fuzzed EPS contents. The input is a
// sheet file, then the contents of EPS files, each after a line "--eps--"; the EPS items of the
// sheet take these files in turn. The job starts with its header and ends with "showpage end";
// every item is one save/restore block with "restore" on a line of its own; every text is one
// balanced, escaped PostScript string that reads back as the text; EPS lines follow the copy
// rules (the file's bytes as they stand, "% " before structuring comments outside data
// sections) inside the wrapper that clears the stacks; a target that fails part-way gives a
// write error, never success. A sheet with a position or paper no PostScript printer can take
// (a hand-edited 6.6e52) is refused with a message before anything is written.
#include "fuzzcommon.h"
#include "output/printjob.h"
#include "sheet/psfonttable.h"
#include "sheet/sheetfile.h"
#include "support/localefmt.h"

#include <cmath>

using namespace zarvo;

namespace {

const std::string CRLF = "\r\n";
const std::string EpsPrologue =
    "save\r\n/copypage {} bind def /showpage {} bind def /erasepage {} bind def\r\n" +
    std::string(EpsWrapperBegin) + "\r\n";
const std::string EpsEpilogue = std::string(EpsWrapperEnd) + "\r\nrestore\r\n";

bool StartsWith(const std::string& S, const std::string& P) {
    return S.compare(0, P.size(), P) == 0;
}
bool EndsWith(const std::string& S, const std::string& P) {
    return S.size() >= P.size() && S.compare(S.size() - P.size(), P.size(), P) == 0;
}

// The body of a PostScript string literal that starts at S[0] == '(': its end (the index of
// the closing parenthesis) and its bytes with the escapes resolved; npos when it never closes.
std::size_t ScanString(const std::string& S, std::string& Value) {
    int Depth = 0;
    Value.clear();
    for (std::size_t I = 0; I < S.size(); ++I) {
        const char C = S[I];
        if (C == '\\') {
            if (++I >= S.size()) return std::string::npos;
            Value.push_back(S[I]);
            continue;
        }
        if (C == '(') {
            if (Depth++ == 0) continue;
        } else if (C == ')') {
            if (--Depth == 0) return I;
        }
        Value.push_back(C);
    }
    return std::string::npos;
}

std::string Block(const TEPSBox& Item) {
    std::string Out;
    TBufTextFile W;
    OpenBufWrite(W, MakeMemoryTarget(Out), "mem");
    if (Item.Kind == KindText)
        PrintPSText(W, Item);
    else
        CopyPSFile(W, Item);
    CloseBufWrite(W);
    return Out;
}

void CheckTextBlock(const std::string& B, const TEPSBox& Item) {
    FUZZ_CHECK(StartsWith(B, "save\r\n/"));
    FUZZ_CHECK(EndsWith(B, ") show\r\nrestore\r\n"));
    const std::size_t Open = B.find(" cm moveto\r\n(");
    FUZZ_CHECK(Open != std::string::npos);
    const std::string Str = B.substr(Open + 12);
    std::string Value;
    const std::size_t Close = ScanString(Str, Value);
    // The string closes exactly before " show": nothing of the text runs on as code.
    FUZZ_CHECK(Close != std::string::npos);
    FUZZ_CHECK(Str.substr(Close) == ") show\r\nrestore\r\n");
    FUZZ_CHECK(Value == Item.Name);
    // Every parenthesis of the text is escaped, so that the nesting never matters.
    for (std::size_t I = 1; I < Close; ++I)
        if (Str[I] == '(' || Str[I] == ')') {
            std::size_t Backslashes = 0;
            for (std::size_t J = I; J > 1 && Str[J - 1] == '\\'; --J)
                ++Backslashes;
            FUZZ_CHECK(Backslashes % 2 == 1);
        }
    // Before the string: the font of the table, its size, the position; nothing else.
    // A text with characters above 127 gets its font re-encoded to the code page in between.
    std::string Reencode;
    if (NeedsAnsiFont(Item))
        for (const std::string& Line : AnsiFontLines())
            Reencode += Line + CRLF;
    const std::string Font = "save\r\n/" + PSName(Item.Font.FontType, Item.Font.FontStyle) +
                             " findfont\r\n" + Reencode + std::to_string(Item.Font.FontSize) +
                             " scalefont setfont\r\n";
    FUZZ_CHECK(StartsWith(B, Font));
    FUZZ_CHECK(B.find(CRLF, Font.size()) == Open + 10);
}

bool LineStartAt(const std::string& S, std::size_t I) {
    return I == 0 || S[I - 1] == '\r' || S[I - 1] == '\n';
}

bool StructuringAt(const std::string& S, std::size_t I) {
    return S.compare(I, 2, "%!") == 0 || S.compare(I, 2, "%%") == 0;
}

// The copy rules one byte at a time: the reference for files without data sections.
std::string ReferenceBody(const std::string& Contents) {
    std::string Out;
    for (std::size_t I = 0; I < Contents.size(); ++I) {
        if (LineStartAt(Contents, I) && StructuringAt(Contents, I)) Out += "% ";
        Out += Contents[I];
    }
    if (!Out.empty() && Out.back() != '\r' && Out.back() != '\n') Out += CRLF;
    return Out;
}

void CheckEpsBlock(const std::string& B, const std::string& Contents) {
    FUZZ_CHECK(StartsWith(B, EpsPrologue));
    const std::size_t Translate = B.find(" cm translate\r\n", EpsPrologue.size());
    FUZZ_CHECK(Translate != std::string::npos);
    const std::size_t BodyStart = Translate + 15;
    FUZZ_CHECK(B.find(CRLF, EpsPrologue.size()) == Translate + 13);
    // The wrapper's end and "restore" stand on lines of their own, whatever the file ended with.
    FUZZ_CHECK(EndsWith(B, EpsEpilogue));
    const std::string Body = B.substr(BodyStart, B.size() - EpsEpilogue.size() - BodyStart);
    FUZZ_CHECK(Body.empty() || Body.back() == '\n' || Body.back() == '\r');
    if (Contents.find("%%Begin") == std::string::npos) {
        FUZZ_CHECK(Body == ReferenceBody(Contents));
        return;
    }
    // With data sections: every byte of the file in order, "% " only before structuring
    // comments at line starts, and CR LF after a last line without a line end.
    std::size_t J = 0;
    for (std::size_t I = 0; I < Contents.size(); ++I) {
        if (LineStartAt(Contents, I) && StructuringAt(Contents, I) &&
            Body.compare(J, 4, "% " + Contents.substr(I, 2)) == 0)
            J += 2;
        FUZZ_CHECK(J < Body.size() && Body[J] == Contents[I]);
        ++J;
    }
    FUZZ_CHECK(Body.substr(J) ==
               (J == 0 || Body[J - 1] == '\r' || Body[J - 1] == '\n' ? "" : CRLF));
}

// Beyond this many centimetres a length passes the printer's real numbers (about 1e38 points).
constexpr double FarOutCm = 1.0e30;

bool Takes(double Cm) {
    return std::isfinite(Cm) && std::fabs(Cm) <= FarOutCm;
}

// Whether an item stands where no printer can take it.
bool Refused(const TSheet& Sheet) {
    for (int I = 0; I < Sheet.FItems.Count(); ++I) {
        const TEPSBox& Item = Sheet.FItems.Item(I);
        bool Ok = Takes(Item.Origin.X) && Takes(Item.Origin.Y);
        if (Item.Kind != KindText)
            Ok = Ok && Takes(Item.Origin.X - Item.Offset.X) && Takes(Item.Origin.Y - Item.Offset.Y);
        if (!Ok) return true;
    }
    return false;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* Data, std::size_t Size) {
    const std::string Input(reinterpret_cast<const char*>(Data), Size);
    SetLocaleDecimalChar('.');
    std::vector<std::string> Parts = zarvofuzz::Split(Input, "\n--eps--\n");
    static const std::string SheetPath = zarvofuzz::TempFile("job.zvs");
    zarvofuzz::WriteFile(SheetPath, Parts[0]);
    TSheet Sheet;
    if (!LoadSheet(Sheet, SheetPath).Succeeded()) return 0;
    std::vector<std::string> Eps(Parts.begin() + 1, Parts.end());
    if (Eps.empty()) Eps.push_back(std::string());
    if (Eps.size() > 8) Eps.resize(8);
    for (std::size_t I = 0; I < Eps.size(); ++I)
        zarvofuzz::WriteFile(zarvofuzz::TempFile("e" + std::to_string(I) + ".eps"), Eps[I]);
    std::vector<std::size_t> FileOf(static_cast<std::size_t>(Sheet.FItems.Count()), 0);
    for (int I = 0, K = 0; I < Sheet.FItems.Count(); ++I) {
        TEPSBox& Item = Sheet.FItems.Item(I);
        if (Item.Kind == KindText) continue;
        FileOf[static_cast<std::size_t>(I)] = static_cast<std::size_t>(K) % Eps.size();
        Item.Name = zarvofuzz::TempFile("e" + std::to_string(K % Eps.size()) + ".eps");
        ++K;
    }

    std::string Job;
    const TPrintResult R = PrintSheetTo(Sheet, "mem", MakeMemoryTarget(Job));
    // A paper that is no size, or a far-out position, is refused before anything is written.
    const auto PaperSide = [](double Cm) { return Cm > 0 && Cm <= MaxSheetPaperSide; };
    if (!PaperSide(Sheet.FPaperSize.X) || !PaperSide(Sheet.FPaperSize.Y)) {
        FUZZ_CHECK(!R.Ok && Job.empty());
        FUZZ_CHECK(R.Message == "Papiergröße außerhalb des druckbaren Bereichs");
        return 0;
    }
    if (Refused(Sheet)) {
        FUZZ_CHECK(!R.Ok && Job.empty());
        FUZZ_CHECK(StartsWith(R.Message, "Lage von "));
        FUZZ_CHECK(EndsWith(R.Message, " außerhalb des druckbaren Bereichs"));
        return 0;
    }
    FUZZ_CHECK(R.Ok && R.Message.empty());
    FUZZ_CHECK(StartsWith(Job, "%!PS-Adobe\r\n%%Creator: "));
    FUZZ_CHECK(EndsWith(Job, "\r\nshowpage end\r\n"));

    // The job is the header of an empty sheet of the same paper, then each item's block after an
    // empty line, then "showpage end".
    TSheet Empty = Sheet;
    Empty.FItems.Clear();
    std::string Expected;
    FUZZ_CHECK(PrintSheetTo(Empty, "mem", MakeMemoryTarget(Expected)).Ok);
    Expected.resize(Expected.size() - std::string("showpage end\r\n").size());
    for (int I = 0; I < Sheet.FItems.Count(); ++I) {
        const TEPSBox& Item = Sheet.FItems.Item(I);
        const std::string B = Block(Item);
        if (Item.Kind == KindText)
            CheckTextBlock(B, Item);
        else
            CheckEpsBlock(B, Eps[FileOf[static_cast<std::size_t>(I)]]);
        Expected += CRLF + B;
    }
    Expected += "showpage end\r\n";
    FUZZ_CHECK(Job == Expected);

    // A target that takes only part of the job: a write error naming the target.
    const std::size_t Limit = Size ? (Data[Size - 1] * 37u) % (Job.size() + 1) : 0;
    std::string Part;
    const TPrintResult Failed =
        PrintSheetTo(Sheet, "LPT1", MakeMemoryTarget(Part, static_cast<long long>(Limit)));
    if (Limit < Job.size()) {
        FUZZ_CHECK(!Failed.Ok);
        FUZZ_CHECK(StartsWith(Failed.Message, "Fehler beim Schreiben nach LPT1 ("));
        FUZZ_CHECK(Part.size() <= Limit && StartsWith(Job, Part));
    } else {
        FUZZ_CHECK(Failed.Ok && Part == Job);
    }
    return 0;
}
