// Playback device figures: opening a 10 MB MP3, CPU used while playing a
// 128 kbit/s stereo MP3 (plain, and shaped as a ringtone preview), the
// position reported against the wall clock, and how fast the device answers
// on hostile files (Open within 1 s; Stop, Close and destruction within
// 100 ms) with the peak memory that takes.
// Run with SDL_AUDIODRIVER=dummy for figures that do not depend on a sound card.
#include "../../tests/MPlayer/TestMedia.h"
#include "MPlayer.h"

#include <benchmark/benchmark.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <stdexcept>
#include <string>
#include <thread>

#include <sys/resource.h>
#include <sys/stat.h>
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

// One iteration: 10 s of playback from the start; with shaped = 1 it plays
// the song as a selection with 1 s and 2 s fades, a gain and the limiter.
void BM_Play10s(benchmark::State& state)
{
    const bool shaped = state.range(0) != 0;
    using Clock = std::chrono::steady_clock;
    TMediaPlayer mp;
    mp.FileName = Dir() + "tone30.mp3";
    mp.Open();
    double cpuPercent = 0, positionError = 0;
    for (auto _ : state) {
        mp.Seek(0);
        if (shaped) {
            mp.SetShape({1000, 2000, -3.0, true});
            mp.SetStartPos(0);
            mp.SetEndPos(mp.Length());
        }
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
BENCHMARK(BM_Play10s)
    ->ArgName("shaped")
    ->Arg(0)
    ->Arg(1)
    ->Iterations(1)
    ->Repetitions(2)
    ->Unit(benchmark::kSecond);

// Hostile files, made once; the large ones are sparse.
const std::string& HostileDir()
{
    static const std::string dir = [] {
        const std::string d = Dir() + "hostile/";
        fs::create_directories(d);
        auto sized = [](const std::string& path, uintmax_t size) {
            std::ofstream(path, std::ios::app).close();
            fs::resize_file(path, size);
        };
        if (!fs::exists(d + "song-then-zeros.mp3")) {
            fs::copy_file(Dir() + "tone30.mp3", d + "song-then-zeros.mp3");
            sized(d + "song-then-zeros.mp3", uintmax_t{1} << 30);
        }
        sized(d + "zeros.mp3", uintmax_t{1} << 30);
        if (!fs::exists(d + "mp3-in-wav.wav")) {
            // A WAV header saying MPEG layer 3, 44.1 kHz stereo, then zeros.
            std::ofstream w(d + "mp3-in-wav.wav", std::ios::binary);
            const unsigned char header[44]
                = {'R', 'I', 'F', 'F', 36, 0, 0, 0, 'W', 'A', 'V', 'E', 'f', 'm', 't', ' ', 16, 0, 0, 0, 0x55,
                    0, 2, 0, 0x44, 0xAC, 0, 0, 0x10, 0xB1, 2, 0, 4, 0, 16, 0, 'd', 'a', 't', 'a', 0, 0, 0, 0};
            w.write(reinterpret_cast<const char*>(header), sizeof header);
        }
        sized(d + "mp3-in-wav.wav", uintmax_t{256} << 20);
        ::mkfifo((d + "fifo.mp3").c_str(), 0600);
        if (!fs::is_symlink(d + "zero.mp3"))
            fs::create_symlink("/dev/zero", d + "zero.mp3");
        return d;
    }();
    return dir;
}

// Peak resident memory grown while `f` runs, in MB.
template <class F> double PeakGrowthMB(F&& f)
{
    std::ofstream("/proc/self/clear_refs") << "5";
    const long base = testmedia::StatusKb("VmRSS");
    f();
    return static_cast<double>(testmedia::StatusKb("VmHWM") - base) / 1024.0;
}

double Seconds(std::chrono::steady_clock::time_point t0)
{
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count();
}

// One iteration: one Open, refused or not, then Close.
void BM_OpenHostile(benchmark::State& state, const char* name)
{
    TMediaPlayer mp;
    mp.FileName = HostileDir() + name;
    double peak = 0, worst = 0;
    bool opened = false;
    for (auto _ : state) {
        const auto t0 = std::chrono::steady_clock::now();
        peak = std::max(peak, PeakGrowthMB([&] {
            try {
                mp.Open();
            } catch (const EMCIDeviceError&) {
            }
        }));
        const double took = Seconds(t0);
        state.SetIterationTime(took);
        worst = std::max(worst, took);
        opened = mp.Opened();
        mp.Close();
    }
    state.counters["worst_ms"] = worst * 1000;
    state.counters["peak_growth_MB"] = peak;
    state.counters["opened"] = opened;
}
BENCHMARK_CAPTURE(BM_OpenHostile, zeros_1GB, "zeros.mp3")
    ->UseManualTime()
    ->Iterations(5)
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_OpenHostile, mp3_in_wav_256MB, "mp3-in-wav.wav")
    ->UseManualTime()
    ->Iterations(5)
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_OpenHostile, song_then_1GB_zeros, "song-then-zeros.mp3")
    ->UseManualTime()
    ->Iterations(5)
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_OpenHostile, fifo, "fifo.mp3")
    ->UseManualTime()
    ->Iterations(5)
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_OpenHostile, link_to_dev_zero, "zero.mp3")
    ->UseManualTime()
    ->Iterations(5)
    ->Unit(benchmark::kMillisecond);

// One iteration: Play, Seek into the zeros, Play, and after `arg` ms the
// timed step: 0 Stop, 1 Close, 2 destruction.
void BM_EndInZeros(benchmark::State& state)
{
    const auto step = state.range(0);
    const auto after = std::chrono::milliseconds(state.range(1));
    double worst = 0, peak = 0;
    for (auto _ : state) {
        auto mp = std::make_unique<TMediaPlayer>();
        mp->FileName = HostileDir() + "song-then-zeros.mp3";
        mp->Open();
        double took = 0;
        peak = std::max(peak, PeakGrowthMB([&] {
            mp->Play();
            mp->Seek(mp->Length() / 2);
            mp->Play();
            std::this_thread::sleep_for(after);
            const auto t0 = std::chrono::steady_clock::now();
            if (step == 0)
                mp->Stop();
            else if (step == 1)
                mp->Close();
            else
                mp.reset();
            took = Seconds(t0);
        }));
        state.SetIterationTime(took);
        worst = std::max(worst, took);
    }
    state.counters["worst_ms"] = worst * 1000;
    state.counters["peak_growth_MB"] = peak;
}
BENCHMARK(BM_EndInZeros)
    ->ArgNames({"stop0_close1_destroy2", "after_ms"})
    ->ArgsProduct({{0, 1, 2}, {5, 40}})
    ->UseManualTime()
    ->Iterations(10)
    ->Unit(benchmark::kMillisecond);

} // namespace
