// The PostScript print job: header, every item of the sheet in order, and the final showpage.
#include "output/printjob.h"

#include "output/epscopy.h"
#include "output/printtarget.h"
#include "sheet/epsfile.h"
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

const char* const EpsWrapperBegin =
    "/setpagedevice {pop} bind def count /ZarvoOps exch def /ZarvoDicts countdictstack def";
const char* const EpsWrapperEnd =
    "count ZarvoOps sub {pop} repeat countdictstack ZarvoDicts sub {end} repeat";

void CopyPSFile(TBufTextFile& Writer, const TEPSBox& Item) {
    WriteBufLine(Writer, "save");
    WriteBufLine(Writer, "/copypage {} bind def /showpage {} bind def /erasepage {} bind def");
    // Figure tools leave values on the operand stack (matplotlib) or dictionaries open, and
    // some reset the page with setpagedevice (graphviz), which would erase the items printed
    // before: the file's leftovers are removed before restore, which needs its save object on
    // top, and setpagedevice does nothing, like the page operators.
    WriteBufLine(Writer, EpsWrapperBegin);
    WriteBufLine(Writer, CmOperand(Item.Origin.X - Item.Offset.X) + " cm " +
                             CmOperand(Item.Origin.Y - Item.Offset.Y) + " cm translate");
    try {
        int Error = 0;
        std::string Message;
        auto Source = OpenEpsSource(Item.Name, Error, Message);
        if (!Source) {
            if (!Message.empty())
                throw EPrintSourceError(Item.Name, EInOutError(Message, 0, true, Item.Name));
            RaiseInOutError(Item.Name, Error, true);
        }
        CopyEpsBody(*Source, Writer);
        Source->Close();
    } catch (const EPrintSourceError&) {
        throw;
    } catch (const EInOutError& E) {
        if (!E.Reading) throw;
        throw EPrintSourceError(Item.Name, E);
    }
    WriteBufLine(Writer, EpsWrapperEnd);
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
        std::string Message;
        if (!OpenEpsSource(Item.Name, Error, Message)) {
            if (!Message.empty()) return {false, Message};
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
