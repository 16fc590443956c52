// The song analysis sink: however a decoder hands over its blocks (planar or
// interleaved, any channel count, any block size, a rate that changes), the
// beats found are those the groove was written on.
#include "SongAnalysis.h"
#include "SongFile.h"
#include "SynthDrums.h"
#include "TestMedia.h"

#include <gtest/gtest.h>

#include <atomic>
#include <cmath>
#include <limits>
#include <stdexcept>
#include <string>
#include <vector>

namespace {

using mplayer_detail::TSongAnalysisSink;

// F-measure of found beats against written ones, +-70 ms, each matched once.
double FMeasure(const std::vector<double>& found, const std::vector<double>& truth)
{
    std::vector<bool> used(truth.size(), false);
    int hits = 0;
    for (const double b : found)
        for (size_t j = 0; j < truth.size(); ++j)
            if (!used[j] && std::abs(truth[j] - b) <= 0.07) {
                used[j] = true;
                ++hits;
                break;
            }
    if (hits == 0)
        return 0;
    const double p = static_cast<double>(hits) / static_cast<double>(found.size());
    const double r = static_cast<double>(hits) / static_cast<double>(truth.size());
    return 2 * p * r / (p + r);
}

struct TLayout {
    const char* Name;
    int Channels;
    bool Interleaved;
    size_t Block; // frames a block; 0: irregular sizes
    bool HalfRateSecondHalf; // the second half at half the rate, as a chained stream might be
    bool Damaged; // a stretch of NaN, infinite and huge samples in one channel
};

// The groove (mono, 44.1 kHz) fed through the sink as a decoder of `layout` would.
mplayer_detail::TSongAnalysis Analyse(const std::vector<float>& mono, const TLayout& layout)
{
    TSongAnalysisSink sink;
    const size_t half = layout.HalfRateSecondHalf ? mono.size() / 2 : mono.size();
    const auto channels = static_cast<size_t>(layout.Channels);
    std::vector<std::vector<float>> planes(channels);
    std::vector<float> interleaved;
    size_t at = 0, irregular = 1;
    while (at < mono.size()) {
        const bool slow = at >= half;
        const int rate = slow ? drums::kRate / 2 : drums::kRate;
        size_t n = layout.Block ? layout.Block : irregular;
        irregular = irregular * 13 % 4099 + 1;
        const size_t step = slow ? 2 : 1;
        size_t frames = 0;
        for (auto& p : planes)
            p.clear();
        interleaved.clear();
        for (; frames < n && at < mono.size() && (slow || at < half); ++frames, at += step) {
            for (size_t c = 0; c < channels; ++c) {
                float x = mono[at];
                // The channels differ, and their mix is the groove.
                x = c % 2 ? x * 0.5F : x * 1.5F;
                if (channels % 2 == 1)
                    x = mono[at];
                if (layout.Damaged && c == 0 && at > mono.size() / 3 && at < mono.size() / 3 + 2000)
                    x = at % 3 == 0   ? std::numeric_limits<float>::quiet_NaN()
                        : at % 3 == 1 ? std::numeric_limits<float>::infinity()
                                      : 1e20F;
                planes[c].push_back(x);
                interleaved.push_back(x);
            }
        }
        if (frames == 0)
            break;
        if (layout.Interleaved) {
            const float* data = interleaved.data();
            sink.Feed(&data, layout.Channels, true, frames, rate);
        } else {
            std::vector<const float*> data;
            for (const auto& p : planes)
                data.push_back(p.data());
            sink.Feed(data.data(), layout.Channels, false, frames, rate);
        }
    }
    return sink.Finish();
}

} // namespace

TEST(SongAnalysisSink, EveryBlockLayoutFindsTheWrittenBeats)
{
    const drums::TSong groove = drums::Groove({.Bpm = 126, .Seconds = 20, .Seed = 3});
    const TLayout layouts[] = {
        {"mono, one block", 1, true, groove.Samples.size(), false, false},
        {"stereo planar, MP3 frames", 2, false, 1152, false, false},
        {"stereo interleaved, irregular blocks", 2, true, 0, false, false},
        {"six channels planar, tiny blocks", 6, false, 7, false, false},
        {"rate halved midway", 2, false, 1024, true, false},
        {"NaN, infinite and huge samples", 2, true, 4096, false, true},
    };
    for (const TLayout& layout : layouts) {
        SCOPED_TRACE(layout.Name);
        const mplayer_detail::TSongAnalysis song = Analyse(groove.Samples, layout);
        EXPECT_TRUE(song.Grid.Steady);
        EXPECT_NEAR(song.Grid.TempoBpm, 126, 126 * 0.02);
        EXPECT_GE(FMeasure(song.Grid.Beats, groove.Beats), 0.9);
        EXPECT_NEAR(song.DurationSeconds, 20, 0.05);
        EXPECT_FALSE(song.Features.Energy.empty());
        EXPECT_TRUE(std::all_of(song.Features.Energy.begin(), song.Features.Energy.end(),
            [](float e) { return std::isfinite(e); }));
        const music::TChorusSuggestion pick = song.SuggestChorus(8);
        EXPECT_NEAR(pick.EndSeconds - pick.StartSeconds, 8, 1e-6);
    }
}

TEST(SongAnalysisSink, FinishingTwiceGivesTheSameAndLaterBlocksAreIgnored)
{
    const drums::TSong groove = drums::Groove({.Bpm = 100, .Seconds = 12, .Seed = 5});
    TSongAnalysisSink sink;
    const float* data = groove.Samples.data();
    sink.Feed(&data, 1, true, groove.Samples.size(), drums::kRate);
    const auto first = sink.Finish();
    sink.Feed(&data, 1, true, groove.Samples.size(), drums::kRate);
    const auto second = sink.Finish();
    EXPECT_EQ(first.Grid.Beats, second.Grid.Beats);
    EXPECT_EQ(first.Features.Energy, second.Features.Energy);
    EXPECT_NEAR(second.DurationSeconds, 12, 0.05);

    // Nothing fed, or only blocks no decoder can mean: no beat, no sound, no throw.
    TSongAnalysisSink empty;
    empty.Feed(&data, 0, true, 100, drums::kRate);
    empty.Feed(&data, 1, true, 100, 0);
    empty.Feed(nullptr, 1, true, 100, drums::kRate);
    const auto none = empty.Finish();
    EXPECT_FALSE(none.Grid.Steady);
    EXPECT_EQ(none.DurationSeconds, 0);
    EXPECT_EQ(none.SuggestChorus(30).EndSeconds, 0);
}

// The whole-file analysis reads every block to the file's end, and says which
// step failed otherwise.
TEST(SongFileAnalysis, ReadsTheWholeFileOrSaysWhyNot)
{
    const std::string dir = testmedia::TempDir("song-file-analysis");
    const std::string tone = dir + "/tone.mp3", joined = dir + "/joined.mp3";
    ASSERT_TRUE(testmedia::MakeMp3(tone, 6));
    ASSERT_TRUE(testmedia::MakeJoinedMp3(joined));
    const auto song = mplayer_detail::AnalyseSongFile(tone, nullptr);
    EXPECT_NEAR(song.DurationSeconds, 6, 0.05);
    EXPECT_FALSE(song.Grid.Steady); // a steady tone has no beat
    // 8 kHz mono then 44.1 kHz stereo: both parts, at one rate.
    EXPECT_NEAR(mplayer_detail::AnalyseSongFile(joined, nullptr).DurationSeconds, 2, 0.1);

    const std::atomic<bool> cancelled = true;
    const struct {
        std::string path;
        const std::atomic<bool>* cancel;
        std::string message; // part of the error's text
    } cases[] = {
        {tone, &cancelled, "cancelled"},
        {dir + "/missing.mp3", nullptr, "Cannot open file"},
        {dir, nullptr, "it is a folder"},
    };
    for (const auto& c : cases) {
        try {
            mplayer_detail::AnalyseSongFile(c.path, c.cancel);
            ADD_FAILURE() << c.path << ": no error";
        } catch (const std::runtime_error& e) {
            EXPECT_NE(std::string(e.what()).find(c.message), std::string::npos) << e.what();
        }
    }
}
