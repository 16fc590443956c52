// A ringtone is whole or it is not there: full disks, files cut short behind
// a successful exit, folders that go away, av killed mid-export.
#include "av_child.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include <sys/mount.h>
#include <sys/statvfs.h>
#include <unistd.h>

namespace {

using namespace avtest;

struct Type {
    const char* extension;
    const char* name; // as av's messages say it
};
const Type kTypes[] = {{".mp3", "MP3"}, {".amr", "AMR-NB"}, {".m4r", "AAC"}, {".ogg", "Vorbis"}};

class WholeRingtone : public ::testing::Test {
protected:
    static void SetUpTestSuite()
    {
        std::string templ = (fs::temp_directory_path() / "av whole XXXXXX").string();
        ASSERT_NE(mkdtemp(templ.data()), nullptr);
        dir_ = templ;
        // Noise keeps every encoder near its nominal rate.
        source_ = dir_ / "noise.mp3";
        Result r = run({"/usr/bin/ffmpeg", "-nostdin", "-v", "error", "-f", "lavfi", "-i",
            "anoisesrc=d=60:a=0.3", "-ar", "44100", "-ac", "2", "-b:a", "128k", source_.string()});
        ASSERT_EQ(r.exitCode(), 0) << r.errors;
        // Well-formed two-second ringtones of every type, made by av itself.
        for (const Type& t : kTypes) {
            r = run(lineFor(source_, "00:00:00", "00:00:02", (dir_ / "two").string() + t.extension));
            ASSERT_EQ(r.exitCode(), 0) << r.errors;
        }
    }
    static void TearDownTestSuite() { fs::remove_all(dir_); }

    void SetUp() override
    {
        out_ = dir_ / ::testing::UnitTest::GetInstance()->current_test_info()->name();
        fs::create_directories(out_);
    }

    fs::path fakeFfmpeg(const std::string& body)
    {
        const fs::path bin = out_ / "fake bin";
        fs::create_directories(bin);
        writeFile(bin / "ffmpeg",
            "#!/bin/sh\nPATH=/usr/bin:/bin\nfor a; do last=$a; done\nout=${last#file:}\n" + body,
            fs::perms::owner_all);
        return bin;
    }

    static inline fs::path dir_, source_;
    fs::path out_;
};

long long freeKb(const fs::path& folder)
{
    struct statvfs v { };
    statvfs(folder.c_str(), &v);
    return static_cast<long long>(v.f_bavail) * static_cast<long long>(v.f_frsize) / 1024;
}

TEST_F(WholeRingtone, FullDiskLeavesNoFileAndSaysSoAtEveryFreeSize)
{
    const fs::path disk = out_ / "disk";
    fs::create_directories(disk);
    if (mount("tmpfs", disk.c_str(), "tmpfs", 0, "size=160k") != 0)
        GTEST_SKIP() << "mounting a small disk needs root";
    for (const Type& t : kTypes) {
        for (const long long wantKb : {16, 48, 64, 72, 76}) {
            SCOPED_TRACE(std::string(t.extension) + " with " + std::to_string(wantKb) + " kB free");
            fs::remove(disk / "fill");
            writeFile(
                disk / "fill", std::string(static_cast<std::size_t>(freeKb(disk) - wantKb) * 1024, 'x'));
            const long long kb = freeKb(disk);
            const Result r
                = run(lineFor(source_, "00:00:01", "00:00:55", (disk / "ring").string() + t.extension));
            EXPECT_EQ(r.exitCode(), 12) << r.errors;
            EXPECT_EQ(r.errors,
                "av: The disk is full: the ringtone was not saved (" + std::to_string(kb)
                    + " kB were free)\n");
            EXPECT_EQ(listing(disk), std::vector<std::string>{"fill"});
        }
    }
    umount2(disk.c_str(), MNT_DETACH);
}

// The stand-in copies a well-formed two-second file, claims five seconds
// and exits 0.
TEST_F(WholeRingtone, FileShorterThanTheCutIsRefusedForEveryType)
{
    const fs::path bin = fakeFfmpeg("cp \"$AV_TEST_SAMPLE\" \"$out\"\n"
                                    "printf 'total_size=9000\\nout_time_us=5000000\\nprogress=end\\n'\n");
    for (const Type& t : kTypes) {
        SCOPED_TRACE(t.extension);
        const Result r = run(lineFor(source_, "00:00:01", "00:00:05", (out_ / "ring").string() + t.extension),
            {{{"PATH", bin.string()}, {"AV_TEST_SAMPLE", (dir_ / "two").string() + t.extension}}, ""});
        EXPECT_EQ(r.exitCode(), 9) << r.errors;
        EXPECT_EQ(r.errors,
            std::string("av: ffmpeg reported success but its file holds 2.0 s of ") + t.name
                + " audio for a cut of 5.0 s\n");
        EXPECT_EQ(listing(out_), std::vector<std::string>{"fake bin"});
    }
}

// A cut marked to the hundredth is held to 20 ms: the two-second file
// passes for a cut of 1.99 s and is refused for one of 2.10 s.
TEST_F(WholeRingtone, LengthIsMeasuredToTwentyMilliseconds)
{
    const struct {
        const char* length;
        const char* claimedUs;
        bool whole;
    } cuts[] = {{"00:00:01.990", "1990000", true}, {"00:00:02.100", "2100000", false}};
    for (const auto& cut : cuts) {
        const fs::path bin
            = fakeFfmpeg("cp \"$AV_TEST_SAMPLE\" \"$out\"\nprintf 'total_size=9000\\nout_time_us="
                + std::string(cut.claimedUs) + "\\nprogress=end\\n'\n");
        for (const Type& t : kTypes) {
            SCOPED_TRACE(std::string(t.extension) + " " + cut.length);
            const fs::path target = out_ / (std::string("ring ") + cut.claimedUs + t.extension);
            const Result r = run(lineFor(source_, "00:00:01", cut.length, target.string()),
                {{{"PATH", bin.string()}, {"AV_TEST_SAMPLE", (dir_ / "two").string() + t.extension}}, ""});
            if (cut.whole) {
                EXPECT_EQ(r.exitCode(), 0) << r.errors;
                EXPECT_TRUE(fs::exists(target));
            } else {
                EXPECT_EQ(r.exitCode(), 9) << r.errors;
                EXPECT_NE(
                    r.errors.find(std::string(t.name) + " audio for a cut of 2.1 s\n"), std::string::npos)
                    << r.errors;
                EXPECT_FALSE(fs::exists(target));
            }
        }
    }
}

// Waits until a stand-in has made its marker file; false after 20 s.
bool appears(const fs::path& marker)
{
    const auto deadline = std::chrono::steady_clock::now() + 20s;
    while (!fs::exists(marker) && std::chrono::steady_clock::now() < deadline)
        poll(nullptr, 0, 10);
    return fs::exists(marker);
}

TEST_F(WholeRingtone, KilledMidExportLeavesNothingInTheFolder)
{
    const fs::path bin = fakeFfmpeg("cat \"$AV_TEST_SAMPLE\" > \"$out\"\n: > \"$AV_TEST_MARKER\"\n"
                                    "exec /bin/sleep 600\n");
    const fs::path folder = out_ / "ringtones";
    fs::create_directories(folder);
    for (const bool wholeGroup : {false, true}) {
        SCOPED_TRACE(wholeGroup ? "the whole group" : "av alone");
        const fs::path marker = out_ / "started";
        fs::remove(marker);
        Child av(mp3Line(source_, "00:00:01", "00:00:02", folder / "ring.mp3"),
            {{{"PATH", bin.string()}, {"AV_TEST_MARKER", marker.string()},
                 {"AV_TEST_SAMPLE", (dir_ / "two.mp3").string()}},
                "", true});
        ASSERT_TRUE(appears(marker));
        kill(wholeGroup ? -av.pid() : av.pid(), SIGKILL);
        av.wait(20s);
        EXPECT_TRUE(listing(folder).empty());
    }
}

// The folder goes while ffmpeg writes; av must not leave the ringtone hidden
// inside it, wherever it went.
TEST_F(WholeRingtone, FolderGoneMidExportKeepsNothingAndSaysSo)
{
    const fs::path bin = fakeFfmpeg(
        "cat \"$AV_TEST_SAMPLE\" > \"$out\"\n: > \"$AV_TEST_MARKER\"\n"
        "i=0; while [ ! -e \"$AV_TEST_GO\" ] && [ $i -lt 400 ]; do sleep 0.05; i=$((i+1)); done\n"
        "printf 'total_size=9000\\nout_time_us=2000000\\nprogress=end\\n'\n");
    const fs::path folder = out_ / "ring tones", moved = out_ / "moved";
    for (const bool renamed : {true, false}) {
        SCOPED_TRACE(renamed ? "renamed" : "deleted");
        const fs::path marker = out_ / "started", go = out_ / "go";
        fs::remove(marker);
        fs::remove(go);
        fs::create_directories(folder);
        Child av(mp3Line(source_, "00:00:01", "00:00:02", folder / "ring.mp3"),
            {{{"PATH", bin.string()}, {"AV_TEST_MARKER", marker.string()}, {"AV_TEST_GO", go.string()},
                 {"AV_TEST_SAMPLE", (dir_ / "two.mp3").string()}},
                ""});
        ASSERT_TRUE(appears(marker));
        if (renamed)
            fs::rename(folder, moved);
        else
            fs::remove_all(folder);
        writeFile(go, "");
        const int status = av.wait(20s);
        EXPECT_EQ(WEXITSTATUS(status), 6) << av.errors;
        EXPECT_EQ(av.errors,
            "av: The folder '" + folder.string() + "' no longer exists: the ringtone was not saved\n");
        EXPECT_FALSE(fs::exists(folder));
        if (renamed) {
            EXPECT_TRUE(listing(moved).empty());
        }
        fs::remove_all(moved);
    }
}

} // namespace
