// The beat analysis beside a song's decode: fed 44.1 kHz mono in the blocks a
// decoder gives, then finished. Four minutes is a song; an hour is the
// longest file the program expects (the same four minutes fed 15 times).
#include "Beats.h"
#include "SynthDrums.h"

#include <benchmark/benchmark.h>

namespace {

const std::vector<float>& FourMinutes()
{
    static const std::vector<float> sound = [] {
        drums::TGroove groove;
        groove.Bpm = 124;
        groove.Seconds = 240;
        return drums::Groove(groove).Samples;
    }();
    return sound;
}

void Analyse(benchmark::State& state, int repeats)
{
    const std::vector<float>& sound = FourMinutes();
    constexpr std::size_t kBlock = 1152; // an MP3 frame's samples
    for (auto _ : state) {
        beats::TBeatAnalyser analyser(drums::kRate);
        for (int r = 0; r < repeats; ++r)
            for (std::size_t i = 0; i < sound.size(); i += kBlock)
                analyser.Feed(sound.data() + i, std::min(kBlock, sound.size() - i));
        beats::TBeatGrid grid = analyser.Finish();
        benchmark::DoNotOptimize(grid);
        state.counters["bpm"] = grid.TempoBpm;
    }
    state.counters["sound_s"] = 240.0 * repeats;
}

void BM_Beats4Minutes(benchmark::State& state)
{
    Analyse(state, 1);
}
void BM_Beats1Hour(benchmark::State& state)
{
    Analyse(state, 15);
}

BENCHMARK(BM_Beats4Minutes)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Beats1Hour)->Unit(benchmark::kMillisecond)->Iterations(2);

} // namespace
