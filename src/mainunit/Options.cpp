#include "Options.h"

#include "SoundPicture.h"
#include "appDefine.h"
#include "workThread.h"

#include <QDateTime>
#include <QFileInfo>
#include <QSettings>

#include <algorithm>
#include <stdexcept>

namespace {

const QString FadeInKey = QStringLiteral("Ringtone/FadeInMs");
const QString FadeOutKey = QStringLiteral("Ringtone/FadeOutMs");
const QString MatchLoudnessKey = QStringLiteral("Ringtone/MatchLoudness");
const QString SnapToBeatKey = QStringLiteral("Timeline/SnapToBeat");

int ReadFade(const QSettings& settings, const QString& key)
{
    bool ok = false;
    const int ms = settings.value(key).toInt(&ok);
    const bool offered = std::any_of(ringtone::kFadeChoices.begin(), ringtone::kFadeChoices.end(),
        [ms](const ringtone::TFadeChoice& choice) { return choice.Ms == ms; });
    return ok && offered ? ms : 0;
}

} // namespace

TRingtoneChoices ReadRingtoneChoices()
{
    const QSettings settings = UserSettings();
    return {ReadFade(settings, FadeInKey), ReadFade(settings, FadeOutKey),
        settings.value(MatchLoudnessKey, false).toBool()};
}

void KeepRingtoneChoices(const TRingtoneChoices& choices)
{
    QSettings settings = UserSettings();
    settings.setValue(FadeInKey, choices.FadeInMs);
    settings.setValue(FadeOutKey, choices.FadeOutMs);
    settings.setValue(MatchLoudnessKey, choices.MatchLoudness);
    settings.sync();
    if (settings.status() != QSettings::NoError)
        throw std::runtime_error(QStringLiteral("Cannot keep the ringtone choices: '%1' cannot be written")
                                     .arg(settings.fileName())
                                     .toStdString());
}

bool ReadSnapToBeat()
{
    return UserSettings().value(SnapToBeatKey, false).toBool();
}

void KeepSnapToBeat(bool snap)
{
    QSettings settings = UserSettings();
    settings.setValue(SnapToBeatKey, snap);
    settings.sync();
    if (settings.status() != QSettings::NoError)
        throw std::runtime_error(QStringLiteral("Cannot keep the snap to the beat: '%1' cannot be written")
                                     .arg(settings.fileName())
                                     .toStdString());
}

TRingtoneForm RingtoneForm(const QString& target)
{
    const TRingtoneType* type = target.isEmpty() ? nullptr : RingtoneTypeFor(target);
    return type ? TRingtoneForm{type->Channels, type->Rate} : TRingtoneForm{};
}

TLoudnessKey LoudnessKey(const QString& file, int64_t startMs, int64_t endMs, const TRingtoneForm& form)
{
    const QFileInfo info(file);
    return {file, info.size(), info.lastModified().toMSecsSinceEpoch(), startMs, endMs, form};
}

TMatchGain TLoudnessCache::Gain(const TLoudnessKey& key, const TMeasure& measure)
{
    if (const auto known = known_.find(key); known != known_.end())
        return known->second;
    const TMatchGain gain = measure(key);
    known_.emplace(key, gain);
    return gain;
}

ringtone::TShapePlan MakeShapePlan(const TRingtoneChoices& choices, const TMatchGain& gain)
{
    ringtone::TShapePlan plan;
    plan.FadeInMs = choices.FadeInMs;
    plan.FadeOutMs = choices.FadeOutMs;
    if (choices.MatchLoudness) {
        plan.GainDb = gain.Measured ? gain.GainDb : 0;
        plan.Limit = true;
    }
    return plan;
}

ringtone::TShapePlan PlanShape(const TRingtoneChoices& choices, const QString& file, int64_t startMs,
    int64_t endMs, const TRingtoneForm& form, const TLoudnessCache::TMeasure& measure)
{
    TMatchGain gain;
    // Nothing to measure without a file or a selection; the export says why.
    if (choices.MatchLoudness && !file.isEmpty() && startMs >= 0 && endMs > startMs)
        gain = measure(LoudnessKey(file, startMs, endMs, form));
    return MakeShapePlan(choices, gain);
}

TCutMp3ThreadInfo MakeSaveJob(const QString& source, const QString& target, int64_t startMs, int64_t endMs,
    const TRingtoneChoices& choices, const TLoudnessCache::TMeasure& measure)
{
    TCutMp3ThreadInfo job = MakeJobInfoMs(AbsoluteFileName(source), AbsoluteFileName(target), startMs, endMs);
    job.Shape = PlanShape(choices, source, startMs, endMs, RingtoneForm(job.TargetFile), measure);
    return job;
}
