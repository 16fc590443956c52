// True peak of interleaved float audio: the highest magnitude of the signal
// between its samples, found by 4x oversampling (2x from 96 kHz, none from
// 192 kHz) with a 49-tap Hann-windowed sinc interpolator. Blocks that cannot
// raise the peak found so far are not oversampled, so music costs little
// more than a scan for the sample peak; the result is the same as
// oversampling everything.
#pragma once

#include <cstddef>
#include <vector>

namespace ringtone {

class TTruePeak {
public:
    TTruePeak(int channels, int rate);
    void Add(const float* interleaved, size_t frames);
    // The highest magnitude of all channels, full scale 1.0.
    double Peak() const { return peak_; }

private:
    void AddBlock(const float* interleaved, size_t frames);
    float OversampledPeak(const float* x, size_t frames);

    static constexpr size_t kBlock = 256; // frames
    int channels_;
    int factor_;
    size_t width_; // taps of one phase
    size_t history_; // input samples before each one that the filter reads
    std::vector<float> taps_; // [phase][k], width_ per phase, for x[n - k]
    float bound_ = 1; // the largest sum of |taps| of a phase
    std::vector<std::vector<float>> lines_; // per channel: history, then the block
    std::vector<float> out_ = std::vector<float>(kBlock); // one phase of a block
    double peak_ = 0;
};

} // namespace ringtone
