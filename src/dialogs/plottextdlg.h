// Modal one-line text editor with superscript and subscript markers and the character table.
#pragma once

#include "support/userdialogs.h"

#include <QDialog>
#include <QString>

#include <string>

class QLabel;
class QLineEdit;
class QPushButton;
class QToolButton;

namespace zarvo {

class TPlotTextDialog : public QDialog {
    Q_OBJECT
public:
    explicit TPlotTextDialog(QWidget* Parent = nullptr);

    // The text is a byte string (see textcodec.h); caption and label are texts of the window.
    void Load(const TPoint& Pos, const QString& Caption, const QString& Label,
              const std::string& Text, const std::string& FontName, bool ShowCharTable);
    void Store(std::string& Text) const;

    // Superscript: the selection becomes "^" + selection + "_"; without one, "^" at the caret.
    void HochBtnClick();
    // Subscript: the selection becomes "_" + selection + "^"; without one, "_" at the caret.
    void TiefBtnClick();
    // A character from the table of the field's font replaces the selection (or goes in at the
    // caret); nothing happens when the table is cancelled.
    void CharTabBtnClick();

    QLabel* Descriptor;
    QLineEdit* TextFeld;
    QPushButton* CharTabBtn;
    QToolButton* HochBtn;
    QToolButton* TiefBtn;
    QPushButton* OKBtn;
    QPushButton* CancelBtn;

private:
    void Surround(const QString& Before, const QString& After);
};

// Shows a fresh text dialog with its top-left corner at Pos (screen pixels) for Text, typed in
// the screen font FontName; true and Text replaced when the user leaves with OK.
bool EditPlotText(const TPoint& Pos, const QString& Caption, const QString& Label,
                  std::string& Text, const std::string& FontName, bool ShowCharTable);

} // namespace zarvo
