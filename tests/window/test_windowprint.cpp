// Printing from the main window: the job it writes, CUPS queues and PDF files.
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

TEST_F(WindowTest, PrintingAsksAndWritesTheCoresJob) {
    TZarvoForm& F = Open();
    AddBox({2, 3});
    AddText("Hallo", {5, 20});
    std::string Expected;
    ASSERT_TRUE(PrintSheetTo(F.FSheet, "mem", MakeMemoryTarget(Expected)).Ok);

    // A port: the question; No writes nothing.
    F.LPT11Click();
    F.FPortTargets[0] = Dir.File("lpt1.out");
    D.Answers = {false, true};
    F.PrintBtnClick();
    EXPECT_EQ(D.Log.back(), "question: Ausdruck auf LPT1 starten?");
    EXPECT_FALSE(zarvotest::FileExists(Dir.File("lpt1.out")));
    F.PrintBtnClick();
    EXPECT_EQ(ReadFile(Dir.File("lpt1.out")), Expected);

    // A port that cannot take data.
    F.FPortTargets[0] = Dir.File("no/such/folder/lpt");
    D.Answers = {true};
    F.PrintBtnClick();
    ASSERT_EQ(D.Errors.size(), 1u);
    EXPECT_EQ(D.Errors[0].rfind("Fehler beim Schreiben nach LPT1", 0), 0u);

    // The file: the name box, a name without folder and extension goes to the EPS folder.
    F.PrintFileSelectClick();
    EXPECT_EQ(F.StatusText->text().toStdString(), "Ausgabe nach " + F.FWorkDir + "/ZVS.PS");
    F.FWorkDir = Dir.Path();
    D.Inputs = {std::nullopt, std::string("auftrag")};
    F.PrintBtnClick(); // cancelled
    EXPECT_EQ(F.FPrintFile, "ZVS.PS");
    F.PrintBtnClick();
    EXPECT_EQ(D.Log.back(), "input: Postsript-Ausgabe / Dateiname");
    EXPECT_EQ(D.OfferedInputs.back(), "ZVS.PS");
    EXPECT_EQ(F.FPrintFile, "auftrag");
    EXPECT_EQ(ReadFile(Dir.File("auftrag.PS")), Expected);
    // What is typed there is a file name, never a command: this one names a file in a
    // folder "|touch " that does not exist.
    D.Inputs = {"|touch " + Dir.File("ran")};
    F.PrintBtnClick();
    ASSERT_EQ(D.Errors.size(), 2u);
    EXPECT_EQ(D.Errors[1], "Fehler beim Schreiben nach |touch " + Dir.File("ran.PS") +
                               " (No such file or directory)");
    EXPECT_FALSE(zarvotest::FileExists(Dir.File("ran.PS")));
}

// Printing to CUPS queues of a private server: the status line names the queue, the chooser
// writes the port's queue at once, a sent job is confirmed, a refused one named.
TEST_F(WindowTest, PortsPrintToCupsQueuesAndSayWhatHappened) {
    zarvotest::TPrivateCups Cups;
    if (!Cups.Ok()) GTEST_SKIP() << Cups.SkipReason();
    const std::string Uri = Cups.AddPrinter("ps", "application/postscript");
    ASSERT_TRUE(Cups.Admin({"lpadmin", "-p", "Office", "-E", "-v", Uri}));
    ASSERT_TRUE(Cups.Admin({"lpadmin", "-d", "Office"}));
    TZarvoForm& F = Open();
    AddBox({2, 3});
    std::string Expected;
    ASSERT_TRUE(PrintSheetTo(F.FSheet, "mem", MakeMemoryTarget(Expected)).Ok);
    auto Status = [&] { return F.StatusText->text().toStdString(); };

    // A port without an entry or a device shows the default queue once the background lookup
    // has answered.
    F.LPT21Click();
    struct stat St;
    if (::stat("/dev/lp1", &St) != 0 || !S_ISCHR(St.st_mode)) {
        for (int I = 0; I < 100 && Status() != "Ausgabe nach LPT2 (Office)"; ++I) {
            QApplication::processEvents();
            std::this_thread::sleep_for(std::chrono::milliseconds(50));
        }
        EXPECT_EQ(Status(), "Ausgabe nach LPT2 (Office)");
    }

    // The chooser offers the queues and writes the choice into [Ports] before any exit.
    F.LPT11Click();
    D.Printers = {std::string("Office")};
    F.PrinterChooseItemClick();
    ASSERT_EQ(D.OfferedPrinters.size(), 1u);
    ASSERT_EQ(D.OfferedPrinters[0].size(), 1u);
    EXPECT_TRUE(D.OfferedPrinters[0][0].IsDefault);
    TIniFile Written(Ini());
    ASSERT_EQ(Written.Open(), TIniFile::TOpenResult::Ok);
    EXPECT_EQ(Written.ReadString("Ports", "LPT1", ""), "Office");
    EXPECT_EQ(Status(), "Ausgabe nach LPT1 (Office)");

    // A sent job is confirmed in the status line; the printer gets the job's bytes.
    D.Answers = {true};
    F.PrintBtnClick();
    EXPECT_TRUE(D.Errors.empty()) << D.Errors[0];
    EXPECT_EQ(F.statusBar()->currentMessage().toStdString().rfind("Druckauftrag Office-", 0), 0u);
    const std::string Doc = Cups.WaitForDocument("ps", ".ps");
    ASSERT_FALSE(Doc.empty());
    EXPECT_EQ(ReadFile(Doc), Expected);

    // A paused queue: the reason, and no confirmation.
    ASSERT_TRUE(Cups.Admin({"cupsdisable", "Office"}));
    F.statusBar()->clearMessage();
    D.Answers = {true};
    F.PrintBtnClick();
    ASSERT_EQ(D.Errors.size(), 1u);
    EXPECT_EQ(D.Errors[0], "Fehler beim Schreiben nach LPT1 (Drucker Office ist angehalten)");
    EXPECT_TRUE(F.statusBar()->currentMessage().isEmpty());

    // The file is no port: the chooser says so.
    F.PrintFileSelectClick();
    F.PrinterChooseItemClick();
    ASSERT_EQ(D.Errors.size(), 2u);
    EXPECT_NE(D.Errors[1].find("LPT1 bis LPT4"), std::string::npos);
}

TEST_F(WindowTest, APrintFileNamedPdfIsAPdf) {
    TZarvoForm& F = Open();
    AddBox({2, 3});
    F.PrintFileSelectClick();
    F.FWorkDir = Dir.Path();
    D.Inputs = {std::string("blatt.pdf")};
    F.PrintBtnClick();
    EXPECT_TRUE(D.Errors.empty());
    EXPECT_EQ(ReadFile(Dir.File("blatt.pdf")).rfind("%PDF-", 0), 0u);
}
