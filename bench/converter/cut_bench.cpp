// Save as the user waits for it, av run alone:
// - BM_CutPosition/<s>: a 30 s MP3 cut at 0:10, 2:00 and 50:00 of a one-hour
//   MP3, seeking near the cut against decoding from the start, alternating
//   (counters: both means and seek_over_whole = seeking / from the start).
// - BM_ShapedSave: a 30 s cut with fades, the loudness measured and matched,
//   against a plain cut of the same selection (shaped_over_plain).
#include "Loudness.h"

#include <benchmark/benchmark.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

extern char** environ;

namespace fs = std::filesystem;

namespace {

bool runQuiet(const std::vector<std::string>& args, bool fromStart = false)
{
    posix_spawn_file_actions_t fa;
    posix_spawn_file_actions_init(&fa);
    posix_spawn_file_actions_addopen(&fa, 0, "/dev/null", O_RDONLY, 0);
    posix_spawn_file_actions_addopen(&fa, 1, "/dev/null", O_WRONLY, 0);
    std::vector<char*> argv, envp;
    for (const auto& a : args)
        argv.push_back(const_cast<char*>(a.c_str()));
    argv.push_back(nullptr);
    std::string flag = "AV_CUT_FROM_START=1";
    for (char** e = environ; *e; ++e)
        envp.push_back(*e);
    if (fromStart)
        envp.push_back(flag.data());
    envp.push_back(nullptr);
    pid_t pid = -1;
    const int rc = posix_spawnp(&pid, argv[0], &fa, nullptr, argv.data(), envp.data());
    posix_spawn_file_actions_destroy(&fa);
    if (rc != 0)
        return false;
    int status = 0;
    waitpid(pid, &status, 0);
    return WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

struct Fixture {
    fs::path dir, hour, song;
    Fixture()
    {
        std::string templ = (fs::temp_directory_path() / "cut bench XXXXXX").string();
        if (!mkdtemp(templ.data()))
            std::abort();
        dir = templ;
        hour = dir / "one hour.mp3";
        song = dir / "four minutes.mp3";
        // VBR with a Xing/LAME header, 44.1 kHz stereo, as most downloads are.
        if (!runQuiet({"ffmpeg", "-nostdin", "-v", "error", "-f", "lavfi", "-i",
                "sine=frequency=440:duration=3600", "-f", "lavfi", "-i",
                "anoisesrc=color=pink:amplitude=0.2:duration=3600", "-filter_complex", "amix=inputs=2", "-ar",
                "44100", "-ac", "2", "-c:a", "libmp3lame", "-q:a", "2", hour.string()})
            || !runQuiet({"ffmpeg", "-nostdin", "-v", "error", "-i", hour.string(), "-t", "240", "-c", "copy",
                song.string()}))
            std::abort();
    }
    ~Fixture() { fs::remove_all(dir); }
};

Fixture& fixture()
{
    static Fixture f;
    return f;
}

std::string clock(int s)
{
    char buf[16];
    std::snprintf(buf, sizeof buf, "%02d:%02d:%02d", s / 3600, s / 60 % 60, s % 60);
    return buf;
}

double timed(
    const std::vector<std::string>& args, const fs::path& out, benchmark::State& state, bool fromStart)
{
    fs::remove(out);
    const auto t0 = std::chrono::steady_clock::now();
    if (!runQuiet(args, fromStart))
        state.SkipWithError("av failed");
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count();
}

void BM_CutPosition(benchmark::State& state)
{
    Fixture& f = fixture();
    const fs::path out = f.dir / "cut.mp3";
    const std::vector<std::string> line
        = {AV_PATH, "-i", f.hour, "-ss", clock(static_cast<int>(state.range(0))), "-t", "00:00:30", "-acodec",
            "mp3", "-ab", "64", "-ac", "2", out};
    double seek = 0, whole = 0;
    for (auto _ : state) {
        whole += timed(line, out, state, true);
        const double s = timed(line, out, state, false);
        seek += s;
        state.SetIterationTime(s);
    }
    const auto n = static_cast<double>(state.iterations());
    state.counters["seek_ms"] = 1000 * seek / n;
    state.counters["from_start_ms"] = 1000 * whole / n;
    state.counters["seek_over_whole"] = seek / whole;
}
BENCHMARK(BM_CutPosition)
    ->Arg(10)
    ->Arg(120)
    ->Arg(3000)
    ->Unit(benchmark::kMillisecond)
    ->UseManualTime()
    ->Iterations(5);

void BM_ShapedSave(benchmark::State& state)
{
    Fixture& f = fixture();
    const fs::path out = f.dir / "ring.mp3";
    const std::vector<std::string> plain = {AV_PATH, "-i", f.song, "-ss", "00:00:20", "-t", "00:00:30",
        "-acodec", "mp3", "-ab", "64", "-ac", "2"};
    double shapedTotal = 0, plainTotal = 0;
    for (auto _ : state) {
        std::vector<std::string> line = plain;
        line.push_back(out);
        plainTotal += timed(line, out, state, false);
        fs::remove(out);
        const auto t0 = std::chrono::steady_clock::now();
        const ringtone::TLoudness l = ringtone::MeasureLoudness(f.song, 20000, 50000, 2);
        line = plain;
        line.insert(line.end(),
            {"-fadein", "2", "-fadeout", "3", "-gain",
                std::to_string(ringtone::MatchGainDb(l.IntegratedLufs, l.TruePeakDbtp)), "-limit", "-title",
                "Ring", out});
        if (!l.Ok || !runQuiet(line))
            state.SkipWithError("shaped save failed");
        const double s = std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count();
        shapedTotal += s;
        state.SetIterationTime(s);
    }
    const auto n = static_cast<double>(state.iterations());
    state.counters["shaped_ms"] = 1000 * shapedTotal / n;
    state.counters["plain_ms"] = 1000 * plainTotal / n;
    state.counters["shaped_over_plain"] = shapedTotal / plainTotal;
}
BENCHMARK(BM_ShapedSave)->Unit(benchmark::kMillisecond)->UseManualTime()->Iterations(10);

} // namespace
