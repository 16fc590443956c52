// velumo --beats FILE and velumo --suggest FILE: the sound module's analysis
// of a whole song, printed for scripts.
#include "CommandLine.h"
#include "MediaLoader.h"

#include <QCoreApplication>
#include <QString>

#include <cstdio>
#include <exception>
#include <string>

namespace {

// Seconds with a dot whatever the locale, as scripts read them.
QString Seconds(double seconds)
{
    return QString::number(seconds, 'f', 3);
}

} // namespace

int RunSongCommand(const TCommandLine& commandLine)
{
    const TMediaModuleEntries* entries = nullptr;
    try {
        entries = &MediaLoader().Entries();
    } catch (const std::exception& e) {
        return FailAnswer(QString::fromStdString(e.what()));
    }
    if (!entries->AnalyseSong)
        return FailAnswer(
            QCoreApplication::translate("CommandLine", "The sound module cannot analyse songs."));
    if (entries->QuietLibraries)
        entries->QuietLibraries();
    // The argument's own bytes: a name that is not UTF-8 still names the file.
    const std::string path(commandLine.File.constData(), static_cast<size_t>(commandLine.File.size()));
    const TSongAnalysisResult song = entries->AnalyseSong(path, nullptr);
    if (!song.Error.empty())
        return FailAnswer(
            QString::fromLocal8Bit(song.Error.data(), static_cast<qsizetype>(song.Error.size())));

    QString out;
    if (commandLine.Action == TCommandLine::TAction::Beats) {
        out = QString::number(song.Grid.TempoBpm, 'f', 2) + u'\n';
        for (const double beat : song.Grid.Beats)
            out += Seconds(beat) + u'\n';
    } else {
        const music::TChorusSuggestion pick = song.Sections
            ? song.Sections->SuggestChorus(commandLine.LengthSeconds, 0)
            : music::TChorusSuggestion{};
        if (pick.EndSeconds <= pick.StartSeconds)
            return FailAnswer(
                QCoreApplication::translate("CommandLine", "No sound in \"%1\" to suggest a ringtone from.")
                    .arg(QString::fromLocal8Bit(commandLine.File)));
        out = Seconds(pick.StartSeconds) + u' ' + Seconds(pick.EndSeconds) + u'\n';
    }
    if (!WriteAnswer(stdout, out.toUtf8()))
        return FailAnswer(QCoreApplication::translate("CommandLine", "Cannot write the answer."));
    return 0;
}
