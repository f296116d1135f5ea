// Tests of the main window's commands through the scripted dialog seam, headless.
#include "output/printjob.h"
#include "privatecups.h"
#include "sheet/sheetfile.h"
#include "support/inifile.h"
#include "support/localefmt.h"
#include "window/zarvomain.h"
#include "windowtest.h"

#include <QAction>
#include <QApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QMenu>
#include <QScrollBar>
#include <QStandardPaths>
#include <QStatusBar>
#include <QToolButton>

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <memory>
#include <thread>

#include <sys/stat.h>
#include <unistd.h>

using namespace zarvo;
using zarvotest::ReadFile;
using zarvotest::WriteFile;

using zarvotest::BoxEps;
using zarvotest::WindowTest;

TEST_F(WindowTest, FirstStartShowsTheDefaultsAndExitWritesThem) {
    TZarvoForm& F = Open();
    EXPECT_EQ(F.windowTitle().toStdString(), "EPS-Dateien drucken [unbenannt]");
    EXPECT_EQ(F.StatusText->text().toStdString(), "Ausgabe nach LPT3");
    EXPECT_TRUE(F.LPT31->isChecked());
    EXPECT_TRUE(F.HochItem->isChecked());
    EXPECT_TRUE(F.HochBtn->isChecked());
    EXPECT_TRUE(F.RasterOn->isChecked());
    EXPECT_TRUE(F.RasterBtn->isChecked());
    EXPECT_EQ(F.FPaperSize, (TCmPair{21.0, 29.6}));
    EXPECT_EQ(F.FGridWidth, 5);
    EXPECT_EQ(F.FPrintFile, "ZVS.PS");
    EXPECT_EQ(F.FFilter, "EPS-Dateien|*.eps");
    EXPECT_EQ(F.FTextFont, TPSFontRec());
    EXPECT_TRUE(F.DateiListe->actions().isEmpty());
    EXPECT_FALSE(zarvotest::FileExists(Ini()));

    F.FPaperSize = {21.04, 30.0};
    F.QuerItemClick();
    F.LPT21Click();
    F.FHistory.AddFile("/home/u/a.zvs");
    Form.reset();
    TIniFile Written(Ini());
    ASSERT_EQ(Written.Open(), TIniFile::TOpenResult::Ok);
    EXPECT_EQ(Written.ReadString("Config", "PaperWidth", ""), "21.0");
    EXPECT_EQ(Written.ReadString("Config", "Landscape", ""), "1");
    EXPECT_EQ(Written.ReadString("Config", "Printer", ""), "2");
    EXPECT_EQ(Written.ReadString("Config", "Filter", ""), "EPS-Dateien|*.eps");
    EXPECT_EQ(Written.ReadString("Font", "FontSize", ""), "18");
    EXPECT_EQ(Written.ReadString("Files", "History0", ""), "/home/u/a.zvs");
    EXPECT_FALSE(Written.ReadString("Form", "Width", "").empty());

    TZarvoForm& Again = Open();
    EXPECT_TRUE(Again.FLandscape);
    EXPECT_TRUE(Again.LPT21->isChecked());
    EXPECT_EQ(Again.FHistory.Count(), 1);
    EXPECT_EQ(Again.DateiListe->actions().size(), 1);
}

// View > "EPS-&Inhalt anzeigen": on by default where Ghostscript is installed, drawings
// arrive in the background, a failed one explains itself, and the choice is kept.
TEST_F(WindowTest, TheViewMenuShowsWhatEachEpsDraws) {
    TZarvoForm& F = Open();
    auto Repaint = [&] { static_cast<QWidget*>(F.GrafikPanel)->grab(); };
    auto At = [&](double X, double Y) {
        TLogicalPoint P;
        F.FView.WorldToPixel(X, Y, P);
        return P;
    };
    QAction* Item = F.FViewMenu->findChild<QAction*>("InhaltItem");
    ASSERT_TRUE(Item);
    EXPECT_EQ(Item->text().toStdString(), "EPS-&Inhalt anzeigen");
    EXPECT_TRUE(Item->isCheckable());
    if (QStandardPaths::findExecutable("gs").isEmpty()) {
        EXPECT_FALSE(Item->isEnabled());
        EXPECT_NE(Item->toolTip().toStdString().find("Debian-Paket ghostscript"),
                  std::string::npos);
        EXPECT_FALSE(F.FView.ContentSource());
        return;
    }
    EXPECT_TRUE(Item->isEnabled());
    EXPECT_TRUE(Item->isChecked());
    EXPECT_TRUE(F.FView.ContentSource());
    AddBox({2, 3});
    AddBox({2, 12}, "weg.eps");
    ::unlink(Dir.File("weg.eps").c_str());
    Repaint();
    for (int I = 0; I < 200 && F.FView.ContentFailureAt(At(7, 14.5)).empty(); ++I) {
        QApplication::processEvents(QEventLoop::WaitForMoreEvents, 50);
        Repaint();
    }
    EXPECT_EQ(F.FView.ContentFailureAt(At(7, 14.5)), "Datei nicht gefunden");
    EXPECT_EQ(F.FView.ContentFailureAt(At(7, 5.5)), "");
    Item->trigger();
    EXPECT_FALSE(F.FView.ContentSource());
    Repaint();
    EXPECT_EQ(F.FView.ContentFailureAt(At(7, 14.5)), "");
    F.FModified = false;
    Form.reset();
    TIniFile Written(Ini());
    ASSERT_EQ(Written.Open(), TIniFile::TOpenResult::Ok);
    EXPECT_EQ(Written.ReadString("Config", "ShowContent", ""), "0");
    TZarvoForm& Again = Open();
    EXPECT_FALSE(Again.FViewMenu->findChild<QAction*>("InhaltItem")->isChecked());
    EXPECT_FALSE(Again.FView.ContentSource());
}

TEST_F(WindowTest, TheWindowOpensWhereItWasAndRemembersItsPlace) {
    WriteFile(Ini(), "[Form]\nLeft=37\nTop=91\nWidth=640\nHeight=480\n");
    TZarvoForm& F = Open();
    EXPECT_EQ(F.pos(), QPoint(37, 91));
    F.move(52, 64);
    QApplication::processEvents();
    Form.reset();
    TIniFile Written(Ini());
    ASSERT_EQ(Written.Open(), TIniFile::TOpenResult::Ok);
    EXPECT_EQ(Written.ReadString("Form", "Left", ""), "52");
    EXPECT_EQ(Written.ReadString("Form", "Top", ""), "64");
    EXPECT_EQ(Written.ReadString("Form", "Width", ""), "640");
    EXPECT_EQ(Written.ReadString("Form", "Height", ""), "480");
}

TEST_F(WindowTest, ClosingAModifiedSheetOffersToSave) {
    TZarvoForm& F = Open();
    F.FModified = true;
    AddBox({2.0, 3.0});
    // Yes on an untitled sheet opens Save As; cancelling it keeps the window and the sheet.
    D.Answers = {true};
    D.Files = {std::nullopt};
    F.close();
    ASSERT_EQ(D.Log.size(), 2u);
    EXPECT_EQ(D.Log[0], "question: Blatt speichern?");
    EXPECT_EQ(D.Log[1].rfind("save: ", 0), 0u);
    EXPECT_TRUE(F.isVisible());
    EXPECT_TRUE(F.FModified);
    // A save that fails keeps it too; so do New, Load and the recent list.
    D.Answers = {true};
    D.Files = {Dir.File("no/such/folder/blatt.zvs")};
    F.close();
    EXPECT_TRUE(F.isVisible());
    EXPECT_EQ(D.Errors.size(), 1u);
    D.Answers = {true, true, true, true};
    D.Files = {std::nullopt, std::nullopt, std::nullopt};
    F.ClearBtnClick();
    F.LoadBtnClick();
    WriteFile(Dir.File("other.zvs"), "[Global]\nCount=0\n");
    F.LoadDataListClick(Dir.File("other.zvs"));
    EXPECT_EQ(F.FItems.Count(), 1);
    EXPECT_TRUE(F.FModified);
    // No closes without saving.
    D.Answers = {false};
    F.close();
    EXPECT_FALSE(F.isVisible());
}

TEST_F(WindowTest, SheetCommands) {
    TZarvoForm& F = Open();
    AddBox({2.0, 3.0});
    F.FModified = true;
    // New answered No changes nothing, not even the modified flag.
    D.Answers = {false};
    F.ClearBtnClick();
    EXPECT_EQ(F.FItems.Count(), 1);
    EXPECT_TRUE(F.FModified);

    // Save on an untitled sheet opens Save As; afterwards the title and the list show the file.
    const std::string Path = Dir.File("blatt.zvs");
    F.FLastEpsFile = "/eps/Grafik.eps";
    D.Files = {Path};
    F.SaveItemClick();
    ASSERT_EQ(D.FileDialogs.size(), 1u);
    EXPECT_EQ(D.FileDialogs[0].FileName, "Grafik"); // the last EPS file proposes the name
    EXPECT_EQ(D.FileDialogs[0].Filter, "Blattdaten|*.zvs");
    EXPECT_EQ(F.windowTitle().toStdString(), "EPS-Dateien drucken [blatt.zvs]");
    EXPECT_EQ(F.FHistory.Items().front(), Path);
    EXPECT_FALSE(F.FModified);

    // New: questions, then an empty untitled sheet with the paper kept.
    F.FLandscape = true;
    D.Answers = {true};
    F.ClearBtnClick();
    EXPECT_EQ(F.FItems.Count(), 0);
    EXPECT_TRUE(F.FLandscape);
    EXPECT_EQ(F.windowTitle().toStdString(), "EPS-Dateien drucken [unbenannt]");

    // Load from the dialog, in the sheet's folder, with the sheet's paper; an item picked up
    // before is not placed any more.
    AddBox({1.0, 1.0});
    F.FPlacement.PickUp(0);
    D.Files = {Path};
    F.LoadBtnClick();
    EXPECT_FALSE(F.FPlacement.Active());
    EXPECT_EQ(D.FileDialogs.back().Title, "Lade Blatt");
    EXPECT_EQ(D.FileDialogs.back().Filter, "Blattdaten|*.zvs|alle|*.*");
    ASSERT_EQ(F.FItems.Count(), 1);
    EXPECT_FALSE(F.FLandscape);
    EXPECT_TRUE(F.HochItem->isChecked());
    EXPECT_EQ(F.FSheetFile, Path);

    // A file that is no sheet is reported and the sheet stays.
    WriteFile(Dir.File("notes.txt"), "just text\n");
    D.Files = {Dir.File("notes.txt")};
    F.LoadBtnClick();
    ASSERT_EQ(D.Errors.size(), 1u);
    EXPECT_EQ(D.Errors[0], "Keine Blattdaten in " + Dir.File("notes.txt"));
    EXPECT_EQ(F.FItems.Count(), 1);
    EXPECT_EQ(F.FSheetFile, Path);
}

TEST_F(WindowTest, RecentFilesOpenAndForgetDeletedOnes) {
    TZarvoForm& F = Open();
    const std::string A = Dir.File("a.zvs"), B = Dir.File("b.zvs");
    WriteFile(A, "[Global]\nCount=1\n[Frame01]\nName=eins\nBBox=2\n");
    F.FHistory.AddFile(B);
    F.FHistory.AddFile(A);
    ASSERT_EQ(F.DateiListe->actions().size(), 2);
    EXPECT_EQ(F.DateiListe->actions()[0]->text().toStdString(), "&1 " + A);
    F.DateiListe->actions()[0]->trigger();
    ASSERT_EQ(F.FItems.Count(), 1);
    EXPECT_EQ(F.FItems.Item(0).Name, "eins");
    EXPECT_GT(F.FItems.Item(0).Size.X, 0.5); // measured in its font
    EXPECT_EQ(F.windowTitle().toStdString(), "EPS-Dateien drucken [a.zvs]");
    // b.zvs does not exist: a message, and only that entry goes.
    ASSERT_EQ(F.DateiListe->actions().size(), 2);
    F.DateiListe->actions()[1]->trigger();
    QApplication::processEvents();
    ASSERT_EQ(D.Messages.size(), 1u);
    EXPECT_EQ(D.Messages[0], "Datei:" + B + " nicht gefunden!");
    EXPECT_EQ(F.FHistory.Items(), std::vector<std::string>{A});
    EXPECT_EQ(F.FItems.Count(), 1);

    // A changed sheet is offered for saving before an entry replaces it, as by Load.
    AddText("zwei", {2, 2});
    F.FModified = true;
    D.Answers = {true};
    F.DateiListe->actions()[0]->trigger();
    QApplication::processEvents();
    EXPECT_NE(std::find(D.Log.begin(), D.Log.end(), "question: Blatt speichern?"), D.Log.end());
    EXPECT_FALSE(F.FModified);
    EXPECT_NE(ReadFile(A).find("Name=zwei"), std::string::npos);
    EXPECT_EQ(F.FItems.Count(), 2);
}

TEST_F(WindowTest, InsertingAnEpsFileAttachesItToTheMouse) {
    TZarvoForm& F = Open();
    WriteFile(Dir.File("bild.eps"), BoxEps);
    D.Files = {Dir.File("bild.eps")};
    F.InsertBtnClick();
    EXPECT_EQ(D.FileDialogs[0].Title, "EPS-Datei auswählen");
    EXPECT_EQ(D.FileDialogs[0].Filter, "EPS-Dateien|*.eps");
    ASSERT_EQ(F.FItems.Count(), 1);
    EXPECT_EQ(F.FPlacement.Index(), 0);
    EXPECT_TRUE(F.FPlacement.IsNew());
    EXPECT_TRUE(F.FModified);
    EXPECT_EQ(F.FItems.Item(0).Kind, KindBBox);
    // The right button removes the new box again.
    Click(Qt::RightButton, 5, 5);
    EXPECT_EQ(F.FItems.Count(), 0);
    EXPECT_EQ(F.FPlacement.Index(), -1);

    // The next Insert starts in the folder of the last file and offers its name.
    D.Files = {Dir.File("bild.eps")};
    F.InsertBtnClick();
    EXPECT_EQ(D.FileDialogs[1].InitialDir, Dir.Path() + "/");
    EXPECT_EQ(D.FileDialogs[1].FileName, "bild.*");
    // Dropped on the 5 mm grid at or below and left of the pointer.
    Move(4.2, 6.2);
    Click(Qt::LeftButton, 4.2, 6.2);
    ASSERT_EQ(F.FItems.Count(), 1);
    EXPECT_NEAR(F.FItems.Item(0).Origin.X, 4.0, 1e-9);
    EXPECT_NEAR(F.FItems.Item(0).Origin.Y, 6.0, 1e-9);
    EXPECT_FALSE(F.FPlacement.IsNew());

    // Without a bounding box: the message, and a box of the standard size.
    WriteFile(Dir.File("nobox.eps"), "%!PS\nnewpath\n");
    F.FBoxSize = {4.0, 3.0};
    D.Files = {Dir.File("nobox.eps")};
    F.InsertBtnClick();
    ASSERT_EQ(D.Errors.size(), 1u);
    EXPECT_EQ(D.Errors[0].rfind("Keine Bounding Box in ", 0), 0u);
    EXPECT_EQ(F.FItems.Item(1).Kind, KindStdSize);
    EXPECT_EQ(F.FItems.Item(1).Size, (TCmPair{4.0, 3.0}));
    F.FormKeyDown(Qt::Key_Escape);
    // A file that is not PostScript adds nothing.
    D.Files = {Dir.File("zarvo.txt")};
    WriteFile(Dir.File("zarvo.txt"), "hello\n");
    F.InsertBtnClick();
    EXPECT_EQ(D.Errors.back().rfind("Kein Postscript in ", 0), 0u);
    EXPECT_EQ(F.FItems.Count(), 1);

    // Insert while the previous new item still follows the mouse: that one stays, at the
    // page's corner, and the new one is placed; Escape then takes only the new one.
    D.Files = {Dir.File("bild.eps"), Dir.File("bild.eps")};
    F.InsertBtnClick();
    Move(9.0, 9.0);
    F.InsertBtnClick();
    ASSERT_EQ(F.FItems.Count(), 3);
    EXPECT_EQ(F.FPlacement.Index(), 2);
    EXPECT_EQ(F.FItems.Item(1).Origin, (TCmPair{0.0, 0.0}));
    F.FormKeyDown(Qt::Key_Escape);
    ASSERT_EQ(F.FItems.Count(), 2);
    EXPECT_EQ(F.FItems.Item(1).Name, Dir.File("bild.eps"));
}

TEST_F(WindowTest, UpdateRemovesBoxesWhoseFilesAreGone) {
    TZarvoForm& F = Open();
    AddBox({1, 1}, "a.eps");
    AddBox({1, 8}, "b.eps");
    AddText("Titel", {1, 20});
    WriteFile(Dir.File("a.eps"), "%!PS\n%%BoundingBox: 10 20 110 220\n");
    std::remove(Dir.File("b.eps").c_str());
    F.FModified = false;
    F.UpdateBtnClick();
    ASSERT_EQ(F.FItems.Count(), 2);
    EXPECT_EQ(F.FItems.Item(1).Name, "Titel");
    EXPECT_NEAR(F.FItems.Item(0).Offset.X, 10 / 28.35, 1e-9);
    EXPECT_NEAR(F.FItems.Item(0).Size.Y, 200 / 28.35, 1e-9);
    ASSERT_EQ(D.Errors.size(), 1u);
    EXPECT_NE(D.Errors[0].find(" nicht gefunden!"), std::string::npos);
    EXPECT_FALSE(F.FModified);
}

TEST_F(WindowTest, UpdateStopsAtAFileThatFailsWhileBeingRead) {
    TZarvoForm& F = Open();
    AddBox({1, 1}, "a.eps");
    TEPSBox Failing(TCmPair{10, 10});
    Failing.Name = "/proc/self/mem"; // opens, and every read of its start fails
    Failing.Kind = KindBBox;
    F.FItems.Add(Failing.Name, Failing);
    AddBox({1, 15}, "c.eps");
    WriteFile(Dir.File("a.eps"), "%!PS\n%%BoundingBox: 10 20 110 220\n");
    std::remove(Dir.File("c.eps").c_str());
    F.UpdateBtnClick();
    // Walked from the end: c goes, the failing file ends the refresh and keeps its item, and a
    // is not refreshed any more.
    ASSERT_EQ(F.FItems.Count(), 2);
    EXPECT_EQ(F.FItems.Item(1).Name, "/proc/self/mem");
    EXPECT_NEAR(F.FItems.Item(0).Size.Y, 142 / 28.35, 1e-9);
    ASSERT_EQ(D.Errors.size(), 2u);
    EXPECT_NE(D.Errors[0].find(" nicht gefunden!"), std::string::npos);
    EXPECT_EQ(D.Errors[1].rfind("Fehler beim Lesen von ", 0), 0u) << D.Errors[1];
}

TEST_F(WindowTest, ZoomScrollBarsAndPageSettings) {
    TZarvoForm& F = Open();
    EXPECT_FALSE(F.HorzScrollBar->isVisible());
    EXPECT_FALSE(F.VertScrollBar->isVisible());
    F.LargerItemClick();
    // The page fills the box in one direction; that direction's scroll bar appears.
    if (F.FView.FPageFracY == 1.0)
        EXPECT_TRUE(F.VertScrollBar->isVisible());
    else
        EXPECT_TRUE(F.HorzScrollBar->isVisible());
    for (int I = 0; I < 8; ++I)
        F.LargerItemClick();
    EXPECT_EQ(F.FView.FZoom, 1);
    F.FitItemClick();
    for (int I = 0; I < 8; ++I)
        F.SmallerItemClick();
    EXPECT_EQ(F.FView.FZoom, 4096);
    F.FitItemClick();

    // The sheet file holds orientation and paper: changing them changes the sheet.
    F.FModified = false;
    F.QuerItemClick();
    EXPECT_NEAR(F.FView.FPageAspect, 30.6 / 22.0, 1e-9);
    EXPECT_TRUE(F.QuerItem->isChecked());
    EXPECT_TRUE(F.FModified);
    F.FModified = false;
    F.QuerItemClick();
    EXPECT_FALSE(F.FModified);
    // Cancelling the paper dialog keeps the size; OK takes it; A4 brings back 21.0 x 29.6.
    D.Sizes = {std::nullopt, TCmPair{10.0, 15.0}};
    F.IndiItemClick();
    EXPECT_EQ(F.FPaperSize, (TCmPair{21.0, 29.6}));
    EXPECT_FALSE(F.FModified);
    F.IndiItemClick();
    EXPECT_EQ(D.Log.back(), "size: EPS-Dateien drucken / Papiergröße");
    EXPECT_EQ(F.FPaperSize, (TCmPair{10.0, 15.0}));
    EXPECT_NEAR(F.FView.FPageAspect, 16.0 / 11.0, 1e-9);
    EXPECT_TRUE(F.FModified);
    F.FModified = false;
    F.A4FormItemClick();
    EXPECT_EQ(F.FPaperSize, (TCmPair{21.0, 29.6}));
    EXPECT_TRUE(F.FModified);
    F.FModified = false;
    F.HochItemClick();
    EXPECT_TRUE(F.FModified);

    D.Numbers = {25, std::nullopt};
    F.RasterItemClick();
    EXPECT_EQ(D.Log.back(), "number: EPS-Dateien drucken / Raster in mm: 1..25");
    EXPECT_EQ(F.FGridWidth, 25);
    EXPECT_EQ(F.FView.FGridStep, 250);
    F.RasterItemClick();
    EXPECT_EQ(F.FGridWidth, 25);

    // The grid button and the menu entry follow each other.
    F.RasterBtn->click();
    EXPECT_FALSE(F.FGridOn);
    EXPECT_FALSE(F.RasterOn->isChecked());
    F.RasterBtn->click();
    EXPECT_TRUE(F.FGridOn);
    F.RasterOn->trigger();
    EXPECT_FALSE(F.RasterBtn->isChecked());

    D.Sizes = {TCmPair{4.0, 2.0}};
    F.BoxsizeItemClick();
    EXPECT_EQ(D.Log.back(), "size: EPS-Dateien drucken / Boxgröße");
    EXPECT_EQ(F.FBoxSize, (TCmPair{4.0, 2.0}));
}

TEST_F(WindowTest, TextItemsAreInsertedEditedCopiedAndErased) {
    TZarvoForm& F = Open();
    F.FTextFont.FontType = 0;
    F.FTextFont.FontSize = 24;
    // Insert offers the previous text; a cancelled insert keeps it.
    D.Texts = {std::string("x^2 Größe"), std::nullopt, std::string("Zweiter")};
    F.InsertTextItemClick();
    EXPECT_EQ(D.Log.back(), "text: Text einfügen / Text: / Times New Roman");
    ASSERT_EQ(F.FItems.Count(), 1);
    TEPSBox& T = F.FItems.Item(0);
    EXPECT_EQ(T.Kind, KindText);
    EXPECT_EQ(T.Font.FontSize, 24);
    EXPECT_GT(T.Size.X, 1.0);
    EXPECT_TRUE(F.FPlacement.IsNew());
    Move(3, 25);
    Click(Qt::LeftButton, 3, 25);
    F.InsertTextItemClick();
    F.InsertTextItemClick();
    EXPECT_EQ(D.OfferedTexts, (std::vector<std::string>{"", "x^2 Größe", "x^2 Größe"}));
    // The default font changed afterwards leaves the item alone; Escape removes the new one.
    F.FTextFont.FontSize = 10;
    EXPECT_EQ(F.FItems.Item(0).Font.FontSize, 24);
    F.FormKeyDown(Qt::Key_Escape);
    ASSERT_EQ(F.FItems.Count(), 1);

    // The popup on the text: Copy, then cancel the copy: the source stays.
    const TCmPair Origin = F.FItems.Item(0).Origin;
    D.PopupChoices = {"CopyTextItem"};
    Click(Qt::RightButton, Origin.X + 0.2, Origin.Y + 0.2);
    EXPECT_EQ(F.FItems.Count(), 2);
    EXPECT_TRUE(F.FPlacement.IsCopy());
    F.FormKeyDown(Qt::Key_Escape);
    EXPECT_EQ(F.FItems.Count(), 1);
    EXPECT_EQ(F.FItems.Item(0).Origin, Origin);

    // Edit and Font measure again; the start point stays.
    const double Width = F.FItems.Item(0).Size.X;
    D.PopupChoices = {"EdiTextItem", "TextFontItem"};
    D.Texts = {std::string("x^2 Größe und mehr")};
    TPSFontRec Bigger = F.FItems.Item(0).Font;
    Bigger.FontSize = 48;
    D.Fonts = {Bigger};
    Click(Qt::RightButton, Origin.X + 0.2, Origin.Y + 0.2);
    EXPECT_GT(F.FItems.Item(0).Size.X, Width);
    const double EditedWidth = F.FItems.Item(0).Size.X;
    Click(Qt::RightButton, Origin.X + 0.2, Origin.Y + 0.2);
    EXPECT_NEAR(F.FItems.Item(0).Size.X, 2 * EditedWidth, 0.1 * EditedWidth);
    EXPECT_EQ(F.FItems.Item(0).Origin, Origin);
    // Cancelled, Edit and Font change nothing, not even the modified flag.
    const TEPSBox Before = F.FItems.Item(0);
    F.FModified = false;
    D.PopupChoices = {"EdiTextItem", "TextFontItem"};
    D.Texts = {std::nullopt};
    D.Fonts = {std::nullopt};
    Click(Qt::RightButton, Origin.X + 0.2, Origin.Y + 0.2);
    Click(Qt::RightButton, Origin.X + 0.2, Origin.Y + 0.2);
    EXPECT_EQ(F.FItems.Item(0).Name, Before.Name);
    EXPECT_EQ(F.FItems.Item(0).Font, Before.Font);
    EXPECT_EQ(F.FItems.Item(0).Size, Before.Size);
    EXPECT_FALSE(F.FModified);

    // Erase answered No marks the sheet changed; Yes erases.
    F.FModified = false;
    D.PopupChoices = {"DeltextItem", "DeltextItem"};
    D.Answers = {false, true};
    Click(Qt::RightButton, Origin.X + 0.2, Origin.Y + 0.2);
    EXPECT_EQ(D.Log.back(), "question: Text löschen?");
    EXPECT_EQ(F.FItems.Count(), 1);
    EXPECT_TRUE(F.FModified);
    Click(Qt::RightButton, Origin.X + 0.2, Origin.Y + 0.2);
    EXPECT_EQ(F.FItems.Count(), 0);

    // An empty text is a text too: no width, and it prints as an empty string.
    D.Texts = {std::string("")};
    F.InsertTextItemClick();
    ASSERT_EQ(F.FItems.Count(), 1);
    EXPECT_EQ(F.FItems.Item(0).Size.X, 0.0);
    F.FormKeyDown(Qt::Key_Space); // any other key: the new text stays where it was made
    EXPECT_EQ(F.FItems.Count(), 1);
    EXPECT_EQ(F.FPlacement.Index(), -1);

    // The default font for new texts.
    TPSFontRec Courier;
    Courier.FontType = 2;
    D.Fonts = {Courier};
    F.FModified = false;
    F.PSFontItemClick();
    EXPECT_EQ(F.FTextFont.FontType, 2);
    EXPECT_FALSE(F.FModified); // the default font is a setting, not part of the sheet
}

TEST_F(WindowTest, EpsFolderAndFilterSettings) {
    TZarvoForm& F = Open();
    D.Folders = {Dir.Path()};
    F.EpsPfadItemClick();
    EXPECT_EQ(D.Log.back(), "folder: Verzeichnis mit EPS-Dateien");
    EXPECT_EQ(F.FWorkDir, Dir.Path());
    D.Filters = {std::string("Bilder|*.eps;*.ps")};
    F.FilterItemClick();
    EXPECT_EQ(D.Log.back(), "filter: Dateitypen");
    D.Files = {std::nullopt};
    F.InsertBtnClick();
    EXPECT_EQ(D.FileDialogs.back().Filter, "Bilder|*.eps;*.ps");
    EXPECT_EQ(D.FileDialogs.back().InitialDir, Dir.Path());
    // Cancelled settings dialogs change nothing.
    D.Folders = {std::nullopt};
    F.EpsPfadItemClick();
    EXPECT_EQ(F.FWorkDir, Dir.Path());
}
