// The length shown for a file is the song's: the analyser's playing time for
// an ".mp3", the device's length for any other file, each within a second of
// what FFmpeg decodes from it.
#include "MPGTools.h"
#include "MPlayer.h"
#include "TestMedia.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <random>

namespace {

using Bytes = std::vector<uint8_t>;

bool Ffmpeg(const std::string& args)
{
    return std::system(("ffmpeg -nostdin -loglevel error -y " + args).c_str()) == 0;
}

// The last line a shell command prints; empty when it prints none.
std::string LastLine(const std::string& cmd)
{
    std::string last;
    if (std::FILE* p = ::popen(cmd.c_str(), "r")) {
        char line[128];
        while (std::fgets(line, sizeof line, p) != nullptr)
            last = line;
        ::pclose(p);
    }
    return last;
}

// Seconds of audio FFmpeg decodes from the file.
double DecodedSeconds(const std::string& path)
{
    const std::string us = LastLine("ffmpeg -nostdin -v error -i '" + path
        + "' -map 0:a -f null - -progress pipe:1 | sed -n 's/^out_time_us=//p'");
    return std::atof(us.c_str()) / 1e6;
}

// Frames of an MP3 as FFmpeg counts them.
uint32_t FrameCount(const std::string& path)
{
    return static_cast<uint32_t>(std::atol(LastLine(
        "ffprobe -v error -count_packets -show_entries stream=nb_read_packets -of csv=p=0 '" + path + "'")
                                               .c_str()));
}

Bytes ReadAll(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    return Bytes(std::istreambuf_iterator<char>(in), {});
}

void WriteAll(const std::string& path, const Bytes& head, const Bytes& rest)
{
    std::ofstream out(path, std::ios::binary);
    out.write(reinterpret_cast<const char*>(head.data()), static_cast<std::streamsize>(head.size()));
    out.write(reinterpret_cast<const char*>(rest.data()), static_cast<std::streamsize>(rest.size()));
}

void Put32(Bytes& b, size_t at, uint32_t v)
{
    for (int i = 0; i < 4; ++i)
        b[at + static_cast<size_t>(i)] = static_cast<uint8_t>(v >> (24 - 8 * i));
}

// An ID3v2.3 tag holding one cover picture of `size` bytes (never 0xFF, so
// no false frame header hides in it).
Bytes CoverTag(size_t size)
{
    Bytes frame = {0, 'i', 'm', 'a', 'g', 'e', '/', 'j', 'p', 'e', 'g', 0, 3, 0};
    std::mt19937 rng(5);
    for (size_t i = 0; i < size; ++i)
        frame.push_back(static_cast<uint8_t>(rng() % 0xFF));
    Bytes tag = {'I', 'D', '3', 3, 0, 0, 0, 0, 0, 0, 'A', 'P', 'I', 'C', 0, 0, 0, 0, 0, 0};
    Put32(tag, 14, static_cast<uint32_t>(frame.size()));
    const size_t body = tag.size() - 10 + frame.size();
    for (int i = 0; i < 4; ++i) // sync-safe: 7 bits a byte
        tag[6 + static_cast<size_t>(i)] = static_cast<uint8_t>((body >> (21 - 7 * i)) & 0x7F);
    tag.insert(tag.end(), frame.begin(), frame.end());
    return tag;
}

// A first frame (MPEG-1 Layer III, 128 kbit/s, 44100 Hz: 417 bytes) that
// holds a VBRI header counting `frames` frames.
Bytes VbriFrame(uint32_t frames, uint32_t bytes)
{
    Bytes f(417, 0);
    f[0] = 0xFF, f[1] = 0xFB, f[2] = 0x90, f[3] = 0x44;
    const char mark[] = {'V', 'B', 'R', 'I', 0, 1, 0, 0, 0, 75};
    std::copy(std::begin(mark), std::end(mark), f.begin() + 36);
    Put32(f, 46, bytes + 417);
    Put32(f, 50, frames);
    return f;
}

double ShownSeconds(const std::string& path)
{
    if (std::filesystem::path(path).extension() == ".mp3") {
        TMPEGAudio a;
        a.OnReadError = [](TMPEGAudio&) -> uint16_t { return MPGReadError::Cancel; };
        a.SetFileName(path);
        return a.Duration;
    }
    TMediaPlayer mp;
    mp.FileName = path;
    mp.Open();
    return mp.Length() / 1000.0;
}

TEST(SongLength, IsTheDecodedLengthWhateverSurroundsTheAudio)
{
    const std::string d = testmedia::TempDir("song-length");
    const std::string noise
        = "-f lavfi -i \"anoisesrc=d=30:a=0.5:r=44100,volume='if(lt(t,10),0,1)':eval=frame\" "
          "-ac 2 -c:a libmp3lame -write_xing 0 -id3v2_version 0 ";
    ASSERT_TRUE(Ffmpeg("-f lavfi -i sine=frequency=440:duration=30 -ac 2 -c:a libmp3lame -b:a 320k "
                       "-write_xing 0 -id3v2_version 0 -f mp3 '"
        + d + "cbr.bin'"));
    ASSERT_TRUE(Ffmpeg(noise + "-q:a 4 -f mp3 '" + d + "vbr.mp3'")); // silence, then noise
    ASSERT_TRUE(testmedia::MakeMp3(d + "song.mp3", 60.0));

    const Bytes cbr = ReadAll(d + "cbr.bin");
    WriteAll(d + "cover.mp3", CoverTag(2 << 20), cbr);
    const Bytes vbr = ReadAll(d + "vbr.mp3");
    const uint32_t frames = FrameCount(d + "vbr.mp3");
    ASSERT_GT(frames, 0u) << "ffprobe could not count the frames";
    WriteAll(d + "vbri.mp3", VbriFrame(frames, static_cast<uint32_t>(vbr.size())), vbr);
    testmedia::CopyWithZeros(d + "song.mp3", d + "song-then-zeros.wav", uintmax_t{1} << 30);

    struct Case {
        std::string file;
        std::string decodedFrom; // the same audio without what follows it
    };
    const Case cases[] = {
        {"cover.mp3", "cover.mp3"}, // 320 kbit/s behind a 2 MB cover picture
        {"vbri.mp3", "vbri.mp3"}, // the other common header of variable-rate files
        {"vbr.mp3", "vbr.mp3"}, // variable rate without any header
        {"song-then-zeros.wav", "song.mp3"}, // an MP3 named ".wav", then 1 GB of zeros
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.file);
        const double decoded = DecodedSeconds(d + c.decodedFrom);
        ASSERT_GT(decoded, 20.0);
        EXPECT_NEAR(ShownSeconds(d + c.file), decoded, 1.0);
    }
}

} // namespace
