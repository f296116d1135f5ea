// The printer chooser: what it lists, what it preselects and what OK hands back.
#include "dialogs/printerdlg.h"

#include <QLabel>
#include <QPushButton>
#include <QTreeWidget>

#include <gtest/gtest.h>

using namespace zarvo;

TEST(PrinterDialog, ListsTheDestinationsMarksTheDefaultAndPreselects) {
    TPrinterDialog D;
    std::vector<TCupsDest> Dests(2);
    Dests[0].Name = "Keller";
    Dests[0].State = "angehalten";
    Dests[0].Accepting = false;
    Dests[1].Name = "Office";
    Dests[1].Description = "Büro";
    Dests[1].State = "bereit";
    Dests[1].IsDefault = true;
    // Nothing chosen yet: the default is preselected.
    D.Load("LPT3", Dests, "", "");
    EXPECT_EQ(D.windowTitle().toStdString(), "Drucker für LPT3");
    ASSERT_EQ(D.Liste->topLevelItemCount(), 2);
    EXPECT_EQ(D.Liste->topLevelItem(0)->text(2).toStdString(),
              "angehalten, nimmt keine Aufträge an");
    EXPECT_EQ(D.Liste->topLevelItem(1)->text(1).toStdString(), "Büro");
    EXPECT_EQ(D.Liste->topLevelItem(1)->text(2).toStdString(), "bereit (Standard)");
    EXPECT_EQ(D.Chosen(), "Office");
    EXPECT_TRUE(D.OKBtn->isEnabled());
    // The port's present destination is preselected.
    D.Load("LPT1", Dests, "", "Keller");
    EXPECT_EQ(D.Chosen(), "Keller");
    // No destinations: the reason shows and OK cannot be pressed.
    D.Load("LPT1", {}, "CUPS-Druckserver /run/cups/cups.sock läuft nicht", "");
    EXPECT_EQ(D.Liste->topLevelItemCount(), 0);
    EXPECT_EQ(D.Chosen(), "");
    EXPECT_FALSE(D.OKBtn->isEnabled());
    EXPECT_NE(D.Hinweis->text().toStdString().find("läuft nicht"), std::string::npos);
    D.Load("LPT1", {}, "", "");
    EXPECT_NE(D.Hinweis->text().toStdString().find("Druckereinstellungen"), std::string::npos);
}
