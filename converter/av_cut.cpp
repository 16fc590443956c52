#include "av_cut.h"
#include "av_mp3.h"

#include "RingtoneShape.h"
#include "av_common.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <span>

#include <fcntl.h>
#include <sys/mman.h>
#include <sys/stat.h>

namespace av {
namespace {

using Bytes = std::span<const unsigned char>;

// What the decoder discards before the cut, seconds.
constexpr double kPreRollSeconds = 2.0;
// The true-peak ceiling of the limiter, below the -1 dBTP the gain aims at:
// encoders overshoot a little and meters read inter-sample peaks apart.
constexpr double kLimiterDb = -1.8;

uint32_t be32(Bytes b, std::size_t at)
{
    return (uint32_t{b[at]} << 24) | (uint32_t{b[at + 1]} << 16) | (uint32_t{b[at + 2]} << 8) | b[at + 3];
}

bool has(Bytes b, std::size_t at, const char* text)
{
    const std::size_t n = std::strlen(text);
    return at <= b.size() && b.size() - at >= n && std::memcmp(b.data() + at, text, n) == 0;
}

using Frame = Mp3Frame;

std::optional<Frame> frameAt(Bytes b, std::size_t at)
{
    return mp3FrameAt(b, at);
}

// The header frame's tag: whether it is a frame of its own (not audio), and
// the LAME encoder delay and padding when it carries them.
struct HeaderTag {
    bool isHeader = false;
    long long frames = 0;
    std::optional<std::pair<int, int>> pads; // start, end
};

HeaderTag readHeaderTag(Bytes b, std::size_t at, const Frame& f)
{
    HeaderTag tag;
    const std::size_t x = at + f.sideInfoEnd;
    if (has(b, x, "Xing") || has(b, x, "Info")) {
        if (x + 8 > b.size())
            return tag;
        const uint32_t flags = be32(b, x + 4);
        std::size_t p = x + 8;
        long long bytes = 0;
        if ((flags & 1) && p + 4 <= b.size())
            tag.frames = be32(b, p), p += 4;
        if ((flags & 2) && p + 4 <= b.size())
            bytes = be32(b, p), p += 4;
        p += (flags & 4 ? 100 : 0) + (flags & 8 ? 4 : 0);
        tag.isHeader = tag.frames > 0 || bytes > 0;
        if (p + 24 <= b.size() && (has(b, p, "LAME") || has(b, p, "Lavf") || has(b, p, "Lavc"))) {
            const uint32_t v = (uint32_t{b[p + 21]} << 16) | (uint32_t{b[p + 22]} << 8) | b[p + 23];
            tag.pads = std::pair{static_cast<int>(v >> 12), static_cast<int>(v & 4095)};
        }
    } else if (has(b, at + 36, "VBRI") && at + 54 <= b.size()) {
        tag.frames = be32(b, at + 36 + 14);
        tag.isHeader = tag.frames > 0 || be32(b, at + 36 + 10) > 0;
    }
    return tag;
}

// Tags that may follow the last frame.
bool tailTags(Bytes b, std::size_t at)
{
    return at >= b.size() || has(b, at, "TAG") || has(b, at, "APETAGEX") || has(b, at, "LYRICSBEGIN");
}

std::optional<Mp3Walk> walk(Bytes b)
{
    std::size_t at = 0;
    if (has(b, 0, "ID3") && b.size() >= 10) {
        if ((b[6] | b[7] | b[8] | b[9]) & 0x80)
            return std::nullopt;
        at = 10 + ((std::size_t{b[6]} << 21) | (std::size_t{b[7]} << 14) | (std::size_t{b[8]} << 7) | b[9])
            + (b[5] & 0x10 ? 10 : 0);
    }
    while (at < b.size() && b[at] == 0) // padding after the tag
        ++at;
    const auto first = frameAt(b, at);
    if (!first || !frameAt(b, at + first->bytes))
        return std::nullopt;
    Mp3Walk w;
    w.rate = first->rate;
    w.samplesPerFrame = first->samples;
    const HeaderTag tag = readHeaderTag(b, at, *first);
    if (tag.isHeader)
        at += first->bytes;
    for (;;) {
        const auto f = frameAt(b, at);
        if (!f || f->key != first->key || at + f->bytes > b.size()) {
            if (!tailTags(b, at) && !(f && f->key == first->key))
                return std::nullopt; // not a clean stream: its decode may resync anywhere
            break;
        }
        w.offsets.push_back(static_cast<long long>(at));
        at += f->bytes;
    }
    long long rawEnd = static_cast<long long>(w.offsets.size()) * w.samplesPerFrame;
    if (tag.pads) {
        // As ffmpeg's demuxer reads the LAME tag: the encoder delay plus the
        // decoder's 529 samples go at the start, the padding at the end.
        w.skip = tag.pads->first + 529;
        if (tag.frames > 0)
            rawEnd = std::min(rawEnd, tag.frames * w.samplesPerFrame - tag.pads->second + 529);
    }
    w.totalSamples = std::max(0LL, rawEnd - w.skip);
    return w;
}

std::string decimal(double v)
{
    char buf[48];
    std::snprintf(buf, sizeof buf, "%.6f", v);
    return buf;
}

enum class Container { Mp3, SeeksExactly, Other };

Container containerOf(Bytes b)
{
    if ((has(b, 0, "RIFF") && has(b, 8, "WAVE")) || has(b, 0, "OggS") || has(b, 4, "ftyp"))
        return Container::SeeksExactly;
    if (has(b, 0, "ID3") || frameAt(b, 0))
        return Container::Mp3;
    return Container::Other;
}

struct Mapping {
    void* data = MAP_FAILED;
    std::size_t size = 0;
    Mapping(const Mapping&) = delete;
    Mapping& operator=(const Mapping&) = delete;
    explicit Mapping(const std::string& path)
    {
        UniqueFd fd(::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK));
        struct stat st { };
        if (fd.get() < 0 || ::fstat(fd.get(), &st) != 0 || !S_ISREG(st.st_mode) || st.st_size <= 0)
            return;
        size = static_cast<std::size_t>(st.st_size);
        data = ::mmap(nullptr, size, PROT_READ, MAP_PRIVATE, fd.get(), 0);
        if (data != MAP_FAILED)
            ::madvise(data, size, MADV_SEQUENTIAL);
    }
    ~Mapping()
    {
        if (data != MAP_FAILED)
            ::munmap(data, size);
    }
    Bytes bytes() const
    {
        return data == MAP_FAILED ? Bytes{} : Bytes(static_cast<const unsigned char*>(data), size);
    }
};

CutPlan planMp3(const Job& job, const Mp3Walk& w)
{
    CutPlan plan;
    plan.offsetSeconds = static_cast<double>(job.startSeconds);
    const long long start = std::llround(job.startSeconds * w.rate); // samples of a decode from the start
    plan.sourceLeftSeconds = static_cast<double>(std::max(0LL, w.totalSamples - start)) / w.rate;
    const long long preRoll = static_cast<long long>(std::ceil(kPreRollSeconds * w.rate / w.samplesPerFrame));
    const long long frame = (start + w.skip) / w.samplesPerFrame - preRoll;
    if (frame <= 0 || frame >= static_cast<long long>(w.offsets.size()))
        return plan;
    // The decoder starts without the delay skipped: sample 0 is the frame's first.
    plan.inputOptions
        = {"-skip_initial_bytes", std::to_string(w.offsets[static_cast<std::size_t>(frame)]), "-f", "mp3"};
    plan.offsetSeconds = static_cast<double>(start + w.skip - frame * w.samplesPerFrame) / w.rate;
    return plan;
}

// Where the decoder starts; decoding from the start when in doubt.
CutPlan seekPlan(const Job& job)
{
    CutPlan whole;
    whole.offsetSeconds = static_cast<double>(job.startSeconds);
    const Mapping map(job.source);
    const Bytes b = map.bytes();
    switch (containerOf(b)) {
    case Container::Mp3:
        if (const auto w = walk(b))
            return planMp3(job, *w);
        return whole;
    case Container::SeeksExactly: {
        const double seek = std::max(0.0, static_cast<double>(job.startSeconds) - kPreRollSeconds);
        if (seek <= 0)
            return whole;
        CutPlan plan;
        plan.inputOptions = {"-ss", decimal(seek)};
        plan.offsetSeconds = static_cast<double>(job.startSeconds) - seek;
        return plan;
    }
    case Container::Other:
        break;
    }
    return whole;
}

} // namespace

std::optional<Mp3Walk> walkMp3(const std::string& path)
{
    const Mapping map(path);
    return walk(map.bytes());
}

CutPlan planCut(const Job& job)
{
    CutPlan plan = seekPlan(job);
    if (const char* e = std::getenv("AV_CUT_FROM_START"); e && std::strcmp(e, "1") == 0) {
        plan.inputOptions.clear();
        plan.offsetSeconds = static_cast<double>(job.startSeconds);
    }
    return plan;
}

std::string filterChain(const Job& job, const CutPlan& plan)
{
    std::optional<double> length;
    if (job.lengthSeconds)
        length = static_cast<double>(*job.lengthSeconds);
    // Where the walk knows the source's end, the cut stops there: a decoder
    // started mid-file does not know the encoder's padding.
    if (plan.sourceLeftSeconds)
        length = std::min(length.value_or(*plan.sourceLeftSeconds), *plan.sourceLeftSeconds);
    // Samples counted from the decoder's first, whatever the timestamps say.
    std::string chain = "asetpts=N/SR/TB,atrim=start=" + decimal(plan.offsetSeconds);
    if (length)
        chain += ":duration=" + decimal(*length);
    chain += ",asetpts=PTS-STARTPTS";
    const ringtone::TShapePlan shape{job.fadeInMs, job.fadeOutMs, job.gainDb, job.limit};
    const ringtone::TFadeSpan fades = ringtone::EffectiveFades(shape, length.value_or(3600.0));
    chain += ",afade=t=in:st=0:d=" + decimal(fades.InSeconds);
    if (length)
        chain += ",afade=t=out:st=" + decimal(*length - fades.OutSeconds) + ":d=" + decimal(fades.OutSeconds);
    if (job.gainDb != 0)
        chain += ",volume=" + decimal(job.gainDb) + "dB";
    if (job.limit)
        chain += ",alimiter=limit=" + decimal(std::pow(10.0, kLimiterDb / 20)) + ":level=0:latency=1";
    return chain;
}

std::vector<std::string> tagOptions(const Job& job)
{
    // Android's ringtone player loops an Ogg file that says so seamlessly.
    const std::vector<std::string> loop{"-metadata:s:a:0", "ANDROID_LOOP=true"};
    if (!job.title)
        return job.codec == Codec::Vorbis ? loop : std::vector<std::string>{};
    const std::string title = "title=" + *job.title; // empty: the song's title is not kept
    switch (job.codec) {
    case Codec::Mp3:
        return {"-metadata", title, "-id3v2_version", "3"};
    case Codec::Aac:
        return {"-metadata", title};
    case Codec::Vorbis: // the comment header holds the stream's tags
        return {"-metadata", title, "-metadata:s:a:0", title, loop[0], loop[1]};
    case Codec::AmrNb:
        break;
    }
    return {};
}

} // namespace av
