// Placing a dialog in the middle of the screen it will show on.
#include "dialogs/screenplace.h"

#include <QGuiApplication>
#include <QLayout>
#include <QScreen>
#include <QWidget>

namespace zarvo {

void CentreOnScreen(QWidget& Window) {
    if (QLayout* L = Window.layout()) L->activate();
    Window.adjustSize();
    const QWidget* Near = Window.parentWidget() ? Window.parentWidget()->window() : &Window;
    QScreen* Screen = Near->screen();
    if (!Screen) Screen = QGuiApplication::primaryScreen();
    if (!Screen) return;
    const QRect Area = Screen->availableGeometry();
    Window.move(Area.center() - QPoint(Window.width() / 2, Window.height() / 2));
}

} // namespace zarvo
