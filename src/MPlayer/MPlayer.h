// TMediaPlayer: the invisible playback device of the main window. It opens one
// audio file at a time (anything FFmpeg reads) and plays it, whole or between
// two positions, in the background. Positions and lengths are milliseconds.
//
// Every operation is meant to be called from the GUI thread. Decoding runs on
// a thread of the device's own; sound goes out through SDL2, falling back to
// SDL's silent real-time "dummy" driver when no sound device can be opened.
#pragma once

#include <cstdint>
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
};
