// libFuzzer target: any file content whatever must be analysed without a crash,
// a hang or a read outside the file. Built by scripts/fuzz-mpg.sh, which also
// removes the input file this target leaves in TMPDIR.
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "MPGTools.h"

namespace {

const std::string& InputPath()
{
    static const std::string path = [] {
        const char* tmp = std::getenv("TMPDIR");
        return std::string(tmp != nullptr && *tmp != '\0' ? tmp : "/tmp") + "/mpg-fuzz-"
            + std::to_string(::getpid()) + ".mp3";
    }();
    return path;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    std::FILE* f = std::fopen(InputPath().c_str(), "wb");
    if (f == nullptr)
        std::abort(); // the fuzzer cannot work without its file
    if (size > 0 && std::fwrite(data, 1, size, f) != size)
        std::abort();
    std::fclose(f);

    // The first bytes also pick a search limit, so that path is explored too.
    TMPEGAudio audio;
    audio.SearchLimit = size > 0 && (data[0] & 0x0F) == 0x0F ? static_cast<int32_t>(size / 2) : 0;
    int retries = 0;
    audio.OnReadError = [&retries](TMPEGAudio&) -> uint16_t {
        return ++retries < 2 ? MPGReadError::Retry : MPGReadError::Ignore;
    };
    audio.SetFileName(InputPath());
    // Touch every result so the sanitizers see them used.
    volatile size_t sink = audio.Title.size() + audio.BitRateText().size() + audio.ChannelText().size()
        + static_cast<size_t>(audio.DurationAsTime().Hours) + audio.FrameLength;
    (void)sink;
    return 0;
}
