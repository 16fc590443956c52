// A selection marked to the hundredth (20.35 s to 32.80 s) saved as every
// ringtone type: 12.45 s long, and for MP3 and Ogg beginning with the source's
// sound at 20.35 s. A malformed fractional time is refused in one line.
#include "av_child.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <vector>

namespace {

using namespace avtest;

constexpr int Rate = 44100;

// Decoded mono samples of a whole file at 44.1 kHz, from `from` seconds on
// for `seconds` (all of it when 0).
std::vector<float> decode(const fs::path& file, const fs::path& dir, double from = 0, double seconds = 0)
{
    const fs::path raw = dir / (file.filename().string() + ".f32");
    std::vector<std::string> args{"/usr/bin/ffmpeg", "-nostdin", "-v", "error", "-y", "-i", file.string()};
    if (seconds > 0)
        args.insert(args.end(),
            {"-af", "atrim=start=" + std::to_string(from) + ":duration=" + std::to_string(seconds)});
    args.insert(args.end(), {"-ac", "1", "-ar", std::to_string(Rate), "-f", "f32le", raw.string()});
    const Result r = run(args);
    EXPECT_EQ(r.exitCode(), 0) << r.errors;
    const std::string bytes = readAll(raw);
    std::vector<float> samples(bytes.size() / sizeof(float));
    std::memcpy(samples.data(), bytes.data(), samples.size() * sizeof(float));
    return samples;
}

// The lag (samples, within +-maxLag) at which `part` best matches `reference`
// from `at` on, and the normalised correlation there.
std::pair<int, double> bestLag(const std::vector<float>& reference, size_t at, const std::vector<float>& part,
    size_t from, size_t length, int maxLag)
{
    std::pair<int, double> best{0, -2};
    for (int lag = -maxLag; lag <= maxLag; ++lag) {
        double xy = 0, xx = 0, yy = 0;
        for (size_t i = 0; i < length; ++i) {
            const double x = reference.at(static_cast<size_t>(static_cast<long>(at + i) + lag));
            const double y = part.at(from + i);
            xy += x * y;
            xx += x * x;
            yy += y * y;
        }
        const double c = xy / std::sqrt(xx * yy + 1e-30);
        if (c > best.second)
            best = {lag, c};
    }
    return best;
}

TEST(FineCut, ASelectionMarkedToTheHundredthIsCutThere)
{
    std::string templ = (fs::temp_directory_path() / "av fine XXXXXX").string();
    ASSERT_NE(mkdtemp(templ.data()), nullptr);
    const fs::path dir = templ;
    // A rising tone under a slow tremolo: every stretch sounds unlike its
    // neighbours, so a cut in the wrong place does not match.
    const fs::path source = dir / "song.mp3";
    Result r = run({"/usr/bin/ffmpeg", "-nostdin", "-v", "error", "-f", "lavfi", "-i",
        "aevalsrc='0.5*sin(2*PI*(200+50*t)*t)*(0.6+0.4*sin(2*PI*3*t))':s=44100:d=40", "-ac", "2", "-c:a",
        "libmp3lame", "-b:a", "192k", source.string()});
    ASSERT_EQ(r.exitCode(), 0) << r.errors;
    // The source as the ringtone should begin: from 20.35 s, one second before and after.
    const std::vector<float> around = decode(source, dir, 19.35, 3);

    const struct {
        const char* name;
        bool compare; // its first samples against the source
    } targets[] = {{"ring.mp3", true}, {"ring.ogg", true}, {"ring.amr", false}, {"ring.m4r", false}};
    for (const auto& t : targets) {
        SCOPED_TRACE(t.name);
        const fs::path target = dir / t.name;
        r = run(lineFor(source, "00:00:20.350", "00:00:12.450", target));
        ASSERT_EQ(r.exitCode(), 0) << r.errors;
        const std::vector<float> ring = decode(target, dir);
        EXPECT_NEAR(static_cast<double>(ring.size()) / Rate, 12.45, 0.02);
        if (!t.compare)
            continue;
        // From 50 ms in (past the edge fade) for 0.4 s, within 20 ms either way.
        const size_t from = Rate / 20, length = Rate * 2 / 5;
        const auto [lag, correlation] = bestLag(around, Rate + from, ring, from, length, Rate / 50);
        EXPECT_GT(correlation, 0.9);
        EXPECT_LE(std::abs(lag), Rate / 1000) << "off by " << lag << " samples";
    }

    // Malformed fractional times are refused in one line, and nothing is written.
    for (const char* bad : {"00:00:20.", "00:00:20.3500", "00:00:20,35", "00:00:20.-5", "00:00:20.3e1"}) {
        SCOPED_TRACE(bad);
        const fs::path target = dir / "bad.mp3";
        r = run(mp3Line(source, bad, "00:00:12.450", target));
        EXPECT_EQ(r.exitCode(), 2);
        EXPECT_EQ(std::count(r.errors.begin(), r.errors.end(), '\n'), 1) << r.errors;
        EXPECT_NE(r.errors.find("is not a time hh:mm:ss or hh:mm:ss.mmm"), std::string::npos) << r.errors;
        EXPECT_FALSE(fs::exists(target));
    }
    fs::remove_all(dir);
}

} // namespace
