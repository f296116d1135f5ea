// The page picture drawn from its inputs: every value it shows comes from TPictureInputs.
#include "view/pagepicture.h"

#include "sheet/psfonttable.h"
#include "support/winsub.h"

#include <QPainter>

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdlib>

namespace zarvo {

namespace {

// Whether the file of item I would stop the print job.
bool BreaksJob(const TPictureInputs& In, int I) {
    return static_cast<std::size_t>(I) < In.JobFailures.size() &&
           !In.JobFailures[static_cast<std::size_t>(I)].empty();
}

// The size labels are written with the inputs' decimal character, whatever the program's
// setting is while the picture is drawn.
class TDecimalCharScope {
public:
    explicit TDecimalCharScope(char C) : FSaved(GetDecimalChar()) { SetDecimalChar(C); }
    ~TDecimalCharScope() { SetDecimalChar(FSaved); }
    TDecimalCharScope(const TDecimalCharScope&) = delete;
    TDecimalCharScope& operator=(const TDecimalCharScope&) = delete;

private:
    char FSaved;
};

int MarginUnits(double Cm) {
    return static_cast<int>(RoundHalfEven(Cm * 100));
}

} // namespace

double JobMillimetres(double Cm) {
    // The job writes its positions with one decimal; the same rounding here (exact decimal
    // rounding of the binary value, as printf's, without its locale and its cost: every
    // drawing of every paint comes here).
    char Buf[400];
    const auto Written = std::to_chars(Buf, Buf + sizeof Buf, std::isfinite(Cm) ? Cm : 0.0,
                                       std::chars_format::fixed, 1);
    double Value = 0.0;
    if (Written.ec == std::errc()) std::from_chars(Buf, Written.ptr, Value);
    return Value;
}

void TPagePicture::Render(const TPictureInputs& In, QImage& Image) {
    const double Ratio = In.PixelRatio > 0 ? In.PixelRatio : 1.0;
    const QSize Pixels(static_cast<int>(std::ceil(In.ViewWidth * Ratio)),
                       static_cast<int>(std::ceil(In.ViewHeight * Ratio)));
    if (Image.size() != Pixels || Image.format() != QImage::Format_RGB32)
        Image = QImage(Pixels, QImage::Format_RGB32);
    Image.setDevicePixelRatio(Ratio);
    QPainter Painter(&Image);
    FCanvas.Begin(&Painter, &Image);
    FTarget = &Image;
    // Beside and below the plot window the paint box shows the window's face colour.
    Painter.fillRect(0, 0, In.ViewWidth, In.ViewHeight, ToQColor(In.FaceColor));
    Draw(In, TPictureSteps::WithoutDragFrame);
    BlendQueued();
    FTarget = nullptr;
    FCanvas.End();
}

void TPagePicture::Draw(const TPictureInputs& In, TPictureSteps Steps) {
    const bool Paint = Steps != TPictureSteps::SettingsOnly;
    const TDecimalCharScope Decimal(In.DecimalChar);
    // The plot window and its page frame.
    FPlot.SetPlotArea({In.PlotWindow.X, In.PlotWindow.Y}, {0.0, 0.0, 0.0, 0.0});
    FPlot.SetFrame(2, In.Margins[0], In.Margins[2], In.Margins[3], In.Margins[1]);
    // The viewport: zoom and scroll positions for the paint box.
    const int Zoom = std::clamp(In.Zoom, 1, 4096);
    FPlot.SetViewport({In.ViewWidth, In.ViewHeight},
                      {static_cast<double>(std::clamp(In.HorzPos, 0, 100)),
                       static_cast<double>(std::clamp(In.VertPos, 0, 100))},
                      {In.PageFracX * 64 / Zoom, In.PageFracY * 64 / Zoom});
    FPlot.ClearPlot(true, In.FaceColor);
    const TPlotRect Page = FPlot.Frame();
    if (Paint) FPlot.FillArea(ColorWhite, Page.Left, Page.Bottom, Page.Right, Page.Top);
    FPlot.PlotTo(-3, 0, Page.Left, Page.Bottom);
    const TPlotRect& Frame = FPlot.Frame();
    FPlot.SetAxis(1, 5, 0.0, Frame.Right - Frame.Left);
    FPlot.SetAxis(5, 9, 0.0, Frame.Top - Frame.Bottom);
    FPlot.SetScaleStyle(0, 0.3, 0.2, 0.15, 0.075);
    if (Paint) {
        FPlot.DrawScaleIndexed(1, 10, 0, 64, 1.0, 0.0);
        FPlot.DrawScaleIndexed(5, 10, 0, 8, 1.0, 0.0);
    }
    FPlot.SetFillColor(ColorWhite);
    FPlot.SetTextTransparent(true);
    const int Count = static_cast<int>(In.Items.size());
    if (Paint && In.ContentShown && In.Contents.size() == In.Items.size()) {
        DrawGridDots(In);
        // Drawings and texts in list order, as the job prints them; frames and labels on top.
        for (int I = 0; I < Count; ++I) {
            if (I == In.Selected) continue;
            if (In.Items[I].IsText()) {
                BlendQueued();
                DrawItem(FPlot, In.Items[I], -4);
            } else {
                DrawContent(In.Items[I], In.Contents[I]);
            }
        }
        BlendQueued();
        for (int I = 0; I < Count; ++I)
            if (I != In.Selected && !In.Items[I].IsText()) {
                DrawItem(FPlot, In.Items[I], -4);
                if (!In.Contents[I].Failure.empty() || BreaksJob(In, I))
                    DrawFailureMark(In.Items[I]);
            }
    } else if (Paint) {
        DrawGridDots(In);
        for (int I = 0; I < Count; ++I)
            if (I != In.Selected) {
                DrawItem(FPlot, In.Items[I], -4);
                if (BreaksJob(In, I)) DrawFailureMark(In.Items[I]);
            }
    } else {
        // Only the last item drawn, for the text and pen settings it leaves behind.
        for (int I = Count - 1; I >= 0; --I)
            if (I != In.Selected) {
                DrawItem(FPlot, In.Items[I], -4);
                break;
            }
    }
}

QRectF TPagePicture::ContentRect(const TPlot& Plot, const TEPSBox& Item) {
    // Where the job puts the box: its translation rounded to whole millimetres, then the
    // box's own corner in the file.
    const double X = JobMillimetres(Item.Origin.X - Item.Offset.X) + Item.Offset.X;
    const double Y = JobMillimetres(Item.Origin.Y - Item.Offset.Y) + Item.Offset.Y;
    const TViewMapping& M = Plot.Mapping();
    const TPlotPoint O = Plot.PlotOrigin();
    const double X0 = M.ToDeviceX((X + O.X) * 100), X1 = M.ToDeviceX((X + Item.Size.X + O.X) * 100);
    const double Y0 = M.ToDeviceY((Y + O.Y) * 100), Y1 = M.ToDeviceY((Y + Item.Size.Y + O.Y) * 100);
    return QRectF(QPointF(std::min(X0, X1), std::min(Y0, Y1)),
                  QPointF(std::max(X0, X1), std::max(Y0, Y1)));
}

QRect TPagePicture::ContentPixels(const QRectF& Rect, double PixelRatio) {
    auto Edge = [PixelRatio](double V) {
        return static_cast<int>(std::clamp(std::round(V * PixelRatio), -1e9, 1e9));
    };
    const int L = Edge(Rect.left()), T = Edge(Rect.top());
    return QRect(L, T, Edge(Rect.right()) - L, Edge(Rect.bottom()) - T);
}

void TPagePicture::DrawContent(const TEPSBox& Item, const TContentPicture& Content) {
    QPainter* Painter = FPlot.Canvas() == &FCanvas ? FCanvas.Painter() : nullptr;
    if (!Content.Image || !Painter) return;
    const QRectF Whole = ContentRect(FPlot, Item);
    // The image shows the part Content.Part of the whole Width x Height picture.
    const double FX = Whole.width() / std::max(Content.Width, 1);
    const double FY = Whole.height() / std::max(Content.Height, 1);
    const QRectF R(Whole.left() + Content.Part.x() * FX, Whole.top() + Content.Part.y() * FY,
                   Content.Part.width() * FX, Content.Part.height() * FY);
    // A box far outside the view is not handed to the painter at all.
    const QRectF View(QPointF(0, 0),
                      QSizeF(FPlot.Mapping().ViewportExtX, FPlot.Mapping().ViewportExtY));
    if (!R.intersects(View)) return;
    FCanvas.Flush();
    const double Ratio = Painter->device() ? Painter->device()->devicePixelRatioF() : 1.0;
    const QImage& Image = *Content.Image;
    const QRect Pixels = ContentPixels(Whole, Ratio);
    const bool ExactSize = Pixels.width() == Content.Width && Pixels.height() == Content.Height;
    if (ExactSize && Content.Runs && Content.Runs->Fits(Image) && FTarget &&
        Painter->device() == FTarget && !Painter->hasClipping() && Painter->opacity() == 1.0 &&
        Painter->worldTransform().type() == QTransform::TxNone) {
        // Rendered for exactly these pixels onto the picture's own image: only the pixels the
        // drawing paints are blended, the same arithmetic as the painter's, together with the
        // drawings that follow it in the list.
        FQueued.push_back({&Image, Content.Runs.get(), Pixels.x() + Content.Part.x(),
                           Pixels.y() + Content.Part.y()});
        return;
    }
    BlendQueued();
    Painter->save();
    Painter->setCompositionMode(QPainter::CompositionMode_SourceOver);
    if (ExactSize) {
        // Rendered for exactly these pixels: copied pixel for pixel, the fast way.
        QImage Exact = Image;
        Exact.setDevicePixelRatio(Ratio);
        Painter->drawImage(QPointF((Pixels.x() + Content.Part.x()) / Ratio,
                                   (Pixels.y() + Content.Part.y()) / Ratio),
                           Exact);
    } else {
        Painter->setRenderHint(QPainter::SmoothPixmapTransform, true);
        Painter->drawImage(R, Image);
    }
    Painter->restore();
}

void TPagePicture::BlendQueued() {
    if (FQueued.empty()) return;
    if (FTarget) TImageRuns::BlendOnto(FQueued, *FTarget);
    FQueued.clear();
}

void TPagePicture::DrawFailureMark(const TEPSBox& Item) {
    QPainter* Painter = FPlot.Canvas() == &FCanvas ? FCanvas.Painter() : nullptr;
    if (!Painter) return;
    // A small red disc with a white exclamation mark inside the frame's top-right corner.
    const QRectF R = ContentRect(FPlot, Item);
    const double D = 11.0;
    const QRectF Mark(R.right() - D - 3, R.top() + 3, D, D);
    FCanvas.Flush();
    Painter->save();
    Painter->setRenderHint(QPainter::Antialiasing, true);
    Painter->setPen(Qt::NoPen);
    Painter->setBrush(QColor(255, 0, 0));
    Painter->drawEllipse(Mark);
    Painter->setPen(QPen(Qt::white, 2.0));
    Painter->drawLine(QPointF(Mark.center().x(), Mark.top() + 2.5),
                      QPointF(Mark.center().x(), Mark.bottom() - 4.5));
    Painter->drawPoint(QPointF(Mark.center().x(), Mark.bottom() - 2.0));
    Painter->restore();
}

void TPagePicture::DrawGridDots(const TPictureInputs& In) {
    const long long S = std::max(In.GridStep, 1);
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
    const long long X0 = static_cast<long long>(Area.Left) + MarginUnits(In.Margins[0]);
    const long long XEnd = static_cast<long long>(Area.Right) - MarginUnits(In.Margins[2]);
    const long long Y0 = static_cast<long long>(Area.Bottom) + MarginUnits(In.Margins[3]);
    const long long YEnd = static_cast<long long>(Area.Top) - MarginUnits(In.Margins[1]);
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

void TPagePicture::DrawItem(TPlot& Plot, const TEPSBox& Item, int ColorIndex) {
    const double X = Plot.AxisToPlot(1, Item.Origin.X);
    const double Y = Plot.AxisToPlot(5, Item.Origin.Y);
    if (Item.Kind == KindText) {
        Plot.SetTextHeight(Item.Font.FontSize / PtPerCm);
        Plot.SetFontStyle(Item.Font.FontStyle);
        Plot.SetTextAngle(Item.Font.FontAngle);
        const TColor Color =
            ColorIndex < 0 ? (Item.Font.FontColor & 0xFFFFFFu) : PlotColor(ColorIndex);
        Plot.WriteTextFont(Item.Name, 1, ScreenName(Item.Font.FontType), Color, X, Y);
        return;
    }
    const int C = std::abs(ColorIndex);
    const TColor Color = PlotColor(C);
    if (TPlotCanvas* Canvas = Plot.Canvas()) {
        Canvas->SetPenColor(Color);
        Canvas->SetPenStyle(TPenStyle::Dash);
        Canvas->SetPenMode(TPenMode::Copy);
    }
    const double X2 = Plot.AxisToPlot(1, Item.Origin.X + Item.Size.X);
    const double Y2 = Plot.AxisToPlot(5, Item.Origin.Y + Item.Size.Y);
    Plot.PlotTo(3, 0, X, Y2);
    Plot.PlotTo(2, 0, X2, Y2);
    Plot.PlotTo(2, 0, X2, Y);
    Plot.PlotTo(2, 0, X, Y);
    Plot.PlotTo(2, 0, X, Y2);
    Plot.SetTextHeight(0.5);
    Plot.SetFontName("Arial");
    Plot.SetFontStyle(0);
    const double TextX = Plot.AxisToPlot(1, Item.Origin.X + 0.2);
    Plot.WriteText(ShortenPath(Item.Name, 20), 3, Color, TextX,
                   Plot.AxisToPlot(5, Item.Origin.Y + Item.Size.Y - 0.1));
    const std::string Label = std::string(Item.Kind == KindBBox ? "BBox:" : "Std.:") +
                              RealToStr(0, 1, Item.Size.X) + "x" + RealToStr(0, 1, Item.Size.Y);
    Plot.WriteText(Label, 1, Color, TextX, Plot.AxisToPlot(5, Item.Origin.Y + 0.1));
}

} // namespace zarvo
