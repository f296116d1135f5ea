// The body of an EPS file in the print job: its bytes as they stand, its structuring comments
// commented out.
#pragma once

#include "sheet/epsfile.h"
#include "support/buftextfile.h"

namespace zarvo {

// Copies the PostScript of an EPS file into the job. Every byte passes unchanged (its own line
// ends, its empty lines, binary data), except that a line starting with "%!" or "%%" gets "% "
// in front, so that no structuring comment counts as one of the job's; the data of a section
// announced by "%%BeginData:" or "%%BeginBinary:" is no text and gets nothing. When the file
// does not end with a line end, CR LF ends its last line, so that the job's next line stands
// alone. Raises EInOutError when the file cannot be read or the job not written.
void CopyEpsBody(TEpsSource& In, TBufTextFile& Writer);

} // namespace zarvo
