// A dialog seam for window tests: every modal interaction answered from a script and recorded.
// A dialog that the script did not expect fails the test and is cancelled.
#pragma once

#include "dialogs/modaldialogs.h"

#include <deque>
#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace zarvotest {

class TScriptedDialogs : public zarvo::TModalDialogs {
public:
    template <class T> using TScript = std::deque<std::optional<T>>;

    bool AskYesNo(const std::string& Msg, int X, int Y) override;
    void ErrorBox(const std::string& Msg) override { Errors.push_back(Msg); }
    void ShowMessage(const std::string& Msg) override { Messages.push_back(Msg); }
    zarvo::TPoint ScreenSize() override { return {1024, 768}; }
    zarvo::TPoint MousePos() override { return Mouse; }
    bool OpenFile(const zarvo::TFileDialogOptions& Options, std::string& Path) override;
    bool SaveFile(const zarvo::TFileDialogOptions& Options, std::string& Path) override;
    bool InputQuery(const std::string& Caption, const std::string& Prompt,
                    std::string& Value) override;
    void InfoBox(const std::string& Title, const std::string& Msg) override;
    bool EditSize(const std::string& Caption, const std::string& GroupCaption,
                  zarvo::TCmPair& Size) override;
    bool NumberInput(const std::string& Title, const std::string& Label, int& Value, int StepMode,
                     int Increment, int MinValue, int MaxValue, int X, int Y) override;
    bool EditPSFont(zarvo::TPSFontRec& Font) override;
    bool EditPlotText(zarvo::TPoint Pos, const std::string& Caption, const std::string& Label,
                      std::string& Text, const std::string& FontName, bool ShowCharTable) override;
    bool ChooseDirectory(const std::string& Caption, const std::string& HomeDir, int X, int Y,
                         std::string& Dir) override;
    bool EditFilter(const std::string& Title, std::string& Filter) override;
    bool ChoosePrinter(const std::string& Port, const std::vector<zarvo::TCupsDest>& Dests,
                       const std::string& Error, std::string& Name) override;
    void PopupMenu(QMenu& Menu, zarvo::TPoint Pos) override;

    // Scripts: an empty optional cancels.
    std::deque<bool> Answers;
    TScript<std::string> Files;  // open and save dialogs
    TScript<std::string> Inputs; // input boxes
    TScript<zarvo::TCmPair> Sizes;
    TScript<int> Numbers;
    TScript<zarvo::TPSFontRec> Fonts;
    TScript<std::string> Texts; // text entry dialog
    TScript<std::string> Folders;
    TScript<std::string> Filters;
    TScript<std::string> Printers; // the printer chooser
    std::deque<std::string> PopupChoices; // object name of the entry to choose, "" for none

    // What was shown.
    std::vector<std::string> Log; // one line per dialog: its kind and its caption or text
    std::vector<std::string> Errors, Messages;
    std::vector<zarvo::TFileDialogOptions> FileDialogs;
    std::vector<std::string> OfferedTexts; // the text each text dialog opened with
    std::vector<zarvo::TPSFontRec> OfferedFonts;
    std::vector<std::string> OfferedInputs;
    std::vector<std::vector<zarvo::TCupsDest>> OfferedPrinters;
    zarvo::TPoint Mouse{100, 100};

    // True when every script has been used up.
    bool AllUsed() const;
};

} // namespace zarvotest
