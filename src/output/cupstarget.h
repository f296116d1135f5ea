// A print job sent to a CUPS destination through the CUPS library, streamed as PostScript.
#pragma once

#include "support/bytetarget.h"

#include <cerrno>
#include <memory>
#include <string>
#include <vector>

typedef struct _http_s http_t;
typedef struct cups_dest_s cups_dest_t;
typedef struct _cups_dinfo_s cups_dinfo_t;

namespace zarvo {

// One destination as the printer list shows it.
struct TCupsDest {
    std::string Name;
    std::string Description; // printer-info, may be empty
    std::string State;       // German: "bereit", "druckt", "angehalten"
    bool Accepting = true;   // takes new jobs
    bool IsDefault = false;
};

// What a job asks for: the destination by name (empty: the user's default destination) or
// by printer URI, the job's title and its media keyword.
struct TCupsJobOrder {
    std::string Name;
    std::string Uri;
    std::string Title;
    std::string Media;
};

class TCupsTarget : public TByteTarget {
public:
    // Finds the destination, creates the job and starts its PostScript document. Raises
    // EInOutError with a German reason (server not running, no such destination, paused,
    // rejecting jobs, ...). A busy printer is asked again for a few seconds.
    static std::unique_ptr<TCupsTarget> Open(const TCupsJobOrder& Order);
    ~TCupsTarget() override;
    void Write(const unsigned char* Data, std::size_t Count) override;
    void Flush() override;
    // Ends the document; fails when the destination refuses it or the job stops at once. A
    // job that fails, or a target destroyed without Close, is cancelled.
    void Close() override;

    // The destination's name and the job's number once the job exists.
    const std::string& DestName() const { return FDestName; }
    int JobId() const { return FJobId; }

private:
    TCupsTarget() = default;
    // Raises EInOutError with Reason; Code ENOTCONN marks a server that cannot be reached,
    // ENXIO a missing default destination.
    [[noreturn]] void Fail(const std::string& Reason, int Code = EIO);
    void Cancel();
    void WatchJob();

    http_t* FHttp = nullptr;
    cups_dest_t* FDest = nullptr;
    cups_dinfo_t* FInfo = nullptr;
    std::string FDestName;
    std::string FResource;
    int FJobId = 0;
    bool FDone = false;
    std::vector<char> FBuf;
};

// The destinations of the CUPS server, the default marked; Error says why there are none
// when the server cannot be asked. Blocks up to about TimeoutMs.
std::vector<TCupsDest> ListCupsDests(int TimeoutMs, std::string& Error);

// The media keyword of a paper size in cm (portrait sense): A4 for this program's A4 sheet.
std::string PaperMediaKeyword(double WidthCm, double HeightCm);

} // namespace zarvo
