// The recent-files list: most recent sheet first, shown as numbered menu entries, kept in a
// section of an INI file.
#include "sheet/hlistbox.h"

#include "support/inifile.h"

#include <cstdio>
#include <cstdlib>
#include <sys/stat.h>

namespace zarvo {

namespace {
// One entry per file. Here letter case tells files apart, so two paths are one entry when they
// are the same text or, where both exist, lead to the same file (a folder mounted without
// regard to case, a link).
bool SameFile(const std::string& A, const std::string& B) {
    if (A == B) return true;
    struct stat SA, SB;
    return ::stat(A.c_str(), &SA) == 0 && ::stat(B.c_str(), &SB) == 0 && SA.st_dev == SB.st_dev &&
           SA.st_ino == SB.st_ino;
}
} // namespace

int THistoryList::IndexOf(const std::string& FileName) const {
    for (int I = 0; I < Count(); ++I)
        if (SameFile(FItems[static_cast<std::size_t>(I)], FileName)) return I;
    return -1;
}

void THistoryList::LoadFromIni(const TIniFile& Ini, const std::string& Section) {
    FItems.clear();
    for (int I = 0; I < Capacity; ++I) {
        const std::string V = Ini.ReadString(Section, "History" + std::to_string(I), "");
        if (!V.empty()) FItems.push_back(V);
    }
}

void THistoryList::SaveToIni(TIniFile& Ini, const std::string& Section, bool EraseFirst) const {
    if (EraseFirst) Ini.EraseSection(Section);
    for (int I = 0; I < Count(); ++I)
        Ini.WriteString(Section, "History" + std::to_string(I),
                        FItems[static_cast<std::size_t>(I)]);
}

void THistoryList::AttachMenu(THistoryMenu* Item) {
    if (MenuItem) RemoveMenuItems();
    MenuItem = Item;
    FixedCount = Item ? Item->Count() : 0;
    AddMenuItems();
}

void THistoryList::RemoveMenuItems() {
    if (!MenuItem) return;
    while (MenuItem->Count() > FixedCount)
        MenuItem->DeleteLast();
}

void THistoryList::AddMenuItems() {
    if (!MenuItem) return;
    if (FixedCount > 0) MenuItem->AddSeparator();
    for (int I = 0; I < Count(); ++I) {
        char Key[16];
        std::snprintf(Key, sizeof Key, "&%x ", I + 1);
        MenuItem->AddItem(Key + FItems[static_cast<std::size_t>(I)]);
    }
}

void THistoryList::AddFile(const std::string& Name) {
    // Name may be one of the list's own entries, which the steps below move.
    const std::string FileName = Name;
    if (FileName.empty()) return;
    const int Old = IndexOf(FileName);
    if (Old >= 0) FItems.erase(FItems.begin() + Old);
    FItems.insert(FItems.begin(), FileName);
    if (Count() > Capacity) FItems.pop_back();
    RemoveMenuItems();
    AddMenuItems();
}

void THistoryList::RemoveFile(const std::string& Name) {
    const std::string FileName = Name;
    const int Old = IndexOf(FileName);
    if (Old >= 0) FItems.erase(FItems.begin() + Old);
    RemoveMenuItems();
    AddMenuItems();
}

void THistoryList::ItemClick(const std::string& Caption) {
    if (!OnSelect || Caption.size() < 2) return;
    const std::string Number = Caption.substr(1, Caption.find(' ') - 1);
    char* End = nullptr;
    const long N = std::strtol(Number.c_str(), &End, 16);
    if (End == Number.c_str() || *End != '\0') return;
    // A copy: the handler changes the list while it works on the name.
    if (N > 0 && N <= Count())
        OnSelect(MenuItem, std::string(FItems[static_cast<std::size_t>(N - 1)]));
}

} // namespace zarvo
