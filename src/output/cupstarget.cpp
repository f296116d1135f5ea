// A print job sent to a CUPS destination through the CUPS library, streamed as PostScript.
#include "output/cupstarget.h"

#include "support/inouterror.h"

#include <cups/cups.h>
#include <cups/pwg.h>

#include <cerrno>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <thread>

namespace zarvo {

namespace {

using Clock = std::chrono::steady_clock;

// How long a busy printer is asked again, and how long a started job is watched for a refusal
// that comes at once (a queue whose printer takes no PostScript stops the job in its first
// seconds, and such a job must not stay held in the queue).
constexpr auto BusyRetry = std::chrono::seconds(8);
constexpr auto JobWatch = std::chrono::milliseconds(2500);
constexpr int ConnectMs = 5000;
// A connection that takes nothing for this long is taken for lost.
constexpr double StallSeconds = 15.0;

int GiveUpOnStall(http_t*, void*) {
    return 0;
}

std::string LastError() {
    const char* S = cupsLastErrorString();
    return S && *S ? S : ippErrorString(cupsLastError());
}

std::string ServerName() {
    const char* S = cupsServer();
    if (!S) return "";
    if (*S == '/') return S; // a local socket
    return std::string(S) + ":" + std::to_string(ippPort());
}

std::string ServerDownMessage(int Errno = 0) {
    return "CUPS-Druckserver " + ServerName() + " läuft nicht oder ist nicht erreichbar (" +
           (Errno ? std::string(std::strerror(Errno)) : LastError()) + ")";
}

// A connection to the CUPS server; Errno says why there is none.
http_t* ConnectServer(int TimeoutMs, int& Errno) {
    int Cancel = 0;
    errno = 0;
    http_t* H = httpConnect2(cupsServer(), ippPort(), nullptr, AF_UNSPEC, cupsEncryption(), 1,
                             TimeoutMs, &Cancel);
    Errno = H ? 0 : (errno ? errno : ECONNREFUSED);
    return H;
}

std::string StateText(const char* State) {
    if (!State) return "";
    switch (std::atoi(State)) {
    case IPP_PSTATE_IDLE:
        return "bereit";
    case IPP_PSTATE_PROCESSING:
        return "druckt";
    case IPP_PSTATE_STOPPED:
        return "angehalten";
    default:
        return State;
    }
}

bool IsTrue(const char* S) {
    return S && std::strcmp(S, "false") != 0 && std::strcmp(S, "0") != 0;
}

// The reason of a failed request in words a user can act on.
std::string StatusReason(ipp_status_t S, const std::string& Dest) {
    // Printers refuse an unknown format in either of two ways.
    if (S == IPP_STATUS_ERROR_ATTRIBUTES_OR_VALUES &&
        LastError().find("document-format") != std::string::npos)
        S = IPP_STATUS_ERROR_DOCUMENT_FORMAT_NOT_SUPPORTED;
    switch (S) {
    case IPP_STATUS_ERROR_NOT_FOUND:
        return "Drucker " + Dest + " nicht gefunden";
    case IPP_STATUS_ERROR_NOT_ACCEPTING_JOBS:
        return "Drucker " + Dest + " nimmt keine Aufträge an";
    case IPP_STATUS_ERROR_DOCUMENT_FORMAT_NOT_SUPPORTED:
    case IPP_STATUS_ERROR_DOCUMENT_UNPRINTABLE:
        return "Drucker " + Dest + " nimmt das PostScript-Dokument nicht an (" + LastError() + ")";
    case IPP_STATUS_ERROR_BUSY:
        return "Drucker " + Dest + " ist beschäftigt";
    case IPP_STATUS_ERROR_SERVICE_UNAVAILABLE:
        return ServerDownMessage();
    default:
        return "CUPS meldet für " + Dest + ": " + LastError();
    }
}

} // namespace

std::string PaperMediaKeyword(double WidthCm, double HeightCm) {
    double W = std::fmin(WidthCm, HeightCm) * 10.0, H = std::fmax(WidthCm, HeightCm) * 10.0;
    // This program's A4 is 21.0 x 29.6 cm: the same paper as ISO A4 one millimetre longer.
    if (std::fabs(W - 210.0) <= 1.5 && std::fabs(H - 297.0) <= 1.5) return "iso_a4_210x297mm";
    const int W100 = static_cast<int>(std::lround(W * 100.0));
    const int H100 = static_cast<int>(std::lround(H * 100.0));
    if (pwg_media_t* M = pwgMediaForSize(W100, H100)) return M->pwg;
    char Name[128];
    if (pwgFormatSizeName(Name, sizeof Name, "custom", nullptr, W100, H100, nullptr)) return Name;
    return "";
}

std::unique_ptr<TCupsTarget> TCupsTarget::Open(const TCupsJobOrder& Order) {
    std::unique_ptr<TCupsTarget> T(new TCupsTarget);
    T->FBuf.reserve(65536);
    std::string Label = !Order.Uri.empty() ? Order.Uri : Order.Name;
    if (!Order.Uri.empty()) {
        T->FDest = cupsGetDestWithURI(nullptr, Order.Uri.c_str());
        if (!T->FDest) T->Fail("Druckeradresse " + Order.Uri + " ist ungültig");
        int Cancel = 0;
        char Resource[1024] = "";
        T->FHttp = cupsConnectDest(T->FDest, CUPS_DEST_FLAGS_DEVICE, ConnectMs, &Cancel, Resource,
                                   sizeof Resource, nullptr, nullptr);
        if (!T->FHttp)
            T->Fail("Drucker " + Order.Uri + " ist nicht erreichbar (" + LastError() + ")");
        T->FResource = Resource;
    } else {
        int Errno = 0;
        T->FHttp = ConnectServer(ConnectMs, Errno);
        if (!T->FHttp) T->Fail(ServerDownMessage(Errno), ENOTCONN);
        T->FDest =
            cupsGetNamedDest(T->FHttp, Order.Name.empty() ? nullptr : Order.Name.c_str(), nullptr);
        if (!T->FDest) {
            if (cupsLastError() == IPP_STATUS_ERROR_SERVICE_UNAVAILABLE)
                T->Fail(ServerDownMessage(), ENOTCONN);
            if (Order.Name.empty()) {
                T->FDone = true;
                throw EInOutError("im System ist kein Standarddrucker eingerichtet", ENXIO);
            }
            T->Fail("Drucker " + Order.Name + " nicht gefunden");
        }
        Label = T->FDest->name;
        if (std::atoi(cupsGetOption("printer-state", T->FDest->num_options, T->FDest->options)
                          ? cupsGetOption("printer-state", T->FDest->num_options, T->FDest->options)
                          : "0") == IPP_PSTATE_STOPPED)
            T->Fail("Drucker " + Label + " ist angehalten");
        const char* Accepting =
            cupsGetOption("printer-is-accepting-jobs", T->FDest->num_options, T->FDest->options);
        if (Accepting && !IsTrue(Accepting))
            T->Fail("Drucker " + Label + " nimmt keine Aufträge an");
        T->FResource = "/";
    }
    T->FDestName = Label;
    httpSetTimeout(T->FHttp, StallSeconds, GiveUpOnStall, nullptr);
    T->FInfo = cupsCopyDestInfo(T->FHttp, T->FDest);
    if (!T->FInfo) T->Fail(StatusReason(cupsLastError(), Label));

    cups_option_t* Options = nullptr;
    int NumOptions = 0;
    if (!Order.Media.empty())
        NumOptions = cupsAddOption(CUPS_MEDIA, Order.Media.c_str(), NumOptions, &Options);
    ipp_status_t Status;
    const auto GiveUp = Clock::now() + BusyRetry;
    for (;;) {
        Status = cupsCreateDestJob(T->FHttp, T->FDest, T->FInfo, &T->FJobId, Order.Title.c_str(),
                                   NumOptions, Options);
        if (Status != IPP_STATUS_ERROR_BUSY || Clock::now() >= GiveUp) break;
        std::this_thread::sleep_for(std::chrono::milliseconds(200));
    }
    cupsFreeOptions(NumOptions, Options);
    if (Status > IPP_STATUS_OK_CONFLICTING || T->FJobId <= 0) {
        T->FJobId = 0;
        T->Fail(StatusReason(Status, Label));
    }
    if (cupsStartDestDocument(T->FHttp, T->FDest, T->FInfo, T->FJobId, Order.Title.c_str(),
                              CUPS_FORMAT_POSTSCRIPT, 0, nullptr, 1) != HTTP_STATUS_CONTINUE)
        T->Fail(StatusReason(cupsLastError(), Label));
    return T;
}

TCupsTarget::~TCupsTarget() {
    if (!FDone && FJobId > 0) Cancel();
    if (FInfo) cupsFreeDestInfo(FInfo);
    if (FDest) cupsFreeDests(1, FDest);
    if (FHttp) httpClose(FHttp);
}

void TCupsTarget::Cancel() {
    const int Job = FJobId;
    FJobId = 0;
    if (Job <= 0 || !FDest) return;
    // The connection that carried the document may be in the middle of a request: cancel on a
    // fresh one.
    int Abort = 0;
    http_t* H = nullptr;
    if (cupsGetOption("device-uri", FDest->num_options, FDest->options) &&
        !cupsGetOption("printer-uri-supported", FDest->num_options, FDest->options)) {
        H = cupsConnectDest(FDest, CUPS_DEST_FLAGS_DEVICE, ConnectMs, &Abort, nullptr, 0, nullptr,
                            nullptr);
    } else {
        H = httpConnect2(cupsServer(), ippPort(), nullptr, AF_UNSPEC, cupsEncryption(), 1,
                         ConnectMs, &Abort);
    }
    if (!H) return;
    httpSetTimeout(H, 5.0, GiveUpOnStall, nullptr);
    cupsCancelDestJob(H, FDest, Job);
    httpClose(H);
}

void TCupsTarget::Fail(const std::string& Reason, int Code) {
    if (FJobId > 0) Cancel();
    FDone = true;
    throw EInOutError(Reason, Code, false, FDestName);
}

void TCupsTarget::Write(const unsigned char* Data, std::size_t Count) {
    if (FDone) throw EInOutError("Auftrag bereits beendet", EBADF, false, FDestName);
    if (FBuf.size() + Count > FBuf.capacity()) Flush();
    if (Count >= FBuf.capacity()) {
        if (cupsWriteRequestData(FHttp, reinterpret_cast<const char*>(Data), Count) !=
            HTTP_STATUS_CONTINUE)
            Fail("Verbindung zu " + FDestName + " während des Auftrags verloren (" + LastError() +
                 ")");
        return;
    }
    FBuf.insert(FBuf.end(), Data, Data + Count);
}

void TCupsTarget::Flush() {
    if (FDone) throw EInOutError("Auftrag bereits beendet", EBADF, false, FDestName);
    if (FBuf.empty()) return;
    const http_status_t S = cupsWriteRequestData(FHttp, FBuf.data(), FBuf.size());
    FBuf.clear();
    if (S != HTTP_STATUS_CONTINUE) {
        // The destination may have answered already (it refuses the document): its answer
        // tells more than the broken connection.
        const ipp_status_t Answer = cupsFinishDestDocument(FHttp, FDest, FInfo);
        if (Answer == IPP_STATUS_ERROR_DOCUMENT_FORMAT_NOT_SUPPORTED ||
            Answer == IPP_STATUS_ERROR_DOCUMENT_UNPRINTABLE)
            Fail(StatusReason(Answer, FDestName));
        Fail("Verbindung zu " + FDestName + " während des Auftrags verloren (" + LastError() + ")");
    }
}

void TCupsTarget::Close() {
    Flush();
    const ipp_status_t S = cupsFinishDestDocument(FHttp, FDest, FInfo);
    if (S > IPP_STATUS_OK_CONFLICTING) Fail(StatusReason(S, FDestName));
    WatchJob();
    FDone = true;
}

// A job that the destination stops or aborts in its first moments (no filter for PostScript,
// a printer that refuses the document) is reported and cancelled instead of reported as sent.
void TCupsTarget::WatchJob() {
    const auto Until = Clock::now() + JobWatch;
    const char* PrinterUri =
        cupsGetOption("printer-uri-supported", FDest->num_options, FDest->options);
    if (!PrinterUri) PrinterUri = cupsGetOption("device-uri", FDest->num_options, FDest->options);
    if (!PrinterUri) return;
    for (;;) {
        ipp_t* Req = ippNewRequest(IPP_OP_GET_JOB_ATTRIBUTES);
        ippAddString(Req, IPP_TAG_OPERATION, IPP_TAG_URI, "printer-uri", nullptr, PrinterUri);
        ippAddInteger(Req, IPP_TAG_OPERATION, IPP_TAG_INTEGER, "job-id", FJobId);
        ippAddString(Req, IPP_TAG_OPERATION, IPP_TAG_NAME, "requesting-user-name", nullptr,
                     cupsUser());
        ipp_t* Resp = cupsDoRequest(FHttp, Req, FResource.empty() ? "/" : FResource.c_str());
        if (!Resp) return; // the job was accepted; its state is merely unknown
        int State = 0;
        std::string Message;
        if (ipp_attribute_t* A = ippFindAttribute(Resp, "job-state", IPP_TAG_ENUM))
            State = ippGetInteger(A, 0);
        if (ipp_attribute_t* A = ippFindAttribute(Resp, "job-printer-state-message", IPP_TAG_TEXT))
            Message = ippGetString(A, 0, nullptr) ? ippGetString(A, 0, nullptr) : "";
        if (Message.empty())
            if (ipp_attribute_t* A = ippFindAttribute(Resp, "job-state-message", IPP_TAG_TEXT))
                Message = ippGetString(A, 0, nullptr) ? ippGetString(A, 0, nullptr) : "";
        if (Message.empty())
            if (ipp_attribute_t* A = ippFindAttribute(Resp, "job-state-reasons", IPP_TAG_KEYWORD))
                Message = ippGetString(A, 0, nullptr) ? ippGetString(A, 0, nullptr) : "";
        ippDelete(Resp);
        if (State == IPP_JSTATE_STOPPED || State == IPP_JSTATE_ABORTED ||
            State == IPP_JSTATE_CANCELED || State == IPP_JSTATE_HELD) {
            Fail("Drucker " + FDestName + " hat den Auftrag nicht gedruckt" +
                 (Message.empty() ? std::string() : " (" + Message + ")"));
        }
        if (State == IPP_JSTATE_COMPLETED || State == IPP_JSTATE_PROCESSING ||
            Clock::now() >= Until)
            return;
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
}

std::vector<TCupsDest> ListCupsDests(int TimeoutMs, std::string& Error) {
    std::vector<TCupsDest> Result;
    Error.clear();
    int Errno = 0;
    http_t* Http = ConnectServer(TimeoutMs, Errno);
    if (!Http) {
        Error = ServerDownMessage(Errno);
        return Result;
    }
    httpSetTimeout(Http, TimeoutMs / 1000.0, GiveUpOnStall, nullptr);
    cups_dest_t* Dests = nullptr;
    const int N = cupsGetDests2(Http, &Dests);
    if (N == 0 && cupsLastError() > IPP_STATUS_OK_CONFLICTING &&
        cupsLastError() != IPP_STATUS_ERROR_NOT_FOUND)
        Error = ServerDownMessage();
    for (int I = 0; I < N; ++I) {
        const cups_dest_t& D = Dests[I];
        if (D.instance) continue;
        TCupsDest R;
        R.Name = D.name;
        // CUPS gives a queue made without a description its name as one.
        if (const char* Info = cupsGetOption("printer-info", D.num_options, D.options))
            if (R.Name != Info) R.Description = Info;
        R.State = StateText(cupsGetOption("printer-state", D.num_options, D.options));
        const char* Accepting =
            cupsGetOption("printer-is-accepting-jobs", D.num_options, D.options);
        R.Accepting = !Accepting || IsTrue(Accepting);
        R.IsDefault = D.is_default != 0;
        Result.push_back(R);
    }
    cupsFreeDests(N, Dests);
    httpClose(Http);
    return Result;
}

} // namespace zarvo
