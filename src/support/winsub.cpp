// String, path and number-format helpers shared by every part of the program.
#include "support/winsub.h"

#include <clocale>
#include <cmath>
#include <cstdio>
#include <cstdlib>

namespace zarvo {

namespace {
char DecimalChar = '.';
constexpr char PathSep = '/';
} // namespace

std::string StripExtension(const std::string& S) {
    const auto Dot = S.rfind('.');
    return Dot == std::string::npos ? S : S.substr(0, Dot);
}

std::string CombineFileName(const std::string& Folder, const std::string& Name,
                            const std::string& Ext) {
    std::string E = Ext;
    if (!E.empty() && E[0] == '.') E.erase(0, 1);
    std::string N = Name;
    // Only a point in the file name itself is an extension: "~/v1.2/job" still gets one.
    const size_t Base = N.find_last_of(PathSep);
    const size_t Dot = N.find('.', Base == std::string::npos ? 0 : Base + 1);
    if (Dot == std::string::npos && !E.empty()) N += "." + E;
    // A name that holds a folder separator is already a path of its own.
    if (N.find(PathSep) != std::string::npos || Folder.empty()) return N;
    if (Folder.back() == PathSep) return Folder + N;
    return Folder + PathSep + N;
}

std::string ShortenPath(const std::string& S, int N) {
    const int Len = static_cast<int>(S.size());
    if (Len < N) return S;
    auto Tail = [&]() {
        const int Keep = N - 2 > 0 ? N - 2 : 0;
        return "..." + (Keep >= Len ? S : S.substr(Len - Keep));
    };
    const auto LastSep = S.rfind(PathSep);
    if (LastSep == std::string::npos) return Tail();
    // 1-based positions as in the description of the algorithm: L is the last separator.
    const int L = static_cast<int>(LastSep) + 1;
    for (int J = L - 1; J >= 1; --J) {
        if (S[J - 1] != PathSep) continue;
        const int CandLen = J + 3 + (Len - L + 1);
        if (CandLen <= N) return S.substr(0, J) + "..." + S.substr(L - 1);
    }
    return Tail();
}

std::string ExtractFileName(const std::string& Path) {
    const auto Sep = Path.rfind(PathSep);
    return Sep == std::string::npos ? Path : Path.substr(Sep + 1);
}

std::string ExtractFilePath(const std::string& Path) {
    const auto Sep = Path.rfind(PathSep);
    return Sep == std::string::npos ? std::string() : Path.substr(0, Sep + 1);
}

void SetDecimalChar(char C) {
    DecimalChar = C;
}
char GetDecimalChar() {
    return DecimalChar;
}

std::string ApplyDecimalChar(const std::string& S) {
    if (DecimalChar == '.') return S;
    std::string R = S;
    const auto Dot = R.find('.');
    if (Dot != std::string::npos) R[Dot] = DecimalChar;
    return R;
}

std::string IntToStrWidth(long long Value, int W) {
    char Buf[64];
    std::snprintf(Buf, sizeof Buf, "%*lld", W > 0 ? W : 0, Value);
    return Buf;
}

std::string RealToStr(int W, int D, double X) {
    if (D < 0) D = 0;
    if (D > 30) D = 30;
    if (!std::isfinite(X)) X = 0.0;
    char Buf[400];
    std::snprintf(Buf, sizeof Buf, "%.*f", D, X);
    std::string S = Buf;
    // The C library writes the point of LC_NUMERIC; the program's own character replaces it.
    const char CPoint = *std::localeconv()->decimal_point;
    if (CPoint != '.')
        for (char& C : S)
            if (C == CPoint) C = '.';
    // A value that rounds to zero is written without a sign.
    if (S[0] == '-' && S.find_first_not_of("-0.") == std::string::npos) S.erase(0, 1);
    if (static_cast<int>(S.size()) < W) S.insert(0, W - S.size(), ' ');
    return ApplyDecimalChar(S);
}

std::string IntToStrZero(long long Value, int W) {
    const unsigned long long Abs =
        Value < 0 ? 0ULL - static_cast<unsigned long long>(Value) : Value;
    std::string S = std::to_string(Abs);
    if (static_cast<int>(S.size()) < W) S.insert(0, W - S.size(), ' ');
    if (Value < 0) {
        if (S[0] == ' ')
            S[0] = '-';
        else
            S.insert(0, 1, '-');
    }
    for (int I = 0; I < W && I < static_cast<int>(S.size()); ++I)
        if (S[I] == ' ') S[I] = '0';
    return S;
}

std::string ByteToHex(std::uint8_t B) {
    static const char Digits[] = "0123456789ABCDEF";
    return {Digits[B >> 4], Digits[B & 15]};
}

long long RoundHalfEven(double X) {
    if (!std::isfinite(X)) return 0;
    if (X > 9.0e18) return 9000000000000000000LL;
    if (X < -9.0e18) return -9000000000000000000LL;
    const double Fl = std::floor(X);
    const double Frac = X - Fl;
    const double Tol = 1e-9 * std::fmax(1.0, std::fabs(X));
    long long N = static_cast<long long>(Fl);
    if (std::fabs(Frac - 0.5) <= Tol) return (N % 2 == 0) ? N : N + 1;
    return Frac < 0.5 ? N : N + 1;
}

} // namespace zarvo
