// The recent-files entries as actions of a Qt menu.
#include "window/qthistorymenu.h"

#include <QFile>
#include <QMenu>

namespace zarvo {

TQtHistoryMenu::TQtHistoryMenu(QMenu* Menu, std::function<void(const std::string&)> OnClick)
    : FMenu(Menu), FOnClick(std::move(OnClick)) {}

int TQtHistoryMenu::Count() const {
    return static_cast<int>(FMenu->actions().size());
}

void TQtHistoryMenu::AddSeparator() {
    FMenu->addSeparator();
}

void TQtHistoryMenu::AddItem(const std::string& Caption) {
    // The caption is "&" + key + " " + path; an "&" inside the path is shown, not taken as a
    // second access key.
    const auto Blank = Caption.find(' ');
    QString Text = QString::fromUtf8(Caption.substr(0, Blank + 1).c_str());
    if (Blank != std::string::npos)
        Text += QFile::decodeName(Caption.substr(Blank + 1).c_str())
                    .replace(QLatin1Char('&'), QStringLiteral("&&"));
    QAction* A = FMenu->addAction(Text);
    A->setEnabled(true);
    A->setCheckable(false);
    QObject::connect(A, &QAction::triggered, FMenu, [this, Caption] {
        if (FOnClick) FOnClick(Caption);
    });
}

void TQtHistoryMenu::DeleteLast() {
    const QList<QAction*> Actions = FMenu->actions();
    if (Actions.isEmpty()) return;
    QAction* Last = Actions.back();
    FMenu->removeAction(Last);
    // The list is rebuilt from inside the click of one of its own entries: that action may
    // still be delivering its signal.
    if (Last->parent() == FMenu) Last->deleteLater();
}

} // namespace zarvo
