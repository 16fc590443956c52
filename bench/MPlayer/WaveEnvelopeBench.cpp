// The envelope of a 4-minute and of a 1-hour 128 kbit/s MP3 against
// `ffmpeg -i file -f null -` on the same file (wall time, both at the
// envelope worker's lower priority, so a busy machine slows both alike), and
// how long Cancel takes while the worker decodes. The cpu_ms counters are the
// processor time each took.
#include "WaveEnvelope.h"

#include <benchmark/benchmark.h>

#include <algorithm>
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
using Clock = std::chrono::steady_clock;

void Run(const std::string& cmd)
{
    if (std::system(cmd.c_str()) != 0)
        throw std::runtime_error("failed: " + cmd);
}

// A 30 s tone at 128 kbit/s stereo, looped to 4 minutes and to 1 hour.
std::string File(int minutes)
{
    static const std::string dir = [] {
        const fs::path d = fs::temp_directory_path() / ("envelope-bench-" + std::to_string(::getuid()));
        fs::create_directories(d);
        const std::string tone = (d / "tone30.mp3").string();
        if (!fs::exists(tone))
            Run("ffmpeg -nostdin -loglevel error -y -f lavfi -i sine=frequency=440:duration=30 -ac 2 "
                "-c:a libmp3lame -b:a 128k '"
                + tone + "'");
        return d.string() + "/";
    }();
    const std::string path = dir + std::to_string(minutes) + "min.mp3";
    if (!fs::exists(path))
        Run("ffmpeg -nostdin -loglevel error -y -stream_loop " + std::to_string(minutes * 2 - 1) + " -i '"
            + dir + "tone30.mp3' -c copy '" + path + "'");
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

void BM_Envelope(benchmark::State& state)
{
    const int minutes = static_cast<int>(state.range(0));
    const std::string path = File(minutes);
    const int columns = minutes * 60 * 5;
    double cpu = 0;
    for (auto _ : state) {
        const double before = CpuMs();
        TWaveEnvelope env(path, columns, 5);
        while (!env.Finished())
            std::this_thread::sleep_for(std::chrono::milliseconds(5));
        cpu += CpuMs() - before;
        if (env.Filled() != columns)
            state.SkipWithError("not every column was filled");
    }
    state.counters["cpu_ms"] = benchmark::Counter(cpu, benchmark::Counter::kAvgIterations);
}
BENCHMARK(BM_Envelope)->Arg(4)->Arg(60)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_FfmpegNull(benchmark::State& state)
{
    const std::string path = File(static_cast<int>(state.range(0)));
    const std::string cmd
        = "nice -n 5 ffmpeg -nostdin -loglevel error -threads 1 -i '" + path + "' -f null -";
    double cpu = 0;
    for (auto _ : state) {
        const double before = CpuMs(RUSAGE_CHILDREN);
        Run(cmd);
        cpu += CpuMs(RUSAGE_CHILDREN) - before;
    }
    state.counters["cpu_ms"] = benchmark::Counter(cpu, benchmark::Counter::kAvgIterations);
}
BENCHMARK(BM_FfmpegNull)->Arg(4)->Arg(60)->Unit(benchmark::kMillisecond)->UseRealTime();

// From Cancel to the worker joined, in the middle of a long file.
void BM_CancelWhileDecoding(benchmark::State& state)
{
    const std::string path = File(60);
    double longest = 0;
    for (auto _ : state) {
        TWaveEnvelope env(path, 60 * 60 * 5, 5);
        while (env.Filled() < 500)
            std::this_thread::sleep_for(std::chrono::microseconds(200));
        const auto start = Clock::now();
        env.Cancel();
        const double took = std::chrono::duration<double>(Clock::now() - start).count();
        longest = std::max(longest, took);
        state.SetIterationTime(took);
    }
    state.counters["max_ms"] = longest * 1e3;
}
BENCHMARK(BM_CancelWhileDecoding)->Unit(benchmark::kMillisecond)->UseManualTime()->Iterations(20);

} // namespace
