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
    // About 70 ms of CPU for 30 s of sound: measured here, under a busy cursor.
    const TBusyCursor busy;
    std::string error;
    const TMatchGain gain = MeasureMatchGainInModule(key, &error);
    if (!error.empty())
        qWarning("%s", error.c_str());
    return gain;
}

TMatchGain TMainForm::CachedMatchGain(const TLoudnessKey& key)
{
    const TMatchGain gain
        = loudness_.Gain(key, [this](const TLoudnessKey& k) { return MeasureMatchGain(k); });
    // The user carries on; the ringtone keeps its own loudness.
    if (!gain.Measured)
        lbl_status->SetCaption(tr("Loudness could not be measured"));
    return gain;
}

ringtone::TShapePlan TMainForm::ShapePlan(const TRingtoneForm& form)
{
    return PlanShape(Choices, OpenedFileName, WaveRender->SelStartMs(), WaveRender->SelEndMs(), form,
        [this](const TLoudnessKey& key) { return CachedMatchGain(key); });
}

void TMainForm::ShapePreview(const ringtone::TShapePlan& plan)
{
    MediaPlayer1->SetShape(plan);
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
