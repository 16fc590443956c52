#include "MpgFrames.h"

#include <cstring>

namespace mpg_detail {

namespace {

// Bits that stay the same in every frame of one stream: sync, version,
// layer and sampling rate.
constexpr uint32_t kSameStream = 0xFFFE0C00;
constexpr int64_t kResyncBytes = 64 * 1024;
constexpr int64_t kPumpBytes = 256 * 1024;

struct TFrame {
    int64_t bytes = 0; // 0: no header of the stream here
    int samples = 0;
    int32_t rate = 0;
};

TFrame ParseFrame(uint32_t h, uint32_t stream)
{
    if ((h >> 21) != 0x7FF || (h & kSameStream) != stream)
        return {};
    const int version = kVersions[(h >> 19) & 3];
    const int layer = 4 - static_cast<int>((h >> 17) & 3);
    if (version == 0 || layer == 4)
        return {};
    const int32_t rate = kSampleRates[version][(h >> 10) & 3];
    const int32_t bitRate = kBitRates[BitRateTable(version, layer)][(h >> 12) & 15];
    if (rate == 0 || bitRate == 0)
        return {};
    return {FrameBytes(version, layer, bitRate, rate, ((h >> 9) & 1) != 0), SamplesPerFrame(version, layer),
        rate};
}

// The frame at pos when it is whole inside the file.
TFrame FrameAt(TReader& in, int64_t pos, uint32_t stream)
{
    const uint8_t* p = in.Span(pos, 4);
    if (p == nullptr)
        return {};
    const TFrame f = ParseFrame(BigEndian32(p), stream);
    return f.bytes > 0 && f.bytes <= in.size - pos ? f : TFrame{};
}

// The next frame of the stream within kResyncBytes of `from` that another
// frame follows (or the end of the file); -1 when there is none.
int64_t Resync(TReader& in, int64_t from, uint32_t stream)
{
    const int64_t last = std::min(from + kResyncBytes, in.size - 4);
    for (int64_t q = from; q <= last; ++q) {
        const uint8_t* p = in.Span(q, 1);
        if (p == nullptr || *p != 0xFF)
            continue;
        const TFrame f = FrameAt(in, q, stream);
        if (f.bytes > 0 && (q + f.bytes == in.size || FrameAt(in, q + f.bytes, stream).bytes > 0))
            return q;
    }
    return -1;
}

} // namespace

int64_t FrameBytes(int version, int layer, int32_t bitRate, int32_t sampleRate, bool padding)
{
    if (sampleRate <= 0)
        return 0;
    const int64_t pad = padding ? 1 : 0;
    if (layer == 1)
        return (int64_t{12000} * bitRate / sampleRate + pad) * 4; // 384 samples, 4-byte slots
    if (layer == 3 && version != 1)
        return int64_t{72000} * bitRate / sampleRate + pad; // 576 samples
    return int64_t{144000} * bitRate / sampleRate + pad; // 1152 samples
}

uint32_t VbriFrames(TReader& in, int64_t headerPos)
{
    // "VBRI" 32 bytes behind the header, then version, delay and quality
    // (16 bits each), the byte count and the frame count (32 bits each).
    const uint8_t* p = in.Span(headerPos + 36, 18);
    if (p == nullptr || std::memcmp(p, "VBRI", 4) != 0)
        return 0;
    return BigEndian32(p + 14);
}

TWalk FrameSeconds(TReader& in, int64_t first, double& seconds)
{
    seconds = 0;
    const uint8_t* p = in.Span(first, 4);
    if (p == nullptr)
        return TWalk::Done;
    const uint32_t stream = BigEndian32(p) & kSameStream;
    const TFrame head = ParseFrame(BigEndian32(p), stream);
    if (head.bytes == 0)
        return TWalk::Done;
    int64_t frames = 0;
    int64_t pos = first;
    int64_t pumpAt = first + kPumpBytes;
    while (pos >= 0) {
        if (pos >= pumpAt) {
            if (in.pump && in.pump())
                return TWalk::Quit;
            pumpAt = pos + kPumpBytes;
        }
        const TFrame f = FrameAt(in, pos, stream);
        if (f.bytes > 0) {
            ++frames;
            pos += f.bytes;
        } else {
            pos = Resync(in, pos + 1, stream);
        }
    }
    seconds = static_cast<double>(frames) * head.samples / head.rate;
    return TWalk::Done;
}

} // namespace mpg_detail
