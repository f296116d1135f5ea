// The window's check of EPS files against the print job: the mark on a file that would stop
// the job, its tooltip, and the drawing in the job's wrapper.
#include "sheet/sheetfile.h"
#include "view/pagepicture.h"
#include "window/grafikfeld.h"
#include "window/zarvomain.h"
#include "windowtest.h"

#include <QApplication>
#include <QStandardPaths>

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <thread>

namespace {

using namespace zarvo;
using zarvotest::BoxEps;
using zarvotest::WindowTest;
using zarvotest::WriteFile;

TEST_F(WindowTest, InsertAndUpdateMarkAFileThatWouldStopThePrintJob) {
    if (QStandardPaths::findExecutable("gs").isEmpty()) GTEST_SKIP() << "no Ghostscript";
    TZarvoForm* W = &Open();
    TZarvoForm& F = *W;
    ASSERT_TRUE(F.FEpsChecks);
    // Takes the job's save object off the stack and leaves a number for restore instead.
    const std::string Bad = Dir.File("kaputt.eps"), Breaks = "pop 5\n";
    WriteFile(Bad, "%!PS-Adobe-3.0 EPSF-3.0\n%%BoundingBox: 0 0 283 142\n" + Breaks);
    WriteFile(Dir.File("bild.eps"), BoxEps);
    D.Files = {Bad, Dir.File("bild.eps")};
    for (double Y : {3.0, 15.0}) {
        F.InsertBtnClick();
        Move(2.0, Y);
        Click(Qt::LeftButton, 2.0, Y);
    }
    ASSERT_EQ(F.FItems.Count(), 2);
    auto At = [&](double X, double Y) {
        const QPoint P = Pixel(X, Y);
        return TLogicalPoint{P.x(), P.y()};
    };
    // The red of the mark in the top-right corner of item I's frame, in pixels.
    auto MarkPixels = [&](int I) {
        const QImage Shot = W->GrafikFeld->grab().toImage();
        const QRectF R = TPagePicture::ContentRect(W->FView.Plot(), W->FItems.Item(I));
        int N = 0;
        for (int X = static_cast<int>(R.right()) - 14; X < R.right() - 2; ++X)
            for (int Y = static_cast<int>(R.top()) + 3; Y < R.top() + 15; ++Y) {
                const QColor C = Shot.pixelColor(X, Y);
                N += C.red() > 200 && C.green() < 80 && C.blue() < 80;
            }
        return N;
    };
    // Until the checks are done and both drawings have arrived.
    TPictureInputs In;
    auto Settle = [&] {
        const auto Deadline = std::chrono::steady_clock::now() + std::chrono::seconds(60);
        while (std::chrono::steady_clock::now() < Deadline) {
            W->GrafikFeld->grab();
            W->FView.PictureInputs(1.0, In);
            const bool Drawn =
                In.Contents.size() == 2 &&
                std::all_of(In.Contents.begin(), In.Contents.end(),
                            [](const auto& C) { return C.Image || !C.Failure.empty(); });
            if (!W->FEpsChecks->Busy() && Drawn) break;
            std::this_thread::sleep_for(std::chrono::milliseconds(20));
            QApplication::processEvents();
        }
        QApplication::processEvents();
        W->GrafikFeld->grab();
    };
    Settle();
    EXPECT_EQ(F.FView.ContentFailureAt(At(6, 5)),
              "Bricht den Druck ab: Ghostscript: /typecheck in --restore--");
    EXPECT_EQ(F.FView.ContentFailureAt(At(6, 17)), "");
    EXPECT_GT(MarkPixels(0), 40);
    EXPECT_LT(MarkPixels(1), 10);
    // The drawing runs in the job's wrapper too: it fails for the same reason, and a good file
    // still draws.
    ASSERT_EQ(In.Contents.size(), 2u);
    EXPECT_EQ(In.Contents[0].Failure, "Ghostscript: /typecheck in --restore--");
    EXPECT_TRUE(In.Contents[1].Image) << In.Contents[1].Failure;

    // Mended on disk: Update checks it again and the mark goes.
    WriteFile(Bad, BoxEps);
    F.UpdateBtnClick();
    Settle();
    EXPECT_EQ(F.FView.ContentFailureAt(At(6, 5)), "");
    EXPECT_LT(MarkPixels(0), 10);
    EXPECT_TRUE(In.Contents[0].Image) << In.Contents[0].Failure;

    // The files of a sheet that is opened are checked as well.
    WriteFile(Bad, BoxEps + Breaks);
    ASSERT_TRUE(SaveSheet(F.FSheet, Dir.File("blatt.zvs")).Succeeded());
    Form.reset();
    W = &Open();
    W->OpenSheet(Dir.File("blatt.zvs"));
    Settle();
    EXPECT_EQ(W->FView.ContentFailureAt(At(6, 5)),
              "Bricht den Druck ab: Ghostscript: /typecheck in --restore--");
}

} // namespace
