// Tests of the number dialog: one or two fields, position, limits, step modes, NumberInput.
#include "dialogs/numdlg.h"
#include "modaldriver.h"
#include "testsupport.h"

#include <QLabel>
#include <QPushButton>
#include <QScreen>
#include <QSpinBox>
#include <QTest>

#include <gtest/gtest.h>

using namespace zarvo;
using zarvotest::OnNextModal;

namespace {

// Replaces the whole text of a spin field as typing would.
void Retype(QSpinBox* Field, const QString& Text) {
    Field->selectAll();
    QTest::keyClick(Field, Qt::Key_Delete);
    QTest::keyClicks(Field, Text);
}

} // namespace

TEST(NummerEingabe, OneFieldWhenTheSecondLabelIsEmpty) {
    TNummerEingabe Dialog;
    Dialog.Load("Titel", "Breite:", 3, "Höhe:", 4, -1, -1);
    EXPECT_EQ(Dialog.windowTitle(), "Titel");
    EXPECT_EQ(Dialog.Descriptor1->text(), "Breite:");
    EXPECT_FALSE(Dialog.NumFeld2->isHidden());
    EXPECT_EQ(Dialog.Descriptor2->text(), QString::fromUtf8("Höhe:"));
    int A = 0, B = 0;
    Dialog.Store(A, B);
    EXPECT_EQ(A, 3);
    EXPECT_EQ(B, 4);

    Dialog.Load("Titel", "Raster in mm:", 5, "", 99, -1, -1);
    EXPECT_TRUE(Dialog.NumFeld2->isHidden());
    EXPECT_TRUE(Dialog.Descriptor2->isHidden());
    B = 42;
    Dialog.Store(A, B);
    EXPECT_EQ(A, 5);
    EXPECT_EQ(B, 42); // no second field, no second value
}

TEST(NummerEingabe, PositionIsCentredOrKeptInsideTheScreen) {
    zarvotest::TRecordingDialogs Seam; // a screen of 1024 x 768
    TNummerEingabe Dialog;
    Dialog.Load("T", "L", 1, "", 0, 10, 20);
    EXPECT_EQ(Dialog.pos(), QPoint(10, 20));
    Dialog.Load("T", "L", 1, "", 0, 5000, 700);
    EXPECT_EQ(Dialog.pos(), QPoint(1024 - Dialog.width() - 20, 768 - Dialog.height() - 20));
    // X < 0 centres, whatever Y says.
    Dialog.Load("T", "L", 1, "", 0, -1, 5000);
    const QPoint Centre = Dialog.screen()->availableGeometry().center();
    EXPECT_LE((Dialog.geometry().center() - Centre).manhattanLength(), 2);
}

TEST(NummerEingabe, StepModesLetTheIncrementFollowTheValue) {
    TNummerEingabe Dialog;
    Dialog.SetFirstField(1, 0, 0, 1);
    Dialog.Load("T", "L", 0, "", 0, -1, -1);
    const std::pair<const char*, int> Decades[] = {{"150", 50},   {"9", 1},        {"10", 5},
                                                   {"1000", 500}, {"12345", 5000}, {"-40", 1}};
    for (const auto& [Text, Step] : Decades) {
        Retype(Dialog.NumFeld1, Text);
        EXPECT_EQ(Dialog.NumFeld1->singleStep(), Step) << Text;
    }
    Dialog.SetFirstField(1, 0, 0, 2);
    const std::pair<const char*, int> Octaves[] = {
        {"64", 64}, {"63", 8}, {"7", 1}, {"512", 512}, {"4096", 4096}};
    for (const auto& [Text, Step] : Octaves) {
        Retype(Dialog.NumFeld1, Text);
        EXPECT_EQ(Dialog.NumFeld1->singleStep(), Step) << Text;
    }
    // The second field follows the same step mode.
    Dialog.Load("T", "A", 0, "B", 100, -1, -1);
    EXPECT_EQ(Dialog.NumFeld2->singleStep(), 64);
    // The arrow keys step by the increment, and the increment follows the new value.
    Retype(Dialog.NumFeld1, "60");
    QTest::keyClick(Dialog.NumFeld1, Qt::Key_Up);
    EXPECT_EQ(Dialog.NumFeld1->value(), 68);
    EXPECT_EQ(Dialog.NumFeld1->singleStep(), 64);
    // Step mode 0 keeps the caller's increment whatever the value.
    Dialog.SetFirstField(3, 0, 0, 0);
    Retype(Dialog.NumFeld1, "5000");
    EXPECT_EQ(Dialog.NumFeld1->singleStep(), 3);
    // Loading a value equal to the field's value still sets the increment for it.
    Dialog.SetFirstField(1, 0, 0, 1);
    Dialog.Load("T", "L", 5000, "", 0, -1, -1);
    EXPECT_EQ(Dialog.NumFeld1->singleStep(), 500);
}

TEST(NummerEingabe, LimitsHoldTheValueAndUnreadableTextGivesTheMinimum) {
    TNummerEingabe Dialog;
    Dialog.SetFirstField(1, 1, 25, 0);
    Dialog.Load("T", "L", 40, "B", -7, -1, -1);
    EXPECT_EQ(Dialog.NumFeld1->value(), 25); // a written value is limited
    EXPECT_EQ(Dialog.NumFeld2->value(), -7); // the second field has no limits
    int A = 0, B = 0;
    Retype(Dialog.NumFeld1, "");
    Retype(Dialog.NumFeld2, "");
    Dialog.Store(A, B);
    EXPECT_EQ(A, 1);
    EXPECT_EQ(B, 0);
    Retype(Dialog.NumFeld1, "25");
    QTest::keyClick(Dialog.NumFeld1, Qt::Key_Up);
    Dialog.Store(A, B);
    EXPECT_EQ(A, 25);
    // Whatever the text says, the value handed back stays inside the limits.
    Retype(Dialog.NumFeld1, "0");
    Dialog.Store(A, B);
    EXPECT_EQ(A, 1);
    Retype(Dialog.NumFeld1, "3");
    Dialog.Store(A, B);
    EXPECT_EQ(A, 3);
    // Reversed limits are taken the right way round.
    Dialog.SetFirstField(1, 10, 2, 0);
    Dialog.Load("T", "L", 50, "", 0, -1, -1);
    EXPECT_EQ(Dialog.NumFeld1->value(), 10);
}

TEST(NummerEingabe, NumberInputTypedValueAndCancel) {
    TNummerEingabe Shared; // the program's instance
    int Grid = 5;
    OnNextModal([&](QDialog* D) {
        EXPECT_EQ(D, &Shared);
        EXPECT_EQ(D->windowTitle(), "EPS-Dateien drucken");
        EXPECT_EQ(Shared.Descriptor1->text(), "Raster in mm:");
        EXPECT_TRUE(Shared.NumFeld2->isHidden());
        // The field has the focus and its text is selected: typing replaces it.
        EXPECT_TRUE(Shared.NumFeld1->hasFocus());
        QTest::keyClicks(Shared.NumFeld1, "12");
        QTest::keyClick(Shared.NumFeld1, Qt::Key_Return);
    });
    EXPECT_TRUE(NumberInput("EPS-Dateien drucken", "Raster in mm:", Grid, 0, 1, 1, 25, -1, -1));
    EXPECT_EQ(Grid, 12);
    // The limits stay with the shared dialog.
    EXPECT_EQ(Shared.NumFeld1->maximum(), 25);

    OnNextModal([&](QDialog*) {
        QTest::keyClicks(Shared.NumFeld1, "7");
        QTest::keyClick(Shared.NumFeld1, Qt::Key_Escape);
    });
    EXPECT_FALSE(NumberInput("EPS-Dateien drucken", "Raster in mm:", Grid, 0, 1, 1, 25, -1, -1));
    EXPECT_EQ(Grid, 12);

    // While typing, the limits do not refuse a digit: 30 and 99 can be typed. Leaving the
    // field (or Enter) limits the number to the nearest bound.
    OnNextModal([&](QDialog*) {
        QTest::keyClicks(Shared.NumFeld1, "30");
        EXPECT_EQ(Shared.NumFeld1->text(), "30");
        QTest::keyClick(Shared.NumFeld1, Qt::Key_Enter);
    });
    EXPECT_TRUE(NumberInput("T", "L", Grid, 0, 1, 1, 25, -1, -1));
    EXPECT_EQ(Grid, 25);
    OnNextModal([&](QDialog*) {
        QTest::keyClicks(Shared.NumFeld1, "99");
        EXPECT_EQ(Shared.NumFeld1->text(), "99");
        QTest::mouseClick(Shared.OKBtn, Qt::LeftButton);
        EXPECT_EQ(Shared.NumFeld1->text(), "25");
    });
    EXPECT_TRUE(NumberInput("T", "L", Grid, 0, 1, 1, 25, -1, -1));
    EXPECT_EQ(Grid, 25);
    OnNextModal([&](QDialog*) {
        Retype(Shared.NumFeld1, "0");
        QTest::keyClick(Shared.NumFeld1, Qt::Key_Enter);
    });
    EXPECT_TRUE(NumberInput("T", "L", Grid, 0, 1, 1, 25, -1, -1));
    EXPECT_EQ(Grid, 1);
    Grid = 12;
    // Text that is no number goes back to the last value.
    OnNextModal([&](QDialog*) {
        Retype(Shared.NumFeld1, "");
        QTest::mouseClick(Shared.OKBtn, Qt::LeftButton);
    });
    EXPECT_TRUE(NumberInput("T", "L", Grid, 0, 1, 1, 25, -1, -1));
    EXPECT_EQ(Grid, 12);
}

TEST(NummerEingabe, TwoFieldsThroughExecute) {
    TNummerEingabe Dialog;
    int A = 10, B = 20;
    OnNextModal([&](QDialog*) {
        QTest::keyClicks(Dialog.NumFeld1, "11");
        QTest::keyClick(Dialog.NumFeld1, Qt::Key_Tab);
        EXPECT_TRUE(Dialog.NumFeld2->hasFocus());
        QTest::keyClicks(Dialog.NumFeld2, "-22");
        QTest::mouseClick(Dialog.OKBtn, Qt::LeftButton);
    });
    EXPECT_TRUE(Dialog.Execute("T", "A:", A, "B:", B, 100, 100));
    EXPECT_EQ(A, 11);
    EXPECT_EQ(B, -22);
}

TEST(NummerEingabe, NumberInputWithoutSharedDialogUsesAFreshOne) {
    ASSERT_EQ(TNummerEingabe::Instance(), nullptr);
    int V = 3;
    OnNextModal([&](QDialog* D) {
        EXPECT_NE(qobject_cast<TNummerEingabe*>(D), nullptr);
        QTest::keyClicks(D->focusWidget(), "4");
        QTest::keyClick(D->focusWidget(), Qt::Key_Return);
    });
    EXPECT_TRUE(NumberInput("T", "L", V, 0, 1, 0, 10, -1, -1));
    EXPECT_EQ(V, 4);
    EXPECT_EQ(TNummerEingabe::Instance(), nullptr);
}
