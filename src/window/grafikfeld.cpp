// The paint box of the page preview: hands paint, mouse and resize events to the main window.
#include "window/grafikfeld.h"

#include <QMouseEvent>
#include <QPainter>

namespace zarvo {

TGrafikFeld::TGrafikFeld(QWidget* Parent) : QWidget(Parent) {
    setObjectName(QStringLiteral("GrafikFeld"));
    // The frame follows the pointer while an item is placed, without a button held.
    setMouseTracking(true);
    setFocusPolicy(Qt::StrongFocus);
    setAttribute(Qt::WA_OpaquePaintEvent);
    setMinimumSize(50, 50);
}

void TGrafikFeld::paintEvent(QPaintEvent*) {
    QPainter Painter(this);
    if (OnPaint) OnPaint(Painter);
}

void TGrafikFeld::mousePressEvent(QMouseEvent* Event) {
    const QPoint P = Event->position().toPoint();
    if (OnMouseDown) OnMouseDown(Event->button(), P.x(), P.y());
}

void TGrafikFeld::mouseMoveEvent(QMouseEvent* Event) {
    const QPoint P = Event->position().toPoint();
    if (OnMouseMove) OnMouseMove(P.x(), P.y());
}

void TGrafikFeld::resizeEvent(QResizeEvent*) {
    if (OnResize) OnResize();
}

} // namespace zarvo
