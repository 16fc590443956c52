#include "AudioDecoder.h"

#include "MPlayer.h"

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstring>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
#include <libavutil/channel_layout.h>
#include <libavutil/error.h>
#include <libavutil/mem.h>
#include <libswresample/swresample.h>
}

namespace mplayer_detail {

namespace {

using Clock = std::chrono::steady_clock;

// Packets read while proving that a file plays; a damaged start may hide a
// few frames, a file with nothing decodable in this many is refused.
constexpr int kProbePackets = 500;

// A last resort for a medium that stalls (a hung network share): the byte
// budgets below end every file that merely holds no sound within a few
// hundred milliseconds, so this limit must never be what refuses a good file
// on a busy or slow machine.
constexpr auto kOpenTime = std::chrono::seconds(5);
// A seek or a decode that yields no audio for this long ends the file.
constexpr auto kStallTime = std::chrono::seconds(5);
// Bytes read without a decoded frame before the rest is taken as undecodable.
// FFmpeg's parser gathers such data and scans all of it again when reading
// ends, so this bounds both the memory and how long a stop takes (about
// 5 ms a megabyte). The header may be larger: it holds cover pictures.
constexpr int64_t kBytesWithoutAudio = int64_t{8} << 20;
constexpr int64_t kHeaderBytes = int64_t{64} << 20;
// While opening, each step after the header (learning the streams, decoding
// the first frame) may read this much without audio. The parser scans every
// byte it gathers, at 20 to 40 ns a byte on an idle machine and several times
// that on a busy one, so the 8 MB above, spent twice, held a WAV header
// followed by zeros for seconds. A good file has its first frame within a
// few kilobytes of the header.
constexpr int64_t kOpenBytesWithoutAudio = int64_t{1} << 20;
// Audio read to measure a length that FFmpeg only guessed from the bit rate
// (about 10 ms a megabyte); a longer file keeps the guess. 8 MB is almost
// 9 minutes at 128 kbit/s.
constexpr int64_t kMeasureBytes = int64_t{8} << 20;
// What the demuxer reads and analyses to learn the streams.
constexpr int64_t kProbeBytes = int64_t{1} << 20;
constexpr int64_t kAnalyzeMicroseconds = 2 * int64_t{AV_TIME_BASE};
constexpr int kReadBuffer = 64 * 1024;

// Sampling rates a file may declare, Hz; beyond them it is not sound.
constexpr int kMinFileRate = 1000;
constexpr int kMaxFileRate = 768000;
// Rates handed to the sound output, Hz: at the low end one output buffer of
// 128 frames still lasts only 16 ms, so stopping never waits long.
constexpr int kMinOutputRate = 8000;
constexpr int kMaxOutputRate = 192000;

std::string AvError(int code)
{
    char text[AV_ERROR_MAX_STRING_SIZE] = {};
    av_strerror(code, text, sizeof text);
    return text;
}

std::string Quoted(const std::string& path)
{
    return "'" + path + "'";
}

} // namespace

// Watches every read of one file. Used by one thread at a time: the caller
// of the constructor, then the playback worker.
struct TInput {
    enum class TTrip { None, Stopped, TimedOut, NoAudio };

    int fd = -1;
    AVIOContext* pb = nullptr;
    const std::atomic<bool>* stop = nullptr;
    Clock::time_point deadline = Clock::time_point::max();
    Clock::duration stall{}; // re-arms the deadline at each decoded frame; 0 = fixed
    int64_t bytes = 0; // read since the last decoded frame
    int64_t budget = kBytesWithoutAudio; // ... at most
    TTrip tripped = TTrip::None;

    void Arm(Clock::duration limit, bool rolling, int64_t byteBudget = kBytesWithoutAudio)
    {
        deadline = Clock::now() + limit;
        stall = rolling ? limit : Clock::duration{};
        bytes = 0;
        budget = byteBudget;
        tripped = TTrip::None;
        if (pb) {
            // A read ended by the guard leaves the reader in error until reset.
            pb->eof_reached = 0;
            pb->error = 0;
        }
    }

    // A new byte budget for the next step; the deadline stays.
    void Rebudget(int64_t byteBudget)
    {
        bytes = 0;
        budget = byteBudget;
        if (tripped == TTrip::NoAudio) {
            tripped = TTrip::None;
            pb->eof_reached = 0;
            pb->error = 0;
        }
    }

    void Progress()
    {
        bytes = 0;
        if (stall != Clock::duration{})
            deadline = Clock::now() + stall;
    }

    bool Allow()
    {
        if (tripped == TTrip::None) {
            if (stop && stop->load(std::memory_order_relaxed))
                tripped = TTrip::Stopped;
            else if (bytes >= budget)
                tripped = TTrip::NoAudio;
            else if (Clock::now() >= deadline)
                tripped = TTrip::TimedOut;
        }
        return tripped == TTrip::None;
    }

    std::string Why() const
    {
        switch (tripped) {
        case TTrip::Stopped:
            return "stopped";
        case TTrip::TimedOut:
            return "no audio found within "
                + std::to_string(std::chrono::duration_cast<std::chrono::milliseconds>(
                    stall != Clock::duration{} ? stall : kOpenTime)
                                     .count())
                + " ms";
        case TTrip::NoAudio:
            return "no audio found in " + std::to_string(budget >> 20) + " MB of data";
        case TTrip::None:
            break;
        }
        return {};
    }

    static int Read(void* opaque, uint8_t* buf, int size)
    {
        auto* self = static_cast<TInput*>(opaque);
        if (!self->Allow())
            return AVERROR_EXIT;
        ssize_t n;
        do
            n = ::read(self->fd, buf, static_cast<size_t>(size));
        while (n < 0 && errno == EINTR);
        if (n < 0)
            return AVERROR(errno);
        if (n == 0)
            return AVERROR_EOF;
        self->bytes += n;
        return static_cast<int>(n);
    }

    static int64_t Seek(void* opaque, int64_t offset, int whence)
    {
        auto* self = static_cast<TInput*>(opaque);
        if (whence & AVSEEK_SIZE) {
            struct stat st { };
            return ::fstat(self->fd, &st) == 0 ? static_cast<int64_t>(st.st_size) : AVERROR(errno);
        }
        const off_t r = ::lseek(self->fd, static_cast<off_t>(offset), whence & ~AVSEEK_FORCE);
        return r < 0 ? AVERROR(errno) : static_cast<int64_t>(r);
    }

    static int Interrupt(void* opaque) { return static_cast<TInput*>(opaque)->Allow() ? 0 : 1; }

    // The demuxer may not open further files or URLs named inside this one
    // (playlists, concatenation lists, references): only the file chosen plays.
    static int RefuseNested(AVFormatContext*, AVIOContext**, const char*, int, AVDictionary**)
    {
        return AVERROR(EPERM);
    }
};

void TInputFree::operator()(TInput* p) const
{
    if (p->pb) {
        av_freep(&p->pb->buffer);
        avio_context_free(&p->pb);
    }
    if (p->fd >= 0)
        ::close(p->fd);
    delete p;
}

void TFormatCloser::operator()(AVFormatContext* p) const
{
    avformat_close_input(&p);
}
void TCodecCloser::operator()(AVCodecContext* p) const
{
    avcodec_free_context(&p);
}
void TPacketFree::operator()(AVPacket* p) const
{
    av_packet_free(&p);
}
void TFrameFree::operator()(AVFrame* p) const
{
    av_frame_free(&p);
}
void TSwrFree::operator()(SwrContext* p) const
{
    swr_free(&p);
}

void TAudioDecoder::Fail(uint32_t code, const std::string& step, int avError)
{
    std::string why = in_ ? in_->Why() : std::string();
    if (why.empty())
        why = avError ? AvError(avError) : "no audio data";
    throw TDecodeError(code, step + " " + Quoted(path_) + ": " + why);
}

TAudioDecoder::TAudioDecoder(const std::string& path, const std::atomic<bool>* stop)
    : path_(path)
{
    const std::string quoted = Quoted(path);
    // The name is a local path, never a URL. Opening without blocking and
    // checking the opened file itself keeps pipes and devices out, even one
    // put in place of the file a moment ago.
    in_.reset(new TInput);
    in_->stop = stop;
    in_->fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (in_->fd < 0) {
        const int e = errno;
        throw TDecodeError(e == ENOENT ? MCIERR_FILE_NOT_FOUND : MCIERR_INVALID_FILE,
            "Cannot open file " + quoted + ": " + std::strerror(e));
    }
    struct stat st { };
    if (::fstat(in_->fd, &st) != 0)
        throw TDecodeError(
            MCIERR_INVALID_FILE, "Cannot read the status of " + quoted + ": " + std::strerror(errno));
    if (S_ISDIR(st.st_mode))
        throw TDecodeError(MCIERR_INVALID_FILE, "Cannot open " + quoted + ": it is a folder, not a file");
    if (!S_ISREG(st.st_mode))
        throw TDecodeError(
            MCIERR_INVALID_FILE, "Cannot open " + quoted + ": not a regular file (a pipe, device or socket)");
    if (st.st_size == 0)
        throw TDecodeError(MCIERR_INVALID_FILE, "Cannot open " + quoted + ": the file is empty");
    const int flags = ::fcntl(in_->fd, F_GETFL);
    if (flags >= 0)
        ::fcntl(in_->fd, F_SETFL, flags & ~O_NONBLOCK);

    auto* buffer = static_cast<unsigned char*>(av_malloc(kReadBuffer));
    if (buffer)
        in_->pb
            = avio_alloc_context(buffer, kReadBuffer, 0, in_.get(), &TInput::Read, nullptr, &TInput::Seek);
    AVFormatContext* raw = in_->pb ? avformat_alloc_context() : nullptr;
    if (!raw) {
        if (!in_->pb)
            av_free(buffer);
        throw TDecodeError(MCIERR_OUT_OF_MEMORY, "Out of memory while opening " + quoted);
    }
    in_->Arm(kOpenTime, false, kHeaderBytes);
    raw->pb = in_->pb;
    raw->interrupt_callback = {&TInput::Interrupt, in_.get()};
    raw->io_open = &TInput::RefuseNested;
    raw->probesize = kProbeBytes;
    raw->max_analyze_duration = kAnalyzeMicroseconds;
    // The name serves only as a hint for the format (its extension).
    int r = avformat_open_input(&raw, path.c_str(), nullptr, nullptr);
    if (r < 0)
        Fail(MCIERR_INVALID_FILE, "Cannot open file", r);
    fmt_.reset(raw);
    in_->Rebudget(kOpenBytesWithoutAudio);

    // Stream information gathered before undecodable data is still good: a
    // short song followed by zeros plays.
    r = avformat_find_stream_info(fmt_.get(), nullptr);
    if (r < 0 || in_->tripped == TInput::TTrip::TimedOut)
        Fail(MCIERR_INVALID_FILE, "Cannot read the stream information of", r);
    const std::string cut = in_->tripped != TInput::TTrip::None ? ": " + in_->Why() : std::string();
    in_->Rebudget(kOpenBytesWithoutAudio);

    const AVCodec* decoder = nullptr;
    r = av_find_best_stream(fmt_.get(), AVMEDIA_TYPE_AUDIO, -1, -1, &decoder, 0);
    if (r == AVERROR_DECODER_NOT_FOUND)
        throw TDecodeError(MCIERR_INVALID_FILE, "No decoder for the audio of " + quoted + cut);
    if (r < 0 || !decoder)
        throw TDecodeError(MCIERR_INVALID_FILE, "No audio stream in " + quoted + cut);
    stream_ = r;
    AVStream* stream = fmt_->streams[stream_];
    // Other streams (video, pictures) need not even be read.
    for (unsigned i = 0; i < fmt_->nb_streams; ++i)
        if (static_cast<int>(i) != stream_)
            fmt_->streams[i]->discard = AVDISCARD_ALL;

    codec_.reset(avcodec_alloc_context3(decoder));
    packet_.reset(av_packet_alloc());
    frame_.reset(av_frame_alloc());
    if (!codec_ || !packet_ || !frame_)
        throw TDecodeError(MCIERR_OUT_OF_MEMORY, "Out of memory while opening " + quoted);
    r = avcodec_parameters_to_context(codec_.get(), stream->codecpar);
    if (r >= 0) {
        codec_->pkt_timebase = stream->time_base;
        r = avcodec_open2(codec_.get(), decoder, nullptr);
    }
    if (r < 0)
        throw TDecodeError(MCIERR_INVALID_FILE,
            std::string("Cannot open decoder '") + decoder->name + "' for " + quoted + ": " + AvError(r));

    startTs_ = stream->start_time != AV_NOPTS_VALUE ? stream->start_time : 0;
    if (stream->duration != AV_NOPTS_VALUE && stream->duration > 0)
        lengthMs_ = av_rescale_q(stream->duration, stream->time_base, AVRational{1, 1000});
    else if (fmt_->duration != AV_NOPTS_VALUE && fmt_->duration > 0)
        lengthMs_ = av_rescale(fmt_->duration, 1000, AV_TIME_BASE);

    // Prove that the audio decodes: a file cut short after its header or a
    // text file that merely looks like audio is refused here, not at Play.
    // The first frame fixes the output format.
    int lastError = 0;
    bool decoded = false;
    for (int i = 0; i < kProbePackets && !decoded; ++i) {
        r = ReadPacket();
        if (r < 0) {
            if (r != AVERROR_EOF)
                lastError = r;
            avcodec_send_packet(codec_.get(), nullptr);
        } else if (packet_->stream_index != stream_) {
            av_packet_unref(packet_.get());
            continue;
        } else {
            int s = avcodec_send_packet(codec_.get(), packet_.get());
            av_packet_unref(packet_.get());
            if (s < 0 && s != AVERROR(EAGAIN))
                lastError = s;
        }
        int g = ReceiveFrame();
        if (g >= 0 && frame_->nb_samples > 0)
            decoded = true;
        else if (g < 0 && g != AVERROR(EAGAIN) && g != AVERROR_EOF)
            lastError = g;
        if (!decoded)
            av_frame_unref(frame_.get());
        if (r < 0)
            break;
    }
    if (!decoded)
        Fail(MCIERR_INVALID_FILE, "Cannot decode the audio of", lastError);

    if (fmt_->duration_estimation_method == AVFMT_DURATION_FROM_BITRATE)
        MeasureLength();

    const AVFrame& first = *frame_;
    const int fileRate = first.sample_rate;
    if (fileRate < kMinFileRate || fileRate > kMaxFileRate) {
        av_frame_unref(frame_.get());
        throw TDecodeError(MCIERR_INVALID_FILE,
            "Cannot play " + quoted + ": its sampling rate of " + std::to_string(fileRate)
                + " Hz is implausible (" + std::to_string(kMinFileRate) + " to "
                + std::to_string(kMaxFileRate) + " Hz are played)");
    }
    rate_ = std::clamp(fileRate, kMinOutputRate, kMaxOutputRate);
    const int channels = first.ch_layout.nb_channels;
    outChannels_ = channels == 1 ? 1 : 2;
    const bool convertible = BuildConverter(first);
    av_frame_unref(frame_.get());
    in_->Rebudget(kBytesWithoutAudio);
    if (!convertible)
        throw TDecodeError(MCIERR_INVALID_FILE,
            "Cannot play " + quoted + ": its " + std::to_string(channels)
                + " channels cannot be mixed down to " + (outChannels_ == 1 ? "mono" : "stereo"));
    SeekTo(0);
    opening_ = false;
}

TAudioDecoder::~TAudioDecoder() = default;

void TAudioDecoder::SeekTo(int64_t frame)
{
    target_ = std::max<int64_t>(frame, 0);
    // Start a little early: an MP3 frame borrows bits from the frames before
    // it, and the first frames of a file may lie before its start time (the
    // encoder's delay, which the decoder then trims itself).
    const int64_t preroll = rate_ / 5;
    const AVRational tb = fmt_->streams[stream_]->time_base;
    const int64_t ts = std::max(
        startTs_ + av_rescale_q(target_ - preroll, AVRational{1, rate_}, tb), std::min<int64_t>(startTs_, 0));
    // Each attempt gets the whole budget; none is tried once a stop is asked.
    auto arm = [this] {
        if (!opening_)
            in_->Arm(kStallTime, true);
        return !(in_->stop && in_->stop->load());
    };
    int r = arm() ? avformat_seek_file(fmt_.get(), stream_, INT64_MIN, ts, ts, 0) : 0;
    if (r < 0 && arm())
        r = av_seek_frame(fmt_.get(), stream_, startTs_, AVSEEK_FLAG_BACKWARD);
    if (r < 0 && arm())
        av_seek_frame(fmt_.get(), -1, 0, AVSEEK_FLAG_BYTE);
    avcodec_flush_buffers(codec_.get());
    swr_.reset(); // drops what a resampler still held from before
    next_ = kUnknown;
    draining_ = false;
    ended_ = false;
    reachedEnd_ = false;
}

int64_t TAudioDecoder::Decode(std::vector<int16_t>& out)
{
    if (!opening_ && !ended_)
        in_->Arm(kStallTime, true);
    while (!ended_) {
        int64_t added = 0;
        const bool wantsInput = ReceiveFrames(out, added);
        if (added > 0)
            return added;
        if (!wantsInput || draining_) {
            ended_ = true;
            break;
        }
        int r = ReadPacket();
        if (r < 0) {
            // End of file, a read error, or the guard: the file ends for us.
            reachedEnd_ = r == AVERROR_EOF && in_->tripped == TInput::TTrip::None;
            draining_ = true;
            avcodec_send_packet(codec_.get(), nullptr);
            continue;
        }
        if (packet_->stream_index == stream_)
            avcodec_send_packet(codec_.get(), packet_.get());
        // A damaged packet is skipped; the decoder resynchronises on the next.
        av_packet_unref(packet_.get());
    }
    return 0;
}

bool TAudioDecoder::ReceiveFrames(std::vector<int16_t>& out, int64_t& added)
{
    for (;;) {
        int r = ReceiveFrame();
        if (r == AVERROR(EAGAIN))
            return true;
        if (r == AVERROR_EOF) {
            added += Flush(out);
            return false;
        }
        if (r < 0)
            return !draining_; // a damaged frame: go on with the next packet
        const int64_t got = Convert(out);
        av_frame_unref(frame_.get());
        if (got >= 0) {
            in_->Progress();
            added += got;
        }
    }
}

int TAudioDecoder::ReadPacket()
{
    int r = av_read_frame(fmt_.get(), packet_.get());
    // Once the guard has ended the reading, what comes is FFmpeg's parser
    // handing over all the undecodable data it gathered (megabytes that the
    // decoder would scan for a frame): dropped.
    if (r >= 0 && in_->tripped != TInput::TTrip::None) {
        av_packet_unref(packet_.get());
        r = AVERROR_EXIT;
    }
    if (r >= 0 && opening_ && packet_->stream_index == stream_) {
        const int64_t ts = packet_->pts != AV_NOPTS_VALUE ? packet_->pts : packet_->dts;
        if (ts != AV_NOPTS_VALUE)
            audioEnd_ = std::max(audioEnd_, ts + packet_->duration);
    }
    return r;
}

// FFmpeg guessed the length from the bit rate and the file's size, which
// counts whatever follows the audio (the zeros of a download cut short, a
// tag): the packets that follow tell the end of the audio, read until the
// data holds none. The frame already decoded stays in frame_.
void TAudioDecoder::MeasureLength()
{
    in_->Rebudget(kOpenBytesWithoutAudio);
    int64_t audioBytes = 0;
    int r = 0;
    while (audioBytes < kMeasureBytes && (r = ReadPacket()) >= 0) {
        if (packet_->stream_index == stream_) {
            audioBytes += packet_->size;
            in_->Progress();
        }
        av_packet_unref(packet_.get());
    }
    const bool ended = r == AVERROR_EOF || in_->tripped == TInput::TTrip::NoAudio;
    if (audioBytes < kMeasureBytes && ended && audioEnd_ != AV_NOPTS_VALUE) {
        const AVRational tb = fmt_->streams[stream_]->time_base;
        lengthMs_ = std::max<int64_t>(av_rescale_q(audioEnd_ - startTs_, tb, AVRational{1, 1000}), 0);
    }
}

int TAudioDecoder::ReceiveFrame()
{
    const int r = avcodec_receive_frame(codec_.get(), frame_.get());
    // The MPEG audio decoder stamps each frame with the rate of the frame
    // before it and updates the context once the frame is decoded: at a
    // change of rate (joined files) only the context tells the truth.
    if (r >= 0 && codec_->sample_rate > 0)
        frame_->sample_rate = codec_->sample_rate;
    return r;
}

bool TAudioDecoder::ConverterFits(const AVFrame& f) const
{
    const uint64_t mask = f.ch_layout.order == AV_CHANNEL_ORDER_NATIVE ? f.ch_layout.u.mask : 0;
    return swr_ && swrFormat_ == f.format && swrRate_ == f.sample_rate
        && swrChannels_ == f.ch_layout.nb_channels && swrLayoutMask_ == mask;
}

bool TAudioDecoder::BuildConverter(const AVFrame& f)
{
    swr_.reset();
    if (f.sample_rate < kMinFileRate || f.sample_rate > kMaxFileRate || f.ch_layout.nb_channels <= 0)
        return false;
    AVChannelLayout in{};
    if (f.ch_layout.order == AV_CHANNEL_ORDER_UNSPEC)
        av_channel_layout_default(&in, f.ch_layout.nb_channels);
    else if (av_channel_layout_copy(&in, &f.ch_layout) < 0)
        return false;
    AVChannelLayout outLayout{};
    av_channel_layout_default(&outLayout, outChannels_);
    const auto format = static_cast<AVSampleFormat>(f.format);

    // FFmpeg's own down-mix first; a layout it cannot place (channels without
    // positions) is mixed evenly, even channels to the left, odd to the right.
    SwrContext* s = nullptr;
    int r = -1;
    if (in.order == AV_CHANNEL_ORDER_NATIVE) {
        r = swr_alloc_set_opts2(
            &s, &outLayout, AV_SAMPLE_FMT_S16, rate_, &in, format, f.sample_rate, 0, nullptr);
        if (r >= 0)
            r = swr_init(s);
    }
    if (r < 0) {
        swr_free(&s);
        const int n = in.nb_channels;
        std::vector<double> matrix(static_cast<size_t>(outChannels_ * n), 0.0);
        const double weight = outChannels_ == 1 ? 1.0 / n : 1.0 / ((n + 1) / 2);
        for (int c = 0; c < n; ++c)
            matrix[static_cast<size_t>((outChannels_ == 1 ? 0 : c % 2) * n + c)] = weight;
        if (n == 1 && outChannels_ == 2)
            matrix[1] = weight; // one channel to both sides
        r = swr_alloc_set_opts2(
            &s, &outLayout, AV_SAMPLE_FMT_S16, rate_, &in, format, f.sample_rate, 0, nullptr);
        if (r >= 0)
            r = swr_set_matrix(s, matrix.data(), n);
        if (r >= 0)
            r = swr_init(s);
    }
    av_channel_layout_uninit(&outLayout);
    av_channel_layout_uninit(&in);
    if (r < 0) {
        swr_free(&s);
        return false;
    }
    swr_.reset(s);
    swrFormat_ = f.format;
    swrRate_ = f.sample_rate;
    swrChannels_ = f.ch_layout.nb_channels;
    swrLayoutMask_ = f.ch_layout.order == AV_CHANNEL_ORDER_NATIVE ? f.ch_layout.u.mask : 0;
    return true;
}

// Converts frame_; returns the frames appended, or -1 when it cannot be
// converted (it is then dropped).
int64_t TAudioDecoder::Convert(std::vector<int16_t>& out)
{
    AVFrame* f = frame_.get();
    const int n = f->nb_samples;
    if (n <= 0)
        return 0;
    if (next_ == kUnknown) {
        const int64_t ts = f->best_effort_timestamp;
        next_ = ts != AV_NOPTS_VALUE
            ? av_rescale_q(ts - startTs_, fmt_->streams[stream_]->time_base, AVRational{1, rate_})
            : target_;
    }
    int64_t added = 0;
    if (!ConverterFits(*f)) {
        // The format changed inside the file: first what the old one holds.
        added = Flush(out);
        if (!BuildConverter(*f))
            return added > 0 ? added : -1;
    }
    // Same rate: nothing is held back, so frames before the target need no work.
    if (swrRate_ == rate_ && next_ + n <= target_) {
        next_ += n;
        return added;
    }
    return added + Emit(out, const_cast<const uint8_t**>(f->extended_data), n);
}

int64_t TAudioDecoder::Emit(std::vector<int16_t>& out, const uint8_t** data, int frames)
{
    const int cap = swr_get_out_samples(swr_.get(), frames);
    if (cap <= 0)
        return 0;
    scratch_.resize(static_cast<size_t>(cap) * static_cast<size_t>(outChannels_));
    uint8_t* dst = reinterpret_cast<uint8_t*>(scratch_.data());
    const int got = swr_convert(swr_.get(), &dst, cap, data, frames);
    if (got <= 0)
        return 0;
    const int64_t start = next_;
    next_ = start + got;
    const int64_t skip = std::clamp<int64_t>(target_ - start, 0, got);
    out.insert(
        out.end(), scratch_.begin() + skip * outChannels_, scratch_.begin() + int64_t{got} * outChannels_);
    return got - skip;
}

// Hands out what a resampler still holds and drops it.
int64_t TAudioDecoder::Flush(std::vector<int16_t>& out)
{
    if (!swr_)
        return 0;
    const int64_t added = swrRate_ != rate_ ? Emit(out, nullptr, 0) : 0;
    swr_.reset();
    return added;
}

} // namespace mplayer_detail
