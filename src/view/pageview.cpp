// The page preview: layout, zoom, the picture of the sheet and pixel/centimetre conversions.
#include "view/pageview.h"

#include "support/winsub.h"

#include <QPaintDevice>
#include <QPainter>

#include <algorithm>
#include <climits>
#include <cmath>

namespace zarvo {

namespace {

// The preview draws pages up to 100 m a side; a paper size from an edited file beyond that,
// below zero or not a number is shown clamped, so the layout never divides by zero.
const double MaxPageSide = MaxSheetPaperSide;

double PreviewSide(double Cm) {
    if (!std::isfinite(Cm) || Cm < 0.0) return 0.0;
    return std::min(Cm, MaxPageSide);
}

const TColor DragFrameColor = RGBColor(255, 255, 0);

} // namespace

TPageView::TPageView(TSheet& Sheet) : FPlacement(Sheet, *this), FSheet(Sheet), FPlot(&FCanvas) {
    SetupPageMapping();
    FormResize(FViewSize.Width, FViewSize.Height);
}

void TPageView::SetupPageMapping() {
    const TCmPair Page = FSheet.PageSize();
    const double Width = PreviewSide(Page.X) + FMargins[0] + FMargins[2];
    const double Height = PreviewSide(Page.Y) + FMargins[3] + FMargins[1];
    FPageAspect = Width / Height;
    FPlotWindow = {Width, Height};
    FViewReady = true;
    FPlot.SetPlotArea({Width, Height}, {0.0, 0.0, 0.0, 0.0});
    FGridStep = static_cast<int>(RoundHalfEven(FGridWidth / 10.0 * 100.0));
    FPlot.SetFrame(2, FMargins[0], FMargins[2], FMargins[3], FMargins[1]);
    for (int I = 0; I < 4; ++I)
        FMarginUnits[I] = static_cast<int>(RoundHalfEven(FMargins[I] * 100));
    // Plot coordinates are page centimetres from here on, as after every paint, so that
    // conversions before the first paint agree with those after it.
    FPlot.ClearPlot(false, FFaceColor);
    FPlot.PlotTo(-3, 0, FPlot.Frame().Left, FPlot.Frame().Bottom);
}

TViewSize TPageView::FormResize(int Width, int Height) {
    if (!FViewReady) return FViewSize;
    FViewSize.Width = std::max(Width, MinViewPixels);
    FViewSize.Height = std::max(Height, MinViewPixels);
    const double B = static_cast<double>(FViewSize.Width) / FViewSize.Height;
    if (FPageAspect > B) {
        FPageFracX = 1.0;
        FPageFracY = B / FPageAspect;
    } else {
        FPageFracX = FPageAspect / B;
        FPageFracY = 1.0;
    }
    return FViewSize;
}

void TPageView::UpdateViewport() {
    const int Zoom = std::clamp(FZoom, ZoomMin, ZoomMax);
    const double ZX = FPageFracX * ZoomWholePage / Zoom;
    const double ZY = FPageFracY * ZoomWholePage / Zoom;
    FHorzScrollVisible = ZX > 1.0;
    FVertScrollVisible = ZY > 1.0;
    FPlot.SetViewport({FViewSize.Width, FViewSize.Height},
                      {static_cast<double>(std::clamp(FHorzPos, 0, 100)),
                       static_cast<double>(std::clamp(FVertPos, 0, 100))},
                      {ZX, ZY});
}

bool TPageView::ZoomLarger() {
    if (FZoom < 2) return false;
    FZoom /= 2;
    return true;
}

bool TPageView::ZoomSmaller() {
    if (FZoom > 4095) return false;
    FZoom *= 2;
    return true;
}

void TPageView::SetGridWidth(int Millimetres) {
    FGridWidth = Millimetres;
    FGridStep = static_cast<int>(RoundHalfEven(FGridWidth / 10.0 * 100.0));
}

void TPageView::Paint(QPainter& Painter) {
    QPaintDevice* Device = Painter.device();
    if (Device) {
        FViewSize.Width = std::max(Device->width(), 1);
        FViewSize.Height = std::max(Device->height(), 1);
    }
    UpdateViewport();
    // The kept picture fits a painter that draws in the device's own pixels (a widget's or an
    // image's, at any pixel ratio); any other painter gets the picture drawn afresh.
    const bool Keep = Device && Painter.worldTransform().type() == QTransform::TxNone;
    if (!Keep) {
        PictureInputs(1.0, FInputsScratch);
        FCanvas.Begin(&Painter);
        Painter.fillRect(0, 0, FViewSize.Width, FViewSize.Height,
                         QColor(RedOf(FFaceColor), GreenOf(FFaceColor), BlueOf(FFaceColor)));
        FPainter.Draw(FInputsScratch, TPictureSteps::WithoutDragFrame);
        if (FPlacement.Active()) DrawDragFrame();
        FCanvas.End();
        return;
    }
    const double Ratio = Device->devicePixelRatioF() > 0 ? Device->devicePixelRatioF() : 1.0;
    PictureInputs(Ratio, FInputsScratch);
    if (!FPictureInputs || *FPictureInputs != FInputsScratch) {
        // While an item is placed every mouse move repaints; the sheet underneath is drawn
        // once and then only copied, so that moving the frame costs the same for ten items as
        // for ten thousand.
        FPainter.Render(FInputsScratch, FPicture);
        if (FPictureInputs)
            std::swap(*FPictureInputs, FInputsScratch);
        else
            FPictureInputs = FInputsScratch;
    } else {
        // The plot is left as a paint leaves it (origin, axes, mapping), for the mouse and for
        // whatever the window draws on top; the canvas has no painter, so nothing is drawn.
        FCanvas.Begin(nullptr);
        FPainter.Draw(*FPictureInputs, TPictureSteps::SettingsOnly);
        FCanvas.End();
    }
    Painter.drawImage(QPoint(0, 0), FPicture);
    if (FPlacement.Active()) {
        FCanvas.Begin(&Painter);
        DrawDragFrame();
        FCanvas.End();
    }
}

void TPageView::PictureInputs(double PixelRatio, TPictureInputs& In) const {
    In.PixelRatio = PixelRatio;
    In.ViewWidth = FViewSize.Width;
    In.ViewHeight = FViewSize.Height;
    In.PageFracX = FPageFracX;
    In.PageFracY = FPageFracY;
    In.Zoom = FZoom;
    In.HorzPos = FHorzPos;
    In.VertPos = FVertPos;
    In.PlotWindow = FPlotWindow;
    std::copy(std::begin(FMargins), std::end(FMargins), In.Margins.begin());
    In.GridStep = FGridStep;
    In.FaceColor = FFaceColor;
    In.DecimalChar = GetDecimalChar();
    In.Selected = FPlacement.Index();
    // Assigned element by element, so that the strings of a kept value keep their memory.
    const int Count = FSheet.FItems.Count();
    In.Items.resize(static_cast<std::size_t>(Count));
    for (int I = 0; I < Count; ++I)
        In.Items[static_cast<std::size_t>(I)] = FSheet.FItems.Item(I);
    In.JobFailures.clear();
    if (!FJobFailures.empty()) {
        In.JobFailures.resize(In.Items.size());
        for (std::size_t I = 0; I < In.Items.size(); ++I) {
            if (In.Items[I].IsText()) continue;
            const auto Failed = FJobFailures.find(In.Items[I].Name);
            if (Failed != FJobFailures.end()) In.JobFailures[I] = Failed->second;
        }
    }
    In.ContentShown = FContent != nullptr;
    In.Contents.clear();
    if (!FContent) return;
    // Each drawing at the size its box has on the device now, in device pixels, so that it is
    // sharp at every zoom. Boxes outside the view are not asked for; of a box far larger than
    // the view only the part in view is, in tiles, so that scrolling a little reuses it.
    In.Contents.resize(In.Items.size());
    const QRectF View(0, 0, FViewSize.Width, FViewSize.Height);
    const int Tile = 512;
    for (std::size_t I = 0; I < In.Items.size(); ++I) {
        const TEPSBox& Item = In.Items[I];
        if (Item.IsText() || static_cast<int>(I) == FPlacement.Index()) continue;
        const QRectF R = TPagePicture::ContentRect(FPlot, Item);
        const QRect Pixels = TPagePicture::ContentPixels(R, PixelRatio);
        const double W = Pixels.width(), H = Pixels.height();
        if (!R.intersects(View) || !(W >= 1 && H >= 1 && W < 1e9 && H < 1e9)) continue;
        QRect Part(0, 0, static_cast<int>(W), static_cast<int>(H));
        if (W * H > 4.0 * View.width() * View.height() * PixelRatio * PixelRatio) {
            const QRectF Seen = (R & View).translated(-R.topLeft());
            const double F = W / R.width();
            const int L = static_cast<int>(std::floor(Seen.left() * F / Tile)) * Tile;
            const int T = static_cast<int>(std::floor(Seen.top() * F / Tile)) * Tile;
            const int Ri = static_cast<int>(std::ceil(Seen.right() * F / Tile)) * Tile;
            const int B = static_cast<int>(std::ceil(Seen.bottom() * F / Tile)) * Tile;
            Part = QRect(QPoint(L, T), QPoint(Ri - 1, B - 1)) & Part;
        }
        In.Contents[I] = FContent->Picture(Item, static_cast<int>(W), static_cast<int>(H), Part);
    }
    FContent->EndPaint();
}

std::string TPageView::ContentFailureAt(TLogicalPoint Pixel) {
    if (!FPictureInputs) return std::string();
    const TPictureInputs& In = *FPictureInputs;
    UpdateViewport();
    for (std::size_t I = In.Items.size(); I-- > 0;) {
        if (In.Items[I].IsText() || static_cast<int>(I) == In.Selected) continue;
        if (!TPagePicture::ContentRect(FPlot, In.Items[I]).contains(QPointF(Pixel.X, Pixel.Y)))
            continue;
        // A file that stops the job matters more than a drawing that failed, and is usually
        // why it failed.
        if (I < In.JobFailures.size() && !In.JobFailures[I].empty()) return In.JobFailures[I];
        return In.ContentShown && I < In.Contents.size() ? In.Contents[I].Failure : std::string();
    }
    return std::string();
}

void TPageView::PaintPicture() {
    PaintPicture(TPictureSteps::All);
}

void TPageView::PaintPicture(TPictureSteps Steps) {
    UpdateViewport();
    PictureInputs(1.0, FInputsScratch);
    FPainter.Draw(FInputsScratch,
                  Steps == TPictureSteps::All ? TPictureSteps::WithoutDragFrame : Steps);
    if (Steps == TPictureSteps::All && FPlacement.Active()) DrawDragFrame();
}

void TPageView::DrawItem(const TEPSBox& Item, int ColorIndex) {
    TPagePicture::DrawItem(FPlot, Item, ColorIndex);
}

void TPageView::DrawDragFrame() {
    // A frame from an absurd item size must not wrap around the int range.
    auto Sum = [](int A, int B) {
        const long long S = static_cast<long long>(A) + B;
        return static_cast<int>(std::clamp<long long>(S, INT_MIN, INT_MAX));
    };
    const TDragRect& F = FPlacement.Frame();
    TLogicalRect R;
    R.Left = F.X;
    R.Bottom = F.Y;
    R.Right = Sum(F.X, F.Width);
    R.Top = Sum(F.Y, F.Height);
    FPlot.DrawRectOutline(R, DragFrameColor, TPenMode::Xor, TPenStyle::Solid);
}

TDragRect TPageView::DragRectOf(const TEPSBox& Item) const {
    TDragRect R;
    FPlot.PlotToLogical(Item.Origin.X, Item.Origin.Y, R.X, R.Y);
    FPlot.WorldToLogical(Item.Size.X, Item.Size.Y, R.Width, R.Height);
    return R;
}

void TPageView::PixelToWorld(TLogicalPoint Pixel, double& X, double& Y) {
    UpdateViewport();
    FPlot.DeviceToLogical(Pixel);
    FPlot.LogicalToPlot(Pixel.X, Pixel.Y, X, Y);
}

void TPageView::WorldToPixel(double X, double Y, TLogicalPoint& Pixel) {
    UpdateViewport();
    FPlot.PlotToLogical(X, Y, Pixel.X, Pixel.Y);
    FPlot.LogicalToDevice(Pixel);
}

} // namespace zarvo
