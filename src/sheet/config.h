// The program's settings as its configuration file keeps them from one run to the next.
#pragma once

#include "sheet/epsbox.h"

#include <string>

namespace zarvo {

class TIniFile;

// Window geometry: position and client size in pixels.
struct TFormBounds {
    int Left = 0;
    int Top = 0;
    int ClientWidth = DefaultClientWidth;
    int ClientHeight = DefaultClientHeight;
};

struct TConfig {
    std::string WorkDir;                // folder of the EPS files and print files
    std::string Filter = DefaultFilter; // open-dialog filter of EPS files
    int Printer = DefaultPrinter;       // 0 the print file, 1 to 4 LPT1 to LPT4
    std::string PrintFile = DefaultPrintFile;
    bool Landscape = false;
    TCmPair PaperSize = A4Paper;
    bool GridOn = true;
    int GridWidth = DefaultGridWidth; // mm
    TFormBounds FormBounds;
    int WindowState = 0; // 0 normal, 1 minimised, 2 maximised
    TPSFontRec TextFont;
    // The preview shows what each EPS file draws: 1 on, 0 off, -1 not yet chosen (on exactly
    // when Ghostscript is installed).
    int ShowContent = -1;
    // What the ports LPT1 to LPT4 write to (section "Ports"); empty for the usual device.
    std::string PortTargets[4];
};

// Limits that keep the preview and the snapping arithmetic sound whatever a file says.
constexpr int MinGridWidth = 1, MaxGridWidth = 25;
constexpr double MinPaperSide = 1.0, MaxPaperSide = 1000.0;
int ValidGridWidth(long Width);
TCmPair ValidPaperSize(TCmPair Size);

// Reads every key; missing or unreadable keys take their defaults, WorkDir the given folder.
TConfig ReadConfig(const TIniFile& Ini, const std::string& DefaultWorkDir);

// Writes every key of the sections Config, Form and Font (the ports are only read).
void WriteConfig(TIniFile& Ini, const TConfig& Config);

// The configuration file: the program's name with the extension "INI" in the documents folder.
std::string ConfigFileName(const std::string& DocumentsFolder, const std::string& ProgramName);

} // namespace zarvo
