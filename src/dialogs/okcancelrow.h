// The OK and Cancel buttons at the right end of a dialog's bottom row.
#pragma once

#include <QString>

class QDialog;
class QHBoxLayout;
class QPushButton;

namespace zarvo {

// Makes both buttons with their pictures (OK the default button, Cancel closing with Cancel)
// and returns the row that holds them right-aligned. What OK does is the caller's.
QHBoxLayout* OkCancelRow(QDialog* Dialog, QPushButton*& OKBtn, QPushButton*& CancelBtn,
                         const QString& OkText = QStringLiteral("OK"));

} // namespace zarvo
