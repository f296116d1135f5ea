// The PostScript of an EPS file: the whole file, or the PostScript section of a DOS EPS file
// (binary header C5 D0 D3 C6 with a TIFF or WMF preview), read as a source of bytes.
#pragma once

#include "support/bytesource.h"

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace zarvo {

class TEpsSource : public TByteSource {
public:
    ~TEpsSource() override;
    std::size_t Read(unsigned char* Data, std::size_t Count) override;
    void Close() override;

    // Up to Count bytes from the end of the PostScript; fewer when it is shorter. Empty when the
    // file cannot be read at a position (a pipe or a device): the caller then reads forward.
    // Does not move the sequential reading.
    std::string Tail(std::size_t Count);
    // Whether Tail holds the whole PostScript.
    bool TailIsAll(std::size_t Count) const { return Length >= 0 && Length <= (long long)Count; }

    bool IsDos() const { return Dos; }
    int Descriptor() const { return Fd; }
    // Where the next Read starts in the file, and how many bytes of the PostScript are left
    // (-1: up to the end of the file).
    long long Position() const { return Pos; }
    long long Left() const { return Length < 0 ? -1 : Begin + Length - Pos; }
    // A regular file can be read in large windows by position instead of Read. Map shows the
    // bytes from file offset From on, at most Count, in N (0 at the end of the PostScript);
    // the window stays valid until the next Map. The bytes are read into a buffer of the
    // source's own, not mapped: a file that another program shortens meanwhile only ends
    // early, where a mapping would kill the program. While the caller works on one window the
    // next is read in the background, so reading and writing a large file overlap. Raises
    // EInOutError on a read error.
    bool Mappable() const { return CanMap; }
    const unsigned char* Map(long long From, std::size_t Count, std::size_t& N);
    long long Start() const { return Begin; }

private:
    friend std::unique_ptr<TEpsSource> OpenEpsSource(const std::string&, int&, std::string&);
    TEpsSource(int Fd, std::string Name);
    int Fd;
    std::string Name;
    long long Begin = 0;
    long long Length = -1; // -1: the file's end ends the PostScript
    long long Pos = 0;
    bool Dos = false;
    bool CanMap = false;
    std::vector<unsigned char> Window;
    // The window after the one handed out, being read by a thread of its own.
    struct TReadAhead;
    std::unique_ptr<TReadAhead> Ahead;
    void EndReadAhead();
};

// Opens an EPS file for reading. Null when it cannot: Error is then the system's error number,
// or 0 with a German Message when the file is a DOS EPS file whose header points outside it.
std::unique_ptr<TEpsSource> OpenEpsSource(const std::string& Path, int& Error,
                                          std::string& Message);

// The message for a DOS EPS header whose PostScript section lies outside the file.
std::string BadDosHeaderMessage(const std::string& Name);

// The four bytes that start a DOS EPS file.
extern const unsigned char DosEpsMagic[4];

} // namespace zarvo
