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

namespace {

// An Ogg Vorbis file that FFmpeg refuses plays through libvorbisfile like any
// other: its length, its sound (the tone's pitch) and exact seeks (within the
// damaged first pages, 2 s here).
TEST(AudioDecoder, OggVorbisFfmpegRefusesDecodesThroughLibvorbis)
{
    const std::string dir = testmedia::TempDir("mplayer-dec");
    for (int channels : {1, 2}) {
        SCOPED_TRACE(channels);
        const std::string path = dir + "damaged" + std::to_string(channels) + ".ogg";
        ASSERT_TRUE(testmedia::MakeDamagedOgg(path, 3.0, channels)) << "ffmpeg could not make the test Ogg";
        TAudioDecoder d(path);
        EXPECT_EQ(d.SampleRate(), 44100);
        ASSERT_EQ(d.Channels(), channels);
        EXPECT_NEAR(d.LengthMs(), 3000, 100);
        std::vector<int16_t> all;
        d.SeekTo(0);
        while (d.Decode(all) > 0) { }
        EXPECT_TRUE(d.ReachedEnd());
        EXPECT_NEAR(static_cast<double>(all.size()) / channels, 3.0 * 44100, 4410);
        const auto late = DecodeFrom(d, 120000, SIZE_MAX); // by granule position: to the end
        EXPECT_EQ(late.size(), static_cast<size_t>(132300 - 120000) * channels);
        int crossings = 0;
        for (size_t i = 22050; i < 88200; ++i)
            crossings += (all[i * channels] < 0) != (all[(i + 1) * channels] < 0);
        EXPECT_NEAR(crossings / 1.5, 880, 20);
        for (int64_t frame : {441, 44100, 80001}) {
            const auto out = DecodeFrom(d, frame, 4096);
            ASSERT_GE(out.size(), 4096u);
            int worst = 0;
            for (size_t i = 0; i < 4096; ++i)
                worst = std::max(worst, std::abs(out[i] - all[static_cast<size_t>(frame * channels) + i]));
            EXPECT_LE(worst, 2) << "at frame " << frame;
        }
    }
}

} // namespace

#include "MPlayer.h"

namespace {

// The device over such a file: opened, its length, and a stretch played to
// its end (at real-time pace, on whatever output the machine has).
TEST(AudioDecoder, DeviceOpensAndPlaysAnOggFfmpegRefuses)
{
    const std::string path = testmedia::TempDir("mplayer-dec") + "device.ogg";
    ASSERT_TRUE(testmedia::MakeDamagedOgg(path, 2.0)) << "ffmpeg could not make the test Ogg";
    TMediaPlayer mp;
    mp.FileName = path;
    mp.Open();
    ASSERT_TRUE(mp.Opened()) << mp.ErrorMessage();
    EXPECT_NEAR(mp.Length(), 2000, 100);
    mp.SetStartPos(1700);
    mp.SetEndPos(1900);
    mp.Play();
    EXPECT_EQ(mp.LastError(), 0u) << mp.ErrorMessage();
    ASSERT_TRUE(
        testmedia::WaitFor([&] { return mp.Mode() == TMediaPlayer::mpStopped; }, std::chrono::seconds(5)));
    EXPECT_EQ(mp.Position(), 1900);
}

} // namespace
