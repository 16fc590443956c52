// Files made by the installed FFmpeg with LAME: an ID3v2 tag before the first
// frame, LAME's Info/Xing frame, and an ID3v1 tag when asked for.
#include <cstdlib>

#include <gtest/gtest.h>

#include "MPGTools.h"
#include "MpgTestUtil.h"

namespace {

// Five seconds of a 440 Hz tone; `options` go before the output name.
std::string Encode(const mpgtest::TempDir& dir, const std::string& name, const std::string& options)
{
    const auto path = (dir.Path() / name).string();
    const std::string cmd = "ffmpeg -nostdin -loglevel error -y -f lavfi -i sine=frequency=440:duration=5 "
        + options + " -c:a libmp3lame '" + path + "'";
    const int rc = std::system(cmd.c_str());
    if (rc != 0)
        ADD_FAILURE() << "ffmpeg (with libmp3lame) failed to make " << name << ": exit " << rc;
    return path;
}

struct Expected {
    const char* name;
    const char* options;
    uint8_t version;
    int32_t sampleRate;
    const char* bitRate;
    const char* channels;
};

TEST(MPGToolsRealFilesTest, LameFiles)
{
    mpgtest::TempDir dir;
    const Expected cases[] = {
        {"cbr128.mp3", "-ac 2 -ar 44100 -b:a 128k", 1, 44100, "128", "Stereo"},
        {"mono32.mp3", "-ac 1 -ar 22050 -b:a 32k", 2, 22050, "32", "Mono"},
        {"vbr-mpeg2.mp3", "-ac 1 -ar 22050 -q:a 5", 2, 22050, "VBR", "Mono"}, // 576-sample frames
        {"vbr-mpeg1.mp3", "-ac 2 -ar 48000 -q:a 4", 1, 48000, "VBR", "Stereo"},
        {"mpeg25.mp3", "-ac 1 -ar 8000 -b:a 16k", 3, 8000, "16", "Mono"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const auto path = Encode(dir, c.name, c.options);
        TMPEGAudio a;
        int prompts = 0;
        a.OnReadError = [&](TMPEGAudio&) -> uint16_t { return ++prompts, MPGReadError::Cancel; };
        a.SetFileName(path);
        EXPECT_EQ(prompts, 0);
        EXPECT_EQ(a.Version, c.version);
        EXPECT_EQ(a.Layer, 3);
        EXPECT_EQ(a.SampleRate, c.sampleRate);
        EXPECT_EQ(a.BitRateText(), c.bitRate);
        EXPECT_EQ(a.ChannelText(), c.channels);
        EXPECT_GT(a.HeaderPos, 0); // behind the ID3v2 tag
        EXPECT_GE(a.Duration, 4);
        EXPECT_LE(a.Duration, 6);
        EXPECT_EQ(a.TagId, "BAD");
        EXPECT_EQ(a.Title, c.name);
    }

    const auto tagged = Encode(dir, "tagged.mp3",
        "-ac 2 -ar 44100 -b:a 128k -write_id3v1 1 -metadata title=Sine -metadata artist=Velumo "
        "-metadata album=Tones -metadata date=2024 -metadata track=3");
    TMPEGAudio a;
    a.SetFileName(tagged);
    EXPECT_EQ(a.TagId, "TAG");
    EXPECT_EQ(a.Title, "Sine");
    EXPECT_EQ(a.Artist, "Velumo");
    EXPECT_EQ(a.Album, "Tones");
    EXPECT_EQ(a.Year, "2024");
    EXPECT_EQ(a.Track, 3);
    EXPECT_EQ(a.Duration, 5);
}

} // namespace
