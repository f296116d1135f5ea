// The printer chooser: the CUPS destinations with their description and state, the default
// marked, to assign one to a printer port.
#pragma once

#include "output/cupstarget.h"

#include <QDialog>

#include <string>
#include <vector>

class QLabel;
class QPushButton;
class QTreeWidget;

namespace zarvo {

class TPrinterDialog : public QDialog {
    Q_OBJECT
public:
    explicit TPrinterDialog(QWidget* Parent = nullptr);

    // Shows the destinations for Port ("LPT3") modally; Error, when not empty, says why the
    // list is empty. Returns true on OK with a destination chosen, and sets Name to it; Name
    // preselects the destination the port has now.
    bool Execute(const std::string& Port, const std::vector<TCupsDest>& Dests,
                 const std::string& Error, std::string& Name);

    // What Execute shows before its modal loop; tests act on the controls after it.
    void Load(const std::string& Port, const std::vector<TCupsDest>& Dests,
              const std::string& Error, const std::string& Name);
    // The chosen destination's name, empty when none is chosen.
    std::string Chosen() const;

    QTreeWidget* Liste;
    QLabel* Hinweis;
    QPushButton *OKBtn, *CancelBtn;
};

} // namespace zarvo
