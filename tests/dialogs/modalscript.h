// Drives a dialog's modal loop from the tests: a script runs once the dialog is shown and active.
#pragma once

#include <QDialog>

#include <functional>

namespace zarvotest {

// Calls Start (which opens Dlg modally and returns once it closes) and runs Script inside that
// modal loop as soon as Dlg is visible and active. A dialog that the script leaves open is
// closed with Cancel after a few seconds and fails the test. Returns what Start returned.
bool RunModal(QDialog& Dlg, const std::function<bool()>& Start,
              const std::function<void()>& Script);

// Sends one key press and release to the widget that has the focus (or to Fallback).
void PressKey(QWidget* Fallback, int Key, Qt::KeyboardModifiers Modifiers = Qt::NoModifier);

} // namespace zarvotest
