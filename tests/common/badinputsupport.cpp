// Helpers of the bad-input tests: running code or the program as an unprivileged user, and
// measuring a run of the program.
#include "badinputsupport.h"

#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <grp.h>
#include <stdexcept>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

namespace zarvotest {

namespace {
constexpr uid_t NobodyId = 65534;
constexpr int CannotDrop = 77;

bool HaveSetpriv() {
    return ::access("/usr/bin/setpriv", X_OK) == 0;
}
} // namespace

TUnprivileged RunUnprivileged(const std::function<std::string()>& Fn) {
    TUnprivileged R;
    int P[2];
    if (::pipe(P) != 0) throw std::runtime_error("pipe failed");
    const pid_t Child = ::fork();
    if (Child == 0) {
        ::close(P[0]);
        if (::geteuid() == 0 &&
            (::setgroups(0, nullptr) != 0 || ::setgid(NobodyId) != 0 || ::setuid(NobodyId) != 0))
            ::_exit(CannotDrop);
        const std::string Out = Fn();
        std::size_t Done = 0;
        while (Done < Out.size()) {
            const ssize_t N = ::write(P[1], Out.data() + Done, Out.size() - Done);
            if (N <= 0) ::_exit(1);
            Done += static_cast<std::size_t>(N);
        }
        ::_exit(0); // no exit handlers: the parent's objects are not ours to finish
    }
    ::close(P[1]);
    char Buf[4096];
    ssize_t N;
    while ((N = ::read(P[0], Buf, sizeof Buf)) > 0)
        R.Result.append(Buf, static_cast<std::size_t>(N));
    ::close(P[0]);
    int Status = 0;
    ::waitpid(Child, &Status, 0);
    R.Skipped = WIFEXITED(Status) && WEXITSTATUS(Status) == CannotDrop;
    return R;
}

std::vector<std::string> UnprivilegedCommand(const std::vector<std::string>& Args) {
    if (::geteuid() != 0) return Args;
    if (!HaveSetpriv()) return {};
    std::vector<std::string> Cmd = {"/usr/bin/setpriv", "--reuid=65534", "--regid=65534",
                                    "--clear-groups"};
    Cmd.insert(Cmd.end(), Args.begin(), Args.end());
    return Cmd;
}

void OpenToAll(const std::string& Path) {
    ::chmod(Path.c_str(), 0777);
    for (const std::string& Name : ListDir(Path)) {
        struct stat St;
        const std::string Full = Path + "/" + Name;
        if (::lstat(Full.c_str(), &St) == 0 && S_ISREG(St.st_mode)) ::chmod(Full.c_str(), 0666);
    }
}

void WriteBigFile(const std::string& Path, const std::string& Head, char Fill, long long Size) {
    FILE* F = std::fopen(Path.c_str(), "wb");
    if (!F) throw std::runtime_error("cannot create " + Path);
    std::fwrite(Head.data(), 1, Head.size(), F);
    const std::string Block(1 << 20, Fill);
    long long Left = Size - static_cast<long long>(Head.size());
    while (Left > 0) {
        const std::size_t N = Left < static_cast<long long>(Block.size())
                                  ? static_cast<std::size_t>(Left)
                                  : Block.size();
        if (std::fwrite(Block.data(), 1, N, F) != N) throw std::runtime_error("disk full?");
        Left -= static_cast<long long>(N);
    }
    if (std::fclose(F) != 0) throw std::runtime_error("cannot write " + Path);
}

} // namespace zarvotest
