// The loudness meter against ffmpeg's own ebur128 filter, the matched gain
// judged by what a saved ringtone measures, and the shape of the fades.
#include "Loudness.h"
#include "RingtoneShape.h"
#include "TestMedia.h"

#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <fstream>
#include <random>
#include <regex>
#include <sstream>

using namespace ringtone;

namespace {

const std::string& Dir()
{
    static const std::string dir = testmedia::TempDir("loudness");
    return dir;
}

// A tone from ffmpeg's expression source (`expr` per channel, amplitude
// 1.0 = full scale), written as `name` (its extension picks the format).
std::string MakeTone(const std::string& name, const std::string& expr, int channels, double seconds)
{
    const std::string path = Dir() + name;
    std::string exprs = expr;
    for (int c = 1; c < channels; ++c)
        exprs += "|" + expr;
    const std::string codec = name.ends_with(".mp3") ? " -c:a libmp3lame -b:a 192k" : "";
    const std::string cmd = "ffmpeg -nostdin -loglevel error -y -f lavfi -i \"aevalsrc='" + exprs
        + "':s=44100:d=" + std::to_string(seconds) + "\"" + codec + " '" + path + "'";
    return std::system(cmd.c_str()) == 0 ? path : std::string();
}

// ffmpeg's own reading of [startMs, endMs) of `path` mixed to `channels`,
// after `filters` (may be empty): integrated loudness and true peak.
struct TReference {
    double Lufs = NAN;
    double Dbtp = NAN;
};
TReference FfmpegMeter(const std::string& path, int64_t startMs, int64_t endMs, int channels,
    const std::string& filters = "", int rate = 0)
{
    // Mono as the AMR encoder is fed it: 16-bit samples, mixed so they cannot clip.
    const std::string form = channels == 1 ? "aformat=sample_fmts=s16:channel_layouts=mono"
                                           : "aformat=channel_layouts=stereo";
    const std::string log = path + ".ebur128.txt";
    const std::string cmd = "ffmpeg -nostdin -hide_banner -nostats -i '" + path + "' -af atrim=start="
        + std::to_string(startMs / 1000.0) + ":end=" + std::to_string(endMs / 1000.0)
        + (rate > 0 ? ",aresample=" + std::to_string(rate) : "") + "," + form + (filters.empty() ? "" : ",")
        + filters + ",ebur128=peak=true -f null - 2> '" + log + "'";
    TReference ref;
    if (std::system(cmd.c_str()) != 0)
        return ref;
    std::stringstream text;
    text << std::ifstream(log).rdbuf();
    const std::string all = text.str();
    const std::string summary = all.substr(std::min(all.rfind("Summary:"), all.size()));
    std::smatch m;
    if (std::regex_search(summary, m, std::regex(R"(I:\s+(-?[0-9.]+) LUFS)")))
        ref.Lufs = std::stod(m[1]);
    if (std::regex_search(summary, m, std::regex(R"(Peak:\s+(-?[0-9.]+|-inf) dBFS)")))
        ref.Dbtp = m[1] == "-inf" ? -INFINITY : std::stod(m[1]);
    return ref;
}

TEST(Loudness, AgreesWithFfmpegsMeter)
{
    struct Row {
        const char* Name;
        const char* Expr;
        int FileChannels;
        double Seconds;
        int64_t StartMs, EndMs;
        int Channels; // measured as
        int Rate = 0;
    };
    const Row rows[] = {
        { "loud.wav", "0.5*sin(2*PI*1000*t)", 2, 8, 1000, 7000, 2 },
        { "quiet.mp3", "0.0316*sin(2*PI*1000*t)", 2, 10, 2500, 8500, 2 },
        { "full.mp3", "0.89*sin(2*PI*1000*t)", 2, 10, 4000, 9000, 2 },
        { "mono-as-stereo.mp3", "0.25*sin(2*PI*1000*t)", 1, 6, 0, 5000, 2 },
        { "stereo-as-mono.mp3", "0.25*sin(2*PI*1000*t)", 2, 6, 1200, 6000, 1 },
        // Low and high tones: the ear's weighting matters.
        { "two-tones.wav", "0.3*sin(2*PI*100*t)+0.2*sin(2*PI*6000*t)", 2, 6, 500, 5500, 2 },
        // As an AMR ringtone: the 6 kHz tone is gone.
        { "two-tones-8k.wav", "0.3*sin(2*PI*100*t)+0.2*sin(2*PI*6000*t)", 2, 6, 500, 5500, 1, 8000 },
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(r.Name);
        const std::string path = MakeTone(r.Name, r.Expr, r.FileChannels, r.Seconds);
        ASSERT_FALSE(path.empty()) << "ffmpeg could not make the tone";
        const TLoudness got = MeasureLoudness(path, r.StartMs, r.EndMs, r.Channels, r.Rate);
        ASSERT_TRUE(got.Ok) << got.Error;
        const TReference want = FfmpegMeter(path, r.StartMs, r.EndMs, r.Channels, "", r.Rate);
        ASSERT_FALSE(std::isnan(want.Lufs) || std::isnan(want.Dbtp)) << "no summary from ffmpeg";
        EXPECT_NEAR(got.IntegratedLufs, want.Lufs, 0.3);
        EXPECT_NEAR(got.TruePeakDbtp, want.Dbtp, 0.3);
    }
}

// Sines whose crests fall between the samples: the true peak is the sine's
// amplitude, up to 3 dB above the highest sample.
TEST(Loudness, TruePeakIsTheCrestBetweenSamples)
{
    struct Row {
        double Hz, Phase, Amplitude;
    };
    const Row rows[] = {
        { 11025, M_PI / 4, 0.9 }, // samples at 0.71 of the crest
        { 7350, 0, 0.9 }, // at 0.87
        { 5512.5, M_PI / 8, 0.5 }, // at 0.92
        { 1000, 0, 0.25 },
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(r.Hz);
        const std::string path = Dir() + "crest-" + std::to_string(r.Hz) + ".wav";
        testmedia::WriteWav(path, 44100, 2, 44100 * 3, [&](int64_t i, int) {
            return static_cast<int16_t>(
                std::lround(32767 * r.Amplitude * std::sin(2 * M_PI * r.Hz * i / 44100 + r.Phase)));
        });
        const TLoudness m = MeasureLoudness(path, 0, 3000);
        ASSERT_TRUE(m.Ok) << m.Error;
        // Oversampling meters read high tones a little over, never under.
        const double crest = 20 * std::log10(r.Amplitude);
        EXPECT_GE(m.TruePeakDbtp, crest - 0.2);
        EXPECT_LE(m.TruePeakDbtp, crest + 0.5);
    }
}

// The gain applied to the source as the export applies it; the saved
// ringtone's loudness read by ffmpeg's meter.
TEST(Loudness, MatchedGainBringsTheRingtoneToThePhonesLoudness)
{
    enum class TWant { Target, Ceiling, Clamped, None };
    struct Row {
        const char* Name;
        const char* Expr;
        TWant Want;
    };
    const Row rows[] = {
        { "at-30.mp3", "0.0316*sin(2*PI*1000*t)", TWant::Target },
        { "at-6.mp3", "0.5*sin(2*PI*1000*t)", TWant::Target },
        // Quiet but peaky: clicks ten times a second.
        { "clicks.wav", "0.5*eq(mod(n,4410),0)+0.01*sin(2*PI*1000*t)", TWant::Ceiling },
        { "whisper.wav", "0.0006*sin(2*PI*1000*t)", TWant::Clamped },
        { "silence.mp3", "0", TWant::None },
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(r.Name);
        const std::string path = MakeTone(r.Name, r.Expr, 2, 8);
        ASSERT_FALSE(path.empty()) << "ffmpeg could not make the tone";
        const TLoudness m = MeasureLoudness(path, 1000, 7000);
        ASSERT_TRUE(m.Ok) << m.Error;
        const double gain = MatchGainDb(m.IntegratedLufs, m.TruePeakDbtp);
        if (r.Want == TWant::None) {
            EXPECT_EQ(gain, 0.0);
            continue;
        }
        const TReference saved
            = FfmpegMeter(path, 1000, 7000, 2, "volume=" + std::to_string(gain) + "dB");
        switch (r.Want) {
        case TWant::Target:
            EXPECT_NEAR(saved.Lufs, kTargetLufs, 0.3);
            EXPECT_LE(saved.Dbtp, kCeilingDbtp + 0.3);
            break;
        case TWant::Ceiling:
            EXPECT_NEAR(saved.Dbtp, kCeilingDbtp, 0.3);
            EXPECT_LT(saved.Lufs, kTargetLufs - 3);
            break;
        case TWant::Clamped:
            EXPECT_EQ(gain, kMaxGainDb);
            break;
        case TWant::None:
            break;
        }
    }
}

TEST(Loudness, FailuresSayWhatFailedAndNeverThrow)
{
    const std::string tone = MakeTone("short.wav", "0.5*sin(2*PI*1000*t)", 2, 2);
    ASSERT_FALSE(tone.empty());
    const std::string text = Dir() + "notes.mp3";
    std::ofstream(text) << "not a song, only words\n";
    std::atomic<bool> cancelled { true };
    struct Row {
        std::string Path;
        int64_t StartMs, EndMs;
        const std::atomic<bool>* Cancel;
        const char* Says;
    };
    const Row rows[] = {
        { Dir() + "missing.mp3", 0, 1000, nullptr, "Cannot open" },
        { Dir(), 0, 1000, nullptr, "Cannot open" },
        { Dir(), 0, 1000, nullptr, "it is a folder" },
        { text, 0, 1000, nullptr, "Cannot" },
        { tone, 5000, 9000, nullptr, "no audio between 5000 ms and 9000 ms" },
        { tone, 1000, 1000, nullptr, "is empty" },
        { tone, 0, 1000, &cancelled, "cancelled" },
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(r.Path + " " + r.Says);
        const TLoudness m = MeasureLoudness(r.Path, r.StartMs, r.EndMs, 2, 0, r.Cancel);
        EXPECT_FALSE(m.Ok);
        EXPECT_NE(m.Error.find(r.Says), std::string::npos) << m.Error;
        EXPECT_NE(m.Error.find("'" + r.Path + "'"), std::string::npos) << m.Error;
    }
}

// The gain a steady full-scale signal comes out with at `at` seconds into a
// selection of `seconds` at 44.1 kHz.
double GainAt(const TShapePlan& plan, double seconds, double at)
{
    constexpr int rate = 44100;
    const auto frames = static_cast<int64_t>(std::llround(seconds * rate));
    std::vector<float> one(static_cast<size_t>(frames) * 2, 1.0f);
    ApplyShape(plan, one.data(), frames, 2, 0, frames, rate);
    const auto n = std::min<int64_t>(std::llround(at * rate), frames - 1);
    EXPECT_EQ(one[static_cast<size_t>(n) * 2], one[static_cast<size_t>(n) * 2 + 1]);
    return one[static_cast<size_t>(n) * 2];
}

TEST(RingtoneShape, FadesAndGainFollowTheLinearShape)
{
    const TShapePlan plain;
    const TShapePlan fadeOut2 { 0, 2000, 0, false };
    const TShapePlan both3 { 3000, 3000, 0, false };
    const TShapePlan louder { 0, 0, 6, true };
    const TShapePlan softer { 1000, 0, -6, true };
    struct Row {
        const char* What;
        TShapePlan Plan;
        double Seconds, At, Gain;
    };
    const double tail = 1.0 / 44100; // the last frame's distance from the end
    const Row rows[] = {
        { "starts from silence", plain, 30, 0, 0 },
        { "halfway up the edge", plain, 30, 0.005, 0.5 },
        { "edge fade done", plain, 30, 0.010, 1 },
        { "middle untouched", plain, 30, 15, 1 },
        { "ends in silence", plain, 30, 30, tail / 0.010 },
        { "5 ms before the end", plain, 30, 29.995, 0.5 },
        { "3 s before a 2 s fade out", fadeOut2, 30, 27, 1 },
        { "fade out, 1 s left", fadeOut2, 30, 29, 0.5 },
        { "fade out, 0.5 s left", fadeOut2, 30, 29.5, 0.25 },
        { "fade out, 0.25 s left", fadeOut2, 30, 29.75, 0.125 },
        { "fade out starts no earlier than 2 s", fadeOut2, 30, 27.9, 1 },
        { "3 s fades on 1 s: half in", both3, 1, 0.25, 0.5 },
        { "3 s fades on 1 s: full in the middle", both3, 1, 0.5, 1 },
        { "3 s fades on 1 s: half out", both3, 1, 0.75, 0.5 },
        { "+6 dB is clipped at the ceiling", louder, 10, 5, CeilingLinear() },
        { "-6 dB halves", softer, 10, 5, std::pow(10.0, -6.0 / 20) },
        { "-6 dB halfway up a 1 s fade in", softer, 10, 0.5, 0.5 * std::pow(10.0, -6.0 / 20) },
    };
    for (const Row& r : rows)
        EXPECT_NEAR(GainAt(r.Plan, r.Seconds, r.At), r.Gain, 2e-3) << r.What;
}

TEST(RingtoneShape, BlockByBlockEqualsTheWholeSelection)
{
    constexpr int rate = 8000, channels = 2;
    constexpr int64_t frames = rate * 5;
    std::mt19937 random(7);
    std::uniform_real_distribution<float> sample(-1, 1);
    std::vector<float> source(static_cast<size_t>(frames) * channels);
    for (float& s : source)
        s = sample(random);
    for (const TShapePlan& plan : { TShapePlan {}, TShapePlan { 500, 3000, 4.5, true } }) {
        std::vector<float> whole = source;
        ApplyShape(plan, whole.data(), frames, channels, 0, frames, rate);
        std::vector<float> blocks = source;
        std::uniform_int_distribution<int64_t> size(1, 3000);
        for (int64_t at = 0; at < frames;) {
            const int64_t n = std::min(size(random), frames - at);
            ApplyShape(plan, blocks.data() + at * channels, n, channels, at, frames, rate);
            at += n;
        }
        EXPECT_EQ(whole, blocks);
        EXPECT_NE(whole, source);
    }
}

} // namespace

namespace {

// An Ogg Vorbis file FFmpeg refuses measures, through libvorbisfile, as the
// same file undamaged measures through FFmpeg: a whole stretch, and halves
// decoded side by side from an exact seek.
TEST(Loudness, OggFfmpegRefusesMeasuresAsTheSoundItHolds)
{
    const std::string clean = MakeTone("clean.ogg", "0.5*sin(2*PI*440*t)*(1+0.5*sin(2*PI*t))", 2, 8.0);
    ASSERT_FALSE(clean.empty()) << "ffmpeg could not make the test Ogg";
    const std::string damaged = Dir() + "damaged.ogg";
    std::filesystem::copy_file(clean, damaged, std::filesystem::copy_options::overwrite_existing);
    ASSERT_TRUE(testmedia::DamageOgg(damaged));
    for (auto [from, to] : {std::pair<int64_t, int64_t>{0, 2000}, {2500, 7500}}) {
        SCOPED_TRACE(from);
        const TLoudness want = MeasureLoudness(clean, from, to);
        const TLoudness got = MeasureLoudness(damaged, from, to);
        ASSERT_TRUE(want.Ok) << want.Error;
        ASSERT_TRUE(got.Ok) << got.Error;
        EXPECT_NEAR(got.IntegratedLufs, want.IntegratedLufs, 0.1);
        EXPECT_NEAR(got.TruePeakDbtp, want.TruePeakDbtp, 0.1);
    }
}

} // namespace
