// The view and page commands: zoom, repaint and layout of the preview, paper, orientation and grid.
#include "window/zarvomain.h"

#include "window/grafikfeld.h"

#include <QAction>
#include <QApplication>
#include <QScrollBar>
#include <QToolButton>

#include <algorithm>
#include <climits>
#include <cstdlib>

namespace zarvo {

void TZarvoForm::Repaint() {
    GrafikFeld->update();
}

void TZarvoForm::Relayout() {
    FView.SetupPageMapping();
    FormResize();
    Repaint();
}

void TZarvoForm::FormResize() {
    if (!FView.FViewReady) return;
    FView.FormResize(GrafikFeld->width(), GrafikFeld->height());
    UpdateScrollBars();
}

void TZarvoForm::UpdateScrollBars() {
    if (FUpdatingScrollBars) return;
    FUpdatingScrollBars = true;
    FView.UpdateViewport();
    HorzScrollBar->setVisible(FView.HorzScrollVisible());
    VertScrollBar->setVisible(FView.VertScrollVisible());
    if (FView.VertScrollVisible() && isActiveWindow()) VertScrollBar->setFocus();
    FUpdatingScrollBars = false;
}

void TZarvoForm::GrafikFeldPaint(QPainter& Painter) {
    FView.Paint(Painter);
    GrafikFeld->setCursor(FView.PlacingCursor() ? Qt::SizeAllCursor : Qt::ArrowCursor);
    // The item a popup menu or question is about, drawn over its normal picture in green.
    if (FItems.ValidIndex(FHighlighted) && FHighlighted != FPlacement.Index()) {
        FView.Canvas().Begin(&Painter);
        FView.DrawItem(FItems.Item(FHighlighted), 2);
        FView.Canvas().End();
    }
}

void TZarvoForm::GrafikFeldWheel(int Notches, Qt::KeyboardModifiers Modifiers, int X, int Y) {
    if (Modifiers & Qt::ControlModifier) {
        // The page point under the pointer stays under it, as near as the scroll steps allow.
        double WX, WY;
        FView.PixelToWorld({X, Y}, WX, WY);
        for (int I = 0; I < std::abs(Notches); ++I)
            if (!(Notches > 0 ? FView.ZoomLarger() : FView.ZoomSmaller())) break;
        UpdateScrollBars();
        auto Nearest = [&](int& Pos, bool Across) {
            int Best = Pos, BestDistance = INT_MAX;
            for (int P = 0; P <= 100; ++P) {
                Pos = P;
                TLogicalPoint Pixel;
                FView.WorldToPixel(WX, WY, Pixel);
                const long long D = std::llabs(Across ? static_cast<long long>(Pixel.X) - X
                                                      : static_cast<long long>(Pixel.Y) - Y);
                if (D < BestDistance) {
                    BestDistance = static_cast<int>(std::min<long long>(D, INT_MAX - 1));
                    Best = P;
                }
            }
            Pos = Best;
        };
        if (FView.HorzScrollVisible()) Nearest(FView.FHorzPos, true);
        if (FView.VertScrollVisible()) Nearest(FView.FVertPos, false);
        HorzScrollBar->setValue(FView.FHorzPos);
        VertScrollBar->setValue(FView.FVertPos);
        UpdateScrollBars();
    } else {
        QScrollBar* Bar = (Modifiers & Qt::ShiftModifier) ? HorzScrollBar : VertScrollBar;
        if (!Bar->isVisible()) return;
        Bar->setValue(Bar->value() -
                      Notches * QApplication::wheelScrollLines() * Bar->singleStep());
    }
    // A frame being placed stays with the pointer.
    if (FPlacement.Active()) GrafikFeldMouseMove(X, Y);
    Repaint();
}

void TZarvoForm::FitItemClick() {
    FView.ZoomFit();
    UpdateScrollBars();
    Repaint();
}

void TZarvoForm::LargerItemClick() {
    FView.ZoomLarger();
    UpdateScrollBars();
    Repaint();
}

void TZarvoForm::SmallerItemClick() {
    FView.ZoomSmaller();
    UpdateScrollBars();
    Repaint();
}

void TZarvoForm::EpsPfadItemClick() {
    FDialogs.ChooseDirectory("Verzeichnis mit EPS-Dateien", "", -1, -1, FWorkDir);
}

void TZarvoForm::FilterItemClick() {
    FDialogs.EditFilter("Dateitypen", FFilter);
}

void TZarvoForm::HochItemClick() {
    SetPaper(FPaperSize, false);
    HochItem->setChecked(true);
}

void TZarvoForm::QuerItemClick() {
    SetPaper(FPaperSize, true);
    QuerItem->setChecked(true);
}

void TZarvoForm::A4FormItemClick() {
    SetPaper(A4Paper, FLandscape);
}

void TZarvoForm::IndiItemClick() {
    TCmPair Size = FPaperSize;
    if (FDialogs.EditSize(ProgramTitle, "Papiergröße", Size)) Size = ValidPaperSize(Size);
    SetPaper(Size, FLandscape);
}

void TZarvoForm::SetPaper(TCmPair Size, bool Landscape) {
    // The sheet file holds paper and orientation: a change is a change of the sheet, which
    // Exit then offers to save.
    if (Size != FPaperSize || Landscape != FLandscape) FModified = true;
    FPaperSize = Size;
    FLandscape = Landscape;
    Relayout();
}

void TZarvoForm::RasterItemClick() {
    int Width = FGridWidth;
    if (!FDialogs.NumberInput(ProgramTitle, "Raster in mm:", Width, 0, 1, MinGridWidth,
                              MaxGridWidth, -1, -1))
        return;
    // Snapping divides by the grid step: it stays within the dialog's limits.
    FGridWidth = ValidGridWidth(Width);
    FView.SetGridWidth(FGridWidth);
    Repaint();
}

void TZarvoForm::RasterOnClick() {
    FGridOn = !FGridOn;
    RasterBtn->setChecked(FGridOn);
    RasterOn->setChecked(FGridOn);
}

void TZarvoForm::RasterBtnClick() {
    FGridOn = RasterBtn->isChecked();
    RasterOn->setChecked(FGridOn);
}

void TZarvoForm::BoxsizeItemClick() {
    TCmPair Size = FBoxSize;
    if (FDialogs.EditSize(ProgramTitle, "Boxgröße", Size)) FBoxSize = Size;
}

} // namespace zarvo
