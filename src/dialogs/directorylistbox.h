// A folder list: the chain of folders from the root down to the current one, then its subfolders.
#pragma once

#include <QString>
#include <QTreeWidget>

namespace zarvo {

class TDirectoryListBox : public QTreeWidget {
    Q_OBJECT
public:
    explicit TDirectoryListBox(QWidget* Parent = nullptr);

    // The current folder as an absolute path without a trailing '/' (the root is "/").
    QString Directory() const { return FDirectory; }
    // Goes to Path (relative paths count from the program's current folder) and reports the
    // change. A path that is not a folder leaves the list where it is and gives false.
    bool SetDirectory(const QString& Path);
    // Opens the highlighted folder, as a double click does.
    void OpenCurrent();

signals:
    // The current folder changed (or was set again).
    void Change();

protected:
    void keyPressEvent(QKeyEvent* Event) override;

private:
    void BuildList();

    QString FDirectory;
};

} // namespace zarvo
