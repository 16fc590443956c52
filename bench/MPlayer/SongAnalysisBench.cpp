// The sound module's whole analysis of a song (one decode, the beats and the
// chorus suggestion) of a 4-minute and of a 1-hour 128 kbit/s stereo MP3,
// beside `ffmpeg -i file -f null -` on the same file, on one core each. The
// song is a drum groove the analysis tests make, looped. The cpu_ms counters
// are the processor time each took.
#include "SongFile.h"
#include "SynthDrums.h"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <stdexcept>
#include <string>

#include <sys/resource.h>
#include <unistd.h>

namespace {

namespace fs = std::filesystem;

void Run(const std::string& cmd)
{
    if (std::system(cmd.c_str()) != 0)
        throw std::runtime_error("failed: " + cmd);
}

void WriteWav(const std::string& path, const std::vector<float>& samples, int rate)
{
    std::ofstream f(path, std::ios::binary);
    const auto u32 = [&](uint32_t v) { f.write(reinterpret_cast<const char*>(&v), 4); };
    const auto u16 = [&](uint16_t v) { f.write(reinterpret_cast<const char*>(&v), 2); };
    const auto bytes = static_cast<uint32_t>(samples.size() * 2);
    f.write("RIFF", 4);
    u32(36 + bytes);
    f.write("WAVEfmt ", 8);
    u32(16);
    u16(1);
    u16(1);
    u32(static_cast<uint32_t>(rate));
    u32(static_cast<uint32_t>(rate * 2));
    u16(2);
    u16(16);
    f.write("data", 4);
    u32(bytes);
    for (const float x : samples) {
        const auto v = static_cast<int16_t>(std::lround(std::clamp(x, -1.0F, 1.0F) * 32000));
        f.write(reinterpret_cast<const char*>(&v), 2);
    }
}

// A 30 s groove at 123 BPM, stereo 128 kbit/s, looped to `minutes`.
std::string File(int minutes)
{
    static const std::string dir = [] {
        const fs::path d = fs::temp_directory_path() / ("song-analysis-bench-" + std::to_string(::getuid()));
        fs::create_directories(d);
        const std::string groove = (d / "groove30.mp3").string();
        if (!fs::exists(groove)) {
            const std::string wav = (d / "groove30.wav").string();
            WriteWav(wav, drums::Groove({.Bpm = 123, .Seconds = 30}).Samples, drums::kRate);
            Run("ffmpeg -nostdin -loglevel error -y -i '" + wav + "' -ac 2 -c:a libmp3lame -b:a 128k '"
                + groove + "'");
        }
        return d.string() + "/";
    }();
    const std::string path = dir + std::to_string(minutes) + "min.mp3";
    if (!fs::exists(path))
        Run("ffmpeg -nostdin -loglevel error -y -stream_loop " + std::to_string(minutes * 2 - 1) + " -i '"
            + dir + "groove30.mp3' -c copy '" + path + "'");
    return path;
}

// Processor time of this process or of its finished children, ms.
double CpuMs(int who = RUSAGE_SELF)
{
    rusage u{};
    getrusage(who, &u);
    return (static_cast<double>(u.ru_utime.tv_sec + u.ru_stime.tv_sec) * 1e6
               + static_cast<double>(u.ru_utime.tv_usec + u.ru_stime.tv_usec))
        / 1e3;
}

void BM_SongAnalysis(benchmark::State& state)
{
    const std::string path = File(static_cast<int>(state.range(0)));
    double cpu = 0;
    for (auto _ : state) {
        const double before = CpuMs();
        const mplayer_detail::TSongAnalysis song = mplayer_detail::AnalyseSongFile(path, nullptr);
        const music::TChorusSuggestion pick = song.SuggestChorus(30);
        cpu += CpuMs() - before;
        benchmark::DoNotOptimize(pick);
        if (std::abs(song.Grid.TempoBpm - 123) > 123 * 0.02 || pick.EndSeconds <= pick.StartSeconds)
            state.SkipWithError("wrong tempo or no suggestion");
    }
    state.counters["cpu_ms"] = benchmark::Counter(cpu, benchmark::Counter::kAvgIterations);
}
BENCHMARK(BM_SongAnalysis)->Arg(4)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(5);
BENCHMARK(BM_SongAnalysis)->Arg(60)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(1);

void BM_FfmpegNull(benchmark::State& state)
{
    const std::string path = File(static_cast<int>(state.range(0)));
    const std::string cmd = "ffmpeg -nostdin -loglevel error -threads 1 -i '" + path + "' -f null -";
    double cpu = 0;
    for (auto _ : state) {
        const double before = CpuMs(RUSAGE_CHILDREN);
        Run(cmd);
        cpu += CpuMs(RUSAGE_CHILDREN) - before;
    }
    state.counters["cpu_ms"] = benchmark::Counter(cpu, benchmark::Counter::kAvgIterations);
}
BENCHMARK(BM_FfmpegNull)->Arg(4)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(5);
BENCHMARK(BM_FfmpegNull)->Arg(60)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(1);

} // namespace
