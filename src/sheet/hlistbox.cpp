// The recent-files list: most recent sheet first, shown as numbered menu entries, kept in a
// section of an INI file.
#include "sheet/hlistbox.h"

#include "support/inifile.h"

#include <cstdio>
#include <cstdlib>

namespace zarvo {

namespace {
std::string Folded(const std::string& S) {
    std::string R = S;
    for (char& C : R)
        if (C >= 'A' && C <= 'Z') C = static_cast<char>(C - 'A' + 'a');
    return R;
}
} // namespace

int THistoryList::IndexOf(const std::string& FileName) const {
    const std::string F = Folded(FileName);
    for (int I = 0; I < Count(); ++I)
        if (Folded(FItems[static_cast<std::size_t>(I)]) == F) return I;
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
