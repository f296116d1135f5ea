// Printing through a real, private CUPS server to printers made by ippeveprinter: the bytes
// and attributes the printers receive, and every failure with its own message.
#include "output/cupstarget.h"
#include "output/printroute.h"
#include "privatecups.h"
#include "testsupport.h"

#include <gtest/gtest.h>

#include <cups/cups.h>

#include <chrono>
#include <cmath>
#include <csignal>
#include <thread>

#include <sys/stat.h>
#include <sys/sysmacros.h>

using namespace zarvo;
using zarvotest::TPrivateCups;

namespace {

using Clock = std::chrono::steady_clock;

double SecondsSince(Clock::time_point T) {
    return std::chrono::duration<double>(Clock::now() - T).count();
}

// An EPS that fills its bounding box, and optionally carries Pad bytes of drawing lines.
std::string FilledEps(long long Pad = 0) {
    std::string S = "%!PS-Adobe-3.0 EPSF-3.0\n%%BoundingBox: 0 0 100 50\n%%EndComments\n";
    const std::string Line = "0 0 moveto 1 1 lineto\n";
    std::string Block;
    for (int I = 0; I < 4096; ++I)
        Block += Line;
    for (long long N = 0; N < Pad; N += static_cast<long long>(Block.size()))
        S += Block;
    return S + "newpath 0 0 moveto 100 0 lineto 100 50 lineto 0 50 lineto closepath fill\n"
               "showpage\n%%EOF\n";
}

// The attribute of a job that the scheduler keeps.
std::string JobAttribute(const std::string& Queue, int JobId, const char* Name) {
    ipp_t* Req = ippNewRequest(IPP_OP_GET_JOB_ATTRIBUTES);
    char Uri[256];
    httpAssembleURIf(HTTP_URI_CODING_ALL, Uri, sizeof Uri, "ipp", nullptr, "localhost", 0,
                     "/printers/%s", Queue.c_str());
    ippAddString(Req, IPP_TAG_OPERATION, IPP_TAG_URI, "printer-uri", nullptr, Uri);
    ippAddInteger(Req, IPP_TAG_OPERATION, IPP_TAG_INTEGER, "job-id", JobId);
    // Only the job's owner sees its name.
    ippAddString(Req, IPP_TAG_OPERATION, IPP_TAG_NAME, "requesting-user-name", nullptr, cupsUser());
    ipp_t* Resp = cupsDoRequest(CUPS_HTTP_DEFAULT, Req, "/");
    std::string Value;
    if (Resp) {
        if (ipp_attribute_t* A = ippFindAttribute(Resp, Name, IPP_TAG_ZERO))
            if (const char* S = ippGetString(A, 0, nullptr)) Value = S;
        ippDelete(Resp);
    }
    return Value;
}

int SentJobId(const std::string& Sent) {
    const std::size_t Dash = Sent.rfind('-');
    return Dash == std::string::npos ? 0 : std::atoi(Sent.c_str() + Dash + 1);
}

void ClearSpool(const TPrivateCups& Cups, const std::string& Printer) {
    for (const std::string& F : zarvotest::ListDir(Cups.Spool(Printer)))
        ::unlink((Cups.Spool(Printer) + "/" + F).c_str());
}

class CupsTest : public ::testing::Test {
protected:
    void SetUp() override {
        if (!Cups.Ok()) GTEST_SKIP() << Cups.SkipReason();
        PsUri = Cups.AddPrinter("ps", "application/postscript");
        ASSERT_FALSE(PsUri.empty());
        // A queue without a driver passes the job on as it stands.
        ASSERT_TRUE(Cups.Admin({"lpadmin", "-p", "Office", "-E", "-v", PsUri, "-D", "Büro"}));
        ASSERT_TRUE(Cups.Admin({"lpadmin", "-d", "Office"}));
        zarvotest::WriteFile(Dir.File("box.eps"), FilledEps());
        Sheet.FSheetFile = Dir.File("blatt.zvs");
        Sheet.FItems.Add("box", zarvotest::MakeEpsItem(Dir.File("box.eps"), {3.0, 4.0}));
        Sheet.FItems.Add("t", zarvotest::MakeTextItem("Hallo", {5.0, 20.0}));
    }
    std::string FileJob(const TSheet& S) {
        std::string Out;
        const TPrintResult R = PrintSheetTo(S, "mem", MakeMemoryTarget(Out));
        EXPECT_TRUE(R.Ok) << R.Message;
        return Out;
    }
    // No printer device for the port: the port goes to the default destination.
    TPortRoute DefaultRoute() { return ResolvePort(3, "", Dir.File("nolp")); }

    TPrivateCups Cups;
    zarvotest::TTempDir Dir;
    TSheet Sheet;
    std::string PsUri;
};

} // namespace

TEST_F(CupsTest, APostScriptPrinterGetsTheBytesOfTheFileTargetByDefaultNameAndUri) {
    const TPortRoute Routes[] = {DefaultRoute(), ResolvePort(1, "Office"), ResolvePort(2, PsUri)};
    EXPECT_EQ(Routes[0].Kind, TRouteKind::CupsDefault);
    EXPECT_EQ(Routes[1].Kind, TRouteKind::CupsName);
    EXPECT_EQ(Routes[2].Kind, TRouteKind::CupsUri);
    for (bool Landscape : {false, true}) {
        Sheet.FLandscape = Landscape;
        const std::string Expected = FileJob(Sheet);
        for (const TPortRoute& Route : Routes) {
            ClearSpool(Cups, "ps");
            const TPrintResult R = PrintToPort(Sheet, 3, Route);
            ASSERT_TRUE(R.Ok) << R.Message;
            const std::string Doc = Cups.WaitForDocument("ps", ".ps");
            ASSERT_FALSE(Doc.empty()) << Route.Where;
            EXPECT_EQ(zarvotest::ReadFile(Doc), Expected) << Route.Where;
            // The printer names its file after the job: the sheet's name.
            EXPECT_NE(Doc.find("blatt"), std::string::npos) << Doc;
            const int Job = SentJobId(R.Sent);
            EXPECT_GT(Job, 0) << R.Sent;
            if (Route.Kind == TRouteKind::CupsUri) continue;
            EXPECT_EQ(R.Sent, "Druckauftrag Office-" + std::to_string(Job) + " gesendet");
            EXPECT_EQ(JobAttribute("Office", Job, "job-name"), "blatt.zvs");
            // A4 in both orientations: the job turns a landscape drawing itself.
            EXPECT_EQ(JobAttribute("Office", Job, "media"), "iso_a4_210x297mm");
        }
    }
    // An untitled sheet is "unbenannt" in the queue.
    Sheet.FSheetFile.clear();
    const TPrintResult R = PrintToPort(Sheet, 1, Routes[1]);
    ASSERT_TRUE(R.Ok) << R.Message;
    EXPECT_EQ(JobAttribute("Office", SentJobId(R.Sent), "job-name"), "unbenannt");
    EXPECT_EQ(Cups.UnfinishedJobs(), 0);
}

TEST_F(CupsTest, APdfOnlyPrinterGetsTheItemsWhereTheSheetPutsThem) {
    const std::string Uri = Cups.AddPrinter("pdf", "application/pdf");
    ASSERT_FALSE(Uri.empty());
    // An IPP Everywhere queue: CUPS converts the PostScript job for the printer.
    ASSERT_TRUE(Cups.Admin({"lpadmin", "-p", "PdfOnly", "-E", "-v", Uri, "-m", "everywhere"}));
    ASSERT_TRUE(Cups.WaitForDriver("PdfOnly")) << Cups.Log();
    Sheet.FItems.Delete(1); // the text's glyphs would widen the box by their font's design
    const TPrintResult R = PrintToPort(Sheet, 2, ResolvePort(2, "PdfOnly"));
    ASSERT_TRUE(R.Ok) << R.Message << Cups.Log();
    const std::string Doc = Cups.WaitForDocument("pdf", ".pdf", 60.0);
    ASSERT_FALSE(Doc.empty()) << Cups.Log();
    const auto Got = zarvotest::RenderBBox(Doc);
    ASSERT_EQ(Got.Pages.size(), 1u) << Got.Output;
    // The box: 100 x 50 points at 3 cm, 4 cm.
    const double X = 3.0 * 28.35, Y = 4.0 * 28.35, Mm = 2.835;
    EXPECT_NEAR(Got.Pages[0][0], X, Mm);
    EXPECT_NEAR(Got.Pages[0][1], Y, Mm);
    EXPECT_NEAR(Got.Pages[0][2], X + 100, Mm);
    EXPECT_NEAR(Got.Pages[0][3], Y + 50, Mm);
}

TEST_F(CupsTest, PausedRejectingMissingAndRefusingDestinationsSayWhyAndLeaveNoJob) {
    const std::string PdfUri = Cups.AddPrinter("pdf", "application/pdf");
    ASSERT_FALSE(PdfUri.empty());
    struct {
        std::vector<std::string> Before, After;
        TPortRoute Route;
        std::string Says;
    } Cases[] = {
        {{"cupsdisable", "Office"}, {"cupsenable", "Office"}, DefaultRoute(), "angehalten"},
        {{"cupsreject", "Office"},
         {"cupsaccept", "Office"},
         ResolvePort(1, "Office"),
         "nimmt keine Aufträge an"},
        {{}, {}, ResolvePort(1, "Nirgends"), "Drucker Nirgends nicht gefunden"},
        // A printer that takes PDF only, addressed without a queue that converts the job.
        {{}, {}, ResolvePort(1, PdfUri), "nimmt das PostScript-Dokument nicht an"},
    };
    for (const auto& C : Cases) {
        if (!C.Before.empty()) {
            ASSERT_TRUE(Cups.Admin(C.Before));
        }
        const auto Start = Clock::now();
        const TPrintResult R = PrintToPort(Sheet, 1, C.Route);
        EXPECT_LT(SecondsSince(Start), 5.0);
        EXPECT_FALSE(R.Ok);
        EXPECT_NE(R.Message.find("Fehler beim Schreiben nach LPT1"), std::string::npos)
            << R.Message;
        EXPECT_NE(R.Message.find(C.Says), std::string::npos) << R.Message;
        EXPECT_EQ(Cups.UnfinishedJobs(), 0) << R.Message;
        if (!C.After.empty()) {
            ASSERT_TRUE(Cups.Admin(C.After));
        }
    }
}

TEST(CupsServer, NoDestinationAndNoServerEachSayWhatToDo) {
    TPrivateCups Cups;
    if (!Cups.Ok()) GTEST_SKIP() << Cups.SkipReason();
    zarvotest::TTempDir Dir;
    TSheet Sheet;
    const TPortRoute Route = ResolvePort(3, "", Dir.File("nolp"));
    auto Start = Clock::now();
    TPrintResult R = PrintToPort(Sheet, 3, Route);
    EXPECT_LT(SecondsSince(Start), 5.0);
    EXPECT_FALSE(R.Ok);
    EXPECT_EQ(R.Message, PortMissingMessage(3));
    EXPECT_NE(R.Message.find("LPT3"), std::string::npos);
    EXPECT_NE(R.Message.find("[Ports]"), std::string::npos);
    EXPECT_NE(R.Message.find("Druckereinstellungen"), std::string::npos);

    Cups.StopServer();
    for (const TPortRoute& Down : {Route, ResolvePort(1, "Office")}) {
        Start = Clock::now();
        R = PrintToPort(Sheet, 1, Down);
        EXPECT_LT(SecondsSince(Start), 8.0);
        EXPECT_FALSE(R.Ok);
        EXPECT_NE(R.Message.find("CUPS-Druckserver " + Cups.Server() + " läuft nicht"),
                  std::string::npos)
            << R.Message;
    }
    // A port that would print to the default printer names the ways out as well.
    EXPECT_EQ(PrintToPort(Sheet, 1, Route).Message.rfind(PortMissingMessage(1), 0), 0u);
    std::string Error;
    EXPECT_TRUE(ListCupsDests(2000, Error).empty());
    EXPECT_NE(Error.find("läuft nicht"), std::string::npos) << Error;
}

TEST(CupsServer, AServerStoppedInTheMiddleOfALargeJobIsReported) {
    TPrivateCups Cups;
    if (!Cups.Ok()) GTEST_SKIP() << Cups.SkipReason();
    const std::string Uri = Cups.AddPrinter("ps", "application/postscript");
    ASSERT_TRUE(Cups.Admin({"lpadmin", "-p", "Office", "-E", "-v", Uri}));
    zarvotest::TTempDir Dir;
    zarvotest::WriteFile(Dir.File("big.eps"), FilledEps(150LL << 20));
    TSheet Sheet;
    Sheet.FItems.Add("big", zarvotest::MakeEpsItem(Dir.File("big.eps"), {1.0, 1.0}));
    // The server goes as soon as the job's document starts arriving (into a file named by
    // the job's number).
    std::thread Stopper([&] {
        const auto Until = Clock::now() + std::chrono::seconds(20);
        while (Clock::now() < Until) {
            for (const std::string& F : zarvotest::ListDir(Cups.Dir() + "/requests"))
                if (F[0] == '0') { // the document as it arrives
                    ::kill(Cups.ServerPid(), SIGKILL);
                    return;
                }
            std::this_thread::sleep_for(std::chrono::milliseconds(5));
        }
    });
    const auto Start = Clock::now();
    const TPrintResult R = PrintToPort(Sheet, 1, ResolvePort(1, "Office"));
    Stopper.join();
    EXPECT_LT(SecondsSince(Start), 30.0);
    EXPECT_FALSE(R.Ok);
    EXPECT_NE(R.Message.find("Verbindung zu Office"), std::string::npos) << R.Message;
}

TEST_F(CupsTest, TheDestinationListShowsStateDescriptionAndDefault) {
    ASSERT_TRUE(Cups.Admin({"lpadmin", "-p", "Keller", "-E", "-v", PsUri}));
    ASSERT_TRUE(Cups.Admin({"cupsdisable", "Keller"}));
    ASSERT_TRUE(Cups.Admin({"cupsreject", "Keller"}));
    std::string Error;
    const std::vector<TCupsDest> Dests = ListCupsDests(3000, Error);
    EXPECT_EQ(Error, "");
    ASSERT_EQ(Dests.size(), 2u);
    const TCupsDest& Keller = Dests[0].Name == "Keller" ? Dests[0] : Dests[1];
    const TCupsDest& Office = Dests[0].Name == "Office" ? Dests[0] : Dests[1];
    EXPECT_EQ(Office.Description, "Büro");
    EXPECT_TRUE(Office.IsDefault);
    EXPECT_TRUE(Office.Accepting);
    EXPECT_FALSE(Keller.IsDefault);
    EXPECT_EQ(Keller.State, "angehalten");
    EXPECT_FALSE(Keller.Accepting);
}

TEST(PortRoute, EachPortGoesWhereItsEntryOrItsDeviceOrTheDefaultSays) {
    zarvotest::TTempDir Dir;
    EXPECT_EQ(ResolvePort(1, "|lp").Kind, TRouteKind::Command);
    EXPECT_EQ(ResolvePort(1, "IPPS://drucker/ipp/print").Kind, TRouteKind::CupsUri);
    EXPECT_EQ(ResolvePort(1, "/dev/usb/lp0").Kind, TRouteKind::Path);
    EXPECT_EQ(ResolvePort(1, "./job.ps").Kind, TRouteKind::Path);
    // Entries of older settings name files in the working folder and keep doing so: a word
    // with an extension.
    EXPECT_EQ(ResolvePort(1, "auftrag.ps").Kind, TRouteKind::Path);
    EXPECT_EQ(ResolvePort(1, "ZVS.PS").Kind, TRouteKind::Path);
    EXPECT_EQ(ResolvePort(1, "HP-LaserJet_4").Kind, TRouteKind::CupsName);
    const TPortRoute Named = ResolvePort(1, "Office");
    EXPECT_EQ(Named.Kind, TRouteKind::CupsName);
    EXPECT_EQ(PortStatusText(1, Named, ""), "Ausgabe nach LPT1 (Office)");
    // No entry: a character device for the port is used, a plain file of its name is not.
    const std::string Prefix = Dir.File("lp");
    zarvotest::WriteFile(PortDevice(2, Prefix), "");
    EXPECT_EQ(ResolvePort(2, "", Prefix).Kind, TRouteKind::CupsDefault);
    if (::mknod(PortDevice(3, Prefix).c_str(), S_IFCHR | 0600, makedev(1, 3)) == 0) {
        const TPortRoute Device = ResolvePort(3, "", Prefix);
        EXPECT_EQ(Device.Kind, TRouteKind::Path);
        EXPECT_EQ(Device.Where, PortDevice(3, Prefix));
        EXPECT_EQ(PortStatusText(3, Device, "Office"), "Ausgabe nach LPT3");
    }
    const TPortRoute Default = ResolvePort(4, "", Prefix);
    EXPECT_EQ(PortStatusText(4, Default, ""), "Ausgabe nach LPT4");
    EXPECT_EQ(PortStatusText(4, Default, "Office"), "Ausgabe nach LPT4 (Office)");
    EXPECT_EQ(PaperMediaKeyword(21.0, 29.6), "iso_a4_210x297mm");
    EXPECT_EQ(PaperMediaKeyword(29.7, 21.0), "iso_a4_210x297mm");
    EXPECT_EQ(PaperMediaKeyword(21.59, 27.94), "na_letter_8.5x11in");
}
