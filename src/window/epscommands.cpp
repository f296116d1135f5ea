// The EPS commands: insert an EPS file and refresh the items from their files.
#include "window/zarvomain.h"

#include "sheet/epsheader.h"
#include "support/winsub.h"

namespace zarvo {

void TZarvoForm::InsertBtnClick() {
    TFileDialogOptions O;
    O.InitialDir = FLastEpsFile.empty() ? FWorkDir : ExtractFilePath(FLastEpsFile);
    O.DefaultExt = "eps";
    if (!FLastEpsFile.empty()) O.FileName = StripExtension(ExtractFileName(FLastEpsFile)) + ".*";
    O.Filter = FFilter;
    O.Title = "EPS-Datei auswählen";
    std::string Path;
    if (!FDialogs.OpenFile(O, Path)) return;
    FLastEpsFile = Path;
    TEPSBox Item(FBoxSize);
    const TStatus Read = ReadEpsHeader(FLastEpsFile, Item.Kind, Item.Size, Item.Offset);
    if (!Read.Message().empty()) ErrorBox(Read.Message());
    if (!Read) return;
    Item.Name = FLastEpsFile;
    // An item still being placed stays where it is (a new one at the page's corner) and the
    // new item takes the placement over.
    FPlacement.Leave();
    const int Index = FItems.Add(FLastEpsFile, Item);
    const TPlotRect& Area = FView.Plot().PlotArea();
    StartPlacement(Index, {(Area.Right - Area.Left) / 4, (Area.Top - Area.Bottom) / 4});
    Repaint();
    FModified = true;
    QueueEpsCheck(FLastEpsFile);
}

void TZarvoForm::UpdateBtnClick() {
    for (int I = FItems.Count() - 1; I >= 0; --I) {
        TEPSBox& Item = FItems.Item(I);
        if (Item.Kind == KindText) continue;
        const TStatus Read = ReadEpsHeader(Item.Name, Item.Kind, Item.Size, Item.Offset);
        if (!Read.Message().empty()) ErrorBox(Read.Message());
        if (Read) continue;
        // A file that is there but fails while being read (a disk or network error) ends the
        // refresh; its item stays, as do the items refreshed so far. Only a file that cannot
        // be opened or is no PostScript takes its item off the sheet.
        if (Read.Error().ReadFailed) break;
        FItems.Delete(I);
        // A placement under way keeps pointing at its own item, or ends with it.
        FPlacement.ItemDeleted(I);
    }
    QueueEpsChecks();
    Repaint();
}

void TZarvoForm::QueueEpsChecks() {
    for (int I = 0; I < FItems.Count(); ++I)
        if (FItems.Item(I).Kind != KindText) QueueEpsCheck(FItems.Item(I).Name);
}

void TZarvoForm::QueueEpsCheck(const std::string& FileName) {
    // An unchanged file that was checked before keeps its result without a second run.
    if (FEpsChecks) FEpsChecks->Check(FileName);
}

void TZarvoForm::EpsChecksArrived() {
    if (!FEpsChecks) return;
    FView.SetJobFailures(FEpsChecks->Failures());
    Repaint();
}

} // namespace zarvo
