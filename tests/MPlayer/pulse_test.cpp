// Plays through a real sound server. Runs only under scripts/with-pulse.sh,
// which starts a private PulseAudio server with a null sink.
#include "MPlayer.h"
#include "SdlOutput.h"
#include "TestMedia.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <thread>
#include <vector>

#include <csignal>
#include <fcntl.h>
#include <sched.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

extern char** environ;

using namespace std::chrono_literals;

TEST(MPlayerPulse, PlaysThroughPulseAudio)
{
    const char* flag = std::getenv("VELUMO_PULSE_TEST");
    if (!flag || std::string(flag) != "1")
        GTEST_SKIP() << "needs scripts/with-pulse.sh";
    const std::string path = testmedia::TempDir("mplayer-pulse") + "tone.mp3";
    ASSERT_TRUE(testmedia::MakeMp3(path, 3.0)) << "ffmpeg could not make the test MP3";

    TMediaPlayer mp;
    mp.FileName = path;
    mp.Open();
    mp.SetTimeFormat(0);
    mp.SetStartPos(500);
    mp.SetEndPos(1500);
    mp.Play();
    ASSERT_EQ(mp.LastError(), 0u) << mp.ErrorMessage();
    EXPECT_EQ(mplayer_detail::OutputDriver(), "pulseaudio");
    EXPECT_EQ(mp.Mode(), TMediaPlayer::mpPlaying);
    // The null sink's clock may run slow: ask for progress, not for pace.
    ASSERT_TRUE(testmedia::WaitFor([&] { return mp.Position() >= 700; }, 5s)) << mp.Position();
    ASSERT_TRUE(testmedia::WaitFor([&] { return mp.Mode() == TMediaPlayer::mpStopped; }, 10s));
    EXPECT_EQ(mp.Position(), 1500);

    mp.Seek(2500);
    mp.Play();
    EXPECT_EQ(mp.Mode(), TMediaPlayer::mpPlaying);
    const int32_t before = mp.Position();
    ASSERT_TRUE(testmedia::WaitFor([&] { return mp.Position() > before + 100; }, 5s));
    mp.Stop();
    EXPECT_EQ(mp.Mode(), TMediaPlayer::mpStopped);
}

// No sound server reachable: playback still runs, silently, at real-time pace.
TEST(MPlayerNoSound, FallsBackToTheSilentOutput)
{
    const char* flag = std::getenv("VELUMO_NOSOUND_TEST");
    if (!flag || std::string(flag) != "1")
        GTEST_SKIP() << "runs as its own CTest entry";
    const std::string path = testmedia::TempDir("mplayer-nosound") + "tone.mp3";
    ASSERT_TRUE(testmedia::MakeMp3(path, 1.0)) << "ffmpeg could not make the test MP3";

    TMediaPlayer mp;
    mp.FileName = path;
    mp.Open();
    mp.SetStartPos(100);
    mp.SetEndPos(400);
    mp.Play();
    ASSERT_EQ(mp.LastError(), 0u) << mp.ErrorMessage();
    EXPECT_EQ(mplayer_detail::OutputDriver(), "dummy");
    EXPECT_EQ(mp.Mode(), TMediaPlayer::mpPlaying);
    ASSERT_TRUE(testmedia::WaitFor([&] { return mp.Mode() == TMediaPlayer::mpStopped; }, 3s));
    EXPECT_EQ(mp.Position(), 400);
}

namespace {

// A child process of the test, ended by its id when the test ends.
struct TChild {
    pid_t Pid = -1;
    TChild() = default;
    TChild(const TChild&) = delete;
    TChild& operator=(const TChild&) = delete;
    ~TChild() { End(SIGKILL); }
    void End(int signal)
    {
        if (Pid <= 0)
            return;
        ::kill(Pid, signal);
        ::waitpid(Pid, nullptr, 0);
        Pid = -1;
    }
};

// A process that spins on processor `cpu` at the test's own priority.
void Spin(TChild& child, int cpu)
{
    child.Pid = ::fork();
    if (child.Pid == 0) {
        cpu_set_t set;
        CPU_ZERO(&set);
        CPU_SET(cpu, &set);
        ::sched_setaffinity(0, sizeof set, &set);
        for (;;)
            asm volatile("" ::: "memory"); // kept by the optimiser
    }
}

bool Loud(int16_t v)
{
    return std::abs(int{v}) >= 328; // 1% of full scale
}

// The first and, one past it, the last sound in 16-bit mono samples.
std::pair<size_t, size_t> LoudPart(const std::vector<int16_t>& s)
{
    size_t first = 0, last = s.size();
    while (first < s.size() && !Loud(s[first]))
        ++first;
    while (last > first && !Loud(s[last - 1]))
        --last;
    return {first, last};
}

// The longest run of silence inside the sound, in samples.
size_t LongestGap(const std::vector<int16_t>& s)
{
    const auto [first, last] = LoudPart(s);
    auto loud = Loud;
    size_t longest = 0, run = 0;
    for (size_t i = first; i < last; ++i) {
        run = loud(s[i]) ? 0 : run + 1;
        longest = std::max(longest, run);
    }
    return longest;
}

} // namespace

// 10 s of a tone played while two processes spin, one per core, recorded
// from the sink's monitor: no dropout over 20 ms inside it, and Stop, a seek
// while playing and Close still answer at once.
TEST(MPlayerPulse, ToneHoldsWhileTwoProcessesSpin)
{
    const char* flag = std::getenv("VELUMO_PULSE_TEST");
    if (!flag || std::string(flag) != "1")
        GTEST_SKIP() << "needs scripts/with-pulse.sh";
    constexpr int kRate = 44100;
    const std::string dir = testmedia::TempDir("mplayer-pulse");
    testmedia::WriteWav(dir + "tone.wav", kRate, 2, int64_t{kRate} * 11, [](int64_t i, int) {
        return static_cast<int16_t>(16000 * std::sin(static_cast<double>(i) * 2 * M_PI * 440 / kRate));
    });

    TChild recorder;
    {
        const std::string out = dir + "heard.raw";
        posix_spawn_file_actions_t fa;
        posix_spawn_file_actions_init(&fa);
        posix_spawn_file_actions_addopen(&fa, 1, out.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
        const char* argv[] = {"parec", "--device=null.monitor", "--format=s16le", "--rate=44100",
            "--channels=1", "--latency-msec=20", nullptr};
        ASSERT_EQ(::posix_spawnp(&recorder.Pid, "parec", &fa, nullptr, const_cast<char**>(argv), environ), 0);
        posix_spawn_file_actions_destroy(&fa);
    }
    TChild spinners[2];
    for (int cpu = 0; cpu < 2; ++cpu)
        Spin(spinners[cpu], cpu % std::max(1u, std::thread::hardware_concurrency()));

    TMediaPlayer mp;
    mp.FileName = dir + "tone.wav";
    mp.Open();
    mp.SetStartPos(0);
    mp.SetEndPos(10000);
    mp.Play();
    ASSERT_EQ(mp.LastError(), 0u) << mp.ErrorMessage();
    ASSERT_TRUE(testmedia::WaitFor([&] { return mp.Mode() == TMediaPlayer::mpStopped; }, 40s));
    EXPECT_EQ(mp.Position(), 10000);
    // The recorder goes on past the end (0.3 s more), then ends: only the
    // played part is heard.
    const std::string heardFile = dir + "heard.raw";
    const auto recorded = std::filesystem::file_size(heardFile);
    EXPECT_TRUE(testmedia::WaitFor(
        [&] { return std::filesystem::file_size(heardFile) >= recorded + kRate * 2 * 3 / 10; }, 10s));
    recorder.End(SIGINT);

    // Still at once under the load: as the device's own bounds (Stop and
    // Close within 100 ms, asserted with a wide margin).
    mp.Seek(2000);
    mp.Play();
    ASSERT_TRUE(testmedia::WaitFor([&] { return mp.Position() > 2100; }, 5s));
    auto timed = [](auto&& f) {
        const auto t0 = std::chrono::steady_clock::now();
        f();
        return std::chrono::steady_clock::now() - t0;
    };
    EXPECT_LT(timed([&] { mp.Stop(); }), 1s);
    EXPECT_EQ(mp.Mode(), TMediaPlayer::mpStopped);
    EXPECT_GE(mp.Position(), 2100);
    mp.Play();
    EXPECT_LT(timed([&] { mp.Seek(5000); }), 1s); // a seek stops the playback
    EXPECT_EQ(mp.Position(), 5000);
    mp.Play();
    EXPECT_LT(timed([&] { mp.Close(); }), 1s);
    for (auto& s : spinners)
        s.End(SIGKILL);

    std::ifstream in(heardFile, std::ios::binary);
    const std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    std::vector<int16_t> heard(bytes.size() / 2);
    std::memcpy(heard.data(), bytes.data(), heard.size() * 2);
    const auto [first, last] = LoudPart(heard);
    EXPECT_NEAR(static_cast<double>(last - first) / kRate, 10.0, 0.05) << "the tone heard, s";
    EXPECT_LE(LongestGap(heard), size_t{kRate} * 20 / 1000)
        << LongestGap(heard) * 1000 / kRate << " ms of silence inside the tone";
}
