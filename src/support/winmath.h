// Real arithmetic for the plot scales and number labels with decimal prefixes.
#pragma once

#include <string>

namespace zarvo {

double FloorReal(double X);
double FModReal(double X, double Y);
double SignTransfer(double X, double S);
double Log10Real(double X);
double PowerReal(double Base, double Exponent);

// The prefix letters f, p, n, µ (byte B5), m, blank, k, M, G, T in index order 1 to 10.
extern const char PrefixChars[11];

// Chooses a decimal prefix for X and scales X into its range.
void ScaleToPrefix(double& X, double& Factor, int& Index);

// X with a prefix letter and a unit, e.g. "1.50 kV"; D < 0 asks for |D| significant digits.
std::string FloatToPrefixStr(double X, int W, int D, const std::string& Unit);

// X with Digits significant digits and an exponent that is a multiple of 3, e.g. "1.50E3".
std::string NormalizedFloatToStr(double X, char Sep, int Digits);

} // namespace zarvo
