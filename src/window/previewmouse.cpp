// The mouse and the keys on the page preview: picking up, moving and dropping items.
#include "window/zarvomain.h"

#include "window/grafikfeld.h"

#include <QCursor>
#include <QKeyEvent>
#include <QMenu>

#include <algorithm>

namespace zarvo {

void TZarvoForm::MoveCursorTo(double X, double Y) {
    TLogicalPoint P;
    FView.WorldToPixel(X, Y, P);
    QCursor::setPos(GrafikFeld->mapToGlobal(QPoint(P.X, P.Y)));
}

void TZarvoForm::StartPlacement(int Index, TCmPair Corner) {
    FPlacement.StartNew(Index, Corner);
    MoveCursorTo(Corner.X, Corner.Y);
}

void TZarvoForm::GrafikFeldMouseDown(Qt::MouseButton Button, int X, int Y) {
    const QPoint Global = GrafikFeld->mapToGlobal(QPoint(X, Y));
    FPopupPos = {Global.x(), Global.y()};
    if (FPlacement.Active()) {
        // The press that ends a placement never picks up another item.
        if (Button == Qt::LeftButton)
            FPlacement.Drop(false);
        else
            FPlacement.Cancel();
        Repaint();
        return;
    }
    double WX, WY;
    FView.PixelToWorld({X, Y}, WX, WY);
    int Hit = -1;
    for (int I = 0; I < FItems.Count() && Hit < 0; ++I) {
        const TEPSBox& B = FItems.Item(I);
        if (B.Origin.X <= WX && WX <= B.Origin.X + B.Size.X && B.Origin.Y <= WY &&
            WY <= B.Origin.Y + B.Size.Y)
            Hit = I;
    }
    if (Hit >= 0) {
        TEPSBox& Item = FItems.Item(Hit);
        MoveCursorTo(Item.Origin.X, Item.Origin.Y);
        if (Button == Qt::LeftButton) {
            FPlacement.PickUp(Hit);
        } else if (Button == Qt::RightButton) {
            FPopupItem = Hit;
            FHighlighted = Hit;
            GrafikFeld->repaint();
            if (Item.Kind == KindText) {
                FDialogs.PopupMenu(*TextPopup, FPopupPos);
            } else if (AskYesNo(FDialogs, "Box löschen?", FPopupPos.X, FPopupPos.Y)) {
                FItems.Delete(Hit);
                FModified = true;
            }
            FHighlighted = -1;
        }
    }
    Repaint();
}

void TZarvoForm::GrafikFeldMouseMove(int X, int Y) {
    if (!FPlacement.Active()) return;
    FPlacement.MoveTo({X, Y}, FGridOn);
    Repaint();
}

namespace {

// Keys that only modify others (Alt also leads to the menu): they are no key press for a
// placement.
bool OnlyModifies(int Key) {
    switch (Key) {
    case Qt::Key_Shift:
    case Qt::Key_Control:
    case Qt::Key_Alt:
    case Qt::Key_AltGr:
    case Qt::Key_Meta:
    case Qt::Key_Super_L:
    case Qt::Key_Super_R:
    case Qt::Key_Hyper_L:
    case Qt::Key_Hyper_R:
    case Qt::Key_CapsLock:
    case Qt::Key_NumLock:
    case Qt::Key_ScrollLock:
        return true;
    default:
        return false;
    }
}

} // namespace

void TZarvoForm::keyPressEvent(QKeyEvent* Event) {
    if (FPlacement.Active() && !OnlyModifies(Event->key())) {
        FormKeyDown(Event->key());
        Event->accept();
        return;
    }
    QMainWindow::keyPressEvent(Event);
}

void TZarvoForm::FormKeyDown(int Key) {
    if (!FPlacement.Active() || OnlyModifies(Key)) return;
    if (Key == Qt::Key_Return || Key == Qt::Key_Enter) {
        FPlacement.Drop(true);
    } else if (Key == Qt::Key_Escape) {
        FPlacement.Cancel();
    } else {
        // Any other key ends the placement with the item where it was: an item that was
        // picked up stays, a new one stays where it was made.
        FPlacement.Leave();
        FModified = true;
    }
    Repaint();
}

} // namespace zarvo
