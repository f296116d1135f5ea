// Tests of the size dialog: values in and out, keyboard use, Cancel, refused input.
#include "dialogs/numbered.h"
#include "dialogs/sizedlg.h"
#include "modaldriver.h"
#include "support/localefmt.h"

#include <QGroupBox>
#include <QPushButton>
#include <QTest>

#include <gtest/gtest.h>

using namespace zarvo;
using zarvotest::OnNextModal;
using zarvotest::TBeepCounter;

namespace {
class SizeDialog : public ::testing::Test {
protected:
    void SetUp() override { SetLocaleDecimalChar('.'); }
    void TearDown() override { SetLocaleDecimalChar(0); }
    TSizeDialog Dialog;
};
} // namespace

TEST_F(SizeDialog, HeightAndWidthGoIntoTheirFieldsAndBack) {
    Dialog.Load("EPS-Dateien drucken", QString::fromUtf8("Papiergröße"), TCmPair{21.0, 29.6});
    EXPECT_EQ(Dialog.windowTitle(), "EPS-Dateien drucken");
    EXPECT_EQ(Dialog.GroupBox->title(), QString::fromUtf8("Papiergröße"));
    EXPECT_EQ(Dialog.HeightEdit->text(), "29.6");
    EXPECT_EQ(Dialog.WidthEdit->text(), "21.0");
    Dialog.HeightEdit->setText("42.05");
    Dialog.WidthEdit->setText("30");
    TCmPair Size{1, 1};
    Dialog.Store(Size);
    EXPECT_DOUBLE_EQ(Size.X, 30.0);
    EXPECT_DOUBLE_EQ(Size.Y, 42.05);
}

TEST_F(SizeDialog, TypedSizesAreTakenOnEnter) {
    TCmPair Size{21.0, 29.6};
    OnNextModal([&](QDialog* D) {
        EXPECT_EQ(D, &Dialog);
        // The height field has the focus with its text selected: typing replaces it.
        EXPECT_TRUE(Dialog.HeightEdit->hasFocus());
        QTest::keyClicks(Dialog.HeightEdit, "30.5");
        QTest::keyClick(Dialog.HeightEdit, Qt::Key_Tab);
        EXPECT_TRUE(Dialog.WidthEdit->hasFocus());
        QTest::keyClicks(Dialog.WidthEdit, "20");
        QTest::keyClick(Dialog.WidthEdit, Qt::Key_Return);
    });
    EXPECT_TRUE(Dialog.Execute("EPS-Dateien drucken", "Boxgröße", Size));
    EXPECT_DOUBLE_EQ(Size.X, 20.0);
    EXPECT_DOUBLE_EQ(Size.Y, 30.5);
    EXPECT_EQ(Dialog.GroupBox->title(), QString::fromUtf8("Boxgröße"));
}

TEST_F(SizeDialog, CancelAndEscLeaveTheSizeAlone) {
    TCmPair Size{21.0, 29.6};
    OnNextModal([&](QDialog*) {
        QTest::keyClicks(Dialog.HeightEdit, "12");
        QTest::mouseClick(Dialog.CancelBtn, Qt::LeftButton);
    });
    EXPECT_FALSE(Dialog.Execute("x", "y", Size));
    EXPECT_EQ(Size, (TCmPair{21.0, 29.6}));

    OnNextModal([&](QDialog*) {
        // Opened again, the dialog shows the caller's values, not the ones typed before.
        EXPECT_EQ(Dialog.HeightEdit->text(), "29.6");
        EXPECT_TRUE(Dialog.HeightEdit->hasFocus());
        QTest::keyClicks(Dialog.HeightEdit, "13");
        QTest::keyClick(Dialog.HeightEdit, Qt::Key_Escape);
    });
    EXPECT_FALSE(Dialog.Execute("x", "y", Size));
    EXPECT_EQ(Size, (TCmPair{21.0, 29.6}));
}

TEST_F(SizeDialog, OkRefusesASideThatIsNoPositiveNumber) {
    TCmPair Size{21.0, 29.6};
    TBeepCounter Beeps;
    OnNextModal([&](QDialog*) {
        // Cleared height: OK beeps and stays, the field keeps the focus.
        QTest::keyClick(Dialog.HeightEdit, Qt::Key_Delete);
        QTest::mouseClick(Dialog.OKBtn, Qt::LeftButton);
        EXPECT_TRUE(Dialog.isVisible());
        EXPECT_EQ(Beeps.Count(), 1);
        EXPECT_TRUE(Dialog.HeightEdit->hasFocus());
        // A width of 0 (or less) is refused the same way.
        QTest::keyClicks(Dialog.HeightEdit, "25");
        Dialog.WidthEdit->setFocus(Qt::TabFocusReason);
        QTest::keyClicks(Dialog.WidthEdit, "-3");
        QTest::keyClick(Dialog.WidthEdit, Qt::Key_Return);
        EXPECT_TRUE(Dialog.isVisible());
        EXPECT_EQ(Beeps.Count(), 2);
        EXPECT_EQ(Dialog.WidthEdit->selectedText(), "-3");
        QTest::keyClicks(Dialog.WidthEdit, "18");
        QTest::keyClick(Dialog.WidthEdit, Qt::Key_Return);
    });
    EXPECT_TRUE(Dialog.Execute("x", "y", Size));
    EXPECT_EQ(Size, (TCmPair{18.0, 25.0}));
}
