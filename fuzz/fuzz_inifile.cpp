// Fuzz target: the INI reader (sheet and configuration files edited by hand). Writing the parsed
// file out and parsing it again changes nothing; values come back trimmed, unquoted, cut to
// 2047 characters and free of line ends; a value written cannot add a section or change another
// key; numbers survive a write; the configuration keys stay within their limits.
#include "fuzzcommon.h"
#include "sheet/config.h"
#include "support/inifile.h"
#include "support/localefmt.h"

#include <cmath>

using namespace zarvo;

namespace {

std::string Trim(const std::string& S) {
    std::size_t B = 0, E = S.size();
    while (B < E && (S[B] == ' ' || S[B] == '\t'))
        ++B;
    while (E > B && (S[E - 1] == ' ' || S[E - 1] == '\t'))
        --E;
    return S.substr(B, E - B);
}

// What reading gives for a value written as it stands.
std::string AsRead(std::string V) {
    for (char& C : V)
        if (C == '\r' || C == '\n') C = ' ';
    V = Trim(V);
    if (V.size() >= 2 && (V.front() == '"' || V.front() == '\'') && V.back() == V.front())
        V = V.substr(1, V.size() - 2);
    if (V.size() > 2047) V.resize(2047);
    return V;
}

void CheckValue(const std::string& V) {
    FUZZ_CHECK(V.size() <= 2047);
    FUZZ_CHECK(V.find_first_of("\r\n") == std::string::npos);
}

void CheckConfig(const TConfig& C) {
    FUZZ_CHECK(C.GridWidth >= MinGridWidth && C.GridWidth <= MaxGridWidth);
    FUZZ_CHECK(C.PaperSize.X >= MinPaperSide && C.PaperSize.X <= MaxPaperSide);
    FUZZ_CHECK(C.PaperSize.Y >= MinPaperSide && C.PaperSize.Y <= MaxPaperSide);
    FUZZ_CHECK(C.TextFont.FontType <= 3 && C.TextFont.FontStyle <= 3);
    CheckValue(C.WorkDir);
    CheckValue(C.Filter);
    CheckValue(C.PrintFile);
}

bool SameConfig(const TConfig& A, const TConfig& B) {
    bool Same = A.WorkDir == B.WorkDir && A.Filter == B.Filter && A.Printer == B.Printer &&
                A.PrintFile == B.PrintFile && A.Landscape == B.Landscape &&
                A.PaperSize == B.PaperSize && A.GridOn == B.GridOn && A.GridWidth == B.GridWidth &&
                A.WindowState == B.WindowState && A.TextFont == B.TextFont &&
                A.FormBounds.Left == B.FormBounds.Left && A.FormBounds.Top == B.FormBounds.Top &&
                A.FormBounds.ClientWidth == B.FormBounds.ClientWidth &&
                A.FormBounds.ClientHeight == B.FormBounds.ClientHeight;
    for (int I = 0; I < 4; ++I)
        Same = Same && A.PortTargets[I] == B.PortTargets[I];
    return Same;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* Data, std::size_t Size) {
    const std::string Input(reinterpret_cast<const char*>(Data), Size);
    SetLocaleDecimalChar(Size && (Data[0] & 1) ? ',' : '.');
    TIniFile Ini;
    Ini.Parse(Input);
    const std::string Text = Ini.Text();
    TIniFile Again;
    Again.Parse(Text);
    FUZZ_CHECK(Again.Text() == Text);
    FUZZ_CHECK(Again.SectionNames() == Ini.SectionNames());

    const TConfig Config = ReadConfig(Ini, "/home/u");
    CheckConfig(Config);
    FUZZ_CHECK(SameConfig(Config, ReadConfig(Again, "/home/u")));

    // Every key line of every section reads back by its own name, as a clean value, and the
    // numbers that convert survive being written again.
    const std::vector<std::string> Sections = Ini.SectionNames();
    for (std::size_t S = 0; S < Sections.size() && S < 8; ++S) {
        const std::string& Section = Sections[S];
        FUZZ_CHECK(Ini.SectionExists(Section));
        for (const char* Key : {"Count", "Name", "XOrigin", "BBox", "FontSize", "PaperWidth"}) {
            const std::string V = Ini.ReadString(Section, Key, "\x01");
            if (V == "\x01") continue;
            CheckValue(V);
            long N;
            if (TryStrToInt(V, N)) {
                TIniFile W;
                W.WriteInteger("S", "K", N);
                FUZZ_CHECK(W.ReadInteger("S", "K", N + 1) == N);
            }
            double D;
            if (TryStrToFloat(V, D)) {
                TIniFile W;
                W.WriteFloat("S", "K", D);
                const double Back = W.ReadFloat("S", "K", NAN);
                FUZZ_CHECK(std::isfinite(Back));
                FUZZ_CHECK(std::fabs(Back - D) <= 0.05 + 1e-12 * std::fabs(D));
            }
        }
    }

    // A value from the data written into the parsed file: it reads back as written (less what
    // reading strips), and the rest of the file does not change.
    const std::string Value = Input.substr(0, std::min<std::size_t>(Size, 3000));
    Ini.WriteString("Fuzz", "Value", Value);
    const std::string Expected = AsRead(Value);
    FUZZ_CHECK(Ini.ReadString("fuzz", "VALUE", "") == Expected);
    TIniFile Written;
    Written.Parse(Ini.Text());
    FUZZ_CHECK(Written.ReadString("Fuzz", "Value", "") == Expected);
    std::vector<std::string> Names = Written.SectionNames();
    std::size_t Added = Sections.size() + (Again.SectionExists("Fuzz") ? 0 : 1);
    FUZZ_CHECK(Names.size() == Added);
    if (!Again.SectionExists("Fuzz")) {
        FUZZ_CHECK(SameConfig(Config, ReadConfig(Written, "/home/u")));
    }

    // An erased section is gone, and writing it again starts it afresh.
    if (!Sections.empty()) {
        const std::string& First = Sections[0];
        Written.EraseSection(First);
        FUZZ_CHECK(!Written.SectionExists(First));
        Written.WriteString(First, "Name", "x");
        TIniFile Back;
        Back.Parse(Written.Text());
        FUZZ_CHECK(Back.ReadString(First, "Name", "") == "x");
    }
    SetLocaleDecimalChar(0);
    return 0;
}
