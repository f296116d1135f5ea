// The menu under which the recent-files list shows its entries, as the list sees it.
#pragma once

#include <string>

namespace zarvo {

class THistoryMenu {
public:
    virtual ~THistoryMenu() = default;
    virtual int Count() const = 0; // sub-items, separators included
    virtual void AddSeparator() = 0;
    // Appends an enabled, unchecked sub-item whose click reports the given caption.
    virtual void AddItem(const std::string& Caption) = 0;
    virtual void DeleteLast() = 0;
};

} // namespace zarvo
