#pragma once
// The window's rules over the song's analysis, decided without a window:
// marks snapped to the beat, a marked end on whole bars, the beat ticks, the
// suggested ringtone and the hint line's words. A null grid or analysis means
// the analysis is not ready yet.

#include "BeatGrid.h"
#include "ChorusSuggestion.h"
#include "TransportRules.h"

#include <QString>

#include <cstdint>
#include <optional>
#include <vector>

namespace BeatRules {

// Mark start with snapping on: the mark lands on the beat nearest the cursor
// when one lies within half a beat of it, else on the cursor.
Transport::PlaceChange MarkStartAt(
    const beats::TBeatGrid* grid, TTimePos selStart, TTimePos selEnd, TTimePos cursor, int64_t columnMs);
// Mark end with snapping on: as Mark start, and an end after the start is
// then placed so that the selection lasts a whole number of bars (of beats
// when no bars are known), within the song's `durationMs`.
Transport::PlaceChange MarkEndAt(const beats::TBeatGrid* grid, TTimePos selStart, TTimePos selEnd,
    TTimePos cursor, int64_t columnMs, int64_t durationMs);
// What the hint line says after a snapped mark; empty when it snapped.
QString SnapHint(const beats::TBeatGrid* grid);

// The beat times (ms) drawn as ticks: none while snapping is off, before the
// analysis is ready and without a steady beat.
std::vector<int64_t> BeatTicksMs(bool snapping, const beats::TBeatGrid* grid);

// The length a suggestion is asked for: the selection's, 30 s while the
// selection is still the one the window starts with (or empty).
double SuggestLengthSeconds(TTimePos selStart, TTimePos selEnd);
// The selection the window starts with.
bool UntouchedSelection(TTimePos selStart, TTimePos selEnd);

// A suggestion as places and the hint that tells it; no places when the
// analysis found no sound to suggest from.
struct SuggestPlan {
    std::optional<TTimePos> Start;
    std::optional<TTimePos> End;
    QString Hint;
};
SuggestPlan Suggestion(const music::TChorusSuggestion& suggestion);
// The hint when Suggest is asked before the analysis is ready.
QString SuggestNotReadyHint();
// Minutes and seconds, "01:02".
QString MinutesSeconds(double seconds);

} // namespace BeatRules
