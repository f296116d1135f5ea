// Conversion between the program's byte strings and the strings of the Qt widgets.
#include "dialogs/textcodec.h"

#include "support/ansicodepage.h"

namespace zarvo {

QString ToQt(const std::string& Bytes) {
    return AnsiToQt(Bytes);
}

std::string FromQt(const QString& Text) {
    return QtToAnsi(Text);
}

bool IsAnsi(const QString& Text) {
    unsigned char B;
    for (const QChar C : Text)
        if (!UnicodeToAnsi(C.unicode(), B)) return false;
    return true;
}

} // namespace zarvo
