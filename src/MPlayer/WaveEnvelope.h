// TWaveEnvelope: the loudness of an audio file, one value per timeline
// column, for drawing the real sound. A worker thread of its own decodes the
// file with its own FFmpeg reader and decoder (never the playback device's)
// and fills the columns from left to right while the GUI draws what is ready.
//
// A column's value is the RMS level of its stretch of sound over all
// channels, in dB below full scale, mapped linearly from FloorDb (value 0:
// silence or quieter) to 0 dBFS (value 255). One byte per column, and beside
// the timeline's own columns one byte per 2 ms (FineValuesPerSecond; two per
// column at the finest scale, 4 ms), from which the zoomed-in scales read:
// 1.8 MB for an hour of sound.
//
// Bad input never throws and shows no message: a file that does not open or
// decode leaves every column unfilled; a damaged or cut-short file keeps the
// columns decoded before the damage and leaves the rest unfilled.
#pragma once

#include <atomic>
#include <cstdint>
#include <functional>
#include <string>
#include <thread>
#include <vector>

// Takes the sound the envelope's worker decodes, mixed to mono at `Rate` Hz
// (full scale 1.0), block by block as it is decoded, on the worker's thread:
// an analysis of the song rides on the envelope's single decoding pass.
struct TSampleSink {
    int Rate = 0; // Hz; 0 or no Take: no sink
    std::function<void(const float* samples, size_t count)> Take;
    // Called on the worker once decoding has ended, at the song's end or at
    // damage (not when cancelled), before Finished() turns true; may be empty.
    std::function<void()> End;
};

class TWaveEnvelope {
public:
    static constexpr double FloorDb = -50.0; // dBFS drawn as an empty column
    static constexpr uint8_t MaxValue = 255; // 0 dBFS and louder
    // 2 ms a value: every scale of the timeline (5 to 250 columns a second)
    // spans a whole number of them.
    static constexpr int FineValuesPerSecond = 500;

    // Starts the worker at once and returns without waiting for it. `fileName`
    // is the path as raw bytes (as TMediaPlayer::FileName); `columns` is the
    // timeline's width, `columnsPerSecond` columns stand for one second of
    // sound. Throws only when no thread or memory can be had.
    TWaveEnvelope(std::string fileName, int columns, int columnsPerSecond, TSampleSink sink = {});
    // Cancels and joins the worker.
    ~TWaveEnvelope();
    TWaveEnvelope(const TWaveEnvelope&) = delete;
    TWaveEnvelope& operator=(const TWaveEnvelope&) = delete;

    // Ends the worker, also inside a read or a seek, and waits for it (within
    // milliseconds, tens on a busy machine). The columns filled so far stay readable. Called
    // by the envelope's owner, like the destructor.
    void Cancel();

    // These may be called from any thread while the worker runs.
    int Columns() const { return static_cast<int>(values_.size()); }
    // Columns 0 .. Filled() - 1 hold their final values; it only grows.
    int Filled() const { return filled_.load(std::memory_order_acquire); }
    // The worker has ended: every column it will ever fill is filled.
    bool Finished() const { return finished_.load(std::memory_order_acquire); }
    // The value of a filled column; 0 for a column not (yet) filled.
    uint8_t Value(int column) const
    {
        return column >= 0 && column < Filled() ? values_[static_cast<size_t>(column)] : 0;
    }

    // The same at another scale (one that divides FineValuesPerSecond):
    // columns wholly filled so far, and the level of a column, made from the
    // 2 ms values it spans (0 when not yet filled). At the envelope's own
    // scale they are Filled() and Value().
    int FilledAt(int columnsPerSecond) const;
    uint8_t ValueAt(int column, int columnsPerSecond) const;
    // Bytes the values take.
    size_t MemoryBytes() const { return values_.size() + fine_.size(); }

    // The half-height in pixels of a column of `value` on a timeline picture
    // `pictureHeight` pixels high (its wave band is that height less 24).
    static int HalfHeight(uint8_t value, int pictureHeight)
    {
        const int half = (pictureHeight - 24) / 2 > 0 ? (pictureHeight - 24) / 2 : 0;
        return (value * half + MaxValue / 2) / MaxValue;
    }
    // The value for a mean square level (full scale = 1.0).
    static uint8_t ValueOfMeanSquare(double meanSquare);

private:
    void Run();

    const std::string fileName_;
    const int columnsPerSecond_;
    const TSampleSink sink_;
    std::vector<uint8_t> values_; // written by the worker before filled_ counts them
    std::atomic<int> filled_{0};
    std::vector<uint8_t> fine_; // 2 ms each, the same way
    std::atomic<int> fineFilled_{0};
    std::atomic<bool> finished_{false};
    std::atomic<bool> stop_{false};
    std::thread worker_; // last: starts once everything above exists
};
