#include "TruePeak.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <numbers>

namespace ringtone {

TTruePeak::TTruePeak(int channels, int rate)
    : channels_(std::max(channels, 1))
    , factor_(rate < 96000 ? 4 : rate < 192000 ? 2 : 1)
{
    const int taps = factor_ == 1 ? 1 : 49;
    width_ = static_cast<size_t>((taps + factor_ - 1) / factor_);
    history_ = width_ - 1;
    const auto width = static_cast<int>(width_);
    taps_.assign(static_cast<size_t>(factor_) * width_, 0.0f);
    for (int j = 0; j < taps; ++j) {
        const double m = j - (taps - 1) / 2.0;
        const double x = m * std::numbers::pi / factor_;
        double c = std::abs(m) > 1e-6 ? std::sin(x) / x : 1.0;
        if (taps > 1)
            c *= 0.5 * (1 - std::cos(2 * std::numbers::pi * j / (taps - 1)));
        taps_[static_cast<size_t>((j % factor_) * width + j / factor_)] = static_cast<float>(c);
    }
    bound_ = 0;
    for (int f = 0; f < factor_; ++f) {
        float sum = 0;
        for (int k = 0; k < width; ++k)
            sum += std::abs(taps_[static_cast<size_t>(f * width + k)]);
        bound_ = std::max(bound_, sum);
    }
    // Rounding in the sums may exceed the exact bound a little.
    bound_ *= 1.001f;
    lines_.assign(static_cast<size_t>(channels_), std::vector<float>(history_ + kBlock, 0.0f));
}

void TTruePeak::Add(const float* interleaved, size_t frames)
{
    for (size_t at = 0; at < frames; at += kBlock)
        AddBlock(interleaved + at * static_cast<size_t>(channels_), std::min(kBlock, frames - at));
}

// The peak of the oversampled signal at the samples x[0, frames), which are
// preceded by history_ more. Laid out so that the compiler vectorises it.
float TTruePeak::OversampledPeak(const float* x, size_t frames)
{
    std::array<float, 8> most {};
    for (int f = 0; f < factor_; ++f) {
        std::fill_n(out_.begin(), frames, 0.0f);
        const float* h = &taps_[static_cast<size_t>(f) * width_];
        for (size_t k = 0; k < width_; ++k) {
            const float tap = h[k];
            const float* from = x - k;
            for (size_t i = 0; i < frames; ++i)
                out_[i] += tap * from[i];
        }
        for (size_t i = 0; i < frames; ++i)
            most[i % 8] = std::max(most[i % 8], std::abs(out_[i]));
    }
    return *std::max_element(most.begin(), most.end());
}

void TTruePeak::AddBlock(const float* in, size_t frames)
{
    for (int c = 0; c < channels_; ++c) {
        std::vector<float>& line = lines_[static_cast<size_t>(c)];
        float most = 0;
        for (size_t i = 0; i < history_; ++i)
            most = std::max(most, std::abs(line[i]));
        for (size_t i = 0; i < frames; ++i) {
            const float v = in[i * static_cast<size_t>(channels_) + static_cast<size_t>(c)];
            line[history_ + i] = v;
            most = std::max(most, std::abs(v));
        }
        // Every output of this block is a sum over these samples: it cannot
        // exceed their peak times the filter's bound.
        if (static_cast<double>(most) * bound_ > peak_)
            peak_ = std::max(peak_, static_cast<double>(OversampledPeak(line.data() + history_, frames)));
        std::copy(line.begin() + static_cast<std::ptrdiff_t>(frames),
            line.begin() + static_cast<std::ptrdiff_t>(frames + history_), line.begin());
    }
}

} // namespace ringtone
