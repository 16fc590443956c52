#pragma once

#include <QByteArray>
#include <QString>

#include <cstdio>

// What the command line asks for, decided before any window or work folder
// exists: "velumo --help" and "velumo --version" must work on a machine
// without a display.
struct TCommandLine {
    enum class TAction {
        Run, // start the window
        Help, // print Output on stdout, exit with ExitCode
        Version, // likewise
        Error, // print Output on stderr, exit with ExitCode
        Send, // send SendFile to the phone SendTo (empty: the only one)
        Beats, // print File's tempo and beats (RunSongCommand)
        Suggest, // print the ringtone suggested for File, LengthSeconds long
        Save, // save File's ringtone as SaveTarget (RunSaveCommand)
    };
    TAction Action = TAction::Run;
    // FILE as the bytes the shell passed, so a name that is not valid in the
    // locale's encoding still names the same file. Empty when none was given.
    QByteArray File;
    QString Output; // ends with a newline unless empty
    int ExitCode = 0;
    // --send FILE [--to NAME]: FILE as the shell passed it, like File.
    QByteArray SendFile{};
    QString SendTo{};
    double LengthSeconds = 30; // of the suggestion
    // --save TARGET: as the shell passed it, like File.
    QByteArray SaveTarget{};
    // --from and --to, seconds; both below 0: the suggestion.
    double FromSeconds = -1;
    double ToSeconds = -1;
};

// Reads argv (argv[0] is the program). Qt's own window options (-platform,
// -style, ...) are accepted and left to QApplication.
TCommandLine ParseCommandLine(int argc, const char* const* argv);

// Prints Output where its action belongs and returns the exit status. Send:
// sends the file, then one line on stdout (exit 0) or stderr (exit 1); Beats
// and Suggest: RunSongCommand's.
int AnswerCommandLine(const TCommandLine& commandLine);

// Answers Beats and Suggest: analyses the file through the sound module and
// prints the answer, or one line on stderr. Returns the exit status: 0, 1
// when the file cannot be analysed or the answer not written.
int RunSongCommand(const TCommandLine& commandLine);

// Answers Save: the ringtone of File from FromSeconds to ToSeconds (the
// suggestion without them) through the export's converter, shaped by the
// choices in the user's settings; one line on stdout, or one on stderr.
// Returns 0, or 1 when nothing was saved.
int RunSaveCommand(const TCommandLine& commandLine);

// Writes all of text to stream and flushes it; false when it could not (a
// full disk, a closed pipe).
bool WriteAnswer(std::FILE* stream, const QByteArray& text);
// "velumo: why" as one line on stderr, with file names shown as the user
// knows them; returns 1, the exit status of a failed command.
int FailAnswer(QString why);
