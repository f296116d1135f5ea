// The check of a print job through Ghostscript, item by item.
#include "output/jobcheck.h"

#include "output/printjob.h"
#include "support/bytetarget.h"

#include <cerrno>
#include <chrono>
#include <csignal>
#include <cstdlib>
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <fstream>
#include <sstream>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

extern char** environ;

namespace zarvo {

namespace {

void RemoveTree(const std::string& Dir) {
    if (DIR* D = ::opendir(Dir.c_str())) {
        while (dirent* E = ::readdir(D)) {
            const std::string N = E->d_name;
            if (N == "." || N == "..") continue;
            const std::string P = Dir + "/" + N;
            if (E->d_type == DT_DIR)
                RemoveTree(P);
            else
                ::unlink(P.c_str());
        }
        ::closedir(D);
    }
    ::rmdir(Dir.c_str());
}

// A folder of its own for one check (the job, Ghostscript's output and its TMPDIR), removed
// with everything in it.
class TCheckDir {
public:
    TCheckDir() {
        const char* Base = std::getenv("TMPDIR");
        std::string T = std::string(Base && *Base ? Base : "/tmp") + "/zarvo-check-XXXXXX";
        if (::mkdtemp(T.data())) Path = T;
    }
    ~TCheckDir() {
        if (!Path.empty()) RemoveTree(Path);
    }
    std::string Path;
};

std::string ReadText(const std::string& Path) {
    std::ifstream In(Path, std::ios::binary);
    std::ostringstream S;
    S << In.rdbuf();
    return S.str();
}

// Ghostscript's error in one line: its "Error: ..." line, else the first line it wrote.
std::string ErrorLine(const std::string& Output) {
    std::istringstream In(Output);
    std::string Line, First;
    while (std::getline(In, Line)) {
        while (!Line.empty() && (Line.back() == '\r' || Line.back() == ' '))
            Line.pop_back();
        const auto At = Line.find("Error: ");
        if (At != std::string::npos) return Line.substr(At);
        if (First.empty() && !Line.empty()) First = Line;
    }
    return First;
}

// Runs Ghostscript on the job in Dir; an empty string when it printed without error.
// Ran becomes false when gs cannot be started.
std::string RunGhostscript(const TCheckDir& Dir, int TimeoutSeconds, bool& Ran,
                           const std::atomic<bool>* Cancel) {
    Ran = true;
    const std::string Tmp = Dir.Path + "/tmp", Job = Dir.Path + "/job.ps",
                      Out = Dir.Path + "/out.txt";
    ::mkdir(Tmp.c_str(), 0700);
    std::vector<std::string> Env;
    for (char** E = environ; *E; ++E) {
        const std::string V = *E;
        if (V.rfind("TMPDIR=", 0) == 0 || V.rfind("TEMP=", 0) == 0 || V.rfind("TMP=", 0) == 0)
            continue;
        Env.push_back(V);
    }
    Env.push_back("TMPDIR=" + Tmp);
    std::vector<char*> EnvP;
    for (std::string& V : Env)
        EnvP.push_back(V.data());
    EnvP.push_back(nullptr);
    std::vector<std::string> Args = {"gs",
                                     "-q",
                                     "-dSAFER",
                                     "-dBATCH",
                                     "-dNOPAUSE",
                                     "-sDEVICE=nullpage",
                                     "-sOutputFile=/dev/null",
                                     Job};
    std::vector<char*> ArgP;
    for (std::string& A : Args)
        ArgP.push_back(A.data());
    ArgP.push_back(nullptr);

    const int OutFd = ::open(Out.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0600);
    if (OutFd < 0) {
        Ran = false;
        return std::strerror(errno);
    }
    const pid_t Child = ::fork();
    if (Child == 0) {
        ::dup2(OutFd, 1);
        ::dup2(OutFd, 2);
        const int Null = ::open("/dev/null", O_RDONLY);
        if (Null >= 0) ::dup2(Null, 0);
        ::setpgid(0, 0);
        const rlim_t Mb = 1024 * 1024;
        const rlimit Mem{2048 * Mb, 2048 * Mb}, Files{256 * Mb, 256 * Mb};
        const rlimit Cpu{static_cast<rlim_t>(TimeoutSeconds) + 1,
                         static_cast<rlim_t>(TimeoutSeconds) + 2};
        ::setrlimit(RLIMIT_AS, &Mem);
        ::setrlimit(RLIMIT_FSIZE, &Files);
        ::setrlimit(RLIMIT_CPU, &Cpu);
        ::execvpe("gs", ArgP.data(), EnvP.data());
        ::_exit(127);
    }
    ::close(OutFd);
    if (Child < 0) {
        Ran = false;
        return std::strerror(errno);
    }
    const auto Deadline = std::chrono::steady_clock::now() + std::chrono::seconds(TimeoutSeconds);
    int Status = 0;
    bool TimedOut = false, Cancelled = false;
    for (;;) {
        const pid_t R = ::waitpid(Child, &Status, WNOHANG);
        if (R == Child || (R < 0 && errno != EINTR)) break;
        Cancelled = Cancel && Cancel->load();
        if (Cancelled || std::chrono::steady_clock::now() > Deadline) {
            ::kill(-Child, SIGKILL);
            ::kill(Child, SIGKILL);
            ::waitpid(Child, &Status, 0);
            TimedOut = !Cancelled;
            break;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    if (Cancelled) {
        Ran = false;
        return "Prüfung abgebrochen";
    }
    if (TimedOut) return "Zeitüberschreitung nach " + std::to_string(TimeoutSeconds) + " s";
    if (WIFEXITED(Status) && WEXITSTATUS(Status) == 127) {
        Ran = false;
        return "Ghostscript (gs) kann nicht gestartet werden";
    }
    const std::string Output = ReadText(Out);
    const std::string Error = ErrorLine(Output);
    if (WIFEXITED(Status) && WEXITSTATUS(Status) == 0 &&
        Output.find("Error: ") == std::string::npos)
        return {};
    if (!Error.empty()) return Error;
    if (WIFSIGNALED(Status))
        return "Ghostscript abgebrochen (Signal " + std::to_string(WTERMSIG(Status)) + ")";
    return "Ghostscript endete mit Status " + std::to_string(WEXITSTATUS(Status));
}

TItemCheck CheckOne(const TSheet& Alone, int TimeoutSeconds, bool& Ran,
                    const std::atomic<bool>* Cancel = nullptr) {
    TItemCheck C;
    Ran = true;
    TCheckDir Dir;
    if (Dir.Path.empty()) {
        Ran = C.Ran = false;
        C.Ok = false;
        C.Error = std::string("Kein Arbeitsordner für die Prüfung: ") + std::strerror(errno);
        return C;
    }
    const std::string Job = Dir.Path + "/job.ps";
    std::unique_ptr<TByteTarget> Target;
    try {
        Target = OpenDirectTarget(Job);
    } catch (const std::exception& E) {
        Ran = C.Ran = false;
        C.Ok = false;
        C.Error = E.what();
        return C;
    }
    const TPrintResult Written = PrintSheetTo(Alone, Job, std::move(Target));
    if (!Written.Ok) {
        C.Ok = false;
        C.Error = Written.Message;
        return C;
    }
    C.Error = RunGhostscript(Dir, TimeoutSeconds, Ran, Cancel);
    C.Ok = Ran && C.Error.empty();
    C.Ran = Ran;
    return C;
}

} // namespace

bool TJobCheck::AllOk() const {
    if (!Ran) return false;
    for (const TItemCheck& I : Items)
        if (!I.Ok) return false;
    return true;
}

TJobCheck CheckSheetJob(const TSheet& Sheet, int TimeoutSeconds) {
    TJobCheck R;
    for (int I = 0; I < Sheet.FItems.Count(); ++I) {
        TSheet Alone;
        Alone.FPaperSize = Sheet.FPaperSize;
        Alone.FLandscape = Sheet.FLandscape;
        Alone.FItems.Add(Sheet.FItems.Item(I).Name, Sheet.FItems.Item(I));
        bool Ran = true;
        R.Items.push_back(CheckOne(Alone, TimeoutSeconds, Ran));
        if (!Ran) {
            R.Ran = false;
            R.Message = R.Items.back().Error;
            R.Items.pop_back();
            break;
        }
    }
    return R;
}

TItemCheck CheckEpsFile(const std::string& FileName, int TimeoutSeconds,
                        const std::atomic<bool>* Cancel) {
    TSheet Alone;
    TEPSBox B(Alone.FBoxSize);
    B.Name = FileName;
    B.Kind = KindBBox;
    Alone.FItems.Add(FileName, B);
    bool Ran = true;
    return CheckOne(Alone, TimeoutSeconds, Ran, Cancel);
}

} // namespace zarvo
