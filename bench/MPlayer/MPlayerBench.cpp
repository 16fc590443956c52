// Playback device figures: opening a 10 MB MP3, CPU used while playing a
// 128 kbit/s stereo MP3, and the position reported against the wall clock.
// Run with SDL_AUDIODRIVER=dummy for figures that do not depend on a sound card.
#include "MPlayer.h"

#include <benchmark/benchmark.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <stdexcept>
#include <string>
#include <thread>

#include <sys/resource.h>
#include <unistd.h>

namespace {

namespace fs = std::filesystem;

void Run(const std::string& cmd)
{
    if (std::system(cmd.c_str()) != 0)
        throw std::runtime_error("failed: " + cmd);
}

// A 30 s tone at 128 kbit/s stereo, and the same looped to about 10 MB.
const std::string& Dir()
{
    static const std::string dir = [] {
        const fs::path d = fs::temp_directory_path() / ("mplayer-bench-" + std::to_string(::getuid()));
        fs::create_directories(d);
        const std::string small = (d / "tone30.mp3").string();
        const std::string big = (d / "big.mp3").string();
        if (!fs::exists(small))
            Run("ffmpeg -nostdin -loglevel error -y -f lavfi -i sine=frequency=440:duration=30 -ac 2 "
                "-c:a libmp3lame -b:a 128k '"
                + small + "'");
        if (!fs::exists(big))
            Run("ffmpeg -nostdin -loglevel error -y -stream_loop 21 -i '" + small + "' -c copy '" + big
                + "'");
        return d.string() + "/";
    }();
    return dir;
}

double CpuSeconds()
{
    rusage u{};
    getrusage(RUSAGE_SELF, &u);
    return static_cast<double>(u.ru_utime.tv_sec + u.ru_stime.tv_sec)
        + static_cast<double>(u.ru_utime.tv_usec + u.ru_stime.tv_usec) / 1e6;
}

void BM_Open10MB(benchmark::State& state)
{
    const std::string path = Dir() + "big.mp3";
    TMediaPlayer mp;
    mp.FileName = path;
    for (auto _ : state) {
        mp.Open();
        benchmark::DoNotOptimize(mp.Length());
    }
    state.counters["file_MB"] = static_cast<double>(fs::file_size(path)) / 1e6;
    state.counters["length_s"] = mp.Length() / 1000.0;
}
BENCHMARK(BM_Open10MB)->Unit(benchmark::kMillisecond);

// One iteration: 10 s of playback from the start.
void BM_Play10s(benchmark::State& state)
{
    using Clock = std::chrono::steady_clock;
    TMediaPlayer mp;
    mp.FileName = Dir() + "tone30.mp3";
    mp.Open();
    double cpuPercent = 0, positionError = 0;
    for (auto _ : state) {
        mp.Seek(0);
        const double cpu0 = CpuSeconds();
        const auto t0 = Clock::now();
        mp.Play();
        std::this_thread::sleep_until(t0 + std::chrono::seconds(10));
        const int32_t pos = mp.Position();
        const auto wall = std::chrono::duration<double, std::milli>(Clock::now() - t0).count();
        const double cpu = CpuSeconds() - cpu0;
        mp.Stop();
        cpuPercent = 100.0 * cpu / (wall / 1000.0);
        positionError = pos - wall;
    }
    state.counters["cpu_percent"] = cpuPercent;
    state.counters["position_minus_wall_ms"] = positionError;
}
BENCHMARK(BM_Play10s)->Iterations(1)->Repetitions(2)->Unit(benchmark::kSecond);

} // namespace
