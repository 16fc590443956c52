// Sample exactness of the decoder behind the playback device.
#include "AudioDecoder.h"
#include "TestMedia.h"

#include <gtest/gtest.h>

#include <cstdlib>

using mplayer_detail::TAudioDecoder;

namespace {

std::vector<int16_t> DecodeFrom(TAudioDecoder& d, int64_t frame, size_t samples)
{
    std::vector<int16_t> out;
    d.SeekTo(frame);
    while (out.size() < samples && d.Decode(out) > 0) { }
    return out;
}

TEST(AudioDecoder, WavStartsExactlyAtTheRequestedSample)
{
    const std::string path = testmedia::TempDir("mplayer-dec") + "ramp.wav";
    // Each frame carries its own index; the right channel is its negation.
    testmedia::WriteWav(path, 44100, 2, 44100 * 2, [](int64_t i, int c) {
        const auto v = static_cast<int16_t>(i % 30000);
        return c == 0 ? v : static_cast<int16_t>(-v);
    });
    TAudioDecoder d(path);
    EXPECT_EQ(d.SampleRate(), 44100);
    EXPECT_EQ(d.Channels(), 2);
    EXPECT_EQ(d.LengthMs(), 2000);
    for (int64_t frame : {0, 1, 441, 22050, 30001, 44100 * 2 - 3}) {
        const auto out = DecodeFrom(d, frame, 2);
        ASSERT_GE(out.size(), 2u) << frame;
        EXPECT_EQ(out[0], frame % 30000);
        EXPECT_EQ(out[1], -(frame % 30000));
    }
    // Everything up to the end, nothing more.
    d.SeekTo(44100 * 2 - 100);
    std::vector<int16_t> rest;
    while (d.Decode(rest) > 0) { }
    EXPECT_EQ(rest.size(), 200u);
    EXPECT_EQ(DecodeFrom(d, 44100 * 3, 2).size(), 0u);
}

TEST(AudioDecoder, Mp3SeekMatchesDecodingFromTheStart)
{
    const std::string path = testmedia::TempDir("mplayer-dec") + "tone.mp3";
    ASSERT_TRUE(testmedia::MakeMp3(path, 3.0, 1)) << "ffmpeg could not make the test MP3";
    TAudioDecoder d(path);
    ASSERT_EQ(d.Channels(), 1);
    std::vector<int16_t> all;
    d.SeekTo(0);
    while (d.Decode(all) > 0) { }
    EXPECT_NEAR(static_cast<double>(all.size()), 3.0 * 44100, 1152);
    EXPECT_NEAR(d.LengthMs(), 3000, 30);
    for (int64_t frame : {441, 20000, 44100, 100003}) {
        const auto out = DecodeFrom(d, frame, 4096);
        ASSERT_GE(out.size(), 4096u);
        int worst = 0;
        for (size_t i = 0; i < 4096; ++i)
            worst = std::max(worst, std::abs(out[i] - all[static_cast<size_t>(frame) + i]));
        EXPECT_LE(worst, 2) << "at frame " << frame;
    }
}

} // namespace
