// The pictures of the toolbar buttons, drawn by the program itself.
#pragma once

#include <QIcon>

namespace zarvo {

enum class TToolGlyph {
    NewSheet,
    OpenSheet,
    SaveSheet,
    EpsInsert,
    Refresh,
    TextInsert,
    Portrait,
    Landscape,
    WholePage,
    ZoomIn,
    ZoomOut,
    Grid,
    Print,
    Exit
};

QIcon ToolGlyph(TToolGlyph Glyph);

} // namespace zarvo
