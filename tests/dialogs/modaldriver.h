// Helpers of the dialog tests: driving modal dialogs from inside their event loop, beeps.
#pragma once

#include <QDialog>
#include <QString>

#include <functional>

namespace zarvotest {

// Runs Action on the next modal dialog that opens after this call, from inside that dialog's
// event loop. Action must close the dialog; if it does not, the test fails and the dialog is
// rejected, so that a broken test cannot hang. Nested dialogs work: call OnNextModal inside an
// Action before the click that opens the inner dialog.
void OnNextModal(std::function<void(QDialog*)> Action);

// Types Text into Widget character by character, as a keyboard would (any characters, also
// those QTest::keyClicks does not know).
void TypeText(QWidget* Widget, const QString& Text);

// Counts the beeps sounded while it exists.
class TBeepCounter {
public:
    TBeepCounter();
    ~TBeepCounter();
    TBeepCounter(const TBeepCounter&) = delete;
    TBeepCounter& operator=(const TBeepCounter&) = delete;
    int Count() const;
};

} // namespace zarvotest
