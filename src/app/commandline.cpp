// The command line of the program: printing a sheet and reading EPS headers without a window.
#include "app/commandline.h"

#include "output/jobcheck.h"
#include "app/previewcommand.h"
#include "output/cupstarget.h"
#include "output/printjob.h"
#include "output/printroute.h"
#include "output/printtarget.h"
#include "sheet/config.h"
#include "sheet/epsheader.h"
#include "sheet/sheetfile.h"
#include "support/inifile.h"
#include "support/shellfolder.h"
#include "support/userdialogs.h"
#include "support/version.h"
#include "support/winsub.h"

#include <csignal>
#include <cstdio>
#include <cstring>
#include <string>
#include <strings.h>
#include <vector>

namespace zarvo {

namespace {

const char UsageText[] =
    "Aufruf:\n"
    "  zarvo [BLATT.zvs]                    startet das Programmfenster\n"
    "  zarvo --print BLATT.zvs [-o AUSGABE]  schreibt den PostScript-Auftrag des Blattes\n"
    "                                       nach AUSGABE (ohne -o oder mit - auf die\n"
    "                                       Standardausgabe; AUSGABE.pdf wird ein PDF)\n"
    "  zarvo --print BLATT.zvs --port LPTn  druckt das Blatt dorthin, wohin LPTn geht,\n"
    "                                       wie das Programmfenster\n"
    "  zarvo --printers                     zeigt, wohin LPT1 bis LPT4 jetzt drucken\n"
    "                                       (* die eingestellte Ausgabe)\n"
    "  zarvo --preview BLATT.zvs -o BILD.png [--size BxH] [--zoom N] [--scroll X,Y]\n"
    "                [--eps-content]\n"
    "                                       zeichnet die Seitenvorschau des Blattes als\n"
    "                                       Bild von B x H Pixeln (Vorgabe 800x600) im\n"
    "                                       Format seiner Endung (.png, .jpg, .bmp ...);\n"
    "                                       N ist der Zoomteiler, eine Zweierpotenz 1 bis\n"
    "                                       4096 (64 ganze Seite), X und Y die\n"
    "                                       Bildlaufpositionen 0 bis 100 (Vorgabe 0,15);\n"
    "                                       mit --eps-content zeigen die EPS-Rahmen\n"
    "                                       ihren Inhalt (Ghostscript)\n"
    "  zarvo --print BLATT.zvs --check [-o AUSGABE]\n"
    "                                       prüft den Auftrag vorher wie --check und\n"
    "                                       schreibt nichts, wenn ein Element scheitert\n"
    "  zarvo --check BLATT.zvs              lässt jedes Element des Blattes durch\n"
    "                                       Ghostscript laufen und sagt, ob es druckt\n"
    "  zarvo --eps-info EPS...              zeigt, was \"EPS Insert\" von jeder Datei\n"
    "                                       übernimmt: Pfad, Art, Versatz X und Y,\n"
    "                                       Größe X und Y in cm\n"
    "  zarvo --help                         diese Hilfe\n"
    "  zarvo --version                      die Version\n";

// One message as one line on standard error: the line breaks meant for a message box become
// blanks.
void Tell(std::string Msg) {
    for (char& C : Msg)
        if (C == '\r' || C == '\n') C = ' ';
    std::fprintf(stderr, "%s\n", Msg.c_str());
}

int Fail(const std::string& Msg) {
    Tell(Msg);
    return 1;
}

// Each item's result on standard error; false when one fails or the check cannot run.
bool ReportCheck(const TSheet& Sheet) {
    const TJobCheck C = CheckSheetJob(Sheet);
    if (!C.Ran) {
        std::fprintf(stderr, "Prüfung nicht möglich: %s\n", C.Message.c_str());
        return false;
    }
    for (std::size_t I = 0; I < C.Items.size(); ++I) {
        const TEPSBox& Item = Sheet.FItems.Item(static_cast<int>(I));
        std::string Name = Item.Name;
        if (Item.Kind == KindText) Name = "Text \"" + Name + "\"";
        if (C.Items[I].Ok)
            std::fprintf(stderr, "%zu %s: druckt\n", I + 1, Name.c_str());
        else
            std::fprintf(stderr, "%zu %s: druckt nicht: %s\n", I + 1, Name.c_str(),
                         C.Items[I].Error.c_str());
    }
    return C.AllOk();
}

int CheckCommand(const std::vector<std::string>& Args) {
    if (Args.size() != 1) return Fail("--check braucht genau eine Blattdatei.");
    TSheet Sheet;
    const TSheetResult Loaded = LoadSheet(Sheet, Args[0]);
    if (!Loaded.Succeeded()) return Fail(Loaded.Message);
    return ReportCheck(Sheet) ? 0 : 1;
}

// The settings the window would use: its configuration file in the documents folder.
TConfig ReadUserConfig(const std::string& ProgramPath) {
    std::string Exe = ExtractFileName(StripExtension(ExtractFileName(ProgramPath)));
    if (Exe.empty()) Exe = "zarvo";
    const std::string Docs = GetSpecialFolder(CSIDL_PERSONAL);
    TIniFile Ini(ConfigFileName(Docs, Exe));
    Ini.Open();
    return ReadConfig(Ini, Docs);
}

// "LPT1" to "LPT4" (in any case) as the port's number, else 0.
int PortNumber(const std::string& Name) {
    if (Name.size() != 4 || ::strncasecmp(Name.c_str(), "LPT", 3) != 0) return 0;
    return Name[3] >= '1' && Name[3] <= '4' ? Name[3] - '0' : 0;
}

int PrintCommand(const std::vector<std::string>& Args, const std::string& ProgramPath) {
    std::string SheetFile, Out = "-", Port;
    bool HaveOut = false;
    bool Check = false;
    for (std::size_t I = 0; I < Args.size(); ++I) {
        if (Args[I] == "--check") {
            Check = true;
        } else if (Args[I] == "-o") {
            if (I + 1 >= Args.size()) return Fail("Nach -o fehlt die Ausgabedatei.");
            Out = Args[++I];
            HaveOut = true;
        } else if (Args[I] == "--port") {
            if (I + 1 >= Args.size()) return Fail("Nach --port fehlt LPT1, LPT2, LPT3 oder LPT4.");
            Port = Args[++I];
        } else if (Args[I].size() > 1 && Args[I][0] == '-') {
            return Fail("Unbekannte Option: " + Args[I]);
        } else if (SheetFile.empty()) {
            SheetFile = Args[I];
        } else {
            return Fail("Zu viele Angaben: " + Args[I]);
        }
    }
    if (SheetFile.empty()) return Fail("--print braucht eine Blattdatei.");
    if (HaveOut && !Port.empty()) return Fail("-o und --port schließen sich aus.");
    const int PortNo = Port.empty() ? 0 : PortNumber(Port);
    if (!Port.empty() && PortNo == 0)
        return Fail("Unbekannter Anschluss " + Port + ": LPT1, LPT2, LPT3 oder LPT4.");
    TSheet Sheet;
    const TSheetResult Loaded = LoadSheet(Sheet, SheetFile);
    if (!Loaded.Succeeded()) return Fail(Loaded.Message);
    if (Check && !ReportCheck(Sheet)) return Fail("Nichts gedruckt: der Auftrag würde scheitern.");
    if (PortNo > 0) {
        const TConfig Config = ReadUserConfig(ProgramPath);
        const TPrintResult Printed =
            PrintToPort(Sheet, PortNo, ResolvePort(PortNo, Config.PortTargets[PortNo - 1]));
        if (!Printed.Ok) return Fail(Printed.Message);
        if (!Printed.Sent.empty()) std::printf("%s\n", Printed.Sent.c_str());
        return 0;
    }
    const std::string TargetName = Out == "-" ? "Standardausgabe" : Out;
    const TPrintResult Printed = PrintToFile(Sheet, TargetName, Out);
    if (!Printed.Ok) return Fail(Printed.Message);
    return 0;
}

// Where each port prints now, with the state of its CUPS destination; the chosen output is
// marked with "*".
int PrintersCommand(const std::vector<std::string>& Args, const std::string& ProgramPath) {
    if (!Args.empty()) return Fail("Zu viele Angaben: " + Args[0]);
    const TConfig Config = ReadUserConfig(ProgramPath);
    std::string Error;
    const std::vector<TCupsDest> Dests = ListCupsDests(5000, Error);
    auto Find = [&](const std::string& Name) -> const TCupsDest* {
        for (const TCupsDest& D : Dests)
            if (Name.empty() ? D.IsDefault : D.Name == Name) return &D;
        return nullptr;
    };
    auto State = [](const TCupsDest& D) {
        std::string S = D.State;
        if (!D.Accepting) S += (S.empty() ? "" : ", ") + std::string("nimmt keine Aufträge an");
        if (!D.Description.empty()) S = D.Description + ", " + S;
        return " (" + S + ")";
    };
    for (int Port = 1; Port <= 4; ++Port) {
        const TPortRoute Route = ResolvePort(Port, Config.PortTargets[Port - 1]);
        std::string Line = RouteDescription(Route);
        if (Route.Kind == TRouteKind::CupsName || Route.Kind == TRouteKind::CupsDefault) {
            const TCupsDest* D = Find(Route.Kind == TRouteKind::CupsName ? Route.Where : "");
            if (D && Route.Kind == TRouteKind::CupsDefault) Line += " " + D->Name;
            if (D)
                Line += State(*D);
            else if (!Error.empty())
                Line += " (" + Error + ")";
            else if (Route.Kind == TRouteKind::CupsName)
                Line += " (nicht gefunden)";
            else
                Line += ": keiner eingerichtet";
        }
        std::printf("%s LPT%d  %s\n", Config.Printer == Port ? "*" : " ", Port, Line.c_str());
    }
    const bool FileChosen = Config.Printer < 1 || Config.Printer > 4;
    std::printf("%s Datei %s\n", FileChosen ? "*" : " ",
                PrintFilePath(Config.WorkDir, Config.PrintFile).c_str());
    if (std::fflush(stdout) != 0) return Fail("Fehler beim Schreiben nach Standardausgabe");
    return 0;
}

int EpsInfoCommand(const std::vector<std::string>& Files) {
    if (Files.empty()) return Fail("--eps-info braucht mindestens eine EPS-Datei.");
    int Status = 0;
    for (const std::string& File : Files) {
        std::uint8_t Kind = KindStdSize;
        TCmPair Size = StandardBoxSize, Offset{0.0, 0.0};
        const TStatus Read = ReadEpsHeader(File, Kind, Size, Offset);
        if (!Read.Message().empty()) Tell(Read.Message());
        if (!Read) {
            Status = 1;
            continue;
        }
        std::printf("%s\t%d\t%.4f\t%.4f\t%.4f\t%.4f\n", File.c_str(), Kind, Offset.X, Offset.Y,
                    Size.X, Size.Y);
    }
    if (std::fflush(stdout) != 0) return Fail("Fehler beim Schreiben nach Standardausgabe");
    return Status;
}

} // namespace

int RunCommandLine(int argc, char** argv) {
    std::vector<std::string> Args(argv + 1, argv + argc);
    if (Args.empty()) return -1;
    const std::string Command = Args[0];
    if (Command.size() < 2 || Command[0] != '-') return -1;
    // A reader that goes away early must give an error, not end the program unseen.
    std::signal(SIGPIPE, SIG_IGN);
    const std::vector<std::string> Rest(Args.begin() + 1, Args.end());
    int Status;
    if (Command == "--help" || Command == "-h") {
        std::fputs(UsageText, stdout);
        Status = 0;
    } else if (Command == "--version") {
        std::printf("zarvo %s\n", ProgramVersion);
        Status = 0;
    } else if (Command == "--print") {
        Status = PrintCommand(Rest, argv[0]);
    } else if (Command == "--printers") {
        Status = PrintersCommand(Rest, argv[0]);
    } else if (Command == "--preview") {
        Status = RunPreviewCommand(Rest);
    } else if (Command == "--check") {
        Status = CheckCommand(Rest);
    } else if (Command == "--eps-info") {
        Status = EpsInfoCommand(Rest);
    } else {
        std::fprintf(stderr, "Unbekannte Option: %s\n%s", Command.c_str(), UsageText);
        Status = 1;
    }
    return Status;
}

} // namespace zarvo
