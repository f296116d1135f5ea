// A private CUPS server for tests: cupsd on a free localhost port with folders of its own, a
// private D-Bus bus, and IPP Everywhere printers from ippeveprinter that keep what they get.
#include "privatecups.h"

#include "testsupport.h"

#include <cups/cups.h>

#include <arpa/inet.h>
#include <chrono>
#include <csignal>
#include <cstdlib>
#include <fcntl.h>
#include <fstream>
#include <netinet/in.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

namespace zarvotest {

namespace {

const char* const EnvNames[5] = {"CUPS_SERVER", "CUPS_SERVERROOT", "LPDEST", "PRINTER",
                                 "DBUS_SYSTEM_BUS_ADDRESS"};

bool Executable(const std::string& Path) {
    return ::access(Path.c_str(), X_OK) == 0;
}

std::string FindProgram(const std::string& Name) {
    for (const char* Dir : {"/usr/sbin", "/usr/bin", "/sbin", "/bin"})
        if (Executable(std::string(Dir) + "/" + Name)) return std::string(Dir) + "/" + Name;
    return "";
}

void Sleep(int Ms) {
    std::this_thread::sleep_for(std::chrono::milliseconds(Ms));
}

void StopProcess(pid_t& Pid) {
    if (Pid <= 0) return;
    ::kill(Pid, SIGTERM);
    for (int I = 0; I < 100; ++I) {
        if (::waitpid(Pid, nullptr, WNOHANG) == Pid) {
            Pid = -1;
            return;
        }
        Sleep(20);
    }
    ::kill(Pid, SIGKILL);
    ::waitpid(Pid, nullptr, 0);
    Pid = -1;
}

} // namespace

int FreeLocalPort() {
    const int S = ::socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in A{};
    A.sin_family = AF_INET;
    A.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    A.sin_port = 0;
    socklen_t L = sizeof A;
    int Port = -1;
    if (::bind(S, reinterpret_cast<sockaddr*>(&A), sizeof A) == 0 &&
        ::getsockname(S, reinterpret_cast<sockaddr*>(&A), &L) == 0)
        Port = ntohs(A.sin_port);
    ::close(S);
    return Port;
}

bool PortAnswers(int Port) {
    const int S = ::socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in A{};
    A.sin_family = AF_INET;
    A.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    A.sin_port = htons(static_cast<uint16_t>(Port));
    const bool Ok = ::connect(S, reinterpret_cast<sockaddr*>(&A), sizeof A) == 0;
    ::close(S);
    return Ok;
}

pid_t TPrivateCups::Spawn(const std::vector<std::string>& Args, const std::string& Log) {
    const pid_t Pid = ::fork();
    if (Pid == 0) {
        const int Fd = ::open(Log.c_str(), O_WRONLY | O_CREAT | O_APPEND, 0644);
        const int Null = ::open("/dev/null", O_RDONLY);
        ::dup2(Null, 0);
        ::dup2(Fd, 1);
        ::dup2(Fd, 2);
        std::vector<char*> Argv;
        for (const std::string& A : Args)
            Argv.push_back(const_cast<char*>(A.c_str()));
        Argv.push_back(nullptr);
        ::execv(Argv[0], Argv.data());
        ::_exit(127);
    }
    return Pid;
}

TPrivateCups::TPrivateCups() {
    for (int I = 0; I < 5; ++I) {
        const char* V = std::getenv(EnvNames[I]);
        FHadEnv[I] = V != nullptr;
        if (V) FOldEnv[I] = V;
    }
    const std::string Cupsd = FindProgram("cupsd"), Dbus = FindProgram("dbus-daemon");
    if (Cupsd.empty() || Dbus.empty() || FindProgram("ippeveprinter").empty() ||
        FindProgram("lpadmin").empty()) {
        FSkip = "cupsd, dbus-daemon, ippeveprinter or lpadmin is not installed "
                "(scripts/install-deps.sh installs them)";
        return;
    }
    char Tmpl[] = "/tmp/zarvo-cups-XXXXXX";
    if (!::mkdtemp(Tmpl)) {
        FSkip = "no temporary folder";
        return;
    }
    FDir = Tmpl;
    // The server's filters run as another user and must reach the folders.
    ::chmod(FDir.c_str(), 0755);
    for (const char* Sub : {"root", "state", "cache", "requests", "tmp", "log", "client"})
        ::mkdir((FDir + "/" + Sub).c_str(), 0755);
    // The filters write their temporary files there as the server's own user.
    ::chmod((FDir + "/tmp").c_str(), 01777);
    const int Port = FreeLocalPort();
    FServer = "127.0.0.1:" + std::to_string(Port);
    {
        std::ofstream C(FDir + "/cupsd.conf");
        C << "Listen " << FServer << "\nBrowsing Off\nWebInterface No\nLogLevel warn\n"
          << "DefaultAuthType None\n"
          << "<Location />\n  Order allow,deny\n  Allow all\n</Location>\n"
          << "<Policy default>\n  <Limit All>\n    Order deny,allow\n    Allow all\n"
          << "  </Limit>\n</Policy>\n";
        std::ofstream F(FDir + "/cups-files.conf");
        F << "ServerRoot " << FDir << "/root\nStateDir " << FDir << "/state\nCacheDir " << FDir
          << "/cache\nRequestRoot " << FDir << "/requests\nTempDir " << FDir << "/tmp\nAccessLog "
          << FDir << "/log/access_log\nErrorLog " << FDir << "/log/error_log\nPageLog " << FDir
          << "/log/page_log\nPrintcap " << FDir << "/state/printcap\n";
    }
    const std::string Bus = "unix:path=" + FDir + "/bus";
    FDbus = Spawn({Dbus, "--session", "--nofork", "--address=" + Bus}, FDir + "/log/dbus.log");
    ::setenv("DBUS_SYSTEM_BUS_ADDRESS", Bus.c_str(), 1);
    ::setenv("CUPS_SERVER", FServer.c_str(), 1);
    ::setenv("CUPS_SERVERROOT", (FDir + "/client").c_str(), 1);
    ::unsetenv("LPDEST");
    ::unsetenv("PRINTER");
    cupsSetServer(nullptr); // the client library reads the environment again
    FCupsd = Spawn({Cupsd, "-f", "-c", FDir + "/cupsd.conf", "-s", FDir + "/cups-files.conf"},
                   FDir + "/log/cupsd.log");
    for (int I = 0; I < 250 && !PortAnswers(Port); ++I)
        Sleep(20);
    if (!PortAnswers(Port)) {
        FSkip = "cupsd did not start: " + ReadFile(FDir + "/log/cupsd.log") +
                ReadFile(FDir + "/log/error_log");
        StopProcess(FCupsd);
    }
}

TPrivateCups::~TPrivateCups() {
    for (pid_t& P : FPrinters)
        StopProcess(P);
    StopProcess(FCupsd);
    StopProcess(FDbus);
    for (int I = 0; I < 5; ++I) {
        if (FHadEnv[I])
            ::setenv(EnvNames[I], FOldEnv[I].c_str(), 1);
        else
            ::unsetenv(EnvNames[I]);
    }
    cupsSetServer(nullptr);
    if (!FDir.empty()) RemoveTree(FDir);
}

std::string TPrivateCups::AddPrinter(const std::string& Name, const std::string& Formats) {
    const int Port = FreeLocalPort();
    ::mkdir(Spool(Name).c_str(), 0755);
    // -c /bin/true: the printer "prints" at once instead of taking seconds per job.
    const pid_t P = Spawn({FindProgram("ippeveprinter"), "-k", "-d", Spool(Name), "-f", Formats,
                           "-r", "off", "-p", std::to_string(Port), "-c", "/bin/true", Name},
                          FDir + "/log/" + Name + ".log");
    FPrinters.push_back(P);
    for (int I = 0; I < 250 && !PortAnswers(Port); ++I)
        Sleep(20);
    if (!PortAnswers(Port)) return "";
    return "ipp://127.0.0.1:" + std::to_string(Port) + "/ipp/print";
}

std::string TPrivateCups::WaitForDocument(const std::string& Name, const std::string& Ext,
                                          double Seconds) const {
    const auto Until = std::chrono::steady_clock::now() +
                       std::chrono::milliseconds(static_cast<long>(Seconds * 1000));
    std::string Found;
    long long LastSize = -1;
    while (std::chrono::steady_clock::now() < Until) {
        for (const std::string& F : ListDir(Spool(Name))) {
            if (F.size() < Ext.size() || F.compare(F.size() - Ext.size(), Ext.size(), Ext) != 0)
                continue;
            struct stat St;
            const std::string Path = Spool(Name) + "/" + F;
            if (::stat(Path.c_str(), &St) != 0) continue;
            if (Path == Found && St.st_size == LastSize && St.st_size > 0) return Found;
            Found = Path;
            LastSize = St.st_size;
        }
        Sleep(200);
    }
    return "";
}

bool TPrivateCups::Admin(const std::vector<std::string>& Args) const {
    std::vector<std::string> Full = Args;
    const std::string Program = FindProgram(Args[0]);
    if (Program.empty()) return false;
    Full[0] = Program;
    const TRunResult R = RunProgram(Full);
    return R.Status == 0;
}

bool TPrivateCups::WaitForDriver(const std::string& Queue) const {
    for (int I = 0; I < 300; ++I) {
        if (FileExists(FDir + "/root/ppd/" + Queue + ".ppd")) return true;
        Sleep(50);
    }
    return false;
}

void TPrivateCups::StopServer() {
    StopProcess(FCupsd);
}

std::string TPrivateCups::Log() const {
    return ReadFile(FDir + "/log/error_log");
}

int TPrivateCups::UnfinishedJobs() const {
    cups_job_t* Jobs = nullptr;
    const int N = cupsGetJobs2(CUPS_HTTP_DEFAULT, &Jobs, nullptr, 0, CUPS_WHICHJOBS_ACTIVE);
    int Count = 0;
    for (int I = 0; I < N; ++I)
        if (Jobs[I].state == IPP_JSTATE_HELD || Jobs[I].state == IPP_JSTATE_STOPPED) ++Count;
    cupsFreeJobs(N, Jobs);
    return Count;
}

} // namespace zarvotest
