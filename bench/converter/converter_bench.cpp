// Cutting 30 s out of a 4-minute MP3: av against ffmpeg run directly with the
// equivalent options, alternating in one run so both see the same machine load.
// Also, with a stand-in ffmpeg: how long past its stall limit av takes to give
// up on a hung ffmpeg, and how soon ffmpeg dies after av is killed.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include <csignal>
#include <fcntl.h>
#include <fstream>
#include <map>
#include <poll.h>
#include <spawn.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

extern char** environ;

namespace fs = std::filesystem;

namespace {

// Runs a program to its end with stdin and stdout closed off; true on exit 0.
bool runQuiet(const std::vector<std::string>& args)
{
    posix_spawn_file_actions_t fa;
    posix_spawn_file_actions_init(&fa);
    posix_spawn_file_actions_addopen(&fa, 0, "/dev/null", O_RDONLY, 0);
    posix_spawn_file_actions_addopen(&fa, 1, "/dev/null", O_WRONLY, 0);
    std::vector<char*> argv;
    for (const auto& a : args)
        argv.push_back(const_cast<char*>(a.c_str()));
    argv.push_back(nullptr);
    pid_t pid = -1;
    const int rc = posix_spawnp(&pid, argv[0], &fa, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&fa);
    if (rc != 0)
        return false;
    int status = 0;
    waitpid(pid, &status, 0);
    return WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

struct Fixture {
    fs::path dir;
    fs::path source;
    Fixture()
    {
        std::string templ = (fs::temp_directory_path() / "av bench XXXXXX").string();
        if (!mkdtemp(templ.data()))
            std::abort();
        dir = templ;
        source = dir / "four minutes.mp3";
        // A tone under pink noise, 240 s, 44.1 kHz stereo at 192 kbit/s.
        if (!runQuiet({"ffmpeg", "-nostdin", "-v", "error", "-f", "lavfi", "-i",
                "sine=frequency=440:duration=240", "-f", "lavfi", "-i",
                "anoisesrc=color=pink:amplitude=0.2:duration=240", "-filter_complex", "amix=inputs=2", "-ar",
                "44100", "-ac", "2", "-c:a", "libmp3lame", "-b:a", "192k", source.string()}))
            std::abort();
    }
    ~Fixture() { fs::remove_all(dir); }
};

Fixture& fixture()
{
    static Fixture f;
    return f;
}

enum class Kind { Mp3, Amr, M4r, Ogg };

const char* extension(Kind k)
{
    switch (k) {
    case Kind::Amr:
        return ".amr";
    case Kind::M4r:
        return ".m4r";
    case Kind::Ogg:
        return ".ogg";
    case Kind::Mp3:
        break;
    }
    return ".mp3";
}

std::vector<std::string> avLine(Kind k, const fs::path& src, const fs::path& out)
{
    std::vector<std::string> a = {AV_PATH, "-i", src, "-ss", "00:02:00", "-t", "00:00:30"};
    if (k == Kind::Mp3)
        a.insert(a.end(), {"-acodec", "mp3", "-ab", "64", "-ac", "2"});
    else if (k == Kind::Amr)
        a.insert(a.end(), {"-f", "amr", "-acodec", "amr_nb", "-ab", "32", "-ac", "1", "-ar", "8000"});
    else if (k == Kind::M4r)
        a.insert(a.end(), {"-f", "ipod", "-acodec", "aac", "-ab", "128", "-ac", "2", "-ar", "44100"});
    else
        a.insert(a.end(), {"-f", "ogg", "-acodec", "vorbis", "-ab", "128", "-ac", "2", "-ar", "44100"});
    a.push_back(out);
    return a;
}

std::vector<std::string> ffmpegLine(Kind k, const fs::path& src, const fs::path& out)
{
    std::vector<std::string> a = {"ffmpeg", "-nostdin", "-hide_banner", "-loglevel", "error", "-n", "-i",
        "file:" + src.string(), "-ss", "120", "-t", "30", "-vn", "-sn", "-dn"};
    if (k == Kind::Mp3)
        a.insert(a.end(), {"-c:a", "libmp3lame", "-b:a", "64000", "-ac", "2", "-f", "mp3"});
    else if (k == Kind::Amr)
        a.insert(
            a.end(), {"-c:a", "libopencore_amrnb", "-b:a", "12200", "-ac", "1", "-ar", "8000", "-f", "amr"});
    else if (k == Kind::M4r)
        a.insert(a.end(), {"-c:a", "aac", "-b:a", "128000", "-ac", "2", "-ar", "44100", "-f", "ipod"});
    else
        a.insert(a.end(), {"-c:a", "libvorbis", "-b:a", "128000", "-ac", "2", "-ar", "44100", "-f", "ogg"});
    a.push_back("file:" + out.string());
    return a;
}

double timedRun(const std::vector<std::string>& args, const fs::path& out, benchmark::State& state)
{
    fs::remove(out);
    const auto t0 = std::chrono::steady_clock::now();
    const bool ok = runQuiet(args);
    const double s = std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count();
    if (!ok || !fs::exists(out))
        state.SkipWithError(("run failed: " + args[0]).c_str());
    fs::remove(out);
    return s;
}

// Each iteration runs ffmpeg directly, then av, on the same cut; the reported
// time is av's. Counters: mean and best of each, and av's overhead in %.
void BM_AvVersusFfmpeg(benchmark::State& state, Kind kind)
{
    Fixture& f = fixture();
    const char* ext = extension(kind);
    const fs::path outAv = f.dir / (std::string("av out") + ext);
    const fs::path outFf = f.dir / (std::string("ffmpeg out") + ext);
    std::vector<double> av, ff;
    for (auto _ : state) {
        ff.push_back(timedRun(ffmpegLine(kind, f.source, outFf), outFf, state));
        av.push_back(timedRun(avLine(kind, f.source, outAv), outAv, state));
        state.SetIterationTime(av.back());
    }
    if (av.empty())
        return;
    auto mean = [](const std::vector<double>& v) {
        double s = 0;
        for (double x : v)
            s += x;
        return s / static_cast<double>(v.size());
    };
    const double avMean = mean(av), ffMean = mean(ff);
    const double avBest = *std::min_element(av.begin(), av.end());
    const double ffBest = *std::min_element(ff.begin(), ff.end());
    state.counters["av_mean_s"] = avMean;
    state.counters["ffmpeg_mean_s"] = ffMean;
    state.counters["av_best_s"] = avBest;
    state.counters["ffmpeg_best_s"] = ffBest;
    state.counters["overhead_mean_pct"] = 100.0 * (avMean - ffMean) / ffMean;
    state.counters["overhead_best_pct"] = 100.0 * (avBest - ffBest) / ffBest;
}

// Starts a program with stdin, stdout and stderr on /dev/null and some
// environment variables replaced; -1 on failure.
pid_t start(const std::vector<std::string>& args, const std::map<std::string, std::string>& env)
{
    std::vector<std::string> vars;
    for (char** e = environ; *e; ++e) {
        const std::string kv = *e;
        if (!env.count(kv.substr(0, kv.find('='))))
            vars.push_back(kv);
    }
    for (const auto& [k, v] : env)
        vars.push_back(k + "=" + v);
    posix_spawn_file_actions_t fa;
    posix_spawn_file_actions_init(&fa);
    posix_spawn_file_actions_addopen(&fa, 0, "/dev/null", O_RDONLY, 0);
    posix_spawn_file_actions_addopen(&fa, 1, "/dev/null", O_WRONLY, 0);
    posix_spawn_file_actions_addopen(&fa, 2, "/dev/null", O_WRONLY, 0);
    std::vector<char*> argv, envp;
    for (const auto& a : args)
        argv.push_back(const_cast<char*>(a.c_str()));
    argv.push_back(nullptr);
    for (auto& v : vars)
        envp.push_back(v.data());
    envp.push_back(nullptr);
    pid_t pid = -1;
    const int rc = posix_spawn(&pid, argv[0], &fa, nullptr, argv.data(), envp.data());
    posix_spawn_file_actions_destroy(&fa);
    return rc == 0 ? pid : -1;
}

// A folder holding a stand-in ffmpeg that writes its pid to $AV_BENCH_MARKER
// and then hangs without a word.
fs::path hangingFfmpeg(const fs::path& dir)
{
    const fs::path bin = dir / "hanging bin";
    fs::create_directories(bin);
    std::ofstream(bin / "ffmpeg") << "#!/bin/sh\n"
                                     "echo $$ > \"$AV_BENCH_MARKER.new\"\n"
                                     "/bin/mv \"$AV_BENCH_MARKER.new\" \"$AV_BENCH_MARKER\"\n"
                                     "exec /bin/sleep 600\n";
    fs::permissions(bin / "ffmpeg", fs::perms::owner_all);
    return bin;
}

// Time from av's start to its end when ffmpeg hangs from the start; the
// counter is how far past the 0.5 s limit it gave up.
void BM_StallGiveUp(benchmark::State& state)
{
    Fixture& f = fixture();
    const fs::path bin = hangingFfmpeg(f.dir);
    const fs::path out = f.dir / "stall.mp3";
    std::vector<double> took;
    for (auto _ : state) {
        const auto t0 = std::chrono::steady_clock::now();
        const pid_t pid = start(avLine(Kind::Mp3, f.source, out),
            {{"PATH", bin.string()}, {"AV_STALL_SECONDS", "0.5"},
                {"AV_BENCH_MARKER", (f.dir / "stall pid").string()}});
        int status = 0;
        if (pid < 0 || waitpid(pid, &status, 0) != pid || !WIFEXITED(status) || WEXITSTATUS(status) != 11) {
            state.SkipWithError("av did not end with its stall status");
            break;
        }
        took.push_back(std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count());
        state.SetIterationTime(took.back());
    }
    if (!took.empty())
        state.counters["past_limit_best_ms"] = (*std::min_element(took.begin(), took.end()) - 0.5) * 1000;
}

// Time from SIGKILL to av until its ffmpeg has ended.
void BM_FfmpegEndsWithKilledAv(benchmark::State& state)
{
    Fixture& f = fixture();
    const fs::path bin = hangingFfmpeg(f.dir);
    const fs::path marker = f.dir / "orphan pid";
    for (auto _ : state) {
        fs::remove(marker);
        const pid_t av = start(avLine(Kind::Mp3, f.source, f.dir / "orphan.mp3"),
            {{"PATH", bin.string()}, {"AV_BENCH_MARKER", marker.string()}});
        while (av > 0 && !fs::exists(marker))
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        pid_t ffmpeg = -1;
        std::ifstream(marker) >> ffmpeg;
        const int ended = ffmpeg > 0 ? static_cast<int>(syscall(SYS_pidfd_open, ffmpeg, 0)) : -1;
        const auto t0 = std::chrono::steady_clock::now();
        if (av > 0) {
            kill(av, SIGKILL);
            waitpid(av, nullptr, 0);
        }
        pollfd p{ended, POLLIN, 0};
        const bool gone = ended >= 0 && poll(&p, 1, 5000) == 1;
        state.SetIterationTime(std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count());
        if (ended >= 0)
            close(ended);
        if (!gone) {
            if (ffmpeg > 0)
                kill(ffmpeg, SIGKILL);
            state.SkipWithError("ffmpeg outlived av");
            break;
        }
    }
    // The killed runs' folders go with the next run's sweep; here, by hand.
    for (const auto& e : fs::directory_iterator(f.dir))
        if (e.path().filename().string().rfind(".av-", 0) == 0)
            fs::remove_all(e.path());
}

BENCHMARK(BM_StallGiveUp)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(10);
BENCHMARK(BM_FfmpegEndsWithKilledAv)->UseManualTime()->Unit(benchmark::kMicrosecond)->Iterations(20);

BENCHMARK_CAPTURE(BM_AvVersusFfmpeg, mp3_cut_30s_of_4min, Kind::Mp3)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond)
    ->Iterations(20);
BENCHMARK_CAPTURE(BM_AvVersusFfmpeg, amr_cut_30s_of_4min, Kind::Amr)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond)
    ->Iterations(20);
BENCHMARK_CAPTURE(BM_AvVersusFfmpeg, m4r_cut_30s_of_4min, Kind::M4r)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond)
    ->Iterations(20);
BENCHMARK_CAPTURE(BM_AvVersusFfmpeg, ogg_cut_30s_of_4min, Kind::Ogg)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond)
    ->Iterations(20);

} // namespace
