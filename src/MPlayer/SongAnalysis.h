// The analysis of one song in one pass over its decoded sound: the beat grid
// (tempo, beats, bars) and the features the chorus is found from. A decoder
// hands each block of float samples to Feed as it decodes it; the sink mixes
// it to mono, decimates it to about 11 kHz and feeds both analysers. Plain
// C++: no FFmpeg, no Qt, no threads. Not thread-safe: the decoding thread
// feeds and finishes it; cancelling is no longer feeding it.
#pragma once

#include "Beats.h"
#include "Chorus.h"

#include <cstddef>
#include <memory>
#include <vector>

namespace mplayer_detail {

// What the sink found.
struct TSongAnalysis {
    beats::TBeatGrid Grid;
    music::TFeatureFrames Features;
    double DurationSeconds = 0; // of the sound fed

    // The chorus (or the strongest stretch when nothing repeats) of about
    // `lengthSeconds`, no longer than `maxLengthSeconds` when that is positive.
    music::TChorusSuggestion SuggestChorus(double lengthSeconds, double maxLengthSeconds = 0) const;
};

class TSongAnalysisSink {
public:
    TSongAnalysisSink();
    ~TSongAnalysisSink();
    TSongAnalysisSink(const TSongAnalysisSink&) = delete;
    TSongAnalysisSink& operator=(const TSongAnalysisSink&) = delete;

    // One block of `frames` sample frames of `channels` channels at `rate` Hz,
    // full scale +-1.0. Interleaved: data[0] holds frames * channels samples.
    // Planar: data[c] holds channel c. The first block's rate is the song's:
    // blocks of another rate later are resampled to it. Blocks with no
    // channel, no rate or a rate below 1 kHz are skipped.
    void Feed(const float* const* data, int channels, bool interleaved, std::size_t frames, int rate);

    // The sound decimated so far, seconds.
    double FedSeconds() const;

    // Analyses what was fed. Blocks fed afterwards are ignored.
    TSongAnalysis Finish();

private:
    struct TState;
    std::unique_ptr<TState> State;
};

} // namespace mplayer_detail
