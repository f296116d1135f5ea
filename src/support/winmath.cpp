// Real arithmetic for the plot scales and number labels with decimal prefixes.
#include "support/winmath.h"

#include "support/localefmt.h"
#include "support/winsub.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>

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
// Digits decimals; exponent form when the whole part has more digits than Precision. The value
// is rounded once, at whichever of the two positions comes first: rounding to Precision digits
// and then again to Digits decimals would turn 1.3496 into 1.35 and then 1.4.
std::string FixedFormat(double X, int Precision, int Digits) {
    if (Precision < 1) Precision = 1;
    if (Precision > 18) Precision = 18;
    if (Digits < 0) Digits = 0;
    if (Digits > 18) Digits = 18;
    char Buf[400];
    if (X == 0.0 || !std::isfinite(X)) {
        std::snprintf(Buf, sizeof Buf, "%.*f", Digits, X == 0.0 ? 0.0 : X);
        return WithLocalePoint(Buf);
    }
    // The decimal exponent of X once rounded to Precision significant digits.
    std::snprintf(Buf, sizeof Buf, "%.*e", Precision - 1, X);
    const int Exp = std::atoi(std::strchr(Buf, 'e') + 1);
    if (Exp + 1 > Precision) {
        std::snprintf(Buf, sizeof Buf, "%.*E", Precision - 1, X);
        return WithLocalePoint(Buf);
    }
    const int Kept = std::min(Digits, Precision - 1 - Exp);
    std::snprintf(Buf, sizeof Buf, "%.*f", Kept, X);
    std::string S = Buf;
    if (Kept < Digits) {
        if (Kept == 0) S += '.';
        S.append(static_cast<size_t>(Digits - Kept), '0');
    }
    return WithLocalePoint(S);
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
    if (!std::isfinite(X)) return std::isnan(X) ? "NAN" : X < 0 ? "-INF" : "INF";
    // One correct rounding of the exact value through the C library's conversions, which
    // work over the whole range of doubles; the digits before the point are counted after
    // rounding, so 9.9996 to three digits is 10.0 and 0.99996 to two digits is 1.0.
    const double A = std::fabs(X);
    char Buf[400];
    std::string Digs;
    int C;
    if (A < 1) {
        std::snprintf(Buf, sizeof Buf, "%.*f", Digits, A);
        if (Buf[0] == '1') {
            C = 1;
            Digs = "1" + std::string(static_cast<size_t>(Digits - 1), '0');
        } else {
            C = 0;
            Digs = Buf + 2;
            const size_t First = Digs.find_first_not_of('0');
            Digs = First == std::string::npos ? "0" : Digs.substr(First);
        }
    } else {
        std::snprintf(Buf, sizeof Buf, "%.*e", Digits - 1, A);
        const char* EPos = std::strchr(Buf, 'e');
        C = std::atoi(EPos + 1) + 1;
        for (const char* P = Buf; P != EPos; ++P)
            if (*P != '.') Digs += *P;
        // More digits before the point than asked: the rest are zeros, never more digits.
        if (C > Digits) Digs.append(static_cast<size_t>(C - Digits), '0');
    }
    std::string Text = Digs;
    if (C == 0)
        Text = std::string("0") + Sep + Text;
    else if (C < Digits)
        Text.insert(static_cast<size_t>(C), 1, LocaleDecimalChar());
    if (X < 0) Text = "-" + Text;
    if (Index != 6) Text += "E" + std::to_string(E);
    return Text;
}

} // namespace zarvo
