// Lines of PostScript files as the structuring conventions see them: line ends, structuring
// comments and the data sections they announce. Shared by the EPS header reader and the copy.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

namespace zarvo {

// A line ends at CR, at LF or at the pair CR LF.
constexpr std::uint8_t DscCR = 13, DscLF = 10;

inline bool IsDscLineEnd(std::uint8_t B) {
    return B == DscCR || B == DscLF;
}

// The number of bytes before the first CR or LF among the N bytes at P (N when there is none).
// Large blocks are searched with memchr, not byte by byte.
std::size_t FindDscLineEnd(const std::uint8_t* P, std::size_t N);

// Whether a line that starts with these bytes is a structuring comment ("%!" or "%%" in
// column 1), which must not count as one of an enclosing job's.
inline bool IsStructuringComment(const char* P, std::size_t N) {
    return N >= 2 && P[0] == '%' && (P[1] == '!' || P[1] == '%');
}

// A data section announced by "%%BeginData:" or "%%BeginBinary:": how much raw data follows
// the comment's line end. The data is no text: no line in it starts a comment.
struct TDataSection {
    bool Present = false;
    bool Lines = false;   // the count is in lines (CR, LF or CR LF each), not bytes
    long long Count = -1; // -1: no readable count, the data runs to the end of the file
};

// The section a comment line announces; Present is false for any other line.
TDataSection DataSectionOf(const std::string& Line);

// The longest start of a line that DataSectionOf and the prefix rule need to see.
constexpr std::size_t DscHeadSize = 256;

} // namespace zarvo
