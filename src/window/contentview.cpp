// The View menu's "EPS-&Inhalt anzeigen" and what it switches.
#include "window/contentview.h"

#include "output/printjob.h"
#include "view/epsrenderer.h"
#include "view/pageview.h"

#include <QAction>
#include <QHelpEvent>
#include <QMenu>
#include <QToolTip>
#include <QWidget>

namespace zarvo {

TContentView::TContentView(TPageView& View, QWidget& Field, QMenu& Menu, int Shown)
    : FView(View), FField(Field), FConfigured(Shown) {
    FAction = new QAction(QStringLiteral("EPS-&Inhalt anzeigen"), &Menu);
    FAction->setObjectName(QStringLiteral("InhaltItem"));
    FAction->setCheckable(true);
    Menu.addSeparator();
    Menu.addAction(FAction);
    Menu.setToolTipsVisible(true);
    const bool Gs = TEpsRenderer::GhostscriptFound();
    if (Gs) {
        TEpsRenderer::TOptions Options = TEpsRenderer::DefaultOptions();
        Options.WrapperBegin = QString::fromLatin1(EpsWrapperBegin);
        Options.WrapperEnd = QString::fromLatin1(EpsWrapperEnd);
        FRenderer = std::make_unique<TEpsRenderer>(Options);
        FRenderer->SetOnReady([this] { FField.update(); });
        FAction->setToolTip(QStringLiteral("Zeigt in jedem EPS-Rahmen, was die Datei zeichnet"));
    } else {
        FAction->setEnabled(false);
        FAction->setToolTip(QStringLiteral(
            "Ghostscript (Debian-Paket ghostscript) zeigt den Inhalt der EPS-Dateien"));
    }
    FAction->setStatusTip(FAction->toolTip());
    SetShown(Gs && Shown != 0);
    QObject::connect(FAction, &QAction::toggled, this, [this](bool On) { SetShown(On); });
    FField.installEventFilter(this);
}

TContentView::~TContentView() {
    FView.SetContentSource(nullptr);
}

int TContentView::Shown() const {
    // Without Ghostscript the choice stays as it was, for a machine that has it.
    return FRenderer ? FAction->isChecked() : FConfigured;
}

void TContentView::SetShown(bool On) {
    On = On && FRenderer;
    if (FAction->isChecked() != On) FAction->setChecked(On);
    FView.SetContentSource(On ? FRenderer.get() : nullptr);
    if (!On && FRenderer) FRenderer->CancelAll();
    FField.update();
}

bool TContentView::eventFilter(QObject* Watched, QEvent* Event) {
    if (Watched == &FField && Event->type() == QEvent::ToolTip) {
        const auto* Help = static_cast<QHelpEvent*>(Event);
        const std::string Why = FView.ContentFailureAt({Help->pos().x(), Help->pos().y()});
        if (Why.empty())
            QToolTip::hideText();
        else
            QToolTip::showText(Help->globalPos(), QString::fromStdString(Why), &FField);
        return true;
    }
    return QObject::eventFilter(Watched, Event);
}

} // namespace zarvo
