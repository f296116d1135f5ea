// Sheet files: the paper and every item of a sheet in an INI file (extension "zvs").
#include "sheet/sheetfile.h"

#include "sheet/psfonttable.h"
#include "support/inifile.h"
#include "support/inouterror.h"
#include "support/winsub.h"

#include <algorithm>
#include <cstring>
#include <sys/stat.h>

namespace zarvo {

namespace {

const char* const GlobalSection = "Global";

TSheetResult Failure(TSheetResult::TStatus Status, std::string Message) {
    TSheetResult R;
    R.Status = Status;
    R.Message = std::move(Message);
    return R;
}

std::string LowerAscii(std::string S) {
    for (char& C : S)
        if (C >= 'A' && C <= 'Z') C = static_cast<char>(C - 'A' + 'a');
    return S;
}

std::string ReasonOf(int Error) {
    return Error ? std::string(" (") + std::strerror(Error) + ")" : "";
}

// The highest n whose section FrameSection(n) the file holds; bounds the walk over "Count",
// whatever number an edited file gives there.
int HighestFrame(const TIniFile& Ini) {
    int Highest = 0;
    for (const std::string& Name : Ini.SectionNames()) {
        if (Name.size() < 7 || Name.size() > 15) continue;
        if (LowerAscii(Name.substr(0, 5)) != "frame") continue;
        const std::string Digits = Name.substr(5);
        if (Digits.find_first_not_of("0123456789") != std::string::npos) continue;
        const long long N = std::stoll(Digits);
        if (N > 0 && N <= 2147483647LL && IntToStrZero(N, 2) == Digits)
            Highest = std::max(Highest, static_cast<int>(N));
    }
    return Highest;
}

// The value that reads back as Name. Reading drops the blanks around a value (they are lost)
// and one pair of enclosing quote marks; a name that is itself enclosed in quote marks, such as
// the text "Hallo" with its quotes, is written inside one more pair so that it keeps them.
std::string NameValue(const std::string& Name) {
    const std::size_t B = Name.find_first_not_of(" \t");
    if (B == std::string::npos) return Name;
    const std::string T = Name.substr(B, Name.find_last_not_of(" \t") - B + 1);
    if (T.size() >= 2 && (T.front() == '"' || T.front() == '\'') && T.back() == T.front())
        return '"' + T + '"';
    return Name;
}

} // namespace

std::string FrameSection(int N) {
    return "Frame" + IntToStrZero(N, 2);
}

TSheetResult LoadSheet(TSheet& Sheet, const std::string& FileName, const TTextMeasure& Measure) {
    TIniFile Ini(FileName);
    switch (Ini.Open()) {
    case TIniFile::TOpenResult::Ok:
        break;
    case TIniFile::TOpenResult::Missing:
        return Failure(TSheetResult::Missing, "Datei:" + FileName + " nicht gefunden!");
    case TIniFile::TOpenResult::TooLarge:
        return Failure(TSheetResult::NotASheet,
                       "Keine Blattdaten in " + FileName + " (die Datei ist zu groß)");
    case TIniFile::TOpenResult::Unreadable:
        return Failure(TSheetResult::Unreadable, "Datei " + FileName +
                                                     " kann nicht gelesen werden" +
                                                     ReasonOf(Ini.LastError()));
    }
    if (!Ini.SectionExists(GlobalSection))
        return Failure(TSheetResult::NotASheet, "Keine Blattdaten in " + FileName);

    Sheet.FSheetFile = FileName;
    Sheet.FItems.Clear();
    const long Count = Ini.ReadInteger(GlobalSection, "Count", 0);
    Sheet.FLandscape = Ini.ReadBool(GlobalSection, "Landscape", false);
    Sheet.FPaperSize.Y = Ini.ReadFloat(GlobalSection, "PaperHeight", A4Paper.Y);
    Sheet.FPaperSize.X = Ini.ReadFloat(GlobalSection, "PaperWidth", A4Paper.X);

    const long Last = std::min<long>(Count, HighestFrame(Ini));
    for (long N = 1; N <= Last; ++N) {
        const std::string Section = FrameSection(static_cast<int>(N));
        const std::string Name = Ini.ReadString(Section, "Name", std::string());
        if (Name.empty()) continue;
        TEPSBox Item(Sheet.FBoxSize);
        Item.Name = Name;
        Item.Kind = static_cast<std::uint8_t>(Ini.ReadInteger(Section, "BBox", 0) & 0xFF);
        Item.Origin.X = Ini.ReadFloat(Section, "XOrigin", 0.0);
        Item.Origin.Y = Ini.ReadFloat(Section, "YOrigin", 0.0);
        Item.Offset.X = Ini.ReadFloat(Section, "XOffset", 0.0);
        Item.Offset.Y = Ini.ReadFloat(Section, "YOffset", 0.0);
        Item.Size.X = Ini.ReadFloat(Section, "XSize", Sheet.FBoxSize.X);
        Item.Size.Y = Ini.ReadFloat(Section, "YSize", Sheet.FBoxSize.Y);
        if (Item.Kind == KindText) {
            const TPSFontRec& D = Sheet.FTextFont;
            Item.Font.FontType = static_cast<std::uint16_t>(
                ValidFontType(Ini.ReadInteger(Section, "FontType", D.FontType), D.FontType));
            Item.Font.FontSize = static_cast<std::uint16_t>(
                ValidFontSize(Ini.ReadInteger(Section, "FontSize", D.FontSize), D.FontSize));
            Item.Font.FontStyle = static_cast<std::uint16_t>(
                ValidFontStyle(Ini.ReadInteger(Section, "FontStyle", D.FontStyle), D.FontStyle));
            Item.Font.FontColor =
                static_cast<std::uint32_t>(Ini.ReadInteger(Section, "FontColor", D.FontColor));
            if (Measure) Item.Size = Measure(Item.Name, Item.Font);
        }
        Sheet.FItems.Add(Item.Name, Item);
    }
    return {};
}

TSheetResult SaveSheet(TSheet& Sheet, const std::string& FileName) {
    TIniFile Ini(FileName);
    // The file's other sections stay; a file that exists but cannot be read is not replaced.
    // A device is only written: read, /dev/zero would never end and a terminal would wait.
    struct stat St;
    const bool Device =
        ::stat(FileName.c_str(), &St) == 0 && (S_ISCHR(St.st_mode) || S_ISBLK(St.st_mode));
    switch (Device ? TIniFile::TOpenResult::Missing : Ini.Open()) {
    case TIniFile::TOpenResult::Ok:
    case TIniFile::TOpenResult::Missing:
        break;
    case TIniFile::TOpenResult::TooLarge:
    case TIniFile::TOpenResult::Unreadable:
        return Failure(TSheetResult::CannotWrite,
                       "Fehler beim Schreiben nach " + FileName + ReasonOf(Ini.LastError()));
    }
    Ini.WriteInteger(GlobalSection, "Count", Sheet.FItems.Count());
    Ini.WriteBool(GlobalSection, "Landscape", Sheet.FLandscape);
    Ini.WriteFloat(GlobalSection, "PaperHeight", Sheet.FPaperSize.Y);
    Ini.WriteFloat(GlobalSection, "PaperWidth", Sheet.FPaperSize.X);
    for (int I = 0; I < Sheet.FItems.Count(); ++I) {
        const TEPSBox& Item = Sheet.FItems.Item(I);
        const std::string Section = FrameSection(I + 1);
        Ini.EraseSection(Section);
        Ini.WriteString(Section, "Name", NameValue(Item.Name));
        Ini.WriteInteger(Section, "BBox", Item.Kind);
        Ini.WriteFloat(Section, "XOrigin", Item.Origin.X);
        Ini.WriteFloat(Section, "YOrigin", Item.Origin.Y);
        Ini.WriteFloat(Section, "XOffset", Item.Offset.X);
        Ini.WriteFloat(Section, "YOffset", Item.Offset.Y);
        Ini.WriteFloat(Section, "XSize", Item.Size.X);
        Ini.WriteFloat(Section, "YSize", Item.Size.Y);
        if (Item.Kind == KindText) {
            Ini.WriteInteger(Section, "FontType", Item.Font.FontType);
            Ini.WriteInteger(Section, "FontSize", Item.Font.FontSize);
            Ini.WriteInteger(Section, "FontStyle", Item.Font.FontStyle);
            Ini.WriteInteger(Section, "FontColor", static_cast<std::int32_t>(Item.Font.FontColor));
        }
    }
    try {
        Ini.UpdateFile();
    } catch (const EInOutError& E) {
        return Failure(TSheetResult::CannotWrite,
                       "Fehler beim Schreiben nach " + FileName + ReasonOf(E.ErrorCode));
    }
    Sheet.FSheetFile = FileName;
    Sheet.FModified = false;
    return {};
}

} // namespace zarvo
