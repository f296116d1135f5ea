// Equality of the page picture's inputs, field by field.
#include "view/pictureinputs.h"

#include <tuple>

namespace zarvo {

// Each comparison unpacks its record with a structured binding, which names every field: a
// field added to the record makes the binding, and so the build, fail until it is compared.

namespace {

bool SameFont(const TPSFontRec& A, const TPSFontRec& B) {
    const auto& [AType, ASize, AAngle, AStyle, AColor] = A;
    const auto& [BType, BSize, BAngle, BStyle, BColor] = B;
    return std::tie(AType, ASize, AAngle, AStyle, AColor) ==
           std::tie(BType, BSize, BAngle, BStyle, BColor);
}

} // namespace

bool SameItem(const TEPSBox& A, const TEPSBox& B) {
    const auto& [AName, AKind, AOrigin, AOffset, ASize, AFont] = A;
    const auto& [BName, BKind, BOrigin, BOffset, BSize, BFont] = B;
    return std::tie(AKind, AOrigin, AOffset, ASize) == std::tie(BKind, BOrigin, BOffset, BSize) &&
           SameFont(AFont, BFont) && AName == BName;
}

bool TPictureInputs::operator==(const TPictureInputs& O) const {
    const auto& [ARatio, AW, AH, AFracX, AFracY, AZoom, AHorz, AVert, AWindow, AMargins, AGrid,
                 AFace, ADecimal, ASelected, AItems, AShown, AContents, AJobFailures] = *this;
    const auto& [BRatio, BW, BH, BFracX, BFracY, BZoom, BHorz, BVert, BWindow, BMargins, BGrid,
                 BFace, BDecimal, BSelected, BItems, BShown, BContents, BJobFailures] = O;
    if (std::tie(ARatio, AW, AH, AFracX, AFracY, AZoom, AHorz, AVert, AWindow, AMargins, AGrid,
                 AFace, ADecimal, ASelected, AShown, AContents, AJobFailures) !=
        std::tie(BRatio, BW, BH, BFracX, BFracY, BZoom, BHorz, BVert, BWindow, BMargins, BGrid,
                 BFace, BDecimal, BSelected, BShown, BContents, BJobFailures))
        return false;
    if (AItems.size() != BItems.size()) return false;
    for (std::size_t I = 0; I < AItems.size(); ++I)
        if (!SameItem(AItems[I], BItems[I])) return false;
    return true;
}

} // namespace zarvo
