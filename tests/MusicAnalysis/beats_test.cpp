#include "Beats.h"
#include "SynthDrums.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
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
    drums::TGroove Groove;
    int Rate = drums::kRate; // the rate the analyser is fed at
    bool Damaged = false; // a NaN, an infinity and a huge value now and then, as from a damaged stream
};

std::vector<TGrooveCase> GrooveCases()
{
    std::vector<TGrooveCase> cases;
    for (double bpm : {85.0, 100.0, 120.0, 136.0, 150.0}) {
        drums::TGroove g;
        g.Bpm = bpm;
        g.Seed = static_cast<std::uint32_t>(bpm);
        cases.push_back({"steady " + std::to_string(static_cast<int>(bpm)), g});
    }
    drums::TGroove intro;
    intro.Bpm = 112;
    intro.Seconds = 36;
    intro.IntroSeconds = 10;
    cases.push_back({"intro without drums", intro});
    drums::TGroove swing;
    swing.Bpm = 96;
    swing.Swing = 2.0 / 3.0;
    cases.push_back({"swing", swing});
    drums::TGroove human;
    human.Bpm = 128;
    human.JitterMs = 12;
    human.VelocitySpread = 0.4;
    human.Seed = 7;
    cases.push_back({"humanised", human});
    drums::TGroove busy;
    busy.Bpm = 92;
    busy.Sixteenths = true;
    cases.push_back({"sixteenth-note hi-hats", busy});
    drums::TGroove shortClip;
    shortClip.Bpm = 118;
    shortClip.Seconds = 9;
    cases.push_back({"a nine-second clip", shortClip});
    drums::TGroove at48k;
    at48k.Bpm = 140;
    cases.push_back({"fed at 48 kHz", at48k, 48000});
    drums::TGroove damaged;
    damaged.Bpm = 104;
    cases.push_back({"a damaged stream", damaged, drums::kRate, true});
    return cases;
}

TEST(Beats, FindsTheBeatsTempoAndBarsOfGrooves)
{
    for (const TGrooveCase& c : GrooveCases()) {
        SCOPED_TRACE(c.Name);
        const drums::TSong song = drums::Groove(c.Groove);
        std::vector<float> sound
            = c.Rate == drums::kRate ? song.Samples : Resample(song.Samples, drums::kRate, c.Rate);
        for (std::size_t i = 0; c.Damaged && i + 2 < sound.size(); i += 5000) {
            sound[i] = std::numeric_limits<float>::quiet_NaN();
            sound[i + 1] = std::numeric_limits<float>::infinity();
            sound[i + 2] = 1e30F;
        }
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
        int Rate = drums::kRate;
    };
    drums::TGroove shortClip;
    shortClip.Seconds = 4;
    const std::vector<TCase> cases = {
        {"speech-like babble", drums::Babble(30, 3)},
        {"another voice", drums::Babble(30, 11)},
        {"ambient pads", drums::Ambient(30, 5)},
        {"silence", std::vector<float>(30 * drums::kRate, 0.0F)},
        {"a groove shorter than the analysis needs", drums::Groove(shortClip).Samples},
        {"a sample rate no decoder gives", drums::Groove({}).Samples, 0},
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

namespace {

TEST(Beats, FedInBlocksOfAnySizeFindsTheSameBeats)
{
    drums::TGroove groove;
    groove.Bpm = 108;
    groove.Seconds = 20;
    const drums::TSong song = drums::Groove(groove);
    const beats::TBeatGrid whole
        = beats::AnalyseBeats(song.Samples.data(), song.Samples.size(), drums::kRate);
    ASSERT_TRUE(whole.Steady);
    for (std::size_t block : {std::size_t{1}, std::size_t{37}, std::size_t{1152}, std::size_t{65536}}) {
        SCOPED_TRACE(block);
        beats::TBeatAnalyser analyser(drums::kRate);
        for (std::size_t i = 0; i < song.Samples.size(); i += block)
            analyser.Feed(song.Samples.data() + i, std::min(block, song.Samples.size() - i));
        EXPECT_NEAR(analyser.FedSeconds(), groove.Seconds, 1e-9);
        const beats::TBeatGrid grid = analyser.Finish();
        EXPECT_NEAR(grid.TempoBpm, whole.TempoBpm, 0.01);
        ASSERT_EQ(grid.Beats.size(), whole.Beats.size());
        for (std::size_t i = 0; i < grid.Beats.size(); ++i)
            EXPECT_NEAR(grid.Beats[i], whole.Beats[i], 0.001);
        EXPECT_EQ(grid.Bars.size(), whole.Bars.size());
        // Asked again, after more sound: the same answer.
        analyser.Feed(song.Samples.data(), song.Samples.size());
        EXPECT_EQ(analyser.Finish().Beats, grid.Beats);
    }
}

// 120 BPM: beats every 500 ms from 1 s to 10.5 s, a bar every 2 s from 1 s.
beats::TBeatGrid EvenGrid(bool bars = true)
{
    beats::TBeatGrid grid;
    grid.Steady = true;
    grid.TempoBpm = 120;
    for (int i = 0; i < 20; ++i)
        grid.Beats.push_back(1.0 + 0.5 * i);
    if (bars) {
        grid.BeatsPerBar = 4;
        for (std::size_t i = 0; i < grid.Beats.size(); i += 4)
            grid.Bars.push_back(grid.Beats[i]);
    }
    return grid;
}

// A played grid: beats 1010, 1400, 2000, 2480, 3000 ms...
beats::TBeatGrid PlayedGrid()
{
    beats::TBeatGrid grid;
    grid.Steady = true;
    grid.TempoBpm = 120;
    grid.Beats = {0.0, 0.48, 1.01, 1.5, 1.99, 2.52, 3.0, 3.48, 4.01};
    grid.BeatsPerBar = 4;
    grid.Bars = {0.0, 1.99, 4.01};
    return grid;
}

TEST(Beats, MarksSnapToTheNearestBeatWithinHalfABeat)
{
    struct TCase {
        const char* Name;
        beats::TBeatGrid Grid;
        std::int64_t Ms;
        std::optional<std::int64_t> Snapped;
    };
    const std::vector<TCase> cases = {
        {"on a beat", EvenGrid(), 3000, 3000},
        {"just after a beat", EvenGrid(), 3240, 3000},
        {"just before the next", EvenGrid(), 3260, 3500},
        {"before the first beat, within half a beat", EvenGrid(), 760, 1000},
        {"before the first beat, further", EvenGrid(), 740, std::nullopt},
        {"the song's start", EvenGrid(), 0, std::nullopt},
        {"after the last beat, within half a beat", EvenGrid(), 10740, 10500},
        {"after the last beat, further", EvenGrid(), 10760, std::nullopt},
        {"a played beat, the half beat on its own side", PlayedGrid(), 1700, 1500},
        {"a played beat, nearer the later", PlayedGrid(), 1760, 1990},
        {"no steady beat", beats::TBeatGrid{}, 3000, std::nullopt},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.Name);
        EXPECT_EQ(beats::SnapToBeatMs(c.Grid, c.Ms), c.Snapped);
    }
}

TEST(Beats, MarkedEndMakesTheSelectionWholeBars)
{
    struct TCase {
        const char* Name;
        beats::TBeatGrid Grid;
        std::int64_t Start;
        std::int64_t MarkedEnd;
        std::int64_t Duration;
        std::int64_t End;
    };
    const std::vector<TCase> cases = {
        {"nearest whole bars", EvenGrid(), 1000, 8900, 12000, 9000},
        {"rounded down", EvenGrid(), 1000, 7600, 12000, 7000},
        {"a tie: the shorter", EvenGrid(), 1000, 8000, 12000, 7000},
        {"less than a bar: one bar", EvenGrid(), 1000, 1400, 12000, 3000},
        {"a start between beats keeps its offset", EvenGrid(), 1100, 5000, 12000, 5100},
        {"a start off the bar line counts bars from it", EvenGrid(), 1500, 6000, 12000, 5500},
        {"past the last beat at the tempo", EvenGrid(), 9000, 12900, 0, 13000},
        {"not past the song's end", EvenGrid(), 1000, 11900, 11500, 11000},
        {"not one bar before the end: unchanged", EvenGrid(), 10000, 10800, 11000, 10800},
        {"no bars known: whole beats", EvenGrid(false), 1000, 2600, 12000, 2500},
        {"played beats: the song's own bar lines", PlayedGrid(), 0, 1800, 5000, 1990},
        {"played beats: two bars", PlayedGrid(), 0, 3700, 5000, 4010},
        {"an end before the start: unchanged", EvenGrid(), 5000, 4000, 12000, 4000},
        {"no steady beat: unchanged", beats::TBeatGrid{}, 1000, 8900, 12000, 8900},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.Name);
        EXPECT_EQ(beats::WholeBarsEndMs(c.Grid, c.Start, c.MarkedEnd, c.Duration), c.End);
    }
}

} // namespace
