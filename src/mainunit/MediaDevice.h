#pragma once
// The window's playback device and sound envelope: the same operations as
// TMediaPlayer and TWaveEnvelope, served by the sound module (MediaLoader.h).
// The device asks for the module at its first Open; until then it is a
// closed device (mode 0, position 0), which costs nothing to have.

#include "MPlayer.h"
#include "MediaModuleApi.h"
#include "Options.h"
#include "SongAnalysis.h"

#include <cstdint>
#include <memory>
#include <string>

class TMediaDevice {
public:
    static constexpr uint8_t mpNotReady = TMediaPlayer::mpNotReady;
    static constexpr uint8_t mpStopped = TMediaPlayer::mpStopped;
    static constexpr uint8_t mpPlaying = TMediaPlayer::mpPlaying;
    static constexpr uint8_t mpRecording = TMediaPlayer::mpRecording;
    static constexpr uint8_t mpSeeking = TMediaPlayer::mpSeeking;
    static constexpr uint8_t mpPaused = TMediaPlayer::mpPaused;
    static constexpr uint8_t mpOpen = TMediaPlayer::mpOpen;

    TMediaDevice();
    ~TMediaDevice();
    TMediaDevice(const TMediaDevice&) = delete;
    TMediaDevice& operator=(const TMediaDevice&) = delete;

    std::string FileName; // raw bytes of the path used by Open
    TMPDeviceTypes DeviceType = dtAutoSelect;
    bool AutoOpen = false;
    bool AutoRewind = true;
    bool Shareable = false;

    bool Opened() const;
    uint16_t DeviceId() const;
    uint32_t LastError() const;
    int32_t StartPos() const;
    bool StartPending() const;
    int32_t EndPos() const;
    bool EndPending() const;

    // Throws EMCIDeviceError, also when the sound module cannot be loaded.
    void Open();
    void Close();
    void Play();
    void Stop();
    void Seek(int32_t position);
    void SetStartPos(int32_t position);
    void SetEndPos(int32_t position);
    void SetTimeFormat(int format);
    uint8_t Mode();
    int32_t Position();
    int32_t Length();
    std::string ErrorMessage() const;
    // The preview's shaping, as TMediaPlayer's; a plan set before the first
    // Open is handed to the device then.
    void SetShape(const ringtone::TShapePlan& plan);
    ringtone::TShapePlan AppliedShape() const;
    void PlayLoop(int32_t selectionStartMs, int32_t selectionEndMs);

private:
    // The module's device with the settings above; none before the first Open.
    IMediaDevice* Device();

    std::unique_ptr<IMediaDevice> device_;
    // Kept until the module's device exists.
    int32_t startPos_ = 0;
    bool startPending_ = false;
    int32_t endPos_ = 0;
    bool endPending_ = false;
    ringtone::TShapePlan shape_;
};

class TSoundEnvelope {
public:
    // As TWaveEnvelope; throws EMCIDeviceError when the sound module cannot
    // be loaded.
    TSoundEnvelope(const std::string& fileName, int columns, int columnsPerSecond);
    ~TSoundEnvelope();
    TSoundEnvelope(const TSoundEnvelope&) = delete;
    TSoundEnvelope& operator=(const TSoundEnvelope&) = delete;

    void Cancel() { envelope_->Cancel(); }
    int Columns() const { return envelope_->Columns(); }
    int Filled() const { return envelope_->Filled(); }
    bool Finished() const { return envelope_->Finished(); }
    uint8_t Value(int column) const { return envelope_->Value(column); }
    int FilledAt(int perSecond) const { return envelope_->FilledAt(perSecond); }
    uint8_t ValueAt(int column, int perSecond) const { return envelope_->ValueAt(column, perSecond); }
    // The song's beats and chorus, found as its sound was read; null until
    // Finished() and after a cancel.
    std::shared_ptr<const TSongAnalysis> Analysis() const;

private:
    std::unique_ptr<IWaveEnvelope> envelope_;
};

// The sound output the window's device plays through; empty before its first
// playback (waits for the sound module).
std::string SoundOutputDriver();

// ringtone::MeasureLoudness, measured by the sound module (waits for it).
ringtone::TLoudness MeasureLoudnessInModule(const std::string& path, int64_t startMs, int64_t endMs,
    int channels = 2, int rate = 0, const std::atomic<bool>* cancel = nullptr);

// The loudness match's gain for the stretch, measured by the sound module;
// not Measured (error says why) when the measurement failed.
TMatchGain MeasureMatchGainInModule(const TLoudnessKey& key, std::string* error = nullptr);
