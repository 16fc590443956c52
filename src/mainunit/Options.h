#pragma once
// How the user wants a ringtone to sound (fades, loudness matching), kept in
// their settings, and the one shaping plan made from those choices for both
// the preview and the export. Plain functions, no widgets.

#include "RingtoneShape.h"
#include "workThread.h"

#include <QString>

#include <cstdint>
#include <functional>
#include <map>
#include <tuple>

struct TRingtoneChoices {
    int FadeInMs = 0; // one of ringtone::kFadeChoices
    int FadeOutMs = 0; // likewise
    bool MatchLoudness = false;
    friend bool operator==(const TRingtoneChoices&, const TRingtoneChoices&) = default;
};

// The choices kept in the user's settings; a fade that is not one of the
// menu's counts as off.
TRingtoneChoices ReadRingtoneChoices();
// Keeps them; throws, naming the settings file, when it cannot be written.
void KeepRingtoneChoices(const TRingtoneChoices& choices);

// Snap to the beat (off at first), kept in the user's settings; keeping it
// throws, naming the settings file, when it cannot be written.
bool ReadSnapToBeat();
void KeepSnapToBeat(bool snap);

// How a ringtone holds its sound, which is how its loudness is measured.
struct TRingtoneForm {
    int Channels = 2;
    int Rate = 0; // Hz; 0: the song's
};
// The target type's form; the preview (an empty target) is the song's rate in stereo.
TRingtoneForm RingtoneForm(const QString& target);

// One stretch of one version of a file, measured in one form.
struct TLoudnessKey {
    QString File;
    qint64 FileSize = 0; // with the stamp: a file changed on disk is measured again
    qint64 FileStampMs = 0;
    int64_t StartMs = 0;
    int64_t EndMs = 0;
    TRingtoneForm Form;
    friend bool operator<(const TLoudnessKey& a, const TLoudnessKey& b)
    {
        return std::tie(a.File, a.FileSize, a.FileStampMs, a.StartMs, a.EndMs, a.Form.Channels, a.Form.Rate)
            < std::tie(b.File, b.FileSize, b.FileStampMs, b.StartMs, b.EndMs, b.Form.Channels, b.Form.Rate);
    }
};
TLoudnessKey LoudnessKey(const QString& file, int64_t startMs, int64_t endMs, const TRingtoneForm& form);

// The gain a measurement gave, dB; Measured is false when it failed.
struct TMatchGain {
    bool Measured = false;
    double GainDb = 0;
};

// Each stretch is measured once: later asks get the first answer, failed or not.
class TLoudnessCache {
public:
    using TMeasure = std::function<TMatchGain(const TLoudnessKey&)>;
    TMatchGain Gain(const TLoudnessKey& key, const TMeasure& measure);

private:
    std::map<TLoudnessKey, TMatchGain> known_;
};

// The plan: the chosen fades; with matching on, the measured gain (0 when the
// measurement failed) and the limiter.
ringtone::TShapePlan MakeShapePlan(const TRingtoneChoices& choices, const TMatchGain& gain);

// The plan for the stretch of file in a form: with matching on, the gain
// measure gives for it; nothing is measured without a file or a stretch.
ringtone::TShapePlan PlanShape(const TRingtoneChoices& choices, const QString& file, int64_t startMs,
    int64_t endMs, const TRingtoneForm& form, const TLoudnessCache::TMeasure& measure);

// The export's record for Save: full paths (the converter starts in the work
// folder), the selection, and the shape for the target's form. The window's
// Save and "velumo --save" both make theirs here.
TCutMp3ThreadInfo MakeSaveJob(const QString& source, const QString& target, int64_t startMs, int64_t endMs,
    const TRingtoneChoices& choices, const TLoudnessCache::TMeasure& measure);
