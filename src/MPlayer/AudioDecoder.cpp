#include "AudioDecoder.h"

#include "DecoderInput.h"
#include "MPlayer.h"

#include <algorithm>
#include <cerrno>
#include <cstring>

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
#include <libavutil/mem.h>
}

namespace mplayer_detail {

namespace {

// Packets read while proving that a file plays; a damaged start may hide a
// few frames, a file with nothing decodable in this many is refused.
constexpr int kProbePackets = 500;

// While opening, each step after the header (learning the streams, decoding
// the first frame) may read this much without audio. The parser scans every
// byte it gathers, at 20 to 40 ns a byte on an idle machine and several times
// that on a busy one, so kBytesWithoutAudio (8 MB), spent twice, held a WAV header
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

// Rates handed to the sound output, Hz: at the low end one output buffer of
// 128 frames still lasts only 16 ms, so stopping never waits long.
constexpr int kMinOutputRate = 8000;
constexpr int kMaxOutputRate = 192000;

} // namespace

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
    OpenFile(stop);
    try {
        OpenWithFfmpeg();
    } catch (const TDecodeError&) {
        // FFmpeg first, always; libvorbisfile only for an Ogg Vorbis file it
        // refused within the limits (a stop or the time limit ends here).
        const bool limited
            = in_->tripped == TInput::TTrip::Stopped || in_->tripped == TInput::TTrip::TimedOut;
        if (limited || !TVorbisInput::IsOggVorbis(*in_) || !OpenVorbis())
            throw;
    }
    ChooseOutput();
    SeekTo(0);
    opening_ = false;
}

void TAudioDecoder::OpenWithFfmpeg()
{
    OpenContainer();
    const std::string cut = FindStreams();
    OpenDecoder(cut);
    DecodeFirstFrame();
    const AVRational tb = fmt_->streams[stream_]->time_base;
    tbNum_ = tb.num;
    tbDen_ = tb.den;
    if (fmt_->duration_estimation_method == AVFMT_DURATION_FROM_BITRATE)
        MeasureLength();
}

// Within the time limit left from FFmpeg's attempt, with a fresh byte
// budget. The first block stays in frame_ for ChooseOutput.
bool TAudioDecoder::OpenVorbis()
{
    codec_.reset();
    fmt_.reset();
    in_->Rebudget(kHeaderBytes);
    auto vorbis = std::make_unique<TVorbisInput>(*in_);
    if (!vorbis->Opened())
        return false;
    if (!frame_)
        frame_.reset(av_frame_alloc());
    if (!frame_)
        throw TDecodeError(MCIERR_OUT_OF_MEMORY, "Out of memory while opening " + Quoted(path_));
    in_->Rebudget(kOpenBytesWithoutAudio);
    if (vorbis->Read(*frame_) <= 0) {
        av_frame_unref(frame_.get());
        vorbis_ = std::move(vorbis); // Fail names the guard's reason, if any
        Fail(MCIERR_INVALID_FILE, "Cannot decode the audio of", 0);
    }
    tbNum_ = 1;
    tbDen_ = vorbis->Rate();
    startTs_ = 0;
    lengthMs_ = vorbis->Frames() * 1000 / vorbis->Rate();
    vorbis_ = std::move(vorbis);
    return true;
}

// The name is a local path, never a URL. Opening without blocking and
// checking the opened file itself keeps pipes and devices out, even one put
// in place of the file a moment ago.
void TAudioDecoder::OpenFile(const std::atomic<bool>* stop)
{
    const std::string quoted = Quoted(path_);
    in_.reset(new TInput);
    in_->stop = stop;
    int err = 0;
    const std::string why = OpenLocalFile(*in_, path_, err);
    if (why.empty())
        return;
    if (in_->fd < 0)
        throw TDecodeError(err == ENOENT ? MCIERR_FILE_NOT_FOUND : MCIERR_INVALID_FILE,
            "Cannot open file " + quoted + ": " + why);
    if (err != 0)
        throw TDecodeError(
            MCIERR_INVALID_FILE, "Cannot read the status of " + quoted + ": " + std::strerror(err));
    throw TDecodeError(MCIERR_INVALID_FILE, "Cannot open " + quoted + ": " + why);
}

// FFmpeg's reader over the guarded file, and the container's header.
void TAudioDecoder::OpenContainer()
{
    AVFormatContext* raw = AttachReader(*in_) ? avformat_alloc_context() : nullptr;
    if (!raw)
        throw TDecodeError(MCIERR_OUT_OF_MEMORY, "Out of memory while opening " + Quoted(path_));
    in_->Arm(kOpenTime, false, kHeaderBytes);
    raw->probesize = kProbeBytes;
    raw->max_analyze_duration = kAnalyzeMicroseconds;
    const int r = mplayer_detail::OpenContainer(*in_, path_, raw);
    if (r < 0)
        Fail(MCIERR_INVALID_FILE, "Cannot open file", r);
    fmt_.reset(raw);
    in_->Rebudget(kOpenBytesWithoutAudio);
}

// Learns the streams. What was gathered before undecodable data is still
// good (a short song followed by zeros plays); returns a note on why the
// reading was cut short, for the refusals that may follow.
std::string TAudioDecoder::FindStreams()
{
    const int r = avformat_find_stream_info(fmt_.get(), nullptr);
    if (r < 0 || in_->tripped == TInput::TTrip::TimedOut)
        Fail(MCIERR_INVALID_FILE, "Cannot read the stream information of", r);
    const std::string cut = in_->tripped != TInput::TTrip::None ? ": " + in_->Why() : std::string();
    in_->Rebudget(kOpenBytesWithoutAudio);
    return cut;
}

// Picks the audio stream, opens its decoder and takes the length the
// container states.
void TAudioDecoder::OpenDecoder(const std::string& cut)
{
    const std::string quoted = Quoted(path_);
    const AVCodec* decoder = nullptr;
    int r = av_find_best_stream(fmt_.get(), AVMEDIA_TYPE_AUDIO, -1, -1, &decoder, 0);
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
}

// Proves that the audio decodes: a file cut short after its header or a text
// file that merely looks like audio is refused here, not at Play. The frame
// stays in frame_ for ChooseOutput.
void TAudioDecoder::DecodeFirstFrame()
{
    int lastError = 0;
    bool decoded = false;
    for (int i = 0; i < kProbePackets && !decoded; ++i) {
        const int r = ReadPacket();
        if (r < 0) {
            if (r != AVERROR_EOF)
                lastError = r;
            avcodec_send_packet(codec_.get(), nullptr);
        } else if (packet_->stream_index != stream_) {
            av_packet_unref(packet_.get());
            continue;
        } else {
            const int s = avcodec_send_packet(codec_.get(), packet_.get());
            av_packet_unref(packet_.get());
            if (s < 0 && s != AVERROR(EAGAIN))
                lastError = s;
        }
        const int g = ReceiveFrame();
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
}

// The first frame fixes the output: its rate, kept within what a sound
// device takes, and mono or stereo.
void TAudioDecoder::ChooseOutput()
{
    const std::string quoted = Quoted(path_);
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
}

TAudioDecoder::~TAudioDecoder() = default;

void TAudioDecoder::SeekTo(int64_t frame)
{
    target_ = std::max<int64_t>(frame, 0);
    if (vorbis_) {
        // Exact to the sample: from there on frames count at the file's rate.
        if (!opening_)
            in_->Arm(kStallTime, true);
        const int64_t at = av_rescale(target_, tbDen_, rate_);
        if (!(in_->stop && in_->stop->load()))
            vorbis_->Seek(at);
        swr_.reset();
        next_ = kUnknown;
        draining_ = ended_ = reachedEnd_ = false;
        return;
    }
    // Start a little early: an MP3 frame borrows bits from the frames before
    // it, and the first frames of a file may lie before its start time (the
    // encoder's delay, which the decoder then trims itself).
    const int64_t preroll = rate_ / 5;
    const AVRational tb{tbNum_, tbDen_};
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
    if (vorbis_)
        return DecodeVorbis(out);
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

int64_t TAudioDecoder::DecodeVorbis(std::vector<int16_t>& out)
{
    while (!ended_) {
        if (vorbis_->Read(*frame_) == 0) {
            ended_ = true;
            reachedEnd_ = vorbis_->ReachedEnd();
            return Flush(out);
        }
        const int64_t got = Convert(out);
        av_frame_unref(frame_.get());
        if (got >= 0)
            in_->Progress();
        if (got > 0)
            return got;
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

} // namespace mplayer_detail
