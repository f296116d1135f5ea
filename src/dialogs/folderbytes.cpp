// Folder names as the file system holds them: bytes, which need not be valid UTF-8.
#include "dialogs/folderbytes.h"

#include <QDir>

#include <algorithm>
#include <cerrno>
#include <dirent.h>
#include <sys/stat.h>
#include <unistd.h>

namespace zarvo {

namespace {

// The length of the valid UTF-8 sequence at S[I], and its code point; 0 when there is none.
int Utf8Sequence(const std::string& S, std::size_t I, char32_t& Code) {
    const auto B = [&](std::size_t K) { return static_cast<unsigned char>(S[K]); };
    const unsigned char C = B(I);
    int Len;
    char32_t Min;
    if (C < 0x80) {
        Code = C;
        return 1;
    } else if ((C & 0xE0) == 0xC0) {
        Len = 2, Code = C & 0x1F, Min = 0x80;
    } else if ((C & 0xF0) == 0xE0) {
        Len = 3, Code = C & 0x0F, Min = 0x800;
    } else if ((C & 0xF8) == 0xF0) {
        Len = 4, Code = C & 0x07, Min = 0x10000;
    } else {
        return 0;
    }
    if (I + Len > S.size()) return 0;
    for (int K = 1; K < Len; ++K) {
        if ((B(I + K) & 0xC0) != 0x80) return 0;
        Code = (Code << 6) | (B(I + K) & 0x3F);
    }
    if (Code < Min || Code > 0x10FFFF || (Code >= 0xD800 && Code <= 0xDFFF)) return 0;
    return Len;
}

void AppendUtf8(std::string& Out, char32_t C) {
    if (C < 0x80) {
        Out += static_cast<char>(C);
    } else if (C < 0x800) {
        Out += static_cast<char>(0xC0 | (C >> 6));
        Out += static_cast<char>(0x80 | (C & 0x3F));
    } else if (C < 0x10000) {
        Out += static_cast<char>(0xE0 | (C >> 12));
        Out += static_cast<char>(0x80 | ((C >> 6) & 0x3F));
        Out += static_cast<char>(0x80 | (C & 0x3F));
    } else {
        Out += static_cast<char>(0xF0 | (C >> 18));
        Out += static_cast<char>(0x80 | ((C >> 12) & 0x3F));
        Out += static_cast<char>(0x80 | ((C >> 6) & 0x3F));
        Out += static_cast<char>(0x80 | (C & 0x3F));
    }
}

bool IsKeptByte(char16_t U) {
    return U >= 0xDC80 && U <= 0xDCFF;
}

} // namespace

QString PathFromBytes(const std::string& Bytes) {
    QString R;
    for (std::size_t I = 0; I < Bytes.size();) {
        char32_t Code;
        const int Len = Utf8Sequence(Bytes, I, Code);
        if (Len == 0) {
            R += QChar(static_cast<char16_t>(0xDC00 + static_cast<unsigned char>(Bytes[I])));
            ++I;
            continue;
        }
        if (Code >= 0x10000)
            R += QString::fromUcs4(&Code, 1);
        else
            R += QChar(static_cast<char16_t>(Code));
        I += static_cast<std::size_t>(Len);
    }
    return R;
}

std::string PathToBytes(const QString& Path) {
    std::string R;
    for (qsizetype I = 0; I < Path.size(); ++I) {
        const char16_t U = Path[I].unicode();
        if (QChar::isHighSurrogate(U) && I + 1 < Path.size() &&
            QChar::isLowSurrogate(Path[I + 1].unicode())) {
            AppendUtf8(R, QChar::surrogateToUcs4(U, Path[I + 1].unicode()));
            ++I;
        } else if (IsKeptByte(U)) {
            R += static_cast<char>(U - 0xDC00);
        } else if (QChar::isSurrogate(U)) {
            R += '?';
        } else {
            AppendUtf8(R, U);
        }
    }
    return R;
}

QString PathForDisplay(const QString& Path) {
    QString R = Path;
    for (QChar& C : R)
        if (IsKeptByte(C.unicode())) C = QChar(0xFFFD);
    return R;
}

bool IsFolder(const QString& Path) {
    struct stat St;
    return !Path.isEmpty() && ::stat(PathToBytes(Path).c_str(), &St) == 0 && S_ISDIR(St.st_mode);
}

bool ChangeFolder(const QString& Path) {
    return !Path.isEmpty() && ::chdir(PathToBytes(Path).c_str()) == 0;
}

QString CurrentFolder() {
    std::string Buf(4096, '\0');
    while (!::getcwd(Buf.data(), Buf.size())) {
        if (errno != ERANGE || Buf.size() > (1u << 20)) return QStringLiteral("/");
        Buf.resize(Buf.size() * 2);
    }
    return PathFromBytes(Buf.c_str());
}

QString AbsoluteFolder(const QString& Path) {
    if (Path.startsWith(QLatin1Char('/'))) return QDir::cleanPath(Path);
    return QDir::cleanPath(CurrentFolder() + QLatin1Char('/') + Path);
}

QStringList SubFolders(const QString& Folder) {
    QStringList Names;
    const std::string Base = PathToBytes(Folder);
    DIR* D = ::opendir(Base.c_str());
    if (!D) return Names;
    while (const dirent* E = ::readdir(D)) {
        const std::string Name = E->d_name;
        if (Name.empty() || Name[0] == '.') continue;
        struct stat St;
        const std::string Full = (Base.size() > 0 && Base.back() == '/' ? Base : Base + "/") + Name;
        if (::stat(Full.c_str(), &St) == 0 && S_ISDIR(St.st_mode)) Names << PathFromBytes(Name);
    }
    ::closedir(D);
    std::sort(Names.begin(), Names.end(), [](const QString& A, const QString& B) {
        const int C = A.compare(B, Qt::CaseInsensitive);
        return C != 0 ? C < 0 : A < B;
    });
    return Names;
}

bool MakeFolders(const QString& Path) {
    const std::string Bytes = PathToBytes(AbsoluteFolder(Path));
    for (std::size_t Slash = 1; Slash <= Bytes.size(); ++Slash) {
        if (Slash < Bytes.size() && Bytes[Slash] != '/') continue;
        const std::string Part = Bytes.substr(0, Slash);
        if (::mkdir(Part.c_str(), 0777) != 0 && errno != EEXIST) return false;
    }
    return IsFolder(Path);
}

} // namespace zarvo
