#pragma once
// The export job's record and the converter command lines built from it.

#include <QString>
#include <QStringList>

#include <optional>

struct TCutMp3ThreadInfo {
    QString SourceFile;
    QString TargetFile;
    QString StartTime; // clock text of the selection start
    QString Duration; // clock text of the selection length
};

// The job record for a selection given in whole seconds.
TCutMp3ThreadInfo MakeJobInfo(const QString& source, const QString& target, int startSeconds, int endSeconds);

struct TConverterCommand {
    QString Program;
    QStringList Arguments;
};

// The converter's command line for the target's extension (".mp3" or ".amr",
// letter case exact). None for any other extension. The source and the target
// are single arguments whatever they contain.
std::optional<TConverterCommand> ConverterCommand(const TCutMp3ThreadInfo& info);
