// Modal dialog that edits a width and a height in centimetres (paper size, standard box size).
#pragma once

#include "sheet/epsbox.h"

#include <QDialog>
#include <QString>

class QGroupBox;
class QLabel;
class QPushButton;

namespace zarvo {

class TFloatEdit;

class TSizeDialog : public QDialog {
    Q_OBJECT
public:
    explicit TSizeDialog(QWidget* Parent = nullptr);

    // Shows the dialog for Size (X the width, Y the height); true and Size replaced on OK,
    // false and Size untouched otherwise.
    bool Execute(const QString& Caption, const QString& GroupCaption, TCmPair& Size);

    // The two halves of Execute: the caller's values into the controls, and back.
    void Load(const QString& Caption, const QString& GroupCaption, const TCmPair& Size);
    void Store(TCmPair& Size);

    // Closes the dialog with OK when both fields hold a size above 0. Otherwise it beeps and
    // selects the first wrong field: a field that is no number would read as 0, and the
    // caller's size would be lost for it.
    void OKBtnClick();

    // Puts the focus into the height field, its text selected; runs each time the dialog is
    // shown and becomes active.
    void FormActivate();

    QGroupBox* GroupBox;
    QLabel* Label1;
    TFloatEdit* HeightEdit;
    QLabel* Label3;
    QLabel* Label2;
    TFloatEdit* WidthEdit;
    QLabel* Label4;
    QPushButton* OKBtn;
    QPushButton* CancelBtn;

protected:
    bool event(QEvent* Event) override;
    void showEvent(QShowEvent* Event) override;

private:
    bool FActivatePending = false;
};

} // namespace zarvo
