// Starting the converter without a shell and waiting for it: its arguments
// keep their bytes, its error output goes to an in-memory file.
#include "workThread.h"

#include "appDefine.h"

#include <cerrno>
#include <csignal>
#include <cstring>

#include <fcntl.h>
#include <spawn.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

extern char** environ;

namespace {

class TUniqueFd {
public:
    explicit TUniqueFd(int fd)
        : fd_(fd)
    {
    }
    ~TUniqueFd()
    {
        if (fd_ >= 0)
            ::close(fd_);
    }
    TUniqueFd(const TUniqueFd&) = delete;
    TUniqueFd& operator=(const TUniqueFd&) = delete;
    int get() const { return fd_; }

private:
    int fd_;
};

struct TSpawnActions {
    posix_spawn_file_actions_t actions;
    TSpawnActions() { posix_spawn_file_actions_init(&actions); }
    ~TSpawnActions() { posix_spawn_file_actions_destroy(&actions); }
    TSpawnActions(const TSpawnActions&) = delete;
    TSpawnActions& operator=(const TSpawnActions&) = delete;
};

struct TSpawnAttributes {
    posix_spawnattr_t attributes;
    TSpawnAttributes() { posix_spawnattr_init(&attributes); }
    ~TSpawnAttributes() { posix_spawnattr_destroy(&attributes); }
    TSpawnAttributes(const TSpawnAttributes&) = delete;
    TSpawnAttributes& operator=(const TSpawnAttributes&) = delete;
};

constexpr off_t ErrorOutputLimit = 64 * 1024;

// The tail of what the child wrote into fd.
QString ReadErrorOutput(int fd)
{
    struct stat st { };
    if (::fstat(fd, &st) != 0)
        return {};
    const off_t from = st.st_size > ErrorOutputLimit ? st.st_size - ErrorOutputLimit : 0;
    QByteArray bytes(static_cast<qsizetype>(st.st_size - from), Qt::Uninitialized);
    qsizetype got = 0;
    while (got < bytes.size()) {
        const ssize_t n
            = ::pread(fd, bytes.data() + got, static_cast<size_t>(bytes.size() - got), from + got);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            break;
        got += n;
    }
    bytes.truncate(got);
    return QString::fromLocal8Bit(bytes);
}

} // namespace

TRunResult RunAndWait(const QString& program, const QStringList& arguments, const QString& workingDirectory,
    const std::function<void()>& started)
{
    TRunResult result;
    auto notStarted = [&result](int error) {
        result.State = TRunResult::TState::NotStarted;
        result.Code = error;
        return result;
    };
    // A memory file rather than a pipe: the child never blocks on a full
    // pipe, nor gets SIGPIPE when this process has gone.
    const TUniqueFd errors(::memfd_create("converter-stderr", MFD_CLOEXEC));
    if (errors.get() < 0)
        return notStarted(errno);

    // File names among them keep their bytes; one that cannot is refused
    // rather than passed on as another name.
    std::vector<QByteArray> bytes;
    for (const QString& text : QStringList{program, workingDirectory} + arguments) {
        std::optional<QByteArray> native = FileNameBytes(text);
        if (!native)
            return notStarted(EILSEQ);
        bytes.push_back(std::move(*native));
    }
    const QByteArray folder = bytes.at(1);
    std::vector<char*> argv{bytes.at(0).data()};
    for (size_t i = 2; i < bytes.size(); ++i)
        argv.push_back(bytes.at(i).data());
    argv.push_back(nullptr);

    TSpawnActions files;
    posix_spawn_file_actions_addopen(&files.actions, STDIN_FILENO, "/dev/null", O_RDONLY, 0);
    posix_spawn_file_actions_addopen(&files.actions, STDOUT_FILENO, "/dev/null", O_WRONLY, 0);
    posix_spawn_file_actions_adddup2(&files.actions, errors.get(), STDERR_FILENO);
    posix_spawn_file_actions_addclosefrom_np(&files.actions, STDERR_FILENO + 1);
    if (!folder.isEmpty())
        posix_spawn_file_actions_addchdir_np(&files.actions, folder.constData());

    // The child starts with no signal blocked and every handler at its default.
    TSpawnAttributes attributes;
    sigset_t none, defaults;
    sigemptyset(&none);
    sigemptyset(&defaults);
    for (int s = 1; s < NSIG; ++s) {
        if (s != SIGKILL && s != SIGSTOP && s < SIGRTMIN)
            sigaddset(&defaults, s);
    }
    posix_spawnattr_setsigmask(&attributes.attributes, &none);
    posix_spawnattr_setsigdefault(&attributes.attributes, &defaults);
    posix_spawnattr_setflags(&attributes.attributes, POSIX_SPAWN_SETSIGMASK | POSIX_SPAWN_SETSIGDEF);

    pid_t pid = -1;
    const int spawned
        = ::posix_spawn(&pid, argv[0], &files.actions, &attributes.attributes, argv.data(), environ);
    if (spawned != 0)
        return notStarted(spawned);
    if (started)
        started();

    int status = 0;
    while (::waitpid(pid, &status, 0) < 0) {
        if (errno != EINTR) {
            // Someone else reaped it; all we know is what the target shows.
            result.State = TRunResult::TState::Exited;
            result.Code = -1;
            result.ErrorOutput = ReadErrorOutput(errors.get());
            return result;
        }
    }
    if (WIFSIGNALED(status)) {
        result.State = TRunResult::TState::Killed;
        result.Code = WTERMSIG(status);
    } else {
        result.State = TRunResult::TState::Exited;
        result.Code = WEXITSTATUS(status);
    }
    result.ErrorOutput = ReadErrorOutput(errors.get());
    return result;
}
