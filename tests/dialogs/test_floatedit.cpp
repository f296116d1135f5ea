// Tests of the real-number edit control: formats, reading, key filter, selection on focus.
#include "dialogs/numbered.h"
#include "modaldriver.h"
#include "support/localefmt.h"

#include <QApplication>
#include <QClipboard>
#include <QKeyEvent>
#include <QLocale>
#include <QTest>
#include <QVBoxLayout>
#include <QWidget>

#include <gtest/gtest.h>

using namespace zarvo;
using zarvotest::TBeepCounter;

namespace {

// Fixes the decimal separator and the locale of the number formats for one test.
class FloatEdit : public ::testing::Test {
protected:
    void SetUp() override {
        SetLocaleDecimalChar('.');
        QLocale::setDefault(QLocale::c());
    }
    void TearDown() override {
        SetLocaleDecimalChar(0);
        QLocale::setDefault(QLocale::system());
    }
    static QString Shown(TFloatEdit& Edit, double X) {
        Edit.SetValue(X);
        return Edit.text();
    }
};

} // namespace

TEST_F(FloatEdit, FixedFormatRoundsToDigitsThenWritesDecimals) {
    TFloatEdit Edit;
    Edit.SetDigits(5);
    Edit.SetDecimal(1);
    EXPECT_EQ(Shown(Edit, 21), "21.0");
    EXPECT_EQ(Shown(Edit, 29.7), "29.7");
    EXPECT_EQ(Shown(Edit, 29.65), "29.6"); // 29.65 is stored a little below the half
    EXPECT_EQ(Shown(Edit, -3.26), "-3.3");
    EXPECT_EQ(Shown(Edit, -0.04), "0.0"); // no minus on a zero
    Edit.SetDigits(3);
    Edit.SetDecimal(2);
    // The precision binds: three significant digits, then zeros.
    EXPECT_EQ(Shown(Edit, 123.456), "123.00");
    EXPECT_EQ(Shown(Edit, 0.0012345), "0.00");
    Edit.SetDecimal(6);
    EXPECT_EQ(Shown(Edit, 0.0012345), "0.001230");
    // More whole digits than the precision: exponent notation, which reads back.
    Edit.SetDigits(5);
    Edit.SetDecimal(1);
    const QString Big = Shown(Edit, 123456);
    EXPECT_TRUE(Big.contains('E')) << Big.toStdString();
    EXPECT_DOUBLE_EQ(Edit.Value(), 123460.0);
    SetLocaleDecimalChar(',');
    EXPECT_EQ(Shown(Edit, 21), "21,0");
    EXPECT_EQ(Shown(Edit, 29.7), "29,7");
}

TEST_F(FloatEdit, OtherFormats) {
    TFloatEdit Edit;
    Edit.SetFloatFormat(ffGeneral);
    Edit.SetDigits(15);
    Edit.SetDecimal(2);
    EXPECT_EQ(Shown(Edit, 1.5), "1.5");
    EXPECT_EQ(Shown(Edit, 0.0001), "0.0001");
    EXPECT_EQ(Shown(Edit, -0.000001), "-1E-06");
    EXPECT_EQ(Shown(Edit, 1e20), "1E20");
    EXPECT_EQ(Shown(Edit, 0), "0");

    Edit.SetFloatFormat(ffExponent);
    Edit.SetDigits(4);
    EXPECT_EQ(Shown(Edit, 1234.56), "1.235E+03");
    EXPECT_EQ(Shown(Edit, -0.00012), "-1.200E-04");

    Edit.SetFloatFormat(ffNumber);
    Edit.SetDigits(10);
    EXPECT_EQ(Shown(Edit, 1234567.891), "1,234,567.89");
    SetLocaleDecimalChar(',');
    EXPECT_EQ(Shown(Edit, 1234567.891), "1.234.567,89");
    EXPECT_DOUBLE_EQ(Edit.Value(), 1234567.89);

    SetLocaleDecimalChar('.');
    Edit.SetFloatFormat(ffNormalized);
    Edit.SetDigits(3);
    EXPECT_EQ(Shown(Edit, 1500), "1.50E3");
    EXPECT_DOUBLE_EQ(Edit.Value(), 1500.0);
}

TEST_F(FloatEdit, CurrencyUsesTheLocaleAndReadsBack) {
    QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
    SetLocaleDecimalChar(',');
    TFloatEdit Edit;
    Edit.SetFloatFormat(ffCurrency);
    Edit.SetDecimal(2);
    const QString Text = Shown(Edit, -1234.5);
    EXPECT_TRUE(Text.contains(QString::fromUtf8("€"))) << Text.toStdString();
    EXPECT_TRUE(Text.contains("1.234,50")) << Text.toStdString();
    EXPECT_DOUBLE_EQ(Edit.Value(), -1234.5);
}

TEST_F(FloatEdit, ReadingTakesTheLocaleSeparatorAndGivesZeroForNoNumber) {
    TFloatEdit Edit;
    SetLocaleDecimalChar(',');
    Edit.setText("12,5");
    EXPECT_DOUBLE_EQ(Edit.Value(), 12.5);
    Edit.setText("-1e3");
    EXPECT_DOUBLE_EQ(Edit.Value(), -1000.0);
    for (const char* Bad : {"abc", "", "1,2,3", "E", "-", "12 cm", "inf"}) {
        Edit.setText("7");
        ASSERT_EQ(Edit.Value(), 7.0);
        Edit.setText(Bad);
        EXPECT_EQ(Edit.Value(), 0.0) << Bad;
        // The remembered value became 0 as well: a new setting re-writes it.
        Edit.SetDecimal(Edit.Decimal() + 1);
        EXPECT_EQ(Edit.Value(), 0.0) << Bad;
    }
}

TEST_F(FloatEdit, NewSettingsRewriteTheLastValueRead) {
    TFloatEdit Edit;
    EXPECT_EQ(Edit.text(), "0.00"); // a new control shows 0 with two decimals
    Edit.SetValue(3.14159);
    EXPECT_EQ(Edit.text(), "3.14");
    // Not read yet: the remembered value is still 0.
    Edit.SetDecimal(3);
    EXPECT_EQ(Edit.text(), "0.000");
    Edit.SetValue(3.14159);
    EXPECT_DOUBLE_EQ(Edit.Value(), 3.142);
    Edit.SetDecimal(1);
    EXPECT_EQ(Edit.text(), "3.1");
    Edit.setText("2.5");
    Edit.SetDigits(10); // unchanged: nothing is re-written
    EXPECT_EQ(Edit.text(), "2.5");
    Edit.SetAlignment(taRightJustify);
    EXPECT_EQ(Edit.text(), "3.1");
    EXPECT_TRUE(Edit.alignment() & Qt::AlignRight);
    Edit.SetFloatFormat(ffGeneral);
    EXPECT_EQ(Edit.text(), "3.142");
}

TEST_F(FloatEdit, KeyFilterDropsAllButNumberCharactersWithABeep) {
    TFloatEdit Edit;
    Edit.clear();
    TBeepCounter Beeps;
    QTest::keyClicks(&Edit, "1a2x,3");
    EXPECT_EQ(Edit.text(), "123");
    EXPECT_EQ(Beeps.Count(), 3); // a, x, and the separator that is not the locale's
    QTest::keyClicks(&Edit, ".5e-1E+");
    EXPECT_EQ(Edit.text(), "123.5e-1E+");
    QTest::keyClick(&Edit, Qt::Key_Backspace);
    QTest::keyClick(&Edit, Qt::Key_Backspace);
    QTest::keyClick(&Edit, Qt::Key_Home);
    // Some keyboards send Delete with the character DEL (127): a control character too.
    QKeyEvent Delete(QEvent::KeyPress, Qt::Key_Delete, Qt::NoModifier, QString(QChar(127)));
    QApplication::sendEvent(&Edit, &Delete);
    EXPECT_EQ(Edit.text(), "23.5e-1");
    QTest::keyClick(&Edit, Qt::Key_Return);
    QTest::keyClick(&Edit, Qt::Key_A, Qt::ControlModifier); // select all
    EXPECT_EQ(Edit.selectedText(), "23.5e-1");
    EXPECT_EQ(Beeps.Count(), 3);
    EXPECT_DOUBLE_EQ(Edit.Value(), 2.35);

    SetLocaleDecimalChar(',');
    Edit.clear();
    QTest::keyClicks(&Edit, "1.5,2");
    EXPECT_EQ(Edit.text(), "15,2");
    EXPECT_EQ(Beeps.Count(), 4);
    // What the filter lets through reads back: the locale's separator and the exponent.
    EXPECT_DOUBLE_EQ(Edit.Value(), 15.2);
    QTest::keyClicks(&Edit, "e-1");
    EXPECT_DOUBLE_EQ(Edit.Value(), 1.52);
}

TEST_F(FloatEdit, PastedTextIsNotFilteredAndReadsZero) {
    TFloatEdit Edit;
    QApplication::clipboard()->setText("x1");
    if (QApplication::clipboard()->text() != "x1") GTEST_SKIP() << "no clipboard";
    TBeepCounter Beeps;
    QTest::keyClick(&Edit, Qt::Key_A, Qt::ControlModifier);
    QTest::keyClick(&Edit, Qt::Key_V, Qt::ControlModifier);
    EXPECT_EQ(Edit.text(), "x1");
    EXPECT_EQ(Beeps.Count(), 0);
    EXPECT_EQ(Edit.Value(), 0.0);
    // Read-only: neither paste nor cut.
    Edit.setReadOnly(true);
    QApplication::clipboard()->setText("5");
    QTest::keyClick(&Edit, Qt::Key_A, Qt::ControlModifier);
    QTest::keyClick(&Edit, Qt::Key_V, Qt::ControlModifier);
    QTest::keyClick(&Edit, Qt::Key_X, Qt::ControlModifier);
    EXPECT_EQ(Edit.text(), "x1");
}

TEST_F(FloatEdit, KeyboardFocusSelectsAllWhenAutoSelect) {
    QWidget Window;
    auto* Layout = new QVBoxLayout(&Window);
    auto* First = new TFloatEdit(&Window);
    auto* Second = new TFloatEdit(&Window);
    Layout->addWidget(First);
    Layout->addWidget(Second);
    Window.show();
    Window.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&Window));

    Second->SetValue(42);
    Second->setFocus(Qt::TabFocusReason);
    EXPECT_EQ(Second->selectedText(), "42.00");

    First->setFocus(Qt::OtherFocusReason); // as a dialog does when it opens
    EXPECT_EQ(First->selectedText(), "0.00");

    Second->setFocus(Qt::MouseFocusReason);
    EXPECT_FALSE(Second->hasSelectedText());

    First->SetAutoSelect(false);
    First->setFocus(Qt::TabFocusReason);
    EXPECT_FALSE(First->hasSelectedText());
}
