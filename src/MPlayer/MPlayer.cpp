#include "MPlayer.h"

#include "AudioDecoder.h"
#include "SdlOutput.h"

#include <algorithm>
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstring>
#include <limits>
#include <mutex>
#include <new>
#include <thread>
#include <vector>

using mplayer_detail::TAudioDecoder;
using mplayer_detail::TDecodeError;

namespace {

using Clock = std::chrono::steady_clock;

constexpr const char* kNoDevice = "No MCI device open";
constexpr int64_t kNoEnd = std::numeric_limits<int64_t>::max();

// Milliseconds to frames rounds up and frames to milliseconds rounds down, so
// a position set in milliseconds reads back unchanged.
int64_t MsToFrames(int64_t ms, int rate)
{
    return (ms * rate + 999) / 1000;
}
int64_t FramesToMs(int64_t frames, int rate)
{
    return frames * 1000 / rate;
}

int32_t ToInt32(int64_t v)
{
    return static_cast<int32_t>(std::clamp<int64_t>(v, 0, std::numeric_limits<int32_t>::max()));
}

// Output buffer of 10 to 20 ms: a power of two, which SDL paces best. The
// decoder keeps the rate at 8000 Hz or more, so 128 frames last at most 16 ms.
// Closing the output waits up to three buffers (SDL lets the last ones drain),
// so this bounds how long destroying the device takes.
Uint16 ChunkFrames(int rate)
{
    int frames = 128;
    while (frames * 2 <= rate / 50 && frames < 8192)
        frames *= 2;
    return static_cast<Uint16>(frames);
}

uint16_t NextDeviceId()
{
    static std::atomic<uint16_t> last{0};
    uint16_t id;
    do
        id = static_cast<uint16_t>(last.fetch_add(1) + 1);
    while (id == 0);
    return id;
}

} // namespace

struct TMediaPlayer::Impl {
    std::unique_ptr<TAudioDecoder> decoder; // the worker uses it only while it runs
    int rate = 0;
    int channels = 0;
    // Set while the worker is asked to end: every read of the decoder then
    // fails at once, so a worker inside FFmpeg's seek or read returns.
    std::atomic<bool> abort{false};

    SDL_AudioDeviceID device = 0;
    int deviceRate = 0;
    int deviceChannels = 0;
    bool silentOutput = false; // SDL's dummy driver
    std::thread worker;

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

    ~Impl()
    {
        Halt();
        mplayer_detail::CloseOutput(device);
    }

    static void Callback(void* user, Uint8* stream, int len);
    void Run(int64_t from, int64_t to);
    bool Queue(const std::vector<int16_t>& block);

    // The frame being heard: what went to the output minus the part of the
    // current chunk still to play. The wall clock since the first chunk
    // bounds it, as an output may take chunks faster than it plays them.
    // SDL's silent driver has no clock of its own and only roughly keeps
    // pace (it sleeps whole milliseconds per chunk), so there the wall clock
    // leads, bounded by what it has taken.
    int64_t PositionLocked(Clock::time_point now) const
    {
        if (!playing)
            return held;
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
        const bool done = started ? PositionLocked(now) >= endFrame : endFrame <= startFrame;
        if (!done)
            return;
        playing = false;
        held = endFrame;
        atFileEnd = endIsFileEnd;
        stopRequested = true;
        cv.notify_all();
    }

    // Ends playback, keeping the position heard at this moment.
    void Halt()
    {
        {
            std::lock_guard<std::mutex> lk(m);
            const auto now = Clock::now();
            UpdateLocked(now);
            if (playing)
                held = PositionLocked(now);
            playing = false;
            stopRequested = true;
        }
        abort.store(true);
        cv.notify_all();
        if (worker.joinable())
            worker.join();
        abort.store(false);
        if (device)
            SDL_PauseAudioDevice(device, 1);
        std::lock_guard<std::mutex> lk(m);
        head = count = 0;
    }

    void EnsureDevice()
    {
        if (device && (deviceRate != rate || deviceChannels != channels)) {
            mplayer_detail::CloseOutput(device);
            device = 0;
        }
        if (device)
            return;
        SDL_AudioSpec want{};
        want.freq = rate;
        want.format = AUDIO_S16SYS;
        want.channels = static_cast<Uint8>(channels);
        want.samples = ChunkFrames(rate);
        want.callback = &Impl::Callback;
        want.userdata = this;
        deviceRate = rate;
        deviceChannels = channels;
        device = mplayer_detail::OpenOutput(want);
        silentOutput = mplayer_detail::OutputDriver() == "dummy";
    }
};

void TMediaPlayer::Impl::Callback(void* user, Uint8* stream, int len)
{
    auto* self = static_cast<Impl*>(user);
    std::memset(stream, 0, static_cast<size_t>(len));
    {
        std::lock_guard<std::mutex> lk(self->m);
        if (!self->playing)
            return;
        const size_t ch = static_cast<size_t>(self->deviceChannels);
        const size_t want = static_cast<size_t>(len) / sizeof(int16_t) / ch * ch;
        const size_t n = std::min(want, self->count);
        const size_t cap = self->ring.size();
        const size_t first = std::min(n, cap - self->head);
        auto* out = reinterpret_cast<int16_t*>(stream);
        std::memcpy(out, self->ring.data() + self->head, first * sizeof(int16_t));
        std::memcpy(out + first, self->ring.data(), (n - first) * sizeof(int16_t));
        self->head = (self->head + n) % cap;
        self->count -= n;
        const auto now = Clock::now();
        self->chunkStart = self->handed;
        self->chunkFrames = static_cast<int64_t>(n / ch);
        self->handed += self->chunkFrames;
        self->chunkTime = now;
        if (!self->started && n > 0) {
            self->started = true;
            self->startTime = now;
        }
    }
    self->cv.notify_all();
}

bool TMediaPlayer::Impl::Queue(const std::vector<int16_t>& block)
{
    size_t off = 0;
    while (off < block.size()) {
        std::unique_lock<std::mutex> lk(m);
        cv.wait(lk, [this] { return stopRequested || count < ring.size(); });
        if (stopRequested)
            return false;
        const size_t cap = ring.size();
        const size_t n = std::min(block.size() - off, cap - count);
        const size_t tail = (head + count) % cap;
        const size_t first = std::min(n, cap - tail);
        std::memcpy(ring.data() + tail, block.data() + off, first * sizeof(int16_t));
        std::memcpy(ring.data(), block.data() + off + first, (n - first) * sizeof(int16_t));
        count += n;
        off += n;
    }
    return true;
}

void TMediaPlayer::Impl::Run(int64_t from, int64_t to)
{
    int64_t queued = from;
    bool fileEnd = false;
    try {
        decoder->SeekTo(from);
        std::vector<int16_t> block;
        while (queued < to) {
            {
                std::lock_guard<std::mutex> lk(m);
                if (stopRequested)
                    return;
            }
            block.clear();
            int64_t got = decoder->Decode(block);
            if (got == 0) {
                // The end of the file, or the end of what can be decoded.
                fileEnd = true;
                break;
            }
            if (got > to - queued) {
                got = to - queued;
                block.resize(static_cast<size_t>(got * channels));
            }
            if (!Queue(block))
                return;
            // Start the output only once it has sound to take, so that its
            // first chunk is not silence.
            if (queued == from)
                SDL_PauseAudioDevice(device, 0);
            queued += got;
        }
    } catch (const std::exception&) {
        // Out of memory while decoding: end the playback where it got to.
        fileEnd = false;
    }
    std::lock_guard<std::mutex> lk(m);
    endFrame = std::min(endFrame, queued);
    endIsFileEnd = fileEnd;
    allQueued = true;
    // The estimate from the header can be wrong (joined files): the end
    // actually met is the length from now on.
    if (fileEnd && !stopRequested && decoder->ReachedEnd())
        lengthMs = FramesToMs(queued, rate);
}

TMediaPlayer::TMediaPlayer()
    : impl_(std::make_unique<Impl>())
{
}

TMediaPlayer::~TMediaPlayer()
{
    Close();
}

void TMediaPlayer::SetError(uint32_t code, std::string message)
{
    lastError_ = code;
    lastMessage_ = std::move(message);
}

void TMediaPlayer::SetSuccess()
{
    lastError_ = MCIERR_NO_ERROR;
    lastMessage_.clear();
}

void TMediaPlayer::CheckOpen()
{
    if (!opened_)
        throw EMCIDeviceError(kNoDevice);
}

void TMediaPlayer::Open()
{
    Close();
    try {
        impl_->decoder = std::make_unique<TAudioDecoder>(FileName, &impl_->abort);
    } catch (const TDecodeError& e) {
        SetError(e.Code, e.what());
        throw EMCIDeviceError(e.what());
    } catch (const std::bad_alloc&) {
        SetError(MCIERR_OUT_OF_MEMORY, "Out of memory while opening '" + FileName + "'");
        throw EMCIDeviceError(lastMessage_);
    }
    Impl& d = *impl_;
    d.rate = d.decoder->SampleRate();
    d.channels = d.decoder->Channels();
    {
        std::lock_guard<std::mutex> lk(d.m);
        // About a third of a second of sound between decoder and output.
        d.ring.assign(static_cast<size_t>(16384 * d.channels), 0);
        d.head = d.count = 0;
        d.playing = false;
        d.held = 0;
        d.atFileEnd = false;
        d.lengthMs = d.decoder->LengthMs();
    }
    opened_ = true;
    deviceId_ = NextDeviceId();
    SetSuccess();
}

void TMediaPlayer::Close()
{
    if (deviceId_ == 0)
        return;
    impl_->Halt();
    impl_->decoder.reset();
    opened_ = false;
    deviceId_ = 0;
    SetSuccess();
}

void TMediaPlayer::Play()
{
    CheckOpen();
    Impl& d = *impl_;
    const bool fromPending = startPending_;
    const bool toPending = endPending_;
    startPending_ = endPending_ = false;

    int64_t from;
    int64_t length;
    {
        std::lock_guard<std::mutex> lk(d.m);
        const auto now = Clock::now();
        d.UpdateLocked(now);
        length = d.lengthMs;
        if (AutoRewind && !fromPending && !toPending && !d.playing
            && (d.atFileEnd || FramesToMs(d.held, d.rate) >= length)) {
            d.held = 0;
            d.atFileEnd = false;
        }
        from = d.PositionLocked(now);
    }
    if (fromPending) {
        if (startPos_ < 0 || (length > 0 && startPos_ > length)) {
            SetError(MCIERR_OUTOFRANGE,
                "The start position " + std::to_string(startPos_) + " ms lies outside the media (0 to "
                    + std::to_string(length) + " ms)");
            return;
        }
        from = MsToFrames(startPos_, d.rate);
    }
    int64_t to = kNoEnd;
    if (toPending) {
        // An end beyond the media plays to the end of the file.
        to = endPos_ < 0 ? -1 : MsToFrames(endPos_, d.rate);
        if (to < from) {
            SetError(MCIERR_OUTOFRANGE,
                "The end position " + std::to_string(endPos_) + " ms lies before the start of the playback");
            return;
        }
    }

    d.Halt();
    try {
        d.EnsureDevice();
    } catch (const TDecodeError& e) {
        std::lock_guard<std::mutex> lk(d.m);
        d.held = from;
        SetError(e.Code, e.what());
        return;
    }
    {
        std::lock_guard<std::mutex> lk(d.m);
        d.head = d.count = 0;
        d.playing = true;
        d.stopRequested = false;
        d.allQueued = false;
        d.endIsFileEnd = false;
        d.atFileEnd = false;
        d.startFrame = from;
        d.endFrame = to;
        d.handed = d.chunkStart = from;
        d.chunkFrames = 0;
        d.started = false;
    }
    d.worker = std::thread(&Impl::Run, &d, from, to);
    SetSuccess();
}

void TMediaPlayer::Stop()
{
    CheckOpen();
    impl_->Halt();
    SetSuccess();
}

void TMediaPlayer::Seek(int32_t position)
{
    CheckOpen();
    Impl& d = *impl_;
    const int64_t length = Length();
    if (position < 0 || (length > 0 && position > length)) {
        SetError(MCIERR_OUTOFRANGE,
            "The position " + std::to_string(position) + " ms lies outside the media (0 to "
                + std::to_string(length) + " ms)");
        return;
    }
    d.Halt();
    {
        std::lock_guard<std::mutex> lk(d.m);
        d.held = MsToFrames(position, d.rate);
        d.atFileEnd = false;
    }
    SetSuccess();
}

void TMediaPlayer::SetStartPos(int32_t position)
{
    startPos_ = position;
    startPending_ = true;
}

void TMediaPlayer::SetEndPos(int32_t position)
{
    endPos_ = position;
    endPending_ = true;
}

void TMediaPlayer::SetTimeFormat(int format)
{
    if (!opened_)
        SetError(MCIERR_INVALID_DEVICE_ID, kNoDevice);
    else if (format != 0)
        SetError(MCIERR_BAD_TIME_FORMAT,
            "Only the millisecond time format (0) is supported, not " + std::to_string(format));
    else
        SetSuccess();
}

uint8_t TMediaPlayer::Mode()
{
    if (!opened_) {
        SetError(MCIERR_INVALID_DEVICE_ID, kNoDevice);
        return mpNotReady;
    }
    Impl& d = *impl_;
    bool playing;
    {
        std::lock_guard<std::mutex> lk(d.m);
        d.UpdateLocked(Clock::now());
        playing = d.playing;
    }
    SetSuccess();
    return playing ? mpPlaying : mpStopped;
}

int32_t TMediaPlayer::Position()
{
    if (!opened_) {
        SetError(MCIERR_INVALID_DEVICE_ID, kNoDevice);
        return 0;
    }
    Impl& d = *impl_;
    int64_t frames;
    {
        std::lock_guard<std::mutex> lk(d.m);
        const auto now = Clock::now();
        d.UpdateLocked(now);
        frames = d.PositionLocked(now);
    }
    SetSuccess();
    return ToInt32(FramesToMs(frames, d.rate));
}

int32_t TMediaPlayer::Length()
{
    CheckOpen();
    Impl& d = *impl_;
    std::lock_guard<std::mutex> lk(d.m);
    SetSuccess();
    return ToInt32(d.lengthMs);
}

std::string TMediaPlayer::ErrorMessage() const
{
    if (lastError_ == MCIERR_NO_ERROR)
        return "The specified command was carried out.";
    if (!lastMessage_.empty())
        return lastMessage_;
    return "Unknown error code";
}
