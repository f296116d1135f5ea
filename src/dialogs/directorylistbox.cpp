// A folder list: the chain of folders from the root down to the current one, then its subfolders.
#include "dialogs/directorylistbox.h"

#include "dialogs/folderbytes.h"

#include <QHeaderView>
#include <QKeyEvent>
#include <QStyle>

namespace zarvo {

namespace {
constexpr int PathRole = Qt::UserRole;
}

TDirectoryListBox::TDirectoryListBox(QWidget* Parent) : QTreeWidget(Parent) {
    setHeaderHidden(true);
    setColumnCount(1);
    setRootIsDecorated(false);
    setItemsExpandable(false);
    setIndentation(10);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    connect(this, &QTreeWidget::itemActivated, this, [this](QTreeWidgetItem* Item) {
        if (Item) SetDirectory(Item->data(0, PathRole).toString());
    });
}

bool TDirectoryListBox::SetDirectory(const QString& Path) {
    if (Path.isEmpty()) return false;
    const QString Abs = AbsoluteFolder(Path);
    if (!IsFolder(Abs)) return false;
    FDirectory = Abs;
    BuildList();
    emit Change();
    return true;
}

void TDirectoryListBox::OpenCurrent() {
    if (QTreeWidgetItem* Item = currentItem()) SetDirectory(Item->data(0, PathRole).toString());
}

void TDirectoryListBox::keyPressEvent(QKeyEvent* Event) {
    // Enter opens the highlighted folder and stays in the dialog; OK is a separate step.
    if (Event->key() == Qt::Key_Return || Event->key() == Qt::Key_Enter) {
        OpenCurrent();
        Event->accept();
        return;
    }
    QTreeWidget::keyPressEvent(Event);
}

void TDirectoryListBox::BuildList() {
    clear();
    const QIcon Open = style()->standardIcon(QStyle::SP_DirOpenIcon);
    const QIcon Closed = style()->standardIcon(QStyle::SP_DirClosedIcon);

    // The chain: "/", then each folder on the way down, nested one level deeper each.
    QTreeWidgetItem* Parent = new QTreeWidgetItem(this, QStringList(QStringLiteral("/")));
    Parent->setData(0, PathRole, QStringLiteral("/"));
    Parent->setIcon(0, Open);
    QString Sofar;
    for (const QString& Part : FDirectory.split(QLatin1Char('/'), Qt::SkipEmptyParts)) {
        Sofar += QLatin1Char('/') + Part;
        auto* Item = new QTreeWidgetItem(Parent, QStringList(PathForDisplay(Part)));
        Item->setData(0, PathRole, Sofar);
        Item->setIcon(0, Open);
        Parent->setExpanded(true);
        Parent = Item;
    }
    QTreeWidgetItem* Current = Parent;

    // The subfolders of the current folder; hidden ones (a leading '.') are left out.
    // Names are kept byte for byte, so that folders whose names are no UTF-8 can be entered.
    const QString Base = FDirectory.endsWith(QLatin1Char('/')) ? FDirectory : FDirectory + '/';
    for (const QString& Name : SubFolders(FDirectory)) {
        auto* Item = new QTreeWidgetItem(Current, QStringList(PathForDisplay(Name)));
        Item->setData(0, PathRole, Base + Name);
        Item->setIcon(0, Closed);
    }
    Current->setExpanded(true);
    setCurrentItem(Current);
    scrollToItem(Current);
}

} // namespace zarvo
