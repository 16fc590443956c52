#include "workThread.h"

#include "appDefine.h"

#include <QFileInfo>

TCutMp3ThreadInfo MakeJobInfo(const QString& source, const QString& target, int startSeconds, int endSeconds)
{
    return {source, target, ClockText(startSeconds), ClockText(endSeconds - startSeconds)};
}

std::optional<TConverterCommand> ConverterCommand(const TCutMp3ThreadInfo& info)
{
    const QString name = QFileInfo(info.TargetFile).fileName();
    const qsizetype dot = name.lastIndexOf(QLatin1Char('.'));
    const QString extension = dot < 0 ? QString() : name.mid(dot);
    QStringList args{QStringLiteral("-i"), info.SourceFile, QStringLiteral("-ss"), info.StartTime,
        QStringLiteral("-t"), info.Duration};
    if (extension == QLatin1String(".mp3"))
        args << QStringList{"-acodec", "mp3", "-ab", "64", "-ac", "2"};
    else if (extension == QLatin1String(".amr"))
        args << QStringList{"-f", "amr", "-acodec", "amr_nb", "-ab", "32", "-ac", "1", "-ar", "8000"};
    else
        return std::nullopt;
    args << info.TargetFile;
    return TConverterCommand{QStringLiteral("av"), args};
}
