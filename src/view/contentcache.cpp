// The two levels of the EPS picture cache.
#include "view/contentcache.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QSaveFile>

namespace zarvo {

TContentCache::TContentCache(long long MemoryLimit, QString DiskDir)
    : FLimit(MemoryLimit), FDiskDir(std::move(DiskDir)) {}

QString TContentCache::DiskFile(const std::string& Key) const {
    const QByteArray Hash =
        QCryptographicHash::hash(QByteArray::fromStdString(Key), QCryptographicHash::Sha256);
    return FDiskDir + QLatin1Char('/') + QString::fromLatin1(Hash.toHex()) + QStringLiteral(".png");
}

std::shared_ptr<const QImage> TContentCache::Find(const std::string& Key) {
    const auto It = FIndex.find(Key);
    if (It != FIndex.end()) {
        FEntries.splice(FEntries.begin(), FEntries, It->second);
        return It->second->Image;
    }
    if (FDiskDir.isEmpty()) return nullptr;
    QImage Image;
    if (!Image.load(DiskFile(Key), "PNG")) return nullptr;
    return Keep(Key, Image.convertToFormat(QImage::Format_ARGB32_Premultiplied));
}

std::shared_ptr<const QImage> TContentCache::Insert(const std::string& Key, QImage Image) {
    if (!FDiskDir.isEmpty() && QDir().mkpath(FDiskDir)) {
        // Written whole or not at all: a half-written file would be a broken picture later.
        QSaveFile File(DiskFile(Key));
        if (File.open(QIODevice::WriteOnly) && Image.save(&File, "PNG")) File.commit();
    }
    return Keep(Key, Image.convertToFormat(QImage::Format_ARGB32_Premultiplied));
}

std::shared_ptr<const QImage> TContentCache::Keep(const std::string& Key, QImage Image) {
    const auto Old = FIndex.find(Key);
    if (Old != FIndex.end()) {
        FBytes -= Old->second->Bytes;
        FEntries.erase(Old->second);
        FIndex.erase(Old);
    }
    auto Shared = std::make_shared<const QImage>(std::move(Image));
    const long long Bytes = Shared->sizeInBytes();
    FEntries.push_front({Key, Shared, Bytes});
    FIndex[Key] = FEntries.begin();
    FBytes += Bytes;
    // The newest stays even when it alone is over the limit: it is on screen.
    while (FBytes > FLimit && FEntries.size() > 1) {
        FBytes -= FEntries.back().Bytes;
        FIndex.erase(FEntries.back().Key);
        FEntries.pop_back();
    }
    return Shared;
}

void TContentCache::Clear() {
    FEntries.clear();
    FIndex.clear();
    FBytes = 0;
}

} // namespace zarvo
