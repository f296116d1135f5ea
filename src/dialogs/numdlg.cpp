// Modal dialog that edits one or two whole numbers in spin fields, and NumberInput built on it.
#include "dialogs/numdlg.h"

#include "dialogs/okcancelrow.h"
#include "dialogs/spinfield.h"
#include "support/localefmt.h"
#include "support/userdialogs.h"

#include <QFrame>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QScreen>
#include <QSpinBox>
#include <QVBoxLayout>

#include <algorithm>
#include <climits>
#include <memory>

namespace zarvo {

namespace {

TNummerEingabe* Shared = nullptr;

// Equal limits mean none; reversed limits are taken the right way round.
void SetLimits(QSpinBox* Field, int Min, int Max) {
    if (Min == Max)
        Field->setRange(INT_MIN, INT_MAX);
    else
        Field->setRange(std::min(Min, Max), std::max(Min, Max));
}

// The increment for value V: step mode 2 in octaves (1, 8, 64, 512, 4096), step mode 1 in
// decades (1, 5, 50, 500, 5000); other modes keep the current increment.
int StepFor(std::uint8_t Mode, int V, int Current) {
    if (Mode == 2) {
        if (V < 8) return 1;
        if (V < 64) return 8;
        if (V < 512) return 64;
        if (V < 4096) return 512;
        return 4096;
    }
    if (Mode == 1) {
        if (V < 10) return 1;
        if (V < 100) return 5;
        if (V < 1000) return 50;
        if (V < 10000) return 500;
        return 5000;
    }
    return Current;
}

} // namespace

TNummerEingabe::TNummerEingabe(QWidget* Parent) : QDialog(Parent) {
    if (!Shared) Shared = this;
    QFont F(QStringLiteral("Sans Serif"), 8);
    F.setStyleHint(QFont::SansSerif);
    F.setBold(true);
    setFont(F);

    Rahmen = new QFrame(this);
    Rahmen->setFrameStyle(QFrame::StyledPanel | QFrame::Raised);
    Descriptor1 = new QLabel(Rahmen);
    NumFeld1 = new TSpinField(Rahmen);
    Descriptor2 = new QLabel(Rahmen);
    NumFeld2 = new TSpinField(Rahmen);
    Descriptor1->setBuddy(NumFeld1);
    Descriptor2->setBuddy(NumFeld2);
    SetLimits(NumFeld1, 0, 0);
    SetLimits(NumFeld2, 0, 0);
    // The text, not only the value: a number beyond the limits stands in the field until it
    // is left, and the increment follows it all the same.
    connect(NumFeld1, &QSpinBox::textChanged, this, &TNummerEingabe::NumFeld1Change);
    connect(NumFeld2, &QSpinBox::textChanged, this, &TNummerEingabe::NumFeld2Change);

    auto* Fields = new QGridLayout(Rahmen);
    Fields->addWidget(Descriptor1, 0, 0);
    Fields->addWidget(NumFeld1, 1, 0);
    Fields->addWidget(Descriptor2, 0, 1);
    Fields->addWidget(NumFeld2, 1, 1);
    Fields->setColumnStretch(0, 1);
    Fields->setColumnStretch(1, 1);

    auto* Buttons = OkCancelRow(this, OKBtn, CancelBtn);
    connect(OKBtn, &QPushButton::clicked, this, &QDialog::accept);

    auto* Main = new QVBoxLayout(this);
    Main->addWidget(Rahmen);
    Main->addLayout(Buttons);

    setWindowFlag(Qt::WindowContextHelpButtonHint, false);
    setFixedSize(sizeHint().expandedTo(QSize(244, 134)));
}

TNummerEingabe::~TNummerEingabe() {
    if (Shared == this) Shared = nullptr;
}

TNummerEingabe* TNummerEingabe::Instance() {
    return Shared;
}

void TNummerEingabe::SetFirstField(int Increment, int MinValue, int MaxValue,
                                   std::uint8_t StepMode) {
    FMin1 = std::min(MinValue, MaxValue);
    FMax1 = std::max(MinValue, MaxValue);
    SetLimits(NumFeld1, MinValue, MaxValue);
    NumFeld1->setSingleStep(Increment);
    FStepMode = StepMode;
}

void TNummerEingabe::Load(const QString& Title, const QString& Label1, int Value1,
                          const QString& Label2, int Value2, int X, int Y) {
    setWindowTitle(Title);
    if (X < 0) {
        const QRect Screen = screen()->availableGeometry();
        move(Screen.center() - QPoint(width() / 2, height() / 2));
    } else {
        FitIntoScreen(X, Y, width(), height());
        move(X, Y);
    }
    NumFeld1->setValue(Value1);
    FTwoFields = !Label2.isEmpty();
    NumFeld2->setVisible(FTwoFields);
    Descriptor2->setVisible(FTwoFields);
    if (FTwoFields) {
        Descriptor2->setText(Label2);
        NumFeld2->setValue(Value2);
    }
    Descriptor1->setText(Label1);
    // A value equal to the last one changes nothing in the field; the increment must follow
    // it all the same.
    NumFeld1Change();
    if (FTwoFields) NumFeld2Change();
}

int TNummerEingabe::FieldValue(const QSpinBox* Field) const {
    const int Min = Field == NumFeld1 ? FMin1 : 0;
    const int Max = Field == NumFeld1 ? FMax1 : 0;
    long V = Min;
    if (!TryStrToInt(Field->cleanText().toStdString(), V)) V = Min;
    // The spin field puts its last valid value back when it loses the focus or gets Enter,
    // but not every way of closing the dialog does either, so the text can still be empty or
    // out of range here.
    if (Min != Max) V = std::clamp<long>(V, Min, Max);
    return static_cast<int>(V);
}

void TNummerEingabe::Store(int& Value1, int& Value2) const {
    Value1 = FieldValue(NumFeld1);
    if (FTwoFields) Value2 = FieldValue(NumFeld2);
}

bool TNummerEingabe::Execute(const QString& Title, const QString& Label1, int& Value1,
                             const QString& Label2, int& Value2, int X, int Y) {
    Load(Title, Label1, Value1, Label2, Value2, X, Y);
    if (exec() != QDialog::Accepted) return false;
    Store(Value1, Value2);
    return true;
}

void TNummerEingabe::showEvent(QShowEvent* Event) {
    QDialog::showEvent(Event);
    NumFeld1->setFocus(Qt::OtherFocusReason);
    NumFeld1->selectAll();
}

void TNummerEingabe::ApplyStepRule(QSpinBox* Field) {
    Field->setSingleStep(StepFor(FStepMode, FieldValue(Field), Field->singleStep()));
}

void TNummerEingabe::NumFeld1Change() {
    ApplyStepRule(NumFeld1);
}

void TNummerEingabe::NumFeld2Change() {
    ApplyStepRule(NumFeld2);
}

bool NumberInput(const QString& Title, const QString& Label, int& Value, std::uint8_t StepMode,
                 int Increment, int MinValue, int MaxValue, int X, int Y) {
    std::unique_ptr<TNummerEingabe> Own;
    TNummerEingabe* Dialog = TNummerEingabe::Instance();
    if (!Dialog) {
        Own = std::make_unique<TNummerEingabe>();
        Dialog = Own.get();
    }
    Dialog->SetFirstField(Increment, MinValue, MaxValue, StepMode);
    int Unused = 0;
    return Dialog->Execute(Title, Label, Value, QString(), Unused, X, Y);
}

} // namespace zarvo
