#include "AudioDecoder.h"

#include "MPlayer.h"

#include <algorithm>
#include <cerrno>

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
#include <libavutil/channel_layout.h>
#include <libavutil/error.h>
#include <libswresample/swresample.h>
}

namespace mplayer_detail {

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

namespace {

std::string AvError(int code)
{
    char text[AV_ERROR_MAX_STRING_SIZE] = {};
    av_strerror(code, text, sizeof text);
    return text;
}

// Packets read while proving that a file plays; a damaged start may hide a
// few frames, a file with nothing decodable in this many is refused.
constexpr int kProbePackets = 500;

} // namespace

TAudioDecoder::TAudioDecoder(const std::string& path)
    : path_(path)
{
    const std::string quoted = "'" + path + "'";
    AVFormatContext* raw = nullptr;
    int r = avformat_open_input(&raw, path.c_str(), nullptr, nullptr);
    if (r < 0)
        throw TDecodeError(r == AVERROR(ENOENT) ? MCIERR_FILE_NOT_FOUND : MCIERR_INVALID_FILE,
            "Cannot open file " + quoted + ": " + AvError(r));
    fmt_.reset(raw);

    r = avformat_find_stream_info(fmt_.get(), nullptr);
    if (r < 0)
        throw TDecodeError(
            MCIERR_INVALID_FILE, "Cannot read the stream information of " + quoted + ": " + AvError(r));

    const AVCodec* decoder = nullptr;
    r = av_find_best_stream(fmt_.get(), AVMEDIA_TYPE_AUDIO, -1, -1, &decoder, 0);
    if (r == AVERROR_DECODER_NOT_FOUND)
        throw TDecodeError(MCIERR_INVALID_FILE, "No decoder for the audio of " + quoted);
    if (r < 0 || !decoder)
        throw TDecodeError(MCIERR_INVALID_FILE, "No audio stream in " + quoted);
    stream_ = r;
    AVStream* st = fmt_->streams[stream_];

    codec_.reset(avcodec_alloc_context3(decoder));
    packet_.reset(av_packet_alloc());
    frame_.reset(av_frame_alloc());
    if (!codec_ || !packet_ || !frame_)
        throw TDecodeError(MCIERR_OUT_OF_MEMORY, "Out of memory while opening " + quoted);
    r = avcodec_parameters_to_context(codec_.get(), st->codecpar);
    if (r >= 0) {
        codec_->pkt_timebase = st->time_base;
        r = avcodec_open2(codec_.get(), decoder, nullptr);
    }
    if (r < 0)
        throw TDecodeError(MCIERR_INVALID_FILE,
            std::string("Cannot open decoder '") + decoder->name + "' for " + quoted + ": " + AvError(r));

    rate_ = codec_->sample_rate;
    if (rate_ <= 0)
        throw TDecodeError(MCIERR_INVALID_FILE, "Unknown sampling rate in " + quoted);
    const int channels = codec_->ch_layout.nb_channels;
    if (channels <= 0)
        throw TDecodeError(MCIERR_INVALID_FILE, "Unknown number of channels in " + quoted);
    outChannels_ = channels == 1 ? 1 : 2;

    startTs_ = st->start_time != AV_NOPTS_VALUE ? st->start_time : 0;
    if (st->duration != AV_NOPTS_VALUE && st->duration > 0)
        lengthMs_ = av_rescale_q(st->duration, st->time_base, AVRational{1, 1000});
    else if (fmt_->duration != AV_NOPTS_VALUE && fmt_->duration > 0)
        lengthMs_ = av_rescale(fmt_->duration, 1000, AV_TIME_BASE);

    // Prove that the audio decodes: a file cut short after its header or a
    // text file that merely looks like audio is refused here, not at Play.
    int lastError = 0;
    bool decoded = false;
    for (int i = 0; i < kProbePackets && !decoded; ++i) {
        r = av_read_frame(fmt_.get(), packet_.get());
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
        int g = avcodec_receive_frame(codec_.get(), frame_.get());
        if (g >= 0 && frame_->nb_samples > 0)
            decoded = true;
        else if (g < 0 && g != AVERROR(EAGAIN) && g != AVERROR_EOF)
            lastError = g;
        av_frame_unref(frame_.get());
        if (r < 0)
            break;
    }
    if (!decoded)
        throw TDecodeError(MCIERR_INVALID_FILE,
            "Cannot decode the audio of " + quoted
                + (lastError ? ": " + AvError(lastError) : std::string(": no audio data")));
    SeekTo(0);
}

TAudioDecoder::~TAudioDecoder() = default;

void TAudioDecoder::SeekTo(int64_t frame)
{
    target_ = std::max<int64_t>(frame, 0);
    // Start a little early: an MP3 frame borrows bits from the frames before it.
    const int64_t preroll = rate_ / 5;
    const int64_t from = std::max<int64_t>(target_ - preroll, 0);
    const AVRational tb = fmt_->streams[stream_]->time_base;
    const int64_t ts = startTs_ + av_rescale_q(from, AVRational{1, rate_}, tb);
    int r = avformat_seek_file(fmt_.get(), stream_, INT64_MIN, ts, ts, 0);
    if (r < 0)
        r = av_seek_frame(fmt_.get(), stream_, startTs_, AVSEEK_FLAG_BACKWARD);
    if (r < 0)
        av_seek_frame(fmt_.get(), -1, 0, AVSEEK_FLAG_BYTE);
    avcodec_flush_buffers(codec_.get());
    next_ = -1;
    draining_ = false;
    ended_ = false;
}

int64_t TAudioDecoder::Decode(std::vector<int16_t>& out)
{
    while (!ended_) {
        int64_t added = 0;
        const bool wantsInput = ReceiveFrames(out, added);
        if (added > 0)
            return added;
        if (!wantsInput || draining_) {
            ended_ = true;
            break;
        }
        int r = av_read_frame(fmt_.get(), packet_.get());
        if (r < 0) {
            // End of file, or a read error that ends the file for us.
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
        int r = avcodec_receive_frame(codec_.get(), frame_.get());
        if (r == AVERROR(EAGAIN))
            return true;
        if (r == AVERROR_EOF)
            return false;
        if (r < 0)
            return !draining_; // a damaged frame: go on with the next packet
        added += Convert(out);
        av_frame_unref(frame_.get());
    }
}

int64_t TAudioDecoder::Convert(std::vector<int16_t>& out)
{
    AVFrame* f = frame_.get();
    const int64_t n = f->nb_samples;
    if (n <= 0)
        return 0;
    if (next_ < 0) {
        const int64_t ts = f->best_effort_timestamp;
        next_ = ts != AV_NOPTS_VALUE
            ? av_rescale_q(ts - startTs_, fmt_->streams[stream_]->time_base, AVRational{1, rate_})
            : target_;
    }
    const int64_t start = next_;
    next_ += n;
    if (start + n <= target_)
        return 0;
    const int64_t skip = std::max<int64_t>(target_ - start, 0);

    AVChannelLayout in{};
    if (f->ch_layout.order == AV_CHANNEL_ORDER_UNSPEC || f->ch_layout.nb_channels <= 0)
        av_channel_layout_default(&in, f->ch_layout.nb_channels > 0 ? f->ch_layout.nb_channels : 1);
    else
        av_channel_layout_copy(&in, &f->ch_layout);
    const uint64_t mask = in.order == AV_CHANNEL_ORDER_NATIVE ? in.u.mask : 0;
    if (!swr_ || swrFormat_ != f->format || swrChannels_ != in.nb_channels || swrLayoutMask_ != mask) {
        AVChannelLayout outLayout{};
        av_channel_layout_default(&outLayout, outChannels_);
        SwrContext* s = nullptr;
        // Same rate in and out: the converter then holds no samples back.
        int r = swr_alloc_set_opts2(&s, &outLayout, AV_SAMPLE_FMT_S16, rate_, &in,
            static_cast<AVSampleFormat>(f->format), rate_, 0, nullptr);
        if (r >= 0)
            r = swr_init(s);
        av_channel_layout_uninit(&outLayout);
        if (r < 0) {
            swr_free(&s);
            av_channel_layout_uninit(&in);
            swr_.reset();
            return 0; // unconvertible frame: dropped
        }
        swr_.reset(s);
        swrFormat_ = f->format;
        swrChannels_ = in.nb_channels;
        swrLayoutMask_ = mask;
    }
    av_channel_layout_uninit(&in);

    scratch_.resize(static_cast<size_t>(n * outChannels_));
    uint8_t* dst = reinterpret_cast<uint8_t*>(scratch_.data());
    const int got = swr_convert(swr_.get(), &dst, static_cast<int>(n),
        const_cast<const uint8_t**>(f->extended_data), static_cast<int>(n));
    if (got <= skip)
        return 0;
    out.insert(out.end(), scratch_.begin() + skip * outChannels_, scratch_.begin() + got * outChannels_);
    return got - skip;
}

} // namespace mplayer_detail
