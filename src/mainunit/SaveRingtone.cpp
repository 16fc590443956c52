// velumo --save TARGET FILE [--from SECONDS --to SECONDS]: the window's Save
// without a window, for scripts.
#include "SaveRingtone.h"

#include "CommandLine.h"
#include "MediaDevice.h"
#include "MediaLoader.h"
#include "Options.h"
#include "appDefine.h"
#include "workThread.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QString>

#include <cmath>
#include <cstdio>
#include <exception>
#include <string>

namespace {

struct TToolFile {
    const char* resourceName;
    const char* fileName;
    TFileMode mode;
};
// What the export runs, written into the work folder at every start.
constexpr TToolFile ToolFiles[] = {
    {"av", "av", TFileMode::Executable},
};

QString Seconds(int64_t ms)
{
    return QString::number(static_cast<double>(ms) / 1000.0, 'f', 3);
}

} // namespace

void PrepareWorkPlace()
{
    WorkDir = GetTempDirectory() + QString::fromUtf8(WorkFolderName);
    WorkDirProblem = PrepareWorkFolder(WorkDir);
    // An unsafe folder gets nothing: the export reports WorkDirProblem instead.
    if (!WorkDirProblem.isEmpty())
        return;
    for (const TToolFile& tool : ToolFiles)
        ExtractResourceToFile(QStringLiteral("exefile"), QString::fromUtf8(tool.resourceName),
            WorkDir + QString::fromUtf8(tool.fileName), tool.mode);
}

int RunSaveCommand(const TCommandLine& commandLine)
{
    const QString source = FileNameFromBytes(commandLine.File);
    const QString target = FileNameFromBytes(commandLine.SaveTarget);
    // The save dialog's rule: the extension names the type.
    const TRingtoneType* type = RingtoneTypeFor(target);
    if (!type) {
        QStringList extensions;
        for (const TRingtoneType& known : RingtoneTypes())
            extensions << known.Extension;
        return FailAnswer(QCoreApplication::translate(
            "CommandLine", "\"%1\" is not a ringtone type: its name must end in %2.")
                              .arg(QFileInfo(target).fileName(), extensions.join(QStringLiteral(", "))));
    }
    const TMediaModuleEntries* entries = nullptr;
    try {
        entries = &MediaLoader().Entries();
    } catch (const std::exception& e) {
        return FailAnswer(QString::fromStdString(e.what()));
    }
    if (entries->QuietLibraries)
        entries->QuietLibraries();

    int64_t startMs = std::llround(commandLine.FromSeconds * 1000);
    int64_t endMs = std::llround(commandLine.ToSeconds * 1000);
    if (commandLine.FromSeconds < 0) {
        if (!entries->AnalyseSong)
            return FailAnswer(
                QCoreApplication::translate("CommandLine", "The sound module cannot analyse songs."));
        const std::string path(commandLine.File.constData(), static_cast<size_t>(commandLine.File.size()));
        const TSongAnalysisResult song = entries->AnalyseSong(path, nullptr);
        if (!song.Error.empty())
            return FailAnswer(
                QString::fromLocal8Bit(song.Error.data(), static_cast<qsizetype>(song.Error.size())));
        // As long as the phone plays, at most.
        const music::TChorusSuggestion pick = song.Sections
            ? song.Sections->SuggestChorus(30, type->PhonePlaysSeconds)
            : music::TChorusSuggestion{};
        if (pick.EndSeconds <= pick.StartSeconds)
            return FailAnswer(
                QCoreApplication::translate("CommandLine", "No sound in \"%1\" to suggest a ringtone from.")
                    .arg(source));
        startMs = std::llround(pick.StartSeconds * 1000);
        endMs = std::llround(pick.EndSeconds * 1000);
    }

    // The choices and the measurement the window's Save uses.
    const TCutMp3ThreadInfo job = MakeSaveJob(
        source, target, startMs, endMs, ReadRingtoneChoices(), [](const TLoudnessKey& key) {
            const TMatchGain gain = MeasureMatchGainInModule(key);
            // Saved all the same, at the ringtone's own loudness, as the window does.
            if (!gain.Measured)
                WriteAnswer(stderr,
                    (QStringLiteral("velumo: ")
                        + QCoreApplication::translate("TMainForm", "Loudness could not be measured") + u'\n')
                        .toLocal8Bit());
            return gain;
        });
    PrepareWorkPlace();
    const TJobOutcome outcome
        = ConvertJob(job, TJobPlace{WorkDir, WorkDirProblem, QCoreApplication::applicationDirPath()});
    if (!outcome.Completed)
        return FailAnswer(outcome.Reason);
    const QString line = QCoreApplication::translate("CommandLine", "Saved \"%1\" from %2 to %3 seconds.")
                             .arg(DisplayFileName(job.TargetFile), Seconds(job.StartMs),
                                 Seconds(job.StartMs + job.LengthMs));
    if (!WriteAnswer(stdout, (line + u'\n').toLocal8Bit()))
        return FailAnswer(QCoreApplication::translate("CommandLine", "Cannot write the answer."));
    return 0;
}
