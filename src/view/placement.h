// One item being placed on the page: picked up, moved with the pointer, dropped or cancelled.
#pragma once

#include "plot/tplot.h"
#include "sheet/sheet.h"

namespace zarvo {

class TPageView;

// The placement frame in logical units, in this field order: left, height, width, bottom.
struct TDragRect {
    int X = 0;
    int Height = 0;
    int Width = 0;
    int Y = 0;
};

// Every way into and out of a placement goes through here, so that an item is never half
// placed: it is either where it was, where it was dropped, or (new and cancelled) gone.
class TPlacement {
public:
    TPlacement(TSheet& Sheet, TPageView& View) : FSheet(Sheet), FView(View) {}
    TPlacement(const TPlacement&) = delete;
    TPlacement& operator=(const TPlacement&) = delete;

    bool Active() const { return FIndex >= 0; }
    int Index() const { return FIndex; } // -1 when no item is being placed
    bool IsNew() const { return Active() && FKind == TKind::New; }
    bool IsCopy() const { return Active() && FKind == TKind::Copy; }
    // Where the frame is drawn, and the (snapped) pointer it follows, in logical units.
    const TDragRect& Frame() const { return FFrame; }
    TDragRect& Frame() { return FFrame; }
    TLogicalPoint Pointer() const { return FPointer; }

    // Picks up an item of the sheet; until it is dropped it stays where it was.
    void PickUp(int Index);
    // Places an item just added to the sheet, its frame's corner at Corner (page cm); a
    // cancel removes the item again.
    void StartNew(int Index, TCmPair Corner);
    // Places a fresh copy, its frame where the original is; a cancel removes it again.
    void StartCopy(int Index);
    // The pointer is at this pixel of the paint box: the frame follows, on the grid of
    // GridStep logical units when Snap, and inside the plot window.
    void MoveTo(TLogicalPoint Pixel, bool Snap);
    // Drops the item where its frame is shown, or (Centre) centred on the pointer and held
    // inside the plot window as the frame is.
    void Drop(bool Centre);
    // The one way back: a new item or copy goes again, a picked-up item stays where it was.
    void Cancel();
    // Ends the placement leaving every item as it stands (a new item where it was made).
    void Leave();
    // Item Index was deleted from the sheet: the placement keeps its own item or ends with it.
    void ItemDeleted(int Index);

private:
    enum class TKind { PickedUp, New, Copy };
    void Start(int Index, TKind Kind, const TEPSBox& At);

    TSheet& FSheet;
    TPageView& FView;
    int FIndex = -1;
    TKind FKind = TKind::PickedUp;
    TDragRect FFrame;
    TLogicalPoint FPointer{0, 0};
    // The pixel the placement started at, under the mapping of that moment: the pointer put
    // there stands for the frame's own corner, whatever rounding says.
    TLogicalPoint FStartPixel{0, 0};
    TDragRect FStartFrame;
    TViewMapping FStartMapping;
};

} // namespace zarvo
