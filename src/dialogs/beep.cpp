// The system beep with which the dialogs refuse input, with a hook that tests can listen on.
#include "dialogs/beep.h"

#include <QApplication>

namespace zarvo {

namespace {
TBeepHook CurrentHook = nullptr;
}

void Beep() {
    if (CurrentHook)
        CurrentHook();
    else
        QApplication::beep();
}

TBeepHook SetBeepHook(TBeepHook Hook) {
    const TBeepHook Before = CurrentHook;
    CurrentHook = Hook;
    return Before;
}

} // namespace zarvo
