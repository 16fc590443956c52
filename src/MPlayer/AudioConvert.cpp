// The decoder's output side: decoded frames converted to the output's rate,
// channels and 16-bit samples, starting exactly at the requested sample.
#include "AudioDecoder.h"
#include "DecoderInput.h"

#include <algorithm>

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavutil/channel_layout.h>
#include <libswresample/swresample.h>
}

namespace mplayer_detail {

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
            ? av_rescale_q(ts - startTs_, AVRational{tbNum_, tbDen_}, AVRational{1, rate_})
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
