// Buffered text files: byte and line reading and CR LF writing through a 1024-byte block buffer.
#pragma once

#include "support/bytesource.h"
#include "support/bytetarget.h"

#include <cstddef>
#include <cstdint>
#include <initializer_list>
#include <memory>
#include <string>

namespace zarvo {

constexpr int BufBlockSize = 1024;

// The file or device underneath a buffered record: a source while reading, a target while
// writing, and its name for error messages.
struct TFileVar {
    std::string Name;
    std::unique_ptr<TByteSource> Source;
    std::unique_ptr<TByteTarget> Target;
};

// Caller-owned record. Reader: BufPos bytes of the current block are consumed, BufLen bytes
// are valid (1024 = full block, more may follow). Writer: BufPos bytes wait in Buffer.
struct TBufTextFile {
    TFileVar FileVar;
    std::int32_t BufPos = 0;
    std::int32_t BufLen = 0;
    std::uint8_t Buffer[BufBlockSize];
};

// The character that ended the line ReadBufLine returned last (CR, LF, FF or NUL), or 0.
// Shared by all readers; OpenBufRead resets it.
extern std::uint8_t LastLineEnd;

bool OpenBufRead(TBufTextFile& F, const std::string& FileName);
bool OpenBufRead(TBufTextFile& F, std::unique_ptr<TByteSource> Source, const std::string& Name);
std::uint8_t ReadBufChar(TBufTextFile& F);
void ReadBufLine(TBufTextFile& F, std::string& Line);
inline bool BufEof(const TBufTextFile& F) {
    return F.BufLen < BufBlockSize && F.BufPos == F.BufLen;
}
void CloseBufRead(TBufTextFile& F);

// A set of bytes that end a run of ReadBufRun. Sets of up to four bytes are searched 16 bytes
// at a time.
class TStopSet {
public:
    TStopSet() = default; // no byte stops
    TStopSet(std::initializer_list<std::uint8_t> Stops);
    bool Contains(std::uint8_t B) const { return Table[B]; }
    // The number of bytes before the first stop byte among the N bytes at P.
    std::size_t Scan(const std::uint8_t* P, std::size_t N) const;

private:
    bool Table[256] = {};
    std::uint8_t Bytes[4] = {};
    int Count = 0; // how many of Bytes are used; -1 when the set is larger
};

// Takes the bytes that follow in the current block up to the first byte of Stops, at most MaxCount
// (which must be > 0); loads the next block first when one is due. A stop byte that ends the run is
// consumed as well and returned in Stopper; Stopper is -1 when the run ended at MaxCount, at the
// end of the block or at the end of the data. Returns the number of bytes before the stop byte and
// points Run at them. The bytes consumed are exactly those that as many calls of ReadBufChar would
// return.
std::size_t ReadBufRun(TBufTextFile& F, const TStopSet& Stops, std::size_t MaxCount,
                       const std::uint8_t*& Run, int& Stopper);

void OpenBufWrite(TBufTextFile& F, const std::string& FileName);
void OpenBufWrite(TBufTextFile& F, std::unique_ptr<TByteTarget> Target, const std::string& Name);
void WriteBufChar(TBufTextFile& F, std::uint8_t C);
void WriteBufBytes(TBufTextFile& F, const std::uint8_t* Data, std::size_t Count);
// As WriteBufBytes; a long run goes to the target in one piece after what waits in the buffer
// instead of 1024 bytes at a time (a copy of a large file costs few system calls).
void WriteBufThrough(TBufTextFile& F, const std::uint8_t* Data, std::size_t Count);
void WriteBufStr(TBufTextFile& F, const std::string& S);
void WriteBufLine(TBufTextFile& F, const std::string& S);
void FlushBuf(TBufTextFile& F);
void CloseBufWrite(TBufTextFile& F);

// True when the file can be opened for reading; nothing is kept open.
bool TryResetText(const std::string& FileName);

} // namespace zarvo
