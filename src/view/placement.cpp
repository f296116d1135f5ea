// One item being placed on the page: picked up, moved with the pointer, dropped or cancelled.
#include "view/placement.h"

#include "view/pageview.h"

#include <algorithm>

namespace zarvo {

void TPlacement::Start(int Index, TKind Kind, const TEPSBox& At) {
    FFrame = FView.DragRectOf(At);
    // Moving the pointer need not report a move on every platform: the frame starts at its
    // corner either way.
    FPointer = {FFrame.X, FFrame.Y};
    FIndex = Index;
    FKind = Kind;
}

void TPlacement::PickUp(int Index) {
    if (!FSheet.FItems.ValidIndex(Index)) return;
    Start(Index, TKind::PickedUp, FSheet.FItems.Item(Index));
}

void TPlacement::StartNew(int Index, TCmPair Corner) {
    if (!FSheet.FItems.ValidIndex(Index)) return;
    TEPSBox Probe = FSheet.FItems.Item(Index);
    Probe.Origin = Corner;
    Start(Index, TKind::New, Probe);
}

void TPlacement::StartCopy(int Index) {
    if (!FSheet.FItems.ValidIndex(Index)) return;
    Start(Index, TKind::Copy, FSheet.FItems.Item(Index));
}

void TPlacement::MoveTo(TLogicalPoint Pixel, bool Snap) {
    if (!Active()) return;
    FView.UpdateViewport();
    TPlot& Plot = FView.Plot();
    TLogicalPoint P = Pixel;
    Plot.DeviceToLogical(P);
    if (Snap) {
        // To the grid line at or below and at or left of the point, counted from the page's
        // lower-left corner.
        const int S = std::max(FView.FGridStep, 1);
        const int OX = FView.FMarginUnits[0], OY = FView.FMarginUnits[3];
        P.X = OX + S * ((P.X - OX) / S);
        P.Y = OY + S * ((P.Y - OY) / S);
    }
    FPointer = P;
    FFrame.X = P.X;
    FFrame.Y = P.Y;
    const TLogicalRect& Area = Plot.AreaRect();
    if (static_cast<long long>(FFrame.X) + FFrame.Width > Area.Right)
        FFrame.X = Area.Right - FFrame.Width;
    if (static_cast<long long>(FFrame.Y) + FFrame.Height > Area.Top)
        FFrame.Y = Area.Top - FFrame.Height;
}

void TPlacement::Drop(bool Centre) {
    if (!Active()) return;
    if (FSheet.FItems.ValidIndex(FIndex)) {
        TEPSBox& Item = FSheet.FItems.Item(FIndex);
        double X, Y;
        FView.Plot().LogicalToPlot(FPointer.X, FPointer.Y, X, Y);
        if (Centre) {
            X -= Item.Size.X / 2;
            Y -= Item.Size.Y / 2;
        }
        Item.Origin = {X, Y};
        FSheet.FModified = true;
    }
    Leave();
}

void TPlacement::Cancel() {
    if (!Active()) return;
    if (FSheet.FItems.ValidIndex(FIndex)) {
        if (FKind != TKind::PickedUp) FSheet.FItems.Delete(FIndex);
        FSheet.FModified = true;
    }
    Leave();
}

void TPlacement::Leave() {
    FIndex = -1;
    FKind = TKind::PickedUp;
}

void TPlacement::ItemDeleted(int Index) {
    if (!Active()) return;
    if (Index == FIndex)
        Leave();
    else if (Index < FIndex)
        --FIndex;
}

} // namespace zarvo
