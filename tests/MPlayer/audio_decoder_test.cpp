// Sample exactness of the decoder behind the playback device.
#include "AudioDecoder.h"
#include "TestMedia.h"

#include <gtest/gtest.h>

#include <cmath>
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

// A 440 Hz tone (16000 * sin), which crosses zero 880 times a second.
int16_t Tone(int64_t i, int rate)
{
    return static_cast<int16_t>(16000 * std::sin(static_cast<double>(i) * 2 * M_PI * 440 / rate));
}

// Formats the output does not take as they are keep their pitch and length:
// a rate changing inside the file, a rate below the output's, and channels
// without positions (only the first and the last of 64 carry the tone).
TEST(AudioDecoder, ConvertedFormatsKeepTheirPitch)
{
    const std::string dir = testmedia::TempDir("mplayer-dec");
    ASSERT_TRUE(testmedia::MakeJoinedMp3(dir + "joined.mp3"));
    testmedia::WriteWav(dir + "2khz.wav", 2000, 1, 2000, [](int64_t i, int) { return Tone(i, 2000); });
    testmedia::WriteWav(dir + "64ch.wav", 8000, 64, 8000,
        [](int64_t i, int c) { return c == 0 || c == 63 ? Tone(i, 8000) : int16_t{0}; });
    struct Case {
        std::string file;
        int rate, channels;
        int64_t frames; // output frames, within 60 ms
        std::vector<std::pair<int, int>> tone; // stretches of the tone, ms
    };
    const Case cases[] = {
        // The inner file keeps its Info frame and encoder delay (51 ms).
        {"joined.mp3", 8000, 1, 16410, {{100, 900}, {1200, 1900}}},
        {"2khz.wav", 8000, 1, 8000, {{0, 1000}}},
        {"64ch.wav", 8000, 2, 8000, {{0, 1000}}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.file);
        TAudioDecoder d(dir + c.file);
        ASSERT_EQ(d.SampleRate(), c.rate);
        ASSERT_EQ(d.Channels(), c.channels);
        std::vector<int16_t> all;
        d.SeekTo(0);
        while (d.Decode(all) > 0) { }
        EXPECT_NEAR(static_cast<double>(all.size()) / c.channels, c.frames, c.rate * 0.06);
        for (const auto& [from, to] : c.tone)
            for (int side = 0; side < c.channels; ++side) {
                int crossings = 0;
                for (size_t i = static_cast<size_t>(from * c.rate / 1000);
                     i < static_cast<size_t>(to * c.rate / 1000); ++i)
                    crossings += (all[i * c.channels + side] < 0) != (all[(i + 1) * c.channels + side] < 0);
                EXPECT_NEAR(crossings * 1000.0 / (to - from), 880, 20) << from << " ms, side " << side;
            }
    }
}

} // namespace
