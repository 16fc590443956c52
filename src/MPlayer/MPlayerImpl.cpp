#include "MPlayerImpl.h"

#include <SDL2/SDL.h>

#include <cstring>

using mplayer_detail::Clock;

namespace {

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

} // namespace

void TMediaPlayer::Impl::Halt()
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

void TMediaPlayer::Impl::EnsureDevice()
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

void TMediaPlayer::Impl::Callback(void* user, uint8_t* stream, int len)
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
        lengthMs = mplayer_detail::FramesToMs(queued, rate);
}
