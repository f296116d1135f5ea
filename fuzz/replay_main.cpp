// Replays corpora through a fuzz target without libFuzzer: every file named, and every file of
// every folder named, goes once through LLVMFuzzerTestOneInput. The targets check their own
// invariants and abort on a broken one, which fails the run.
#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <dirent.h>
#include <fstream>
#include <sstream>
#include <string>
#include <sys/stat.h>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* Data, std::size_t Size);

namespace {

void Collect(const std::string& Path, std::vector<std::string>& Files) {
    struct stat St;
    if (::stat(Path.c_str(), &St) != 0) {
        std::fprintf(stderr, "cannot find %s\n", Path.c_str());
        return;
    }
    if (!S_ISDIR(St.st_mode)) {
        Files.push_back(Path);
        return;
    }
    std::vector<std::string> Names;
    if (DIR* D = ::opendir(Path.c_str())) {
        while (dirent* E = ::readdir(D))
            if (E->d_name[0] != '.') Names.push_back(E->d_name);
        ::closedir(D);
    }
    std::sort(Names.begin(), Names.end());
    for (const std::string& N : Names)
        Collect(Path + "/" + N, Files);
}

} // namespace

int main(int argc, char** argv) {
    std::vector<std::string> Files;
    for (int I = 1; I < argc; ++I)
        Collect(argv[I], Files);
    if (Files.empty()) {
        std::fprintf(stderr, "no inputs to replay\n");
        return 1;
    }
    for (const std::string& F : Files) {
        std::ifstream In(F, std::ios::binary);
        std::ostringstream S;
        S << In.rdbuf();
        const std::string Data = S.str();
        LLVMFuzzerTestOneInput(reinterpret_cast<const std::uint8_t*>(Data.data()), Data.size());
    }
    std::printf("%zu inputs replayed\n", Files.size());
    return 0;
}
