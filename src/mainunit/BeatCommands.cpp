// The song's music in the window: snapping marks to the beat, the beat ticks
// and the suggested ringtone. The analysis comes from the sound module
// (SetSongAnalysis); these commands only read its results.

#include "TMainForm.h"

#include "BeatRules.h"
#include "MediaDevice.h"
#include "SongAnalysis.h"
#include "TLabel.h"
#include "WaveRender.h"

#include <QScrollArea>

void TMainForm::SetSongAnalysis(std::shared_ptr<const TSongAnalysis> analysis)
{
    analysis_ = std::move(analysis);
    ShowBeatTicks();
}

const beats::TBeatGrid* TMainForm::SnapGrid() const
{
    return analysis_ ? &analysis_->Beats() : nullptr;
}

void TMainForm::ShowBeatTicks()
{
    if (Closing())
        return;
    std::vector<int64_t> ticks = BeatRules::BeatTicksMs(SnapToBeat, SnapGrid());
    if (ticks == WaveRender->BeatTicksMs)
        return;
    WaveRender->BeatTicksMs = std::move(ticks);
    WaveRender->Paint();
}

void TMainForm::SwitchSnapToBeat()
{
    if (Closing())
        return;
    SnapToBeat = !SnapToBeat;
    KeepSnapToBeat(SnapToBeat);
    ShowBeatTicks();
    // Turned on for a song shown: say at once when it cannot snap.
    if (SnapToBeat && ScrollBoxWave->isVisibleTo(this))
        if (const QString hint = BeatRules::SnapHint(SnapGrid()); !hint.isEmpty())
            lbl_status->SetCaption(hint);
}

int TMainForm::PhonePlaysSeconds() const
{
    // The type last saved, else the one the save dialog offers first.
    const TRingtoneType* type
        = SaveDialog1.FileName.isEmpty() ? nullptr : RingtoneTypeFor(SaveDialog1.FileName);
    const std::vector<TRingtoneType>& types = RingtoneTypes();
    const int index = SaveDialog1.FilterIndex - 1;
    if (!type && index >= 0 && index < static_cast<int>(types.size()))
        type = &types[static_cast<size_t>(index)];
    return type ? type->PhonePlaysSeconds : 0;
}

void TMainForm::SuggestRingtoneClick()
{
    // Like the marks: only with a song shown, in the modes they act in.
    if (Closing() || !ScrollBoxWave->isVisibleTo(this) || !Transport::SelectionActs(MediaPlayer1->Mode()))
        return;
    if (!analysis_) {
        lbl_status->SetCaption(BeatRules::SuggestNotReadyHint());
        return;
    }
    const TWaveRender& r = *WaveRender;
    const BeatRules::SuggestPlan plan = BeatRules::Suggestion(
        analysis_->Suggest(BeatRules::SuggestLengthSeconds(r.SelStart, r.SelEnd), PhonePlaysSeconds()));
    if (plan.Start) {
        ApplySelection({plan.Start, plan.End});
        MoveCursorByKey(*plan.Start);
    }
    lbl_status->SetCaption(plan.Hint);
}
