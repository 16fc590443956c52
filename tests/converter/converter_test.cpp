// Runs the built av with the installed ffmpeg on a tone made for the suite.
#include "av_child.h"

#include <gtest/gtest.h>

#include <chrono>
#include <csignal>
#include <filesystem>
#include <string>
#include <vector>

#include <poll.h>
#include <sys/syscall.h>
#include <unistd.h>

namespace {

using namespace avtest;

class Converter : public ::testing::Test {
protected:
    static void SetUpTestSuite()
    {
        std::string templ = (fs::temp_directory_path() / "av test XXXXXX").string();
        ASSERT_NE(mkdtemp(templ.data()), nullptr);
        suiteDir_ = templ;
        source_ = suiteDir_ / "tone source.mp3";
        const Result r = run({"/usr/bin/ffmpeg", "-nostdin", "-v", "error", "-f", "lavfi", "-i",
            "sine=frequency=440:duration=45", "-ar", "44100", "-ac", "2", source_.string()});
        ASSERT_EQ(r.exitCode(), 0) << r.errors;
    }
    static void TearDownTestSuite() { fs::remove_all(suiteDir_); }

    void SetUp() override
    {
        ASSERT_TRUE(fs::exists(source_));
        out_ = suiteDir_ / ::testing::UnitTest::GetInstance()->current_test_info()->name();
        fs::create_directories(out_);
    }

    // A folder holding only a script named ffmpeg, for PATH.
    fs::path fakeFfmpeg(const std::string& body)
    {
        const fs::path dir = out_ / "fake bin";
        fs::create_directories(dir);
        writeFile(dir / "ffmpeg", "#!/bin/sh\n" + body, fs::perms::owner_all);
        return dir;
    }

    static inline fs::path suiteDir_;
    static inline fs::path source_;
    fs::path out_;
};

TEST_F(Converter, Mp3LineGivesExactCutAt64kStereo)
{
    const fs::path target = out_ / "ring tone.mp3";
    const Result r = run(mp3Line(source_, "00:00:20", "00:00:10", target));
    ASSERT_EQ(r.exitCode(), 0) << r.errors;
    EXPECT_EQ(r.errors, "");
    auto p = ffprobe(
        target, {"-show_entries", "stream=codec_name,sample_rate,channels,bit_rate:format=duration"});
    EXPECT_EQ(p["codec_name"], "mp3");
    EXPECT_EQ(p["bit_rate"], "64000");
    EXPECT_EQ(p["channels"], "2");
    EXPECT_NEAR(std::stod(p["duration"]), 10.0, 0.1);
    EXPECT_EQ(listing(out_), std::vector<std::string>{"ring tone.mp3"});
}

TEST_F(Converter, AmrLineGivesNarrowBandMonoAtHighestMode)
{
    const fs::path target = out_ / "ring tone.amr";
    const Result r = run(amrLine(source_, "00:00:20", "00:00:10", target));
    ASSERT_EQ(r.exitCode(), 0) << r.errors;
    const std::string bytes = readAll(target);
    ASSERT_EQ(bytes.substr(0, 6), "#!AMR\n");
    // Storage format: one header byte per 20 ms frame; mode 7 (12.2 kbit/s)
    // is 0x3C followed by 31 bytes of speech bits.
    ASSERT_EQ((bytes.size() - 6) % 32, 0u) << bytes.size();
    for (std::size_t at = 6; at < bytes.size(); at += 32)
        ASSERT_EQ(static_cast<unsigned char>(bytes[at]), 0x3C) << "frame at byte " << at;
    const double seconds = static_cast<double>((bytes.size() - 6) / 32) * 0.020;
    EXPECT_NEAR(seconds, 10.0, 0.1);
    EXPECT_NEAR(static_cast<double>(bytes.size()), 16000.0, 200.0);

    auto p = ffprobe(target,
        {"-count_packets", "-show_entries", "stream=codec_name,sample_rate,channels,nb_read_packets"});
    EXPECT_EQ(p["codec_name"], "amr_nb");
    EXPECT_EQ(p["sample_rate"], "8000");
    EXPECT_EQ(p["channels"], "1");
    EXPECT_NEAR(std::stoi(p["nb_read_packets"]) * 0.020, 10.0, 0.1);
}

// The iPhone and Ogg ringtone lines, checked by ffprobe and by their first bytes.
TEST_F(Converter, M4rAndOggLinesGiveAacAndVorbisAt44kStereo)
{
    struct Case {
        const char* target;
        const char* codec;
        const char* container; // part of ffprobe's format name
        const char* magic; // and where it lies
        std::size_t magicAt;
    };
    for (const Case& c :
        {Case{"ring tone.m4r", "aac", "mp4", "ftyp", 4}, Case{"ring tone.ogg", "vorbis", "ogg", "OggS", 0}}) {
        SCOPED_TRACE(c.target);
        const fs::path target = out_ / c.target;
        const Result r = run(lineFor(source_, "00:00:20", "00:00:10", target));
        ASSERT_EQ(r.exitCode(), 0) << r.errors;
        EXPECT_EQ(r.errors, "");
        EXPECT_EQ(readAll(target).substr(c.magicAt, 4), c.magic);
        auto p = ffprobe(target,
            {"-show_entries", "stream=codec_name,profile,sample_rate,channels:format=format_name,duration"});
        EXPECT_EQ(p["codec_name"], c.codec);
        if (std::string(c.codec) == "aac") {
            EXPECT_EQ(p["profile"], "LC");
        }
        EXPECT_NE(p["format_name"].find(c.container), std::string::npos) << p["format_name"];
        EXPECT_EQ(p["channels"], "2");
        EXPECT_EQ(p["sample_rate"], "44100");
        EXPECT_NEAR(std::stod(p["duration"]), 10.0, 0.1);
        // Android's player loops an Ogg ringtone seamlessly when its comment says so.
        auto loop = ffprobe(target, {"-show_entries", "stream_tags=ANDROID_LOOP"});
        EXPECT_EQ(loop["TAG:ANDROID_LOOP"], std::string(c.codec) == "vorbis" ? "true" : "");
        EXPECT_EQ(listing(out_), std::vector<std::string>{c.target});
        fs::remove(target);
    }
}

TEST_F(Converter, PathsWithShellAndOptionCharactersStayWhole)
{
    const std::string odd = "-a \"q\" & $HOME 'x' :y";
    fs::copy_file(source_, out_ / (odd + ".mp3"));
    // Relative names, so the leading '-' reaches av as such.
    const Result r
        = run(mp3Line(odd + ".mp3", "00:00:01", "00:00:02", odd + " out.mp3"), {{}, out_.string()});
    ASSERT_EQ(r.exitCode(), 0) << r.errors;
    EXPECT_EQ(
        ffprobe(out_ / (odd + " out.mp3"), {"-show_entries", "stream=codec_name"})["codec_name"], "mp3");
    EXPECT_EQ(listing(out_), (std::vector<std::string>{odd + " out.mp3", odd + ".mp3"}));
}

struct Refusal {
    const char* what;
    int exitCode;
    const char* message;
};

// Each refusal: exit status, one line naming the fault, the folder as it was
// (an existing file byte for byte, no partial or temporary file).
TEST_F(Converter, RefusalsLeaveTheFolderAsItWas)
{
    const fs::path keep = out_ / "keep.mp3";
    const std::string keepBytes = "existing ringtone \x01\x02\xff";
    writeFile(keep, keepBytes);
    const fs::path target = out_ / "new target.mp3";
    const fs::path emptyBin = out_ / "empty bin";
    fs::create_directories(emptyBin);
    const fs::path damaged = suiteDir_ / "damaged.mp3";
    writeFile(damaged, std::string(4000, '\x5a'));
    const fs::path empty = suiteDir_ / "empty.mp3";
    writeFile(empty, "");
    const fs::path noEncoder = fakeFfmpeg("echo \"Unknown encoder 'libopencore_amrnb'\" >&2\nexit 1\n");
    const std::string src = source_.string();

    struct Case {
        Refusal expect;
        std::vector<std::string> args;
        Options options;
    };
    const std::vector<Case> cases = {
        {{"no ffmpeg", 7, "ffmpeg is not installed"}, mp3Line(src, "00:00:01", "00:00:05", target),
            {{{"PATH", emptyBin.string()}}, ""}},
        {{"no AMR encoder", 8, "has no AMR-NB encoder (install libavcodec-extra)"},
            amrLine(src, "00:00:01", "00:00:05", target), {{{"PATH", noEncoder.string()}}, ""}},
        {{"empty source", 4, "source argument (-i) is empty"}, mp3Line("", "00:00:01", "00:00:05", target),
            {}},
        {{"missing source", 4, "No such file or directory"},
            mp3Line((out_ / "gone.mp3").string(), "00:00:01", "00:00:05", target), {}},
        {{"empty source file", 4, "is empty; there is no sound to cut"},
            mp3Line(empty.string(), "00:00:01", "00:00:05", target), {}},
        {{"folder as source", 4, "is not a regular file"},
            mp3Line(out_.string(), "00:00:01", "00:00:05", target), {}},
        {{"damaged source", 9, "with ffmpeg failed"},
            mp3Line(damaged.string(), "00:00:01", "00:00:05", target), {}},
        {{"start before 0", 3, "the start 00:00:-01 lies before"},
            mp3Line(src, "00:00:-01", "00:00:05", target), {}},
        {{"zero length", 3, "the length 00:00:00 is zero"}, mp3Line(src, "00:00:05", "00:00:00", target), {}},
        {{"negative length", 3, "the length 00:00:-02 is negative"},
            mp3Line(src, "00:00:05", "00:00:-02", target), {}},
        {{"malformed time", 2, "is not a time hh:mm:ss"}, mp3Line(src, "0:0:5", "00:00:05", target), {}},
        {{"existing target", 5, "already exists"}, mp3Line(src, "00:00:01", "00:00:05", keep.string()), {}},
        {{"existing AMR target", 5, "already exists"}, amrLine(src, "00:00:01", "00:00:05", keep.string()),
            {}},
        {{"past the end", 10, "holds no audio"}, mp3Line(src, "00:01:00", "00:00:05", target), {}},
        {{"AMR past the end", 10, "holds no audio"}, amrLine(src, "00:01:00", "00:00:05", target), {}},
        {{"M4R past the end", 10, "holds no audio"}, m4rLine(src, "00:01:00", "00:00:05", out_ / "t.m4r"),
            {}},
        {{"OGG past the end", 10, "holds no audio"}, oggLine(src, "00:01:00", "00:00:05", out_ / "t.ogg"),
            {}},
        {{"existing M4R target", 5, "already exists"}, m4rLine(src, "00:00:01", "00:00:05", keep.string()),
            {}},
        {{"Vorbis at 22050 Hz", 2, "of -ar is not 44100 or 48000 (Vorbis)"},
            {AV_PATH, "-i", src, "-t", "00:00:05", "-f", "ogg", "-acodec", "vorbis", "-ar", "22050",
                (out_ / "t.ogg").string()},
            {}},
        {{"unknown option", 2, "unknown option '-y'"},
            {AV_PATH, "-y", "-i", src, "-ss", "00:00:01", "-t", "00:00:05", "-acodec", "mp3",
                target.string()},
            {}},
        {{"unknown encoder", 2, "unknown audio encoder 'opus'"},
            {AV_PATH, "-i", src, "-t", "00:00:05", "-acodec", "opus", target.string()}, {}},
        {{"missing target folder", 6, "creating a temporary file"},
            mp3Line(src, "00:00:01", "00:00:05", (out_ / "no such folder" / "t.mp3").string()), {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.expect.what);
        const Result r = run(c.args, c.options);
        EXPECT_EQ(r.exitCode(), c.expect.exitCode) << r.errors;
        EXPECT_NE(r.errors.find(c.expect.message), std::string::npos) << r.errors;
        EXPECT_EQ(r.errors.rfind("av: ", 0), 0u) << r.errors;
        EXPECT_EQ(std::count(r.errors.begin(), r.errors.end(), '\n'), 1) << r.errors;
        EXPECT_EQ(readAll(keep), keepBytes);
        EXPECT_EQ(listing(out_), (std::vector<std::string>{"empty bin", "fake bin", "keep.mp3"}));
    }
}

TEST_F(Converter, UnreadableSourceIsRefused)
{
    if (geteuid() == 0)
        GTEST_SKIP() << "root reads every file";
    const fs::path locked = out_ / "locked.mp3";
    fs::copy_file(source_, locked);
    fs::permissions(locked, fs::perms::none);
    const Result r = run(mp3Line(locked, "00:00:01", "00:00:05", out_ / "t.mp3"));
    EXPECT_EQ(r.exitCode(), 4) << r.errors;
    EXPECT_NE(r.errors.find("Permission denied"), std::string::npos) << r.errors;
    EXPECT_EQ(listing(out_), std::vector<std::string>{"locked.mp3"});
}

// Waits until a stand-in has made its marker file; false after 20 s.
bool appears(const fs::path& marker)
{
    const auto deadline = std::chrono::steady_clock::now() + 20s;
    while (!fs::exists(marker) && std::chrono::steady_clock::now() < deadline)
        poll(nullptr, 0, 10);
    return fs::exists(marker);
}

TEST_F(Converter, TerminationRemovesThePartialFile)
{
    // A stand-in ffmpeg that writes part of its output, then hangs.
    const fs::path marker = out_ / "started";
    const fs::path bin = fakeFfmpeg("for a; do last=$a; done\n"
                                    "echo partial > \"${last#file:}\"\n"
                                    ": > \"$AV_TEST_MARKER\"\n"
                                    "exec /bin/sleep 60\n");
    const fs::path work = out_ / "work";
    fs::create_directories(work);
    Child av(mp3Line(source_, "00:00:01", "00:00:05", work / "t.mp3"),
        {{{"PATH", bin.string()}, {"AV_TEST_MARKER", marker.string()}}, ""});
    ASSERT_TRUE(appears(marker));
    kill(av.pid(), SIGTERM);
    const int status = av.wait(20s);
    EXPECT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == SIGTERM) << status;
    EXPECT_TRUE(listing(work).empty());
}

// Start time of this process in clock ticks since boot (/proc field 22).
std::string ownStartTime()
{
    const std::string stat = readAll("/proc/self/stat");
    std::istringstream rest(stat.substr(stat.rfind(')') + 2));
    std::string field;
    for (int i = 3; i <= 22; ++i)
        rest >> field;
    return field;
}

// Output path and progress lines shared by the stand-in ffmpeg scripts.
constexpr const char* kFakeOut = "PATH=/usr/bin:/bin\nfor a; do last=$a; done\nout=${last#file:}\n";

TEST_F(Converter, KilledAvTakesFfmpegAlongAndTheNextRunSweepsStaleFolders)
{
    const fs::path marker = out_ / "ffmpeg pid";
    const fs::path bin = fakeFfmpeg(std::string(kFakeOut)
        + "echo partial > \"$out\"\n"
          "echo $$ > \"$AV_TEST_MARKER.new\" && mv \"$AV_TEST_MARKER.new\" \"$AV_TEST_MARKER\"\n"
          "exec /bin/sleep 600\n");
    const fs::path work = out_ / "work";
    fs::create_directories(work);
    Child av(mp3Line(source_, "00:00:01", "00:00:05", work / "t.mp3"),
        {{{"PATH", bin.string()}, {"AV_TEST_MARKER", marker.string()}}, ""});
    ASSERT_TRUE(appears(marker));
    const pid_t ffmpeg = std::stoi(readAll(marker));
    const int ended = static_cast<int>(syscall(SYS_pidfd_open, ffmpeg, 0));
    ASSERT_GE(ended, 0) << "ffmpeg " << ffmpeg << " is gone before av was killed";
    kill(av.pid(), SIGKILL);
    av.wait(20s);
    pollfd p{ended, POLLIN, 0};
    EXPECT_EQ(poll(&p, 1, 10000), 1) << "ffmpeg outlived av by 10 s";
    close(ended);
    kill(ffmpeg, SIGKILL); // in case it did

    // Private folders as av makes them where files cannot be unnamed: some
    // that must stay (a live owner, a foreign file inside, names av does not
    // make) and one whose pid was reused by another process.
    const std::string self = std::to_string(getpid());
    const std::vector<std::string> stay
        = {".av-" + self + "-" + ownStartTime() + "-Ab12Cd", ".av-99999999-1-Ef34Gh", ".av-Ij56Kl"};
    for (const auto& d : stay) {
        fs::create_directories(work / d);
        writeFile(work / d / "ringtone.part", "part");
    }
    writeFile(work / stay[1] / "notes.txt", "not av's");
    fs::create_directories(work / (".av-" + self + "-1-Mn78Op"));
    writeFile(work / (".av-" + self + "-1-Mn78Op") / "ringtone.part", "part");
    ASSERT_EQ(listing(work).size(), 4u); // the killed run left nothing

    const Result r = run(mp3Line(source_, "00:00:01", "00:00:05", work / "t.mp3"));
    ASSERT_EQ(r.exitCode(), 0) << r.errors;
    std::vector<std::string> expected = stay;
    expected.push_back("t.mp3");
    std::sort(expected.begin(), expected.end());
    EXPECT_EQ(listing(work), expected);
    EXPECT_EQ(listing(work / stay[1]), (std::vector<std::string>{"notes.txt", "ringtone.part"}));
}

// A hung ffmpeg is stopped once its progress stands still for the limit,
// whether it falls silent or keeps repeating the same figures.
TEST_F(Converter, StalledFfmpegIsGivenUp)
{
    const std::vector<std::pair<const char*, std::string>> hangs = {
        {"silent", "printf 'out_time_us=2000000\\nprogress=continue\\n'\nexec /bin/sleep 600\n"},
        {"repeating",
            "while :; do printf 'total_size=9000\\nout_time_us=2000000\\nprogress=continue\\n'; "
            "/bin/sleep 0.1; done\n"},
    };
    for (const auto& [what, body] : hangs) {
        SCOPED_TRACE(what);
        const fs::path bin = fakeFfmpeg(std::string(kFakeOut) + "echo partial > \"$out\"\n" + body);
        const auto t0 = std::chrono::steady_clock::now();
        const Result r = run(mp3Line(source_, "00:00:01", "00:00:05", out_ / "t.mp3"),
            {{{"PATH", bin.string()}, {"AV_STALL_SECONDS", "1"}}, ""});
        const auto took = std::chrono::steady_clock::now() - t0;
        EXPECT_EQ(r.exitCode(), 11) << r.errors;
        EXPECT_EQ(r.errors,
            "av: ffmpeg made no progress for 1 s (stuck after 2.0 s of the ringtone); it was stopped "
            "and nothing was written\n");
        EXPECT_GE(took, 1s);
        EXPECT_LT(took, 20s);
        EXPECT_EQ(listing(out_), std::vector<std::string>{"fake bin"});
    }
}

TEST_F(Converter, SlowButAdvancingFfmpegIsNoStall)
{
    // 3 s of slow start against a 2 s limit, then the real conversion.
    const fs::path bin = fakeFfmpeg("i=0\nwhile [ $i -lt 15 ]; do i=$((i+1))\n"
                                    "  printf 'out_time_us=%d\\nprogress=continue\\n' $((i*100000))\n"
                                    "  /bin/sleep 0.2\ndone\nexec /usr/bin/ffmpeg \"$@\"\n");
    const Result r = run(mp3Line(source_, "00:00:01", "00:00:05", out_ / "t.mp3"),
        {{{"PATH", bin.string()}, {"AV_STALL_SECONDS", "2"}}, ""});
    EXPECT_EQ(r.exitCode(), 0) << r.errors;
    EXPECT_EQ(listing(out_), (std::vector<std::string>{"fake bin", "t.mp3"}));
}

// An ffmpeg that exits 0 is believed only when its file holds what it claims.
TEST_F(Converter, BrokenFfmpegSuccessIsRefused)
{
    const fs::path sample = suiteDir_ / "five seconds.mp3";
    if (!fs::exists(sample)) {
        const Result made = run({"/usr/bin/ffmpeg", "-nostdin", "-v", "error", "-i", source_.string(), "-t",
            "5", "-c:a", "libmp3lame", "-b:a", "64k", sample.string()});
        ASSERT_EQ(made.exitCode(), 0) << made.errors;
    }
    const std::string done5 = "printf 'total_size=40000\\nout_time_us=5000000\\nprogress=end\\n'\n";
    struct Case {
        const char* what;
        const char* target;
        std::string body;
        const char* message;
    };
    const std::vector<Case> cases = {
        {"no file", "t.mp3", done5, "ffmpeg reported success but wrote an empty file"},
        {"empty file", "t.mp3", ": > \"$out\"\n" + done5, "wrote an empty file"},
        {"random bytes", "t.mp3", "{ printf '\\0'; head -c 40000 /dev/urandom; } > \"$out\"\n" + done5,
            "its file is not MP3 audio"},
        {"MP3 as AMR", "t.amr", "cp \"$AV_TEST_SAMPLE\" \"$out\"\n" + done5, "its file is not AMR-NB audio"},
        {"MP3 as M4R", "t.m4r", "cp \"$AV_TEST_SAMPLE\" \"$out\"\n" + done5, "its file is not AAC audio"},
        {"MP3 as OGG", "t.ogg", "cp \"$AV_TEST_SAMPLE\" \"$out\"\n" + done5, "its file is not Vorbis audio"},
        {"truncated", "t.mp3", "head -c 3000 \"$AV_TEST_SAMPLE\" > \"$out\"\n" + done5,
            "its file holds 0.3 s of MP3 audio for a cut of 5.0 s"},
        {"overlong", "t.mp3",
            "cp \"$AV_TEST_SAMPLE\" \"$out\"\nprintf 'out_time_us=60000000\\nprogress=end\\n'\n",
            "reported 60.0 s of audio for a cut of 5 s"},
        {"no progress", "t.mp3", "cp \"$AV_TEST_SAMPLE\" \"$out\"\n", "did not report the end of its work"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const fs::path bin = fakeFfmpeg(std::string(kFakeOut) + c.body + "exit 0\n");
        const Result r = run(lineFor(source_, "00:00:01", "00:00:05", out_ / c.target),
            {{{"PATH", bin.string()}, {"AV_TEST_SAMPLE", sample.string()}}, ""});
        EXPECT_EQ(r.exitCode(), 9) << r.errors;
        EXPECT_NE(r.errors.find(c.message), std::string::npos) << r.errors;
        EXPECT_EQ(std::count(r.errors.begin(), r.errors.end(), '\n'), 1) << r.errors;
        EXPECT_EQ(listing(out_), std::vector<std::string>{"fake bin"});
    }
}

} // namespace
