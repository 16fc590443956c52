#pragma once
// What the Open command decides without a window: which branch measures a
// file, the five property texts, and the timeline's width.

#include "TimelineScale.h"

#include <QLocale>
#include <QString>

struct TMPEGTime;

// Only ".mp3", byte for byte, goes to the MPEG analyser.
bool IsMp3Name(const QString& path);

// A playing time in the locale's long time form, read as a duration: hours
// on a 24-hour clock with two digits, no time zone, no AM/PM.
QString DurationText(const TMPEGTime& time, const QLocale& locale = QLocale::system());

// The five property labels, in the order they are set.
struct TFileInfoTexts {
    QString FileName;
    QString SampleRate;
    QString Length;
    QString Bitrate;
    QString Channel;
};

struct TMp3Facts {
    int SampleRate = 0; // Hz
    QString Length; // DurationText of the playing time
    QString BitRate; // "VBR" or kbit/s in digits
    QString Channel; // "Mono" or "Stereo"
};
TFileInfoTexts Mp3InfoTexts(const QString& path, const TMp3Facts& facts);
TFileInfoTexts OtherInfoTexts(const QString& path, int seconds);

// Timeline columns for a playing time.
inline int TimelineWidth(int seconds)
{
    return seconds * ColumnsPerSecond;
}
