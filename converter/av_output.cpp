#include "av_output.h"
#include "av_mp3.h"

#include <array>
#include <cerrno>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <memory>
#include <vector>

#include <sys/mman.h>
#include <sys/stat.h>

namespace av {
namespace {

using Bytes = std::span<const unsigned char>;

uint32_t be32(Bytes b, std::size_t at)
{
    return (uint32_t{b[at]} << 24) | (uint32_t{b[at + 1]} << 16) | (uint32_t{b[at + 2]} << 8) | b[at + 3];
}

uint64_t be64(Bytes b, std::size_t at)
{
    return (uint64_t{be32(b, at)} << 32) | be32(b, at + 4);
}

uint64_t le64(Bytes b, std::size_t at)
{
    uint64_t v = 0;
    for (int i = 7; i >= 0; --i)
        v = (v << 8) | b[at + static_cast<std::size_t>(i)];
    return v;
}

bool startsWith(Bytes b, std::size_t at, const char* text, std::size_t n)
{
    return at <= b.size() && b.size() - at >= n && std::memcmp(b.data() + at, text, n) == 0;
}

// ---- MP3: ID3v2 tag (optional), then Layer III frames.

std::optional<Mp3Frame> mp3Frame(Bytes b, std::size_t at)
{
    return mp3FrameAt(b, at);
}

std::optional<double> mp3Seconds(Bytes b)
{
    std::size_t at = 0;
    if (startsWith(b, 0, "ID3", 3) && b.size() >= 10) {
        if ((b[6] | b[7] | b[8] | b[9]) & 0x80)
            return std::nullopt;
        at = 10 + ((std::size_t{b[6]} << 21) | (std::size_t{b[7]} << 14) | (std::size_t{b[8]} << 7) | b[9])
            + ((b[5] & 0x10) ? 10 : 0);
    }
    const auto first = mp3Frame(b, at);
    if (!first)
        return std::nullopt;
    // A Xing/Info frame carries the encoder's notes, not audio.
    if (startsWith(b, at + first->sideInfoEnd, "Xing", 4)
        || startsWith(b, at + first->sideInfoEnd, "Info", 4))
        at += first->bytes;
    long long samples = 0;
    while (const auto f = mp3Frame(b, at)) {
        if (f->rate != first->rate || f->bytes > b.size() - at)
            break; // a frame cut short is no audio
        samples += f->samples;
        at += f->bytes;
    }
    return static_cast<double>(samples) / first->rate;
}

// ---- AMR-NB storage format: "#!AMR\n", then 20 ms frames.

std::optional<double> amrSeconds(Bytes b)
{
    if (!startsWith(b, 0, "#!AMR\n", 6))
        return std::nullopt;
    // Speech bytes after the one-byte header, by frame type; 12-14 are reserved.
    static constexpr int kSize[16] = {12, 13, 15, 17, 19, 20, 26, 31, 5, 6, 5, 5, -1, -1, -1, 0};
    long long frames = 0;
    for (std::size_t at = 6; at < b.size(); ++frames) {
        const int size = kSize[(b[at] >> 3) & 15];
        if (size < 0 || static_cast<std::size_t>(size) + 1 > b.size() - at)
            break;
        at += static_cast<std::size_t>(size) + 1;
    }
    return static_cast<double>(frames) * 0.02;
}

// ---- Ogg Vorbis: pages with a CRC; the last good page's granule position
// counts the samples.

uint32_t oggCrc(Bytes page)
{
    static const auto table = [] {
        std::array<uint32_t, 256> t{};
        for (uint32_t i = 0; i < 256; ++i) {
            uint32_t r = i << 24;
            for (int k = 0; k < 8; ++k)
                r = (r & 0x80000000u) ? (r << 1) ^ 0x04C11DB7u : r << 1;
            t[i] = r;
        }
        return t;
    }();
    uint32_t crc = 0;
    const auto add = [&](unsigned char c) { crc = (crc << 8) ^ table[((crc >> 24) ^ c) & 0xFF]; };
    for (std::size_t i = 0; i < 22; ++i)
        add(page[i]);
    for (int i = 0; i < 4; ++i)
        add(0); // the CRC field counts as zero
    for (std::size_t i = 26; i < page.size(); ++i)
        add(page[i]);
    return crc;
}

std::optional<double> oggVorbisSeconds(Bytes b)
{
    if (!startsWith(b, 0, "OggS", 4) || b.size() < 27)
        return std::nullopt;
    const std::size_t id = 27u + b[26]; // the first packet: Vorbis identification
    if (!startsWith(b, id, "\x01vorbis", 7) || b.size() < id + 16)
        return std::nullopt;
    const uint32_t rate = b[id + 12] | (uint32_t{b[id + 13]} << 8) | (uint32_t{b[id + 14]} << 16)
        | (uint32_t{b[id + 15]} << 24);
    if (rate == 0)
        return std::nullopt;
    uint64_t granule = 0;
    for (std::size_t at = 0; startsWith(b, at, "OggS", 4) && b.size() - at >= 27;) {
        const std::size_t segments = b[at + 26];
        if (b.size() - at < 27 + segments)
            break;
        std::size_t body = 0;
        for (std::size_t i = 0; i < segments; ++i)
            body += b[at + 27 + i];
        const std::size_t size = 27 + segments + body;
        if (b.size() - at < size)
            break;
        const Bytes page = b.subspan(at, size);
        const uint32_t stored
            = page[22] | (uint32_t{page[23]} << 8) | (uint32_t{page[24]} << 16) | (uint32_t{page[25]} << 24);
        if (oggCrc(page) != stored)
            break;
        if (const uint64_t g = le64(page, 6); g != ~uint64_t{0})
            granule = g;
        at += size;
    }
    return static_cast<double>(granule) / rate;
}

// ---- MP4: the sound track's sample tables, each sample counted only when
// its bytes lie inside the file.

struct Box {
    Bytes body;
    bool found = false;
};

// The first child box of the given type inside `in`.
Box findBox(Bytes in, const char* type)
{
    for (std::size_t at = 0; in.size() - at >= 8;) {
        uint64_t size = be32(in, at);
        std::size_t header = 8;
        if (size == 1) {
            if (in.size() - at < 16)
                break;
            size = be64(in, at + 8);
            header = 16;
        } else if (size == 0) {
            size = in.size() - at;
        }
        if (size < header || size > in.size() - at)
            break;
        if (std::memcmp(in.data() + at + 4, type, 4) == 0)
            return {in.subspan(at + header, size - header), true};
        at += size;
    }
    return {};
}

Box findPath(Bytes in, std::initializer_list<const char*> path)
{
    Box box{in, true};
    for (const char* type : path)
        if (!(box = findBox(box.body, type)).found)
            break;
    return box;
}

// The entries of a full box's table: after version/flags and `skip` bytes
// comes a 32-bit count, then `count` rows of `row` bytes.
std::optional<Bytes> table(Box box, std::size_t skip, std::size_t row)
{
    if (!box.found || box.body.size() < 8 + skip)
        return std::nullopt;
    const uint64_t count = be32(box.body, 4 + skip);
    const Bytes rows = box.body.subspan(8 + skip);
    if (count > rows.size() / row)
        return std::nullopt;
    return rows.first(static_cast<std::size_t>(count * row));
}

struct SoundTrack {
    uint32_t timescale = 0;
    Bytes stts, stsc, offsets, sizes;
    bool wideOffsets = false;
    uint32_t fixedSize = 0; // 0: each sample's size stands in `sizes`
    std::size_t samples = 0;
};

std::optional<SoundTrack> soundTrack(Bytes moov)
{
    for (std::size_t at = 0; at + 8 <= moov.size();) {
        const Bytes rest = moov.subspan(at);
        const Box trak = findBox(rest, "trak");
        if (!trak.found)
            break;
        at = static_cast<std::size_t>(trak.body.data() + trak.body.size() - moov.data());
        const Box mdia = findBox(trak.body, "mdia");
        const Box hdlr = findBox(mdia.body, "hdlr"), mdhd = findBox(mdia.body, "mdhd");
        if (!hdlr.found || !startsWith(hdlr.body, 8, "soun", 4) || !mdhd.found || mdhd.body.size() < 24)
            continue;
        SoundTrack t;
        t.timescale = be32(mdhd.body, mdhd.body[0] == 1 ? 20 : 12);
        const Box stbl = findPath(mdia.body, {"minf", "stbl"});
        const auto stts = table(findBox(stbl.body, "stts"), 0, 8);
        const auto stsc = table(findBox(stbl.body, "stsc"), 0, 12);
        const Box stsz = findBox(stbl.body, "stsz");
        const Box co64 = findBox(stbl.body, "co64");
        t.wideOffsets = co64.found;
        const auto offsets = table(co64.found ? co64 : findBox(stbl.body, "stco"), 0, co64.found ? 8 : 4);
        if (!stts || !stsc || !offsets || !stsz.found || stsz.body.size() < 12 || t.timescale == 0)
            return std::nullopt;
        t.fixedSize = be32(stsz.body, 4);
        t.samples = be32(stsz.body, 8);
        if (!t.fixedSize) {
            const auto sizes = table(stsz, 4, 4);
            if (!sizes)
                return std::nullopt;
            t.sizes = *sizes;
        }
        t.stts = *stts;
        t.stsc = *stsc;
        t.offsets = *offsets;
        return t;
    }
    return std::nullopt;
}

std::optional<double> mp4Seconds(Bytes b)
{
    if (!startsWith(b, 4, "ftyp", 4))
        return std::nullopt;
    const Box moov = findBox(b, "moov");
    if (!moov.found)
        return 0.0; // no sample tables: no playable audio
    const auto t = soundTrack(moov.body);
    if (!t)
        return 0.0;
    const std::size_t chunks = t->offsets.size() / (t->wideOffsets ? 8 : 4);
    std::size_t sample = 0, entry = 0; // entry: the stts row
    uint64_t runLeft = t->stts.empty() ? 0 : be32(t->stts, 0), ticks = 0;
    std::size_t stscEntry = 0;
    for (std::size_t chunk = 0; chunk < chunks; ++chunk) {
        while (stscEntry + 1 < t->stsc.size() / 12 && be32(t->stsc, (stscEntry + 1) * 12) <= chunk + 1)
            ++stscEntry;
        const uint32_t perChunk = t->stsc.empty() ? 0 : be32(t->stsc, stscEntry * 12 + 4);
        uint64_t at = t->wideOffsets ? be64(t->offsets, chunk * 8) : be32(t->offsets, chunk * 4);
        for (uint32_t i = 0; i < perChunk; ++i, ++sample) {
            if (sample >= t->samples)
                return static_cast<double>(ticks) / t->timescale;
            at += t->fixedSize ? t->fixedSize : be32(t->sizes, sample * 4);
            while (runLeft == 0 && entry + 1 < t->stts.size() / 8)
                runLeft = be32(t->stts, ++entry * 8);
            if (at > b.size() || runLeft == 0)
                return static_cast<double>(ticks) / t->timescale; // the rest is not in the file
            --runLeft;
            ticks += be32(t->stts, entry * 8 + 4);
        }
    }
    return static_cast<double>(ticks) / t->timescale;
}

// Maps the whole file read-only for the walk.
struct Mapping {
    void* data = MAP_FAILED;
    std::size_t size = 0;
    ~Mapping()
    {
        if (data != MAP_FAILED)
            ::munmap(data, size);
    }
};

std::string oneDecimal(double v)
{
    char buf[32];
    std::snprintf(buf, sizeof buf, "%.1f", v);
    return buf;
}

// A length as the messages give it beside the cut's: one decimal, or
// hundredths where one decimal would show the two alike.
std::string lengthText(double v, double cut)
{
    if (oneDecimal(v) != oneDecimal(cut))
        return oneDecimal(v);
    char buf[32];
    std::snprintf(buf, sizeof buf, "%.2f", v);
    return buf;
}

// The cut asked for: whole seconds as digits, else with its milliseconds.
std::string cutText(double v)
{
    const double ms = std::round(v * 1000);
    char buf[32];
    if (std::fmod(ms, 1000) == 0)
        std::snprintf(buf, sizeof buf, "%.0f", v);
    else
        std::snprintf(buf, sizeof buf, "%.3f", v);
    return buf;
}

} // namespace

std::optional<double> audioSeconds(Codec codec, Bytes file)
{
    switch (codec) {
    case Codec::AmrNb:
        return amrSeconds(file);
    case Codec::Aac:
        return mp4Seconds(file);
    case Codec::Vorbis:
        return oggVorbisSeconds(file);
    case Codec::Mp3:
        break;
    }
    return mp3Seconds(file);
}

void checkOutput(const Job& job, int fd, const Progress& p)
{
    const std::string name(ringtone::typeOf(job.codec).name);
    const std::string claim = "ffmpeg reported success but ";
    struct stat st { };
    if (::fstat(fd, &st) != 0)
        fail(ExitConvert, "reading the file ffmpeg wrote failed: " + errnoText(errno));
    if (st.st_size == 0)
        fail(ExitConvert, claim + "wrote an empty file");
    if (!p.ended)
        fail(ExitConvert, claim + "did not report the end of its work");
    // Under 0.1 s of output (an encoder flush frame at most): the cut lies
    // past the end of the source.
    if (p.outTimeUs < 100000)
        fail(ExitNothingCut,
            "the cut starting at " + job.startText + " holds no audio: the source " + quoted(job.source)
                + " ends before it");
    const double claimed = static_cast<double>(p.outTimeUs) / 1e6;
    if (job.lengthSeconds && claimed > *job.lengthSeconds + 1)
        fail(ExitConvert,
            claim + "reported " + oneDecimal(claimed) + " s of audio for a cut of "
                + cutText(*job.lengthSeconds) + " s");
    Mapping map;
    map.size = static_cast<std::size_t>(st.st_size);
    map.data = ::mmap(nullptr, map.size, PROT_READ, MAP_PRIVATE, fd, 0);
    if (map.data == MAP_FAILED)
        fail(ExitConvert, "reading the file ffmpeg wrote failed: " + errnoText(errno));
    const auto seconds
        = audioSeconds(job.codec, Bytes(static_cast<const unsigned char*>(map.data), map.size));
    if (!seconds)
        fail(ExitConvert, claim + "its file is not " + name + " audio (wrong signature at its start)");
    // The cut asked for, or what the source held of it by ffmpeg's account.
    const double expected = job.lengthSeconds ? std::min(*job.lengthSeconds, claimed) : claimed;
    if (*seconds < expected - kShortTolerance || *seconds > expected + kLengthTolerance)
        fail(ExitConvert,
            claim + "its file holds " + lengthText(*seconds, expected) + " s of " + name
                + " audio for a cut of " + lengthText(expected, *seconds) + " s");
}

} // namespace av
