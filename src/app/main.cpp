// Program entry: the command line when it is asked for, else the main window.
#include "app/commandline.h"
#include "dialogs/qttranslations.h"
#include "dialogs/widgetdialogs.h"
#include "window/zarvomain.h"

#include <QApplication>
#include <QFile>
#include <QFileInfo>

#include <clocale>

int main(int argc, char** argv) {
    const int Status = zarvo::RunCommandLine(argc, argv);
    if (Status >= 0) return Status;
    QApplication App(argc, argv);
    QApplication::setApplicationName(QStringLiteral("zarvo"));
    zarvo::InstallQtTranslations();
    // Numbers in files and print jobs are written the same way whatever the user's locale.
    std::setlocale(LC_NUMERIC, "C");
    zarvo::TWidgetDialogs Dialogs;
    zarvo::TZarvoForm Form(Dialogs, argc > 0 ? argv[0] : "zarvo");
    Dialogs.SetParent(&Form);
    Form.ShowAsConfigured();
    // "zarvo SHEET.zvs" opens the sheet, as a file manager does. A name given in a terminal
    // is made a full path: the recent list must find the sheet from any folder.
    if (argc > 1)
        Form.OpenSheet(QFile::encodeName(QFileInfo(QFile::decodeName(argv[1])).absoluteFilePath())
                           .toStdString());
    return App.exec();
}
