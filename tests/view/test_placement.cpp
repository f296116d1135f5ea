// The placement of an item: every transition from picking up or starting to dropping,
// cancelling or leaving it, on a page view of A4 at the whole-page zoom.
#include "view/pageview.h"
#include "view/placement.h"

#include <gtest/gtest.h>

#include <string>

namespace {

using namespace zarvo;

TEPSBox Box(TCmPair Origin, TCmPair Size) {
    TEPSBox B(TCmPair{10.0, 10.0});
    B.Name = "/tmp/box.eps";
    B.Kind = KindBBox;
    B.Origin = Origin;
    B.Size = Size;
    return B;
}

class Placement : public ::testing::Test {
protected:
    void SetUp() override {
        Sheet.FItems.Add("a", Box({2.0, 3.0}, {4.0, 2.0}));
        Sheet.FItems.Add("b", Box({10.0, 10.0}, {3.0, 3.0}));
        View.SetupPageMapping();
        View.FormResize(800, 600);
        View.UpdateViewport();
    }
    // The pixel of the paint box at the page point X, Y (cm).
    TLogicalPoint Pixel(double X, double Y) {
        TLogicalPoint P;
        View.WorldToPixel(X, Y, P);
        return P;
    }
    TSheet Sheet;
    TPageView View{Sheet};
    TPlacement& P = View.FPlacement;
};

TEST_F(Placement, PickUpMoveDropCancelLeave) {
    EXPECT_FALSE(P.Active());
    P.PickUp(5); // no such item: nothing starts
    EXPECT_FALSE(P.Active());

    // Picked up: the frame starts on the item, the item stays until dropped.
    P.PickUp(0);
    ASSERT_TRUE(P.Active());
    EXPECT_EQ(P.Index(), 0);
    EXPECT_FALSE(P.IsNew());
    EXPECT_FALSE(P.IsCopy());
    EXPECT_EQ(P.Frame().X, 75 + 200);
    EXPECT_EQ(P.Frame().Y, 75 + 300);
    EXPECT_EQ(P.Frame().Width, 400);
    EXPECT_EQ(P.Frame().Height, 200);
    P.MoveTo(Pixel(8.2, 6.2), true);
    EXPECT_EQ(P.Pointer().X, 75 + 800);
    EXPECT_EQ(P.Pointer().Y, 75 + 600);
    EXPECT_EQ(Sheet.FItems.Item(0).Origin, (TCmPair{2.0, 3.0}));
    EXPECT_FALSE(Sheet.FModified);
    // Cancelled, it stays where it was; the sheet counts as changed.
    P.Cancel();
    EXPECT_FALSE(P.Active());
    EXPECT_EQ(Sheet.FItems.Count(), 2);
    EXPECT_EQ(Sheet.FItems.Item(0).Origin, (TCmPair{2.0, 3.0}));
    EXPECT_TRUE(Sheet.FModified);

    // Dropped at the snapped pointer, or centred on it.
    Sheet.FModified = false;
    P.PickUp(1);
    P.MoveTo(Pixel(8.2, 6.2), true);
    P.Drop(false);
    EXPECT_FALSE(P.Active());
    EXPECT_NEAR(Sheet.FItems.Item(1).Origin.X, 8.0, 1e-9);
    EXPECT_NEAR(Sheet.FItems.Item(1).Origin.Y, 6.0, 1e-9);
    EXPECT_TRUE(Sheet.FModified);
    P.PickUp(1);
    P.MoveTo(Pixel(8.2, 6.2), true);
    P.Drop(true);
    EXPECT_NEAR(Sheet.FItems.Item(1).Origin.X, 6.5, 1e-9);
    EXPECT_NEAR(Sheet.FItems.Item(1).Origin.Y, 4.5, 1e-9);

    // A new item and a copy go again when cancelled; left, they stay where they are.
    const int New = Sheet.FItems.Add("c", Box({0.0, 0.0}, {1.0, 1.0}));
    P.StartNew(New, {5.0, 7.0});
    EXPECT_TRUE(P.IsNew());
    EXPECT_EQ(P.Frame().X, 75 + 500);
    EXPECT_EQ(P.Frame().Y, 75 + 700);
    P.Cancel();
    EXPECT_EQ(Sheet.FItems.Count(), 2);
    const int Copy = Sheet.FItems.Add("a", Sheet.FItems.Item(0));
    P.StartCopy(Copy);
    EXPECT_TRUE(P.IsCopy());
    P.Cancel();
    EXPECT_EQ(Sheet.FItems.Count(), 2);
    const int Kept = Sheet.FItems.Add("c", Box({0.0, 0.0}, {1.0, 1.0}));
    P.StartNew(Kept, {5.0, 7.0});
    P.Leave();
    EXPECT_FALSE(P.Active());
    ASSERT_EQ(Sheet.FItems.Count(), 3);
    EXPECT_EQ(Sheet.FItems.Item(2).Origin, (TCmPair{0.0, 0.0}));

    // Deleting an item below the placed one keeps the placement on its own item; deleting
    // the placed item ends it.
    P.PickUp(2);
    Sheet.FItems.Delete(0);
    P.ItemDeleted(0);
    EXPECT_EQ(P.Index(), 1);
    Sheet.FItems.Delete(1);
    P.ItemDeleted(1);
    EXPECT_FALSE(P.Active());
    // Nothing to drop or cancel: nothing changes.
    Sheet.FModified = false;
    P.Drop(false);
    P.Cancel();
    EXPECT_EQ(Sheet.FItems.Count(), 1);
    EXPECT_FALSE(Sheet.FModified);
}

// Picked up and dropped where the pointer was put, an item on the grid stays exactly where it
// is; and a pointer on the pixel of a grid line snaps to that line, not one step below it, at
// every zoom step and several sizes of the paint box.
TEST_F(Placement, SnappingLosesNoStepToRounding) {
    const TCmPair Corners[] = {{1.0, 0.5},  {15.0, 20.0}, {0.5, 0.0},  {20.5, 29.5},
                               {7.5, 13.5}, {3.0, 3.0},   {12.5, 1.0}, {0.0, 28.0}};
    for (const TCmPair& C : Corners)
        Sheet.FItems.Add("c", Box(C, {0.5, 0.5}));
    const int First = 2;
    for (const TViewSize Size :
         {TViewSize{800, 600}, TViewSize{643, 517}, TViewSize{1280, 1024}, TViewSize{333, 911}}) {
        for (int Zoom = ZoomMin; Zoom <= ZoomMax; Zoom *= 2) {
            for (int Scroll : {0, 37, 100}) {
                View.FZoom = Zoom;
                View.FHorzPos = View.FVertPos = Scroll;
                View.FormResize(Size.Width, Size.Height);
                View.UpdateViewport();
                const std::string At = std::to_string(Size.Width) + "x" +
                                       std::to_string(Size.Height) + " zoom " +
                                       std::to_string(Zoom) + " scroll " + std::to_string(Scroll);
                for (int I = First; I < Sheet.FItems.Count(); ++I) {
                    const TCmPair Was = Sheet.FItems.Item(I).Origin;
                    P.PickUp(I);
                    P.MoveTo(Pixel(Was.X, Was.Y), true);
                    P.Drop(false);
                    ASSERT_EQ(Sheet.FItems.Item(I).Origin, Was) << At;
                }
                // Where five millimetres are two pixels or more, a pointer moved onto a grid
                // line's pixel from elsewhere snaps to that line.
                const double PixelsPerStep = 50 * View.Plot().Mapping().ScaleX();
                if (PixelsPerStep < 2) continue;
                P.PickUp(0);
                for (int I = First; I < Sheet.FItems.Count(); ++I) {
                    const TCmPair G = Sheet.FItems.Item(I).Origin;
                    const TLogicalPoint Px = Pixel(G.X, G.Y);
                    P.MoveTo(Px, true);
                    ASSERT_EQ(P.Pointer().X, 75 + static_cast<int>(G.X * 100 + 0.5)) << At;
                    ASSERT_EQ(P.Pointer().Y, 75 + static_cast<int>(G.Y * 100 + 0.5)) << At;
                }
                P.Cancel();
            }
        }
    }
}

} // namespace
