// EPS import: checks that a file is PostScript and reads its "%%BoundingBox:" comment.
#pragma once

#include "sheet/epsbox.h"

#include <cstdint>
#include <string>

namespace zarvo {

// Takes the next blank-separated whole number off the front of Line; Default when the line is
// empty or the token is not an optionally signed decimal integer.
int ParseBBoxNumber(std::string& Line, int Default);

// Reads the header of an EPS file (the PostScript section of a DOS EPS file). False (after an
// error box) when the file cannot be opened, has a DOS header that points outside it,
// or is not PostScript. True otherwise; with a bounding box in lines 2 to 100 Kind becomes 1
// and Size and Offset come from it; a box given as "(atend)" is the last box line with numbers
// in the file (its tail is read first). Without one an error box tells so and the three stay.
// Size on entry gives the defaults for missing numbers. ReadFailed, when given, tells a file
// that opened but failed while being read (after its own error box) from the other failures.
bool ReadEpsHeader(const std::string& FileName, std::uint8_t& Kind, TCmPair& Size, TCmPair& Offset,
                   bool* ReadFailed = nullptr);

} // namespace zarvo
