// The user's special folders; identifier 5 is the personal documents folder.
#include "support/shellfolder.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>

namespace zarvo {

std::string GetSpecialFolder(int Id) {
    if (Id != CSIDL_PERSONAL) return {};
    const QString Docs = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    QString Folder = (!Docs.isEmpty() && QFileInfo(Docs).isDir()) ? Docs : QDir::homePath();
    if (Folder.isEmpty() || !QFileInfo(Folder).isDir()) return {};
    const std::string Path = QFile::encodeName(QDir::cleanPath(Folder)).toStdString();
    return Path.size() > 4096 ? std::string() : Path;
}

} // namespace zarvo
