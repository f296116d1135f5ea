// Tests of the filter editor: splitting and joining filter strings, the buttons, the keys of the
// edit fields, and how OK and Cancel hand the string back.
#include "dialogs/filtdlg.h"
#include "modalscript.h"
#include "testsupport.h"

#include <QApplication>
#include <QHeaderView>
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
using zarvotest::RunModal;

namespace {

using TEntries = std::vector<TFilterEntry>;

class FilterDialogTest : public ::testing::Test {
protected:
    void Open(const std::string& Filter) {
        Dlg.hide();
        Dlg.Load("Dateitypen", Filter);
        Dlg.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&Dlg));
    }
    // What the table shows in a row (1 to 14).
    TFilterEntry Shown(int Row) const {
        return {Dlg.FilterListe->item(Row - 1, 0)->text().toStdString(),
                Dlg.FilterListe->item(Row - 1, 1)->text().toStdString()};
    }
    TFilterEntry Fields() const {
        return {Dlg.FilterNameEdit->text().toStdString(), Dlg.FilterEdit->text().toStdString()};
    }
    void Type(const std::string& Name, const std::string& Pattern) {
        Dlg.FilterNameEdit->setText(QString::fromStdString(Name));
        Dlg.FilterEdit->setText(QString::fromStdString(Pattern));
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
        {"EPS-Dateien|*.eps", {{"EPS-Dateien", "*.eps"}}, "EPS-Dateien (*.eps)|*.eps"},
        {"PostScript|*.eps;*.ps|Alle|*.*",
         {{"PostScript", "*.eps;*.ps"}, {"Alle", "*.*"}},
         "PostScript (*.eps;*.ps)|*.eps;*.ps|Alle (*.*)|*.*"},
        // A name at the end without its pattern gets all files.
        {"EPS|*.eps|Rest|",
         {{"EPS", "*.eps"}, {"Rest", "*.*"}},
         "EPS (*.eps)|*.eps|Rest (*.*)|*.*"},
        {"EPS|", {{"EPS", "*.*"}}, "EPS (*.*)|*.*"},
        // Text without '|' is a pattern without a name, at the start as at the end.
        {"*.eps", {{"", "*.eps"}}, " (*.eps)|*.eps"},
        {"EPS|*.eps|*.ps", {{"EPS", "*.eps"}, {"", "*.ps"}}, "EPS (*.eps)|*.eps| (*.ps)|*.ps"},
        {"|*.eps", {{"", "*.eps"}}, " (*.eps)|*.eps"},
        {"EPS|*.eps|", {{"EPS", "*.eps"}}, "EPS (*.eps)|*.eps"},
        // A name that already holds a '(' is kept as it is.
        {"Bilder (EPS)|*.eps|Alle (*.*)|*.*",
         {{"Bilder (EPS)", "*.eps"}, {"Alle (*.*)", "*.*"}},
         "Bilder (EPS)|*.eps|Alle (*.*)|*.*"},
    };
    for (const TCase& C : Cases) {
        SCOPED_TRACE("filter \"" + C.Filter + "\"");
        Open(C.Filter);
        EXPECT_EQ(Dlg.Count(), static_cast<int>(C.Rows.size()));
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
    EXPECT_EQ(Dlg.windowTitle(), QStringLiteral("Dateitypen"));
    EXPECT_EQ(Dlg.FilterListe->horizontalHeaderItem(0)->text(), QStringLiteral("Filtername"));
    EXPECT_EQ(Dlg.FilterListe->horizontalHeaderItem(1)->text(), QStringLiteral("Filter"));
    Dlg.Load("", "");
    EXPECT_EQ(Dlg.windowTitle(), QStringLiteral("Filter Dialog"));
}

TEST_F(FilterDialogTest, OnlyTheFirstFourteenPairsAreKept) {
    std::string Filter;
    for (int I = 1; I <= 16; ++I)
        Filter +=
            (I > 1 ? "|" : "") + std::string("N") + std::to_string(I) + "|*." + std::to_string(I);
    Open(Filter);
    ASSERT_EQ(Dlg.Count(), 14);
    EXPECT_EQ(Shown(14), (TFilterEntry{"N14", "*.14"}));
    const std::string Joined = Dlg.FilterText();
    EXPECT_EQ(Joined.rfind("N14 (*.14)|*.14"), Joined.size() - 15);
    EXPECT_EQ(Joined.find("N15"), std::string::npos);
    // A full table takes nothing more: Insert does nothing, Enter in the pattern replaces.
    Type("New", "*.new");
    Dlg.InsertBtnClick();
    EXPECT_EQ(Dlg.Count(), 14);
    EXPECT_EQ(Dlg.FilterText(), Joined);
    ASSERT_TRUE(Dlg.FilterListeSelectCell(14));
    Type("New", "*.new");
    QTest::keyClick(Dlg.FilterEdit, Qt::Key_Return);
    EXPECT_EQ(Dlg.Count(), 14);
    EXPECT_EQ(Shown(14), (TFilterEntry{"New", "*.new"}));
}

TEST_F(FilterDialogTest, ButtonsMoveDeleteInsertAndReplaceEntries) {
    Open("A|*.a|B|*.b|C|*.c");
    // Up on the first row and Down on the last entry do nothing.
    Dlg.UpBtnClick();
    EXPECT_EQ(Dlg.Entries(), (TEntries{{"A", "*.a"}, {"B", "*.b"}, {"C", "*.c"}}));
    Dlg.DownBtnClick();
    EXPECT_EQ(Dlg.Entries(), (TEntries{{"B", "*.b"}, {"A", "*.a"}, {"C", "*.c"}}));
    EXPECT_EQ(Dlg.CurrentRow(), 2);
    EXPECT_EQ(Fields(), (TFilterEntry{"A", "*.a"}));
    Dlg.DownBtnClick();
    Dlg.DownBtnClick();
    EXPECT_EQ(Dlg.Entries(), (TEntries{{"B", "*.b"}, {"C", "*.c"}, {"A", "*.a"}}));
    EXPECT_EQ(Dlg.CurrentRow(), 3);
    Dlg.UpBtnClick();
    EXPECT_EQ(Dlg.Entries(), (TEntries{{"B", "*.b"}, {"A", "*.a"}, {"C", "*.c"}}));
    EXPECT_EQ(Dlg.CurrentRow(), 2);

    // Insert puts the fields before the selected entry; the selection stays on the new one.
    Type("N", "*.n");
    Dlg.InsertBtnClick();
    EXPECT_EQ(Dlg.Entries(), (TEntries{{"B", "*.b"}, {"N", "*.n"}, {"A", "*.a"}, {"C", "*.c"}}));
    EXPECT_EQ(Dlg.CurrentRow(), 2);
    // Replace overwrites the selected entry.
    Type("R", "*.r");
    Dlg.ReplBtnClick();
    EXPECT_EQ(Dlg.Entries(), (TEntries{{"B", "*.b"}, {"R", "*.r"}, {"A", "*.a"}, {"C", "*.c"}}));

    // Delete in the middle keeps the selection and the fields; the row after the end empties.
    Dlg.DeleteBtnClick();
    EXPECT_EQ(Dlg.Entries(), (TEntries{{"B", "*.b"}, {"A", "*.a"}, {"C", "*.c"}}));
    EXPECT_EQ(Dlg.CurrentRow(), 2);
    EXPECT_EQ(Fields(), (TFilterEntry{"R", "*.r"}));
    EXPECT_EQ(Shown(4), TFilterEntry{});
    // Delete of the last entry moves the selection up and shows that entry.
    ASSERT_TRUE(Dlg.FilterListeSelectCell(3));
    Dlg.DeleteBtnClick();
    EXPECT_EQ(Dlg.Entries(), (TEntries{{"B", "*.b"}, {"A", "*.a"}}));
    EXPECT_EQ(Dlg.CurrentRow(), 2);
    EXPECT_EQ(Fields(), (TFilterEntry{"A", "*.a"}));
    Dlg.DeleteBtnClick();
    Dlg.DeleteBtnClick();
    EXPECT_EQ(Dlg.Count(), 0);
    EXPECT_EQ(Dlg.CurrentRow(), 1);
    EXPECT_EQ(Shown(1), TFilterEntry{});
    // Nothing left to delete, move or pick.
    Dlg.DeleteBtnClick();
    Dlg.UpBtnClick();
    Dlg.DownBtnClick();
    EXPECT_EQ(Dlg.Count(), 0);
    EXPECT_FALSE(Dlg.FilterListeSelectCell(2));
    // Insert into the empty table makes the first entry.
    Type("X", "*.x");
    Dlg.InsertBtnClick();
    EXPECT_EQ(Dlg.FilterText(), "X (*.x)|*.x");
}

TEST_F(FilterDialogTest, ReplaceInAnEmptyTableMakesAnEntryThatOkKeeps) {
    Open("");
    Type("Only", "*.only");
    Dlg.ReplBtnClick();
    EXPECT_EQ(Shown(1), (TFilterEntry{"Only", "*.only"}));
    EXPECT_EQ(Dlg.Count(), 1);
    EXPECT_EQ(Dlg.FilterText(), "Only (*.only)|*.only");
}

TEST_F(FilterDialogTest, KeysOfTheEditFields) {
    Open("A|*.a|B|*.b");
    // Down and Up in the name field walk through the entries, never beyond them.
    QTest::keyClick(Dlg.FilterNameEdit, Qt::Key_Down);
    EXPECT_EQ(Dlg.CurrentRow(), 2);
    EXPECT_EQ(Fields(), (TFilterEntry{"B", "*.b"}));
    QTest::keyClick(Dlg.FilterNameEdit, Qt::Key_Down);
    EXPECT_EQ(Dlg.CurrentRow(), 2);
    QTest::keyClick(Dlg.FilterNameEdit, Qt::Key_Up);
    QTest::keyClick(Dlg.FilterNameEdit, Qt::Key_Up);
    EXPECT_EQ(Dlg.CurrentRow(), 1);
    EXPECT_EQ(Fields(), (TFilterEntry{"A", "*.a"}));

    // Enter in the pattern field before the last entry replaces the selected entry.
    Type("A2", "*.a2");
    QTest::keyClick(Dlg.FilterEdit, Qt::Key_Enter);
    EXPECT_EQ(Dlg.Entries(), (TEntries{{"A2", "*.a2"}, {"B", "*.b"}}));
    EXPECT_EQ(Dlg.CurrentRow(), 1);
    // On the last entry it appends the edited entry and selects it; the last one stays.
    QTest::keyClick(Dlg.FilterNameEdit, Qt::Key_Down);
    Type("B2", "*.b2");
    QTest::keyClick(Dlg.FilterEdit, Qt::Key_Return);
    EXPECT_EQ(Dlg.Entries(), (TEntries{{"A2", "*.a2"}, {"B", "*.b"}, {"B2", "*.b2"}}));
    EXPECT_EQ(Dlg.CurrentRow(), 3);
    // In an empty table it makes the first entry.
    Open("");
    Type("E", "*.e");
    QTest::keyClick(Dlg.FilterEdit, Qt::Key_Return);
    EXPECT_EQ(Dlg.Entries(), (TEntries{{"E", "*.e"}}));

    // '|' would split an entry when the string is read again; the fields do not take it.
    Dlg.FilterNameEdit->clear();
    QTest::keyClicks(Dlg.FilterNameEdit, "a|b");
    EXPECT_EQ(Dlg.FilterNameEdit->text(), QStringLiteral("ab"));
}

TEST_F(FilterDialogTest, TypingAnEntryWithEnterInTheModalDialogAndConfirmingWithOk) {
    std::string Filter = "EPS-Dateien|*.eps";
    const bool Ok = RunModal(
        Dlg, [&] { return Dlg.Execute("Dateitypen", Filter); },
        [&] {
            ASSERT_EQ(QApplication::focusWidget(), Dlg.FilterNameEdit);
            Dlg.FilterNameEdit->selectAll();
            QTest::keyClicks(Dlg.FilterNameEdit, "PostScript");
            // Enter moves on to the pattern and does not close the dialog.
            PressKey(Dlg.FilterNameEdit, Qt::Key_Return);
            ASSERT_TRUE(Dlg.isVisible());
            ASSERT_EQ(QApplication::focusWidget(), Dlg.FilterEdit);
            Dlg.FilterEdit->selectAll();
            QTest::keyClicks(Dlg.FilterEdit, "*.ps");
            PressKey(Dlg.FilterEdit, Qt::Key_Return);
            ASSERT_TRUE(Dlg.isVisible());
            EXPECT_EQ(QApplication::focusWidget(), Dlg.FilterNameEdit);
            QTest::mouseClick(Dlg.OKBtn, Qt::LeftButton);
        });
    EXPECT_TRUE(Ok);
    EXPECT_EQ(Filter, "EPS-Dateien (*.eps)|*.eps|PostScript (*.ps)|*.ps");
}

TEST_F(FilterDialogTest, CancelKeepsTheStringAndLeavesNothingBehindInTheTable) {
    std::string Filter = "A|*.a|B|*.b";
    const bool Ok = RunModal(
        Dlg, [&] { return Dlg.Execute("Dateitypen", Filter); },
        [&] {
            Dlg.FilterNameEdit->setText(QStringLiteral("X"));
            Dlg.InsertBtnClick();
            Dlg.DownBtnClick();
            Dlg.InsertBtnClick();
            ASSERT_EQ(Dlg.Count(), 4);
            QTest::mouseClick(Dlg.CancelBtn, Qt::LeftButton);
        });
    EXPECT_FALSE(Ok);
    EXPECT_EQ(Filter, "A|*.a|B|*.b");

    // The next use shows only its own entries; the rows after them are empty.
    std::string Next = "C|*.c";
    EXPECT_FALSE(RunModal(
        Dlg, [&] { return Dlg.Execute("Dateitypen", Next); },
        [&] {
            EXPECT_EQ(Dlg.Count(), 1);
            for (int Row = 2; Row <= 4; ++Row)
                EXPECT_EQ(Shown(Row), TFilterEntry{}) << "row " << Row;
            PressKey(Dlg.FilterNameEdit, Qt::Key_Escape);
        }));
    EXPECT_EQ(Next, "C|*.c");
}

TEST_F(FilterDialogTest, RowsWithoutAnEntryCannotBeSelected) {
    Open("A|*.a|B|*.b");
    QTableWidget* Grid = Dlg.FilterListe;
    auto ClickRow = [&](int Row) {
        const QRect Cell = Grid->visualItemRect(Grid->item(Row - 1, 0));
        QTest::mouseClick(Grid->viewport(), Qt::LeftButton, Qt::NoModifier, Cell.center());
    };
    ClickRow(2);
    EXPECT_EQ(Dlg.CurrentRow(), 2);
    EXPECT_EQ(Fields(), (TFilterEntry{"B", "*.b"}));
    ClickRow(5);
    EXPECT_EQ(Dlg.CurrentRow(), 2);
    EXPECT_EQ(Fields(), (TFilterEntry{"B", "*.b"}));
    EXPECT_FALSE(Dlg.FilterListeSelectCell(3));
    // Nor with the keys of the table.
    Grid->setFocus();
    QTest::keyClick(Grid, Qt::Key_Down);
    QTest::keyClick(Grid, Qt::Key_End);
    QTest::keyClick(Grid, Qt::Key_PageDown);
    EXPECT_EQ(Dlg.CurrentRow(), 2);
    QTest::keyClick(Grid, Qt::Key_Up);
    EXPECT_EQ(Dlg.CurrentRow(), 1);
    EXPECT_EQ(Fields(), (TFilterEntry{"A", "*.a"}));
}

} // namespace
