// A cut that seeks near its start gives the very samples a decode from the
// start gives, for every kind of source: MP3 with and without an index, WAV,
// Ogg, M4A.
#include "av_child.h"

#include <gtest/gtest.h>

namespace {

using namespace avtest;

class SeekingCut : public ::testing::Test {
protected:
    static void SetUpTestSuite()
    {
        std::string templ = (fs::temp_directory_path() / "av cut XXXXXX").string();
        ASSERT_NE(mkdtemp(templ.data()), nullptr);
        dir_ = templ;
    }
    static void TearDownTestSuite() { fs::remove_all(dir_); }
    static inline fs::path dir_;
};

fs::path encode(const fs::path& dir, const std::string& name, const std::vector<std::string>& codec)
{
    const fs::path p = dir / name;
    std::vector<std::string> a = {"/usr/bin/ffmpeg", "-nostdin", "-v", "error", "-f", "lavfi", "-i",
        "anoisesrc=d=150:a=0.3:s=44100,aformat=channel_layouts=stereo"};
    a.insert(a.end(), codec.begin(), codec.end());
    a.push_back(p.string());
    const Result r = run(a);
    EXPECT_EQ(r.exitCode(), 0) << r.errors;
    return p;
}

// A VBR stream without a header, behind a hand-built VBRI header frame (the
// header some encoders write instead of Xing).
fs::path withVbri(const fs::path& dir, const fs::path& bare)
{
    const std::string stream = readAll(bare);
    std::string frame(417, '\0'); // MPEG-1 Layer III, 128 kbit/s, 44.1 kHz
    frame[0] = '\xFF', frame[1] = '\xFB', frame[2] = '\x90', frame[3] = stream.at(3);
    const auto put = [&](std::size_t at, uint32_t v, int bytes) {
        for (int i = 0; i < bytes; ++i)
            frame[at + static_cast<std::size_t>(i)] = static_cast<char>(v >> (8 * (bytes - 1 - i)));
    };
    frame.replace(36, 4, "VBRI");
    put(40, 1, 2); // version
    put(42, 1105, 2); // delay
    put(44, 75, 2); // quality
    put(46, static_cast<uint32_t>(stream.size() + frame.size()), 4);
    put(50, 150 * 44100 / 1152, 4); // frames
    const fs::path p = dir / "vbri.mp3";
    writeFile(p, frame + stream);
    return p;
}

// The ringtone's samples, decoded.
std::string pcm(const fs::path& file)
{
    const fs::path raw = file.string() + ".pcm";
    const Result r = run({"/usr/bin/ffmpeg", "-nostdin", "-v", "error", "-y", "-i", file.string(), "-f",
        "s16le", raw.string()});
    EXPECT_EQ(r.exitCode(), 0) << r.errors;
    return readAll(raw);
}

TEST_F(SeekingCut, SamplesEqualTheDecodeFromTheStartForEverySourceKind)
{
    const fs::path bare
        = encode(dir_, "bare vbr.mp3", {"-c:a", "libmp3lame", "-q:a", "2", "-write_xing", "0"});
    const fs::path sources[] = {
        encode(dir_, "cbr.mp3", {"-c:a", "libmp3lame", "-b:a", "128k"}),
        encode(dir_, "vbr xing.mp3", {"-c:a", "libmp3lame", "-q:a", "2"}),
        withVbri(dir_, bare),
        encode(dir_, "no header.mp3", {"-c:a", "libmp3lame", "-b:a", "96k", "-write_xing", "0"}),
        encode(dir_, "song.wav", {}),
        encode(dir_, "song.ogg", {"-c:a", "libvorbis"}),
        encode(dir_, "song.m4a", {"-c:a", "aac"}),
    };
    // At 2:00, near the end, and for MP3 (whose end the converter finds)
    // running past the end (the source lasts 2:30).
    const std::pair<const char*, const char*> cuts[]
        = {{"00:02:00", "00:00:05"}, {"00:02:24", "00:00:05"}, {"00:02:24", "00:00:10"}};
    for (const fs::path& source : sources) {
        for (const auto& [start, length] : cuts) {
            if (std::string(length) == "00:00:10" && source.extension() != ".mp3")
                continue;
            SCOPED_TRACE(source.filename().string() + " at " + start);
            const fs::path seeking = dir_ / "seeking.mp3", whole = dir_ / "whole.mp3";
            fs::remove(seeking);
            fs::remove(whole);
            std::vector<std::string> line = mp3Line(source, start, length, seeking);
            line.insert(line.end() - 1, {"-fadein", "1", "-fadeout", "1"});
            Result r = run(line);
            ASSERT_EQ(r.exitCode(), 0) << r.errors;
            line.back() = whole.string();
            r = run(line, {{{"AV_CUT_FROM_START", "1"}}, ""});
            ASSERT_EQ(r.exitCode(), 0) << r.errors;
            const std::string a = pcm(seeking), b = pcm(whole);
            EXPECT_GT(a.size(), 44100u * 4 * 4);
            EXPECT_TRUE(a == b) << "sizes " << a.size() << " and " << b.size();
        }
    }
}

} // namespace
