#include "MPGTools.h"

#include "MpgFrames.h"
#include "MpgReader.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstring>
#include <filesystem>
#include <limits>
#include <memory>
#include <utility>
#include <vector>

using mpg_detail::BigEndian32;
using mpg_detail::TReader;

namespace {

constexpr size_t kMaxFileNameChars = 255;
constexpr size_t kMaxTextChars = 30;
constexpr int64_t kPumpStep = 300; // file positions between two message-pump calls

MPGReadErrorHandler& DefaultPrompt()
{
    static MPGReadErrorHandler prompt;
    return prompt;
}

std::function<bool()>& MessagePump()
{
    static std::function<bool()> pump;
    return pump;
}

// Cuts a UTF-8 text to at most n characters without splitting a multi-byte
// sequence (a byte that is not valid UTF-8 counts as one character).
std::string CutChars(const std::string& s, size_t n)
{
    size_t chars = 0;
    size_t i = 0;
    while (i < s.size()) {
        if (chars == n)
            return s.substr(0, i);
        const auto c = static_cast<unsigned char>(s[i]);
        size_t len = c < 0x80 ? 1 : (c >> 5) == 0x6 ? 2 : (c >> 4) == 0xE ? 3 : (c >> 3) == 0x1E ? 4 : 1;
        if (i + len > s.size())
            len = 1;
        for (size_t k = 1; k < len; ++k) {
            if ((static_cast<unsigned char>(s[i + k]) & 0xC0) != 0x80) {
                len = 1;
                break;
            }
        }
        i += len;
        ++chars;
    }
    return s;
}

std::string BaseName(const std::string& path)
{
    const auto slash = path.rfind('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

std::string FullPath(const std::string& given)
{
    if (given.empty())
        return given;
    std::error_code ec;
    auto full = std::filesystem::absolute(std::filesystem::path(given), ec);
    return ec ? given : full.string();
}

// Cuts at the first zero byte, then drops trailing spaces (leading ones stay).
std::string TrimTagText(const uint8_t* p, size_t n)
{
    std::string s(reinterpret_cast<const char*>(p), n);
    s.resize(std::strlen(s.c_str()));
    while (!s.empty() && s.back() == ' ')
        s.pop_back();
    return s;
}

int32_t ClampToInt32(int64_t v)
{
    return static_cast<int32_t>(
        std::clamp<int64_t>(v, std::numeric_limits<int32_t>::min(), std::numeric_limits<int32_t>::max()));
}

uint16_t ClampSeconds(int64_t v)
{
    return static_cast<uint16_t>(std::clamp<int64_t>(v, 0, 65535));
}

} // namespace

namespace MPGReadError {
std::string Text(const TMPEGAudio& audio)
{
    return std::string(TextPrefix) + audio.FileName;
}
} // namespace MPGReadError

void SetReadErrorPrompt(MPGReadErrorHandler prompt)
{
    DefaultPrompt() = std::move(prompt);
}

void SetMessagePump(std::function<bool()> pump)
{
    MessagePump() = std::move(pump);
}

TMPEGAudio::TMPEGAudio()
{
    OnReadError
        = DefaultPrompt() ? DefaultPrompt() : [](TMPEGAudio&) -> uint16_t { return MPGReadError::Cancel; };
}

void TMPEGAudio::ClearInfo()
{
    TagId = "BAD";
    Title = "[notag]";
    Artist = "[notag]";
    Album = "[notag]";
    Year = "    ";
    Comment = "[notag]";
    GenreNr = 255;
    Track = 0;
    Duration = 0;
    Length = 0;
    ClearHeaderFields();
    FileName.clear();
    FileDate = 0;
    fileSize_ = 0;
}

void TMPEGAudio::SetFileName(const std::string& name)
{
    FileName = CutChars(name, kMaxFileNameChars);
    if (ReadOnAssign)
        ReadFileInfo();
}

void TMPEGAudio::SetLength(int64_t size)
{
    fileSize_ = size;
    Length = ClampToInt32(size);
}

void TMPEGAudio::SetHeaderPos(int64_t pos)
{
    HeaderPos = ClampToInt32(pos);
}

// Length for the playing time: the true size when the Length field had to be clamped.
int64_t TMPEGAudio::DurationLength() const
{
    return (Length == std::numeric_limits<int32_t>::max() && fileSize_ > Length) ? fileSize_ : Length;
}

// ClearInfo, keeping what says which file was read.
void TMPEGAudio::ClearKeepingFile()
{
    const std::string name = FileName;
    const int32_t date = FileDate;
    const int64_t size = fileSize_;
    const int32_t length = Length;
    ClearInfo();
    FileName = name;
    FileDate = date;
    fileSize_ = size;
    Length = length;
}

uint16_t TMPEGAudio::ComputeFrameLength() const
{
    const int64_t len = mpg_detail::FrameBytes(Version, Layer, BitRate, SampleRate, Padding);
    return static_cast<uint16_t>(std::max<int64_t>(len, 0)); // the Xing mark (-1) gives no length
}

bool TMPEGAudio::HeaderIsValid() const
{
    return Length > 5 && Version > 0 && Layer > 0 && FileDate != 0 && BitRate != 0 && SampleRate > 0;
}

void TMPEGAudio::ClearHeaderFields()
{
    Version = 0;
    Layer = 0;
    SampleRate = 0;
    BitRate = 0;
    Mode = 0;
    ErrorProt = false;
    Padding = false;
    FrameLength = 0;
}

bool TMPEGAudio::DecodeFrameHeader(uint32_t h)
{
    ClearHeaderFields();

    if ((h >> 21) != 0x7FF)
        return false;
    Version = mpg_detail::kVersions[(h >> 19) & 3];
    if (Version == 0)
        return false;
    Layer = static_cast<uint8_t>(4 - ((h >> 17) & 3));
    if (Layer == 4) {
        Layer = 0;
        return false;
    }
    SampleRate = mpg_detail::kSampleRates[Version][(h >> 10) & 3];
    ErrorProt = ((h >> 16) & 1) != 0;
    Mode = static_cast<uint8_t>((h >> 6) & 3);
    Padding = ((h >> 9) & 1) != 0;
    BitRate = mpg_detail::kBitRates[mpg_detail::BitRateTable(Version, Layer)][(h >> 12) & 15];
    // A first figure over the whole file; a read that finds a header pair
    // replaces it with the length of the audio alone.
    Duration = BitRate == 0 ? 0 : ClampSeconds(DurationLength() * 8 / (int64_t{BitRate} * 1000));
    FrameLength = ComputeFrameLength();
    return HeaderIsValid();
}

TMPEGTime TMPEGAudio::DurationAsTime() const
{
    return TMPEGTime{Duration / 3600, (Duration % 3600) / 60, Duration % 60, 0};
}

std::string TMPEGAudio::BitRateText() const
{
    return BitRate == -1 ? "VBR" : std::to_string(BitRate);
}

std::string TMPEGAudio::ChannelText() const
{
    return Mode == 3 ? "Mono" : "Stereo";
}

int32_t TMPEGAudio::ReadFileInfo()
{
    const std::string given = FileName;
    const std::string full = CutChars(FullPath(given), kMaxFileNameChars);
    FileName = full;
    for (;;) {
        // Each attempt starts from cleared fields so they describe this attempt only.
        ClearInfo();
        FileName = full;
        bool quit = false;
        int32_t result = Attempt(given, quit);
        if (quit)
            return -1; // the application is closing: no prompt
        if (result != 0 && OnReadError) {
            result = OnReadError(*this);
            if (result == MPGReadError::Retry)
                continue;
        }
        return result;
    }
}

int32_t TMPEGAudio::Attempt(const std::string& givenName, bool& quit)
{
    struct stat st { };
    const bool named = !FileName.empty() && FileName.find('\0') == std::string::npos;
    if (!named || ::stat(FileName.c_str(), &st) != 0 || S_ISDIR(st.st_mode)) {
        Title = CutChars("[not found: " + BaseName(givenName) + "]", kMaxTextChars);
        return -1;
    }

    HeaderPos = 0;
    // Non-blocking so that a FIFO cannot hang the open; only regular files are read.
    mpg_detail::TFd file(::open(FileName.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK | O_NOCTTY));
    if (file.fd < 0)
        return errno != 0 ? errno : -1;
    if (::fstat(file.fd, &st) != 0)
        return errno != 0 ? errno : -1;
    if (!S_ISREG(st.st_mode))
        return ENODEV;
    if (st.st_size <= 5)
        return 0;

    // A modification time of exactly the epoch is recorded as 1 so it never reads as "none".
    const int32_t date = ClampToInt32(static_cast<int64_t>(st.st_mtime));
    FileDate = date != 0 ? date : 1;
    SetLength(st.st_size);

    TReader ctx;
    ctx.fd = file.fd;
    ctx.size = st.st_size;
    ctx.pump = MessagePump();

    // Ends the attempt on a failed read (-1) or a quit request (-1 and a
    // consistent "nothing found" state).
    auto stopped = [&](Outcome o) {
        if (o == Outcome::Quit) {
            ClearKeepingFile();
            SetHeaderPos(ctx.size + 1);
            quit = true;
        }
        return -1;
    };
    int32_t result = -1;
    int64_t pos = 0;
    for (;;) {
        if (const Outcome o = Search(ctx, pos); o != Outcome::Done)
            return stopped(o);
        const int64_t headerPos = pos - 4;
        SetHeaderPos(headerPos);
        const int64_t room = ctx.size - headerPos - FrameLength + (ErrorProt ? 2 : 0);
        if (HeaderIsValid() && room > 0) {
            uint8_t next[4];
            if (!ctx.ReadAt(headerPos + FrameLength, 4, next))
                return -1;
            if (DecodeFrameHeader(BigEndian32(next))) {
                result = 0;
                Outcome o = XingCheck(ctx, headerPos);
                if (o == Outcome::Done && BitRate != -1)
                    o = AudioDuration(ctx, headerPos);
                if (o == Outcome::Done)
                    o = Id3v1Check(ctx);
                if (o != Outcome::Done)
                    return stopped(o);
            } else {
                ClearKeepingFile();
                pos = headerPos + 1;
                result = -1;
            }
        } else {
            ClearKeepingFile();
            SetHeaderPos(ctx.size + 1);
            result = -1; // the search goes on just behind the rejected window
        }
        if (HeaderIsValid() || pos >= ctx.size || (SearchLimit > 0 && pos > SearchLimit))
            return result;
    }
}

// Slides a four-byte window from pos one byte at a time until it holds a valid
// header, the file ends or the search limit is passed; pos is left just behind
// the last window tested, and the fields hold its decoding. Blocks are scanned
// for the sync byte, but windows, stops and message-pump calls are exactly those
// of the byte-at-a-time walk.
TMPEGAudio::Outcome TMPEGAudio::Search(TReader& ctx, int64_t& pos)
{
    const int64_t first = pos;
    if (first < 0 || ctx.size - first < 4)
        return Outcome::Failed; // the four-byte read would pass the end

    // The last window tested: the walk stops when its position (window + 4)
    // reaches the end of the file or passes the limit.
    int64_t last = ctx.size - 4;
    if (SearchLimit > 0)
        last = std::min(last, std::max(first, int64_t{SearchLimit} - 3));

    // The pump runs after each one-byte read whose new position is a multiple
    // of 300, before the window ending there is tested.
    int64_t nextPump = ((first + 4) / kPumpStep + 1) * kPumpStep;
    auto pumpUpTo = [&](int64_t position) {
        for (; nextPump <= position; nextPump += kPumpStep) {
            if (ctx.pump && ctx.pump())
                return false;
        }
        return true;
    };

    int64_t w = first;
    while (w <= last) {
        if (w < ctx.bufStart || w + 4 > ctx.bufStart + static_cast<int64_t>(ctx.bufLen)) {
            if (!ctx.Load(w))
                return Outcome::Failed;
        }
        const int64_t chunkLast = std::min(last, ctx.bufStart + static_cast<int64_t>(ctx.bufLen) - 4);
        const uint8_t* const chunk = ctx.buf.data();
        const uint8_t* p = chunk + (w - ctx.bufStart);
        const uint8_t* const end = chunk + (chunkLast - ctx.bufStart) + 1;
        while (p < end) {
            p = static_cast<const uint8_t*>(std::memchr(p, 0xFF, static_cast<size_t>(end - p)));
            if (p == nullptr)
                break;
            if (mpg_detail::MayBeHeader(p)) {
                const int64_t at = ctx.bufStart + (p - chunk);
                if (!pumpUpTo(at + 4))
                    return Outcome::Quit;
                if (DecodeFrameHeader(BigEndian32(p))) {
                    pos = at + 4;
                    return Outcome::Done;
                }
            }
            ++p;
        }
        if (!pumpUpTo(chunkLast + 4))
            return Outcome::Quit;
        w = chunkLast + 1;
    }
    // Nothing valid: leave the fields as decoding the last window did.
    uint8_t window[4];
    if (!ctx.ReadAt(last, 4, window))
        return Outcome::Failed;
    DecodeFrameHeader(BigEndian32(window));
    pos = last + 4;
    return Outcome::Done;
}

TMPEGAudio::Outcome TMPEGAudio::XingCheck(TReader& ctx, int64_t headerPos)
{
    const int64_t offset = Version == 1 ? (Mode == 3 ? 21 : 36) : (Mode == 3 ? 13 : 21);
    uint8_t mark[4];
    if (!ctx.ReadAt(headerPos + offset, 4, mark))
        return Outcome::Failed;
    if (std::memcmp(mark, "Xing", 4) != 0)
        return Outcome::Done;

    BitRate = -1;
    uint8_t block[116];
    if (!ctx.ReadAt(headerPos + offset + 4, sizeof block, block))
        return Outcome::Failed;
    const uint32_t flags = BigEndian32(block);
    const uint32_t frames = (flags & 1) ? BigEndian32(block + 4) : 0;
    const double seconds
        = static_cast<double>(mpg_detail::SamplesPerFrame(Version, Layer)) / SampleRate * frames;
    Duration = ClampSeconds(static_cast<int64_t>(std::min(std::nearbyint(seconds), 1e9))); // ties to even
    if (frames == 0)
        return Outcome::Failed;
    FrameLength = static_cast<uint16_t>(std::min<int64_t>(fileSize_ / frames, 65535));
    return Outcome::Done;
}

// The playing time of the audio alone, from the first frame to the last:
// a VBRI header's frame count, else the frames walked. Tags, data before the
// first frame and trailing non-audio do not count.
TMPEGAudio::Outcome TMPEGAudio::AudioDuration(TReader& ctx, int64_t headerPos)
{
    double seconds = 0;
    if (const uint32_t frames = mpg_detail::VbriFrames(ctx, headerPos); frames != 0) {
        const double perFrame = static_cast<double>(mpg_detail::SamplesPerFrame(Version, Layer)) / SampleRate;
        seconds = std::nearbyint(perFrame * frames); // ties to even, as for Xing
    } else if (mpg_detail::FrameSeconds(ctx, headerPos, seconds) == mpg_detail::TWalk::Quit) {
        return Outcome::Quit;
    }
    Duration = ClampSeconds(static_cast<int64_t>(std::min(seconds, 1e9)));
    return Outcome::Done;
}

TMPEGAudio::Outcome TMPEGAudio::Id3v1Check(TReader& ctx)
{
    if (fileSize_ <= 128)
        return Outcome::Done;
    uint8_t tag[128];
    if (!ctx.ReadAt(fileSize_ - 128, sizeof tag, tag))
        return Outcome::Failed;
    if (std::memcmp(tag, "TAG", 3) != 0) {
        Title = CutChars(BaseName(FileName), kMaxTextChars);
        return Outcome::Done;
    }
    TagId = TrimTagText(tag, 3);
    Title = TrimTagText(tag + 3, 30);
    Artist = TrimTagText(tag + 33, 30);
    Album = TrimTagText(tag + 63, 30);
    Year.assign(reinterpret_cast<const char*>(tag + 93), 4);
    Comment = TrimTagText(tag + 97, 30);
    GenreNr = tag[127];
    Track = tag[126];
    return Outcome::Done;
}
