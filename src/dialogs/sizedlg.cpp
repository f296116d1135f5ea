// Modal dialog that edits a width and a height in centimetres (paper size, standard box size).
#include "dialogs/sizedlg.h"

#include "dialogs/beep.h"
#include "dialogs/okcancelrow.h"
#include "dialogs/numbered.h"

#include <QEvent>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

namespace zarvo {

namespace {
TFloatEdit* CmEdit(QWidget* Parent) {
    auto* Edit = new TFloatEdit(Parent);
    Edit->SetDigits(5);
    Edit->SetDecimal(1);
    Edit->SetFloatFormat(ffFixed);
    return Edit;
}
} // namespace

TSizeDialog::TSizeDialog(QWidget* Parent) : QDialog(Parent) {
    QFont F(QStringLiteral("Sans Serif"), 8);
    F.setStyleHint(QFont::SansSerif);
    F.setBold(true);
    setFont(F);

    GroupBox = new QGroupBox("Paper Size", this);
    Label1 = new QLabel("Height:", GroupBox);
    HeightEdit = CmEdit(GroupBox);
    Label3 = new QLabel("cm", GroupBox);
    Label2 = new QLabel("Width:", GroupBox);
    WidthEdit = CmEdit(GroupBox);
    Label4 = new QLabel("cm", GroupBox);
    Label1->setBuddy(HeightEdit);
    Label2->setBuddy(WidthEdit);

    auto* Grid = new QGridLayout(GroupBox);
    Grid->addWidget(Label1, 0, 0);
    Grid->addWidget(HeightEdit, 0, 1);
    Grid->addWidget(Label3, 0, 2);
    Grid->addWidget(Label2, 1, 0);
    Grid->addWidget(WidthEdit, 1, 1);
    Grid->addWidget(Label4, 1, 2);

    auto* Buttons = OkCancelRow(this, OKBtn, CancelBtn);
    connect(OKBtn, &QPushButton::clicked, this, &TSizeDialog::OKBtnClick);
    auto* Main = new QVBoxLayout(this);
    Main->addWidget(GroupBox);
    Main->addLayout(Buttons);

    setTabOrder(HeightEdit, WidthEdit);
    setTabOrder(WidthEdit, OKBtn);
    setTabOrder(OKBtn, CancelBtn);

    setWindowFlag(Qt::WindowContextHelpButtonHint, false);
    setFixedSize(sizeHint().expandedTo(QSize(218, 140)));
}

void TSizeDialog::Load(const QString& Caption, const QString& GroupCaption,
                       const TCmPair& Size) {
    setWindowTitle(Caption);
    GroupBox->setTitle(GroupCaption);
    HeightEdit->SetValue(Size.Y);
    WidthEdit->SetValue(Size.X);
}

void TSizeDialog::Store(TCmPair& Size) {
    Size.Y = HeightEdit->Value();
    Size.X = WidthEdit->Value();
}

bool TSizeDialog::Execute(const QString& Caption, const QString& GroupCaption, TCmPair& Size) {
    Load(Caption, GroupCaption, Size);
    if (exec() != QDialog::Accepted) return false;
    Store(Size);
    return true;
}

void TSizeDialog::OKBtnClick() {
    for (TFloatEdit* Edit : {HeightEdit, WidthEdit})
        if (!(Edit->Value() > 0.0)) {
            Beep();
            Edit->setFocus(Qt::OtherFocusReason);
            Edit->selectAll();
            return;
        }
    accept();
}

void TSizeDialog::FormActivate() {
    HeightEdit->setFocus(Qt::OtherFocusReason);
    HeightEdit->selectAll();
}

void TSizeDialog::showEvent(QShowEvent* Event) {
    FActivatePending = true;
    QDialog::showEvent(Event);
}

bool TSizeDialog::event(QEvent* Event) {
    // Only the activation that follows a show: coming back from another window keeps the
    // field the user was in.
    if (Event->type() == QEvent::WindowActivate && FActivatePending) {
        FActivatePending = false;
        FormActivate();
    }
    return QDialog::event(Event);
}

} // namespace zarvo
