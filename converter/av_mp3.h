// One MPEG audio Layer III frame header, read from bytes: what both the cut
// (finding where to start) and the output check (counting frames) walk.
#pragma once

#include <cstddef>
#include <optional>
#include <span>

namespace av {

struct Mp3Frame {
    std::size_t bytes; // the whole frame
    int samples; // per channel
    int rate; // Hz
    std::size_t sideInfoEnd; // offset from the frame's start: where a Xing/Info tag would start
    unsigned key; // version, layer and rate: equal in every frame of a stream
};

// The frame starting at `at`; none for anything else (free format included).
inline std::optional<Mp3Frame> mp3FrameAt(std::span<const unsigned char> b, std::size_t at)
{
    if (b.size() < 4 || at > b.size() - 4)
        return std::nullopt;
    const unsigned char* h = b.data() + at;
    const int version = (h[1] >> 3) & 3, layer = (h[1] >> 1) & 3;
    const int rateIndex = h[2] >> 4, sampling = (h[2] >> 2) & 3;
    if (h[0] != 0xFF || (h[1] & 0xE0) != 0xE0 || version == 1 || layer != 1 || rateIndex == 0
        || rateIndex == 15 || sampling == 3)
        return std::nullopt;
    static constexpr int kV1[] = {0, 32, 40, 48, 56, 64, 80, 96, 112, 128, 160, 192, 224, 256, 320};
    static constexpr int kV2[] = {0, 8, 16, 24, 32, 40, 48, 56, 64, 80, 96, 112, 128, 144, 160};
    static constexpr int kRates[] = {44100, 48000, 32000};
    const bool v1 = version == 3;
    const int rate = kRates[sampling] >> (v1 ? 0 : version == 2 ? 1 : 2);
    const int kbit = (v1 ? kV1 : kV2)[rateIndex];
    const bool mono = (h[3] >> 6) == 3;
    const auto bytes = static_cast<std::size_t>((v1 ? 144000 : 72000) * kbit / rate + ((h[2] >> 1) & 1));
    const std::size_t side = v1 ? (mono ? 17 : 32) : (mono ? 9 : 17);
    return Mp3Frame{
        bytes, v1 ? 1152 : 576, rate, 4 + side, static_cast<unsigned>((h[1] << 8) | (h[2] & 0x0C))};
}

} // namespace av
