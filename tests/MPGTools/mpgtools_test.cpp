#include <fcntl.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <limits>

#include <gtest/gtest.h>

#include "MPGTools.h"
#include "MpgTestUtil.h"

using namespace mpgtest;

namespace {

class MPGToolsTest : public ::testing::Test {
protected:
    void TearDown() override
    {
        SetMessagePump(nullptr);
        SetReadErrorPrompt(nullptr);
    }

    // Reads the file with a prompt that records each call and answers `answer`.
    int32_t Read(TMPEGAudio& a, const std::string& path, uint16_t answer = MPGReadError::Ignore)
    {
        prompts = 0;
        a.OnReadError = [this, answer](TMPEGAudio& self) {
            ++prompts;
            promptText = MPGReadError::Text(self);
            return answer;
        };
        a.FileName = path;
        return a.ReadFileInfo();
    }

    TempDir dir;
    int prompts = 0;
    std::string promptText;
};

// MPEG-1 Layer III, 128 kbit/s, 44100 Hz, joint stereo, no CRC.
const HeaderFields kCbr128{};
constexpr size_t kCbr128Frame = 417;

TEST_F(MPGToolsTest, ConstantBitRateFileOfOneMillionBytes)
{
    const auto path = dir.Write("cbr128.mp3", CbrFile(kCbr128, kCbr128Frame, 1000000));
    TMPEGAudio a;
    EXPECT_EQ(Read(a, path), 0);
    EXPECT_EQ(prompts, 0);
    EXPECT_EQ(a.Duration, 62);
    EXPECT_EQ(a.SampleRate, 44100);
    EXPECT_EQ(a.BitRateText(), "128");
    EXPECT_EQ(a.ChannelText(), "Stereo");
    EXPECT_EQ(a.Version, 1);
    EXPECT_EQ(a.Layer, 3);
    EXPECT_EQ(a.Mode, 1);
    EXPECT_EQ(a.FrameLength, kCbr128Frame);
    EXPECT_TRUE(a.ErrorProt);
    EXPECT_EQ(a.Length, 1000000);
    EXPECT_EQ(a.HeaderPos, 0);
    EXPECT_EQ(a.Title, "cbr128.mp3"); // no tag: the file's name
    EXPECT_EQ(a.TagId, "BAD");
    EXPECT_EQ(a.FileName, path);
    struct stat st { };
    ASSERT_EQ(::stat(path.c_str(), &st), 0);
    EXPECT_EQ(a.FileDate, static_cast<int32_t>(st.st_mtime));
}

TEST_F(MPGToolsTest, ChannelModes)
{
    for (int mode = 0; mode < 4; ++mode) {
        HeaderFields h = kCbr128;
        h.mode = mode;
        const auto path = dir.Write("mode.mp3", CbrFile(h, kCbr128Frame, 5000));
        TMPEGAudio a;
        ASSERT_EQ(Read(a, path), 0);
        EXPECT_EQ(a.Mode, mode);
        EXPECT_EQ(a.ChannelText(), mode == 3 ? "Mono" : "Stereo");
    }
}

// Frame lengths follow the standard: Layer I in 4-byte slots of 384 samples,
// MPEG-2/2.5 Layer III frames of 576 samples, everything else 1152.
TEST_F(MPGToolsTest, FrameLengthsPerVersionAndLayer)
{
    struct Case {
        HeaderFields h;
        uint16_t length;
    };
    const Case cases[] = {
        {{3, 1, 1, 9, 0, 1, 1}, 418}, // MPEG-1 L III 128k 44.1 kHz, padded
        {{3, 2, 1, 8, 1, 0, 1}, 384}, // MPEG-1 L II 128k 48 kHz
        {{3, 3, 1, 1, 1, 0, 1}, 32}, // MPEG-1 L I 32k 48 kHz: (12000*32/48000) * 4
        {{3, 3, 1, 1, 0, 1, 1}, 36}, // ... 44.1 kHz padded: (8 + 1) * 4
        {{2, 1, 1, 8, 0, 0, 1}, 208}, // MPEG-2 L III 64k 22.05 kHz: 72000*64/22050
        {{2, 2, 1, 8, 0, 0, 1}, 417}, // MPEG-2 L II 64k 22.05 kHz keeps 144000
        {{0, 1, 1, 1, 2, 0, 1}, 72}, // MPEG-2.5 L III 8k 8 kHz
        {{2, 3, 1, 1, 2, 0, 1}, 96}, // MPEG-2 L I 32k 16 kHz: (12000*32/16000) * 4
    };
    for (const auto& c : cases) {
        TMPEGAudio a;
        const Bytes b = Header(c.h);
        a.Length = 100000;
        a.FileDate = 1;
        EXPECT_TRUE(
            a.DecodeFrameHeader(uint32_t{b[0]} << 24 | uint32_t{b[1]} << 16 | uint32_t{b[2]} << 8 | b[3]));
        EXPECT_EQ(a.FrameLength, c.length)
            << "version bits " << c.h.versionBits << " layer bits " << c.h.layerBits;
        // A file of such frames is confirmed by its second header.
        const auto path = dir.Write("len.mp3", CbrFile(c.h, c.length, c.length * 3u));
        TMPEGAudio f;
        EXPECT_EQ(Read(f, path), 0) << "frame length " << c.length;
    }
}

TEST_F(MPGToolsTest, InvalidHeaderFieldsAreSkipped)
{
    struct Case {
        const char* what;
        HeaderFields h;
    };
    const Case cases[] = {
        {"free format", {3, 1, 1, 0, 0, 1, 1}},
        {"bit-rate index 15", {3, 1, 1, 15, 0, 1, 1}},
        {"sampling index 3", {3, 1, 1, 9, 3, 1, 1}},
        {"layer bits 00", {3, 0, 1, 9, 0, 1, 1}},
        {"version bits 01", {1, 1, 1, 9, 0, 1, 1}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        // Invalid frames first, then a real pair: the search passes over the bad ones.
        Bytes data = CbrFile(c.h, 400, 20000);
        Append(data, CbrFile(kCbr128, kCbr128Frame, 300 * kCbr128Frame));
        const auto path = dir.Write("bad.mp3", data);
        TMPEGAudio a;
        EXPECT_EQ(Read(a, path), 0);
        EXPECT_EQ(a.HeaderPos, 20000);
        EXPECT_EQ(a.Duration, 7); // 300 frames: the skipped bytes do not count

        const auto onlyBad = dir.Write("onlybad.mp3", CbrFile(c.h, 400, 20000));
        EXPECT_EQ(Read(a, onlyBad), MPGReadError::Ignore);
        EXPECT_EQ(prompts, 1);
        EXPECT_EQ(a.HeaderPos, 20001);
        EXPECT_EQ(a.Version, 0);
    }
}

TEST_F(MPGToolsTest, JunkAndFalseSyncBeforeFirstFrame)
{
    Bytes data(777, 0x20);
    Append(data, Header(kCbr128)); // false sync: no header one frame further on
    data.resize(50000, 0x41);
    Append(data, CbrFile(kCbr128, kCbr128Frame, 200 * kCbr128Frame));
    const auto path = dir.Write("junk.mp3", data);
    TMPEGAudio a;
    ASSERT_EQ(Read(a, path), 0);
    EXPECT_EQ(a.HeaderPos, 50000);
    EXPECT_EQ(a.Duration, 5); // 200 frames of 1152 samples at 44100 Hz, the junk not counted
    EXPECT_EQ(prompts, 0);
}

TEST_F(MPGToolsTest, NoHeaderPair)
{
    TMPEGAudio a;
    // One frame exactly: the confirming read passes the end of the file.
    EXPECT_EQ(Read(a, dir.Write("one.mp3", Frame(kCbr128, kCbr128Frame))), MPGReadError::Ignore);
    EXPECT_EQ(prompts, 1);
    EXPECT_EQ(a.Version, 1); // fields filled before the failing read stay

    // One frame and zeros behind it: no confirming header anywhere.
    Bytes data = Frame(kCbr128, kCbr128Frame);
    data.resize(3000, 0);
    const auto path = dir.Write("onepad.mp3", data);
    EXPECT_EQ(Read(a, path, MPGReadError::Cancel), MPGReadError::Cancel);
    EXPECT_EQ(promptText, "Error openning file: " + path);
    EXPECT_EQ(a.HeaderPos, 3001);
    EXPECT_EQ(a.Length, 3000);
    EXPECT_NE(a.FileDate, 0);
    EXPECT_EQ(a.Version, 0);
    EXPECT_EQ(a.Title, "[notag]");
    EXPECT_EQ(a.FileName, path);
}

TEST_F(MPGToolsTest, XingFrameCounts)
{
    struct Case {
        HeaderFields h;
        size_t frame, offset;
        uint32_t frames;
        uint16_t duration;
    };
    const Case cases[] = {
        {kCbr128, kCbr128Frame, 36, 1000, 26}, // 1152 / 44100 * 1000 = 26.12
        {kCbr128, kCbr128Frame, 36, 2, 0}, // 0.052 s
        {{3, 1, 1, 9, 0, 0, 3}, kCbr128Frame, 21, 1000, 26}, // mono: tag at 21
        {{2, 1, 1, 8, 0, 0, 1}, 208, 21, 1000, 26}, // MPEG-2 L III: 576 / 22050 * 1000
        {{2, 1, 1, 8, 0, 0, 3}, 208, 13, 5000, 131}, // ... mono: tag at 13, 130.6 s
    };
    for (const auto& c : cases) {
        Bytes data = CbrFile(c.h, c.frame, 20 * c.frame);
        PutXing(data, c.offset, c.frames);
        const auto path = dir.Write("xing.mp3", data);
        TMPEGAudio a;
        ASSERT_EQ(Read(a, path), 0) << c.offset;
        EXPECT_EQ(a.BitRate, -1);
        EXPECT_EQ(a.BitRateText(), "VBR");
        EXPECT_EQ(a.Duration, c.duration);
        EXPECT_EQ(a.FrameLength, data.size() / c.frames);
    }
    // Frame count 0 (flag clear, or stored as 0): a read failure, the mark stays.
    for (uint32_t flags : {0u, 1u}) {
        Bytes data = CbrFile(kCbr128, kCbr128Frame, 20 * kCbr128Frame);
        PutXing(data, 36, 0, flags);
        TMPEGAudio a;
        EXPECT_EQ(Read(a, dir.Write("xing0.mp3", data)), MPGReadError::Ignore);
        EXPECT_EQ(prompts, 1);
        EXPECT_EQ(a.BitRate, -1);
        EXPECT_EQ(a.Duration, 0);
    }
}

TEST_F(MPGToolsTest, Id3v1Tag)
{
    Bytes data = CbrFile(kCbr128, kCbr128Frame, 4000);
    const std::string title("  Title  \0junk", 14);
    const std::string artist(30, 'A');
    const std::string year("2\0 4", 4);
    Append(data, Id3v1(title, artist, "Album   ", year, "Comment", 7, 13));
    TMPEGAudio a;
    ASSERT_EQ(Read(a, dir.Write("tag.mp3", data)), 0);
    EXPECT_EQ(a.TagId, "TAG");
    EXPECT_EQ(a.Title, "  Title"); // cut at the zero byte, trailing blanks gone, leading kept
    EXPECT_EQ(a.Artist, artist);
    EXPECT_EQ(a.Album, "Album");
    EXPECT_EQ(a.Year, year); // raw
    EXPECT_EQ(a.Comment, "Comment");
    EXPECT_EQ(a.Track, 7);
    EXPECT_EQ(a.GenreNr, 13);
    EXPECT_EQ(a.Duration, data.size() * 8 / 128000); // the tag does not change the playing time

    // Byte 125 set (an ID3v1.0 comment of 30 characters): the track is byte 126 all the
    // same, and it is the comment's last character too.
    data.resize(4000);
    Append(data, Id3v1("", "", "", "1999", std::string(29, 'c'), 9, 1));
    ASSERT_EQ(Read(a, dir.Write("tag10.mp3", data)), 0);
    EXPECT_EQ(a.Comment, std::string(29, 'c') + '\t');
    EXPECT_EQ(a.Track, 9);
    EXPECT_EQ(a.Title, "");

    // A lower-case mark is no tag: the title is the file's name, cut to 30 characters.
    data.resize(4000);
    Append(data, Id3v1("Title", "", "", "", "", 0, 0, "tag"));
    ASSERT_EQ(Read(a, dir.Write("a-rather-long-file-name-for-the-title.mp3", data)), 0);
    EXPECT_EQ(a.TagId, "BAD");
    EXPECT_EQ(a.Title, "a-rather-long-file-name-for-th");
    EXPECT_EQ(a.Artist, "[notag]");
    EXPECT_EQ(a.Year, "    ");
    EXPECT_EQ(a.GenreNr, 255);
}

TEST_F(MPGToolsTest, FileOf128BytesHasNoTagCheck)
{
    // MPEG-1 Layer I 32 kbit/s 48 kHz: 32-byte frames.
    Bytes data = CbrFile({3, 3, 1, 1, 1, 0, 1}, 32, 128);
    TMPEGAudio a;
    ASSERT_EQ(Read(a, dir.Write("tiny.mp3", data)), 0);
    EXPECT_EQ(a.Title, "[notag]");
    EXPECT_EQ(a.Layer, 1);
}

TEST_F(MPGToolsTest, EmptyAndFiveByteFiles)
{
    for (size_t n : {0u, 5u}) {
        TMPEGAudio a;
        EXPECT_EQ(Read(a, dir.Write("small.mp3", Bytes(n, 0xFF))), 0);
        EXPECT_EQ(prompts, 0);
        EXPECT_EQ(a.Duration, 0);
        EXPECT_EQ(a.SampleRate, 0);
        EXPECT_EQ(a.BitRate, 0);
        EXPECT_EQ(a.Length, 0);
        EXPECT_EQ(a.FileDate, 0);
        EXPECT_EQ(a.BitRateText(), "0");
        EXPECT_EQ(a.ChannelText(), "Stereo");
        EXPECT_EQ(a.DurationAsTime(), TMPEGTime{});
    }
    TMPEGAudio six;
    EXPECT_EQ(Read(six, dir.Write("six.mp3", Bytes(6, 0))), MPGReadError::Ignore);
    EXPECT_EQ(prompts, 1);
}

TEST_F(MPGToolsTest, Texts)
{
    TMPEGAudio a;
    EXPECT_EQ(a.BitRateText(), "0"); // a new analyser starts at zero
    a.Duration = 3725;
    EXPECT_EQ(a.DurationAsTime(), (TMPEGTime{1, 2, 5, 0}));
    a.Duration = 65535;
    EXPECT_EQ(a.DurationAsTime(), (TMPEGTime{18, 12, 15, 0}));
    a.BitRate = 320;
    EXPECT_EQ(a.BitRateText(), "320");
}

TEST_F(MPGToolsTest, MissingFiles)
{
    TMPEGAudio a;
    const std::string longName = "a-missing-file-with-a-long-name.mp3";
    EXPECT_EQ(Read(a, (dir.Path() / longName).string(), MPGReadError::Cancel), MPGReadError::Cancel);
    EXPECT_EQ(prompts, 1);
    EXPECT_EQ(a.Title, "[not found: a-missing-file-wit");
    EXPECT_EQ(a.FileName, (dir.Path() / longName).string());

    // A relative name is stored with its full path.
    a.OnReadError = nullptr;
    a.FileName = "no-such-file.mp3";
    EXPECT_EQ(a.ReadFileInfo(), -1);
    EXPECT_EQ(a.FileName, (std::filesystem::current_path() / "no-such-file.mp3").string());
    EXPECT_EQ(a.Title, "[not found: no-such-file.mp3]");

    // The cut counts characters and never splits one.
    std::string cyrillic;
    for (int i = 0; i < 20; ++i)
        cyrillic += "\xD1\x8F";
    EXPECT_EQ(Read(a, (dir.Path() / cyrillic).string()), MPGReadError::Ignore);
    EXPECT_EQ(a.Title, "[not found: " + cyrillic.substr(0, 36));

    // A folder is not a file.
    a.OnReadError = nullptr;
    a.FileName = dir.Path().string();
    EXPECT_EQ(a.ReadFileInfo(), -1);

    // A real file whose full path is longer than 255 characters: the stored name is cut and not found.
    auto deep = dir.Path();
    while (deep.string().size() < 260)
        deep /= std::string(40, 'd');
    std::filesystem::create_directories(deep);
    const auto file = (deep / "song.mp3").string();
    {
        std::ofstream(file, std::ios::binary) << "x";
    }
    ASSERT_TRUE(std::filesystem::exists(file));
    TMPEGAudio b;
    b.ReadOnAssign = false;
    b.SetFileName(file);
    EXPECT_EQ(b.FileName, file.substr(0, 255));
    EXPECT_EQ(Read(b, file), MPGReadError::Ignore);
    EXPECT_EQ(prompts, 1);
    EXPECT_EQ(b.FileName.size(), 255u);
    EXPECT_EQ(b.Title.rfind("[not found: ", 0), 0u);
}

TEST_F(MPGToolsTest, FileThatCannotBeOpened)
{
    // A socket exists but cannot be opened, even by root.
    const auto path = (dir.Path() / "sock.mp3").string();
    const int s = ::socket(AF_UNIX, SOCK_STREAM, 0);
    ASSERT_GE(s, 0);
    sockaddr_un addr{};
    addr.sun_family = AF_UNIX;
    ASSERT_LT(path.size(), sizeof addr.sun_path);
    std::copy(path.begin(), path.end(), addr.sun_path);
    ASSERT_EQ(::bind(s, reinterpret_cast<sockaddr*>(&addr), sizeof addr), 0);
    TMPEGAudio a;
    a.OnReadError = nullptr;
    a.FileName = path;
    EXPECT_EQ(a.ReadFileInfo(), ENXIO); // the system's code comes through without a prompt
    EXPECT_EQ(Read(a, path, MPGReadError::Cancel), MPGReadError::Cancel);
    EXPECT_EQ(prompts, 1);
    ::close(s);

    // A FIFO with no writer must not hang the read.
    const auto fifo = (dir.Path() / "fifo.mp3").string();
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    EXPECT_EQ(Read(a, fifo), MPGReadError::Ignore);
}

TEST_F(MPGToolsTest, RetryReadsAgain)
{
    const auto path = (dir.Path() / "late.mp3").string();
    TMPEGAudio a;
    int calls = 0;
    a.OnReadError = [&](TMPEGAudio& self) -> uint16_t {
        ++calls;
        EXPECT_EQ(self.Title, "[not found: late.mp3]");
        dir.Write("late.mp3", CbrFile(kCbr128, kCbr128Frame, 100000)); // the user fixes it, then retries
        return MPGReadError::Retry;
    };
    a.SetFileName(path); // reads at once
    EXPECT_EQ(calls, 1);
    EXPECT_EQ(a.Duration, 6);
    EXPECT_EQ(a.Title, "late.mp3");
    EXPECT_EQ(a.FileName, path);
    EXPECT_EQ(a.ReadFileInfo(), 0);
    EXPECT_EQ(calls, 1);
}

TEST_F(MPGToolsTest, DefaultPrompt)
{
    TMPEGAudio silent; // nothing installed: Cancel without showing anything
    silent.FileName = (dir.Path() / "none.mp3").string();
    EXPECT_EQ(silent.ReadFileInfo(), MPGReadError::Cancel);

    int shown = 0;
    SetReadErrorPrompt([&](TMPEGAudio&) -> uint16_t {
        ++shown;
        return MPGReadError::Ignore;
    });
    TMPEGAudio a;
    EXPECT_EQ(a.HeaderPos, 0);
    EXPECT_EQ(a.SearchLimit, 0);
    EXPECT_TRUE(a.ReadOnAssign);
    a.SetFileName((dir.Path() / "none.mp3").string());
    EXPECT_EQ(shown, 1);
}

TEST_F(MPGToolsTest, SearchLimit)
{
    Bytes data(1000, 0);
    Append(data, CbrFile(kCbr128, kCbr128Frame, 5 * kCbr128Frame));
    const auto path = dir.Write("limit.mp3", data);
    for (auto [limit, found] : {std::pair{1003, true}, {1002, false}, {500, false}, {0, true}}) {
        TMPEGAudio a;
        a.SearchLimit = limit;
        EXPECT_EQ(Read(a, path), found ? 0 : MPGReadError::Ignore) << limit;
        EXPECT_EQ(a.HeaderPos, found ? 1000 : static_cast<int32_t>(data.size()) + 1) << limit;
    }
}

TEST_F(MPGToolsTest, MessagePumpAndQuit)
{
    Bytes data(100000, 0x55);
    Append(data, CbrFile(kCbr128, kCbr128Frame, 5 * kCbr128Frame));
    const auto path = dir.Write("pump.mp3", data);
    int calls = 0;
    SetMessagePump([&] {
        ++calls;
        return false;
    });
    TMPEGAudio a;
    ASSERT_EQ(Read(a, path), 0);
    EXPECT_EQ(calls, 100004 / 300); // positions 5..100004 (the first frame's window ends there)

    // A quit request ends the read: -1, no prompt, a consistent "nothing found" state.
    calls = 0;
    SetMessagePump([&] { return ++calls == 3; });
    EXPECT_EQ(Read(a, path), -1);
    EXPECT_EQ(calls, 3);
    EXPECT_EQ(prompts, 0);
    EXPECT_EQ(a.Version, 0);
    EXPECT_EQ(a.HeaderPos, a.Length + 1);
    EXPECT_EQ(a.FileName, path);
}

TEST_F(MPGToolsTest, FileDateIsNeverZero)
{
    const auto path = dir.Write("epoch.mp3", CbrFile(kCbr128, kCbr128Frame, 5000));
    const timespec times[2] = {{0, 0}, {0, 0}};
    ASSERT_EQ(::utimensat(AT_FDCWD, path.c_str(), times, 0), 0);
    TMPEGAudio a;
    ASSERT_EQ(Read(a, path), 0);
    EXPECT_EQ(a.FileDate, 1);
}

// Sparse files: the analysis reads the first frames and the tag; the
// playing time counts the frames, not the zeros behind them.
TEST_F(MPGToolsTest, LargeFiles)
{
    const auto make = [&](const std::string& name, const Bytes& head, int64_t size) {
        const auto path = dir.Write(name, head);
        const Bytes tag = Id3v1("Big", "", "", "", "", 0, 0);
        std::filesystem::resize_file(path, static_cast<uintmax_t>(size) - 128);
        std::ofstream(path, std::ios::binary | std::ios::app)
            .write(reinterpret_cast<const char*>(tag.data()), 128);
        return path;
    };
    // 300 MiB: Length * 8 leaves the 32-bit range.
    TMPEGAudio a;
    ASSERT_EQ(Read(a, make("300m.mp3", CbrFile(kCbr128, kCbr128Frame, 500 * kCbr128Frame), 300ll << 20)), 0);
    EXPECT_EQ(a.Length, 300 << 20);
    EXPECT_EQ(a.Duration, 13); // 500 frames
    EXPECT_EQ(a.Title, "Big");

    // 3 GiB, MPEG-1 Layer I 448 kbit/s: Length is held at its maximum.
    const HeaderFields l1448{3, 3, 1, 14, 1, 0, 1};
    ASSERT_EQ(Read(a, make("3g.mp3", CbrFile(l1448, 448, 3 * 448), 3ll << 30)), 0);
    EXPECT_EQ(a.Length, std::numeric_limits<int32_t>::max());
    EXPECT_EQ(a.Duration, 0);
    EXPECT_EQ(a.Title, "Big");

    // A VBRI frame count beyond 65535 s is held there.
    Bytes vbri = CbrFile(kCbr128, kCbr128Frame, 3 * kCbr128Frame);
    PutVbri(vbri, 0xFFFFFFFF);
    ASSERT_EQ(Read(a, dir.Write("vbri.mp3", vbri)), 0);
    EXPECT_EQ(a.Duration, 65535);
}

} // namespace
