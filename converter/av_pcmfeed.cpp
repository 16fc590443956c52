#include "av_pcmfeed.h"

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <vector>

#include <fcntl.h>

#define OV_EXCLUDE_STATIC_CALLBACKS
#include <vorbis/vorbisfile.h>

namespace av {
namespace {

// Decoded past the cut's end, seconds: the chain trims exactly.
constexpr double kTailSeconds = 1.0;

// The layout the raw feed is declared with, by channel count: raw input
// without one would be guessed (3 channels as 2.1, dropping the centre).
constexpr const char* kLayouts[8] = {"mono", "stereo", "3.0", "quad", "5.0", "5.1", "6.1", "7.1"};
// Where each channel of those layouts is in Vorbis's order, by channel count.
constexpr int kFromVorbis[8][8] = {
    {0},
    {0, 1},
    {0, 2, 1}, // L C R -> FL FR FC
    {0, 1, 2, 3},
    {0, 2, 1, 3, 4},
    {0, 2, 1, 5, 3, 4}, // L C R BL BR LFE -> FL FR FC LFE BL BR
    {0, 2, 1, 6, 5, 3, 4},
    {0, 2, 1, 7, 5, 6, 3, 4},
};

} // namespace

struct PcmFeed::File {
    OggVorbis_File vf{};
    bool open = false;
    ~File()
    {
        if (open)
            ov_clear(&vf);
    }
};

bool isOggVorbis(const std::string& path)
{
    UniqueFd fd(::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK));
    unsigned char head[27 + 255 + 7];
    const ssize_t n = fd.get() < 0 ? -1 : ::pread(fd.get(), head, sizeof head, 0);
    if (n < 28 || std::memcmp(head, "OggS", 4) != 0)
        return false;
    const std::size_t at = 27 + std::size_t{head[26]};
    return static_cast<std::size_t>(n) >= at + 7 && std::memcmp(head + at, "\x01vorbis", 7) == 0;
}

bool ffmpegRefusedSource(const std::string& errors, const std::string& source)
{
    return errors.find("file:" + source + ": ") != std::string::npos;
}

PcmFeed::PcmFeed(const Job& job)
    : file_(std::make_unique<File>())
{
    const std::string why = "decoding the source " + quoted(job.source) + " failed: ";
    FILE* f = std::fopen(job.source.c_str(), "rbe");
    if (!f)
        fail(ExitSource, why + errnoText(errno));
    // libvorbisfile closes the file from here on.
    if (ov_open(f, &file_->vf, nullptr, 0) != 0) {
        std::fclose(f);
        fail(ExitSource, why + "neither ffmpeg nor libvorbisfile can read it");
    }
    file_->open = true;
    const vorbis_info* info = ov_info(&file_->vf, -1);
    if (!info || info->channels < 1 || info->channels > 8 || info->rate <= 0)
        fail(ExitSource, why + "its channels or sampling rate cannot be converted");
    channels_ = info->channels;
    rate_ = info->rate;
    const long rate = rate_;

    // Decoded from the start: a seek by granule position fails inside the
    // damaged first pages such files have, and the chain drops what comes
    // before the cut at little cost (decoding runs at hundreds of times
    // real time).
    const double start = static_cast<double>(job.startSeconds);
    to_ = job.lengthSeconds
        ? std::llround((start + static_cast<double>(*job.lengthSeconds) + kTailSeconds) * rate)
        : -1;
    plan_.inputOptions = {"-f", "f32le", "-ar", std::to_string(rate), "-ac", std::to_string(channels_),
        "-ch_layout", kLayouts[channels_ - 1]};
    plan_.offsetSeconds = start;

    int fds[2];
    if (::pipe2(fds, O_CLOEXEC) != 0)
        fail(ExitInternal, "creating the pipe for the decoded source failed: " + errnoText(errno));
    read_.reset(fds[0]);
    write_.reset(fds[1]);
}

PcmFeed::~PcmFeed()
{
    read_.reset(); // a writer still blocked gets EPIPE
    if (writer_.joinable())
        writer_.join();
}

void PcmFeed::start()
{
    writer_ = std::thread([this] { write(); });
}

void PcmFeed::write()
{
    std::vector<float> block;
    long long at = 0;
    bool open = true;
    while (open && (to_ < 0 || at < to_)) {
        float** pcm = nullptr;
        int section = 0;
        const long n = ov_read_float(&file_->vf, &pcm, 4096, &section);
        if (n == 0)
            break;
        if (n < 0)
            continue; // a damaged stretch: libvorbisfile goes on after it
        const vorbis_info* info = ov_info(&file_->vf, section);
        if (!info || info->channels != channels_ || info->rate != rate_)
            break; // a chained link of other channels or rate is not followed
        const long take = to_ < 0 ? n : static_cast<long>(std::min<long long>(n, to_ - at));
        block.resize(static_cast<std::size_t>(take) * static_cast<std::size_t>(channels_));
        const int* order = kFromVorbis[channels_ - 1];
        for (long i = 0; i < take; ++i)
            for (int c = 0; c < channels_; ++c)
                block[static_cast<std::size_t>(i * channels_ + c)] = pcm[order[c]][i];
        at += take;
        const char* p = reinterpret_cast<const char*>(block.data());
        std::size_t left = block.size() * sizeof(float);
        while (left > 0) {
            const ssize_t w = ::write(write_.get(), p, left);
            if (w < 0 && errno == EINTR)
                continue;
            if (w <= 0) {
                open = false; // ffmpeg stopped reading (it ended or was stopped)
                break;
            }
            p += w;
            left -= static_cast<std::size_t>(w);
        }
    }
    write_.reset(); // end of input for ffmpeg
}

} // namespace av
