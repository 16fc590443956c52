// Internal to the MPEG audio analyser: one open file, read through a block
// buffer, with the message pump of the read in progress.
#pragma once

#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdint>
#include <cstring>
#include <functional>
#include <vector>

namespace mpg_detail {

inline constexpr size_t kFirstChunk = 4096; // most files have their first frame near the start
inline constexpr size_t kMaxChunk = 256 * 1024;

struct TFd {
    int fd = -1;
    explicit TFd(int f)
        : fd(f)
    {
    }
    TFd(const TFd&) = delete;
    TFd& operator=(const TFd&) = delete;
    ~TFd()
    {
        if (fd >= 0)
            ::close(fd);
    }
};

struct TReader {
    int fd = -1;
    int64_t size = 0;
    std::function<bool()> pump; // copied, so a pump that replaces the global one stays alive
    std::vector<uint8_t> buf;
    int64_t bufStart = 0;
    size_t bufLen = 0;
    size_t nextChunk = kFirstChunk;

    // Reads exactly n bytes at off; false when they reach past the end of the
    // file or the read fails.
    bool ReadAt(int64_t off, size_t n, uint8_t* dst)
    {
        const uint8_t* p = Buffered(off, n);
        if (p != nullptr) {
            std::memcpy(dst, p, n);
            return true;
        }
        return InFile(off, n) && PRead(off, n, dst);
    }

    // The n bytes at off, from the buffer or from a block loaded at off;
    // nullptr when they reach past the end of the file or the read fails.
    const uint8_t* Span(int64_t off, size_t n)
    {
        if (const uint8_t* p = Buffered(off, n))
            return p;
        if (!InFile(off, n))
            return nullptr;
        nextChunk = std::max(nextChunk, n);
        return Load(off) ? buf.data() : nullptr;
    }

    bool PRead(int64_t off, size_t n, uint8_t* dst) const
    {
        size_t done = 0;
        while (done < n) {
            const ssize_t r = ::pread(fd, dst + done, n - done, static_cast<off_t>(off + done));
            if (r < 0 && errno == EINTR)
                continue;
            if (r <= 0)
                return false; // error, or the file shrank under us
            done += static_cast<size_t>(r);
        }
        return true;
    }

    // Loads a block starting at off (at least 4 bytes, which the caller ensures exist).
    bool Load(int64_t off)
    {
        const size_t n
            = static_cast<size_t>(std::min<int64_t>(static_cast<int64_t>(nextChunk) + 3, size - off));
        if (buf.size() < n)
            buf.resize(n);
        bufStart = off;
        bufLen = 0;
        if (!PRead(off, n, buf.data()))
            return false;
        bufLen = n;
        nextChunk = std::min(nextChunk * 4, kMaxChunk);
        return true;
    }

private:
    bool InFile(int64_t off, size_t n) const
    {
        return off >= 0 && off <= size && static_cast<int64_t>(n) <= size - off;
    }
    const uint8_t* Buffered(int64_t off, size_t n) const
    {
        const bool inside
            = off >= bufStart && off + static_cast<int64_t>(n) <= bufStart + static_cast<int64_t>(bufLen);
        return inside ? buf.data() + (off - bufStart) : nullptr;
    }
};

} // namespace mpg_detail
