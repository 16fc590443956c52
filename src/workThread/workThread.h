#pragma once
// The export job: its record, the converter's command line built from it, the
// runner that starts the converter without a shell, and the worker thread
// that runs one job and reports to the window through TJobView.

#include <QCoreApplication>
#include <QObject>
#include <QString>
#include <QStringList>

#include "RingtoneShape.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <vector>

struct TCutMp3ThreadInfo {
    QString SourceFile;
    QString TargetFile;
    QString StartTime; // clock text of the selection start, as the command line gives it
    QString Duration; // clock text of the selection length, as the command line gives it
    int StartSeconds = 0; // the selection's start, whole seconds toward zero
    int LengthSeconds = 0; // the selection's length, whole seconds toward zero
    int64_t StartMs = 0; // the selection's start
    int64_t LengthMs = 0; // the selection's length
    ringtone::TShapePlan Shape; // fades, gain and limiter; the window fills it
    QString Title; // the title tag: the target's file name without its extension
};

// The job record for a selection given in whole seconds; Shape is left plain.
TCutMp3ThreadInfo MakeJobInfo(const QString& source, const QString& target, int startSeconds, int endSeconds);
// The same for a selection in ms; whole seconds give the same record.
TCutMp3ThreadInfo MakeJobInfoMs(const QString& source, const QString& target, int64_t startMs, int64_t endMs);
// A time as the converter's command line gives it: "hh:mm:ss" for a whole
// second (the clock text), "hh:mm:ss.mmm" for any other.
QString ConverterTimeText(int64_t ms);

struct TConverterCommand {
    QString Program;
    QStringList Arguments;
};

// A kind of ringtone the export writes, chosen by the target's extension;
// read from the one table of ringtone types.
struct TRingtoneType {
    QString Extension; // ".mp3", letter case exact
    QString Description; // as the save dialog offers it
    QStringList Options; // the converter's options between the times and the target
    int PhonePlaysSeconds = 0; // how much of a ringtone the phone plays; 0: all of it
    int Channels = 2; // the ringtone's
    int Rate = 0; // the ringtone's, Hz; 0: the song's
};
// In the order the save dialog offers them; the first is the default.
const std::vector<TRingtoneType>& RingtoneTypes();
// The type for a target path; none when its extension matches no type.
const TRingtoneType* RingtoneTypeFor(const QString& target);
// The save dialog's filter: "description|pattern" pairs joined by '|'.
QString RingtoneFilter();

// The converter's command line for the target's type, with the job's shape
// and title. None for any other extension. The source, the title and the
// target are single arguments whatever they contain.
std::optional<TConverterCommand> ConverterCommand(const TCutMp3ThreadInfo& info);

// How a child process ended.
struct TRunResult {
    enum class TState { NotStarted, Exited, Killed };
    TState State = TState::NotStarted;
    // Exit status, signal number, or errno of the failed start.
    int Code = 0;
    // What it wrote on stderr (its last 64 KiB).
    QString ErrorOutput;
};

// Starts program (a path, never searched for) with arguments, each one
// argument as it stands, in workingDirectory (empty: ours); stdin and stdout
// are /dev/null. Blocks until the child ends, without a time limit. started
// runs once the child exists. The child is never signalled by us: it runs on
// if this process ends first.
TRunResult RunAndWait(const QString& program, const QStringList& arguments, const QString& workingDirectory,
    const std::function<void()>& started = {});

// Where a job runs, taken on the GUI thread when it starts.
struct TJobPlace {
    QString WorkDir; // ends with '/'
    QString WorkDirProblem; // empty while the work folder is safe
    QString ProgramDir; // folder of the running executable
};

// Where an installed copy keeps its files: the program in BinDir, its
// converter in LibexecDir. Fixed when the build is configured.
struct TInstallPlaces {
    QString BinDir;
    QString LibexecDir;
};
TInstallPlaces InstalledPlaces();

// The folders that may hold the converter, in the order they are tried. The
// installed program (running from BinDir) takes the converter installed with
// it, never a stranger's "av" from a shared bin folder; any other copy looks
// beside the executable. The work folder (the copy written at start) comes last.
QStringList ConverterFolders(const TJobPlace& place, const TInstallPlaces& installed = InstalledPlaces());

// The converter's path in the first of ConverterFolders that holds it; empty
// when none does; problem then says so when the work folder could not be
// searched (left as it is otherwise).
QString FindConverter(const TJobPlace& place, const QString& name, QString* problem = nullptr,
    const TInstallPlaces& installed = InstalledPlaces());

struct TJobOutcome {
    bool Completed = false;
    QString Reason; // why not, in words for the error box
};

// Judges a finished run of the converter: it must have exited with 0 and left
// a non-empty target. targetSize is -1 when the target does not exist.
TJobOutcome JudgeRun(const TRunResult& run, const QString& target, qint64 targetSize);

namespace JobText {
// Functions, so each text is translated in the language loaded when it is shown.
inline QString Converting()
{
    return QCoreApplication::translate("JobText", "Converting Mp3 Ringtone ... ");
}
inline QString Generating(const QString& target)
{
    return QCoreApplication::translate("JobText", "Generating %1 ...").arg(target);
}
inline QString Completed()
{
    return QCoreApplication::translate("JobText", "Completed.");
}
inline QString Failed()
{
    return QCoreApplication::translate("JobText", "Failed.");
}
inline QString ConfirmCaption()
{
    return QCoreApplication::translate("JobText", "Confirm");
}
inline QString OpenFolderQuestion()
{
    return QCoreApplication::translate("JobText", "Completed. Do you want to open the target directory?");
}
// Added to the question when the phone plays only part of the ringtone.
inline QString PhoneLimit(int seconds)
{
    return QCoreApplication::translate(
        "JobText", " Note that the phone plays at most %1 seconds of a ringtone.")
        .arg(seconds);
}
} // namespace JobText

// Runs the job's converter and judges what it left: the whole of the Save
// command after its record is made, for the window's worker and for
// "velumo --save" alike. started runs once the converter exists (or once it
// is clear it will not start). Blocks until the converter ends.
TJobOutcome ConvertJob(
    const TCutMp3ThreadInfo& info, const TJobPlace& place, const std::function<void()>& started = {});

struct TJobLink;

// The window's side of a job; lives on the GUI thread, and every call comes
// there. Once it is destroyed the job carries on without a window. Its
// destructor waits (a few seconds at most) for a converter about to start, so
// a window closed at that moment still gets its ringtone.
class TJobView : public QObject {
public:
    explicit TJobView(QObject* parent = nullptr);
    ~TJobView() override;

    virtual void SetStatus(const QString& text) = 0;
    // Yes and No; true on Yes.
    virtual bool Question(const QString& caption, const QString& text) = 0;
    virtual void Error(const QString& text) = 0;
    virtual void OpenFolder(const QString& folder) = 0;
    // The ringtone is saved at target (called before the completion question).
    virtual void Saved(const QString& target) { (void)target; }

private:
    friend class TCutMp3Thread;
    std::shared_ptr<TJobLink> link_;
};

// One export job on a thread of its own, which frees the object when the job
// is done; the destructor clears Converting.
class TCutMp3Thread {
public:
    // Call on the GUI thread with Converting already set. The job takes its
    // own copies of info and place, and deletes view (later, on its thread)
    // when it no longer needs it. Throws when no thread can be started.
    static void Start(const TCutMp3ThreadInfo& info, const TJobPlace& place, TJobView* view);

    ~TCutMp3Thread();
    TCutMp3Thread(const TCutMp3Thread&) = delete;
    TCutMp3Thread& operator=(const TCutMp3Thread&) = delete;

private:
    TCutMp3Thread(const TCutMp3ThreadInfo& info, const TJobPlace& place, TJobView* view);

    void Execute();
    TJobOutcome Convert();
    // Shown on the GUI thread; the worker waits until they have run there.
    void SetStatus();
    void ReportDone();
    void ReportFailure(const QString& reason);
    // Runs step on the GUI thread and blocks until it has run. False at once
    // when the view is gone.
    bool Synchronize(std::function<void(TJobView&)> step);
    // The view need not wait for this job any more before it goes.
    void LetExit();

    QString StatusText;
    TCutMp3ThreadInfo Info;
    TJobPlace Place;
    std::shared_ptr<TJobLink> link_;
};
