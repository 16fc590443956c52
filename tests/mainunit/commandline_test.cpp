#include "CommandLine.h"

#include <QDir>
#include <QProcess>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <vector>

using TAction = TCommandLine::TAction;

namespace {
const QString Version = QStringLiteral("velumo " VELUMO_VERSION "\n");

TCommandLine Parse(std::vector<const char*> arguments)
{
    arguments.insert(arguments.begin(), "velumo");
    return ParseCommandLine(static_cast<int>(arguments.size()), arguments.data());
}
} // namespace

TEST(CommandLine, EachArgumentListGetsItsAnswer)
{
    struct TCase {
        std::vector<const char*> arguments;
        TAction action;
        QByteArray file;
        QString output; // the whole text; for help, its first line
        int exitCode;
    };
    const QString tryHelp = QStringLiteral(" Try 'velumo --help'.\n");
    const TCase cases[] = {
        {{}, TAction::Run, "", "", 0},
        {{"song.mp3"}, TAction::Run, "song.mp3", "", 0},
        // Not UTF-8: the same bytes reach the Open command.
        {{"/music/caf\xe9 \xff.mp3"}, TAction::Run, "/music/caf\xe9 \xff.mp3", "", 0},
        {{"-platform", "offscreen", "-reverse", "a b.mp3"}, TAction::Run, "a b.mp3", "", 0},
        {{"--", "-dash.mp3"}, TAction::Run, "-dash.mp3", "", 0},
        {{"-"}, TAction::Run, "-", "", 0},
        {{"--version"}, TAction::Version, "", Version, 0},
        {{"-v", "song.mp3"}, TAction::Version, "", Version, 0},
        {{"--help"}, TAction::Help, "", "Usage: velumo [options] [FILE]", 0},
        {{"-h"}, TAction::Help, "", "Usage: velumo [options] [FILE]", 0},
        {{"--frobnicate"}, TAction::Error, "", "velumo: Unknown option 'frobnicate'." + tryHelp, 2},
        {{"song.mp3", "--help", "-x"}, TAction::Error, "", "velumo: Unknown option 'x'." + tryHelp, 2},
        {{"a.mp3", "b.mp3"}, TAction::Error, "", "velumo: Only one file may be given." + tryHelp, 2},
        {{"-style"}, TAction::Error, "", "velumo: Missing value after '-style'." + tryHelp, 2},
    };
    for (const TCase& c : cases) {
        const TCommandLine got = Parse(c.arguments);
        const QString line = c.arguments.empty() ? QString() : QString::fromLatin1(c.arguments.front());
        EXPECT_EQ(got.Action, c.action) << line.toStdString();
        EXPECT_EQ(got.File, c.file) << line.toStdString();
        EXPECT_EQ(got.ExitCode, c.exitCode) << line.toStdString();
        const QString output = c.action == TAction::Help ? got.Output.section('\n', 0, 0) : got.Output;
        EXPECT_EQ(output, c.output) << line.toStdString();
    }
}

// The real program answers on a machine without a display (a window would
// need one: Qt's xcb platform without DISPLAY aborts) and writes no work folder.
TEST(CommandLine, TheProgramAnswersWithoutADisplay)
{
    struct TCase {
        QStringList arguments;
        int exitCode;
        QByteArray out; // start of stdout
        QByteArray err; // all of stderr
    };
    const TCase cases[] = {
        {{"--version"}, 0, Version.toUtf8(), ""},
        {{"--help"}, 0, "Usage: velumo [options] [FILE]\n", ""},
        {{"--no-such-option", "song.mp3"}, 2, "",
            "velumo: Unknown option 'no-such-option'. Try 'velumo --help'.\n"},
    };
    for (const TCase& c : cases) {
        QTemporaryDir temp;
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.remove(QStringLiteral("DISPLAY"));
        environment.remove(QStringLiteral("WAYLAND_DISPLAY"));
        environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("xcb"));
        environment.insert(QStringLiteral("XDG_RUNTIME_DIR"), temp.path());
        environment.insert(QStringLiteral("TMPDIR"), temp.path());
        QProcess program;
        program.setProcessEnvironment(environment);
        program.start(QStringLiteral(VELUMO_PROGRAM), c.arguments);
        ASSERT_TRUE(program.waitForFinished(60000)) << c.arguments.join(' ').toStdString();
        const QString what = c.arguments.join(' ');
        EXPECT_EQ(program.exitStatus(), QProcess::NormalExit) << what.toStdString();
        EXPECT_EQ(program.exitCode(), c.exitCode) << what.toStdString();
        EXPECT_TRUE(program.readAllStandardOutput().startsWith(c.out)) << what.toStdString();
        EXPECT_EQ(program.readAllStandardError(), c.err) << what.toStdString();
        EXPECT_TRUE(QDir(temp.path()).isEmpty()) << what.toStdString();
    }
}

TEST(CommandLine, SendTakesOneFileAndOnePhoneName)
{
    struct TCase {
        std::vector<const char*> arguments;
        TAction action;
        QByteArray file;
        QString to;
        QString error; // stderr's text, without " Try 'velumo --help'."
    };
    const TCase cases[] = {
        {{"--send", "ring.mp3"}, TAction::Send, "ring.mp3", "", ""},
        {{"--send=ring.mp3", "--to", "My Phone"}, TAction::Send, "ring.mp3", "My Phone", ""},
        {{"--to", "Pixel", "--send", "/r/caf\xe9 \xff.mp3"}, TAction::Send, "/r/caf\xe9 \xff.mp3", "Pixel",
            ""},
        // A value may start with a dash.
        {{"--send", "-ring.mp3"}, TAction::Send, "-ring.mp3", "", ""},
        {{"--send"}, TAction::Error, "", "", "velumo: Missing value after '--send'."},
        {{"--send="}, TAction::Error, "", "", "velumo: --send needs a file."},
        {{"--send", "a.mp3", "--to="}, TAction::Error, "", "", "velumo: --to needs a name."},
        {{"--to", "Pixel"}, TAction::Error, "", "", "velumo: --to goes with --send."},
        {{"--to", "Pixel", "song.mp3"}, TAction::Error, "", "", "velumo: --to goes with --send."},
        {{"--send", "a.mp3", "b.mp3"}, TAction::Error, "", "",
            "velumo: --send takes one file, and one --to."},
        {{"--send", "a.mp3", "--send", "b.mp3"}, TAction::Error, "", "",
            "velumo: --send takes one file, and one --to."},
        {{"--send", "a.mp3", "--to", "A", "--to", "B"}, TAction::Error, "", "",
            "velumo: --send takes one file, and one --to."},
    };
    for (const TCase& c : cases) {
        const TCommandLine got = Parse(c.arguments);
        SCOPED_TRACE(QByteArray(c.arguments.back()).toStdString());
        EXPECT_EQ(got.Action, c.action);
        EXPECT_EQ(got.SendFile, c.file);
        EXPECT_EQ(got.SendTo, c.to);
        EXPECT_TRUE(got.File.isEmpty());
        if (c.action == TAction::Error) {
            EXPECT_EQ(got.Output, c.error + " Try 'velumo --help'.\n");
            EXPECT_EQ(got.ExitCode, 2);
        }
    }
}
