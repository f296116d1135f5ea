// A combo box whose list is a history of paths, shown as a plain edit box while the list is empty.
#pragma once

#include <QComboBox>
#include <QString>

namespace zarvo {

class THistoryComboBox : public QComboBox {
    Q_OBJECT
public:
    explicit THistoryComboBox(QWidget* Parent = nullptr);

    // Appends Path unless the list holds it already (letter case does not count).
    void AddHistory(const QString& Path);
    // Removes Path if the list holds it (letter case does not count), then selects the first
    // entry.
    void RemoveHistory(const QString& Path);
    // The position of Path in the list, letter case not counted; -1 when it is not there.
    int FindHistory(const QString& Path) const;

    // Simple: an edit box without drop-down button and without a list to open.
    void SetSimple(bool Simple);
    bool IsSimple() const { return FSimple; }

    void showPopup() override;

private:
    bool FSimple = false;
};

} // namespace zarvo
