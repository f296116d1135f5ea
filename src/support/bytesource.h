// Sources of bytes for the buffered reader: files read in large blocks, or memory.
#pragma once

#include <cstddef>
#include <memory>
#include <string>

namespace zarvo {

class TByteSource {
public:
    virtual ~TByteSource() = default;
    // Reads up to Count bytes; returns the number read, 0 at the end. Raises EInOutError.
    virtual std::size_t Read(unsigned char* Data, std::size_t Count) = 0;
    // Releases the source; raises EInOutError when that fails.
    virtual void Close() = 0;
};

// Opens a file for reading without waiting for a named pipe's writer; a folder or a character
// device is refused. Returns the descriptor, or -1 with Error set (an errno value).
int OpenReadableFile(const std::string& Path, int& Error);
// Opens a file for reading; returns null and sets Error (an errno value) when it cannot.
std::unique_ptr<TByteSource> OpenFileSource(const std::string& Path, int& Error);

// Serves the bytes of a string; the string is copied.
std::unique_ptr<TByteSource> MakeMemorySource(std::string Data);

} // namespace zarvo
