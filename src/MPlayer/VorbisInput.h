// Internal to the media library: the second decoder for Ogg Vorbis files that
// FFmpeg's demuxer refuses (an encoder's fault FFmpeg rejects, such as a header
// repeated in the first audio page with a negative granule position, which
// libvorbis decodes completely). It reads through the same guard as FFmpeg
// does (TInput: stop request, time limit, byte budget), and hands out decoded
// blocks as FFmpeg frames (float planar, FFmpeg's channel order, stamped with
// their first sample), so every consumer treats them as any decoded frame.
#pragma once

#include <cstdint>
#include <memory>

struct AVFrame;

namespace mplayer_detail {

struct TInput;

class TVorbisInput {
public:
    // The file `in` reads begins as an Ogg stream whose first packet is a
    // Vorbis identification header. Reads its first bytes only.
    static bool IsOggVorbis(TInput& in);

    // Reads the headers from the start of the file; Opened() tells whether
    // libvorbisfile took it. `in` must outlive this object.
    explicit TVorbisInput(TInput& in);
    ~TVorbisInput();
    TVorbisInput(const TVorbisInput&) = delete;
    TVorbisInput& operator=(const TVorbisInput&) = delete;

    bool Opened() const { return opened_; }
    int Rate() const { return rate_; } // Hz
    int Channels() const { return channels_; }
    // Sample frames in the whole file; 0 when unknown.
    int64_t Frames() const { return frames_; }

    // Positions the next Read at sample `frame` (exactly), by decoding from
    // the start where the file's positions cannot be trusted; false only
    // when not even its start can be reached.
    bool Seek(int64_t frame);
    // Decodes the next block into `f` (which borrows libvorbis's buffers
    // until the next call): samples per channel, 0 at the end of the file,
    // when the guard ended the reading, or after a long run of damage (a
    // damaged stretch is skipped).
    int Read(AVFrame& f);
    // The last Read returned 0 at the real end of the file.
    bool ReachedEnd() const { return reachedEnd_; }

private:
    struct TFile;
    TInput& in_;
    std::unique_ptr<TFile> file_;
    bool opened_ = false;
    bool reachedEnd_ = false;
    int rate_ = 0;
    int channels_ = 0;
    int64_t frames_ = 0;
    int64_t next_ = 0; // sample index of the next Read
    int64_t skip_ = 0; // samples the next Reads drop to reach a seek's target
    // Below this sample, seeking by granule positions fails (the damaged
    // first pages): the file is read again from its start instead.
    int64_t seekFloor_ = 0;
};

} // namespace mplayer_detail
