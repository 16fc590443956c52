#include "Chroma.h"

#include <dsp/transforms/FFT.h>

#include <algorithm>
#include <cmath>
#include <numbers>
#include <stdexcept>

namespace music {

namespace {

constexpr double TargetRate = 5512.5; // Hz: keeps the chroma range, drops most of the work
constexpr double FrameSeconds = 0.186; // window length aimed at; the hop is half of it
constexpr double ChromaLowHz = 90.0;
constexpr double ChromaHighHz = 2400.0;
constexpr double BandLowHz = 100.0;

int DecimationFor(int rate)
{
    return std::max(1, static_cast<int>(std::lround(rate / TargetRate)));
}

int FrameSizeFor(double rate)
{
    const int log2 = static_cast<int>(std::lround(std::log2(FrameSeconds * rate)));
    return 1 << std::clamp(log2, 8, 14);
}

} // namespace

struct TFeatureExtractor::TState {
    int Rate;
    int Decimation;
    double DecRate;
    int FrameSize;
    int Hop;
    int HopFull; // input samples per hop

    // Low-pass FIR run at the output rate only. Pending holds the input not
    // yet consumed; it starts with half the filter's length of silence so
    // that decimated sample m is centred on input sample m * Decimation.
    std::vector<float> Taps;
    std::vector<float> Pending;
    std::vector<float> EnergyPending;

    std::vector<float> Window; // decimated samples of the frame being filled
    std::vector<double> Hann;
    std::vector<double> FftIn, FftMag;
    FFTReal Fft;
    std::vector<int> BinClass; // pitch class of each bin, -1 when outside the range
    std::vector<int> BinBand; // band of each bin, -1 outside
    std::vector<double> BandBins;

    std::vector<float> BlockEnergy; // mean square of each hop of input
    std::vector<float> LowEnergy; // mean square of each frame after the low-pass

    TFeatureFrames Out;
    size_t Fed = 0;

    explicit TState(int rate)
        : Rate(rate)
        , Decimation(DecimationFor(rate))
        , DecRate(static_cast<double>(rate) / Decimation)
        , FrameSize(FrameSizeFor(DecRate))
        , Hop(FrameSize / 2)
        , HopFull(Hop * Decimation)
        , Fft(FrameSize)
    {
        const int taps = Decimation > 1 ? 6 * Decimation + 1 : 1;
        Taps.resize(taps);
        if (taps == 1) {
            Taps[0] = 1;
        } else {
            const double cutoff = 0.45 / Decimation; // cycles per input sample
            const int mid = taps / 2;
            double sum = 0;
            std::vector<double> h(taps);
            for (int n = 0; n < taps; ++n) {
                const double x = n - mid;
                const double sinc = x == 0
                    ? 2 * cutoff
                    : std::sin(2 * std::numbers::pi * cutoff * x) / (std::numbers::pi * x);
                const double w = 0.5 - 0.5 * std::cos(2 * std::numbers::pi * (n + 1) / (taps + 1));
                h[n] = sinc * w;
                sum += h[n];
            }
            for (int n = 0; n < taps; ++n)
                Taps[n] = static_cast<float>(h[n] / sum);
        }
        Pending.assign(Taps.size() / 2, 0.0f);
        Window.reserve(FrameSize);
        Hann.resize(FrameSize);
        for (int n = 0; n < FrameSize; ++n)
            Hann[n] = 0.5 - 0.5 * std::cos(2 * std::numbers::pi * n / FrameSize);
        FftIn.resize(FrameSize);
        FftMag.resize(FrameSize);

        const double binHz = DecRate / FrameSize;
        // Below this a bin is wider than a semitone and cannot name its pitch class.
        const double low = std::max(ChromaLowHz, binHz / (std::pow(2.0, 1.0 / 12) - 1));
        const double high = std::min(ChromaHighHz, 0.45 * DecRate);
        const double bandHigh = 0.48 * DecRate;
        BinClass.assign(FrameSize / 2 + 1, -1);
        BinBand.assign(FrameSize / 2 + 1, -1);
        BandBins.assign(ShapeBands, 0);
        for (int k = 1; k <= FrameSize / 2; ++k) {
            const double f = k * binHz;
            if (f >= low && f <= high) {
                const long midi = std::lround(69 + 12 * std::log2(f / 440.0));
                BinClass[k] = static_cast<int>(((midi % 12) + 12) % 12);
            }
            if (f >= BandLowHz && f < bandHigh) {
                const int band
                    = static_cast<int>(ShapeBands * std::log(f / BandLowHz) / std::log(bandHigh / BandLowHz));
                BinBand[k] = std::min(band, ShapeBands - 1);
                BandBins[BinBand[k]] += 1;
            }
        }
        Out.HopSeconds = Hop / DecRate;
        Out.FirstCentreSeconds = 0.5 * FrameSize / DecRate;
    }

    void AnalyseFrame()
    {
        double low = 0;
        for (int n = 0; n < FrameSize; ++n) {
            const double x = n < static_cast<int>(Window.size()) ? Window[n] : 0.0;
            low += x * x;
            FftIn[n] = x * Hann[n];
        }
        LowEnergy.push_back(static_cast<float>(low / FrameSize));
        Fft.forwardMagnitude(FftIn.data(), FftMag.data());
        double chroma[ChromaBins] = {};
        double bands[ShapeBands] = {};
        const double scale = 2.0 / FrameSize;
        for (int k = 1; k <= FrameSize / 2; ++k) {
            const double m = FftMag[k] * scale;
            if (BinClass[k] >= 0)
                chroma[BinClass[k]] += m;
            if (BinBand[k] >= 0)
                bands[BinBand[k]] += m * m;
        }
        for (double c : chroma)
            Out.Chroma.push_back(static_cast<float>(c));
        for (int b = 0; b < ShapeBands; ++b)
            Out.Bands.push_back(static_cast<float>(BandBins[b] > 0 ? bands[b] / BandBins[b] : 0.0));
    }

    void PushDecimated(float y)
    {
        Window.push_back(y);
        if (static_cast<int>(Window.size()) == FrameSize) {
            AnalyseFrame();
            Window.erase(Window.begin(), Window.begin() + Hop);
        }
    }

    // Sums in a fixed order, eight at a time, so that the results do not
    // depend on how the sound was cut into blocks.
    static float Dot(const float* a, const float* b, size_t n)
    {
        float acc[8] = {};
        size_t i = 0;
        for (; i + 8 <= n; i += 8)
            for (int k = 0; k < 8; ++k)
                acc[k] += a[i + k] * b[i + k];
        float sum = ((acc[0] + acc[1]) + (acc[2] + acc[3])) + ((acc[4] + acc[5]) + (acc[6] + acc[7]));
        for (; i < n; ++i)
            sum += a[i] * b[i];
        return sum;
    }

    void Feed(const float* samples, size_t count)
    {
        Fed += count;
        // Energy per hop of input.
        EnergyPending.insert(EnergyPending.end(), samples, samples + count);
        size_t at = 0;
        for (; at + HopFull <= EnergyPending.size(); at += HopFull) {
            const float* x = EnergyPending.data() + at;
            BlockEnergy.push_back(Dot(x, x, HopFull) / HopFull);
        }
        EnergyPending.erase(EnergyPending.begin(), EnergyPending.begin() + static_cast<std::ptrdiff_t>(at));

        if (Taps.size() == 1) {
            for (size_t i = 0; i < count; ++i)
                PushDecimated(samples[i]);
            return;
        }
        // Low-pass and keep every Decimation-th sample, computing only those.
        Pending.insert(Pending.end(), samples, samples + count);
        const size_t taps = Taps.size();
        size_t pos = 0;
        for (; pos + taps <= Pending.size(); pos += Decimation)
            PushDecimated(Dot(Pending.data() + pos, Taps.data(), taps));
        Pending.erase(Pending.begin(), Pending.begin() + static_cast<std::ptrdiff_t>(pos));
    }

    TFeatureFrames Finish()
    {
        if (!EnergyPending.empty()) {
            const float* x = EnergyPending.data();
            BlockEnergy.push_back(Dot(x, x, EnergyPending.size()) / static_cast<float>(EnergyPending.size()));
        }
        // The last samples reach the centre of the filter.
        if (Taps.size() > 1) {
            Pending.insert(Pending.end(), Taps.size() / 2, 0.0f);
            for (size_t pos = 0; pos + Taps.size() <= Pending.size(); pos += Decimation)
                PushDecimated(Dot(Pending.data() + pos, Taps.data(), Taps.size()));
        }
        const size_t frames = Out.Chroma.size() / ChromaBins;
        // A frame for the sound the last full frame did not reach.
        if ((frames == 0 && !Window.empty()) || static_cast<int>(Window.size()) > FrameSize - Hop)
            AnalyseFrame();
        const size_t count = Out.Chroma.size() / ChromaBins;
        Out.Energy.resize(count);
        Out.Brightness.resize(count);
        for (size_t i = 0; i < count; ++i) {
            // Frame i spans hops i and i + 1 of the input.
            double sum = 0;
            int n = 0;
            for (size_t b = i; b < i + 2 && b < BlockEnergy.size(); ++b, ++n)
                sum += BlockEnergy[b];
            const double full = n > 0 ? sum / n : 0.0;
            Out.Energy[i] = static_cast<float>(full);
            const bool canTell = Decimation > 1 && full > 1e-12;
            Out.Brightness[i]
                = canTell ? static_cast<float>(std::clamp(1.0 - LowEnergy[i] / full, 0.0, 1.0)) : 0.0f;
        }
        Out.DurationSeconds = static_cast<double>(Fed) / Rate;
        return std::move(Out);
    }
};

TFeatureExtractor::TFeatureExtractor(int sampleRate)
{
    if (sampleRate < 1000)
        throw std::invalid_argument("The sound's rate is too low for the analysis");
    State = std::make_unique<TState>(sampleRate);
}

TFeatureExtractor::~TFeatureExtractor() = default;

void TFeatureExtractor::Feed(const float* samples, size_t count)
{
    if (samples != nullptr)
        State->Feed(samples, count);
}

TFeatureFrames TFeatureExtractor::Finish()
{
    TFeatureFrames frames = State->Finish();
    State = std::make_unique<TState>(State->Rate);
    return frames;
}

double TFeatureExtractor::AnalysisRate() const
{
    return State->DecRate;
}

TFeatureFrames ExtractFeatures(const float* samples, size_t count, int sampleRate)
{
    TFeatureExtractor extractor(sampleRate);
    extractor.Feed(samples, count);
    return extractor.Finish();
}

} // namespace music
