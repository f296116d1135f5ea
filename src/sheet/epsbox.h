// One placed item of a sheet (an EPS file or a one-line text) and the records it is made of.
#pragma once

#include "sheet/cmpair.h"
#include "sheet/defaults.h"

#include <cstdint>
#include <string>

namespace zarvo {

// PostScript points per centimetre, on the printer and in the preview alike.
constexpr double PtPerCm = 28.35;

// The font of a text item: font number (row of the font table), size in points, angle in
// degrees (always 0), style bits (1 italic, 2 bold) and preview colour (red in the low byte).
struct TPSFontRec {
    std::uint16_t FontType = DefaultFontType;
    std::uint16_t FontSize = DefaultFontSize;
    std::uint16_t FontAngle = 0;
    std::uint16_t FontStyle = DefaultFontStyle;
    std::uint32_t FontColor = 0;
    bool operator==(const TPSFontRec& O) const {
        return FontType == O.FontType && FontSize == O.FontSize && FontAngle == O.FontAngle &&
               FontStyle == O.FontStyle && FontColor == O.FontColor;
    }
};

// Item kinds.
constexpr std::uint8_t KindStdSize = 0; // EPS file without bounding box: standard size
constexpr std::uint8_t KindBBox = 1;    // EPS file sized by its bounding box
constexpr std::uint8_t KindText = 2;    // one-line text

class TEPSBox {
public:
    TEPSBox() = default;
    // A new item: no name, Kind 0, at (0, 0), no offset, the given size, the default font.
    explicit TEPSBox(const TCmPair& StandardSize) : Size(StandardSize) {}

    void CopyFrom(const TEPSBox& Source) { *this = Source; }
    bool IsText() const { return Kind == KindText; }

    std::string Name; // the EPS file's full path, or the text
    std::uint8_t Kind = KindStdSize;
    TCmPair Origin; // lower-left corner on the page (a text's baseline start)
    TCmPair Offset; // lower-left corner of the bounding box in the file's coordinates
    TCmPair Size = StandardBoxSize;
    TPSFontRec Font;
};

// Whole points of a length in centimetres (halves to the even neighbour).
long long CmToWholePoints(double Cm);

} // namespace zarvo
