// The envelope of the real sound: what the timeline's columns show for files
// the tests make, and how the worker ends on a new file, on close and on
// damaged input. Also run under -DVELUMO_SANITIZE=ON and in a ThreadSanitizer
// build (-DCMAKE_CXX_FLAGS=-fsanitize=thread -DCMAKE_EXE_LINKER_FLAGS=
// -fsanitize=thread): the cancel cases then catch any access after release
// and any unsynchronised read of the columns.
#include "TestMedia.h"
#include "WaveEnvelope.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <memory>
#include <vector>

#include <sys/stat.h>

namespace {

namespace fs = std::filesystem;
using std::chrono::seconds;

constexpr int kPerSecond = 5;
constexpr int kPicture = 152; // the main window's timeline height, pixels

// 30 s: 10 s silence, 10 s of a loud tone (-3 dBFS RMS), 10 s of the same
// tone 30 dB lower; `codec` holds ffmpeg's output options.
std::string MakeThreePart(const std::string& name, const std::string& codec, int rate = 44100)
{
    const std::string path = testmedia::TempDir("envelope") + name;
    if (!fs::exists(path)) {
        const std::string cmd
            = "ffmpeg -nostdin -loglevel error -y -f lavfi -i "
              "\"aevalsrc='if(lt(t,10),0,if(lt(t,20),0.9,0.0285))*sin(2*PI*440*t)':s="
            + std::to_string(rate) + ":d=30\" " + codec + " '" + path + "'";
        if (std::system(cmd.c_str()) != 0)
            return {};
    }
    return path;
}

std::vector<int> Heights(const std::string& path, int columns, int* filled = nullptr)
{
    TWaveEnvelope env(path, columns, kPerSecond);
    EXPECT_TRUE(testmedia::WaitFor([&] { return env.Finished(); }, std::chrono::minutes(1))) << path;
    std::vector<int> h;
    for (int c = 0; c < env.Filled(); ++c)
        h.push_back(TWaveEnvelope::HalfHeight(env.Value(c), kPicture));
    if (filled)
        *filled = env.Filled();
    return h;
}

TEST(WaveEnvelope, SilenceLoudAndQuietPartsShowAtTheirColumns)
{
    const struct {
        std::string name, codec;
        int rate;
    } files[] = {
        {"three.mp3", "-ac 2 -c:a libmp3lame -b:a 128k", 44100},
        {"three.wav", "-ac 2 -c:a pcm_s16le", 44100},
        {"three.ogg", "-ac 2 -c:a libvorbis", 48000},
        {"three-f32-mono.wav", "-ac 1 -c:a pcm_f32le", 22050},
        {"three-s32.wav", "-ac 2 -c:a pcm_s32le", 32000},
    };
    for (const auto& f : files) {
        SCOPED_TRACE(f.name);
        const std::string path = MakeThreePart(f.name, f.codec, f.rate);
        ASSERT_FALSE(path.empty()) << "ffmpeg could not make " << f.name;
        const std::vector<int> h = Heights(path, 150);
        ASSERT_EQ(h.size(), 150u);
        // Silence draws nothing; the loud tone nearly fills the 64-pixel
        // half band; the quiet one is clearly lower yet visible.
        for (int c = 0; c < 150; ++c) {
            const int edge = c < 75 ? 50 : 100;
            if (c >= edge - 1 && c <= edge + 1)
                continue;
            if (c < 50)
                EXPECT_EQ(h[c], 0) << "column " << c;
            else if (c < 100)
                EXPECT_GE(h[c], 50) << "column " << c;
            else
                EXPECT_TRUE(h[c] >= 15 && h[c] <= 30) << "column " << c << ": " << h[c];
        }
    }
}

// A long file: a 30 s tone looped to 20 minutes (6000 columns).
std::string LongMp3()
{
    const std::string dir = testmedia::TempDir("envelope");
    const std::string tone = dir + "tone.mp3", path = dir + "long.mp3";
    if (!fs::exists(path)) {
        EXPECT_TRUE(testmedia::MakeMp3(tone, 30.0));
        const std::string cmd = "ffmpeg -nostdin -loglevel error -y -stream_loop 39 -i '" + tone
            + "' -c copy '" + path + "'";
        EXPECT_EQ(std::system(cmd.c_str()), 0);
    }
    return path;
}

TEST(WaveEnvelope, NewFileCloseAndVanishingFileEndTheWorker)
{
    const std::string path = LongMp3();
    const std::string gone = testmedia::TempDir("envelope") + "gone.mp3";
    const struct {
        const char* what;
        bool waitForColumns;
        int action; // 0 Cancel, 1 destroy, 2 replace with a new envelope, 3 delete the file
    } cases[] = {
        {"cancel while opening", false, 0},
        {"cancel while decoding", true, 0},
        {"close while decoding", true, 1},
        {"a second file while decoding", true, 2},
        {"the file deleted and cut while decoding", true, 3},
    };
    for (const auto& k : cases) {
        SCOPED_TRACE(k.what);
        std::string file = path;
        if (k.action == 3) {
            fs::copy_file(path, gone, fs::copy_options::overwrite_existing);
            file = gone;
        }
        auto env = std::make_unique<TWaveEnvelope>(file, 6000, kPerSecond);
        if (k.waitForColumns) {
            ASSERT_TRUE(testmedia::WaitFor([&] { return env->Filled() > 0; }, std::chrono::minutes(1)));
        }
        if (k.action == 0) {
            env->Cancel();
            EXPECT_TRUE(env->Finished());
            const int filled = env->Filled();
            std::this_thread::sleep_for(std::chrono::milliseconds(20));
            EXPECT_EQ(env->Filled(), filled); // nothing runs any more
            EXPECT_LT(filled, 6000);
        } else if (k.action == 1) {
            env.reset();
        } else if (k.action == 2) {
            env = std::make_unique<TWaveEnvelope>(MakeThreePart("three.wav", "-ac 2 -c:a pcm_s16le"), 150, 5);
            EXPECT_TRUE(testmedia::WaitFor([&] { return env->Finished(); }, std::chrono::minutes(1)));
            EXPECT_EQ(env->Filled(), 150);
        } else {
            // The worker holds the file open: it reads on until the cut end.
            ::truncate(gone.c_str(), 0);
            fs::remove(gone);
            EXPECT_TRUE(testmedia::WaitFor([&] { return env->Finished(); }, std::chrono::minutes(1)));
            EXPECT_LT(env->Filled(), 6000);
        }
    }
}

TEST(WaveEnvelope, DamagedFileKeepsTheColumnsBeforeTheDamage)
{
    const std::string dir = testmedia::TempDir("envelope");
    const std::string mp3 = MakeThreePart("three.mp3", "-ac 2 -c:a libmp3lame -b:a 128k");
    ASSERT_FALSE(mp3.empty());
    const std::vector<int> clean = Heights(mp3, 150);
    ASSERT_EQ(clean.size(), 150u);
    std::string bytes;
    {
        std::ifstream in(mp3, std::ios::binary);
        bytes.assign(std::istreambuf_iterator<char>(in), {});
    }
    const size_t half = bytes.size() / 2; // about column 75
    auto write = [&](const std::string& name, const std::string& content) {
        std::ofstream(dir + name, std::ios::binary) << content;
        return dir + name;
    };
    fs::create_directories(dir + "folder.mp3");
    ::mkfifo((dir + "pipe.mp3").c_str(), 0600);
    const struct {
        std::string path;
        int keptFrom, keptTo; // the columns kept lie in this range
    } cases[] = {
        {write("cut.mp3", bytes.substr(0, half)), 73, 77},
        // Megabytes of zeros: no sound is found in them, the rest is left.
        {write("zeros.mp3", bytes.substr(0, half) + std::string(16 << 20, '\0') + bytes.substr(half)), 73, 77},
        {write("text.mp3", std::string(200000, 'x')), 0, 0},
        {write("empty.mp3", ""), 0, 0},
        {dir + "missing.mp3", 0, 0},
        {dir + "folder.mp3", 0, 0},
        {dir + "pipe.mp3", 0, 0},
    };
    for (const auto& k : cases) {
        SCOPED_TRACE(k.path);
        int filled = -1;
        const std::vector<int> h = Heights(k.path, 150, &filled);
        EXPECT_GE(filled, k.keptFrom);
        EXPECT_LE(filled, k.keptTo);
        for (int c = 0; c + 2 < filled; ++c)
            EXPECT_NEAR(h[c], clean[c], 1) << "column " << c;
    }
}

} // namespace
