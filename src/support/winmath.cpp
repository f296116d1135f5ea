// Real arithmetic for the plot scales and number labels with decimal prefixes.
#include "support/winmath.h"

#include "support/localefmt.h"
#include "support/winsub.h"

#include <cmath>
#include <cstdio>

namespace zarvo {

namespace {
const double Ln10 = std::log(10.0);

const double PrefixFactors[11] = {0, 1e15, 1e12, 1e9, 1e6, 1e3, 1.0, 1e-3, 1e-6, 1e-9, 1e-12};

std::string WithLocalePoint(std::string S) {
    const char P = LocaleDecimalChar();
    for (char& C : S)
        if (C == '.') C = P;
    return S;
}

// The toolkit's fixed format: rounded to Precision significant digits, written with exactly
// Digits decimals; exponent form when the whole part has more digits than Precision.
std::string FixedFormat(double X, int Precision, int Digits) {
    if (Precision < 1) Precision = 1;
    if (Precision > 18) Precision = 18;
    if (Digits < 0) Digits = 0;
    if (Digits > 18) Digits = 18;
    char Buf[128];
    if (X == 0.0) {
        std::snprintf(Buf, sizeof Buf, "%.*f", Digits, 0.0);
        return WithLocalePoint(Buf);
    }
    // Round to Precision significant digits through the %e conversion, then re-read.
    std::snprintf(Buf, sizeof Buf, "%.*e", Precision - 1, X);
    const double R = std::strtod(Buf, nullptr);
    const double A = std::fabs(R);
    const int WholeDigits = A < 1.0 ? 1 : static_cast<int>(std::floor(std::log10(A))) + 1;
    if (WholeDigits > Precision) {
        std::snprintf(Buf, sizeof Buf, "%.*E", Precision - 1, R);
        return WithLocalePoint(Buf);
    }
    std::snprintf(Buf, sizeof Buf, "%.*f", Digits, R);
    return WithLocalePoint(Buf);
}
} // namespace

const char PrefixChars[11] = {'f', 'p', 'n', '\xB5', 'm', ' ', 'k', 'M', 'G', 'T', '\0'};

double FloorReal(double X) {
    const double I = std::trunc(X);
    return (X < 0 && I != X) ? I - 1.0 : I;
}

double FModReal(double X, double Y) {
    return X - Y * std::trunc(X / Y);
}

double SignTransfer(double X, double S) {
    if (S > 0) return X;
    if (S < 0) return -X;
    return 0.0;
}

double Log10Real(double X) {
    return std::log(X) / Ln10;
}

double PowerReal(double Base, double Exponent) {
    return std::exp(Exponent * std::log(Base));
}

void ScaleToPrefix(double& X, double& Factor, int& Index) {
    const double A = std::fabs(X);
    if (!(A >= 1e-15 && A <= 1e15)) {
        Index = 6;
    } else {
        Index = 1;
        const double Limits[] = {1e-13, 1e-10, 1e-7, 1e-4, 0.1, 999, 999000, 999e6, 999e9};
        for (double L : Limits)
            if (A >= L) ++Index;
    }
    Factor = PrefixFactors[Index];
    X *= Factor;
}

std::string FloatToPrefixStr(double X, int W, int D, const std::string& Unit) {
    double Factor;
    int Index;
    ScaleToPrefix(X, Factor, Index);
    const char P = PrefixChars[Index - 1];
    const double A = std::fabs(X);
    if (D < 0) {
        D = -D - 3;
        if (A < 100) ++D;
        if (A < 10) ++D;
        if (A < 1) ++D;
        if (A < 0.1) D = 0;
        if (D < 0) D = 0;
    }
    if (W == 0) {
        W = D + 3;
        if (D > 0) ++W;
        if (X < 100) --W;
        if (X < 10) --W;
    }
    if (X < 0) ++W;
    const std::string Num = FixedFormat(X, W, D);
    const std::string U = Unit.substr(0, 5);
    if (U.empty()) return P != ' ' ? Num + P : Num;
    if (P != ' ') return Num + ' ' + P + U;
    return Num + ' ' + U + ' ';
}

std::string NormalizedFloatToStr(double X, char Sep, int Digits) {
    double Factor;
    int Index;
    ScaleToPrefix(X, Factor, Index);
    const int E = (Index - 6) * 3;
    if (Digits < 1) Digits = 1;
    if (Digits > 8) Digits = 8;
    const double A = std::fabs(X);
    int C = A < 1 ? 0 : A < 10 ? 1 : A < 100 ? 2 : 3;
    double M = static_cast<double>(RoundHalfEven(A * std::pow(10.0, Digits - C)));
    // Rounding up to a power of ten gains a digit before the point (0.9996 to three digits is
    // 1.00, not 0.1000).
    if (C <= Digits && M >= std::pow(10.0, Digits)) {
        M /= 10.0;
        ++C;
    }
    if (C > Digits) M *= std::pow(10.0, C - Digits);
    char Buf[64];
    std::snprintf(Buf, sizeof Buf, "%.0f", M);
    std::string Text = Buf;
    if (C == 0)
        Text = std::string("0") + Sep + Text;
    else if (C < Digits && C < static_cast<int>(Text.size()))
        Text.insert(C, 1, LocaleDecimalChar());
    if (X < 0) Text = "-" + Text;
    if (Index != 6) Text += "E" + std::to_string(E);
    return Text;
}

} // namespace zarvo
