// Targets of bytes for the buffered writer: files, devices, pipes to commands, or memory.
#pragma once

#include <cstddef>
#include <memory>
#include <string>
#include <vector>

namespace zarvo {

class TByteTarget {
public:
    virtual ~TByteTarget() = default;
    // Takes Count bytes; they may wait in a buffer until Flush or Close. Raises EInOutError.
    virtual void Write(const unsigned char* Data, std::size_t Count) = 0;
    // Hands everything written so far to the operating system. Raises EInOutError.
    virtual void Flush() = 0;
    // Completes the output: writes what waits, closes, and for a replaced file puts the new
    // file into place. Raises EInOutError. A target destroyed without Close is abandoned: a
    // replacement file is removed and the former file stays untouched.
    virtual void Close() = 0;
};

// Writes to the file or device as it stands (created when missing, truncated otherwise).
std::unique_ptr<TByteTarget> OpenDirectTarget(const std::string& Path);

// Writes a regular file through a temporary file beside it that replaces it on Close. Durable
// also waits until the data is on the disk before the replacement, so that a crash of the
// system cannot leave an empty file in place of the old one; documents want that, print jobs
// (which can be made again) do not need to pay for it. A write-protected file is refused; a
// writable file in a folder that takes no new files is written in place.
std::unique_ptr<TByteTarget> OpenReplacingTarget(const std::string& Path, bool Durable);

// Writes to an open descriptor that stays open (standard output).
std::unique_ptr<TByteTarget> MakeDescriptorTarget(int Fd, const std::string& Name);

// Feeds the standard input of a shell command; Close fails when the command fails.
std::unique_ptr<TByteTarget> OpenPipeTarget(const std::string& Command);

// Appends to Out. With FailAfter >= 0, a write that would take the total past FailAfter bytes
// fails like a full device (for tests of the failure paths).
std::unique_ptr<TByteTarget> MakeMemoryTarget(std::string& Out, long long FailAfter = -1);

// The non-empty lines a child program wrote into the file Fd (its output kept in an anonymous
// file), without trailing blanks and carriage returns; of a long output only its end.
std::vector<std::string> OutputLines(int Fd);
// The last Count of those lines joined with "; ", for a message.
std::string JoinLastLines(const std::vector<std::string>& Lines, int Count);

} // namespace zarvo
