// A song's beats as the analysis found them, and the window's rules that use
// them: snapping a mark to the beat and ending a selection on a whole bar.
// Plain C++ with no analysis library behind it, so the window can use the
// rules without loading the analyser.
#pragma once

#include <cstdint>
#include <optional>
#include <vector>

namespace beats {

// What the analysis found. With no steady beat (speech, ambient sound,
// silence, less than kMinSeconds of sound) everything is empty and zero.
struct TBeatGrid {
    bool Steady = false; // the song has a beat one can tap to
    double TempoBpm = 0; // beats per minute; 0 without a steady beat
    std::vector<double> Beats; // beat times, seconds from the song's start, rising
    std::vector<double> Bars; // bar starts (downbeats), seconds; a subset of Beats
    int BeatsPerBar = 0; // beats in a bar when Bars is known, else 0
};

// The beat nearest to `ms` (milliseconds from the song's start), when it lies
// within half a beat of it; none without a steady beat.
std::optional<std::int64_t> SnapToBeatMs(const TBeatGrid& grid, std::int64_t ms);

// Where to put a marked end so that the selection from `startMs` lasts a whole
// number (at least one) of bars (of beats when the bars are not known),
// measured on the song's own beats, nearest to `markedEndMs` (a tie goes to
// the shorter), continued at the tempo past the last beat; the end stays
// within `durationMs` when that is positive. All milliseconds. Returns
// `markedEndMs` unchanged without a steady beat, when it is not after
// `startMs`, or when not even one bar (beat) fits.
std::int64_t WholeBarsEndMs(
    const TBeatGrid& grid, std::int64_t startMs, std::int64_t markedEndMs, std::int64_t durationMs);

} // namespace beats
