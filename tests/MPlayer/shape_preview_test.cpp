// The preview plays what the saved ringtone will hold: the samples the device
// hands to the sound output, for a steady tone, against the shaping applied
// to the source itself.
#include "MPlayer.h"
#include "RingtoneShape.h"
#include "TestMedia.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <mutex>
#include <utility>
#include <vector>

using namespace std::chrono_literals;

namespace {

constexpr int kRate = 22050;
constexpr int kChannels = 2;
constexpr int kSeconds = 8;

// A 440 Hz tone, left at a quarter of full scale, right at an eighth.
int16_t Tone(int64_t frame, int channel)
{
    const double amplitude = channel == 0 ? 8192 : 4096;
    return static_cast<int16_t>(std::lrint(amplitude * std::sin(2 * M_PI * 440 * frame / kRate)));
}

int64_t Frames(int ms)
{
    return int64_t{ms} * kRate / 1000;
}

// Source frames [fromMs, toMs), shaped as frames of the selection
// [selFromMs, selToMs) when `plan` is given.
std::vector<int16_t> Expected(
    int fromMs, int toMs, const ringtone::TShapePlan* plan, int selFromMs, int selToMs)
{
    std::vector<float> x;
    for (int64_t n = Frames(fromMs); n < Frames(toMs); ++n)
        for (int c = 0; c < kChannels; ++c)
            x.push_back(Tone(n, c) / 32768.0f);
    if (plan)
        ringtone::ApplyShape(*plan, x.data(), static_cast<int64_t>(x.size()) / kChannels, kChannels,
            Frames(fromMs) - Frames(selFromMs), Frames(selToMs) - Frames(selFromMs), kRate);
    std::vector<int16_t> out;
    for (float v : x)
        out.push_back(static_cast<int16_t>(std::clamp(std::lrint(v * 32768.0f), -32768L, 32767L)));
    return out;
}

// Largest left-channel magnitude over [fromMs, toMs) of what was played.
int Peak(const std::vector<int16_t>& s, int fromMs, int toMs)
{
    int peak = 0;
    for (int64_t n = Frames(fromMs); n < Frames(toMs) && n * kChannels < static_cast<int64_t>(s.size()); ++n)
        peak = std::max(peak, std::abs(static_cast<int>(s[static_cast<size_t>(n * kChannels)])));
    return peak;
}

enum class TOp { PlaySelection, PlayLoop, PlayFromCursor };

struct TCase {
    const char* Name;
    TOp Op;
    int FromMs, ToMs; // the selection, or the cursor and the end of the file
    ringtone::TShapePlan Plan;
    std::vector<std::pair<int, int>> PartsMs; // source heard, in order
    int QuietMs; // points in the output, ms, that must be near silence
    int FullMs; // a point in the output at the plan's full level
    int RestMs; // Position() once done
};

TEST(ShapePreview, OutputSoundsLikeTheSavedRingtone)
{
    const std::string path = testmedia::TempDir("shape-preview") + "tone.wav";
    testmedia::WriteWav(path, kRate, kChannels, Frames(kSeconds * 1000), Tone);

    const TCase cases[] = {
        {"selection, 1 s in, 2 s out, -6 dB", TOp::PlaySelection, 1000, 4500, {1000, 2000, -6.0, false},
            {{1000, 4500}}, 0, 1200, 4500},
        {"loop of 7 s, +3 dB limited", TOp::PlayLoop, 500, 7500, {1000, 2000, 3.0, true},
            {{4500, 7500}, {500, 3500}}, 3000, 4500, 3500},
        {"loop of 4 s: half into half", TOp::PlayLoop, 2000, 6000, {500, 500, 0.0, false},
            {{4000, 6000}, {2000, 4000}}, 2000, 1000, 4000},
        {"on from the cursor: as the file holds it", TOp::PlayFromCursor, 7000, 8000,
            {3000, 3000, -20.0, true}, {{7000, 8000}}, -1, 500, 8000},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.Name);
        TMediaPlayer mp;
        mp.FileName = path;
        mp.Open();
        std::mutex m;
        std::vector<int16_t> played;
        mp.SetOutputTap([&](const int16_t* s, size_t n) {
            std::lock_guard<std::mutex> lk(m);
            played.insert(played.end(), s, s + n);
        });
        mp.SetShape(c.Plan);
        if (c.Op == TOp::PlaySelection) {
            mp.SetStartPos(c.FromMs);
            mp.SetEndPos(c.ToMs);
            mp.Play();
        } else if (c.Op == TOp::PlayLoop) {
            mp.PlayLoop(c.FromMs, c.ToMs);
        } else {
            mp.Seek(c.FromMs);
            mp.Play();
        }
        ASSERT_EQ(mp.LastError(), 0u) << mp.ErrorMessage();
        EXPECT_EQ(mp.Mode(), TMediaPlayer::mpPlaying);
        ASSERT_TRUE(testmedia::WaitFor([&] { return mp.Mode() == TMediaPlayer::mpStopped; }, 30s));
        EXPECT_EQ(mp.Position(), c.RestMs);
        // The plan a preview applied stays readable for the window's own check.
        const bool shaped = c.Op != TOp::PlayFromCursor;
        const ringtone::TShapePlan applied = mp.AppliedShape(),
                                   want = shaped ? c.Plan : ringtone::TShapePlan{};
        EXPECT_TRUE(applied.FadeInMs == want.FadeInMs && applied.FadeOutMs == want.FadeOutMs
            && applied.GainDb == want.GainDb && applied.Limit == want.Limit);
        std::vector<int16_t> expected;
        for (const auto& [from, to] : c.PartsMs) {
            const auto part = Expected(from, to, shaped ? &c.Plan : nullptr, c.FromMs, c.ToMs);
            expected.insert(expected.end(), part.begin(), part.end());
        }
        std::lock_guard<std::mutex> lk(m);
        // Nothing missing, nothing added (no gap at a loop's join).
        ASSERT_NEAR(static_cast<double>(played.size()), static_cast<double>(expected.size()), kChannels);
        size_t worst = 0;
        for (size_t i = 0; i < std::min(played.size(), expected.size()); ++i)
            if (std::abs(played[i] - expected[i]) > std::abs(played[worst] - expected[worst]))
                worst = i;
        EXPECT_LE(std::abs(played[worst] - expected[worst]), 1)
            << "at frame " << worst / kChannels << ": " << played[worst] << " for " << expected[worst];

        const int lengthMs = static_cast<int>(played.size() / kChannels * 1000 / kRate);
        const double full = 8192 * (shaped ? std::pow(10.0, c.Plan.GainDb / 20) : 1.0);
        const double ceiling = c.Plan.Limit && shaped ? 32768 * ringtone::CeilingLinear() : 32767;
        EXPECT_NEAR(Peak(played, c.FullMs, c.FullMs + 20), std::min(full, ceiling), 0.01 * full);
        if (shaped && c.Op == TOp::PlaySelection) {
            // Rises from and falls to silence at the edges.
            EXPECT_LE(Peak(played, 0, 10), 0.01 * full);
            EXPECT_LE(Peak(played, lengthMs - 10, lengthMs), 0.01 * full);
        }
        if (c.QuietMs > 0) {
            // A loop falls to silence and rises again at its join.
            EXPECT_LE(Peak(played, c.QuietMs - 10, c.QuietMs + 10), 0.025 * full);
        }
        if (!shaped) {
            EXPECT_GE(Peak(played, 0, 10), 0.9 * full);
        }
    }

    // Nothing to loop: refused, nothing plays.
    TMediaPlayer mp;
    mp.FileName = path;
    mp.Open();
    for (auto [from, to] : {std::pair{1500, 1500}, std::pair{-10, 500}, std::pair{9000, 9500}}) {
        mp.PlayLoop(from, to);
        EXPECT_EQ(mp.LastError(), MCIERR_OUTOFRANGE) << from << " to " << to;
        EXPECT_EQ(mp.Mode(), TMediaPlayer::mpStopped);
    }
}

} // namespace
