// Internal to the playback device: reads an audio file with FFmpeg (or, for
// an Ogg Vorbis file FFmpeg refuses, with libvorbisfile) and hands
// out interleaved signed 16-bit samples at one output rate (the rate of the
// file's first frame, kept within what a sound device takes), starting
// exactly at a requested sample. Frames of another rate or channel layout
// later in the file are converted to that output.
//
// Every read goes through a guard of the decoder's own, so a damaged or
// hostile file cannot hold the caller: a stop request, a time limit and a
// budget of bytes read without decoded audio each end the read at once.
#pragma once

#include <atomic>
#include <cstdint>
#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

#include "FfmpegHandles.h"
#include "VorbisInput.h"

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

// The open file and FFmpeg's reader over it (defined in AudioDecoder.cpp).
struct TInput;
struct TInputFree {
    void operator()(TInput* p) const;
};

class TAudioDecoder {
public:
    // Opens the local regular file `path` (never a URL, a pipe or a device)
    // and decodes its first audio frame to prove it plays, within a fixed
    // time. Throws TDecodeError naming the step that failed. While `stop` is
    // set, every read fails at once, so SeekTo and Decode return promptly.
    explicit TAudioDecoder(const std::string& path, const std::atomic<bool>* stop = nullptr);
    ~TAudioDecoder();
    TAudioDecoder(const TAudioDecoder&) = delete;
    TAudioDecoder& operator=(const TAudioDecoder&) = delete;

    int SampleRate() const { return rate_; } // output rate, Hz
    int Channels() const { return outChannels_; } // 1 or 2
    int64_t LengthMs() const { return lengthMs_; } // 0 when unknown

    // Positions the decoder so that the next Decode starts at sample `frame`
    // (per channel). Never fails: an unseekable file is read from its start.
    void SeekTo(int64_t frame);

    // Appends the next decoded samples (interleaved) to `out`; returns the
    // number of frames appended, 0 at the end of the file. Undecodable data
    // ends the file once the byte budget or the time limit runs out.
    int64_t Decode(std::vector<int16_t>& out);

    // The last Decode that returned 0 met the real end of the file, not a
    // stop request nor a limit.
    bool ReachedEnd() const { return reachedEnd_; }

private:
    // The steps of opening, in order.
    void OpenFile(const std::atomic<bool>* stop);
    void OpenWithFfmpeg();
    // After FFmpeg refused an Ogg Vorbis file: libvorbisfile; false when it
    // refuses too.
    bool OpenVorbis();
    void OpenContainer();
    std::string FindStreams();
    void OpenDecoder(const std::string& cut);
    void DecodeFirstFrame();
    void ChooseOutput();

    int ReadPacket();
    int64_t DecodeVorbis(std::vector<int16_t>& out);
    void MeasureLength();
    int ReceiveFrame();
    bool ReceiveFrames(std::vector<int16_t>& out, int64_t& added);
    int64_t Convert(std::vector<int16_t>& out);
    int64_t Emit(std::vector<int16_t>& out, const uint8_t** data, int frames);
    int64_t Flush(std::vector<int16_t>& out);
    bool ConverterFits(const AVFrame& f) const;
    bool BuildConverter(const AVFrame& f);
    [[noreturn]] void Fail(uint32_t code, const std::string& step, int avError);

    std::string path_;
    std::unique_ptr<TInput, TInputFree> in_; // outlives fmt_ and vorbis_, which read through it
    std::unique_ptr<TVorbisInput> vorbis_; // set when libvorbisfile reads the file instead of FFmpeg
    std::unique_ptr<AVFormatContext, TFormatCloser> fmt_;
    std::unique_ptr<AVCodecContext, TCodecCloser> codec_;
    std::unique_ptr<AVPacket, TPacketFree> packet_;
    std::unique_ptr<AVFrame, TFrameFree> frame_;
    std::unique_ptr<SwrContext, TSwrFree> swr_;
    // What swr_ was built for.
    int swrFormat_ = -1;
    int swrRate_ = 0;
    uint64_t swrLayoutMask_ = 0;
    int swrChannels_ = 0;

    int stream_ = -1;
    int rate_ = 0;
    int outChannels_ = 0;
    int64_t lengthMs_ = 0;
    int64_t startTs_ = 0; // stream start in its time base
    int tbNum_ = 1, tbDen_ = 1; // the stream's time base
    int64_t audioEnd_ = INT64_MIN; // end of the last audio packet read while opening, same base

    int64_t target_ = 0; // first frame wanted after a seek
    // Output frame index of the next decoded sample; below 0 within the
    // encoder's delay.
    static constexpr int64_t kUnknown = INT64_MIN;
    int64_t next_ = kUnknown;
    bool draining_ = false; // decoder flushed at end of input
    bool ended_ = false;
    bool reachedEnd_ = false;
    bool opening_ = true; // the constructor's fixed time limit applies
    std::vector<int16_t> scratch_;
};

} // namespace mplayer_detail
