// TMediaPlayer: the invisible playback device of the main window. It opens one
// audio file at a time (anything FFmpeg reads) and plays it, whole or between
// two positions, in the background. Positions and lengths are milliseconds.
//
// Every operation is meant to be called from the GUI thread. Decoding runs on
// a thread of the device's own; sound goes out through SDL2, falling back to
// SDL's silent real-time "dummy" driver when no sound device can be opened.
#pragma once

#include "RingtoneShape.h"

#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <stdexcept>
#include <string>

// Result codes kept in LastError: 0 after a command that succeeded, else the
// kind of failure. The device's tests read them; the window shows only the
// text of the exception (or ErrorMessage), never a code.
constexpr uint32_t MCIERR_NO_ERROR = 0;
constexpr uint32_t MCIERR_BASE = 256;
constexpr uint32_t MCIERR_INVALID_DEVICE_ID = MCIERR_BASE + 1;
constexpr uint32_t MCIERR_HARDWARE = MCIERR_BASE + 6;
constexpr uint32_t MCIERR_OUT_OF_MEMORY = MCIERR_BASE + 8;
constexpr uint32_t MCIERR_CANNOT_LOAD_DRIVER = MCIERR_BASE + 10;
constexpr uint32_t MCIERR_FILE_NOT_FOUND = MCIERR_BASE + 19;
constexpr uint32_t MCIERR_OUTOFRANGE = MCIERR_BASE + 26;
constexpr uint32_t MCIERR_BAD_TIME_FORMAT = MCIERR_BASE + 37;
constexpr uint32_t MCIERR_INVALID_FILE = MCIERR_BASE + 40;

// The device's texts for "nothing is open" and for a command that succeeded.
inline constexpr const char* MCI_NO_DEVICE_TEXT = "No MCI device open";
inline constexpr const char* MCI_SUCCESS_TEXT = "The specified command was carried out.";

class EMCIDeviceError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// How the device is chosen: always from the file itself (FFmpeg reads
// whatever it recognises).
enum TMPDeviceTypes { dtAutoSelect };

class TMediaPlayer {
public:
    // Mode values.
    static constexpr uint8_t mpNotReady = 0;
    static constexpr uint8_t mpStopped = 1;
    static constexpr uint8_t mpPlaying = 2;
    static constexpr uint8_t mpRecording = 3;
    static constexpr uint8_t mpSeeking = 4;
    static constexpr uint8_t mpPaused = 5;
    static constexpr uint8_t mpOpen = 6;

    TMediaPlayer();
    ~TMediaPlayer(); // closes an open device
    TMediaPlayer(const TMediaPlayer&) = delete;
    TMediaPlayer& operator=(const TMediaPlayer&) = delete;

    // Settings.
    std::string FileName; // UTF-8 path used by Open
    TMPDeviceTypes DeviceType = dtAutoSelect; // the file itself decides
    bool AutoOpen = false; // kept for the owner; Open is always explicit
    bool AutoRewind = true;
    bool Shareable = false;

    // State.
    bool Opened() const { return opened_; }
    uint16_t DeviceId() const { return deviceId_; }
    uint32_t LastError() const { return lastError_; }
    int32_t StartPos() const { return startPos_; }
    bool StartPending() const { return startPending_; }
    int32_t EndPos() const { return endPos_; }
    bool EndPending() const { return endPending_; }

    // Opens FileName, closing any device first. Synchronous; throws
    // EMCIDeviceError with a readable message and leaves the device closed.
    // Only a local regular file is opened (never a URL, pipe or device), and
    // Open answers within a second whatever the file holds.
    void Open();
    // Close, Stop and destruction answer within 100 ms even while the
    // worker is inside FFmpeg's seek or read.
    void Close(); // no-op when closed
    void Play(); // checks open; returns at once
    void Stop(); // checks open
    void Seek(int32_t position); // checks open; stops playback
    void SetStartPos(int32_t position);
    void SetEndPos(int32_t position);
    void SetTimeFormat(int format); // only 0, milliseconds, is supported
    uint8_t Mode(); // 0 when closed
    int32_t Position(); // 0 when closed
    int32_t Length(); // checks open; 0 when the file does not tell
    std::string ErrorMessage() const;

    // Ringtone preview. The plan set here shapes (fades, gain, limit) every
    // Play with both a start and an end pending (Play selection) and every
    // PlayLoop, exactly as the saved ringtone is shaped: frame n of the
    // selection gets ApplyShape's factor for offset n in a selection from
    // StartPos to EndPos. Any other Play (on from the cursor, to the end of
    // the file) is played as the file holds it. Takes effect at the next start
    // and is kept across Open.
    void SetShape(const ringtone::TShapePlan& plan);
    // The plan used by the last shaped start (Play selection or PlayLoop).
    ringtone::TShapePlan AppliedShape() const { return applied_; }
    // Plays the last 3 s of the selection straight into its first 3 s, as a
    // phone does when the ringtone rings again, shaped by the plan at each
    // part's offsets inside the selection (the end part carries the fade out,
    // the start part the fade in). A selection shorter than 6 s plays its
    // second half into its first half. No gap at the join: the start part is
    // decoded before the sound starts. Checks open; returns at once; Mode()
    // is mpPlaying meanwhile and mpStopped after; Stop() ends it. Position()
    // follows the sound heard (it jumps back at the join) and rests at the
    // end of the start part. A selection outside the media or shorter than a
    // millisecond sets MCIERR_OUTOFRANGE and plays nothing.
    void PlayLoop(int32_t selectionStartMs, int32_t selectionEndMs);

    // For tests: sees every block of interleaved 16-bit samples (the file's
    // rate and channel count) exactly as the device hands it to the sound
    // output, called on the device's own thread. Set it while stopped.
    using TOutputTap = std::function<void(const int16_t* samples, size_t count)>;
    void SetOutputTap(TOutputTap tap);

private:
    struct Impl;
    void CheckOpen();
    void SetError(uint32_t code, std::string message);
    void SetSuccess();

    std::unique_ptr<Impl> impl_;
    bool opened_ = false;
    uint16_t deviceId_ = 0;
    uint32_t lastError_ = 0;
    std::string lastMessage_;
    int32_t startPos_ = 0;
    bool startPending_ = false;
    int32_t endPos_ = 0;
    bool endPending_ = false;
    ringtone::TShapePlan shape_; // set by SetShape
    ringtone::TShapePlan applied_; // used by the last shaped start
};
