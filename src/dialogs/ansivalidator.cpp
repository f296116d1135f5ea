// Input check of entry fields whose text becomes a one-line byte string.
#include "dialogs/latin1validator.h"

#include "dialogs/beep.h"

namespace zarvo {

TLatin1Validator::TLatin1Validator(QObject* Parent) : QValidator(Parent) {}

bool TLatin1Validator::Storable(QChar C) {
    const char16_t U = C.unicode();
    return U <= 0xFF && U != 0 && U != '\r' && U != '\n';
}

QValidator::State TLatin1Validator::validate(QString& Input, int&) const {
    for (const QChar C : Input)
        if (!Storable(C)) {
            Beep();
            return Invalid;
        }
    return Acceptable;
}

} // namespace zarvo
