#include "av_workarea.h"

#include <cctype>
#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstring>
#include <memory>
#include <optional>
#include <vector>

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <sys/statvfs.h>

namespace av {
namespace {

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
        if (err == 0 && ::fsync(out.get()) != 0)
            err = errno;
    if (err == 0 && ::close(out.release()) != 0)
        err = errno;
    if (err != 0)
        ::unlink(to.c_str()); // ours: created above with O_EXCL
    return err;
}

// Moves the private file into place without ever replacing a file: 0 or errno.
int moveExclusive(const std::string& from, const std::string& to)
{
    if (::renameat2(AT_FDCWD, from.c_str(), AT_FDCWD, to.c_str(), RENAME_NOREPLACE) == 0)
        return 0;
    int err = errno;
    if (err == EINVAL || err == ENOSYS || err == EOPNOTSUPP) {
        if (::link(from.c_str(), to.c_str()) == 0)
            return 0; // the work area removes the old name
        err = errno;
        if (err == EPERM || err == EOPNOTSUPP || err == EMLINK)
            err = copyExclusive(from, to);
    }
    return err;
}

long long freeKb(const std::string& folder)
{
    struct statvfs vfs { };
    if (::statvfs(folder.c_str(), &vfs) != 0)
        return -1;
    return static_cast<long long>(vfs.f_bavail) * static_cast<long long>(vfs.f_frsize) / 1024;
}

bool isDiskFull(int err)
{
    return err == ENOSPC || err == EDQUOT;
}

} // namespace

std::string folderOf(const std::string& path)
{
    const auto slash = path.rfind('/');
    if (slash == std::string::npos)
        return ".";
    if (slash == 0)
        return "/";
    return path.substr(0, slash);
}

WorkArea::WorkArea(const std::string& target)
    : target_(target)
    , folder_(folderOf(target))
{
    sweepStaleFolders(folder_);
    folderFd_.reset(::open(folder_.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    struct stat st { };
    if (folderFd_.get() < 0 || ::fstat(folderFd_.get(), &st) != 0)
        fail(ExitTargetWrite,
            "creating a temporary file in the target's folder " + quoted(folder_)
                + " failed: " + errnoText(errno));
    folderDev_ = st.st_dev;
    folderIno_ = st.st_ino;
    freeKb_ = freeKb(folder_);
    // ffmpeg reaches the unnamed file through /proc.
    if (::access("/proc/self/fd", X_OK) == 0) {
        file_.reset(::open(folder_.c_str(), O_TMPFILE | O_RDWR | O_CLOEXEC, 0666));
        if (file_.get() >= 0 && file_.get() <= 2) // keep it clear of ffmpeg's stdio
            file_.reset(::fcntl(file_.get(), F_DUPFD_CLOEXEC, 3));
        if (file_.get() >= 0) {
            output_ = "/proc/self/fd/" + std::to_string(file_.get());
            return;
        }
        if (errno != EOPNOTSUPP && errno != EISDIR && errno != EINVAL)
            fail(ExitTargetWrite,
                "creating a temporary file in the target's folder " + quoted(folder_)
                    + " failed: " + errnoText(errno));
    }
    makePrivateFolder();
}

void WorkArea::makePrivateFolder()
{
    const auto self = processState(::getpid());
    std::string templ = folder_ + "/.av-" + std::to_string(::getpid()) + "-"
        + std::to_string(self ? self->start : 0) + "-XXXXXX";
    if (!::mkdtemp(templ.data()))
        fail(ExitTargetWrite,
            "creating a temporary folder in the target's folder " + quoted(folder_)
                + " failed: " + errnoText(errno));
    private_ = templ.substr(templ.rfind('/') + 1);
    privateFd_.reset(::openat(folderFd_.get(), private_.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    output_ = templ + "/" + kPartName;
}

WorkArea::~WorkArea()
{
    // Through the folders' descriptors: they are found even when renamed.
    if (!private_.empty()) {
        if (privateFd_.get() >= 0)
            ::unlinkat(privateFd_.get(), kPartName, 0);
        ::unlinkat(folderFd_.get(), private_.c_str(), AT_REMOVEDIR);
    }
}

UniqueFd WorkArea::openResult() const
{
    UniqueFd fd(unnamed() ? ::fcntl(file_.get(), F_DUPFD_CLOEXEC, 3)
                          : ::openat(privateFd_.get(), kPartName, O_RDONLY | O_CLOEXEC));
    if (fd.get() < 0 && errno == ENOENT)
        fail(ExitConvert, "ffmpeg reported success but wrote no file");
    if (fd.get() < 0)
        fail(ExitConvert, "reading the file ffmpeg wrote failed: " + errnoText(errno));
    return fd;
}

bool WorkArea::folderGone() const
{
    struct stat st { };
    if (::stat(folder_.c_str(), &st) != 0)
        return errno == ENOENT || errno == ENOTDIR;
    return st.st_dev != folderDev_ || st.st_ino != folderIno_;
}

bool WorkArea::folderFull() const
{
    const long long kb = freeKb(folder_);
    return kb >= 0 && kb < 8;
}

void WorkArea::failFolderGone() const
{
    fail(ExitTargetWrite, "The folder " + quoted(folder_) + " no longer exists: the ringtone was not saved");
}

void WorkArea::failDiskFull() const
{
    fail(ExitDiskFull,
        "The disk is full: the ringtone was not saved (" + std::to_string(freeKb_) + " kB were free)");
}

void WorkArea::publish()
{
    const UniqueFd result = openResult();
    if (::fsync(result.get()) != 0) {
        const int err = errno;
        if (isDiskFull(err))
            failDiskFull();
        fail(ExitTargetWrite, "writing the ringtone to the disk failed: " + errnoText(err));
    }
    if (folderGone())
        failFolderGone();
    int err = 0;
    if (unnamed()) {
        if (::linkat(AT_FDCWD, output_.c_str(), AT_FDCWD, target_.c_str(), AT_SYMLINK_FOLLOW) != 0)
            err = errno;
    } else {
        err = moveExclusive(output_, target_);
    }
    if (err == EEXIST)
        fail(ExitTargetExists,
            "the target " + quoted(target_) + " appeared while converting; it was left as it is");
    if (err == ENOENT && folderGone())
        failFolderGone();
    if (isDiskFull(err))
        failDiskFull();
    if (err != 0)
        fail(ExitTargetWrite,
            "moving the finished file into place as " + quoted(target_) + " failed: " + errnoText(err));
    // The name must survive a power cut as well as the content.
    UniqueFd folder(::open(folder_.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (folder.get() < 0 || ::fsync(folder.get()) != 0) {
        err = errno;
        ::unlink(target_.c_str()); // ours: linked above, and not known to be on the disk
        if (isDiskFull(err))
            failDiskFull();
        fail(ExitTargetWrite,
            "writing the folder " + quoted(folder_) + " to the disk failed: " + errnoText(err));
    }
}

} // namespace av
