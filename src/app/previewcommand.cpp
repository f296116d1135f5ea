// The command line's --preview: the page picture of a sheet as an image file, without a window.
#include "app/previewcommand.h"

#include "output/printjob.h"
#include "sheet/sheetfile.h"
#include "view/epsrenderer.h"
#include "view/pageview.h"
#include "view/textmeasure.h"

#include <QFileInfo>
#include <QGuiApplication>
#include <QImage>
#include <QImageWriter>
#include <QPainter>
#include <QSaveFile>

#include <cstdio>
#include <cstdlib>
#include <memory>

namespace zarvo {

namespace {

const int MaxImageSide = 10000;

int Fail(const std::string& Msg) {
    std::fprintf(stderr, "%s\n", Msg.c_str());
    return 1;
}

// A whole decimal number without sign or other characters.
bool ParseCount(const std::string& S, long& Value) {
    if (S.empty() || S.size() > 9 || S.find_first_not_of("0123456789") != std::string::npos)
        return false;
    Value = std::strtol(S.c_str(), nullptr, 10);
    return true;
}

// "AxB" with two whole numbers.
bool ParsePair(const std::string& S, char Sep, long& A, long& B) {
    const auto P = S.find(Sep);
    return P != std::string::npos && ParseCount(S.substr(0, P), A) &&
           ParseCount(S.substr(P + 1), B);
}

// The format the file name's extension names, PNG without an extension; empty when Qt cannot
// write that format.
QByteArray ImageFormat(const std::string& FileName) {
    const QString Name = QFileInfo(QString::fromLocal8Bit(FileName.c_str())).fileName();
    const qsizetype Dot = Name.lastIndexOf(QLatin1Char('.'));
    if (Dot <= 0) return "png";
    const QByteArray Ext = Name.mid(Dot + 1).toLower().toLatin1();
    return QImageWriter::supportedImageFormats().contains(Ext) ? Ext : QByteArray();
}

std::string WritableFormats() {
    std::string List;
    for (const QByteArray& F : QImageWriter::supportedImageFormats())
        List += (List.empty() ? "." : ", .") + F.toStdString();
    return List;
}

struct TPreviewOptions {
    std::string SheetFile;
    std::string Out;
    long Width = 800, Height = 600;
    long Zoom = ZoomWholePage;
    long ScrollX = 0, ScrollY = 15;
    bool Content = false; // EPS items show their drawings
};

// Empty when the options are complete and sound, else the message.
std::string ParseOptions(const std::vector<std::string>& Args, TPreviewOptions& O) {
    for (std::size_t I = 0; I < Args.size(); ++I) {
        const std::string& A = Args[I];
        const bool HasValue = I + 1 < Args.size();
        if (A == "-o" || A == "--size" || A == "--zoom" || A == "--scroll") {
            if (!HasValue) return "Nach " + A + " fehlt ein Wert.";
            const std::string& V = Args[++I];
            if (A == "-o") {
                O.Out = V;
            } else if (A == "--size") {
                if (!ParsePair(V, 'x', O.Width, O.Height) || O.Width < MinViewPixels ||
                    O.Height < MinViewPixels || O.Width > MaxImageSide || O.Height > MaxImageSide)
                    return "Ungültige Bildgröße: " + V + " (erlaubt sind 50x50 bis 10000x10000)";
            } else if (A == "--zoom") {
                if (!ParseCount(V, O.Zoom) || O.Zoom < ZoomMin || O.Zoom > ZoomMax ||
                    (O.Zoom & (O.Zoom - 1)) != 0)
                    return "Ungültiger Zoom: " + V +
                           " (erlaubt sind die Zweierpotenzen 1 bis 4096: 1, 2, 4, ... 4096)";
            } else if (V.find(',') == std::string::npos) {
                return "Ungültige Bildlaufposition: " + V + " (erwartet X,Y, zum Beispiel 0,15)";
            } else {
                if (!ParsePair(V, ',', O.ScrollX, O.ScrollY) || O.ScrollX > 100 || O.ScrollY > 100)
                    return "Ungültige Bildlaufposition: " + V + " (erlaubt sind 0 bis 100)";
            }
        } else if (A == "--eps-content") {
            O.Content = true;
        } else if (A.size() > 1 && A[0] == '-') {
            return "Unbekannte Option: " + A;
        } else if (O.SheetFile.empty()) {
            O.SheetFile = A;
        } else {
            return "Zu viele Angaben: " + A;
        }
    }
    if (O.SheetFile.empty()) return "--preview braucht eine Blattdatei.";
    if (O.Out.empty()) return "--preview braucht eine Ausgabedatei (-o BILD.png).";
    // The picture is written in the format its name promises: -o bild.jpg is a JPEG.
    const QByteArray Format = ImageFormat(O.Out);
    if (Format.isEmpty())
        return "Unbekanntes Bildformat: " + O.Out + " (möglich sind " + WritableFormats() + ")";
    return {};
}

} // namespace

int RunPreviewCommand(const std::vector<std::string>& Args) {
    TPreviewOptions O;
    const std::string Problem = ParseOptions(Args, O);
    if (!Problem.empty()) return Fail(Problem);

    // The picture needs fonts but no screen.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    // Without a session (a cron job, a build server) Qt warns that XDG_RUNTIME_DIR is not
    // set; the picture needs no runtime folder, and the warning is no message of this command.
    static QtMessageHandler Previous = nullptr;
    Previous = qInstallMessageHandler(
        [](QtMsgType Type, const QMessageLogContext& Context, const QString& Msg) {
            if (Type == QtWarningMsg && Msg.startsWith(QLatin1String("QStandardPaths: ")) &&
                Msg.contains(QLatin1String("XDG_RUNTIME_DIR")))
                return;
            if (Previous)
                Previous(Type, Context, Msg);
            else
                std::fprintf(stderr, "%s\n", qPrintable(qFormatLogMessage(Type, Context, Msg)));
        });
    static int Argc = 1;
    static char Name[] = "zarvo";
    static char* Argv[] = {Name, nullptr};
    std::unique_ptr<QGuiApplication> App;
    if (!QCoreApplication::instance()) App = std::make_unique<QGuiApplication>(Argc, Argv);

    TSheet Sheet;
    const TSheetResult Loaded = LoadSheet(Sheet, O.SheetFile, MakeTextMeasure());
    if (!Loaded.Succeeded()) return Fail(Loaded.Message);

    TPageView View(Sheet);
    View.FZoom = static_cast<int>(O.Zoom);
    View.FHorzPos = static_cast<int>(O.ScrollX);
    View.FVertPos = static_cast<int>(O.ScrollY);
    View.SetupPageMapping();
    View.FormResize(static_cast<int>(O.Width), static_cast<int>(O.Height));

    QImage Image(static_cast<int>(O.Width), static_cast<int>(O.Height), QImage::Format_RGB32);
    if (Image.isNull()) return Fail("Zu wenig Speicher für ein Bild dieser Größe.");
    std::unique_ptr<TEpsRenderer> Renderer;
    if (O.Content) {
        if (!TEpsRenderer::GhostscriptFound())
            return Fail("--eps-content braucht Ghostscript (Debian-Paket ghostscript).");
        // Drawn in the print job's wrapper: a file that breaks the job shows it here too.
        TEpsRenderer::TOptions Options = TEpsRenderer::DefaultOptions();
        Options.WrapperBegin = QString::fromLatin1(EpsWrapperBegin);
        Options.WrapperEnd = QString::fromLatin1(EpsWrapperEnd);
        Renderer = std::make_unique<TEpsRenderer>(Options);
        View.SetContentSource(Renderer.get());
        // The first paint asks for every drawing; the renders run, at most two at a time, and
        // the second paint draws them (or the marks of those that failed).
        QPainter Painter(&Image);
        View.Paint(Painter);
        Painter.end();
        Renderer->WaitIdle(24 * 60 * 60 * 1000);
    }
    {
        QPainter Painter(&Image);
        View.Paint(Painter);
    }
    for (int I = 0; Renderer && I < Sheet.FItems.Count(); ++I) {
        const TEPSBox& Item = Sheet.FItems.Item(I);
        if (Item.IsText()) continue;
        TLogicalPoint Corner;
        View.WorldToPixel(Item.Origin.X + Item.Size.X / 2, Item.Origin.Y + Item.Size.Y / 2, Corner);
        const std::string Why = View.ContentFailureAt(Corner);
        if (!Why.empty()) std::fprintf(stderr, "%s: %s\n", Item.Name.c_str(), Why.c_str());
    }
    View.SetContentSource(nullptr);
    // Written beside the target and renamed at the end: a failed run leaves no half image.
    QSaveFile File(QString::fromLocal8Bit(O.Out.c_str()));
    if (!File.open(QIODevice::WriteOnly) || !Image.save(&File, ImageFormat(O.Out).constData()) ||
        !File.commit())
        return Fail("Fehler beim Schreiben nach " + O.Out + " (" +
                    File.errorString().toLocal8Bit().toStdString() + ")");
    return 0;
}

} // namespace zarvo
