// The PostScript print job: header, every item of the sheet in order, and the final showpage.
#pragma once

#include "sheet/sheet.h"
#include "support/buftextfile.h"
#include "support/inouterror.h"

#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace zarvo {

// Raised while an EPS file of the sheet is read into the job; names that file.
class EPrintSourceError : public EInOutError {
public:
    EPrintSourceError(const std::string& File, const EInOutError& Cause)
        : EInOutError(Cause.what(), Cause.ErrorCode, true, File), FileName(File) {}
    std::string FileName;
};

// The block of one EPS item: the file's PostScript inside save/restore with its page
// operators and setpagedevice disabled, its structuring comments commented out, and what it
// leaves on the operand and dictionary stacks removed before the restore.
void CopyPSFile(TBufTextFile& Writer, const TEPSBox& Item);

// The wrapper lines around an EPS file's body, after the page operators' line and before
// "restore".
extern const char* const EpsWrapperBegin;
extern const char* const EpsWrapperEnd;

// Whether a text item's font is re-encoded to the ANSI code page 1252 in the job (its text has
// characters above 127, and its font is not Symbol), and the lines that do it after
// "findfont".
bool NeedsAnsiFont(const TEPSBox& Item);
const std::vector<std::string>& AnsiFontLines();

// The block of one text item: font, position and the text as a PostScript string.
void PrintPSText(TBufTextFile& Writer, const TEPSBox& Item);

// The whole job into a writer opened on its target; the first line is flushed at once.
// Raises EInOutError (EPrintSourceError for an EPS file that cannot be read).
void WritePrintJob(TBufTextFile& Writer, const TSheet& Sheet);

struct TPrintResult {
    TPrintResult() = default;
    TPrintResult(bool Ok, std::string Message) : Ok(Ok), Message(std::move(Message)) {}
    bool Ok = true;
    std::string Message; // German text for the user when Ok is false
    std::string Sent;    // on success: the confirmation of a job a print server took, or empty
};

// Whether every position of the sheet is a number a PostScript printer can take; the message
// says which is not.
TPrintResult CheckPrintable(const TSheet& Sheet);

// The whole command below the questions: checks that every EPS file can be read, opens the
// target, writes the job and completes it. TargetName names the target in messages ("LPT1",
// or a file name); Path is what is opened (see OpenPrintTarget). Nothing is written when an
// EPS file is missing; a print file is replaced only by a complete job.
TPrintResult PrintSheet(const TSheet& Sheet, const std::string& TargetName,
                        const std::string& Path);

// The same with the target opened by Open once the EPS files are found readable; an
// EInOutError that Open raises is reported as a write failure on TargetName.
TPrintResult PrintSheetWith(const TSheet& Sheet, const std::string& TargetName,
                            const std::function<std::unique_ptr<TByteTarget>()>& Open);

// The same onto a target the caller opened (tests write into memory this way).
TPrintResult PrintSheetTo(const TSheet& Sheet, const std::string& TargetName,
                          std::unique_ptr<TByteTarget> Target);

} // namespace zarvo
