// Damaged and crafted files: whatever the file, the device answers within
// fixed bounds (Open within 1 s, Stop and Close within 100 ms, measured in
// MPlayerBench; asserted here with a wide margin), keeps its memory bounded,
// and plays what can be played at the right speed.
#include "MPlayer.h"
#include "TestMedia.h"

#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <fstream>

#include <sys/stat.h>

using namespace std::chrono_literals;
using testmedia::WaitFor;

namespace {

using Clock = std::chrono::steady_clock;
constexpr auto kOpenBound = 3s;
constexpr auto kStopBound = 1s;
constexpr long kMemoryBoundKb = 200 * 1024;

#if defined(__SANITIZE_ADDRESS__)
constexpr bool kMeasuresMemory = false; // the sanitizer's quarantine keeps freed memory
#else
constexpr bool kMeasuresMemory = true;
#endif

long StatusKb(const std::string& key)
{
    std::ifstream f("/proc/self/status");
    for (std::string line; std::getline(f, line);)
        if (line.rfind(key + ":", 0) == 0)
            return std::stol(line.substr(key.size() + 1));
    return -1;
}

// Peak resident memory grown since the last call, in kB.
class PeakMemory {
public:
    PeakMemory() { Reset(); }
    void Reset()
    {
        std::ofstream("/proc/self/clear_refs") << "5"; // restarts VmHWM at VmRSS
        base_ = StatusKb("VmRSS");
    }
    long GrowthKb() const { return StatusKb("VmHWM") - base_; }

private:
    long base_ = 0;
};

template <class F> Clock::duration Timed(F&& f)
{
    const auto t0 = Clock::now();
    f();
    return Clock::now() - t0;
}

struct Media {
    std::string dir, song, songThenZeros, joined, wav64, wavLow;
    int32_t songMs = 0;
};

// Every file is made once; the large ones are sparse.
const Media& Files()
{
    static const Media m = [] {
        Media f;
        f.dir = testmedia::TempDir("mplayer-hostile");
        const std::string& d = f.dir;
        f.song = d + "song.mp3";
        if (!testmedia::MakeMp3(f.song, 1.0))
            return Media{};
        f.songThenZeros = d + "half-downloaded.mp3";
        testmedia::CopyWithZeros(f.song, f.songThenZeros, uintmax_t{1} << 30);
        testmedia::CopyWithZeros(f.song, d + "a:b.mp3", std::filesystem::file_size(f.song));
        std::ofstream(d + "zeros.mp3").close();
        std::filesystem::resize_file(d + "zeros.mp3", uintmax_t{1} << 30);
        {
            std::ofstream w(d + "mp3-in-wav.wav", std::ios::binary);
            testmedia::WriteWavHeader(w, 44100, 2, 0, 0x55);
        }
        std::filesystem::resize_file(d + "mp3-in-wav.wav", uintmax_t{256} << 20);
        testmedia::WriteWav(d + "1hz.wav", 1, 1, 20, [](int64_t, int) { return int16_t{0}; });
        testmedia::WriteWav(d + "100ch.wav", 8000, 100, 800, [](int64_t, int) { return int16_t{0}; });
        ::mkfifo((d + "fifo.mp3").c_str(), 0600);
        std::filesystem::create_symlink("/dev/zero", d + "zero.mp3");

        // 1 s at 8 kHz mono, then 1 s at 44.1 kHz stereo, as `cat` joins them.
        const std::string low = d + "8k-mono.mp3", high = d + "44k-stereo.mp3";
        if (!testmedia::MakeMp3(low, 1.0, 1, 8000) || !testmedia::MakeMp3(high, 1.0, 2, 44100))
            return Media{};
        f.joined = d + "joined.mp3";
        std::ofstream(f.joined, std::ios::binary)
            << std::ifstream(low, std::ios::binary).rdbuf() << std::ifstream(high, std::ios::binary).rdbuf();
        f.wav64 = d + "64ch.wav";
        testmedia::WriteWav(f.wav64, 8000, 64, 4000,
            [](int64_t i, int c) { return static_cast<int16_t>(c == 63 ? 8000 * std::sin(i * 0.3) : 0); });
        f.wavLow = d + "2khz.wav";
        testmedia::WriteWav(f.wavLow, 2000, 1, 1000,
            [](int64_t i, int) { return static_cast<int16_t>(8000 * std::sin(i * 0.3)); });

        TMediaPlayer probe;
        probe.FileName = f.song;
        probe.Open();
        f.songMs = probe.Length();
        return f;
    }();
    return m;
}

class HostileMedia : public ::testing::Test {
protected:
    void SetUp() override
    {
        if (Files().dir.empty())
            GTEST_FAIL() << "ffmpeg could not make the test MP3s";
        // Relative names are looked up in the media folder.
        previous_ = std::filesystem::current_path();
        std::filesystem::current_path(Files().dir);
    }
    void TearDown() override
    {
        if (!previous_.empty())
            std::filesystem::current_path(previous_);
    }
    bool Stopped() { return mp.Mode() == TMediaPlayer::mpStopped; }

    TMediaPlayer mp;
    std::filesystem::path previous_;
};

TEST_F(HostileMedia, OpenAnswersWithinASecondWhateverTheFile)
{
    struct Case {
        std::string name;
        bool opens;
        std::string words; // in the refusal
    };
    const Case cases[] = {
        {"fifo.mp3", false, "not a regular file"},
        {"zero.mp3", false, "not a regular file"}, // a link to /dev/zero
        {"zeros.mp3", false, "no audio found"}, // 1 GB of zeros
        {"mp3-in-wav.wav", false, "no audio found"}, // a WAV header, then 256 MB of zeros
        {"1hz.wav", false, "sampling rate of 1 Hz"}, {"100ch.wav", false, "100 channels"},
        {"pipe:0", false, "No such file or directory"}, // never standard input
        {"http://127.0.0.1:9/song.mp3", false, "No such file or directory"}, // never fetched
        {"a:b.mp3", true, ""}, // a local file whose name looks like a URL
        {"half-downloaded.mp3", true, ""}, // an MP3 then 1 GB of zeros
    };
    PeakMemory memory;
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        memory.Reset();
        mp.FileName = c.name;
        std::string error;
        const auto took = Timed([&] {
            try {
                mp.Open();
            } catch (const EMCIDeviceError& e) {
                error = e.what();
            }
        });
        EXPECT_LT(took, kOpenBound);
        EXPECT_EQ(mp.Opened(), c.opens) << error;
        if (!c.opens) {
            EXPECT_NE(error.find(c.words), std::string::npos) << error;
            EXPECT_NE(error.find(c.name), std::string::npos) << error;
        }
        EXPECT_LT(Timed([&] { mp.Close(); }), kStopBound);
        if (kMeasuresMemory) {
            EXPECT_LT(memory.GrowthKb(), kMemoryBoundKb);
        }
    }
}

TEST_F(HostileMedia, StopCloseAndExitAnswerAtOnceInUndecodableData)
{
    PeakMemory memory;
    auto player = std::make_unique<TMediaPlayer>();
    player->FileName = Files().songThenZeros;
    player->Open();
    const int32_t middle = player->Length() / 2; // estimated from the file's size

    // Play, seek into the zeros, play: the worker reads zeros until stopped.
    // First stopped at once, then once it is well into them.
    for (bool waitForIt : {false, true}) {
        SCOPED_TRACE(waitForIt ? "stopped in the zeros" : "stopped at once");
        player->Play();
        player->Seek(middle);
        player->Play();
        if (waitForIt)
            WaitFor(
                [&] { return memory.GrowthKb() > 4096 || player->Mode() != TMediaPlayer::mpPlaying; }, 2s);
        EXPECT_LT(Timed([&] { player->Stop(); }), kStopBound);
        EXPECT_EQ(player->Mode(), TMediaPlayer::mpStopped);
    }
    player->Play();
    EXPECT_LT(Timed([&] { player->Close(); }), kStopBound);
    player->Open();
    player->Seek(middle);
    player->Play();
    EXPECT_LT(Timed([&] { player.reset(); }), kStopBound);

    // Played into the zeros, the playback ends where the song ends.
    mp.FileName = Files().songThenZeros;
    mp.Open();
    mp.SetStartPos(Files().songMs - 300);
    mp.Play();
    EXPECT_TRUE(WaitFor([&] { return Stopped(); }, 3s));
    EXPECT_NEAR(mp.Position(), Files().songMs, 60);
    // ... and Play there starts again from the beginning.
    mp.Play();
    EXPECT_LT(mp.Position(), 300);
    EXPECT_LT(Timed([&] { mp.Stop(); }), kStopBound);
    if (kMeasuresMemory) {
        EXPECT_LT(memory.GrowthKb(), kMemoryBoundKb);
    }
}

TEST_F(HostileMedia, OddFormatsPlayAtTheRightSpeedToTheEnd)
{
    struct Case {
        std::string path;
        int32_t endMs; // where the playback ends
        int32_t tolerance;
    };
    const Case cases[] = {
        // 2.0 s of tone; the inner file keeps its LAME Info frame (1152
        // samples) and its encoder delay (1105 samples) at 44.1 kHz, which a
        // decoder trims only at the start of a file.
        {Files().joined, 2000 + (1152 + 1105) * 1000 / 44100, 50},
        {Files().wav64, 500, 5}, // 64 channels without positions: mixed down
        {Files().wavLow, 500, 5}, // 2000 Hz: handed to the output at 8000 Hz
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.path);
        mp.FileName = c.path;
        mp.Open();
        mp.Play();
        ASSERT_EQ(mp.LastError(), 0u) << mp.ErrorMessage();
        ASSERT_TRUE(WaitFor([&] { return mp.Position() > 100; }, 2s));
        ASSERT_TRUE(WaitFor([&] { return Stopped(); }, std::chrono::milliseconds(c.endMs) + 3s));
        EXPECT_NEAR(mp.Position(), c.endMs, c.tolerance);
        EXPECT_EQ(mp.Length(), mp.Position()); // the end met is the length from now on
        EXPECT_LT(Timed([&] { mp.Close(); }), kStopBound);
    }
}

} // namespace
