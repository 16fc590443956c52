// Supervision of the ffmpeg child: started without a shell, stopped when it
// stalls or av gets an ending signal, never outliving av.
#pragma once

#include "av_common.h"

#include <chrono>
#include <string>
#include <vector>

namespace av {

// Signals that end av: the handler only reports them through a pipe, so the
// main loop can stop ffmpeg and clean up before dying of the same signal.
class SignalWatch {
public:
    SignalWatch();
    ~SignalWatch();
    SignalWatch(const SignalWatch&) = delete;
    SignalWatch& operator=(const SignalWatch&) = delete;

    int fd() const { return read_.get(); }
    // The last signal received since the previous call, or 0.
    int take();

private:
    UniqueFd read_, write_;
};

struct Progress {
    long long outTimeUs = -1; // -1: not reported (yet)
    long long totalSize = -1; // bytes written
    bool ended = false; // the closing block "progress=end" arrived
};

struct FfmpegRun {
    int status = 0; // waitpid status
    std::string errors; // ffmpeg's stderr (tail)
    Progress progress;
    // Seen anywhere in ffmpeg's messages, also where the tail dropped them.
    bool writeFailed = false; // writing or closing the output failed
    bool diskFull = false; // ENOSPC or quota
};

// Runs ffmpeg (found on PATH) with args. keepFd, when not -1, stays open in
// ffmpeg under the same number; inputFd, when not -1, is its standard input
// (else /dev/null). Throws Failure (stall, start) or Interrupted.
FfmpegRun runFfmpeg(const std::vector<std::string>& args, SignalWatch& signals, int keepFd, int inputFd = -1);

// The stall limit: AV_STALL_SECONDS when it is a number of seconds above 0,
// else 30 s.
std::chrono::milliseconds stallLimit();

} // namespace av
