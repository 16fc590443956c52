#include "SongFile.h"

#include "AudioDecoder.h"

#include <memory>
#include <stdexcept>
#include <vector>

namespace mplayer_detail {

namespace {

std::runtime_error Cancelled(const std::string& path)
{
    return std::runtime_error("Analysing \"" + path + "\": cancelled");
}

// A stop request fails the decoder's reads: that is a cancel, not a bad file.
std::unique_ptr<TAudioDecoder> Open(const std::string& path, const std::atomic<bool>* cancel)
{
    try {
        return std::make_unique<TAudioDecoder>(path, cancel);
    } catch (const TDecodeError&) {
        if (cancel && cancel->load())
            throw Cancelled(path);
        throw;
    }
}

} // namespace

TSongAnalysis AnalyseSongFile(const std::string& path, const std::atomic<bool>* cancel)
{
    const std::unique_ptr<TAudioDecoder> open = Open(path, cancel);
    TAudioDecoder& decoder = *open;
    TSongAnalysisSink sink;
    const int channels = decoder.Channels();
    std::vector<int16_t> decoded;
    std::vector<float> block;
    for (;;) {
        decoded.clear();
        const int64_t frames = decoder.Decode(decoded);
        if (frames <= 0)
            break;
        block.resize(decoded.size());
        for (size_t i = 0; i < decoded.size(); ++i)
            block[i] = static_cast<float>(decoded[i]) * (1.0F / 32768.0F);
        const float* data = block.data();
        sink.Feed(&data, channels, true, static_cast<size_t>(frames), decoder.SampleRate());
    }
    if (cancel && cancel->load())
        throw Cancelled(path);
    if (!decoder.ReachedEnd())
        throw std::runtime_error(
            "Cannot decode the audio of \"" + path + "\" to its end: the file is damaged");
    return sink.Finish();
}

} // namespace mplayer_detail
