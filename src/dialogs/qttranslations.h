// Qt's own texts (standard buttons, file dialogs) in the language of the user's locale.
#pragma once

#include <QLocale>

class QTranslator;

namespace zarvo {

// Installs Qt's translation of its own texts for Locale on the running application, so that
// a German user's question boxes say "Ja" and "Nein". The program's texts are German anyway;
// without a translation for the locale Qt's English texts stay. The installed translator
// (owned by the application), or nullptr when there is none for the locale.
QTranslator* InstallQtTranslations(const QLocale& Locale = QLocale());

} // namespace zarvo
