#include "workThread.h"

#include "appDefine.h"
#include "ringtone_types.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>

#include <algorithm>
#include <chrono>
#include <climits>
#include <cmath>
#include <condition_variable>
#include <csignal>
#include <cstring>
#include <mutex>
#include <thread>
#include <vector>

#include <fcntl.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

TCutMp3ThreadInfo MakeJobInfo(const QString& source, const QString& target, int startSeconds, int endSeconds)
{
    return MakeJobInfoMs(source, target, int64_t{startSeconds} * 1000, int64_t{endSeconds} * 1000);
}

static int ClampedInt(int64_t v)
{
    return static_cast<int>(std::clamp<int64_t>(v, INT_MIN, INT_MAX));
}

QString ConverterTimeText(int64_t ms)
{
    // A time before 0 keeps its sign: the converter refuses it.
    return ClockTextMs(ms, 3);
}

TCutMp3ThreadInfo MakeJobInfoMs(const QString& source, const QString& target, int64_t startMs, int64_t endMs)
{
    // The name the phone lists: control characters (legal in file names) would
    // make a tag no phone shows, so they become spaces; bytes of a name that
    // are not text are shown as replacement characters.
    QString title = DisplayFileName(QFileInfo(target).completeBaseName());
    for (QChar& c : title)
        if (c.category() == QChar::Other_Control)
            c = QLatin1Char(' ');
    const int64_t lengthMs = endMs - startMs;
    return {source, target, ConverterTimeText(startMs), ConverterTimeText(lengthMs),
        ClampedInt(startMs / 1000), ClampedInt(lengthMs / 1000), startMs, lengthMs, {}, title};
}

// Seconds with three decimals (the converter counts whole milliseconds).
static QString FadeText(int ms)
{
    return QString::number(std::clamp(ms, 0, 3600 * 1000) / 1000.0, 'f', 3);
}

static QString FromView(std::string_view text)
{
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

// The ringtone table's descriptions and kinds are plain C++; the translation
// tools find them here, and TypeText translates them where the user sees them.
[[maybe_unused]] constexpr const char* RingtoneTypeTexts[] = {
    QT_TRANSLATE_NOOP("RingtoneTypes", "Mp3 Music File"),
    QT_TRANSLATE_NOOP("RingtoneTypes", "AMR Ringtone"),
    QT_TRANSLATE_NOOP("RingtoneTypes", "iPhone Ringtone"),
    QT_TRANSLATE_NOOP("RingtoneTypes", "Android Ringtone"),
    QT_TRANSLATE_NOOP("RingtoneTypes", "an MP3 ringtone"),
    QT_TRANSLATE_NOOP("RingtoneTypes", "an AMR ringtone"),
    QT_TRANSLATE_NOOP("RingtoneTypes", "an iPhone ringtone"),
    QT_TRANSLATE_NOOP("RingtoneTypes", "an Android ringtone"),
};

static QString TypeText(std::string_view text)
{
    return QCoreApplication::translate("RingtoneTypes", std::string(text).c_str());
}

const std::vector<TRingtoneType>& RingtoneTypes()
{
    static const std::vector<TRingtoneType> types = [] {
        std::vector<TRingtoneType> list;
        for (const ringtone::Type& t : ringtone::kTypes) {
            QStringList options;
            for (const std::string& o : ringtone::exportOptions(t))
                options << QString::fromStdString(o);
            list.push_back({FromView(t.extension), FromView(t.description), options, t.phonePlaysSeconds,
                t.channels, t.rate});
        }
        return list;
    }();
    return types;
}

const TRingtoneType* RingtoneTypeFor(const QString& target)
{
    const QString extension = FileExtension(target);
    for (const TRingtoneType& type : RingtoneTypes())
        if (extension == type.Extension)
            return &type;
    return nullptr;
}

QString RingtoneFilter()
{
    QStringList parts;
    for (const TRingtoneType& type : RingtoneTypes())
        parts << QStringLiteral("%1 (*%2)").arg(TypeText(type.Description.toStdString()), type.Extension)
              << QStringLiteral("*") + type.Extension;
    return parts.join(QLatin1Char('|'));
}

std::optional<TConverterCommand> ConverterCommand(const TCutMp3ThreadInfo& info)
{
    const TRingtoneType* type = RingtoneTypeFor(info.TargetFile);
    if (!type)
        return std::nullopt;
    QStringList args{QStringLiteral("-i"), info.SourceFile, QStringLiteral("-ss"), info.StartTime,
        QStringLiteral("-t"), info.Duration};
    args << type->Options << QStringLiteral("-fadein") << FadeText(info.Shape.FadeInMs)
         << QStringLiteral("-fadeout") << FadeText(info.Shape.FadeOutMs);
    // The converter refuses more than 40 dB either way; so does the loudness match.
    const double gain = std::isfinite(info.Shape.GainDb) ? std::clamp(info.Shape.GainDb, -40.0, 40.0) : 0.0;
    args << QStringLiteral("-gain") << QString::number(gain, 'f', 3);
    if (info.Shape.Limit)
        args << QStringLiteral("-limit");
    args << QStringLiteral("-title") << info.Title << info.TargetFile;
    return TConverterCommand{QStringLiteral("av"), args};
}

namespace {

QString NotSaved(const QString& why)
{
    return QCoreApplication::translate("Export", "The ringtone was not saved: ") + why;
}

// The converter's own reason: its last "av: ..." line, without the prefix.
QString ConverterSays(const QString& errorOutput)
{
    const QStringList lines = errorOutput.split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    for (auto line = lines.crbegin(); line != lines.crend(); ++line) {
        if (line->startsWith(QLatin1String("av: ")))
            return line->mid(4).trimmed();
    }
    return {};
}

QString Sentence(QString text)
{
    if (!text.isEmpty() && !text.endsWith(QLatin1Char('.')))
        text += QLatin1Char('.');
    return text;
}

// "\"a.wav\" is neither an MP3 ringtone (\".mp3\") nor ...; the name must end
// in one of these, in lower case."
QString NotARingtoneType(const QString& target)
{
    QStringList kinds;
    for (const ringtone::Type& t : ringtone::kTypes)
        kinds << QCoreApplication::translate("Export", "%1 (\"%2\")")
                     .arg(TypeText(t.kind), FromView(t.extension));
    return QCoreApplication::translate(
        "Export", "\"%1\" is neither %2; the name must end in one of these, in lower case.")
        .arg(QFileInfo(target).fileName(), kinds.join(QCoreApplication::translate("Export", " nor ")));
}

QString LowerFirst(QString text)
{
    if (text.size() > 1 && text.at(0).isUpper() && text.at(1).isLower())
        text[0] = text.at(0).toLower();
    return text;
}

} // namespace

TInstallPlaces InstalledPlaces()
{
    return {QStringLiteral(VELUMO_INSTALL_BINDIR), QStringLiteral(VELUMO_INSTALL_LIBEXECDIR)};
}

QStringList ConverterFolders(const TJobPlace& place, const TInstallPlaces& installed)
{
    const auto same = [](const QString& a, const QString& b) {
        const QString canonical = QFileInfo(a).canonicalFilePath();
        return !canonical.isEmpty() && canonical == QFileInfo(b).canonicalFilePath();
    };
    QStringList folders;
    if (!installed.LibexecDir.isEmpty() && same(place.ProgramDir, installed.BinDir))
        folders << installed.LibexecDir;
    else if (!place.ProgramDir.isEmpty())
        folders << place.ProgramDir;
    if (!place.WorkDir.isEmpty())
        folders << place.WorkDir;
    return folders;
}

QString FindConverter(
    const TJobPlace& place, const QString& name, QString* problem, const TInstallPlaces& installed)
{
    for (const QString& folder : ConverterFolders(place, installed)) {
        const QString path = QDir(folder).filePath(name);
        const std::optional<QByteArray> native = FileNameBytes(path);
        if (!native)
            continue;
        struct stat st { };
        if (::stat(native->constData(), &st) == 0) {
            if (S_ISREG(st.st_mode))
                return path;
            continue;
        }
        // Anything but "not there" in the work folder hides a converter that
        // may well be in it.
        if (problem && folder == place.WorkDir && errno != ENOENT)
            *problem = QCoreApplication::translate("WorkFolder", "The work folder %1 cannot be read (%2).")
                           .arg(folder, qt_error_string(errno));
    }
    return {};
}

TJobOutcome JudgeRun(const TRunResult& run, const QString& target, qint64 targetSize)
{
    switch (run.State) {
    case TRunResult::TState::NotStarted:
        return {false,
            NotSaved(QCoreApplication::translate("Export", "the converter could not be started (%1).")
                         .arg(qt_error_string(run.Code)))};
    case TRunResult::TState::Killed:
        return {false,
            NotSaved(QCoreApplication::translate("Export", "the converter was stopped by signal %1 (%2).")
                         .arg(run.Code)
                         .arg(QString::fromLocal8Bit(::strsignal(run.Code))))};
    case TRunResult::TState::Exited:
        break;
    }
    if (run.Code != 0) {
        const QString said = ConverterSays(run.ErrorOutput);
        // A line beginning with a capital is a whole sentence for the user.
        if (!said.isEmpty() && said.at(0).isUpper())
            return {false, Sentence(said)};
        if (!said.isEmpty())
            return {false, NotSaved(Sentence(said))};
        if (run.Code < 0)
            return {false,
                NotSaved(
                    QCoreApplication::translate("Export", "the converter's end could not be observed."))};
        return {false,
            NotSaved(QCoreApplication::translate("Export", "the converter failed with exit status %1.")
                         .arg(run.Code))};
    }
    if (targetSize < 0)
        return {false,
            NotSaved(QCoreApplication::translate(
                "Export", "the converter reported success, but \"%1\" is not there.")
                         .arg(target))};
    if (targetSize == 0)
        return {false,
            NotSaved(
                QCoreApplication::translate("Export", "the converter reported success, but \"%1\" is empty.")
                    .arg(target))};
    return {true, {}};
}

// What the worker and the view share. The view may go first (its window
// closed); the worker then finds View empty and carries on alone.
struct TJobLink {
    // Recursive: a queued call dropped while it is being posted signals its
    // end on the posting thread, which holds the lock.
    std::recursive_mutex Mutex;
    std::condition_variable_any Changed;
    TJobView* View = nullptr;
    // A job is running and has not yet started its converter (or decided not to).
    bool HoldExit = false;
};

TJobView::TJobView(QObject* parent)
    : QObject(parent)
    , link_(std::make_shared<TJobLink>())
{
    link_->View = this;
}

TJobView::~TJobView()
{
    std::unique_lock lock(link_->Mutex);
    link_->View = nullptr;
    link_->Changed.notify_all();
    // The process may end right after the window: let the converter start
    // first, so it can run on and finish the ringtone.
    link_->Changed.wait_for(lock, std::chrono::seconds(5), [this] { return !link_->HoldExit; });
}

void TCutMp3Thread::Start(const TCutMp3ThreadInfo& info, const TJobPlace& place, TJobView* view)
{
    std::unique_ptr<TCutMp3Thread> job;
    try {
        job.reset(new TCutMp3Thread(info, place, view));
    } catch (...) {
        view->deleteLater();
        Converting = false;
        throw;
    }
    // Detached: nothing waits for it, and it never keeps the process from ending.
    std::thread([job = std::move(job)]() mutable {
        job->Execute();
        job.reset();
    }).detach();
}

TCutMp3Thread::TCutMp3Thread(const TCutMp3ThreadInfo& info, const TJobPlace& place, TJobView* view)
    : Info(info)
    , Place(place)
    , link_(view->link_)
{
    std::lock_guard lock(link_->Mutex);
    link_->HoldExit = true;
}

TCutMp3Thread::~TCutMp3Thread()
{
    LetExit();
    {
        std::lock_guard lock(link_->Mutex);
        if (link_->View)
            link_->View->deleteLater();
    }
    Converting = false;
}

void TCutMp3Thread::Execute()
{
    StatusText = JobText::Converting();
    SetStatus();
    StatusText = JobText::Generating(Info.TargetFile);
    SetStatus();
    const TJobOutcome outcome = Convert();
    if (outcome.Completed) {
        StatusText = JobText::Completed();
        SetStatus();
        ReportDone();
    } else {
        StatusText = JobText::Failed();
        SetStatus();
        ReportFailure(outcome.Reason);
    }
}

TJobOutcome ConvertJob(
    const TCutMp3ThreadInfo& info, const TJobPlace& place, const std::function<void()>& started)
{
    // Once, whichever way this returns.
    struct TStartedOnReturn {
        const std::function<void()>& started;
        bool called = false;
        void operator()()
        {
            if (!called && started)
                started();
            called = true;
        }
        ~TStartedOnReturn() { (*this)(); }
    } startedOnce{started};

    if (info.SourceFile.isEmpty())
        return {false,
            NotSaved(QCoreApplication::translate(
                "Export", "no music file is open. Open one, mark the part you want, then save."))};
    const std::optional<TConverterCommand> command = ConverterCommand(info);
    if (!command)
        return {false, NotSaved(NotARingtoneType(info.TargetFile))};
    if (!place.WorkDirProblem.isEmpty())
        return {false, NotSaved(Sentence(LowerFirst(place.WorkDirProblem)))};
    QString folderProblem;
    const QString program = FindConverter(place, command->Program, &folderProblem);
    if (program.isEmpty() && !folderProblem.isEmpty())
        return {false, NotSaved(LowerFirst(folderProblem))};
    if (program.isEmpty())
        return {false,
            NotSaved(QCoreApplication::translate(
                "Export", "the converter \"%1\" is neither %2 nor in the work folder (%3).")
                         .arg(command->Program,
                             ConverterFolders(place).value(0) == place.ProgramDir
                                 ? QCoreApplication::translate("Export", "beside the program (%1)")
                                       .arg(place.ProgramDir)
                                 : QCoreApplication::translate("Export", "in %1")
                                       .arg(InstalledPlaces().LibexecDir),
                             place.WorkDir))};
    const TRunResult run
        = RunAndWait(program, command->Arguments, place.WorkDir, [&startedOnce] { startedOnce(); });
    return JudgeRun(run, info.TargetFile, FileSize(info.TargetFile));
}

TJobOutcome TCutMp3Thread::Convert()
{
    return ConvertJob(Info, Place, [this] { LetExit(); });
}

void TCutMp3Thread::SetStatus()
{
    Synchronize([text = StatusText](TJobView& view) { view.SetStatus(text); });
}

void TCutMp3Thread::ReportDone()
{
    const QString folder = QFileInfo(Info.TargetFile).absolutePath() + QLatin1Char('/');
    QString question = JobText::OpenFolderQuestion();
    const TRingtoneType* type = RingtoneTypeFor(Info.TargetFile);
    if (type && type->PhonePlaysSeconds > 0 && Info.LengthMs > int64_t{type->PhonePlaysSeconds} * 1000)
        question += JobText::PhoneLimit(type->PhonePlaysSeconds);
    Synchronize([folder, question, target = Info.TargetFile](TJobView& view) {
        view.Saved(target);
        if (view.Question(JobText::ConfirmCaption(), question))
            view.OpenFolder(folder);
    });
}

void TCutMp3Thread::ReportFailure(const QString& reason)
{
    Synchronize([reason](TJobView& view) { view.Error(reason); });
}

bool TCutMp3Thread::Synchronize(std::function<void(TJobView&)> step)
{
    struct TCall {
        bool Ran = false;
        bool Finished = false;
    };
    // Owned by the queued call: gone when the call has run, or when it was
    // dropped because the view went first. Either way the worker wakes.
    struct TCallEnd {
        std::shared_ptr<TJobLink> Link;
        std::shared_ptr<TCall> Call;
        TCallEnd(std::shared_ptr<TJobLink> link, std::shared_ptr<TCall> call)
            : Link(std::move(link))
            , Call(std::move(call))
        {
        }
        ~TCallEnd()
        {
            std::lock_guard lock(Link->Mutex);
            Call->Finished = true;
            Link->Changed.notify_all();
        }
        TCallEnd(const TCallEnd&) = delete;
        TCallEnd& operator=(const TCallEnd&) = delete;
    };

    auto call = std::make_shared<TCall>();
    std::unique_lock lock(link_->Mutex);
    if (!link_->View)
        return false;
    QMetaObject::invokeMethod(
        link_->View,
        [end = std::make_shared<TCallEnd>(link_, call), step = std::move(step)] {
            // On the GUI thread, so the view cannot go while this runs.
            TJobView* view = nullptr;
            {
                std::lock_guard lock(end->Link->Mutex);
                view = end->Link->View;
            }
            if (!view)
                return;
            step(*view);
            std::lock_guard lock(end->Link->Mutex);
            end->Call->Ran = true;
        },
        Qt::QueuedConnection);
    link_->Changed.wait(lock, [&] { return call->Finished || !link_->View; });
    return call->Ran;
}

void TCutMp3Thread::LetExit()
{
    std::lock_guard lock(link_->Mutex);
    link_->HoldExit = false;
    link_->Changed.notify_all();
}
