// The recent-files list: most recent sheet first, shown as numbered menu entries, kept in a
// section of an INI file.
#pragma once

#include "sheet/historymenu.h"

#include <functional>
#include <string>
#include <vector>

namespace zarvo {

class TIniFile;

class THistoryList {
public:
    using TOnSelect = std::function<void(THistoryMenu* Sender, const std::string& FileName)>;

    int Capacity = 15;
    TOnSelect OnSelect;

    const std::vector<std::string>& Items() const { return FItems; }
    int Count() const { return static_cast<int>(FItems.size()); }

    void LoadFromIni(const TIniFile& Ini, const std::string& Section);
    void SaveToIni(TIniFile& Ini, const std::string& Section, bool EraseFirst) const;

    void AttachMenu(THistoryMenu* Item);
    void RemoveMenuItems();
    void AddMenuItems();

    void AddFile(const std::string& FileName);
    void RemoveFile(const std::string& FileName);

    // A sub-item with this caption was chosen.
    void ItemClick(const std::string& Caption);

private:
    int IndexOf(const std::string& FileName) const;
    std::vector<std::string> FItems;
    THistoryMenu* MenuItem = nullptr;
    int FixedCount = 0;
};

} // namespace zarvo
