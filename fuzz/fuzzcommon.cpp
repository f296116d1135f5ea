// Shared by the fuzz targets: temporary folder, files, quiet dialogs.
#include "fuzzcommon.h"

#include "support/buftextfile.h"

#include <algorithm>
#include <cstring>
#include <dirent.h>
#include <fstream>
#include <sstream>
#include <stdexcept>
#include <sys/stat.h>
#include <unistd.h>

namespace zarvofuzz {

void RemoveTree(const std::string& Path) {
    struct stat St;
    if (::lstat(Path.c_str(), &St) != 0) return;
    if (S_ISDIR(St.st_mode)) {
        ::chmod(Path.c_str(), 0700);
        for (const std::string& Name : ListDir(Path))
            RemoveTree(Path + "/" + Name);
        ::rmdir(Path.c_str());
    } else {
        ::unlink(Path.c_str());
    }
}

namespace {

struct TDirHolder {
    std::string Path;
    TDirHolder() {
        const char* Base = std::getenv("TMPDIR");
        std::string Templ = std::string(Base && *Base ? Base : "/tmp") + "/zarvo-fuzz-XXXXXX";
        if (!::mkdtemp(Templ.data())) {
            std::perror("mkdtemp");
            std::abort();
        }
        Path = Templ;
    }
    ~TDirHolder() { RemoveTree(Path); }
};

} // namespace

const std::string& TempDir() {
    static TDirHolder Holder;
    return Holder.Path;
}

std::string TempFile(const std::string& Name) {
    return TempDir() + "/" + Name;
}

void WriteFile(const std::string& Path, const std::string& Bytes) {
    std::ofstream F(Path, std::ios::binary | std::ios::trunc);
    F.write(Bytes.data(), static_cast<std::streamsize>(Bytes.size()));
    F.close();
    if (!F) {
        std::fprintf(stderr, "cannot write %s\n", Path.c_str());
        std::abort();
    }
}

std::string ReadFile(const std::string& Path) {
    std::ifstream F(Path, std::ios::binary);
    std::ostringstream S;
    S << F.rdbuf();
    return S.str();
}

std::vector<std::string> ListDir(const std::string& Path) {
    std::vector<std::string> Names;
    if (DIR* D = ::opendir(Path.c_str())) {
        while (dirent* E = ::readdir(D))
            if (std::strcmp(E->d_name, ".") != 0 && std::strcmp(E->d_name, "..") != 0)
                Names.push_back(E->d_name);
        ::closedir(D);
    }
    return Names;
}

TQuietDialogs::TQuietDialogs() {
    Before = zarvo::SetUserDialogs(this);
}

TQuietDialogs::~TQuietDialogs() {
    zarvo::SetUserDialogs(Before);
}

bool TQuietDialogs::AskYesNo(const std::string& Msg, int, int) {
    Messages.push_back(Msg);
    return false;
}

void TQuietDialogs::ErrorBox(const std::string& Msg) {
    Messages.push_back(Msg);
}

void TQuietDialogs::ShowMessage(const std::string& Msg) {
    Messages.push_back(Msg);
}

std::size_t TChunkySource::Read(unsigned char* Out, std::size_t Count) {
    const std::size_t N = std::min({Count, Chunk, Data.size() - Pos});
    std::memcpy(Out, Data.data() + Pos, N);
    Pos += N;
    return N;
}

std::vector<std::string> ReadLinesByteWise(const std::string& Data) {
    using namespace zarvo;
    TBufTextFile F;
    FUZZ_CHECK(OpenBufRead(F, MakeMemorySource(Data), "reference"));
    std::vector<std::string> Result;
    while (!BufEof(F)) {
        std::string Line;
        std::uint8_t B = ReadBufChar(F);
        while (B == 10 && LastLineEnd == 13)
            B = ReadBufChar(F);
        LastLineEnd = 0;
        while (!(B == 13 || B == 10 || B == 12 || B == 0)) {
            Line.push_back(static_cast<char>(B));
            if (BufEof(F)) {
                B = 0;
                break;
            }
            B = ReadBufChar(F);
        }
        LastLineEnd = B;
        Result.push_back(Line);
    }
    return Result;
}

std::vector<std::string> Split(const std::string& Data, const std::string& Sep) {
    std::vector<std::string> Parts;
    std::size_t From = 0;
    for (;;) {
        const std::size_t At = Sep.empty() ? std::string::npos : Data.find(Sep, From);
        if (At == std::string::npos) {
            Parts.push_back(Data.substr(From));
            return Parts;
        }
        Parts.push_back(Data.substr(From, At - From));
        From = At + Sep.size();
    }
}

} // namespace zarvofuzz
