// Single-line edit control for real numbers: formatted display, locale-aware reading, key filter.
#pragma once

#include <QLineEdit>

namespace zarvo {

// How TFloatEdit writes a value. The first five are the usual float formats; ffNormalized is
// engineering notation (an exponent that is a multiple of 3).
enum TNumFloatFormat { ffGeneral, ffExponent, ffFixed, ffNumber, ffCurrency, ffNormalized };

enum TAlignment { taLeftJustify, taRightJustify, taCenter };

class TFloatEdit : public QLineEdit {
    Q_OBJECT
public:
    explicit TFloatEdit(QWidget* Parent = nullptr);

    // Changing any of these four re-writes the text from the last value read (FValue).
    int Digits() const { return FDigits; } // significant digits
    void SetDigits(int Value);
    int Decimal() const { return FDecimal; } // decimals
    void SetDecimal(int Value);
    TNumFloatFormat FloatFormat() const { return FFloatFormat; }
    void SetFloatFormat(TNumFloatFormat Value);
    TAlignment Alignment() const { return FAlignment; }
    void SetAlignment(TAlignment Value);

    // Select the whole text when the control gets the focus other than by a mouse click.
    bool AutoSelect() const { return FAutoSelect; }
    void SetAutoSelect(bool Value) { FAutoSelect = Value; }

    // Reads the text as a number in the locale's format and remembers it; text that is no
    // number reads as 0 (and 0 is remembered).
    double Value();
    // Writes X into the text, formatted; the remembered value stays as it was.
    void SetValue(double X);

    // The text that SetValue(X) writes with the current settings.
    QString FormatValue(double X) const;

protected:
    void keyPressEvent(QKeyEvent* Event) override;
    void focusInEvent(QFocusEvent* Event) override;

private:
    bool AcceptsChar(QChar C) const;
    void Rewrite();

    int FDigits = 10;
    int FDecimal = 2;
    TNumFloatFormat FFloatFormat = ffFixed;
    TAlignment FAlignment = taLeftJustify;
    bool FAutoSelect = true;
    double FValue = 0.0;
};

} // namespace zarvo
