// The main window: menus, toolbar, status line, the page preview and every command on the sheet.
#pragma once

#include "dialogs/modaldialogs.h"
#include "output/cupslookup.h"
#include "output/epscheckqueue.h"
#include "output/printroute.h"
#include "plot/plotcanvas.h"
#include "sheet/config.h"
#include "sheet/defaults.h"
#include "sheet/hlistbox.h"
#include "sheet/sheet.h"
#include "view/pageview.h"
#include "view/textmeasure.h"
#include "window/qthistorymenu.h"

#include <QMainWindow>

#include <memory>
#include <string>

class QAction;
class QActionGroup;
class QButtonGroup;
class QLabel;
class QMenu;
class QScrollBar;
class QTimer;
class QToolBar;
class QToolButton;

namespace zarvo {

class TContentView;
class TGrafikFeld;

class TZarvoForm : public QMainWindow {
    Q_OBJECT
public:
    // FormCreate: reads the configuration file (in the user's documents folder, or IniName when
    // given), builds the window and an empty, untitled sheet. ProgramPath names the program.
    TZarvoForm(TModalDialogs& Dialogs, const std::string& ProgramPath,
               const std::string& IniName = std::string(), QWidget* Parent = nullptr);
    // FormDestroy: writes the configuration and the recent-files list back.
    ~TZarvoForm() override;

    // Shows the window in the state the configuration asks for.
    void ShowAsConfigured();

    // ---- The sheet and the state of the window ----
    TSheet FSheet;
    TItemList& FItems = FSheet.FItems;
    std::string& FSheetFile = FSheet.FSheetFile;
    bool& FModified = FSheet.FModified;
    TCmPair& FPaperSize = FSheet.FPaperSize;
    bool& FLandscape = FSheet.FLandscape;
    TCmPair& FBoxSize = FSheet.FBoxSize;
    TPSFontRec& FTextFont = FSheet.FTextFont;

    std::string FLastEpsFile;
    std::string FLastText;
    bool FGridOn = true;
    int FGridWidth = 5;
    int FPrinter = 3;
    std::string FPrintFile;
    std::string FWorkDir;
    std::string FFilter;
    std::string FExeName;
    std::string FIniName;
    TFormBounds FFormBounds;
    int FFormState = 0;
    std::string FPortTargets[4];
    THistoryList FHistory;
    TPageView FView;                           // the preview: zoom, margins, page layout, the plot
    TPlacement& FPlacement = FView.FPlacement; // the item being placed, if any
    TPoint FPopupPos;
    int FPopupItem = -1;
    int FHighlighted = -1; // an item drawn highlighted while its popup or question is open

    // ---- Handlers ----
    // File
    void ClearBtnClick();
    void LoadBtnClick();
    void SaveItemClick();
    void SaveAsBtnClick();
    void LoadDataListClick(const std::string& FileName);
    void InsertBtnClick();
    void UpdateBtnClick();
    void EndBtnClick();
    // Text
    void InsertTextItemClick();
    void PSFontItemClick();
    void DeltextItemClick();
    void CopyTextItemClick();
    void EdiTextItemClick();
    void TextFontItemClick();
    // Print and destination
    void PrintBtnClick();
    void LPT11Click() { SelectPrinter(1); }
    void LPT21Click() { SelectPrinter(2); }
    void LPT31Click() { SelectPrinter(3); }
    void LPT41Click() { SelectPrinter(4); }
    void PrintFileSelectClick() { SelectPrinter(0); }
    void ShowPrintTarget();
    // Settings > Printer > "Select Printer ...": a CUPS destination for the checked port.
    void PrinterChooseItemClick();
    // View
    void FitItemClick();
    void LargerItemClick();
    void SmallerItemClick();
    // Settings
    void EpsPfadItemClick();
    void FilterItemClick();
    void HochItemClick();
    void QuerItemClick();
    void A4FormItemClick();
    void IndiItemClick();
    void RasterItemClick();
    void RasterOnClick();
    void RasterBtnClick();
    void BoxsizeItemClick();
    void InfoClick();
    // Window and preview
    void FormActivate();
    void FormResize();
    void FormKeyDown(int Key);
    void GrafikFeldPaint(QPainter& Painter);
    void GrafikFeldMouseDown(Qt::MouseButton Button, int X, int Y);
    void GrafikFeldMouseMove(int X, int Y);
    // The wheel scrolls the zoomed page, with Shift across; with Ctrl it zooms one step per
    // notch about the pointer at X, Y. Notches > 0: away from the user (up, in).
    void GrafikFeldWheel(int Notches, Qt::KeyboardModifiers Modifiers, int X, int Y);

    // The title for the current sheet file ("[unbenannt]" while untitled).
    void UpdateTitle();
    // Opens a sheet file as the recent list does, reporting failures (for "zarvo SHEET.zvs").
    void OpenSheet(const std::string& FileName);

    // ---- Components ----
    QMenu* DateiListe;
    QMenu* TextPopup;
    QAction *neuesBlatt1, *LoadItem, *SaveItem, *SaveAsItem, *EPSeinfgen1, *Aktualisieren1,
        *EndeItem, *InsertTextItem, *PSFontItem, *Drucken1, *anpassen1, *grer1, *kleiner1,
        *EpsPfadItem, *FilterItem, *HochItem, *QuerItem, *A4FormItem, *IndiItem, *RasterWeite,
        *RasterOn, *BoxsizeItem, *LPT11, *LPT21, *LPT31, *LPT41, *PrintFileSelect, *Info;
    QAction* PrinterChooseItem;
    QAction *DeltextItem, *CopyTextItem, *EdiTextItem, *TextFontItem;
    QToolBar* Panel1;
    QToolButton *ClearBtn, *LoadBtn, *SaveBtn, *InsertBtn, *UpdateBtn, *TextBtn, *HochBtn, *QuerBtn,
        *SpeedButton1, *ZoomIn, *ZoomOut, *RasterBtn, *PrintBtn, *EndBtn;
    QLabel* StatusText;
    QWidget* GrafikPanel;
    TGrafikFeld* GrafikFeld;
    QScrollBar* VertScrollBar;
    QScrollBar* HorzScrollBar;
    QMenu* FViewMenu = nullptr;
    int FShowContent = -1;                      // as configured
    std::unique_ptr<TContentView> FContentView; // the EPS drawings in the preview
    // Checks inserted and refreshed EPS files against the print job in the background (none
    // without Ghostscript); a file that would stop the job is marked on the preview.
    std::unique_ptr<TEpsCheckQueue> FEpsChecks;

protected:
    void closeEvent(QCloseEvent* Event) override;  // FormClose
    void changeEvent(QEvent* Event) override;      // activation
    void keyPressEvent(QKeyEvent* Event) override; // FormKeyDown
    // No menu to hide the toolbar: the window has no command to bring it back.
    QMenu* createPopupMenu() override { return nullptr; }

private:
    void ReadConfiguration();
    void RememberGeometry();
    void ApplyGeometry();
    void FormDestroy();
    void CreateActions();
    void CreateMenus();
    void CreateToolBar();
    void CreatePreview();
    QToolButton* ToolButton(int X, const char* Name, int Glyph, const char* Hint,
                            void (TZarvoForm::*Handler)());

    // Offers a modified sheet for saving ("Blatt speichern?") before it is replaced or the
    // program ends, and saves on Yes. False when the answer was Yes but the sheet was not
    // saved (Save As cancelled, or the save failed): the sheet must stay then.
    bool MaybeSave();
    // Save and Save As; true when the sheet was written.
    bool SaveSheetFile();
    bool SaveSheetAs();

    // Paper size and orientation of the sheet.
    void SetPaper(TCmPair Size, bool Landscape);
    void SelectPrinter(int Printer);
    TPortRoute PortRoute(int Port) const;
    void PollPrinterLookup();
    void Relayout();
    void Repaint();
    void UpdateScrollBars();
    // Starts placing the new item Index, its lower-left corner at Corner (page cm), with the
    // pointer moved there.
    void StartPlacement(int Index, TCmPair Corner);
    void MoveCursorTo(double X, double Y);
    void MeasureItem(TEPSBox& Item);
    // Queues the check of every EPS item's file, or of one file.
    void QueueEpsChecks();
    void QueueEpsCheck(const std::string& FileName);
    // A check has ended: the marks follow its result.
    void EpsChecksArrived();

    TModalDialogs& FDialogs;
    TUserDialogs* FDialogsBefore;
    TTextMeasurer FMeasurer;
    std::unique_ptr<TQtHistoryMenu> FHistoryMenu;
    QActionGroup* FOrientationGroup;
    QActionGroup* FPrinterGroup;
    QButtonGroup* FOrientationButtons;
    bool FActivatedOnce = false;
    bool FDestroyed = false;
    bool FUpdatingScrollBars = false;
    // The default CUPS destination as the last background lookup found it (empty: none yet).
    TCupsLookup FCupsLookup;
    QTimer* FCupsPoll;
    std::string FDefaultDest;
    static constexpr int LookupTimeoutMs = 3000;
    static constexpr int SentMessageMs = 5000;
};

} // namespace zarvo
