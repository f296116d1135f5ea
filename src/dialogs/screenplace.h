// Placing a dialog in the middle of the screen it will show on.
#pragma once

class QWidget;

namespace zarvo {

// Moves a window that is about to be shown so that it stands centred on its screen (the
// screen of its parent, if it has one), at its size as laid out now.
void CentreOnScreen(QWidget& Window);

} // namespace zarvo
