// Tests of the window's message boxes (Ctrl+C copies a box's title and text) and file dialogs.
#include "dialogs/qttranslations.h"
#include "dialogs/widgetdialogs.h"
#include "modaldriver.h"

#include "testsupport.h"

#include <QClipboard>
#include <QFileDialog>
#include <QGuiApplication>
#include <QListView>
#include <QMessageBox>
#include <QPushButton>
#include <QScreen>
#include <QTest>
#include <QTranslator>

#include <gtest/gtest.h>

using namespace zarvo;
using zarvotest::OnNextModal;

namespace {

// Presses Ctrl+C in the next message box, then the button with the given role.
void CopyThenPress(QMessageBox::StandardButton Button) {
    OnNextModal([Button](QDialog* D) {
        auto* Box = qobject_cast<QMessageBox*>(D);
        ASSERT_NE(Box, nullptr);
        QTest::keyClick(Box, Qt::Key_C, Qt::ControlModifier);
        Box->button(Button)->click();
    });
}

} // namespace

TEST(WidgetDialogs, CtrlCCopiesTheQuestionAndItsAnswerStaysTheUsers) {
    TWidgetDialogs Dialogs;
    QGuiApplication::clipboard()->setText("vorher");
    CopyThenPress(QMessageBox::No);
    EXPECT_FALSE(Dialogs.AskYesNo("Box löschen?", -1, -1));
    EXPECT_EQ(QGuiApplication::clipboard()->text(),
              QString::fromUtf8("EPS-Dateien drucken\nBox löschen?"));
    CopyThenPress(QMessageBox::Yes);
    EXPECT_TRUE(Dialogs.AskYesNo("Alles löschen?", 10, 10));
}

TEST(WidgetDialogs, QtsOwnButtonsSpeakTheLanguageOfTheLocale) {
    QTranslator* German = InstallQtTranslations(QLocale(QLocale::German, QLocale::Germany));
    ASSERT_NE(German, nullptr);
    QMessageBox Box(QMessageBox::Question, "EPS-Dateien drucken", "Blatt speichern?",
                    QMessageBox::Yes | QMessageBox::No);
    EXPECT_EQ(Box.button(QMessageBox::Yes)->text(), "&Ja");
    EXPECT_EQ(Box.button(QMessageBox::No)->text(), "&Nein");
    QCoreApplication::removeTranslator(German);
    delete German;
    // A locale without a translation keeps Qt's English texts.
    EXPECT_EQ(InstallQtTranslations(QLocale(QLocale::C)), nullptr);
}

TEST(WidgetDialogs, CtrlCCopiesErrorsWithTheirLineBreaks) {
    TWidgetDialogs Dialogs;
    CopyThenPress(QMessageBox::Ok);
    Dialogs.ErrorBox("Keine Bounding Box in /tmp/a.eps\rVerwende Standardgröße");
    EXPECT_EQ(QGuiApplication::clipboard()->text(),
              QString::fromUtf8("EPS-Dateien drucken\nKeine Bounding Box in /tmp/a.eps\n"
                                "Verwende Standardgröße"));
    CopyThenPress(QMessageBox::Ok);
    Dialogs.ShowMessage("Datei:/tmp/weg.zvs nicht gefunden!");
    EXPECT_EQ(QGuiApplication::clipboard()->text(),
              QString::fromUtf8("EPS-Dateien drucken\nDatei:/tmp/weg.zvs nicht gefunden!"));
    CopyThenPress(QMessageBox::Ok);
    Dialogs.InfoBox("Info", "zarvo 1.32");
    EXPECT_EQ(QGuiApplication::clipboard()->text(), QString::fromUtf8("Info\nzarvo 1.32"));
}

TEST(WidgetDialogs, AProposedNameWithWildcardsListsEveryFileOfThatName) {
    zarvotest::TTempDir Dir;
    for (const char* Name : {"bild.eps", "bild.ps", "bild2.eps", "other.eps"})
        zarvotest::WriteFile(Dir.File(Name), "%!PS\n");
    TWidgetDialogs Dialogs;
    QStringList Listed, Filters;
    OnNextModal([&](QDialog* D) {
        auto* Files = qobject_cast<QFileDialog*>(D);
        ASSERT_NE(Files, nullptr);
        Filters = Files->nameFilters();
        auto* List = Files->findChild<QListView*>(QStringLiteral("listView"));
        ASSERT_NE(List, nullptr);
        // The folder is read in the background: wait for the listing, then until it has
        // settled (the same count three times in a row).
        const auto Rows = [&] { return List->model()->rowCount(List->rootIndex()); };
        EXPECT_TRUE(QTest::qWaitFor([&] { return Rows() >= 2; }, 5000));
        for (int Same = 0, Last = Rows(), Tries = 0; Same < 3 && Tries < 100; ++Tries) {
            QTest::qWait(50);
            Same = Rows() == Last ? Same + 1 : 0;
            Last = Rows();
        }
        for (int R = 0; R < List->model()->rowCount(List->rootIndex()); ++R)
            Listed << List->model()->index(R, 0, List->rootIndex()).data().toString();
        D->reject();
    });
    TFileDialogOptions O;
    O.Title = "EPS-Datei auswählen";
    O.InitialDir = Dir.Path();
    O.FileName = "bild.*";
    O.Filter = "EPS-Dateien|*.eps|alle|*.*";
    std::string Path;
    EXPECT_FALSE(Dialogs.OpenFile(O, Path));
    Listed.sort();
    EXPECT_EQ(Listed, (QStringList{"bild.eps", "bild.ps"}));
    EXPECT_EQ(Filters, (QStringList{"bild.* (bild.*)", "EPS-Dateien (*.eps)", "alle (*.*)"}));
}

TEST(WidgetDialogs, BoxesWithoutAPositionStandInTheMiddleOfTheScreen) {
    // The window sits in a corner; a question without a position is centred on the screen,
    // one with a position stands there.
    QWidget Window;
    Window.setGeometry(10, 10, 200, 150);
    Window.show();
    TWidgetDialogs Dialogs;
    Dialogs.SetParent(&Window);
    const QPoint Middle = Window.screen()->availableGeometry().center();
    QRect Shown;
    const auto Record = [&] {
        OnNextModal([&](QDialog* D) {
            Shown = D->frameGeometry();
            D->reject();
        });
    };
    Record();
    Dialogs.AskYesNo("Blatt speichern?", -1, -1);
    EXPECT_LE((Shown.center() - Middle).manhattanLength(), 4) << Shown.x() << "," << Shown.y();
    Record();
    Dialogs.AskYesNo("Box löschen?", 30, 40);
    EXPECT_EQ(Shown.topLeft(), QPoint(30, 40));
    Record();
    Dialogs.ErrorBox("Fehler beim Schreiben nach LPT1");
    EXPECT_LE((Shown.center() - Middle).manhattanLength(), 4) << Shown.x() << "," << Shown.y();
}
