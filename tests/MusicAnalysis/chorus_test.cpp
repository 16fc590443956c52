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
    for (char k : order)
        out.push_back(k == 'I' ? m.I : k == 'V' ? m.V : k == 'C' ? m.C : k == 'B' ? m.B : m.O);
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
        v.push_back({"LoudestChorus", 100, Arrange(a, "IVCVCBCCO"), true});
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
        v.push_back({"QuietChorus", 90, Arrange(c, "IVCVCBCO"), true});
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
        v.push_back({"FastFourChoruses", 150, Arrange(e, "VCVCBCC"), true});
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

} // namespace
