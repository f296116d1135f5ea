// Qt's own texts (standard buttons, file dialogs) in the language of the user's locale.
#include "dialogs/qttranslations.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QTranslator>

namespace zarvo {

QTranslator* InstallQtTranslations(const QLocale& Locale) {
    auto* Translator = new QTranslator(QCoreApplication::instance());
    if (Translator->load(Locale, QStringLiteral("qtbase"), QStringLiteral("_"),
                         QLibraryInfo::path(QLibraryInfo::TranslationsPath)) &&
        QCoreApplication::installTranslator(Translator))
        return Translator;
    delete Translator;
    return nullptr;
}

} // namespace zarvo
