// Modal one-line text editor with superscript and subscript markers and the character table.
#include "dialogs/plottextdlg.h"

#include "dialogs/ansivalidator.h"
#include "dialogs/buttonglyphs.h"
#include "dialogs/chartabledlg.h"
#include "dialogs/textcodec.h"

#include <QApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QToolButton>
#include <QVBoxLayout>

namespace zarvo {

namespace {
QToolButton* MarkerButton(QWidget* Parent, const QIcon& Glyph, const QString& Hint) {
    auto* Button = new QToolButton(Parent);
    Button->setIcon(Glyph);
    Button->setAutoRaise(true);
    Button->setFixedSize(26, 26);
    Button->setToolTip(Hint);
    // A click must not take the focus: the field would lose its selection.
    Button->setFocusPolicy(Qt::NoFocus);
    return Button;
}
} // namespace

TPlotTextDialog::TPlotTextDialog(QWidget* Parent) : QDialog(Parent) {
    Descriptor = new QLabel(this);
    TextFeld = new QLineEdit(this);
    TextFeld->setFixedWidth(351);
    TextFeld->setValidator(new TAnsiValidator(TextFeld));
    Descriptor->setBuddy(TextFeld);

    CharTabBtn = new QPushButton(CharTableGlyph(), "Check Table", this);
    // Reachable with Tab, but a click leaves the focus (and the selection) in the field.
    CharTabBtn->setFocusPolicy(Qt::TabFocus);
    CharTabBtn->setAutoDefault(false);
    HochBtn = MarkerButton(this, SuperscriptGlyph(), "Superscript");
    TiefBtn = MarkerButton(this, SubscriptGlyph(), "Subscript");
    OKBtn = new QPushButton(OkGlyph(), "OK", this);
    OKBtn->setDefault(true);
    CancelBtn = new QPushButton(CancelGlyph(), "Cancel", this);
    CancelBtn->setAutoDefault(false);
    connect(CharTabBtn, &QPushButton::clicked, this, &TPlotTextDialog::CharTabBtnClick);
    connect(HochBtn, &QToolButton::clicked, this, &TPlotTextDialog::HochBtnClick);
    connect(TiefBtn, &QToolButton::clicked, this, &TPlotTextDialog::TiefBtnClick);
    connect(OKBtn, &QPushButton::clicked, this, &QDialog::accept);
    connect(CancelBtn, &QPushButton::clicked, this, &QDialog::reject);

    auto* Buttons = new QHBoxLayout;
    Buttons->addWidget(CharTabBtn);
    Buttons->addWidget(HochBtn);
    Buttons->addWidget(TiefBtn);
    Buttons->addStretch();
    Buttons->addWidget(OKBtn);
    Buttons->addWidget(CancelBtn);
    auto* Main = new QVBoxLayout(this);
    Main->addWidget(Descriptor);
    Main->addWidget(TextFeld);
    Main->addLayout(Buttons);

    setWindowFlag(Qt::WindowContextHelpButtonHint, false);
    setFixedSize(sizeHint().expandedTo(QSize(369, 106)));
}

void TPlotTextDialog::Load(const TPoint& Pos, const QString& Caption, const QString& Label,
                           const std::string& Text, const std::string& FontName,
                           bool ShowCharTable) {
    move(Pos.X, Pos.Y);
    setWindowTitle(Caption);
    Descriptor->setText(Label);
    CharTabBtn->setVisible(ShowCharTable);
    QFont F = TextFeld->font();
    F.setFamily(ToQt(FontName));
    TextFeld->setFont(F);
    TextFeld->setText(ToQt(Text));
    TextFeld->setFocus();
}

void TPlotTextDialog::Store(std::string& Text) const {
    Text = FromQt(TextFeld->text());
}

void TPlotTextDialog::Surround(const QString& Before, const QString& After) {
    if (TextFeld->hasSelectedText())
        TextFeld->insert(Before + TextFeld->selectedText() + After);
    else
        TextFeld->insert(Before);
    TextFeld->setFocus();
}

void TPlotTextDialog::HochBtnClick() {
    Surround("^", "_");
}

void TPlotTextDialog::TiefBtnClick() {
    Surround("_", "^");
}

void TPlotTextDialog::CharTabBtnClick() {
    const int Code = SelectChar(FromQt(TextFeld->font().family()));
    // Code 0 is the answer of Cancel, and no character a text can hold.
    if (Code > 0 && Code < 256) TextFeld->insert(ToQt(std::string(1, static_cast<char>(Code))));
    TextFeld->setFocus();
}

bool EditPlotText(const TPoint& Pos, const QString& Caption, const QString& Label,
                  std::string& Text, const std::string& FontName, bool ShowCharTable) {
    TPlotTextDialog Dialog(QApplication::activeWindow());
    Dialog.Load(Pos, Caption, Label, Text, FontName, ShowCharTable);
    if (Dialog.exec() != QDialog::Accepted) return false;
    Dialog.Store(Text);
    return true;
}

} // namespace zarvo
