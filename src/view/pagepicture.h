// Draws the page picture (page, scales, grid dots, items) from its inputs alone.
#pragma once

#include "plot/qtcanvas.h"
#include "plot/tplot.h"
#include "plot/imageruns.h"
#include "view/pictureinputs.h"

#include <QImage>
#include <QRectF>

#include <vector>

namespace zarvo {

// What a drawing pass does: everything, or only leave in the plot the settings (mapping,
// origin, axes, pen and text state) that a full pass leaves, without drawing.
enum class TPictureSteps { All, WithoutDragFrame, SettingsOnly };

class TPagePicture {
public:
    // Draws with Plot, whose canvas is Canvas for Render and any canvas for Draw.
    TPagePicture(TPlot& Plot, TQtCanvas& Canvas) : FPlot(Plot), FCanvas(Canvas) {}

    // The picture in device pixels of the inputs' pixel ratio, the face colour around it.
    // Reuses Image's memory when its size fits.
    void Render(const TPictureInputs& In, QImage& Image);
    // The picture on the plot's current canvas, without the face colour beside the plot
    // window; the placement frame is not part of it.
    void Draw(const TPictureInputs& In, TPictureSteps Steps);
    // One item; ColorIndex < 0 draws it normally, otherwise highlighted in that plot colour.
    static void DrawItem(TPlot& Plot, const TEPSBox& Item, int ColorIndex);
    // Where an EPS item's drawing goes, in the canvas's device pixels: the box placed as the
    // print job places it.
    static QRectF ContentRect(const TPlot& Plot, const TEPSBox& Item);
    // The same in whole device pixels at a pixel ratio, each edge at its nearest pixel edge:
    // the size a drawing is rendered at and where it is copied to.
    static QRect ContentPixels(const QRectF& Rect, double PixelRatio);

private:
    void DrawGridDots(const TPictureInputs& In);
    void DrawContent(const TEPSBox& Item, const TContentPicture& Content);
    void DrawFailureMark(const TEPSBox& Item);
    // Blends the drawings DrawContent has queued, in their order.
    void BlendQueued();

    TPlot& FPlot;
    TQtCanvas& FCanvas;
    // The image Render draws on, while it does: drawings are blended straight into its pixels.
    QImage* FTarget = nullptr;
    // Drawings waiting to be blended onto FTarget together; whatever else is drawn first
    // has them blended.
    std::vector<TImageRuns::TPlaced> FQueued;
};

} // namespace zarvo
