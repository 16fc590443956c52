// Sample exactness of the decoder behind the playback device.
#include "AudioDecoder.h"
#include "TestMedia.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <fstream>

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

// Zero crossings per second of one channel, in [fromMs, toMs).
double Crossings(const std::vector<int16_t>& all, int channels, int channel, int rate, int fromMs, int toMs)
{
    int n = 0;
    const size_t from = static_cast<size_t>(fromMs) * rate / 1000,
                 to = static_cast<size_t>(toMs) * rate / 1000;
    for (size_t i = from + 1; i < to && i * channels < all.size(); ++i)
        n += (all[(i - 1) * channels + channel] < 0) != (all[i * channels + channel] < 0);
    return n * 1000.0 / (toMs - fromMs);
}

std::vector<int16_t> DecodeAll(TAudioDecoder& d)
{
    std::vector<int16_t> all;
    d.SeekTo(0);
    while (d.Decode(all) > 0) { }
    return all;
}

TEST(AudioDecoder, JoinedFilesOfTwoRatesKeepTheirPitch)
{
    const std::string dir = testmedia::TempDir("mplayer-dec");
    ASSERT_TRUE(testmedia::MakeMp3(dir + "low.mp3", 1.0, 1, 8000));
    ASSERT_TRUE(testmedia::MakeMp3(dir + "high.mp3", 1.0, 2, 44100));
    std::ofstream(dir + "joined.mp3", std::ios::binary)
        << std::ifstream(dir + "low.mp3", std::ios::binary).rdbuf()
        << std::ifstream(dir + "high.mp3", std::ios::binary).rdbuf();
    TAudioDecoder d(dir + "joined.mp3");
    EXPECT_EQ(d.SampleRate(), 8000); // the first frame's
    EXPECT_EQ(d.Channels(), 1);
    const auto all = DecodeAll(d);
    // A 440 Hz tone crosses zero 880 times a second, in both parts.
    EXPECT_NEAR(Crossings(all, 1, 0, 8000, 100, 900), 880, 20);
    EXPECT_NEAR(Crossings(all, 1, 0, 8000, 1200, 1900), 880, 20);
}

TEST(AudioDecoder, ChannelsWithoutPositionsAreMixedDown)
{
    const std::string path = testmedia::TempDir("mplayer-dec") + "64ch.wav";
    // A tone in the first and the last of 64 channels, silence elsewhere.
    testmedia::WriteWav(path, 8000, 64, 8000, [](int64_t i, int c) {
        return static_cast<int16_t>(c == 0 || c == 63 ? 16000 * std::sin(i * 2 * M_PI * 440 / 8000) : 0);
    });
    TAudioDecoder d(path);
    ASSERT_EQ(d.Channels(), 2);
    const auto all = DecodeAll(d);
    EXPECT_EQ(all.size(), 2u * 8000);
    for (int side : {0, 1})
        EXPECT_NEAR(Crossings(all, 2, side, 8000, 0, 1000), 880, 20) << "side " << side;
}

} // namespace
