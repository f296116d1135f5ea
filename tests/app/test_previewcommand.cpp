// zarvo --preview: the program renders exactly the picture the page view paints, and refuses
// bad arguments with a message and without writing anything.
#include "sheet/sheetfile.h"
#include "testsupport.h"
#include "view/pageview.h"
#include "view/textmeasure.h"

#include <gtest/gtest.h>

#include <QImage>
#include <QPainter>
#include <QStandardPaths>

#include <cstdlib>

namespace {

using namespace zarvo;

const char SheetText[] =
    "[Global]\r\nCount=3\r\nLandscape=1\r\nPaperHeight=29.6\r\nPaperWidth=21.0\r\n"
    "[Frame01]\r\nName=/daten/grafik/kurve.eps\r\nBBox=1\r\nXOrigin=2.0\r\nYOrigin=3.5\r\n"
    "XSize=12.3\r\nYSize=8.8\r\n"
    "[Frame02]\r\nName=E = mc^2\r\nBBox=2\r\nXOrigin=4.0\r\nYOrigin=16.0\r\nFontType=2\r\n"
    "FontSize=30\r\nFontStyle=1\r\nFontColor=32768\r\n"
    "[Frame03]\r\nName=/daten/ohne.eps\r\nBBox=0\r\nXOrigin=18.0\r\nYOrigin=6.0\r\n";

QImage Expected(const std::string& File, int W, int H, int Zoom, int HPos, int VPos) {
    TSheet Sheet;
    EXPECT_TRUE(LoadSheet(Sheet, File, MakeTextMeasure()).Succeeded());
    TPageView View(Sheet);
    View.FZoom = Zoom;
    View.FHorzPos = HPos;
    View.FVertPos = VPos;
    View.SetupPageMapping();
    View.FormResize(W, H);
    QImage Image(W, H, QImage::Format_RGB32);
    QPainter Painter(&Image);
    View.Paint(Painter);
    return Image;
}

TEST(PreviewCommand, RendersThePagePictureAsThePreviewPaintsIt) {
    zarvotest::TTempDir Dir;
    const std::string Sheet = Dir.File("blatt.zvs"), Out = Dir.File("blatt.png");
    zarvotest::WriteFile(Sheet, SheetText);

    auto R = zarvotest::RunProgram({ZARVO_PROGRAM, "--preview", Sheet, "-o", Out});
    ASSERT_EQ(R.Status, 0) << R.Err;
    QImage Image(QString::fromStdString(Out));
    ASSERT_EQ(Image.width(), 800);
    ASSERT_EQ(Image.height(), 600);
    EXPECT_TRUE(Image.convertToFormat(QImage::Format_RGB32) ==
                Expected(Sheet, 800, 600, 64, 0, 15));

    R = zarvotest::RunProgram({ZARVO_PROGRAM, "--preview", Sheet, "--size", "640x480", "--zoom",
                               "8", "--scroll", "30,70", "-o", Out});
    ASSERT_EQ(R.Status, 0) << R.Err;
    Image = QImage(QString::fromStdString(Out));
    ASSERT_EQ(Image.width(), 640);
    EXPECT_TRUE(Image.convertToFormat(QImage::Format_RGB32) ==
                Expected(Sheet, 640, 480, 8, 30, 70));

    // The format the name promises, and no warning about the session's runtime folder.
    const std::string Jpeg = Dir.File("blatt.jpg");
    R = zarvotest::RunProgram(
        {"env", "-u", "XDG_RUNTIME_DIR", ZARVO_PROGRAM, "--preview", Sheet, "-o", Jpeg});
    ASSERT_EQ(R.Status, 0) << R.Err;
    EXPECT_EQ(R.Err, "");
    EXPECT_EQ(zarvotest::ReadFile(Jpeg).substr(0, 3), "\xFF\xD8\xFF");
}

// Blue (or, with Green, green) rectangles of an EPS in its own points, with a bounding box.
std::string FilledEps(const std::string& BBox, const std::string& Blue,
                      const std::string& Green = std::string()) {
    std::string S = "%!PS-Adobe-3.0 EPSF-3.0\n%%BoundingBox: " + BBox + "\n";
    S += "0 0 1 setrgbcolor " + Blue + " rectfill\n";
    if (!Green.empty()) S += "0 1 0 setrgbcolor " + Green + " rectfill\n";
    return S + "showpage\n";
}

// The pixel rectangle (left, top, right, bottom, exclusive) of the pixels for which Pred holds.
template <class TPred> QRect PixelsWhere(const QImage& Image, TPred Pred) {
    int L = Image.width(), T = Image.height(), R = -1, B = -1;
    for (int Y = 0; Y < Image.height(); ++Y)
        for (int X = 0; X < Image.width(); ++X)
            if (Pred(Image.pixel(X, Y))) {
                L = std::min(L, X);
                R = std::max(R, X);
                T = std::min(T, Y);
                B = std::max(B, Y);
            }
    return R < 0 ? QRect() : QRect(QPoint(L, T), QPoint(R, B));
}

bool IsContentBlue(QRgb C) {
    return qBlue(C) > 200 && qRed(C) < 128 && qGreen(C) < 128;
}
bool IsContentGreen(QRgb C) {
    return qGreen(C) > 200 && qRed(C) < 128 && qBlue(C) < 128;
}

// Where the print job puts the blue pixels, in page centimetres (left, bottom, right, top):
// the job rendered by Ghostscript at PixelsPerCm on the sheet's paper, edges smoothed as on the
// screen (a printer's fill takes every pixel it touches, which moves the edges by a pixel).
std::vector<double> JobBlueBox(const zarvotest::TTempDir& Dir, const std::string& Sheet,
                               bool Landscape, double PixelsPerCm) {
    const double Dpi = PixelsPerCm * 72.0 / PtPerCm;
    const std::string Job = Dir.File("job.ps"), Png = Dir.File("job.png");
    const auto P = zarvotest::RunProgram({ZARVO_PROGRAM, "--print", Sheet, "-o", Job});
    EXPECT_EQ(P.Status, 0) << P.Err;
    const auto G = zarvotest::RunProgram(
        {"gs", "-q", "-dSAFER", "-dBATCH", "-dNOPAUSE", "-sDEVICE=png16m", "-dGraphicsAlphaBits=4",
         "-r" + std::to_string(Dpi), "-dDEVICEWIDTHPOINTS=595.35", "-dDEVICEHEIGHTPOINTS=839.16",
         "-dFIXEDMEDIA", "-sOutputFile=" + Png, Job});
    EXPECT_EQ(G.Status, 0) << G.Out << G.Err;
    const QImage Image(QString::fromStdString(Png));
    const QRect R = PixelsWhere(Image, IsContentBlue);
    EXPECT_FALSE(R.isNull());
    const double CmPerPixel = 1.0 / PixelsPerCm;
    // Paper centimetres, portrait, y up; the device's top edge is the paper's (its height is
    // rounded to whole pixels at the bottom).
    const double L = R.left() * CmPerPixel, Ri = (R.right() + 1) * CmPerPixel;
    const double B = 29.6 - (R.bottom() + 1) * CmPerPixel;
    const double T = 29.6 - R.top() * CmPerPixel;
    if (!Landscape) return {L, B, Ri, T};
    // The job turns the landscape page onto the paper: page (x, y) is paper (21 - y, x).
    return {B, 21.0 - Ri, T, 21.0 - L};
}

struct TContentCase {
    const char* Name;
    bool Landscape;
    int Zoom, HPos, VPos;
    std::string Eps;   // the file
    std::string Frame; // the item's sheet keys
};

// The drawing of each EPS lands where the job prints it, within a pixel, at the whole page and
// zoomed in, in both orientations, with the stored box offset from the file's origin and with
// a stored box that cuts part of the file's drawing away.
TEST(PreviewCommand, EpsContentLandsWhereTheJobPrintsIt) {
    if (QStandardPaths::findExecutable("gs").isEmpty()) GTEST_SKIP() << "no Ghostscript";
    zarvotest::TTempDir Dir;
    setenv("XDG_CACHE_HOME", Dir.File("cache").c_str(), 1);
    const std::string Eps = Dir.File("inhalt.eps");
    const std::string Plain = FilledEps("0 0 60 40", "0 0 60 40");
    const std::string Offset = FilledEps("120 200 260 330", "120 200 140 130");
    // Box 0 0 200 200 in the file, 50 50 150 150 stored: the green part lies outside.
    const std::string Cut = FilledEps("0 0 200 200", "60 70 60 50", "160 160 30 30");
    const std::string PlainFrame = "XSize=2.1164\r\nYSize=1.4109\r\n";
    const std::string OffsetFrame =
        "XOffset=4.2328\r\nYOffset=7.0547\r\nXSize=4.9383\r\nYSize=4.5855\r\n";
    const std::string CutFrame =
        "XOffset=1.7637\r\nYOffset=1.7637\r\nXSize=3.5273\r\nYSize=3.5273\r\n";
    // Positions off the millimetre grid, which the job rounds to whole millimetres. Zoomed in,
    // the view shows the page's lower-left part.
    const std::vector<TContentCase> Cases = {
        {"portrait, whole page", false, 64, 0, 15, Plain,
         "XOrigin=5.03\r\nYOrigin=12.27\r\n" + PlainFrame},
        {"portrait, 8 times", false, 8, 0, 100, Plain,
         "XOrigin=1.07\r\nYOrigin=0.54\r\n" + PlainFrame},
        {"landscape, whole page", true, 64, 0, 15, Plain,
         "XOrigin=20.46\r\nYOrigin=3.33\r\n" + PlainFrame},
        {"landscape, 4 times", true, 16, 0, 100, Plain,
         "XOrigin=2.24\r\nYOrigin=1.56\r\n" + PlainFrame},
        {"box offset, twice", true, 32, 0, 100, Offset,
         "XOrigin=3.37\r\nYOrigin=2.04\r\n" + OffsetFrame},
        {"box offset, whole page", false, 64, 0, 15, Offset,
         "XOrigin=13.37\r\nYOrigin=20.04\r\n" + OffsetFrame},
        {"stored box cuts the drawing", false, 32, 0, 100, Cut,
         "XOrigin=4.26\r\nYOrigin=4.61\r\n" + CutFrame},
        {"stored box cuts, whole page", true, 64, 0, 15, Cut,
         "XOrigin=8.26\r\nYOrigin=4.61\r\n" + CutFrame},
    };
    for (const TContentCase& C : Cases) {
        zarvotest::WriteFile(Eps, C.Eps);
        const std::string Sheet = Dir.File("blatt.zvs"), Out = Dir.File("blatt.png");
        zarvotest::WriteFile(Sheet, std::string("[Global]\r\nCount=1\r\nLandscape=") +
                                        (C.Landscape ? "1" : "0") +
                                        "\r\nPaperHeight=29.6\r\nPaperWidth=21.0\r\n"
                                        "[Frame01]\r\nName=" +
                                        Eps + "\r\nBBox=1\r\n" + C.Frame);
        const auto R =
            zarvotest::RunProgram({ZARVO_PROGRAM, "--preview", Sheet, "-o", Out, "--eps-content",
                                   "--zoom", std::to_string(C.Zoom), "--scroll",
                                   std::to_string(C.HPos) + "," + std::to_string(C.VPos)});
        ASSERT_EQ(R.Status, 0) << C.Name << R.Err;
        const QImage Image(QString::fromStdString(Out));
        const QRect Got = PixelsWhere(Image, IsContentBlue);
        ASSERT_FALSE(Got.isNull()) << C.Name << ": no drawing";
        EXPECT_TRUE(PixelsWhere(Image, IsContentGreen).isNull())
            << C.Name << ": the part outside the stored box shows";

        TSheet Loaded;
        ASSERT_TRUE(LoadSheet(Loaded, Sheet, MakeTextMeasure()).Succeeded());
        TPageView View(Loaded);
        View.FZoom = C.Zoom;
        View.FHorzPos = C.HPos;
        View.FVertPos = C.VPos;
        View.SetupPageMapping();
        View.FormResize(800, 600);
        // Page centimetres to pixels without the view's rounding to tenths of a millimetre
        // (at 8 times that alone is more than a pixel).
        TLogicalPoint Probe;
        View.WorldToPixel(0, 0, Probe);
        const TViewMapping& M = View.Plot().Mapping();
        const TPlotPoint O = View.Plot().PlotOrigin();
        auto PX = [&](double X) { return M.ToDeviceX((X + O.X) * 100); };
        auto PY = [&](double Y) { return M.ToDeviceY((Y + O.Y) * 100); };
        // The job at the scale of the view.
        const std::vector<double> Job = JobBlueBox(Dir, Sheet, C.Landscape, M.ScaleX() * 100);
        EXPECT_NEAR(Got.left(), PX(Job[0]), 1) << C.Name;
        EXPECT_NEAR(Got.right() + 1, PX(Job[2]), 1) << C.Name;
        EXPECT_NEAR(Got.top(), PY(Job[3]), 1) << C.Name;
        EXPECT_NEAR(Got.bottom() + 1, PY(Job[1]), 1) << C.Name;
    }
    unsetenv("XDG_CACHE_HOME");
}

TEST(PreviewCommand, BadArgumentsGiveAMessageAndNoImage) {
    zarvotest::TTempDir Dir;
    const std::string Sheet = Dir.File("blatt.zvs"), Out = Dir.File("out.png");
    zarvotest::WriteFile(Sheet, SheetText);
    const std::vector<std::vector<std::string>> Cases = {
        {"--preview", Sheet},
        {"--preview", "-o", Out},
        {"--preview", Sheet, "-o"},
        {"--preview", Sheet, "-o", Out, "--size", "40x600"},
        {"--preview", Sheet, "-o", Out, "--size", "800x40"},
        {"--preview", Sheet, "-o", Out, "--size", "10001x600"},
        {"--preview", Sheet, "-o", Out, "--size", "600x10001"},
        {"--preview", Sheet, "-o", Out, "--size", "-800x600"},
        {"--preview", Sheet, "-o", Out, "--zoom", "3"},
        {"--preview", Sheet, "-o", Out, "--zoom", "0"},
        {"--preview", Sheet, "-o", Out, "--zoom", "8192"},
        {"--preview", Sheet, "-o", Out, "--scroll", "101,0"},
        {"--preview", Sheet, "-o", Out, "--scroll", "0,101"},
        {"--preview", Sheet, Sheet, "-o", Out},
        {"--preview", Dir.File("fehlt.zvs"), "-o", Out},
        {"--preview", Sheet, "-o", Dir.File("out.xyz")},
    };
    for (const auto& Args : Cases) {
        std::vector<std::string> Full = {ZARVO_PROGRAM};
        Full.insert(Full.end(), Args.begin(), Args.end());
        const auto R = zarvotest::RunProgram(Full);
        std::string Line;
        for (const auto& A : Args)
            Line += A + " ";
        EXPECT_EQ(R.Status, 1) << Line;
        EXPECT_FALSE(R.Err.empty()) << Line;
        EXPECT_FALSE(zarvotest::FileExists(Out)) << Line;
    }
    // Each message names the fault it is about.
    const std::vector<std::pair<std::vector<std::string>, std::string>> Told = {
        {{"--scroll", "50"}, "Ungültige Bildlaufposition: 50 (erwartet X,Y, zum Beispiel 0,15)\n"},
        {{"--zoom", "3"},
         "Ungültiger Zoom: 3 (erlaubt sind die Zweierpotenzen 1 bis 4096: 1, 2, "
         "4, ... 4096)\n"},
        {{"--output", "x.ps"}, "Unbekannte Option: --output\n"},
        {{"-o", Dir.File("bild.xyz")}, "Unbekanntes Bildformat: " + Dir.File("bild.xyz")},
    };
    for (const auto& [Args, Message] : Told) {
        std::vector<std::string> Full = {ZARVO_PROGRAM, "--preview", Sheet, "-o", Out};
        Full.insert(Full.end(), Args.begin(), Args.end());
        const auto R = zarvotest::RunProgram(Full);
        EXPECT_EQ(R.Status, 1) << Message;
        EXPECT_EQ(R.Err.substr(0, Message.size()), Message);
        EXPECT_FALSE(zarvotest::FileExists(Out)) << Message;
    }
    const auto R =
        zarvotest::RunProgram({ZARVO_PROGRAM, "--preview", Sheet, "-o", Dir.File("nix/out.png")});
    EXPECT_EQ(R.Status, 1);
    EXPECT_NE(R.Err.find("Fehler beim Schreiben nach"), std::string::npos) << R.Err;

    // The limits themselves are allowed.
    const auto Edge = zarvotest::RunProgram({ZARVO_PROGRAM, "--preview", Sheet, "-o", Out, "--size",
                                             "10000x50", "--zoom", "4096", "--scroll", "100,100"});
    EXPECT_EQ(Edge.Status, 0) << Edge.Err;
    EXPECT_TRUE(zarvotest::FileExists(Out));

    const auto Help = zarvotest::RunProgram({ZARVO_PROGRAM, "--help"});
    EXPECT_NE(Help.Out.find("--preview"), std::string::npos);
    EXPECT_NE(Help.Out.find("eine Zweierpotenz 1 bis\n"), std::string::npos) << Help.Out;
}

} // namespace
