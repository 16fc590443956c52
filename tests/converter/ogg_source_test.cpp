// Saving from an Ogg Vorbis file ffmpeg refuses: av feeds ffmpeg what
// libvorbisfile decodes, and every ringtone type comes out cut as for any
// other source.
#include "../MPlayer/TestMedia.h"
#include "av_child.h"

#include <gtest/gtest.h>

namespace {

using namespace avtest;

class OggSource : public ::testing::Test {
protected:
    static void SetUpTestSuite()
    {
        dir_ = testmedia::TempDir("av-ogg-source");
        ASSERT_TRUE(testmedia::MakeDamagedOgg(dir_ + "damaged song.ogg", 12.0)) << "ffmpeg could not make it";
        // ffmpeg itself refuses it.
        const Result r = run({"/usr/bin/ffprobe", "-v", "error", dir_ + "damaged song.ogg"});
        ASSERT_NE(r.exitCode(), 0);
    }
    static inline std::string dir_;
};

TEST_F(OggSource, EveryRingtoneTypeIsCutToItsLength)
{
    const struct {
        const char* target;
        const char* codec;
        int channels;
    } cases[] = {
        {"ring.mp3", "mp3", 2}, {"ring.amr", "amr_nb", 1}, {"ring.m4r", "aac", 2}, {"ring.ogg", "vorbis", 2}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.target);
        const std::string target = dir_ + c.target;
        const Result r = run(lineFor(dir_ + "damaged song.ogg", "00:00:03", "00:00:05", target));
        ASSERT_EQ(r.exitCode(), 0) << r.errors;
        auto p = ffprobe(target, {"-show_entries", "stream=codec_name,channels:format=duration"});
        EXPECT_EQ(p["codec_name"], c.codec);
        EXPECT_EQ(std::stoi(p["channels"]), c.channels);
        // AMR's container states no length: its 20 ms frames of 32 bytes tell it.
        const double seconds = std::string(c.codec) == "amr_nb"
            ? static_cast<double>((readAll(target).size() - 6) / 32) * 0.020
            : std::stod(p["duration"]);
        EXPECT_NEAR(seconds, 5.0, 0.1);
    }
}

TEST_F(OggSource, ThreeChannelsKeepTheCentreInAMonoRingtone)
{
    // A tone only in the centre (ffmpeg orders left, right, centre).
    const std::string source = dir_ + "centre.ogg";
    ASSERT_EQ(run({"/usr/bin/ffmpeg", "-nostdin", "-loglevel", "error", "-y", "-f", "lavfi", "-i",
                      "aevalsrc=0|0|0.5*sin(2*PI*440*t):s=44100:d=6:c=3.0", "-c:a", "libvorbis", source})
                  .exitCode(),
        0);
    ASSERT_TRUE(testmedia::DamageOgg(source));
    const std::string target = dir_ + "centre.amr";
    const Result r = run(lineFor(source, "00:00:01", "00:00:03", target));
    ASSERT_EQ(r.exitCode(), 0) << r.errors;
    const Result volume = run({"/usr/bin/ffmpeg", "-nostdin", "-hide_banner", "-i", target, "-af",
        "volumedetect", "-f", "null", "-"});
    const std::size_t at = volume.errors.find("max_volume: ");
    ASSERT_NE(at, std::string::npos) << volume.errors;
    EXPECT_GT(std::stod(volume.errors.substr(at + 12)), -20.0) << volume.errors.substr(at, 30);
}

TEST_F(OggSource, AnOggNeitherCanReadIsRefusedWithAMessage)
{
    // The first page of a Vorbis file, then noise.
    std::string bytes;
    {
        std::ifstream in(dir_ + "damaged song.ogg", std::ios::binary);
        bytes.assign(std::istreambuf_iterator<char>(in), {});
    }
    bytes = bytes.substr(0, 58) + std::string(100000, 'x');
    writeFile(dir_ + "broken.ogg", bytes);
    const Result r = run(mp3Line(dir_ + "broken.ogg", "00:00:00", "00:00:05", dir_ + "broken.mp3"));
    EXPECT_NE(r.exitCode(), 0);
    EXPECT_NE(r.errors.find("broken.ogg"), std::string::npos) << r.errors;
    EXPECT_NE(r.errors.find("neither ffmpeg nor libvorbisfile can read it"), std::string::npos) << r.errors;
    EXPECT_FALSE(fs::exists(dir_ + "broken.mp3"));
}

} // namespace
