// The main window under test: opened headless with scripted dialogs, and helpers that click
// and move on the preview at page points.
#pragma once

#include "scripteddialogs.h"
#include "support/localefmt.h"
#include "testsupport.h"
#include "window/zarvomain.h"

#include <QApplication>

#include <gtest/gtest.h>

#include <memory>
#include <string>

namespace zarvotest {

using namespace zarvo;

inline const std::string BoxEps =
    "%!PS-Adobe-3.0 EPSF-3.0\n%%BoundingBox: 0 0 283 142\nnewpath 0 0 "
    "moveto 283 142 lineto stroke\n%%EOF\n";

class WindowTest : public ::testing::Test {
protected:
    void SetUp() override { SetLocaleDecimalChar('.'); }
    void TearDown() override {
        Form.reset();
        EXPECT_TRUE(D.AllUsed()) << "a scripted answer was not asked for";
        SetLocaleDecimalChar(0);
    }
    TZarvoForm& Open() {
        Form = std::make_unique<TZarvoForm>(D, "/usr/bin/zarvo", Ini());
        Form->resize(800, 600);
        Form->show();
        QApplication::processEvents();
        Form->FormActivate();
        return *Form;
    }
    std::string Ini() const { return Dir.File("zarvo.INI"); }
    QPoint Pixel(double X, double Y) {
        TLogicalPoint P;
        Form->FView.WorldToPixel(X, Y, P);
        return {P.X, P.Y};
    }
    void Click(Qt::MouseButton B, double X, double Y) {
        const QPoint P = Pixel(X, Y);
        Form->GrafikFeldMouseDown(B, P.x(), P.y());
    }
    void Move(double X, double Y) {
        const QPoint P = Pixel(X, Y);
        Form->GrafikFeldMouseMove(P.x(), P.y());
    }
    // An EPS item of 10 x 5 cm at Origin.
    int AddBox(TCmPair Origin, const std::string& Name = "box.eps") {
        WriteFile(Dir.File(Name), BoxEps);
        TEPSBox B(TCmPair{10, 10});
        B.Name = Dir.File(Name);
        B.Kind = KindBBox;
        B.Size = {283 / 28.35, 142 / 28.35};
        B.Origin = Origin;
        return Form->FItems.Add(B.Name, B);
    }
    int AddText(const std::string& Text, TCmPair Origin) {
        TEPSBox B(TCmPair{10, 10});
        B.Name = Text;
        B.Kind = KindText;
        B.Origin = Origin;
        B.Size = {3.0, 0.8};
        return Form->FItems.Add(Text, B);
    }
    zarvotest::TTempDir Dir;
    zarvotest::TScriptedDialogs D;
    std::unique_ptr<TZarvoForm> Form;
};

} // namespace zarvotest
