// Folder names as the file system holds them: bytes, which need not be valid UTF-8.
#pragma once

#include <QString>
#include <QStringList>

#include <string>

namespace zarvo {

// A folder name is a byte string; Qt's own conversion turns bytes that are no UTF-8 into
// U+FFFD, after which the folder can neither be listed nor entered. These functions keep every
// byte: valid UTF-8 is decoded as usual, and each other byte B becomes the unpaired surrogate
// U+DC00 + B, which no valid UTF-8 yields and which turns back into B.
QString PathFromBytes(const std::string& Bytes);
std::string PathToBytes(const QString& Path);
// For the eye: the kept bytes shown as U+FFFD.
QString PathForDisplay(const QString& Path);

// The file-system operations of the folder dialog on such paths.
bool IsFolder(const QString& Path);
bool ChangeFolder(const QString& Path);
QString CurrentFolder();
// Absolute and without "." and ".." parts; relative paths count from the current folder.
QString AbsoluteFolder(const QString& Path);
// The subfolders of Folder (not those whose name starts with '.'), by name without regard to
// case.
QStringList SubFolders(const QString& Folder);
// Creates Path with every missing folder on the way.
bool MakeFolders(const QString& Path);

} // namespace zarvo
