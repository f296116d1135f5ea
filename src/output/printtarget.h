// Where the print job goes: the print file or one of the printer ports, and how to open it.
#pragma once

#include "support/bytetarget.h"

#include <memory>
#include <string>

namespace zarvo {

// FPrinter: 0 the print file, 1 to 4 the ports LPT1 to LPT4.
constexpr int PrinterFile = 0;

// The print file's full name: without a folder it goes into WorkDir, without "." it gets ".PS".
std::string PrintFilePath(const std::string& WorkDir, const std::string& PrintFile);

// The print file's full name as OpenPrintTarget must open it: a name typed as "-" or
// starting with "|" names a file here, never standard output or a command.
std::string PrintFileOpenPath(const std::string& FilePath);

// The target as the user sees it: "LPT" and the number, or the print file's full name.
std::string PrintTargetName(int Printer, const std::string& WorkDir, const std::string& PrintFile);

// The status line text: "Ausgabe nach " and the target.
std::string PrintTargetStatus(int Printer, const std::string& WorkDir,
                              const std::string& PrintFile);

// What a port writes to: the configured target when there is one, else the device /dev/lp0
// to /dev/lp3 for LPT1 to LPT4.
std::string PortTarget(int Port, const std::string& Configured);

// Opens what a job is written to. "-" is standard output; "|command" feeds a command; a
// device, a pipe or another special file is written directly; a regular file (or a new one)
// is written through a temporary file that replaces it when the job is complete; a missing
// file under /dev is a device that is not there, and is not created.
// Raises EInOutError when it cannot be opened.
std::unique_ptr<TByteTarget> OpenPrintTarget(const std::string& Path);

} // namespace zarvo
