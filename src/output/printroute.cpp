// Where a printer port sends the job (a device, a file, a command or a CUPS destination) and
// printing a sheet there; PDF for a print file named *.pdf.
#include "output/printroute.h"

#include "output/cupstarget.h"
#include "output/pdftarget.h"
#include "output/printtarget.h"
#include "support/inouterror.h"
#include "support/winsub.h"

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <cmath>
#include <cstring>
#include <strings.h>
#include <sys/stat.h>

namespace zarvo {

namespace {

bool StartsWithNoCase(const std::string& S, const char* Prefix) {
    return ::strncasecmp(S.c_str(), Prefix, std::strlen(Prefix)) == 0;
}

// Entries written before ports reached CUPS name files relative to the working folder
// ("LPT1=auftrag.ps"); they keep going there. A bare word is such a file when it exists or
// ends in an extension; else it is the name of a CUPS destination (queue names carry no
// extension in practice, and the printer dialog writes only such names).
bool NamesAFile(const std::string& Entry) {
    struct stat St;
    if (::stat(Entry.c_str(), &St) == 0) return true;
    const std::size_t Dot = Entry.rfind('.');
    if (Dot == std::string::npos || Dot == 0 || Entry.size() - Dot - 1 > 4 ||
        Dot + 1 == Entry.size())
        return false;
    return std::all_of(Entry.begin() + static_cast<std::ptrdiff_t>(Dot) + 1, Entry.end(),
                       [](unsigned char C) { return std::isalnum(C) != 0; });
}

std::string PortName(int Port) {
    return "LPT" + std::to_string(Port);
}

// Whole points of a paper side, as the job's bounding box has them.
int Points(double Cm) {
    return static_cast<int>(std::nearbyint(Cm * 28.35));
}

} // namespace

std::string PortDevice(int Port, const std::string& Prefix) {
    return Prefix + std::to_string(Port - 1);
}

TPortRoute ResolvePort(int Port, const std::string& Configured, const std::string& DevicePrefix) {
    if (!Configured.empty()) {
        if (Configured[0] == '|') return {TRouteKind::Command, Configured};
        if (StartsWithNoCase(Configured, "ipp://") || StartsWithNoCase(Configured, "ipps://"))
            return {TRouteKind::CupsUri, Configured};
        if (Configured.find('/') != std::string::npos || Configured == "-" ||
            NamesAFile(Configured))
            return {TRouteKind::Path, Configured};
        return {TRouteKind::CupsName, Configured};
    }
    const std::string Device = PortDevice(Port, DevicePrefix);
    struct stat St;
    if (::stat(Device.c_str(), &St) == 0 && S_ISCHR(St.st_mode)) return {TRouteKind::Path, Device};
    return {TRouteKind::CupsDefault, ""};
}

std::string PortStatusText(int Port, const TPortRoute& Route, const std::string& DefaultDest) {
    std::string S = "Ausgabe nach " + PortName(Port);
    if (Route.Kind == TRouteKind::CupsName || Route.Kind == TRouteKind::CupsUri)
        S += " (" + Route.Where + ")";
    else if (Route.Kind == TRouteKind::CupsDefault && !DefaultDest.empty())
        S += " (" + DefaultDest + ")";
    return S;
}

std::string RouteDescription(const TPortRoute& Route) {
    switch (Route.Kind) {
    case TRouteKind::Path: {
        struct stat St;
        const bool Device = ::stat(Route.Where.c_str(), &St) == 0 && S_ISCHR(St.st_mode);
        return (Device ? "Gerät " : "Datei ") + Route.Where;
    }
    case TRouteKind::Command:
        return "Befehl " + Route.Where.substr(1);
    case TRouteKind::CupsName:
        return "CUPS-Drucker " + Route.Where;
    case TRouteKind::CupsUri:
        return "Druckeradresse " + Route.Where;
    case TRouteKind::CupsDefault:
        break;
    }
    return "Standarddrucker";
}

std::string PortMissingMessage(int Port) {
    const std::string P = PortName(Port);
    return "Für " + P + " gibt es keinen Drucker: kein Gerät " + PortDevice(Port) +
           ", kein Standarddrucker im System und kein Eintrag " + P +
           " im Abschnitt [Ports] der Einstellungsdatei. Richten Sie in den Druckereinstellungen "
           "des Systems einen Drucker ein, wählen Sie einen unter Settings > Printer > "
           "\"Select Printer ...\", oder tragen Sie unter [Ports] " +
           P +
           "= einen Druckernamen, eine ipp://-Adresse, ein Gerät, eine Datei oder |Befehl "
           "ein.";
}

std::string JobTitle(const TSheet& Sheet) {
    if (Sheet.FSheetFile.empty()) return "unbenannt";
    return ExtractFileName(Sheet.FSheetFile);
}

namespace {

// Passes the job on to a CUPS job and keeps its name and number for the confirmation.
class TConfirmedJob : public TByteTarget {
public:
    TConfirmedJob(std::unique_ptr<TCupsTarget> Job, std::string& Sent)
        : Job(std::move(Job)), Sent(Sent) {}
    void Write(const unsigned char* Data, std::size_t Count) override { Job->Write(Data, Count); }
    void Flush() override { Job->Flush(); }
    void Close() override {
        Job->Close();
        Sent = "Druckauftrag " + Job->DestName() + "-" + std::to_string(Job->JobId()) + " gesendet";
    }

private:
    std::unique_ptr<TCupsTarget> Job;
    std::string& Sent;
};

} // namespace

TPrintResult PrintToPort(const TSheet& Sheet, int Port, const TPortRoute& Route) {
    const std::string Name = PortName(Port);
    if (Route.Kind == TRouteKind::Path || Route.Kind == TRouteKind::Command)
        return PrintSheet(Sheet, Name, Route.Where);
    TCupsJobOrder Order;
    if (Route.Kind == TRouteKind::CupsName) Order.Name = Route.Where;
    if (Route.Kind == TRouteKind::CupsUri) Order.Uri = Route.Where;
    Order.Title = JobTitle(Sheet);
    Order.Media = PaperMediaKeyword(Sheet.FPaperSize.X, Sheet.FPaperSize.Y);
    std::string Sent, ServerDown;
    bool NoDefault = false;
    TPrintResult R = PrintSheetWith(Sheet, Name, [&]() -> std::unique_ptr<TByteTarget> {
        try {
            return std::make_unique<TConfirmedJob>(TCupsTarget::Open(Order), Sent);
        } catch (const EInOutError& E) {
            NoDefault = E.ErrorCode == ENXIO && Route.Kind == TRouteKind::CupsDefault;
            // Without a print server the port has no printer at all: the ways out matter
            // more than the server's address.
            if (E.ErrorCode == ENOTCONN && Route.Kind == TRouteKind::CupsDefault)
                ServerDown = E.what();
            throw;
        }
    });
    if (NoDefault) R.Message = PortMissingMessage(Port);
    if (!ServerDown.empty()) R.Message = PortMissingMessage(Port) + " (" + ServerDown + ")";
    if (R.Ok) R.Sent = Sent;
    return R;
}

TPrintResult PrintToFile(const TSheet& Sheet, const std::string& TargetName,
                         const std::string& FilePath) {
    if (!IsPdfFileName(FilePath) || FilePath[0] == '|')
        return PrintSheet(Sheet, TargetName, FilePath);
    return PrintSheetWith(Sheet, TargetName, [&]() {
        return OpenPdfTarget(FilePath, Points(Sheet.FPaperSize.X), Points(Sheet.FPaperSize.Y),
                             Sheet.FLandscape);
    });
}

} // namespace zarvo
