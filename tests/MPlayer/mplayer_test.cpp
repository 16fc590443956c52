#include "MPlayer.h"
#include "TestMedia.h"

#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <fstream>

using namespace std::chrono_literals;
using testmedia::WaitFor;

namespace {

struct Media {
    std::string dir, mp3, wav, longWav, text, truncated, odd, empty;
};

const Media& Files()
{
    static const Media m = [] {
        Media f;
        f.dir = testmedia::TempDir("mplayer-test");
        f.mp3 = f.dir + "tone.mp3";
        if (!testmedia::MakeMp3(f.mp3, 3.0))
            f.mp3.clear();
        f.wav = f.dir + "short.wav";
        testmedia::WriteWav(f.wav, 8000, 1, 12000,
            [](int64_t i, int) { return static_cast<int16_t>(8000 * std::sin(i * 0.3)); });
        f.longWav = f.dir + "long.wav"; // 183.9 s
        testmedia::WriteWav(f.longWav, 8000, 1, 1471200, [](int64_t, int) { return int16_t{0}; });
        f.text = f.dir + "notes.txt";
        std::ofstream(f.text) << "This is not audio at all.\nJust a few lines of text.\n";
        f.truncated = f.dir + "cut.wav";
        {
            std::ifstream in(f.wav, std::ios::binary);
            std::string head(20, '\0');
            in.read(head.data(), 20);
            std::ofstream(f.truncated, std::ios::binary) << head;
        }
        f.empty = f.dir + "empty.mp3";
        std::ofstream(f.empty).close();
        f.odd = f.dir + "Ärger & \"Zitate\" 'x' #1 ü.wav";
        std::filesystem::copy_file(f.wav, f.odd, std::filesystem::copy_options::overwrite_existing);
        return f;
    }();
    return m;
}

class MPlayerTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        if (Files().mp3.empty())
            GTEST_FAIL() << "ffmpeg could not make the test MP3";
    }
    void OpenFile(const std::string& path)
    {
        mp.FileName = path;
        mp.Open();
        ASSERT_TRUE(mp.Opened());
    }
    bool Playing() { return mp.Mode() == TMediaPlayer::mpPlaying; }
    bool Stopped() { return mp.Mode() == TMediaPlayer::mpStopped; }
    TMediaPlayer mp;
};

TEST_F(MPlayerTest, SegmentThenPlayOnToTheEnd)
{
    OpenFile(Files().mp3);
    EXPECT_EQ(mp.Mode(), TMediaPlayer::mpStopped);
    EXPECT_EQ(mp.Position(), 0);
    const int32_t length = mp.Length();
    EXPECT_NEAR(length, 3000, 60);

    mp.SetTimeFormat(0);
    mp.SetStartPos(200);
    mp.SetEndPos(500);
    EXPECT_TRUE(mp.StartPending() && mp.EndPending());
    mp.Play();
    EXPECT_FALSE(mp.StartPending() || mp.EndPending());
    EXPECT_EQ(mp.Mode(), TMediaPlayer::mpPlaying);
    int32_t last = mp.Position();
    EXPECT_GE(last, 200);
    bool monotonic = true;
    ASSERT_TRUE(WaitFor(
        [&] {
            const int32_t p = mp.Position();
            monotonic = monotonic && p >= last;
            last = p;
            return Stopped();
        },
        3s));
    EXPECT_TRUE(monotonic);
    EXPECT_NEAR(mp.Position(), 500, 30);

    // Nothing pending: plays on from 500 to the end of the file.
    mp.Play();
    EXPECT_TRUE(Playing());
    EXPECT_GE(mp.Position(), 500);
    EXPECT_LT(mp.Position(), 700);
    ASSERT_TRUE(WaitFor([&] { return Stopped(); }, 5s));
    EXPECT_NEAR(mp.Position(), length, 30);
    EXPECT_EQ(mp.LastError(), 0u);

    // At the very end, Play starts again from 0.
    mp.Play();
    EXPECT_TRUE(Playing());
    EXPECT_LT(mp.Position(), 300);
    mp.Stop();
    EXPECT_TRUE(Stopped());
}

TEST_F(MPlayerTest, OnlyStartPendingPlaysToTheEndAndEndOnlyStopsThere)
{
    OpenFile(Files().wav); // 1500 ms
    EXPECT_EQ(mp.Length(), 1500);
    mp.SetStartPos(1100);
    mp.Play();
    EXPECT_TRUE(Playing());
    ASSERT_TRUE(WaitFor([&] { return Stopped(); }, 3s));
    EXPECT_EQ(mp.Position(), 1500);

    // Only an end pending: from the current position (after a seek) to that end.
    mp.Seek(300);
    mp.SetEndPos(600);
    mp.Play();
    ASSERT_TRUE(WaitFor([&] { return Stopped(); }, 3s));
    EXPECT_EQ(mp.Position(), 600);

    // An end beyond the media plays to the end of the file.
    mp.SetStartPos(1300);
    mp.SetEndPos(99000);
    mp.Play();
    ASSERT_TRUE(WaitFor([&] { return Stopped(); }, 3s));
    EXPECT_EQ(mp.Position(), 1500);
    EXPECT_EQ(mp.LastError(), 0u);
}

TEST_F(MPlayerTest, SeekAfterStopThenPlay)
{
    OpenFile(Files().mp3);
    mp.Play();
    ASSERT_TRUE(WaitFor([&] { return mp.Position() >= 150; }, 3s));
    mp.Stop();
    EXPECT_TRUE(Stopped());
    const int32_t at = mp.Position();
    EXPECT_GE(at, 150);
    std::this_thread::sleep_for(60ms); // the position must stay put
    EXPECT_EQ(mp.Position(), at);

    mp.Seek(1234);
    EXPECT_EQ(mp.Position(), 1234);
    EXPECT_TRUE(Stopped());
    const auto t0 = std::chrono::steady_clock::now();
    mp.Play();
    EXPECT_GE(mp.Position(), 1234);
    ASSERT_TRUE(WaitFor([&] { return mp.Position() >= 1400; }, 3s));
    const auto ms
        = std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - t0);
    EXPECT_LE(mp.Position(), 1234 + ms.count() + 30);

    // Out of range: recorded, nothing changes.
    mp.Stop();
    const int32_t kept = mp.Position();
    mp.Seek(-5);
    EXPECT_EQ(mp.LastError(), MCIERR_OUTOFRANGE);
    mp.Seek(mp.Length() + 1000);
    EXPECT_EQ(mp.LastError(), MCIERR_OUTOFRANGE);
    EXPECT_FALSE(mp.ErrorMessage().empty());
    EXPECT_EQ(mp.Position(), kept);
    mp.SetTimeFormat(8);
    EXPECT_EQ(mp.LastError(), MCIERR_BAD_TIME_FORMAT);
}

TEST_F(MPlayerTest, OpenWhilePlayingEndsThePlayback)
{
    OpenFile(Files().mp3);
    const uint16_t first = mp.DeviceId();
    EXPECT_NE(first, 0);
    mp.Play();
    ASSERT_TRUE(WaitFor([&] { return mp.Position() > 50; }, 3s));
    OpenFile(Files().wav);
    EXPECT_NE(mp.DeviceId(), first);
    EXPECT_EQ(mp.Mode(), TMediaPlayer::mpStopped);
    EXPECT_EQ(mp.Position(), 0);
    EXPECT_EQ(mp.Length(), 1500);
    std::this_thread::sleep_for(60ms); // nothing plays on in the background
    EXPECT_EQ(mp.Position(), 0);

    // A failed Open closes the device that was open.
    mp.Play();
    mp.FileName = Files().dir + "missing.mp3";
    EXPECT_THROW(mp.Open(), EMCIDeviceError);
    EXPECT_FALSE(mp.Opened());
    EXPECT_EQ(mp.DeviceId(), 0);
}

TEST_F(MPlayerTest, ClosedDevice)
{
    auto expectNoDevice = [](auto&& op) {
        try {
            op();
            ADD_FAILURE() << "no exception";
        } catch (const EMCIDeviceError& e) {
            EXPECT_STREQ(e.what(), "No MCI device open");
        }
    };
    for (int round = 0; round < 2; ++round) {
        EXPECT_FALSE(mp.Opened());
        expectNoDevice([&] { mp.Play(); });
        expectNoDevice([&] { mp.Stop(); });
        expectNoDevice([&] { mp.Seek(0); });
        expectNoDevice([&] { mp.Length(); });
        EXPECT_EQ(mp.Mode(), 0);
        EXPECT_NE(mp.LastError(), 0u);
        EXPECT_EQ(mp.Position(), 0);
        EXPECT_NE(mp.LastError(), 0u);
        EXPECT_NO_THROW(mp.SetTimeFormat(0));
        EXPECT_NO_THROW(mp.Close());
        mp.SetStartPos(10);
        EXPECT_TRUE(mp.StartPending());
        // Open, play and close, then the same again.
        OpenFile(Files().wav);
        mp.Play();
        mp.Close();
        EXPECT_EQ(mp.DeviceId(), 0);
    }
}

TEST_F(MPlayerTest, OpenFailuresAreReadableAndLeaveTheDeviceClosed)
{
    struct Case {
        std::string path, words;
    };
    const Case cases[] = {
        {Files().dir + "no such file.mp3", "No such file or directory"},
        {Files().text, Files().text},
        {Files().truncated, Files().truncated},
        {Files().dir, Files().dir},
        {Files().empty, "'" + Files().empty + "': the file is empty"},
    };
    for (const auto& c : cases) {
        mp.FileName = c.path;
        try {
            mp.Open();
            ADD_FAILURE() << "opened " << c.path;
        } catch (const EMCIDeviceError& e) {
            EXPECT_NE(std::string(e.what()).find(c.words), std::string::npos) << e.what();
            EXPECT_EQ(mp.ErrorMessage(), e.what());
        }
        EXPECT_FALSE(mp.Opened());
        EXPECT_EQ(mp.DeviceId(), 0);
        EXPECT_NE(mp.LastError(), 0u);
        EXPECT_EQ(mp.Mode(), 0);
    }
    OpenFile(Files().odd);
    EXPECT_EQ(mp.Length(), 1500);
}

TEST_F(MPlayerTest, LengthOfALongWav)
{
    OpenFile(Files().longWav);
    EXPECT_NEAR(mp.Length(), 183900, 1);
    mp.SetStartPos(183500);
    mp.Play();
    ASSERT_TRUE(WaitFor([&] { return Stopped(); }, 3s));
    EXPECT_NEAR(mp.Position(), 183900, 1);
}

TEST_F(MPlayerTest, DestroyedWhilePlaying)
{
    auto other = std::make_unique<TMediaPlayer>();
    other->FileName = Files().mp3;
    other->Open();
    other->Play();
    ASSERT_TRUE(WaitFor([&] { return other->Position() > 20; }, 3s));
    other.reset(); // must neither hang nor crash
}

} // namespace
