// The folder chooser of the settings menu: a folder list, a history of the folders confirmed
// during this run, and buttons for the default folder, the parent folder and a new folder.
#include "dialogs/verzdlg.h"

#include "dialogs/directorylistbox.h"
#include "dialogs/folderbytes.h"
#include "dialogs/historycombobox.h"
#include "support/userdialogs.h"

#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QFocusEvent>
#include <QFontMetrics>
#include <QFrame>
#include <QHBoxLayout>
#include <QInputDialog>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>
#include <QStyle>
#include <QToolButton>
#include <QVBoxLayout>

namespace zarvo {

namespace {

// Paths keep every byte of the file system's names (dialogs/folderbytes.h).
QString FromLocal(const std::string& S) {
    return PathFromBytes(S);
}

std::string ToLocal(const QString& S) {
    return PathToBytes(S);
}

QToolButton* PictureButton(QWidget* Parent, QStyle::StandardPixmap Picture, const QString& Hint) {
    auto* B = new QToolButton(Parent);
    B->setIcon(Parent->style()->standardIcon(Picture));
    B->setToolTip(Hint);
    B->setAutoRaise(true);
    // Like flat buttons, these never take the focus, so a click leaves the folder box alone.
    B->setFocusPolicy(Qt::NoFocus);
    return B;
}

} // namespace

TVerzDialog::TVerzDialog(QWidget* Parent) : QDialog(Parent) {
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                   Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint);
    QFont F(QStringLiteral("Sans Serif"), 8);
    F.setStyleHint(QFont::SansSerif);
    F.setBold(true);
    setFont(F);

    Bevel1 = new QFrame(this);
    Bevel1->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    Label1 = new QLabel(QStringLiteral("Drive:"), Bevel1);
    DriveComboBox = new QComboBox(Bevel1);
    // One file-system root on this platform.
    DriveComboBox->addItem(style()->standardIcon(QStyle::SP_DriveHDIcon), QStringLiteral("/"));
    VerzLabel = new QLabel(QStringLiteral("Listing:"), Bevel1);
    DirectoryListBox = new TDirectoryListBox(Bevel1);
    Verzname = new QLabel(this);
    Verzname->hide();

    HomeBtn = PictureButton(this, QStyle::SP_DirHomeIcon, QStringLiteral("Home"));
    UpBtn = PictureButton(this, QStyle::SP_FileDialogToParent, QStringLiteral("Up Folder"));
    NewBtn = PictureButton(this, QStyle::SP_FileDialogNewFolder, QStringLiteral("New"));
    SelectedDir = new THistoryComboBox(this);
    OKBtn = new QPushButton(QStringLiteral("OK"), this);
    OKBtn->setDefault(true);
    CancelBtn = new QPushButton(QStringLiteral("Cancel"), this);

    auto* DriveRow = new QHBoxLayout;
    DriveRow->addWidget(Label1);
    DriveRow->addWidget(DriveComboBox, 1);
    auto* BevelLayout = new QVBoxLayout(Bevel1);
    BevelLayout->addLayout(DriveRow);
    BevelLayout->addWidget(VerzLabel);
    BevelLayout->addWidget(DirectoryListBox, 1);

    auto* PictureRow = new QHBoxLayout;
    PictureRow->addStretch(1);
    PictureRow->addWidget(HomeBtn);
    PictureRow->addWidget(UpBtn);
    PictureRow->addWidget(NewBtn);
    auto* ButtonRow = new QHBoxLayout;
    ButtonRow->addStretch(1);
    ButtonRow->addWidget(OKBtn);
    ButtonRow->addWidget(CancelBtn);

    auto* Main = new QVBoxLayout(this);
    Main->addWidget(Bevel1, 1);
    Main->addLayout(PictureRow);
    Main->addWidget(SelectedDir);
    Main->addLayout(ButtonRow);
    resize(282, 285);
    setFixedSize(size()); // a dialog border: not resized by the user

    setTabOrder(DriveComboBox, DirectoryListBox);
    setTabOrder(DirectoryListBox, SelectedDir);
    setTabOrder(SelectedDir, OKBtn);
    setTabOrder(OKBtn, CancelBtn);

    connect(DriveComboBox, &QComboBox::activated, this, [this] { DirectoryListBoxChange(); });
    connect(DirectoryListBox, &TDirectoryListBox::Change, this,
            [this] { DirectoryListBoxChange(); });
    connect(HomeBtn, &QToolButton::clicked, this, [this] { HomeBtnClick(); });
    connect(UpBtn, &QToolButton::clicked, this, [this] { UpBtnClick(); });
    connect(NewBtn, &QToolButton::clicked, this, [this] { NewBtnClick(); });
    // A change of the box is the user choosing a history entry; typed text is not a path.
    connect(SelectedDir, &QComboBox::activated, this, [this] { SelectedDirChange(); });
    connect(OKBtn, &QPushButton::clicked, this, [this] { OKBtnClick(); });
    connect(CancelBtn, &QPushButton::clicked, this, [this] { CancelBtnClick(); });
    SelectedDir->installEventFilter(this);
    OKBtn->installEventFilter(this);
    CancelBtn->installEventFilter(this);

    InputQuery = [this](const QString& Caption, const QString& Prompt, QString& Value) {
        bool Ok = false;
        const QString Text =
            QInputDialog::getText(this, Caption, Prompt, QLineEdit::Normal, Value, &Ok);
        if (Ok) Value = Text;
        return Ok;
    };
}

TVerzDialog::~TVerzDialog() {
    // Hiding and deleting the controls sends signals; none may reach this half-destroyed dialog.
    disconnect(DriveComboBox, nullptr, this, nullptr);
    disconnect(DirectoryListBox, nullptr, this, nullptr);
    disconnect(SelectedDir, nullptr, this, nullptr);
    SelectedDir->removeEventFilter(this);
    OKBtn->removeEventFilter(this);
    CancelBtn->removeEventFilter(this);
}

bool TVerzDialog::Execute(const std::string& Caption, const std::string& HomeDir, int X, int Y,
                          std::string& Dir) {
    Load(Caption, HomeDir, X, Y, Dir);
    if (exec() != QDialog::Accepted) return false;
    Dir = Directory();
    return true;
}

void TVerzDialog::Load(const std::string& Caption, const std::string& HomeDir, int X, int Y,
                       const std::string& Dir) {
    if (X < 0) {
        const TPoint Screen = UserDialogs().ScreenSize();
        move((Screen.X - width()) / 2, (Screen.Y - height()) / 2);
    } else {
        FitIntoScreen(X, Y, width(), height());
        move(X, Y);
    }
    setWindowTitle(FromLocal(Caption));
    FHomeDir = FromLocal(HomeDir);

    QString Start = FromLocal(Dir);
    if (Start.isEmpty() || !ChangeFolder(AbsoluteFolder(Start))) Start = CurrentFolder();
    // The current folder may have been removed under the program; show something that exists.
    if (!DirectoryListBox->SetDirectory(AbsoluteFolder(Start)) &&
        !DirectoryListBox->SetDirectory(QDir::homePath()))
        DirectoryListBox->SetDirectory(QStringLiteral("/"));
    FTyping = false;
}

std::string TVerzDialog::Directory() const {
    return ToLocal(DirectoryListBox->Directory());
}

void TVerzDialog::AddHistory(const std::string& Path) {
    SelectedDir->AddHistory(FromLocal(Path));
}

void TVerzDialog::RemoveHistory(const std::string& Path) {
    SelectedDir->RemoveHistory(FromLocal(Path));
}

std::vector<std::string> TVerzDialog::History() const {
    std::vector<std::string> Result;
    for (int I = 0; I < SelectedDir->count(); ++I)
        Result.push_back(ToLocal(SelectedDir->itemText(I)));
    return Result;
}

void TVerzDialog::showEvent(QShowEvent* Event) {
    QDialog::showEvent(Event);
    VerzDlgShow();
}

void TVerzDialog::VerzDlgShow() {
    HomeBtn->setVisible(!FHomeDir.isEmpty());
    HomeBtn->setToolTip(QStringLiteral("Standard: ") + FHomeDir);
    SelectedDir->SetSimple(SelectedDir->count() == 0);
    SelectedDir->setFocus();
}

void TVerzDialog::DirectoryListBoxChange() {
    const QFontMetrics Metrics(Verzname->font());
    Verzname->setText(
        Metrics.elidedText(DirectoryListBox->Directory(), Qt::ElideMiddle, DisplayWidth));
    // Once the list has moved, no history entry is waiting to be applied: leaving the box must
    // not take the list back to an entry chosen earlier.
    SelectedDir->setCurrentIndex(-1);
    SelectedDir->setEditText(Verzname->text());
}

bool TVerzDialog::EnterFolder(const QString& Path) {
    if (Path.isEmpty()) return false;
    const QString Abs = AbsoluteFolder(Path);
    return ChangeFolder(Abs) && DirectoryListBox->SetDirectory(Abs);
}

void TVerzDialog::HomeBtnClick() {
    if (EnterFolder(FHomeDir)) return;
    ErrorBox("Verzeichnis: " + ToLocal(FHomeDir) + " nicht gefunden!");
    SelectedDir->RemoveHistory(FHomeDir);
}

void TVerzDialog::UpBtnClick() {
    QString Path = DirectoryListBox->Directory();
    // At the root the path already ends in the separator and stays.
    if (Path.isEmpty() || Path.endsWith(QLatin1Char('/'))) return;
    Path.truncate(Path.lastIndexOf(QLatin1Char('/')) + 1);
    DirectoryListBox->SetDirectory(Path);
}

void TVerzDialog::NewBtnClick() {
    QString Name;
    if (!InputQuery(Verzname->text(), QStringLiteral("Neues Verzeichnis:"), Name)) return;
    const QString Current = DirectoryListBox->Directory();
    const QString NewPath =
        Current.endsWith(QLatin1Char('/')) ? Current + Name : Current + QLatin1Char('/') + Name;
    // mkpath creates every missing folder of the chain.
    if (MakeFolders(NewPath) && DirectoryListBox->SetDirectory(NewPath)) return;
    ErrorBox("Verzeichnis: " + ToLocal(NewPath) + " konnte nicht erstellt werden!");
}

void TVerzDialog::SelectedDirKeyDown(int) {
    FTyping = true;
}

void TVerzDialog::GoToHistoryEntry(int Index) {
    const QString Entry = SelectedDir->itemText(Index);
    if (EnterFolder(Entry)) {
        SelectedDir->setEditText(Verzname->text());
        return;
    }
    ErrorBox("Verzeichnis: " + ToLocal(Entry) + " nicht gefunden!");
    SelectedDir->RemoveHistory(Entry);
}

void TVerzDialog::SelectedDirChange() {
    if (FTyping) return;
    const int Index = SelectedDir->currentIndex();
    if (Index >= 0) GoToHistoryEntry(Index);
}

void TVerzDialog::SelectedDirExit() {
    FTyping = false;
    const int Index = SelectedDir->currentIndex();
    if (Index >= 0) GoToHistoryEntry(Index);
    SelectedDir->setEditText(Verzname->text());
}

void TVerzDialog::OKBtnClick() {
    // Enter in the folder box confirms without the focus leaving it; apply what leaving the box
    // would apply, as a click on OK does.
    if (SelectedDir->hasFocus()) SelectedDirExit();
    SelectedDir->AddHistory(DirectoryListBox->Directory());
    accept();
}

void TVerzDialog::CancelBtnClick() {
    reject();
}

bool TVerzDialog::eventFilter(QObject* Watched, QEvent* Event) {
    if (Watched == SelectedDir && Event->type() == QEvent::KeyPress) {
        const int Key = static_cast<QKeyEvent*>(Event)->key();
        // Tab and Backtab move the focus; they are not typing.
        if (Key != Qt::Key_Tab && Key != Qt::Key_Backtab) SelectedDirKeyDown(Key);
    } else if (Event->type() == QEvent::FocusOut && isVisible()) {
        const Qt::FocusReason Reason = static_cast<QFocusEvent*>(Event)->reason();
        const bool ByKeyboard = Reason == Qt::TabFocusReason || Reason == Qt::BacktabFocusReason;
        if (Watched == SelectedDir) {
            // The focus went to another control of the dialog (not to the box's own drop-down
            // list, another window, or away because the dialog closes).
            if (ByKeyboard || Reason == Qt::MouseFocusReason || Reason == Qt::ShortcutFocusReason)
                SelectedDirExit();
        } else if (ByKeyboard && Watched == OKBtn) {
            // Tabbing away from OK confirms; a mouse click elsewhere (on Cancel, say) does not.
            OKBtnClick();
        } else if (ByKeyboard && Watched == CancelBtn) {
            CancelBtnClick();
        }
    }
    return QDialog::eventFilter(Watched, Event);
}

} // namespace zarvo
