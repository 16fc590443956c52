#include "Beats.h"
#include "SynthDrums.h"

#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

namespace {

// The usual beat-tracking score: a found beat within +-window of a written
// one, each used once, counts as a hit; F = 2PR / (P + R). As in the common
// evaluation, the first five seconds are left out on both sides.
double FMeasure(const std::vector<double>& truth, const std::vector<double>& found, double window = 0.070)
{
    constexpr double kSkip = 5.0;
    std::vector<double> t;
    std::vector<double> f;
    for (double x : truth)
        if (x >= kSkip)
            t.push_back(x);
    for (double x : found)
        if (x >= kSkip)
            f.push_back(x);
    if (t.empty() || f.empty())
        return 0;
    std::vector<bool> used(f.size(), false);
    int hits = 0;
    for (double x : t) {
        int best = -1;
        for (std::size_t i = 0; i < f.size(); ++i)
            if (!used[i] && std::fabs(f[i] - x) <= window
                && (best < 0 || std::fabs(f[i] - x) < std::fabs(f[static_cast<std::size_t>(best)] - x)))
                best = static_cast<int>(i);
        if (best >= 0) {
            used[static_cast<std::size_t>(best)] = true;
            ++hits;
        }
    }
    const double precision = static_cast<double>(hits) / static_cast<double>(f.size());
    const double recall = static_cast<double>(hits) / static_cast<double>(t.size());
    return hits == 0 ? 0 : 2 * precision * recall / (precision + recall);
}

// The same sound at another rate (linear interpolation: enough for beats).
std::vector<float> Resample(const std::vector<float>& in, int from, int to)
{
    const auto n = static_cast<std::size_t>(static_cast<double>(in.size()) * to / from);
    std::vector<float> out(n);
    for (std::size_t i = 0; i < n; ++i) {
        const double x = static_cast<double>(i) * from / to;
        const auto j = static_cast<std::size_t>(x);
        const double frac = x - static_cast<double>(j);
        const float a = in[std::min(j, in.size() - 1)];
        const float b = in[std::min(j + 1, in.size() - 1)];
        out[i] = static_cast<float>(a + frac * (b - a));
    }
    return out;
}

struct TGrooveCase {
    std::string Name;
    synth::TGroove Groove;
    int Rate = synth::kRate; // the rate the analyser is fed at
};

std::vector<TGrooveCase> GrooveCases()
{
    std::vector<TGrooveCase> cases;
    for (double bpm : {85.0, 100.0, 120.0, 136.0, 150.0}) {
        synth::TGroove g;
        g.Bpm = bpm;
        g.Seed = static_cast<std::uint32_t>(bpm);
        cases.push_back({"steady " + std::to_string(static_cast<int>(bpm)), g});
    }
    synth::TGroove intro;
    intro.Bpm = 112;
    intro.Seconds = 36;
    intro.IntroSeconds = 10;
    cases.push_back({"intro without drums", intro});
    synth::TGroove swing;
    swing.Bpm = 96;
    swing.Swing = 2.0 / 3.0;
    cases.push_back({"swing", swing});
    synth::TGroove human;
    human.Bpm = 128;
    human.JitterMs = 12;
    human.VelocitySpread = 0.4;
    human.Seed = 7;
    cases.push_back({"humanised", human});
    synth::TGroove at48k;
    at48k.Bpm = 140;
    cases.push_back({"fed at 48 kHz", at48k, 48000});
    return cases;
}

TEST(Beats, FindsTheBeatsTempoAndBarsOfGrooves)
{
    for (const TGrooveCase& c : GrooveCases()) {
        SCOPED_TRACE(c.Name);
        const synth::TSong song = synth::Groove(c.Groove);
        const std::vector<float> sound
            = c.Rate == synth::kRate ? song.Samples : Resample(song.Samples, synth::kRate, c.Rate);
        const beats::TBeatGrid grid = beats::AnalyseBeats(sound.data(), sound.size(), c.Rate);
        EXPECT_TRUE(grid.Steady);
        EXPECT_NEAR(grid.TempoBpm / c.Groove.Bpm, 1.0, 0.02);
        EXPECT_GE(FMeasure(song.Beats, grid.Beats), 0.9);
        EXPECT_EQ(grid.BeatsPerBar, 4);
        EXPECT_GE(FMeasure(song.Bars, grid.Bars), 0.9);
    }
}

TEST(Beats, SoundWithoutASteadyBeatHasNone)
{
    struct TCase {
        std::string Name;
        std::vector<float> Sound;
        int Rate = synth::kRate;
    };
    synth::TGroove shortClip;
    shortClip.Seconds = 4;
    const std::vector<TCase> cases = {
        {"speech-like babble", synth::Babble(30, 3)},
        {"another voice", synth::Babble(30, 11)},
        {"ambient pads", synth::Ambient(30, 5)},
        {"silence", std::vector<float>(30 * synth::kRate, 0.0F)},
        {"a groove shorter than the analysis needs", synth::Groove(shortClip).Samples},
        {"a sample rate no decoder gives", synth::Groove({}).Samples, 0},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.Name);
        const beats::TBeatGrid grid = beats::AnalyseBeats(c.Sound.data(), c.Sound.size(), c.Rate);
        EXPECT_FALSE(grid.Steady);
        EXPECT_EQ(grid.TempoBpm, 0);
        EXPECT_TRUE(grid.Beats.empty());
        EXPECT_TRUE(grid.Bars.empty());
    }
}

} // namespace
