// The PostScript of an EPS file, plain or inside a DOS EPS file's binary wrapper.
#include "sheet/epsfile.h"

#include "support/inouterror.h"

#include <algorithm>
#include <cerrno>
#include <condition_variable>
#include <cstring>
#include <mutex>
#include <sys/stat.h>
#include <thread>
#include <unistd.h>

namespace zarvo {

const unsigned char DosEpsMagic[4] = {0xC5, 0xD0, 0xD3, 0xC6};

namespace {

constexpr std::size_t DosHeaderSize = 30;

std::uint32_t LittleEndian32(const unsigned char* P) {
    return static_cast<std::uint32_t>(P[0]) | static_cast<std::uint32_t>(P[1]) << 8 |
           static_cast<std::uint32_t>(P[2]) << 16 | static_cast<std::uint32_t>(P[3]) << 24;
}

// Reads up to Count bytes at the current position; retries after signals.
ssize_t ReadSome(int Fd, unsigned char* Data, std::size_t Count) {
    for (;;) {
        const ssize_t N = ::read(Fd, Data, Count);
        if (N >= 0 || errno != EINTR) return N;
    }
}

} // namespace

std::string BadDosHeaderMessage(const std::string& Name) {
    return "Ungültiger DOS-EPS-Kopf in " + Name + ": der PostScript-Teil liegt außerhalb der Datei";
}

TEpsSource::TEpsSource(int Fd, std::string Name) : Fd(Fd), Name(std::move(Name)) {}

TEpsSource::~TEpsSource() {
    EndReadAhead();
    if (Fd >= 0) ::close(Fd);
}

std::size_t TEpsSource::Read(unsigned char* Data, std::size_t Count) {
    if (Fd < 0) RaiseInOutError(Name, EBADF, true);
    if (Length >= 0 && static_cast<long long>(Count) > Left())
        Count = static_cast<std::size_t>(Left());
    if (Count == 0) return 0;
    const ssize_t N = ReadSome(Fd, Data, Count);
    if (N < 0) RaiseInOutError(Name, errno, true);
    Pos += N;
    return static_cast<std::size_t>(N);
}

namespace {

// Reads the PostScript's bytes from file offset From on, at most Count, into Buf; the number
// read, or -1 with Error set. The size is taken now, not at the start: a file that shrank
// meanwhile is not read past its end.
long long ReadWindow(int Fd, long long From, std::size_t Count, long long Begin, long long Length,
                     std::vector<unsigned char>& Buf, int& Error) {
    struct stat St;
    if (::fstat(Fd, &St) != 0) {
        Error = errno;
        return -1;
    }
    long long End = St.st_size;
    if (Length >= 0 && Begin + Length < End) End = Begin + Length;
    if (From >= End) return 0;
    const std::size_t Want =
        static_cast<std::size_t>(std::min(End, From + static_cast<long long>(Count)) - From);
    if (Buf.size() < Want) Buf.resize(Want);
    std::size_t N = 0;
    while (N < Want) {
        const ssize_t R = ::pread(Fd, Buf.data() + N, Want - N, From + static_cast<long long>(N));
        if (R < 0 && errno == EINTR) continue;
        if (R < 0) {
            Error = errno;
            return -1;
        }
        if (R == 0) break; // shortened since the size was taken
        N += static_cast<std::size_t>(R);
    }
    return static_cast<long long>(N);
}

} // namespace

// One thread per source reads the next window while the caller copies the current one.
struct TEpsSource::TReadAhead {
    std::mutex Lock;
    std::condition_variable Wake;
    bool Asked = false, Done = false, Stop = false;
    long long From = 0;
    std::size_t Count = 0;
    std::vector<unsigned char> Buf;
    long long Got = 0;
    int Error = 0;
    std::thread Reader;

    void Run(int Fd, long long Begin, long long Length) {
        std::unique_lock<std::mutex> L(Lock);
        for (;;) {
            Wake.wait(L, [this] { return Asked || Stop; });
            if (Stop) return;
            Asked = false;
            const long long At = From;
            const std::size_t N = Count;
            L.unlock();
            int E = 0;
            const long long R = ReadWindow(Fd, At, N, Begin, Length, Buf, E);
            L.lock();
            Got = R;
            Error = E;
            Done = true;
            Wake.notify_all();
        }
    }
    void Ask(long long At, std::size_t N) {
        std::lock_guard<std::mutex> L(Lock);
        From = At;
        Count = N;
        Asked = true;
        Done = false;
        Wake.notify_all();
    }
    // Waits for the window asked for last; false when none was asked for.
    bool Wait() {
        std::unique_lock<std::mutex> L(Lock);
        if (!Asked && !Done) return false;
        Wake.wait(L, [this] { return Done; });
        Done = false;
        return true;
    }
};

void TEpsSource::EndReadAhead() {
    if (!Ahead) return;
    {
        std::lock_guard<std::mutex> L(Ahead->Lock);
        Ahead->Stop = true;
        Ahead->Wake.notify_all();
    }
    if (Ahead->Reader.joinable()) Ahead->Reader.join();
    Ahead.reset();
}

const unsigned char* TEpsSource::Map(long long From, std::size_t Count, std::size_t& N) {
    N = 0;
    if (Fd < 0) RaiseInOutError(Name, EBADF, true);
    long long Got = -1;
    int Error = 0;
    // The window read ahead is the one asked for unless the caller went back into the last
    // one (it needed a few more bytes after an unfinished line); then it is read anew.
    if (Ahead && Ahead->Wait() && Ahead->From == From && Ahead->Count == Count) {
        Window.swap(Ahead->Buf);
        Got = Ahead->Got;
        Error = Ahead->Error;
    }
    if (Got < 0 && Error == 0) Got = ReadWindow(Fd, From, Count, Begin, Length, Window, Error);
    if (Got < 0) RaiseInOutError(Name, Error, true);
    N = static_cast<std::size_t>(Got);
    // A full window may be followed by more: read the next one while this one is copied.
    if (N == Count && N > 0) {
        if (!Ahead) {
            Ahead = std::make_unique<TReadAhead>();
            TReadAhead* A = Ahead.get();
            A->Reader = std::thread([A, F = Fd, B = Begin, L = Length] { A->Run(F, B, L); });
        }
        Ahead->Ask(From + Got, Count);
    }
    return N > 0 ? Window.data() : nullptr;
}

void TEpsSource::Close() {
    EndReadAhead();
    if (Fd < 0) return;
    const int R = ::close(Fd);
    Fd = -1;
    if (R != 0 && errno != EINTR) RaiseInOutError(Name, errno, true);
}

std::string TEpsSource::Tail(std::size_t Count) {
    struct stat St;
    if (Fd < 0 || ::fstat(Fd, &St) != 0 || !S_ISREG(St.st_mode)) return {};
    const long long End = Length >= 0 ? Begin + Length : static_cast<long long>(St.st_size);
    long long From = End - static_cast<long long>(Count);
    if (From < Begin) From = Begin;
    std::string Out(static_cast<std::size_t>(End - From), '\0');
    std::size_t Got = 0;
    while (Got < Out.size()) {
        const ssize_t N = ::pread(Fd, &Out[Got], Out.size() - Got, From + (long long)Got);
        if (N < 0 && errno == EINTR) continue;
        if (N < 0) RaiseInOutError(Name, errno, true);
        if (N == 0) break;
        Got += static_cast<std::size_t>(N);
    }
    Out.resize(Got);
    return Out;
}

std::unique_ptr<TEpsSource> OpenEpsSource(const std::string& Path, int& Error,
                                          std::string& Message) {
    Error = 0;
    Message.clear();
    const int Fd = OpenReadableFile(Path, Error);
    if (Fd < 0) return nullptr;
    struct stat St;
    if (::fstat(Fd, &St) != 0) St.st_mode = 0;
    std::unique_ptr<TEpsSource> S(new TEpsSource(Fd, Path));
    // Only a regular file can carry the binary header: its offsets need a known size. Files
    // of the system's own (/proc) claim a size of 0 and are read, not mapped.
    if (!S_ISREG(St.st_mode)) return S;
    S->CanMap = St.st_size > 0;
    unsigned char Head[DosHeaderSize];
    const ssize_t N = ::pread(Fd, Head, sizeof Head, 0);
    if (N < 4 || std::memcmp(Head, DosEpsMagic, 4) != 0) return S;
    const long long Start = N >= 12 ? LittleEndian32(Head + 4) : -1;
    const long long Length = N >= 12 ? LittleEndian32(Head + 8) : -1;
    if (N < static_cast<ssize_t>(DosHeaderSize) || Start < static_cast<long long>(DosHeaderSize) ||
        Length <= 0 || Start + Length > static_cast<long long>(St.st_size)) {
        Message = BadDosHeaderMessage(Path);
        return nullptr;
    }
    S->Dos = true;
    S->Begin = S->Pos = Start;
    S->Length = Length;
    if (::lseek(Fd, Start, SEEK_SET) < 0) {
        Error = errno;
        return nullptr;
    }
    return S;
}

} // namespace zarvo
