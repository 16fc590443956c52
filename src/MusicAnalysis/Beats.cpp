#include "Beats.h"

#include <algorithm>
#include <cmath>
#include <cstring>

// qm-dsp's headers open namespace std in the global one: they stay in this file.
#include <dsp/onsets/DetectionFunction.h>
#include <dsp/tempotracking/DownBeat.h>
#include <dsp/tempotracking/TempoTrackV2.h>

namespace beats {

namespace {

// The onset function runs on sound decimated to about this rate, Hz: kicks,
// snares, bass notes and most attacks show below its Nyquist frequency, and
// the decimation makes every later step cheap.
constexpr double kAnalysisRate = 5512.5;

// The lowest input rate analysed, Hz.
constexpr int kMinInputRate = 8000;

// One onset-function value per this many seconds (768 samples at 44.1 kHz,
// about 57 a second). TempoTrackV2 was laid out for 86 a second; at 57 it
// does a third less work and still covers 32 to 172 BPM (beat periods of 20
// to 108 values), where a beat one can tap to lies.
constexpr double kStepSeconds = 768.0 / 44100.0;

// TempoTrackV2 lays out its tempo prior for onset values 512 samples apart at
// 44.1 kHz, centred on 120 BPM: the tempo it is told keeps that centre at our rate.
constexpr double kTrackerFrameRate = 44100.0 / 512.0;

// DownBeat looks at the spectra of the sound between beats at about this rate, Hz.
constexpr double kBarAnalysisRate = 2756.0;

// The bars are found on at most this much sound from the start, seconds:
// DownBeat picks one bar phase for the whole song, so the first thirty bars
// or so tell it as well as an hour would, and the buffer stays small.
constexpr double kBarAnalysisSeconds = 60.0;

// The fewest onset values TempoTrackV2 is given: its window of 512 and
// then some (it finds nothing in less).
constexpr std::size_t kMinTrackerFrames = 700;

// Below this peak level the sound counts as silence.
constexpr float kSilencePeak = 1e-4F;

// A steady beat repeats: the onset function's autocorrelation at the beat
// period stands at least this far above its values near it (Salience below).
// Drums score 0.3 to 0.85; speech and swelling pads, whose onsets are as
// likely off the beat as on it, about 0.
constexpr double kMinSalience = 0.2;

// Where a beat lies from the centre of the frame whose onset value marks it,
// seconds: the value peaks in the frame after the attack. Measured on drums.
constexpr double kLatencySeconds = -0.016;

// The onset function with its slow trend removed and only rises kept: what
// repeats with the beat.
std::vector<double> OnsetPeaks(const std::vector<double>& df)
{
    constexpr int kHalf = 16; // values either side, about a quarter second
    const int n = static_cast<int>(df.size());
    std::vector<double> prefix(df.size() + 1, 0.0);
    for (int i = 0; i < n; ++i)
        prefix[i + 1] = prefix[i] + df[i];
    std::vector<double> out(df.size(), 0.0);
    for (int i = 0; i < n; ++i) {
        const int a = std::max(0, i - kHalf);
        const int b = std::min(n, i + kHalf + 1);
        const double mean = (prefix[b] - prefix[a]) / (b - a);
        out[i] = std::max(0.0, df[i] - mean);
    }
    return out;
}

// Normalised autocorrelation of x at a fractional lag (frames), 0 to 1.
double Autocorrelation(const std::vector<double>& x, double lag)
{
    const auto whole = static_cast<std::size_t>(lag);
    const double frac = lag - static_cast<double>(whole);
    if (whole + 1 >= x.size())
        return 0;
    double energy = 0;
    for (double v : x)
        energy += v * v;
    if (energy <= 0)
        return 0;
    double lo = 0;
    double hi = 0;
    for (std::size_t i = 0; i + whole + 1 < x.size(); ++i) {
        lo += x[i] * x[i + whole];
        hi += x[i] * x[i + whole + 1];
    }
    return ((1 - frac) * lo + frac * hi) / energy;
}

// How much the onset peaks repeat at the beat period (lag, frames) rather than
// at nearby lags: a smooth or random onset function repeats at all of them.
// The nearby lags are a quarter beat off, or, for music busy with sixteenth
// notes (which repeat a quarter beat off too), an eighth of a beat off.
double Salience(const std::vector<double>& peaks, double lag)
{
    const double at = Autocorrelation(peaks, lag);
    const double quarter = std::max(Autocorrelation(peaks, 0.75 * lag), Autocorrelation(peaks, 1.25 * lag));
    const double eighth = std::max(Autocorrelation(peaks, 0.875 * lag), Autocorrelation(peaks, 1.125 * lag));
    return at - std::min(quarter, eighth);
}

double Median(std::vector<double> v)
{
    if (v.empty())
        return 0;
    const auto mid = v.begin() + static_cast<std::ptrdiff_t>(v.size() / 2);
    std::nth_element(v.begin(), mid, v.end());
    return *mid;
}

// The beat period, seconds, from the beats themselves: the median over spans
// of up to eight beats, finer than one frame and blind to a few stray beats.
double BeatPeriod(const std::vector<double>& beats)
{
    if (beats.size() < 2)
        return 0;
    const std::size_t span = std::min<std::size_t>(8, beats.size() - 1);
    std::vector<double> periods;
    for (std::size_t i = 0; i + span < beats.size(); ++i)
        periods.push_back((beats[i + span] - beats[i]) / static_cast<double>(span));
    return Median(std::move(periods));
}

} // namespace

struct TBeatAnalyser::TImpl {
    explicit TImpl(int sampleRate)
        : InputRate(sampleRate)
    {
        if (sampleRate < kMinInputRate || sampleRate > 384000)
            return; // Valid stays false: nothing is analysed.
        Factor = std::max(1, static_cast<int>(std::lround(sampleRate / kAnalysisRate)));
        Rate = static_cast<double>(sampleRate) / Factor;
        BarFactor = std::max(1, static_cast<int>(std::lround(Rate / kBarAnalysisRate)));
        // A whole number of the bar analysis' samples per step.
        Hop = std::max(1, static_cast<int>(std::lround(Rate * kStepSeconds / BarFactor))) * BarFactor;
        Frame = 2;
        while (Frame < Rate / 50)
            Frame *= 2;
        Frame = std::max(Frame, Hop);
        DFConfig config{};
        config.stepSize = static_cast<unsigned>(Hop);
        config.frameLength = static_cast<unsigned>(Frame);
        config.DFType = DF_SPECDIFF; // as good as the complex domain on drums, and cheaper
        config.dbRise = 3;
        config.adaptiveWhitening = false;
        config.whiteningRelaxCoeff = -1;
        config.whiteningFloor = -1;
        Onsets = std::make_unique<DetectionFunction>(config);
        // Fed sound we decimate further ourselves (BarFactor samples averaged):
        // its own decimator would cost more than the rest of its work.
        Bars = std::make_unique<DownBeat>(
            static_cast<float>(Rate / BarFactor), 1, static_cast<std::size_t>(Hop / BarFactor));
        BarStep.assign(static_cast<std::size_t>(Hop / BarFactor), 0.0F);
        Bars->setBeatsPerBar(4);
        Step.assign(static_cast<std::size_t>(Hop), 0.0F);
        Window.assign(static_cast<std::size_t>(Frame), 0.0);
        MaxBarSteps = static_cast<std::size_t>(kBarAnalysisSeconds * Rate / Hop);
        Valid = true;
    }

    // One step of Hop samples at the analysis rate is ready in Step.
    void ProcessStep()
    {
        if (Df.size() < MaxBarSteps) {
            for (std::size_t k = 0; k < BarStep.size(); ++k) {
                float sum = 0;
                for (int j = 0; j < BarFactor; ++j)
                    sum += Step[k * static_cast<std::size_t>(BarFactor) + static_cast<std::size_t>(j)];
                BarStep[k] = sum / static_cast<float>(BarFactor);
            }
            Bars->pushAudioBlock(BarStep.data());
        }
        std::memmove(
            Window.data(), Window.data() + Hop, sizeof(double) * static_cast<std::size_t>(Frame - Hop));
        for (int i = 0; i < Hop; ++i) {
            Window[static_cast<std::size_t>(Frame - Hop + i)] = Step[static_cast<std::size_t>(i)];
            Peak = std::max(Peak, std::fabs(Step[static_cast<std::size_t>(i)]));
        }
        Df.push_back(Onsets->processTimeDomain(Window.data()));
    }

    // Decimation: the mean of each Factor input samples, smoothed by
    // (1 2 1) / 4 at the analysis rate. A few operations per input sample,
    // and aliasing low enough for finding attacks.
    void Feed(const float* samples, std::size_t count)
    {
        if (!Valid || Done)
            return;
        Fed += count;
        const auto factor = static_cast<std::size_t>(Factor);
        while (count > 0) {
            const std::size_t take = std::min(count, factor - BoxFill);
            float a = 0;
            float b = 0;
            std::size_t i = 0;
            for (; i + 1 < take; i += 2) {
                a += samples[i];
                b += samples[i + 1];
            }
            if (i < take)
                a += samples[i];
            BoxSum += a + b;
            BoxFill += take;
            samples += take;
            count -= take;
            if (BoxFill == factor) {
                float box = BoxSum / static_cast<float>(Factor);
                // A damaged stream's NaN or huge values would spoil the whole
                // onset function: they count as silence or full scale.
                box = std::isfinite(box) ? std::clamp(box, -1.0F, 1.0F) : 0.0F;
                Step[StepFill++] = 0.25F * Box2 + 0.5F * Box1 + 0.25F * box;
                Box2 = Box1;
                Box1 = box;
                BoxSum = 0;
                BoxFill = 0;
                if (StepFill == Step.size()) {
                    ProcessStep();
                    StepFill = 0;
                }
            }
        }
    }

    // Seconds at the centre of onset frame `frame` (fractional frames allowed).
    double FrameSeconds(double frame) const
    {
        return ((frame + 1) * Hop - Frame / 2.0) / Rate + kLatencySeconds;
    }

    TBeatGrid Finish()
    {
        if (!Done) {
            Result = Analyse();
            Done = true;
            Df = {};
            Bars.reset();
        }
        return Result;
    }

    TBeatGrid Analyse()
    {
        TBeatGrid grid;
        if (!Valid)
            return grid;
        if (StepFill > 0) {
            std::fill(Step.begin() + static_cast<std::ptrdiff_t>(StepFill), Step.end(), 0.0F);
            ProcessStep();
            StepFill = 0;
        }
        if (static_cast<double>(Fed) < kMinSeconds * InputRate || Peak < kSilencePeak)
            return grid;
        // The first frames compare with the silence before the song: no onset.
        std::vector<double> df = std::move(Df);
        const std::size_t sounded = df.size();
        for (std::size_t i = 0; i < std::min<std::size_t>(2, df.size()); ++i)
            df[i] = 0;
        // TempoTrackV2 needs one whole window of its own (512 values) and then
        // some; a short clip is followed by silence, and no beat is kept there.
        df.resize(std::max<std::size_t>(df.size(), kMinTrackerFrames), 0.0);

        TempoTrackV2 tracker(static_cast<float>(Rate), static_cast<std::size_t>(Hop));
        // TempoTrackV2 writes one period per onset frame into a vector of that size.
        std::vector<double> periods(df.size(), 0.0);
        std::vector<double> tempi;
        tracker.calculateBeatPeriod(df, periods, tempi, 120.0 * kTrackerFrameRate * Hop / Rate, false);
        std::vector<double> frames;
        tracker.calculateBeats(df, periods, frames);
        frames.erase(std::find_if(frames.begin(), frames.end(),
                         [&](double f) { return f >= static_cast<double>(sounded); }),
            frames.end());
        if (frames.size() < 4)
            return grid;

        std::vector<double> times;
        times.reserve(frames.size());
        for (double f : frames)
            times.push_back(std::max(0.0, FrameSeconds(f)));
        const double period = BeatPeriod(times);
        if (period <= 0)
            return grid;
        if (Salience(OnsetPeaks(df), period * Rate / Hop) < kMinSalience)
            return grid;

        grid.Steady = true;
        grid.TempoBpm = 60.0 / period;
        grid.Beats = times;

        // DownBeat reads beats in steps from the start of its buffered sound.
        std::size_t length = 0;
        const float* sound = Bars->getBufferedAudio(length);
        const double lastStep = static_cast<double>(length * static_cast<std::size_t>(BarFactor)) / Hop;
        const double shift = (Frame / 2.0) / Hop - 1; // frame index to step index
        std::vector<double> inBuffer;
        for (double f : frames) {
            if (f - shift >= lastStep)
                break;
            inBuffer.push_back(std::max(0.0, f - shift));
        }
        if (inBuffer.size() >= 8) {
            std::vector<int> downbeats;
            Bars->findDownBeats(sound, length, inBuffer, downbeats);
            if (!downbeats.empty()) {
                grid.BeatsPerBar = 4;
                for (std::size_t i = static_cast<std::size_t>(downbeats.front()) % 4; i < times.size();
                     i += 4)
                    grid.Bars.push_back(times[i]);
            }
        }
        return grid;
    }

    double InputRate;
    bool Valid = false;
    bool Done = false; // Finish was called; Result holds its answer
    TBeatGrid Result;
    int Factor = 1; // input samples per analysis sample
    double Rate = 0; // analysis rate, Hz
    int BarFactor = 1; // analysis samples per bar analysis sample
    int Hop = 0; // onset function step, samples at the analysis rate
    int Frame = 0; // onset function window, samples at the analysis rate
    std::unique_ptr<DetectionFunction> Onsets;
    std::unique_ptr<DownBeat> Bars;
    float BoxSum = 0; // of the input samples of the analysis sample under way
    std::size_t BoxFill = 0; // input samples in BoxSum
    float Box1 = 0; // the last two box means
    float Box2 = 0;
    std::vector<float> Step; // one step at the analysis rate
    std::vector<float> BarStep; // the same at the bar analysis' rate
    std::size_t StepFill = 0; // of Step
    std::vector<double> Window; // the onset function's window
    std::vector<double> Df; // the onset function, one value per step
    std::size_t MaxBarSteps = 0;
    std::size_t Fed = 0; // input samples
    float Peak = 0;
};

TBeatAnalyser::TBeatAnalyser(int sampleRate)
    : Impl(std::make_unique<TImpl>(sampleRate))
{
}

TBeatAnalyser::~TBeatAnalyser() = default;

void TBeatAnalyser::Feed(const float* samples, std::size_t count)
{
    Impl->Feed(samples, count);
}

double TBeatAnalyser::FedSeconds() const
{
    return Impl->InputRate > 0 ? static_cast<double>(Impl->Fed) / Impl->InputRate : 0.0;
}

TBeatGrid TBeatAnalyser::Finish()
{
    return Impl->Finish();
}

TBeatGrid AnalyseBeats(const float* samples, std::size_t count, int sampleRate)
{
    TBeatAnalyser analyser(sampleRate);
    analyser.Feed(samples, count);
    return analyser.Finish();
}

} // namespace beats
