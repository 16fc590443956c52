#include "FileInfo.h"

#include "MPGTools.h"
#include "appDefine.h"

#include <QCoreApplication>
#include <QTime>

bool IsMp3Name(const QString& path)
{
    return FileExtension(path) == QLatin1String(".mp3");
}

namespace {

// The locale's long time format without time-zone and AM/PM fields and with
// two-digit 24-hour hours. Quoted literals are kept as they are.
QString DurationFormat(const QString& format)
{
    QString out;
    for (qsizetype i = 0; i < format.size();) {
        const QChar c = format.at(i);
        qsizetype run = 1;
        while (i + run < format.size() && format.at(i + run) == c)
            ++run;
        if (c == u'\'') {
            // A quoted literal runs to the next single quote.
            const qsizetype end = format.indexOf(u'\'', i + 1);
            const qsizetype stop = end < 0 ? format.size() : end + 1;
            out += format.mid(i, stop - i);
            i = stop;
            continue;
        }
        if (c == u't' || c == u'a' || c == u'A'
            || ((c == u'p' || c == u'P') && i > 0
                && (format.at(i - 1) == u'a' || format.at(i - 1) == u'A'))) {
            i += run;
            continue;
        }
        out += (c == u'h' || c == u'H') ? QStringLiteral("HH") : format.mid(i, run);
        i += run;
    }
    return out.trimmed();
}

} // namespace

QString DurationText(const TMPEGTime& time, const QLocale& locale)
{
    const QTime clock(time.Hours % 24, time.Minutes, time.Seconds);
    return locale.toString(clock, DurationFormat(locale.timeFormat(QLocale::LongFormat)));
}

TFileInfoTexts Mp3InfoTexts(const QString& path, const TMp3Facts& facts)
{
    return {QCoreApplication::translate("MainForm", "File Name: %1").arg(path),
        QCoreApplication::translate("MainForm", "Sample Rate: %1").arg(facts.SampleRate),
        QCoreApplication::translate("MainForm", "Time Length: ") + facts.Length,
        QCoreApplication::translate("MainForm", "Bitrate: %1").arg(facts.BitRate),
        QCoreApplication::translate("MainForm", "Channel: %1").arg(facts.Channel)};
}

TFileInfoTexts OtherInfoTexts(const QString& path, int seconds)
{
    return {QCoreApplication::translate("MainForm", "File Name: %1").arg(path),
        QCoreApplication::translate("MainForm", "Sample Rate: "),
        QCoreApplication::translate("MainForm", "Time Length: %1").arg(seconds),
        QCoreApplication::translate("MainForm", "Bitrate: "),
        QCoreApplication::translate("MainForm", "Channel: ")};
}
