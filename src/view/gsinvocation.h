// The command line of one sandboxed Ghostscript render of an EPS item's box.
#pragma once

#include "sheet/epsbox.h"

#include <QRect>
#include <QString>
#include <QStringList>

namespace zarvo {

// One render: the program to start and its arguments (no shell in between), run in WorkDir
// with TMPDIR pointing there too.
struct TGsInvocation {
    QString Program;
    QStringList Arguments;
    QString OutputFile; // the PNG the render writes, inside WorkDir
};

// Limits of every render.
constexpr int RenderTimeoutMs = 20000;
constexpr int RenderCpuSeconds = 15;
constexpr long long RenderMemoryBytes = 768LL << 20;
constexpr long long RenderFileBytes = 512LL << 20;

// Renders the region Offset .. Offset + Size (cm of 28.35 pt) of Item's file, scaled to
// Width x Height pixels, into a PNG with transparency of the pixels Part (y down) of it. Gs is
// the Ghostscript program, Bwrap bubblewrap's (empty: not installed; then Ghostscript's own
// SAFER mode and the private WorkDir are the fence). WrapBegin and WrapEnd, when given, go
// around the file's body as in the print job, inside save and restore.
TGsInvocation MakeGsInvocation(const TEPSBox& Item, int Width, int Height, QRect Part,
                               const QString& WorkDir, const QString& Gs, const QString& Bwrap,
                               const QString& WrapBegin = QString(),
                               const QString& WrapEnd = QString());

// The one line a failed render reports, from Ghostscript's output: "Ghostscript: /undefined
// in foo", or Fallback when the output names no error.
std::string GsFailureLine(const QByteArray& Output, const std::string& Fallback);

} // namespace zarvo
