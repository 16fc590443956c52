// Internal to the playback device: the guard that every read of a file
// goes through, FFmpeg's closers and the limits shared by the decoder's parts.
#pragma once

#include <atomic>
#include <chrono>
#include <cstdint>
#include <string>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

extern "C" {
#include <libavformat/avformat.h>
}

namespace mplayer_detail {

using Clock = std::chrono::steady_clock;

// A last resort for a medium that stalls (a hung network share): the byte
// budgets below end every file that merely holds no sound within a few
// hundred milliseconds, so this limit must never be what refuses a good file
// on a busy or slow machine.
constexpr auto kOpenTime = std::chrono::seconds(5);
// A seek or a decode that yields no audio for this long ends the file.
constexpr auto kStallTime = std::chrono::seconds(5);
// Bytes read without a decoded frame before the rest is taken as undecodable.
// FFmpeg's parser gathers such data and scans all of it again when reading
// ends, so this bounds both the memory and how long a stop takes (about
// 5 ms a megabyte). The header may be larger: it holds cover pictures.
constexpr int64_t kBytesWithoutAudio = int64_t{8} << 20;
// Sampling rates a file may declare, Hz; beyond them it is not sound.
constexpr int kMinFileRate = 1000;
constexpr int kMaxFileRate = 768000;

// The header may be large: it holds cover pictures.
constexpr int64_t kHeaderBytes = int64_t{64} << 20;

// FFmpeg's text for an error code.
std::string AvError(int code);
std::string Quoted(const std::string& path);

struct TInput;
// Opens the local regular file `path` for `in` (never a URL, a pipe or a
// device: opened without blocking and checked once open). Returns the reason
// it cannot be read, empty on success; `err` gets errno where there is one.
std::string OpenLocalFile(TInput& in, const std::string& path, int& err);
// FFmpeg's reader over the guarded file; false when out of memory.
bool AttachReader(TInput& in);
// Bytes the header of a file of this format may take before its audio.
int64_t HeaderBudget(const AVInputFormat* format);
// Recognises the format of the file `in` reads, as avformat_open_input
// would, and reads its header within the budget its kind needs. `raw` is an
// allocated context with its limits set; on failure it is freed and
// FFmpeg's code returned.
int OpenContainer(TInput& in, const std::string& path, AVFormatContext*& raw);

// Watches every read of one file. Used by one thread at a time: the caller
// of the constructor, then the playback worker.
struct TInput {
    enum class TTrip { None, Stopped, TimedOut, NoAudio };

    int fd = -1;
    // Bytes in the file when it was opened: demuxers ask for the size at
    // every chunk they walk, and a call to the system each time turned a
    // walk through zeros into seconds.
    int64_t size = -1;
    AVIOContext* pb = nullptr;
    const std::atomic<bool>* stop = nullptr;
    const std::atomic<bool>* alsoStop = nullptr; // a second stop request (another reader failed)
    Clock::time_point deadline = Clock::time_point::max();
    Clock::duration stall{}; // re-arms the deadline at each decoded frame; 0 = fixed
    int64_t bytes = 0; // read since the last decoded frame
    int64_t budget = kBytesWithoutAudio; // ... at most
    TTrip tripped = TTrip::None;

    void Arm(Clock::duration limit, bool rolling, int64_t byteBudget = kBytesWithoutAudio)
    {
        deadline = Clock::now() + limit;
        stall = rolling ? limit : Clock::duration{};
        bytes = 0;
        budget = byteBudget;
        tripped = TTrip::None;
        if (pb) {
            // A read ended by the guard leaves the reader in error until reset.
            pb->eof_reached = 0;
            pb->error = 0;
        }
    }

    // A new byte budget for the next step; the deadline stays.
    void Rebudget(int64_t byteBudget)
    {
        bytes = 0;
        budget = byteBudget;
        if (tripped == TTrip::NoAudio) {
            tripped = TTrip::None;
            pb->eof_reached = 0;
            pb->error = 0;
        }
    }

    void Progress()
    {
        bytes = 0;
        if (stall != Clock::duration{})
            deadline = Clock::now() + stall;
    }

    bool Allow()
    {
        if (tripped == TTrip::None) {
            if ((stop && stop->load(std::memory_order_relaxed))
                || (alsoStop && alsoStop->load(std::memory_order_relaxed)))
                tripped = TTrip::Stopped;
            else if (bytes >= budget)
                tripped = TTrip::NoAudio;
            else if (Clock::now() >= deadline)
                tripped = TTrip::TimedOut;
        }
        return tripped == TTrip::None;
    }

    std::string Why() const
    {
        switch (tripped) {
        case TTrip::Stopped:
            return "stopped";
        case TTrip::TimedOut:
            return "no audio found within "
                + std::to_string(std::chrono::duration_cast<std::chrono::milliseconds>(
                    stall != Clock::duration{} ? stall : kOpenTime)
                                     .count())
                + " ms";
        case TTrip::NoAudio:
            return "no audio found in " + std::to_string(budget >> 20) + " MB of data";
        case TTrip::None:
            break;
        }
        return {};
    }

    static int Read(void* opaque, uint8_t* buf, int size)
    {
        auto* self = static_cast<TInput*>(opaque);
        if (!self->Allow())
            return AVERROR_EXIT;
        ssize_t n;
        do
            n = ::read(self->fd, buf, static_cast<size_t>(size));
        while (n < 0 && errno == EINTR);
        if (n < 0)
            return AVERROR(errno);
        if (n == 0)
            return AVERROR_EOF;
        self->bytes += n;
        return static_cast<int>(n);
    }

    static int64_t Seek(void* opaque, int64_t offset, int whence)
    {
        auto* self = static_cast<TInput*>(opaque);
        if (whence & AVSEEK_SIZE) {
            if (self->size >= 0)
                return self->size;
            struct stat st { };
            return ::fstat(self->fd, &st) == 0 ? static_cast<int64_t>(st.st_size) : AVERROR(errno);
        }
        const off_t r = ::lseek(self->fd, static_cast<off_t>(offset), whence & ~AVSEEK_FORCE);
        return r < 0 ? AVERROR(errno) : static_cast<int64_t>(r);
    }

    static int Interrupt(void* opaque) { return static_cast<TInput*>(opaque)->Allow() ? 0 : 1; }

    // The demuxer may not open further files or URLs named inside this one
    // (playlists, concatenation lists, references): only the file chosen plays.
    static int RefuseNested(AVFormatContext*, AVIOContext**, const char*, int, AVDictionary**)
    {
        return AVERROR(EPERM);
    }
};

} // namespace mplayer_detail
