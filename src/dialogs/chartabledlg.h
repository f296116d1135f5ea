// Modal table of the 256 character codes of a font, from which the user picks one character.
#pragma once

#include <QDialog>
#include <QString>

#include <string>

class QPushButton;
class QTableWidget;

namespace zarvo {

class TCharTableDialog : public QDialog {
    Q_OBJECT
public:
    explicit TCharTableDialog(QWidget* Parent = nullptr);

    // Shows the characters in FontName; the code of the current cell when the dialog is closed
    // with "Select" (or a double click), 0 otherwise.
    int Execute(const QString& FontName);

    // Which character the grid shows in the font now set: FCharFont. Column and row 0 hold the
    // hexadecimal headers; cell (c, r) holds code (r - 1) * 16 + (c - 1).
    void SetCharFont(const QString& FontName);
    const QString& CharFont() const { return FCharFont; }
    const QString& HeaderFont() const { return FHeaderFont; }

    // The code of the current cell, 0 to 255.
    int CurrentCode() const;

    // Sets what the cell in column Col and row Row shows, and in which font.
    void CharGridDrawCell(int Col, int Row);
    // A double click chooses, as "Select" would: a character cell, or on a header the
    // current cell.
    void CharGridDblClick(int Row, int Col);

    static constexpr int CellSize = 20;

    QTableWidget* CharGrid;
    QPushButton* OKBtn;
    QPushButton* CancelBtn;

protected:
    bool eventFilter(QObject* Watched, QEvent* Event) override;

private:
    QString FHeaderFont;
    QString FCharFont;
};

// Shows a fresh character table for FontName (a screen font name); the code 1 to 255 of the
// chosen character, or 0 when the user cancelled (or chose code 0).
int SelectChar(const std::string& FontName);

} // namespace zarvo
