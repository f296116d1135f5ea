// The plot canvas's texts: fonts, widths, glyph runs, and sprites of whole label texts.
#include "plot/qtcanvas.h"

#include "support/winsub.h"

#include <QFont>
#include <QGlyphRun>
#include <QPainter>
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

} // namespace

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
    for (unsigned char C : Text)
        W += E.Advance(C);
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
