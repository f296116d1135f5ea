// Where a printer port sends the job (a device, a file, a command or a CUPS destination) and
// printing a sheet there; PDF for a print file named *.pdf.
#pragma once

#include "output/printjob.h"
#include "sheet/sheet.h"

#include <string>

namespace zarvo {

enum class TRouteKind {
    Path,        // a device or a file, written as it stands
    Command,     // "|command": the job feeds the command's standard input
    CupsName,    // a CUPS destination by name
    CupsUri,     // a printer by its ipp:// or ipps:// URI, through CUPS
    CupsDefault, // the user's default CUPS destination, whichever it is when printing
};

struct TPortRoute {
    TRouteKind Kind = TRouteKind::CupsDefault;
    std::string Where; // the path, the command with its "|", the destination or the URI
};

// The device a port writes to when nothing is configured: /dev/lp0 to /dev/lp3 for LPT1 to
// LPT4 (Prefix replaces "/dev/lp").
std::string PortDevice(int Port, const std::string& Prefix = "/dev/lp");

// Where port LPT1 to LPT4 goes, in this order: its "[Ports]" entry (a value with "|" in front
// is a command, one starting with ipp:// or ipps:// a printer URI, one holding a "/" a device
// or a file, any other a CUPS destination name); else its device when that is a character
// device; else the default CUPS destination. Asks nobody: whether a default exists shows when
// printing.
TPortRoute ResolvePort(int Port, const std::string& Configured,
                       const std::string& DevicePrefix = "/dev/lp");

// The status line: "Ausgabe nach LPT3", with the CUPS destination in parentheses where the
// port goes to one ("Ausgabe nach LPT3 (Office)"). DefaultDest names the default destination
// once known (empty until then).
std::string PortStatusText(int Port, const TPortRoute& Route, const std::string& DefaultDest);

// What --printers says of a route: the kind and where it goes.
std::string RouteDescription(const TPortRoute& Route);

// The message for a port that has nowhere to go: the port, and the ways out.
std::string PortMissingMessage(int Port);

// The job's title in a print queue: the sheet file's name, "unbenannt" without one.
std::string JobTitle(const TSheet& Sheet);

// Prints the sheet to port Port through Route. TargetName names the port in messages. On
// success Sent holds the confirmation of a CUPS job ("Druckauftrag Office-42 gesendet").
TPrintResult PrintToPort(const TSheet& Sheet, int Port, const TPortRoute& Route);

// Prints the sheet to a print file (FilePath as PrintFileOpenPath gives it); a name ending in
// ".pdf" gets a PDF made by Ghostscript, any other the PostScript job.
TPrintResult PrintToFile(const TSheet& Sheet, const std::string& TargetName,
                         const std::string& FilePath);

} // namespace zarvo
