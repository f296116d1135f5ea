// Sources of bytes for the buffered reader: files read in large blocks, or memory.
#include "support/bytesource.h"

#include "support/inouterror.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace zarvo {

namespace {

// The callers read in small blocks; the system is asked for 64 KiB at a time.
class TFileSource : public TByteSource {
public:
    TFileSource(int Fd, std::string Name) : Fd(Fd), Name(std::move(Name)) {}
    ~TFileSource() override {
        if (Fd >= 0) ::close(Fd);
    }
    std::size_t Read(unsigned char* Data, std::size_t Count) override {
        if (Fd < 0) RaiseInOutError(Name, EBADF, true);
        if (Pos == Len) {
            Pos = Len = 0;
            for (;;) {
                const ssize_t N = ::read(Fd, Buf, sizeof Buf);
                if (N >= 0) {
                    Len = static_cast<std::size_t>(N);
                    break;
                }
                if (errno != EINTR) RaiseInOutError(Name, errno, true);
            }
        }
        const std::size_t N = std::min(Count, Len - Pos);
        std::memcpy(Data, Buf + Pos, N);
        Pos += N;
        return N;
    }
    void Close() override {
        if (Fd < 0) return;
        const int R = ::close(Fd);
        Fd = -1;
        if (R != 0 && errno != EINTR) RaiseInOutError(Name, errno, true);
    }

private:
    int Fd;
    std::string Name;
    unsigned char Buf[65536];
    std::size_t Pos = 0, Len = 0;
};

class TMemorySource : public TByteSource {
public:
    explicit TMemorySource(std::string D) : Data(std::move(D)) {}
    std::size_t Read(unsigned char* Out, std::size_t Count) override {
        const std::size_t N = std::min(Count, Data.size() - Pos);
        std::memcpy(Out, Data.data() + Pos, N);
        Pos += N;
        return N;
    }
    void Close() override {}

private:
    std::string Data;
    std::size_t Pos = 0;
};

} // namespace

int OpenReadableFile(const std::string& Path, int& Error) {
    Error = 0;
    // Opening a named pipe waits for a writer, perhaps for ever; opened without waiting, a pipe
    // that nobody writes reads as empty.
    const int Fd = ::open(Path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
    if (Fd < 0) {
        Error = errno;
        return -1;
    }
    ::fcntl(Fd, F_SETFL, ::fcntl(Fd, F_GETFL) & ~O_NONBLOCK);
    // A folder opens on Linux but cannot be read as a file; a character device such as
    // /dev/zero never ends, and a header search or a job copy on it would never come back.
    struct stat St;
    if (::fstat(Fd, &St) == 0 && (S_ISDIR(St.st_mode) || S_ISCHR(St.st_mode))) {
        ::close(Fd);
        Error = S_ISDIR(St.st_mode) ? EISDIR : ENODEV;
        return -1;
    }
    return Fd;
}

std::unique_ptr<TByteSource> OpenFileSource(const std::string& Path, int& Error) {
    const int Fd = OpenReadableFile(Path, Error);
    if (Fd < 0) return nullptr;
    return std::make_unique<TFileSource>(Fd, Path);
}

std::unique_ptr<TByteSource> MakeMemorySource(std::string Data) {
    return std::make_unique<TMemorySource>(std::move(Data));
}

} // namespace zarvo
