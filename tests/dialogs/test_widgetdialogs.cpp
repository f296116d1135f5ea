// Tests of the window's message boxes: Ctrl+C copies a box's title and text.
#include "dialogs/widgetdialogs.h"
#include "modaldriver.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QMessageBox>
#include <QPushButton>
#include <QTest>

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
