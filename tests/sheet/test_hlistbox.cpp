// Tests of the recent-files list: order, capacity, menu captions and the INI section.
#include "sheet/hlistbox.h"
#include "support/inifile.h"

#include "testsupport.h"

#include <gtest/gtest.h>

#include <unistd.h>

using namespace zarvo;

namespace {

class TFakeMenu : public THistoryMenu {
public:
    int Count() const override { return static_cast<int>(Items.size()); }
    void AddSeparator() override { Items.push_back("-"); }
    void AddItem(const std::string& Caption) override { Items.push_back(Caption); }
    void DeleteLast() override { Items.pop_back(); }
    std::vector<std::string> Items;
};

std::string File(int I) {
    return "/home/u/Blatt" + std::to_string(I) + ".zvs";
}

} // namespace

TEST(HistoryList, KeepsTheFifteenMostRecentWithoutDuplicates) {
    THistoryList H;
    TFakeMenu Menu;
    H.AttachMenu(&Menu);
    for (int I = 1; I <= 16; ++I)
        H.AddFile(File(I));
    ASSERT_EQ(H.Count(), 15);
    EXPECT_EQ(H.Items().front(), File(16));
    EXPECT_EQ(H.Items().back(), File(2)); // the first one has dropped out
    // A file already in the list moves to the front. Letter case tells files apart here:
    // another case is another file, unless both paths lead to the same file.
    H.AddFile(File(10));
    EXPECT_EQ(H.Count(), 15);
    EXPECT_EQ(H.Items().front(), File(10));
    EXPECT_EQ(H.Items()[1], File(16));
    EXPECT_EQ(H.Items()[6], File(11));
    EXPECT_EQ(H.Items()[7], File(9));
    H.AddFile("/HOME/U/blatt10.ZVS");
    EXPECT_EQ(H.Items()[0], "/HOME/U/blatt10.ZVS");
    EXPECT_EQ(H.Items()[1], File(10));
    EXPECT_EQ(H.Count(), 15);
    H.RemoveFile("/HOME/U/blatt10.ZVS");
    EXPECT_EQ(H.Items()[0], File(10));
    H.AddFile(""); // nothing
    EXPECT_EQ(H.Count(), 14);
    // The menu follows every change: no separator, as the entry has no items of its own.
    ASSERT_EQ(Menu.Items.size(), 14u);
    EXPECT_EQ(Menu.Items[0], "&1 " + File(10));
    EXPECT_EQ(Menu.Items[9], "&a " + H.Items()[9]);
    EXPECT_EQ(Menu.Items[13], "&e " + H.Items()[13]);
    H.RemoveFile(File(16));
    ASSERT_EQ(Menu.Items.size(), 13u);
    EXPECT_EQ(Menu.Items[1], "&2 " + File(15));
}

TEST(HistoryList, TwoPathsToOneFileAreOneEntry) {
    zarvotest::TTempDir Dir;
    const std::string Sheet = Dir.File("blatt.zvs"), Link = Dir.File("verweis.zvs");
    zarvotest::WriteFile(Sheet, "[Global]\n");
    ASSERT_EQ(::symlink(Sheet.c_str(), Link.c_str()), 0);
    THistoryList H;
    H.AddFile(Sheet);
    H.AddFile(File(1));
    H.AddFile(Link);
    ASSERT_EQ(H.Count(), 2);
    EXPECT_EQ(H.Items()[0], Link);
    EXPECT_EQ(H.Items()[1], File(1));
    H.RemoveFile(Sheet);
    ASSERT_EQ(H.Count(), 1);
    EXPECT_EQ(H.Items()[0], File(1));
}

TEST(HistoryList, ChoosingAnEntryReportsItsFile) {
    THistoryList H;
    TFakeMenu Menu;
    Menu.Items = {"&Fixed"};
    for (int I = 15; I >= 1; --I)
        H.AddFile(File(I));
    H.AttachMenu(&Menu);
    EXPECT_EQ(Menu.Items[1], "-"); // a separator after the menu's own item
    std::string Chosen;
    THistoryMenu* From = nullptr;
    H.OnSelect = [&](THistoryMenu* Sender, const std::string& F) {
        From = Sender;
        Chosen = F;
    };
    H.ItemClick("&c " + File(12));
    EXPECT_EQ(Chosen, File(12)); // c is the twelfth entry
    // A handler that puts the chosen file at the front, as loading a sheet does.
    H.OnSelect = [&](THistoryMenu*, const std::string& F) { H.AddFile(F); };
    H.ItemClick("&2 " + File(2));
    EXPECT_EQ(H.Items()[0], File(2));
    EXPECT_EQ(H.Items()[1], File(1));
    EXPECT_EQ(H.Count(), 15);
    H.OnSelect = [&](THistoryMenu* Sender, const std::string& F) {
        From = Sender;
        Chosen = F;
    };
    EXPECT_EQ(From, &Menu);
    Chosen.clear();
    H.ItemClick("&0 x");
    H.ItemClick("&z x");
    H.ItemClick("&10 x"); // beyond the list
    EXPECT_TRUE(Chosen.empty());
    // Re-attaching removes only the list's own items.
    H.AttachMenu(&Menu);
    EXPECT_EQ(Menu.Items.size(), 17u);
    H.AttachMenu(nullptr);
}

TEST(HistoryList, IniSectionClosesGapsAndIsRewrittenWhole) {
    TIniFile Ini;
    Ini.Parse(
        "[Files]\nHistory0=/a.zvs\nHistory5=/b.zvs\nHistory15=/c.zvs\nOther=1\n[Config]\nGrid=1\n");
    THistoryList H;
    H.LoadFromIni(Ini, "Files");
    ASSERT_EQ(H.Count(), 2);
    EXPECT_EQ(H.Items()[1], "/b.zvs");
    H.SaveToIni(Ini, "Files", true);
    EXPECT_EQ(Ini.Text(), "[Config]\nGrid=1\n\n[Files]\nHistory0=/a.zvs\nHistory1=/b.zvs\n");
}
