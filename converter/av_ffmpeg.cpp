#include "av_ffmpeg.h"

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <csignal>
#include <cstdio>
#include <cstdlib>

#include <fcntl.h>
#include <poll.h>
#include <sys/prctl.h>
#include <sys/syscall.h>
#include <sys/wait.h>

namespace av {
namespace {

struct Pipe {
    UniqueFd read, write;
};

Pipe makePipe(const char* what)
{
    int fds[2];
    if (::pipe2(fds, O_CLOEXEC) != 0)
        fail(ExitInternal, std::string("creating the pipe for ") + what + " failed: " + errnoText(errno));
    return {UniqueFd(fds[0]), UniqueFd(fds[1])};
}

constexpr int kEndSignals[] = {SIGINT, SIGTERM, SIGHUP, SIGQUIT};
volatile sig_atomic_t g_signalPipe = -1;

extern "C" void onEndSignal(int sig)
{
    const int saved = errno;
    const unsigned char b = static_cast<unsigned char>(sig);
    if (g_signalPipe >= 0) [[maybe_unused]]
        auto n = ::write(g_signalPipe, &b, 1);
    errno = saved;
}

// Reads ffmpeg's "-progress" blocks; true when a block showed it advancing:
// more audio out or more bytes written, or any block before the first audio
// comes out (while it decodes its way to the start of the cut).
bool takeProgress(std::string& buffer, Progress& p)
{
    bool advanced = false;
    Progress next = p;
    std::size_t start = 0;
    for (std::size_t nl; (nl = buffer.find('\n', start)) != std::string::npos; start = nl + 1) {
        const std::string line(buffer, start, nl - start);
        long long v = 0;
        if (std::sscanf(line.c_str(), "out_time_us=%lld", &v) == 1)
            next.outTimeUs = v;
        else if (std::sscanf(line.c_str(), "total_size=%lld", &v) == 1)
            next.totalSize = v;
        else if (line.starts_with("progress=")) {
            advanced = advanced || next.outTimeUs <= 0 || next.outTimeUs > p.outTimeUs
                || next.totalSize > p.totalSize;
            next.ended = line == "progress=end";
            p = next;
        }
    }
    buffer.erase(0, start);
    return advanced;
}

void moveFd(int from, int to)
{
    if (from == to)
        ::fcntl(to, F_SETFD, 0); // keep it open across exec
    else
        ::dup2(from, to);
}

// Starts ffmpeg with stdin on `in` (-1: /dev/null) and stdout/stderr on the
// given pipes; keep (not -1, above 2) stays open. It gets SIGKILL when av
// ends in any way, so it never outlives av.
pid_t startFfmpeg(const std::vector<std::string>& args, int out, int err, int keep, int in)
{
    std::vector<char*> argv;
    for (const auto& a : args)
        argv.push_back(const_cast<char*>(a.c_str()));
    argv.push_back(nullptr);
    UniqueFd devNull(::open("/dev/null", O_RDONLY | O_CLOEXEC));
    if (devNull.get() < 0)
        fail(ExitInternal, "opening /dev/null for ffmpeg failed: " + errnoText(errno));
    Pipe execError = makePipe("ffmpeg's start");

    // Signals stay blocked until the child has dropped av's handlers.
    sigset_t all, old;
    sigfillset(&all);
    ::sigprocmask(SIG_SETMASK, &all, &old);
    const pid_t parent = ::getpid();
    const pid_t pid = ::fork();
    if (pid == 0) {
        // Only async-signal-safe calls until exec.
        struct sigaction dfl { };
        dfl.sa_handler = SIG_DFL;
        for (int s : kEndSignals)
            ::sigaction(s, &dfl, nullptr);
        ::sigaction(SIGPIPE, &dfl, nullptr);
        sigset_t none;
        sigemptyset(&none);
        ::sigprocmask(SIG_SETMASK, &none, nullptr);
        int e = 0;
        if (::prctl(PR_SET_PDEATHSIG, SIGKILL) != 0)
            e = errno;
        else if (::getppid() != parent)
            ::_exit(127); // av already gone
        if (e == 0) {
            moveFd(in >= 0 ? in : devNull.get(), 0);
            moveFd(out, 1);
            moveFd(err, 2);
            if (keep > 2)
                moveFd(keep, keep);
            ::execvp("ffmpeg", argv.data());
            e = errno;
        }
        [[maybe_unused]] auto n = ::write(execError.write.get(), &e, sizeof e);
        ::_exit(127);
    }
    const int forkError = errno;
    ::sigprocmask(SIG_SETMASK, &old, nullptr);
    if (pid < 0)
        fail(ExitNoFfmpeg, "starting ffmpeg failed: " + errnoText(forkError));
    execError.write.reset();
    int e = 0;
    ssize_t n;
    while ((n = ::read(execError.read.get(), &e, sizeof e)) < 0 && errno == EINTR) { }
    if (n == static_cast<ssize_t>(sizeof e)) {
        while (::waitpid(pid, nullptr, 0) < 0 && errno == EINTR) { }
        if (e == ENOENT)
            fail(ExitNoFfmpeg,
                "starting ffmpeg failed: ffmpeg is not installed or not on PATH "
                "(install the Debian packages ffmpeg and libavcodec-extra)");
        fail(ExitNoFfmpeg, "starting ffmpeg failed: " + errnoText(e));
    }
    return pid;
}

std::string secondsText(std::chrono::milliseconds ms)
{
    char buf[32];
    std::snprintf(buf, sizeof buf, "%g s", static_cast<double>(ms.count()) / 1000);
    return buf;
}

// Reads what a pipe holds; false once it is closed.
bool drain(int fd, std::string& into)
{
    char buf[4096];
    for (;;) {
        const ssize_t n = ::read(fd, buf, sizeof buf);
        if (n > 0)
            into.append(buf, static_cast<std::size_t>(n));
        else if (n < 0 && errno == EINTR)
            continue;
        else
            return n < 0 && errno == EAGAIN;
    }
}

// ffmpeg 5.1 may exit 0 after these: the file it wrote is then incomplete.
constexpr const char* kWriteErrors[] = {"Error writing trailer", "Error closing file",
    "Error submitting a packet to the muxer", "av_interleaved_write_frame()", "Error muxing"};
constexpr const char* kDiskFull[] = {"No space left on device", "Disk quota exceeded"};

// Looks for write failures in the first `upTo` bytes of the kept messages
// (whole lines only matter: a marker is short and the tail keeps 16 KiB).
void noteWriteErrors(FfmpegRun& run, std::size_t upTo)
{
    const std::string_view text(run.errors.data(), std::min(upTo, run.errors.size()));
    for (const char* m : kWriteErrors)
        run.writeFailed = run.writeFailed || text.find(m) != std::string_view::npos;
    for (const char* m : kDiskFull)
        run.diskFull = run.diskFull || text.find(m) != std::string_view::npos;
    run.writeFailed = run.writeFailed || run.diskFull;
}

} // namespace

SignalWatch::SignalWatch()
{
    int fds[2];
    if (::pipe2(fds, O_CLOEXEC | O_NONBLOCK) != 0)
        fail(ExitInternal, "creating the signal pipe failed: " + errnoText(errno));
    read_.reset(fds[0]);
    write_.reset(fds[1]);
    g_signalPipe = write_.get();
    struct sigaction sa { };
    sa.sa_handler = onEndSignal;
    sigemptyset(&sa.sa_mask);
    sa.sa_flags = 0; // no SA_RESTART: waits return EINTR and look at the pipe
    for (int s : kEndSignals)
        ::sigaction(s, &sa, nullptr);
    ::signal(SIGPIPE, SIG_IGN);
}

SignalWatch::~SignalWatch()
{
    for (int s : kEndSignals)
        ::signal(s, SIG_DFL);
    g_signalPipe = -1;
}

int SignalWatch::take()
{
    unsigned char b = 0;
    int sig = 0;
    while (::read(read_.get(), &b, 1) == 1)
        sig = b;
    return sig;
}

// The stall limit: AV_STALL_SECONDS when it is a number of seconds above 0,
// else 30 s.
std::chrono::milliseconds stallLimit()
{
    if (const char* text = std::getenv("AV_STALL_SECONDS")) {
        char* end = nullptr;
        const double s = std::strtod(text, &end);
        if (end != text && *end == '\0' && std::isfinite(s) && s > 0 && s <= 86400)
            return std::chrono::milliseconds(std::max(1LL, std::llround(s * 1000)));
    }
    return std::chrono::seconds(30);
}

FfmpegRun runFfmpeg(const std::vector<std::string>& args, SignalWatch& signals, int keepFd, int inputFd)
{
    using Clock = std::chrono::steady_clock;
    Pipe out = makePipe("ffmpeg's progress");
    Pipe err = makePipe("ffmpeg's messages");
    // Non-blocking on av's side only: what is left after ffmpeg ended is read
    // without waiting for whoever else may hold the pipes.
    ::fcntl(out.read.get(), F_SETFL, O_NONBLOCK);
    ::fcntl(err.read.get(), F_SETFL, O_NONBLOCK);

    if (const int sig = signals.take())
        throw Interrupted{sig};
    const std::chrono::milliseconds limit = stallLimit();
    const pid_t pid = startFfmpeg(args, out.write.get(), err.write.get(), keepFd, inputFd);
    out.write.reset();
    err.write.reset();
    // Wakes the loop when ffmpeg ends; without it the loop looks every 100 ms.
    UniqueFd ended(static_cast<int>(::syscall(SYS_pidfd_open, pid, 0)));

    FfmpegRun run;
    std::string progress, errors;
    int received = 0;
    bool outOpen = true, errOpen = true, exited = false;
    auto lastAdvance = Clock::now();
    auto takeOutput = [&] {
        if (outOpen) {
            outOpen = drain(out.read.get(), progress);
            if (takeProgress(progress, run.progress))
                lastAdvance = Clock::now();
        }
        if (errOpen) {
            errOpen = drain(err.read.get(), run.errors);
            constexpr std::size_t keep = 16384;
            if (run.errors.size() > 2 * keep) {
                noteWriteErrors(run, run.errors.size() - keep);
                run.errors.erase(0, run.errors.size() - keep);
            }
        }
    };
    while (!exited) {
        const auto stalled = Clock::now() - lastAdvance;
        if (stalled >= limit) {
            ::kill(pid, SIGKILL);
            while (::waitpid(pid, nullptr, 0) < 0 && errno == EINTR) { }
            const double at = static_cast<double>(std::max(0LL, run.progress.outTimeUs)) / 1e6;
            char where[64];
            std::snprintf(where, sizeof where, "%.1f", at);
            fail(ExitStalled,
                "ffmpeg made no progress for " + secondsText(limit) + " (stuck after " + where
                    + " s of the ringtone); it was stopped and nothing was written");
        }
        auto wait = std::chrono::ceil<std::chrono::milliseconds>(limit - stalled);
        if (ended.get() < 0)
            wait = std::min(wait, std::chrono::milliseconds(100));
        pollfd fds[4] = {{signals.fd(), POLLIN, 0}, {outOpen ? out.read.get() : -1, POLLIN, 0},
            {errOpen ? err.read.get() : -1, POLLIN, 0}, {ended.get(), POLLIN, 0}};
        if (::poll(fds, 4, static_cast<int>(wait.count())) < 0 && errno != EINTR) {
            const int e = errno;
            ::kill(pid, SIGKILL);
            ::waitpid(pid, nullptr, 0);
            fail(ExitInternal, "waiting for ffmpeg's output failed: " + errnoText(e));
        }
        if (const int sig = signals.take()) {
            // A second signal means "now": do not wait for ffmpeg's trailer.
            ::kill(pid, received ? SIGKILL : sig);
            received = sig;
        }
        takeOutput();
        const pid_t w = ::waitpid(pid, &run.status, WNOHANG);
        if (w < 0 && errno != EINTR)
            fail(ExitInternal, "waiting for ffmpeg to end failed: " + errnoText(errno));
        exited = w == pid;
    }
    takeOutput(); // what ffmpeg wrote just before it ended
    noteWriteErrors(run, run.errors.size());
    if (const int sig = signals.take())
        received = sig;
    if (received)
        throw Interrupted{received};
    return run;
}

} // namespace av
