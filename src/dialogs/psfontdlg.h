// Modal dialog that edits the font of text items: PostScript font, size, bold, italic, colour.
#pragma once

#include "sheet/epsbox.h"

#include <QColor>
#include <QDialog>
#include <QPixmap>

#include <cstdint>

class QButtonGroup;
class QCheckBox;
class QColorDialog;
class QComboBox;
class QGroupBox;
class QPushButton;
class QToolButton;

namespace zarvo {

class TPSFontDialog : public QDialog {
    Q_OBJECT
public:
    explicit TPSFontDialog(QWidget* Parent = nullptr);

    // Shows the dialog for Font; true and Font replaced on OK, false and Font untouched else.
    bool Execute(TPSFontRec& Font);

    // The two halves of Execute: the caller's record into the controls, and the result back.
    void Load(const TPSFontRec& Font);
    void Store(TPSFontRec& Font);

    // Font sizes the size box accepts, in points.
    static constexpr int MinFontSize = 1;
    static constexpr int MaxFontSize = 999;

    // Every change of the size text: a whole size in range is taken, anything else beeps and
    // puts the last valid size back.
    void SizeCBChange(const QString& Text);
    // Lets the user choose the colour; on confirmation it becomes the font's colour.
    void ColorBtnClick();
    // Paints the colour sample: white, with a black-outlined field of Colour inside a margin of
    // two pixels.
    void DrawColorGlyph(int Width, int Height, std::uint32_t Colour);

    // A colour in the form the font record keeps it (red in the low byte, then green, blue).
    static QColor ToQColor(std::uint32_t Colour);
    static std::uint32_t FromQColor(const QColor& Colour);

    const TPSFontRec& WorkingFont() const { return FFont; }
    const QPixmap& ColorGlyph() const { return FColorGlyph; }

    QGroupBox* FontRG;
    QButtonGroup* FontButtons;
    QCheckBox* BoldCB;
    QCheckBox* ItalCB;
    QComboBox* SizeCB;
    QToolButton* ColorBtn;
    QColorDialog* FarbDialog;
    QPushButton* OKBtn;
    QPushButton* CancelBtn;

private:
    void ShowSize();

    TPSFontRec FFont;
    QPixmap FColorGlyph;
    bool FRestoring = false;
};

} // namespace zarvo
