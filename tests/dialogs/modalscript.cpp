// Drives a dialog's modal loop from the tests: a script runs once the dialog is shown and active.
#include "modalscript.h"

#include <QApplication>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

#include <memory>

namespace zarvotest {

bool RunModal(QDialog& Dlg, const std::function<bool()>& Start,
              const std::function<void()>& Script) {
    auto Running = std::make_shared<bool>(true);
    auto Ran = std::make_shared<bool>(false);
    QTimer::singleShot(0, &Dlg, [&Dlg, Script, Running, Ran] {
        EXPECT_TRUE(QTest::qWaitForWindowExposed(&Dlg));
        Dlg.activateWindow();
        EXPECT_TRUE(QTest::qWaitForWindowActive(&Dlg)) << "the dialog did not become active";
        *Ran = true;
        Script();
        QTimer::singleShot(3000, &Dlg, [&Dlg, Running] {
            if (!*Running || !Dlg.isVisible()) return;
            ADD_FAILURE() << "the script left the dialog open";
            Dlg.reject();
        });
    });
    const bool Result = Start();
    *Running = false;
    EXPECT_TRUE(*Ran) << "the dialog closed before the script ran";
    return Result;
}

void PressKey(QWidget* Fallback, int Key, Qt::KeyboardModifiers Modifiers) {
    QWidget* Target = QApplication::focusWidget();
    QTest::keyClick(Target ? Target : Fallback, static_cast<Qt::Key>(Key), Modifiers);
}

} // namespace zarvotest
