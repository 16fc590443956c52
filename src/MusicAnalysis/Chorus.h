// Finding a song's chorus: the most repeated strong section. Beat-long slices
// of the song's features are compared with each other; stretches that match
// an earlier stretch at a fixed distance in time (lines beside the diagonal of
// the self-similarity matrix) are repetitions. Each beat counts the
// repetitions it takes part in, weighted by how close they are and a little
// by how loud the beat is; the chorus begins where a repetition begins and
// the following stretch is the most repeated.
//
// Time and memory grow with the number of beats times the longest distance
// between repetitions looked at (6 minutes), so an hour of sound works.
#pragma once

#include "ChorusSuggestion.h"
#include "Chroma.h"

#include <vector>

namespace music {

struct TChorusRequest {
    double LengthSeconds = 30; // wanted length of the suggestion; <= 0 means 30
    double MaxLengthSeconds = 0; // the longest the caller can use (a phone's limit); <= 0: no limit
};

// frames: the song's features (TFeatureExtractor). beatSeconds: beat times in
// seconds, ascending (fewer than 8 usable beats: a half-second grid is used).
// barSeconds: bar starts in seconds, may be empty. Never throws for odd input:
// no sound gives {0, 0, false}.
TChorusSuggestion SuggestChorus(const TFeatureFrames& frames, const std::vector<double>& beatSeconds,
    const std::vector<double>& barSeconds, const TChorusRequest& request = {});

} // namespace music
