// Helpers of the bad-input tests: running code or the program as an unprivileged user, and
// measuring a run of the program.
#pragma once

#include "testsupport.h"

#include <functional>
#include <string>
#include <vector>

namespace zarvotest {

// Runs Fn in a child process as the user nobody when this process is root (permissions do not
// hold for root), else as the current user; returns what Fn returned. Skipped is set when the
// child could not drop its rights.
struct TUnprivileged {
    bool Skipped = false;
    std::string Result;
};
TUnprivileged RunUnprivileged(const std::function<std::string()>& Fn);

// The program's command line as the user nobody when this process is root, as it is else.
// Empty when root cannot switch users here (no setpriv).
std::vector<std::string> UnprivilegedCommand(const std::vector<std::string>& Args);

// Opens a folder and the files in it to every user, so that nobody can reach them.
void OpenToAll(const std::string& Path);

// A file of Size bytes: Head, then Fill repeated; written in blocks.
void WriteBigFile(const std::string& Path, const std::string& Head, char Fill, long long Size);

} // namespace zarvotest
