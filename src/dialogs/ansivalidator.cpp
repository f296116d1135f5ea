// Input check of entry fields whose text becomes a one-line byte string.
#include "dialogs/ansivalidator.h"

#include "dialogs/beep.h"
#include "support/ansicodepage.h"

namespace zarvo {

TAnsiValidator::TAnsiValidator(QObject* Parent) : QValidator(Parent) {}

bool TAnsiValidator::Storable(QChar C) {
    unsigned char B;
    return UnicodeToAnsi(C.unicode(), B) && AnsiAssigned(B) && B != 0 && B != '\r' && B != '\n';
}

QValidator::State TAnsiValidator::validate(QString& Input, int&) const {
    for (const QChar C : Input)
        if (!Storable(C)) {
            Beep();
            return Invalid;
        }
    return Acceptable;
}

} // namespace zarvo
