// A regular file as it is now: its size and modification time, which change with its contents.
#pragma once

#include <string>

namespace zarvo {

struct TFileVersion {
    bool Exists = false; // a regular file is there
    long long Size = 0;
    long long Time = 0; // modification time, ns
    bool operator==(const TFileVersion& O) const {
        return Exists == O.Exists && Size == O.Size && Time == O.Time;
    }
    bool operator!=(const TFileVersion& O) const { return !(*this == O); }
};

TFileVersion FileVersionOf(const std::string& Path);

} // namespace zarvo
