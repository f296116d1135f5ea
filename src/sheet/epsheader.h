// EPS import: checks that a file is PostScript and reads its "%%BoundingBox:" comment.
#pragma once

#include "sheet/epsbox.h"
#include "support/result.h"

#include <cstdint>
#include <string>

namespace zarvo {

// Takes the next blank-separated whole number off the front of Line; Default when the line is
// empty or the token is not an optionally signed decimal integer.
int ParseBBoxNumber(std::string& Line, int Default);

// Reads the header of an EPS file (the PostScript section of a DOS EPS file). An error when the
// file cannot be opened, has a DOS header that points outside it, or is not PostScript (the
// caller must not use the item), or when it failed while being read (ReadFailed set). Done
// otherwise: with a bounding box in lines 2 to 100 Kind becomes 1 and Size and Offset come from
// it; a box given as "(atend)" is the last box line with numbers in the file (its tail is read
// first). Without one the three stay and the warning tells the user that the standard size is
// used. Size on entry gives the defaults for missing numbers.
TStatus ReadEpsHeader(const std::string& FileName, std::uint8_t& Kind, TCmPair& Size,
                      TCmPair& Offset);

} // namespace zarvo
