// The transport commands: play, pause, mark, extend, play the selection,
// clicks on the timeline, the cursor following playback and the position
// labels. Every decision is taken from the device's mode at that moment.

#include "TMainForm.h"

#include "BeatRules.h"
#include "MediaDevice.h"
#include "TLabel.h"
#include "TransportRules.h"
#include "WaveRender.h"

namespace {

constexpr int Milliseconds = 0; // the device's time format

} // namespace

void TMainForm::ApplySelection(const Transport::PlaceChange& change)
{
    if (change.Start)
        WaveRender->SetSelStart(*change.Start);
    if (change.End)
        WaveRender->SetSelEnd(*change.End);
}

void TMainForm::btnPlayClick()
{
    if (Closing() || !Transport::PlayActs(MediaPlayer1->Mode()))
        return;
    MediaPlayer1->SetTimeFormat(Milliseconds);
    MediaPlayer1->SetStartPos(Transport::DeviceMs(WaveRender->PlayPosMs()));
    MediaPlayer1->Play();
}

void TMainForm::MouseEffectImage1Click()
{
    if (Transport::PauseActs(MediaPlayer1->Mode()))
        MediaPlayer1->Stop();
}

void TMainForm::btnMarkStartClick()
{
    if (Closing() || !Transport::SelectionActs(MediaPlayer1->Mode()))
        return;
    const TWaveRender& r = *WaveRender;
    if (!SnapToBeat)
        return ApplySelection(Transport::MarkStartAt(r.SelStart, r.SelEnd, r.PlayPos, ColumnMs(r.Scale)));
    ApplySelection(BeatRules::MarkStartAt(SnapGrid(), r.SelStart, r.SelEnd, r.PlayPos, ColumnMs(r.Scale)));
    if (const QString hint = BeatRules::SnapHint(SnapGrid()); !hint.isEmpty())
        lbl_status->SetCaption(hint);
}

void TMainForm::btnMarkEndClick()
{
    if (Closing() || !Transport::SelectionActs(MediaPlayer1->Mode()))
        return;
    const TWaveRender& r = *WaveRender;
    if (!SnapToBeat)
        return ApplySelection(Transport::MarkEndAt(r.SelStart, r.SelEnd, r.PlayPos, ColumnMs(r.Scale)));
    const int64_t durationMs = int64_t{r.WaveLength} * ColumnMs(ColumnsPerSecond);
    ApplySelection(
        BeatRules::MarkEndAt(SnapGrid(), r.SelStart, r.SelEnd, r.PlayPos, ColumnMs(r.Scale), durationMs));
    if (const QString hint = BeatRules::SnapHint(SnapGrid()); !hint.isEmpty())
        lbl_status->SetCaption(hint);
}

void TMainForm::btnMoveLeftClick()
{
    if (Closing() || !Transport::SelectionActs(MediaPlayer1->Mode()))
        return;
    ApplySelection(Transport::ExtendLeftAt(WaveRender->SelStart, WaveRender->SelEnd));
}

void TMainForm::btnMoveRightClick()
{
    if (Closing() || !Transport::SelectionActs(MediaPlayer1->Mode()))
        return;
    ApplySelection(Transport::ExtendRightAt(WaveRender->SelStart, WaveRender->SelEnd));
}

void TMainForm::btnPlaySelectedClick()
{
    if (Closing() || !Transport::SelectionActs(MediaPlayer1->Mode()))
        return;
    // Measured (when matching is on) before playback ends.
    const ringtone::TShapePlan plan = ShapePlan(RingtoneForm({}));
    // Reopening ends any playback; a file that is gone raises the device's
    // error, which leaves the command here.
    MediaPlayer1->Open();
    ShapePreview(plan);
    const Transport::Segment segment
        = Transport::SelectionSegmentMs(WaveRender->SelStartMs(), WaveRender->SelEndMs());
    MediaPlayer1->SetTimeFormat(Milliseconds);
    MediaPlayer1->SetStartPos(segment.From);
    MediaPlayer1->SetEndPos(segment.To);
    MediaPlayer1->Play();
}

void TMainForm::imgWaveMouseDown(Qt::MouseButton, Qt::MouseButtons, QPoint)
{
}

void TMainForm::imgWaveMouseMove(Qt::MouseButtons, QPoint)
{
}

void TMainForm::imgWaveMouseUp(Qt::MouseButton, Qt::MouseButtons, QPoint pos)
{
    if (Closing())
        return;
    // pos is on the picture, which starts at the window's first column.
    ApplyCursorMove(Transport::TimelineClickAt(
        MediaPlayer1->Mode(), WaveRender->FirstColumn + pos.x(), WaveRender->Scale));
}

void TMainForm::ApplyCursorMove(const Transport::PlacePlan& plan)
{
    if (plan.Stop)
        MediaPlayer1->Stop();
    WaveRender->SetPlayPos(plan.Cursor);
    if (plan.SeekTo) {
        MediaPlayer1->Seek(*plan.SeekTo);
        MediaPlayer1->Play();
    }
}

void TMainForm::Timer2Timer()
{
    if (Closing() || !Transport::FollowsPlayback(MediaPlayer1->Mode()))
        return;
    WaveRender->SetPlayPos(Transport::FollowPlace(MediaPlayer1->Position(), WaveRender->Scale));
    if (Zoomed())
        KeepCursorInView();
}

void TMainForm::ApplicationEvents1Idle()
{
    if (Closing())
        return;
    // A label given the text it already shows does not repaint.
    const Transport::PositionTexts texts = Transport::PositionsMs(
        WaveRender->SelStartMs(), WaveRender->SelEndMs(), MediaPlayer1->Position(), Zoomed());
    lblBeginPos->SetCaption(texts.Begin);
    lblEndPos->SetCaption(texts.End);
    lblSelectedLength->SetCaption(texts.Length);
    lblCurrentPos->SetCaption(texts.Current);
}
