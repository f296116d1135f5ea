// Input check of entry fields whose text becomes a one-line byte string.
#pragma once

#include <QValidator>

namespace zarvo {

// Refuses, with a beep, every edit (typed, pasted, dropped) that would put into the field a
// character the stored byte string cannot hold: anything without a byte in the ANSI code page
// 1252, its five unassigned codes, and the line breaks CR and LF and the NUL byte, which a
// one-line text in the sheet file cannot carry. The field keeps its text as it was before the
// edit.
class TAnsiValidator : public QValidator {
    Q_OBJECT
public:
    explicit TAnsiValidator(QObject* Parent = nullptr);
    State validate(QString& Input, int& Pos) const override;

    // True for the characters that a stored one-line text can hold.
    static bool Storable(QChar C);
};

} // namespace zarvo
