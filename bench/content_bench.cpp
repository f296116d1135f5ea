// Times the page view's EPS drawings: the two ways of staying sharp at every zoom (a
// Ghostscript render per zoom step, or one vector PDF rasterised by Qt PDF at each step), the
// time from inserting an EPS to its drawing on screen, repaints over cached drawings, and the
// cache's memory after zooming through every step. Prints medians in milliseconds.
//
// content_bench GNUPLOT_1MB.eps IMAGE_5MB.eps GNUPLOT_100KB.eps (content_bench.sh makes them)
//
// content_bench --redraw GNUPLOT_100KB.eps COUNT PAINTS [IMAGE.png] renders the drawings of the
// benchmark's sheet of COUNT items, then only redraws it PAINTS times: for instruction counts
// under callgrind (--toggle-collect on TPageView::Paint) and, with an image file, for comparing
// the picture of two builds pixel by pixel.
#include "sheet/epsheader.h"
#include "sheet/sheet.h"
#include "view/epsrenderer.h"
#include "view/pageview.h"

#include <QElapsedTimer>
#include <QFileInfo>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QProcess>
#include <QTemporaryDir>
#ifdef ZARVO_BENCH_QTPDF
#include <QPdfDocument>
#endif

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <random>
#include <string>
#include <vector>

namespace {

using namespace zarvo;

double Median(std::vector<double> V) {
    std::sort(V.begin(), V.end());
    return V.empty() ? 0.0 : V[V.size() / 2];
}

double ThreadCpuMs() {
    timespec T{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &T);
    return T.tv_sec * 1.0e3 + T.tv_nsec / 1.0e6;
}

// An item for a file with its own box, as Insert makes it.
TEPSBox ItemOf(const std::string& File) {
    TEPSBox B({10.0, 10.0});
    B.Name = File;
    ReadEpsHeader(File, B.Kind, B.Size, B.Offset);
    return B;
}

TEpsRenderer::TOptions NoDiskCache() {
    TEpsRenderer::TOptions O = TEpsRenderer::DefaultOptions();
    O.DiskCacheDir.clear();
    return O;
}

// The box at the zoom steps from the whole page to 8 times, in a 1200 x 900 view: pixels per cm.
const double WholePagePixelsPerCm = 900.0 / 30.6;
const int Zooms[] = {64, 32, 16, 8};

void CompareWays(const std::string& File) {
    const TEPSBox Item = ItemOf(File);
    std::printf("\n%s (%.1f MB, box %.1f x %.1f cm)\n", File.c_str(),
                QFileInfo(QString::fromStdString(File)).size() / 1.0e6, Item.Size.X, Item.Size.Y);
    std::printf("%8s %10s | %16s %16s\n", "zoom", "pixels", "gs render ms", "Qt PDF raster ms");
    double PdfWrite = 0.0;
#ifdef ZARVO_BENCH_QTPDF
    QTemporaryDir Dir;
    const QString Pdf = Dir.filePath("content.pdf");
    {
        std::vector<double> T;
        for (int R = 0; R < 3; ++R) {
            QElapsedTimer C;
            C.start();
            QProcess::execute("gs",
                              {"-q", "-dSAFER", "-dBATCH", "-dNOPAUSE", "-sDEVICE=pdfwrite",
                               "-dEPSCrop", "-sOutputFile=" + Pdf, QString::fromStdString(File)});
            T.push_back(C.nsecsElapsed() / 1e6);
        }
        PdfWrite = Median(T);
    }
    QPdfDocument Doc;
    Doc.load(Pdf);
#endif
    double SumGs = 0.0, SumPdf = 0.0;
    for (int Zoom : Zooms) {
        const double PxPerCm = WholePagePixelsPerCm * 64 / Zoom;
        const int W = static_cast<int>(Item.Size.X * PxPerCm),
                  H = static_cast<int>(Item.Size.Y * PxPerCm);
        std::vector<double> Gs, Raster;
        for (int R = 0; R < 3; ++R) {
            TEpsRenderer Renderer(NoDiskCache());
            QElapsedTimer C;
            C.start();
            Renderer.Picture(Item, W, H);
            Renderer.WaitIdle(60000);
            Gs.push_back(C.nsecsElapsed() / 1e6);
#ifdef ZARVO_BENCH_QTPDF
            C.restart();
            const QImage I = Doc.render(0, QSize(W, H));
            Raster.push_back(I.isNull() ? -1.0 : C.nsecsElapsed() / 1e6);
#endif
        }
        SumGs += Median(Gs);
        SumPdf += Median(Raster);
        std::printf("%8d %5dx%-5d | %16.1f %16.1f\n", Zoom, W, H, Median(Gs), Median(Raster));
    }
    std::printf("%19s | %16.1f %16.1f  (PDF: once %.1f ms pdfwrite, included)\n", "all four steps",
                SumGs, SumPdf + PdfWrite, PdfWrite);
}

// Sheets of Count copies of one EPS at ten sizes, spread over an A4 page.
void FillSheet(TSheet& Sheet, const TEPSBox& Item, int Count) {
    std::mt19937 Rng(7);
    std::uniform_real_distribution<double> X(0.0, 16.0), Y(0.0, 24.0);
    Sheet.FItems.Clear();
    for (int I = 0; I < Count; ++I) {
        TEPSBox B = Item;
        const double F = 0.3 + 0.05 * (I % 10);
        B.Size = {Item.Size.X * F, Item.Size.Y * F};
        B.Origin = {X(Rng), Y(Rng)};
        Sheet.FItems.Add(B.Name, B);
    }
}

void Paint(TPageView& View, QImage& Image) {
    QPainter P(&Image);
    View.Paint(P);
}

// Paints, waits for every render, paints again.
void PaintSettled(TPageView& View, TEpsRenderer& R, QImage& Image) {
    Paint(View, Image);
    R.WaitIdle(600000);
    Paint(View, Image);
}

// A 1200 x 900 view of Count items of one file, with every drawing rendered and cached.
struct TCachedSheet {
    TSheet Sheet;
    TPageView View{Sheet};
    TEpsRenderer Renderer{NoDiskCache()};
    TCachedSheet(const TEPSBox& Item, int Count, QImage& Image) {
        FillSheet(Sheet, Item, Count);
        View.SetupPageMapping();
        View.FormResize(1200, 900);
        View.SetContentSource(&Renderer);
        PaintSettled(View, Renderer, Image);
    }
};

// Processor milliseconds of each of Paints full redraws.
std::vector<double> FullRedraws(TPageView& View, QImage& Image, int Paints) {
    std::vector<double> Full;
    for (int R = 0; R < Paints; ++R) {
        View.ForgetPicture();
        const double C0 = ThreadCpuMs();
        Paint(View, Image);
        Full.push_back(ThreadCpuMs() - C0);
    }
    return Full;
}

void Performance(const std::string& Small) {
    const TEPSBox Item = ItemOf(Small);
    QImage Image(1200, 900, QImage::Format_RGB32);
    std::printf("\n%s (%.0f KB), 1200 x 900 view\n", Small.c_str(),
                QFileInfo(QString::fromStdString(Small)).size() / 1e3);
    {
        std::vector<double> T;
        for (int R = 0; R < 5; ++R) {
            TSheet Sheet;
            TPageView View(Sheet);
            View.SetupPageMapping();
            View.FormResize(1200, 900);
            TEpsRenderer Renderer(NoDiskCache());
            View.SetContentSource(&Renderer);
            Paint(View, Image);
            QElapsedTimer C;
            C.start();
            TEPSBox B = Item;
            B.Origin = {3.0, 5.0};
            Sheet.FItems.Add(B.Name, B);
            PaintSettled(View, Renderer, Image);
            T.push_back(C.nsecsElapsed() / 1e6);
        }
        std::printf("insert to drawing on screen: %.1f ms (target under 300)\n", Median(T));
    }
    for (int Count : {100, 1000}) {
        TCachedSheet Cached(Item, Count, Image);
        TPageView& View = Cached.View;
        const std::vector<double> Full = FullRedraws(View, Image, 15);
        std::vector<double> Placing;
        View.FPlacement.PickUp(0);
        Paint(View, Image);
        for (int R = 0; R < 15; ++R) {
            View.FPlacement.Frame().X += 3;
            const double C0 = ThreadCpuMs();
            Paint(View, Image);
            Placing.push_back(ThreadCpuMs() - C0);
        }
        std::printf("%5d items, drawings cached: full redraw %.2f ms (target 16 at 1000), "
                    "placing repaint %.3f ms (target 2 at 100)\n",
                    Count, Median(Full), Median(Placing));
    }
    {
        TSheet Sheet;
        FillSheet(Sheet, Item, 100);
        TPageView View(Sheet);
        View.SetupPageMapping();
        View.FormResize(1200, 900);
        View.FHorzPos = View.FVertPos = 50;
        TEpsRenderer Renderer(NoDiskCache());
        View.SetContentSource(&Renderer);
        long long Peak = 0;
        QElapsedTimer C;
        C.start();
        for (int Zoom = 4096; Zoom >= 1; Zoom /= 2) {
            View.FZoom = Zoom;
            PaintSettled(View, Renderer, Image);
            Peak = std::max(Peak, Renderer.Cache().MemoryBytes());
        }
        std::printf("100 items, every zoom step 4096 .. 1: cache peak %.1f MB, now %.1f MB, "
                    "limit %.0f MB, %d pictures (%.1f s)\n",
                    Peak / 1048576.0, Renderer.Cache().MemoryBytes() / 1048576.0,
                    Renderer.Cache().MemoryLimit() / 1048576.0, Renderer.Cache().Count(),
                    C.elapsed() / 1000.0);
    }
}

int RedrawOnly(const std::string& File, int Count, int Paints, const char* ImageFile) {
    QImage Image(1200, 900, QImage::Format_RGB32);
    TCachedSheet Cached(ItemOf(File), Count, Image);
    const std::vector<double> Full = FullRedraws(Cached.View, Image, Paints);
    std::printf("%d items, drawings cached: full redraw %.2f ms (median of %d, least %.2f)\n",
                Count, Median(Full), Paints, *std::min_element(Full.begin(), Full.end()));
    if (ImageFile && !Image.save(QString::fromLocal8Bit(ImageFile))) {
        std::fprintf(stderr, "cannot write %s\n", ImageFile);
        return 1;
    }
    return 0;
}

} // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication App(argc, argv);
    if (argc >= 5 && std::string(argv[1]) == "--redraw" && TEpsRenderer::GhostscriptFound())
        return RedrawOnly(argv[2], std::atoi(argv[3]), std::max(1, std::atoi(argv[4])),
                          argc > 5 ? argv[5] : nullptr);
    if (argc < 4 || !TEpsRenderer::GhostscriptFound()) {
        std::fprintf(stderr, "content_bench GNUPLOT_1MB.eps IMAGE_5MB.eps GNUPLOT_100KB.eps "
                             "(needs Ghostscript)\n");
        return 1;
    }
    std::printf("Sharp at every zoom, two ways: a Ghostscript render of the box at each zoom "
                "step, or one PDF (gs pdfwrite) rasterised by Qt PDF at each step; median of 3.\n");
    CompareWays(argv[1]);
    CompareWays(argv[2]);
    Performance(argv[3]);
    return 0;
}
