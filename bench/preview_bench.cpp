// Times the page picture for sheets of 0 to 10,000 items at the whole-page view and at the
// largest zoom, and the empty page at every zoom; prints the median milliseconds per paint and
// the ratio to the empty page (to the whole-page view for the zoom sweep). Two kinds of paint:
// the full redraw after anything changed (sheet, zoom, scrolling, size), and the repaints while
// an item is placed, where only its frame moves over the kept picture of the sheet.
//
// preview_bench --paint COUNT ZOOM PAINTS [IMAGE.png] paints one sheet PAINTS times and nothing
// else, for instruction counts under callgrind (--toggle-collect on TPageView::Paint) and, with
// an image file, for comparing the picture of two builds pixel by pixel; --place COUNT ZOOM
// PAINTS does the same for the repaints while an item is placed.
#include "sheet/sheet.h"
#include "view/pageview.h"
#include "view/textmeasure.h"

#include <QElapsedTimer>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <random>
#include <string>
#include <vector>

namespace {

using namespace zarvo;

// Boxes of both kinds and texts in all four fonts, spread over an A4 page; the same sheet for
// the same count in every run.
void FillSheet(TSheet& Sheet, int Count, const TTextMeasure& Measure) {
    std::mt19937 Rng(12345);
    std::uniform_real_distribution<double> X(0.0, 18.0), Y(0.0, 27.0), Side(1.0, 6.0);
    Sheet.FItems.Clear();
    for (int I = 0; I < Count; ++I) {
        TEPSBox Item(Sheet.FBoxSize);
        Item.Origin = {X(Rng), Y(Rng)};
        switch (I % 3) {
        case 0:
            Item.Kind = KindBBox;
            Item.Name = "/home/user/grafik/abbildungen/bild" + std::to_string(I) + ".eps";
            Item.Size = {Side(Rng), Side(Rng)};
            break;
        case 1:
            Item.Kind = KindStdSize;
            Item.Name = "/tmp/b" + std::to_string(I) + ".eps";
            break;
        default:
            Item.Kind = KindText;
            Item.Name = "Text x^2_ Nr. " + std::to_string(I);
            Item.Font.FontType = static_cast<std::uint16_t>(I % 4);
            Item.Font.FontSize = static_cast<std::uint16_t>(8 + I % 30);
            Item.Font.FontStyle = static_cast<std::uint16_t>(I % 4);
            Item.Font.FontColor = static_cast<std::uint32_t>(I * 2654435761u) & 0xFFFFFF;
            Item.Size = Measure(Item.Name, Item.Font);
            break;
        }
        Sheet.FItems.Add(Item.Name, Item);
    }
}

// Milliseconds of one paint: the painting thread's processor time, which other processes on a
// shared machine do not inflate (the paint hands no work to other threads), and wall time.
struct TPaintTime {
    double Cpu = 0.0;
    double Wall = 0.0;
};

double ThreadCpuMs() {
    timespec T{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &T);
    return T.tv_sec * 1.0e3 + T.tv_nsec / 1.0e6;
}

// The medians of Runs paints; Full draws the picture from the sheet every time, otherwise the
// placement frame moves by a few pixels between paints.
TPaintTime MedianPaint(TPageView& View, QImage& Image, int Runs, bool Full) {
    std::vector<double> Cpu, Wall;
    for (int R = 0; R < Runs; ++R) {
        if (Full) View.ForgetPicture();
        View.FPlacement.Frame().X += 3;
        View.FPlacement.Frame().Y += 2;
        QElapsedTimer T;
        T.start();
        const double C0 = ThreadCpuMs();
        QPainter Painter(&Image);
        View.Paint(Painter);
        Painter.end();
        Cpu.push_back(ThreadCpuMs() - C0);
        Wall.push_back(T.nsecsElapsed() / 1.0e6);
    }
    std::sort(Cpu.begin(), Cpu.end());
    std::sort(Wall.begin(), Wall.end());
    return {Cpu[Cpu.size() / 2], Wall[Wall.size() / 2]};
}

// Sets a view up as every measurement does: 1 mm grid, scroll bars half way.
void SetupView(TPageView& View, int Zoom, const QImage& Image) {
    View.SetGridWidth(1);
    View.FZoom = Zoom;
    View.FHorzPos = 50;
    View.FVertPos = 50;
    View.SetupPageMapping();
    View.FormResize(Image.width(), Image.height());
}

// The repaints while the first item is placed: the frame moves over the kept picture.
int PlaceOnly(int Count, int Zoom, int Paints) {
    const TTextMeasure Measure = MakeTextMeasure();
    QImage Image(1200, 900, QImage::Format_RGB32);
    TSheet Sheet;
    FillSheet(Sheet, Count, Measure);
    TPageView View(Sheet);
    SetupView(View, Zoom, Image);
    if (Count > 0) View.FPlacement.PickUp(0);
    MedianPaint(View, Image, Paints, false);
    return 0;
}

int PaintOnly(int Count, int Zoom, int Paints, const char* ImageFile) {
    const TTextMeasure Measure = MakeTextMeasure();
    QImage Image(1200, 900, QImage::Format_RGB32);
    TSheet Sheet;
    FillSheet(Sheet, Count, Measure);
    TPageView View(Sheet);
    SetupView(View, Zoom, Image);
    {
        // The first paint loads fonts and fills glyph caches. It goes past Paint, so that an
        // instruction count collected inside Paint sees only the paints a user waits for.
        QPainter Painter(&Image);
        View.Canvas().Begin(&Painter);
        View.PaintPicture();
        View.Canvas().End();
    }
    for (int R = 0; R < Paints; ++R) {
        View.ForgetPicture();
        QPainter Painter(&Image);
        View.Paint(Painter);
    }
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
    if (argc >= 5 && std::string(argv[1]) == "--place")
        return PlaceOnly(std::atoi(argv[2]), std::atoi(argv[3]), std::max(1, std::atoi(argv[4])));
    if (argc >= 5 && std::string(argv[1]) == "--paint")
        return PaintOnly(std::atoi(argv[2]), std::atoi(argv[3]), std::max(1, std::atoi(argv[4])),
                         argc > 5 ? argv[5] : nullptr);
    const int Runs = argc > 1 ? std::max(3, std::atoi(argv[1])) : 15;
    const int Counts[] = {0, 100, 1000, 10000};
    struct TView {
        const char* Name;
        int Zoom;
    } Views[] = {{"whole page (zoom 64)", 64}, {"largest zoom (zoom 1)", 1}};

    const TTextMeasure Measure = MakeTextMeasure();
    QImage Image(1200, 900, QImage::Format_RGB32);
    std::printf("Page picture, 1200 x 900 pixels, A4 portrait, 1 mm grid, median of %d paints;\n"
                "ms/paint, ratio to the empty page and us per item in processor time of the\n"
                "painting thread. Full redraw: the picture drawn from the sheet (after a change\n"
                "of the sheet, zoom, scrolling or size). Placing: the repaints while the first\n"
                "item is being placed, its frame moving over the kept picture.\n",
                Runs);
    for (const TView& V : Views) {
        std::printf("\n%s\n%8s %12s %8s %10s %10s | %12s %8s %10s\n", V.Name, "items", "full ms",
                    "ratio", "us/item", "wall ms", "placing ms", "ratio", "wall ms");
        double EmptyFull = 0.0, EmptyPlacing = 0.0;
        for (int Count : Counts) {
            TSheet Sheet;
            FillSheet(Sheet, Count, Measure);
            TPageView View(Sheet);
            SetupView(View, V.Zoom, Image);
            MedianPaint(View, Image, 2, true); // warm the font caches
            const TPaintTime Full = MedianPaint(View, Image, Runs, true);
            if (Count > 0) {
                View.FPlacement.PickUp(0);
            }
            MedianPaint(View, Image, 1, true);
            const TPaintTime Placing = MedianPaint(View, Image, Runs, false);
            if (Count == 0) {
                EmptyFull = Full.Cpu;
                EmptyPlacing = Placing.Cpu;
            }
            const std::string PerItem =
                Count ? std::to_string((Full.Cpu - EmptyFull) * 1000.0 / Count).substr(0, 6) : "-";
            std::printf("%8d %12.3f %8.2f %10s %10.3f | %12.3f %8.2f %10.3f\n", Count, Full.Cpu,
                        Full.Cpu / EmptyFull, PerItem.c_str(), Full.Wall, Placing.Cpu,
                        Placing.Cpu / EmptyPlacing, Placing.Wall);
        }
    }

    // The empty page at every zoom: the scales and the dot lattice alone. The lattice walks
    // only the dots that land on the image, so no zoom may cost much more than another.
    std::printf("\nempty page, 1 mm grid, full redraw by zoom\n%8s %12s %10s %12s\n", "zoom",
                "ms/paint", "ratio", "wall ms");
    TSheet Empty;
    std::vector<std::pair<int, TPaintTime>> ByZoom;
    double Whole = 0.0;
    for (int Zoom = 1; Zoom <= 4096; Zoom *= 2) {
        TPageView View(Empty);
        SetupView(View, Zoom, Image);
        MedianPaint(View, Image, 2, true);
        const TPaintTime T = MedianPaint(View, Image, Runs, true);
        if (Zoom == ZoomWholePage) Whole = T.Cpu;
        ByZoom.emplace_back(Zoom, T);
    }
    for (const auto& [Zoom, T] : ByZoom)
        std::printf("%8d %12.3f %10.2f %12.3f\n", Zoom, T.Cpu, T.Cpu / Whole, T.Wall);
    return 0;
}
