// The command line's --preview: the page picture of a sheet as a PNG image, without a window.
#pragma once

#include <string>
#include <vector>

namespace zarvo {

// Arguments after "--preview": SHEET.zvs -o OUT.png [--size WxH] [--zoom N] [--scroll X,Y]
// [--eps-content].
// Returns the exit status: 0, or 1 after a message on standard error.
int RunPreviewCommand(const std::vector<std::string>& Args);

} // namespace zarvo
