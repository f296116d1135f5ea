// Asks the CUPS server for its destinations in the background, so that nobody waits for an
// answer that may take seconds (network printers, a server that does not answer).
#pragma once

#include "output/cupstarget.h"

#include <memory>
#include <string>
#include <vector>

namespace zarvo {

class TCupsLookup {
public:
    TCupsLookup();
    // A lookup that is still running when its owner goes finishes on its own and is dropped.
    ~TCupsLookup();
    TCupsLookup(const TCupsLookup&) = delete;
    TCupsLookup& operator=(const TCupsLookup&) = delete;

    // Starts a lookup unless one is running.
    void Start(int TimeoutMs);
    bool Running() const;
    // True once when a lookup has finished since the last call; then Dests and Error hold its
    // answer.
    bool TakeAnswer();

    std::vector<TCupsDest> Dests;
    std::string Error;
    // The default destination's name in the last answer, empty when there is none.
    std::string DefaultName() const;

private:
    struct TState;
    std::shared_ptr<TState> FState;
};

} // namespace zarvo
