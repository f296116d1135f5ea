// Renders the drawings of EPS items with Ghostscript in the background: at most two processes
// at once, each fenced in and limited, results kept in a memory and a disk cache.
#pragma once

#include "support/fileversion.h"
#include "view/contentcache.h"
#include "view/epscontentsource.h"
#include "view/gsinvocation.h"

#include <QObject>
#include <QString>

#include <functional>
#include <map>
#include <memory>
#include <set>
#include <string>
#include <unordered_map>
#include <vector>

namespace zarvo {

class TEpsRenderer : public TEpsContentSource {
public:
    struct TOptions {
        QString Gs;           // Ghostscript; empty: none, every picture fails
        QString Bwrap;        // bubblewrap; empty: not used
        QString DiskCacheDir; // empty: no disk cache
        long long MemoryLimit = 256LL << 20;
        int MaxProcesses = 2;
        long long MaxPixels = 4096LL * 4096; // per picture; larger parts are drawn scaled up
        int TimeoutMs = 0;                   // 0: the standard limit
        // The print job's lines around an EPS file's body (after its page operators are
        // disabled, before its restore): a file that breaks the job fails its picture the same
        // way. Empty: the file is drawn as it is.
        QString WrapperBegin;
        QString WrapperEnd;
    };
    // Ghostscript and bubblewrap from PATH, the disk cache under the user's XDG cache folder.
    static TOptions DefaultOptions();
    static bool GhostscriptFound();

    explicit TEpsRenderer(TOptions Options);
    ~TEpsRenderer() override;
    TEpsRenderer(const TEpsRenderer&) = delete;
    TEpsRenderer& operator=(const TEpsRenderer&) = delete;

    // Called (from the event loop) whenever a render ends, so the owner can repaint.
    void SetOnReady(std::function<void()> OnReady) { FOnReady = std::move(OnReady); }

    using TEpsContentSource::Picture;
    TContentPicture Picture(const TEPSBox& Item, int Width, int Height, QRect Part) override;
    void EndPaint() override;

    // Cancels every render (the sheet was closed) and forgets failures.
    void CancelAll();
    // Runs the event loop until no render is queued or running, at most TimeoutMs; false when
    // renders are still under way.
    bool WaitIdle(int TimeoutMs);
    int RunningCount() const { return static_cast<int>(FRunning.size()); }
    int QueuedCount() const { return static_cast<int>(FQueue.size()); }
    const TContentCache& Cache() const { return FCache; }

private:
    struct TJob;
    void StartQueued();
    void Start(std::unique_ptr<TJob> Job);
    void Finish(TJob* Job, int ExitCode, bool Crashed);
    void Cancel(TJob* Job);
    int TimeoutMs() const { return FOptions.TimeoutMs > 0 ? FOptions.TimeoutMs : RenderTimeoutMs; }

    TOptions FOptions;
    std::string FKeyTag; // tells renders in the job's wrapper from others in the disk cache
    TContentCache FCache;
    std::function<void()> FOnReady;
    std::map<std::string, std::string> FFailures; // key -> why
    std::vector<std::unique_ptr<TJob>> FQueue;
    std::vector<std::unique_ptr<TJob>> FRunning;
    std::set<std::string> FWanted; // keys asked for since the last EndPaint
    // Each file as this paint found it.
    std::unordered_map<std::string, TFileVersion> FFileStates;
    // The context of the renderer's queued calls: it goes first when the renderer goes, and
    // takes the calls still queued with it.
    QObject FLife;
};

} // namespace zarvo
