// The boundary of the sound module (libvelumo-media.so): the playback
// device, the sound envelope and the loudness meter, behind interfaces that
// need neither FFmpeg nor SDL2. The program loads the module when it first
// needs sound, so the media libraries are not part of its start.
//
// Device failures cross the boundary as text, never as exceptions of the
// module's own types.
#pragma once

#include "BeatGrid.h"
#include "ChorusSuggestion.h"
#include "Loudness.h"
#include "RingtoneShape.h"

#include <atomic>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

class IMediaDevice {
public:
    virtual ~IMediaDevice() = default;
    // Settings used by the next Open and Play.
    virtual void Configure(const std::string& fileName, bool autoRewind) = 0;
    // These return an empty string on success, else the error's text.
    virtual std::string Open() = 0;
    virtual std::string Play() = 0;
    virtual std::string Stop() = 0;
    virtual std::string Seek(int32_t position) = 0;
    virtual std::string Length(int32_t& length) = 0;
    virtual void Close() = 0;
    virtual void SetStartPos(int32_t position) = 0;
    virtual void SetEndPos(int32_t position) = 0;
    virtual void SetTimeFormat(int format) = 0;
    virtual uint8_t Mode() = 0;
    virtual int32_t Position() = 0;
    virtual std::string ErrorMessage() const = 0;
    virtual bool Opened() const = 0;
    virtual uint16_t DeviceId() const = 0;
    virtual uint32_t LastError() const = 0;
    virtual int32_t StartPos() const = 0;
    virtual bool StartPending() const = 0;
    virtual int32_t EndPos() const = 0;
    virtual bool EndPending() const = 0;
    virtual void SetShape(const ringtone::TShapePlan& plan) = 0;
    virtual ringtone::TShapePlan AppliedShape() const = 0;
    virtual std::string PlayLoop(int32_t selectionStartMs, int32_t selectionEndMs) = 0;
};

// The song's features, kept for suggesting ringtones of any length.
class ISongSections {
public:
    virtual ~ISongSections() = default;
    // lengthSeconds <= 0 means 30; maxLengthSeconds <= 0: no limit. Never throws.
    virtual music::TChorusSuggestion SuggestChorus(double lengthSeconds, double maxLengthSeconds) const = 0;
};

// The analysis of a whole song. With no steady beat (speech, ambient sound,
// silence) Grid.Steady is false, the tempo 0 and the beats empty; the chorus
// can still be asked for.
struct TSongAnalysisResult {
    std::string Error; // empty on success, else the text of the step that failed
    beats::TBeatGrid Grid; // tempo, beats and bars
    double DurationSeconds = 0; // of the sound decoded
    std::shared_ptr<const ISongSections> Sections; // null on error
};

class IWaveEnvelope {
public:
    virtual ~IWaveEnvelope() = default;
    virtual void Cancel() = 0;
    virtual int Columns() const = 0;
    virtual int Filled() const = 0;
    virtual bool Finished() const = 0;
    virtual uint8_t Value(int column) const = 0;
    virtual int FilledAt(int columnsPerSecond) const = 0;
    virtual uint8_t ValueAt(int column, int columnsPerSecond) const = 0;
    // The song's tempo, beats and sections, found in the same decoding pass
    // as the columns; null until Finished() (and after a cancel).
    virtual std::shared_ptr<const TSongAnalysisResult> Analysis() const = 0;
};

// What the module offers; a module whose Version differs is not used.
struct TMediaModuleEntries {
    static constexpr uint32_t CurrentVersion = 5;
    uint32_t Version = CurrentVersion;
    IMediaDevice* (*CreateDevice)() = nullptr;
    // As TWaveEnvelope's constructor; throws only when no thread or memory can be had.
    IWaveEnvelope* (*CreateEnvelope)(const std::string& fileName, int columns, int columnsPerSecond)
        = nullptr;
    ringtone::TLoudness (*MeasureLoudness)(const std::string& path, int64_t startMs, int64_t endMs,
        int channels, int rate, const std::atomic<bool>* cancel)
        = nullptr;
    // Readies the decoders of the common kinds of song (their tables are
    // built at the first use), so the first Open does not pay for it. Called
    // on the loading thread; never throws.
    void (*Warm)() = nullptr;
    // The sound output in use ("pulseaudio", "dummy", ...); empty before the first playback.
    std::string (*OutputDriver)() = nullptr;
    // Decodes the song at `path` once and finds its tempo, beats, bars and
    // sections, on the calling thread; `cancel` (may be null) set ends it
    // promptly with an error. Never throws.
    TSongAnalysisResult (*AnalyseSong)(const std::string& path, const std::atomic<bool>* cancel) = nullptr;
    // Keeps the media libraries' own messages (warnings about damaged data)
    // off stderr, for commands whose stderr holds only their own answer.
    void (*QuietLibraries)() = nullptr;
};

// The module's one exported symbol.
#define VELUMO_MEDIA_ENTRIES "velumo_media_entries"
extern "C" const TMediaModuleEntries* velumo_media_entries();
