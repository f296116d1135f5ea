// Integer spin field whose limits bind when the field is left, not while a number is typed.
#include "dialogs/spinfield.h"

#include <algorithm>

namespace zarvo {

namespace {

// The whole number the text of the field holds, without prefix and suffix.
bool WholeNumber(const TSpinField& Field, const QString& Input, long long& V) {
    QString T = Input;
    if (!Field.prefix().isEmpty() && T.startsWith(Field.prefix()))
        T.remove(0, Field.prefix().size());
    if (!Field.suffix().isEmpty() && T.endsWith(Field.suffix())) T.chop(Field.suffix().size());
    bool Ok = false;
    V = T.trimmed().toLongLong(&Ok);
    return Ok;
}

} // namespace

TSpinField::TSpinField(QWidget* Parent) : QSpinBox(Parent) {
    setCorrectionMode(QAbstractSpinBox::CorrectToNearestValue);
}

QValidator::State TSpinField::validate(QString& Input, int& Pos) const {
    const QValidator::State S = QSpinBox::validate(Input, Pos);
    long long V;
    if (S == QValidator::Invalid && WholeNumber(*this, Input, V)) return QValidator::Intermediate;
    return S;
}

void TSpinField::fixup(QString& Input) const {
    long long V;
    if (WholeNumber(*this, Input, V))
        Input = prefix() +
                textFromValue(static_cast<int>(std::clamp<long long>(V, minimum(), maximum()))) +
                suffix();
    else // no number at all: the last value it held
        Input = prefix() + textFromValue(value()) + suffix();
}

} // namespace zarvo
