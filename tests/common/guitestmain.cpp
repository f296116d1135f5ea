// Entry of the widget tests: a QApplication on the offscreen platform, and a home of their own.
#include <QApplication>

#include <gtest/gtest.h>

#include <clocale>
#include <cstdlib>
#include <string>
#include <sys/stat.h>
#include <unistd.h>

int main(int argc, char** argv) {
    char Templ[] = "/tmp/zarvo-home-XXXXXX";
    if (::mkdtemp(Templ)) {
        const std::string Home = Templ;
        ::mkdir((Home + "/Documents").c_str(), 0700);
        ::setenv("HOME", Home.c_str(), 1);
        ::setenv("XDG_CONFIG_HOME", (Home + "/.config").c_str(), 1);
        ::setenv("XDG_DATA_HOME", (Home + "/.local/share").c_str(), 1);
        // Nor the machine's print server: tests that print start a private one.
        ::setenv("CUPS_SERVER", (Home + "/no-cups.sock").c_str(), 1);
        ::setenv("CUPS_SERVERROOT", Home.c_str(), 1);
        ::unsetenv("LPDEST");
        ::unsetenv("PRINTER");
        ::setenv("XDG_RUNTIME_DIR", Home.c_str(), 1);
    }
    if (!std::getenv("QT_QPA_PLATFORM")) ::setenv("QT_QPA_PLATFORM", "offscreen", 1);
    QApplication App(argc, argv);
    // Numbers in files and jobs are written by the C library; keep its point.
    std::setlocale(LC_NUMERIC, "C");
    ::testing::InitGoogleTest(&argc, argv);
    const int Status = RUN_ALL_TESTS();
    const std::string Cleanup = std::string("rm -rf '") + Templ + "'";
    if (std::system(Cleanup.c_str()) != 0) return Status ? Status : 1;
    return Status;
}
