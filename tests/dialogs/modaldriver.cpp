// Helpers of the dialog tests: driving modal dialogs from inside their event loop, beeps.
#include "modaldriver.h"

#include "dialogs/beep.h"

#include <QApplication>
#include <QKeyEvent>
#include <QPointer>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

#include <memory>

namespace zarvotest {

namespace {

int Beeps = 0;

void CountBeep() {
    ++Beeps;
}

constexpr int PollInterval = 10; // ms
constexpr int MaxPolls = 500;

void Poll(QPointer<QWidget> Before, std::shared_ptr<std::function<void(QDialog*)>> Action,
          int Tries) {
    auto* Dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget());
    if (Dialog && Dialog != Before && Dialog->isVisible()) {
        QPointer<QDialog> Guard(Dialog);
        // Focus and keyboard work as for a user only once the window is active.
        if (!QTest::qWaitForWindowActive(Dialog)) ADD_FAILURE() << "the dialog did not activate";
        if (Guard) (*Action)(Dialog);
        if (Guard && Guard->isVisible()) {
            ADD_FAILURE() << "the test left the dialog open";
            Guard->reject();
        }
        return;
    }
    if (Tries >= MaxPolls) {
        ADD_FAILURE() << "no modal dialog opened";
        return;
    }
    QTimer::singleShot(PollInterval, [=] { Poll(Before, Action, Tries + 1); });
}

} // namespace

void OnNextModal(std::function<void(QDialog*)> Action) {
    QPointer<QWidget> Before = QApplication::activeModalWidget();
    auto Shared = std::make_shared<std::function<void(QDialog*)>>(std::move(Action));
    QTimer::singleShot(0, [=] { Poll(Before, Shared, 0); });
}

void TypeText(QWidget* Widget, const QString& Text) {
    for (const QChar C : Text) {
        const int Key = C.isLetterOrNumber() && C.unicode() < 128
                            ? static_cast<int>(C.toUpper().unicode())
                            : static_cast<int>(Qt::Key_unknown);
        QKeyEvent Press(QEvent::KeyPress, Key, Qt::NoModifier, QString(C));
        QApplication::sendEvent(Widget, &Press);
        QKeyEvent Release(QEvent::KeyRelease, Key, Qt::NoModifier, QString(C));
        QApplication::sendEvent(Widget, &Release);
    }
}

TBeepCounter::TBeepCounter() {
    Beeps = 0;
    zarvo::SetBeepHook(&CountBeep);
}

TBeepCounter::~TBeepCounter() {
    zarvo::SetBeepHook(nullptr);
}

int TBeepCounter::Count() const {
    return Beeps;
}

} // namespace zarvotest
