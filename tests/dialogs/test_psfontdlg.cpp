// Tests of the PostScript font dialog: record in and out, size box, colour, Cancel.
#include "dialogs/psfontdlg.h"
#include "modaldriver.h"

#include <QAbstractButton>
#include <QApplication>
#include <QButtonGroup>
#include <QCheckBox>
#include <QColorDialog>
#include <QComboBox>
#include <QGroupBox>
#include <QImage>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QToolButton>

#include <gtest/gtest.h>

using namespace zarvo;
using zarvotest::OnNextModal;
using zarvotest::TBeepCounter;

namespace {

TPSFontRec Font(int Type, int Size, int Style, std::uint32_t Color = 0, int Angle = 0) {
    TPSFontRec F;
    F.FontType = static_cast<std::uint16_t>(Type);
    F.FontSize = static_cast<std::uint16_t>(Size);
    F.FontStyle = static_cast<std::uint16_t>(Style);
    F.FontColor = Color;
    F.FontAngle = static_cast<std::uint16_t>(Angle);
    return F;
}

void TypeSize(TPSFontDialog& Dialog, const QString& Keys) {
    QTest::keyClicks(Dialog.SizeCB->lineEdit(), Keys);
}

} // namespace

TEST(PSFontDialog, ShowsTheRecordAndGivesItBackUnchanged) {
    TPSFontDialog Dialog;
    EXPECT_EQ(Dialog.windowTitle(), "Postscript Schriftart");
    EXPECT_EQ(Dialog.FontRG->title(), "Schriftart");
    const TPSFontRec In = Font(2, 36, 3, 0x00336699, 5);
    Dialog.Load(In);
    EXPECT_EQ(Dialog.FontButtons->checkedButton()->text(), "Courier");
    EXPECT_TRUE(Dialog.BoldCB->isChecked());
    EXPECT_TRUE(Dialog.ItalCB->isChecked());
    EXPECT_EQ(Dialog.SizeCB->currentText(), "36");
    TPSFontRec Out;
    Dialog.Store(Out);
    EXPECT_EQ(Out, In);
}

// The keyboard starts on the chosen font, so that the arrow keys move from it.
TEST(PSFontDialog, ArrowKeysMoveFromTheChosenFont) {
    TPSFontDialog Dialog;
    TPSFontRec F = Font(1, 18, 0);
    OnNextModal([&](QDialog*) {
        QAbstractButton* Chosen = Dialog.FontButtons->button(1);
        EXPECT_TRUE(Chosen->hasFocus());
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Up);
        Dialog.accept();
    });
    ASSERT_TRUE(Dialog.Execute(F));
    EXPECT_EQ(F.FontType, 0);
    // Again on the same dialog, whose focus the last use left elsewhere.
    F = Font(3, 18, 0);
    OnNextModal([&](QDialog*) {
        Dialog.BoldCB->setFocus();
        Dialog.reject();
    });
    EXPECT_FALSE(Dialog.Execute(F));
    OnNextModal([&](QDialog*) {
        EXPECT_TRUE(Dialog.FontButtons->button(3)->hasFocus());
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Up);
        Dialog.accept();
    });
    ASSERT_TRUE(Dialog.Execute(F));
    EXPECT_EQ(F.FontType, 2);
}

TEST(PSFontDialog, CheckBoxesMakeTheStyleBits) {
    TPSFontDialog Dialog;
    Dialog.Load(Font(0, 12, 0));
    EXPECT_EQ(Dialog.FontButtons->checkedButton()->text(), "Times-Roman");
    EXPECT_FALSE(Dialog.BoldCB->isChecked());
    EXPECT_FALSE(Dialog.ItalCB->isChecked());
    TPSFontRec Out;
    Dialog.BoldCB->setChecked(true);
    Dialog.Store(Out);
    EXPECT_EQ(Out.FontStyle, 2);
    Dialog.BoldCB->setChecked(false);
    Dialog.ItalCB->setChecked(true);
    Dialog.Store(Out);
    EXPECT_EQ(Out.FontStyle, 1);
    Dialog.FontButtons->button(3)->setChecked(true);
    Dialog.Store(Out);
    EXPECT_EQ(Out.FontType, 3);
    // A style that is no pair of bits leaves the boxes as they were.
    Dialog.Load(Font(1, 12, 9));
    EXPECT_FALSE(Dialog.BoldCB->isChecked());
    EXPECT_TRUE(Dialog.ItalCB->isChecked());
    Dialog.Store(Out);
    EXPECT_EQ(Out.FontStyle, 1);
    // A font number without a row shows (and gives back) the default font.
    Dialog.Load(Font(7, 12, 0));
    Dialog.Store(Out);
    EXPECT_EQ(Out.FontType, 1);
}

TEST(PSFontDialog, SizeBoxTakesWholeSizesFrom1To999AndRestoresOtherwise) {
    TPSFontDialog Dialog;
    Dialog.Load(Font(1, 18, 0));
    TBeepCounter Beeps;
    QLineEdit* Edit = Dialog.SizeCB->lineEdit();
    Edit->selectAll();
    TypeSize(Dialog, "2");
    EXPECT_EQ(Dialog.WorkingFont().FontSize, 2);
    TypeSize(Dialog, "4");
    EXPECT_EQ(Dialog.WorkingFont().FontSize, 24);
    // Sizes of the list do not complete what is typed: 1 is 1, not 10.
    Edit->selectAll();
    TypeSize(Dialog, "1");
    EXPECT_EQ(Edit->text(), "1");
    EXPECT_EQ(Dialog.WorkingFont().FontSize, 1);
    TypeSize(Dialog, "00");
    EXPECT_EQ(Dialog.WorkingFont().FontSize, 100);
    EXPECT_EQ(Beeps.Count(), 0);

    // A fourth digit, a letter, deleting the last digit, zero: beep, the last valid size back.
    TypeSize(Dialog, "0");
    EXPECT_EQ(Edit->text(), "100");
    TypeSize(Dialog, "x");
    EXPECT_EQ(Edit->text(), "100");
    EXPECT_EQ(Beeps.Count(), 2);
    Edit->selectAll();
    QTest::keyClick(Edit, Qt::Key_Backspace);
    EXPECT_EQ(Edit->text(), "100");
    Edit->selectAll();
    TypeSize(Dialog, "0");
    EXPECT_EQ(Edit->text(), "100");
    EXPECT_EQ(Beeps.Count(), 4);
    EXPECT_EQ(Dialog.WorkingFont().FontSize, 100);
    Edit->selectAll();
    TypeSize(Dialog, "999");
    EXPECT_EQ(Dialog.WorkingFont().FontSize, 999);

    // Choosing from the list.
    Dialog.SizeCB->setCurrentIndex(Dialog.SizeCB->findText("72"));
    EXPECT_EQ(Dialog.WorkingFont().FontSize, 72);
    EXPECT_EQ(Dialog.SizeCB->count(), 13);
}

TEST(PSFontDialog, SizeFromAFileOutsideTheRangeIsBroughtIntoIt) {
    TPSFontDialog Dialog;
    TBeepCounter Beeps;
    Dialog.Load(Font(1, 0, 0));
    EXPECT_EQ(Dialog.SizeCB->currentText(), "1");
    Dialog.Load(Font(1, 5000, 0));
    EXPECT_EQ(Dialog.SizeCB->currentText(), "999");
    TPSFontRec Out;
    Dialog.Store(Out);
    EXPECT_EQ(Out.FontSize, 999);
    EXPECT_EQ(Beeps.Count(), 0);
}

TEST(PSFontDialog, ColourSampleHasAWhiteMarginAndABlackOutline) {
    TPSFontDialog Dialog;
    Dialog.DrawColorGlyph(76, 16, 0x000000FF); // pure red
    const QImage Img = Dialog.ColorGlyph().toImage();
    ASSERT_EQ(Img.size(), QSize(76, 16));
    const QRgb White = qRgb(255, 255, 255), Black = qRgb(0, 0, 0), Red = qRgb(255, 0, 0);
    // Red is the low byte of the record's colour.
    EXPECT_EQ(Img.pixel(1, 1), White);
    EXPECT_EQ(Img.pixel(74, 14), White);
    EXPECT_EQ(Img.pixel(2, 2), Black);
    EXPECT_EQ(Img.pixel(73, 13), Black);
    EXPECT_EQ(Img.pixel(3, 3), Red);
    EXPECT_EQ(Img.pixel(72, 12), Red);
}

TEST(PSFontDialog, ChosenColourAndSizeAreTakenOnOk) {
    TPSFontDialog Dialog;
    TPSFontRec F = Font(2, 36, 3, 0x00000000, 0);
    OnNextModal([&](QDialog*) {
        OnNextModal([&](QDialog* Chooser) {
            EXPECT_EQ(Chooser, Dialog.FarbDialog);
            EXPECT_EQ(Dialog.FarbDialog->currentColor(), QColor(0, 0, 0));
            Dialog.FarbDialog->setCurrentColor(QColor(10, 20, 30));
            Dialog.FarbDialog->accept();
        });
        QTest::mouseClick(Dialog.ColorBtn, Qt::LeftButton);
        EXPECT_EQ(Dialog.ColorGlyph().toImage().pixel(38, 8), qRgb(10, 20, 30));
        Dialog.SizeCB->lineEdit()->selectAll();
        TypeSize(Dialog, "48");
        // On the box itself: the check box is wider than its box and label.
        QTest::mouseClick(Dialog.BoldCB, Qt::LeftButton, {},
                          QPoint(6, Dialog.BoldCB->height() / 2));
        // Enter in the size box closes the dialog with OK.
        QTest::keyClick(Dialog.SizeCB->lineEdit(), Qt::Key_Return);
    });
    EXPECT_TRUE(Dialog.Execute(F));
    EXPECT_EQ(F, Font(2, 48, 1, 10 | 20 << 8 | 30 << 16, 0));
    EXPECT_EQ(Dialog.SizeCB->count(), 13); // the typed size did not join the list
}

TEST(PSFontDialog, CancelLeavesTheRecordEvenAfterColourAndSizeChanged) {
    TPSFontDialog Dialog;
    const TPSFontRec Before = Font(0, 12, 2, 0x00FF0000, 0);
    TPSFontRec F = Before;
    OnNextModal([&](QDialog*) {
        OnNextModal([&](QDialog*) {
            Dialog.FarbDialog->setCurrentColor(QColor(200, 100, 50));
            Dialog.FarbDialog->accept();
        });
        QTest::mouseClick(Dialog.ColorBtn, Qt::LeftButton);
        Dialog.SizeCB->lineEdit()->selectAll();
        TypeSize(Dialog, "60");
        QTest::mouseClick(Dialog.CancelBtn, Qt::LeftButton);
    });
    EXPECT_FALSE(Dialog.Execute(F));
    EXPECT_EQ(F, Before);

    // Cancelling the colour chooser keeps the colour; Esc cancels the dialog.
    OnNextModal([&](QDialog*) {
        OnNextModal([&](QDialog*) { Dialog.FarbDialog->reject(); });
        QTest::mouseClick(Dialog.ColorBtn, Qt::LeftButton);
        EXPECT_EQ(Dialog.WorkingFont().FontColor, 0x00FF0000u);
        EXPECT_EQ(Dialog.ColorGlyph().toImage().pixel(38, 8), qRgb(0, 0, 255));
        QTest::keyClick(Dialog.SizeCB->lineEdit(), Qt::Key_Escape);
    });
    EXPECT_FALSE(Dialog.Execute(F));
    EXPECT_EQ(F, Before);
}
