#include "MPlayer.h"

#include "MPlayerImpl.h"

#include <algorithm>
#include <atomic>
#include <limits>
#include <mutex>
#include <new>

using mplayer_detail::Clock;
using mplayer_detail::FramesToMs;
using mplayer_detail::MsToFrames;
using mplayer_detail::TAudioDecoder;
using mplayer_detail::TDecodeError;

namespace {

constexpr int64_t kNoEnd = std::numeric_limits<int64_t>::max();
// Each part of the loop preview: what a listener needs to hear the join.
constexpr int64_t kLoopPartMs = 3000;

int32_t ToInt32(int64_t v)
{
    return static_cast<int32_t>(std::clamp<int64_t>(v, 0, std::numeric_limits<int32_t>::max()));
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
        throw EMCIDeviceError(MCI_NO_DEVICE_TEXT);
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
    // Play selection sounds as the ringtone will: shaped over the selection
    // that plays (an end beyond the media ends with it).
    mplayer_detail::TShaping shaping;
    if (fromPending && toPending) {
        const int64_t end = length > 0 ? std::min(to, MsToFrames(length, d.rate)) : to;
        shaping = {true, shape_, from, std::max<int64_t>(end - from, 0)};
        applied_ = shape_;
    }
    d.Begin(from, to, shaping);
    d.worker = std::thread(&Impl::Run, &d, from, to);
    SetSuccess();
}

void TMediaPlayer::SetShape(const ringtone::TShapePlan& plan)
{
    shape_ = plan;
}

void TMediaPlayer::SetOutputTap(TOutputTap tap)
{
    impl_->tap = std::move(tap);
}

void TMediaPlayer::PlayLoop(int32_t selectionStartMs, int32_t selectionEndMs)
{
    CheckOpen();
    Impl& d = *impl_;
    int64_t length;
    {
        std::lock_guard<std::mutex> lk(d.m);
        d.UpdateLocked(Clock::now());
        length = d.lengthMs;
    }
    // An end beyond the media ends the selection with the media.
    const int64_t endMs = length > 0 ? std::min<int64_t>(selectionEndMs, length) : selectionEndMs;
    const int64_t from = MsToFrames(selectionStartMs, d.rate);
    const int64_t to = MsToFrames(endMs, d.rate);
    // Each part: 3 s, or half of a shorter selection.
    const int64_t part = std::min(MsToFrames(kLoopPartMs, d.rate), (to - from) / 2);
    if (selectionStartMs < 0 || part <= 0) {
        SetError(MCIERR_OUTOFRANGE,
            "The selection " + std::to_string(selectionStartMs) + " to " + std::to_string(selectionEndMs)
                + " ms cannot be looped: it must lie within the media (0 to " + std::to_string(length)
                + " ms) and not be empty");
        return;
    }

    d.Halt();
    try {
        d.EnsureDevice();
    } catch (const TDecodeError& e) {
        SetError(e.Code, e.what());
        return;
    }
    const mplayer_detail::TLoopParts parts{to - part, to, from, from + part};
    d.Begin(parts.TailFrom, parts.TailTo + part, {true, shape_, from, to - from});
    {
        std::lock_guard<std::mutex> lk(d.m);
        d.looping = true;
        d.joinAt = parts.TailTo;
        d.headFrom = parts.HeadFrom;
    }
    applied_ = shape_;
    d.worker = std::thread(&Impl::RunLoop, &d, parts);
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
        SetError(MCIERR_INVALID_DEVICE_ID, MCI_NO_DEVICE_TEXT);
    else if (format != 0)
        SetError(MCIERR_BAD_TIME_FORMAT,
            "Only the millisecond time format (0) is supported, not " + std::to_string(format));
    else
        SetSuccess();
}

uint8_t TMediaPlayer::Mode()
{
    if (!opened_) {
        SetError(MCIERR_INVALID_DEVICE_ID, MCI_NO_DEVICE_TEXT);
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
        SetError(MCIERR_INVALID_DEVICE_ID, MCI_NO_DEVICE_TEXT);
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
        return MCI_SUCCESS_TEXT;
    if (!lastMessage_.empty())
        return lastMessage_;
    return "Unknown error code";
}
