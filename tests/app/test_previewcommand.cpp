// zarvo --preview: the program renders exactly the picture the page view paints, and refuses
// bad arguments with a message and without writing anything.
#include "sheet/sheetfile.h"
#include "testsupport.h"
#include "view/pageview.h"
#include "view/textmeasure.h"

#include <gtest/gtest.h>

#include <QImage>
#include <QPainter>

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
