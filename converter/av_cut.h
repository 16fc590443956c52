// Where ffmpeg starts reading the source, and the filter chain that cuts the
// decoded audio exactly, fades it, sets its gain and limits its peaks.
//
// The decoder starts a little before the cut (a pre-roll of about 2 s, decoded
// and thrown away), so the cost of a cut does not grow with its position:
// - MP3: av walks the frame headers itself and hands ffmpeg the byte offset
//   of a frame (seek timestamps of VBR files without an index are estimates);
//   the encoder delay of a LAME/Lavf header is accounted for, so the samples
//   are those a decode from the start gives.
// - WAV, Ogg, MP4/M4A: ffmpeg seeks exactly by timestamp.
// - Anything else, or an MP3 whose frames do not walk cleanly: decoded from
//   the start.
// The environment variable AV_CUT_FROM_START=1 decodes from the start always
// (for comparisons).
#pragma once

#include "av_args.h"

#include <optional>
#include <string>
#include <vector>

namespace av {

struct CutPlan {
    std::vector<std::string> inputOptions; // before -i
    double offsetSeconds = 0; // from the first decoded sample to the cut's start
    // Audio from the cut's start to the source's end, when the walk knows it.
    std::optional<double> sourceLeftSeconds;
};

// Reads the source's headers (not its audio). Never throws: any doubt means
// decoding from the start.
CutPlan planCut(const Job& job);

// The -af chain: exact cut, edge fades folded into the chosen fades, gain,
// limiter. lengthSeconds: the cut's length as far as it is known.
std::string filterChain(const Job& job, const CutPlan& plan);

// The tag options for the job's type: the title (none without one or for
// AMR), and for Vorbis always ANDROID_LOOP=true, which asks Android to loop it.
std::vector<std::string> tagOptions(const Job& job);

// The samples of the start of every frame of an MP3 walked cleanly, and
// where each begins in the file.
struct Mp3Walk {
    int rate = 0; // Hz
    int samplesPerFrame = 0;
    std::vector<long long> offsets; // byte offsets of the audio frames
    long long skip = 0; // samples a decode from the start drops (encoder delay + decoder delay)
    long long totalSamples = 0; // samples a decode from the start gives
};
std::optional<Mp3Walk> walkMp3(const std::string& path);

} // namespace av
