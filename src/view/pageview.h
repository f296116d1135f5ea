// The page preview: a scaled page with centimetre scales, dot grid and every item, painted
// through the plot engine on any QPainter; shared by the main window and the command line.
#pragma once

#include "plot/qtcanvas.h"
#include "plot/tplot.h"
#include "sheet/sheet.h"
#include "view/pagepicture.h"
#include "view/pictureinputs.h"
#include "view/placement.h"

#include <QImage>

#include <map>
#include <optional>
#include <string>

class QPainter;

namespace zarvo {

struct TViewSize {
    int Width = 0;
    int Height = 0;
};

constexpr int ZoomWholePage = 64;
constexpr int ZoomMin = 1;    // 64 times enlarged
constexpr int ZoomMax = 4096; // 1/64 of the whole page
constexpr int MinViewPixels = 50;

class TPageView {
public:
    explicit TPageView(TSheet& Sheet);
    TPageView(const TPageView&) = delete;
    TPageView& operator=(const TPageView&) = delete;

    TSheet& Sheet() { return FSheet; }
    TPlot& Plot() { return FPlot; }
    TQtCanvas& Canvas() { return FCanvas; }

    // Derives the plot window (page plus margins) from the sheet's paper; run after the paper
    // or orientation changed, then FormResize.
    void SetupPageMapping();
    // Takes the paint box's new size (at least 50 x 50, the corrected size is returned) and
    // keeps the page's aspect ratio.
    TViewSize FormResize(int Width, int Height);
    // Hands zoom and scroll positions to the plot's viewport for the current FViewSize.
    void UpdateViewport();
    // The whole picture on a painter whose device is the paint box. The picture of the sheet
    // (everything but the placement frame) is kept between paints and drawn again only when
    // its inputs (PictureInputs) have changed.
    void Paint(QPainter& Painter);
    // The next paint draws the picture from the sheet even if nothing changed.
    void ForgetPicture() { FPictureInputs.reset(); }
    // Everything the picture of the sheet shows, for the current FViewSize at a pixel ratio.
    void PictureInputs(double PixelRatio, TPictureInputs& In) const;
    // EPS items show their drawings from Source (none: frames only). The source outlives
    // the view or is set back to none first.
    void SetContentSource(TEpsContentSource* Source) { FContent = Source; }
    TEpsContentSource* ContentSource() const { return FContent; }
    // The EPS files that would stop the print job, each with the reason in one line: their
    // items are marked and the reason is their tooltip.
    void SetJobFailures(std::map<std::string, std::string> Failures) {
        FJobFailures = std::move(Failures);
    }
    // Why the topmost EPS item under a paint-box pixel is marked, as the last paint knew it:
    // its file would stop the print job, or else its drawing failed; empty when neither or
    // there is no EPS item there.
    std::string ContentFailureAt(TLogicalPoint Pixel);
    // The picture without the background beside the plot window, on the plot's current
    // canvas (Paint's, or any other the plot was given) for the current FViewSize.
    void PaintPicture();
    // The same, with or without the placement frame (the item being placed is left out
    // either way), or only the settings a paint leaves in the plot.
    using TPictureSteps = zarvo::TPictureSteps;
    void PaintPicture(TPictureSteps Steps);
    // One item; ColorIndex < 0 draws it normally, otherwise highlighted in that plot colour.
    // Draws only during Paint (or between Canvas().Begin and End).
    void DrawItem(const TEPSBox& Item, int ColorIndex);
    // The placement frame in exclusive-or: drawn twice at one place, it is gone again.
    void DrawDragFrame();
    // The placement frame of an item at its origin.
    TDragRect DragRectOf(const TEPSBox& Item) const;

    // Paint-box pixels and page centimetres.
    void PixelToWorld(TLogicalPoint Pixel, double& X, double& Y);
    void WorldToPixel(double X, double Y, TLogicalPoint& Pixel);

    // Zoom commands; false when the zoom is already at its limit.
    bool ZoomLarger();
    bool ZoomSmaller();
    void ZoomFit() { FZoom = ZoomWholePage; }
    void SetGridWidth(int Millimetres);

    // What the window shows around the picture, as the last UpdateViewport found it.
    bool HorzScrollVisible() const { return FHorzScrollVisible; }
    bool VertScrollVisible() const { return FVertScrollVisible; }
    // The four-way move cursor belongs on the preview while an item is being placed.
    bool PlacingCursor() const { return FPlacement.Active(); }

    // Preview state.
    int FZoom = ZoomWholePage;                     // zoom divisor; the zoom factor is 64 / FZoom
    double FMargins[4] = {0.75, 0.25, 0.25, 0.75}; // left, top, right, bottom, cm
    int FMarginUnits[4] = {75, 25, 25, 75};        // the margins in logical units
    double FPageAspect = 1.0;                      // width / height of the plot window
    bool FViewReady = false;
    TViewSize FViewSize{MinViewPixels, MinViewPixels};
    double FPageFracX = 1.0; // share of the width the plot window fills at zoom 64
    double FPageFracY = 1.0;
    int FGridWidth = 5; // mm
    int FGridStep = 50; // logical units
    int FHorzPos = 0;   // scroll positions, 0..100
    int FVertPos = 15;
    TColor FFaceColor = RGBColor(240, 240, 240); // the window's face colour around the page
    TCmPair FPlotWindow;                         // page plus margins, cm
    // The item being placed: drawn only as its frame while the placement lasts.
    TPlacement FPlacement;

private:
    TSheet& FSheet;
    TQtCanvas FCanvas;
    TPlot FPlot;
    TPagePicture FPainter{FPlot, FCanvas};
    TEpsContentSource* FContent = nullptr;
    std::map<std::string, std::string> FJobFailures;
    bool FHorzScrollVisible = false;
    bool FVertScrollVisible = false;
    // The picture of the last paint and the inputs it was drawn from (none: draw afresh).
    QImage FPicture;
    std::optional<TPictureInputs> FPictureInputs;
    TPictureInputs FInputsScratch;
};

} // namespace zarvo
