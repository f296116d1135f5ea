// Printing the sheet and choosing where the print goes.
#include "window/zarvomain.h"

#include "output/printjob.h"
#include "output/printtarget.h"

#include <QAction>
#include <QApplication>
#include <QFile>
#include <QLabel>

namespace zarvo {

void TZarvoForm::PrintBtnClick() {
    std::string Target, Path;
    if (FPrinter != PrinterFile) {
        Target = PrintTargetName(FPrinter, FWorkDir, FPrintFile);
        if (!AskYesNo(FDialogs, "Ausdruck auf " + Target + " starten?", -1, -1)) return;
        const std::string Configured =
            FPrinter >= 1 && FPrinter <= 4 ? FPortTargets[FPrinter - 1] : std::string();
        Path = PortTarget(FPrinter, Configured);
    } else {
        std::string Name = FPrintFile;
        if (!FDialogs.InputQuery("Postsript-Ausgabe", "Dateiname", Name)) return;
        FPrintFile = Name;
        Target = PrintFilePath(FWorkDir, FPrintFile);
        Path = PrintFileOpenPath(Target);
    }
    QApplication::setOverrideCursor(Qt::WaitCursor);
    const TPrintResult R = PrintSheet(FSheet, Target, Path);
    QApplication::restoreOverrideCursor();
    if (!R.Ok) FDialogs.ErrorBox(R.Message);
}

void TZarvoForm::SelectPrinter(int Printer) {
    FPrinter = Printer;
    QAction* Items[] = {PrintFileSelect, LPT11, LPT21, LPT31, LPT41};
    Items[Printer]->setChecked(true);
    ShowPrintTarget();
}

void TZarvoForm::ShowPrintTarget() {
    StatusText->setText(
        QFile::decodeName(PrintTargetStatus(FPrinter, FWorkDir, FPrintFile).c_str()));
}

} // namespace zarvo
