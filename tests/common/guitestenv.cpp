// Test programs that paint or measure text need a QGuiApplication; this file, linked into
// them, creates one (headless unless a platform is chosen) before the first test runs.
#include <gtest/gtest.h>

#include <QGuiApplication>

#include <memory>

namespace {

class TGuiEnvironment : public ::testing::Environment {
public:
    void SetUp() override {
        if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
        if (!QCoreApplication::instance()) App = std::make_unique<QGuiApplication>(Argc, Argv);
    }
    void TearDown() override { App.reset(); }

private:
    int Argc = 1;
    char Name[16] = "zarvo_tests";
    char* Argv[2] = {Name, nullptr};
    std::unique_ptr<QGuiApplication> App;
};

const auto* const Registered = ::testing::AddGlobalTestEnvironment(new TGuiEnvironment);

} // namespace
