// Helpers shared by the tests: temporary folders, files, a scripted dialog seam, Ghostscript.
#include "testsupport.h"

#include "support/buftextfile.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <fstream>
#include <sstream>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

namespace zarvotest {

TTempDir::TTempDir() {
    const char* Base = std::getenv("TMPDIR");
    std::string Templ = std::string(Base && *Base ? Base : "/tmp") + "/zarvo-test-XXXXXX";
    if (!::mkdtemp(Templ.data())) throw std::runtime_error("mkdtemp failed");
    FPath = Templ;
}

TTempDir::~TTempDir() {
    RemoveTree(FPath);
}

void WriteFile(const std::string& Path, const std::string& Bytes) {
    std::ofstream F(Path, std::ios::binary | std::ios::trunc);
    F.write(Bytes.data(), static_cast<std::streamsize>(Bytes.size()));
    if (!F) throw std::runtime_error("cannot write " + Path);
}

bool FileExists(const std::string& Path) {
    struct stat St;
    return ::stat(Path.c_str(), &St) == 0;
}

TRecordingDialogs::TRecordingDialogs() {
    Before = zarvo::SetUserDialogs(this);
}
TRecordingDialogs::~TRecordingDialogs() {
    zarvo::SetUserDialogs(Before);
}

bool TRecordingDialogs::AskYesNo(const std::string& Msg, int X, int Y) {
    Questions.push_back(Msg);
    QuestionPositions.push_back({X, Y});
    if (Answers.empty()) return false;
    const bool A = Answers.front();
    Answers.pop_front();
    return A;
}

void TRecordingDialogs::ErrorBox(const std::string& Msg) {
    Errors.push_back(Msg);
}
void TRecordingDialogs::ShowMessage(const std::string& Msg) {
    Messages.push_back(Msg);
}

TRunResult RunProgram(const std::vector<std::string>& Args, const std::string& Input) {
    TRunResult R;
    char OutName[] = "/tmp/zarvo-out-XXXXXX";
    char ErrName[] = "/tmp/zarvo-err-XXXXXX";
    char InName[] = "/tmp/zarvo-in-XXXXXX";
    const int OutFd = ::mkstemp(OutName), ErrFd = ::mkstemp(ErrName), InFd = ::mkstemp(InName);
    if (::write(InFd, Input.data(), Input.size()) != static_cast<ssize_t>(Input.size()))
        throw std::runtime_error("cannot write input");
    ::lseek(InFd, 0, SEEK_SET);
    const pid_t Child = ::fork();
    if (Child == 0) {
        ::dup2(InFd, 0);
        ::dup2(OutFd, 1);
        ::dup2(ErrFd, 2);
        std::vector<char*> Argv;
        for (const std::string& A : Args)
            Argv.push_back(const_cast<char*>(A.c_str()));
        Argv.push_back(nullptr);
        ::execvp(Argv[0], Argv.data());
        ::_exit(127);
    }
    int Status = 0;
    struct rusage Usage {};
    ::wait4(Child, &Status, 0, &Usage);
    R.MaxRssKiB = Usage.ru_maxrss;
    R.Status = WIFEXITED(Status) ? WEXITSTATUS(Status) : 128 + WTERMSIG(Status);
    ::close(OutFd);
    ::close(ErrFd);
    ::close(InFd);
    R.Out = ReadFile(OutName);
    R.Err = ReadFile(ErrName);
    ::unlink(OutName);
    ::unlink(ErrName);
    ::unlink(InName);
    return R;
}

TGhostscriptResult RenderBBox(const std::string& PsFile) {
    TGhostscriptResult G;
    const TRunResult R = RunProgram(
        {"gs", "-q", "-dSAFER", "-dBATCH", "-dNOPAUSE", "-sPAPERSIZE=a4", "-sDEVICE=bbox", PsFile});
    G.Output = R.Out + R.Err;
    G.Ok = R.Status == 0 && G.Output.find("Error") == std::string::npos;
    std::istringstream Lines(R.Err);
    std::string Line;
    while (std::getline(Lines, Line)) {
        if (Line.rfind("%%HiResBoundingBox:", 0) != 0) continue;
        std::istringstream Nums(Line.substr(19));
        std::vector<double> Box(4, 0.0);
        Nums >> Box[0] >> Box[1] >> Box[2] >> Box[3];
        G.Pages.push_back(Box);
    }
    return G;
}

zarvo::TEPSBox MakeEpsItem(const std::string& Path, zarvo::TCmPair Origin, zarvo::TCmPair Offset) {
    zarvo::TEPSBox B(zarvo::TCmPair{10, 10});
    B.Name = Path;
    B.Kind = zarvo::KindBBox;
    B.Origin = Origin;
    B.Offset = Offset;
    return B;
}

zarvo::TEPSBox MakeTextItem(const std::string& Text, zarvo::TCmPair Origin, int Type, int Style,
                            int Size) {
    zarvo::TEPSBox B(zarvo::TCmPair{10, 10});
    B.Name = Text;
    B.Kind = zarvo::KindText;
    B.Origin = Origin;
    B.Font.FontType = static_cast<std::uint16_t>(Type);
    B.Font.FontStyle = static_cast<std::uint16_t>(Style);
    B.Font.FontSize = static_cast<std::uint16_t>(Size);
    return B;
}

std::vector<std::string> JobLines(const std::string& Job) {
    std::vector<std::string> Lines;
    std::size_t Pos = 0;
    while (Pos < Job.size()) {
        const std::size_t End = Job.find("\r\n", Pos);
        if (End == std::string::npos) {
            ADD_FAILURE() << "job does not end with CR LF";
            Lines.push_back(Job.substr(Pos));
            break;
        }
        Lines.push_back(Job.substr(Pos, End - Pos));
        Pos = End + 2;
    }
    return Lines;
}

} // namespace zarvotest
