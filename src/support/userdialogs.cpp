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
    return AskYesNo(*Current, Msg, X, Y);
}

bool AskYesNo(TUserDialogs& Dialogs, const std::string& Msg, int X, int Y) {
    if (X >= 0) FitIntoScreen(Dialogs, X, Y, 200, 150);
    return Dialogs.AskYesNo(Msg, X, Y);
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
    MousePosOffset(*Current, Offset, P);
}

void MousePosOffset(TUserDialogs& Dialogs, TPoint Offset, TPoint& P) {
    P = Dialogs.MousePos();
    P.X += Offset.X;
    P.Y += Offset.Y;
}

void FitIntoScreen(int& X, int& Y, int BoxWidth, int BoxHeight) {
    FitIntoScreen(*Current, X, Y, BoxWidth, BoxHeight);
}

void FitIntoScreen(TUserDialogs& Dialogs, int& X, int& Y, int BoxWidth, int BoxHeight) {
    const TPoint Screen = Dialogs.ScreenSize();
    if (X + BoxWidth > Screen.X) X = Screen.X - BoxWidth - 20;
    if (Y + BoxHeight > Screen.Y) Y = Screen.Y - BoxHeight - 20;
}

} // namespace zarvo
