#include "SongAnalysis.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace mplayer_detail {

namespace {

// Both analysers decimate to about 5.5 kHz themselves; handing them sound at
// about twice that keeps their own filters short (and the share of treble
// the features measure) while the sink's filter does most of the cutting.
constexpr double kSinkRate = 11025.0;
// Neither analyser takes sound slower than this, Hz.
constexpr int kMinAnalysisRate = 8000;
constexpr int kMinInputRate = 1000;

// The largest whole factor near rate / kSinkRate that divides the rate
// exactly (the analysers take whole rates) and keeps it analysable.
int DecimationFor(int rate)
{
    int factor = std::max(1, static_cast<int>(std::lround(rate / kSinkRate)));
    while (factor > 1 && (rate % factor != 0 || rate / factor < kMinAnalysisRate))
        --factor;
    return factor;
}

// Windowed-sinc low-pass for keeping every factor-th sample: 6 taps per
// output sample, cut at 0.45 of the output rate.
std::vector<float> LowPass(int factor)
{
    if (factor <= 1)
        return {1.0F};
    const int taps = 6 * factor + 1;
    const double cutoff = 0.45 / factor; // cycles per input sample
    std::vector<float> out(static_cast<size_t>(taps));
    double sum = 0;
    const int half = taps / 2;
    for (int i = 0; i < taps; ++i) {
        const double t = i - half;
        const double sinc
            = t == 0 ? 2 * cutoff : std::sin(2 * std::numbers::pi * cutoff * t) / (std::numbers::pi * t);
        const double window = 0.42 - 0.5 * std::cos(2 * std::numbers::pi * i / (taps - 1))
            + 0.08 * std::cos(4 * std::numbers::pi * i / (taps - 1));
        out[static_cast<size_t>(i)] = static_cast<float>(sinc * window);
        sum += sinc * window;
    }
    for (float& tap : out)
        tap = static_cast<float>(tap / sum);
    return out;
}

float Clean(float x)
{
    // A damaged stream's NaN or infinity counts as silence, a huge value as
    // full scale: either would spoil every feature after it.
    return std::isfinite(x) ? std::clamp(x, -1.0F, 1.0F) : 0.0F;
}

} // namespace

music::TChorusSuggestion TSongAnalysis::SuggestChorus(double lengthSeconds, double maxLengthSeconds) const
{
    return music::SuggestChorus(Features, Grid.Beats, Grid.Bars, {lengthSeconds, maxLengthSeconds});
}

struct TSongAnalysisSink::TState {
    int SongRate = 0; // of the first block, Hz
    int Factor = 1;
    int OutRate = 0; // what the analysers see, Hz
    std::vector<float> Taps;
    std::unique_ptr<beats::TBeatAnalyser> Beats;
    std::unique_ptr<music::TFeatureExtractor> Features;
    std::vector<float> Mono; // the block being fed, at its own rate
    std::vector<float> Resampled; // the same at the song's rate
    std::vector<float> Pending; // mono input not yet decimated
    std::vector<float> Out; // decimated samples of one block
    size_t Decimated = 0; // output samples so far
    // Linear resampling of blocks at another rate: the position of the next
    // output sample in the coming block (input samples; -1 is Last).
    double Phase = 0;
    float Last = 0;
    std::unique_ptr<TSongAnalysis> Result; // once finished

    void Start(int rate)
    {
        SongRate = rate;
        Factor = DecimationFor(rate);
        OutRate = rate / Factor;
        Taps = LowPass(Factor);
        Beats = std::make_unique<beats::TBeatAnalyser>(OutRate);
        Features = std::make_unique<music::TFeatureExtractor>(OutRate);
        // Output sample m is centred on input sample m * Factor.
        Pending.assign(Taps.size() / 2, 0.0F);
    }

    void Resample(int rate)
    {
        const double step = static_cast<double>(rate) / SongRate;
        const double n = static_cast<double>(Mono.size());
        Resampled.clear();
        for (; Phase < n - 1; Phase += step) {
            const double at = std::floor(Phase);
            const auto i = static_cast<std::ptrdiff_t>(at);
            const float a = i < 0 ? Last : Mono[static_cast<size_t>(i)];
            const float b = Mono[static_cast<size_t>(i + 1)];
            Resampled.push_back(a + static_cast<float>(Phase - at) * (b - a));
        }
        Phase -= n;
        Last = Mono.back();
    }

    // Decimates Pending as far as it goes and feeds the analysers.
    void Decimate()
    {
        const size_t taps = Taps.size();
        Out.clear();
        size_t pos = 0;
        const float* h = Taps.data();
        for (; pos + taps <= Pending.size(); pos += static_cast<size_t>(Factor)) {
            const float* x = Pending.data() + pos;
            // Four sums side by side: no chain of dependent additions.
            float sum[4] = {0, 0, 0, 0};
            size_t k = 0;
            for (; k + 4 <= taps; k += 4)
                for (size_t j = 0; j < 4; ++j)
                    sum[j] += x[k + j] * h[k + j];
            for (; k < taps; ++k)
                sum[0] += x[k] * h[k];
            Out.push_back((sum[0] + sum[1]) + (sum[2] + sum[3]));
        }
        Pending.erase(Pending.begin(), Pending.begin() + static_cast<std::ptrdiff_t>(pos));
        if (Out.empty())
            return;
        Beats->Feed(Out.data(), Out.size());
        Features->Feed(Out.data(), Out.size());
        Decimated += Out.size();
    }
};

TSongAnalysisSink::TSongAnalysisSink()
    : State(std::make_unique<TState>())
{
}

TSongAnalysisSink::~TSongAnalysisSink() = default;

void TSongAnalysisSink::Feed(
    const float* const* data, int channels, bool interleaved, std::size_t frames, int rate)
{
    TState& s = *State;
    if (s.Result || !data || channels <= 0 || frames == 0 || rate < kMinInputRate)
        return;
    if (s.SongRate == 0)
        s.Start(rate);
    s.Mono.resize(frames);
    const float scale = 1.0F / static_cast<float>(channels);
    if (interleaved && channels == 2) { // the common case, kept simple for the vectoriser
        const float* x = data[0];
        for (size_t i = 0; i < frames; ++i)
            s.Mono[i] = (Clean(x[2 * i]) + Clean(x[2 * i + 1])) * 0.5F;
    } else if (interleaved) {
        const float* x = data[0];
        for (size_t i = 0; i < frames; ++i) {
            float sum = 0;
            for (int c = 0; c < channels; ++c)
                sum += Clean(x[i * static_cast<size_t>(channels) + static_cast<size_t>(c)]);
            s.Mono[i] = sum * scale;
        }
    } else {
        std::fill(s.Mono.begin(), s.Mono.end(), 0.0F);
        for (int c = 0; c < channels; ++c) {
            const float* x = data[c];
            for (size_t i = 0; i < frames; ++i)
                s.Mono[i] += Clean(x[i]);
        }
        for (float& m : s.Mono)
            m *= scale;
    }
    if (rate == s.SongRate) {
        s.Pending.insert(s.Pending.end(), s.Mono.begin(), s.Mono.end());
    } else {
        s.Resample(rate);
        s.Pending.insert(s.Pending.end(), s.Resampled.begin(), s.Resampled.end());
    }
    s.Decimate();
}

double TSongAnalysisSink::FedSeconds() const
{
    return State->OutRate > 0 ? static_cast<double>(State->Decimated) / State->OutRate : 0.0;
}

TSongAnalysis TSongAnalysisSink::Finish()
{
    TState& s = *State;
    if (s.Result)
        return *s.Result;
    auto result = std::make_unique<TSongAnalysis>();
    if (s.SongRate != 0) {
        // The last samples' filter reaches past the end: silence there.
        s.Pending.insert(s.Pending.end(), s.Taps.size() / 2, 0.0F);
        s.Decimate();
        result->Grid = s.Beats->Finish();
        result->Features = s.Features->Finish();
        result->DurationSeconds = FedSeconds();
    }
    s.Result = std::move(result);
    return *s.Result;
}

} // namespace mplayer_detail
