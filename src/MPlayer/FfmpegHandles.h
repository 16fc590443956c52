// Owners of FFmpeg's objects, shared by every decoder of the media library:
// std::unique_ptr<AVFrame, TFrameFree> frees its frame however the scope ends.
#pragma once

struct AVFormatContext;
struct AVCodecContext;
struct AVPacket;
struct AVFrame;
struct SwrContext;

namespace mplayer_detail {

struct TFormatCloser {
    void operator()(AVFormatContext* p) const;
};
struct TCodecCloser {
    void operator()(AVCodecContext* p) const;
};
struct TPacketFree {
    void operator()(AVPacket* p) const;
};
struct TFrameFree {
    void operator()(AVFrame* p) const;
};
struct TSwrFree {
    void operator()(SwrContext* p) const;
};

} // namespace mplayer_detail
