#include "Loudness.h"

#include "AudioDecoder.h"
#include "DecoderInput.h"
#include "FfmpegHandles.h"
#include "VorbisInput.h"

#include "RingtoneShape.h"
#include "TruePeak.h"

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstring>
#include <exception>
#include <limits>
#include <memory>
#include <optional>
#include <thread>
#include <vector>

#include <sys/stat.h>

extern "C" {
#include <ebur128.h>
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
#include <libavutil/channel_layout.h>
#include <libavutil/error.h>
#include <libavutil/opt.h>
#include <libswresample/swresample.h>
}

namespace ringtone {

namespace {

using mplayer_detail::TCodecCloser;
using mplayer_detail::TFormatCloser;
using mplayer_detail::TFrameFree;
using mplayer_detail::TInput;
using mplayer_detail::TInputFree;
using mplayer_detail::TPacketFree;
using mplayer_detail::TSwrFree;
using mplayer_detail::TVorbisInput;
struct TMeterFree {
    void operator()(ebur128_state* p) const { ebur128_destroy(&p); }
};

// Decoded audio ahead of the start is dropped from this far back, ms: an MP3
// frame borrows bits from the frames before it.
constexpr int64_t kPrerollMs = 200;

std::string AvError(int code)
{
    char text[AV_ERROR_MAX_STRING_SIZE] = {};
    av_strerror(code, text, sizeof text);
    return text;
}

// A failed step: ends the measurement with its message.
struct TStepFailed {
    std::string Message;
};

[[noreturn]] void FailStep(const std::string& step, const std::string& path, const std::string& why)
{
    throw TStepFailed{step + " '" + path + "': " + why};
}

class TMeasure {
public:
    TMeasure(const std::string& path, int64_t startMs, int64_t endMs, int channels, int rate,
        const std::atomic<bool>* cancel, const std::atomic<bool>* sibling)
        : path_(path)
        , startMs_(startMs)
        , endMs_(endMs)
        , channels_(channels)
        , askedRate_(rate)
        , cancel_(cancel)
        , sibling_(sibling)
    {
    }

    ~TMeasure() { av_channel_layout_uninit(&swrLayout_); }
    TMeasure(const TMeasure&) = delete;
    TMeasure& operator=(const TMeasure&) = delete;

    // Decodes the stretch into the meter; throws TStepFailed.
    void Collect()
    {
        Open();
        Seek();
        Decode();
    }
    int64_t Measured() const { return measured_; }
    ebur128_state* Meter() const { return meter_.get(); }
    double Peak() const { return peak_ ? peak_->Peak() : 0; }

private:
    [[noreturn]] void Fail(const std::string& step, const std::string& why) const
    {
        FailStep(step, path_, why);
    }
    [[noreturn]] void FailAv(const std::string& step, int code) const
    {
        Fail(step, Cancelled() ? std::string("cancelled") : AvError(code));
    }
    bool Cancelled() const
    {
        return (cancel_ && cancel_->load(std::memory_order_relaxed))
            || (sibling_ && sibling_->load(std::memory_order_relaxed));
    }
    void Open();
    void OpenWithFfmpeg();
    void DecodeVorbis();
    void Seek();
    void Decode();
    void Take(const AVFrame& f);
    void BuildConverter(const AVFrame& f);

    std::string path_;
    int64_t startMs_;
    int64_t endMs_;
    int channels_;
    int askedRate_; // Hz; 0: the file's own
    const std::atomic<bool>* cancel_;
    const std::atomic<bool>* sibling_; // set when the other half has failed

    // Declared so that the reader outlives the demuxer and libvorbisfile,
    // which read through it.
    std::unique_ptr<TInput, TInputFree> in_;
    std::unique_ptr<TVorbisInput> vorbis_; // for an Ogg Vorbis file FFmpeg refused
    std::unique_ptr<AVFormatContext, TFormatCloser> fmt_;
    std::unique_ptr<AVCodecContext, TCodecCloser> codec_;
    std::unique_ptr<AVPacket, TPacketFree> packet_;
    std::unique_ptr<AVFrame, TFrameFree> frame_;
    std::unique_ptr<SwrContext, TSwrFree> swr_;
    std::unique_ptr<ebur128_state, TMeterFree> meter_;
    std::optional<TTruePeak> peak_;
    std::vector<float> buffer_;

    int stream_ = -1;
    int64_t startTs_ = 0; // the stream's start, in its time base
    AVRational tb_{1, 1}; // the stream's time base
    int rate_ = 0; // measured rate, Hz: the asked one, else the first frame's
    int swrFormat_ = -1;
    int swrRate_ = 0;
    AVChannelLayout swrLayout_{}; // the decoder's layout it was built for
    int64_t first_ = 0; // first wanted frame at rate_
    int64_t end_ = 0; // frame after the last wanted
    static constexpr int64_t kUnknown = std::numeric_limits<int64_t>::min();
    int64_t next_ = kUnknown; // index of the next converted frame
    int64_t measured_ = 0; // frames fed to the meter
    bool done_ = false;
};

void TMeasure::Open()
{
    in_.reset(new TInput);
    in_->stop = cancel_;
    in_->alsoStop = sibling_;
    in_->budget = mplayer_detail::kHeaderBytes;
    int err = 0;
    const std::string why = mplayer_detail::OpenLocalFile(*in_, path_, err);
    if (!why.empty())
        Fail("Cannot open", why);
    try {
        OpenWithFfmpeg();
    } catch (const TStepFailed&) {
        // FFmpeg first, always; libvorbisfile only for an Ogg Vorbis file it
        // refused.
        if (Cancelled() || !TVorbisInput::IsOggVorbis(*in_))
            throw;
        codec_.reset();
        fmt_.reset();
        in_->Rebudget(mplayer_detail::kHeaderBytes);
        auto vorbis = std::make_unique<TVorbisInput>(*in_);
        if (!vorbis->Opened())
            throw;
        frame_.reset(av_frame_alloc());
        if (!frame_)
            Fail("Cannot start the decoder for", "out of memory");
        startTs_ = 0;
        tb_ = AVRational{1, vorbis->Rate()};
        vorbis_ = std::move(vorbis);
        in_->Rebudget(mplayer_detail::kBytesWithoutAudio);
    }
}

void TMeasure::OpenWithFfmpeg()
{
    AVFormatContext* raw = mplayer_detail::AttachReader(*in_) ? avformat_alloc_context() : nullptr;
    if (!raw)
        Fail("Cannot open", "out of memory");
    int r = mplayer_detail::OpenContainer(*in_, path_, raw);
    if (r < 0) // raw is freed
        FailAv("Cannot read the format of", r);
    fmt_.reset(raw);
    in_->Rebudget(mplayer_detail::kBytesWithoutAudio);
    r = avformat_find_stream_info(fmt_.get(), nullptr);
    if (r < 0)
        FailAv("Cannot read the stream information of", r);

    const AVCodec* decoder = nullptr;
    r = av_find_best_stream(fmt_.get(), AVMEDIA_TYPE_AUDIO, -1, -1, &decoder, 0);
    if (r < 0 || !decoder)
        Fail("Cannot find the audio of",
            r == AVERROR_DECODER_NOT_FOUND ? "no decoder for its format" : "no audio stream");
    stream_ = r;
    for (unsigned i = 0; i < fmt_->nb_streams; ++i)
        if (static_cast<int>(i) != stream_)
            fmt_->streams[i]->discard = AVDISCARD_ALL;
    const AVStream* stream = fmt_->streams[stream_];
    startTs_ = stream->start_time != AV_NOPTS_VALUE ? stream->start_time : 0;
    tb_ = stream->time_base;

    codec_.reset(avcodec_alloc_context3(decoder));
    packet_.reset(av_packet_alloc());
    frame_.reset(av_frame_alloc());
    if (!codec_ || !packet_ || !frame_)
        Fail("Cannot start the decoder for", "out of memory");
    r = avcodec_parameters_to_context(codec_.get(), stream->codecpar);
    if (r >= 0)
        r = avcodec_open2(codec_.get(), decoder, nullptr);
    if (r < 0)
        FailAv("Cannot start the decoder for", r);
}

void TMeasure::Seek()
{
    const int64_t fromMs = std::max<int64_t>(startMs_ - kPrerollMs, 0);
    if (fromMs == 0)
        return;
    if (vorbis_) {
        // Exact: an unseekable file is read from its start.
        vorbis_->Seek(av_rescale(fromMs, vorbis_->Rate(), 1000));
        return;
    }
    const AVRational tb = fmt_->streams[stream_]->time_base;
    const int64_t ts = startTs_ + av_rescale_q(fromMs, AVRational{1, 1000}, tb);
    // An unseekable file is read from where it stands, its start.
    if (avformat_seek_file(fmt_.get(), stream_, INT64_MIN, ts, ts, 0) >= 0)
        avcodec_flush_buffers(codec_.get());
}

void TMeasure::BuildConverter(const AVFrame& f)
{
    swr_.reset();
    av_channel_layout_uninit(&swrLayout_);
    AVChannelLayout in{};
    if (f.ch_layout.order == AV_CHANNEL_ORDER_NATIVE)
        av_channel_layout_copy(&in, &f.ch_layout);
    else
        av_channel_layout_default(&in, f.ch_layout.nb_channels);
    AVChannelLayout out{};
    av_channel_layout_default(&out, channels_);
    SwrContext* s = nullptr;
    int r = swr_alloc_set_opts2(&s, &out, AV_SAMPLE_FMT_FLT, rate_, &in,
        static_cast<AVSampleFormat>(f.format), f.sample_rate, 0, nullptr);
    // A mix down to one channel is scaled so it cannot clip, as the mono
    // encoder's 16-bit input is: both channels at half, not at 0.707.
    if (r >= 0 && channels_ == 1)
        r = av_opt_set_double(s, "rematrix_maxval", 1.0, 0);
    if (r >= 0)
        r = swr_init(s);
    av_channel_layout_uninit(&out);
    if (r < 0) {
        av_channel_layout_uninit(&in);
        swr_free(&s);
        FailAv("Cannot convert the audio of", r);
    }
    av_channel_layout_uninit(&in);
    swr_.reset(s);
    if (av_channel_layout_copy(&swrLayout_, &f.ch_layout) < 0)
        Fail("Cannot convert the audio of", "out of memory");
    swrFormat_ = f.format;
    swrRate_ = f.sample_rate;
}

// Converts one decoded frame (or, with no frame, what the converter still
// holds) and feeds the part inside the segment to the meter.
void TMeasure::Take(const AVFrame& f)
{
    if (!meter_) {
        rate_ = askedRate_ > 0 ? askedRate_ : f.sample_rate;
        if (f.sample_rate <= 0 || f.ch_layout.nb_channels <= 0)
            Fail("Cannot decode the audio of", "no sampling rate or channels");
        meter_.reset(ebur128_init(
            static_cast<unsigned>(channels_), static_cast<unsigned long>(rate_), EBUR128_MODE_I));
        if (!meter_)
            Fail("Cannot start the loudness meter for", "unsupported rate or channels");
        peak_.emplace(channels_, rate_);
        first_ = av_rescale(startMs_, rate_, 1000);
        end_ = av_rescale(endMs_, rate_, 1000);
    }
    if (!swr_ || swrFormat_ != f.format || swrRate_ != f.sample_rate
        || av_channel_layout_compare(&swrLayout_, &f.ch_layout) != 0)
        BuildConverter(f);
    if (next_ == kUnknown) {
        const int64_t ts = f.best_effort_timestamp;
        next_ = ts != AV_NOPTS_VALUE ? av_rescale_q(ts - startTs_, tb_, AVRational{1, rate_}) : 0;
    }
    const int cap = swr_get_out_samples(swr_.get(), f.nb_samples);
    if (cap <= 0)
        return;
    buffer_.resize(static_cast<size_t>(cap) * static_cast<size_t>(channels_));
    auto* dst = reinterpret_cast<uint8_t*>(buffer_.data());
    const int got
        = swr_convert(swr_.get(), &dst, cap, const_cast<const uint8_t**>(f.extended_data), f.nb_samples);
    if (got <= 0)
        return;
    const int64_t from = std::clamp<int64_t>(first_ - next_, 0, got);
    const int64_t to = std::clamp<int64_t>(end_ - next_, 0, got);
    next_ += got;
    if (to > from) {
        const int r = ebur128_add_frames_float(
            meter_.get(), buffer_.data() + from * channels_, static_cast<size_t>(to - from));
        if (r != EBUR128_SUCCESS)
            Fail("Cannot measure the loudness of", "the meter refused the audio");
        peak_->Add(buffer_.data() + from * channels_, static_cast<size_t>(to - from));
        measured_ += to - from;
    }
    done_ = next_ >= end_;
}

void TMeasure::DecodeVorbis()
{
    while (!done_) {
        if (Cancelled())
            Fail("Measuring the loudness of", "cancelled");
        const int n = vorbis_->Read(*frame_);
        if (n == 0) {
            if (Cancelled())
                Fail("Measuring the loudness of", "cancelled");
            return; // the end of the file, or of what can be decoded
        }
        if (n > 0) {
            in_->Progress();
            Take(*frame_);
        }
        av_frame_unref(frame_.get());
    }
}

void TMeasure::Decode()
{
    if (vorbis_)
        return DecodeVorbis();
    bool draining = false;
    while (!done_) {
        if (Cancelled())
            Fail("Measuring the loudness of", "cancelled");
        if (!draining) {
            const int r = av_read_frame(fmt_.get(), packet_.get());
            if ((r == AVERROR_EXIT && in_->tripped != TInput::TTrip::NoAudio) || Cancelled())
                Fail("Measuring the loudness of", "cancelled");
            if (r < 0) {
                // The end of the file, or a read error: it ends there.
                draining = true;
                avcodec_send_packet(codec_.get(), nullptr);
            } else {
                if (packet_->stream_index == stream_)
                    avcodec_send_packet(codec_.get(), packet_.get()); // a damaged packet is skipped
                av_packet_unref(packet_.get());
            }
        }
        for (;;) {
            const int r = avcodec_receive_frame(codec_.get(), frame_.get());
            if (r == AVERROR(EAGAIN))
                break;
            if (r == AVERROR_EOF)
                return;
            if (r < 0) {
                if (draining)
                    return;
                break; // a damaged frame: go on with the next packet
            }
            if (frame_->nb_samples > 0) {
                in_->Progress();
                Take(*frame_);
            }
            av_frame_unref(frame_.get());
            if (done_)
                return;
        }
    }
}

// Selections this long are measured in two halves, each by its own decoder
// on its own core; the meter merges them. ms.
constexpr int64_t kSplitMs = 4000;

TLoudness Measure(const std::string& path, int64_t startMs, int64_t endMs, int channels, int rate,
    const std::atomic<bool>* cancel)
{
    if (channels != 1 && channels != 2)
        FailStep("Cannot measure the loudness of", path,
            std::to_string(channels) + " channels asked, 1 or 2 are measured");
    startMs = std::max<int64_t>(startMs, 0);
    if (endMs <= startMs)
        FailStep("Cannot measure the loudness of", path,
            "the segment from " + std::to_string(startMs) + " ms to " + std::to_string(endMs) + " ms is empty");
    const bool split = endMs - startMs >= kSplitMs && std::thread::hardware_concurrency() >= 2;
    const int64_t middleMs = split ? startMs + (endMs - startMs) / 2 : endMs;
    std::atomic<bool> failed = false; // stops the other half
    std::atomic<int> firstToFail = 0; // 1 or 2: the failure to tell
    TMeasure first(path, startMs, middleMs, channels, rate, cancel, &failed);
    std::optional<TMeasure> second;
    if (split)
        second.emplace(path, middleMs, endMs, channels, rate, cancel, &failed);
    std::exception_ptr firstError, secondError;
    const auto collect = [&](TMeasure& half, std::exception_ptr& error, int which) {
        try {
            half.Collect();
        } catch (...) {
            error = std::current_exception();
            int none = 0;
            firstToFail.compare_exchange_strong(none, which);
            failed = true;
        }
    };
    std::thread worker;
    if (second)
        worker = std::thread([&] { collect(*second, secondError, 2); });
    collect(first, firstError, 1);
    if (worker.joinable())
        worker.join();
    // The first failure is the one to tell: it stopped the other half.
    if (firstToFail == 1)
        std::rethrow_exception(firstError);
    if (firstToFail == 2)
        std::rethrow_exception(secondError);

    std::vector<ebur128_state*> meters;
    double peak = 0;
    for (const TMeasure* half : {&first, second ? &*second : nullptr})
        if (half && half->Measured() > 0) {
            meters.push_back(half->Meter());
            peak = std::max(peak, half->Peak());
        }
    if (meters.empty())
        FailStep("Cannot measure the loudness of", path,
            "no audio between " + std::to_string(startMs) + " ms and " + std::to_string(endMs) + " ms");
    double lufs = -HUGE_VAL;
    if (ebur128_loudness_global_multiple(meters.data(), meters.size(), &lufs) != EBUR128_SUCCESS)
        FailStep("Cannot compute the loudness of", path, "the meter failed");
    TLoudness result;
    result.Ok = true;
    result.IntegratedLufs = lufs;
    result.TruePeakDbtp = peak > 0 ? 20 * std::log10(peak) : -HUGE_VAL;
    return result;
}

} // namespace

TLoudness MeasureLoudness(const std::string& path, int64_t startMs, int64_t endMs, int channels, int rate,
    const std::atomic<bool>* cancel)
{
    try {
        return Measure(path, startMs, endMs, channels, rate, cancel);
    } catch (const TStepFailed& e) {
        TLoudness failed;
        failed.Error = e.Message;
        return failed;
    } catch (const std::exception& e) {
        TLoudness failed;
        failed.Error = "Measuring the loudness of '" + path + "': " + e.what();
        return failed;
    }
}

} // namespace ringtone
