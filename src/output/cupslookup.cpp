// Asks the CUPS server for its destinations in the background, so that nobody waits for an
// answer that may take seconds (network printers, a server that does not answer).
#include "output/cupslookup.h"

#include <mutex>
#include <thread>

namespace zarvo {

struct TCupsLookup::TState {
    std::mutex Lock;
    bool Running = false;
    bool Answered = false;
    std::vector<TCupsDest> Dests;
    std::string Error;
};

TCupsLookup::TCupsLookup() : FState(std::make_shared<TState>()) {}

TCupsLookup::~TCupsLookup() = default;

void TCupsLookup::Start(int TimeoutMs) {
    {
        std::lock_guard<std::mutex> G(FState->Lock);
        if (FState->Running) return;
        FState->Running = true;
    }
    // The thread keeps the state alive by its own reference: the window may close first.
    std::thread([State = FState, TimeoutMs] {
        std::string Error;
        std::vector<TCupsDest> Dests = ListCupsDests(TimeoutMs, Error);
        std::lock_guard<std::mutex> G(State->Lock);
        State->Dests = std::move(Dests);
        State->Error = std::move(Error);
        State->Running = false;
        State->Answered = true;
    }).detach();
}

bool TCupsLookup::Running() const {
    std::lock_guard<std::mutex> G(FState->Lock);
    return FState->Running;
}

bool TCupsLookup::TakeAnswer() {
    std::lock_guard<std::mutex> G(FState->Lock);
    if (!FState->Answered) return false;
    FState->Answered = false;
    Dests = FState->Dests;
    Error = FState->Error;
    return true;
}

std::string TCupsLookup::DefaultName() const {
    for (const TCupsDest& D : Dests)
        if (D.IsDefault) return D.Name;
    return "";
}

} // namespace zarvo
