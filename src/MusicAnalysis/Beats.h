// Tempo, beats and bars of a song, found by qm-dsp (its spectral-difference
// onset detection function, TempoTrackV2 and DownBeat), and the window's rules that
// use them: snapping a mark to the beat and ending a selection on a whole bar.
//
// Plain C++ over decoded samples: no Qt, no FFmpeg, no threads. The analyser
// is fed progressively (blocks of any size), so a decoder's worker can feed
// it as it decodes and cancel by simply no longer feeding it.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
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

// Sound shorter than this, in seconds, has no steady beat.
inline constexpr double kMinSeconds = 5.0;

// Feeds mono samples (any rate, any block size) to the beat analysis; Finish
// gives the result. Memory grows with the feature frames (57 a second: under
// 2 MB per hour of sound, about 12 MB at the peak of finishing an hour) plus
// 1 MB or so for finding the bars, so an hour-long file is fine. It costs
// about a fifth of the song's MP3 decode. Not thread-safe: one thread feeds
// and finishes it.
class TBeatAnalyser {
public:
    // sampleRate: of the samples fed, Hz. Outside 8000 to 384000 nothing is
    // analysed and Finish gives no steady beat.
    explicit TBeatAnalyser(int sampleRate);
    ~TBeatAnalyser();
    TBeatAnalyser(const TBeatAnalyser&) = delete;
    TBeatAnalyser& operator=(const TBeatAnalyser&) = delete;

    // The next `count` mono samples, nominally within [-1, 1] (values that
    // are not numbers count as silence).
    void Feed(const float* samples, std::size_t count);

    // Seconds of sound fed so far.
    double FedSeconds() const;

    // Analyses what was fed; called again, gives the same answer. Samples fed
    // after it are ignored.
    TBeatGrid Finish();

private:
    struct TImpl;
    std::unique_ptr<TImpl> Impl;
};

// The analysis of a whole buffer of mono samples at once.
TBeatGrid AnalyseBeats(const float* samples, std::size_t count, int sampleRate);

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
