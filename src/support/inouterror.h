// The input/output error that block reads, writes and closes raise.
#pragma once

#include <stdexcept>
#include <string>

namespace zarvo {

class EInOutError : public std::runtime_error {
public:
    // Code is the operating system's error number (0 when there is none).
    EInOutError(const std::string& Msg, int Code, bool Reading = false,
                const std::string& Name = std::string())
        : std::runtime_error(Msg), ErrorCode(Code), Reading(Reading), Name(Name) {}
    int ErrorCode;
    bool Reading;     // raised while reading, not while writing
    std::string Name; // the file or device concerned
};

// Raises EInOutError for errno E; the message is the system's text for E, Name the file or
// device it concerns.
[[noreturn]] void RaiseInOutError(const std::string& Name, int E, bool Reading = false);

} // namespace zarvo
