// av: the ringtone converter front end. It takes the converter command line
// the export job builds and runs the installed `ffmpeg` (found on PATH) with
// the same meaning in today's syntax: -ab in kbit/s, -acodec mp3 = LAME,
// amr_nb = OpenCORE AMR-NB at its highest mode not above the request,
// aac = ffmpeg's AAC-LC encoder in the iPod MP4 format (-f ipod, .m4r),
// vorbis = libvorbis in Ogg (-f ogg), -ss/-t applied after decoding so the
// cut is exact.
//
// It never reads its input, never overwrites a file and never leaves a
// partial target: ffmpeg writes into a private folder beside the target, and
// the finished file is checked (not empty, the container's signature, the
// duration ffmpeg reported within the cut, for constant-rate codecs a size
// that fits that duration) and moved into place by an operation that fails
// when the target exists. On failure it prints one line
// "av: ..." on stderr.
//
// ffmpeg dies with av, also when av is killed outright (parent-death signal).
// A private folder is named ".av-<pid>-<start>-XXXXXX" after its owner (pid
// and start time in clock ticks since boot, so a reused pid is no owner);
// each run removes the folders beside its target whose owner has ended, when
// they hold nothing but av's partial file.
//
// ffmpeg is given up on when its progress has not advanced for 30 s (a
// stall, not a limit on the whole run); the environment variable
// AV_STALL_SECONDS sets another limit in seconds (fractions allowed).
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
//    9  ffmpeg failed to convert (damaged source, full disk, ...), or it
//       reported success without writing a sound file of the expected kind
//   10  the cut holds no audio: it starts at or past the end of the source
//   11  ffmpeg stalled: no progress for the stall limit; it was stopped
//   killed by SIGINT/SIGTERM/SIGHUP/SIGQUIT when one of those arrived (after cleaning up)

#include "av_args.h"

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <chrono>
#include <cmath>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include <dirent.h>
#include <fcntl.h>
#include <poll.h>
#include <sys/prctl.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <unistd.h>

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

// A process as /proc shows it: its start time in clock ticks since boot,
// and whether it has ended (a zombie waiting to be reaped).
struct ProcessState {
    unsigned long long start = 0;
    bool ended = false;
};

std::optional<ProcessState> processState(pid_t pid)
{
    UniqueFd fd(::open(("/proc/" + std::to_string(pid) + "/stat").c_str(), O_RDONLY | O_CLOEXEC));
    if (fd.get() < 0)
        return std::nullopt;
    char buf[4096];
    const ssize_t n = ::read(fd.get(), buf, sizeof buf - 1);
    if (n <= 0)
        return std::nullopt;
    buf[n] = '\0';
    // The name in parentheses may hold anything; the fields follow its last ')'.
    const char* p = std::strrchr(buf, ')');
    if (!p)
        return std::nullopt;
    char state = 0;
    if (std::sscanf(p + 1, " %c", &state) != 1)
        return std::nullopt;
    // State is field 3, the start time field 22; p ends on the blank before it.
    for (int field = 3; field <= 22 && p; ++field)
        p = std::strchr(p + 1, ' ');
    ProcessState ps;
    if (!p || std::sscanf(p, " %llu", &ps.start) != 1)
        return std::nullopt;
    ps.ended = state == 'Z' || state == 'X';
    return ps;
}

bool ownerAlive(pid_t pid, unsigned long long start)
{
    if (const auto ps = processState(pid))
        return !ps->ended && ps->start == start;
    if (::access("/proc/self/stat", F_OK) == 0)
        return false; // /proc works and has no such process
    return ::kill(pid, 0) == 0 || errno == EPERM; // cannot tell a reused pid: keep
}

constexpr const char* kPartName = "ringtone.part";

// The owner named by a private folder ".av-<pid>-<start>-XXXXXX".
std::optional<std::pair<pid_t, unsigned long long>> folderOwner(const char* name)
{
    long long pid = 0;
    unsigned long long start = 0;
    int used = 0;
    if (std::strncmp(name, ".av-", 4) != 0 || !std::isdigit(static_cast<unsigned char>(name[4]))
        || std::sscanf(name + 4, "%lld-%llu-%n", &pid, &start, &used) != 2 || used == 0)
        return std::nullopt;
    const char* rest = name + 4 + used;
    if (std::strlen(rest) != 6 || pid <= 0 || pid > 0x3fffffff)
        return std::nullopt;
    for (const char* c = rest; *c; ++c)
        if (!std::isalnum(static_cast<unsigned char>(*c)))
            return std::nullopt;
    return std::pair{static_cast<pid_t>(pid), start};
}

struct DirCloser {
    void operator()(DIR* d) const { ::closedir(d); }
};
using DirPtr = std::unique_ptr<DIR, DirCloser>;

// Removes one folder left by an av that has ended, only when it is ours (our
// user, a real folder) and holds nothing but the partial file.
void removeStaleFolder(int parent, const char* name)
{
    struct stat st { };
    if (::fstatat(parent, name, &st, AT_SYMLINK_NOFOLLOW) != 0 || !S_ISDIR(st.st_mode)
        || st.st_uid != ::geteuid())
        return;
    const int fd = ::openat(parent, name, O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
    if (fd < 0)
        return;
    DirPtr dir(::fdopendir(fd));
    if (!dir) {
        ::close(fd);
        return;
    }
    bool onlyPart = true;
    while (const dirent* e = ::readdir(dir.get()))
        if (std::strcmp(e->d_name, ".") != 0 && std::strcmp(e->d_name, "..") != 0
            && std::strcmp(e->d_name, kPartName) != 0)
            onlyPart = false;
    if (!onlyPart)
        return;
    ::unlinkat(::dirfd(dir.get()), kPartName, 0);
    ::unlinkat(parent, name, AT_REMOVEDIR);
}

// Best effort: a folder that cannot be read or cleaned is left as it is.
void sweepStaleFolders(const std::string& folder)
{
    DirPtr dir(::opendir(folder.c_str()));
    if (!dir)
        return;
    while (const dirent* e = ::readdir(dir.get())) {
        const auto owner = folderOwner(e->d_name);
        if (owner && !ownerAlive(owner->first, owner->second))
            removeStaleFolder(::dirfd(dir.get()), e->d_name);
    }
}

// A private folder beside the target holding ffmpeg's output until it is
// complete; removed with its content on every way out av lives through.
class WorkArea {
public:
    explicit WorkArea(const std::string& folder)
    {
        sweepStaleFolders(folder);
        const auto self = processState(::getpid());
        std::string templ = folder + "/.av-" + std::to_string(::getpid()) + "-"
            + std::to_string(self ? self->start : 0) + "-XXXXXX";
        if (!::mkdtemp(templ.data()))
            fail(av::ExitTargetWrite,
                "creating a temporary folder in the target's folder " + quoted(folder)
                    + " failed: " + errnoText(errno));
        dir_ = templ;
        file_ = dir_ + "/" + kPartName;
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
    if (st.st_size == 0)
        fail(av::ExitSource, "the source " + quoted(source) + " is empty; there is no sound to cut");
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

struct Progress {
    long long outTimeUs = -1; // -1: not reported (yet)
    long long totalSize = -1; // bytes written
    bool ended = false; // the closing block "progress=end" arrived
};

struct FfmpegRun {
    int status = 0; // waitpid status
    std::string errors; // ffmpeg's stderr (tail)
    Progress progress;
};

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

// Starts ffmpeg with stdin on /dev/null and stdout/stderr on the given pipes.
// It gets SIGKILL when av ends in any way, so it never outlives av.
pid_t startFfmpeg(const std::vector<std::string>& args, int out, int err)
{
    std::vector<char*> argv;
    for (const auto& a : args)
        argv.push_back(const_cast<char*>(a.c_str()));
    argv.push_back(nullptr);
    UniqueFd devNull(::open("/dev/null", O_RDONLY | O_CLOEXEC));
    if (devNull.get() < 0)
        fail(av::ExitInternal, "opening /dev/null for ffmpeg failed: " + errnoText(errno));
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
            moveFd(devNull.get(), 0);
            moveFd(out, 1);
            moveFd(err, 2);
            ::execvp("ffmpeg", argv.data());
            e = errno;
        }
        [[maybe_unused]] auto n = ::write(execError.write.get(), &e, sizeof e);
        ::_exit(127);
    }
    const int forkError = errno;
    ::sigprocmask(SIG_SETMASK, &old, nullptr);
    if (pid < 0)
        fail(av::ExitNoFfmpeg, "starting ffmpeg failed: " + errnoText(forkError));
    execError.write.reset();
    int e = 0;
    ssize_t n;
    while ((n = ::read(execError.read.get(), &e, sizeof e)) < 0 && errno == EINTR) { }
    if (n == static_cast<ssize_t>(sizeof e)) {
        while (::waitpid(pid, nullptr, 0) < 0 && errno == EINTR) { }
        if (e == ENOENT)
            fail(av::ExitNoFfmpeg,
                "starting ffmpeg failed: ffmpeg is not installed or not on PATH "
                "(install the Debian packages ffmpeg and libavcodec-extra)");
        fail(av::ExitNoFfmpeg, "starting ffmpeg failed: " + errnoText(e));
    }
    return pid;
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

FfmpegRun runFfmpeg(const std::vector<std::string>& args, SignalWatch& signals)
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
    const pid_t pid = startFfmpeg(args, out.write.get(), err.write.get());
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
            if (run.errors.size() > 2 * keep)
                run.errors.erase(0, run.errors.size() - keep);
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
            fail(av::ExitStalled,
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
            fail(av::ExitInternal, "waiting for ffmpeg's output failed: " + errnoText(e));
        }
        if (const int sig = signals.take()) {
            // A second signal means "now": do not wait for ffmpeg's trailer.
            ::kill(pid, received ? SIGKILL : sig);
            received = sig;
        }
        takeOutput();
        const pid_t w = ::waitpid(pid, &run.status, WNOHANG);
        if (w < 0 && errno != EINTR)
            fail(av::ExitInternal, "waiting for ffmpeg to end failed: " + errnoText(errno));
        exited = w == pid;
    }
    takeOutput(); // what ffmpeg wrote just before it ended
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

// What each target kind needs from ffmpeg, and how its file begins.
struct Format {
    const char* name; // for messages
    const char* encoder; // ffmpeg's encoder
    const char* muxer; // ffmpeg's output format
    const char* missing; // what to install when the encoder is missing
    bool constantRate; // the size follows duration × bit rate
    bool (*signature)(int fd);
};

bool readAt(int fd, off_t at, unsigned char* into, std::size_t n)
{
    return ::pread(fd, into, n, at) == static_cast<ssize_t>(n);
}

// An ID3v2 tag (optional), then an MPEG audio Layer III frame header.
bool mp3Signature(int fd)
{
    unsigned char h[10];
    off_t at = 0;
    if (readAt(fd, 0, h, 10) && h[0] == 'I' && h[1] == 'D' && h[2] == '3') {
        if ((h[6] | h[7] | h[8] | h[9]) & 0x80)
            return false;
        at = 10 + ((h[6] << 21) | (h[7] << 14) | (h[8] << 7) | h[9]) + ((h[5] & 0x10) ? 10 : 0);
    }
    if (!readAt(fd, at, h, 4))
        return false;
    const int version = (h[1] >> 3) & 3, layer = (h[1] >> 1) & 3;
    const int rate = h[2] >> 4, sampling = (h[2] >> 2) & 3;
    return h[0] == 0xFF && (h[1] & 0xE0) == 0xE0 && version != 1 && layer == 1 && rate != 0 && rate != 15
        && sampling != 3;
}

bool amrSignature(int fd)
{
    unsigned char h[6];
    return readAt(fd, 0, h, 6) && std::memcmp(h, "#!AMR\n", 6) == 0;
}

// An MP4 file opens with its "ftyp" box.
bool mp4Signature(int fd)
{
    unsigned char h[8];
    return readAt(fd, 0, h, 8) && std::memcmp(h + 4, "ftyp", 4) == 0
        && ((h[0] << 24) | (h[1] << 16) | (h[2] << 8) | h[3]) >= 8;
}

// An Ogg page whose first packet is a Vorbis identification header.
bool oggVorbisSignature(int fd)
{
    unsigned char h[27], id[7];
    return readAt(fd, 0, h, 27) && std::memcmp(h, "OggS", 4) == 0 && h[4] == 0
        && readAt(fd, 27 + h[26], id, 7) && std::memcmp(id, "\x01vorbis", 7) == 0;
}

const Format& formatOf(av::Codec codec)
{
    static const Format mp3{"MP3", "libmp3lame", "mp3", "ffmpeg with libmp3lame", true, mp3Signature};
    static const Format amr{"AMR-NB", "libopencore_amrnb", "amr", "libavcodec-extra", true, amrSignature};
    static const Format aac{"AAC", "aac", "ipod", "a complete ffmpeg", false, mp4Signature};
    static const Format vorbis{
        "Vorbis", "libvorbis", "ogg", "ffmpeg with libvorbis", false, oggVorbisSignature};
    switch (codec) {
    case av::Codec::AmrNb:
        return amr;
    case av::Codec::Aac:
        return aac;
    case av::Codec::Vorbis:
        return vorbis;
    case av::Codec::Mp3:
        break;
    }
    return mp3;
}

std::vector<std::string> ffmpegArgs(const av::Job& job, const std::string& work)
{
    const Format& f = formatOf(job.codec);
    // "file:" keeps names like "-x.mp3", "pipe:0" or "a:b.mp3" plain files.
    std::vector<std::string> a = {"ffmpeg", "-nostdin", "-hide_banner", "-loglevel", "error", "-nostats",
        "-progress", "pipe:1", "-n", "-i", "file:" + job.source, "-ss", std::to_string(job.startSeconds)};
    if (job.lengthSeconds) {
        a.push_back("-t");
        a.push_back(std::to_string(*job.lengthSeconds));
    }
    a.insert(a.end(), {"-vn", "-sn", "-dn", "-c:a", f.encoder});
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
    a.insert(a.end(), {"-f", f.muxer, "file:" + work});
    return a;
}

std::string oneDecimal(double v)
{
    char buf[32];
    std::snprintf(buf, sizeof buf, "%.1f", v);
    return buf;
}

// ffmpeg said it succeeded: the file must be there, begin like the format,
// and be as long as ffmpeg's progress said (within the cut asked for).
void checkOutput(const av::Job& job, const std::string& file, const Progress& p)
{
    const Format& f = formatOf(job.codec);
    const std::string claim = "ffmpeg reported success but ";
    UniqueFd fd(::open(file.c_str(), O_RDONLY | O_CLOEXEC));
    if (fd.get() < 0 && errno == ENOENT)
        fail(av::ExitConvert, claim + "wrote no file");
    struct stat st { };
    if (fd.get() < 0 || ::fstat(fd.get(), &st) != 0)
        fail(av::ExitConvert, "reading the file ffmpeg wrote failed: " + errnoText(errno));
    if (st.st_size == 0)
        fail(av::ExitConvert, claim + "wrote an empty file");
    if (!p.ended)
        fail(av::ExitConvert, claim + "did not report the end of its work");
    // Under 0.1 s of output (an encoder flush frame at most): the cut lies
    // past the end of the source.
    if (p.outTimeUs < 100000)
        fail(av::ExitNothingCut,
            "the cut starting at " + job.startText + " holds no audio: the source " + quoted(job.source)
                + " ends before it");
    if (!f.signature(fd.get()))
        fail(av::ExitConvert, claim + "its file is not " + f.name + " audio (wrong signature at its start)");
    const double secs = static_cast<double>(p.outTimeUs) / 1e6;
    if (job.lengthSeconds && secs > static_cast<double>(*job.lengthSeconds) + 1)
        fail(av::ExitConvert,
            claim + "reported " + oneDecimal(secs) + " s of audio for a cut of "
                + std::to_string(*job.lengthSeconds) + " s");
    // Half the nominal size: constant-rate frames cannot be smaller.
    if (f.constantRate && job.bitRate > 0
        && static_cast<double>(st.st_size) < secs * static_cast<double>(job.bitRate) / 16)
        fail(av::ExitConvert,
            claim + "its file of " + std::to_string(st.st_size) + " bytes is too short for "
                + oneDecimal(secs) + " s at " + std::to_string(job.bitRate / 1000) + " kbit/s");
}

void convert(const av::Job& job)
{
    checkSource(job.source);
    checkTargetAbsent(job.target);

    SignalWatch signals;
    WorkArea work(folderOf(job.target));
    const FfmpegRun run = runFfmpeg(ffmpegArgs(job, work.file()), signals);

    if (!WIFEXITED(run.status) || WEXITSTATUS(run.status) != 0) {
        const std::string why = lastLine(run.errors, job, work.file());
        if (run.errors.find("Unknown encoder") != std::string::npos
            || run.errors.find("Encoder not found") != std::string::npos) {
            const Format& f = formatOf(job.codec);
            fail(av::ExitNoEncoder,
                std::string("the installed ffmpeg has no ") + f.name + " encoder (install " + f.missing
                    + "): " + why);
        }
        const std::string how = WIFEXITED(run.status)
            ? "exit status " + std::to_string(WEXITSTATUS(run.status))
            : "signal " + std::to_string(WTERMSIG(run.status));
        fail(av::ExitConvert,
            "converting " + quoted(job.source) + " with ffmpeg failed (" + how + "): " + why);
    }
    checkOutput(job, work.file(), run.progress);
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
