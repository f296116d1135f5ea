// The page preview: layout, zoom, the picture of the sheet and pixel/centimetre conversions.
#include "view/pageview.h"

#include "sheet/epsbox.h"
#include "sheet/psfonttable.h"
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
    // The kept picture fits a painter that draws in the device's own pixels (a widget's or an
    // image's, at any pixel ratio); any other painter gets the picture drawn afresh.
    const bool Keep = Device && Painter.worldTransform().type() == QTransform::TxNone;
    if (!Keep) {
        PaintLayer(Painter, true);
        return;
    }
    const double Ratio = Device->devicePixelRatioF() > 0 ? Device->devicePixelRatioF() : 1.0;
    BuildPictureKey(FKeyScratch, Ratio);
    const QSize Pixels(static_cast<int>(std::ceil(FViewSize.Width * Ratio)),
                       static_cast<int>(std::ceil(FViewSize.Height * Ratio)));
    if (FPicture.isNull() || FPicture.size() != Pixels || FKeyScratch != FPictureKey) {
        // While an item is placed every mouse move repaints; the sheet underneath is drawn
        // once and then only copied, so that moving the frame costs the same for ten items as
        // for ten thousand.
        if (FPicture.size() != Pixels) FPicture = QImage(Pixels, QImage::Format_RGB32);
        FPicture.setDevicePixelRatio(Ratio);
        QPainter PicturePainter(&FPicture);
        PaintLayer(PicturePainter, false);
        PicturePainter.end();
        FPictureKey.swap(FKeyScratch);
    } else {
        // The plot is left as a paint leaves it (origin, axes, mapping), for the mouse and for
        // whatever the window draws on top; the canvas has no painter, so nothing is drawn.
        FCanvas.Begin(nullptr);
        PaintPicture(TPictureSteps::SettingsOnly);
        FCanvas.End();
    }
    Painter.drawImage(QPoint(0, 0), FPicture);
    if (FPlacement.Active()) {
        FCanvas.Begin(&Painter);
        DrawDragFrame();
        FCanvas.End();
    }
}

void TPageView::PaintLayer(QPainter& Painter, bool WithDragFrame) {
    FCanvas.Begin(&Painter);
    // Beside and below the plot window the paint box shows the window's face colour.
    Painter.fillRect(0, 0, FViewSize.Width, FViewSize.Height,
                     QColor(RedOf(FFaceColor), GreenOf(FFaceColor), BlueOf(FFaceColor)));
    PaintPicture(WithDragFrame ? TPictureSteps::All : TPictureSteps::WithoutDragFrame);
    FCanvas.End();
}

namespace {

template <class T> void PutValue(std::string& Key, T Value) {
    Key.append(reinterpret_cast<const char*>(&Value), sizeof Value);
}

void PutText(std::string& Key, const std::string& S) {
    PutValue(Key, S.size());
    Key += S;
}

} // namespace

// Everything the picture is drawn from, value by value.
void TPageView::BuildPictureKey(std::string& Key, double PixelRatio) const {
    Key.clear();
    PutValue(Key, PixelRatio);
    PutValue(Key, FViewSize.Width);
    PutValue(Key, FViewSize.Height);
    PutValue(Key, FZoom);
    PutValue(Key, FHorzPos);
    PutValue(Key, FVertPos);
    PutValue(Key, FPageFracX);
    PutValue(Key, FPageFracY);
    PutValue(Key, FPageAspect);
    PutValue(Key, FGridStep);
    PutValue(Key, FFaceColor);
    for (int I = 0; I < 4; ++I) {
        PutValue(Key, FMargins[I]);
        PutValue(Key, FMarginUnits[I]);
    }
    const TLogicalRect& Area = FPlot.AreaRect();
    PutValue(Key, Area.Left);
    PutValue(Key, Area.Top);
    PutValue(Key, Area.Right);
    PutValue(Key, Area.Bottom);
    const TPlotRect& Frame = FPlot.Frame();
    PutValue(Key, Frame.Left);
    PutValue(Key, Frame.Bottom);
    PutValue(Key, Frame.Right);
    PutValue(Key, Frame.Top);
    PutValue(Key, GetDecimalChar());
    PutValue(Key, FPlacement.Index());
    const int Count = FSheet.FItems.Count();
    PutValue(Key, Count);
    for (int I = 0; I < Count; ++I) {
        const TEPSBox& Item = FSheet.FItems.Item(I);
        PutValue(Key, Item.Kind);
        PutText(Key, Item.Name);
        PutValue(Key, Item.Origin.X);
        PutValue(Key, Item.Origin.Y);
        PutValue(Key, Item.Size.X);
        PutValue(Key, Item.Size.Y);
        PutValue(Key, Item.Font.FontType);
        PutValue(Key, Item.Font.FontSize);
        PutValue(Key, Item.Font.FontAngle);
        PutValue(Key, Item.Font.FontStyle);
        PutValue(Key, Item.Font.FontColor);
    }
}

void TPageView::PaintPicture() {
    PaintPicture(TPictureSteps::All);
}

void TPageView::PaintPicture(TPictureSteps Steps) {
    const bool Draw = Steps != TPictureSteps::SettingsOnly;
    UpdateViewport();
    FPlot.ClearPlot(true, FFaceColor);
    const TPlotRect Page = FPlot.Frame();
    if (Draw) FPlot.FillArea(ColorWhite, Page.Left, Page.Bottom, Page.Right, Page.Top);
    FPlot.PlotTo(-3, 0, Page.Left, Page.Bottom);
    const TPlotRect& Frame = FPlot.Frame();
    FPlot.SetAxis(1, 5, 0.0, Frame.Right - Frame.Left);
    FPlot.SetAxis(5, 9, 0.0, Frame.Top - Frame.Bottom);
    FPlot.SetScaleStyle(0, 0.3, 0.2, 0.15, 0.075);
    if (Draw) {
        FPlot.DrawScaleIndexed(1, 10, 0, 64, 1.0, 0.0);
        FPlot.DrawScaleIndexed(5, 10, 0, 8, 1.0, 0.0);
    }
    FPlot.SetFillColor(ColorWhite);
    FPlot.SetTextTransparent(true);
    if (Draw) {
        DrawGridDots();
        for (int I = 0; I < FSheet.FItems.Count(); ++I)
            if (I != FPlacement.Index()) DrawItem(FSheet.FItems.Item(I), -4);
    } else {
        // Only the last item drawn, for the text and pen settings it leaves behind.
        for (int I = FSheet.FItems.Count() - 1; I >= 0; --I)
            if (I != FPlacement.Index()) {
                DrawItem(FSheet.FItems.Item(I), -4);
                break;
            }
    }
    if (Steps == TPictureSteps::All && FPlacement.Active()) DrawDragFrame();
}

void TPageView::DrawGridDots() {
    const long long S = std::max(FGridStep, 1);
    TLogicalPoint P0{0, 0}, P1{static_cast<int>(std::min<long long>(S, 1 << 30)), 0};
    FPlot.LogicalToDevice(P0);
    FPlot.LogicalToDevice(P1);
    const long long D = std::llabs(static_cast<long long>(P1.X) - P0.X);
    long long Spacing = D < 2 ? 10 * S : D < 5 ? 5 * S : D < 10 ? 2 * S : S;
    // Where even the coarsened lattice is denser than the pixels, every pixel of the page would
    // turn black and a huge page would take forever: coarsen further until dots are at least
    // a pixel apart.
    const TViewMapping& M = FPlot.Mapping();
    const double PixelsPerUnit = std::min(std::fabs(M.ScaleX()), std::fabs(M.ScaleY()));
    while (Spacing * PixelsPerUnit < 1.0 && Spacing < (1LL << 40))
        Spacing *= 10;

    const TLogicalRect& Area = FPlot.AreaRect();
    const long long X0 = static_cast<long long>(Area.Left) + FMarginUnits[0];
    const long long XEnd = static_cast<long long>(Area.Right) - FMarginUnits[2];
    const long long Y0 = static_cast<long long>(Area.Bottom) + FMarginUnits[3];
    const long long YEnd = static_cast<long long>(Area.Top) - FMarginUnits[1];
    // Only the part of the lattice inside the device is walked; one spacing more on each side
    // covers the rounding to pixels.
    const double VisL = std::min(M.ToLogicalX(0), M.ToLogicalX(M.ViewportExtX));
    const double VisR = std::max(M.ToLogicalX(0), M.ToLogicalX(M.ViewportExtX));
    const double VisB = std::min(M.ToLogicalY(0), M.ToLogicalY(M.ViewportExtY));
    const double VisT = std::max(M.ToLogicalY(0), M.ToLogicalY(M.ViewportExtY));
    const long long KFrom =
        std::max(1LL, static_cast<long long>(std::floor((VisL - X0) / Spacing)) - 1);
    const long long KTo = static_cast<long long>(std::ceil((VisR - X0) / Spacing)) + 1;
    const long long MFrom =
        std::max(1LL, static_cast<long long>(std::floor((VisB - Y0) / Spacing)) - 1);
    const long long MTo = static_cast<long long>(std::ceil((VisT - Y0) / Spacing)) + 1;
    TPlotCanvas* Canvas = FPlot.Canvas();
    if (!Canvas) return;
    for (long long Mi = MFrom; Mi <= MTo; ++Mi) {
        const long long Y = Y0 + Mi * Spacing;
        if (Y >= YEnd) break;
        for (long long K = KFrom; K <= KTo; ++K) {
            const long long X = X0 + K * Spacing;
            if (X >= XEnd) break;
            Canvas->SetPixel(static_cast<int>(X), static_cast<int>(Y), ColorBlack);
        }
    }
}

void TPageView::DrawItem(const TEPSBox& Item, int ColorIndex) {
    const double X = FPlot.AxisToPlot(1, Item.Origin.X);
    const double Y = FPlot.AxisToPlot(5, Item.Origin.Y);
    if (Item.Kind == KindText) {
        FPlot.SetTextHeight(Item.Font.FontSize / PtPerCm);
        FPlot.SetFontStyle(Item.Font.FontStyle);
        FPlot.SetTextAngle(Item.Font.FontAngle);
        const TColor Color =
            ColorIndex < 0 ? (Item.Font.FontColor & 0xFFFFFFu) : PlotColor(ColorIndex);
        FPlot.WriteTextFont(Item.Name, 1, ScreenName(Item.Font.FontType), Color, X, Y);
        return;
    }
    const int C = std::abs(ColorIndex);
    const TColor Color = PlotColor(C);
    if (TPlotCanvas* Canvas = FPlot.Canvas()) {
        Canvas->SetPenColor(Color);
        Canvas->SetPenStyle(TPenStyle::Dash);
        Canvas->SetPenMode(TPenMode::Copy);
    }
    const double X2 = FPlot.AxisToPlot(1, Item.Origin.X + Item.Size.X);
    const double Y2 = FPlot.AxisToPlot(5, Item.Origin.Y + Item.Size.Y);
    FPlot.PlotTo(3, 0, X, Y2);
    FPlot.PlotTo(2, 0, X2, Y2);
    FPlot.PlotTo(2, 0, X2, Y);
    FPlot.PlotTo(2, 0, X, Y);
    FPlot.PlotTo(2, 0, X, Y2);
    FPlot.SetTextHeight(0.5);
    FPlot.SetFontName("Arial");
    FPlot.SetFontStyle(0);
    const double TextX = FPlot.AxisToPlot(1, Item.Origin.X + 0.2);
    FPlot.WriteText(ShortenPath(Item.Name, 20), 3, Color, TextX,
                    FPlot.AxisToPlot(5, Item.Origin.Y + Item.Size.Y - 0.1));
    const std::string Label = std::string(Item.Kind == KindBBox ? "BBox:" : "Std.:") +
                              RealToStr(0, 1, Item.Size.X) + "x" + RealToStr(0, 1, Item.Size.Y);
    FPlot.WriteText(Label, 1, Color, TextX, FPlot.AxisToPlot(5, Item.Origin.Y + 0.1));
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
