// Tests of the folder chooser: start folder, history, Home, Up and New, and how it closes.
#include "dialogs/directorylistbox.h"
#include "dialogs/historycombobox.h"
#include "dialogs/verzdlg.h"
#include "modalscript.h"
#include "testsupport.h"

#include <QAbstractItemView>
#include <QDir>
#include <QFileInfo>
#include <QLabel>
#include <QPushButton>
#include <QTest>
#include <QToolButton>

#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

using namespace zarvo;
using zarvotest::PressKey;
using zarvotest::RunModal;

namespace {

std::string Canonical(const std::string& Path) {
    return QFileInfo(QString::fromStdString(Path)).canonicalFilePath().toStdString();
}

std::string CurrentFolder() {
    return QDir::currentPath().toStdString();
}

void MakeDir(const std::string& Path) {
    ASSERT_EQ(::mkdir(Path.c_str(), 0755), 0) << Path;
}

// Every test gets its own folders and dialog; the program's current folder is put back.
class VerzDialogTest : public ::testing::Test {
protected:
    void SetUp() override {
        Root = Canonical(Temp.Path());
        MakeDir(Root + "/alpha");
        MakeDir(Root + "/beta");
    }
    void TearDown() override { EXPECT_TRUE(QDir::setCurrent(SavedCwd)) << SavedCwd.toStdString(); }

    // Loads the dialog at Dir and shows it without a modal loop.
    void Open(const std::string& Dir, const std::string& Home = std::string()) {
        Dlg.hide();
        Dlg.Load("Verzeichnis mit EPS-Dateien", Home, -1, -1, Dir);
        Dlg.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&Dlg));
    }

    const QString SavedCwd = QDir::currentPath();
    zarvotest::TTempDir Temp;
    std::string Root;
    zarvotest::TRecordingDialogs Seam;
    TVerzDialog Dlg;
};

TEST_F(VerzDialogTest, HistoryStartsAsPlainBoxAndKeepsEachFolderOnceWhateverTheCase) {
    std::string Dir = Root + "/alpha";
    // First use: no history, so no drop-down list to open. Tab on OK closes with OK.
    const bool First = RunModal(
        Dlg, [&] { return Dlg.Execute("Verzeichnis mit EPS-Dateien", "", -1, -1, Dir); },
        [&] {
            EXPECT_TRUE(Dlg.SelectedDir->IsSimple());
            Dlg.SelectedDir->showPopup();
            EXPECT_FALSE(Dlg.SelectedDir->view()->isVisible());
            ASSERT_EQ(QApplication::focusWidget(), Dlg.SelectedDir);
            PressKey(Dlg.SelectedDir, Qt::Key_Tab);
            ASSERT_EQ(QApplication::focusWidget(), Dlg.OKBtn);
            PressKey(Dlg.OKBtn, Qt::Key_Tab);
        });
    EXPECT_TRUE(First);
    EXPECT_EQ(Dir, Root + "/alpha");
    EXPECT_EQ(Dlg.History(), std::vector<std::string>{Root + "/alpha"});

    // Second use: a drop-down box with the one entry.
    Dir = Root + "/beta";
    const bool Second = RunModal(
        Dlg, [&] { return Dlg.Execute("Verzeichnis mit EPS-Dateien", "", -1, -1, Dir); },
        [&] {
            EXPECT_FALSE(Dlg.SelectedDir->IsSimple());
            EXPECT_EQ(Dlg.SelectedDir->count(), 1);
            Dlg.SelectedDir->showPopup();
            EXPECT_TRUE(Dlg.SelectedDir->view()->isVisible());
            Dlg.SelectedDir->hidePopup();
            QTest::mouseClick(Dlg.OKBtn, Qt::LeftButton);
        });
    EXPECT_TRUE(Second);
    EXPECT_EQ(Dlg.History(), (std::vector<std::string>{Root + "/alpha", Root + "/beta"}));

    // The same folders again, one spelt in other letters: no new entries.
    Dlg.AddHistory(Root + "/ALPHA");
    Open(Root + "/alpha");
    Dlg.OKBtnClick();
    EXPECT_EQ(Dlg.History(), (std::vector<std::string>{Root + "/alpha", Root + "/beta"}));
    // Removing also ignores the case and then selects the first entry.
    Dlg.RemoveHistory(Root + "/BETA");
    EXPECT_EQ(Dlg.History(), std::vector<std::string>{Root + "/alpha"});
    EXPECT_EQ(Dlg.SelectedDir->currentIndex(), 0);
}

TEST_F(VerzDialogTest, LeavingOkOrCancelByKeyboardClosesButAMouseClickCounts) {
    // Tab from Cancel cancels; the caller's folder stays.
    std::string Dir = Root + "/alpha";
    EXPECT_FALSE(RunModal(
        Dlg, [&] { return Dlg.Execute("X", "", -1, -1, Dir); },
        [&] {
            Dlg.UpBtnClick();
            Dlg.CancelBtn->setFocus(Qt::TabFocusReason);
            PressKey(Dlg.CancelBtn, Qt::Key_Tab);
        }));
    EXPECT_EQ(Dir, Root + "/alpha");
    EXPECT_TRUE(Dlg.History().empty());

    // Shift+Tab away from OK confirms too.
    EXPECT_TRUE(RunModal(
        Dlg, [&] { return Dlg.Execute("X", "", -1, -1, Dir); },
        [&] {
            Dlg.UpBtnClick();
            Dlg.OKBtn->setFocus(Qt::TabFocusReason);
            PressKey(Dlg.OKBtn, Qt::Key_Backtab, Qt::ShiftModifier);
        }));
    EXPECT_EQ(Dir, Root);

    // With the focus on OK, a click on Cancel cancels (the focus leaves OK by mouse).
    Dir = Root + "/beta";
    EXPECT_FALSE(RunModal(
        Dlg, [&] { return Dlg.Execute("X", "", -1, -1, Dir); },
        [&] {
            Dlg.UpBtnClick();
            Dlg.OKBtn->setFocus(Qt::TabFocusReason);
            QTest::mouseClick(Dlg.CancelBtn, Qt::LeftButton);
        }));
    EXPECT_EQ(Dir, Root + "/beta");
    // Escape cancels as well.
    EXPECT_FALSE(RunModal(
        Dlg, [&] { return Dlg.Execute("X", "", -1, -1, Dir); },
        [&] { PressKey(&Dlg, Qt::Key_Escape); }));
}

TEST_F(VerzDialogTest, StartsAtDirOrElseAtTheCurrentFolderWithoutAMessage) {
    QDir::setCurrent(QString::fromStdString(Root + "/beta"));
    Open("");
    EXPECT_EQ(Dlg.Directory(), Root + "/beta");
    Open(Root + "/missing");
    EXPECT_EQ(Dlg.Directory(), Root + "/beta");
    zarvotest::WriteFile(Root + "/beta/file.eps", "%!PS\n");
    Open(Root + "/beta/file.eps");
    EXPECT_EQ(Dlg.Directory(), Root + "/beta");
    EXPECT_TRUE(Seam.Errors.empty());

    // A start folder that exists becomes the program's current folder; a relative one counts
    // from the current folder; a trailing separator is dropped.
    Open(Root + "/alpha/");
    EXPECT_EQ(Dlg.Directory(), Root + "/alpha");
    EXPECT_EQ(CurrentFolder(), Root + "/alpha");
    Open("../beta");
    EXPECT_EQ(Dlg.Directory(), Root + "/beta");
    EXPECT_EQ(Dlg.windowTitle(), QStringLiteral("Verzeichnis mit EPS-Dateien"));
    // The box and the hidden label show the folder.
    EXPECT_EQ(Dlg.SelectedDir->currentText().toStdString(), Root + "/beta");
    EXPECT_EQ(Dlg.Verzname->text().toStdString(), Root + "/beta");
}

TEST_F(VerzDialogTest, PlacedCentredOrKeptInsideTheScreen) {
    Seam.Screen = {1024, 768};
    Dlg.Load("X", "", -1, -1, Root);
    EXPECT_EQ(Dlg.pos(), QPoint((1024 - Dlg.width()) / 2, (768 - Dlg.height()) / 2));
    Dlg.Load("X", "", 5000, 700, Root);
    EXPECT_EQ(Dlg.pos(), QPoint(1024 - Dlg.width() - 20, 768 - Dlg.height() - 20));
    Dlg.Load("X", "", 10, 20, Root);
    EXPECT_EQ(Dlg.pos(), QPoint(10, 20));
}

TEST_F(VerzDialogTest, UpGoesToTheParentAndStaysAtTheRoot) {
    Open(Root + "/alpha");
    Dlg.UpBtnClick();
    EXPECT_EQ(Dlg.Directory(), Root);
    EXPECT_EQ(Dlg.SelectedDir->currentText().toStdString(), Root);
    Open("/");
    Dlg.UpBtnClick();
    EXPECT_EQ(Dlg.Directory(), "/");
    // One level below the root goes to the root.
    Open("/tmp");
    Dlg.UpBtnClick();
    EXPECT_EQ(Dlg.Directory(), "/");
}

TEST_F(VerzDialogTest, NewCreatesTheWholeChainAndReportsWhatCannotBeCreated) {
    Open(Root + "/alpha");
    QString Caption, Prompt, Initial = QStringLiteral("unset");
    QString Answer = QStringLiteral("one/two/three");
    Dlg.InputQuery = [&](const QString& C, const QString& P, QString& Value) {
        Caption = C;
        Prompt = P;
        Initial = Value;
        Value = Answer;
        return true;
    };
    Dlg.NewBtnClick();
    EXPECT_EQ(Caption.toStdString(), Root + "/alpha");
    EXPECT_EQ(Prompt, QStringLiteral("Neues Verzeichnis:"));
    EXPECT_EQ(Initial, QString());
    EXPECT_TRUE(QFileInfo(QString::fromStdString(Root + "/alpha/one/two/three")).isDir());
    EXPECT_EQ(Dlg.Directory(), Root + "/alpha/one/two/three");

    // Under a regular file no folder can be made (ENOTDIR, also for root).
    zarvotest::WriteFile(Root + "/beta/plain", "x");
    Open(Root + "/beta");
    Answer = QStringLiteral("plain/sub");
    Dlg.NewBtnClick();
    ASSERT_EQ(Seam.Errors.size(), 1u);
    EXPECT_EQ(Seam.Errors[0],
              "Verzeichnis: " + Root + "/beta/plain/sub konnte nicht erstellt werden!");
    EXPECT_EQ(Dlg.Directory(), Root + "/beta");

    // A read-only folder stops anyone but root.
    if (::geteuid() != 0) {
        MakeDir(Root + "/locked");
        ::chmod((Root + "/locked").c_str(), 0555);
        Open(Root + "/locked");
        Answer = QStringLiteral("inner");
        Dlg.NewBtnClick();
        ASSERT_EQ(Seam.Errors.size(), 2u);
        EXPECT_EQ(Seam.Errors[1],
                  "Verzeichnis: " + Root + "/locked/inner konnte nicht erstellt werden!");
        EXPECT_EQ(Dlg.Directory(), Root + "/locked");
    }

    // Cancelling the input box creates nothing.
    Open(Root + "/beta");
    Dlg.InputQuery = [](const QString&, const QString&, QString& Value) {
        Value = QStringLiteral("never");
        return false;
    };
    Dlg.NewBtnClick();
    EXPECT_FALSE(zarvotest::FileExists(Root + "/beta/never"));
    EXPECT_EQ(Dlg.Directory(), Root + "/beta");
}

TEST_F(VerzDialogTest, HomeButtonOnlyWithAHomeFolderAndDroppedWhenMissing) {
    Open(Root + "/alpha", "");
    EXPECT_FALSE(Dlg.HomeBtn->isVisible());

    Open(Root + "/alpha", Root + "/beta");
    EXPECT_TRUE(Dlg.HomeBtn->isVisible());
    EXPECT_EQ(Dlg.HomeBtn->toolTip().toStdString(), "Standard: " + Root + "/beta");
    QTest::mouseClick(Dlg.HomeBtn, Qt::LeftButton);
    EXPECT_EQ(Dlg.Directory(), Root + "/beta");
    EXPECT_EQ(CurrentFolder(), Root + "/beta");
    EXPECT_TRUE(Seam.Errors.empty());

    const std::string Gone = Root + "/gone";
    Dlg.AddHistory(Root + "/alpha");
    Dlg.AddHistory(Gone);
    Open(Root + "/beta", Gone);
    Dlg.HomeBtnClick();
    EXPECT_EQ(Seam.Errors, std::vector<std::string>{"Verzeichnis: " + Gone + " nicht gefunden!"});
    EXPECT_EQ(Dlg.History(), std::vector<std::string>{Root + "/alpha"});
    EXPECT_EQ(Dlg.Directory(), Root + "/beta");
}

TEST_F(VerzDialogTest, ChoosingAHistoryEntryEntersIt) {
    const std::string Gone = Root + "/gone";
    MakeDir(Gone);
    Dlg.AddHistory(Root + "/alpha");
    Dlg.AddHistory(Gone);
    Dlg.AddHistory(Root + "/beta");
    Open(Root);
    Dlg.SelectedDir->setCurrentIndex(2);
    emit Dlg.SelectedDir->activated(2);
    EXPECT_EQ(Dlg.Directory(), Root + "/beta");
    EXPECT_EQ(CurrentFolder(), Root + "/beta");
    EXPECT_EQ(Dlg.SelectedDir->currentText().toStdString(), Root + "/beta");

    // An entry whose folder has gone is reported and dropped; the list stays.
    ::rmdir(Gone.c_str());
    Dlg.SelectedDir->setCurrentIndex(1);
    emit Dlg.SelectedDir->activated(1);
    EXPECT_EQ(Seam.Errors, std::vector<std::string>{"Verzeichnis: " + Gone + " nicht gefunden!"});
    EXPECT_EQ(Dlg.History(), (std::vector<std::string>{Root + "/alpha", Root + "/beta"}));
    EXPECT_EQ(Dlg.Directory(), Root + "/beta");
    EXPECT_EQ(Dlg.SelectedDir->currentIndex(), 0);
}

TEST_F(VerzDialogTest, KeysInTheBoxChooseAnEntryThatLeavingOrEnterApplies) {
    Dlg.AddHistory(Root + "/alpha");
    Dlg.AddHistory(Root + "/beta");
    std::string Dir = Root;
    // Down picks the first entry without moving the list; Tab out of the box goes there.
    EXPECT_TRUE(RunModal(
        Dlg, [&] { return Dlg.Execute("X", "", -1, -1, Dir); },
        [&] {
            ASSERT_EQ(QApplication::focusWidget(), Dlg.SelectedDir);
            PressKey(Dlg.SelectedDir, Qt::Key_Down);
            EXPECT_EQ(Dlg.SelectedDir->currentText().toStdString(), Root + "/alpha");
            EXPECT_EQ(Dlg.Directory(), Root);
            PressKey(Dlg.SelectedDir, Qt::Key_Tab);
            EXPECT_EQ(Dlg.Directory(), Root + "/alpha");
            EXPECT_EQ(CurrentFolder(), Root + "/alpha");
            EXPECT_EQ(QApplication::focusWidget(), Dlg.OKBtn);
            QTest::mouseClick(Dlg.OKBtn, Qt::LeftButton);
        }));
    EXPECT_EQ(Dir, Root + "/alpha");

    // Enter confirms what the box shows, as a click on OK would.
    Dir = Root;
    EXPECT_TRUE(RunModal(
        Dlg, [&] { return Dlg.Execute("X", "", -1, -1, Dir); },
        [&] {
            PressKey(Dlg.SelectedDir, Qt::Key_Down);
            PressKey(Dlg.SelectedDir, Qt::Key_Down);
            EXPECT_EQ(Dlg.Directory(), Root);
            PressKey(Dlg.SelectedDir, Qt::Key_Return);
        }));
    EXPECT_EQ(Dir, Root + "/beta");

    // Typed text is not a path: leaving the box shows the current folder again.
    Open(Root + "/alpha");
    QTest::keyClicks(Dlg.SelectedDir, "/nowhere");
    Dlg.SelectedDirExit();
    EXPECT_EQ(Dlg.Directory(), Root + "/alpha");
    EXPECT_EQ(Dlg.SelectedDir->currentText().toStdString(), Root + "/alpha");
}

TEST_F(VerzDialogTest, LeavingTheBoxDoesNotUndoAMoveOfTheList) {
    Dlg.AddHistory(Root + "/alpha");
    Open(Root + "/beta");
    Dlg.SelectedDir->setCurrentIndex(0);
    emit Dlg.SelectedDir->activated(0);
    ASSERT_EQ(Dlg.Directory(), Root + "/alpha");
    Dlg.UpBtnClick();
    Dlg.SelectedDirExit();
    EXPECT_EQ(Dlg.Directory(), Root);
}

TEST_F(VerzDialogTest, FolderListOpensSubfoldersAndShowsLongPathsShortened) {
    // Enter on a subfolder opens it and keeps the dialog open.
    std::string Dir = Root;
    EXPECT_TRUE(RunModal(
        Dlg, [&] { return Dlg.Execute("X", "", -1, -1, Dir); },
        [&] {
            TDirectoryListBox* List = Dlg.DirectoryListBox;
            List->setFocus(Qt::TabFocusReason);
            const auto Found =
                List->findItems(QStringLiteral("beta"), Qt::MatchExactly | Qt::MatchRecursive);
            ASSERT_EQ(Found.size(), 1);
            List->setCurrentItem(Found[0]);
            PressKey(List, Qt::Key_Return);
            EXPECT_TRUE(Dlg.isVisible());
            EXPECT_EQ(Dlg.Directory(), Root + "/beta");
            Dlg.OKBtnClick();
        }));
    EXPECT_EQ(Dir, Root + "/beta");
    // The list holds the way down from the root and the subfolders, not hidden ones.
    MakeDir(Root + "/.hidden");
    Dlg.DirectoryListBox->SetDirectory(QString::fromStdString(Root));
    EXPECT_EQ(Dlg.DirectoryListBox
                  ->findItems(QStringLiteral("alpha"), Qt::MatchExactly | Qt::MatchRecursive)
                  .size(),
              1);
    EXPECT_TRUE(Dlg.DirectoryListBox
                    ->findItems(QStringLiteral(".hidden"), Qt::MatchExactly | Qt::MatchRecursive)
                    .isEmpty());
    EXPECT_EQ(Dlg.DirectoryListBox->topLevelItem(0)->text(0), QStringLiteral("/"));

    // A path wider than the list is shown with "..." in its middle; the result is the full path.
    std::string Deep = Root;
    for (int I = 0; I < 6; ++I) {
        Deep += "/a-rather-long-folder-name-" + std::to_string(I);
        MakeDir(Deep);
    }
    Open(Deep);
    const QString Shown = Dlg.SelectedDir->currentText();
    EXPECT_TRUE(Shown.contains(QChar(0x2026)) || Shown.contains(QStringLiteral("...")))
        << Shown.toStdString();
    EXPECT_EQ(Shown, Dlg.Verzname->text());
    EXPECT_LE(QFontMetrics(Dlg.Verzname->font()).horizontalAdvance(Shown),
              TVerzDialog::DisplayWidth);
    EXPECT_EQ(Dlg.Directory(), Deep);
    Dlg.OKBtnClick();
    EXPECT_EQ(Dlg.History().back(), Deep);
}

} // namespace
