// How the ringtone sounds, from the window's side: the one shaping plan for
// the selection, handed to the device before Play selection and Play the loop
// and to the export's job record on Save, so the preview sounds like the file.

#include "TMainForm.h"

#include "MediaDevice.h"
#include "TLabel.h"
#include "TransportRules.h"
#include "WaveRender.h"
#include "appDefine.h"

#include <QApplication>
#include <QtDebug>

#include <optional>

namespace {

constexpr int Milliseconds = 0; // the device's time format

// The busy cursor for as long as the window waits on a measurement.
class TBusyCursor {
public:
    TBusyCursor() { QApplication::setOverrideCursor(Qt::WaitCursor); }
    ~TBusyCursor() { QApplication::restoreOverrideCursor(); }
    TBusyCursor(const TBusyCursor&) = delete;
    TBusyCursor& operator=(const TBusyCursor&) = delete;
};

} // namespace

TMatchGain TMainForm::MeasureMatchGain(const TLoudnessKey& key)
{
    const std::optional<QByteArray> bytes = FileNameBytes(key.File);
    if (!bytes)
        return {};
    // About 70 ms of CPU for 30 s of sound: measured here, under a busy cursor.
    const TBusyCursor busy;
    const ringtone::TLoudness loudness = MeasureLoudnessInModule(
        bytes->toStdString(), key.StartMs, key.EndMs, key.Form.Channels, key.Form.Rate);
    if (!loudness.Ok) {
        qWarning("%s", loudness.Error.c_str());
        return {};
    }
    return {true, ringtone::MatchGainDb(loudness.IntegratedLufs, loudness.TruePeakDbtp)};
}

ringtone::TShapePlan TMainForm::ShapePlan(const TRingtoneForm& form)
{
    TMatchGain gain;
    const int64_t startMs = WaveRender->SelStartMs();
    const int64_t endMs = WaveRender->SelEndMs();
    // Nothing to measure without a file or a selection; the export says why.
    if (Choices.MatchLoudness && !OpenedFileName.isEmpty() && startMs >= 0 && endMs > startMs) {
        gain = loudness_.Gain(LoudnessKey(OpenedFileName, startMs, endMs, form),
            [this](const TLoudnessKey& key) { return MeasureMatchGain(key); });
        // The user carries on; the ringtone keeps its own loudness.
        if (!gain.Measured)
            lbl_status->SetCaption(tr("Loudness could not be measured"));
    }
    return MakeShapePlan(Choices, gain);
}

void TMainForm::ShapePreview(const ringtone::TShapePlan& plan)
{
    MediaPlayer1->SetShape(plan);
}

void TMainForm::ShapeJob(TCutMp3ThreadInfo& job)
{
    job.Shape = ShapePlan(RingtoneForm(job.TargetFile));
}

void TMainForm::PlayLoopClick()
{
    if (Closing() || !Transport::SelectionActs(MediaPlayer1->Mode()))
        return;
    const std::optional<Transport::Segment> loop
        = Transport::LoopSegmentMs(WaveRender->SelStartMs(), WaveRender->SelEndMs());
    if (!loop)
        return; // an empty selection has no loop
    const ringtone::TShapePlan plan = ShapePlan(RingtoneForm({}));
    // Reopening ends any playback; a file that is gone raises the device's error.
    MediaPlayer1->Open();
    MediaPlayer1->SetTimeFormat(Milliseconds);
    ShapePreview(plan);
    MediaPlayer1->PlayLoop(loop->From, loop->To);
}
