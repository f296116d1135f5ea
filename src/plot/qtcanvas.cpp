// The plot canvas on a QPainter: lines, fills, pixels and text in device pixels.
#include "plot/qtcanvas.h"
#include "support/ansicodepage.h"

#include "support/winsub.h"

#include <QPainter>
#include <QPen>
#include <QTransform>

#include <algorithm>
#include <cmath>

namespace zarvo {

namespace {

// Cuts the segment to the square of half-side Limit around (0, 0); false when nothing of it
// is inside.
bool ClipSegment(double& X1, double& Y1, double& X2, double& Y2, double Limit) {
    double T0 = 0.0, T1 = 1.0;
    const double DX = X2 - X1, DY = Y2 - Y1;
    const double P[4] = {-DX, DX, -DY, DY};
    const double Q[4] = {X1 + Limit, Limit - X1, Y1 + Limit, Limit - Y1};
    for (int I = 0; I < 4; ++I) {
        if (P[I] == 0.0) {
            if (Q[I] < 0.0) return false;
            continue;
        }
        const double R = Q[I] / P[I];
        if (P[I] < 0.0) {
            if (R > T1) return false;
            T0 = std::max(T0, R);
        } else {
            if (R < T0) return false;
            T1 = std::min(T1, R);
        }
    }
    const double NX1 = X1 + T0 * DX, NY1 = Y1 + T0 * DY;
    X2 = X1 + T1 * DX;
    Y2 = Y1 + T1 * DY;
    X1 = NX1;
    Y1 = NY1;
    return true;
}

double DeviceRound(double V) {
    if (!std::isfinite(V)) return 0.0;
    if (V > 1.0e15) return 1.0e15;
    if (V < -1.0e15) return -1.0e15;
    // Every point of every primitive passes here: away from a half the nearest integer is
    // plain, and only near one does the shared rule (with its tolerance) have to decide.
    const double Floor = std::floor(V), Frac = V - Floor;
    if (std::fabs(Frac - 0.5) > 1e-9 * std::max(1.0, std::fabs(V)))
        return Frac < 0.5 ? Floor : Floor + 1.0;
    return static_cast<double>(RoundHalfEven(V));
}

// No transform, or a shift by whole pixels.
bool WholePixelShift(const QTransform& T) {
    return T.type() == QTransform::TxNone ||
           (T.type() == QTransform::TxTranslate && T.dx() == std::floor(T.dx()) &&
            T.dy() == std::floor(T.dy()));
}

} // namespace

QColor ToQColor(TColor C) {
    return QColor(RedOf(C), GreenOf(C), BlueOf(C));
}

QString AnsiToQString(const std::string& S) {
    return AnsiToQt(S);
}

TQtCanvas::~TQtCanvas() {
    End();
}

void TQtCanvas::Begin(QPainter* Painter, QImage* Pixels) {
    End();
    FPainter = Painter;
    FPixelsImage = Painter && Pixels && Painter->device() == Pixels &&
                           (Pixels->format() == QImage::Format_RGB32 ||
                            Pixels->format() == QImage::Format_ARGB32_Premultiplied)
                       ? Pixels
                       : nullptr;
    // The text sprites count the paints that can use them.
    if (FPixelsImage) {
        ++FGeneration;
        FSpritesMade = 0;
    }
    ForgetPainterState();
    if (FPainter) {
        FPainter->setRenderHint(QPainter::Antialiasing, false);
        FPainter->setRenderHint(QPainter::TextAntialiasing, true);
        FPlainDevice = WholePixelShift(FPainter->deviceTransform()) &&
                       WholePixelShift(FPainter->combinedTransform());
        FPlainWorld = FPainter->worldTransform().type() == QTransform::TxNone;
    }
}

void TQtCanvas::Flush() {
    FlushPixels();
    FlushGlyphs();
}

void TQtCanvas::End() {
    if (FPainter) Flush();
    FRunGlyphs.clear();
    FRunPositions.clear();
    FRunFont = nullptr;
    FPixels.clear();
    FPainter = nullptr;
    FPixelsImage = nullptr;
    ForgetPainterState();
}

void TQtCanvas::ForgetPainterState() {
    FPainterPen = TPainterPen::Unknown;
    FCompositionKnown = false;
}

QPointF TQtCanvas::ToDevice(int X, int Y) const {
    return {DeviceRound(Mapping().ToDeviceX(X)), DeviceRound(Mapping().ToDeviceY(Y))};
}

void TQtCanvas::ApplyComposition(QPainter::CompositionMode Mode) {
    if (FCompositionKnown && FAppliedComposition == Mode) return;
    FPainter->setCompositionMode(Mode);
    FCompositionKnown = true;
    FAppliedComposition = Mode;
}

void TQtCanvas::ApplyPen() {
    if (FPainterPen == TPainterPen::Line && FAppliedColor == PenColor() &&
        FAppliedStyle == PenStyle() && FAppliedWidth == PenWidth()) {
        ApplyComposition(PenMode() == TPenMode::Xor ? QPainter::RasterOp_SourceXorDestination
                                                    : QPainter::CompositionMode_SourceOver);
        return;
    }
    // Width 1 is the one-pixel cosmetic pen; a flat cap leaves out a line's last pixel, so the
    // corners of a path drawn in exclusive-or are not inverted twice.
    QPen Pen(ToQColor(PenColor()), PenWidth() <= 1 ? 0 : PenWidth(),
             PenStyle() == TPenStyle::Dash ? Qt::DashLine : Qt::SolidLine, Qt::FlatCap);
    FPainter->setPen(Pen);
    ApplyComposition(PenMode() == TPenMode::Xor ? QPainter::RasterOp_SourceXorDestination
                                                : QPainter::CompositionMode_SourceOver);
    FPainterPen = TPainterPen::Line;
    FAppliedColor = PenColor();
    FAppliedStyle = PenStyle();
    FAppliedWidth = PenWidth();
}

void TQtCanvas::ApplyColorPen(TPainterPen Kind, TColor C) {
    if (FPainterPen == Kind && FAppliedColor == C) return;
    // Text takes the painter's default pen in the font colour, pixels the one-pixel cosmetic
    // pen.
    if (Kind == TPainterPen::Points)
        FPainter->setPen(QPen(ToQColor(C), 0));
    else
        FPainter->setPen(ToQColor(C));
    FPainterPen = Kind;
    FAppliedColor = C;
}

void TQtCanvas::DrawLine(TLogicalPoint From, TLogicalPoint To) {
    if (!FPainter) return;
    Flush();
    const QPointF A = ToDevice(From.X, From.Y), B = ToDevice(To.X, To.Y);
    double X1 = A.x(), Y1 = A.y(), X2 = B.x(), Y2 = B.y();
    if (PenMode() == TPenMode::Copy && PenWidth() <= 1 && FPlainDevice && (X1 == X2 || Y1 == Y2)) {
        DrawAxisLine(X1, Y1, X2, Y2);
        return;
    }
    // Zoomed in, most of a line lies outside the device: it is cut to the device (and a small
    // border) first, so that neither the dash pattern nor the rasteriser walks the hidden
    // part. The dash offset keeps the pattern where it was.
    const double W = Mapping().ViewportExtX, H = Mapping().ViewportExtY;
    const double Border = 2.0;
    double Skipped = 0.0;
    if (std::min(X1, X2) < -Border || std::min(Y1, Y2) < -Border || std::max(X1, X2) > W + Border ||
        std::max(Y1, Y2) > H + Border) {
        const double CX = W / 2, CY = H / 2, Half = std::max(W, H) / 2 + Border;
        double U1 = X1 - CX, V1 = Y1 - CY, U2 = X2 - CX, V2 = Y2 - CY;
        if (!ClipSegment(U1, V1, U2, V2, Half)) return;
        const bool AxisAligned = X1 == X2 || Y1 == Y2;
        Skipped = std::hypot(U1 + CX - X1, V1 + CY - Y1);
        X1 = U1 + CX;
        Y1 = V1 + CY;
        X2 = U2 + CX;
        Y2 = V2 + CY;
        if (!AxisAligned) {
            X1 = std::round(X1);
            Y1 = std::round(Y1);
            X2 = std::round(X2);
            Y2 = std::round(Y2);
        }
    }
    ApplyPen();
    if (Skipped > 0.0 && PenStyle() == TPenStyle::Dash) {
        QPen Pen = FPainter->pen();
        Pen.setDashOffset(Skipped);
        FPainter->setPen(Pen);
        FPainterPen = TPainterPen::Unknown;
    }
    FPainter->drawLine(QLineF(X1, Y1, X2, Y2));
}

// The one-pixel pen on a line along a pixel row or column between whole pixel coordinates
// sets the pixels whose centres lie between the end points (a line of length zero its one
// pixel), the dashed pen four of them on and two off from the start point on. The same
// pixels come from a filled rectangle or from a strip of the dash pattern blitted at the
// right phase, at a fraction of the pen's cost (its stroker sets them one by one). The dash
// pattern stays anchored at the start point even where the line starts outside the device,
// so that scrolling moves the dashes with their frame.
void TQtCanvas::DrawAxisLine(double X1, double Y1, double X2, double Y2) {
    const bool Vertical = X1 == X2 && Y1 != Y2;
    const double Across = Vertical ? X1 : Y1; // the pixel column or row
    const double Start = Vertical ? Y1 : X1, Stop = Vertical ? Y2 : X2;
    const int AcrossExtent = Vertical ? Mapping().ViewportExtX : Mapping().ViewportExtY;
    const int AlongExtent = Vertical ? Mapping().ViewportExtY : Mapping().ViewportExtX;
    if (Across < 0.0 || Across >= AcrossExtent) return;
    const double Lo = Start == Stop ? Start : std::min(Start, Stop);
    const double Hi = Start == Stop ? Start + 1.0 : std::max(Start, Stop);
    const double VisibleLo = std::max(Lo, 0.0), VisibleHi = std::min(Hi, double(AlongExtent));
    if (VisibleLo >= VisibleHi) return;
    const int First = static_cast<int>(VisibleLo);
    const int Count = static_cast<int>(VisibleHi - VisibleLo);
    const int Row = static_cast<int>(Across);
    ApplyComposition(QPainter::CompositionMode_SourceOver);
    if (PenStyle() != TPenStyle::Dash) {
        FPainter->fillRect(Vertical ? QRect(Row, First, 1, Count) : QRect(First, Row, Count, 1),
                           ToQColor(PenColor()));
        return;
    }
    // Counted from the start point, a forward line's pixel k is on for k mod 6 < 4; a
    // backward line's pixel k before the start point likewise, which read forwards is the
    // same pattern shifted by four.
    double Phase = std::fmod(VisibleLo - Start + (Stop < Start ? 4.0 : 0.0), 6.0);
    if (Phase < 0.0) Phase += 6.0;
    if (CanSetPixels() && Row < (Vertical ? FPixelsImage->width() : FPixelsImage->height()) &&
        First + Count <= (Vertical ? FPixelsImage->height() : FPixelsImage->width())) {
        // The same pixels as the strip below, set one by one: a frame's sides are hundreds
        // of one-pixel rows, each of which would be a blend call of its own.
        const QRgb On = qRgb(RedOf(PenColor()), GreenOf(PenColor()), BlueOf(PenColor()));
        uchar* Bits = FPixelsImage->bits();
        const qsizetype Stride = FPixelsImage->bytesPerLine();
        int P = static_cast<int>(Phase);
        for (int K = First; K < First + Count; ++K, P = P == 5 ? 0 : P + 1) {
            if (P >= 4) continue;
            if (Vertical)
                reinterpret_cast<QRgb*>(Bits + K * Stride)[Row] = On;
            else
                reinterpret_cast<QRgb*>(Bits + Row * Stride)[K] = On;
        }
        return;
    }
    const QImage& Strip = DashStrip(Vertical, Count);
    if (Vertical)
        FPainter->drawImage(QPoint(Row, First), Strip, QRect(0, static_cast<int>(Phase), 1, Count));
    else
        FPainter->drawImage(QPoint(First, Row), Strip, QRect(static_cast<int>(Phase), 0, Count, 1));
}

const QImage& TQtCanvas::DashStrip(bool Vertical, int Length) {
    QImage& Strip = FDashStrip[Vertical ? 1 : 0];
    const int Need = Length + 6;
    const int Have = Vertical ? Strip.height() : Strip.width();
    if (!Strip.isNull() && Have >= Need && FDashColor[Vertical ? 1 : 0] == PenColor()) return Strip;
    const int N = std::max(Need, std::max(Mapping().ViewportExtX, Mapping().ViewportExtY) + 6);
    Strip = QImage(Vertical ? 1 : N, Vertical ? N : 1, QImage::Format_ARGB32_Premultiplied);
    const QRgb On = qRgb(RedOf(PenColor()), GreenOf(PenColor()), BlueOf(PenColor()));
    for (int J = 0; J < N; ++J) {
        const QRgb C = J % 6 < 4 ? On : 0;
        if (Vertical)
            *reinterpret_cast<QRgb*>(Strip.scanLine(J)) = C;
        else
            reinterpret_cast<QRgb*>(Strip.scanLine(0))[J] = C;
    }
    FDashColor[Vertical ? 1 : 0] = PenColor();
    return Strip;
}

void TQtCanvas::FillRect(const TLogicalRect& R, TColor C) {
    if (!FPainter) return;
    Flush();
    const QPointF A = ToDevice(R.Left, R.Top), B = ToDevice(R.Right, R.Bottom);
    const double W = Mapping().ViewportExtX, H = Mapping().ViewportExtY;
    const double L = std::clamp(std::min(A.x(), B.x()), -1.0, W + 1);
    const double Rt = std::clamp(std::max(A.x(), B.x()), -1.0, W + 1);
    const double T = std::clamp(std::min(A.y(), B.y()), -1.0, H + 1);
    const double Bt = std::clamp(std::max(A.y(), B.y()), -1.0, H + 1);
    if (Rt <= L || Bt <= T) return;
    ApplyComposition(QPainter::CompositionMode_SourceOver);
    FPainter->fillRect(QRectF(L, T, Rt - L, Bt - T), ToQColor(C));
}

void TQtCanvas::SetPixel(int X, int Y, TColor C) {
    if (!FPainter) return;
    const QPointF P = ToDevice(X, Y);
    if (P.x() < 0 || P.y() < 0 || P.x() >= Mapping().ViewportExtX ||
        P.y() >= Mapping().ViewportExtY)
        return;
    FlushGlyphs();
    if (!FPixels.empty() && C != FPixelColor) FlushPixels();
    FPixelColor = C;
    FPixels.emplace_back(static_cast<int>(P.x()), static_cast<int>(P.y()));
}

void TQtCanvas::FlushPixels() {
    if (FPixels.empty() || !FPainter) {
        FPixels.clear();
        return;
    }
    ApplyComposition(QPainter::CompositionMode_SourceOver);
    ApplyColorPen(TPainterPen::Points, FPixelColor);
    FPainter->drawPoints(FPixels.data(), static_cast<int>(FPixels.size()));
    FPixels.clear();
}

void TQtCanvas::FlushGlyphs() {
    if (FRunGlyphs.empty()) return;
    if (FPainter) {
        ApplyComposition(QPainter::CompositionMode_SourceOver);
        ApplyColorPen(TPainterPen::Text, FRunColor);
        FRun.setRawData(FRunGlyphs.data(), FRunPositions.data(),
                        static_cast<int>(FRunGlyphs.size()));
        FPainter->drawGlyphRun(QPointF(0.0, 0.0), FRun);
    }
    FRunGlyphs.clear();
    FRunPositions.clear();
    FRunFont = nullptr;
}

} // namespace zarvo
