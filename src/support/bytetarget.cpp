// Targets of bytes for the buffered writer: files, devices, pipes to commands, or memory.
#include "support/bytetarget.h"

#include "support/inouterror.h"

#include <cerrno>
#include <climits>
#include <csignal>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <poll.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <vector>

namespace zarvo {

namespace {

void WriteAll(int Fd, const unsigned char* Data, std::size_t Count, const std::string& Name) {
    while (Count > 0) {
        const ssize_t N = ::write(Fd, Data, Count);
        if (N < 0) {
            if (errno == EINTR) continue;
            RaiseInOutError(Name, errno);
        }
        if (N == 0) RaiseInOutError(Name, EIO);
        Data += N;
        Count -= static_cast<std::size_t>(N);
    }
}

// Collects the writer's blocks and hands them to a descriptor 64 KiB at a time: a job that
// copies megabytes of EPS files would otherwise cost a system call per 1024 bytes. The
// writer's explicit flushes (the job's first line) still go out at once.
class TDescriptorTarget : public TByteTarget {
public:
    TDescriptorTarget(int Fd, std::string Name, bool Owned)
        : Fd(Fd), Name(std::move(Name)), Owned(Owned) {}
    ~TDescriptorTarget() override {
        if (Owned && Fd >= 0) ::close(Fd);
    }
    void Write(const unsigned char* Data, std::size_t Count) override {
        if (Fd < 0) RaiseInOutError(Name, EBADF);
        if (Len + Count > sizeof Buf) Flush();
        if (Count >= sizeof Buf) {
            WriteAll(Fd, Data, Count, Name);
            return;
        }
        std::memcpy(Buf + Len, Data, Count);
        Len += Count;
    }
    void Flush() override {
        if (Fd < 0) RaiseInOutError(Name, EBADF);
        const std::size_t N = Len;
        Len = 0;
        WriteAll(Fd, Buf, N, Name);
    }
    void Close() override {
        Flush();
        CloseDescriptor();
    }

protected:
    void CloseDescriptor() {
        if (Fd < 0) return;
        const int F = Fd;
        Fd = -1;
        if (Owned && ::close(F) != 0 && errno != EINTR) RaiseInOutError(Name, errno);
    }
    int Fd;
    std::string Name;
    bool Owned;

private:
    unsigned char Buf[65536];
    std::size_t Len = 0;
};

class TReplacingTarget : public TDescriptorTarget {
public:
    TReplacingTarget(int Fd, std::string TempPath, std::string Path, bool Durable)
        : TDescriptorTarget(Fd, Path, true), TempPath(std::move(TempPath)),
          FinalPath(std::move(Path)), Durable(Durable) {}
    ~TReplacingTarget() override {
        if (!Done) ::unlink(TempPath.c_str());
    }
    void Close() override {
        Flush();
        if (Durable && ::fsync(Fd) != 0 && errno != EINVAL && errno != EROFS)
            RaiseInOutError(Name, errno);
        CloseDescriptor();
        if (::rename(TempPath.c_str(), FinalPath.c_str()) != 0) RaiseInOutError(Name, errno);
        Done = true;
    }

private:
    std::string TempPath, FinalPath;
    bool Durable;
    bool Done = false;
};

// The last lines a command wrote to its standard error, kept in an anonymous file; joined
// with "; " for a message.
std::string LastLines(int Fd, int Count) {
    return JoinLastLines(OutputLines(Fd), Count);
}

class TPipeTarget : public TDescriptorTarget {
public:
    TPipeTarget(int Fd, pid_t Child, std::string Command, int ErrFd)
        : TDescriptorTarget(Fd, "|" + Command, true), Child(Child), Command(std::move(Command)),
          ErrFd(ErrFd) {}
    ~TPipeTarget() override {
        if (Child > 0) {
            if (Fd >= 0) {
                ::close(Fd);
                Fd = -1;
            }
            int Status;
            while (::waitpid(Child, &Status, 0) < 0 && errno == EINTR) {
            }
        }
        if (ErrFd >= 0) ::close(ErrFd);
    }
    void Write(const unsigned char* Data, std::size_t Count) override {
        try {
            TDescriptorTarget::Write(Data, Count);
        } catch (const EInOutError& E) {
            if (E.ErrorCode == EPIPE) FailWithStatus();
            throw;
        }
    }
    void Flush() override {
        try {
            TDescriptorTarget::Flush();
        } catch (const EInOutError& E) {
            if (E.ErrorCode == EPIPE) FailWithStatus();
            throw;
        }
    }
    void Close() override {
        Flush();
        WaitUntilRead();
        CloseDescriptor();
        const int Status = Reap();
        if (!WIFEXITED(Status) || WEXITSTATUS(Status) != 0) Fail(Status);
    }

private:
    // A command that stops reading early and still ends with status 0 (head -c 10) would pass
    // for one that took the whole job; so the job waits until the command has read everything
    // from the pipe, and fails when the command is gone with bytes unread.
    void WaitUntilRead() {
        for (;;) {
            int Unread = 0;
            if (::ioctl(Fd, FIONREAD, &Unread) != 0 || Unread == 0) return;
            pollfd P{Fd, 0, 0};
            if (::poll(&P, 1, 20) > 0 && (P.revents & POLLERR)) FailWithStatus();
        }
    }
    int Reap() {
        if (Fd >= 0) {
            ::close(Fd);
            Fd = -1;
        }
        int Status = 0;
        while (Child > 0 && ::waitpid(Child, &Status, 0) < 0) {
            if (errno != EINTR) RaiseInOutError(Name, errno);
        }
        Child = -1;
        return Status;
    }
    // The command is gone before it took the whole job: its exit status and its own words say
    // why, which "Broken pipe" does not.
    [[noreturn]] void FailWithStatus() {
        const int Status = Reap();
        if (WIFEXITED(Status) && WEXITSTATUS(Status) == 0) {
            std::string Msg = "Befehl " + Command + " hat den Auftrag nicht ganz gelesen";
            const std::string Said = LastLines(ErrFd, 3);
            if (!Said.empty()) Msg += ": " + Said;
            throw EInOutError(Msg, EIO, false, Name);
        }
        Fail(Status);
    }
    [[noreturn]] void Fail(int Status) {
        std::string Msg = "Befehl " + Command;
        if (WIFEXITED(Status))
            Msg += " endete mit Status " + std::to_string(WEXITSTATUS(Status));
        else if (WIFSIGNALED(Status))
            Msg += " wurde durch Signal " + std::to_string(WTERMSIG(Status)) + " beendet";
        const std::string Said = LastLines(ErrFd, 3);
        if (!Said.empty()) Msg += ": " + Said;
        // Not EPIPE: the write paths turn a broken pipe into this message once.
        throw EInOutError(Msg, EIO, false, Name);
    }
    pid_t Child;
    std::string Command;
    int ErrFd;
};

class TMemoryTarget : public TByteTarget {
public:
    TMemoryTarget(std::string& Out, long long FailAfter) : Out(Out), FailAfter(FailAfter) {}
    void Write(const unsigned char* Data, std::size_t Count) override {
        if (FailAfter >= 0 && static_cast<long long>(Out.size() + Count) > FailAfter)
            RaiseInOutError("memory", ENOSPC);
        Out.append(reinterpret_cast<const char*>(Data), Count);
    }
    void Flush() override {}
    void Close() override {}

private:
    std::string& Out;
    long long FailAfter;
};

} // namespace

std::unique_ptr<TByteTarget> OpenDirectTarget(const std::string& Path) {
    // A named pipe without a reader fails at once (ENXIO) instead of waiting for one. Only
    // pipes: a printer port opened without waiting would skip its check for a printer that is
    // off line or out of paper.
    struct stat St;
    const int NoWait = ::stat(Path.c_str(), &St) == 0 && S_ISFIFO(St.st_mode) ? O_NONBLOCK : 0;
    const int Fd = ::open(Path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC | NoWait, 0666);
    if (Fd < 0) RaiseInOutError(Path, errno);
    if (NoWait) ::fcntl(Fd, F_SETFL, ::fcntl(Fd, F_GETFL) & ~O_NONBLOCK);
    return std::make_unique<TDescriptorTarget>(Fd, Path, true);
}

std::unique_ptr<TByteTarget> OpenReplacingTarget(const std::string& Path, bool Durable) {
    // Replace the file a link points to, not the link.
    std::string Real = Path;
    if (char* R = ::realpath(Path.c_str(), nullptr)) {
        Real = R;
        std::free(R);
    }
    // A device or a named pipe is written as it stands: renaming a file over it would put a
    // plain file in the place of, say, /dev/null.
    struct stat Existing;
    const bool Exists = ::stat(Real.c_str(), &Existing) == 0;
    if (Exists && !S_ISREG(Existing.st_mode) && !S_ISDIR(Existing.st_mode))
        return OpenDirectTarget(Path);
    // A write-protected file stays as it is: a new file renamed over it would pass by its
    // protection, which only guards the file's own content.
    if (Exists && S_ISREG(Existing.st_mode) && ::access(Real.c_str(), W_OK) != 0)
        RaiseInOutError(Path, errno);
    std::string Temp = Real + ".XXXXXX";
    const int Fd = ::mkostemp(Temp.data(), O_CLOEXEC);
    if (Fd < 0) {
        const int Error = errno;
        // A folder that takes no new files may still hold a file its user may write; that file
        // is written in place then, as any editor would.
        if (Exists && S_ISREG(Existing.st_mode) && (Error == EACCES || Error == EPERM))
            return OpenDirectTarget(Path);
        RaiseInOutError(Path, Error);
    }
    // mkostemp creates the file for its owner only; give it the mode an ordinary new file gets,
    // or the mode of the file it replaces.
    struct stat St;
    mode_t Mode;
    if (::stat(Real.c_str(), &St) == 0) {
        Mode = St.st_mode & 07777;
    } else {
        const mode_t Mask = ::umask(0);
        ::umask(Mask);
        Mode = 0666 & ~Mask;
    }
    ::fchmod(Fd, Mode);
    return std::make_unique<TReplacingTarget>(Fd, Temp, Real, Durable);
}

std::unique_ptr<TByteTarget> MakeDescriptorTarget(int Fd, const std::string& Name) {
    return std::make_unique<TDescriptorTarget>(Fd, Name, false);
}

std::unique_ptr<TByteTarget> OpenPipeTarget(const std::string& Command) {
    // A command that stops reading early must show up as a write error, not end the program.
    ::signal(SIGPIPE, SIG_IGN);
    int P[2];
    if (::pipe2(P, O_CLOEXEC) != 0) RaiseInOutError("|" + Command, errno);
    // The command's standard error is kept to say why it failed.
    int ErrFd = ::open("/tmp", O_TMPFILE | O_RDWR | O_CLOEXEC, 0600);
    const pid_t Child = ::fork();
    if (Child < 0) {
        const int E = errno;
        ::close(P[0]);
        ::close(P[1]);
        if (ErrFd >= 0) ::close(ErrFd);
        RaiseInOutError("|" + Command, E);
    }
    if (Child == 0) {
        ::dup2(P[0], 0);
        if (ErrFd >= 0) ::dup2(ErrFd, 2);
        ::execl("/bin/sh", "sh", "-c", Command.c_str(), static_cast<char*>(nullptr));
        ::_exit(127);
    }
    ::close(P[0]);
    return std::make_unique<TPipeTarget>(P[1], Child, Command, ErrFd);
}

std::unique_ptr<TByteTarget> MakeMemoryTarget(std::string& Out, long long FailAfter) {
    return std::make_unique<TMemoryTarget>(Out, FailAfter);
}

std::vector<std::string> OutputLines(int Fd) {
    std::string All;
    std::vector<std::string> Lines;
    if (Fd < 0 || ::lseek(Fd, 0, SEEK_SET) < 0) return Lines;
    char Buf[4096];
    ssize_t N;
    while ((N = ::read(Fd, Buf, sizeof Buf)) > 0) {
        All.append(Buf, static_cast<std::size_t>(N));
        if (All.size() > 65536) All.erase(0, All.size() - 16384);
    }
    std::size_t Start = 0;
    while (Start < All.size()) {
        std::size_t End = All.find('\n', Start);
        if (End == std::string::npos) End = All.size();
        std::string Line = All.substr(Start, End - Start);
        while (!Line.empty() && (Line.back() == '\r' || Line.back() == ' '))
            Line.pop_back();
        if (!Line.empty()) Lines.push_back(Line);
        Start = End + 1;
    }
    return Lines;
}

std::string JoinLastLines(const std::vector<std::string>& Lines, int Count) {
    std::string R;
    for (std::size_t I = Lines.size() > std::size_t(Count) ? Lines.size() - Count : 0;
         I < Lines.size(); ++I)
        R += (R.empty() ? "" : "; ") + Lines[I];
    return R;
}

} // namespace zarvo
