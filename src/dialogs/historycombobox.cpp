// A combo box whose list is a history of paths, shown as a plain edit box while the list is empty.
#include "dialogs/historycombobox.h"

#include <QLineEdit>
#include <QPixmapCache>

namespace zarvo {

THistoryComboBox::THistoryComboBox(QWidget* Parent) : QComboBox(Parent) {
    setEditable(true);
    // The history grows only through AddHistory; Enter must not add the typed text.
    setInsertPolicy(QComboBox::NoInsert);
    setCompleter(nullptr);
    setDuplicatesEnabled(false);
    // Typed text is never a choice: without this, leaving the box with text that matches an
    // entry would select that entry as if the user had picked it.
    disconnect(lineEdit(), &QLineEdit::editingFinished, this, nullptr);
}

int THistoryComboBox::FindHistory(const QString& Path) const {
    for (int I = 0; I < count(); ++I)
        if (itemText(I).compare(Path, Qt::CaseInsensitive) == 0) return I;
    return -1;
}

void THistoryComboBox::AddHistory(const QString& Path) {
    if (FindHistory(Path) >= 0) return;
    // Adding must neither select the entry nor replace the text the box shows (the first item
    // of an empty combo box would otherwise become its selection).
    const int Before = currentIndex();
    const QString Text = currentText();
    addItem(Path);
    if (currentIndex() != Before) setCurrentIndex(Before);
    if (currentText() != Text) setEditText(Text);
}

void THistoryComboBox::RemoveHistory(const QString& Path) {
    const int I = FindHistory(Path);
    if (I >= 0) removeItem(I);
    if (count() > 0) setCurrentIndex(0);
}

void THistoryComboBox::SetSimple(bool Simple) {
    FSimple = Simple;
    if (Simple)
        setStyleSheet(QStringLiteral("QComboBox::drop-down { width: 0px; border: none; }"
                                     "QComboBox::down-arrow { image: none; }"));
    else if (!styleSheet().isEmpty()) {
        setStyleSheet(QString());
        // The style keeps drawn combo boxes in the pixmap cache under keys that do not say
        // whether the arrow was drawn: the box drawn without it would come back arrowless.
        QPixmapCache::clear();
        update();
    }
}

void THistoryComboBox::showPopup() {
    if (FSimple) return;
    QComboBox::showPopup();
}

} // namespace zarvo
