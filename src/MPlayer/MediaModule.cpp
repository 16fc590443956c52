// The sound module's entry: the device, the envelope and the loudness meter
// behind the interfaces of MediaModuleApi.h.
#include "FfmpegHandles.h"
#include "Loudness.h"
#include "MPlayer.h"
#include "MediaModuleApi.h"
#include "SdlOutput.h"
#include "SongFile.h"
#include "WaveEnvelope.h"

#include <algorithm>
#include <cstring>
#include <exception>
#include <memory>
#include <new>
#include <vector>

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
#include <libavutil/log.h>
#include <libavutil/mem.h>
}

namespace {

// An in-memory reader with its buffer (which FFmpeg may have replaced).
struct TIoFree {
    void operator()(AVIOContext* p) const
    {
        if (p)
            av_freep(&p->buffer);
        avio_context_free(&p);
    }
};

// Runs one device command; a device error becomes its text.
template <typename Command> std::string Try(Command&& command)
{
    try {
        command();
        return {};
    } catch (const EMCIDeviceError& e) {
        return e.what();
    }
}

class TDevice final : public IMediaDevice {
public:
    void Configure(const std::string& fileName, bool autoRewind) override
    {
        player_.FileName = fileName;
        player_.AutoRewind = autoRewind;
    }
    std::string Open() override
    {
        return Try([this] { player_.Open(); });
    }
    std::string Play() override
    {
        return Try([this] { player_.Play(); });
    }
    std::string Stop() override
    {
        return Try([this] { player_.Stop(); });
    }
    std::string Seek(int32_t position) override
    {
        return Try([&] { player_.Seek(position); });
    }
    std::string Length(int32_t& length) override
    {
        return Try([&] { length = player_.Length(); });
    }
    void Close() override { player_.Close(); }
    void SetStartPos(int32_t position) override { player_.SetStartPos(position); }
    void SetEndPos(int32_t position) override { player_.SetEndPos(position); }
    void SetTimeFormat(int format) override { player_.SetTimeFormat(format); }
    uint8_t Mode() override { return player_.Mode(); }
    int32_t Position() override { return player_.Position(); }
    std::string ErrorMessage() const override { return player_.ErrorMessage(); }
    bool Opened() const override { return player_.Opened(); }
    uint16_t DeviceId() const override { return player_.DeviceId(); }
    uint32_t LastError() const override { return player_.LastError(); }
    int32_t StartPos() const override { return player_.StartPos(); }
    bool StartPending() const override { return player_.StartPending(); }
    int32_t EndPos() const override { return player_.EndPos(); }
    bool EndPending() const override { return player_.EndPending(); }
    void SetShape(const ringtone::TShapePlan& plan) override { player_.SetShape(plan); }
    ringtone::TShapePlan AppliedShape() const override { return player_.AppliedShape(); }
    std::string PlayLoop(int32_t from, int32_t to) override
    {
        return Try([&] { player_.PlayLoop(from, to); });
    }

private:
    TMediaPlayer player_;
};

class TSections final : public ISongSections {
public:
    explicit TSections(mplayer_detail::TSongAnalysis analysis)
        : analysis_(std::move(analysis))
    {
    }
    music::TChorusSuggestion SuggestChorus(double lengthSeconds, double maxLengthSeconds) const override
    {
        return analysis_.SuggestChorus(lengthSeconds, maxLengthSeconds);
    }

private:
    mplayer_detail::TSongAnalysis analysis_;
};

// The result the window and the command line read, from one song's analysis.
TSongAnalysisResult ResultOf(mplayer_detail::TSongAnalysis analysis)
{
    TSongAnalysisResult result;
    result.Grid = analysis.Grid;
    result.DurationSeconds = analysis.DurationSeconds;
    result.Sections = std::make_shared<TSections>(std::move(analysis));
    return result;
}

// The envelope's worker also feeds the song's analysis, which it finishes
// when the decoding ends.
class TEnvelope final : public IWaveEnvelope {
public:
    TEnvelope(const std::string& fileName, int columns, int columnsPerSecond)
        : envelope_(fileName, columns, columnsPerSecond,
            {kAnalysisRate,
                [this](const float* samples, size_t count) {
                    sink_.Feed(&samples, 1, true, count, kAnalysisRate);
                },
                [this] { Conclude(); }})
    {
    }
    // The worker ends before the sink it feeds.
    ~TEnvelope() override { envelope_.Cancel(); }
    void Cancel() override { envelope_.Cancel(); }
    int Columns() const override { return envelope_.Columns(); }
    int Filled() const override { return envelope_.Filled(); }
    bool Finished() const override { return envelope_.Finished(); }
    uint8_t Value(int column) const override { return envelope_.Value(column); }
    int FilledAt(int perSecond) const override { return envelope_.FilledAt(perSecond); }
    uint8_t ValueAt(int column, int perSecond) const override { return envelope_.ValueAt(column, perSecond); }
    std::shared_ptr<const TSongAnalysisResult> Analysis() const override
    {
        return envelope_.Finished() ? analysis_ : nullptr;
    }

private:
    // Mono at the rate the analysers work at, so the sink has nothing to decimate.
    static constexpr int kAnalysisRate = 11025;

    void Conclude()
    {
        try {
            analysis_ = std::make_shared<const TSongAnalysisResult>(ResultOf(sink_.Finish()));
        } catch (const std::exception& e) {
            auto failed = std::make_shared<TSongAnalysisResult>();
            failed->Error = e.what();
            analysis_ = failed;
        }
    }

    mplayer_detail::TSongAnalysisSink sink_;
    // Written by the worker before Finished() turns true, read after.
    std::shared_ptr<const TSongAnalysisResult> analysis_;
    TWaveEnvelope envelope_; // last: its worker uses the members above
};

TSongAnalysisResult AnalyseSong(const std::string& path, const std::atomic<bool>* cancel)
{
    TSongAnalysisResult result;
    try {
        result = ResultOf(mplayer_detail::AnalyseSongFile(path, cancel));
    } catch (const std::bad_alloc&) {
        result = {};
        result.Error = "Out of memory while analysing \"" + path + "\"";
    } catch (const std::exception& e) {
        result = {};
        result.Error = e.what();
    }
    return result;
}

// Reads `data` as a song, as the device reads a file: probing every format,
// reading the stream's parameters, decoding the first frames.
void WarmWith(const uint8_t* data, size_t size)
{
    struct TCursor {
        const uint8_t* data;
        size_t size, at = 0;
    } cursor{data, size};
    const auto read = [](void* opaque, uint8_t* buffer, int wanted) -> int {
        auto* c = static_cast<TCursor*>(opaque);
        const size_t n = std::min(static_cast<size_t>(wanted), c->size - c->at);
        if (n == 0)
            return AVERROR_EOF;
        std::memcpy(buffer, c->data + c->at, n);
        c->at += n;
        return static_cast<int>(n);
    };
    constexpr int kBuffer = 4096;
    auto* buffer = static_cast<uint8_t*>(av_malloc(kBuffer));
    if (!buffer)
        return;
    std::unique_ptr<AVIOContext, TIoFree> io(
        avio_alloc_context(buffer, kBuffer, 0, &cursor, read, nullptr, nullptr));
    if (!io) {
        av_free(buffer);
        return;
    }
    AVFormatContext* raw = avformat_alloc_context();
    if (!raw)
        return;
    raw->pb = io.get();
    if (avformat_open_input(&raw, nullptr, nullptr, nullptr) < 0)
        return; // raw is freed
    std::unique_ptr<AVFormatContext, mplayer_detail::TFormatCloser> format(raw);
    if (avformat_find_stream_info(format.get(), nullptr) < 0)
        return;
    const AVCodec* decoder = nullptr;
    const int stream = av_find_best_stream(format.get(), AVMEDIA_TYPE_AUDIO, -1, -1, &decoder, 0);
    if (stream < 0 || !decoder)
        return;
    std::unique_ptr<AVCodecContext, mplayer_detail::TCodecCloser> codec(avcodec_alloc_context3(decoder));
    std::unique_ptr<AVPacket, mplayer_detail::TPacketFree> packet(av_packet_alloc());
    std::unique_ptr<AVFrame, mplayer_detail::TFrameFree> frame(av_frame_alloc());
    if (!codec || !packet || !frame
        || avcodec_parameters_to_context(codec.get(), format->streams[stream]->codecpar) < 0
        || avcodec_open2(codec.get(), decoder, nullptr) < 0)
        return;
    while (av_read_frame(format.get(), packet.get()) >= 0) {
        if (packet->stream_index == stream && avcodec_send_packet(codec.get(), packet.get()) >= 0)
            while (avcodec_receive_frame(codec.get(), frame.get()) >= 0)
                av_frame_unref(frame.get());
        av_packet_unref(packet.get());
    }
}

// Silent MPEG-1 Layer III frames, 32 kbit/s, 44.1 kHz, joint stereo: a
// header and nothing but zeros (no side information, no data: silence).
void WarmDecoders()
{
    constexpr size_t kFrame = 104, kFrames = 12;
    std::vector<uint8_t> song(kFrame * kFrames, 0);
    for (size_t i = 0; i < kFrames; ++i) {
        uint8_t* header = &song[i * kFrame];
        header[0] = 0xFF;
        header[1] = 0xFB;
        header[2] = 0x10;
        header[3] = 0x44;
    }
    WarmWith(song.data(), song.size());
}

} // namespace

extern "C" __attribute__((visibility("default"))) const TMediaModuleEntries* velumo_media_entries()
{
    static const TMediaModuleEntries entries = [] {
        TMediaModuleEntries e;
        e.CreateDevice = []() -> IMediaDevice* { return new TDevice; };
        e.CreateEnvelope = [](const std::string& fileName, int columns, int perSecond) -> IWaveEnvelope* {
            return new TEnvelope(fileName, columns, perSecond);
        };
        e.MeasureLoudness = [](const std::string& path, int64_t startMs, int64_t endMs, int channels,
                                int rate, const std::atomic<bool>* cancel) {
            return ringtone::MeasureLoudness(path, startMs, endMs, channels, rate, cancel);
        };
        e.OutputDriver = [] { return mplayer_detail::OutputDriver(); };
        e.Warm = [] { WarmDecoders(); };
        e.AnalyseSong = AnalyseSong;
        e.QuietLibraries = [] { av_log_set_level(AV_LOG_QUIET); };
        return e;
    }();
    return &entries;
}
