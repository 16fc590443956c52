#include "MediaDevice.h"

#include "MediaLoader.h"
#include "appDefine.h"

#include <optional>

namespace {

void ThrowIfFailed(const std::string& error)
{
    if (!error.empty())
        throw EMCIDeviceError(error);
}

} // namespace

TMediaDevice::TMediaDevice() = default;
TMediaDevice::~TMediaDevice() = default;

IMediaDevice* TMediaDevice::Device()
{
    if (device_)
        device_->Configure(FileName, AutoRewind);
    return device_.get();
}

bool TMediaDevice::Opened() const
{
    return device_ && device_->Opened();
}
uint16_t TMediaDevice::DeviceId() const
{
    return device_ ? device_->DeviceId() : 0;
}
uint32_t TMediaDevice::LastError() const
{
    return device_ ? device_->LastError() : 0;
}
int32_t TMediaDevice::StartPos() const
{
    return device_ ? device_->StartPos() : startPos_;
}
bool TMediaDevice::StartPending() const
{
    return device_ ? device_->StartPending() : startPending_;
}
int32_t TMediaDevice::EndPos() const
{
    return device_ ? device_->EndPos() : endPos_;
}
bool TMediaDevice::EndPending() const
{
    return device_ ? device_->EndPending() : endPending_;
}

void TMediaDevice::Open()
{
    if (!device_) {
        device_.reset(MediaLoader().Entries().CreateDevice());
        // Start and end set before the first Open stay pending, as on the device.
        if (startPending_)
            device_->SetStartPos(startPos_);
        if (endPending_)
            device_->SetEndPos(endPos_);
        device_->SetShape(shape_);
    }
    ThrowIfFailed(Device()->Open());
}

void TMediaDevice::Close()
{
    if (device_)
        device_->Close();
}

void TMediaDevice::Play()
{
    ThrowIfFailed(device_ ? Device()->Play() : MCI_NO_DEVICE_TEXT);
}

void TMediaDevice::Stop()
{
    ThrowIfFailed(device_ ? device_->Stop() : MCI_NO_DEVICE_TEXT);
}

void TMediaDevice::Seek(int32_t position)
{
    ThrowIfFailed(device_ ? device_->Seek(position) : MCI_NO_DEVICE_TEXT);
}

void TMediaDevice::SetStartPos(int32_t position)
{
    if (device_)
        return device_->SetStartPos(position);
    startPos_ = position;
    startPending_ = true;
}

void TMediaDevice::SetEndPos(int32_t position)
{
    if (device_)
        return device_->SetEndPos(position);
    endPos_ = position;
    endPending_ = true;
}

void TMediaDevice::SetTimeFormat(int format)
{
    if (device_)
        device_->SetTimeFormat(format);
}

uint8_t TMediaDevice::Mode()
{
    return device_ ? device_->Mode() : mpNotReady;
}
int32_t TMediaDevice::Position()
{
    return device_ ? device_->Position() : 0;
}

int32_t TMediaDevice::Length()
{
    int32_t length = 0;
    ThrowIfFailed(device_ ? device_->Length(length) : MCI_NO_DEVICE_TEXT);
    return length;
}

std::string TMediaDevice::ErrorMessage() const
{
    return device_ ? device_->ErrorMessage() : std::string(MCI_SUCCESS_TEXT);
}

void TMediaDevice::SetShape(const ringtone::TShapePlan& plan)
{
    shape_ = plan;
    if (device_)
        device_->SetShape(plan);
}

ringtone::TShapePlan TMediaDevice::AppliedShape() const
{
    return device_ ? device_->AppliedShape() : ringtone::TShapePlan{};
}

void TMediaDevice::PlayLoop(int32_t selectionStartMs, int32_t selectionEndMs)
{
    ThrowIfFailed(device_ ? Device()->PlayLoop(selectionStartMs, selectionEndMs) : MCI_NO_DEVICE_TEXT);
}

TSoundEnvelope::TSoundEnvelope(const std::string& fileName, int columns, int columnsPerSecond)
    : envelope_(MediaLoader().Entries().CreateEnvelope(fileName, columns, columnsPerSecond))
{
}

// The module's envelope cancels and joins its worker as it goes.
TSoundEnvelope::~TSoundEnvelope() = default;

namespace {

// The module's analysis as the window reads it.
class TModuleSongAnalysis final : public TSongAnalysis {
public:
    explicit TModuleSongAnalysis(std::shared_ptr<const TSongAnalysisResult> result)
        : result_(std::move(result))
    {
    }
    // A failed analysis has an empty grid: no steady beat.
    const beats::TBeatGrid& Beats() const override { return result_->Grid; }
    music::TChorusSuggestion Suggest(double lengthSeconds, double maxLengthSeconds) const override
    {
        return result_->Sections ? result_->Sections->SuggestChorus(lengthSeconds, maxLengthSeconds)
                                 : music::TChorusSuggestion{};
    }

private:
    std::shared_ptr<const TSongAnalysisResult> result_;
};

} // namespace

std::shared_ptr<const TSongAnalysis> TSoundEnvelope::Analysis() const
{
    std::shared_ptr<const TSongAnalysisResult> result = envelope_->Analysis();
    if (!result)
        return nullptr;
    return std::make_shared<TModuleSongAnalysis>(std::move(result));
}

std::string SoundOutputDriver()
{
    return MediaLoader().Entries().OutputDriver();
}

ringtone::TLoudness MeasureLoudnessInModule(const std::string& path, int64_t startMs, int64_t endMs,
    int channels, int rate, const std::atomic<bool>* cancel)
{
    try {
        return MediaLoader().Entries().MeasureLoudness(path, startMs, endMs, channels, rate, cancel);
    } catch (const EMCIDeviceError& e) {
        ringtone::TLoudness failed;
        failed.Error = e.what();
        return failed;
    }
}

TMatchGain MeasureMatchGainInModule(const TLoudnessKey& key, std::string* error)
{
    const std::optional<QByteArray> bytes = FileNameBytes(key.File);
    if (!bytes)
        return {};
    const ringtone::TLoudness loudness = MeasureLoudnessInModule(
        bytes->toStdString(), key.StartMs, key.EndMs, key.Form.Channels, key.Form.Rate);
    if (!loudness.Ok) {
        if (error)
            *error = loudness.Error;
        return {};
    }
    return {true, ringtone::MatchGainDb(loudness.IntegratedLufs, loudness.TruePeakDbtp)};
}
