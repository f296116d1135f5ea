// The main window: menus, toolbar, status line, the page preview and every command on the sheet.
#include "window/zarvomain.h"

#include "sheet/psfonttable.h"
#include "output/printjob.h"
#include "output/printtarget.h"
#include "sheet/epsheader.h"
#include "sheet/sheetfile.h"
#include "window/toolglyphs.h"
#include "support/inifile.h"
#include "support/inouterror.h"
#include "support/shellfolder.h"
#include "support/winsub.h"
#include "window/contentview.h"
#include "window/grafikfeld.h"

#include <QAction>
#include <QActionGroup>
#include <QApplication>
#include <QButtonGroup>
#include <QCloseEvent>
#include <QCursor>
#include <QFile>
#include <QGridLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QScrollBar>
#include <QStatusBar>
#include <QToolBar>
#include <QToolButton>

#include <algorithm>
#include <cstring>

namespace zarvo {

namespace {

const char* const ProgramTitle = "EPS-Dateien drucken";

QString Utf8(const std::string& S) {
    return QString::fromUtf8(S.c_str());
}

} // namespace

// ------------------------------------------------------------------ creation and destruction

TZarvoForm::TZarvoForm(TModalDialogs& Dialogs, const std::string& ProgramPath,
                       const std::string& IniName, QWidget* Parent)
    : QMainWindow(Parent), FView(FSheet), FDialogs(Dialogs) {
    setObjectName(QStringLiteral("ZarvoForm"));
    // The program's questions and messages go through the same seam as its dialogs.
    FDialogsBefore = SetUserDialogs(&FDialogs);
    FExeName = ExtractFileName(StripExtension(ExtractFileName(ProgramPath)));
    if (FExeName.empty()) FExeName = "zarvo";
    FWorkDir = GetSpecialFolder(CSIDL_PERSONAL);
    FIniName = IniName.empty() ? ConfigFileName(FWorkDir, FExeName) : IniName;

    CreateActions();
    CreateMenus();
    CreateToolBar();
    CreatePreview();
    ReadConfiguration();
    FContentView = std::make_unique<TContentView>(FView, *GrafikFeld, *FViewMenu, FShowContent);

    FSheetFile.clear();
    FLastText.clear();
    UpdateTitle();
    FSelected = -1;
    FLastEpsFile.clear();
    FBoxSize = {10.0, 10.0};
    FView.FZoom = ZoomWholePage;
    FModified = false;
    FCopying = false;
    FPlacingNew = false;
    // Numbers in the print job and on the preview's labels always use a point.
    SetDecimalChar('.');
    FView.SetGridWidth(FGridWidth);
    Relayout();
    ShowPrintTarget();
}

TZarvoForm::~TZarvoForm() {
    FormDestroy();
    SetUserDialogs(FDialogsBefore);
}

void TZarvoForm::ReadConfiguration() {
    TIniFile Ini(FIniName);
    Ini.Open(); // a missing or unreadable file gives every default
    const TConfig C = ReadConfig(Ini, FWorkDir);
    FWorkDir = C.WorkDir;
    FFilter = C.Filter;
    FPrinter = C.Printer;
    FPrintFile = C.PrintFile;
    FLandscape = C.Landscape;
    FPaperSize = C.PaperSize;
    FGridOn = C.GridOn;
    FGridWidth = C.GridWidth;
    FShowContent = C.ShowContent;
    FFormBounds = C.FormBounds;
    FFormState = C.WindowState;
    FTextFont = C.TextFont;
    for (int I = 0; I < 4; ++I)
        FPortTargets[I] = C.PortTargets[I];
    FHistory.LoadFromIni(Ini, "Files");
    FHistory.AttachMenu(FHistoryMenu.get());
    FHistory.OnSelect = [this](THistoryMenu*, const std::string& FileName) {
        LoadDataListClick(FileName);
    };
}

void TZarvoForm::RememberGeometry() {
    const QSize Client = size();
    FFormBounds = {pos().x(), pos().y(), Client.width(), Client.height()};
    FFormState = (windowState() & Qt::WindowMinimized)   ? 1
                 : (windowState() & Qt::WindowMaximized) ? 2
                                                         : 0;
}

void TZarvoForm::ApplyGeometry() {
    FActivatedOnce = true;
    move(FFormBounds.Left, FFormBounds.Top);
    resize(std::max(FFormBounds.ClientWidth, 200), std::max(FFormBounds.ClientHeight, 150));
}

void TZarvoForm::ShowAsConfigured() {
    ApplyGeometry();
    if (FFormState == 1)
        showMinimized();
    else if (FFormState == 2)
        showMaximized();
    else
        show();
}

void TZarvoForm::FormDestroy() {
    if (FDestroyed) return;
    FDestroyed = true;
    TIniFile Ini(FIniName);
    // Other sections of the file (the ports, for instance) are kept; a file that exists but
    // cannot be read is not replaced by one that would lose them.
    const TIniFile::TOpenResult Opened = Ini.Open();
    if (Opened == TIniFile::TOpenResult::Unreadable || Opened == TIniFile::TOpenResult::TooLarge) {
        ErrorBox("Fehler beim Schreiben nach " + FIniName + " (" + std::strerror(Ini.LastError()) +
                 ")");
        return;
    }
    TConfig C;
    C.WorkDir = FWorkDir;
    C.Filter = FFilter;
    C.Printer = FPrinter;
    C.PrintFile = FPrintFile;
    C.Landscape = FLandscape;
    C.PaperSize = FPaperSize;
    C.GridOn = FGridOn;
    C.GridWidth = FGridWidth;
    C.ShowContent = FContentView ? FContentView->Shown() : FShowContent;
    if (isVisible()) RememberGeometry();
    C.FormBounds = FFormBounds;
    C.WindowState = FFormState;
    C.TextFont = FTextFont;
    WriteConfig(Ini, C);
    FHistory.SaveToIni(Ini, "Files", true);
    FHistory.AttachMenu(nullptr);
    try {
        Ini.UpdateFile();
    } catch (const EInOutError& E) {
        ErrorBox("Fehler beim Schreiben nach " + FIniName + " (" + E.what() + ")");
    }
}

// ------------------------------------------------------------------ components

void TZarvoForm::CreateActions() {
    auto Make = [this](const char* Caption, const char* Name, void (TZarvoForm::*Handler)()) {
        QAction* A = new QAction(Utf8(Caption), this);
        A->setObjectName(QLatin1String(Name));
        connect(A, &QAction::triggered, this, [this, Handler] { (this->*Handler)(); });
        return A;
    };
    neuesBlatt1 = Make("&New Sheet", "neuesBlatt1", &TZarvoForm::ClearBtnClick);
    LoadItem = Make("Sheet &Load ...", "LoadItem", &TZarvoForm::LoadBtnClick);
    SaveItem = Make("Sheet &Save", "SaveItem", &TZarvoForm::SaveItemClick);
    SaveAsItem = Make("Sheet Save &as ...", "SaveAsItem", &TZarvoForm::SaveAsBtnClick);
    EPSeinfgen1 = Make("E&PS Insert ...", "EPSeinfgen1", &TZarvoForm::InsertBtnClick);
    Aktualisieren1 = Make("Update", "Aktualisieren1", &TZarvoForm::UpdateBtnClick);
    EndeItem = Make("&Exit", "EndeItem", &TZarvoForm::EndBtnClick);
    InsertTextItem = Make("Insert New Text", "InsertTextItem", &TZarvoForm::InsertTextItemClick);
    PSFontItem = Make("PS-&Font", "PSFontItem", &TZarvoForm::PSFontItemClick);
    Drucken1 = Make("Print", "Drucken1", &TZarvoForm::PrintBtnClick);
    anpassen1 = Make("&Fit", "anpassen1", &TZarvoForm::FitItemClick);
    grer1 = Make("&Larger", "grer1", &TZarvoForm::LargerItemClick);
    kleiner1 = Make("&Smaller", "kleiner1", &TZarvoForm::SmallerItemClick);
    EpsPfadItem = Make("&Path for EPS-Files", "EpsPfadItem", &TZarvoForm::EpsPfadItemClick);
    FilterItem = Make("File-&Filter", "FilterItem", &TZarvoForm::FilterItemClick);
    HochItem = Make("&Vertical", "HochItem", &TZarvoForm::HochItemClick);
    QuerItem = Make("&Horizontal", "QuerItem", &TZarvoForm::QuerItemClick);
    A4FormItem = Make("&A4", "A4FormItem", &TZarvoForm::A4FormItemClick);
    IndiItem = Make("&Individual", "IndiItem", &TZarvoForm::IndiItemClick);
    RasterWeite = Make("&Dimension", "RasterWeite", &TZarvoForm::RasterItemClick);
    RasterOn = Make("&Alignment", "RasterOn", &TZarvoForm::RasterOnClick);
    BoxsizeItem = Make("&Standard-Box Dimension", "BoxsizeItem", &TZarvoForm::BoxsizeItemClick);
    LPT11 = Make("LPT1", "LPT11", &TZarvoForm::LPT11Click);
    LPT21 = Make("LPT2", "LPT21", &TZarvoForm::LPT21Click);
    LPT31 = Make("LPT3", "LPT31", &TZarvoForm::LPT31Click);
    LPT41 = Make("LPT4", "LPT41", &TZarvoForm::LPT41Click);
    PrintFileSelect = Make("File", "PrintFileSelect", &TZarvoForm::PrintFileSelectClick);
    Info = Make("&Info", "Info", &TZarvoForm::InfoClick);
    DeltextItem = Make("&Erase", "DeltextItem", &TZarvoForm::DeltextItemClick);
    CopyTextItem = Make("&Copy", "CopyTextItem", &TZarvoForm::CopyTextItemClick);
    EdiTextItem = Make("&Edit", "EdiTextItem", &TZarvoForm::EdiTextItemClick);
    TextFontItem = Make("&Font", "TextFontItem", &TZarvoForm::TextFontItemClick);

    FOrientationGroup = new QActionGroup(this);
    for (QAction* A : {HochItem, QuerItem}) {
        A->setCheckable(true);
        FOrientationGroup->addAction(A);
    }
    FPrinterGroup = new QActionGroup(this);
    for (QAction* A : {LPT11, LPT21, LPT31, LPT41, PrintFileSelect}) {
        A->setCheckable(true);
        FPrinterGroup->addAction(A);
    }
    RasterOn->setCheckable(true);
}

void TZarvoForm::CreateMenus() {
    QMenu* File = menuBar()->addMenu(QStringLiteral("&File"));
    File->addAction(neuesBlatt1);
    File->addAction(LoadItem);
    File->addAction(SaveItem);
    File->addAction(SaveAsItem);
    File->addSeparator();
    DateiListe = File->addMenu(QStringLiteral("L&ist"));
    DateiListe->setObjectName(QStringLiteral("DateiListe"));
    FHistoryMenu = std::make_unique<TQtHistoryMenu>(
        DateiListe, [this](const std::string& Caption) { FHistory.ItemClick(Caption); });
    File->addSeparator();
    File->addAction(EPSeinfgen1);
    File->addAction(Aktualisieren1);
    File->addSeparator();
    File->addAction(EndeItem);

    QMenu* Text = menuBar()->addMenu(QStringLiteral("&Text"));
    Text->addAction(InsertTextItem);
    Text->addSeparator();
    Text->addAction(PSFontItem);

    menuBar()->addAction(Drucken1);

    QMenu* View = FViewMenu = menuBar()->addMenu(QStringLiteral("View"));
    View->addAction(anpassen1);
    View->addAction(grer1);
    View->addAction(kleiner1);

    QMenu* Settings = menuBar()->addMenu(QStringLiteral("&Settings"));
    Settings->addAction(EpsPfadItem);
    Settings->addAction(FilterItem);
    Settings->addSeparator();
    QMenu* Paper = Settings->addMenu(QStringLiteral("Paper-F&ormat"));
    Paper->addAction(HochItem);
    Paper->addAction(QuerItem);
    Paper->addSeparator();
    Paper->addAction(A4FormItem);
    Paper->addAction(IndiItem);
    QMenu* Grid = Settings->addMenu(QStringLiteral("&Grid"));
    Grid->addAction(RasterWeite);
    Grid->addAction(RasterOn);
    Settings->addAction(BoxsizeItem);
    Settings->addSeparator();
    QMenu* Printer = Settings->addMenu(QStringLiteral("&Printer"));
    Printer->setObjectName(QStringLiteral("PrintSelectItem"));
    Printer->addAction(LPT11);
    Printer->addAction(LPT21);
    Printer->addAction(LPT31);
    Printer->addAction(LPT41);
    Printer->addSeparator();
    Printer->addAction(PrintFileSelect);

    menuBar()->addAction(Info);

    TextPopup = new QMenu(this);
    TextPopup->setObjectName(QStringLiteral("TextPopup"));
    QAction* Title = TextPopup->addAction(QStringLiteral("Text"));
    Title->setObjectName(QStringLiteral("Text2"));
    Title->setEnabled(false);
    TextPopup->addSeparator();
    TextPopup->addAction(DeltextItem);
    TextPopup->addAction(CopyTextItem);
    TextPopup->addAction(EdiTextItem);
    TextPopup->addSeparator();
    TextPopup->addAction(TextFontItem);
}

QToolButton* TZarvoForm::ToolButton(int X, const char* Name, int Glyph, const char* Hint,
                                    void (TZarvoForm::*Handler)()) {
    QToolButton* B = new QToolButton(Panel1);
    B->setObjectName(QLatin1String(Name));
    B->setIcon(ToolGlyph(static_cast<TToolGlyph>(Glyph)));
    B->setIconSize(QSize(24, 24));
    B->setFixedSize(31, 31);
    B->setAutoRaise(true);
    if (Hint) B->setToolTip(QLatin1String(Hint));
    B->setFocusPolicy(Qt::NoFocus);
    B->move(X, 1);
    connect(B, &QToolButton::clicked, this, [this, Handler] { (this->*Handler)(); });
    return B;
}

void TZarvoForm::CreateToolBar() {
    Panel1 = new QToolBar(this);
    Panel1->setObjectName(QStringLiteral("Panel1"));
    Panel1->setMovable(false);
    Panel1->setFloatable(false);
    QWidget* Row = new QWidget(Panel1);
    Row->setFixedSize(455, 33);
    Panel1->addWidget(Row);
    addToolBar(Qt::TopToolBarArea, Panel1);
    using G = TToolGlyph;
    auto Button = [&](int X, const char* Name, G Glyph, const char* Hint,
                      void (TZarvoForm::*Handler)()) {
        QToolButton* B = ToolButton(X, Name, static_cast<int>(Glyph), Hint, Handler);
        B->setParent(Row);
        B->move(X, 1);
        return B;
    };
    ClearBtn = Button(3, "ClearBtn", G::NewSheet, "New Sheet", &TZarvoForm::ClearBtnClick);
    LoadBtn = Button(34, "LoadBtn", G::OpenSheet, "Open Sheet", &TZarvoForm::LoadBtnClick);
    SaveBtn = Button(65, "SaveBtn", G::SaveSheet, nullptr, &TZarvoForm::SaveItemClick);
    InsertBtn = Button(99, "InsertBtn", G::EpsInsert, "EPS Insert", &TZarvoForm::InsertBtnClick);
    UpdateBtn = Button(130, "UpdateBtn", G::Refresh, "Refresh", &TZarvoForm::UpdateBtnClick);
    TextBtn =
        Button(161, "TextBtn", G::TextInsert, "Text Insert", &TZarvoForm::InsertTextItemClick);
    HochBtn = Button(194, "HochBtn", G::Portrait, "Vertical format", &TZarvoForm::HochItemClick);
    QuerBtn = Button(225, "QuerBtn", G::Landscape, "Horizontal format", &TZarvoForm::QuerItemClick);
    SpeedButton1 =
        Button(259, "SpeedButton1", G::WholePage, "Whole Page View", &TZarvoForm::FitItemClick);
    ZoomIn = Button(290, "ZoomIn", G::ZoomIn, "Enlarge", &TZarvoForm::LargerItemClick);
    ZoomOut = Button(321, "ZoomOut", G::ZoomOut, "Shrink", &TZarvoForm::SmallerItemClick);
    RasterBtn = Button(355, "RasterBtn", G::Grid, nullptr, &TZarvoForm::RasterBtnClick);
    PrintBtn = Button(390, "PrintBtn", G::Print, "Print", &TZarvoForm::PrintBtnClick);
    EndBtn = Button(421, "EndBtn", G::Exit, "Exit", &TZarvoForm::EndBtnClick);
    // Portrait and landscape: one of the two stays down.
    FOrientationButtons = new QButtonGroup(this);
    FOrientationButtons->setExclusive(true);
    for (QToolButton* B : {HochBtn, QuerBtn}) {
        B->setCheckable(true);
        FOrientationButtons->addButton(B);
    }
    RasterBtn->setCheckable(true);

    StatusText = new QLabel(this);
    StatusText->setObjectName(QStringLiteral("StatusBar"));
    statusBar()->addWidget(StatusText, 1);
    statusBar()->setSizeGripEnabled(true);
}

void TZarvoForm::CreatePreview() {
    GrafikPanel = new QWidget(this);
    GrafikPanel->setObjectName(QStringLiteral("GrafikPanel"));
    auto* Layout = new QGridLayout(GrafikPanel);
    Layout->setContentsMargins(0, 0, 0, 0);
    Layout->setSpacing(0);
    GrafikFeld = new TGrafikFeld(GrafikPanel);
    VertScrollBar = new QScrollBar(Qt::Vertical, GrafikPanel);
    VertScrollBar->setObjectName(QStringLiteral("VertScrollBar"));
    HorzScrollBar = new QScrollBar(Qt::Horizontal, GrafikPanel);
    HorzScrollBar->setObjectName(QStringLiteral("HorzScrollBar"));
    for (QScrollBar* S : {VertScrollBar, HorzScrollBar}) {
        S->setRange(0, 100);
        S->setPageStep(10);
        S->hide();
    }
    VertScrollBar->setValue(15);
    Layout->addWidget(GrafikFeld, 0, 0);
    Layout->addWidget(VertScrollBar, 0, 1);
    Layout->addWidget(HorzScrollBar, 1, 0);
    setCentralWidget(GrafikPanel);
    // The scroll bars repaint at once, without waiting for the next paint of the window.
    connect(HorzScrollBar, &QScrollBar::valueChanged, this, [this](int V) {
        FView.FHorzPos = V;
        GrafikFeld->repaint();
    });
    connect(VertScrollBar, &QScrollBar::valueChanged, this, [this](int V) {
        FView.FVertPos = V;
        GrafikFeld->repaint();
    });
    FView.FHorzPos = HorzScrollBar->value();
    FView.FVertPos = VertScrollBar->value();
    const QColor Face = palette().color(QPalette::Button);
    FView.FFaceColor = RGBColor(Face.red(), Face.green(), Face.blue());
    GrafikFeld->OnPaint = [this](QPainter& P) { GrafikFeldPaint(P); };
    GrafikFeld->OnMouseDown = [this](Qt::MouseButton B, int X, int Y) {
        GrafikFeldMouseDown(B, X, Y);
    };
    GrafikFeld->OnMouseMove = [this](int X, int Y) { GrafikFeldMouseMove(X, Y); };
    GrafikFeld->OnResize = [this] { FormResize(); };
}

// ------------------------------------------------------------------ window events

void TZarvoForm::changeEvent(QEvent* Event) {
    QMainWindow::changeEvent(Event);
    if (Event->type() == QEvent::ActivationChange && isActiveWindow()) FormActivate();
}

void TZarvoForm::FormActivate() {
    // The stored geometry is applied once, at the first activation; later activations leave
    // the window where the user has put it.
    if (!FActivatedOnce) ApplyGeometry();
    RasterBtn->setChecked(FGridOn);
    RasterOn->setChecked(FGridOn);
    (FLandscape ? QuerItem : HochItem)->setChecked(true);
    (FLandscape ? QuerBtn : HochBtn)->setChecked(true);
    QAction* Printers[] = {PrintFileSelect, LPT11, LPT21, LPT31, LPT41};
    Printers[FPrinter >= 1 && FPrinter <= 4 ? FPrinter : 0]->setChecked(true);
    ShowPrintTarget();
    Relayout();
}

void TZarvoForm::closeEvent(QCloseEvent* Event) {
    // There is no way back once closing has begun: the question only offers to save first.
    if (FModified && AskYesNo("Blatt speichern?", -1, -1)) SaveItemClick();
    // The window is hidden before it is destroyed; its place is taken now.
    RememberGeometry();
    Event->accept();
}

void TZarvoForm::EndBtnClick() {
    close();
}

void TZarvoForm::InfoClick() {
    FDialogs.InfoBox("Info", std::string("zarvo ") + "1.32 \xe2\x80\x93 " + ProgramTitle +
                                 "\n\nEPS-Dateien und Texte auf einer Seite platzieren und "
                                 "als ein PostScript-Auftrag drucken.\n\n"
                                 "Von den Entwicklern von zarvo.");
}

void TZarvoForm::UpdateTitle() {
    const std::string Name = FSheetFile.empty() ? "unbenannt" : ExtractFileName(FSheetFile);
    setWindowTitle(Utf8(std::string(ProgramTitle) + " [") + QFile::decodeName(Name.c_str()) +
                   QStringLiteral("]"));
}

// ------------------------------------------------------------------ preview

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
    if (FItems.ValidIndex(FHighlighted) && FHighlighted != FSelected) {
        FView.Canvas().Begin(&Painter);
        FView.DrawItem(FItems.Item(FHighlighted), 2);
        FView.Canvas().End();
    }
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

// ------------------------------------------------------------------ mouse and keys

void TZarvoForm::MoveCursorTo(double X, double Y) {
    TLogicalPoint P;
    FView.WorldToPixel(X, Y, P);
    QCursor::setPos(GrafikFeld->mapToGlobal(QPoint(P.X, P.Y)));
}

void TZarvoForm::StartPlacement(int Index, TCmPair Corner) {
    TEPSBox Probe = FItems.Item(Index);
    Probe.Origin = Corner;
    FView.FDragRect = FView.DragRectOf(Probe);
    // Moving the pointer need not report a move on every platform: the frame starts at its
    // corner either way.
    FMousePos = {FView.FDragRect.X, FView.FDragRect.Y};
    MoveCursorTo(Corner.X, Corner.Y);
    FSelected = Index;
}

void TZarvoForm::GrafikFeldMouseDown(Qt::MouseButton Button, int X, int Y) {
    const QPoint Global = GrafikFeld->mapToGlobal(QPoint(X, Y));
    FPopupPos = {Global.x(), Global.y()};
    if (FSelected >= 0) {
        // The press that ends a placement never picks up another item.
        EndPlacement(Button == Qt::LeftButton, false);
        return;
    }
    double WX, WY;
    FView.PixelToWorld({X, Y}, WX, WY);
    int Hit = -1;
    for (int I = 0; I < FItems.Count() && Hit < 0; ++I) {
        const TEPSBox& B = FItems.Item(I);
        if (B.Origin.X <= WX && WX <= B.Origin.X + B.Size.X && B.Origin.Y <= WY &&
            WY <= B.Origin.Y + B.Size.Y)
            Hit = I;
    }
    if (Hit >= 0) {
        TEPSBox& Item = FItems.Item(Hit);
        FView.FDragRect = FView.DragRectOf(Item);
        FMousePos = {FView.FDragRect.X, FView.FDragRect.Y};
        MoveCursorTo(Item.Origin.X, Item.Origin.Y);
        if (Button == Qt::LeftButton) {
            FSelected = Hit;
            FSavedOrigin = Item.Origin;
        } else if (Button == Qt::RightButton) {
            FPopupItem = Hit;
            FHighlighted = Hit;
            GrafikFeld->repaint();
            if (Item.Kind == KindText) {
                FDialogs.PopupMenu(*TextPopup, FPopupPos);
            } else if (AskYesNo("Box löschen?", FPopupPos.X, FPopupPos.Y)) {
                FItems.Delete(Hit);
                FModified = true;
            }
            FHighlighted = -1;
        }
    }
    Repaint();
}

void TZarvoForm::GrafikFeldMouseMove(int X, int Y) {
    if (FSelected < 0) return;
    FView.UpdateViewport();
    TLogicalPoint P{X, Y};
    FView.Plot().DeviceToLogical(P);
    if (FGridOn) {
        // To the grid line at or below and at or left of the point, counted from the page's
        // lower-left corner.
        const int S = std::max(FView.FGridStep, 1);
        const int OX = FView.FMarginUnits[0], OY = FView.FMarginUnits[3];
        P.X = OX + S * ((P.X - OX) / S);
        P.Y = OY + S * ((P.Y - OY) / S);
    }
    FMousePos = P;
    TDragRect& R = FView.FDragRect;
    R.X = P.X;
    R.Y = P.Y;
    const TLogicalRect& Area = FView.Plot().AreaRect();
    if (static_cast<long long>(R.X) + R.Width > Area.Right) R.X = Area.Right - R.Width;
    if (static_cast<long long>(R.Y) + R.Height > Area.Top) R.Y = Area.Top - R.Height;
    Repaint();
}

void TZarvoForm::EndPlacement(bool Drop, bool Centre) {
    if (!FItems.ValidIndex(FSelected)) {
        FSheet.EndPlacing();
        Repaint();
        return;
    }
    TEPSBox& Item = FItems.Item(FSelected);
    if (Drop) {
        double X, Y;
        FView.Plot().LogicalToPlot(FMousePos.X, FMousePos.Y, X, Y);
        if (Centre) {
            X -= Item.Size.X / 2;
            Y -= Item.Size.Y / 2;
        }
        Item.Origin = {X, Y};
    } else if (FPlacingNew || FCopying) {
        FItems.Delete(FSelected);
    } else {
        Item.Origin = FSavedOrigin;
    }
    FSheet.EndPlacing();
    FModified = true;
    Repaint();
}

void TZarvoForm::keyPressEvent(QKeyEvent* Event) {
    if (FSelected >= 0) {
        FormKeyDown(Event->key());
        Event->accept();
        return;
    }
    QMainWindow::keyPressEvent(Event);
}

void TZarvoForm::FormKeyDown(int Key) {
    if (FSelected < 0) return;
    if (Key == Qt::Key_Return || Key == Qt::Key_Enter) {
        EndPlacement(true, true);
    } else if (Key == Qt::Key_Escape) {
        EndPlacement(false, false);
    } else {
        // Any other key ends the placement with the item where it was: an item that was
        // picked up goes back, a new one stays where it was made.
        if (FItems.ValidIndex(FSelected) && !FPlacingNew && !FCopying)
            FItems.Item(FSelected).Origin = FSavedOrigin;
        FSheet.EndPlacing();
        FModified = true;
        Repaint();
    }
}

// ------------------------------------------------------------------ sheet file commands

void TZarvoForm::ClearBtnClick() {
    if (!AskYesNo("Alles löschen?", -1, -1)) return;
    if (FModified && AskYesNo("Blatt speichern?", -1, -1)) SaveItemClick();
    FLastEpsFile.clear();
    FItems.Clear();
    FSheetFile.clear();
    FModified = false;
    FSheet.EndPlacing();
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

// ------------------------------------------------------------------ EPS files

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
    if (!ReadEpsHeader(FLastEpsFile, Item.Kind, Item.Size, Item.Offset)) return;
    Item.Name = FLastEpsFile;
    // An item still being placed stays where it is (a new one at the page's corner) and the
    // new item takes the placement over.
    FSheet.EndPlacing();
    const int Index = FItems.Add(FLastEpsFile, Item);
    const TPlotRect& Area = FView.Plot().PlotArea();
    StartPlacement(Index, {(Area.Right - Area.Left) / 4, (Area.Top - Area.Bottom) / 4});
    FPlacingNew = true;
    Repaint();
    FModified = true;
}

void TZarvoForm::UpdateBtnClick() {
    for (int I = FItems.Count() - 1; I >= 0; --I) {
        TEPSBox& Item = FItems.Item(I);
        if (Item.Kind == KindText) continue;
        bool ReadFailed = false;
        if (ReadEpsHeader(Item.Name, Item.Kind, Item.Size, Item.Offset, &ReadFailed)) continue;
        // A file that is there but fails while being read (a disk or network error) ends the
        // refresh; its item stays, as do the items refreshed so far. Only a file that cannot
        // be opened or is no PostScript takes its item off the sheet.
        if (ReadFailed) break;
        FItems.Delete(I);
        // A placement under way keeps pointing at its own item, or ends with it.
        if (I == FSelected)
            FSheet.EndPlacing();
        else if (I < FSelected)
            --FSelected;
    }
    Repaint();
}

// ------------------------------------------------------------------ text items

void TZarvoForm::MeasureItem(TEPSBox& Item) {
    Item.Size = FMeasurer.Measure(Item.Name, Item.Font);
}

void TZarvoForm::InsertTextItemClick() {
    TPoint Pos;
    GetMousePos(Pos);
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
    FSheet.EndPlacing(); // as for a new EPS item
    const int Index = FItems.Add(Text, Item);
    const TPlotRect& Area = FView.Plot().PlotArea();
    StartPlacement(Index, {(Area.Right - Area.Left) / 4, (Area.Top - Area.Bottom) / 4});
    FPlacingNew = true;
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
    MousePosOffset({-20, -50}, Pos);
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
    TEPSBox Copy(TCmPair{10.0, 10.0});
    Copy.CopyFrom(FItems.Item(FPopupItem));
    const int Index = FItems.Add(FItems.Label(FPopupItem), Copy);
    FView.FDragRect = FView.DragRectOf(Copy);
    FMousePos = {FView.FDragRect.X, FView.FDragRect.Y};
    FSelected = Index;
    FSavedOrigin = Copy.Origin;
    FCopying = true;
}

void TZarvoForm::DeltextItemClick() {
    if (!FItems.ValidIndex(FPopupItem)) return;
    if (AskYesNo("Text löschen?", FPopupPos.X, FPopupPos.Y)) FItems.Delete(FPopupItem);
    Repaint();
    FModified = true;
}

// ------------------------------------------------------------------ printing

void TZarvoForm::PrintBtnClick() {
    std::string Target, Path;
    if (FPrinter != PrinterFile) {
        Target = PrintTargetName(FPrinter, FWorkDir, FPrintFile);
        if (!AskYesNo("Ausdruck auf " + Target + " starten?", -1, -1)) return;
        const std::string Configured =
            FPrinter >= 1 && FPrinter <= 4 ? FPortTargets[FPrinter - 1] : std::string();
        Path = PortTarget(FPrinter, Configured);
    } else {
        std::string Name = FPrintFile;
        if (!FDialogs.InputQuery("Postsript-Ausgabe", "Dateiname", Name)) return;
        FPrintFile = Name;
        Target = PrintFilePath(FWorkDir, FPrintFile);
        Path = PrintFileOpenPath(Target);
    }
    QApplication::setOverrideCursor(Qt::WaitCursor);
    const TPrintResult R = PrintSheet(FSheet, Target, Path);
    QApplication::restoreOverrideCursor();
    if (!R.Ok) ErrorBox(R.Message);
}

void TZarvoForm::SelectPrinter(int Printer) {
    FPrinter = Printer;
    QAction* Items[] = {PrintFileSelect, LPT11, LPT21, LPT31, LPT41};
    Items[Printer]->setChecked(true);
    ShowPrintTarget();
}

void TZarvoForm::ShowPrintTarget() {
    StatusText->setText(
        QFile::decodeName(PrintTargetStatus(FPrinter, FWorkDir, FPrintFile).c_str()));
}

// ------------------------------------------------------------------ settings

void TZarvoForm::EpsPfadItemClick() {
    FDialogs.ChooseDirectory("Verzeichnis mit EPS-Dateien", "", -1, -1, FWorkDir);
}

void TZarvoForm::FilterItemClick() {
    FDialogs.EditFilter("Dateitypen", FFilter);
}

void TZarvoForm::HochItemClick() {
    FLandscape = false;
    HochItem->setChecked(true);
    Relayout();
}

void TZarvoForm::QuerItemClick() {
    FLandscape = true;
    QuerItem->setChecked(true);
    Relayout();
}

void TZarvoForm::A4FormItemClick() {
    FPaperSize = A4Paper;
    Relayout();
}

void TZarvoForm::IndiItemClick() {
    TCmPair Size = FPaperSize;
    if (FDialogs.EditSize(ProgramTitle, "Papiergröße", Size)) FPaperSize = ValidPaperSize(Size);
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
