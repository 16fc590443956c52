#include "MPlayerImpl.h"

#include <SDL2/SDL.h>

#include <cmath>
#include <cstring>

using mplayer_detail::Clock;

namespace {

// Output buffer of 80 to 160 ms (8192 frames at most): a power of two, which
// SDL paces best. A sound server asks for more once half a buffer has
// played, so half of it is what lies queued ahead; on a busy machine (two
// cores, other programs compiling) SDL's thread may wait tens of
// milliseconds for a core, and 10 to 20 ms buffers dropped out. The position
// follows the clock within the buffer, and a stop does not wait for it to
// play out. Closing the output waits up to three buffers (SDL lets the last
// ones drain), so this bounds how long destroying the device takes.
Uint16 ChunkFrames(int rate)
{
    int frames = 128;
    while (frames * 2 <= rate / 6 && frames < 8192)
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
    deviceChunk = want.samples;
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

void TMediaPlayer::Impl::Begin(int64_t from, int64_t to, const mplayer_detail::TShaping& shape)
{
    shaping = shape;
    std::lock_guard<std::mutex> lk(m);
    head = count = 0;
    playing = true;
    stopRequested = false;
    allQueued = false;
    endIsFileEnd = false;
    atFileEnd = false;
    startFrame = from;
    endFrame = to;
    handed = chunkStart = from;
    chunkFrames = 0;
    started = false;
    looping = false;
}

void TMediaPlayer::Impl::ShapeBlock(std::vector<int16_t>& block, int64_t fileFrame)
{
    if (!shaping.On || block.empty())
        return;
    // Shaped at full scale 1.0, as the export's filters work.
    shapeBuffer.resize(block.size());
    for (size_t i = 0; i < block.size(); ++i)
        shapeBuffer[i] = static_cast<float>(block[i]) / 32768.0f;
    ringtone::ApplyShape(shaping.Plan, shapeBuffer.data(), static_cast<int64_t>(block.size()) / channels,
        channels, fileFrame - shaping.SelectionStart, shaping.SelectionFrames, rate);
    for (size_t i = 0; i < block.size(); ++i)
        block[i] = static_cast<int16_t>(std::clamp(std::lrint(shapeBuffer[i] * 32768.0f), -32768L, 32767L));
}

bool TMediaPlayer::Impl::Hand(const std::vector<int16_t>& block, bool& outputStarted)
{
    if (tap)
        tap(block.data(), block.size());
    if (!Queue(block))
        return false;
    bool full = false;
    {
        std::lock_guard<std::mutex> lk(m);
        full = count >= static_cast<size_t>(deviceChunk) * static_cast<size_t>(channels);
    }
    if (full)
        StartOutput(outputStarted);
    return true;
}

void TMediaPlayer::Impl::StartOutput(bool& outputStarted)
{
    if (!outputStarted) {
        SDL_PauseAudioDevice(device, 0);
        outputStarted = true;
    }
}

bool TMediaPlayer::Impl::DecodeRange(
    int64_t from, int64_t to, bool& fileEnd, const std::function<bool(std::vector<int16_t>&)>& take)
{
    fileEnd = false;
    std::vector<int16_t> block;
    int64_t done = from;
    while (done < to) {
        {
            std::lock_guard<std::mutex> lk(m);
            if (stopRequested)
                return false;
        }
        block.clear();
        int64_t got = decoder->Decode(block);
        if (got == 0) {
            // The end of the file, or the end of what can be decoded.
            fileEnd = true;
            return true;
        }
        if (got > to - done) {
            got = to - done;
            block.resize(static_cast<size_t>(got * channels));
        }
        ShapeBlock(block, done);
        if (!take(block))
            return false;
        done += got;
    }
    return true;
}

void TMediaPlayer::Impl::Run(int64_t from, int64_t to)
{
    int64_t queued = from;
    bool fileEnd = false;
    bool outputStarted = false;
    try {
        decoder->SeekTo(from);
        const bool finished = DecodeRange(from, to, fileEnd, [&](std::vector<int16_t>& block) {
            if (!Hand(block, outputStarted))
                return false;
            queued += static_cast<int64_t>(block.size()) / channels;
            return true;
        });
        if (!finished)
            return;
    } catch (const std::exception&) {
        // Out of memory while decoding: end the playback where it got to.
        fileEnd = false;
    }
    StartOutput(outputStarted); // a playback shorter than one buffer
    std::lock_guard<std::mutex> lk(m);
    endFrame = std::min(endFrame, queued);
    endIsFileEnd = fileEnd;
    allQueued = true;
    // The estimate from the header can be wrong (joined files): the end
    // actually met is the length from now on.
    if (fileEnd && !stopRequested && decoder->ReachedEnd())
        lengthMs = mplayer_detail::FramesToMs(queued, rate);
}

// The head is decoded first and kept, then the tail is played from one seek
// and the head follows from memory: nothing is read from the file at the join.
void TMediaPlayer::Impl::RunLoop(mplayer_detail::TLoopParts parts)
{
    int64_t queued = parts.TailFrom; // on the timeline
    bool fileEnd = false;
    bool outputStarted = false;
    try {
        std::vector<int16_t> start;
        decoder->SeekTo(parts.HeadFrom);
        if (!DecodeRange(parts.HeadFrom, parts.HeadTo, fileEnd, [&](std::vector<int16_t>& block) {
                start.insert(start.end(), block.begin(), block.end());
                return true;
            }))
            return;
        decoder->SeekTo(parts.TailFrom);
        if (!DecodeRange(parts.TailFrom, parts.TailTo, fileEnd, [&](std::vector<int16_t>& block) {
                if (!Hand(block, outputStarted))
                    return false;
                queued += static_cast<int64_t>(block.size()) / channels;
                return true;
            }))
            return;
        {
            // A tail cut short by the end of the file joins where it ended.
            std::lock_guard<std::mutex> lk(m);
            joinAt = queued;
            endFrame = queued + static_cast<int64_t>(start.size()) / channels;
        }
        if (!start.empty() && !Hand(start, outputStarted))
            return;
        queued += static_cast<int64_t>(start.size()) / channels;
    } catch (const std::exception&) {
        // Out of memory while decoding: end the playback where it got to.
    }
    StartOutput(outputStarted); // a loop shorter than one buffer
    std::lock_guard<std::mutex> lk(m);
    endFrame = std::min(endFrame, queued);
    allQueued = true;
}
