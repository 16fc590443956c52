#pragma once
// What the window learns of the opened song's music: its beats and where its
// chorus lies. The sound module analyses the song (once per Open) and hands
// the window one of these through TMainForm::SetSongAnalysis; the window only
// asks it for results and never analyses. Its header is the window's whole
// view of the analysis, so the program does not link the analyser.

#include "BeatGrid.h"
#include "ChorusSuggestion.h"

class TSongAnalysis {
public:
    virtual ~TSongAnalysis() = default;
    // The song's beats; Steady is false when it has no beat to tap to.
    virtual const beats::TBeatGrid& Beats() const = 0;
    // Where a ringtone of `lengthSeconds` (<= 0: 30 s) is best taken, no
    // longer than `maxLengthSeconds` (<= 0: no limit). Called on the GUI
    // thread: an answer from features found beforehand, quick to give.
    virtual music::TChorusSuggestion Suggest(double lengthSeconds, double maxLengthSeconds) const = 0;
};
