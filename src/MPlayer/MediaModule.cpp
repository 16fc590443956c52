// The sound module's entry: the device, the envelope and the loudness meter
// behind the interfaces of MediaModuleApi.h.
#include "Loudness.h"
#include "MPlayer.h"
#include "MediaModuleApi.h"
#include "SdlOutput.h"
#include "WaveEnvelope.h"

#include <memory>

namespace {

// Runs one device command; a device error becomes its text.
template <typename Command>
std::string Try(Command&& command)
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
    std::string Open() override { return Try([this] { player_.Open(); }); }
    std::string Play() override { return Try([this] { player_.Play(); }); }
    std::string Stop() override { return Try([this] { player_.Stop(); }); }
    std::string Seek(int32_t position) override { return Try([&] { player_.Seek(position); }); }
    std::string Length(int32_t& length) override { return Try([&] { length = player_.Length(); }); }
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

class TEnvelope final : public IWaveEnvelope {
public:
    TEnvelope(const std::string& fileName, int columns, int columnsPerSecond)
        : envelope_(fileName, columns, columnsPerSecond)
    {
    }
    void Cancel() override { envelope_.Cancel(); }
    int Columns() const override { return envelope_.Columns(); }
    int Filled() const override { return envelope_.Filled(); }
    bool Finished() const override { return envelope_.Finished(); }
    uint8_t Value(int column) const override { return envelope_.Value(column); }

private:
    TWaveEnvelope envelope_;
};

} // namespace

extern "C" __attribute__((visibility("default"))) const TMediaModuleEntries* velumo_media_entries()
{
    static const TMediaModuleEntries entries = [] {
        TMediaModuleEntries e;
        e.CreateDevice = []() -> IMediaDevice* { return new TDevice; };
        e.CreateEnvelope = [](const std::string& fileName, int columns, int perSecond) -> IWaveEnvelope* {
            return new TEnvelope(fileName, columns, perSecond);
        };
        e.MeasureLoudness = [](const std::string& path, int64_t startMs, int64_t endMs, int channels, int rate,
                                const std::atomic<bool>* cancel) {
            return ringtone::MeasureLoudness(path, startMs, endMs, channels, rate, cancel);
        };
        e.OutputDriver = [] { return mplayer_detail::OutputDriver(); };
        return e;
    }();
    return &entries;
}
