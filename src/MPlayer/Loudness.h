// The loudness of a stretch of a file, as a phone's listener hears it
// (EBU R128 integrated loudness, measured with libebur128 on the decoded
// audio, and its true peak, oversampled as that meter does), and the one gain that brings a ringtone to the phone's
// loudness.
#pragma once

#include "RingtoneShape.h"

#include <atomic>
#include <cstdint>
#include <string>

namespace ringtone {

struct TLoudness {
    bool Ok = false;
    // -infinity for silence (and for less than 0.4 s of audio), LUFS.
    double IntegratedLufs = 0;
    // The highest true peak of all channels, -infinity for silence, dBTP.
    double TruePeakDbtp = 0;
    // When !Ok: what failed, naming the step and the file.
    std::string Error;
};

// Measures the segment [startMs, endMs) of the local file `path` as the
// ringtone will hold it: mixed to `channels` channels (1 or 2: a mono song
// saved in stereo plays 3 LU louder) at `rate` Hz (0: the file's own; an
// 8 kHz ringtone loses what lies above 4 kHz). A segment reaching past the
// end is measured up to the end. A stretch of 4 s or more is decoded in two
// halves side by side, merged by the meter (the gating blocks across the
// middle are left out: a few hundredths of a LU). While `cancel` is set the
// measurement ends at once with an error. Never throws.
TLoudness MeasureLoudness(const std::string& path, int64_t startMs, int64_t endMs, int channels = 2,
    int rate = 0, const std::atomic<bool>* cancel = nullptr);

} // namespace ringtone
