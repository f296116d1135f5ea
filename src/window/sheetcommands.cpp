// The sheet file commands: new sheet, load, the recent list, save and save as.
#include "window/zarvomain.h"

#include "sheet/sheetfile.h"
#include "support/winsub.h"

#include <QAction>
#include <QFile>

namespace zarvo {

void TZarvoForm::ClearBtnClick() {
    if (!AskYesNo("Alles löschen?", -1, -1)) return;
    if (FModified && AskYesNo("Blatt speichern?", -1, -1)) SaveItemClick();
    FLastEpsFile.clear();
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
        ErrorBox(R.Message);
        return;
    }
    // The items are the loaded sheet's now: whatever was being placed is gone.
    FPlacement.Leave();
    FModified = false;
    FHistory.AddFile(FileName);
    UpdateTitle();
    (FLandscape ? QuerItem : HochItem)->setChecked(true);
    Relayout();
}

void TZarvoForm::LoadBtnClick() {
    if (FModified && AskYesNo("Blatt speichern?", -1, -1)) SaveItemClick();
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
        ShowMessage("Datei:" + FileName + " nicht gefunden!");
        FHistory.RemoveFile(FileName);
        return;
    }
    // One click on an entry would throw unsaved work away unasked; it gets the question
    // that Load asks.
    if (FModified && AskYesNo("Blatt speichern?", -1, -1)) SaveItemClick();
    OpenSheet(FileName);
}

void TZarvoForm::SaveItemClick() {
    if (FSheetFile.empty()) {
        SaveAsBtnClick();
        return;
    }
    const TSheetResult R = SaveSheet(FSheet, FSheetFile);
    if (!R.Succeeded()) ErrorBox(R.Message);
}

void TZarvoForm::SaveAsBtnClick() {
    TFileDialogOptions O;
    O.InitialDir = FWorkDir;
    O.FileName = StripExtension(ExtractFileName(FLastEpsFile));
    O.DefaultExt = "zvs";
    O.Filter = "Blattdaten|*.zvs";
    O.Title = "Blatt speichern unter";
    std::string Path;
    if (!FDialogs.SaveFile(O, Path)) return;
    const TSheetResult R = SaveSheet(FSheet, Path);
    if (!R.Succeeded()) {
        ErrorBox(R.Message);
        return;
    }
    FHistory.AddFile(Path);
    UpdateTitle();
}

} // namespace zarvo
