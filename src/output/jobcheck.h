// The check of a print job before it goes out: every item of the sheet, in the job's wrapper,
// through Ghostscript, so that a file that would stop the printer is named instead of the
// whole page failing unseen.
#pragma once

#include "sheet/sheet.h"

#include <atomic>
#include <string>
#include <vector>

namespace zarvo {

struct TItemCheck {
    bool Ok = true;
    std::string Error; // Ghostscript's error in one line (German text when it did not run)
    // False when there is no verdict on the item: Ghostscript could not be run, or the check
    // was cancelled.
    bool Ran = true;
};

struct TJobCheck {
    bool Ran = true;               // false: Ghostscript could not be run at all; Message says why
    std::string Message;           // German
    std::vector<TItemCheck> Items; // one per item of the sheet, in its order
    bool AllOk() const;
};

// Runs each item alone on the sheet's page, in the wrapper the job gives it, through
// Ghostscript: -dSAFER, the null page device, a private empty TMPDIR, a time limit of
// TimeoutSeconds per item and limits on memory, CPU time and file size.
TJobCheck CheckSheetJob(const TSheet& Sheet, int TimeoutSeconds = 60);

// The same for one EPS file placed at the page's lower-left corner. Setting Cancel (from
// another thread) ends a running check at once: Ghostscript is killed and Ran is false.
TItemCheck CheckEpsFile(const std::string& FileName, int TimeoutSeconds = 60,
                        const std::atomic<bool>* Cancel = nullptr);

} // namespace zarvo
