#include "VorbisInput.h"

#include "DecoderInput.h"

#include <algorithm>
#include <cerrno>
#include <cstdint>
#include <cstring>

#define OV_EXCLUDE_STATIC_CALLBACKS
#include <vorbis/vorbisfile.h>

extern "C" {
#include <libavutil/channel_layout.h>
#include <libavutil/frame.h>
#include <libavutil/samplefmt.h>
}

namespace mplayer_detail {

namespace {

// Samples per channel asked of one Read: about 100 ms at 44.1 kHz, so a stop
// is seen between reads.
constexpr int kBlockFrames = 4096;
// Errors in a row (holes, damaged packets) after which the file ends.
constexpr int kMaxErrors = 64;

// Vorbis orders its channels by count; FFmpeg's layouts for the same counts
// (as its own Vorbis decoder gives them), and where each of FFmpeg's channels
// is in the Vorbis order.
struct TLayout {
    uint64_t mask;
    int fromVorbis[8];
};
const TLayout kLayouts[8] = {
    {AV_CH_LAYOUT_MONO, {0}},
    {AV_CH_LAYOUT_STEREO, {0, 1}},
    {AV_CH_LAYOUT_SURROUND, {0, 2, 1}},
    {AV_CH_LAYOUT_QUAD, {0, 1, 2, 3}},
    {AV_CH_LAYOUT_5POINT0_BACK, {0, 2, 1, 3, 4}},
    {AV_CH_LAYOUT_5POINT1_BACK, {0, 2, 1, 5, 3, 4}},
    {AV_CH_LAYOUT_6POINT1, {0, 2, 1, 6, 5, 3, 4}},
    {AV_CH_LAYOUT_7POINT1, {0, 2, 1, 7, 5, 6, 3, 4}},
};

size_t ReadCb(void* ptr, size_t size, size_t nmemb, void* source)
{
    auto* in = static_cast<TInput*>(source);
    const size_t want = size * nmemb;
    if (want == 0)
        return 0;
    if (!in->Allow()) {
        errno = EINTR; // libvorbisfile takes a short read with errno set as a read error
        return 0;
    }
    ssize_t n;
    do
        n = ::read(in->fd, ptr, want);
    while (n < 0 && errno == EINTR);
    if (n <= 0) {
        if (n == 0)
            errno = 0;
        return 0;
    }
    in->bytes += n;
    return static_cast<size_t>(n) / size;
}

int SeekCb(void* source, ogg_int64_t offset, int whence)
{
    auto* in = static_cast<TInput*>(source);
    if (!in->Allow())
        return -1;
    return ::lseek(in->fd, static_cast<off_t>(offset), whence) < 0 ? -1 : 0;
}

long TellCb(void* source)
{
    return static_cast<long>(::lseek(static_cast<TInput*>(source)->fd, 0, SEEK_CUR));
}

// Pages looked at for damaged granule positions at the start of the file.
constexpr int kScanPages = 64;

// The sample from which the granule positions of the file hold: 0 when none
// of its first pages has a negative one, else the first positive position
// after the last negative one (INT64_MAX when none follows).
int64_t SeekFloor(int fd)
{
    int64_t floor = 0;
    bool damaged = false;
    off_t at = 0;
    for (int page = 0; page < kScanPages; ++page) {
        unsigned char head[27 + 255];
        const ssize_t n = ::pread(fd, head, sizeof head, at);
        if (n < 27 || std::memcmp(head, "OggS", 4) != 0)
            break;
        const int segments = head[26];
        if (n < 27 + segments)
            break;
        int64_t granule = 0;
        std::memcpy(&granule, head + 6, 8); // little-endian
        off_t bytes = 27 + segments;
        for (int i = 0; i < segments; ++i)
            bytes += head[27 + i];
        at += bytes;
        if (page == 0 || granule == -1) // -1: no packet ends on the page
            continue;
        if (granule < 0) {
            damaged = true;
            floor = INT64_MAX;
        } else if (damaged && granule > 0 && floor == INT64_MAX) {
            floor = granule;
        }
    }
    return damaged ? floor : 0;
}

} // namespace

struct TVorbisInput::TFile {
    OggVorbis_File vf{};
    bool open = false;
    ~TFile()
    {
        if (open)
            ov_clear(&vf);
    }
};

bool TVorbisInput::IsOggVorbis(TInput& in)
{
    // The first page: 27 bytes of page header, its segment table, then the
    // identification packet "\x01vorbis".
    unsigned char head[27 + 255 + 7];
    const ssize_t n = ::pread(in.fd, head, sizeof head, 0);
    if (n < 28 || std::memcmp(head, "OggS", 4) != 0)
        return false;
    const size_t at = 27 + size_t{head[26]};
    return static_cast<size_t>(n) >= at + 7 && std::memcmp(head + at, "\x01vorbis", 7) == 0;
}

TVorbisInput::TVorbisInput(TInput& in)
    : in_(in)
    , file_(std::make_unique<TFile>())
{
    seekFloor_ = SeekFloor(in_.fd);
    if (::lseek(in_.fd, 0, SEEK_SET) != 0)
        return;
    const ov_callbacks callbacks{&ReadCb, &SeekCb, nullptr, &TellCb};
    if (ov_open_callbacks(&in_, &file_->vf, nullptr, 0, callbacks) != 0)
        return;
    file_->open = true;
    const vorbis_info* info = ov_info(&file_->vf, -1);
    if (!info || info->channels < 1 || info->channels > 8 || info->rate <= 0)
        return;
    rate_ = static_cast<int>(info->rate);
    channels_ = info->channels;
    const ogg_int64_t total = ov_pcm_total(&file_->vf, -1);
    frames_ = total > 0 ? static_cast<int64_t>(total) : 0;
    const ogg_int64_t at = ov_pcm_tell(&file_->vf);
    next_ = at > 0 ? static_cast<int64_t>(at) : 0;
    opened_ = true;
}

TVorbisInput::~TVorbisInput() = default;

bool TVorbisInput::Seek(int64_t frame)
{
    reachedEnd_ = false;
    if (!opened_)
        return false;
    frame = std::max<int64_t>(frame, 0);
    if (frames_ > 0)
        frame = std::min(frame, frames_);
    // A failed seek by granule position leaves the stream where its search
    // stopped: then, as below the floor, the file is decoded again from the
    // start and the samples before `frame` dropped, the same samples as
    // reading on from the start gives.
    if (frame >= seekFloor_ && ov_pcm_seek(&file_->vf, static_cast<ogg_int64_t>(frame)) == 0) {
        next_ = frame;
        skip_ = 0;
        return true;
    }
    if (ov_raw_seek(&file_->vf, 0) != 0)
        return false;
    next_ = frame;
    skip_ = frame;
    return true;
}

int TVorbisInput::Read(AVFrame& f)
{
    if (!opened_)
        return 0;
    float** pcm = nullptr;
    int section = 0;
    long n = 0;
    long from = 0; // first sample of the block handed out
    int errors = 0;
    for (;;) {
        n = ov_read_float(&file_->vf, &pcm, kBlockFrames, &section);
        if (n == 0) {
            reachedEnd_ = in_.tripped == TInput::TTrip::None;
            return 0;
        }
        if (n < 0) {
            // A hole or a damaged packet is skipped; a file that yields
            // nothing but errors ends.
            if (in_.tripped != TInput::TTrip::None || ++errors > kMaxErrors)
                return 0;
            continue;
        }
        errors = 0;
        if (n > skip_) {
            from = static_cast<long>(skip_);
            skip_ = 0;
            break;
        }
        skip_ -= n;
        // Audio decoded and dropped is progress all the same: a long skip is
        // no file without audio.
        in_.Progress();
        if (!in_.Allow())
            return 0;
    }
    n -= from;
    const vorbis_info* info = ov_info(&file_->vf, section);
    // A chained file whose next link changes the channels is not followed.
    if (!info || info->channels != channels_)
        return 0;
    const TLayout& layout = kLayouts[channels_ - 1];
    av_channel_layout_uninit(&f.ch_layout);
    av_channel_layout_from_mask(&f.ch_layout, layout.mask);
    f.format = AV_SAMPLE_FMT_FLTP;
    f.sample_rate = static_cast<int>(info->rate);
    f.nb_samples = static_cast<int>(n);
    for (int c = 0; c < channels_; ++c) {
        f.data[c] = reinterpret_cast<uint8_t*>(pcm[layout.fromVorbis[c]] + from);
        f.linesize[c] = static_cast<int>(n * sizeof(float));
    }
    f.extended_data = f.data;
    f.pts = f.best_effort_timestamp = next_;
    f.pkt_dts = AV_NOPTS_VALUE;
    next_ += n;
    return static_cast<int>(n);
}

} // namespace mplayer_detail
