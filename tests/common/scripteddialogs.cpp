// A dialog seam for window tests: every modal interaction answered from a script and recorded.
#include "scripteddialogs.h"

#include <QAction>
#include <QMenu>

#include <gtest/gtest.h>

namespace zarvotest {

namespace {
template <class T> std::optional<T> Take(std::deque<std::optional<T>>& Script, const char* What) {
    if (Script.empty()) {
        ADD_FAILURE() << "unexpected " << What;
        return std::nullopt;
    }
    std::optional<T> V = Script.front();
    Script.pop_front();
    return V;
}
} // namespace

bool TScriptedDialogs::AskYesNo(const std::string& Msg, int, int) {
    Log.push_back("question: " + Msg);
    if (Answers.empty()) {
        ADD_FAILURE() << "unexpected question: " << Msg;
        return false;
    }
    const bool A = Answers.front();
    Answers.pop_front();
    return A;
}

bool TScriptedDialogs::OpenFile(const zarvo::TFileDialogOptions& O, std::string& Path) {
    Log.push_back("open: " + O.Title);
    FileDialogs.push_back(O);
    const auto V = Take(Files, "open dialog");
    if (V) Path = *V;
    return V.has_value();
}

bool TScriptedDialogs::SaveFile(const zarvo::TFileDialogOptions& O, std::string& Path) {
    Log.push_back("save: " + O.Title);
    FileDialogs.push_back(O);
    const auto V = Take(Files, "save dialog");
    if (V) Path = *V;
    return V.has_value();
}

bool TScriptedDialogs::InputQuery(const std::string& Caption, const std::string& Prompt,
                                  std::string& Value) {
    Log.push_back("input: " + Caption + " / " + Prompt);
    OfferedInputs.push_back(Value);
    const auto V = Take(Inputs, "input box");
    if (V) Value = *V;
    return V.has_value();
}

void TScriptedDialogs::InfoBox(const std::string& Title, const std::string& Msg) {
    Log.push_back("info: " + Title);
    Messages.push_back(Msg);
}

bool TScriptedDialogs::EditSize(const std::string& Caption, const std::string& GroupCaption,
                                zarvo::TCmPair& Size) {
    Log.push_back("size: " + Caption + " / " + GroupCaption);
    const auto V = Take(Sizes, "size dialog");
    if (V) Size = *V;
    return V.has_value();
}

bool TScriptedDialogs::NumberInput(const std::string& Title, const std::string& Label, int& Value,
                                   int, int, int MinValue, int MaxValue, int, int) {
    Log.push_back("number: " + Title + " / " + Label + " " + std::to_string(MinValue) + ".." +
                  std::to_string(MaxValue));
    const auto V = Take(Numbers, "number dialog");
    if (V) Value = *V;
    return V.has_value();
}

bool TScriptedDialogs::EditPSFont(zarvo::TPSFontRec& Font) {
    Log.push_back("font");
    OfferedFonts.push_back(Font);
    const auto V = Take(Fonts, "font dialog");
    if (V) Font = *V;
    return V.has_value();
}

bool TScriptedDialogs::EditPlotText(zarvo::TPoint, const std::string& Caption,
                                    const std::string& Label, std::string& Text,
                                    const std::string& FontName, bool) {
    Log.push_back("text: " + Caption + " / " + Label + " / " + FontName);
    OfferedTexts.push_back(Text);
    const auto V = Take(Texts, "text dialog");
    if (V) Text = *V;
    return V.has_value();
}

bool TScriptedDialogs::ChooseDirectory(const std::string& Caption, const std::string&, int, int,
                                       std::string& Dir) {
    Log.push_back("folder: " + Caption);
    const auto V = Take(Folders, "folder dialog");
    if (V) Dir = *V;
    return V.has_value();
}

bool TScriptedDialogs::EditFilter(const std::string& Title, std::string& Filter) {
    Log.push_back("filter: " + Title);
    const auto V = Take(Filters, "filter dialog");
    if (V) Filter = *V;
    return V.has_value();
}

bool TScriptedDialogs::ChoosePrinter(const std::string& Port,
                                     const std::vector<zarvo::TCupsDest>& Dests,
                                     const std::string& Error, std::string& Name) {
    Log.push_back("printer: " + Port + (Error.empty() ? "" : " " + Error));
    OfferedPrinters.push_back(Dests);
    const auto V = Take(Printers, "printer dialog");
    if (V) Name = *V;
    return V.has_value();
}

void TScriptedDialogs::PopupMenu(QMenu& Menu, zarvo::TPoint) {
    Log.push_back("popup: " + Menu.objectName().toStdString());
    if (PopupChoices.empty()) {
        ADD_FAILURE() << "unexpected popup menu";
        return;
    }
    const std::string Choice = PopupChoices.front();
    PopupChoices.pop_front();
    if (Choice.empty()) return;
    for (QAction* A : Menu.actions())
        if (A->objectName().toStdString() == Choice) {
            A->trigger();
            return;
        }
    ADD_FAILURE() << "no entry " << Choice << " in the popup menu";
}

bool TScriptedDialogs::AllUsed() const {
    return Answers.empty() && Files.empty() && Inputs.empty() && Sizes.empty() && Numbers.empty() &&
           Fonts.empty() && Texts.empty() && Folders.empty() && Filters.empty() &&
           PopupChoices.empty();
}

} // namespace zarvotest
