#include "FfmpegHandles.h"

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
#include <libswresample/swresample.h>
}

namespace mplayer_detail {

void TFormatCloser::operator()(AVFormatContext* p) const
{
    avformat_close_input(&p);
}
void TCodecCloser::operator()(AVCodecContext* p) const
{
    avcodec_free_context(&p);
}
void TPacketFree::operator()(AVPacket* p) const
{
    av_packet_free(&p);
}
void TFrameFree::operator()(AVFrame* p) const
{
    av_frame_free(&p);
}
void TSwrFree::operator()(SwrContext* p) const
{
    swr_free(&p);
}

} // namespace mplayer_detail
