// The editor of the file-type filters that the EPS open dialog offers: a table of name and
// pattern pairs with buttons to reorder, delete, insert and replace entries.
#include "dialogs/filtdlg.h"

#include "support/userdialogs.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QItemSelectionModel>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRegularExpressionValidator>
#include <QStringDecoder>
#include <QStyle>
#include <QTableWidget>
#include <QToolButton>
#include <QVBoxLayout>

#include <algorithm>

namespace zarvo {

namespace {

QToolButton* PictureButton(QWidget* Parent, QStyle::StandardPixmap Picture, const QString& Hint) {
    auto* B = new QToolButton(Parent);
    B->setIcon(Parent->style()->standardIcon(Picture));
    B->setToolTip(Hint);
    // The focus stays in the edit fields while the buttons are used.
    B->setFocusPolicy(Qt::NoFocus);
    return B;
}

bool IsEnter(int Key) {
    return Key == Qt::Key_Return || Key == Qt::Key_Enter;
}

} // namespace

TFilterDialog::TFilterDialog(QWidget* Parent) : QDialog(Parent) {
    QFont F(QStringLiteral("Sans Serif"), 8);
    F.setStyleHint(QFont::SansSerif);
    F.setBold(true);
    setFont(F);

    FilterListe = new QTableWidget(MaxEntries, 2, this);
    FilterListe->verticalHeader()->hide();
    FilterListe->verticalHeader()->setMinimumSectionSize(16);
    FilterListe->verticalHeader()->setDefaultSectionSize(16);
    FilterListe->horizontalHeader()->setDefaultSectionSize(160);
    FilterListe->horizontalHeader()->setStretchLastSection(true);
    FilterListe->setSelectionBehavior(QAbstractItemView::SelectRows);
    FilterListe->setSelectionMode(QAbstractItemView::SingleSelection);
    FilterListe->setEditTriggers(QAbstractItemView::NoEditTriggers);
    FilterListe->setShowGrid(true);
    FilterListe->setWordWrap(false);
    // Tab leaves the table for the next control, as in the other fields; moving from cell to
    // cell would keep the focus in the table and change the entry in the edit fields.
    FilterListe->setTabKeyNavigation(false);
    for (int R = 0; R < MaxEntries; ++R)
        for (int C = 0; C < 2; ++C)
            FilterListe->setItem(R, C, new QTableWidgetItem);

    UpBtn = PictureButton(this, QStyle::SP_ArrowUp, QStringLiteral("Up"));
    DownBtn = PictureButton(this, QStyle::SP_ArrowDown, QStringLiteral("Down"));
    DeleteBtn = PictureButton(this, QStyle::SP_TrashIcon, QStringLiteral("Delete"));
    InsertBtn = PictureButton(this, QStyle::SP_FileIcon, QStringLiteral("Insert"));
    ReplBtn = PictureButton(this, QStyle::SP_BrowserReload, QStringLiteral("Replace"));

    Label2 = new QLabel(QStringLiteral("New Filter name:"), this);
    FilterNameEdit = new QLineEdit(this);
    Label3 = new QLabel(QStringLiteral("New Filter:"), this);
    FilterEdit = new QLineEdit(this);
    // '|' separates the names and patterns of the filter string; inside a field it would split
    // the entry in two when the string is read again.
    auto* NoBar =
        new QRegularExpressionValidator(QRegularExpression(QStringLiteral("[^|]*")), this);
    FilterNameEdit->setValidator(NoBar);
    FilterEdit->setValidator(NoBar);
    OKBtn = new QPushButton(QStringLiteral("OK"), this);
    CancelBtn = new QPushButton(QStringLiteral("Cancel"), this);

    auto* Buttons = new QVBoxLayout;
    for (QToolButton* B : {UpBtn, DownBtn, DeleteBtn, InsertBtn, ReplBtn})
        Buttons->addWidget(B);
    Buttons->addStretch(1);
    auto* TableRow = new QHBoxLayout;
    TableRow->addLayout(Buttons);
    TableRow->addWidget(FilterListe, 1);
    auto* Fields = new QGridLayout;
    Fields->addWidget(Label2, 0, 0);
    Fields->addWidget(FilterNameEdit, 1, 0);
    Fields->addWidget(Label3, 0, 1);
    Fields->addWidget(FilterEdit, 1, 1);
    auto* ButtonRow = new QHBoxLayout;
    ButtonRow->addStretch(1);
    ButtonRow->addWidget(OKBtn);
    ButtonRow->addWidget(CancelBtn);
    auto* Main = new QVBoxLayout(this);
    Main->addLayout(TableRow, 1);
    Main->addLayout(Fields);
    Main->addLayout(ButtonRow);
    resize(394, 296);
    setFixedSize(size()); // a dialog border: not resized by the user

    setTabOrder(FilterNameEdit, FilterEdit);
    setTabOrder(FilterEdit, OKBtn);
    setTabOrder(OKBtn, CancelBtn);
    setTabOrder(CancelBtn, FilterListe);

    connect(FilterListe->selectionModel(), &QItemSelectionModel::currentRowChanged, this,
            [this](const QModelIndex& Current) {
                if (Current.isValid()) ShowRow(Current.row() + 1);
            });
    connect(UpBtn, &QToolButton::clicked, this, [this] { UpBtnClick(); });
    connect(DownBtn, &QToolButton::clicked, this, [this] { DownBtnClick(); });
    connect(DeleteBtn, &QToolButton::clicked, this, [this] { DeleteBtnClick(); });
    connect(InsertBtn, &QToolButton::clicked, this, [this] { InsertBtnClick(); });
    connect(ReplBtn, &QToolButton::clicked, this, [this] { ReplBtnClick(); });
    connect(OKBtn, &QPushButton::clicked, this, &QDialog::accept);
    connect(CancelBtn, &QPushButton::clicked, this, &QDialog::reject);
    FilterNameEdit->installEventFilter(this);
    FilterEdit->installEventFilter(this);
    UpdateSelectable();
}

TFilterDialog::~TFilterDialog() {
    // Deleting the table changes its current row; that must not reach this half-destroyed dialog.
    disconnect(FilterListe->selectionModel(), nullptr, this, nullptr);
    FilterNameEdit->removeEventFilter(this);
    FilterEdit->removeEventFilter(this);
}

bool TFilterDialog::Execute(const std::string& Title, std::string& Filter) {
    Load(Title, Filter);
    if (exec() != QDialog::Accepted) return false;
    Filter = FilterText();
    return true;
}

QString FilterToQt(const std::string& Bytes) {
    QStringDecoder Utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    QString Text = Utf8(QByteArrayView(Bytes.data(), qsizetype(Bytes.size())));
    if (Utf8.hasError()) Text = QString::fromLatin1(Bytes.data(), qsizetype(Bytes.size()));
    return Text;
}

void TFilterDialog::Load(const std::string& Title, const std::string& Filter) {
    const TPoint Screen = UserDialogs().ScreenSize();
    move((Screen.X - width()) / 2, (Screen.Y - height()) / 2);
    setWindowTitle(Title.empty() ? QStringLiteral("Filter Dialog") : FilterToQt(Title));
    FilterListe->setHorizontalHeaderLabels(
        {QStringLiteral("Filtername"), QStringLiteral("Filter")});
    FilterNameEdit->clear();
    FilterEdit->clear();

    const std::vector<TFilterEntry> Split = SplitFilter(Filter, MaxEntries);
    FCount = static_cast<int>(Split.size());
    FBytesOf.clear();
    for (const TFilterEntry& E : Split) {
        FBytesOf.insert(FilterToQt(E.Name), E.Name);
        FBytesOf.insert(FilterToQt(E.Pattern), E.Pattern);
    }
    // Rows after the entries are emptied too: what a cancelled use left there is not part of
    // this filter and must not look as if it were.
    for (int Row = 1; Row <= MaxEntries; ++Row) {
        if (Row <= FCount) {
            const TFilterEntry& E = Split[Row - 1];
            SetRow(Row, FilterToQt(E.Name), FilterToQt(E.Pattern));
        } else {
            SetRow(Row, QString(), QString());
        }
    }
    UpdateSelectable();
    SelectRow(1);
    ShowRow(1);
}

std::vector<TFilterEntry> TFilterDialog::Entries() const {
    std::vector<TFilterEntry> Result;
    const auto Bytes = [this](const QString& Text) {
        const auto It = FBytesOf.constFind(Text);
        return It != FBytesOf.constEnd() ? *It : Text.toUtf8().toStdString();
    };
    for (int Row = 1; Row <= FCount; ++Row)
        Result.push_back({Bytes(CellText(Row, 0)), Bytes(CellText(Row, 1))});
    return Result;
}

std::string TFilterDialog::FilterText() const {
    return JoinFilter(Entries());
}

int TFilterDialog::CurrentRow() const {
    return std::max(FilterListe->currentRow(), 0) + 1;
}

QString TFilterDialog::CellText(int Row, int Column) const {
    return FilterListe->item(Row - 1, Column)->text();
}

void TFilterDialog::SetRow(int Row, const QString& Name, const QString& Pattern) {
    FilterListe->item(Row - 1, 0)->setText(Name);
    FilterListe->item(Row - 1, 1)->setText(Pattern);
}

void TFilterDialog::CopyRow(int From, int To) {
    SetRow(To, CellText(From, 0), CellText(From, 1));
}

void TFilterDialog::SelectRow(int Row) {
    FilterListe->setCurrentCell(Row - 1, 0);
}

void TFilterDialog::ShowRow(int Row) {
    FilterNameEdit->setText(CellText(Row, 0));
    FilterEdit->setText(CellText(Row, 1));
}

void TFilterDialog::UpdateSelectable() {
    const int Last = std::max(FCount, 1);
    for (int Row = 1; Row <= MaxEntries; ++Row) {
        const Qt::ItemFlags Flags =
            Row <= Last ? Qt::ItemIsEnabled | Qt::ItemIsSelectable : Qt::NoItemFlags;
        FilterListe->item(Row - 1, 0)->setFlags(Flags);
        FilterListe->item(Row - 1, 1)->setFlags(Flags);
    }
}

bool TFilterDialog::FilterListeSelectCell(int Row) {
    if (Row < 1 || Row > std::max(FCount, 1)) return false;
    SelectRow(Row);
    ShowRow(Row);
    return true;
}

void TFilterDialog::UpBtnClick() {
    const int Row = CurrentRow();
    if (Row < 2 || Row > FCount) return;
    const QString Name = CellText(Row, 0), Pattern = CellText(Row, 1);
    CopyRow(Row - 1, Row);
    SetRow(Row - 1, Name, Pattern);
    FilterListeSelectCell(Row - 1);
}

void TFilterDialog::DownBtnClick() {
    const int Row = CurrentRow();
    if (Row >= FCount) return;
    const QString Name = CellText(Row, 0), Pattern = CellText(Row, 1);
    CopyRow(Row + 1, Row);
    SetRow(Row + 1, Name, Pattern);
    FilterListeSelectCell(Row + 1);
}

void TFilterDialog::DeleteBtnClick() {
    if (FCount == 0) return;
    const int Row = CurrentRow();
    const bool WasLast = Row == FCount;
    --FCount;
    for (int R = Row; R <= FCount; ++R)
        CopyRow(R + 1, R);
    SetRow(FCount + 1, QString(), QString());
    if (WasLast && Row > 1) FilterListeSelectCell(Row - 1);
    UpdateSelectable();
}

void TFilterDialog::InsertBtnClick() {
    if (FCount >= MaxEntries) return;
    const int Row = CurrentRow();
    for (int R = FCount; R >= Row; --R)
        CopyRow(R, R + 1);
    SetRow(Row, FilterNameEdit->text(), FilterEdit->text());
    ++FCount;
    UpdateSelectable();
}

void TFilterDialog::ReplBtnClick() {
    SetRow(CurrentRow(), FilterNameEdit->text(), FilterEdit->text());
    // In an empty table the entry is the first one: shown in the table means kept on OK.
    if (FCount == 0) FCount = 1;
    UpdateSelectable();
}

bool TFilterDialog::FilterNameEditKeyDown(int Key) {
    const int Row = CurrentRow();
    if (IsEnter(Key)) {
        FilterEdit->setFocus(Qt::OtherFocusReason);
    } else if (Key == Qt::Key_Down) {
        if (Row < FCount) FilterListeSelectCell(Row + 1);
    } else if (Key == Qt::Key_Up) {
        if (Row > 1) FilterListeSelectCell(Row - 1);
    } else {
        return false;
    }
    return true;
}

bool TFilterDialog::FilterEditKeyDown(int Key) {
    if (!IsEnter(Key)) return false;
    const int Row = CurrentRow();
    if (Row < FCount || FCount >= MaxEntries) {
        ReplBtnClick();
    } else {
        // On the last entry (or in an empty table) Enter adds the edited entry after it.
        ++FCount;
        SetRow(FCount, FilterNameEdit->text(), FilterEdit->text());
        UpdateSelectable();
        FilterListeSelectCell(FCount);
    }
    FilterNameEdit->setFocus(Qt::OtherFocusReason);
    return true;
}

void TFilterDialog::showEvent(QShowEvent* Event) {
    QDialog::showEvent(Event);
    FilterNameEdit->setFocus();
}

bool TFilterDialog::eventFilter(QObject* Watched, QEvent* Event) {
    if (Event->type() == QEvent::KeyPress) {
        const int Key = static_cast<QKeyEvent*>(Event)->key();
        // Enter never reaches the dialog from these fields: it would press a button.
        if (Watched == FilterNameEdit && FilterNameEditKeyDown(Key)) return true;
        if (Watched == FilterEdit && FilterEditKeyDown(Key)) return true;
    }
    return QDialog::eventFilter(Watched, Event);
}

} // namespace zarvo
