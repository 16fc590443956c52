#include "Chorus.h"
#include "Chroma.h"
#include "SynthSongs.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <map>
#include <stdexcept>
#include <string>

namespace {

using synth::TChord;
using synth::TSection;

TChord Maj(int root)
{
    return {root, false};
}
TChord Min(int root)
{
    return {root, true};
}

struct TSongCase {
    std::string Name;
    double Bpm;
    std::vector<TSection> Sections;
    bool GiveBars;
};

// Sections of one song: intro, verse, chorus, bridge, outro, each its own material.
struct TMaterial {
    TSection I, V, C, B, O;
};

std::vector<TSection> Arrange(const TMaterial& m, const std::string& order)
{
    std::vector<TSection> out;
    for (char k : order) {
        out.push_back(k == 'I'         ? m.I
                : k == 'V' || k == 'v' ? m.V
                : k == 'C' || k == 'c' ? m.C
                : k == 'B'             ? m.B
                                       : m.O);
        // Lower case: the section played again with another melody (new
        // words in a verse, an ad-lib over the last chorus), a little louder.
        if (k == 'v' || k == 'c') {
            out.back().MelodySeed += 1000;
            out.back().Gain *= 1.2f;
        }
    }
    return out;
}

const std::vector<TSongCase>& Songs()
{
    static const std::vector<TSongCase> songs = [] {
        std::vector<TSongCase> v;
        // C major, the chorus the loudest.
        TMaterial a{{'I', 4, {Maj(5), Maj(7)}, 1, 0, 0, 0.5f, false},
            {'V', 8, {Min(9), Min(4), Maj(5), Maj(7)}, 11, 0, 2, 0.6f, true},
            {'C', 8, {Maj(0), Maj(7), Min(2), Maj(5)}, 22, 1, 1, 1.0f, true},
            {'B', 8, {Maj(10), Maj(5), Min(2), Min(4)}, 33, 3, 3, 0.7f, false},
            {'O', 4, {Maj(0), Maj(5)}, 44, 0, 0, 0.4f, false}};
        v.push_back({"LoudestChorus", 100, Arrange(a, "IVCvCBCcO"), true});
        // G major, chorus and verse alike in level; the chorus twice in a row mid-song.
        TMaterial b{{'I', 4, {Maj(7)}, 5, 2, 0, 0.7f, true},
            {'V', 8, {Maj(7), Min(4), Min(9), Maj(2), Min(4), Min(11), Min(9), Maj(2)}, 15, 2, 0, 0.8f, true},
            {'C', 12,
                {Maj(0), Maj(2), Min(11), Min(4), Maj(0), Maj(2), Maj(7), Min(4), Maj(0), Maj(2), Min(9),
                    Maj(2)},
                25, 1, 3, 0.8f, true},
            {'B', 8, {Min(9), Maj(0), Min(9), Maj(2)}, 35, 0, 2, 0.8f, true},
            {'O', 4, {Maj(7), Maj(0)}, 45, 2, 0, 0.6f, false}};
        v.push_back({"LevelChorus", 120, Arrange(b, "IVCVCCBCO"), false});
        // D major, the chorus quieter than the verse and the bridge.
        TMaterial c{{'I', 4, {Maj(2), Maj(9)}, 6, 3, 3, 0.8f, false},
            {'V', 8, {Maj(2), Min(11), Maj(7), Maj(9)}, 16, 1, 1, 1.0f, true},
            {'C', 8, {Min(4), Maj(9), Min(6), Maj(7)}, 26, 0, 0, 0.55f, false},
            {'B', 8, {Min(11), Maj(7), Maj(2), Maj(9)}, 36, 2, 1, 1.0f, true},
            {'O', 4, {Maj(2)}, 46, 3, 3, 0.7f, false}};
        v.push_back({"QuietChorus", 90, Arrange(c, "IVCvCBcO"), true});
        // A minor; verse and chorus share their chords in another order.
        TMaterial d{{'I', 4, {Min(9)}, 7, 0, 2, 0.6f, false},
            {'V', 8, {Min(9), Maj(5), Maj(0), Maj(7)}, 17, 0, 2, 0.8f, true},
            {'C', 8, {Maj(5), Maj(7), Maj(0), Min(9)}, 27, 1, 1, 0.9f, true},
            {'B', 8, {Min(2), Min(4), Maj(5), Maj(5)}, 37, 3, 0, 0.7f, true},
            {'O', 4, {Min(9), Maj(5)}, 47, 0, 2, 0.5f, false}};
        v.push_back({"SharedChords", 104, Arrange(d, "IVCVCBCCO"), false});
        // E major, fast, no intro: four choruses, the song ending on one.
        TMaterial e{{'I', 4, {Maj(4)}, 8, 0, 0, 0.6f, false},
            {'V', 16, {Maj(4), Maj(11), Min(1), Maj(9), Min(6), Maj(11), Maj(4), Maj(11)}, 18, 2, 2, 0.85f,
                true},
            {'C', 16, {Maj(9), Maj(4), Maj(11), Min(1), Maj(9), Maj(11), Maj(4), Maj(4)}, 28, 1, 3, 0.85f,
                true},
            {'B', 8, {Min(6), Min(8), Maj(9), Maj(11)}, 38, 3, 1, 0.9f, true},
            {'O', 4, {Maj(4)}, 48, 0, 0, 0.5f, false}};
        v.push_back({"FastFourChoruses", 150, Arrange(e, "VCvCBCc"), true});
        return v;
    }();
    return songs;
}

struct TAnalysed {
    synth::TSong Song;
    music::TFeatureFrames Frames;
};

const TAnalysed& Analysed(const TSongCase& c)
{
    static std::map<std::string, TAnalysed> cache;
    auto it = cache.find(c.Name);
    if (it == cache.end()) {
        TAnalysed a;
        a.Song = synth::Render(c.Sections, c.Bpm);
        a.Frames = music::ExtractFeatures(a.Song.Samples.data(), a.Song.Samples.size(), a.Song.Rate);
        it = cache.emplace(c.Name, std::move(a)).first;
    }
    return it->second;
}

music::TChorusSuggestion Suggest(const TSongCase& c, const music::TChorusRequest& request = {})
{
    const TAnalysed& a = Analysed(c);
    return music::SuggestChorus(
        a.Frames, a.Song.Beats, c.GiveBars ? a.Song.Bars : std::vector<double>{}, request);
}

// The chorus the suggestion starts in, when it starts within a second of its start.
const std::pair<double, double>* ChorusAtStart(const synth::TSong& song, double start)
{
    static std::pair<double, double> found;
    for (const auto& c : song.Sections('C'))
        if (std::abs(start - c.first) <= 1.0) {
            found = c;
            return &found;
        }
    return nullptr;
}

class ChorusSongs : public testing::TestWithParam<size_t> { };

TEST_P(ChorusSongs, StartsAtAChorusAndItsFirst15SecondsAreChorus)
{
    const TSongCase& c = Songs()[GetParam()];
    const synth::TSong& song = Analysed(c).Song;
    const music::TChorusSuggestion r = Suggest(c);
    EXPECT_TRUE(r.Repeated);
    const auto* chorus = ChorusAtStart(song, r.StartSeconds);
    ASSERT_NE(chorus, nullptr) << c.Name << ": suggested " << r.StartSeconds;
    EXPECT_GE(r.StartSeconds, chorus->first - 0.05) << c.Name;
    EXPECT_LE(r.StartSeconds + 15, chorus->second + 0.05) << c.Name;
    EXPECT_NEAR(r.EndSeconds, std::min(song.Duration(), r.StartSeconds + 30), 1e-9) << c.Name;
    // A beat, or a bar start where bars were given.
    const auto& grid = c.GiveBars ? song.Bars : song.Beats;
    const bool onGrid = std::any_of(
        grid.begin(), grid.end(), [&](double b) { return std::abs(b - r.StartSeconds) < 1e-9; });
    EXPECT_TRUE(onGrid) << c.Name << ": " << r.StartSeconds;
}

INSTANTIATE_TEST_SUITE_P(Songs, ChorusSongs, testing::Range<size_t>(0, 5),
    [](const testing::TestParamInfo<size_t>& info) { return Songs()[info.param].Name; });

// Requested length and the caller's limit, on the song with the chorus near the end.
TEST(ChorusLength, RequestedLengthIsHonouredAndClampedToTheLimitAndTheSong)
{
    const TSongCase& c = Songs()[0];
    const double duration = Analysed(c).Song.Duration();
    struct TRow {
        double Length, Max, Expected;
    };
    const TRow rows[] = {
        {20, 0, 20},
        {40, 0, 40},
        {0, 0, 30}, // no length: 30 s
        {40, 25, 25}, // the phone plays 25 s at most
        {10, 25, 10},
    };
    for (const TRow& row : rows) {
        const music::TChorusSuggestion r = Suggest(c, {row.Length, row.Max});
        ASSERT_NE(ChorusAtStart(Analysed(c).Song, r.StartSeconds), nullptr) << row.Length;
        EXPECT_NEAR(r.EndSeconds - r.StartSeconds, std::min(row.Expected, duration - r.StartSeconds), 1e-9)
            << row.Length << " max " << row.Max;
    }
    // Longer than the song: the song's end.
    const music::TChorusSuggestion whole = Suggest(c, {600, 0});
    EXPECT_GE(whole.StartSeconds, 0);
    EXPECT_NEAR(whole.EndSeconds, duration, 1e-6);
}

// Every section different: no repetition, so the loudest stretch, said so.
TEST(ChorusNoRepetition, SuggestsTheLoudestStretchAndSaysNothingRepeats)
{
    std::vector<TSection> sections;
    synth::detail::TRandom random{99u};
    for (int i = 0; i < 6; ++i) {
        TSection s;
        s.Kind = i == 3 ? 'L' : 'X';
        s.Bars = 8;
        for (int b = 0; b < 8; ++b)
            s.Chords.push_back({static_cast<int>(random.Next() % 12), (random.Next() & 1) != 0});
        s.MelodySeed = 100 + i;
        s.PadSound = i % 4;
        s.LeadSound = (i + 1) % 4;
        s.Gain = i == 3 ? 1.0f : 0.45f;
        sections.push_back(s);
    }
    const synth::TSong song = synth::Render(sections, 100);
    const music::TFeatureFrames frames
        = music::ExtractFeatures(song.Samples.data(), song.Samples.size(), song.Rate);
    const auto loud = song.Sections('L').front();
    for (const bool bars : {false, true}) {
        const music::TChorusSuggestion r
            = music::SuggestChorus(frames, song.Beats, bars ? song.Bars : std::vector<double>{}, {15, 0});
        EXPECT_FALSE(r.Repeated);
        EXPECT_GE(r.StartSeconds, loud.first - 0.05);
        EXPECT_LE(r.EndSeconds, loud.second + 0.05);
        EXPECT_NEAR(r.EndSeconds - r.StartSeconds, 15, 1e-9);
        const auto& grid = bars ? song.Bars : song.Beats;
        EXPECT_TRUE(std::any_of(
            grid.begin(), grid.end(), [&](double b) { return std::abs(b - r.StartSeconds) < 1e-9; }));
    }
}

// A decoder hands over blocks of whatever size: the frames do not depend on it.
TEST(ChorusFeatures, FramesDoNotDependOnTheBlockSizesFed)
{
    const synth::TSong& song = Analysed(Songs()[2]).Song;
    const music::TFeatureFrames whole = Analysed(Songs()[2]).Frames;
    music::TFeatureExtractor extractor(song.Rate);
    size_t at = 0, block = 1;
    while (at < song.Samples.size()) {
        const size_t n = std::min(block, song.Samples.size() - at);
        extractor.Feed(song.Samples.data() + at, n);
        at += n;
        block = block * 7 % 5003 + 1;
    }
    const music::TFeatureFrames parts = extractor.Finish();
    ASSERT_EQ(parts.Count(), whole.Count());
    EXPECT_EQ(parts.Chroma, whole.Chroma);
    EXPECT_EQ(parts.Bands, whole.Bands);
    EXPECT_EQ(parts.Energy, whole.Energy);
    EXPECT_DOUBLE_EQ(parts.DurationSeconds, song.Duration());
    // About ten frames a second, covering the song.
    EXPECT_NEAR(whole.HopSeconds, 0.093, 0.01);
    EXPECT_NEAR(whole.FrameTime(whole.Count() - 1), song.Duration(), 0.2);
    // The extractor starts again empty.
    EXPECT_EQ(extractor.Finish().Count(), 0u);
}

// A pure tone lands in its own pitch class, at every common rate.
TEST(ChorusFeatures, ToneLandsInItsPitchClass)
{
    for (const int rate : {8000, 11025, 22050, 44100, 48000}) {
        for (const int note : {57, 64, 70}) { // A3, E4, A#4
            std::vector<float> tone(static_cast<size_t>(rate * 2));
            const double hz = 440.0 * std::pow(2.0, (note - 69) / 12.0);
            for (size_t i = 0; i < tone.size(); ++i)
                tone[i] = static_cast<float>(0.5 * std::sin(2 * 3.141592653589793 * hz * i / rate));
            const music::TFeatureFrames f = music::ExtractFeatures(tone.data(), tone.size(), rate);
            ASSERT_GT(f.Count(), 10u);
            const size_t mid = f.Count() / 2;
            const float* c = &f.Chroma[mid * music::ChromaBins];
            const int top = static_cast<int>(std::max_element(c, c + music::ChromaBins) - c);
            EXPECT_EQ(top, note % 12) << rate << " Hz, note " << note;
            EXPECT_NEAR(f.Energy[mid], 0.125, 0.01) << rate;
        }
    }
}

TEST(ChorusInput, OddInputGivesAnAnswerNotACrash)
{
    EXPECT_THROW(music::TFeatureExtractor(0), std::invalid_argument);
    const music::TFeatureFrames none = music::ExtractFeatures(nullptr, 0, 44100);
    const music::TChorusSuggestion r = music::SuggestChorus(none, {}, {});
    EXPECT_FALSE(r.Repeated);
    EXPECT_EQ(r.StartSeconds, 0);
    EXPECT_EQ(r.EndSeconds, 0);
    // Silence, no beats, odd beats: a stretch inside the sound.
    std::vector<float> quiet(11025 * 20, 0.0f);
    const music::TFeatureFrames silent = music::ExtractFeatures(quiet.data(), quiet.size(), 11025);
    for (const std::vector<double>& beats : {std::vector<double>{}, std::vector<double>{5, 3, -1, NAN, 1e9},
             std::vector<double>{0, 0, 0, 0, 0, 0, 0, 0, 0, 0}}) {
        const music::TChorusSuggestion s = music::SuggestChorus(silent, beats, {NAN}, {30, 0});
        EXPECT_FALSE(s.Repeated);
        EXPECT_GE(s.StartSeconds, 0);
        EXPECT_NEAR(s.EndSeconds, 20, 1e-6);
    }
}

} // namespace
