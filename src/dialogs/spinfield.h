// Integer spin field whose limits bind when the field is left, not while a number is typed.
#pragma once

#include <QSpinBox>

namespace zarvo {

// A QSpinBox refuses every keystroke that makes the text exceed its maximum, so with the
// limits 1 to 25 "30" could not even be typed on the way to "3" being corrected, and "99"
// became 9. Here any whole number may stand in the field while it is edited; leaving the
// field (or Enter) limits it to the nearest bound; text that is no number at all goes back to
// the last value.
class TSpinField : public QSpinBox {
    Q_OBJECT
public:
    explicit TSpinField(QWidget* Parent = nullptr);

    QValidator::State validate(QString& Input, int& Pos) const override;
    void fixup(QString& Input) const override;
};

} // namespace zarvo
