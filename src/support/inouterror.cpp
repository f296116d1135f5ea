// The input/output error that block reads, writes and closes raise.
#include "support/inouterror.h"

#include <cstring>

namespace zarvo {

void RaiseInOutError(const std::string& Name, int E, bool Reading) {
    const std::string Msg = E ? std::strerror(E) : "Ein-/Ausgabefehler";
    throw EInOutError(Msg, E, Reading, Name);
}

} // namespace zarvo
