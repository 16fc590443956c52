// Loudness measurement of a 30 s selection in the middle of a 4-minute
// 128 kbit/s stereo MP3 (the one decode that matched loudness adds to a
// Save), and the shaping of that selection's samples for the preview.
#include "Loudness.h"
#include "RingtoneShape.h"

#include <benchmark/benchmark.h>

#include <cstdlib>
#include <filesystem>
#include <stdexcept>
#include <string>
#include <vector>

#include <unistd.h>

namespace {

namespace fs = std::filesystem;

// A song-like 4 minutes: a slow sweep over pink noise.
const std::string& Song()
{
    static const std::string path = [] {
        const fs::path d = fs::temp_directory_path() / ("loudness-bench-" + std::to_string(::getuid()));
        fs::create_directories(d);
        const std::string p = (d / "song4min.mp3").string();
        if (!fs::exists(p)) {
            const std::string cmd = "ffmpeg -nostdin -loglevel error -y -f lavfi -i "
                                    "\"aevalsrc='0.3*sin(2*PI*(200+100*sin(t/7))*t)':s=44100:d=240\" "
                                    "-f lavfi -i anoisesrc=color=pink:amplitude=0.1:d=240:r=44100 "
                                    "-filter_complex amix=inputs=2 -ac 2 -c:a libmp3lame -b:a 128k '"
                + p + "'";
            if (std::system(cmd.c_str()) != 0)
                throw std::runtime_error("ffmpeg could not make the benchmark song");
        }
        return p;
    }();
    return path;
}

void BM_Measure30sOf4Minutes(benchmark::State& state)
{
    const std::string& path = Song();
    ringtone::TLoudness m;
    for (auto _ : state) {
        m = ringtone::MeasureLoudness(path, 105000, 135000);
        if (!m.Ok)
            state.SkipWithError(m.Error.c_str());
    }
    state.counters["LUFS"] = m.IntegratedLufs;
    state.counters["dBTP"] = m.TruePeakDbtp;
}
BENCHMARK(BM_Measure30sOf4Minutes)->Unit(benchmark::kMillisecond)->MinTime(3);

void BM_Shape30sStereo(benchmark::State& state)
{
    constexpr int rate = 44100;
    constexpr int64_t frames = int64_t { rate } * 30;
    std::vector<float> samples(static_cast<size_t>(frames) * 2, 0.25f);
    const ringtone::TShapePlan plan { 2000, 3000, 6.5, true };
    for (auto _ : state) {
        ringtone::ApplyShape(plan, samples.data(), frames, 2, 0, frames, rate);
        benchmark::DoNotOptimize(samples.data());
    }
}
BENCHMARK(BM_Shape30sStereo)->Unit(benchmark::kMillisecond);

} // namespace
