// Pictures for the dialogs' buttons, drawn at run time so that no image files are needed.
#include "dialogs/buttonglyphs.h"

#include <QFont>
#include <QPainter>
#include <QPainterPath>
#include <QPixmap>

namespace zarvo {

namespace {

constexpr int GlyphSize = 20;

QPixmap BlankGlyph() {
    QPixmap Pixmap(GlyphSize, GlyphSize);
    Pixmap.fill(Qt::transparent);
    return Pixmap;
}

// "x" with a small "2" above (Raised) or below the base line, and an arrow pointing that way.
QIcon ScriptGlyph(bool Raised) {
    QPixmap Pixmap = BlankGlyph();
    QPainter P(&Pixmap);
    P.setRenderHint(QPainter::Antialiasing);
    QFont Big("Sans Serif");
    Big.setPixelSize(13);
    Big.setBold(true);
    P.setFont(Big);
    P.setPen(Qt::black);
    P.drawText(QRect(0, 4, 11, 14), Qt::AlignCenter, "x");
    QFont Small = Big;
    Small.setPixelSize(8);
    P.setFont(Small);
    P.setPen(QColor(0, 0, 160));
    P.drawText(QRect(10, Raised ? 1 : 11, 7, 9), Qt::AlignCenter, "2");
    // The arrow at the right edge.
    QPainterPath Arrow;
    if (Raised) {
        Arrow.moveTo(18, 2);
        Arrow.lineTo(20, 6);
        Arrow.lineTo(16, 6);
    } else {
        Arrow.moveTo(18, 18);
        Arrow.lineTo(20, 14);
        Arrow.lineTo(16, 14);
    }
    Arrow.closeSubpath();
    P.fillPath(Arrow, QColor(0, 0, 160));
    return QIcon(Pixmap);
}

} // namespace

QIcon OkGlyph() {
    QPixmap Pixmap = BlankGlyph();
    QPainter P(&Pixmap);
    P.setRenderHint(QPainter::Antialiasing);
    P.setPen(QPen(QColor(0, 140, 0), 3, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    const QPointF Tick[] = {{3, 10}, {8, 15}, {17, 4}};
    P.drawPolyline(Tick, 3);
    return QIcon(Pixmap);
}

QIcon CancelGlyph() {
    QPixmap Pixmap = BlankGlyph();
    QPainter P(&Pixmap);
    P.setRenderHint(QPainter::Antialiasing);
    P.setPen(QPen(QColor(200, 0, 0), 3, Qt::SolidLine, Qt::RoundCap));
    P.drawLine(QPointF(4, 4), QPointF(16, 16));
    P.drawLine(QPointF(16, 4), QPointF(4, 16));
    return QIcon(Pixmap);
}

QIcon SuperscriptGlyph() {
    return ScriptGlyph(true);
}

QIcon SubscriptGlyph() {
    return ScriptGlyph(false);
}

QIcon CharTableGlyph() {
    QPixmap Pixmap = BlankGlyph();
    QPainter P(&Pixmap);
    P.fillRect(QRect(2, 2, 16, 16), Qt::white);
    P.fillRect(QRect(2, 2, 16, 4), QColor(200, 200, 200));
    P.fillRect(QRect(2, 2, 4, 16), QColor(200, 200, 200));
    P.setPen(Qt::black);
    for (int I = 0; I <= 4; ++I) {
        P.drawLine(2 + I * 4, 2, 2 + I * 4, 18);
        P.drawLine(2, 2 + I * 4, 18, 2 + I * 4);
    }
    return QIcon(Pixmap);
}

} // namespace zarvo
