// Sheet files: the paper and every item of a sheet in an INI file (extension "zvs").
#pragma once

#include "sheet/sheet.h"

#include <functional>
#include <string>

namespace zarvo {

// Measures a text in its font: width and height in centimetres (the preview's measurement).
using TTextMeasure = std::function<TCmPair(const std::string& Text, const TPSFontRec& Font)>;

struct TSheetResult {
    enum TStatus { Ok, Missing, Unreadable, NotASheet, CannotWrite };
    TStatus Status = Ok;
    std::string Message; // German text for the user; empty on success
    bool Succeeded() const { return Status == Ok; }
};

// Replaces the sheet with the file's content. Without Measure, text items keep the stored
// size. A file that cannot be read or holds no sheet leaves the sheet as it was.
TSheetResult LoadSheet(TSheet& Sheet, const std::string& FileName,
                       const TTextMeasure& Measure = {});

// Writes the sheet into the file, keeping the file's other sections; the file is replaced as
// a whole only when everything was written. On success FSheetFile is FileName and FModified
// is cleared; on failure both stay.
TSheetResult SaveSheet(TSheet& Sheet, const std::string& FileName);

// The name of item section n: "Frame" and n in at least two digits.
std::string FrameSection(int N);

} // namespace zarvo
