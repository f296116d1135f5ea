// Printing the sheet and choosing where the print goes.
#include "window/zarvomain.h"

#include "output/printjob.h"
#include "output/cupstarget.h"
#include "output/printroute.h"
#include "output/printtarget.h"
#include "support/inifile.h"
#include "support/inouterror.h"

#include <QAction>
#include <QApplication>
#include <QFile>
#include <QLabel>
#include <QStatusBar>
#include <QTimer>

namespace zarvo {

void TZarvoForm::PrintBtnClick() {
    TPrintResult R;
    if (FPrinter != PrinterFile) {
        const std::string Target = PrintTargetName(FPrinter, FWorkDir, FPrintFile);
        if (!AskYesNo(FDialogs, "Ausdruck auf " + Target + " starten?", -1, -1)) return;
        QApplication::setOverrideCursor(Qt::WaitCursor);
        R = PrintToPort(FSheet, FPrinter, PortRoute(FPrinter));
    } else {
        std::string Name = FPrintFile;
        if (!FDialogs.InputQuery("Postsript-Ausgabe", "Dateiname", Name)) return;
        FPrintFile = Name;
        const std::string Target = PrintFilePath(FWorkDir, FPrintFile);
        QApplication::setOverrideCursor(Qt::WaitCursor);
        R = PrintToFile(FSheet, Target, PrintFileOpenPath(Target));
    }
    QApplication::restoreOverrideCursor();
    if (!R.Ok) FDialogs.ErrorBox(R.Message);
    // A print server's confirmation stays a few seconds; then the target shows again.
    if (R.Ok && !R.Sent.empty())
        statusBar()->showMessage(QString::fromUtf8(R.Sent.c_str()), SentMessageMs);
}

TPortRoute TZarvoForm::PortRoute(int Port) const {
    return ResolvePort(Port, Port >= 1 && Port <= 4 ? FPortTargets[Port - 1] : std::string());
}

void TZarvoForm::SelectPrinter(int Printer) {
    FPrinter = Printer;
    QAction* Items[] = {PrintFileSelect, LPT11, LPT21, LPT31, LPT41};
    Items[Printer]->setChecked(true);
    ShowPrintTarget();
}

void TZarvoForm::ShowPrintTarget() {
    if (FPrinter == PrinterFile) {
        StatusText->setText(
            QFile::decodeName(PrintTargetStatus(FPrinter, FWorkDir, FPrintFile).c_str()));
        return;
    }
    const TPortRoute Route = PortRoute(FPrinter);
    StatusText->setText(QString::fromUtf8(PortStatusText(FPrinter, Route, FDefaultDest).c_str()));
    // Which printer is the default is asked in the background: the window never waits for it.
    if (Route.Kind == TRouteKind::CupsDefault && !FCupsLookup.Running()) {
        FCupsLookup.Start(LookupTimeoutMs);
        FCupsPoll->start();
    }
}

void TZarvoForm::PollPrinterLookup() {
    if (!FCupsLookup.TakeAnswer()) return;
    FCupsPoll->stop();
    FDefaultDest = FCupsLookup.DefaultName();
    if (FPrinter != PrinterFile)
        StatusText->setText(
            QString::fromUtf8(PortStatusText(FPrinter, PortRoute(FPrinter), FDefaultDest).c_str()));
}

void TZarvoForm::PrinterChooseItemClick() {
    if (FPrinter < 1 || FPrinter > 4) {
        FDialogs.ErrorBox(
            "Drucker werden einem Anschluss zugeordnet: wählen Sie zuerst LPT1 bis LPT4.");
        return;
    }
    const std::string Port = "LPT" + std::to_string(FPrinter);
    QApplication::setOverrideCursor(Qt::WaitCursor);
    std::string Error;
    const std::vector<TCupsDest> Dests = ListCupsDests(LookupTimeoutMs, Error);
    QApplication::restoreOverrideCursor();
    const TPortRoute Now = PortRoute(FPrinter);
    std::string Name = Now.Kind == TRouteKind::CupsName ? Now.Where : std::string();
    if (!FDialogs.ChoosePrinter(Port, Dests, Error, Name)) return;
    FPortTargets[FPrinter - 1] = Name;
    // Written at once, not only at exit: the choice is the user's setting.
    try {
        TIniFile Ini(FIniName);
        Ini.Open();
        Ini.WriteString("Ports", Port, Name);
        Ini.UpdateFile();
    } catch (const EInOutError& E) {
        FDialogs.ErrorBox("Fehler beim Schreiben nach " + FIniName + " (" + E.what() + ")");
    }
    ShowPrintTarget();
}

} // namespace zarvo
