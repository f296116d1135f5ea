// The outcome of a core operation: its value, or the error the user is told about.
#pragma once

#include <string>
#include <utility>
#include <variant>

namespace zarvo {

// What went wrong, in the words the user reads, and the file it concerns.
struct TError {
    std::string Message; // German, complete: the window shows it, the command line prints it
    std::string File;    // the file concerned, in full; empty when none
    // The file opened but failed while being read: it may well be fine on a second try, so the
    // caller keeps what depends on it instead of discarding it.
    bool ReadFailed = false;
};

// Either a value or an error; the core returns these and never shows a message itself. A
// warning goes with a usable value: something the user should hear although all went on.
template <typename T> class TResult {
public:
    TResult(T Value) : State(std::in_place_index<0>, std::move(Value)) {}
    TResult(TError Error) : State(std::in_place_index<1>, std::move(Error)) {}

    bool Ok() const { return State.index() == 0; }
    explicit operator bool() const { return Ok(); }
    const T& Value() const { return std::get<0>(State); }
    T& Value() { return std::get<0>(State); }
    const TError& Error() const { return std::get<1>(State); }
    // The text to tell the user: the error's message, else the warning (often empty).
    const std::string& Message() const { return Ok() ? Warning : Error().Message; }

    std::string Warning;

private:
    std::variant<T, TError> State;
};

// A result without a value: done, or an error.
struct TDone {};
using TStatus = TResult<TDone>;

inline TStatus Done() {
    return TStatus(TDone{});
}

} // namespace zarvo
