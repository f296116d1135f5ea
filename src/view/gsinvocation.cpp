// Ghostscript's command line for the render of one EPS box, fenced in as far as this machine
// allows: SAFER, a private empty working and temporary folder, bubblewrap where installed.
#include "view/gsinvocation.h"

#include <QFileInfo>

#include <cstdio>

namespace zarvo {

namespace {

// A PostScript number with a point whatever the locale.
QString PsNumber(double V) {
    char Buf[64];
    std::snprintf(Buf, sizeof Buf, "%.6f", V);
    QString S = QString::fromLatin1(Buf);
    S.replace(QLatin1Char(','), QLatin1Char('.'));
    return S;
}

} // namespace

TGsInvocation MakeGsInvocation(const TEPSBox& Item, int Width, int Height, QRect Part,
                               const QString& WorkDir, const QString& Gs, const QString& Bwrap,
                               const QString& WrapBegin, const QString& WrapEnd) {
    TGsInvocation Inv;
    const double WidthPt = Item.Size.X * PtPerCm, HeightPt = Item.Size.Y * PtPerCm;
    // Pixels per inch across and up, so that the box fills the picture exactly.
    const double ResX = Width * 72.0 / WidthPt, ResY = Height * 72.0 / HeightPt;
    const bool Fenced = !Bwrap.isEmpty();
    // Inside bubblewrap the file and the folder appear under fixed names; nothing else of the
    // user's files is there.
    const QString Input =
        Fenced ? QStringLiteral("/in/content.eps")
        : Item.Name.empty()
            ? QString()
            : QFileInfo(QString::fromLocal8Bit(Item.Name.c_str())).absoluteFilePath();
    const QString Work = Fenced ? QStringLiteral("/work") : WorkDir;
    Inv.OutputFile = WorkDir + QStringLiteral("/content.png");
    // As in the print job: the page operators do nothing inside the file, and the file's box
    // corner lands on the picture's corner; the page is put out by the system's own showpage
    // afterwards. In the job's wrapper, the file also runs inside save and restore with the
    // job's own lines around it.
    const bool Wrapped = !WrapBegin.isEmpty() || !WrapEnd.isEmpty();
    const QString Prologue =
        Wrapped ? QStringLiteral("save /copypage {} bind def /showpage {} bind def "
                                 "/erasepage {} bind def ") +
                      WrapBegin + QLatin1Char(' ')
                : QStringLiteral("/copypage {} def /showpage {} def /erasepage {} def ");
    QStringList GsArgs = {
        QStringLiteral("-q"),
        QStringLiteral("-dSAFER"),
        QStringLiteral("-dBATCH"),
        QStringLiteral("-dNOPAUSE"),
        QStringLiteral("-dNOINTERPOLATE"),
        QStringLiteral("-sDEVICE=pngalpha"),
        QStringLiteral("-dTextAlphaBits=4"),
        QStringLiteral("-dGraphicsAlphaBits=4"),
        QStringLiteral("-r%1x%2").arg(PsNumber(ResX), PsNumber(ResY)),
        QStringLiteral("-g%1x%2").arg(Part.width()).arg(Part.height()),
        QStringLiteral("-sOutputFile=") + Work + QStringLiteral("/content.png"),
        QStringLiteral("-c"),
        Prologue + PsNumber(-Item.Offset.X * PtPerCm - Part.x() * 72.0 / ResX) + QLatin1Char(' ') +
            PsNumber(-Item.Offset.Y * PtPerCm - (Height - Part.y() - Part.height()) * 72.0 / ResY) +
            QStringLiteral(" translate"),
        QStringLiteral("-f"),
        Input,
    };
    // The restore ends its own argument: Ghostscript holds each argument's text while it runs
    // it, and a restore with more to follow in a text made after the save is refused.
    if (Wrapped) GsArgs << QStringLiteral("-c") << WrapEnd + QStringLiteral(" restore");
    GsArgs << QStringLiteral("-c") << QStringLiteral("systemdict /showpage get exec");
    if (!Fenced) {
        Inv.Program = Gs;
        Inv.Arguments = GsArgs;
        return Inv;
    }
    Inv.Program = Bwrap;
    Inv.Arguments = {
        QStringLiteral("--unshare-all"),
        QStringLiteral("--die-with-parent"),
        QStringLiteral("--new-session"),
        QStringLiteral("--clearenv"),
        QStringLiteral("--setenv"),
        QStringLiteral("PATH"),
        QStringLiteral("/usr/bin:/bin"),
        QStringLiteral("--setenv"),
        QStringLiteral("TMPDIR"),
        Work,
        QStringLiteral("--setenv"),
        QStringLiteral("HOME"),
        Work,
        QStringLiteral("--ro-bind"),
        QStringLiteral("/usr"),
        QStringLiteral("/usr"),
        QStringLiteral("--ro-bind-try"),
        QStringLiteral("/lib"),
        QStringLiteral("/lib"),
        QStringLiteral("--ro-bind-try"),
        QStringLiteral("/lib64"),
        QStringLiteral("/lib64"),
        QStringLiteral("--ro-bind-try"),
        QStringLiteral("/bin"),
        QStringLiteral("/bin"),
        QStringLiteral("--ro-bind-try"),
        QStringLiteral("/etc/fonts"),
        QStringLiteral("/etc/fonts"),
        QStringLiteral("--ro-bind-try"),
        QStringLiteral("/etc/ghostscript"),
        QStringLiteral("/etc/ghostscript"),
        QStringLiteral("--ro-bind-try"),
        QStringLiteral("/var/lib/ghostscript"),
        QStringLiteral("/var/lib/ghostscript"),
        QStringLiteral("--proc"),
        QStringLiteral("/proc"),
        QStringLiteral("--dev"),
        QStringLiteral("/dev"),
        QStringLiteral("--ro-bind"),
        QFileInfo(QString::fromLocal8Bit(Item.Name.c_str())).absoluteFilePath(),
        QStringLiteral("/in/content.eps"),
        QStringLiteral("--bind"),
        WorkDir,
        Work,
        QStringLiteral("--chdir"),
        Work,
        QStringLiteral("--"),
        Gs,
    };
    Inv.Arguments += GsArgs;
    return Inv;
}

std::string GsFailureLine(const QByteArray& Output, const std::string& Fallback) {
    for (const QByteArray& Line : Output.split('\n')) {
        const QByteArray T = Line.trimmed();
        if (T.startsWith("Error: ")) return "Ghostscript: " + T.mid(7).toStdString();
    }
    return Fallback;
}

} // namespace zarvo
