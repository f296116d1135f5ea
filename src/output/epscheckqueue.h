// Checks EPS files in the print job's wrapper through Ghostscript in the background, one at a
// time, so that the window can mark a file that would stop the printer without waiting for it.
#pragma once

#include "output/jobcheck.h"
#include "support/fileversion.h"

#include <atomic>
#include <condition_variable>
#include <deque>
#include <functional>
#include <map>
#include <mutex>
#include <string>
#include <thread>

namespace zarvo {

class TEpsCheckQueue {
public:
    // One check of a file; it ends early (Ran false) once Cancel is set.
    using TCheck =
        std::function<TItemCheck(const std::string& FileName, const std::atomic<bool>& Cancel)>;
    static constexpr int TimeoutSeconds = 20;

    // Checks with CheckEpsFile, at most TimeoutSeconds each.
    TEpsCheckQueue();
    explicit TEpsCheckQueue(TCheck Check);
    // Cancels the running check (its Ghostscript is killed) and drops the queued ones; waits
    // only for the worker to notice.
    ~TEpsCheckQueue();
    TEpsCheckQueue(const TEpsCheckQueue&) = delete;
    TEpsCheckQueue& operator=(const TEpsCheckQueue&) = delete;

    // Called on the worker thread after each result; the owner hands it on to its own thread.
    // Set before the first Check.
    void SetOnResult(std::function<void()> OnResult) { FOnResult = std::move(OnResult); }
    // Queues FileName unless the file as it is now (size, modification time) has been checked,
    // is queued or is being checked. A file that is not there is not checked.
    void Check(const std::string& FileName);
    // Checks not started yet are dropped (the sheet was closed).
    void DropQueued();
    // True while a check is queued or running.
    bool Busy() const;
    // The files whose last check found they stop the job, each with the reason in one line.
    std::map<std::string, std::string> Failures() const;

private:
    struct TResult {
        TFileVersion Version;
        TItemCheck Check;
    };
    void Work();

    TCheck FCheck;
    std::function<void()> FOnResult;
    mutable std::mutex FLock;
    std::condition_variable FWake;
    std::deque<std::string> FQueue;
    std::map<std::string, TFileVersion> FQueued; // the version each queued file had when queued
    std::string FRunning;                        // the file being checked, empty when none
    TFileVersion FRunningVersion;
    std::map<std::string, TResult> FResults; // the last result of each file
    std::atomic<bool> FCancel{false};
    bool FStop = false;
    std::thread FWorker; // started with the first check
};

} // namespace zarvo
