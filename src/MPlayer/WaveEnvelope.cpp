#include "WaveEnvelope.h"

#include "FfmpegHandles.h"

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <memory>

#include <fcntl.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
#include <libavutil/mem.h>
}

namespace {

// Bytes read without a decoded frame before the rest of the file is taken
// as undecodable. The header may be larger: it holds cover pictures.
constexpr int64_t kBytesWithoutAudio = int64_t{4} << 20;
constexpr int64_t kHeaderBytes = int64_t{64} << 20;
constexpr int64_t kProbeBytes = int64_t{1} << 20;
constexpr int64_t kAnalyzeMicroseconds = int64_t{AV_TIME_BASE};
// One read of the file, bytes: small enough that a stop is seen between reads.
constexpr int kReadBuffer = 64 * 1024;
// The worker yields to the GUI and to playback (a nice value, higher = lower),
// yet not so far that on a busy machine it waits long to see a cancel.
constexpr int kNiceIncrement = 5;

using mplayer_detail::TCodecCloser;
using mplayer_detail::TFormatCloser;
using mplayer_detail::TFrameFree;
using mplayer_detail::TPacketFree;

// The open file and every read of it: a stop request or a budget of bytes
// read without decoded sound ends the read at once.
class TReader {
public:
    explicit TReader(const std::atomic<bool>& stop)
        : stop_(stop)
    {
    }
    ~TReader()
    {
        if (pb_) {
            av_freep(&pb_->buffer);
            avio_context_free(&pb_);
        }
        if (fd_ >= 0)
            ::close(fd_);
    }
    TReader(const TReader&) = delete;
    TReader& operator=(const TReader&) = delete;

    // Opens a local regular file; pipes and devices are refused without
    // waiting on them. False when it cannot be read.
    bool Open(const std::string& path)
    {
        fd_ = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
        struct stat st { };
        if (fd_ < 0 || ::fstat(fd_, &st) != 0 || !S_ISREG(st.st_mode))
            return false;
        const int flags = ::fcntl(fd_, F_GETFL);
        if (flags >= 0)
            ::fcntl(fd_, F_SETFL, flags & ~O_NONBLOCK);
        auto* buffer = static_cast<unsigned char*>(av_malloc(kReadBuffer));
        if (buffer)
            pb_ = avio_alloc_context(buffer, kReadBuffer, 0, this, &TReader::Read, nullptr, &TReader::Seek);
        if (!pb_)
            av_free(buffer);
        return pb_ != nullptr;
    }

    AVIOContext* Io() const { return pb_; }
    void Budget(int64_t bytes)
    {
        budget_ = bytes;
        bytes_ = 0;
    }
    void Progress() { bytes_ = 0; }
    bool Tripped() const { return tripped_; }
    bool Allow()
    {
        if (stop_.load(std::memory_order_relaxed) || bytes_ >= budget_)
            tripped_ = true;
        return !tripped_;
    }

    static int Interrupt(void* opaque) { return static_cast<TReader*>(opaque)->Allow() ? 0 : 1; }

    // Only the file chosen is read, never files or URLs named inside it.
    static int RefuseNested(AVFormatContext*, AVIOContext**, const char*, int, AVDictionary**)
    {
        return AVERROR(EPERM);
    }

private:
    static int Read(void* opaque, uint8_t* buf, int size)
    {
        auto* self = static_cast<TReader*>(opaque);
        if (!self->Allow())
            return AVERROR_EXIT;
        ssize_t n;
        do
            n = ::read(self->fd_, buf, static_cast<size_t>(size));
        while (n < 0 && errno == EINTR);
        if (n < 0)
            return AVERROR(errno);
        if (n == 0)
            return AVERROR_EOF;
        self->bytes_ += n;
        return static_cast<int>(n);
    }

    static int64_t Seek(void* opaque, int64_t offset, int whence)
    {
        auto* self = static_cast<TReader*>(opaque);
        if (whence & AVSEEK_SIZE) {
            struct stat st { };
            return ::fstat(self->fd_, &st) == 0 ? static_cast<int64_t>(st.st_size) : AVERROR(errno);
        }
        if (!self->Allow())
            return AVERROR_EXIT;
        const off_t r = ::lseek(self->fd_, static_cast<off_t>(offset), whence & ~AVSEEK_FORCE);
        return r < 0 ? AVERROR(errno) : static_cast<int64_t>(r);
    }

    const std::atomic<bool>& stop_;
    int fd_ = -1;
    AVIOContext* pb_ = nullptr;
    int64_t bytes_ = 0; // read since the last decoded frame
    int64_t budget_ = kHeaderBytes;
    bool tripped_ = false;
};

// Sum of squares of n samples, full scale 1.0. Eight running sums keep the
// adds independent (and let the compiler use vector registers); float input
// is summed in float, ample for a level in dB within one column.
template <typename Acc, typename T> double SumSquares(const T* p, size_t n, double scale, Acc bias = 0)
{
    Acc lanes[8] = {};
    size_t i = 0;
    for (; i + 8 <= n; i += 8)
        for (size_t k = 0; k < 8; ++k) {
            const Acc v = static_cast<Acc>(p[i + k]) - bias;
            lanes[k] += v * v;
        }
    double sum = 0.0;
    for (; i < n; ++i) {
        const double v = static_cast<double>(p[i]) - static_cast<double>(bias);
        sum += v * v;
    }
    for (Acc l : lanes)
        sum += static_cast<double>(l);
    return sum * scale * scale;
}

double SumSquaresOf(AVSampleFormat packed, const uint8_t* data, size_t n)
{
    switch (packed) {
    case AV_SAMPLE_FMT_U8:
        return SumSquares<double>(data, n, 1.0 / 128, 128.0);
    case AV_SAMPLE_FMT_S16:
        return SumSquares<double>(reinterpret_cast<const int16_t*>(data), n, 1.0 / 32768);
    case AV_SAMPLE_FMT_S32:
        return SumSquares<double>(reinterpret_cast<const int32_t*>(data), n, 1.0 / 2147483648.0);
    case AV_SAMPLE_FMT_S64:
        return SumSquares<double>(reinterpret_cast<const int64_t*>(data), n, 1.0 / 9223372036854775808.0);
    case AV_SAMPLE_FMT_FLT:
        return SumSquares<float>(reinterpret_cast<const float*>(data), n, 1.0);
    case AV_SAMPLE_FMT_DBL:
        return SumSquares<double>(reinterpret_cast<const double*>(data), n, 1.0);
    default:
        return 0.0;
    }
}

// Cuts decoded frames into the columns of one scale and publishes each
// finished column.
class TLaneMeter {
public:
    TLaneMeter(std::vector<uint8_t>& values, std::atomic<int>& filled, int columnsPerSecond)
        : values_(values)
        , filled_(filled)
        , perSecond_(columnsPerSecond)
    {
    }

    bool Full() const { return column_ >= values_.size(); }

    void Add(const AVFrame& f)
    {
        const int channels = f.ch_layout.nb_channels;
        const auto format = static_cast<AVSampleFormat>(f.format);
        const AVSampleFormat packed = av_get_packed_sample_fmt(format);
        if (f.nb_samples <= 0 || channels <= 0 || f.sample_rate <= 0 || packed == AV_SAMPLE_FMT_NONE)
            return;
        if (rate_ != f.sample_rate) {
            // A new rate (joined files): the rest of the column in its samples.
            need_ = rate_ > 0 ? need_ * f.sample_rate / rate_ : double(f.sample_rate) / perSecond_;
            rate_ = f.sample_rate;
        }
        const bool planar = av_sample_fmt_is_planar(format);
        const size_t bytes = static_cast<size_t>(av_get_bytes_per_sample(packed));
        const int n = f.nb_samples;
        for (int i = 0; i < n && !Full();) {
            const int k = std::min(n - i, std::max(1, static_cast<int>(std::ceil(need_))));
            if (planar) {
                for (int c = 0; c < channels; ++c)
                    sum_ += SumSquaresOf(packed, f.extended_data[c] + size_t(i) * bytes, size_t(k));
            } else {
                sum_ += SumSquaresOf(
                    packed, f.extended_data[0] + size_t(i) * channels * bytes, size_t(k) * channels);
            }
            count_ += double(k) * channels;
            i += k;
            need_ -= k;
            if (need_ <= 0.0) {
                Publish();
                need_ += double(rate_) / perSecond_;
            }
        }
    }

    // The end of the sound: a column it cut short shows what it holds.
    void Finish()
    {
        if (count_ > 0 && !Full())
            Publish();
    }

private:
    void Publish()
    {
        values_[column_] = TWaveEnvelope::ValueOfMeanSquare(count_ > 0 ? sum_ / count_ : 0.0);
        ++column_;
        filled_.store(static_cast<int>(column_), std::memory_order_release);
        sum_ = 0.0;
        count_ = 0.0;
    }

    std::vector<uint8_t>& values_;
    std::atomic<int>& filled_;
    const int perSecond_;
    size_t column_ = 0;
    int rate_ = 0;
    double need_ = 0.0; // samples (per channel) still missing from the column
    double sum_ = 0.0;
    double count_ = 0.0; // samples summed, all channels
};

// The timeline's own columns and the 2 ms ones, filled from the same frames.
class TColumnMeter {
public:
    TColumnMeter(TLaneMeter timeline, TLaneMeter fine)
        : timeline_(timeline)
        , fine_(fine)
    {
    }

    bool Full() const { return timeline_.Full() && fine_.Full(); }
    void Add(const AVFrame& f)
    {
        if (!timeline_.Full())
            timeline_.Add(f);
        if (!fine_.Full())
            fine_.Add(f);
    }
    void Finish()
    {
        timeline_.Finish();
        fine_.Finish();
    }

private:
    TLaneMeter timeline_;
    TLaneMeter fine_;
};

// Mean squares of the 256 values, for levels made from several of them.
struct TMeanSquares {
    double Of[TWaveEnvelope::MaxValue + 1] = {};
    TMeanSquares()
    {
        for (int v = 1; v <= TWaveEnvelope::MaxValue; ++v)
            Of[v] = std::pow(10.0,
                (double(v) / TWaveEnvelope::MaxValue * -TWaveEnvelope::FloorDb + TWaveEnvelope::FloorDb)
                    / 10.0);
    }
};
const TMeanSquares kMeanSquares;

// Opens the file's first audio stream and its decoder; false when either
// fails. Every other stream is not even read.
bool OpenAudio(TReader& reader, const std::string& path, std::unique_ptr<AVFormatContext, TFormatCloser>& fmt,
    std::unique_ptr<AVCodecContext, TCodecCloser>& codec, int& stream)
{
    if (!reader.Open(path))
        return false;
    AVFormatContext* raw = avformat_alloc_context();
    if (!raw)
        return false;
    raw->pb = reader.Io();
    raw->interrupt_callback = {&TReader::Interrupt, &reader};
    raw->io_open = &TReader::RefuseNested;
    raw->probesize = kProbeBytes;
    raw->max_analyze_duration = kAnalyzeMicroseconds;
    // The name serves only as a hint for the format (its extension).
    if (avformat_open_input(&raw, path.c_str(), nullptr, nullptr) < 0)
        return false; // frees raw
    fmt.reset(raw);
    reader.Budget(kBytesWithoutAudio);
    if (avformat_find_stream_info(fmt.get(), nullptr) < 0 || reader.Tripped())
        return false;
    const AVCodec* decoder = nullptr;
    stream = av_find_best_stream(fmt.get(), AVMEDIA_TYPE_AUDIO, -1, -1, &decoder, 0);
    if (stream < 0 || !decoder)
        return false;
    for (unsigned i = 0; i < fmt->nb_streams; ++i)
        if (static_cast<int>(i) != stream)
            fmt->streams[i]->discard = AVDISCARD_ALL;
    codec.reset(avcodec_alloc_context3(decoder));
    if (!codec || avcodec_parameters_to_context(codec.get(), fmt->streams[stream]->codecpar) < 0)
        return false;
    codec->pkt_timebase = fmt->streams[stream]->time_base;
    codec->thread_count = 1;
    reader.Budget(kBytesWithoutAudio);
    return avcodec_open2(codec.get(), decoder, nullptr) >= 0;
}

// Hands every frame the decoder has ready to the meter.
void ReceiveAll(AVCodecContext& codec, AVFrame& frame, TColumnMeter& meter, TReader& reader)
{
    while (!meter.Full() && avcodec_receive_frame(&codec, &frame) >= 0) {
        reader.Progress();
        meter.Add(frame);
        av_frame_unref(&frame);
    }
}

} // namespace

TWaveEnvelope::TWaveEnvelope(std::string fileName, int columns, int columnsPerSecond)
    : fileName_(std::move(fileName))
    , columnsPerSecond_(columnsPerSecond)
    , values_(static_cast<size_t>(columnsPerSecond > 0 ? std::max(columns, 0) : 0), uint8_t{0})
    , fine_(columnsPerSecond > 0
              ? values_.size() * FineValuesPerSecond / static_cast<size_t>(columnsPerSecond)
              : 0,
          uint8_t{0})
{
    worker_ = std::thread([this] {
        try {
            Run();
        } catch (...) {
            // Out of memory: the columns filled so far stay, nothing is said.
        }
        finished_.store(true, std::memory_order_release);
    });
}

TWaveEnvelope::~TWaveEnvelope()
{
    Cancel();
}

void TWaveEnvelope::Cancel()
{
    stop_.store(true, std::memory_order_relaxed);
    if (worker_.joinable())
        worker_.join();
}

uint8_t TWaveEnvelope::ValueOfMeanSquare(double meanSquare)
{
    if (!(meanSquare > 0.0))
        return 0;
    const double db = 10.0 * std::log10(meanSquare);
    const double v = std::round((db - FloorDb) / -FloorDb * MaxValue);
    return static_cast<uint8_t>(std::clamp(v, 0.0, double(MaxValue)));
}

int TWaveEnvelope::FilledAt(int columnsPerSecond) const
{
    if (columnsPerSecond == columnsPerSecond_)
        return Filled();
    if (columnsPerSecond <= 0 || FineValuesPerSecond % columnsPerSecond != 0)
        return 0;
    return fineFilled_.load(std::memory_order_acquire) / (FineValuesPerSecond / columnsPerSecond);
}

uint8_t TWaveEnvelope::ValueAt(int column, int columnsPerSecond) const
{
    if (columnsPerSecond == columnsPerSecond_)
        return Value(column);
    if (column < 0 || column >= FilledAt(columnsPerSecond))
        return 0;
    const int span = FineValuesPerSecond / columnsPerSecond;
    if (span == 1)
        return fine_[static_cast<size_t>(column)];
    // The level of the whole stretch: the mean of its mean squares.
    double sum = 0.0;
    const size_t first = static_cast<size_t>(column) * static_cast<size_t>(span);
    for (size_t i = first; i < first + static_cast<size_t>(span); ++i)
        sum += kMeanSquares.Of[fine_[i]];
    return ValueOfMeanSquare(sum / span);
}

void TWaveEnvelope::Run()
{
    if (values_.empty() && fine_.empty())
        return;
    // Per thread on Linux: playback and the GUI come first.
    errno = 0;
    const int nice = ::getpriority(PRIO_PROCESS, static_cast<id_t>(::gettid()));
    if (errno == 0)
        ::setpriority(PRIO_PROCESS, static_cast<id_t>(::gettid()), std::min(nice + kNiceIncrement, 19));

    TReader reader(stop_);
    std::unique_ptr<AVFormatContext, TFormatCloser> fmt;
    std::unique_ptr<AVCodecContext, TCodecCloser> codec;
    int stream = -1;
    if (!OpenAudio(reader, fileName_, fmt, codec, stream))
        return;
    std::unique_ptr<AVPacket, TPacketFree> packet(av_packet_alloc());
    std::unique_ptr<AVFrame, TFrameFree> frame(av_frame_alloc());
    if (!packet || !frame)
        return;
    TColumnMeter meter({values_, filled_, columnsPerSecond_}, {fine_, fineFilled_, FineValuesPerSecond});
    while (!meter.Full() && !stop_.load(std::memory_order_relaxed)) {
        const int r = av_read_frame(fmt.get(), packet.get());
        // Once the reader has tripped, what comes is the parser handing over
        // the undecodable data it gathered: dropped.
        if (r < 0 || reader.Tripped())
            break;
        // A damaged packet is skipped; the decoder resynchronises on the next.
        if (packet->stream_index == stream)
            avcodec_send_packet(codec.get(), packet.get());
        av_packet_unref(packet.get());
        ReceiveAll(*codec, *frame, meter, reader);
    }
    av_packet_unref(packet.get());
    if (stop_.load(std::memory_order_relaxed))
        return;
    if (!meter.Full() && avcodec_send_packet(codec.get(), nullptr) >= 0)
        ReceiveAll(*codec, *frame, meter, reader);
    meter.Finish();
}
