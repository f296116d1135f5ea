// The pictures of the toolbar buttons, drawn by the program itself.
#include "window/toolglyphs.h"

#include <QPainter>
#include <QPainterPath>
#include <QPixmap>

namespace zarvo {

namespace {

const int Side = 24;

// A sheet of paper with a folded corner, the common part of several pictures.
void Paper(QPainter& P, QRectF R) {
    QPainterPath Path;
    Path.moveTo(R.left(), R.top());
    Path.lineTo(R.right() - 5, R.top());
    Path.lineTo(R.right(), R.top() + 5);
    Path.lineTo(R.right(), R.bottom());
    Path.lineTo(R.left(), R.bottom());
    Path.closeSubpath();
    P.setBrush(Qt::white);
    P.drawPath(Path);
    P.drawLine(QPointF(R.right() - 5, R.top()), QPointF(R.right() - 5, R.top() + 5));
    P.drawLine(QPointF(R.right() - 5, R.top() + 5), QPointF(R.right(), R.top() + 5));
}

void Magnifier(QPainter& P, bool Plus) {
    P.setBrush(QColor(220, 235, 255));
    P.drawEllipse(QRectF(3, 3, 12, 12));
    P.setPen(QPen(Qt::black, 3));
    P.drawLine(QPointF(14, 14), QPointF(20, 20));
    P.setPen(QPen(Qt::black, 1.5));
    P.drawLine(QPointF(6, 9), QPointF(12, 9));
    if (Plus) P.drawLine(QPointF(9, 6), QPointF(9, 12));
}

} // namespace

QIcon ToolGlyph(TToolGlyph Glyph) {
    QPixmap Pix(Side, Side);
    Pix.fill(Qt::transparent);
    QPainter P(&Pix);
    P.setRenderHint(QPainter::Antialiasing);
    P.setPen(QPen(Qt::black, 1));
    switch (Glyph) {
    case TToolGlyph::NewSheet:
        Paper(P, QRectF(5, 2, 14, 19));
        P.setPen(QPen(QColor(255, 200, 0), 2));
        P.drawLine(QPointF(16, 15), QPointF(22, 21));
        P.drawLine(QPointF(22, 15), QPointF(16, 21));
        break;
    case TToolGlyph::OpenSheet:
        P.setBrush(QColor(240, 200, 90));
        P.drawRect(QRectF(2, 7, 18, 13));
        P.setBrush(QColor(255, 225, 130));
        P.drawPolygon(
            QPolygonF({QPointF(5, 11), QPointF(22, 11), QPointF(19, 20), QPointF(2, 20)}));
        break;
    case TToolGlyph::SaveSheet:
        P.setBrush(QColor(60, 90, 160));
        P.drawRect(QRectF(3, 3, 18, 18));
        P.setBrush(Qt::white);
        P.drawRect(QRectF(6, 3, 12, 7));
        P.setBrush(QColor(200, 200, 200));
        P.drawRect(QRectF(7, 14, 10, 7));
        break;
    case TToolGlyph::EpsInsert:
        Paper(P, QRectF(3, 2, 14, 19));
        P.setPen(QPen(Qt::red, 1, Qt::DashLine));
        P.setBrush(Qt::NoBrush);
        P.drawRect(QRectF(6, 8, 8, 8));
        P.setPen(QPen(QColor(0, 150, 0), 2.5));
        P.drawLine(QPointF(19, 12), QPointF(19, 22));
        P.drawLine(QPointF(14, 17), QPointF(24, 17));
        break;
    case TToolGlyph::Refresh:
        P.setPen(QPen(QColor(0, 120, 0), 2.5));
        P.drawArc(QRectF(4, 4, 16, 16), 30 * 16, 280 * 16);
        P.setBrush(QColor(0, 120, 0));
        P.drawPolygon(QPolygonF({QPointF(17, 2), QPointF(21, 9), QPointF(14, 9)}));
        break;
    case TToolGlyph::TextInsert: {
        QFont F(QStringLiteral("Times New Roman"));
        F.setPixelSize(20);
        F.setBold(true);
        P.setFont(F);
        P.drawText(QRectF(0, 0, Side, Side), Qt::AlignCenter, QStringLiteral("A"));
        break;
    }
    case TToolGlyph::Portrait:
        Paper(P, QRectF(6, 2, 12, 20));
        break;
    case TToolGlyph::Landscape:
        Paper(P, QRectF(2, 6, 20, 12));
        break;
    case TToolGlyph::WholePage:
        Paper(P, QRectF(6, 2, 12, 20));
        P.setPen(QPen(Qt::blue, 1.5));
        P.drawLine(QPointF(2, 12), QPointF(6, 12));
        P.drawLine(QPointF(18, 12), QPointF(22, 12));
        break;
    case TToolGlyph::ZoomIn:
        Magnifier(P, true);
        break;
    case TToolGlyph::ZoomOut:
        Magnifier(P, false);
        break;
    case TToolGlyph::Grid:
        P.setBrush(Qt::black);
        for (int Y = 4; Y <= 20; Y += 4)
            for (int X = 4; X <= 20; X += 4)
                P.drawEllipse(QPointF(X, Y), 1.0, 1.0);
        break;
    case TToolGlyph::Print:
        P.setBrush(Qt::white);
        P.drawRect(QRectF(7, 2, 10, 8));
        P.setBrush(QColor(170, 170, 170));
        P.drawRect(QRectF(2, 9, 20, 9));
        P.setBrush(Qt::white);
        P.drawRect(QRectF(7, 15, 10, 7));
        break;
    case TToolGlyph::Exit:
        P.setBrush(QColor(150, 90, 40));
        P.drawRect(QRectF(5, 2, 12, 20));
        P.setBrush(Qt::yellow);
        P.drawEllipse(QPointF(14, 12), 1.2, 1.2);
        P.setPen(QPen(Qt::red, 2));
        P.drawLine(QPointF(17, 12), QPointF(23, 12));
        P.drawLine(QPointF(20, 9), QPointF(23, 12));
        P.drawLine(QPointF(20, 15), QPointF(23, 12));
        break;
    }
    P.end();
    return QIcon(Pix);
}

} // namespace zarvo
