// The command line of the program: printing a sheet and reading EPS headers without a window.
#include "app/commandline.h"

#include "output/jobcheck.h"
#include "output/printjob.h"
#include "app/previewcommand.h"
#include "sheet/epsheader.h"
#include "sheet/sheetfile.h"
#include "support/userdialogs.h"

#include <csignal>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

namespace zarvo {

namespace {

const char UsageText[] =
    "Aufruf:\n"
    "  zarvo [BLATT.zvs]                    startet das Programmfenster\n"
    "  zarvo --print BLATT.zvs [-o AUSGABE]  schreibt den PostScript-Auftrag des Blattes\n"
    "                                       nach AUSGABE (ohne -o oder mit - auf die\n"
    "                                       Standardausgabe)\n"
    "  zarvo --preview BLATT.zvs -o BILD.png [--size BxH] [--zoom N] [--scroll X,Y]\n"
    "                                       zeichnet die Seitenvorschau des Blattes als\n"
    "                                       PNG-Bild von B x H Pixeln (Vorgabe 800x600);\n"
    "                                       N ist der Zoomteiler 1 bis 4096 (64 ganze\n"
    "                                       Seite), X und Y die Bildlaufpositionen 0 bis\n"
    "                                       100 (Vorgabe 0,15)\n"
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

// Messages of the core go to standard error; questions are answered with No.
class TStderrDialogs : public TUserDialogs {
public:
    bool AskYesNo(const std::string& Msg, int, int) override {
        Print(Msg);
        return false;
    }
    void ErrorBox(const std::string& Msg) override { Print(Msg); }
    void ShowMessage(const std::string& Msg) override { Print(Msg); }

private:
    static void Print(std::string Msg) {
        for (char& C : Msg)
            if (C == '\r') C = '\n';
        std::fprintf(stderr, "%s\n", Msg.c_str());
    }
};

int Fail(const std::string& Msg) {
    std::fprintf(stderr, "%s\n", Msg.c_str());
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

int PrintCommand(const std::vector<std::string>& Args) {
    std::string SheetFile, Out = "-";
    bool Check = false;
    for (std::size_t I = 0; I < Args.size(); ++I) {
        if (Args[I] == "--check") {
            Check = true;
        } else if (Args[I] == "-o") {
            if (I + 1 >= Args.size()) return Fail("Nach -o fehlt die Ausgabedatei.");
            Out = Args[++I];
        } else if (SheetFile.empty()) {
            SheetFile = Args[I];
        } else {
            return Fail("Zu viele Angaben: " + Args[I]);
        }
    }
    if (SheetFile.empty()) return Fail("--print braucht eine Blattdatei.");
    TSheet Sheet;
    const TSheetResult Loaded = LoadSheet(Sheet, SheetFile);
    if (!Loaded.Succeeded()) return Fail(Loaded.Message);
    if (Check && !ReportCheck(Sheet)) return Fail("Nichts gedruckt: der Auftrag würde scheitern.");
    const std::string TargetName = Out == "-" ? "Standardausgabe" : Out;
    const TPrintResult Printed = PrintSheet(Sheet, TargetName, Out);
    if (!Printed.Ok) return Fail(Printed.Message);
    return 0;
}

int EpsInfoCommand(const std::vector<std::string>& Files) {
    if (Files.empty()) return Fail("--eps-info braucht mindestens eine EPS-Datei.");
    int Status = 0;
    for (const std::string& File : Files) {
        std::uint8_t Kind = KindStdSize;
        TCmPair Size{10.0, 10.0}, Offset{0.0, 0.0};
        if (!ReadEpsHeader(File, Kind, Size, Offset)) {
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
    TStderrDialogs Dialogs;
    SetUserDialogs(&Dialogs);
    const std::vector<std::string> Rest(Args.begin() + 1, Args.end());
    int Status;
    if (Command == "--help" || Command == "-h") {
        std::fputs(UsageText, stdout);
        Status = 0;
    } else if (Command == "--version") {
        std::printf("zarvo %s\n", ZARVO_VERSION);
        Status = 0;
    } else if (Command == "--print") {
        Status = PrintCommand(Rest);
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
    SetUserDialogs(nullptr);
    return Status;
}

} // namespace zarvo
