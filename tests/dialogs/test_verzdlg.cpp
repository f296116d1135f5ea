// Tests of the folder chooser: start folder, history, Home, Up and New, and how it closes.
#include "dialogs/directorylistbox.h"
#include "dialogs/folderbytes.h"
#include "dialogs/historycombobox.h"
#include "dialogs/verzdlg.h"
#include "modalscript.h"
#include "testsupport.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QDir>
#include <QFileInfo>
#include <QImage>
#include <QLabel>
#include <QPushButton>
#include <QTest>
#include <QToolButton>

#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

using namespace zarvo;
using zarvotest::PressKey;
using Paths = std::vector<std::string>;

namespace {

// Every test gets its own folders and dialog; the program's current folder is put back.
class VerzDialogTest : public ::testing::Test {
protected:
    void SetUp() override {
        Root = QFileInfo(QString::fromStdString(Temp.Path())).canonicalFilePath().toStdString();
        MakeDir("/alpha");
        MakeDir("/beta");
    }
    void TearDown() override { EXPECT_TRUE(QDir::setCurrent(SavedCwd)); }

    std::string P(const std::string& Sub) const { return Root + Sub; }
    void MakeDir(const std::string& Sub) { ASSERT_EQ(::mkdir(P(Sub).c_str(), 0755), 0) << Sub; }
    // Loads the dialog and shows it without a modal loop.
    void Open(const std::string& Dir, const std::string& Home = std::string()) {
        Dlg.hide();
        Dlg.Load("Verzeichnis mit EPS-Dateien", Home, -1, -1, Dir);
        Dlg.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&Dlg));
    }
    // Runs Execute modally with Script acting inside it.
    bool Run(std::string& Dir, const std::function<void()>& Script) {
        return zarvotest::RunModal(
            Dlg, [&] { return Dlg.Execute("X", "", -1, -1, Dir); }, Script);
    }
    // The user picks history entry I from the drop-down list.
    void Pick(int I) {
        Dlg.SelectedDir->setCurrentIndex(I);
        emit Dlg.SelectedDir->activated(I);
    }
    std::string Shown() const { return Dlg.SelectedDir->currentText().toStdString(); }

    const QString SavedCwd = QDir::currentPath();
    zarvotest::TTempDir Temp;
    std::string Root;
    zarvotest::TRecordingDialogs Seam;
    TVerzDialog Dlg;
};

TEST_F(VerzDialogTest, HistoryStartsAsPlainBoxAndKeepsEachFolderOnceWhateverTheCase) {
    std::string Dir = P("/alpha");
    // No history yet: no list to drop down. Tab from the box reaches OK, Tab on OK confirms.
    EXPECT_TRUE(Run(Dir, [&] {
        EXPECT_TRUE(Dlg.SelectedDir->IsSimple());
        Dlg.SelectedDir->showPopup();
        EXPECT_FALSE(Dlg.SelectedDir->view()->isVisible());
        ASSERT_EQ(QApplication::focusWidget(), Dlg.SelectedDir);
        PressKey(Dlg.SelectedDir, Qt::Key_Tab);
        ASSERT_EQ(QApplication::focusWidget(), Dlg.OKBtn);
        PressKey(Dlg.OKBtn, Qt::Key_Tab);
    }));
    EXPECT_EQ(Dir, P("/alpha"));
    EXPECT_TRUE(Run(Dir, [&] {
        EXPECT_FALSE(Dlg.SelectedDir->IsSimple());
        // Its drop-down button shows the arrow again: dark pixels inside the button.
        QApplication::processEvents();
        const QImage Box = Dlg.SelectedDir->grab().toImage();
        int Dark = 0;
        for (int X = Box.width() - 18; X < Box.width() - 4; ++X)
            for (int Y = 4; Y < Box.height() - 4; ++Y)
                if (qGray(Box.pixel(X, Y)) < 128) ++Dark;
        EXPECT_GT(Dark, 3);
        QTest::mouseClick(Dlg.OKBtn, Qt::LeftButton);
    }));
    EXPECT_EQ(Dlg.History(), Paths{P("/alpha")});
    Dlg.AddHistory(P("/ALPHA"));
    Dlg.AddHistory(P("/beta"));
    EXPECT_EQ(Dlg.History(), (Paths{P("/alpha"), P("/beta")}));
    Dlg.RemoveHistory(P("/Beta"));
    EXPECT_EQ(Dlg.History(), Paths{P("/alpha")});
}

TEST_F(VerzDialogTest, TabAwayFromOkOrCancelClosesTheDialogAClickElsewhereDoesNot) {
    std::string Dir = P("/alpha");
    EXPECT_FALSE(Run(Dir, [&] {
        Dlg.UpBtnClick();
        QWidget* List = Dlg.DirectoryListBox->viewport();
        for (QPushButton* Button : {Dlg.OKBtn, Dlg.CancelBtn}) {
            Button->setFocus(Qt::TabFocusReason);
            QTest::mouseClick(List, Qt::LeftButton, Qt::NoModifier, QPoint(5, 5));
            ASSERT_NE(QApplication::focusWidget(), Button);
            ASSERT_TRUE(Dlg.isVisible());
        }
        Dlg.CancelBtn->setFocus(Qt::TabFocusReason);
        PressKey(Dlg.CancelBtn, Qt::Key_Tab);
    }));
    EXPECT_EQ(Dir, P("/alpha"));
    EXPECT_TRUE(Dlg.History().empty());
}

TEST_F(VerzDialogTest, StartsAtDirOrElseAtTheCurrentFolderWithoutAMessage) {
    QDir::setCurrent(QString::fromStdString(P("/beta")));
    zarvotest::WriteFile(P("/beta/file.eps"), "%!PS\n");
    for (const std::string& Start : {std::string(), P("/missing"), P("/beta/file.eps")}) {
        Open(Start);
        EXPECT_EQ(Dlg.Directory(), P("/beta")) << Start;
    }
    EXPECT_TRUE(Seam.Errors.empty());
    // A folder that exists becomes the program's current folder; relative ones count from it.
    Open(P("/alpha/"));
    EXPECT_EQ(QDir::currentPath().toStdString(), P("/alpha"));
    Open("../beta");
    EXPECT_EQ(Dlg.Directory(), P("/beta"));
    EXPECT_EQ(Shown(), P("/beta"));

    // Placed centred, or moved inside the screen.
    Dlg.Load("X", "", -1, -1, Root);
    EXPECT_EQ(Dlg.pos(), QPoint((1024 - Dlg.width()) / 2, (768 - Dlg.height()) / 2));
    Dlg.Load("X", "", 5000, 700, Root);
    EXPECT_EQ(Dlg.pos(), QPoint(1024 - Dlg.width() - 20, 768 - Dlg.height() - 20));
}

TEST_F(VerzDialogTest, UpGoesToTheParentAndStaysAtTheRoot) {
    Open(P("/alpha"));
    Dlg.UpBtnClick();
    EXPECT_EQ(Dlg.Directory(), Root);
    EXPECT_EQ(Shown(), Root);
    Open("/tmp");
    Dlg.UpBtnClick();
    EXPECT_EQ(Dlg.Directory(), "/");
    Dlg.UpBtnClick();
    EXPECT_EQ(Dlg.Directory(), "/");
}

TEST_F(VerzDialogTest, NewCreatesTheWholeChainAndReportsWhatCannotBeCreated) {
    QString Caption, Prompt, Initial = QStringLiteral("unset"), Answer = QStringLiteral("1/2/3");
    Dlg.InputQuery = [&](const QString& C, const QString& Pr, QString& Value) {
        Caption = C;
        Prompt = Pr;
        Initial = Value;
        Value = Answer;
        return !Answer.isEmpty();
    };
    Open(P("/alpha"));
    Dlg.NewBtnClick();
    EXPECT_EQ(Caption.toStdString(), P("/alpha"));
    EXPECT_EQ(Prompt, QStringLiteral("Neues Verzeichnis:"));
    EXPECT_EQ(Initial, QString());
    EXPECT_EQ(Dlg.Directory(), P("/alpha/1/2/3"));
    EXPECT_TRUE(QFileInfo(QString::fromStdString(P("/alpha/1/2/3"))).isDir());

    // Under a regular file nothing can be made (ENOTDIR, for root too); under a read-only
    // folder only root could.
    zarvotest::WriteFile(P("/beta/plain"), "x");
    std::vector<std::pair<std::string, QString>> Failing = {{"/beta", "plain/sub"}};
    if (::geteuid() != 0) {
        MakeDir("/locked");
        ::chmod(P("/locked").c_str(), 0555);
        Failing.push_back({"/locked", "inner"});
    }
    for (const auto& [Folder, Name] : Failing) {
        Seam.Errors.clear();
        Open(P(Folder));
        Answer = Name;
        Dlg.NewBtnClick();
        EXPECT_EQ(Seam.Errors, Paths{"Verzeichnis: " + P(Folder) + "/" + Name.toStdString() +
                                     " konnte nicht erstellt werden!"});
        EXPECT_EQ(Dlg.Directory(), P(Folder));
    }
}

TEST_F(VerzDialogTest, HomeButtonOnlyWithAHomeFolderAndDroppedWhenMissing) {
    Open(P("/alpha"), "");
    EXPECT_FALSE(Dlg.HomeBtn->isVisible());
    Open(P("/alpha"), P("/beta"));
    ASSERT_TRUE(Dlg.HomeBtn->isVisible());
    EXPECT_EQ(Dlg.HomeBtn->toolTip().toStdString(), "Standard: " + P("/beta"));
    QTest::mouseClick(Dlg.HomeBtn, Qt::LeftButton);
    EXPECT_EQ(Dlg.Directory(), P("/beta"));
    EXPECT_EQ(QDir::currentPath().toStdString(), P("/beta"));

    Dlg.AddHistory(P("/alpha"));
    Dlg.AddHistory(P("/gone"));
    Open(P("/beta"), P("/gone"));
    Dlg.HomeBtnClick();
    EXPECT_EQ(Seam.Errors, Paths{"Verzeichnis: " + P("/gone") + " nicht gefunden!"});
    EXPECT_EQ(Dlg.History(), Paths{P("/alpha")});
    EXPECT_EQ(Dlg.Directory(), P("/beta"));
}

TEST_F(VerzDialogTest, ChoosingAHistoryEntryEntersItOrDropsItWhenGone) {
    MakeDir("/gone");
    for (const char* Sub : {"/alpha", "/gone", "/beta"})
        Dlg.AddHistory(P(Sub));
    Open(Root);
    Pick(2);
    EXPECT_EQ(Dlg.Directory(), P("/beta"));
    EXPECT_EQ(QDir::currentPath().toStdString(), P("/beta"));
    EXPECT_EQ(Shown(), P("/beta"));

    ::rmdir(P("/gone").c_str());
    Pick(1);
    EXPECT_EQ(Seam.Errors, Paths{"Verzeichnis: " + P("/gone") + " nicht gefunden!"});
    EXPECT_EQ(Dlg.History(), (Paths{P("/alpha"), P("/beta")}));
    EXPECT_EQ(Dlg.Directory(), P("/beta"));
    EXPECT_EQ(Dlg.SelectedDir->currentIndex(), 0);
}

TEST_F(VerzDialogTest, KeysInTheBoxPickAnEntryThatLeavingOrEnterApplies) {
    Dlg.AddHistory(P("/alpha"));
    Dlg.AddHistory(P("/beta"));
    std::string Dir = Root;
    EXPECT_TRUE(Run(Dir, [&] {
        // Down shows the first entry without moving the list; Tab out of the box goes there.
        PressKey(Dlg.SelectedDir, Qt::Key_Down);
        EXPECT_EQ(Shown(), P("/alpha"));
        EXPECT_EQ(Dlg.Directory(), Root);
        PressKey(Dlg.SelectedDir, Qt::Key_Tab);
        EXPECT_EQ(Dlg.Directory(), P("/alpha"));
        EXPECT_EQ(QDir::currentPath().toStdString(), P("/alpha"));
        QTest::mouseClick(Dlg.OKBtn, Qt::LeftButton);
    }));
    EXPECT_EQ(Dir, P("/alpha"));
    // Enter confirms the entry the box shows, as a click on OK would.
    EXPECT_TRUE(Run(Dir, [&] {
        PressKey(Dlg.SelectedDir, Qt::Key_Down);
        PressKey(Dlg.SelectedDir, Qt::Key_Down);
        PressKey(Dlg.SelectedDir, Qt::Key_Return);
    }));
    EXPECT_EQ(Dir, P("/beta"));
    // Typed text is not a path: leaving the box shows the list's folder again.
    Open(P("/alpha"));
    QTest::keyClicks(Dlg.SelectedDir, "/nowhere");
    Dlg.SelectedDirExit();
    EXPECT_EQ(Dlg.Directory(), P("/alpha"));
    EXPECT_EQ(Shown(), P("/alpha"));
}

TEST_F(VerzDialogTest, LeavingTheBoxDoesNotUndoALaterMoveOfTheList) {
    Dlg.AddHistory(P("/alpha"));
    Open(P("/beta"));
    Pick(0);
    ASSERT_EQ(Dlg.Directory(), P("/alpha"));
    Dlg.UpBtnClick();
    Dlg.SelectedDirExit();
    EXPECT_EQ(Dlg.Directory(), Root);
}

TEST_F(VerzDialogTest, FolderListOpensSubfoldersAndLongPathsAreShortenedForDisplay) {
    std::string Dir = Root;
    EXPECT_TRUE(Run(Dir, [&] {
        TDirectoryListBox* List = Dlg.DirectoryListBox;
        const auto Found = List->findItems("beta", Qt::MatchExactly | Qt::MatchRecursive);
        ASSERT_EQ(Found.size(), 1);
        List->setFocus(Qt::TabFocusReason);
        List->setCurrentItem(Found[0]);
        // Enter opens the folder and leaves the dialog open.
        PressKey(List, Qt::Key_Return);
        EXPECT_TRUE(Dlg.isVisible());
        EXPECT_EQ(Dlg.Directory(), P("/beta"));
        Dlg.OKBtnClick();
    }));
    EXPECT_EQ(Dir, P("/beta"));

    std::string Deep;
    for (int I = 0; I < 6; ++I) {
        Deep += "/a-rather-long-folder-name-" + std::to_string(I);
        MakeDir(Deep);
    }
    Open(P(Deep));
    const QString Text = Dlg.SelectedDir->currentText();
    EXPECT_TRUE(Text.contains(QChar(0x2026))) << Text.toStdString();
    EXPECT_EQ(Text, Dlg.Verzname->text());
    EXPECT_LE(QFontMetrics(Dlg.Verzname->font()).horizontalAdvance(Text),
              TVerzDialog::DisplayWidth);
    Dlg.OKBtnClick();
    EXPECT_EQ(Dlg.History().back(), P(Deep));
}

TEST_F(VerzDialogTest, FoldersWhoseNamesAreNoUtf8AreListedEnteredAndKept) {
    // "café" written in Latin-1, as an old archive or another system left it.
    const std::string Cafe = "/caf\xE9";
    MakeDir(Cafe);
    MakeDir(Cafe + "/unten");
    std::string Dir = Root;
    EXPECT_TRUE(Run(Dir, [&] {
        TDirectoryListBox* List = Dlg.DirectoryListBox;
        const auto Found =
            List->findItems(QString::fromUtf8("caf\uFFFD"), Qt::MatchExactly | Qt::MatchRecursive);
        ASSERT_EQ(Found.size(), 1);
        List->setCurrentItem(Found[0]);
        List->OpenCurrent();
        EXPECT_EQ(Dlg.Directory(), P(Cafe));
        EXPECT_EQ(List->findItems("unten", Qt::MatchExactly | Qt::MatchRecursive).size(), 1);
        Dlg.OKBtnClick();
    }));
    EXPECT_EQ(Dir, P(Cafe));
    // Given as the start, it is where the dialog opens, not the current folder instead.
    EXPECT_TRUE(Run(Dir, [&] { Dlg.OKBtnClick(); }));
    EXPECT_EQ(Dir, P(Cafe));
    EXPECT_EQ(Dlg.History().back(), P(Cafe));
    // Byte strings that are no UTF-8 survive the trip through a QString.
    for (const std::string& Bytes : {std::string("a\xFF\xC3(b"), std::string("\xED\xB2\x80"),
                                     std::string("\xF0\x9F\x98\x80 \xC3\xA4")})
        EXPECT_EQ(PathToBytes(PathFromBytes(Bytes)), Bytes);
}

} // namespace
