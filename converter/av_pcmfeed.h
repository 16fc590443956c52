// The source ffmpeg cannot read: an Ogg Vorbis file its demuxer refuses (an
// encoder's fault, such as a header repeated in the first audio page with a
// negative granule position), which libvorbisfile decodes. av decodes the
// source up to the cut's end itself and feeds ffmpeg the samples (32-bit float,
// interleaved, in ffmpeg's channel order) through a pipe on its standard
// input, so the cut, the fades, the gain and every ringtone type work as for
// any other source. Nothing is written to the disk.
#pragma once

#include "av_args.h"
#include "av_common.h"
#include "av_cut.h"

#include <atomic>
#include <memory>
#include <string>
#include <thread>

namespace av {

// The file starts as an Ogg stream whose first packet is a Vorbis header.
bool isOggVorbis(const std::string& path);

// ffmpeg refused to open the source: its message names the source and says
// so ("file:<source>: <reason>").
bool ffmpegRefusedSource(const std::string& errors, const std::string& source);

class PcmFeed {
public:
    // Opens the source with libvorbisfile. Throws Failure (ExitSource) when
    // it cannot decode it either.
    explicit PcmFeed(const Job& job);
    // Closes the pipe and waits for the writer.
    ~PcmFeed();
    PcmFeed(const PcmFeed&) = delete;
    PcmFeed& operator=(const PcmFeed&) = delete;

    // How ffmpeg reads the samples (raw input options before "-i pipe:0")
    // and where the cut starts in them.
    const CutPlan& plan() const { return plan_; }
    // The pipe's reading end: ffmpeg's standard input.
    int inputFd() const { return read_.get(); }
    // Starts writing the samples; the pipe closes when they are all written
    // or ffmpeg stops reading.
    void start();

private:
    void write();

    struct File;
    std::unique_ptr<File> file_;
    CutPlan plan_;
    long long to_ = 0; // samples written: [0, to_), to_ < 0 up to the end
    int channels_ = 0;
    long rate_ = 0; // Hz
    UniqueFd read_, write_;
    std::thread writer_;
};

} // namespace av
