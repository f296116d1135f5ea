// The background check of EPS files against the print job: one worker, one file at a time.
#include "output/epscheckqueue.h"

namespace zarvo {

namespace {

// Ghostscript's "Error: /typecheck in --restore--" as the user sees it; other reasons (a
// time limit, a file that cannot be read) as they are.
std::string Reason(const std::string& Error) {
    const std::string Prefix = "Error: ";
    if (Error.rfind(Prefix, 0) == 0) return "Ghostscript: " + Error.substr(Prefix.size());
    return Error;
}

} // namespace

TEpsCheckQueue::TEpsCheckQueue()
    : TEpsCheckQueue([](const std::string& FileName, const std::atomic<bool>& Cancel) {
          return CheckEpsFile(FileName, TimeoutSeconds, &Cancel);
      }) {}

TEpsCheckQueue::TEpsCheckQueue(TCheck Check) : FCheck(std::move(Check)) {}

TEpsCheckQueue::~TEpsCheckQueue() {
    {
        std::lock_guard<std::mutex> G(FLock);
        FStop = true;
        FQueue.clear();
        FQueued.clear();
    }
    FCancel = true;
    FWake.notify_all();
    if (FWorker.joinable()) FWorker.join();
}

void TEpsCheckQueue::Check(const std::string& FileName) {
    const TFileVersion Now = FileVersionOf(FileName);
    if (!Now.Exists) return;
    std::lock_guard<std::mutex> G(FLock);
    const auto Done = FResults.find(FileName);
    if (Done != FResults.end() && Done->second.Version == Now) return;
    if (FRunning == FileName && FRunningVersion == Now) return;
    const auto Queued = FQueued.find(FileName);
    if (Queued != FQueued.end()) {
        // Queued already: checked as it is when its turn comes.
        Queued->second = Now;
        return;
    }
    FQueue.push_back(FileName);
    FQueued[FileName] = Now;
    if (!FWorker.joinable()) FWorker = std::thread([this] { Work(); });
    FWake.notify_one();
}

void TEpsCheckQueue::DropQueued() {
    std::lock_guard<std::mutex> G(FLock);
    FQueue.clear();
    FQueued.clear();
}

bool TEpsCheckQueue::Busy() const {
    std::lock_guard<std::mutex> G(FLock);
    return !FQueue.empty() || !FRunning.empty();
}

std::map<std::string, std::string> TEpsCheckQueue::Failures() const {
    std::map<std::string, std::string> F;
    std::lock_guard<std::mutex> G(FLock);
    for (const auto& [Name, Result] : FResults)
        if (Result.Check.Ran && !Result.Check.Ok)
            F.emplace(Name, "Bricht den Druck ab: " + Reason(Result.Check.Error));
    return F;
}

void TEpsCheckQueue::Work() {
    std::unique_lock<std::mutex> G(FLock);
    for (;;) {
        FWake.wait(G, [this] { return FStop || !FQueue.empty(); });
        if (FStop) return;
        FRunning = FQueue.front();
        FQueue.pop_front();
        FQueued.erase(FRunning);
        // The version is taken just before the check, so that a change made while the file
        // waited is what gets checked and recorded.
        const TFileVersion Version = FileVersionOf(FRunning);
        const bool There = Version.Exists;
        FRunningVersion = Version;
        const std::string Name = FRunning;
        TItemCheck Result;
        if (There) {
            G.unlock();
            Result = FCheck(Name, FCancel);
            G.lock();
        }
        FRunning.clear();
        if (FStop) return;
        // A check without a verdict (no Ghostscript) leaves the file's last verdict as it was.
        if (There && Result.Ran) FResults[Name] = {Version, Result};
        if (FOnResult) {
            G.unlock();
            FOnResult();
            G.lock();
        }
    }
}

} // namespace zarvo
