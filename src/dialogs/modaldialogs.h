// Every modal interaction of the main window in one seam: message boxes, file dialogs, input
// boxes and the program's own dialogs. The window uses the widget implementation; tests
// replace it with scripted answers.
#pragma once

#include "output/cupstarget.h"
#include "sheet/epsbox.h"
#include "support/userdialogs.h"

#include <string>
#include <vector>

class QMenu;

namespace zarvo {

struct TFileDialogOptions {
    std::string Title;
    std::string InitialDir;
    std::string FileName;   // proposed name, may hold wildcards ("bild.*")
    std::string DefaultExt; // without the point
    std::string Filter;     // "Blattdaten|*.zvs|alle|*.*"
};

class TModalDialogs : public TUserDialogs {
public:
    // The open dialog accepts only an existing file; true with its full path.
    virtual bool OpenFile(const TFileDialogOptions& Options, std::string& Path) = 0;
    // The save dialog; true with the chosen full path (the default extension added).
    virtual bool SaveFile(const TFileDialogOptions& Options, std::string& Path) = 0;
    // A one-line input box; Value changes only when confirmed.
    virtual bool InputQuery(const std::string& Caption, const std::string& Prompt,
                            std::string& Value) = 0;
    // A message box with the information symbol.
    virtual void InfoBox(const std::string& Title, const std::string& Msg) = 0;
    // The size dialog on a width and height in cm.
    virtual bool EditSize(const std::string& Caption, const std::string& GroupCaption,
                          TCmPair& Size) = 0;
    // The number dialog with one field.
    virtual bool NumberInput(const std::string& Title, const std::string& Label, int& Value,
                             int StepMode, int Increment, int MinValue, int MaxValue, int X,
                             int Y) = 0;
    // The PostScript font dialog.
    virtual bool EditPSFont(TPSFontRec& Font) = 0;
    // The text entry dialog at a screen position.
    virtual bool EditPlotText(TPoint Pos, const std::string& Caption, const std::string& Label,
                              std::string& Text, const std::string& FontName,
                              bool ShowCharTable) = 0;
    // The folder dialog.
    virtual bool ChooseDirectory(const std::string& Caption, const std::string& HomeDir, int X,
                                 int Y, std::string& Dir) = 0;
    // The filter-list dialog.
    virtual bool EditFilter(const std::string& Title, std::string& Filter) = 0;
    // The printer chooser for a port ("LPT3"): the CUPS destinations, or Error saying why
    // there are none; true with the chosen destination's name in Name.
    virtual bool ChoosePrinter(const std::string& Port, const std::vector<TCupsDest>& Dests,
                               const std::string& Error, std::string& Name) = 0;
    // Opens a popup menu at a screen position and returns when it is closed (after the chosen
    // entry, if any, has run).
    virtual void PopupMenu(QMenu& Menu, TPoint Pos) = 0;
};

} // namespace zarvo
