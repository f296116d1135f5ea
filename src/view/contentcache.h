// Rendered EPS pictures kept for reuse: in memory, least recently used first out, within a
// byte limit, and on disk under the user's cache folder.
#pragma once

#include "plot/imageruns.h"

#include <QImage>
#include <QString>

#include <list>
#include <memory>
#include <string>
#include <unordered_map>

namespace zarvo {

class TContentCache {
public:
    // DiskDir empty: no disk cache. The disk cache keeps to DiskLimit bytes: past it, the
    // pictures used longest ago are deleted.
    TContentCache(long long MemoryLimit, QString DiskDir, long long DiskLimit = DefaultDiskLimit);
    static constexpr long long DefaultDiskLimit = 512LL * 1024 * 1024;

    // The picture under Key from memory or else from disk; none when neither has it. Runs,
    // when given, receives the picture's painted runs (made once, when it is kept).
    std::shared_ptr<const QImage> Find(const std::string& Key,
                                       std::shared_ptr<const TImageRuns>* Runs = nullptr);
    // Keeps Image under Key in memory, and on disk when there is a disk folder.
    std::shared_ptr<const QImage> Insert(const std::string& Key, QImage Image,
                                         std::shared_ptr<const TImageRuns>* Runs = nullptr);

    long long MemoryBytes() const { return FBytes; }
    long long MemoryLimit() const { return FLimit; }
    int Count() const { return static_cast<int>(FEntries.size()); }
    void Clear();

private:
    QString DiskFile(const std::string& Key) const;
    void TrimDisk();
    std::shared_ptr<const QImage> Keep(const std::string& Key, QImage Image,
                                       std::shared_ptr<const TImageRuns>* Runs);

    struct TEntry {
        std::string Key;
        std::shared_ptr<const QImage> Image;
        std::shared_ptr<const TImageRuns> Runs;
        long long Bytes = 0; // the image's and the runs' memory
    };
    long long FLimit;
    QString FDiskDir;
    long long FDiskLimit;
    long long FDiskTotal = -1; // the folder's bytes as last measured and written since; -1: unknown
    long long FBytes = 0;
    std::list<TEntry> FEntries; // most recently used first
    std::unordered_map<std::string, std::list<TEntry>::iterator> FIndex;
};

} // namespace zarvo
