// Pictures for the dialogs' buttons, drawn at run time so that no image files are needed.
#pragma once

#include <QIcon>

namespace zarvo {

QIcon OkGlyph();          // a green tick
QIcon CancelGlyph();      // a red cross
QIcon SuperscriptGlyph(); // a letter with a raised small letter and an arrow up
QIcon SubscriptGlyph();   // a letter with a lowered small letter and an arrow down
QIcon CharTableGlyph();   // a small table of cells

} // namespace zarvo
