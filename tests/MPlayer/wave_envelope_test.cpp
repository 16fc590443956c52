// The envelope of the real sound: what the timeline's columns show for files
// the tests make, and how the worker ends on a new file, on close and on
// damaged input. Run also with -DVELUMO_SANITIZE=ON and with -fsanitize=thread
// (compiler and linker flags): the cancel cases catch any use after release.
#include "TestMedia.h"
#include "WaveEnvelope.h"

#include <gtest/gtest.h>

#include <cmath>
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
const std::string kMp3 = "-c:a libmp3lame -b:a 128k";

// A file made by ffmpeg with `args` (inputs and output options), once.
std::string Ffmpeg(const std::string& name, const std::string& args)
{
    const std::string path = testmedia::TempDir("envelope") + name;
    const std::string cmd = "ffmpeg -nostdin -loglevel error -y " + args + " '" + path + "'";
    return fs::exists(path) || std::system(cmd.c_str()) == 0 ? path : std::string();
}

// 30 s: 10 s silence, 10 s of a tone at amplitude 0.9, 10 s of the same
// tone 30 dB lower, in the left channel; a second channel is silent, so a
// column's level is the mean over both. `codec` holds ffmpeg's output options.
std::string MakeThreePart(
    const std::string& name, const std::string& codec, int rate = 44100, int channels = 2)
{
    return Ffmpeg(name,
        "-f lavfi -i \"aevalsrc='if(lt(t,10),0,if(lt(t,20),0.9,0.0285))*sin(2*PI*440*t)"
            + std::string(channels == 2 ? "|0" : "") + "':s=" + std::to_string(rate) + ":d=30\" " + codec);
}

// The half-heights of the columns filled once the worker has ended.
std::vector<int> Heights(const std::string& path, int columns)
{
    TWaveEnvelope env(path, columns, kPerSecond);
    EXPECT_TRUE(testmedia::WaitFor([&] { return env.Finished(); }, std::chrono::minutes(1))) << path;
    std::vector<int> h;
    for (int c = 0; c < env.Filled(); ++c)
        h.push_back(TWaveEnvelope::HalfHeight(env.Value(c), kPicture));
    return h;
}

TEST(WaveEnvelope, SilenceLoudAndQuietPartsShowAtTheirColumns)
{
    // Half-heights in a 64-pixel half band, 0 to 64 for -50 to 0 dBFS. Mono:
    // the tone's RMS is -3.9 dBFS (59 px), the quiet part -33.9 (21 px);
    // with a silent second channel 3 dB less: -6.9 (55 px) and -36.9 (17 px).
    const struct {
        std::string name, codec;
        int rate, channels, loud, quiet;
    } files[] = {
        {"three.mp3", kMp3, 44100, 2, 55, 17},
        {"three.wav", "-c:a pcm_s16le", 44100, 2, 55, 17},
        {"three.ogg", "-c:a libvorbis", 48000, 2, 55, 17},
        {"three-f32-mono.wav", "-c:a pcm_f32le", 22050, 1, 59, 21},
        {"three-s32.wav", "-c:a pcm_s32le", 32000, 2, 55, 17},
        {"three-u8-mono.wav", "-c:a pcm_u8", 8000, 1, 59, 21},
    };
    for (const auto& f : files) {
        SCOPED_TRACE(f.name);
        const std::string path = MakeThreePart(f.name, f.codec, f.rate, f.channels);
        ASSERT_FALSE(path.empty()) << "ffmpeg could not make " << f.name;
        const std::vector<int> h = Heights(path, 150);
        ASSERT_EQ(h.size(), 150u);
        // Silence draws nothing; each tone shows at its level within 1.5 dB;
        // only the columns next to 50 and 100 may mix two parts.
        for (int c = 0; c < 150; ++c) {
            const int edge = c < 75 ? 50 : 100;
            if (c >= edge - 1 && c <= edge + 1)
                continue;
            const int expected = c < 50 ? 0 : c < 100 ? f.loud : f.quiet;
            EXPECT_NEAR(h[c], expected, c < 50 ? 0 : 2) << "column " << c;
        }
    }
}

TEST(WaveEnvelope, NewFileCloseAndVanishingFileEndTheWorker)
{
    // 20 minutes, 6000 columns.
    const std::string path
        = Ffmpeg("long.mp3", "-stream_loop 39 -i '" + MakeThreePart("three.mp3", kMp3) + "' -c copy");
    const std::string gone = testmedia::TempDir("envelope") + "gone.mp3";
    auto start = [](const std::string& file, bool decoding) {
        auto env = std::make_unique<TWaveEnvelope>(file, 6000, kPerSecond);
        EXPECT_TRUE(!decoding || testmedia::WaitFor([&] { return env->Filled() > 0; }, seconds(60)));
        return env;
    };
    for (bool decoding : {false, true}) {
        SCOPED_TRACE(decoding ? "cancel while decoding" : "cancel while opening");
        auto env = start(path, decoding);
        env->Cancel(); // joined: nothing runs any more
        EXPECT_TRUE(env->Finished());
        EXPECT_LT(env->Filled(), 6000);
    }
    start(path, true).reset(); // a close while decoding joins in the destructor

    // A second file while decoding: the first ends, the second fills.
    auto env = start(path, true);
    env = std::make_unique<TWaveEnvelope>(MakeThreePart("three.wav", "-c:a pcm_s16le"), 150, kPerSecond);
    EXPECT_TRUE(testmedia::WaitFor([&] { return env->Finished(); }, seconds(60)));
    EXPECT_EQ(env->Filled(), 150);

    // The file cut and deleted while decoding: the worker, holding it open,
    // meets its end.
    fs::copy_file(path, gone, fs::copy_options::overwrite_existing);
    env = start(gone, true);
    ::truncate(gone.c_str(), 0);
    fs::remove(gone);
    EXPECT_TRUE(testmedia::WaitFor([&] { return env->Finished(); }, seconds(60)));
    EXPECT_LT(env->Filled(), 6000);
}

TEST(WaveEnvelope, DamagedFileKeepsTheColumnsBeforeTheDamage)
{
    const std::string dir = testmedia::TempDir("envelope");
    const std::string mp3 = MakeThreePart("three.mp3", kMp3);
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
        size_t keptFrom, keptTo; // columns kept, at least and at most
    } cases[] = {
        {write("cut.mp3", bytes.substr(0, half)), 73, 77},
        // Megabytes of zeros: no sound is found in them, the rest is left.
        {write("zeros.mp3", bytes.substr(0, half) + std::string(16 << 20, '\0') + bytes.substr(half)), 73,
            77},
        {write("text.mp3", std::string(200000, 'x')), 0, 0},
        {write("empty.mp3", ""), 0, 0},
        {dir + "missing.mp3", 0, 0},
        {dir + "folder.mp3", 0, 0},
        {dir + "pipe.mp3", 0, 0},
    };
    for (const auto& k : cases) {
        SCOPED_TRACE(k.path);
        const std::vector<int> h = Heights(k.path, 150);
        EXPECT_GE(h.size(), k.keptFrom);
        EXPECT_LE(h.size(), k.keptTo);
        for (size_t c = 0; c + 2 < h.size(); ++c)
            EXPECT_NEAR(h[c], clean[c], 1) << "column " << c;
    }
}

} // namespace

namespace {

// The zoomed-in scales read the 4 ms values: each scale shows the same parts
// at the same levels, and the boundary at 10 s falls on its column.
TEST(WaveEnvelope, EveryScaleShowsThePartsWhereTheyAre)
{
    const std::string path = MakeThreePart("three-fine.wav", "-c:a pcm_s16le");
    TWaveEnvelope env(path, 30 * kPerSecond, kPerSecond);
    ASSERT_TRUE(testmedia::WaitFor([&] { return env.Finished(); }, std::chrono::minutes(1)));
    EXPECT_EQ(env.MemoryBytes(), 30u * (kPerSecond + TWaveEnvelope::FineValuesPerSecond));
    for (int scale : {5, 10, 25, 50, 100, 250}) {
        SCOPED_TRACE(scale);
        ASSERT_EQ(env.FilledAt(scale), 30 * scale);
        const auto height = [&](double second) {
            return TWaveEnvelope::HalfHeight(env.ValueAt(static_cast<int>(second * scale), scale), kPicture);
        };
        EXPECT_EQ(height(5), 0);
        EXPECT_NEAR(height(15), 55, 1);
        EXPECT_NEAR(height(25), 17, 1);
        // The last silent column and the first loud one, either side of 10 s.
        EXPECT_EQ(TWaveEnvelope::HalfHeight(env.ValueAt(10 * scale - 1, scale), kPicture), 0);
        EXPECT_NEAR(TWaveEnvelope::HalfHeight(env.ValueAt(10 * scale, scale), kPicture), 55, 1);
        EXPECT_EQ(env.ValueAt(30 * scale, scale), 0); // beyond the end
    }
    EXPECT_EQ(env.ValueAt(70, kPerSecond), env.Value(70));
}

// The single decoding pass feeds the columns and a sample sink alike, for a
// file FFmpeg reads and for an Ogg Vorbis file only libvorbisfile reads: the
// sink gets the whole song, mono at its own rate, loud where the song is.
TEST(WaveEnvelope, OneDecodingPassFeedsTheColumnsAndASampleSink)
{
    const std::string wav = MakeThreePart("sink.wav", "-c:a pcm_s16le");
    std::string ogg = MakeThreePart("sink-damaged.ogg", "-c:a libvorbis", 48000);
    ASSERT_FALSE(wav.empty() || ogg.empty()) << "ffmpeg could not make the test files";
    ASSERT_TRUE(testmedia::DamageOgg(ogg));
    for (const std::string& path : {wav, ogg}) {
        SCOPED_TRACE(path);
        constexpr int kRate = 11025;
        std::vector<float> heard;
        bool ended = false;
        TWaveEnvelope env(path, 150, kPerSecond,
            {kRate, [&](const float* s, size_t n) { heard.insert(heard.end(), s, s + n); },
                [&] { ended = true; }});
        ASSERT_TRUE(testmedia::WaitFor([&] { return env.Finished(); }, std::chrono::minutes(1)));
        EXPECT_TRUE(ended) << "the sink hears the end before the envelope reports it finished";
        ASSERT_EQ(env.Filled(), 150);
        for (int c : {25, 75, 125})
            EXPECT_NEAR(TWaveEnvelope::HalfHeight(env.Value(c), kPicture), c < 50 ? 0 : c < 100 ? 55 : 17, 2);
        EXPECT_NEAR(static_cast<double>(heard.size()), 30.0 * kRate, 0.1 * kRate);
        // The tone at 0.9 in one of two channels, mixed at half: RMS 0.318.
        double sum = 0;
        for (size_t i = 12 * kRate; i < 18 * kRate && i < heard.size(); ++i)
            sum += double(heard[i]) * heard[i];
        EXPECT_NEAR(std::sqrt(sum / (6.0 * kRate)), 0.45 * std::sqrt(0.5), 0.03);
    }
}

} // namespace
