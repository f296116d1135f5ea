// The seam through which the program asks the user and reports errors: message boxes in the
// window, standard error on the command line, scripted answers in the tests.
#pragma once

#include <string>

namespace zarvo {

struct TPoint {
    int X = 0;
    int Y = 0;
};

class TUserDialogs {
public:
    virtual ~TUserDialogs() = default;
    // A modal Yes/No question; true only for Yes. X < 0 means centred on the screen.
    virtual bool AskYesNo(const std::string& Msg, int X, int Y) = 0;
    // A modal error box with one OK button.
    virtual void ErrorBox(const std::string& Msg) = 0;
    // A plain modal message box with one OK button.
    virtual void ShowMessage(const std::string& Msg) = 0;
    // The screen size in pixels and the mouse position on it.
    virtual TPoint ScreenSize() { return {1024, 768}; }
    virtual TPoint MousePos() { return {0, 0}; }
};

// Installs the seam used by the free functions below; null restores the silent default, which
// answers every question with No. Returns the seam that was installed before.
TUserDialogs* SetUserDialogs(TUserDialogs* Dialogs);
TUserDialogs& UserDialogs();

bool AskYesNo(const std::string& Msg, int X, int Y);
void ErrorBox(const std::string& Msg);
void ShowMessage(const std::string& Msg);
void GetMousePos(TPoint& P);
void MousePosOffset(TPoint Offset, TPoint& P);
// Keeps a box of BoxWidth x BoxHeight pixels that starts at (X, Y) inside the screen.
void FitIntoScreen(int& X, int& Y, int BoxWidth, int BoxHeight);

// The same through a seam the caller holds, for those that are given one.
bool AskYesNo(TUserDialogs& Dialogs, const std::string& Msg, int X, int Y);
void MousePosOffset(TUserDialogs& Dialogs, TPoint Offset, TPoint& P);
void FitIntoScreen(TUserDialogs& Dialogs, int& X, int& Y, int BoxWidth, int BoxHeight);

} // namespace zarvo
