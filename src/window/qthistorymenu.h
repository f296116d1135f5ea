// The recent-files entries as actions of a Qt menu.
#pragma once

#include "sheet/historymenu.h"

#include <functional>

class QMenu;

namespace zarvo {

class TQtHistoryMenu : public THistoryMenu {
public:
    // OnClick receives the caption of the chosen entry.
    TQtHistoryMenu(QMenu* Menu, std::function<void(const std::string&)> OnClick);

    int Count() const override;
    void AddSeparator() override;
    void AddItem(const std::string& Caption) override;
    void DeleteLast() override;
    QMenu* Menu() const { return FMenu; }

private:
    QMenu* FMenu;
    std::function<void(const std::string&)> FOnClick;
};

} // namespace zarvo
