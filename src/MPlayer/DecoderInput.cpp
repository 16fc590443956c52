#include "DecoderInput.h"

#include "AudioDecoder.h"

#include <cerrno>
#include <cstring>

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

namespace {
// One read of the file, bytes: small enough that a stop is seen between reads.
constexpr int kReadBuffer = 64 * 1024;
} // namespace

std::string OpenLocalFile(TInput& in, const std::string& path, int& err)
{
    err = 0;
    in.fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (in.fd < 0) {
        err = errno;
        return std::strerror(err);
    }
    struct stat st { };
    if (::fstat(in.fd, &st) != 0) {
        err = errno;
        return std::string("cannot read its status: ") + std::strerror(err);
    }
    if (S_ISDIR(st.st_mode))
        return "it is a folder, not a file";
    if (!S_ISREG(st.st_mode))
        return "not a regular file (a pipe, device or socket)";
    if (st.st_size == 0)
        return "the file is empty";
    in.size = static_cast<int64_t>(st.st_size);
    const int flags = ::fcntl(in.fd, F_GETFL);
    if (flags >= 0)
        ::fcntl(in.fd, F_SETFL, flags & ~O_NONBLOCK);
    return {};
}

bool AttachReader(TInput& in)
{
    auto* buffer = static_cast<unsigned char*>(av_malloc(kReadBuffer));
    if (buffer)
        in.pb = avio_alloc_context(buffer, kReadBuffer, 0, &in, &TInput::Read, nullptr, &TInput::Seek);
    if (!in.pb)
        av_free(buffer);
    return in.pb != nullptr;
}

// Formats that keep cover pictures in their header get kHeaderBytes; in the
// others a long header is damage (a WAV whose chunk list runs into zeros has
// the demuxer walk 8-byte chunk headers, about 5 ms a megabyte).
int64_t HeaderBudget(const AVInputFormat* format)
{
    static const char* const kWithPictures[]
        = {"mp3", "mov", "flac", "ogg", "asf", "matroska", "aiff", "ape", "wv", "tta"};
    const std::string name = format && format->name ? format->name : "";
    for (const char* n : kWithPictures)
        if (name.rfind(n, 0) == 0)
            return kHeaderBytes;
    return kBytesWithoutAudio;
}

int OpenContainer(TInput& in, const std::string& path, AVFormatContext*& raw)
{
    raw->pb = in.pb;
    raw->interrupt_callback = {&TInput::Interrupt, &in};
    raw->io_open = &TInput::RefuseNested;
    // The name serves only as a hint for the format (its extension).
    const AVInputFormat* format = nullptr;
    const int r = av_probe_input_buffer2(in.pb, &format, path.c_str(), nullptr, 0, 0);
    if (r < 0) {
        avformat_free_context(raw);
        raw = nullptr;
        return r;
    }
    in.Rebudget(HeaderBudget(format));
    return avformat_open_input(&raw, path.c_str(), format, nullptr);
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
