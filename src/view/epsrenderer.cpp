// The background Ghostscript renders of EPS pictures and their bookkeeping.
#include "view/epsrenderer.h"

#include "view/gsinvocation.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QDeadlineTimer>
#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QHash>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTimer>

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <sys/resource.h>

namespace zarvo {

struct TEpsRenderer::TJob {
    std::string Key;
    TEPSBox Item;
    int Width = 0;
    int Height = 0;
    QRect Part;
    std::unique_ptr<QTemporaryDir> Dir;
    std::unique_ptr<QProcess> Process;
    std::unique_ptr<QTimer> Timer;
    QString OutputFile;
    bool TimedOut = false;
    QElapsedTimer Clock;
};

namespace {

// The cache key: the file as it is now (path, size, modification time), the box and the
// picture's size and part. Every paint asks for every drawing, so the key is written without
// printf; each number in its shortest exact form, so that different values give different
// keys.
std::string KeyOf(const std::string& Path, long long Size, long long Time, const TEPSBox& Item,
                  int Width, int Height, QRect Part) {
    std::string Key;
    Key.reserve(Path.size() + 160);
    Key += Path;
    char Buf[64];
    auto Add = [&](char Sep, auto Value) {
        Key += Sep;
        const auto R = std::to_chars(Buf, Buf + sizeof Buf, Value);
        Key.append(Buf, R.ptr);
    };
    Add('|', Size);
    Add('|', Time);
    Add('|', Item.Offset.X);
    Add('|', Item.Offset.Y);
    Add('|', Item.Size.X);
    Add('|', Item.Size.Y);
    Add('|', Width);
    Add('x', Height);
    Add('|', Part.x());
    Add(',', Part.y());
    Add(',', Part.width());
    Add('x', Part.height());
    return Key;
}

} // namespace

TEpsRenderer::TOptions TEpsRenderer::DefaultOptions() {
    TOptions O;
    O.Gs = QStandardPaths::findExecutable(QStringLiteral("gs"));
    O.Bwrap = QStandardPaths::findExecutable(QStringLiteral("bwrap"));
    QString Base = qEnvironmentVariable("XDG_CACHE_HOME");
    if (Base.isEmpty() || !QDir::isAbsolutePath(Base)) Base = QDir::homePath() + "/.cache";
    O.DiskCacheDir = Base + QStringLiteral("/zarvo/eps");
    return O;
}

bool TEpsRenderer::GhostscriptFound() {
    return !QStandardPaths::findExecutable(QStringLiteral("gs")).isEmpty();
}

TEpsRenderer::TEpsRenderer(TOptions Options)
    : FOptions(std::move(Options)), FCache(FOptions.MemoryLimit, FOptions.DiskCacheDir) {
    if (!FOptions.WrapperBegin.isEmpty() || !FOptions.WrapperEnd.isEmpty())
        FKeyTag =
            "|w" + std::to_string(qHash(FOptions.WrapperBegin + '\n' + FOptions.WrapperEnd, 0));
}

TEpsRenderer::~TEpsRenderer() {
    CancelAll();
}

TContentPicture TEpsRenderer::Picture(const TEPSBox& Item, int Width, int Height, QRect Part) {
    TContentPicture P;
    Part &= QRect(0, 0, Width, Height);
    if (Width <= 0 || Height <= 0 || Part.isEmpty()) return P;
    // A part beyond the pixel limit (a huge preview image) is rendered smaller, with its
    // shape, and drawn scaled up.
    const double Pixels = static_cast<double>(Part.width()) * Part.height();
    if (Pixels > FOptions.MaxPixels) {
        const double F = std::sqrt(FOptions.MaxPixels / Pixels);
        auto Scaled = [F](int V) { return std::max(1, static_cast<int>(V * F)); };
        Width = Scaled(Width);
        Height = Scaled(Height);
        Part = QRect(static_cast<int>(Part.x() * F), static_cast<int>(Part.y() * F),
                     Scaled(Part.width()), Scaled(Part.height())) &
               QRect(0, 0, Width, Height);
    }
    P.Part = Part;
    P.Width = Width;
    P.Height = Height;
    // Each file is looked at once per paint (a new modification time shows on the next
    // paint), however many items show it.
    auto Seen = FFileStates.find(Item.Name);
    if (Seen == FFileStates.end())
        Seen = FFileStates.insert_or_assign(Item.Name, FileVersionOf(Item.Name)).first;
    if (!Seen->second.Exists) {
        P.Failure = "Datei nicht gefunden";
        return P;
    }
    const std::string Key =
        KeyOf(Item.Name, Seen->second.Size, Seen->second.Time, Item, Width, Height, Part) + FKeyTag;
    if (FOptions.Gs.isEmpty()) {
        P.Failure = "Ghostscript ist nicht installiert";
        return P;
    }
    FWanted.insert(Key);
    if ((P.Image = FCache.Find(Key, &P.Runs))) return P;
    const auto Failed = FFailures.find(Key);
    if (Failed != FFailures.end()) {
        P.Failure = Failed->second;
        return P;
    }
    for (const auto& J : FRunning)
        if (J->Key == Key) return P;
    for (const auto& J : FQueue)
        if (J->Key == Key) return P;
    auto Job = std::make_unique<TJob>();
    Job->Key = Key;
    Job->Item = Item;
    Job->Width = Width;
    Job->Height = Height;
    Job->Part = Part;
    FQueue.push_back(std::move(Job));
    // Started from the event loop, not inside the paint that asked.
    QTimer::singleShot(0, &FLife, [this] { StartQueued(); });
    return P;
}

void TEpsRenderer::EndPaint() {
    FFileStates.clear();
    // Renders nobody asked for in this paint (zoom changed, item removed, sheet closed).
    for (std::size_t I = 0; I < FQueue.size();)
        if (!FWanted.count(FQueue[I]->Key))
            FQueue.erase(FQueue.begin() + static_cast<long>(I));
        else
            ++I;
    std::vector<TJob*> Unwanted;
    for (const auto& J : FRunning)
        if (!FWanted.count(J->Key)) Unwanted.push_back(J.get());
    for (TJob* J : Unwanted)
        Cancel(J);
    FWanted.clear();
}

void TEpsRenderer::CancelAll() {
    FFileStates.clear();
    FQueue.clear();
    while (!FRunning.empty())
        Cancel(FRunning.front().get());
    FFailures.clear();
    FWanted.clear();
}

void TEpsRenderer::StartQueued() {
    while (static_cast<int>(FRunning.size()) < std::max(1, FOptions.MaxProcesses) &&
           !FQueue.empty()) {
        std::unique_ptr<TJob> Job = std::move(FQueue.front());
        FQueue.erase(FQueue.begin());
        Start(std::move(Job));
    }
}

void TEpsRenderer::Start(std::unique_ptr<TJob> Job) {
    // A private, empty folder: Ghostscript's working folder, its temporary folder and the
    // only place it may write; removed with everything in it when the render ends.
    Job->Dir = std::make_unique<QTemporaryDir>(QDir::tempPath() + "/zarvo-gs-XXXXXX");
    if (!Job->Dir->isValid()) {
        FFailures[Job->Key] = "kein temporärer Ordner";
        if (FOnReady) FOnReady();
        return;
    }
    // Gone since it was asked for (moved, deleted, its drive unmounted).
    if (!QFileInfo(QString::fromLocal8Bit(Job->Item.Name.c_str())).isFile()) {
        FFailures[Job->Key] = "Datei nicht gefunden";
        if (FOnReady) FOnReady();
        return;
    }
    const QString Work = Job->Dir->path();
    const TGsInvocation Inv =
        MakeGsInvocation(Job->Item, Job->Width, Job->Height, Job->Part, Work, FOptions.Gs,
                         FOptions.Bwrap, FOptions.WrapperBegin, FOptions.WrapperEnd);
    Job->OutputFile = Inv.OutputFile;
    Job->Process = std::make_unique<QProcess>();
    QProcess& P = *Job->Process;
    P.setProgram(Inv.Program);
    P.setArguments(Inv.Arguments);
    P.setWorkingDirectory(Work);
    P.setProcessChannelMode(QProcess::MergedChannels);
    P.setStandardInputFile(QProcess::nullDevice());
    QProcessEnvironment Env;
    Env.insert(QStringLiteral("PATH"), QStringLiteral("/usr/bin:/bin"));
    Env.insert(QStringLiteral("TMPDIR"), Work);
    Env.insert(QStringLiteral("TEMP"), Work);
    Env.insert(QStringLiteral("TMP"), Work);
    Env.insert(QStringLiteral("HOME"), Work);
    P.setProcessEnvironment(Env);
    P.setChildProcessModifier([] {
        // Processor time, address space and file size of the child and everything it starts.
        rlimit Cpu{RenderCpuSeconds, RenderCpuSeconds + 1};
        setrlimit(RLIMIT_CPU, &Cpu);
        rlimit Mem{static_cast<rlim_t>(RenderMemoryBytes), static_cast<rlim_t>(RenderMemoryBytes)};
        setrlimit(RLIMIT_AS, &Mem);
        rlimit File{static_cast<rlim_t>(RenderFileBytes), static_cast<rlim_t>(RenderFileBytes)};
        setrlimit(RLIMIT_FSIZE, &File);
        rlimit Core{0, 0};
        setrlimit(RLIMIT_CORE, &Core);
    });
    TJob* Raw = Job.get();
    QObject::connect(&P, &QProcess::finished, &P,
                     [this, Raw](int Code, QProcess::ExitStatus Status) {
                         Finish(Raw, Code, Status == QProcess::CrashExit);
                     });
    QObject::connect(&P, &QProcess::errorOccurred, &P, [this, Raw](QProcess::ProcessError E) {
        if (E == QProcess::FailedToStart) Finish(Raw, -1, true);
    });
    Job->Timer = std::make_unique<QTimer>();
    Job->Timer->setSingleShot(true);
    QObject::connect(Job->Timer.get(), &QTimer::timeout, Job->Timer.get(), [Raw] {
        Raw->TimedOut = true;
        Raw->Process->kill();
    });
    Job->Timer->start(TimeoutMs());
    Job->Clock.start();
    FRunning.push_back(std::move(Job));
    P.start();
}

void TEpsRenderer::Finish(TJob* Job, int ExitCode, bool Crashed) {
    auto It = std::find_if(FRunning.begin(), FRunning.end(),
                           [Job](const std::unique_ptr<TJob>& J) { return J.get() == Job; });
    if (It == FRunning.end()) return;
    std::unique_ptr<TJob> Done = std::move(*It);
    FRunning.erase(It);
    Done->Timer->stop();
    const QByteArray Output = Done->Process->readAll();
    const bool Started = Done->Process->error() != QProcess::FailedToStart;
    std::string Failure;
    if (!Started) {
        Failure = "Ghostscript startet nicht";
    } else if (Done->TimedOut) {
        Failure = "abgebrochen nach " + std::to_string((TimeoutMs() + 999) / 1000) + " s";
    } else if (Crashed || ExitCode > 128) {
        // Killed by a signal: the processor-time limit when it ran that long, else a crash.
        Failure = Done->Clock.elapsed() >= RenderCpuSeconds * 1000
                      ? "abgebrochen nach " + std::to_string(RenderCpuSeconds) + " s Rechenzeit"
                      : GsFailureLine(Output, "Ghostscript abgestürzt");
    } else if (ExitCode != 0) {
        Failure = GsFailureLine(Output, "Ghostscript: Fehler " + std::to_string(ExitCode));
    } else {
        QImage Image;
        if (!Image.load(Done->OutputFile, "PNG") || Image.size() != Done->Part.size())
            Failure = GsFailureLine(Output, "Ghostscript: kein Bild");
        else
            FCache.Insert(Done->Key, std::move(Image));
    }
    if (!Failure.empty()) FFailures[Done->Key] = Failure;
    // The process object is in the middle of its own signal: it goes from the event loop.
    QProcess* Process = Done->Process.release();
    QObject::disconnect(Process, nullptr, nullptr, nullptr);
    Process->deleteLater();
    StartQueued();
    if (FOnReady) FOnReady();
}

void TEpsRenderer::Cancel(TJob* Job) {
    auto It = std::find_if(FRunning.begin(), FRunning.end(),
                           [Job](const std::unique_ptr<TJob>& J) { return J.get() == Job; });
    if (It == FRunning.end()) return;
    std::unique_ptr<TJob> Gone = std::move(*It);
    FRunning.erase(It);
    Gone->Timer->stop();
    QProcess* P = Gone->Process.get();
    QObject::disconnect(P, nullptr, nullptr, nullptr);
    P->kill();
    P->waitForFinished(2000);
}

bool TEpsRenderer::WaitIdle(int TimeoutMs) {
    const QDeadlineTimer Deadline(TimeoutMs);
    while ((!FQueue.empty() || !FRunning.empty()) && !Deadline.hasExpired())
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 50);
    return FQueue.empty() && FRunning.empty();
}

} // namespace zarvo
