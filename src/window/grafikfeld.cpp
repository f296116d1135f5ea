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

void TGrafikFeld::wheelEvent(QWheelEvent* Event) {
    // Some platforms report a wheel turned with Shift held as a sideways turn.
    const QPoint Angle = Event->angleDelta();
    FWheelRest += Angle.y() != 0 ? Angle.y() : Angle.x();
    const int Notches = FWheelRest / 120;
    FWheelRest -= Notches * 120;
    const QPoint P = Event->position().toPoint();
    if (Notches != 0 && OnWheel) OnWheel(Notches, Event->modifiers(), P.x(), P.y());
    Event->accept();
}

} // namespace zarvo
