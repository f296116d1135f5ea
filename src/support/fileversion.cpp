// The size and modification time of a file, from the file system.
#include "support/fileversion.h"

#include <sys/stat.h>

namespace zarvo {

TFileVersion FileVersionOf(const std::string& Path) {
    TFileVersion V;
    struct stat St {};
    if (::stat(Path.c_str(), &St) != 0 || !S_ISREG(St.st_mode)) return V;
    V.Exists = true;
    V.Size = St.st_size;
    V.Time = static_cast<long long>(St.st_mtim.tv_sec) * 1000000000LL + St.st_mtim.tv_nsec;
    return V;
}

} // namespace zarvo
