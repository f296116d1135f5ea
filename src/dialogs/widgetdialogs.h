// The window's modal interactions as real message boxes, file dialogs and program dialogs.
#pragma once

#include "dialogs/modaldialogs.h"

#include <memory>

class QWidget;
class QString;

namespace zarvo {

class TSizeDialog;
class TNummerEingabe;
class TPSFontDialog;
class TVerzDialog;
class TFilterDialog;

class TWidgetDialogs : public TModalDialogs {
public:
    // Creates the program's dialogs that live for the whole run.
    TWidgetDialogs();
    ~TWidgetDialogs() override;

    // Message boxes and file dialogs open over this window.
    void SetParent(QWidget* Parent) { FParent = Parent; }

    bool AskYesNo(const std::string& Msg, int X, int Y) override;
    void ErrorBox(const std::string& Msg) override;
    void ShowMessage(const std::string& Msg) override;
    TPoint ScreenSize() override;
    TPoint MousePos() override;

    bool OpenFile(const TFileDialogOptions& Options, std::string& Path) override;
    bool SaveFile(const TFileDialogOptions& Options, std::string& Path) override;
    bool InputQuery(const std::string& Caption, const std::string& Prompt,
                    std::string& Value) override;
    void InfoBox(const std::string& Title, const std::string& Msg) override;
    bool EditSize(const std::string& Caption, const std::string& GroupCaption,
                  TCmPair& Size) override;
    bool NumberInput(const std::string& Title, const std::string& Label, int& Value, int StepMode,
                     int Increment, int MinValue, int MaxValue, int X, int Y) override;
    bool EditPSFont(TPSFontRec& Font) override;
    bool EditPlotText(TPoint Pos, const std::string& Caption, const std::string& Label,
                      std::string& Text, const std::string& FontName, bool ShowCharTable) override;
    bool ChooseDirectory(const std::string& Caption, const std::string& HomeDir, int X, int Y,
                         std::string& Dir) override;
    bool EditFilter(const std::string& Title, std::string& Filter) override;
    bool ChoosePrinter(const std::string& Port, const std::vector<TCupsDest>& Dests,
                       const std::string& Error, std::string& Name) override;
    void PopupMenu(QMenu& Menu, TPoint Pos) override;

    // The open dialog's filter ("Name (*.a *.b);;...") for a filter string ("Name|*.a;*.b|...").
    static QString QtNameFilters(const std::string& Filter);

private:
    QWidget* FParent = nullptr;
    std::unique_ptr<TVerzDialog> FVerzDialog;
    std::unique_ptr<TFilterDialog> FFilterDialog;
    std::unique_ptr<TSizeDialog> FSizeDialog;
    std::unique_ptr<TNummerEingabe> FNummerEingabe;
    std::unique_ptr<TPSFontDialog> FPSFontDialog;
};

} // namespace zarvo
