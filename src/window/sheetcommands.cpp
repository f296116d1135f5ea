// The sheet file commands: new sheet, load, the recent list, save and save as.
#include "window/zarvomain.h"

#include "sheet/sheetfile.h"
#include "support/winsub.h"

#include <QAction>
#include <QFile>

namespace zarvo {

bool TZarvoForm::MaybeSave() {
    if (!FModified || !AskYesNo(FDialogs, "Blatt speichern?", -1, -1)) return true;
    return SaveSheetFile();
}

void TZarvoForm::ClearBtnClick() {
    if (!AskYesNo(FDialogs, "Alles löschen?", -1, -1)) return;
    if (!MaybeSave()) return;
    FLastEpsFile.clear();
    if (FEpsChecks) FEpsChecks->DropQueued();
    FItems.Clear();
    FSheetFile.clear();
    FModified = false;
    FPlacement.Leave();
    UpdateTitle();
    Repaint();
}

void TZarvoForm::OpenSheet(const std::string& FileName) {
    const TSheetResult R =
        LoadSheet(FSheet, FileName, [this](const std::string& Text, const TPSFontRec& Font) {
            return FMeasurer.Measure(Text, Font);
        });
    if (!R.Succeeded()) {
        FDialogs.ErrorBox(R.Message);
        return;
    }
    // The items are the loaded sheet's now: whatever was being placed is gone.
    FPlacement.Leave();
    FModified = false;
    // The files of the sheet before are of no interest any more; those of this one are.
    if (FEpsChecks) FEpsChecks->DropQueued();
    QueueEpsChecks();
    FHistory.AddFile(FileName);
    UpdateTitle();
    (FLandscape ? QuerItem : HochItem)->setChecked(true);
    Relayout();
}

void TZarvoForm::LoadBtnClick() {
    if (!MaybeSave()) return;
    TFileDialogOptions O;
    O.InitialDir = FSheetFile.empty() ? FWorkDir : ExtractFilePath(FSheetFile);
    O.DefaultExt = "zvs";
    O.Filter = "Blattdaten|*.zvs|alle|*.*";
    O.Title = "Lade Blatt";
    std::string Path;
    if (!FDialogs.OpenFile(O, Path)) return;
    OpenSheet(Path);
}

void TZarvoForm::LoadDataListClick(const std::string& FileName) {
    if (!QFile::exists(QFile::decodeName(FileName.c_str()))) {
        FDialogs.ShowMessage("Datei:" + FileName + " nicht gefunden!");
        FHistory.RemoveFile(FileName);
        return;
    }
    // One click on an entry would throw unsaved work away unasked; it gets the question
    // that Load asks.
    if (!MaybeSave()) return;
    OpenSheet(FileName);
}

void TZarvoForm::SaveItemClick() {
    SaveSheetFile();
}

void TZarvoForm::SaveAsBtnClick() {
    SaveSheetAs();
}

bool TZarvoForm::SaveSheetFile() {
    if (FSheetFile.empty()) return SaveSheetAs();
    const TSheetResult R = SaveSheet(FSheet, FSheetFile);
    if (!R.Succeeded()) FDialogs.ErrorBox(R.Message);
    return R.Succeeded();
}

bool TZarvoForm::SaveSheetAs() {
    TFileDialogOptions O;
    O.InitialDir = FWorkDir;
    O.FileName = StripExtension(ExtractFileName(FLastEpsFile));
    O.DefaultExt = "zvs";
    O.Filter = "Blattdaten|*.zvs";
    O.Title = "Blatt speichern unter";
    std::string Path;
    if (!FDialogs.SaveFile(O, Path)) return false;
    const TSheetResult R = SaveSheet(FSheet, Path);
    if (!R.Succeeded()) {
        FDialogs.ErrorBox(R.Message);
        return false;
    }
    FHistory.AddFile(Path);
    UpdateTitle();
    return true;
}

} // namespace zarvo
