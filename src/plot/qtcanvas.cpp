// The plot canvas on a QPainter: lines, fills, pixels and text in device pixels.
#include "plot/qtcanvas.h"
#include "support/ansicodepage.h"

#include "support/winsub.h"

#include <QFont>
#include <QGlyphRun>
#include <QPainter>
#include <QPen>
#include <QTransform>

#include <algorithm>
#include <cmath>

namespace zarvo {

namespace {

// Glyphs larger than this are drawn at this size and scaled: the font engine gives wrong
// metrics and empty glyphs for sizes of many thousand pixels, and a hand-edited sheet may ask
// for a 65535 point text at the largest zoom.
const int MaxDirectPixels = 400;

// The memory of the text sprites.
const long long SpriteLimit = 32LL << 20;
// The sprites one paint may make.
const int SpritesPerPaint = 256;

QColor ToQColor(TColor C) { return QColor(RedOf(C), GreenOf(C), BlueOf(C)); }

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

QString AnsiToQString(const std::string& S) {
    return AnsiToQt(S);
}

TQtCanvas::~TQtCanvas() { End(); }

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

double TQtCanvas::CurrentPixelSize() const {
    const TCanvasFont& F = Font();
    const double Logical = std::fabs(static_cast<double>(F.Height));
    double Px = Logical * std::fabs(Mapping().ScaleY());
    if (F.Height > 0 && Px > 0) {
        // A positive height is the cell (ascent and descent); the font size is the em.
        const TFontEntry& E = FontAt(F.Name, MaxDirectPixels, F.Weight, F.Italic);
        const double CellPerEm = (E.Ascent + E.Descent) / MaxDirectPixels;
        if (CellPerEm > 0) Px /= CellPerEm;
    }
    if (!std::isfinite(Px) || Px < 0.5) return 0.0;
    return Px;
}

void TQtCanvas::TFontEntry::Look(unsigned char C) {
    const QString Ch = AnsiToQString(std::string(1, static_cast<char>(C)));
    quint32 G = 0;
    int N = 1;
    QPointF A;
    if (Raw.glyphIndexesForChars(Ch.constData(), 1, &G, &N) && N == 1)
        Raw.advancesForGlyphIndexes(&G, &A, 1, QRawFont::UseDesignMetrics);
    Glyphs[C] = G;
    Advances[C] = A.x();
    Known[C] = true;
}

TQtCanvas::TFontEntry& TQtCanvas::FontAt(const std::string& Name, int Pixels, int Weight,
                                         bool Italic) const {
    TFontKey Key{Name, Pixels, Weight, Italic};
    if (FLastEntry && Key == FLastKey) return *FLastEntry;
    auto It = FFonts.find(Key);
    if (It == FFonts.end()) {
        if (FFonts.size() >= 1024) {
            FFonts.clear();
            FLastEntry = nullptr;
            FRunFont = nullptr;
        }
        QFont F(AnsiToQString(Name));
        F.setPixelSize(Pixels);
        // Like the printer's fonts, the screen fonts have a regular and a bold face only;
        // 600 and above take the bold one (font matching would pick the regular face for
        // a semi-bold request).
        F.setWeight(Weight >= 600 ? QFont::Bold : QFont::Normal);
        F.setItalic(Italic);
        // Unhinted, so that widths grow with the size as they do on paper.
        F.setHintingPreference(QFont::PreferNoHinting);
        TFontEntry E;
        E.Raw = QRawFont::fromFont(F);
        E.Ascent = E.Raw.ascent();
        E.Descent = E.Raw.descent();
        It = FFonts.emplace(Key, std::move(E)).first;
    }
    FLastKey = std::move(Key);
    FLastEntry = &It->second;
    return It->second;
}

TQtCanvas::TFontEntry& TQtCanvas::ResolveFont(double PixelSize, double& Scale) const {
    const TCanvasFont& F = Font();
    int Pixels;
    if (PixelSize <= MaxDirectPixels) {
        Pixels = std::max(1, static_cast<int>(std::lround(PixelSize)));
        Scale = 1.0;
    } else {
        Pixels = MaxDirectPixels;
        Scale = PixelSize / MaxDirectPixels;
    }
    return FontAt(F.Name, Pixels, F.Weight, F.Italic);
}

QRawFont TQtCanvas::CurrentRawFont() const {
    double Scale;
    const double Px = CurrentPixelSize();
    return ResolveFont(Px > 0 ? Px : 1.0, Scale).Raw;
}

double TQtCanvas::LayoutWidth(TFontEntry& E, const std::string& Text) {
    double W = 0.0;
    for (unsigned char C : Text) W += E.Advance(C);
    return W;
}

double TQtCanvas::TextWidth(const std::string& Text) {
    if (Text.empty()) return 0.0;
    const double Px = CurrentPixelSize();
    double Scale;
    double W;
    if (Px > 0) {
        W = LayoutWidth(ResolveFont(Px, Scale), Text) * Scale;
    } else {
        // Too small to draw; the width still grows with the height.
        const double Logical = std::fabs(static_cast<double>(Font().Height));
        const double Wanted = Logical * std::fabs(Mapping().ScaleY());
        if (!(Wanted > 0) || !std::isfinite(Wanted)) return 0.0;
        W = LayoutWidth(ResolveFont(MaxDirectPixels, Scale), Text) * Wanted / MaxDirectPixels;
    }
    return W / std::fabs(Mapping().ScaleX());
}

void TQtCanvas::TextOut(int X, int Y, const std::string& Text, bool Transparent) {
    if (!FPainter || Text.empty()) return;
    const double Px = CurrentPixelSize();
    if (Px <= 0) return;
    double Scale;
    TFontEntry& E = ResolveFont(Px, Scale);
    const double W = LayoutWidth(E, Text);
    const double H = E.Ascent + E.Descent;
    const QPointF P = ToDevice(X, Y);

    if (Scale == 1.0 && Font().Escapement == 0 && !Transparent && FPlainWorld) {
        // Upright on its background: the background by the painter, the text from its
        // sprite, so that a text looks the same in either mode.
        const double DevW = Mapping().ViewportExtX, DevH = Mapping().ViewportExtY;
        if (P.x() + W < 0 || P.y() + H < 0 || P.x() > DevW || P.y() > DevH) return;
        if (CanSetPixels()) {
            Flush();
            ApplyComposition(QPainter::CompositionMode_SourceOver);
            FPainter->fillRect(QRectF(P.x(), P.y(), W, H), ToQColor(BrushColor()));
            if (DrawTextSprite(E, Text, P, W, H)) return;
        }
    }
    if (Scale != 1.0 || Font().Escapement != 0 || !Transparent || !FPlainWorld) {
        QTransform T;
        T.translate(P.x(), P.y());
        // The escapement turns counter-clockwise on the page, which is clockwise in device
        // coordinates with y down.
        T.rotate(-Font().Escapement / 10.0);
        T.scale(Scale, Scale);
        DrawTransformedText(E, T, W, H, Text, Transparent);
        return;
    }

    // Upright at the size of its glyphs: the text joins the pending glyph run at device
    // positions, which are the sums the painter would form under a translation to P.
    const double DevW = Mapping().ViewportExtX, DevH = Mapping().ViewportExtY;
    // A text whose cell misses the device is not drawn at all.
    if (P.x() + W < 0 || P.y() + H < 0 || P.x() > DevW || P.y() > DevH) return;
    if (DrawTextSprite(E, Text, P, W, H)) return;
    if (FRunFont != &E || FRunColor != FontColor()) FlushGlyphs();
    FlushPixels();
    if (FRunGlyphs.empty()) {
        FRunFont = &E;
        FRunColor = FontColor();
        FRun.setRawFont(E.Raw);
    }
    // A text far wider than the device (thousands of letters) keeps only the glyphs whose
    // cell, widened by half an em for overhangs, meets the device.
    const bool Clip = W > 2 * DevW || H > 2 * DevH;
    const double Em = H;
    const double Baseline = E.Ascent + P.y();
    double X0 = 0.0;
    for (unsigned char C : Text) {
        const double Adv = E.Advance(C);
        if (Clip) {
            const double Left = X0 - Em / 2 + P.x();
            if (Left + (Adv + Em) < 0 || Left > DevW || P.y() + H < 0 || P.y() > DevH) {
                X0 += Adv;
                continue;
            }
        }
        FRunGlyphs.push_back(E.Glyph(C));
        FRunPositions.emplace_back(X0 + P.x(), Baseline);
        X0 += Adv;
    }
    if (FRunGlyphs.empty()) FRunFont = nullptr;
}

bool TQtCanvas::CanSetPixels() const {
    return FPixelsImage && FPainter->combinedTransform().type() == QTransform::TxNone &&
           !FPainter->hasClipping() && FPainter->opacity() == 1.0;
}

bool TQtCanvas::MakeRoomForSprite(std::size_t Bytes) {
    if (FSpriteBytes + static_cast<long long>(Bytes) <= SpriteLimit) return true;
    // Once per paint: the sprites of texts that neither this paint nor the one before showed
    // go; the rest stay, and texts beyond the limit are drawn by the painter (dropping
    // sprites still in use would make every paint make them anew).
    if (FSpritesTrimmed == FGeneration) return false;
    FSpritesTrimmed = FGeneration;
    for (auto It = FSprites.begin(); It != FSprites.end();) {
        if (It->second.LastUsed + 1 < FGeneration) {
            FSpriteBytes -= It->second.Bytes;
            It = FSprites.erase(It);
        } else {
            ++It;
        }
    }
    return FSpriteBytes + static_cast<long long>(Bytes) <= SpriteLimit;
}

bool TQtCanvas::DrawTextSprite(TFontEntry& E, const std::string& Text, QPointF P, double W,
                               double H) {
    // Texts of label size only (a few large letters cost the painter little, and their
    // sprites much memory), at a whole pixel, where the canvas may set its image's pixels.
    if (!CanSetPixels() || W > 2000 || H > 100 || P.x() != std::floor(P.x()) ||
        P.y() != std::floor(P.y()))
        return false;
    const TCanvasFont& F = Font();
    const TColor Color = FontColor();
    FSpriteKey.clear();
    FSpriteKey.append(F.Name).append(1, '\x1f');
    for (long long V :
         {static_cast<long long>(E.Raw.pixelSize() * 64), static_cast<long long>(F.Weight),
          static_cast<long long>(F.Italic), static_cast<long long>(Color)})
        FSpriteKey.append(std::to_string(V)).append(1, '\x1f');
    FSpriteKey.append(Text);
    auto It = FSprites.find(FSpriteKey);
    if (It == FSprites.end()) {
        // A paint makes a limited number of sprites (a sheet of thousands of texts would
        // otherwise wait for all of them at once, at each new zoom); the others are drawn by
        // the painter this time.
        if (FSpritesMade >= SpritesPerPaint) return false;
        // Room for glyphs reaching out of the text's cell: sideways for italics, less above
        // and below (accents).
        const QPoint Pad(static_cast<int>(std::ceil(H / 2)) + 2,
                         static_cast<int>(std::ceil(H / 4)) + 2);
        const QSize Size(static_cast<int>(std::ceil(W)) + 2 * Pad.x(),
                         static_cast<int>(std::ceil(H)) + 2 * Pad.y());
        if (!MakeRoomForSprite(static_cast<std::size_t>(Size.width()) * Size.height() * 5 +
                               FSpriteKey.size()))
            return false;
        ++FSpritesMade;
        It = FSprites.emplace(FSpriteKey, TTextSprite()).first;
        TTextSprite& Sprite = It->second;
        Sprite.Pad = Pad;
        Sprite.Image = QImage(Size, QImage::Format_ARGB32_Premultiplied);
        Sprite.Image.fill(0);
        QVector<quint32> Glyphs;
        QVector<QPointF> Positions;
        double X0 = 0.0;
        for (unsigned char C : Text) {
            Glyphs.append(E.Glyph(C));
            Positions.append(QPointF(X0 + Pad.x(), E.Ascent + Pad.y()));
            X0 += E.Advance(C);
        }
        QGlyphRun Run;
        Run.setRawFont(E.Raw);
        Run.setGlyphIndexes(Glyphs);
        Run.setPositions(Positions);
        {
            QPainter Sp(&Sprite.Image);
            Sp.setRenderHint(QPainter::Antialiasing, false);
            Sp.setRenderHint(QPainter::TextAntialiasing, true);
            Sp.setPen(ToQColor(Color));
            Sp.drawGlyphRun(QPointF(0.0, 0.0), Run);
        }
        Sprite.Runs = std::make_unique<TImageRuns>(Sprite.Image);
        Sprite.Bytes = Sprite.Image.sizeInBytes() + Sprite.Runs->Bytes() +
                       static_cast<long long>(FSpriteKey.size());
        FSpriteBytes += Sprite.Bytes;
    }
    It->second.LastUsed = FGeneration;
    FlushGlyphs();
    FlushPixels();
    const TTextSprite& Sprite = It->second;
    Sprite.Runs->BlendOnto(Sprite.Image, static_cast<int>(P.x()) - Sprite.Pad.x(),
                           static_cast<int>(P.y()) - Sprite.Pad.y(), *FPixelsImage);
    return true;
}

void TQtCanvas::DrawTransformedText(TFontEntry& E, const QTransform& T, double W, double H,
                                    const std::string& Text, bool Transparent) {
    Flush();
    // A text whose cell misses the device is not drawn at all.
    const QRectF Box = T.mapRect(QRectF(0, 0, W, H));
    if (Box.right() < 0 || Box.bottom() < 0 || Box.left() > Mapping().ViewportExtX ||
        Box.top() > Mapping().ViewportExtY)
        return;

    QVector<quint32> Glyphs;
    QVector<QPointF> Positions;
    Glyphs.reserve(static_cast<int>(Text.size()));
    Positions.reserve(static_cast<int>(Text.size()));
    // Zoomed far in, a text may be much larger than the device: glyphs whose cell (widened
    // by half an em for overhangs) misses the device are left out, so that the rasteriser
    // does not fill the outlines of letters nobody sees.
    const bool Clip =
        Box.width() > 2 * Mapping().ViewportExtX || Box.height() > 2 * Mapping().ViewportExtY;
    const double Em = H;
    double X0 = 0.0;
    for (unsigned char C : Text) {
        const double Adv = E.Advance(C);
        bool Visible = true;
        if (Clip) {
            const QRectF Cell = T.mapRect(QRectF(X0 - Em / 2, 0, Adv + Em, H));
            Visible =
                !(Cell.right() < 0 || Cell.bottom() < 0 || Cell.left() > Mapping().ViewportExtX ||
                  Cell.top() > Mapping().ViewportExtY);
        }
        if (Visible) {
            Glyphs.append(E.Glyph(C));
            Positions.append(QPointF(X0, 0.0));
        }
        X0 += Adv;
    }
    if (Glyphs.isEmpty()) return;
    QGlyphRun Run;
    Run.setRawFont(E.Raw);
    Run.setGlyphIndexes(Glyphs);
    Run.setPositions(Positions);

    const QTransform Before = FPainter->worldTransform();
    FPainter->setWorldTransform(T, true);
    ApplyComposition(QPainter::CompositionMode_SourceOver);
    if (!Transparent) FPainter->fillRect(QRectF(0, 0, W, H), ToQColor(BrushColor()));
    ApplyColorPen(TPainterPen::Text, FontColor());
    FPainter->drawGlyphRun(QPointF(0, E.Ascent), Run);
    FPainter->setWorldTransform(Before);
}

} // namespace zarvo
