// The system beep with which the dialogs refuse input, with a hook that tests can listen on.
#pragma once

namespace zarvo {

// Sounds the system's default beep (or calls the installed hook instead).
void Beep();

// Installs a function that is called instead of the system beep; null restores the beep.
// Returns the hook installed before.
using TBeepHook = void (*)();
TBeepHook SetBeepHook(TBeepHook Hook);

} // namespace zarvo
