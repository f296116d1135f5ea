// A print file in PDF: the job streamed into Ghostscript's pdfwrite device.
#include "output/pdftarget.h"

#include "support/inouterror.h"

#include <cerrno>
#include <chrono>
#include <csignal>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <ftw.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>
#include <vector>

namespace zarvo {

namespace {

// Limits for Ghostscript: a job of hundreds of megabytes takes a while, a runaway one must
// still end.
constexpr int FinishSeconds = 300;
constexpr rlim_t CpuSeconds = 900;
constexpr rlim_t MemoryBytes = rlim_t(4) << 30;

int RemoveEntry(const char* Path, const struct stat*, int, struct FTW*) {
    ::remove(Path);
    return 0;
}

void RemoveTree(const std::string& Dir) {
    if (!Dir.empty()) ::nftw(Dir.c_str(), RemoveEntry, 16, FTW_DEPTH | FTW_PHYS);
}

// Ghostscript reads "%" in a file name as a format; a literal one is written twice.
std::string GsFileName(const std::string& Path) {
    std::string R;
    for (char C : Path) {
        R += C;
        if (C == '%') R += '%';
    }
    return R;
}

// The last few lines of what a program printed. Ghostscript names the error on a line of its
// own ("Error: /undefined in foo") before its stacks; that line says more than the last ones.
std::string LastLines(int Fd, int Count) {
    const std::vector<std::string> Lines = OutputLines(Fd);
    for (const std::string& Line : Lines)
        if (Line.rfind("Error: ", 0) == 0) return Line;
    return JoinLastLines(Lines, Count);
}

class TPdfTarget : public TByteTarget {
public:
    TPdfTarget(int Fd, pid_t Child, int LogFd, std::string Temp, std::string Final,
               std::string TmpDir)
        : Fd(Fd), Child(Child), LogFd(LogFd), Temp(std::move(Temp)), Final(std::move(Final)),
          TmpDir(std::move(TmpDir)) {
        Buf.reserve(65536);
    }
    ~TPdfTarget() override {
        if (Fd >= 0) ::close(Fd);
        if (Child > 0) {
            ::kill(Child, SIGKILL);
            Reap();
        }
        if (!Done) ::unlink(Temp.c_str());
        if (LogFd >= 0) ::close(LogFd);
        RemoveTree(TmpDir);
    }
    void Write(const unsigned char* Data, std::size_t Count) override {
        if (Buf.size() + Count > Buf.capacity()) Flush();
        if (Count >= Buf.capacity()) {
            Send(Data, Count);
            return;
        }
        Buf.insert(Buf.end(), Data, Data + Count);
    }
    void Flush() override {
        const std::vector<unsigned char> Out = std::move(Buf);
        Buf.clear();
        Buf.reserve(65536);
        Send(Out.data(), Out.size());
    }
    void Close() override {
        Flush();
        ::close(Fd);
        Fd = -1;
        const auto Until = std::chrono::steady_clock::now() + std::chrono::seconds(FinishSeconds);
        int Status = 0;
        for (;;) {
            const pid_t R = ::waitpid(Child, &Status, WNOHANG);
            if (R == Child) break;
            if (R < 0 && errno != EINTR) RaiseInOutError(Final, errno);
            if (std::chrono::steady_clock::now() >= Until) {
                ::kill(Child, SIGKILL);
                Reap();
                Fail("Ghostscript brauchte zu lange und wurde beendet");
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        }
        Child = -1;
        if (!WIFEXITED(Status) || WEXITSTATUS(Status) != 0) FailStatus(Status);
        struct stat St;
        if (::stat(Temp.c_str(), &St) != 0 || St.st_size == 0)
            Fail("Ghostscript hat keine PDF-Datei geschrieben");
        if (::rename(Temp.c_str(), Final.c_str()) != 0) RaiseInOutError(Final, errno);
        Done = true;
    }

private:
    void Send(const unsigned char* Data, std::size_t Count) {
        if (Fd < 0) RaiseInOutError(Final, EBADF);
        while (Count > 0) {
            const ssize_t N = ::write(Fd, Data, Count);
            if (N < 0) {
                if (errno == EINTR) continue;
                if (errno == EPIPE) {
                    // Ghostscript stopped reading: its own words say why.
                    int Status = 0;
                    Reap(&Status);
                    FailStatus(Status);
                }
                RaiseInOutError(Final, errno);
            }
            Data += N;
            Count -= static_cast<std::size_t>(N);
        }
    }
    void Reap(int* Status = nullptr) {
        int S = 0;
        while (Child > 0 && ::waitpid(Child, &S, 0) < 0 && errno == EINTR) {
        }
        Child = -1;
        if (Status) *Status = S;
    }
    [[noreturn]] void FailStatus(int Status) {
        std::string Why =
            WIFEXITED(Status)
                ? "Ghostscript endete mit Status " + std::to_string(WEXITSTATUS(Status))
                : "Ghostscript wurde durch Signal " + std::to_string(WTERMSIG(Status)) + " beendet";
        const std::string Said = LastLines(LogFd, 3);
        if (!Said.empty()) Why += ": " + Said;
        Fail(Why);
    }
    [[noreturn]] void Fail(const std::string& Why) { throw EInOutError(Why, EIO, false, Final); }

    int Fd;
    pid_t Child;
    int LogFd;
    std::string Temp, Final, TmpDir;
    std::vector<unsigned char> Buf;
    bool Done = false;
};

int AnonymousFile() {
    const char* Base = std::getenv("TMPDIR");
    std::string Dir = Base && *Base ? Base : "/tmp";
    int Fd = ::open(Dir.c_str(), O_TMPFILE | O_RDWR | O_CLOEXEC, 0600);
    if (Fd >= 0) return Fd;
    std::string Name = Dir + "/zarvo-gs-XXXXXX";
    Fd = ::mkostemp(Name.data(), O_CLOEXEC);
    if (Fd >= 0) ::unlink(Name.c_str());
    return Fd;
}

bool OnPath(const std::string& Program) {
    const char* Path = std::getenv("PATH");
    std::string P = Path ? Path : "/usr/bin:/bin";
    std::size_t Start = 0;
    while (Start <= P.size()) {
        std::size_t End = P.find(':', Start);
        if (End == std::string::npos) End = P.size();
        const std::string Dir = End > Start ? P.substr(Start, End - Start) : ".";
        if (::access((Dir + "/" + Program).c_str(), X_OK) == 0) return true;
        Start = End + 1;
    }
    return false;
}

} // namespace

bool IsPdfFileName(const std::string& Path) {
    if (Path.size() < 4) return false;
    std::string Ext = Path.substr(Path.size() - 4);
    for (char& C : Ext)
        C = static_cast<char>(std::tolower(static_cast<unsigned char>(C)));
    return Ext == ".pdf";
}

std::unique_ptr<TByteTarget> OpenPdfTarget(const std::string& Path, int WidthPt, int HeightPt,
                                           bool Landscape) {
    if (!OnPath("gs"))
        throw EInOutError("PDF-Ausgabe braucht Ghostscript (gs), das nicht installiert ist", ENOENT,
                          false, Path);
    std::string Real = Path;
    if (char* R = ::realpath(Path.c_str(), nullptr)) {
        Real = R;
        std::free(R);
    }
    struct stat St;
    if (::stat(Real.c_str(), &St) == 0) {
        if (!S_ISREG(St.st_mode)) RaiseInOutError(Path, EISDIR);
        if (::access(Real.c_str(), W_OK) != 0) RaiseInOutError(Path, errno);
    }
    std::string Temp = Real + ".XXXXXX";
    const int TempFd = ::mkostemp(Temp.data(), O_CLOEXEC);
    if (TempFd < 0) RaiseInOutError(Path, errno);
    ::close(TempFd);
    const char* Base = std::getenv("TMPDIR");
    std::string TmpDir = std::string(Base && *Base ? Base : "/tmp") + "/zarvo-gs-XXXXXX";
    if (!::mkdtemp(TmpDir.data())) {
        const int E = errno;
        ::unlink(Temp.c_str());
        RaiseInOutError(Path, E);
    }
    const int LogFd = AnonymousFile();
    int P[2];
    if (::pipe2(P, O_CLOEXEC) != 0) {
        const int E = errno;
        ::unlink(Temp.c_str());
        RemoveTree(TmpDir);
        if (LogFd >= 0) ::close(LogFd);
        RaiseInOutError(Path, E);
    }
    // Everything the child needs is made before fork: after it only async-signal-safe calls.
    std::vector<std::string> Args = {"gs",
                                     "-dSAFER",
                                     "-dBATCH",
                                     "-dNOPAUSE",
                                     "-dQUIET",
                                     "-sstdout=%stderr",
                                     "-sDEVICE=pdfwrite",
                                     "-dAutoRotatePages=/None",
                                     "-dDEVICEWIDTHPOINTS=" + std::to_string(WidthPt),
                                     "-dDEVICEHEIGHTPOINTS=" + std::to_string(HeightPt),
                                     "-dFIXEDMEDIA",
                                     "-sOutputFile=" + GsFileName(Temp)};
    if (Landscape) {
        // The job draws a landscape page turned onto portrait paper; the page is marked to be
        // shown turned back, so a viewer shows it upright.
        Args.push_back("-c");
        Args.push_back("[{ThisPage} <</Rotate 90>> /PUT pdfmark");
        Args.push_back("-f");
    }
    Args.push_back("-");
    std::vector<char*> Argv;
    for (std::string& A : Args)
        Argv.push_back(A.data());
    Argv.push_back(nullptr);
    const std::string TmpEnv = "TMPDIR=" + TmpDir, TempEnv = "TEMP=" + TmpDir;
    std::vector<std::string> EnvStrings;
    for (char** E = environ; *E; ++E) {
        if (std::strncmp(*E, "TMPDIR=", 7) == 0 || std::strncmp(*E, "TEMP=", 5) == 0 ||
            std::strncmp(*E, "TMP=", 4) == 0)
            continue;
        EnvStrings.push_back(*E);
    }
    EnvStrings.push_back(TmpEnv);
    EnvStrings.push_back(TempEnv);
    EnvStrings.push_back("TMP=" + TmpDir);
    std::vector<char*> Envp;
    for (std::string& E : EnvStrings)
        Envp.push_back(E.data());
    Envp.push_back(nullptr);

    ::signal(SIGPIPE, SIG_IGN);
    const pid_t Child = ::fork();
    if (Child < 0) {
        const int E = errno;
        ::close(P[0]);
        ::close(P[1]);
        ::unlink(Temp.c_str());
        RemoveTree(TmpDir);
        if (LogFd >= 0) ::close(LogFd);
        RaiseInOutError(Path, E);
    }
    if (Child == 0) {
        ::dup2(P[0], 0);
        const int Null = ::open("/dev/null", O_WRONLY);
        const int Out = LogFd >= 0 ? LogFd : Null;
        ::dup2(Out, 1);
        ::dup2(Out, 2);
        if (::chdir(TmpDir.c_str()) != 0) ::_exit(126);
        struct rlimit Cpu {
            CpuSeconds, CpuSeconds
        }, Mem{MemoryBytes, MemoryBytes};
        ::setrlimit(RLIMIT_CPU, &Cpu);
        ::setrlimit(RLIMIT_AS, &Mem);
        ::execvpe("gs", Argv.data(), Envp.data());
        ::_exit(127);
    }
    ::close(P[0]);
    return std::make_unique<TPdfTarget>(P[1], Child, LogFd, Temp, Real, TmpDir);
}

} // namespace zarvo
