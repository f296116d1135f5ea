// The seam through which the program asks the user and reports errors.
#include "support/userdialogs.h"

namespace zarvo {

namespace {
class TSilentDialogs : public TUserDialogs {
public:
    bool AskYesNo(const std::string&, int, int) override { return false; }
    void ErrorBox(const std::string&) override {}
    void ShowMessage(const std::string&) override {}
};

TSilentDialogs Silent;
TUserDialogs* Current = &Silent;
} // namespace

TUserDialogs* SetUserDialogs(TUserDialogs* Dialogs) {
    TUserDialogs* Before = Current;
    Current = Dialogs ? Dialogs : &Silent;
    return Before == &Silent ? nullptr : Before;
}

TUserDialogs& UserDialogs() {
    return *Current;
}

bool AskYesNo(const std::string& Msg, int X, int Y) {
    if (X >= 0) FitIntoScreen(X, Y, 200, 150);
    return Current->AskYesNo(Msg, X, Y);
}

void ErrorBox(const std::string& Msg) {
    Current->ErrorBox(Msg);
}

void ShowMessage(const std::string& Msg) {
    Current->ShowMessage(Msg);
}

void GetMousePos(TPoint& P) {
    P = Current->MousePos();
}

void MousePosOffset(TPoint Offset, TPoint& P) {
    GetMousePos(P);
    P.X += Offset.X;
    P.Y += Offset.Y;
}

void FitIntoScreen(int& X, int& Y, int BoxWidth, int BoxHeight) {
    const TPoint Screen = Current->ScreenSize();
    if (X + BoxWidth > Screen.X) X = Screen.X - BoxWidth - 20;
    if (Y + BoxHeight > Screen.Y) Y = Screen.Y - BoxHeight - 20;
}

} // namespace zarvo
