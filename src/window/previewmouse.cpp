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
    TEPSBox Probe = FItems.Item(Index);
    Probe.Origin = Corner;
    FView.FDragRect = FView.DragRectOf(Probe);
    // Moving the pointer need not report a move on every platform: the frame starts at its
    // corner either way.
    FMousePos = {FView.FDragRect.X, FView.FDragRect.Y};
    MoveCursorTo(Corner.X, Corner.Y);
    FSelected = Index;
}

void TZarvoForm::GrafikFeldMouseDown(Qt::MouseButton Button, int X, int Y) {
    const QPoint Global = GrafikFeld->mapToGlobal(QPoint(X, Y));
    FPopupPos = {Global.x(), Global.y()};
    if (FSelected >= 0) {
        // The press that ends a placement never picks up another item.
        EndPlacement(Button == Qt::LeftButton, false);
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
        FView.FDragRect = FView.DragRectOf(Item);
        FMousePos = {FView.FDragRect.X, FView.FDragRect.Y};
        MoveCursorTo(Item.Origin.X, Item.Origin.Y);
        if (Button == Qt::LeftButton) {
            FSelected = Hit;
            FSavedOrigin = Item.Origin;
        } else if (Button == Qt::RightButton) {
            FPopupItem = Hit;
            FHighlighted = Hit;
            GrafikFeld->repaint();
            if (Item.Kind == KindText) {
                FDialogs.PopupMenu(*TextPopup, FPopupPos);
            } else if (AskYesNo("Box löschen?", FPopupPos.X, FPopupPos.Y)) {
                FItems.Delete(Hit);
                FModified = true;
            }
            FHighlighted = -1;
        }
    }
    Repaint();
}

void TZarvoForm::GrafikFeldMouseMove(int X, int Y) {
    if (FSelected < 0) return;
    FView.UpdateViewport();
    TLogicalPoint P{X, Y};
    FView.Plot().DeviceToLogical(P);
    if (FGridOn) {
        // To the grid line at or below and at or left of the point, counted from the page's
        // lower-left corner.
        const int S = std::max(FView.FGridStep, 1);
        const int OX = FView.FMarginUnits[0], OY = FView.FMarginUnits[3];
        P.X = OX + S * ((P.X - OX) / S);
        P.Y = OY + S * ((P.Y - OY) / S);
    }
    FMousePos = P;
    TDragRect& R = FView.FDragRect;
    R.X = P.X;
    R.Y = P.Y;
    const TLogicalRect& Area = FView.Plot().AreaRect();
    if (static_cast<long long>(R.X) + R.Width > Area.Right) R.X = Area.Right - R.Width;
    if (static_cast<long long>(R.Y) + R.Height > Area.Top) R.Y = Area.Top - R.Height;
    Repaint();
}

void TZarvoForm::EndPlacement(bool Drop, bool Centre) {
    if (!FItems.ValidIndex(FSelected)) {
        FSheet.EndPlacing();
        Repaint();
        return;
    }
    TEPSBox& Item = FItems.Item(FSelected);
    if (Drop) {
        double X, Y;
        FView.Plot().LogicalToPlot(FMousePos.X, FMousePos.Y, X, Y);
        if (Centre) {
            X -= Item.Size.X / 2;
            Y -= Item.Size.Y / 2;
        }
        Item.Origin = {X, Y};
    } else if (FPlacingNew || FCopying) {
        FItems.Delete(FSelected);
    } else {
        Item.Origin = FSavedOrigin;
    }
    FSheet.EndPlacing();
    FModified = true;
    Repaint();
}

void TZarvoForm::keyPressEvent(QKeyEvent* Event) {
    if (FSelected >= 0) {
        FormKeyDown(Event->key());
        Event->accept();
        return;
    }
    QMainWindow::keyPressEvent(Event);
}

void TZarvoForm::FormKeyDown(int Key) {
    if (FSelected < 0) return;
    if (Key == Qt::Key_Return || Key == Qt::Key_Enter) {
        EndPlacement(true, true);
    } else if (Key == Qt::Key_Escape) {
        EndPlacement(false, false);
    } else {
        // Any other key ends the placement with the item where it was: an item that was
        // picked up goes back, a new one stays where it was made.
        if (FItems.ValidIndex(FSelected) && !FPlacingNew && !FCopying)
            FItems.Item(FSelected).Origin = FSavedOrigin;
        FSheet.EndPlacing();
        FModified = true;
        Repaint();
    }
}

} // namespace zarvo
