// One item being placed on the page: picked up, moved with the pointer, dropped or cancelled.
#include "view/placement.h"

#include "view/pageview.h"

#include <algorithm>
#include <climits>
#include <cmath>

namespace zarvo {

namespace {

bool SameMapping(const TViewMapping& A, const TViewMapping& B) {
    return A.WindowOrgX == B.WindowOrgX && A.WindowOrgY == B.WindowOrgY &&
           A.WindowExtX == B.WindowExtX && A.WindowExtY == B.WindowExtY &&
           A.ViewportExtX == B.ViewportExtX && A.ViewportExtY == B.ViewportExtY;
}

// The grid line at or below the pointer, counted from Origin in steps of S: the last line
// whose own pixel is the pointer's pixel or one before it (Reached tells), so that rounding a
// pixel to logical units never loses a whole step. Limit is the far edge of the pointer's pixel
// in logical units. Left of or below the origin (Rounded, the pixel's own logical value) the
// point goes towards the origin.
template <class TReached>
int SnapAtOrBelow(double Limit, int Rounded, int Origin, int S, TReached Reached) {
    const double D = Limit - Origin;
    if (!(D > 0)) return Origin + S * ((Rounded - Origin) / S);
    long long K = static_cast<long long>(std::floor(D / S));
    K = std::min<long long>(K, (INT_MAX - static_cast<long long>(Origin)) / S);
    // Only a line on the very edge can lie beyond the pixel: one step back at most, and a
    // second for rounding on the other side.
    for (int Back = 0; Back < 2 && K > 0 && !Reached(static_cast<int>(Origin + K * S)); ++Back)
        --K;
    return static_cast<int>(Origin + K * S);
}

} // namespace

void TPlacement::Start(int Index, TKind Kind, const TEPSBox& At) {
    FFrame = FView.DragRectOf(At);
    FStartFrame = FFrame;
    FView.WorldToPixel(At.Origin.X, At.Origin.Y, FStartPixel);
    FStartMapping = FView.Plot().Mapping();
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
    const TViewMapping& M = Plot.Mapping();
    if (Pixel.X == FStartPixel.X && Pixel.Y == FStartPixel.Y && SameMapping(M, FStartMapping)) {
        // The pointer where the placement put it: the frame at its start, so that picking an
        // item up and dropping it without a move leaves it exactly where it was.
        FFrame = FStartFrame;
        FPointer = {FFrame.X, FFrame.Y};
        return;
    }
    TLogicalPoint P = Pixel;
    Plot.DeviceToLogical(P);
    if (Snap) {
        // To the grid line at or below and at or left of the point, counted from the page's
        // lower-left corner; y turns downwards on the device, so the pixel's upper edge is
        // its far edge in logical units.
        const int S = std::max(FView.FGridStep, 1);
        const int OX = FView.FMarginUnits[0], OY = FView.FMarginUnits[3];
        P.X = SnapAtOrBelow(M.ToLogicalX(Pixel.X + 0.5), P.X, OX, S, [&](int X) {
            TLogicalPoint L{X, 0};
            Plot.LogicalToDevice(L);
            return L.X <= Pixel.X;
        });
        P.Y = SnapAtOrBelow(M.ToLogicalY(Pixel.Y - 0.5), P.Y, OY, S, [&](int Y) {
            TLogicalPoint L{0, Y};
            Plot.LogicalToDevice(L);
            return L.Y >= Pixel.Y;
        });
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
        TPlot& Plot = FView.Plot();
        double X, Y;
        if (Centre) {
            Plot.LogicalToPlot(FPointer.X, FPointer.Y, X, Y);
            X -= Item.Size.X / 2;
            Y -= Item.Size.Y / 2;
            // Held inside the plot window at the right and top, as the frame is drawn.
            double Right, Top;
            Plot.LogicalToPlot(Plot.AreaRect().Right - FFrame.Width,
                               Plot.AreaRect().Top - FFrame.Height, Right, Top);
            X = std::min(X, Right);
            Y = std::min(Y, Top);
        } else {
            // Where the frame is shown: the pointer, held inside the plot window.
            Plot.LogicalToPlot(FFrame.X, FFrame.Y, X, Y);
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
