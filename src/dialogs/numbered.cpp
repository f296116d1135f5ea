// Single-line edit control for real numbers: formatted display, locale-aware reading, key filter.
#include "dialogs/numbered.h"

#include "dialogs/beep.h"
#include "support/localefmt.h"
#include "support/winmath.h"

#include <QFocusEvent>
#include <QKeyEvent>
#include <QLocale>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <string>

namespace zarvo {

namespace {

constexpr int MaxPrecision = 18;

// The decimal digits of X rounded to P significant digits, and the power of ten of the first.
struct TDecimalDigits {
    std::string Digits; // exactly P digits
    int Exponent = 0;
    bool Negative = false;
};

TDecimalDigits SplitDigits(double X, int P) {
    char Buf[64];
    std::snprintf(Buf, sizeof Buf, "%.*e", P - 1, X);
    TDecimalDigits R;
    R.Negative = Buf[0] == '-';
    const char* C = Buf;
    for (; *C && *C != 'e'; ++C)
        if (*C >= '0' && *C <= '9') R.Digits.push_back(*C);
    if (*C == 'e') R.Exponent = std::atoi(C + 1);
    return R;
}

QString Sep() {
    return QString(QChar(LocaleDecimalChar()));
}

// The separator of thousands for ffNumber: the locale's, unless it would be mistaken for the
// decimal separator in use.
QString GroupSeparator() {
    const QString G = QLocale().groupSeparator();
    if (!G.isEmpty() && G != Sep()) return G;
    return LocaleDecimalChar() == ',' ? QStringLiteral(".") : QStringLiteral(",");
}

QString Digits(const std::string& S) {
    return QString::fromLatin1(S.data(), static_cast<qsizetype>(S.size()));
}

std::string StripTrailingZeros(std::string S) {
    while (!S.empty() && S.back() == '0')
        S.pop_back();
    return S;
}

QString ExponentPart(int E, bool AlwaysSign, int MinDigits) {
    QString Num = QString::number(std::abs(E));
    while (Num.size() < MinDigits)
        Num.prepend('0');
    QString S = "E";
    if (E < 0)
        S += '-';
    else if (AlwaysSign)
        S += '+';
    return S + Num;
}

// d.ddd without trailing zeros, then the exponent: the scientific form of ffGeneral, also
// used by ffFixed and ffNumber for numbers with more whole digits than the precision.
QString GeneralScientific(const TDecimalDigits& D, int ExpDigits) {
    const std::string Rest = StripTrailingZeros(D.Digits.substr(1));
    QString S = D.Negative ? "-" : "";
    S += QChar(D.Digits[0]);
    if (!Rest.empty()) S += Sep() + Digits(Rest);
    return S + ExponentPart(D.Exponent, false, ExpDigits);
}

// Inserts the thousands separator into the whole part of a formatted number.
QString Grouped(const QString& Text) {
    int Start = Text.startsWith('-') ? 1 : 0;
    int End = Start;
    while (End < Text.size() && Text[End].isDigit())
        ++End;
    QString S = Text;
    for (int I = End - 3; I > Start; I -= 3)
        S.insert(I, GroupSeparator());
    return S;
}

QString FixedFormat(double X, int P, int D, bool Group) {
    if (X == 0.0) return D > 0 ? "0" + Sep() + QString(D, '0') : QStringLiteral("0");
    const TDecimalDigits R = SplitDigits(X, P);
    if (R.Exponent + 1 > P) return GeneralScientific(R, 0);
    QString S;
    if (R.Exponent + 1 + D <= P) {
        // The decimals bind more than the precision: round once, at the last decimal.
        char Buf[400];
        std::snprintf(Buf, sizeof Buf, "%.*f", D, X);
        for (const char* C = Buf; *C; ++C)
            S += (*C >= '0' && *C <= '9') || *C == '-' ? QString(QChar(*C)) : Sep();
        // No minus in front of a number that rounds to zero.
        if (S.startsWith('-') && std::none_of(S.begin(), S.end(), [](QChar C) {
                return C.unicode() >= '1' && C.unicode() <= '9';
            }))
            S.remove(0, 1);
    } else {
        // The precision binds: the P digits, then zeros up to D decimals.
        const int E = R.Exponent;
        std::string Whole, Frac;
        if (E >= 0) {
            Whole = R.Digits.substr(0, static_cast<std::size_t>(E) + 1);
            Frac = R.Digits.substr(static_cast<std::size_t>(E) + 1);
        } else {
            Whole = "0";
            Frac = std::string(static_cast<std::size_t>(-E - 1), '0') + R.Digits;
        }
        Frac.resize(static_cast<std::size_t>(D), '0');
        S = (R.Negative ? "-" : "") + Digits(Whole);
        if (D > 0) S += Sep() + Digits(Frac);
    }
    return Group ? Grouped(S) : S;
}

QString GeneralFormat(double X, int P, int ExpDigits) {
    if (X == 0.0) return QStringLiteral("0");
    const TDecimalDigits R = SplitDigits(X, P);
    const int E = R.Exponent;
    if (E + 1 > P || E < -5) return GeneralScientific(R, ExpDigits);
    std::string Whole, Frac;
    if (E >= 0) {
        Whole = R.Digits.substr(0, static_cast<std::size_t>(E) + 1);
        Frac = StripTrailingZeros(R.Digits.substr(static_cast<std::size_t>(E) + 1));
    } else {
        Whole = "0";
        Frac = std::string(static_cast<std::size_t>(-E - 1), '0') +
               StripTrailingZeros(R.Digits);
    }
    QString S = (R.Negative ? "-" : "") + Digits(Whole);
    if (!Frac.empty()) S += Sep() + Digits(Frac);
    return S;
}

QString ExponentFormat(double X, int P, int ExpDigits) {
    const TDecimalDigits R = SplitDigits(X, P);
    QString S = R.Negative ? "-" : "";
    S += QChar(R.Digits[0]);
    if (P > 1) S += Sep() + Digits(R.Digits.substr(1));
    return S + ExponentPart(X == 0.0 ? 0 : R.Exponent, true, ExpDigits);
}

// The text of a formatted number made plain for the number parser: thousands separators,
// currency symbol and blanks removed, a bracketed (negative) amount given its sign.
QString Plain(const QString& Text, TNumFloatFormat Format) {
    QString S = Text.trimmed();
    if (Format == ffNumber) S.remove(GroupSeparator());
    if (Format == ffCurrency) {
        const QLocale L = QLocale();
        for (auto F : {QLocale::CurrencySymbol, QLocale::CurrencyIsoCode,
                       QLocale::CurrencyDisplayName})
            if (!L.currencySymbol(F).isEmpty()) S.remove(L.currencySymbol(F));
        if (L.groupSeparator() != L.decimalPoint()) S.remove(L.groupSeparator());
        S.remove(QChar(' '));
        S.remove(QChar(0xA0));
        S.remove(QChar(0x202F));
        S.replace(QChar(0x2212), '-'); // some locales write a typographic minus
        if (S.startsWith('(') && S.endsWith(')')) S = "-" + S.mid(1, S.size() - 2);
    }
    return S;
}

} // namespace

TFloatEdit::TFloatEdit(QWidget* Parent) : QLineEdit(Parent) {
    SetAlignment(taLeftJustify);
    SetValue(0.0);
}

void TFloatEdit::SetDigits(int Value) {
    if (Value == FDigits) return;
    FDigits = Value;
    Rewrite();
}

void TFloatEdit::SetDecimal(int Value) {
    if (Value == FDecimal) return;
    FDecimal = Value;
    Rewrite();
}

void TFloatEdit::SetFloatFormat(TNumFloatFormat Value) {
    if (Value == FFloatFormat) return;
    FFloatFormat = Value;
    Rewrite();
}

void TFloatEdit::SetAlignment(TAlignment Value) {
    const bool Changed = Value != FAlignment;
    FAlignment = Value;
    // Qt mirrors left and right by itself when the reading order is right to left.
    const Qt::Alignment Horizontal = Value == taRightJustify ? Qt::AlignRight
                                     : Value == taCenter     ? Qt::AlignHCenter
                                                             : Qt::AlignLeft;
    setAlignment(Horizontal | Qt::AlignVCenter);
    if (Changed) Rewrite();
}

void TFloatEdit::Rewrite() {
    SetValue(FValue);
}

QString TFloatEdit::FormatValue(double X) const {
    if (std::isnan(X)) return QStringLiteral("NAN");
    if (std::isinf(X)) return X < 0 ? QStringLiteral("-INF") : QStringLiteral("INF");
    const int P = std::clamp(FDigits, 1, MaxPrecision);
    const int D = std::clamp(FDecimal, 0, MaxPrecision);
    const int ExpDigits = std::clamp(FDecimal, 0, 4);
    switch (FFloatFormat) {
    case ffGeneral:
        return GeneralFormat(X, P, ExpDigits);
    case ffExponent:
        return ExponentFormat(X, P, ExpDigits);
    case ffFixed:
        return FixedFormat(X, P, D, false);
    case ffNumber:
        return FixedFormat(X, P, D, true);
    case ffCurrency: // entirely the locale's: symbol, its place, its separators
        return QLocale().toCurrencyString(X, QString(), D);
    case ffNormalized:
        return QString::fromLatin1(NormalizedFloatToStr(X, LocaleDecimalChar(), FDigits).c_str());
    }
    return QString();
}

void TFloatEdit::SetValue(double X) {
    setText(FormatValue(X));
}

double TFloatEdit::Value() {
    const QString S = Plain(text(), FFloatFormat);
    double V = 0.0;
    // Anything but plain ASCII is no number; TryStrToFloat refuses the rest.
    bool Ok = true;
    for (const QChar C : S)
        if (C.unicode() > 0x7F) Ok = false;
    FValue = Ok && TryStrToFloat(S.toStdString(), V) ? V : 0.0;
    return FValue;
}

bool TFloatEdit::AcceptsChar(QChar C) const {
    const char16_t U = C.unicode();
    if (U >= '0' && U <= '9') return true;
    if (U == '+' || U == '-' || U == 'E' || U == 'e') return true;
    return U == static_cast<unsigned char>(LocaleDecimalChar());
}

void TFloatEdit::keyPressEvent(QKeyEvent* Event) {
    const Qt::KeyboardModifiers Mods = Event->modifiers();
    // Shortcuts (copy, paste, select all, ...) are no typed characters.
    const bool Shortcut =
        (Mods & (Qt::ControlModifier | Qt::MetaModifier)) && !(Mods & Qt::AltModifier);
    const QString Text = Event->text();
    if (Shortcut || Text.isEmpty()) {
        QLineEdit::keyPressEvent(Event);
        return;
    }
    for (const QChar C : Text) {
        const char16_t U = C.unicode();
        // Control characters (Backspace, Tab, Esc, Delete) do their usual work; Enter is passed
        // on too, so that it reaches the dialog's default button.
        if (U < 32 || U == 127) continue;
        if (!AcceptsChar(C)) {
            Beep();
            Event->accept();
            return;
        }
    }
    QLineEdit::keyPressEvent(Event);
}

void TFloatEdit::focusInEvent(QFocusEvent* Event) {
    QLineEdit::focusInEvent(Event);
    const Qt::FocusReason R = Event->reason();
    const bool ByKeyboard = R != Qt::MouseFocusReason && R != Qt::ActiveWindowFocusReason &&
                            R != Qt::PopupFocusReason;
    if (!ByKeyboard) return;
    if (FAutoSelect)
        selectAll();
    else if (hasSelectedText())
        deselect();
}

} // namespace zarvo
