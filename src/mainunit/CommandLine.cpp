#include "CommandLine.h"

#include "KdeConnect.h"
#include "appDefine.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QStringList>

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
        QCoreApplication::translate("CommandLine", "With --send: the phone to send to, by its name."),
        QStringLiteral("NAME"));
    parser.addOption(send);
    parser.addOption(to);
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
    const QByteArray text = commandLine.Output.toLocal8Bit();
    std::FILE* stream = commandLine.Action == TCommandLine::TAction::Error ? stderr : stdout;
    const bool written = std::fwrite(text.constData(), 1, static_cast<size_t>(text.size()), stream)
            == static_cast<size_t>(text.size())
        && std::fflush(stream) == 0;
    // "velumo --version > /dev/full" must not look like success.
    return written || commandLine.ExitCode != 0 ? commandLine.ExitCode : 1;
}
