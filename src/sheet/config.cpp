// The program's settings as its configuration file keeps them from one run to the next.
#include "sheet/config.h"

#include "sheet/psfonttable.h"
#include "support/inifile.h"
#include "support/winsub.h"

#include <algorithm>

namespace zarvo {

int ValidGridWidth(long Width) {
    return static_cast<int>(std::clamp<long>(Width, MinGridWidth, MaxGridWidth));
}

TCmPair ValidPaperSize(TCmPair Size) {
    return {std::clamp(Size.X, MinPaperSide, MaxPaperSide),
            std::clamp(Size.Y, MinPaperSide, MaxPaperSide)};
}

TConfig ReadConfig(const TIniFile& Ini, const std::string& DefaultWorkDir) {
    TConfig C;
    C.WorkDir = Ini.ReadString("Config", "WorkDir", DefaultWorkDir);
    C.Filter = Ini.ReadString("Config", "Filter", C.Filter);
    C.Printer = static_cast<int>(Ini.ReadInteger("Config", "Printer", C.Printer));
    C.PrintFile = Ini.ReadString("Config", "PrintFile", C.PrintFile);
    C.Landscape = Ini.ReadBool("Config", "Landscape", C.Landscape);
    C.PaperSize.Y = Ini.ReadFloat("Config", "PaperHeight", C.PaperSize.Y);
    C.PaperSize.X = Ini.ReadFloat("Config", "PaperWidth", C.PaperSize.X);
    C.PaperSize = ValidPaperSize(C.PaperSize);
    C.GridOn = Ini.ReadBool("Config", "Grid", C.GridOn);
    C.GridWidth = ValidGridWidth(Ini.ReadInteger("Config", "GridWidth", C.GridWidth));
    const long Content = Ini.ReadInteger("Config", "ShowContent", -1);
    C.ShowContent = Content < 0 ? -1 : Content != 0;
    C.FormBounds.Left = static_cast<int>(Ini.ReadInteger("Form", "Left", C.FormBounds.Left));
    C.FormBounds.Top = static_cast<int>(Ini.ReadInteger("Form", "Top", C.FormBounds.Top));
    C.FormBounds.ClientWidth =
        static_cast<int>(Ini.ReadInteger("Form", "Width", C.FormBounds.ClientWidth));
    C.FormBounds.ClientHeight =
        static_cast<int>(Ini.ReadInteger("Form", "Height", C.FormBounds.ClientHeight));
    C.WindowState = static_cast<int>(Ini.ReadInteger("Form", "State", C.WindowState));
    TPSFontRec& F = C.TextFont;
    F.FontType = static_cast<std::uint16_t>(
        ValidFontType(static_cast<int>(Ini.ReadInteger("Font", "FontType", F.FontType))));
    F.FontSize =
        static_cast<std::uint16_t>(ValidFontSize(Ini.ReadInteger("Font", "FontSize", F.FontSize)));
    F.FontStyle = static_cast<std::uint16_t>(
        ValidFontStyle(static_cast<int>(Ini.ReadInteger("Font", "FontStyle", F.FontStyle))));
    F.FontColor = static_cast<std::uint32_t>(Ini.ReadInteger("Font", "FontColor", 0));
    for (int I = 0; I < 4; ++I)
        C.PortTargets[I] = Ini.ReadString("Ports", "LPT" + std::to_string(I + 1), "");
    return C;
}

void WriteConfig(TIniFile& Ini, const TConfig& C) {
    Ini.WriteString("Config", "WorkDir", C.WorkDir);
    Ini.WriteString("Config", "Filter", C.Filter);
    Ini.WriteInteger("Config", "Printer", C.Printer);
    Ini.WriteString("Config", "PrintFile", C.PrintFile);
    Ini.WriteBool("Config", "Landscape", C.Landscape);
    Ini.WriteFloat("Config", "PaperHeight", C.PaperSize.Y);
    Ini.WriteFloat("Config", "PaperWidth", C.PaperSize.X);
    Ini.WriteBool("Config", "Grid", C.GridOn);
    Ini.WriteInteger("Config", "GridWidth", C.GridWidth);
    if (C.ShowContent >= 0) Ini.WriteBool("Config", "ShowContent", C.ShowContent != 0);
    Ini.WriteInteger("Form", "Left", C.FormBounds.Left);
    Ini.WriteInteger("Form", "Top", C.FormBounds.Top);
    Ini.WriteInteger("Form", "Width", C.FormBounds.ClientWidth);
    Ini.WriteInteger("Form", "Height", C.FormBounds.ClientHeight);
    Ini.WriteInteger("Form", "State", C.WindowState);
    Ini.WriteInteger("Font", "FontType", C.TextFont.FontType);
    Ini.WriteInteger("Font", "FontSize", C.TextFont.FontSize);
    Ini.WriteInteger("Font", "FontStyle", C.TextFont.FontStyle);
    Ini.WriteInteger("Font", "FontColor", static_cast<std::int32_t>(C.TextFont.FontColor));
}

std::string ConfigFileName(const std::string& DocumentsFolder, const std::string& ProgramName) {
    return CombineFileName(DocumentsFolder, ProgramName, "INI");
}

} // namespace zarvo
