// The OK and Cancel buttons at the right end of a dialog's bottom row.
#include "dialogs/okcancelrow.h"

#include "dialogs/buttonglyphs.h"

#include <QDialog>
#include <QHBoxLayout>
#include <QPushButton>

namespace zarvo {

QHBoxLayout* OkCancelRow(QDialog* Dialog, QPushButton*& OKBtn, QPushButton*& CancelBtn,
                         const QString& OkText) {
    OKBtn = new QPushButton(OkGlyph(), OkText, Dialog);
    OKBtn->setDefault(true);
    CancelBtn = new QPushButton(CancelGlyph(), QStringLiteral("Cancel"), Dialog);
    QObject::connect(CancelBtn, &QPushButton::clicked, Dialog, &QDialog::reject);
    auto* Row = new QHBoxLayout;
    Row->addStretch();
    Row->addWidget(OKBtn);
    Row->addWidget(CancelBtn);
    return Row;
}

} // namespace zarvo
