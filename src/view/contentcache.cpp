// The two levels of the EPS picture cache.
#include "view/contentcache.h"

#include <QCryptographicHash>
#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

namespace zarvo {

TContentCache::TContentCache(long long MemoryLimit, QString DiskDir, long long DiskLimit)
    : FLimit(MemoryLimit), FDiskDir(std::move(DiskDir)), FDiskLimit(DiskLimit) {}

QString TContentCache::DiskFile(const std::string& Key) const {
    const QByteArray Hash =
        QCryptographicHash::hash(QByteArray::fromStdString(Key), QCryptographicHash::Sha256);
    return FDiskDir + QLatin1Char('/') + QString::fromLatin1(Hash.toHex()) + QStringLiteral(".png");
}

std::shared_ptr<const QImage> TContentCache::Find(const std::string& Key,
                                                  std::shared_ptr<const TImageRuns>* Runs) {
    const auto It = FIndex.find(Key);
    if (It != FIndex.end()) {
        FEntries.splice(FEntries.begin(), FEntries, It->second);
        if (Runs) *Runs = It->second->Runs;
        return It->second->Image;
    }
    if (FDiskDir.isEmpty()) return nullptr;
    QImage Image;
    QFile Disk(DiskFile(Key));
    if (!Image.load(&Disk, "PNG")) return nullptr;
    Disk.close();
    // Used now: the trimming of the folder takes it among the last.
    if (Disk.open(QIODevice::ReadWrite))
        Disk.setFileTime(QDateTime::currentDateTime(), QFileDevice::FileModificationTime);
    return Keep(Key, Image.convertToFormat(QImage::Format_ARGB32_Premultiplied), Runs);
}

std::shared_ptr<const QImage> TContentCache::Insert(const std::string& Key, QImage Image,
                                                    std::shared_ptr<const TImageRuns>* Runs) {
    if (!FDiskDir.isEmpty() && QDir().mkpath(FDiskDir)) {
        // Written whole or not at all: a half-written file would be a broken picture later.
        QSaveFile File(DiskFile(Key));
        if (File.open(QIODevice::WriteOnly) && Image.save(&File, "PNG") && File.commit()) {
            // The folder is measured at the first picture and whenever it would be over its
            // limit; between, what this cache writes is counted.
            if (FDiskTotal >= 0) FDiskTotal += QFileInfo(DiskFile(Key)).size();
            if (FDiskTotal < 0 || FDiskTotal > FDiskLimit) TrimDisk();
        }
    }
    return Keep(Key, Image.convertToFormat(QImage::Format_ARGB32_Premultiplied), Runs);
}

std::shared_ptr<const QImage> TContentCache::Keep(const std::string& Key, QImage Image,
                                                  std::shared_ptr<const TImageRuns>* Runs) {
    const auto Old = FIndex.find(Key);
    if (Old != FIndex.end()) {
        FBytes -= Old->second->Bytes;
        FEntries.erase(Old->second);
        FIndex.erase(Old);
    }
    // Kept in the format the picture blends fastest, with the runs of pixels it paints.
    auto Shared = std::make_shared<const QImage>(std::move(Image));
    auto Painted = std::make_shared<const TImageRuns>(*Shared);
    const long long Bytes = Shared->sizeInBytes() + Painted->Bytes();
    if (Runs) *Runs = Painted;
    FEntries.push_front({Key, Shared, Painted, Bytes});
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

void TContentCache::TrimDisk() {
    QDir Dir(FDiskDir);
    const QFileInfoList Files = Dir.entryInfoList({QStringLiteral("*.png")}, QDir::Files,
                                                  QDir::Time); // newest first
    long long Total = 0;
    for (const QFileInfo& F : Files)
        Total += F.size();
    FDiskTotal = Total;
    if (Total <= FDiskLimit) return;
    // Down to three quarters of the limit, so that the next pictures do not trim again at once;
    // the pictures used longest ago go first.
    const long long Goal = FDiskLimit / 4 * 3;
    for (auto It = Files.crbegin(); It != Files.crend() && Total > Goal; ++It)
        if (QFile::remove(It->filePath())) Total -= It->size();
    FDiskTotal = Total;
}

void TContentCache::Clear() {
    FEntries.clear();
    FIndex.clear();
    FBytes = 0;
}

} // namespace zarvo
