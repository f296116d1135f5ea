// A print file in PDF: the job streamed into Ghostscript's pdfwrite device.
#pragma once

#include "support/bytetarget.h"

#include <memory>
#include <string>

namespace zarvo {

// Whether a print file's name asks for PDF (it ends in ".pdf", in any case).
bool IsPdfFileName(const std::string& Path);

// Opens Path as a PDF print target for a page of WidthPt x HeightPt points in portrait sense;
// Landscape marks the page to be shown turned (the job turns a landscape drawing itself).
// Ghostscript runs without a shell under -dSAFER, with a private empty folder for its
// temporary files, a time limit and resource limits; it writes a temporary file beside Path
// that replaces Path only when the PDF is complete. Raises EInOutError (no Ghostscript, a
// folder that takes no new files, Ghostscript failing with the last lines it printed).
std::unique_ptr<TByteTarget> OpenPdfTarget(const std::string& Path, int WidthPt, int HeightPt,
                                           bool Landscape);

} // namespace zarvo
