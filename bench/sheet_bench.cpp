// Benchmark of sheet files: loading and saving sheets of 100, 1,000 and 10,000 items, with the
// text items measured as the window measures them. Prints medians and the ratio 10,000 / 1,000.
#include "sheet/sheetfile.h"
#include "view/textmeasure.h"

#include <QGuiApplication>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <unistd.h>
#include <vector>

using namespace zarvo;
using Clock = std::chrono::steady_clock;

namespace {

TSheet MakeSheet(int N) {
    TSheet S;
    for (int I = 0; I < N; ++I) {
        TEPSBox B(TCmPair{10, 10});
        if (I % 2) {
            B.Kind = KindText;
            B.Name = "Beschriftung " + std::to_string(I) + " x^2";
            B.Font.FontType = static_cast<std::uint16_t>(I % 4);
            B.Font.FontStyle = static_cast<std::uint16_t>(I % 3);
        } else {
            B.Kind = KindBBox;
            B.Name = "/home/user/Dokumente/Grafiken/bild" + std::to_string(I) + ".eps";
            B.Offset = {0.4, 0.7};
            B.Size = {12.3, 8.8};
        }
        B.Origin = {I % 21 * 1.0, I % 29 * 1.0};
        S.FItems.Add(B.Name, B);
    }
    return S;
}

double Median(std::vector<double> V) {
    std::sort(V.begin(), V.end());
    return V[V.size() / 2];
}

template <class F> double Ms(F&& Fn) {
    const auto T0 = Clock::now();
    Fn();
    return std::chrono::duration<double, std::milli>(Clock::now() - T0).count();
}

} // namespace

int main(int argc, char** argv) {
    if (!std::getenv("QT_QPA_PLATFORM")) setenv("QT_QPA_PLATFORM", "offscreen", 1);
    QGuiApplication App(argc, argv);
    const int Runs = argc > 1 ? std::max(1, std::atoi(argv[1])) : 5;
    char Dir[] = "/tmp/zarvo-sheetbench-XXXXXX";
    if (!mkdtemp(Dir)) return 1;
    const TTextMeasure Measure = MakeTextMeasure();
    std::printf("%8s %12s %12s %12s\n", "items", "save ms", "load ms", "file KB");
    double Load1k = 0, Load10k = 0, Save1k = 0, Save10k = 0;
    for (int N : {100, 1000, 10000}) {
        const std::string File = std::string(Dir) + "/sheet" + std::to_string(N) + ".zvs";
        TSheet S = MakeSheet(N);
        std::vector<double> SaveT, LoadT;
        for (int R = 0; R < Runs; ++R) {
            unlink(File.c_str()); // a fresh file each time, as Save As writes it
            SaveT.push_back(Ms([&] {
                if (!SaveSheet(S, File).Succeeded()) std::abort();
            }));
            TSheet L;
            LoadT.push_back(Ms([&] {
                if (!LoadSheet(L, File, Measure).Succeeded() || L.FItems.Count() != N)
                    std::abort();
            }));
        }
        const double SaveM = Median(SaveT), LoadM = Median(LoadT);
        FILE* F = std::fopen(File.c_str(), "rb");
        std::fseek(F, 0, SEEK_END);
        const long Size = std::ftell(F);
        std::fclose(F);
        std::printf("%8d %12.2f %12.2f %12ld\n", N, SaveM, LoadM, Size / 1024);
        if (N == 1000) Load1k = LoadM, Save1k = SaveM;
        if (N == 10000) Load10k = LoadM, Save10k = SaveM;
    }
    std::printf("ratio 10,000 / 1,000: save %.1f, load %.1f   (target: below 15)\n",
                Save10k / Save1k, Load10k / Load1k);
    std::printf("10,000 items load in %.0f ms   (target: under 500 ms)\n", Load10k);
    std::string Cleanup = std::string("rm -rf '") + Dir + "'";
    return std::system(Cleanup.c_str()) == 0 ? 0 : 1;
}
