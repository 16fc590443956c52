// Internal to the playback device: the state shared by the GUI thread, the
// decoding worker and the sound output's callback, and the worker itself.
#pragma once

#include "AudioDecoder.h"
#include "MPlayer.h"
#include "SdlOutput.h"

#include <algorithm>
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <thread>
#include <vector>

namespace mplayer_detail {

using Clock = std::chrono::steady_clock;

// Milliseconds to frames rounds up and frames to milliseconds rounds down, so
// a position set in milliseconds reads back unchanged.
inline int64_t MsToFrames(int64_t ms, int rate)
{
    return (ms * rate + 999) / 1000;
}
inline int64_t FramesToMs(int64_t frames, int rate)
{
    return frames * 1000 / rate;
}

// How the worker shapes what it decodes; off for a plain Play. Frames of the
// file; the selection runs from SelectionStart for SelectionFrames.
struct TShaping {
    bool On = false;
    ringtone::TShapePlan Plan;
    int64_t SelectionStart = 0;
    int64_t SelectionFrames = 0;
};

// The two parts of a loop preview, in frames of the file: the end of the
// selection [TailFrom, TailTo) followed by its start [HeadFrom, HeadTo).
struct TLoopParts {
    int64_t TailFrom = 0, TailTo = 0, HeadFrom = 0, HeadTo = 0;
};

} // namespace mplayer_detail

struct TMediaPlayer::Impl {
    using Clock = mplayer_detail::Clock;

    std::unique_ptr<mplayer_detail::TAudioDecoder> decoder; // the worker uses it only while it runs
    int rate = 0;
    int channels = 0;
    // Set while the worker is asked to end: every read of the decoder then
    // fails at once, so a worker inside FFmpeg's seek or read returns.
    std::atomic<bool> abort{false};

    mplayer_detail::TOutputId device = 0;
    int deviceRate = 0;
    int deviceChannels = 0;
    int deviceChunk = 0; // frames the output takes at a time
    bool silentOutput = false; // SDL's dummy driver
    std::thread worker;
    // Set before the worker starts, read only by it.
    mplayer_detail::TShaping shaping;
    TMediaPlayer::TOutputTap tap;
    std::vector<float> shapeBuffer;

    // Shared by the GUI thread, the worker and SDL's audio callback.
    std::mutex m;
    std::condition_variable cv;
    std::vector<int16_t> ring; // decoded samples waiting for the output
    size_t head = 0; // read index into ring, in samples
    size_t count = 0; // samples in ring
    bool playing = false;
    bool stopRequested = false;
    bool allQueued = false; // the worker has queued everything up to endFrame
    bool endIsFileEnd = false; // ... and that end is the end of the file
    bool atFileEnd = false; // the last playback ran to the end of the file
    int64_t lengthMs = 0; // the file's estimate, then the end met in playback
    int64_t held = 0; // position in frames while not playing
    int64_t startFrame = 0;
    int64_t endFrame = 0; // exclusive
    int64_t handed = 0; // frame after the last one handed to the output
    int64_t chunkStart = 0; // first frame of the chunk the output is playing
    int64_t chunkFrames = 0;
    Clock::time_point chunkTime; // when that chunk was handed over
    bool started = false; // the first chunk of this playback went out
    Clock::time_point startTime;
    // A loop preview counts its frames on one timeline: the tail's own frame
    // numbers, going on past joinAt into the head, which starts at headFrom.
    bool looping = false;
    int64_t joinAt = 0;
    int64_t headFrom = 0;

    ~Impl()
    {
        Halt();
        mplayer_detail::CloseOutput(device);
    }

    static void Callback(void* user, uint8_t* stream, int len);
    // Ends playback, keeping the position heard at this moment.
    void Halt();
    // Opens the output for the file's rate and channels, or keeps the open one.
    void EnsureDevice();
    // Readies the shared state for a playback over [from, to) of the
    // timeline; the caller then starts the worker.
    void Begin(int64_t from, int64_t to, const mplayer_detail::TShaping& shape);
    void Run(int64_t from, int64_t to);
    void RunLoop(mplayer_detail::TLoopParts parts);
    // Decodes file frames [from, to), shapes each block and hands it to
    // `take`; false when a stop was asked or `take` refused. `fileEnd` tells
    // whether the file ended before `to`.
    bool DecodeRange(
        int64_t from, int64_t to, bool& fileEnd, const std::function<bool(std::vector<int16_t>&)>& take);
    void ShapeBlock(std::vector<int16_t>& block, int64_t fileFrame);
    // Shows the block to the tap, queues it and starts the output once a
    // whole buffer of it is queued, so that its first buffer is not partly
    // silence.
    bool Hand(const std::vector<int16_t>& block, bool& outputStarted);
    void StartOutput(bool& outputStarted);
    bool Queue(const std::vector<int16_t>& block);

    // A frame of the timeline as a frame of the file.
    int64_t ToFile(int64_t t) const { return looping && t >= joinAt ? t - joinAt + headFrom : t; }

    // The frame being heard: what went to the output minus the part of the
    // current chunk still to play. The wall clock since the first chunk
    // bounds it, as an output may take chunks faster than it plays them.
    // SDL's silent driver has no clock of its own and only roughly keeps
    // pace (it sleeps whole milliseconds per chunk), so there the wall clock
    // leads, bounded by what it has taken.
    int64_t PositionLocked(Clock::time_point now) const
    {
        return playing ? ToFile(TimelineLocked(now)) : held;
    }
    int64_t TimelineLocked(Clock::time_point now) const
    {
        if (!started)
            return startFrame;
        auto frames = [this](Clock::duration d) {
            return std::chrono::duration_cast<std::chrono::microseconds>(d).count() * rate / 1000000;
        };
        const int64_t wall = startFrame + frames(now - startTime);
        const int64_t device
            = silentOutput ? handed : chunkStart + std::min(chunkFrames, frames(now - chunkTime));
        return std::min({device, wall, endFrame});
    }

    // Notices that playback has reached its end.
    void UpdateLocked(Clock::time_point now)
    {
        if (!playing || !allQueued || count != 0)
            return;
        const bool done = started ? TimelineLocked(now) >= endFrame : endFrame <= startFrame;
        if (!done)
            return;
        playing = false;
        held = ToFile(endFrame);
        atFileEnd = endIsFileEnd;
        stopRequested = true;
        cv.notify_all();
    }
};
