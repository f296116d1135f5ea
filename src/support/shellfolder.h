// The user's special folders; identifier 5 is the personal documents folder.
#pragma once

#include <string>

namespace zarvo {

constexpr int CSIDL_PERSONAL = 5;

// The path of the special folder Id, or an empty string when it cannot be determined. For the
// documents folder: the XDG documents folder when it exists, else the home folder.
std::string GetSpecialFolder(int Id);

} // namespace zarvo
