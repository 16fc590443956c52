// What every part of av shares: the failure it throws and an owned file
// descriptor.
#pragma once

#include "av_args.h"

#include <cstring>
#include <string>
#include <utility>

#include <unistd.h>

namespace av {

// Thrown to end the run with exit code and one line for stderr.
struct Failure {
    Exit code;
    std::string message;
};

// Thrown when an ending signal arrived; main dies of the same signal.
struct Interrupted {
    int signal;
};

[[noreturn]] inline void fail(Exit code, std::string message)
{
    throw Failure{code, std::move(message)};
}

inline std::string errnoText(int err)
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

} // namespace av
