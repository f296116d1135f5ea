// The user's locale decimal separator and locale-tolerant conversions of doubles to and from text.
#include "support/localefmt.h"

#include <QLocale>

#include <cerrno>
#include <climits>
#include <clocale>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace zarvo {

namespace {
char OverrideChar = 0;

std::string Trimmed(const std::string& S) {
    const auto B = S.find_first_not_of(" \t");
    if (B == std::string::npos) return {};
    const auto E = S.find_last_not_of(" \t");
    return S.substr(B, E - B + 1);
}
} // namespace

char LocaleDecimalChar() {
    if (OverrideChar) return OverrideChar;
    static const char FromLocale = [] {
        const QString P = QLocale::system().decimalPoint();
        return (P.size() == 1 && P[0].unicode() < 128) ? static_cast<char>(P[0].unicode()) : '.';
    }();
    return FromLocale;
}

void SetLocaleDecimalChar(char C) {
    OverrideChar = C;
}

bool TryStrToFloat(const std::string& S, double& Value) {
    std::string T = Trimmed(S);
    if (T.empty() || T.size() > 400) return false;
    int Seps = 0;
    for (char& C : T) {
        if (C == ',') C = '.';
        if (C == '.') ++Seps;
        // Only plain decimal notation: no hexadecimal floats, no "inf" or "nan".
        if (!std::strchr("0123456789+-.eE", C)) return false;
    }
    if (Seps > 1) return false;
    // strtod follows LC_NUMERIC; parse in the "C" way by swapping in the C locale's point.
    const char LocalePoint = *std::localeconv()->decimal_point;
    if (LocalePoint != '.')
        for (char& C : T)
            if (C == '.') C = LocalePoint;
    errno = 0;
    char* End = nullptr;
    const double V = std::strtod(T.c_str(), &End);
    if (End == T.c_str() || *End != '\0' || !std::isfinite(V)) return false;
    Value = V;
    return true;
}

double StrToFloatDef(const std::string& S, double Default) {
    double V = Default;
    return TryStrToFloat(S, V) ? V : Default;
}

bool TryStrToInt(const std::string& S, long& Value) {
    const std::string T = Trimmed(S);
    if (T.empty()) return false;
    std::size_t I = 0;
    bool Neg = false;
    if (T[0] == '+' || T[0] == '-') {
        Neg = T[0] == '-';
        I = 1;
    }
    if (I >= T.size()) return false;
    long long V = 0;
    for (; I < T.size(); ++I) {
        if (T[I] < '0' || T[I] > '9') return false;
        V = V * 10 + (T[I] - '0');
        if (V > 2147483648LL) return false;
    }
    if (Neg) V = -V;
    if (V > INT_MAX || V < INT_MIN) return false;
    Value = static_cast<long>(V);
    return true;
}

std::string FloatToFixed(double X, int D) {
    if (!std::isfinite(X)) X = 0.0;
    char Buf[400];
    std::snprintf(Buf, sizeof Buf, "%.*f", D < 0 ? 0 : D, X);
    std::string S = Buf;
    if (S[0] == '-' && S.find_first_not_of("-0.,") == std::string::npos) S.erase(0, 1);
    // snprintf writes the C library's point; put the user's separator in its place.
    const char CPoint = *std::localeconv()->decimal_point;
    for (char& C : S)
        if (C == CPoint || C == '.') C = LocaleDecimalChar();
    return S;
}

} // namespace zarvo
