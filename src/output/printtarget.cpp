// Where the print job goes: the print file or one of the printer ports, and how to open it.
#include "output/printtarget.h"

#include "support/inouterror.h"
#include "support/winsub.h"

#include <cerrno>

#include <sys/stat.h>
#include <unistd.h>

namespace zarvo {

std::string PrintFilePath(const std::string& WorkDir, const std::string& PrintFile) {
    return CombineFileName(WorkDir, PrintFile, "PS");
}

std::string PrintFileOpenPath(const std::string& FilePath) {
    if (FilePath == "-" || (!FilePath.empty() && FilePath[0] == '|')) return "./" + FilePath;
    return FilePath;
}

std::string PrintTargetName(int Printer, const std::string& WorkDir, const std::string& PrintFile) {
    if (Printer != PrinterFile) return "LPT" + IntToStrWidth(Printer, 0);
    return PrintFilePath(WorkDir, PrintFile);
}

std::string PrintTargetStatus(int Printer, const std::string& WorkDir,
                              const std::string& PrintFile) {
    return "Ausgabe nach " + PrintTargetName(Printer, WorkDir, PrintFile);
}

std::string PortTarget(int Port, const std::string& Configured) {
    if (!Configured.empty()) return Configured;
    return "/dev/lp" + std::to_string(Port - 1);
}

std::unique_ptr<TByteTarget> OpenPrintTarget(const std::string& Path) {
    if (Path == "-") return MakeDescriptorTarget(STDOUT_FILENO, "-");
    if (!Path.empty() && Path[0] == '|') return OpenPipeTarget(Path.substr(1));
    struct stat St;
    const bool Exists = ::stat(Path.c_str(), &St) == 0;
    if (Exists && !S_ISREG(St.st_mode)) return OpenDirectTarget(Path);
    // A printer port whose device is not there (no /dev/lp2 on a machine without that port) is
    // an error: a new file among the devices would swallow the job unseen.
    if (!Exists && Path.rfind("/dev/", 0) == 0) RaiseInOutError(Path, ENOENT);
    return OpenReplacingTarget(Path, false);
}

} // namespace zarvo
