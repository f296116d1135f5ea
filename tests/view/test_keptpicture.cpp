// A page view that keeps its picture between paints shows what a fresh view draws.
#include "pageviewtest.h"
#include "plot/plotcolors.h"
#include "support/winsub.h"
#include "view/pageview.h"
#include "view/pictureinputs.h"

#include <gtest/gtest.h>

#include <QImage>
#include <QPainter>

#include <functional>
#include <map>
#include <vector>

namespace {

using namespace zarvo;
using zarvotest::Box;

// A view that keeps its picture between paints must show exactly what a view drawing the
// same sheet for the first time shows, whatever changed in between.
class KeptPicture : public ::testing::Test {
protected:
    void SetUp() override {
        for (int I = 0; I < 6; ++I) {
            Sheet.FItems.Add("", Box(I % 2 ? KindBBox : KindStdSize,
                                     "/tmp/bild" + std::to_string(I) + ".eps",
                                     {1.0 + 3 * I, 2.0 + 4 * I}, {3.0 + I, 2.5}));
        }
        TEPSBox Text = Box(KindText, "x^2 Text", {4.0, 26.0}, {0.0, 0.0});
        Text.Font.FontSize = 30;
        Sheet.FItems.Add("", Text);
        Kept.SetupPageMapping();
        Kept.FormResize(W, H);
    }

    // The kept view's paint (with the highlighted item on top, as the window draws it) and
    // the same from a fresh view with the same settings; also where each puts a page point.
    // Returns the kept view's picture.
    QImage ExpectSameAsFresh(const char* Step, int Highlight = -1) {
        TPageView Fresh(Sheet);
        Fresh.FZoom = Kept.FZoom;
        Fresh.FHorzPos = Kept.FHorzPos;
        Fresh.FVertPos = Kept.FVertPos;
        Fresh.FFaceColor = Kept.FFaceColor;
        if (Kept.FPlacement.Active()) Fresh.FPlacement.PickUp(Kept.FPlacement.Index());
        Fresh.FPlacement.Frame() = Kept.FPlacement.Frame();
        Fresh.SetGridWidth(Kept.FGridWidth);
        Kept.SetJobFailures(JobFailures);
        Fresh.SetJobFailures(JobFailures);
        const QImage A = PaintWith(Kept, Highlight), B = PaintWith(Fresh, Highlight);
        EXPECT_TRUE(A == B) << Step;
        TLogicalPoint PA, PB;
        Kept.WorldToPixel(7.5, 12.25, PA);
        Fresh.WorldToPixel(7.5, 12.25, PB);
        EXPECT_EQ(PA.X, PB.X) << Step;
        EXPECT_EQ(PA.Y, PB.Y) << Step;
        return A;
    }

    // As above, and the picture is not the one before.
    void ExpectNewPicture(const char* Step) {
        const QImage Now = ExpectSameAsFresh(Step);
        EXPECT_FALSE(Now == Before) << Step << ": the picture did not change";
        Before = Now;
    }

    QImage PaintWith(TPageView& View, int Highlight) {
        View.SetupPageMapping();
        View.FormResize(W, H);
        QImage Image(static_cast<int>(W * Ratio), static_cast<int>(H * Ratio),
                     QImage::Format_RGB32);
        Image.setDevicePixelRatio(Ratio);
        QPainter Painter(&Image);
        View.Paint(Painter);
        if (Highlight >= 0) {
            View.Canvas().Begin(&Painter);
            View.DrawItem(Sheet.FItems.Item(Highlight), 2);
            View.Canvas().End();
        }
        return Image;
    }

    int W = 640, H = 480;
    double Ratio = 1.0;
    std::map<std::string, std::string> JobFailures;
    TSheet Sheet;
    TPageView Kept{Sheet};
    QImage Before;
};

// Each input of the picture in turn: the kept view draws a new picture, the one a fresh view
// draws.
TEST_F(KeptPicture, FollowsEveryChangeOfSheetAndView) {
    Before = ExpectSameAsFresh("first paint");
    EXPECT_TRUE(ExpectSameAsFresh("unchanged") == Before);
    Sheet.FItems.Item(1).Origin.X += 0.5;
    ExpectNewPicture("moved");
    Sheet.FItems.Item(2).Name = "/tmp/anders.eps";
    ExpectNewPicture("renamed");
    Sheet.FItems.Item(3).Size.Y = 7.25;
    ExpectNewPicture("resized");
    Sheet.FItems.Item(6).Font.FontColor = 0x00FF00;
    ExpectNewPicture("recoloured");
    Sheet.FItems.Item(6).Font.FontStyle = 3;
    ExpectNewPicture("restyled");
    Sheet.FItems.Item(6).Font.FontSize = 12;
    ExpectNewPicture("font size");
    Sheet.FItems.Item(6).Font.FontType = 2;
    ExpectNewPicture("font");
    Sheet.FItems.Item(5).Origin.Y -= 1.5;
    ExpectNewPicture("moved up or down only");
    Sheet.FItems.Item(5).Size.X += 2.0;
    ExpectNewPicture("wider only");
    Sheet.FItems.Item(0).Kind = KindBBox;
    ExpectNewPicture("other kind");
    Sheet.FItems.Delete(4);
    ExpectNewPicture("erased");
    Kept.FPlacement.PickUp(3);
    ExpectNewPicture("picked up");
    Kept.FPlacement.Leave();
    ExpectNewPicture("dropped");
    Kept.ZoomLarger();
    ExpectNewPicture("zoomed in");
    Kept.FHorzPos = 40;
    ExpectNewPicture("scrolled across");
    Kept.FVertPos = 70;
    ExpectNewPicture("scrolled up or down");
    Kept.ZoomFit();
    ExpectNewPicture("whole page");
    Kept.SetGridWidth(3); // 2 mm would show dots every 10 mm here, as 5 mm does
    ExpectNewPicture("grid");
    Kept.FFaceColor = RGBColor(200, 210, 220);
    ExpectNewPicture("face colour");
    Sheet.FLandscape = true;
    ExpectNewPicture("landscape");
    Sheet.FPaperSize = {16.0, 24.0};
    ExpectNewPicture("paper");
    W = 500;
    H = 700;
    ExpectNewPicture("other size");
    // The same device pixels at twice the pixel ratio: everything drawn twice as large.
    W = 250;
    H = 350;
    Ratio = 2.0;
    ExpectNewPicture("pixel ratio");
    const char Decimal = GetDecimalChar();
    SetDecimalChar(Decimal == ',' ? '.' : ',');
    ExpectNewPicture("decimal character");
    SetDecimalChar(Decimal);
    ExpectNewPicture("decimal character back");
    JobFailures["/tmp/bild1.eps"] = "Bricht den Druck ab: Ghostscript: /undefined in x";
    ExpectNewPicture("file breaks the job");
}

// The picture's inputs compare unequal when any one of them differs.
TEST(PictureInputs, EachFieldTakesPartInTheComparison) {
    TPictureInputs Base;
    Base.Items.resize(2);
    const std::vector<std::function<void(TPictureInputs&)>> Changes = {
        [](TPictureInputs& In) { In.PixelRatio = 2.0; },
        [](TPictureInputs& In) { In.ViewWidth = 1; },
        [](TPictureInputs& In) { In.ViewHeight = 1; },
        [](TPictureInputs& In) { In.PageFracX = 0.5; },
        [](TPictureInputs& In) { In.PageFracY = 0.5; },
        [](TPictureInputs& In) { In.Zoom = 32; },
        [](TPictureInputs& In) { In.HorzPos = 1; },
        [](TPictureInputs& In) { In.VertPos = 1; },
        [](TPictureInputs& In) { In.PlotWindow.X = 1; },
        [](TPictureInputs& In) { In.PlotWindow.Y = 1; },
        [](TPictureInputs& In) { In.Margins[3] = 1; },
        [](TPictureInputs& In) { In.GridStep = 1; },
        [](TPictureInputs& In) { In.FaceColor = 1; },
        [](TPictureInputs& In) { In.DecimalChar = ','; },
        [](TPictureInputs& In) { In.Selected = 1; },
        [](TPictureInputs& In) { In.Items.pop_back(); },
        [](TPictureInputs& In) { In.Items[1].Name = "x"; },
        [](TPictureInputs& In) { In.Items[1].Kind = KindText; },
        [](TPictureInputs& In) { In.Items[1].Origin.Y = 1; },
        [](TPictureInputs& In) { In.Items[1].Offset.X = 1; },
        [](TPictureInputs& In) { In.Items[1].Size.Y = 1; },
        [](TPictureInputs& In) { In.Items[1].Font.FontType = 3; },
        [](TPictureInputs& In) { In.Items[1].Font.FontSize = 3; },
        [](TPictureInputs& In) { In.Items[1].Font.FontAngle = 3; },
        [](TPictureInputs& In) { In.Items[1].Font.FontStyle = 3; },
        [](TPictureInputs& In) { In.Items[1].Font.FontColor = 3; },
        [](TPictureInputs& In) {
            In.JobFailures = {"", "bricht"};
        },
    };
    for (std::size_t I = 0; I < Changes.size(); ++I) {
        TPictureInputs Changed = Base;
        Changes[I](Changed);
        EXPECT_FALSE(Changed == Base) << "change " << I;
        EXPECT_FALSE(Base == Changed) << "change " << I;
    }
    EXPECT_TRUE(TPictureInputs(Base) == Base);
}

TEST_F(KeptPicture, PlacementFrameAndHighlightDrawOverTheKeptSheet) {
    ExpectSameAsFresh("before");
    // Picked up: the item leaves the picture, its frame follows the mouse over the rest.
    Kept.FPlacement.PickUp(2);
    ExpectSameAsFresh("picked up");
    Kept.FPlacement.Frame().X += 130;
    Kept.FPlacement.Frame().Y -= 70;
    ExpectSameAsFresh("frame moved");
    Kept.FPlacement.Frame().X += 5;
    ExpectSameAsFresh("frame moved again");
    Sheet.FItems.Item(2).Origin = {9.0, 4.0};
    Kept.FPlacement.Leave();
    ExpectSameAsFresh("dropped");
    // The highlight of a right click comes last, in the settings the last item left behind.
    ExpectSameAsFresh("text highlighted", 6);
    ExpectSameAsFresh("box highlighted", 1);
    ExpectSameAsFresh("box highlighted again", 1);
}

} // namespace
