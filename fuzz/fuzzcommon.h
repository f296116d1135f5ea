// Shared by the fuzz targets and the tests (it needs no test framework): invariant checks that
// abort, a per-process temporary folder, file helpers, a dialog seam that records messages, and
// the references that the buffered reader is checked against.
#pragma once

#include "support/bytesource.h"
#include "support/userdialogs.h"

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

// A broken invariant ends the run at once, so that libFuzzer (or the replay) reports the input.
#define FUZZ_CHECK(Cond)                                                                           \
    do {                                                                                           \
        if (!(Cond)) {                                                                             \
            std::fprintf(stderr, "%s:%d: invariant broken: %s\n", __FILE__, __LINE__, #Cond);      \
            std::abort();                                                                          \
        }                                                                                          \
    } while (0)

namespace zarvofuzz {

// A folder of this process, created on first use and removed at exit; targets write the files
// they need (EPS files named in a sheet, sheet files) into it and reuse the names.
const std::string& TempDir();
std::string TempFile(const std::string& Name);
void WriteFile(const std::string& Path, const std::string& Bytes);
std::string ReadFile(const std::string& Path);
// Names of the entries of a folder (without "." and "..").
std::vector<std::string> ListDir(const std::string& Path);
// Removes a file, or a folder with everything in it.
void RemoveTree(const std::string& Path);

// Records every message; questions are answered with No.
class TQuietDialogs : public zarvo::TUserDialogs {
public:
    TQuietDialogs();
    ~TQuietDialogs() override;
    bool AskYesNo(const std::string& Msg, int, int) override;
    void ErrorBox(const std::string& Msg) override;
    void ShowMessage(const std::string& Msg) override;
    std::vector<std::string> Messages;

private:
    zarvo::TUserDialogs* Before;
};

// Hands out at most Chunk bytes per call, as pipes and slow devices do.
class TChunkySource : public zarvo::TByteSource {
public:
    TChunkySource(std::string D, std::size_t Chunk) : Data(std::move(D)), Chunk(Chunk) {}
    std::size_t Read(unsigned char* Out, std::size_t Count) override;
    void Close() override {}

private:
    std::string Data;
    std::size_t Chunk, Pos = 0;
};

// The lines of Data read by the reading rules with single ReadBufChar calls only: the
// reference for the faster ways of reading.
std::vector<std::string> ReadLinesByteWise(const std::string& Data);

// Splits Data at every occurrence of Sep (Sep not included); always at least one part.
std::vector<std::string> Split(const std::string& Data, const std::string& Sep);

} // namespace zarvofuzz
