// Internal to the playback device: reads an audio file with FFmpeg and hands
// out interleaved signed 16-bit samples at the file's own sampling rate,
// starting exactly at a requested sample.
#pragma once

#include <cstdint>
#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

struct AVFormatContext;
struct AVCodecContext;
struct AVPacket;
struct AVFrame;
struct SwrContext;

namespace mplayer_detail {

// A failure with the result code the device records for it.
class TDecodeError : public std::runtime_error {
public:
    TDecodeError(uint32_t code, const std::string& message)
        : std::runtime_error(message)
        , Code(code)
    {
    }
    uint32_t Code;
};

struct TFormatCloser {
    void operator()(AVFormatContext* p) const;
};
struct TCodecCloser {
    void operator()(AVCodecContext* p) const;
};
struct TPacketFree {
    void operator()(AVPacket* p) const;
};
struct TFrameFree {
    void operator()(AVFrame* p) const;
};
struct TSwrFree {
    void operator()(SwrContext* p) const;
};

class TAudioDecoder {
public:
    // Opens the file and decodes its first audio frame to prove it plays.
    // Throws TDecodeError naming the step that failed.
    explicit TAudioDecoder(const std::string& path);
    ~TAudioDecoder();
    TAudioDecoder(const TAudioDecoder&) = delete;
    TAudioDecoder& operator=(const TAudioDecoder&) = delete;

    int SampleRate() const { return rate_; }
    int Channels() const { return outChannels_; } // 1 or 2
    int64_t LengthMs() const { return lengthMs_; } // 0 when unknown

    // Positions the decoder so that the next Decode starts at sample `frame`
    // (per channel). Never fails: an unseekable file is read from its start.
    void SeekTo(int64_t frame);

    // Appends the next decoded samples (interleaved) to `out`; returns the
    // number of frames appended, 0 at the end of the file.
    int64_t Decode(std::vector<int16_t>& out);

private:
    bool ReceiveFrames(std::vector<int16_t>& out, int64_t& added);
    int64_t Convert(std::vector<int16_t>& out);

    std::string path_;
    std::unique_ptr<AVFormatContext, TFormatCloser> fmt_;
    std::unique_ptr<AVCodecContext, TCodecCloser> codec_;
    std::unique_ptr<AVPacket, TPacketFree> packet_;
    std::unique_ptr<AVFrame, TFrameFree> frame_;
    std::unique_ptr<SwrContext, TSwrFree> swr_;
    int swrFormat_ = -1;
    uint64_t swrLayoutMask_ = 0;
    int swrChannels_ = 0;

    int stream_ = -1;
    int rate_ = 0;
    int outChannels_ = 0;
    int64_t lengthMs_ = 0;
    int64_t startTs_ = 0; // stream start in its time base

    int64_t target_ = 0; // first frame wanted after a seek
    int64_t next_ = -1; // frame index of the next decoded sample; -1 = unknown
    bool draining_ = false; // decoder flushed at end of input
    bool ended_ = false;
    std::vector<int16_t> scratch_;
};

} // namespace mplayer_detail
