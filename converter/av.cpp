// av: the ringtone converter front end. It takes the converter command line
// the export job builds and runs the installed `ffmpeg` (found on PATH) with
// the same meaning in today's syntax: -ab in kbit/s, -acodec mp3 = LAME,
// amr_nb = OpenCORE AMR-NB at its highest mode not above the request, -ss/-t
// applied after decoding so the cut is exact.
//
// It never reads its input, never overwrites a file and never leaves a
// partial target: ffmpeg writes into a private folder beside the target, and
// the finished file is moved into place by an operation that fails when the
// target exists. On failure it prints one line "av: ..." on stderr.
//
// Exit status:
//    0  the target was written
//    1  internal failure of av (pipe, poll, wait)
//    2  bad command line: unknown option, missing or malformed value, empty target
//    3  refused time range: start before 0, negative or zero length
//    4  source empty, missing, unreadable or not a regular file
//    5  the target already exists (it is left untouched)
//    6  the target's folder is unusable, or moving the result into place failed
//    7  ffmpeg is not installed (not on PATH) or cannot be run
//    8  the installed ffmpeg has no encoder for the requested codec
//    9  ffmpeg failed to convert (damaged source, full disk, ...)
//   10  the cut holds no audio: it starts at or past the end of the source
//   killed by SIGINT/SIGTERM/SIGHUP/SIGQUIT when one of those arrived (after cleaning up)

#include "av_args.h"

#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include <fcntl.h>
#include <poll.h>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

extern char** environ;

namespace {

using av::quoted;

struct Failure {
    av::Exit code;
    std::string message;
};

struct Interrupted {
    int signal;
};

[[noreturn]] void fail(av::Exit code, std::string message)
{
    throw Failure{code, std::move(message)};
}

std::string errnoText(int err)
{
    return std::strerror(err);
}

class UniqueFd {
public:
    UniqueFd() = default;
    explicit UniqueFd(int fd)
        : fd_(fd)
    {
    }
    UniqueFd(UniqueFd&& o) noexcept
        : fd_(o.release())
    {
    }
    UniqueFd& operator=(UniqueFd&& o) noexcept
    {
        reset(o.release());
        return *this;
    }
    UniqueFd(const UniqueFd&) = delete;
    UniqueFd& operator=(const UniqueFd&) = delete;
    ~UniqueFd() { reset(); }
    int get() const { return fd_; }
    int release()
    {
        int fd = fd_;
        fd_ = -1;
        return fd;
    }
    void reset(int fd = -1)
    {
        if (fd_ >= 0)
            ::close(fd_);
        fd_ = fd;
    }

private:
    int fd_ = -1;
};

struct Pipe {
    UniqueFd read, write;
};

Pipe makePipe(const char* what)
{
    int fds[2];
    if (::pipe2(fds, O_CLOEXEC) != 0)
        fail(av::ExitInternal, std::string("creating the pipe for ") + what + " failed: " + errnoText(errno));
    return {UniqueFd(fds[0]), UniqueFd(fds[1])};
}

// Signals that end av: the handler only reports them through a pipe, so the
// main loop can stop ffmpeg and clean up before dying of the same signal.
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

class SignalWatch {
public:
    SignalWatch()
    {
        int fds[2];
        if (::pipe2(fds, O_CLOEXEC | O_NONBLOCK) != 0)
            fail(av::ExitInternal, "creating the signal pipe failed: " + errnoText(errno));
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
    ~SignalWatch()
    {
        for (int s : kEndSignals)
            ::signal(s, SIG_DFL);
        g_signalPipe = -1;
    }
    SignalWatch(const SignalWatch&) = delete;
    SignalWatch& operator=(const SignalWatch&) = delete;

    int fd() const { return read_.get(); }
    // The last signal received since the previous call, or 0.
    int take()
    {
        unsigned char b = 0;
        int sig = 0;
        while (::read(read_.get(), &b, 1) == 1)
            sig = b;
        return sig;
    }

private:
    UniqueFd read_, write_;
};

// A private folder beside the target holding ffmpeg's output until it is
// complete; removed with its content on every way out.
class WorkArea {
public:
    explicit WorkArea(const std::string& folder)
    {
        std::string templ = folder + "/.av-XXXXXX";
        if (!::mkdtemp(templ.data()))
            fail(av::ExitTargetWrite,
                "creating a temporary folder in the target's folder " + quoted(folder)
                    + " failed: " + errnoText(errno));
        dir_ = templ;
        file_ = dir_ + "/ringtone.part";
    }
    ~WorkArea()
    {
        ::unlink(file_.c_str());
        ::rmdir(dir_.c_str());
    }
    WorkArea(const WorkArea&) = delete;
    WorkArea& operator=(const WorkArea&) = delete;
    const std::string& file() const { return file_; }

private:
    std::string dir_, file_;
};

std::string folderOf(const std::string& path)
{
    const auto slash = path.rfind('/');
    if (slash == std::string::npos)
        return ".";
    if (slash == 0)
        return "/";
    return path.substr(0, slash);
}

void checkSource(const std::string& source)
{
    // O_NONBLOCK: a FIFO must not make us wait for a writer.
    UniqueFd fd(::open(source.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK));
    if (fd.get() < 0)
        fail(av::ExitSource, "opening the source " + quoted(source) + " failed: " + errnoText(errno));
    struct stat st { };
    if (::fstat(fd.get(), &st) != 0)
        fail(av::ExitSource, "reading the source " + quoted(source) + " failed: " + errnoText(errno));
    if (!S_ISREG(st.st_mode))
        fail(av::ExitSource, "the source " + quoted(source) + " is not a regular file");
}

void checkTargetAbsent(const std::string& target)
{
    struct stat st { };
    if (::lstat(target.c_str(), &st) == 0)
        fail(av::ExitTargetExists, "the target " + quoted(target) + " already exists; it was left as it is");
    if (errno != ENOENT)
        fail(av::ExitTargetWrite, "checking the target " + quoted(target) + " failed: " + errnoText(errno));
}

// Copies into a newly created target; used where the file system has neither
// no-replace rename nor hard links.
int copyExclusive(const std::string& from, const std::string& to)
{
    UniqueFd in(::open(from.c_str(), O_RDONLY | O_CLOEXEC));
    if (in.get() < 0)
        return errno;
    UniqueFd out(::open(to.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666));
    if (out.get() < 0)
        return errno;
    std::vector<char> buf(1 << 16);
    int err = 0;
    for (;;) {
        const ssize_t n = ::read(in.get(), buf.data(), buf.size());
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0) {
            err = n < 0 ? errno : 0;
            break;
        }
        for (ssize_t done = 0; done < n && err == 0;) {
            const ssize_t w = ::write(out.get(), buf.data() + done, static_cast<std::size_t>(n - done));
            if (w < 0 && errno != EINTR)
                err = errno;
            else if (w > 0)
                done += w;
        }
        if (err)
            break;
    }
    if (err == 0 && ::close(out.release()) != 0)
        err = errno;
    if (err != 0)
        ::unlink(to.c_str()); // ours: created above with O_EXCL
    return err;
}

void moveIntoPlace(const std::string& from, const std::string& to)
{
    int err = 0;
    if (::renameat2(AT_FDCWD, from.c_str(), AT_FDCWD, to.c_str(), RENAME_NOREPLACE) == 0)
        return;
    err = errno;
    if (err == EINVAL || err == ENOSYS || err == EOPNOTSUPP) {
        if (::link(from.c_str(), to.c_str()) == 0)
            return; // the work area removes the old name
        err = errno;
        if (err == EPERM || err == EOPNOTSUPP || err == EMLINK)
            err = copyExclusive(from, to);
    }
    if (err == 0)
        return;
    if (err == EEXIST)
        fail(av::ExitTargetExists,
            "the target " + quoted(to) + " appeared while converting; it was left as it is");
    fail(av::ExitTargetWrite,
        "moving the finished file into place as " + quoted(to) + " failed: " + errnoText(err));
}

struct FfmpegRun {
    int status = 0; // waitpid status
    std::string errors; // ffmpeg's stderr (tail)
    long long lastOutTimeUs = -1; // from -progress; -1 when none was reported
};

class SpawnActions {
public:
    SpawnActions() { posix_spawn_file_actions_init(&a_); }
    ~SpawnActions() { posix_spawn_file_actions_destroy(&a_); }
    SpawnActions(const SpawnActions&) = delete;
    SpawnActions& operator=(const SpawnActions&) = delete;
    posix_spawn_file_actions_t* get() { return &a_; }

private:
    posix_spawn_file_actions_t a_;
};

class SpawnAttr {
public:
    SpawnAttr() { posix_spawnattr_init(&a_); }
    ~SpawnAttr() { posix_spawnattr_destroy(&a_); }
    SpawnAttr(const SpawnAttr&) = delete;
    SpawnAttr& operator=(const SpawnAttr&) = delete;
    posix_spawnattr_t* get() { return &a_; }

private:
    posix_spawnattr_t a_;
};

void takeLines(std::string& buffer, long long& outTimeUs)
{
    std::size_t start = 0;
    for (std::size_t nl; (nl = buffer.find('\n', start)) != std::string::npos; start = nl + 1) {
        const std::string_view line(buffer.data() + start, nl - start);
        constexpr std::string_view key = "out_time_us=";
        if (line.starts_with(key)) {
            long long v = 0;
            if (std::sscanf(std::string(line.substr(key.size())).c_str(), "%lld", &v) == 1)
                outTimeUs = v;
        }
    }
    buffer.erase(0, start);
}

FfmpegRun runFfmpeg(const std::vector<std::string>& args, SignalWatch& signals)
{
    Pipe out = makePipe("ffmpeg's progress");
    Pipe err = makePipe("ffmpeg's messages");

    SpawnActions actions;
    posix_spawn_file_actions_addopen(actions.get(), 0, "/dev/null", O_RDONLY, 0);
    posix_spawn_file_actions_adddup2(actions.get(), out.write.get(), 1);
    posix_spawn_file_actions_adddup2(actions.get(), err.write.get(), 2);

    SpawnAttr attr;
    sigset_t none, defaults;
    sigemptyset(&none);
    sigemptyset(&defaults);
    for (int s : kEndSignals)
        sigaddset(&defaults, s);
    sigaddset(&defaults, SIGPIPE);
    posix_spawnattr_setsigmask(attr.get(), &none);
    posix_spawnattr_setsigdefault(attr.get(), &defaults);
    posix_spawnattr_setflags(attr.get(), POSIX_SPAWN_SETSIGMASK | POSIX_SPAWN_SETSIGDEF);

    std::vector<char*> argv;
    for (const auto& a : args)
        argv.push_back(const_cast<char*>(a.c_str()));
    argv.push_back(nullptr);

    if (const int sig = signals.take())
        throw Interrupted{sig};
    pid_t pid = -1;
    const int rc = ::posix_spawnp(&pid, "ffmpeg", actions.get(), attr.get(), argv.data(), environ);
    if (rc == ENOENT)
        fail(av::ExitNoFfmpeg,
            "starting ffmpeg failed: ffmpeg is not installed or not on PATH "
            "(install the Debian packages ffmpeg and libavcodec-extra)");
    if (rc != 0)
        fail(av::ExitNoFfmpeg, "starting ffmpeg failed: " + errnoText(rc));
    out.write.reset();
    err.write.reset();

    FfmpegRun run;
    std::string progress;
    int received = 0;
    bool outOpen = true, errOpen = true;
    char buf[4096];
    while (outOpen || errOpen) {
        pollfd fds[3] = {{signals.fd(), POLLIN, 0}, {outOpen ? out.read.get() : -1, POLLIN, 0},
            {errOpen ? err.read.get() : -1, POLLIN, 0}};
        if (::poll(fds, 3, -1) < 0) {
            if (errno == EINTR)
                continue;
            ::kill(pid, SIGKILL);
            ::waitpid(pid, nullptr, 0);
            fail(av::ExitInternal, "waiting for ffmpeg's output failed: " + errnoText(errno));
        }
        if (fds[0].revents) {
            if (const int sig = signals.take()) {
                // A second signal means "now": do not wait for ffmpeg's trailer.
                ::kill(pid, received ? SIGKILL : sig);
                received = sig;
            }
        }
        if (outOpen && fds[1].revents) {
            const ssize_t n = ::read(out.read.get(), buf, sizeof buf);
            if (n > 0) {
                progress.append(buf, static_cast<std::size_t>(n));
                takeLines(progress, run.lastOutTimeUs);
            } else if (n == 0 || errno != EINTR) {
                outOpen = false;
            }
        }
        if (errOpen && fds[2].revents) {
            const ssize_t n = ::read(err.read.get(), buf, sizeof buf);
            if (n > 0) {
                run.errors.append(buf, static_cast<std::size_t>(n));
                constexpr std::size_t keep = 16384;
                if (run.errors.size() > 2 * keep)
                    run.errors.erase(0, run.errors.size() - keep);
            } else if (n == 0 || errno != EINTR) {
                errOpen = false;
            }
        }
    }
    while (::waitpid(pid, &run.status, 0) < 0) {
        if (errno != EINTR)
            fail(av::ExitInternal, "waiting for ffmpeg to end failed: " + errnoText(errno));
        if (const int sig = signals.take()) {
            ::kill(pid, received ? SIGKILL : sig);
            received = sig;
        }
    }
    if (const int sig = signals.take())
        received = sig;
    if (received)
        throw Interrupted{received};
    return run;
}

void replaceAll(std::string& text, const std::string& from, const std::string& to)
{
    if (from.empty())
        return;
    for (std::size_t at = 0; (at = text.find(from, at)) != std::string::npos; at += to.size())
        text.replace(at, from.size(), to);
}

// The last non-empty line of ffmpeg's messages, with our private names
// replaced by the user's.
std::string lastLine(std::string text, const av::Job& job, const std::string& work)
{
    replaceAll(text, "file:" + work, job.target);
    replaceAll(text, "file:" + job.source, job.source);
    while (!text.empty() && (text.back() == '\n' || text.back() == '\r' || text.back() == ' '))
        text.pop_back();
    const auto nl = text.find_last_of("\r\n");
    if (nl != std::string::npos)
        text.erase(0, nl + 1);
    if (text.empty())
        return "no message";
    const std::string q = quoted(text);
    return q.substr(1, q.size() - 2);
}

std::vector<std::string> ffmpegArgs(const av::Job& job, const std::string& work)
{
    const bool amr = job.codec == av::Codec::AmrNb;
    // "file:" keeps names like "-x.mp3", "pipe:0" or "a:b.mp3" plain files.
    std::vector<std::string> a = {"ffmpeg", "-nostdin", "-hide_banner", "-loglevel", "error", "-nostats",
        "-progress", "pipe:1", "-n", "-i", "file:" + job.source, "-ss", std::to_string(job.startSeconds)};
    if (job.lengthSeconds) {
        a.push_back("-t");
        a.push_back(std::to_string(*job.lengthSeconds));
    }
    a.insert(a.end(), {"-vn", "-sn", "-dn", "-c:a", amr ? "libopencore_amrnb" : "libmp3lame"});
    if (job.bitRate > 0) {
        a.push_back("-b:a");
        a.push_back(std::to_string(job.bitRate));
    }
    if (job.channels) {
        a.push_back("-ac");
        a.push_back(std::to_string(*job.channels));
    }
    if (job.sampleRate) {
        a.push_back("-ar");
        a.push_back(std::to_string(*job.sampleRate));
    }
    a.insert(a.end(), {"-f", amr ? "amr" : "mp3", "file:" + work});
    return a;
}

void convert(const av::Job& job)
{
    checkSource(job.source);
    checkTargetAbsent(job.target);

    SignalWatch signals;
    WorkArea work(folderOf(job.target));
    const FfmpegRun run = runFfmpeg(ffmpegArgs(job, work.file()), signals);

    const bool amr = job.codec == av::Codec::AmrNb;
    if (!WIFEXITED(run.status) || WEXITSTATUS(run.status) != 0) {
        const std::string why = lastLine(run.errors, job, work.file());
        if (run.errors.find("Unknown encoder") != std::string::npos
            || run.errors.find("Encoder not found") != std::string::npos)
            fail(av::ExitNoEncoder,
                std::string("the installed ffmpeg has no ")
                    + (amr ? "AMR-NB encoder (install libavcodec-extra)"
                           : "MP3 encoder (install ffmpeg with libmp3lame)")
                    + ": " + why);
        const std::string how = WIFEXITED(run.status)
            ? "exit status " + std::to_string(WEXITSTATUS(run.status))
            : "signal " + std::to_string(WTERMSIG(run.status));
        fail(av::ExitConvert,
            "converting " + quoted(job.source) + " with ffmpeg failed (" + how + "): " + why);
    }
    // Under 0.1 s of output (an encoder flush frame at most): the cut lies
    // past the end of the source.
    if (run.lastOutTimeUs >= 0 && run.lastOutTimeUs < 100000)
        fail(av::ExitNothingCut,
            "the cut starting at " + job.startText + " holds no audio: the source " + quoted(job.source)
                + " ends before it");

    moveIntoPlace(work.file(), job.target);
}

} // namespace

int main(int argc, char** argv)
{
    std::vector<std::string> args(argv + (argc > 0 ? 1 : 0), argv + argc);
    int interrupted = 0;
    try {
        auto parsed = av::parseArgs(args);
        if (auto* e = std::get_if<av::ArgError>(&parsed)) {
            std::fprintf(stderr, "av: %s\n", e->message.c_str());
            return e->code;
        }
        convert(std::get<av::Job>(parsed));
        return av::ExitOk;
    } catch (const Failure& f) {
        std::fprintf(stderr, "av: %s\n", f.message.c_str());
        return f.code;
    } catch (const Interrupted& i) {
        interrupted = i.signal; // the work area is gone by now
    } catch (const std::exception& e) {
        std::fprintf(stderr, "av: internal failure: %s\n", e.what());
        return av::ExitInternal;
    }
    std::fprintf(stderr, "av: interrupted by signal %d; nothing was written\n", interrupted);
    std::signal(interrupted, SIG_DFL);
    std::raise(interrupted);
    return 128 + interrupted;
}
