// Lines of PostScript files as the structuring conventions see them.
#include "support/dsclines.h"

#include <cstring>
#include <vector>

namespace zarvo {

std::size_t FindDscLineEnd(const std::uint8_t* P, std::size_t N) {
    // LF ends most lines; a CR before it (CR LF, or a file with CR line ends) is found in the
    // shorter stretch before the LF.
    const void* Lf = std::memchr(P, DscLF, N);
    const std::size_t Limit =
        Lf ? static_cast<std::size_t>(static_cast<const std::uint8_t*>(Lf) - P) : N;
    const void* Cr = std::memchr(P, DscCR, Limit);
    return Cr ? static_cast<std::size_t>(static_cast<const std::uint8_t*>(Cr) - P) : Limit;
}

namespace {

std::vector<std::string> Words(const std::string& S) {
    std::vector<std::string> W;
    std::size_t I = 0;
    while (I < S.size()) {
        while (I < S.size() && (S[I] == ' ' || S[I] == '\t'))
            ++I;
        const std::size_t B = I;
        while (I < S.size() && S[I] != ' ' && S[I] != '\t')
            ++I;
        if (I > B) W.push_back(S.substr(B, I - B));
    }
    return W;
}

} // namespace

TDataSection DataSectionOf(const std::string& Line) {
    TDataSection D;
    static const char BeginData[] = "%%BeginData:";
    static const char BeginBinary[] = "%%BeginBinary:";
    std::vector<std::string> W;
    if (Line.compare(0, std::strlen(BeginData), BeginData) == 0) {
        W = Words(Line.substr(std::strlen(BeginData)));
        D.Lines = W.size() >= 3 && W[2] == "Lines";
    } else if (Line.compare(0, std::strlen(BeginBinary), BeginBinary) == 0) {
        W = Words(Line.substr(std::strlen(BeginBinary)));
    } else {
        return D;
    }
    D.Present = true;
    if (!W.empty() && W[0].size() <= 18 &&
        W[0].find_first_not_of("0123456789") == std::string::npos)
        D.Count = std::stoll(W[0]);
    return D;
}

} // namespace zarvo
