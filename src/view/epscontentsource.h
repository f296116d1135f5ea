// Where the page picture gets the drawings of its EPS files from: a picture per item, ready,
// pending or failed; the renderer behind it works in the background.
#pragma once

#include "sheet/epsbox.h"
#include "plot/imageruns.h"

#include <QImage>
#include <QRect>

#include <memory>
#include <string>

namespace zarvo {

// The drawing of one EPS item's box, as far as it is known.
struct TContentPicture {
    std::shared_ptr<const QImage> Image; // none while pending or failed
    // The image's painted runs, for blending only those; none: drawn by QPainter.
    std::shared_ptr<const TImageRuns> Runs;
    std::string Failure; // why there is none, one line; empty otherwise
    // The part of the whole picture (Width x Height) the image shows, in its pixels; the
    // whole picture unless the box is far larger than the view.
    QRect Part;
    int Width = 0;
    int Height = 0;
    bool operator==(const TContentPicture& O) const {
        return Image == O.Image && Runs == O.Runs && Failure == O.Failure && Part == O.Part &&
               Width == O.Width && Height == O.Height;
    }
    bool operator!=(const TContentPicture& O) const { return !(*this == O); }
};

class TEpsContentSource {
public:
    virtual ~TEpsContentSource() = default;
    // The region of Item's file that its stored box (Offset, Size) covers, Width x Height
    // device pixels, transparent where the file paints nothing; of that only Part (y down).
    // Asks for a render when none is known; never waits for one.
    virtual TContentPicture Picture(const TEPSBox& Item, int Width, int Height, QRect Part) = 0;
    TContentPicture Picture(const TEPSBox& Item, int Width, int Height) {
        return Picture(Item, Width, Height, QRect(0, 0, Width, Height));
    }
    // Renders not asked for since the last call are no longer needed and are cancelled.
    virtual void EndPaint() = 0;
};

// The position the print job gives a length in cm: rounded to whole millimetres.
double JobMillimetres(double Cm);

} // namespace zarvo
