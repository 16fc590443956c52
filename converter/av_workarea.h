// Where ffmpeg writes until the ringtone is whole. Preferably an unnamed
// file in the target's folder (O_TMPFILE) that only gets its name when it is
// complete, so nothing is left behind whatever happens to av. Where the file
// system has no unnamed files, a private folder ".av-<pid>-<start>-XXXXXX"
// beside the target (pid and start time in clock ticks since boot, so a
// reused pid is no owner); each run removes the folders whose owner has
// ended, when they hold nothing but av's partial file.
#pragma once

#include "av_common.h"

#include <string>

#include <sys/types.h>

namespace av {

class WorkArea {
public:
    // Throws Failure when the target's folder cannot take a file.
    explicit WorkArea(const std::string& target);
    ~WorkArea();
    WorkArea(const WorkArea&) = delete;
    WorkArea& operator=(const WorkArea&) = delete;

    // The name ffmpeg writes to ("/proc/self/fd/N" for the unnamed file).
    const std::string& output() const { return output_; }
    // The descriptor ffmpeg must inherit, or -1.
    int inheritedFd() const { return file_.get(); }
    // True for the unnamed file: ffmpeg may overwrite it (it is ours alone).
    bool unnamed() const { return file_.get() >= 0; }
    // The finished file, open for reading. Throws Failure.
    UniqueFd openResult() const;
    // Flushes the file to the disk and gives it the target's name, never
    // replacing a file there, then flushes the folder. Throws Failure.
    void publish();

    // The target's folder is no longer where it was (deleted or renamed).
    bool folderGone() const;
    // Space free in the target's folder when av started, in kB.
    long long freeKbAtStart() const { return freeKb_; }
    // Hardly any space is left in the target's folder now.
    bool folderFull() const;
    [[noreturn]] void failFolderGone() const;
    [[noreturn]] void failDiskFull() const;

private:
    void makePrivateFolder();

    std::string target_, folder_, output_;
    UniqueFd folderFd_; // the target's folder as it was at the start
    dev_t folderDev_ = 0;
    ino_t folderIno_ = 0;
    long long freeKb_ = 0;
    UniqueFd file_; // the unnamed file
    std::string private_; // fallback: the private folder's name inside folder_
    UniqueFd privateFd_;
};

// The folder part of a path ("." when it has none).
std::string folderOf(const std::string& path);

} // namespace av
