// String, path and number-format helpers shared by every part of the program.
#pragma once

#include <cstdint>
#include <string>

namespace zarvo {

// Removes everything from the last '.' of the string on (the search does not stop at a folder).
std::string StripExtension(const std::string& S);

// Builds a full file name from a folder, a name and a default extension.
std::string CombineFileName(const std::string& Folder, const std::string& Name,
                            const std::string& Ext);

// Shortens a path for display to about N characters by replacing folder names with "...".
std::string ShortenPath(const std::string& S, int N);

// The file name without its folder, and the folder (with its trailing separator) of a path.
std::string ExtractFileName(const std::string& Path);
std::string ExtractFilePath(const std::string& Path);

// Decimal separator written by RealToStr; '.' unless the program changes it.
void SetDecimalChar(char C);
char GetDecimalChar();
std::string ApplyDecimalChar(const std::string& S);

std::string IntToStrWidth(long long Value, int W);
std::string RealToStr(int W, int D, double X);
std::string IntToStrZero(long long Value, int W);
std::string ByteToHex(std::uint8_t B);

// Nearest integer, exact halves to the even neighbour. Products such as 30.0 * 28.35 carry a
// binary error of a few ulps; a value within 1e-9 of a half counts as the half.
long long RoundHalfEven(double X);

} // namespace zarvo
