// Tests of the text dialog: markers, the character table, Latin-1 bytes in and out, Cancel.
#include "dialogs/chartabledlg.h"
#include "dialogs/plottextdlg.h"
#include "modaldriver.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTableWidget>
#include <QTest>
#include <QToolButton>

#include <gtest/gtest.h>

using namespace zarvo;
using zarvotest::OnNextModal;
using zarvotest::TBeepCounter;
using zarvotest::TypeText;

namespace {

TPlotTextDialog* TextDialog(QDialog* D) {
    return qobject_cast<TPlotTextDialog*>(D);
}

// Opens the character table from the text dialog, picks the cell at Row, Col and confirms
// (Row 0: cancels instead).
void PickFromTable(TPlotTextDialog* Dialog, int Row, int Col) {
    OnNextModal([=](QDialog* D) {
        auto* Table = qobject_cast<TCharTableDialog*>(D);
        ASSERT_NE(Table, nullptr);
        EXPECT_EQ(Table->CharFont(), Dialog->TextFeld->font().family());
        if (Row == 0) {
            QTest::mouseClick(Table->CancelBtn, Qt::LeftButton);
            return;
        }
        Table->CharGrid->setCurrentCell(Row, Col);
        QTest::mouseClick(Table->OKBtn, Qt::LeftButton);
    });
    QTest::mouseClick(Dialog->CharTabBtn, Qt::LeftButton);
}

} // namespace

TEST(PlotTextDialog, MarkersGoAroundTheSelectionOrAtTheCaret) {
    TPlotTextDialog Dialog;
    Dialog.Load({0, 0}, "Text", "Text:", "abcd", "Arial", true);
    Dialog.TextFeld->setSelection(1, 2);
    Dialog.HochBtnClick();
    EXPECT_EQ(Dialog.TextFeld->text(), "a^bc_d");
    Dialog.TextFeld->setText("abcd");
    Dialog.TextFeld->setSelection(1, 2);
    Dialog.TiefBtnClick();
    EXPECT_EQ(Dialog.TextFeld->text(), "a_bc^d");
    Dialog.TextFeld->setText("abcd");
    Dialog.TextFeld->setCursorPosition(2);
    Dialog.HochBtnClick();
    EXPECT_EQ(Dialog.TextFeld->text(), "ab^cd");
    Dialog.TiefBtnClick();
    EXPECT_EQ(Dialog.TextFeld->text(), "ab^_cd");
}

TEST(PlotTextDialog, LoadsCallersSettingsAndKeepsEveryByte) {
    TPlotTextDialog Dialog;
    const std::string Bytes = "5 \xB5m \xE4\xF6\xFC\xDF ^2_ \xA9";
    Dialog.Load({123, 45}, QString::fromUtf8("Text ändern"), "Text:", Bytes, "Courier New", false);
    EXPECT_EQ(Dialog.pos(), QPoint(123, 45));
    EXPECT_EQ(Dialog.windowTitle(), QString::fromUtf8("Text ändern"));
    EXPECT_EQ(Dialog.Descriptor->text(), "Text:");
    EXPECT_TRUE(Dialog.CharTabBtn->isHidden());
    EXPECT_EQ(Dialog.TextFeld->font().family(), "Courier New");
    EXPECT_EQ(Dialog.TextFeld->text(), QString::fromUtf8("5 µm äöüß ^2_ ©"));
    std::string Out;
    Dialog.Store(Out);
    EXPECT_EQ(Out, Bytes);
}

TEST(PlotTextDialog, TypedTextIsStoredInTheCodePageOthersRefused) {
    TPlotTextDialog Dialog;
    Dialog.Load({0, 0}, "T", "L",
                "\x84"
                "a\x93",
                "Arial", true);
    EXPECT_EQ(Dialog.TextFeld->text(), QString::fromUtf8("„a“"));
    TBeepCounter Beeps;
    TypeText(Dialog.TextFeld, QString::fromUtf8(" Größe 5€ α–"));
    EXPECT_EQ(Beeps.Count(), 1); // the alpha
    std::string Out;
    Dialog.Store(Out);
    EXPECT_EQ(Out, "\x84"
                   "a\x93 Gr\xF6\xDF"
                   "e 5\x80 \x96");
}

TEST(PlotTextDialog, EditPlotTextTakesTheTextOnOkOnly) {
    std::string Text = "abcd";
    OnNextModal([](QDialog* D) {
        TPlotTextDialog* Dialog = TextDialog(D);
        ASSERT_NE(Dialog, nullptr);
        EXPECT_EQ(Dialog->windowTitle(), QString::fromUtf8("Text einfügen"));
        EXPECT_TRUE(Dialog->TextFeld->hasFocus());
        // The marker buttons leave the focus, and so the selection, in the field.
        Dialog->TextFeld->setSelection(1, 2);
        QTest::mouseClick(Dialog->HochBtn, Qt::LeftButton);
        EXPECT_TRUE(Dialog->TextFeld->hasFocus());
        QTest::keyClick(Dialog->TextFeld, Qt::Key_End);
        QTest::keyClicks(Dialog->TextFeld, "x");
        Dialog->TextFeld->setSelection(0, 1);
        QTest::mouseClick(Dialog->TiefBtn, Qt::LeftButton);
        QTest::keyClick(Dialog->TextFeld, Qt::Key_Return);
    });
    EXPECT_TRUE(
        EditPlotText({10, 10}, QString::fromUtf8("Text einfügen"), "Text:", Text, "Arial", true));
    EXPECT_EQ(Text, "_a^^bc_dx");

    OnNextModal([](QDialog* D) {
        TPlotTextDialog* Dialog = TextDialog(D);
        ASSERT_NE(Dialog, nullptr);
        // A fresh dialog: the text is the caller's.
        EXPECT_EQ(Dialog->TextFeld->text(), "_a^^bc_dx");
        Dialog->TextFeld->selectAll();
        QTest::mouseClick(Dialog->HochBtn, Qt::LeftButton);
        QTest::keyClicks(Dialog->TextFeld, "changed");
        QTest::keyClick(Dialog->TextFeld, Qt::Key_Escape);
    });
    EXPECT_FALSE(EditPlotText({10, 10}, "T", "Text:", Text, "Arial", true));
    EXPECT_EQ(Text, "_a^^bc_dx");
}

TEST(PlotTextDialog, CharacterTableInsertsTheByteOfTheChosenCell) {
    std::string Text = "x=y";
    TBeepCounter Beeps;
    OnNextModal([&](QDialog* D) {
        TPlotTextDialog* Dialog = TextDialog(D);
        ASSERT_NE(Dialog, nullptr);
        EXPECT_EQ(Dialog->TextFeld->font().family(), "Symbol");
        // Row 5, column 2 is code 65; it replaces the selected "=".
        Dialog->TextFeld->setSelection(1, 1);
        PickFromTable(Dialog, 5, 2);
        EXPECT_EQ(Dialog->TextFeld->text(), "xAy");
        // Back in the text dialog (activated again, as a window manager does when the table
        // closes), the field has the focus again.
        Dialog->activateWindow();
        EXPECT_TRUE(QTest::qWaitForWindowActive(Dialog));
        EXPECT_TRUE(Dialog->TextFeld->hasFocus());
        // Code 0 (row 1, column 1) and Cancel insert nothing.
        PickFromTable(Dialog, 1, 1);
        PickFromTable(Dialog, 0, 0);
        EXPECT_EQ(Dialog->TextFeld->text(), "xAy");
        // A line feed (code 10) cannot be part of a one-line text: refused with a beep.
        PickFromTable(Dialog, 1, 11);
        EXPECT_EQ(Dialog->TextFeld->text(), "xAy");
        EXPECT_EQ(Beeps.Count(), 1);
        // The upper half: code 0xE5 at the caret.
        Dialog->TextFeld->setCursorPosition(3);
        PickFromTable(Dialog, 15, 6);
        QTest::mouseClick(Dialog->OKBtn, Qt::LeftButton);
    });
    EXPECT_TRUE(EditPlotText({0, 0}, "T", "Text:", Text, "Symbol", true));
    EXPECT_EQ(Text, "xAy\xE5");
}
