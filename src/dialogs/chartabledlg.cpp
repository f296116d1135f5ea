// Modal table of the 256 character codes of a font, from which the user picks one character.
#include "dialogs/chartabledlg.h"

#include "dialogs/okcancelrow.h"
#include "dialogs/screenplace.h"
#include "dialogs/textcodec.h"
#include "support/winsub.h"

#include <QApplication>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QMouseEvent>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>

#include <algorithm>

namespace zarvo {

namespace {
constexpr int GridCells = 17;
} // namespace

TCharTableDialog::TCharTableDialog(QWidget* Parent) : QDialog(Parent) {
    setWindowTitle("Zeichentabelle");

    CharGrid = new QTableWidget(GridCells, GridCells, this);
    CharGrid->horizontalHeader()->hide();
    CharGrid->verticalHeader()->hide();
    for (QHeaderView* H : {CharGrid->horizontalHeader(), CharGrid->verticalHeader()}) {
        H->setMinimumSectionSize(CellSize);
        H->setDefaultSectionSize(CellSize);
        H->setSectionResizeMode(QHeaderView::Fixed);
    }
    CharGrid->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    CharGrid->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    CharGrid->setEditTriggers(QAbstractItemView::NoEditTriggers);
    CharGrid->setSelectionMode(QAbstractItemView::SingleSelection);
    CharGrid->setTabKeyNavigation(false);
    // Two bold digits are a little wider than a 20-pixel cell's text area: show them clipped,
    // as a grid draws its cells, not as an ellipsis.
    CharGrid->setTextElideMode(Qt::ElideNone);
    const int Side = GridCells * CellSize + 2 * CharGrid->frameWidth();
    CharGrid->setFixedSize(Side, Side);
    FHeaderFont = CharGrid->font().family();
    for (int R = 0; R < GridCells; ++R)
        for (int C = 0; C < GridCells; ++C)
            CharGrid->setItem(R, C, new QTableWidgetItem);
    // The headers cannot become the current cell: keep it on a character.
    connect(CharGrid, &QTableWidget::currentCellChanged, this, [this](int Row, int Col) {
        if (Row >= 0 && Col >= 0 && (Row == 0 || Col == 0))
            CharGrid->setCurrentCell(std::max(Row, 1), std::max(Col, 1));
    });
    connect(CharGrid, &QTableWidget::cellDoubleClicked, this, &TCharTableDialog::CharGridDblClick);
    // The headers are disabled cells, whose double clicks the table does not report.
    CharGrid->viewport()->installEventFilter(this);
    SetCharFont(FHeaderFont);
    CharGrid->setCurrentCell(1, 1);

    auto* Buttons = OkCancelRow(this, OKBtn, CancelBtn, QStringLiteral("Select"));
    connect(OKBtn, &QPushButton::clicked, this, &QDialog::accept);
    auto* Main = new QVBoxLayout(this);
    Main->addWidget(CharGrid, 0, Qt::AlignHCenter);
    Main->addLayout(Buttons);

    setWindowFlag(Qt::WindowContextHelpButtonHint, false);
    setFixedSize(sizeHint().expandedTo(QSize(397, 245)));
}

void TCharTableDialog::SetCharFont(const QString& FontName) {
    FCharFont = FontName;
    for (int R = 0; R < GridCells; ++R)
        for (int C = 0; C < GridCells; ++C)
            CharGridDrawCell(C, R);
}

void TCharTableDialog::CharGridDrawCell(int Col, int Row) {
    QTableWidgetItem* Item = CharGrid->item(Row, Col);
    if (!Item) return;
    Item->setTextAlignment(Qt::AlignCenter);
    if (Row == 0 || Col == 0) {
        QFont F(FHeaderFont, 8);
        F.setBold(true);
        Item->setFont(F);
        Item->setFlags(Qt::NoItemFlags);
        Item->setBackground(CharGrid->palette().button());
        Item->setForeground(CharGrid->palette().buttonText());
        if (Row == 0 && Col > 0)
            Item->setText(ToQt(ByteToHex(static_cast<std::uint8_t>(Col - 1))));
        else if (Col == 0 && Row > 0)
            Item->setText(ToQt(ByteToHex(static_cast<std::uint8_t>(Row - 1))));
        return;
    }
    const int Code = (Row - 1) * 16 + (Col - 1);
    Item->setFont(QFont(FCharFont, 8));
    Item->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable);
    Item->setText(ToQt(std::string(1, static_cast<char>(Code))));
    Item->setData(Qt::UserRole, Code);
}

int TCharTableDialog::CurrentCode() const {
    const int Row = CharGrid->currentRow();
    const int Col = CharGrid->currentColumn();
    if (Row < 1 || Col < 1) return 0;
    return (Col - 1) + (Row - 1) * 16;
}

void TCharTableDialog::CharGridDblClick(int Row, int Col) {
    // A double click anywhere on the grid chooses, as "Select" does: on a character that
    // character, on a header (no character) the current cell.
    if (Row >= 1 && Col >= 1) CharGrid->setCurrentCell(Row, Col);
    accept();
}

bool TCharTableDialog::eventFilter(QObject* Watched, QEvent* Event) {
    if (Watched == CharGrid->viewport() && Event->type() == QEvent::MouseButtonDblClick) {
        const auto* Mouse = static_cast<QMouseEvent*>(Event);
        const QModelIndex Index = CharGrid->indexAt(Mouse->position().toPoint());
        if (Mouse->button() == Qt::LeftButton && Index.isValid() &&
            (Index.row() == 0 || Index.column() == 0)) {
            CharGridDblClick(Index.row(), Index.column());
            return true;
        }
    }
    return QDialog::eventFilter(Watched, Event);
}

int TCharTableDialog::Execute(const QString& FontName) {
    SetCharFont(FontName);
    CharGrid->setFocus();
    // In the middle of the screen, not over the text dialog it is called from.
    CentreOnScreen(*this);
    return exec() == QDialog::Accepted ? CurrentCode() : 0;
}

int SelectChar(const std::string& FontName) {
    TCharTableDialog Dialog(QApplication::activeWindow());
    return Dialog.Execute(ToQt(FontName));
}

} // namespace zarvo
