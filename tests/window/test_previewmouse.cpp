// The mouse, the wheel and the keys on the main window's preview: picking up, moving, snapping,
// dropping and cancelling items, and the right button's questions.
#include "windowtest.h"

#include <QKeyEvent>
#include <QScrollBar>

#include <gtest/gtest.h>

using namespace zarvo;
using zarvotest::BoxEps;
using zarvotest::WindowTest;
using zarvotest::WriteFile;

TEST_F(WindowTest, PickingMovingAndDroppingItems) {
    TZarvoForm& F = Open();
    AddBox({2, 2}, "a.eps"); // 10 x 5 cm
    AddBox({8, 4}, "b.eps");
    // In the overlap the earlier item is picked; the right edge counts.
    Click(Qt::LeftButton, 9, 5);
    EXPECT_EQ(F.FPlacement.Index(), 0);
    EXPECT_FALSE(F.FModified);
    // The frame stays inside the plot window at the right and at the top: beyond them it
    // stands flush against the edge, and that is where it is kept.
    const TLogicalRect& Area = F.FView.Plot().AreaRect();
    const TDragRect& Frame = F.FPlacement.Frame();
    Move(15, 15);
    EXPECT_EQ(Frame.X + Frame.Width, Area.Right);
    EXPECT_LT(Frame.Y + Frame.Height, Area.Top);
    Move(5, 28);
    EXPECT_LT(Frame.X + Frame.Width, Area.Right);
    EXPECT_EQ(Frame.Y + Frame.Height, Area.Top);
    // Escape puts it back, but the sheet counts as changed.
    F.FormKeyDown(Qt::Key_Escape);
    EXPECT_EQ(F.FPlacement.Index(), -1);
    EXPECT_EQ(F.FItems.Item(0).Origin, (TCmPair{2, 2}));
    EXPECT_TRUE(F.FModified);
    Click(Qt::LeftButton, 2 + 283 / 28.35, 3);
    EXPECT_EQ(F.FPlacement.Index(), 0);
    // Enter centres the item on the (snapped) mouse position.
    F.FGridOn = false;
    Move(10, 12);
    F.FormKeyDown(Qt::Key_Return);
    // Within the pixel the pointer is on: here about 0.06 cm.
    EXPECT_NEAR(F.FItems.Item(0).Origin.X, 10 - 283 / 28.35 / 2, 0.07);
    EXPECT_NEAR(F.FItems.Item(0).Origin.Y, 12 - 142 / 28.35 / 2, 0.07);
    // A click on empty paper picks nothing.
    Click(Qt::LeftButton, 1, 28);
    EXPECT_EQ(F.FPlacement.Index(), -1);
}

// Picked up with a click and dropped with a second one, the pointer having been put on the
// item's corner (the move that putting it there reports included): an item on the grid stays
// where it is, in windows of several sizes.
TEST_F(WindowTest, PickingUpAndDroppingWithoutAMoveKeepsTheItem) {
    TZarvoForm& F = Open();
    const TCmPair Corners[] = {{1.0, 0.5},   {15.0, 20.0}, {0.5, 0.0},  {5.0, 10.0},
                               {10.5, 25.5}, {2.5, 14.0},  {18.0, 3.5}, {7.0, 27.0}};
    for (const TCmPair& C : Corners)
        AddText("T", C);
    for (const QSize Size : {QSize(800, 600), QSize(731, 555), QSize(1024, 900)}) {
        F.resize(Size);
        QApplication::processEvents();
        for (int Round = 0; Round < 2; ++Round)
            for (int I = 0; I < F.FItems.Count(); ++I) {
                const TCmPair Was = F.FItems.Item(I).Origin;
                Click(Qt::LeftButton, Was.X + 0.2, Was.Y + 0.2);
                ASSERT_EQ(F.FPlacement.Index(), I);
                Move(Was.X, Was.Y);
                Click(Qt::LeftButton, Was.X, Was.Y);
                EXPECT_EQ(F.FItems.Item(I).Origin, Was) << Size.width() << " item " << I;
            }
    }
}

// The item lands where its frame is shown: dropped with the pointer beyond the top right of
// the page, it stands flush in the corner of the plot window, where a click can reach it.
TEST_F(WindowTest, AnItemDroppedBeyondThePageLandsWhereItsFrameIs) {
    TZarvoForm& F = Open();
    WriteFile(Dir.File("bild.eps"), BoxEps);
    D.Files = {Dir.File("bild.eps")};
    F.InsertBtnClick();
    Move(36.0, 29.0);
    Click(Qt::LeftButton, 36.0, 29.0);
    const TEPSBox& Item = F.FItems.Item(0);
    // The plot window reaches 0.25 cm beyond the page's right and top edges (to within the
    // 0.1 mm of a logical unit).
    EXPECT_LE(Item.Origin.X + Item.Size.X, 21.25 + 0.01);
    EXPECT_GT(Item.Origin.X + Item.Size.X, 21.0);
    EXPECT_LE(Item.Origin.Y + Item.Size.Y, 29.85 + 0.01);
    EXPECT_GT(Item.Origin.Y + Item.Size.Y, 29.5);
    // Enter centres it on the pointer, held inside the same way.
    Click(Qt::LeftButton, Item.Origin.X + 1, Item.Origin.Y + 1);
    ASSERT_TRUE(F.FPlacement.Active());
    Move(36.0, 29.0);
    F.FormKeyDown(Qt::Key_Return);
    EXPECT_LE(Item.Origin.X + Item.Size.X, 21.25 + 0.01);
    EXPECT_LE(Item.Origin.Y + Item.Size.Y, 29.85 + 0.01);
}

// Shift, Ctrl and Alt only modify other keys: a placement goes on through them.
TEST_F(WindowTest, ModifierKeysDoNotEndAPlacement) {
    TZarvoForm& F = Open();
    WriteFile(Dir.File("bild.eps"), BoxEps);
    D.Files = {Dir.File("bild.eps")};
    F.InsertBtnClick();
    Move(4.2, 6.2);
    for (int Key : {Qt::Key_Shift, Qt::Key_Control, Qt::Key_Alt}) {
        F.FormKeyDown(Key);
        EXPECT_TRUE(F.FPlacement.Active()) << Key;
        QKeyEvent Press(QEvent::KeyPress, Key, Qt::NoModifier);
        QApplication::sendEvent(&F, &Press);
        EXPECT_TRUE(F.FPlacement.Active()) << Key;
    }
    Click(Qt::LeftButton, 4.2, 6.2);
    EXPECT_NEAR(F.FItems.Item(0).Origin.X, 4.0, 1e-9);
    EXPECT_NEAR(F.FItems.Item(0).Origin.Y, 6.0, 1e-9);
}

// The wheel scrolls the zoomed page (Shift: across); with Ctrl it zooms one step about the
// pointer.
TEST_F(WindowTest, TheWheelScrollsAndZoomsAboutThePointer) {
    TZarvoForm& F = Open();
    const int Lines = QApplication::wheelScrollLines();
    const int V0 = F.VertScrollBar->value();
    F.GrafikFeldWheel(-1, Qt::NoModifier, 100, 100); // the whole page: nothing to scroll
    EXPECT_EQ(F.VertScrollBar->value(), V0);
    const QPoint At = Pixel(12.0, 20.0);
    F.GrafikFeldWheel(1, Qt::ControlModifier, At.x(), At.y());
    EXPECT_EQ(F.FView.FZoom, 32);
    // Up and down the page (across, the upright page still fits): the scroll bar moves in
    // hundredths of what there is to scroll, a few pixels.
    EXPECT_FALSE(F.HorzScrollBar->isVisible());
    EXPECT_NEAR(Pixel(12.0, 20.0).y(), At.y(), 6);
    F.GrafikFeldWheel(1, Qt::ControlModifier, At.x(), At.y());
    EXPECT_EQ(F.FView.FZoom, 16);
    EXPECT_NEAR(Pixel(12.0, 20.0).y(), At.y(), 12);
    ASSERT_TRUE(F.VertScrollBar->isVisible());
    ASSERT_TRUE(F.HorzScrollBar->isVisible());
    F.VertScrollBar->setValue(50);
    F.HorzScrollBar->setValue(50);
    F.GrafikFeldWheel(-1, Qt::NoModifier, 100, 100);
    EXPECT_EQ(F.VertScrollBar->value(), 50 + Lines);
    EXPECT_EQ(F.FView.FVertPos, 50 + Lines);
    F.GrafikFeldWheel(2, Qt::ShiftModifier, 100, 100);
    EXPECT_EQ(F.HorzScrollBar->value(), 50 - 2 * Lines);
    EXPECT_EQ(F.VertScrollBar->value(), 50 + Lines);
    F.GrafikFeldWheel(-3, Qt::ControlModifier, 100, 100);
    EXPECT_EQ(F.FView.FZoom, 128);
}

TEST_F(WindowTest, SnappingToA5mmGrid) {
    TZarvoForm& F = Open();
    AddBox({5, 5});
    // Zoomed in to the lower-left corner of the page, where one millimetre is many pixels.
    for (int I = 0; I < 6; ++I)
        F.LargerItemClick();
    EXPECT_EQ(F.FView.FZoom, 1);
    F.VertScrollBar->setValue(100);
    F.HorzScrollBar->setValue(0);
    Click(Qt::LeftButton, 5.1, 5.1);
    // Still zoomed in: drive the placement by hand to the point 12.3 / 7.9 mm.
    Move(1.23, 0.79);
    EXPECT_EQ(F.FPlacement.Pointer().X, 75 + 100);
    EXPECT_EQ(F.FPlacement.Pointer().Y, 75 + 50);
    Move(-0.2, 0.79); // left of the page corner: to the corner's x
    EXPECT_EQ(F.FPlacement.Pointer().X, 75);
    Move(1.23, -0.2); // below the page corner: to the corner's y
    EXPECT_EQ(F.FPlacement.Pointer().Y, 75);
    Move(1.23, 0.79);
    Click(Qt::LeftButton, 1.23, 0.79);
    EXPECT_NEAR(F.FItems.Item(0).Origin.X, 1.0, 1e-9);
    EXPECT_NEAR(F.FItems.Item(0).Origin.Y, 0.5, 1e-9);
    // Other grids count from the same corner in both directions: 3 mm takes 12.3 / 7.9 mm to
    // 12 / 6 mm, 7 mm to 7 / 7 mm.
    const struct {
        int Grid;
        int X, Y; // logical units from the page corner
    } Cases[] = {{3, 120, 60}, {7, 70, 70}};
    for (const auto& C : Cases) {
        D.Numbers = {C.Grid};
        F.RasterItemClick();
        const TCmPair At = F.FItems.Item(0).Origin;
        Click(Qt::LeftButton, At.X + 0.1, At.Y + 0.1);
        ASSERT_EQ(F.FPlacement.Index(), 0) << C.Grid;
        Move(1.23, 0.79);
        EXPECT_EQ(F.FPlacement.Pointer().X, 75 + C.X) << C.Grid;
        EXPECT_EQ(F.FPlacement.Pointer().Y, 75 + C.Y) << C.Grid;
        Click(Qt::LeftButton, 1.23, 0.79);
        EXPECT_NEAR(F.FItems.Item(0).Origin.X, C.X / 100.0, 1e-9) << C.Grid;
        EXPECT_NEAR(F.FItems.Item(0).Origin.Y, C.Y / 100.0, 1e-9) << C.Grid;
    }
}

TEST_F(WindowTest, RightClickOnABoxAsksBeforeDeleting) {
    TZarvoForm& F = Open();
    AddBox({2, 2});
    F.FModified = false;
    D.Answers = {false, true};
    Click(Qt::RightButton, 3, 3);
    EXPECT_EQ(F.FItems.Count(), 1);
    EXPECT_FALSE(F.FModified);
    Click(Qt::RightButton, 3, 3);
    EXPECT_EQ(D.Log.back(), "question: Box löschen?");
    EXPECT_EQ(F.FItems.Count(), 0);
    EXPECT_TRUE(F.FModified);
}
