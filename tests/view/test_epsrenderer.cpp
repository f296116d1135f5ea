// The background renders of EPS drawings: hostile and broken files end in a mark and one line,
// touch nothing on disk and leave no process behind; the picture cache stays within its bound.
#include "plot/imageruns.h"
#include "testsupport.h"
#include "view/contentcache.h"
#include "view/epsrenderer.h"
#include "view/gsinvocation.h"

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QDateTime>
#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>

#include <cstdio>
#include <dirent.h>
#include <fstream>
#include <map>
#include <unistd.h>

namespace {

using namespace zarvo;

// Processes whose parent is this test.
int ChildProcesses() {
    int N = 0;
    DIR* D = opendir("/proc");
    if (!D) return -1;
    while (dirent* E = readdir(D)) {
        if (E->d_name[0] < '0' || E->d_name[0] > '9') continue;
        std::ifstream Stat(std::string("/proc/") + E->d_name + "/stat");
        std::string Line;
        std::getline(Stat, Line);
        const auto Close = Line.rfind(')');
        if (Close == std::string::npos) continue;
        char State = 0;
        int Parent = 0;
        if (std::sscanf(Line.c_str() + Close + 1, " %c %d", &State, &Parent) == 2 &&
            Parent == getpid())
            ++N;
    }
    closedir(D);
    return N;
}

std::string Eps(const std::string& Body) {
    return "%!PS-Adobe-3.0 EPSF-3.0\n%%BoundingBox: 0 0 100 100\n" + Body + "\nshowpage\n";
}

TEPSBox Item(const std::string& Path) {
    TEPSBox B({100 / PtPerCm, 100 / PtPerCm});
    B.Kind = KindBBox;
    B.Name = Path;
    return B;
}

// Every entry of a folder with its size and contents.
std::map<std::string, std::string> Snapshot(const std::string& Dir) {
    std::map<std::string, std::string> M;
    for (const auto& Name : zarvotest::ListDir(Dir))
        M[Name] = zarvotest::ReadFile(Dir + "/" + Name);
    return M;
}

// Private folders of renders still in the temporary folder.
int GsTempDirs() {
    return static_cast<int>(
        QDir(QDir::tempPath())
            .entryList({QStringLiteral("zarvo-gs-*")}, QDir::Dirs | QDir::NoDotAndDotDot)
            .size());
}

struct THostile {
    const char* Name;
    std::string Body;
    const char* Why; // part of the line the frame's tooltip shows
};

TEST(EpsRenderer, HostileAndBrokenFilesEndInAMarkAndTouchNothing) {
    if (!TEpsRenderer::GhostscriptFound()) GTEST_SKIP() << "no Ghostscript";
    zarvotest::TTempDir Dir;
    // The renders' temporary folders are counted in a temporary folder of this test's own, so
    // that tests running beside it do not count.
    const QByteArray TmpBefore = qgetenv("TMPDIR");
    const std::string OwnTmp = Dir.File("tmp");
    QDir().mkpath(QString::fromStdString(OwnTmp));
    qputenv("TMPDIR", QByteArray::fromStdString(OwnTmp));
    const std::string Victims = Dir.File("opfer");
    QDir().mkpath(QString::fromStdString(Victims));
    zarvotest::WriteFile(Victims + "/bleibt.txt", "unverändert\n");
    const std::string V = Victims + "/bleibt.txt";
    const std::string Tmp =
        QDir::tempPath().toStdString() + "/zarvo-opfer-" + std::to_string(getpid());
    zarvotest::WriteFile(Tmp, "auch unverändert\n");
    const std::vector<THostile> Cases = {
        {"endless loop", Eps("{ 1 pop } loop"), "abgebrochen nach 3 s"},
        // Out of memory at the limit, or out of time first on a busy machine.
        {"huge allocation", Eps("[ 0 1 100000000 { pop 10000000 array } for ]"), ""},
        // Refused by Ghostscript, or (inside bubblewrap) the file is not even there.
        {"delete", Eps("(" + V + ") deletefile"), "Ghostscript: /"},
        {"rename", Eps("(" + V + ") (" + Victims + "/neu.txt) renamefile"), "Ghostscript: /"},
        {"write", Eps("(" + Victims + "/neu.txt) (w) file (x) writestring"),
         "Ghostscript: /invalidfileaccess"},
        {"overwrite", Eps("(" + V + ") (w) file (x) writestring"),
         "Ghostscript: /invalidfileaccess"},
        {"temporary folder", Eps("(" + Tmp + ") deletefile"), "Ghostscript: /"},
        {"syntax error", Eps("0 0 moveto foo"), "Ghostscript: /undefined in foo"},
        {"vanishes", Eps("0 0 moveto"), "Datei nicht gefunden"},
    };
    const auto Before = Snapshot(Victims);
    TEpsRenderer::TOptions O = TEpsRenderer::DefaultOptions();
    O.DiskCacheDir.clear();
    O.TimeoutMs = 3000;
    TEpsRenderer Renderer(O);
    std::vector<std::string> Files;
    for (std::size_t I = 0; I < Cases.size(); ++I) {
        Files.push_back(Dir.File("boese" + std::to_string(I) + ".eps"));
        zarvotest::WriteFile(Files.back(), Cases[I].Body);
    }
    // Asked for all at once, as a paint does; asking never waits.
    QElapsedTimer Clock;
    Clock.start();
    for (const auto& F : Files)
        EXPECT_FALSE(Renderer.Picture(Item(F), 50, 50).Image);
    EXPECT_LT(Clock.elapsed(), 500);
    ::unlink(Files.back().c_str());
    ASSERT_TRUE(Renderer.WaitIdle(120000));
    for (std::size_t I = 0; I < Cases.size(); ++I) {
        const TContentPicture P = Renderer.Picture(Item(Files[I]), 50, 50);
        EXPECT_FALSE(P.Image) << Cases[I].Name;
        if (I + 1 == Cases.size()) {
            EXPECT_EQ(P.Failure, "Datei nicht gefunden");
        } else if (!*Cases[I].Why) {
            EXPECT_TRUE(P.Failure.find("Ghostscript: /VMerror") == 0 ||
                        P.Failure == "abgebrochen nach 3 s")
                << P.Failure;
        } else {
            EXPECT_NE(P.Failure.find(Cases[I].Why), std::string::npos)
                << Cases[I].Name << ": " << P.Failure;
            EXPECT_EQ(P.Failure.find('\n'), std::string::npos) << Cases[I].Name;
        }
    }
    EXPECT_EQ(Renderer.RunningCount(), 0);
    EXPECT_EQ(Renderer.QueuedCount(), 0);
    EXPECT_TRUE(Snapshot(Victims) == Before);
    EXPECT_EQ(zarvotest::ReadFile(Tmp), "auch unverändert\n");
    ::unlink(Tmp.c_str());
    EXPECT_EQ(ChildProcesses(), 0);
    EXPECT_EQ(GsTempDirs(), 0);
    if (TmpBefore.isNull())
        qunsetenv("TMPDIR");
    else
        qputenv("TMPDIR", TmpBefore);
}

TEST(EpsRenderer, RendersInTheBackgroundAndCancelsWhatIsNoLongerShown) {
    if (!TEpsRenderer::GhostscriptFound()) GTEST_SKIP() << "no Ghostscript";
    zarvotest::TTempDir Dir;
    const std::string Good = Dir.File("gut.eps"), Slow = Dir.File("langsam.eps");
    zarvotest::WriteFile(Good, Eps("0 0 1 setrgbcolor 25 25 50 50 rectfill"));
    zarvotest::WriteFile(Slow, Eps("{ 1 pop } loop"));
    TEpsRenderer::TOptions O = TEpsRenderer::DefaultOptions();
    O.DiskCacheDir = QString::fromStdString(Dir.File("cache"));
    TEpsRenderer Renderer(O);
    int Ready = 0;
    Renderer.SetOnReady([&] { ++Ready; });
    EXPECT_FALSE(Renderer.Picture(Item(Good), 40, 40).Image);
    EXPECT_FALSE(Renderer.Picture(Item(Slow), 40, 40).Image);
    Renderer.EndPaint();
    // The good one arrives while the slow one still runs; the next paint no longer shows
    // the slow one, and it stops.
    QElapsedTimer Clock;
    Clock.start();
    while (!Renderer.Picture(Item(Good), 40, 40).Image && Clock.elapsed() < 15000)
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 50);
    const TContentPicture P = Renderer.Picture(Item(Good), 40, 40);
    Renderer.EndPaint();
    ASSERT_TRUE(P.Image);
    EXPECT_GE(Ready, 1);
    EXPECT_EQ(P.Image->size(), QSize(40, 40));
    // Transparent where the file paints nothing, blue where it does.
    EXPECT_EQ(qAlpha(P.Image->pixel(5, 5)), 0);
    EXPECT_EQ(P.Image->pixel(20, 20), qRgb(0, 0, 255));
    EXPECT_EQ(Renderer.RunningCount(), 0);
    EXPECT_EQ(ChildProcesses(), 0);
    // The same picture again comes from the cache; a new modification time renders afresh.
    EXPECT_EQ(Renderer.Picture(Item(Good), 40, 40).Image, P.Image);
    Renderer.EndPaint(); // the next paint looks at the file again
    zarvotest::WriteFile(Good, Eps("1 0 0 setrgbcolor 25 25 50 50 rectfill"));
    QFile(QString::fromStdString(Good))
        .setFileTime(QDateTime::currentDateTime().addSecs(5), QFileDevice::FileModificationTime);
    EXPECT_FALSE(Renderer.Picture(Item(Good), 40, 40).Image);
    ASSERT_TRUE(Renderer.WaitIdle(15000));
    const TContentPicture Red = Renderer.Picture(Item(Good), 40, 40);
    ASSERT_TRUE(Red.Image);
    EXPECT_EQ(Red.Image->pixel(20, 20), qRgb(255, 0, 0));
    // A second renderer (the next run of the program) finds it on disk without rendering.
    TEpsRenderer Next(O);
    EXPECT_TRUE(Next.Picture(Item(Good), 40, 40).Image);
    EXPECT_EQ(Next.QueuedCount(), 0);

    // 200 MB: asking still does not wait, and the drawing arrives.
    const std::string Big = Dir.File("gross.eps");
    {
        std::ofstream F(Big, std::ios::binary);
        F << "%!PS-Adobe-3.0 EPSF-3.0\n%%BoundingBox: 0 0 100 100\n"
             "0 1 0 setrgbcolor 25 25 50 50 rectfill\n";
        const std::string Line = "% " + std::string(97, 'x');
        for (int I = 0; I < 2000000; ++I)
            F << Line << '\n';
        F << "showpage\n";
    }
    Clock.restart();
    EXPECT_FALSE(Renderer.Picture(Item(Big), 40, 40).Image);
    EXPECT_LT(Clock.elapsed(), 100);
    ASSERT_TRUE(Renderer.WaitIdle(30000));
    const TContentPicture Large = Renderer.Picture(Item(Big), 40, 40);
    ASSERT_TRUE(Large.Image) << Large.Failure;
    EXPECT_EQ(Large.Image->pixel(20, 20), qRgb(0, 255, 0));
    EXPECT_EQ(ChildProcesses(), 0);
}

// Zoomed in far, only the part of a box in view is rendered: it is that part of the whole.
TEST(EpsRenderer, APartIsThatPartOfTheWholePicture) {
    if (!TEpsRenderer::GhostscriptFound()) GTEST_SKIP() << "no Ghostscript";
    zarvotest::TTempDir Dir;
    const std::string File = Dir.File("muster.eps");
    zarvotest::WriteFile(File,
                         "%!PS-Adobe-3.0 EPSF-3.0\n%%BoundingBox: 10 20 110 120\n"
                         "0 0 1 setrgbcolor 20 30 30 50 rectfill\n"
                         "1 0 0 setrgbcolor 60 70 40 20 rectfill\n"
                         "0 1 0 setrgbcolor 5 5 moveto 115 125 lineto 3 setlinewidth stroke\n");
    TEPSBox B = Item(File);
    B.Offset = {10 / PtPerCm, 20 / PtPerCm};
    TEpsRenderer::TOptions O = TEpsRenderer::DefaultOptions();
    O.DiskCacheDir.clear();
    TEpsRenderer Renderer(O);
    const QRect Part(120, 64, 150, 100);
    Renderer.Picture(B, 400, 400);
    Renderer.Picture(B, 400, 400, Part);
    ASSERT_TRUE(Renderer.WaitIdle(20000));
    const TContentPicture Whole = Renderer.Picture(B, 400, 400);
    const TContentPicture Piece = Renderer.Picture(B, 400, 400, Part);
    ASSERT_TRUE(Whole.Image && Piece.Image) << Whole.Failure << Piece.Failure;
    ASSERT_EQ(Piece.Image->size(), Part.size());
    EXPECT_EQ(Piece.Part, Part);
    int Differ = 0;
    for (int Y = 0; Y < Part.height(); ++Y)
        for (int X = 0; X < Part.width(); ++X) {
            const QRgb A = Whole.Image->pixel(Part.x() + X, Part.y() + Y),
                       P = Piece.Image->pixel(X, Y);
            if (std::abs(qRed(A) - qRed(P)) + std::abs(qGreen(A) - qGreen(P)) +
                    std::abs(qBlue(A) - qBlue(P)) + std::abs(qAlpha(A) - qAlpha(P)) >
                24)
                ++Differ;
        }
    EXPECT_EQ(Differ, 0);
}

TEST(ContentCache, KeepsTheMostRecentlyUsedWithinItsLimit) {
    zarvotest::TTempDir Dir;
    auto Image = [](QRgb C) {
        QImage I(100, 100, QImage::Format_ARGB32_Premultiplied);
        I.fill(C);
        return I;
    };
    // A picture's memory is its pixels and the index of the pixels it paints.
    const long long One = 100 * 100 * 4 + TImageRuns(Image(qRgb(0, 0, 0))).Bytes();
    TContentCache Cache(3 * One, QString::fromStdString(Dir.File("c")));
    Cache.Insert("a", Image(qRgb(255, 0, 0)));
    Cache.Insert("b", Image(qRgb(0, 255, 0)));
    Cache.Insert("c", Image(qRgb(0, 0, 255)));
    EXPECT_TRUE(Cache.Find("a")); // a is now the most recent
    Cache.Insert("d", Image(qRgb(0, 0, 0)));
    EXPECT_EQ(Cache.Count(), 3);
    EXPECT_LE(Cache.MemoryBytes(), Cache.MemoryLimit());
    // b went out of memory first; the disk still has it, and it comes back whole.
    const auto B = Cache.Find("b");
    ASSERT_TRUE(B);
    EXPECT_EQ(B->pixel(50, 50), qRgb(0, 255, 0));
    EXPECT_LE(Cache.MemoryBytes(), Cache.MemoryLimit());
    // The disk keeps to its limit: the pictures used longest ago go, the one just used stays.
    const QString Small = QString::fromStdString(Dir.File("klein"));
    TContentCache Bounded(One, Small, 40 * 1024);
    auto Noise = [](int Seed) {
        QImage I(60, 60, QImage::Format_ARGB32_Premultiplied);
        for (int Y = 0; Y < 60; ++Y)
            for (int X = 0; X < 60; ++X)
                I.setPixel(X, Y,
                           qRgba((X * 37 + Y * 11 + Seed * 101) % 256, (X * Y + Seed) % 256,
                                 (Seed * 7 + Y * 29) % 256, 255));
        return I;
    };
    Bounded.Insert("first", Noise(0));
    for (int K = 1; K < 40; ++K) {
        Bounded.Insert("n" + std::to_string(K), Noise(K));
        ASSERT_TRUE(TContentCache(One, Small).Find("first")) << K; // on screen all along
    }
    long long OnDisk = 0;
    for (const QFileInfo& F : QDir(Small).entryInfoList(QDir::Files))
        OnDisk += F.size();
    EXPECT_LE(OnDisk, 40 * 1024);
    EXPECT_GT(OnDisk, 0);
    EXPECT_TRUE(TContentCache(One, Small).Find("first"));
    EXPECT_FALSE(TContentCache(One, Small).Find("n1"));
    TContentCache MemoryOnly(One, QString());
    MemoryOnly.Insert("x", Image(qRgb(1, 2, 3)));
    MemoryOnly.Insert("y", Image(qRgb(1, 2, 3)));
    EXPECT_FALSE(MemoryOnly.Find("x"));
    EXPECT_TRUE(MemoryOnly.Find("y"));
}

// Ghostscript's command line: SAFER, no shell, the file only under a fixed name inside
// bubblewrap, and the one line of a failure.
TEST(GsInvocation, FencedCommandAndFailureLine) {
    TEPSBox B = Item("/daten/bild mit leer.eps");
    B.Offset = {1.0, 2.0};
    const TGsInvocation Plain =
        MakeGsInvocation(B, 100, 50, QRect(0, 0, 100, 50), "/tmp/w", "/usr/bin/gs", "");
    EXPECT_EQ(Plain.Program, "/usr/bin/gs");
    EXPECT_TRUE(Plain.Arguments.contains("-dSAFER"));
    EXPECT_TRUE(Plain.Arguments.contains("/daten/bild mit leer.eps"));
    EXPECT_TRUE(Plain.Arguments.contains("-g100x50"));
    const TGsInvocation Fenced = MakeGsInvocation(B, 100, 50, QRect(0, 0, 100, 50), "/tmp/w",
                                                  "/usr/bin/gs", "/usr/bin/bwrap");
    EXPECT_EQ(Fenced.Program, "/usr/bin/bwrap");
    EXPECT_TRUE(Fenced.Arguments.contains("--unshare-all"));
    EXPECT_TRUE(Fenced.Arguments.contains("-dSAFER"));
    EXPECT_EQ(Fenced.Arguments.count("/daten/bild mit leer.eps"), 1); // only as the bound source
    EXPECT_TRUE(Fenced.Arguments.contains("/in/content.eps"));
    EXPECT_EQ(GsFailureLine("GPL Ghostscript\nError: /undefined in foo\nOperand stack:\n", "x"),
              "Ghostscript: /undefined in foo");
    EXPECT_EQ(GsFailureLine("nichts", "Ghostscript: Fehler 1"), "Ghostscript: Fehler 1");
}

} // namespace
