// Conversion between the program's byte strings and the strings of the Qt widgets.
#include "dialogs/textcodec.h"

namespace zarvo {

QString ToQt(const std::string& Bytes) {
    return QString::fromLatin1(Bytes.data(), static_cast<qsizetype>(Bytes.size()));
}

std::string FromQt(const QString& Text) {
    std::string Bytes;
    Bytes.reserve(static_cast<std::size_t>(Text.size()));
    for (const QChar C : Text)
        Bytes.push_back(C.unicode() <= 0xFF ? static_cast<char>(C.unicode()) : '?');
    return Bytes;
}

bool IsLatin1(const QString& Text) {
    for (const QChar C : Text)
        if (C.unicode() > 0xFF) return false;
    return true;
}

} // namespace zarvo
