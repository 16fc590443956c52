// The chorus analysis on a made 4-minute song at 44.1 kHz (intro, verses, a
// chorus four times, a bridge, an outro): the features fed in decoder-sized
// blocks, the chorus found from them, and both together; then the same for an
// hour of sound (the song fifteen times over, fed block by block, so the
// samples are held once).
#include "Chorus.h"
#include "Chroma.h"
#include "SynthSongs.h"

#include <benchmark/benchmark.h>

namespace {

constexpr int Rate = 44100;
constexpr size_t Block = 4608; // samples a decoder hands over at a time (four MP3 frames)

const synth::TSong& Song()
{
    static const synth::TSong song = [] {
        using synth::TChord;
        using synth::TSection;
        const TSection i{'I', 8, {{5, false}, {7, false}}, 1, 0, 0, 0.5f, false};
        const TSection v{'V', 12, {{9, true}, {4, true}, {5, false}, {7, false}, {2, true}, {4, true}}, 11, 0,
            2, 0.6f, true};
        const TSection c{'C', 12, {{0, false}, {7, false}, {2, true}, {5, false}, {9, true}, {7, false}}, 22,
            1, 1, 1.0f, true};
        const TSection b{'B', 12, {{10, false}, {5, false}, {2, true}, {4, true}}, 33, 3, 3, 0.7f, false};
        const TSection o{'O', 8, {{0, false}, {5, false}}, 44, 0, 0, 0.4f, false};
        return synth::Render({i, v, c, v, c, b, c, c, o}, 100, Rate);
    }();
    return song;
}

music::TFeatureFrames Features(int repeats)
{
    const std::vector<float>& s = Song().Samples;
    music::TFeatureExtractor extractor(Rate);
    for (int r = 0; r < repeats; ++r)
        for (size_t at = 0; at < s.size(); at += Block)
            extractor.Feed(s.data() + at, std::min(Block, s.size() - at));
    return extractor.Finish();
}

std::vector<double> Beats(int repeats)
{
    std::vector<double> beats;
    for (int r = 0; r < repeats; ++r)
        for (double b : Song().Beats)
            beats.push_back(b + r * Song().Duration());
    return beats;
}

void Report(benchmark::State& state, int repeats)
{
    state.counters["sound_s"] = Song().Duration() * repeats;
}

void BM_Features4Min(benchmark::State& state)
{
    for (auto _ : state)
        benchmark::DoNotOptimize(Features(1));
    Report(state, 1);
}

void BM_Chorus4Min(benchmark::State& state)
{
    const music::TFeatureFrames frames = Features(1);
    const std::vector<double> beats = Beats(1);
    for (auto _ : state)
        benchmark::DoNotOptimize(music::SuggestChorus(frames, beats, Song().Bars));
    Report(state, 1);
}

void BM_FeaturesAndChorus(benchmark::State& state)
{
    const int repeats = static_cast<int>(state.range(0));
    const std::vector<double> beats = Beats(repeats);
    music::TChorusSuggestion r;
    for (auto _ : state) {
        r = music::SuggestChorus(Features(repeats), beats, {});
        benchmark::DoNotOptimize(r);
    }
    Report(state, repeats);
    state.counters["start_s"] = r.StartSeconds;
    state.counters["repeated"] = r.Repeated;
}

BENCHMARK(BM_Features4Min)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Chorus4Min)->Unit(benchmark::kMillisecond);
// 1: four minutes; 15: an hour.
BENCHMARK(BM_FeaturesAndChorus)->Arg(1)->Arg(15)->Unit(benchmark::kMillisecond)->Iterations(3);

} // namespace
