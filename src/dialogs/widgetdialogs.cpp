// The window's modal interactions as real message boxes, file dialogs and program dialogs.
#include "dialogs/widgetdialogs.h"

#include "dialogs/filtdlg.h"
#include "dialogs/filterstring.h"
#include "dialogs/numdlg.h"
#include "dialogs/plottextdlg.h"
#include "dialogs/printerdlg.h"
#include "dialogs/psfontdlg.h"
#include "dialogs/screenplace.h"
#include "dialogs/sizedlg.h"
#include "dialogs/verzdlg.h"
#include "sheet/defaults.h"

#include <QAction>
#include <QClipboard>
#include <QCursor>
#include <QFile>
#include <QFileDialog>
#include <QGuiApplication>
#include <QInputDialog>
#include <QMenu>
#include <QMessageBox>
#include <QScreen>

namespace zarvo {

namespace {

// Messages are the program's own UTF-8 texts with file names in them; a CR breaks a line.
QString MessageText(const std::string& Msg) {
    QString S = QString::fromUtf8(Msg.c_str(), static_cast<int>(Msg.size()));
    S.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    return S;
}

// Message boxes carry the program's title.
QString BoxTitle() {
    return QString::fromUtf8(ProgramTitle);
}

QString PathText(const std::string& Path) {
    return QFile::decodeName(Path.c_str());
}
std::string PathBytes(const QString& Path) {
    return QFile::encodeName(Path).toStdString();
}

void PrepareFileDialog(QFileDialog& D, const TFileDialogOptions& O) {
    D.setWindowTitle(MessageText(O.Title));
    if (!O.InitialDir.empty()) D.setDirectory(PathText(O.InitialDir));
    QStringList Filters = TWidgetDialogs::QtNameFilters(O.Filter).split(QStringLiteral(";;"));
    // A proposed name with wildcards ("bild.*") lists every file that matches it first, as
    // typing it into the name field would; the other filters stay to choose from.
    if (O.FileName.find_first_of("*?") != std::string::npos)
        Filters.prepend(QStringLiteral("%1 (%1)").arg(PathText(O.FileName)));
    D.setNameFilters(Filters);
    D.setDefaultSuffix(QString::fromUtf8(O.DefaultExt.c_str()));
    if (!O.FileName.empty()) D.selectFile(PathText(O.FileName));
}

// Ctrl+C in a message box copies its title and text, as it does on the desktop the program was
// made for; Qt offers this on Windows only, and the messages carry paths worth copying.
void AllowCopy(QMessageBox& Box) {
    auto* Copy = new QAction(&Box);
    Copy->setShortcut(QKeySequence::Copy);
    QObject::connect(Copy, &QAction::triggered, &Box, [&Box] {
        QGuiApplication::clipboard()->setText(Box.windowTitle() + QLatin1Char('\n') + Box.text());
    });
    Box.addAction(Copy);
}

int RunMessageBox(QMessageBox::Icon Icon, const QString& Title, const QString& Text,
                  QMessageBox::StandardButtons Buttons, QWidget* Parent, int X = -1, int Y = -1) {
    QMessageBox Box(Icon, Title, Text, Buttons, Parent);
    AllowCopy(Box);
    // Without a position the box stands in the middle of the screen, not of the window.
    if (X >= 0)
        Box.move(X, Y);
    else
        CentreOnScreen(Box);
    return Box.exec();
}

} // namespace

TWidgetDialogs::TWidgetDialogs()
    : FVerzDialog(std::make_unique<TVerzDialog>()),
      FFilterDialog(std::make_unique<TFilterDialog>()),
      FSizeDialog(std::make_unique<TSizeDialog>()),
      FNummerEingabe(std::make_unique<TNummerEingabe>()),
      FPSFontDialog(std::make_unique<TPSFontDialog>()) {}

TWidgetDialogs::~TWidgetDialogs() = default;

bool TWidgetDialogs::AskYesNo(const std::string& Msg, int X, int Y) {
    return RunMessageBox(QMessageBox::Question, BoxTitle(), MessageText(Msg),
                         QMessageBox::Yes | QMessageBox::No, FParent, X, Y) == QMessageBox::Yes;
}

void TWidgetDialogs::ErrorBox(const std::string& Msg) {
    RunMessageBox(QMessageBox::Critical, BoxTitle(), MessageText(Msg), QMessageBox::Ok, FParent);
}

void TWidgetDialogs::ShowMessage(const std::string& Msg) {
    RunMessageBox(QMessageBox::NoIcon, BoxTitle(), MessageText(Msg), QMessageBox::Ok, FParent);
}

TPoint TWidgetDialogs::ScreenSize() {
    const QScreen* S = QGuiApplication::primaryScreen();
    if (!S) return TUserDialogs::ScreenSize();
    return {S->size().width(), S->size().height()};
}

TPoint TWidgetDialogs::MousePos() {
    const QPoint P = QCursor::pos();
    return {P.x(), P.y()};
}

QString TWidgetDialogs::QtNameFilters(const std::string& Filter) {
    QStringList Parts;
    for (const TFilterEntry& E : SplitFilter(Filter, 64)) {
        QString Patterns = FilterToQt(E.Pattern);
        Patterns.replace(QLatin1Char(';'), QLatin1Char(' '));
        QString Name = FilterToQt(E.Name).trimmed();
        // A name that already shows its pattern in parentheses keeps it; Qt takes the patterns
        // from the last pair of parentheses.
        if (Name.endsWith(QLatin1Char(')')) && Name.contains(QLatin1Char('(')))
            Name = Name.left(Name.lastIndexOf(QLatin1Char('('))).trimmed();
        Parts << QStringLiteral("%1 (%2)").arg(Name.isEmpty() ? Patterns : Name, Patterns);
    }
    if (Parts.isEmpty()) Parts << QStringLiteral("* (*)");
    return Parts.join(QStringLiteral(";;"));
}

bool TWidgetDialogs::OpenFile(const TFileDialogOptions& Options, std::string& Path) {
    QFileDialog D(FParent);
    PrepareFileDialog(D, Options);
    D.setAcceptMode(QFileDialog::AcceptOpen);
    D.setFileMode(QFileDialog::ExistingFile);
    if (D.exec() != QDialog::Accepted || D.selectedFiles().isEmpty()) return false;
    Path = PathBytes(D.selectedFiles().front());
    return true;
}

bool TWidgetDialogs::SaveFile(const TFileDialogOptions& Options, std::string& Path) {
    QFileDialog D(FParent);
    PrepareFileDialog(D, Options);
    D.setAcceptMode(QFileDialog::AcceptSave);
    D.setFileMode(QFileDialog::AnyFile);
    // Saving over an existing sheet is what Save As is for; it does not ask.
    D.setOption(QFileDialog::DontConfirmOverwrite, true);
    if (D.exec() != QDialog::Accepted || D.selectedFiles().isEmpty()) return false;
    Path = PathBytes(D.selectedFiles().front());
    return true;
}

bool TWidgetDialogs::InputQuery(const std::string& Caption, const std::string& Prompt,
                                std::string& Value) {
    bool Ok = false;
    const QString Text = QInputDialog::getText(FParent, MessageText(Caption), MessageText(Prompt),
                                               QLineEdit::Normal, PathText(Value), &Ok);
    if (Ok) Value = PathBytes(Text);
    return Ok;
}

void TWidgetDialogs::InfoBox(const std::string& Title, const std::string& Msg) {
    RunMessageBox(QMessageBox::Information, MessageText(Title), MessageText(Msg), QMessageBox::Ok,
                  FParent);
}

bool TWidgetDialogs::EditSize(const std::string& Caption, const std::string& GroupCaption,
                              TCmPair& Size) {
    return FSizeDialog->Execute(MessageText(Caption), MessageText(GroupCaption), Size);
}

bool TWidgetDialogs::NumberInput(const std::string& Title, const std::string& Label, int& Value,
                                 int StepMode, int Increment, int MinValue, int MaxValue, int X,
                                 int Y) {
    return zarvo::NumberInput(MessageText(Title), MessageText(Label), Value,
                              static_cast<std::uint8_t>(StepMode), Increment, MinValue, MaxValue, X,
                              Y);
}

bool TWidgetDialogs::EditPSFont(TPSFontRec& Font) {
    return FPSFontDialog->Execute(Font);
}

bool TWidgetDialogs::EditPlotText(TPoint Pos, const std::string& Caption, const std::string& Label,
                                  std::string& Text, const std::string& FontName,
                                  bool ShowCharTable) {
    return zarvo::EditPlotText(Pos, MessageText(Caption), MessageText(Label), Text, FontName,
                               ShowCharTable);
}

bool TWidgetDialogs::ChooseDirectory(const std::string& Caption, const std::string& HomeDir, int X,
                                     int Y, std::string& Dir) {
    return FVerzDialog->Execute(Caption, HomeDir, X, Y, Dir);
}

bool TWidgetDialogs::EditFilter(const std::string& Title, std::string& Filter) {
    return FFilterDialog->Execute(Title, Filter);
}

bool TWidgetDialogs::ChoosePrinter(const std::string& Port, const std::vector<TCupsDest>& Dests,
                                   const std::string& Error, std::string& Name) {
    TPrinterDialog Dialog(FParent);
    return Dialog.Execute(Port, Dests, Error, Name);
}

void TWidgetDialogs::PopupMenu(QMenu& Menu, TPoint Pos) {
    Menu.exec(QPoint(Pos.X, Pos.Y));
}

} // namespace zarvo
