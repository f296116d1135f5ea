// The folder chooser of the settings menu: a folder list, a history of the folders confirmed
// during this run, and buttons for the default folder, the parent folder and a new folder.
#pragma once

#include <QDialog>
#include <QString>

#include <functional>
#include <string>
#include <vector>

class QComboBox;
class QFrame;
class QLabel;
class QPushButton;
class QToolButton;

namespace zarvo {

class TDirectoryListBox;
class THistoryComboBox;

class TVerzDialog : public QDialog {
    Q_OBJECT
public:
    explicit TVerzDialog(QWidget* Parent = nullptr);
    ~TVerzDialog() override;

    // Shows the dialog modally at (X, Y) (X < 0: centred on the screen), starting at Dir (the
    // program's current folder when Dir is empty or cannot be entered). Returns true on OK and
    // sets Dir to the chosen folder; otherwise Dir stays as it was. An empty HomeDir hides the
    // Home button.
    bool Execute(const std::string& Caption, const std::string& HomeDir, int X, int Y,
                 std::string& Dir);

    // What Execute does before it shows the dialog: position, caption, default folder and start
    // folder. Tests call it and then act on the controls without a modal loop.
    void Load(const std::string& Caption, const std::string& HomeDir, int X, int Y,
              const std::string& Dir);
    // The full path of the folder list's current folder: the result on OK.
    std::string Directory() const;

    // The history of confirmed folders, kept as the item list of SelectedDir.
    void AddHistory(const std::string& Path);
    void RemoveHistory(const std::string& Path);
    std::vector<std::string> History() const;

    // Asks for one line of text (caption, prompt, in/out value); false when the user cancels.
    // A modal input box by default; tests put a scripted answer in its place.
    std::function<bool(const QString& Caption, const QString& Prompt, QString& Value)> InputQuery;

    // The controls.
    QFrame* Bevel1;
    QLabel* Label1;
    QComboBox* DriveComboBox;
    TDirectoryListBox* DirectoryListBox;
    QLabel* Verzname; // never shown: the current folder shortened to the list's width
    QLabel* VerzLabel;
    QToolButton* HomeBtn;
    QToolButton* UpBtn;
    QToolButton* NewBtn;
    THistoryComboBox* SelectedDir;
    QPushButton* OKBtn;
    QPushButton* CancelBtn;

    // The handlers of the controls.
    void VerzDlgShow();
    void DirectoryListBoxChange();
    void HomeBtnClick();
    void UpBtnClick();
    void NewBtnClick();
    void SelectedDirKeyDown(int Key);
    void SelectedDirChange();
    void SelectedDirExit();
    void OKBtnClick();
    void CancelBtnClick();

    // The width in pixels to which Verzname shortens the current folder.
    static constexpr int DisplayWidth = 251;

protected:
    void showEvent(QShowEvent* Event) override;
    bool eventFilter(QObject* Watched, QEvent* Event) override;

private:
    // Makes Path the program's current folder and moves the list there; false (and nothing
    // changed) when Path cannot be entered.
    bool EnterFolder(const QString& Path);
    // Goes to the history entry at Index, or reports it missing and drops it.
    void GoToHistoryEntry(int Index);

    QString FHomeDir;
    bool FTyping = false;
};

} // namespace zarvo
