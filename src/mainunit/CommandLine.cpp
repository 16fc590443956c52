#include "CommandLine.h"

#include "KdeConnect.h"
#include "appDefine.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QStringList>

#include <cmath>
#include <cstdio>

namespace {
constexpr const char* ProgramName = "velumo";

// QApplication's own options; it reads them from argv itself.
struct TQtOption {
    const char* name;
    bool takesValue;
};
constexpr TQtOption QtOptions[] = {
    {"platform", true},
    {"platformpluginpath", true},
    {"platformtheme", true},
    {"plugin", true},
    {"qwindowgeometry", true},
    {"qwindowicon", true},
    {"qwindowtitle", true},
    {"display", true},
    {"geometry", true},
    {"style", true},
    {"stylesheet", true},
    {"session", true},
    {"reverse", false},
    {"widgetcount", false},
    {"nograb", false},
    {"dograb", false},
    {"sync", false},
};

// Everything that could be a file name becomes "\1<index>", so the FILE the
// parser picks out maps back to its raw argv bytes.
QStringList MarkedArguments(int argc, const char* const* argv)
{
    QStringList marked{QString::fromUtf8(ProgramName)};
    bool optionsEnded = false;
    for (int i = 1; i < argc; ++i) {
        const QByteArray raw(argv[i]);
        const bool option = !optionsEnded && raw.size() > 1 && raw.startsWith('-');
        if (raw == "--" && !optionsEnded) {
            optionsEnded = true;
            marked << QStringLiteral("--");
        } else if (option) {
            marked << QString::fromLocal8Bit(raw);
        } else {
            marked << QChar(1) + QString::number(i);
        }
    }
    return marked;
}

// An option's value: the argv bytes when it was a separate argument, the
// text after '=' otherwise.
QByteArray RawArgument(const QString& value, const char* const* argv)
{
    if (value.startsWith(QChar(1)))
        return QByteArray(argv[value.mid(1).toInt()]);
    return value.toLocal8Bit();
}

TCommandLine Failure(const QString& what)
{
    return {TCommandLine::TAction::Error, {},
        (QCoreApplication::translate("CommandLine", "%1: %2 Try '%1 --help'.") + u'\n')
            .arg(QString::fromUtf8(ProgramName), what),
        2};
}

// The song commands: --beats FILE, --suggest FILE [--length SECONDS].
struct TSongOptions {
    QCommandLineOption Beats{QStringLiteral("beats"),
        QCoreApplication::translate("CommandLine",
            "Prints the tempo of FILE in BPM on the first line (0 without a steady beat), then its beat "
            "times in seconds, one a line.")};
    QCommandLineOption Suggest{QStringLiteral("suggest"),
        QCoreApplication::translate("CommandLine",
            "Prints the ringtone suggested for FILE (its chorus) as one line: START END in seconds.")};
    QCommandLineOption Length{QStringLiteral("length"),
        QCoreApplication::translate("CommandLine", "Length of the suggested ringtone (default 30)."),
        QStringLiteral("SECONDS")};

    void AddTo(QCommandLineParser& parser) const
    {
        parser.addOption(Beats);
        parser.addOption(Suggest);
        parser.addOption(Length);
    }

    // Whether the command line asks for a song command; fills `out` with it
    // or with the failure.
    bool Read(const QCommandLineParser& parser, const QStringList& files, const char* const* argv,
        TCommandLine& out) const
    {
        const bool beats = parser.isSet(Beats);
        const bool suggest = parser.isSet(Suggest);
        if (!beats && !suggest) {
            if (!parser.isSet(Length))
                return false;
            out = Failure(QCoreApplication::translate("CommandLine", "--length goes with --suggest."));
            return true;
        }
        if (beats && suggest) {
            out = Failure(QCoreApplication::translate(
                "CommandLine", "Only one of --beats and --suggest may be given."));
            return true;
        }
        if (beats && parser.isSet(Length)) {
            out = Failure(QCoreApplication::translate("CommandLine", "--length goes with --suggest."));
            return true;
        }
        if (files.size() != 1) {
            out = Failure(QCoreApplication::translate("CommandLine", "%1 needs one FILE.")
                              .arg(beats ? QStringLiteral("--beats") : QStringLiteral("--suggest")));
            return true;
        }
        TCommandLine song;
        song.Action = beats ? TCommandLine::TAction::Beats : TCommandLine::TAction::Suggest;
        song.File = QByteArray(argv[files.first().mid(1).toInt()]);
        if (suggest && parser.isSet(Length)) {
            QString text = parser.value(Length);
            if (text.startsWith(QChar(1)))
                text = QString::fromLocal8Bit(argv[text.mid(1).toInt()]);
            bool number = false;
            const double seconds = text.trimmed().toDouble(&number);
            if (!number || !std::isfinite(seconds) || seconds <= 0 || seconds > MaxLengthSeconds) {
                // A bad number, not a bad command line: the command's own failure.
                out = {TCommandLine::TAction::Error, {},
                    (QCoreApplication::translate("CommandLine", "%1: Not a length in seconds: '%2'.") + u'\n')
                        .arg(QString::fromUtf8(ProgramName), text),
                    1};
                return true;
            }
            song.LengthSeconds = seconds;
        }
        out = song;
        return true;
    }

    // A day: longer is not a ringtone.
    static constexpr double MaxLengthSeconds = 86400;
};

// An option's value as text, from the argv bytes when it was a separate argument.
QString OptionText(
    const QCommandLineParser& parser, const QCommandLineOption& option, const char* const* argv)
{
    return QString::fromLocal8Bit(RawArgument(parser.value(option), argv));
}

TCommandLine BadNumber(const QString& what)
{
    return {TCommandLine::TAction::Error, {},
        (QCoreApplication::translate("CommandLine", "%1: %2") + u'\n')
            .arg(QString::fromUtf8(ProgramName), what),
        1};
}

// --save TARGET FILE [--from SECONDS --to SECONDS].
TCommandLine ReadSave(const QCommandLineParser& parser, const QCommandLineOption& save,
    const QCommandLineOption& from, const QCommandLineOption& to, const TSongOptions& song, bool send,
    const QStringList& files, const char* const* argv)
{
    if (send || parser.isSet(song.Beats) || parser.isSet(song.Suggest) || parser.isSet(song.Length))
        return Failure(QCoreApplication::translate(
            "CommandLine", "--save goes with none of --send, --beats, --suggest and --length."));
    if (parser.values(save).size() > 1 || parser.values(from).size() > 1 || parser.values(to).size() > 1)
        return Failure(
            QCoreApplication::translate("CommandLine", "--save takes one TARGET, one --from and one --to."));
    if (files.size() != 1)
        return Failure(QCoreApplication::translate("CommandLine", "--save needs one FILE after its TARGET."));
    if (parser.isSet(from) != parser.isSet(to))
        return Failure(QCoreApplication::translate("CommandLine", "--from and --to go together."));
    TCommandLine saving;
    saving.Action = TCommandLine::TAction::Save;
    saving.SaveTarget = RawArgument(parser.value(save), argv);
    if (saving.SaveTarget.isEmpty())
        return Failure(QCoreApplication::translate("CommandLine", "--save needs a TARGET."));
    saving.File = QByteArray(argv[files.first().mid(1).toInt()]);
    if (!parser.isSet(from))
        return saving;
    double seconds[2] = {};
    const QCommandLineOption* options[2] = {&from, &to};
    for (int i = 0; i < 2; ++i) {
        const QString text = OptionText(parser, *options[i], argv);
        bool number = false;
        seconds[i] = text.trimmed().toDouble(&number);
        if (!number || !std::isfinite(seconds[i]) || seconds[i] < 0 || seconds[i] > 100 * 3600.0)
            return BadNumber(
                QCoreApplication::translate("CommandLine", "Not a time in seconds: '%1'.").arg(text));
    }
    if (seconds[1] <= seconds[0])
        return BadNumber(QCoreApplication::translate("CommandLine", "--to (%1) must come after --from (%2).")
                             .arg(OptionText(parser, to, argv), OptionText(parser, from, argv)));
    saving.FromSeconds = seconds[0];
    saving.ToSeconds = seconds[1];
    return saving;
}
} // namespace

TCommandLine ParseCommandLine(int argc, const char* const* argv)
{
    QCommandLineParser parser;
    parser.setSingleDashWordOptionMode(QCommandLineParser::ParseAsLongOptions);
    parser.setApplicationDescription(QCoreApplication::translate("CommandLine",
        "Velumo MP3 Ringtone Maker: cut a part of a music file into an MP3, AMR, iPhone or Android "
        "ringtone."));
    const QCommandLineOption help({QStringLiteral("h"), QStringLiteral("help")},
        QCoreApplication::translate("CommandLine", "Shows this help."));
    const QCommandLineOption version({QStringLiteral("v"), QStringLiteral("version")},
        QCoreApplication::translate("CommandLine", "Shows the program's version."));
    parser.addOption(help);
    parser.addOption(version);
    const QCommandLineOption send(QStringLiteral("send"),
        QCoreApplication::translate(
            "CommandLine", "Sends FILE to the phone paired in KDE Connect, and ends."),
        QStringLiteral("FILE"));
    const QCommandLineOption to(QStringLiteral("to"),
        QCoreApplication::translate("CommandLine",
            "With --send: the phone to send to, by its name. With --save: where the ringtone ends, in "
            "seconds."),
        QStringLiteral("NAME"));
    const QCommandLineOption save(QStringLiteral("save"),
        QCoreApplication::translate("CommandLine",
            "Saves the ringtone of FILE as TARGET, its type by the extension, and ends: from --from to "
            "--to, or the suggested one."),
        QStringLiteral("TARGET"));
    const QCommandLineOption from(QStringLiteral("from"),
        QCoreApplication::translate("CommandLine", "With --save: where the ringtone starts, in seconds."),
        QStringLiteral("SECONDS"));
    parser.addOption(send);
    parser.addOption(save);
    parser.addOption(from);
    parser.addOption(to);
    const TSongOptions songOptions;
    songOptions.AddTo(parser);
    for (const TQtOption& qt : QtOptions) {
        QCommandLineOption option(QString::fromUtf8(qt.name));
        if (qt.takesValue)
            option.setValueName(QStringLiteral("value"));
        option.setFlags(QCommandLineOption::HiddenFromHelp);
        parser.addOption(option);
    }
    parser.addPositionalArgument(QStringLiteral("FILE"),
        QCoreApplication::translate("CommandLine", "A music file to open at start."),
        QStringLiteral("[FILE]"));

    if (!parser.parse(MarkedArguments(argc, argv)))
        return Failure(parser.errorText());
    if (parser.isSet(help))
        return {TCommandLine::TAction::Help, {},
            parser.helpText().replace(QStringLiteral("<executable_name>"), QString::fromUtf8(ProgramName)),
            0};
    if (parser.isSet(version))
        return {TCommandLine::TAction::Version, {},
            QStringLiteral("%1 %2\n").arg(QString::fromUtf8(ProgramName), QStringLiteral(VELUMO_VERSION)), 0};
    const QStringList files = parser.positionalArguments();
    if (parser.isSet(save))
        return ReadSave(parser, save, from, to, songOptions, parser.isSet(send), files, argv);
    if (parser.isSet(from))
        return Failure(QCoreApplication::translate("CommandLine", "--from goes with --save."));
    if (parser.isSet(to) && !parser.isSet(send))
        return Failure(QCoreApplication::translate("CommandLine", "--to goes with --send."));
    if (parser.isSet(send)) {
        const QStringList sends = parser.values(send);
        if (sends.size() > 1 || parser.values(to).size() > 1 || !files.isEmpty())
            return Failure(
                QCoreApplication::translate("CommandLine", "--send takes one file, and one --to."));
        TCommandLine sending{TCommandLine::TAction::Send, {}, {}, 0, RawArgument(sends.first(), argv), {}};
        if (sending.SendFile.isEmpty())
            return Failure(QCoreApplication::translate("CommandLine", "--send needs a file."));
        if (parser.isSet(to)) {
            sending.SendTo = QString::fromLocal8Bit(RawArgument(parser.value(to), argv));
            if (sending.SendTo.isEmpty())
                return Failure(QCoreApplication::translate("CommandLine", "--to needs a name."));
        }
        return sending;
    }
    if (TCommandLine song; songOptions.Read(parser, files, argv, song))
        return song;
    if (files.size() > 1)
        return Failure(QCoreApplication::translate("CommandLine", "Only one file may be given."));
    TCommandLine run;
    if (!files.isEmpty())
        run.File = QByteArray(argv[files.first().mid(1).toInt()]);
    return run;
}

int AnswerCommandLine(const TCommandLine& commandLine)
{
    if (commandLine.Action == TCommandLine::TAction::Send) {
        TKdeConnect kdeConnect;
        const TSendOutcome outcome
            = SendFile(kdeConnect, FileNameFromBytes(commandLine.SendFile), commandLine.SendTo);
        const TCommandLine answer{outcome.Sent ? TCommandLine::TAction::Help : TCommandLine::TAction::Error,
            {}, outcome.Line + u'\n', outcome.Sent ? 0 : 1, {}, {}};
        return AnswerCommandLine(answer);
    }
    if (commandLine.Action == TCommandLine::TAction::Beats
        || commandLine.Action == TCommandLine::TAction::Suggest)
        return RunSongCommand(commandLine);
    if (commandLine.Action == TCommandLine::TAction::Save)
        return RunSaveCommand(commandLine);
    std::FILE* stream = commandLine.Action == TCommandLine::TAction::Error ? stderr : stdout;
    const bool written = WriteAnswer(stream, commandLine.Output.toLocal8Bit());
    // "velumo --version > /dev/full" must not look like success.
    return written || commandLine.ExitCode != 0 ? commandLine.ExitCode : 1;
}

bool WriteAnswer(std::FILE* stream, const QByteArray& text)
{
    return std::fwrite(text.constData(), 1, static_cast<size_t>(text.size()), stream)
        == static_cast<size_t>(text.size())
        && std::fflush(stream) == 0;
}

int FailAnswer(QString why)
{
    // One line: a reason may hold line breaks from a path.
    why.replace(u'\n', u' ');
    WriteAnswer(stderr, (QStringLiteral("velumo: ") + DisplayFileName(why) + u'\n').toLocal8Bit());
    return 1;
}
