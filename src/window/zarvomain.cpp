// The main window: its construction (actions, menus, toolbar, preview), configuration and window
// events.
#include "window/zarvomain.h"

#include "support/inifile.h"
#include "support/inouterror.h"
#include "support/shellfolder.h"
#include "support/version.h"
#include "support/winsub.h"
#include "view/epsrenderer.h"
#include "window/contentview.h"
#include "window/grafikfeld.h"
#include "window/toolglyphs.h"

#include <QAction>
#include <QActionGroup>
#include <QApplication>
#include <QButtonGroup>
#include <QCloseEvent>
#include <QFile>
#include <QGridLayout>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QScrollBar>
#include <QStatusBar>
#include <QTimer>
#include <QToolBar>
#include <QToolButton>

#include <algorithm>
#include <cstring>

namespace zarvo {

namespace {

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
    if (TEpsRenderer::GhostscriptFound()) {
        FEpsChecks = std::make_unique<TEpsCheckQueue>();
        // The worker thread only posts; the marks change on the window's own thread.
        FEpsChecks->SetOnResult([this] {
            QMetaObject::invokeMethod(
                this, [this] { EpsChecksArrived(); }, Qt::QueuedConnection);
        });
    }

    FSheetFile.clear();
    FLastText.clear();
    UpdateTitle();
    FLastEpsFile.clear();
    FBoxSize = StandardBoxSize;
    FView.FZoom = ZoomWholePage;
    FModified = false;
    // Numbers in the print job and on the preview's labels always use a point.
    SetDecimalChar('.');
    FView.SetGridWidth(FGridWidth);
    Relayout();
    ShowPrintTarget();
}

TZarvoForm::~TZarvoForm() {
    // A running check is cancelled, not waited for, and posts nothing any more.
    FEpsChecks.reset();
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
        FDialogs.ErrorBox("Fehler beim Schreiben nach " + FIniName + " (" +
                          std::strerror(Ini.LastError()) + ")");
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
        FDialogs.ErrorBox("Fehler beim Schreiben nach " + FIniName + " (" + E.what() + ")");
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
    PrinterChooseItem =
        Make("&Select Printer ...", "PrinterChooseItem", &TZarvoForm::PrinterChooseItemClick);
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
    Printer->addSeparator();
    Printer->addAction(PrinterChooseItem);

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
    // The answer of a background lookup of the printers refreshes the status line.
    FCupsPoll = new QTimer(this);
    FCupsPoll->setInterval(100);
    connect(FCupsPoll, &QTimer::timeout, this, &TZarvoForm::PollPrinterLookup);
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
    GrafikFeld->OnWheel = [this](int Notches, Qt::KeyboardModifiers Modifiers, int X, int Y) {
        GrafikFeldWheel(Notches, Modifiers, X, Y);
    };
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
    // A save that was asked for and did not happen (Save As cancelled, or the write failed)
    // keeps the window open with the sheet: closing must not lose the work.
    if (!MaybeSave()) {
        Event->ignore();
        return;
    }
    // The window is hidden before it is destroyed; its place is taken now.
    RememberGeometry();
    Event->accept();
}

void TZarvoForm::EndBtnClick() {
    close();
}

void TZarvoForm::InfoClick() {
    FDialogs.InfoBox("Info", std::string("zarvo ") + ProgramVersion + " \xe2\x80\x93 " +
                                 ProgramTitle +
                                 "\n\nEPS-Dateien und Texte auf einer Seite platzieren und "
                                 "als ein PostScript-Auftrag drucken.\n\n"
                                 "Von den Entwicklern von zarvo.");
}

void TZarvoForm::UpdateTitle() {
    const std::string Name = FSheetFile.empty() ? "unbenannt" : ExtractFileName(FSheetFile);
    setWindowTitle(Utf8(std::string(ProgramTitle) + " [") + QFile::decodeName(Name.c_str()) +
                   QStringLiteral("]"));
}

} // namespace zarvo
