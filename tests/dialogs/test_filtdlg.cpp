// Tests of the filter editor: splitting and joining filter strings, the buttons, the keys of the
// edit fields, and how OK and Cancel hand the string back.
#include "dialogs/filtdlg.h"
#include "modalscript.h"
#include "testsupport.h"

#include <QApplication>
#include <QLineEdit>
#include <QPushButton>
#include <QTableWidget>
#include <QTest>

#include <gtest/gtest.h>

#include <ostream>

namespace zarvo {
void PrintTo(const TFilterEntry& E, std::ostream* Out) {
    *Out << "{\"" << E.Name << "\", \"" << E.Pattern << "\"}";
}
} // namespace zarvo

using namespace zarvo;
using zarvotest::PressKey;
using TEntries = std::vector<TFilterEntry>;

namespace {

class FilterDialogTest : public ::testing::Test {
protected:
    void Open(const std::string& Filter) {
        Dlg.hide();
        Dlg.Load("Dateitypen", Filter);
        Dlg.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&Dlg));
    }
    bool Run(std::string& Filter, const std::function<void()>& Script) {
        return zarvotest::RunModal(
            Dlg, [&] { return Dlg.Execute("Dateitypen", Filter); }, Script);
    }
    // What the table shows in a row (1 to 14), and what the edit fields hold.
    TFilterEntry Shown(int Row) const {
        return {Dlg.FilterListe->item(Row - 1, 0)->text().toStdString(),
                Dlg.FilterListe->item(Row - 1, 1)->text().toStdString()};
    }
    TFilterEntry Fields() const {
        return {Dlg.FilterNameEdit->text().toStdString(), Dlg.FilterEdit->text().toStdString()};
    }
    void Type(const char* Name, const char* Pattern) {
        Dlg.FilterNameEdit->setText(Name);
        Dlg.FilterEdit->setText(Pattern);
    }

    zarvotest::TRecordingDialogs Seam;
    TFilterDialog Dlg;
};

TEST_F(FilterDialogTest, SplitsIntoRowsAndJoinsWithThePatternAfterEachName) {
    struct TCase {
        std::string Filter;
        TEntries Rows;
        std::string Joined;
    };
    const std::vector<TCase> Cases = {
        {"", {}, ""},
        {"PostScript|*.eps;*.ps|Alle|*.*",
         {{"PostScript", "*.eps;*.ps"}, {"Alle", "*.*"}},
         "PostScript (*.eps;*.ps)|*.eps;*.ps|Alle (*.*)|*.*"},
        // A name at the end without its pattern gets all files.
        {"EPS|*.eps|Rest|",
         {{"EPS", "*.eps"}, {"Rest", "*.*"}},
         "EPS (*.eps)|*.eps|Rest (*.*)|*.*"},
        // Text without '|' is a pattern without a name.
        {"*.eps", {{"", "*.eps"}}, " (*.eps)|*.eps"},
        {"EPS|*.eps|*.ps", {{"EPS", "*.eps"}, {"", "*.ps"}}, "EPS (*.eps)|*.eps| (*.ps)|*.ps"},
        // A name that holds a '(' is kept as it is.
        {"Bilder (EPS)|*.eps", {{"Bilder (EPS)", "*.eps"}}, "Bilder (EPS)|*.eps"},
    };
    for (const TCase& C : Cases) {
        SCOPED_TRACE("filter \"" + C.Filter + "\"");
        Open(C.Filter);
        EXPECT_EQ(Dlg.Entries(), C.Rows);
        for (std::size_t I = 0; I < C.Rows.size(); ++I)
            EXPECT_EQ(Shown(static_cast<int>(I) + 1), C.Rows[I]);
        EXPECT_EQ(Dlg.CurrentRow(), 1);
        EXPECT_EQ(Fields(), C.Rows.empty() ? TFilterEntry{} : C.Rows[0]);
        EXPECT_EQ(Dlg.FilterText(), C.Joined);
        // Once joined, the string stays the same through further uses.
        Open(C.Joined);
        EXPECT_EQ(Dlg.FilterText(), C.Joined);
    }
    Dlg.Load("", "");
    EXPECT_EQ(Dlg.windowTitle(), QStringLiteral("Filter Dialog"));
}

TEST_F(FilterDialogTest, OnlyTheFirstFourteenPairsAreKeptAndAFullTableTakesNoMore) {
    std::string Filter = "N1|*.1";
    for (int I = 2; I <= 16; ++I)
        Filter += "|N" + std::to_string(I) + "|*." + std::to_string(I);
    Open(Filter);
    ASSERT_EQ(Dlg.Count(), 14);
    const std::string Joined = Dlg.FilterText();
    EXPECT_EQ(Joined.substr(Joined.size() - 15), "N14 (*.14)|*.14");
    Type("New", "*.new");
    Dlg.InsertBtnClick();
    EXPECT_EQ(Dlg.FilterText(), Joined);
    // Enter on the last entry of a full table replaces it.
    ASSERT_TRUE(Dlg.FilterListeSelectCell(14));
    Type("New", "*.new");
    QTest::keyClick(Dlg.FilterEdit, Qt::Key_Return);
    EXPECT_EQ(Dlg.Count(), 14);
    EXPECT_EQ(Shown(14), (TFilterEntry{"New", "*.new"}));
}

TEST_F(FilterDialogTest, ButtonsMoveDeleteInsertAndReplaceEntries) {
    Open("A|*.a|B|*.b|C|*.c");
    Dlg.UpBtnClick(); // on the first row: nothing
    Dlg.DownBtnClick();
    EXPECT_EQ(Dlg.Entries(), (TEntries{{"B", "*.b"}, {"A", "*.a"}, {"C", "*.c"}}));
    EXPECT_EQ(Dlg.CurrentRow(), 2);
    Dlg.DownBtnClick();
    Dlg.DownBtnClick(); // on the last entry: nothing
    Dlg.UpBtnClick();
    EXPECT_EQ(Dlg.Entries(), (TEntries{{"B", "*.b"}, {"A", "*.a"}, {"C", "*.c"}}));
    EXPECT_EQ(Fields(), (TFilterEntry{"A", "*.a"}));

    // Insert puts the fields before the selected entry; Replace overwrites it.
    Type("N", "*.n");
    Dlg.InsertBtnClick();
    Type("R", "*.r");
    Dlg.ReplBtnClick();
    EXPECT_EQ(Dlg.Entries(), (TEntries{{"B", "*.b"}, {"R", "*.r"}, {"A", "*.a"}, {"C", "*.c"}}));
    // Delete keeps the selection and the fields, and empties the row after the end...
    Dlg.DeleteBtnClick();
    EXPECT_EQ(Dlg.Entries(), (TEntries{{"B", "*.b"}, {"A", "*.a"}, {"C", "*.c"}}));
    EXPECT_EQ(Dlg.CurrentRow(), 2);
    EXPECT_EQ(Fields(), (TFilterEntry{"R", "*.r"}));
    EXPECT_EQ(Shown(4), TFilterEntry{});
    // ...unless it deletes the last entry: then the one above is selected and shown.
    ASSERT_TRUE(Dlg.FilterListeSelectCell(3));
    Dlg.DeleteBtnClick();
    EXPECT_EQ(Dlg.CurrentRow(), 2);
    EXPECT_EQ(Fields(), (TFilterEntry{"A", "*.a"}));
    Dlg.DeleteBtnClick();
    Dlg.DeleteBtnClick();
    Dlg.DeleteBtnClick(); // empty table: nothing
    EXPECT_EQ(Dlg.Count(), 0);
    EXPECT_EQ(Shown(1), TFilterEntry{});

    // Replace in the empty table makes an entry that OK keeps, as it shows in the table.
    Type("Only", "*.only");
    Dlg.ReplBtnClick();
    EXPECT_EQ(Dlg.FilterText(), "Only (*.only)|*.only");
}

TEST_F(FilterDialogTest, KeysOfTheEditFields) {
    Open("A|*.a|B|*.b");
    // Down and Up in the name field walk through the entries, never beyond them.
    QTest::keyClick(Dlg.FilterNameEdit, Qt::Key_Down);
    QTest::keyClick(Dlg.FilterNameEdit, Qt::Key_Down);
    EXPECT_EQ(Dlg.CurrentRow(), 2);
    EXPECT_EQ(Fields(), (TFilterEntry{"B", "*.b"}));
    QTest::keyClick(Dlg.FilterNameEdit, Qt::Key_Up);
    QTest::keyClick(Dlg.FilterNameEdit, Qt::Key_Up);
    EXPECT_EQ(Dlg.CurrentRow(), 1);

    // Enter in the pattern field replaces an entry before the last one...
    Type("A2", "*.a2");
    QTest::keyClick(Dlg.FilterEdit, Qt::Key_Enter);
    EXPECT_EQ(Dlg.Entries(), (TEntries{{"A2", "*.a2"}, {"B", "*.b"}}));
    // ...but on the last entry appends the edited entry and selects it.
    QTest::keyClick(Dlg.FilterNameEdit, Qt::Key_Down);
    Type("B2", "*.b2");
    QTest::keyClick(Dlg.FilterEdit, Qt::Key_Return);
    EXPECT_EQ(Dlg.Entries(), (TEntries{{"A2", "*.a2"}, {"B", "*.b"}, {"B2", "*.b2"}}));
    EXPECT_EQ(Dlg.CurrentRow(), 3);

    // '|' would split an entry when the string is read again; the fields do not take it.
    Dlg.FilterNameEdit->clear();
    QTest::keyClicks(Dlg.FilterNameEdit, "a|b");
    EXPECT_EQ(Dlg.FilterNameEdit->text(), QStringLiteral("ab"));
}

TEST_F(FilterDialogTest, TabWalksTheControlsInOrderAndLeavesTheTable) {
    Open("A|*.a|B|*.b|C|*.c");
    Dlg.activateWindow();
    Dlg.FilterNameEdit->setFocus();
    QApplication::processEvents();
    const std::vector<QWidget*> Order = {Dlg.FilterEdit,  Dlg.OKBtn,          Dlg.CancelBtn,
                                         Dlg.FilterListe, Dlg.FilterNameEdit, Dlg.FilterEdit};
    for (QWidget* Next : Order) {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        ASSERT_EQ(QApplication::focusWidget(), Next) << Next->objectName().toStdString();
    }
    // Back from the name field into the table and out again; the entry stays the first.
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Backtab);
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Backtab);
    EXPECT_EQ(QApplication::focusWidget(), Dlg.FilterListe);
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Backtab);
    EXPECT_EQ(QApplication::focusWidget(), Dlg.CancelBtn);
    EXPECT_EQ(Dlg.CurrentRow(), 1);
    EXPECT_EQ(Fields(), (TFilterEntry{"A", "*.a"}));
}

TEST_F(FilterDialogTest, TypingAnEntryWithEnterAndConfirmingWithOk) {
    std::string Filter = "EPS-Dateien|*.eps";
    EXPECT_TRUE(Run(Filter, [&] {
        ASSERT_EQ(QApplication::focusWidget(), Dlg.FilterNameEdit);
        Dlg.FilterNameEdit->selectAll();
        QTest::keyClicks(Dlg.FilterNameEdit, "PostScript");
        // Enter moves on to the pattern and does not close the dialog.
        PressKey(Dlg.FilterNameEdit, Qt::Key_Return);
        ASSERT_EQ(QApplication::focusWidget(), Dlg.FilterEdit);
        Dlg.FilterEdit->selectAll();
        QTest::keyClicks(Dlg.FilterEdit, "*.ps");
        PressKey(Dlg.FilterEdit, Qt::Key_Return);
        ASSERT_TRUE(Dlg.isVisible());
        EXPECT_EQ(QApplication::focusWidget(), Dlg.FilterNameEdit);
        QTest::mouseClick(Dlg.OKBtn, Qt::LeftButton);
    }));
    EXPECT_EQ(Filter, "EPS-Dateien (*.eps)|*.eps|PostScript (*.ps)|*.ps");
}

TEST_F(FilterDialogTest, EntriesInEitherEncodingShowAsTheyReadAndComeBackUnchanged) {
    // "Bilderä" in Latin-1 (from a Windows machine), "Grafik ü" in UTF-8.
    std::string Filter = "Bilder\xe4|*.eps|Grafik \xc3\xbc|*.ps";
    EXPECT_TRUE(Run(Filter, [&] {
        EXPECT_EQ(Dlg.FilterListe->item(0, 0)->text(), QString::fromUtf8("Bilderä"));
        EXPECT_EQ(Dlg.FilterListe->item(1, 0)->text(), QString::fromUtf8("Grafik ü"));
        // A new entry typed here is stored as UTF-8.
        Dlg.FilterNameEdit->setText(QString::fromUtf8("Größe"));
        Dlg.FilterEdit->setText("*.gr");
        Dlg.InsertBtnClick();
        QTest::mouseClick(Dlg.OKBtn, Qt::LeftButton);
    }));
    EXPECT_NE(Filter.find("Bilder\xe4 (*.eps)|*.eps"), std::string::npos) << Filter;
    EXPECT_NE(Filter.find("Grafik \xc3\xbc (*.ps)|*.ps"), std::string::npos) << Filter;
    EXPECT_NE(Filter.find("Gr\xc3\xb6\xc3\x9f"
                          "e (*.gr)|*.gr"),
              std::string::npos)
        << Filter;
}

TEST_F(FilterDialogTest, CancelKeepsTheStringAndLeavesNothingBehindInTheTable) {
    std::string Filter = "A|*.a|B|*.b";
    EXPECT_FALSE(Run(Filter, [&] {
        Dlg.InsertBtnClick();
        Dlg.InsertBtnClick();
        ASSERT_EQ(Dlg.Count(), 4);
        QTest::mouseClick(Dlg.CancelBtn, Qt::LeftButton);
    }));
    EXPECT_EQ(Filter, "A|*.a|B|*.b");
    // The next use shows only its own entry; the rows after it are empty.
    std::string Next = "C|*.c";
    EXPECT_FALSE(Run(Next, [&] {
        for (int Row = 2; Row <= 4; ++Row)
            EXPECT_EQ(Shown(Row), TFilterEntry{}) << "row " << Row;
        PressKey(Dlg.FilterNameEdit, Qt::Key_Escape);
    }));
    EXPECT_EQ(Next, "C|*.c");
}

TEST_F(FilterDialogTest, RowsWithoutAnEntryCannotBeSelected) {
    Open("A|*.a|B|*.b");
    QTableWidget* Grid = Dlg.FilterListe;
    for (int Row : {2, 5}) {
        const QRect Cell = Grid->visualItemRect(Grid->item(Row - 1, 0));
        QTest::mouseClick(Grid->viewport(), Qt::LeftButton, Qt::NoModifier, Cell.center());
    }
    EXPECT_EQ(Dlg.CurrentRow(), 2);
    EXPECT_EQ(Fields(), (TFilterEntry{"B", "*.b"}));
    EXPECT_FALSE(Dlg.FilterListeSelectCell(3));
    for (Qt::Key Key : {Qt::Key_Down, Qt::Key_End, Qt::Key_PageDown})
        QTest::keyClick(Grid, Key);
    EXPECT_EQ(Dlg.CurrentRow(), 2);
}

} // namespace
