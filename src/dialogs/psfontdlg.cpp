// Modal dialog that edits the font of text items: PostScript font, size, bold, italic, colour.
#include "dialogs/psfontdlg.h"

#include "dialogs/beep.h"
#include "dialogs/okcancelrow.h"
#include "sheet/psfonttable.h"
#include "support/localefmt.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QColorDialog>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QPushButton>
#include <QRadioButton>
#include <QToolButton>
#include <QVBoxLayout>

#include <algorithm>

namespace zarvo {

namespace {
constexpr int GlyphWidth = 76;
constexpr int GlyphHeight = 16;
constexpr int ItalicBit = 1;
constexpr int BoldBit = 2;
} // namespace

TPSFontDialog::TPSFontDialog(QWidget* Parent)
    : QDialog(Parent), FColorGlyph(GlyphWidth, GlyphHeight) {
    setWindowTitle("Postscript Schriftart");

    FontRG = new QGroupBox("Schriftart", this);
    FontButtons = new QButtonGroup(this);
    auto* FontLayout = new QVBoxLayout(FontRG);
    for (int I = 0; I < 4; ++I) {
        auto* Radio = new QRadioButton(PSFontTable[I].PSName[0], FontRG);
        FontButtons->addButton(Radio, I);
        FontLayout->addWidget(Radio);
    }

    auto* Panel = new QFrame(this);
    Panel->setFrameStyle(QFrame::StyledPanel | QFrame::Sunken);
    BoldCB = new QCheckBox("fett", Panel);
    ItalCB = new QCheckBox("kursiv", Panel);
    SizeCB = new QComboBox(Panel);
    SizeCB->setEditable(true);
    // Typed sizes are neither added to the list nor completed from it: what is typed is the
    // size.
    SizeCB->setInsertPolicy(QComboBox::NoInsert);
    SizeCB->setCompleter(nullptr);
    SizeCB->addItems({"6", "8", "10", "12", "14", "18", "24", "36", "48", "60", "72", "96",
                      "120"});
    connect(SizeCB, &QComboBox::editTextChanged, this, &TPSFontDialog::SizeCBChange);
    ColorBtn = new QToolButton(Panel);
    ColorBtn->setAutoRaise(true);
    ColorBtn->setIconSize(QSize(GlyphWidth, GlyphHeight));
    connect(ColorBtn, &QToolButton::clicked, this, &TPSFontDialog::ColorBtnClick);
    FarbDialog = new QColorDialog(this);

    auto* SizeLabel = new QLabel("Size:", Panel);
    SizeLabel->setBuddy(SizeCB);
    auto* ColorLabel = new QLabel("Color:", Panel);
    ColorLabel->setBuddy(ColorBtn);
    auto* PanelLayout = new QGridLayout(Panel);
    PanelLayout->addWidget(BoldCB, 0, 0, 1, 3);
    PanelLayout->addWidget(ItalCB, 1, 0, 1, 3);
    PanelLayout->addWidget(SizeLabel, 2, 0);
    PanelLayout->addWidget(SizeCB, 2, 1);
    PanelLayout->addWidget(new QLabel("pt", Panel), 2, 2);
    PanelLayout->addWidget(ColorLabel, 3, 0);
    PanelLayout->addWidget(ColorBtn, 3, 1, 1, 2, Qt::AlignLeft);

    auto* Buttons = OkCancelRow(this, OKBtn, CancelBtn);
    connect(OKBtn, &QPushButton::clicked, this, &QDialog::accept);

    auto* Top = new QHBoxLayout;
    Top->addWidget(FontRG);
    Top->addWidget(Panel);
    auto* Main = new QVBoxLayout(this);
    Main->addLayout(Top);
    Main->addLayout(Buttons);

    setWindowFlag(Qt::WindowContextHelpButtonHint, false);
    setFixedSize(sizeHint().expandedTo(QSize(315, 167)));

    DrawColorGlyph(GlyphWidth, GlyphHeight, FFont.FontColor);
    ColorBtn->setIcon(FColorGlyph);
}

QColor TPSFontDialog::ToQColor(std::uint32_t Colour) {
    return QColor(static_cast<int>(Colour & 0xFF), static_cast<int>((Colour >> 8) & 0xFF),
                  static_cast<int>((Colour >> 16) & 0xFF));
}

std::uint32_t TPSFontDialog::FromQColor(const QColor& Colour) {
    const QColor C = Colour.toRgb();
    return static_cast<std::uint32_t>(C.red()) | static_cast<std::uint32_t>(C.green()) << 8 |
           static_cast<std::uint32_t>(C.blue()) << 16;
}

void TPSFontDialog::ShowSize() {
    FRestoring = true;
    SizeCB->setEditText(QString::number(FFont.FontSize));
    FRestoring = false;
}

void TPSFontDialog::Load(const TPSFontRec& Font) {
    FFont = Font;
    // A size from an edited file may lie outside what the box accepts: show, and on OK return,
    // the nearest size it does accept.
    FFont.FontSize = static_cast<std::uint16_t>(
        std::clamp<int>(FFont.FontSize, MinFontSize, MaxFontSize));
    FontButtons->button(ValidFontType(FFont.FontType))->setChecked(true);
    switch (FFont.FontStyle) {
    case 0:
    case ItalicBit:
    case BoldBit:
    case ItalicBit | BoldBit:
        ItalCB->setChecked(FFont.FontStyle & ItalicBit);
        BoldCB->setChecked(FFont.FontStyle & BoldBit);
        break;
    default: // no valid style: the boxes stay as the last use left them
        break;
    }
    ShowSize();
    DrawColorGlyph(GlyphWidth, GlyphHeight, FFont.FontColor);
    ColorBtn->setIcon(FColorGlyph);
}

void TPSFontDialog::Store(TPSFontRec& Font) {
    FFont.FontType = static_cast<std::uint16_t>(std::max(0, FontButtons->checkedId()));
    FFont.FontStyle =
        static_cast<std::uint16_t>((BoldCB->isChecked() ? BoldBit : 0) |
                                   (ItalCB->isChecked() ? ItalicBit : 0));
    Font = FFont;
}

bool TPSFontDialog::Execute(TPSFontRec& Font) {
    Load(Font);
    // The keyboard starts on the chosen font, so that the arrow keys move from it.
    FontButtons->checkedButton()->setFocus();
    if (exec() != QDialog::Accepted) return false;
    Store(Font);
    return true;
}

void TPSFontDialog::SizeCBChange(const QString& Text) {
    if (FRestoring) return;
    long V = 0;
    if (TryStrToInt(Text.toStdString(), V) && V >= MinFontSize && V <= MaxFontSize) {
        FFont.FontSize = static_cast<std::uint16_t>(V);
        return;
    }
    Beep();
    ShowSize();
    SizeCB->lineEdit()->end(false);
}

void TPSFontDialog::ColorBtnClick() {
    FarbDialog->setCurrentColor(ToQColor(FFont.FontColor));
    if (FarbDialog->exec() != QDialog::Accepted) return;
    FFont.FontColor = FromQColor(FarbDialog->currentColor());
    DrawColorGlyph(GlyphWidth, GlyphHeight, FFont.FontColor);
    ColorBtn->setIcon(FColorGlyph);
}

void TPSFontDialog::DrawColorGlyph(int Width, int Height, std::uint32_t Colour) {
    if (FColorGlyph.size() != QSize(Width, Height)) FColorGlyph = QPixmap(Width, Height);
    FColorGlyph.fill(Qt::white);
    QPainter P(&FColorGlyph);
    P.setPen(Qt::black);
    P.setBrush(ToQColor(Colour));
    // The outline runs through the pixels 2 and Width - 3 (2 and Height - 3): a white margin of
    // two pixels on every side.
    P.drawRect(2, 2, Width - 5, Height - 5);
}

} // namespace zarvo
