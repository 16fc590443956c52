// Tempo, beats and bars of a song, found by qm-dsp (its spectral-difference
// onset detection function, TempoTrackV2 and DownBeat). The grid it gives and
// the rules over it (snapping, whole bars) are in BeatGrid.h.
//
// Plain C++ over decoded samples: no Qt, no FFmpeg, no threads. The analyser
// is fed progressively (blocks of any size), so a decoder's worker can feed
// it as it decodes and cancel by simply no longer feeding it.
#pragma once

#include "BeatGrid.h"

#include <cstddef>
#include <memory>

namespace beats {

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

} // namespace beats
