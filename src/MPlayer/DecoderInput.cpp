#include "DecoderInput.h"

#include "AudioDecoder.h"

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavutil/error.h>
#include <libavutil/mem.h>
#include <libswresample/swresample.h>
}

namespace mplayer_detail {

std::string AvError(int code)
{
    char text[AV_ERROR_MAX_STRING_SIZE] = {};
    av_strerror(code, text, sizeof text);
    return text;
}

std::string Quoted(const std::string& path)
{
    return "'" + path + "'";
}

void TInputFree::operator()(TInput* p) const
{
    if (p->pb) {
        av_freep(&p->pb->buffer);
        avio_context_free(&p->pb);
    }
    if (p->fd >= 0)
        ::close(p->fd);
    delete p;
}

} // namespace mplayer_detail
