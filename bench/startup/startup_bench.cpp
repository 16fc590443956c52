// Start-up from outside the process, the real program beside a bare Qt
// window: each iteration starts the program on an X server (one Xvfb for the
// whole run, or $DISPLAY when STARTUP_BENCH_DISPLAY=1), reads the milestones
// the program writes to VELUMO_STARTUP_FD, lets the window idle for a second
// and reads its resident memory. The time reported is exec -> first paint;
// the counters give exec -> mapped, exec -> paint (mean and median), the idle
// RSS and, when it loaded, when the sound module was ready after exec.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <fcntl.h>
#include <fstream>
#include <map>
#include <poll.h>
#include <spawn.h>
#include <stdexcept>
#include <string>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

extern char** environ;

namespace {

constexpr int StampFd = 9; // the descriptor number the child writes to
constexpr int PaintLimitMs = 30000; // a start that takes longer has failed
constexpr int IdleMs = 1000; // time left idle before the memory is read

long long NowNs()
{
    timespec now { };
    ::clock_gettime(CLOCK_MONOTONIC, &now);
    return static_cast<long long>(now.tv_sec) * 1000000000LL + now.tv_nsec;
}

// A child with one pipe end placed at `childFd`; the rest of ours are closed
// in it by O_CLOEXEC.
pid_t Spawn(const std::vector<std::string>& args, const std::vector<std::string>& env, int pipeEnd, int childFd)
{
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, pipeEnd, childFd);
    const int devNull = ::open("/dev/null", O_WRONLY | O_CLOEXEC);
    posix_spawn_file_actions_adddup2(&actions, devNull, STDOUT_FILENO);
    posix_spawn_file_actions_adddup2(&actions, devNull, STDERR_FILENO);
    std::vector<char*> argv;
    for (const std::string& a : args)
        argv.push_back(const_cast<char*>(a.c_str()));
    argv.push_back(nullptr);
    std::vector<char*> envp;
    for (char** e = environ; *e; ++e)
        envp.push_back(*e);
    for (const std::string& e : env)
        envp.push_back(const_cast<char*>(e.c_str()));
    envp.push_back(nullptr);
    pid_t pid = 0;
    const int failed = ::posix_spawn(&pid, argv[0], &actions, nullptr, argv.data(), envp.data());
    posix_spawn_file_actions_destroy(&actions);
    ::close(devNull);
    if (failed != 0)
        throw std::runtime_error("starting " + args[0] + ": " + std::strerror(failed));
    return pid;
}

// Reads lines from fd until `until` has come or the time is up (ms).
void ReadStamps(int fd, std::string& buffer, std::map<std::string, long long>& stamps, const char* until, int ms)
{
    const long long end = NowNs() + ms * 1000000LL;
    while (until == nullptr || stamps.count(until) == 0) {
        const long long left = (end - NowNs()) / 1000000LL;
        if (left <= 0)
            return;
        pollfd p{fd, POLLIN, 0};
        if (::poll(&p, 1, static_cast<int>(left)) <= 0)
            continue;
        char chunk[256];
        const ssize_t n = ::read(fd, chunk, sizeof chunk);
        if (n <= 0)
            return; // the program has ended
        buffer.append(chunk, static_cast<size_t>(n));
        for (size_t eol; (eol = buffer.find('\n')) != std::string::npos; buffer.erase(0, eol + 1)) {
            const std::string line = buffer.substr(0, eol);
            const size_t space = line.find(' ');
            if (space != std::string::npos)
                stamps.emplace(line.substr(0, space), std::atoll(line.c_str() + space + 1));
        }
    }
}

double RssMb(pid_t pid)
{
    std::ifstream status("/proc/" + std::to_string(pid) + "/status");
    for (std::string line; std::getline(status, line);)
        if (line.rfind("VmRSS:", 0) == 0)
            return std::atof(line.c_str() + 6) / 1024.0;
    return 0;
}

// One Xvfb for the whole run; it says its display number when ready.
class TXServer {
public:
    TXServer()
    {
        if (std::getenv("STARTUP_BENCH_DISPLAY") && std::getenv("DISPLAY")) {
            display_ = std::getenv("DISPLAY");
            return;
        }
        int fds[2];
        if (::pipe2(fds, O_CLOEXEC) != 0)
            throw std::runtime_error("pipe for Xvfb");
        pid_ = Spawn({"/usr/bin/Xvfb", "-displayfd", "3", "-screen", "0", "1280x1024x24", "-nolisten", "tcp"},
            {}, fds[1], 3);
        ::close(fds[1]);
        std::string number;
        char c = 0;
        pollfd p{fds[0], POLLIN, 0};
        while (::poll(&p, 1, PaintLimitMs) > 0 && ::read(fds[0], &c, 1) == 1 && c != '\n')
            number += c;
        ::close(fds[0]);
        if (number.empty())
            throw std::runtime_error("Xvfb did not start");
        display_ = ":" + number;
    }
    ~TXServer()
    {
        if (pid_ > 0) {
            ::kill(pid_, SIGTERM);
            ::waitpid(pid_, nullptr, 0);
        }
    }
    const std::string& Display() const { return display_; }

private:
    pid_t pid_ = -1;
    std::string display_;
};

void StartUp(benchmark::State& state, const char* program, const char* extraEnv, bool song = false)
{
    static TXServer server;
    char workDir[] = "/tmp/startup-bench-XXXXXX";
    if (!::mkdtemp(workDir)) {
        state.SkipWithError("no temporary folder");
        return;
    }
    std::vector<std::string> args{program};
    if (song) {
        args.push_back(std::string(workDir) + "/song.mp3");
        const std::string make = "ffmpeg -nostdin -loglevel error -f lavfi -i sine=frequency=440:duration=60 -ac 2 "
                                 "-c:a libmp3lame -b:a 128k "
            + args.back();
        if (std::system(make.c_str()) != 0) {
            state.SkipWithError("ffmpeg could not make the song");
            return;
        }
    }
    const std::vector<std::string> env{"DISPLAY=" + server.Display(), "QT_QPA_PLATFORM=xcb",
        "VELUMO_STARTUP_FD=" + std::to_string(StampFd), std::string("XDG_RUNTIME_DIR=") + workDir,
        extraEnv};
    double mapped = 0, painted = 0, rss = 0, media = 0;
    std::vector<double> paints; // ms, for the median: one slow start moves the mean
    int mediaSeen = 0;
    for (auto _ : state) {
        int fds[2];
        if (::pipe2(fds, O_CLOEXEC) != 0) {
            state.SkipWithError("no pipe");
            break;
        }
        const long long exec = NowNs();
        const pid_t pid = Spawn(args, env, fds[1], StampFd);
        ::close(fds[1]);
        std::string buffer;
        std::map<std::string, long long> stamps;
        ReadStamps(fds[0], buffer, stamps, "painted", PaintLimitMs);
        const bool ok = stamps.count("painted") && stamps.count("mapped");
        if (ok) {
            ReadStamps(fds[0], buffer, stamps, nullptr, IdleMs);
            rss += RssMb(pid);
        }
        ::kill(pid, SIGKILL);
        ::waitpid(pid, nullptr, 0);
        ::close(fds[0]);
        if (!ok) {
            state.SkipWithError("the window was not painted");
            break;
        }
        const double paintS = (stamps["painted"] - exec) / 1e9;
        state.SetIterationTime(paintS);
        painted += paintS * 1e3;
        paints.push_back(paintS * 1e3);
        mapped += (stamps["mapped"] - exec) / 1e6;
        if (stamps.count("media")) {
            media += (stamps["media"] - exec) / 1e6;
            ++mediaSeen;
        }
    }
    const double n = static_cast<double>(state.iterations());
    state.counters["mapped_ms"] = mapped / n;
    state.counters["painted_ms"] = painted / n;
    if (!paints.empty()) {
        std::nth_element(paints.begin(), paints.begin() + paints.size() / 2, paints.end());
        state.counters["painted_median_ms"] = paints[paints.size() / 2];
    }
    state.counters["idle_rss_MB"] = rss / n;
    if (mediaSeen > 0)
        state.counters["media_ready_ms"] = media / mediaSeen;
    std::system((std::string("rm -rf ") + workDir).c_str());
}

} // namespace

BENCHMARK_CAPTURE(StartUp, bare_window, BARE_WINDOW_PROGRAM, "STARTUP_BENCH=1")
    ->Iterations(15)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond);
// No song: the sound module waits for the user to start opening one.
BENCHMARK_CAPTURE(StartUp, velumo, VELUMO_PROGRAM, "STARTUP_BENCH=1")
    ->Iterations(15)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond);
// A song on the command line: the module loads while the window is built.
BENCHMARK_CAPTURE(StartUp, velumo_with_song, VELUMO_PROGRAM, "STARTUP_BENCH=1", true)
    ->Iterations(15)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond);
// The media libraries loaded before the window, as a program linked with them is.
BENCHMARK_CAPTURE(StartUp, velumo_media_before_window, VELUMO_PROGRAM, "LD_PRELOAD=" MEDIA_MODULE)
    ->Iterations(15)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond);
