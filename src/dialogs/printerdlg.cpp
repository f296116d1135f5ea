// The printer chooser: the CUPS destinations with their description and state, the default
// marked, to assign one to a printer port.
#include "dialogs/printerdlg.h"

#include "dialogs/okcancelrow.h"

#include <QFile>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QTreeWidget>
#include <QVBoxLayout>

namespace zarvo {

namespace {

QString Text(const std::string& S) {
    return QString::fromUtf8(S.c_str());
}

} // namespace

TPrinterDialog::TPrinterDialog(QWidget* Parent) : QDialog(Parent) {
    setObjectName(QStringLiteral("PrinterDialog"));
    QFont F(QStringLiteral("Sans Serif"), 8);
    F.setStyleHint(QFont::SansSerif);
    F.setBold(true);
    setFont(F);
    auto* Layout = new QVBoxLayout(this);
    Hinweis = new QLabel(this);
    Hinweis->setWordWrap(true);
    Layout->addWidget(Hinweis);
    Liste = new QTreeWidget(this);
    Liste->setObjectName(QStringLiteral("Liste"));
    Liste->setRootIsDecorated(false);
    Liste->setHeaderLabels(
        {QStringLiteral("Drucker"), QStringLiteral("Beschreibung"), QStringLiteral("Zustand")});
    Liste->header()->setSectionResizeMode(QHeaderView::ResizeToContents);
    Layout->addWidget(Liste);
    Layout->addLayout(OkCancelRow(this, OKBtn, CancelBtn));
    connect(OKBtn, &QPushButton::clicked, this, [this] {
        if (!Chosen().empty()) accept();
    });
    connect(Liste, &QTreeWidget::itemDoubleClicked, this, [this] { accept(); });
    connect(Liste, &QTreeWidget::currentItemChanged, this,
            [this] { OKBtn->setEnabled(!Chosen().empty()); });
    resize(460, 260);
}

void TPrinterDialog::Load(const std::string& Port, const std::vector<TCupsDest>& Dests,
                          const std::string& Error, const std::string& Name) {
    setWindowTitle(QStringLiteral("Drucker für %1").arg(Text(Port)));
    Liste->clear();
    QTreeWidgetItem* Current = nullptr;
    for (const TCupsDest& D : Dests) {
        QString State = Text(D.State);
        if (!D.Accepting)
            State += (State.isEmpty() ? QString() : QStringLiteral(", ")) +
                     QStringLiteral("nimmt keine Aufträge an");
        if (D.IsDefault) State += QStringLiteral(" (Standard)");
        auto* Item = new QTreeWidgetItem(Liste, {Text(D.Name), Text(D.Description), State});
        Item->setData(0, Qt::UserRole, Text(D.Name));
        if (D.Name == Name || (!Current && D.IsDefault)) Current = Item;
    }
    if (!Current && Liste->topLevelItemCount() > 0) Current = Liste->topLevelItem(0);
    Liste->setCurrentItem(Current);
    if (!Error.empty())
        Hinweis->setText(Text(Error));
    else if (Dests.empty())
        Hinweis->setText(QStringLiteral("Im System ist kein Drucker eingerichtet. Richten Sie "
                                        "einen in den Druckereinstellungen des Systems ein."));
    else
        Hinweis->setText(
            QStringLiteral("%1 druckt künftig auf den gewählten Drucker.").arg(Text(Port)));
    OKBtn->setEnabled(!Chosen().empty());
}

std::string TPrinterDialog::Chosen() const {
    const QTreeWidgetItem* Item = Liste->currentItem();
    if (!Item) return "";
    return Item->data(0, Qt::UserRole).toString().toStdString();
}

bool TPrinterDialog::Execute(const std::string& Port, const std::vector<TCupsDest>& Dests,
                             const std::string& Error, std::string& Name) {
    Load(Port, Dests, Error, Name);
    if (exec() != QDialog::Accepted || Chosen().empty()) return false;
    Name = Chosen();
    return true;
}

} // namespace zarvo
