// What a phone plays of a saved ringtone: no click at its edges, the fade
// out's shape, its length, the loudness an independent meter reads, the title
// it lists; and cuts that seek are the same samples as cuts decoded from the
// start.
#include "Loudness.h"
#include "av_child.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <regex>

namespace {

using namespace avtest;

class Shape : public ::testing::Test {
protected:
    static void SetUpTestSuite()
    {
        std::string templ = (fs::temp_directory_path() / "av shape XXXXXX").string();
        ASSERT_NE(mkdtemp(templ.data()), nullptr);
        dir_ = templ;
    }
    static void TearDownTestSuite() { fs::remove_all(dir_); }
    void SetUp() override
    {
        out_ = dir_ / ::testing::UnitTest::GetInstance()->current_test_info()->name();
        fs::create_directories(out_);
    }
    static fs::path make(const std::string& name, const std::vector<std::string>& args)
    {
        const fs::path p = dir_ / name;
        if (!fs::exists(p)) {
            std::vector<std::string> a = {"/usr/bin/ffmpeg", "-nostdin", "-v", "error"};
            a.insert(a.end(), args.begin(), args.end());
            a.push_back(p.string());
            const Result r = run(a);
            EXPECT_EQ(r.exitCode(), 0) << r.errors;
        }
        return p;
    }
    // A steady stereo 997 Hz tone of the given amplitude, 20 s, as WAV.
    static fs::path tone(double amplitude)
    {
        char expr[128];
        std::snprintf(expr, sizeof expr, "aevalsrc=%.6f*sin(2*PI*997*t):s=44100:d=20", amplitude);
        return make("tone " + std::to_string(amplitude) + ".wav", {"-f", "lavfi", "-i", expr, "-ac", "2"});
    }
    static inline fs::path dir_;
    fs::path out_;
};

// Decoded mono samples of a whole file at its own rate.
std::vector<float> decode(const fs::path& file, int& rate)
{
    rate = std::stoi(ffprobe(file, {"-show_entries", "stream=sample_rate"})["sample_rate"]);
    const fs::path raw = file.string() + ".f32";
    const Result r = run({"/usr/bin/ffmpeg", "-nostdin", "-v", "error", "-y", "-i", file.string(), "-ac", "1",
        "-f", "f32le", raw.string()});
    EXPECT_EQ(r.exitCode(), 0) << r.errors;
    const std::string bytes = readAll(raw);
    std::vector<float> s(bytes.size() / sizeof(float));
    std::memcpy(s.data(), bytes.data(), s.size() * sizeof(float));
    fs::remove(raw);
    return s;
}

double rms(const std::vector<float>& s, double fromSeconds, double toSeconds, int rate)
{
    const auto a = static_cast<std::size_t>(std::max(0.0, fromSeconds) * rate);
    const auto b = std::min(s.size(), static_cast<std::size_t>(toSeconds * rate));
    double sum = 0;
    for (std::size_t i = a; i < b; ++i)
        sum += double{s[i]} * s[i];
    return b > a ? std::sqrt(sum / static_cast<double>(b - a)) : 0;
}

const char* const kTargets[] = {"ring.mp3", "ring.amr", "ring.m4r", "ring.ogg"};

TEST_F(Shape, EdgesFadeFromAndToSilenceAndTheFadeOutHasItsShape)
{
    const fs::path source = tone(0.5);
    for (const char* name : kTargets) {
        SCOPED_TRACE(name);
        const fs::path target = out_ / name;
        std::vector<std::string> line = lineFor(source, "00:00:03", "00:00:08", target);
        line.insert(line.end() - 1, {"-fadeout", "2"});
        const Result r = run(line);
        ASSERT_EQ(r.exitCode(), 0) << r.errors;
        int rate = 0;
        const std::vector<float> s = decode(target, rate);
        const double length = static_cast<double>(s.size()) / rate;
        EXPECT_NEAR(length, 8.0, 0.1);
        const double steady = rms(s, 1, 3, rate);
        ASSERT_GT(steady, 0.1);
        // A 10 ms ramp: its first and last 3 ms hold a fraction of the level.
        EXPECT_LT(rms(s, 0, 0.003, rate), 0.4 * steady);
        EXPECT_GT(rms(s, 0.010, 0.030, rate), 0.8 * steady);
        EXPECT_LT(rms(s, length - 0.003, length, rate), 0.4 * steady);
        // A linear fade over the last 2 s: the last second's level is the
        // steady level times sqrt(mean(g^2)) for g from 1/2 down to 0, -10.8 dB.
        // AMR-NB, a speech codec, renders quiet tones quieter still.
        const double drop
            = 20 * std::log10(rms(s, length - 1, length, rate) / rms(s, length - 3.5, length - 2.5, rate));
        EXPECT_NEAR(drop, 20 * std::log10(0.5 / std::sqrt(3.0)), std::string(name).ends_with(".amr") ? 3 : 1);
    }
}

struct Meter {
    double lufs = 0, truePeak = 0;
};

// ffmpeg's ebur128 filter: a meter independent of the program's.
Meter measure(const fs::path& file)
{
    const fs::path log = file.string() + ".log";
    const Result r = run({"/bin/sh", "-c", "exec /usr/bin/ffmpeg \"$@\" 2> \"$0\"", log.string(), "-nostdin",
        "-hide_banner", "-nostats", "-i", file.string(), "-af", "ebur128=peak=true", "-f", "null", "-"});
    EXPECT_EQ(r.exitCode(), 0);
    const std::string text = readAll(log);
    const auto summary = text.rfind("Summary:");
    std::smatch i, p;
    const std::string tail = summary == std::string::npos ? "" : text.substr(summary);
    Meter m;
    if (std::regex_search(tail, i, std::regex(R"(I:\s+(-?[0-9.]+) LUFS)")))
        m.lufs = std::stod(i[1]);
    if (std::regex_search(tail, p, std::regex(R"(True peak:\s+Peak:\s+(-?[0-9.]+) dBFS)")))
        m.truePeak = std::stod(p[1]);
    EXPECT_NE(summary, std::string::npos) << text;
    return m;
}

// Matching on: the gain the program measures, the limiter; and the name.
TEST_F(Shape, MatchedLoudnessReachesThePhonesLevelAndTheTitleIsTagged)
{
    for (const double amplitude : {0.0316, 0.5}) { // about -30 and -6 LUFS
        const fs::path source = tone(amplitude);
        for (const char* name : kTargets) {
            SCOPED_TRACE(std::string(name) + " from amplitude " + std::to_string(amplitude));
            const bool amr = std::string(name).ends_with(".amr");
            const ringtone::TLoudness l
                = amr ? ringtone::MeasureLoudness(source, 2000, 12000, 1, 8000) : ringtone::MeasureLoudness(source, 2000, 12000);
            ASSERT_TRUE(l.Ok) << l.Error;
            const fs::path target = out_ / (std::to_string(amplitude) + name);
            std::vector<std::string> line = lineFor(source, "00:00:02", "00:00:10", target);
            line.insert(line.end() - 1,
                {"-gain", std::to_string(ringtone::MatchGainDb(l.IntegratedLufs, l.TruePeakDbtp)), "-limit",
                    "-title", "Morning Bell \"é\" = 1"});
            const Result r = run(line);
            ASSERT_EQ(r.exitCode(), 0) << r.errors;
            const Meter m = measure(target);
            // AMR-NB, a speech codec, renders a steady tone about 1 LU quieter
            // than it is fed; its true peak overshoots the limiter's ceiling.
            EXPECT_NEAR(m.lufs, -12, amr ? 2 : 1);
            if (!amr) {
                EXPECT_LE(m.truePeak, -0.5);
            }
            const auto tags = ffprobe(target, {"-show_entries", "format_tags=title:stream_tags=title"});
            if (amr) {
                EXPECT_TRUE(tags.empty());
            } else {
                ASSERT_EQ(tags.size(), 1u);
                EXPECT_EQ(tags.begin()->second, "Morning Bell \"é\" = 1");
            }
            if (std::string(name).ends_with(".mp3")) {
                EXPECT_EQ(readAll(target).substr(0, 4), std::string("ID3\x03", 4)); // ID3v2.3
            }
            if (std::string(name).ends_with(".ogg")) { // the title kept beside the loop request
                auto loop = ffprobe(target, {"-show_entries", "stream_tags=ANDROID_LOOP"});
                EXPECT_EQ(loop["TAG:ANDROID_LOOP"], "true");
            }
        }
    }
}

TEST_F(Shape, BadShapeValuesAreRefusedInOneLineAndNothingIsWritten)
{
    const fs::path source = tone(0.5);
    const struct {
        std::vector<std::string> options;
        std::string message;
    } cases[] = {
        {{"-fadein", "-1"}, "the fade '-1' of -fadein is not a number of seconds from 0 to 3600"},
        {{"-fadeout", "3600.5"}, "the fade '3600.5' of -fadeout is not a number of seconds from 0 to 3600"},
        {{"-fadein", "0.0005"}, "the fade '0.0005' of -fadein is not a number of seconds from 0 to 3600"},
        {{"-fadein", "1e3"}, "the fade '1e3' of -fadein is not a number of seconds from 0 to 3600"},
        {{"-gain", "40.5"}, "the gain '40.5' of -gain is not a number of dB from -40 to 40"},
        {{"-gain", "nan"}, "the gain 'nan' of -gain is not a number of dB from -40 to 40"},
        {{"-gain", "-3dB"}, "the gain '-3dB' of -gain is not a number of dB from -40 to 40"},
        {{"-title", "a\nb"}, "the title 'a\\x0ab' of -title is not UTF-8 text without control characters"},
        {{"-title", "\xff"}, "the title '\xff' of -title is not UTF-8 text without control characters"},
        {{"-limit", "-limit"}, "option -limit is given twice"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.message);
        std::vector<std::string> line = mp3Line(source, "00:00:01", "00:00:05", (out_ / "ring.mp3").string());
        line.insert(line.end() - 1, c.options.begin(), c.options.end());
        const Result r = run(line);
        EXPECT_EQ(r.exitCode(), 2);
        EXPECT_TRUE(r.errors.starts_with("av: " + c.message)) << r.errors;
        EXPECT_EQ(std::count(r.errors.begin(), r.errors.end(), '\n'), 1);
        EXPECT_TRUE(listing(out_).empty());
    }
}

} // namespace
