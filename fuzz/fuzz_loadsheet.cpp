// Fuzz target: LoadSheet on a sheet file with the fuzzed bytes. A file that is no sheet leaves
// the sheet as it was; a sheet loads at most one item per section it holds, with fonts from the
// table; saving what was loaded and loading it again gives the same sheet to the millimetre,
// and no temporary file is left behind.
#include "fuzzcommon.h"
#include "sheet/sheetfile.h"
#include "support/inifile.h"
#include "support/localefmt.h"

using namespace zarvo;

namespace {

std::string Trim(const std::string& S) {
    const std::size_t B = S.find_first_not_of(" \t");
    if (B == std::string::npos) return std::string();
    return S.substr(B, S.find_last_not_of(" \t") - B + 1);
}

std::string Lower(std::string S) {
    for (char& C : S)
        if (C >= 'A' && C <= 'Z') C = static_cast<char>(C - 'A' + 'a');
    return S;
}

std::string Mm(double Cm) {
    return FloatToFixed(Cm, 1);
}

void CheckSameToTheMillimetre(const TSheet& A, const TSheet& B) {
    FUZZ_CHECK(A.FLandscape == B.FLandscape);
    FUZZ_CHECK(Mm(A.FPaperSize.X) == Mm(B.FPaperSize.X));
    FUZZ_CHECK(Mm(A.FPaperSize.Y) == Mm(B.FPaperSize.Y));
    FUZZ_CHECK(A.FItems.Count() == B.FItems.Count());
    for (int I = 0; I < A.FItems.Count(); ++I) {
        const TEPSBox& X = A.FItems.Item(I);
        const TEPSBox& Y = B.FItems.Item(I);
        FUZZ_CHECK(X.Name == Y.Name);
        FUZZ_CHECK(B.FItems.Label(I) == Y.Name);
        FUZZ_CHECK(X.Kind == Y.Kind);
        FUZZ_CHECK(Mm(X.Origin.X) == Mm(Y.Origin.X) && Mm(X.Origin.Y) == Mm(Y.Origin.Y));
        FUZZ_CHECK(Mm(X.Offset.X) == Mm(Y.Offset.X) && Mm(X.Offset.Y) == Mm(Y.Offset.Y));
        FUZZ_CHECK(Mm(X.Size.X) == Mm(Y.Size.X) && Mm(X.Size.Y) == Mm(Y.Size.Y));
        if (X.Kind == KindText) FUZZ_CHECK(X.Font == Y.Font);
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* Data, std::size_t Size) {
    const std::string Input(reinterpret_cast<const char*>(Data), Size);
    SetLocaleDecimalChar('.');
    static const std::string SheetPath = zarvofuzz::TempFile("in.zvs");
    static const std::string SavedPath = zarvofuzz::TempFile("saved.zvs");
    static const std::string AgainPath = zarvofuzz::TempFile("again.zvs");
    zarvofuzz::WriteFile(SheetPath, Input);

    // A sheet with one item, to see that a failed load leaves it alone.
    TSheet Sheet;
    TEPSBox Old(Sheet.FBoxSize);
    Old.Name = "/old.eps";
    Sheet.FItems.Add(Old.Name, Old);
    Sheet.FSheetFile = "/old.zvs";
    const TSheetResult Loaded = LoadSheet(Sheet, SheetPath);
    if (!Loaded.Succeeded()) {
        FUZZ_CHECK(!Loaded.Message.empty());
        FUZZ_CHECK(Loaded.Status == TSheetResult::NotASheet);
        FUZZ_CHECK(Loaded.Message == "Keine Blattdaten in " + SheetPath);
        FUZZ_CHECK(Sheet.FItems.Count() == 1 && Sheet.FSheetFile == "/old.zvs");
        return 0;
    }
    FUZZ_CHECK(Loaded.Message.empty());
    FUZZ_CHECK(Sheet.FSheetFile == SheetPath);

    TIniFile Ini;
    Ini.Parse(Input);
    FUZZ_CHECK(Ini.SectionExists("Global"));
    const long Count = Ini.ReadInteger("Global", "Count", 0);
    long Frames = 0;
    for (long N = 1; N <= Count && N <= 100000; ++N)
        if (Ini.SectionExists(FrameSection(static_cast<int>(N)))) ++Frames;
    FUZZ_CHECK(Sheet.FItems.Count() <= Frames);
    for (int I = 0; I < Sheet.FItems.Count(); ++I) {
        const TEPSBox& Item = Sheet.FItems.Item(I);
        FUZZ_CHECK(!Item.Name.empty() && Item.Name.size() <= 2047);
        FUZZ_CHECK(Item.Name.find_first_of("\r\n") == std::string::npos);
        if (Item.Kind == KindText) FUZZ_CHECK(Item.Font.FontType <= 3 && Item.Font.FontStyle <= 3);
    }

    // Saved and loaded again: the same sheet to the millimetre, less the blanks around a name
    // (a quoted value can hold them; the file format drops them); saved once more: the same file.
    TSheet Expected = Sheet;
    Expected.FItems.Clear();
    bool Trimmed = false;
    for (int I = 0; I < Sheet.FItems.Count(); ++I) {
        TEPSBox Item = Sheet.FItems.Item(I);
        Item.Name = Trim(Item.Name);
        Trimmed = Trimmed || Item.Name != Sheet.FItems.Item(I).Name;
        if (!Item.Name.empty()) Expected.FItems.Add(Item.Name, Item);
    }
    std::remove(SavedPath.c_str());
    std::remove(AgainPath.c_str());
    TSheet Copy = Sheet;
    FUZZ_CHECK(SaveSheet(Copy, SavedPath).Succeeded());
    FUZZ_CHECK(!Copy.FModified && Copy.FSheetFile == SavedPath);
    TSheet Back;
    FUZZ_CHECK(LoadSheet(Back, SavedPath).Succeeded());
    CheckSameToTheMillimetre(Expected, Back);
    FUZZ_CHECK(SaveSheet(Back, AgainPath).Succeeded());
    // (Unless a name lost blanks: the first file still holds them, or an item of blanks alone.)
    if (!Trimmed) FUZZ_CHECK(zarvofuzz::ReadFile(AgainPath) == zarvofuzz::ReadFile(SavedPath));

    // Saved over the file it came from: the same sheet again, and every section that is not
    // one of the items written keeps its place in the file.
    TSheet Over = Sheet;
    FUZZ_CHECK(SaveSheet(Over, SheetPath).Succeeded());
    TSheet OverBack;
    FUZZ_CHECK(LoadSheet(OverBack, SheetPath).Succeeded());
    CheckSameToTheMillimetre(Expected, OverBack);
    TIniFile Written(SheetPath);
    FUZZ_CHECK(Written.Open() == TIniFile::TOpenResult::Ok);
    for (const std::string& Name : Ini.SectionNames()) {
        bool Rewritten = false;
        for (int N = 1; N <= Over.FItems.Count() && !Rewritten; ++N)
            Rewritten = Lower(Name) == Lower(FrameSection(N));
        if (!Rewritten) FUZZ_CHECK(Written.SectionExists(Name));
    }
    // in.zvs, saved.zvs and again.zvs, and no temporary file beside them.
    FUZZ_CHECK(zarvofuzz::ListDir(zarvofuzz::TempDir()).size() == 3);
    return 0;
}
