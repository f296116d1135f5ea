// A private CUPS server for tests: cupsd on a free localhost port with folders of its own, a
// private D-Bus bus, and IPP Everywhere printers from ippeveprinter that keep what they get.
#pragma once

#include <string>
#include <sys/types.h>
#include <vector>

namespace zarvotest {

class TPrivateCups {
public:
    // Starts dbus-daemon and cupsd and points this process's CUPS client at the server
    // (CUPS_SERVER, an empty CUPS_SERVERROOT, no LPDEST or PRINTER). Ok() tells whether it
    // runs; SkipReason() why not.
    TPrivateCups();
    ~TPrivateCups();
    TPrivateCups(const TPrivateCups&) = delete;
    TPrivateCups& operator=(const TPrivateCups&) = delete;

    bool Ok() const { return FSkip.empty(); }
    const std::string& SkipReason() const { return FSkip; }
    const std::string& Server() const { return FServer; } // host:port
    const std::string& Dir() const { return FDir; }

    // Starts an ippeveprinter taking Formats (comma-separated MIME types) that keeps each
    // document in its own spool folder; returns its printer URI, empty on failure.
    std::string AddPrinter(const std::string& Name, const std::string& Formats);
    // The spool folder of a printer made by AddPrinter.
    std::string Spool(const std::string& Name) const { return FDir + "/spool-" + Name; }
    // Waits up to Seconds for a document in Name's spool folder whose name ends in Ext and
    // whose size stays the same for a moment; returns its path, empty when none came.
    std::string WaitForDocument(const std::string& Name, const std::string& Ext,
                                double Seconds = 20.0) const;

    // Runs a CUPS client program (lpadmin, cupsdisable, ...) against the server; true on
    // success.
    bool Admin(const std::vector<std::string>& Args) const;

    // Waits until the server has made the driver of an "-m everywhere" queue, which it does
    // in the background after lpadmin returns; true when it is there.
    bool WaitForDriver(const std::string& Queue) const;

    // Stops the server (SIGTERM) and waits until it is gone.
    void StopServer();
    pid_t ServerPid() const { return FCupsd; }

    // The server's error log, for the messages of failed tests.
    std::string Log() const;

    // Jobs the server holds or has stopped: jobs that block their queue.
    int UnfinishedJobs() const;

private:
    pid_t Spawn(const std::vector<std::string>& Args, const std::string& Log);
    std::string FDir, FServer, FSkip;
    pid_t FDbus = -1, FCupsd = -1;
    std::vector<pid_t> FPrinters;
    std::string FOldEnv[5];
    bool FHadEnv[5] = {};
};

// A free TCP port on 127.0.0.1.
int FreeLocalPort();
// Whether something listens on 127.0.0.1:Port.
bool PortAnswers(int Port);

} // namespace zarvotest
