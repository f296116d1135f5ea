// Tests of the character table: headers, codes of the cells, choosing by click, keys, Cancel.
#include "dialogs/chartabledlg.h"
#include "modaldriver.h"

#include <QPushButton>
#include <QTableWidget>
#include <QTest>

#include <QImage>

#include <gtest/gtest.h>

using namespace zarvo;
using zarvotest::OnNextModal;

namespace {

QPoint CellCentre(TCharTableDialog& Dialog, int Row, int Col) {
    return Dialog.CharGrid->visualItemRect(Dialog.CharGrid->item(Row, Col)).center();
}

} // namespace

TEST(CharTable, HexHeadersAndTheCharacterOfEveryCode) {
    TCharTableDialog Dialog;
    Dialog.SetCharFont("Symbol");
    QTableWidget* Grid = Dialog.CharGrid;
    ASSERT_EQ(Grid->rowCount(), 17);
    ASSERT_EQ(Grid->columnCount(), 17);
    EXPECT_EQ(Dialog.windowTitle(), "Zeichentabelle");
    EXPECT_EQ(Grid->item(0, 0)->text(), "");
    EXPECT_EQ(Grid->item(0, 1)->text(), "00");
    EXPECT_EQ(Grid->item(0, 11)->text(), "0A");
    EXPECT_EQ(Grid->item(16, 0)->text(), "0F");
    EXPECT_TRUE(Grid->item(0, 3)->font().bold());
    EXPECT_EQ(Grid->item(0, 3)->font().family(), Dialog.HeaderFont());
    EXPECT_EQ(Grid->item(5, 2)->text(), "A");                     // code 65
    EXPECT_EQ(Grid->item(16, 16)->text(), QString(QChar(0xFF)));  // code 255
    EXPECT_EQ(Grid->item(15, 5)->text(), QString::fromUtf8("ä")); // code 0xE4
    // 0x80..0x9F in the code page of the texts: the euro sign, the low quote.
    EXPECT_EQ(Grid->item(9, 1)->text(), QString::fromUtf8("€"));
    EXPECT_EQ(Grid->item(9, 5)->text(), QString::fromUtf8("„"));
    EXPECT_EQ(Grid->item(10, 4)->text(), QString::fromUtf8("“"));
    EXPECT_EQ(Grid->item(5, 2)->font().family(), "Symbol");
    EXPECT_FALSE(Grid->item(5, 2)->font().bold());
}

// What the header cells show: rendered, a header must not look like an ellipsis, which the
// narrow cells of a table view would otherwise make of two bold digits.
TEST(CharTable, HeadersShowTheirDigitsNotAnEllipsis) {
    TCharTableDialog Dialog;
    QTableWidget* Grid = Dialog.CharGrid;
    Dialog.show();
    for (const auto& [Row, Col] : {std::pair{0, 1}, std::pair{0, 16}, std::pair{16, 0}}) {
        QTableWidgetItem* Item = Grid->item(Row, Col);
        const QRect Cell = Grid->visualItemRect(Item);
        const QImage Shown = Grid->viewport()->grab(Cell).toImage();
        const QString Text = Item->text();
        Item->setText(QString(QChar(0x2026)));
        const QImage Ellipsis = Grid->viewport()->grab(Cell).toImage();
        Item->setText(Text);
        EXPECT_NE(Shown, Ellipsis) << "header " << Text.toStdString() << " shows an ellipsis";
    }
}

TEST(CharTable, TheCurrentCellIsAlwaysACharacter) {
    TCharTableDialog Dialog;
    EXPECT_EQ(Dialog.CurrentCode(), 0); // row 1, column 1 at the start
    Dialog.CharGrid->setCurrentCell(3, 5);
    EXPECT_EQ(Dialog.CurrentCode(), 0x24);
    for (auto [Row, Col] : {std::pair{0, 5}, {4, 0}, {0, 0}}) {
        Dialog.CharGrid->setCurrentCell(Row, Col);
        EXPECT_GE(Dialog.CharGrid->currentRow(), 1);
        EXPECT_GE(Dialog.CharGrid->currentColumn(), 1);
    }
    Dialog.CharGrid->setCurrentCell(16, 16);
    EXPECT_EQ(Dialog.CurrentCode(), 255);
}

TEST(CharTable, SelectCharByDoubleClickKeysOrCancel) {
    OnNextModal([](QDialog* D) {
        auto* Dialog = qobject_cast<TCharTableDialog*>(D);
        ASSERT_NE(Dialog, nullptr);
        EXPECT_EQ(Dialog->CharFont(), "Courier New");
        QWidget* Cells = Dialog->CharGrid->viewport();
        // A click on a header chooses nothing; on row 5, column 2 a double click chooses 'A'.
        QTest::mouseClick(Cells, Qt::LeftButton, {}, CellCentre(*Dialog, 0, 4));
        EXPECT_TRUE(Dialog->isVisible());
        EXPECT_EQ(Dialog->CurrentCode(), 0);
        QTest::mouseClick(Cells, Qt::LeftButton, {}, CellCentre(*Dialog, 5, 2));
        QTest::mouseDClick(Cells, Qt::LeftButton, {}, CellCentre(*Dialog, 5, 2));
    });
    EXPECT_EQ(SelectChar("Courier New"), 65);

    // A double click on a header chooses the current cell, as "Select" does.
    OnNextModal([](QDialog* D) {
        auto* Dialog = qobject_cast<TCharTableDialog*>(D);
        ASSERT_NE(Dialog, nullptr);
        QWidget* Cells = Dialog->CharGrid->viewport();
        QTest::mouseClick(Cells, Qt::LeftButton, {}, CellCentre(*Dialog, 9, 5));
        QTest::mouseDClick(Cells, Qt::LeftButton, {}, CellCentre(*Dialog, 0, 4));
    });
    EXPECT_EQ(SelectChar("Arial"), 0x84);

    // A fresh table each time: it starts at code 0 again. Arrow keys and Enter choose.
    OnNextModal([](QDialog* D) {
        auto* Dialog = qobject_cast<TCharTableDialog*>(D);
        ASSERT_NE(Dialog, nullptr);
        EXPECT_EQ(Dialog->CurrentCode(), 0);
        QTest::keyClick(Dialog->CharGrid, Qt::Key_Up); // stays off the header
        QTest::keyClick(Dialog->CharGrid, Qt::Key_Right);
        for (int I = 0; I < 4; ++I)
            QTest::keyClick(Dialog->CharGrid, Qt::Key_Down);
        EXPECT_EQ(Dialog->CurrentCode(), 65);
        QTest::keyClick(Dialog->CharGrid, Qt::Key_Return);
    });
    EXPECT_EQ(SelectChar("Arial"), 65);

    OnNextModal([](QDialog* D) {
        auto* Dialog = qobject_cast<TCharTableDialog*>(D);
        ASSERT_NE(Dialog, nullptr);
        QTest::mouseClick(Dialog->CharGrid->viewport(), Qt::LeftButton, {},
                          CellCentre(*Dialog, 7, 3));
        QTest::keyClick(Dialog->CharGrid, Qt::Key_Escape);
    });
    EXPECT_EQ(SelectChar("Arial"), 0);

    OnNextModal([](QDialog* D) {
        auto* Dialog = qobject_cast<TCharTableDialog*>(D);
        ASSERT_NE(Dialog, nullptr);
        QTest::mouseClick(Dialog->CharGrid->viewport(), Qt::LeftButton, {},
                          CellCentre(*Dialog, 16, 16));
        QTest::mouseClick(Dialog->OKBtn, Qt::LeftButton);
    });
    EXPECT_EQ(SelectChar("Arial"), 255);
}
