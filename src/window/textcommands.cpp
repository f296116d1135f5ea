// The text commands: insert, edit, copy and erase one-line texts and choose their fonts.
#include "window/zarvomain.h"

#include "sheet/psfonttable.h"
#include "support/winsub.h"

#include <QMenu>

namespace zarvo {

void TZarvoForm::MeasureItem(TEPSBox& Item) {
    Item.Size = FMeasurer.Measure(Item.Name, Item.Font);
}

void TZarvoForm::InsertTextItemClick() {
    TPoint Pos;
    Pos = FDialogs.MousePos();
    std::string Text = FLastText;
    if (!FDialogs.EditPlotText(Pos, "Text einfügen", "Text:", Text, ScreenName(FTextFont.FontType),
                               true))
        return;
    FLastText = Text;
    TEPSBox Item(FBoxSize);
    Item.Font.FontType = FTextFont.FontType;
    Item.Font.FontSize = FTextFont.FontSize;
    Item.Font.FontStyle = FTextFont.FontStyle;
    Item.Font.FontColor = FTextFont.FontColor;
    Item.Name = Text;
    Item.Kind = KindText;
    MeasureItem(Item);
    FPlacement.Leave(); // as for a new EPS item
    const int Index = FItems.Add(Text, Item);
    const TPlotRect& Area = FView.Plot().PlotArea();
    StartPlacement(Index, {(Area.Right - Area.Left) / 4, (Area.Top - Area.Bottom) / 4});
    Repaint();
    FModified = true;
}

void TZarvoForm::PSFontItemClick() {
    FDialogs.EditPSFont(FTextFont);
}

void TZarvoForm::EdiTextItemClick() {
    if (!FItems.ValidIndex(FPopupItem)) return;
    TEPSBox& Item = FItems.Item(FPopupItem);
    TPoint Pos;
    MousePosOffset(FDialogs, {-20, -50}, Pos);
    if (!FDialogs.EditPlotText(Pos, "Text ändern", "Text:", Item.Name,
                               ScreenName(Item.Font.FontType), true))
        return;
    MeasureItem(Item);
    Repaint();
    FModified = true;
}

void TZarvoForm::TextFontItemClick() {
    if (!FItems.ValidIndex(FPopupItem)) return;
    TEPSBox& Item = FItems.Item(FPopupItem);
    if (!FDialogs.EditPSFont(Item.Font)) return;
    MeasureItem(Item);
    Repaint();
    FModified = true;
}

void TZarvoForm::CopyTextItemClick() {
    if (!FItems.ValidIndex(FPopupItem)) return;
    TEPSBox Copy(StandardBoxSize);
    Copy.CopyFrom(FItems.Item(FPopupItem));
    const int Index = FItems.Add(FItems.Label(FPopupItem), Copy);
    FPlacement.StartCopy(Index);
}

void TZarvoForm::DeltextItemClick() {
    if (!FItems.ValidIndex(FPopupItem)) return;
    if (AskYesNo(FDialogs, "Text löschen?", FPopupPos.X, FPopupPos.Y)) FItems.Delete(FPopupItem);
    Repaint();
    FModified = true;
}

} // namespace zarvo
