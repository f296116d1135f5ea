// The editor of the file-type filters that the EPS open dialog offers: a table of name and
// pattern pairs with buttons to reorder, delete, insert and replace entries.
#pragma once

#include "dialogs/filterstring.h"

#include <QDialog>
#include <QHash>
#include <QString>

#include <string>
#include <vector>

class QLabel;
class QLineEdit;
class QPushButton;
class QTableWidget;
class QToolButton;

namespace zarvo {

// The text of a filter string's bytes: UTF-8, as the program writes them; bytes that are no
// UTF-8 (a file from a Windows machine) are read as Latin-1 instead of being lost.
QString FilterToQt(const std::string& Bytes);

class TFilterDialog : public QDialog {
    Q_OBJECT
public:
    explicit TFilterDialog(QWidget* Parent = nullptr);
    ~TFilterDialog() override;

    // Shows the dialog modally for the filter string Filter ("name|pattern|..."). Returns true on
    // OK and replaces Filter by the edited list; otherwise Filter stays as it was. An empty
    // Title gives "Filter Dialog".
    bool Execute(const std::string& Title, std::string& Filter);

    // What Execute does before it shows the dialog: caption, table and edit fields. Tests call
    // it and then act on the controls without a modal loop.
    void Load(const std::string& Title, const std::string& Filter);
    // The filter string that OK hands back, built from the entries.
    std::string FilterText() const;
    std::vector<TFilterEntry> Entries() const;
    // The number of entries (FCount) and the selected row (1 to 14; row 1 in an empty table).
    int Count() const { return FCount; }
    int CurrentRow() const;

    static constexpr int MaxEntries = 14;

    // The controls.
    QTableWidget* FilterListe; // table rows 0 to 13 hold the entry rows 1 to 14
    QToolButton* UpBtn;
    QToolButton* DownBtn;
    QToolButton* DeleteBtn;
    QToolButton* InsertBtn;
    QToolButton* ReplBtn;
    QLabel* Label2;
    QLineEdit* FilterNameEdit;
    QLabel* Label3;
    QLineEdit* FilterEdit;
    QPushButton* OKBtn;
    QPushButton* CancelBtn;

    // The handlers of the controls. FilterListeSelectCell selects Row and shows it in the edit
    // fields when it holds an entry (or is row 1 of an empty table); otherwise the selection
    // stays and it returns false. The key handlers return true when they used the key.
    bool FilterListeSelectCell(int Row);
    void UpBtnClick();
    void DownBtnClick();
    void DeleteBtnClick();
    void InsertBtnClick();
    void ReplBtnClick();
    bool FilterNameEditKeyDown(int Key);
    bool FilterEditKeyDown(int Key);

protected:
    void showEvent(QShowEvent* Event) override;
    bool eventFilter(QObject* Watched, QEvent* Event) override;

private:
    QString CellText(int Row, int Column) const;
    void SetRow(int Row, const QString& Name, const QString& Pattern);
    void CopyRow(int From, int To);
    void SelectRow(int Row);
    // Shows the entry of Row in the edit fields.
    void ShowRow(int Row);
    // Only rows that hold an entry, and row 1, can be picked with the mouse or the arrow keys.
    void UpdateSelectable();

    int FCount = 0;
    // The bytes each shown text was read from: an entry the user leaves alone goes back
    // exactly as it came, whatever its encoding.
    QHash<QString, std::string> FBytesOf;
};

} // namespace zarvo
