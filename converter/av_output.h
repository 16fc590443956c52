// Checks of the file ffmpeg finished: the container's signature and the
// length of the audio actually present, counted from its frames or pages.
#pragma once

#include "av_args.h"
#include "av_ffmpeg.h"

#include <cstddef>
#include <optional>
#include <span>
#include <string>

namespace av {

// Seconds of audio in a whole file of the codec's container, counting only
// complete frames (MP3, AMR), complete pages with a good checksum (Ogg) or
// samples whose bytes lie inside the file (MP4). None when the file does not
// begin like that container.
std::optional<double> audioSeconds(Codec codec, std::span<const unsigned char> file);

// ffmpeg said it succeeded: the file (open for reading in fd) must begin like
// the format and hold the cut's length of audio. Throws Failure.
void checkOutput(const Job& job, int fd, const Progress& progress);

// How far the audio may run past the cut (encoder delay and padding fit).
constexpr double kLengthTolerance = 0.5; // seconds
// How much shorter than the cut it may be: the length is measured to 20 ms
// (an AMR frame), so a cut marked to the hundredth is held to it.
constexpr double kShortTolerance = 0.02; // seconds

} // namespace av
