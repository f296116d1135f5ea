// The background check of EPS files: each version of a file once, and no wait when it goes.
#include "output/epscheckqueue.h"
#include "testsupport.h"

#include <gtest/gtest.h>

#include <chrono>
#include <mutex>
#include <thread>
#include <vector>

using namespace zarvo;
using zarvotest::WriteFile;

namespace {

bool WaitIdle(const TEpsCheckQueue& Q) {
    for (int I = 0; I < 1000 && Q.Busy(); ++I)
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    return !Q.Busy();
}

TEST(EpsCheckQueue, ChecksEachVersionOfAFileOnce) {
    zarvotest::TTempDir Dir;
    std::mutex Lock;
    std::vector<std::string> Checked;
    // Stands in for Ghostscript: a file holding "bad" breaks the job.
    TEpsCheckQueue Q([&](const std::string& File, const std::atomic<bool>&) {
        std::lock_guard<std::mutex> G(Lock);
        Checked.push_back(File);
        TItemCheck C;
        C.Ok = zarvotest::ReadFile(File).find("bad") == std::string::npos;
        if (!C.Ok) C.Error = "Error: /undefined in bad";
        return C;
    });
    const std::string A = Dir.File("a.eps"), B = Dir.File("b.eps");
    WriteFile(A, "%!PS\ngood\n");
    WriteFile(B, "%!PS\nbad\n");
    Q.Check(A);
    Q.Check(A);
    Q.Check(B);
    Q.Check(Dir.File("missing.eps"));
    ASSERT_TRUE(WaitIdle(Q));
    EXPECT_EQ(Checked, (std::vector<std::string>{A, B}));
    EXPECT_EQ(Q.Failures(), (std::map<std::string, std::string>{
                                {B, "Bricht den Druck ab: Ghostscript: /undefined in bad"}}));
    // Unchanged files keep their results; changed ones are checked again.
    Q.Check(A);
    Q.Check(B);
    EXPECT_FALSE(Q.Busy());
    WriteFile(A, "%!PS\nnow bad\n");
    WriteFile(B, "%!PS\nfixed\n");
    Q.Check(B);
    Q.Check(A);
    ASSERT_TRUE(WaitIdle(Q));
    EXPECT_EQ(Checked, (std::vector<std::string>{A, B, B, A}));
    ASSERT_EQ(Q.Failures().size(), 1u);
    EXPECT_EQ(Q.Failures().count(A), 1u);
}

TEST(EpsCheckQueue, GoingAwayDuringASlowCheckDoesNotWaitForIt) {
    zarvotest::TTempDir Dir;
    const std::string Loop = Dir.File("loop.eps");
    WriteFile(Loop, "%!PS-Adobe-3.0 EPSF-3.0\n%%BoundingBox: 0 0 20 20\n{} loop\n");
    int Results = 0;
    auto Q = std::make_unique<TEpsCheckQueue>();
    Q->SetOnResult([&] { ++Results; });
    Q->Check(Loop);
    // Ghostscript is running the endless loop by now.
    std::this_thread::sleep_for(std::chrono::milliseconds(500));
    ASSERT_TRUE(Q->Busy());
    const auto Start = std::chrono::steady_clock::now();
    Q.reset();
    EXPECT_LT(std::chrono::steady_clock::now() - Start, std::chrono::seconds(2));
    EXPECT_EQ(Results, 0);
}

} // namespace
