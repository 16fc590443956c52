// Internal to the MPEG audio analyser: the frame header tables, and the
// playing time read from the frames themselves.
#pragma once

#include "MpgReader.h"

#include <cstdint>

namespace mpg_detail {

// Bit rates in kbit/s by table and header bits 15-12 (index 0 free format, 15 forbidden).
inline constexpr int32_t kBitRates[5][16] = {
    {0, 32, 64, 96, 128, 160, 192, 224, 256, 288, 320, 352, 384, 416, 448, 0}, // MPEG-1 Layer I
    {0, 32, 48, 56, 64, 80, 96, 112, 128, 160, 192, 224, 256, 320, 384, 0}, // MPEG-1 Layer II
    {0, 32, 40, 48, 56, 64, 80, 96, 112, 128, 160, 192, 224, 256, 320, 0}, // MPEG-1 Layer III
    {0, 32, 48, 56, 64, 80, 96, 112, 128, 144, 160, 176, 192, 224, 256, 0}, // MPEG-2/2.5 Layer I
    {0, 8, 16, 24, 32, 40, 48, 56, 64, 80, 96, 112, 128, 144, 160, 0}, // MPEG-2/2.5 Layer II/III
};

// Sampling rates in Hz by version (1 MPEG-1, 2 MPEG-2, 3 MPEG-2.5) and header bits 11-10.
inline constexpr int32_t kSampleRates[4][4] = {
    {0, 0, 0, 0},
    {44100, 48000, 32000, 0},
    {22050, 24000, 16000, 0},
    {11025, 12000, 8000, 0},
};

// Version from header bits 20-19; 0 for the reserved value.
inline constexpr uint8_t kVersions[4] = {3, 0, 2, 1};

// Index into kBitRates for a version (1..3) and layer (1..3).
inline int BitRateTable(int version, int layer)
{
    return version == 1 ? layer - 1 : (layer == 1 ? 3 : 4);
}

// Frame length in bytes; 0 without a sampling rate.
int64_t FrameBytes(int version, int layer, int32_t bitRate, int32_t sampleRate, bool padding);

// Samples per channel in one frame.
inline int SamplesPerFrame(int version, int layer)
{
    return layer == 1 ? 384 : (layer == 3 && version != 1) ? 576 : 1152;
}

inline uint32_t BigEndian32(const uint8_t* p)
{
    return (uint32_t{p[0]} << 24) | (uint32_t{p[1]} << 16) | (uint32_t{p[2]} << 8) | uint32_t{p[3]};
}

// Necessary conditions for a valid header, checked before the full decode so
// the search skips most false syncs cheaply.
inline bool MayBeHeader(const uint8_t* p)
{
    return p[0] == 0xFF && (p[1] & 0xE0) == 0xE0 && ((p[1] >> 3) & 3) != 1 && ((p[1] >> 1) & 3) != 0
        && (p[2] >> 4) != 0 && (p[2] >> 4) != 15 && ((p[2] >> 2) & 3) != 3;
}

// The frame count of a VBRI header in the frame whose header is at
// headerPos; 0 when there is none.
uint32_t VbriFrames(TReader& in, int64_t headerPos);

enum class TWalk { Done, Quit };

// Seconds of audio in the frames that follow one another from the header at
// `first` (same version, layer and sampling rate) up to the first stretch of
// data that holds none: an ID3v1 tag, trailing zeros, the rest of a cut
// file. A damaged stretch is stepped over when a frame pair follows within
// 64 KiB. Only headers are looked at; the pump runs every 256 KiB and can end
// the walk (Quit).
TWalk FrameSeconds(TReader& in, int64_t first, double& seconds);

} // namespace mpg_detail
