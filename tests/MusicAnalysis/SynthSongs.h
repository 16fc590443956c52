// Songs made for the tests: sections of chords (a pad), a bass on each beat,
// a melody and drums, rendered from wavetables at a low rate. Each section
// kind has its own chords, melody and sounds; a section played again is the
// same music again, with fresh noise.
#pragma once

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>
#include <numbers>
#include <string>
#include <vector>

namespace synth {

struct TChord {
    int Root = 0; // pitch class, C = 0
    bool Minor = false;
};

struct TSection {
    char Kind = 'V'; // I intro, V verse, C chorus, B bridge, O outro, or any letter
    int Bars = 8;
    std::vector<TChord> Chords; // one per bar, repeated to fill the bars
    uint32_t MelodySeed = 1;
    int PadSound = 0; // 0..3
    int LeadSound = 1; // 0..3
    float Gain = 1.0f;
    bool Drums = true;
};

struct TSong {
    int Rate = 11025;
    double Bpm = 120;
    std::vector<float> Samples;
    std::vector<double> Beats; // seconds
    std::vector<double> Bars; // seconds
    std::vector<char> Kinds; // per section
    std::vector<double> SectionStarts; // per section, seconds, plus the end
    double Duration() const { return static_cast<double>(Samples.size()) / Rate; }
    // Start and end seconds of each section of the kind.
    std::vector<std::pair<double, double>> Sections(char kind) const
    {
        std::vector<std::pair<double, double>> out;
        for (size_t i = 0; i < Kinds.size(); ++i)
            if (Kinds[i] == kind)
                out.emplace_back(SectionStarts[i], SectionStarts[i + 1]);
        return out;
    }
};

namespace detail {

constexpr int TableSize = 2048;

struct TRandom {
    uint32_t State;
    uint32_t Next()
    {
        State = State * 1664525u + 1013904223u;
        return State >> 8;
    }
    float Uniform() { return static_cast<float>(Next() & 0xFFFF) / 65536.0f * 2 - 1; }
};

inline std::vector<float> Table(int sound)
{
    static const std::array<std::array<float, 6>, 4> harmonics = {{
        {1.0f, 0.3f, 0.1f, 0.0f, 0.0f, 0.0f}, // soft
        {1.0f, 0.5f, 0.33f, 0.25f, 0.2f, 0.16f}, // bright, saw-like
        {1.0f, 0.0f, 0.33f, 0.0f, 0.2f, 0.0f}, // hollow, square-like
        {0.6f, 1.0f, 0.0f, 0.5f, 0.0f, 0.3f}, // nasal
    }};
    std::vector<float> t(TableSize);
    for (int i = 0; i < TableSize; ++i) {
        double v = 0;
        for (int h = 0; h < 6; ++h)
            v += harmonics[sound & 3][h] * std::sin(2 * std::numbers::pi * (h + 1) * i / TableSize);
        t[i] = static_cast<float>(v);
    }
    return t;
}

inline double MidiHz(int note)
{
    return 440.0 * std::pow(2.0, (note - 69) / 12.0);
}

// Adds a note: a wavetable tone with a short attack and either a held level
// (decay <= 0) or an exponential decay (seconds).
inline void Note(std::vector<float>& out, int rate, const std::vector<float>& table, size_t start,
    size_t length, double hz, float amp, double decay)
{
    const double step = hz * TableSize / rate;
    const size_t attack = static_cast<size_t>(0.01 * rate);
    const size_t release = static_cast<size_t>(0.02 * rate);
    const double fall = decay > 0 ? std::exp(-1.0 / (decay * rate)) : 1.0;
    double phase = 0, level = amp;
    const size_t end = std::min(out.size(), start + length);
    for (size_t i = start; i < end; ++i) {
        const size_t k = i - start;
        double env = level;
        if (k < attack)
            env *= static_cast<double>(k) / attack;
        if (end - i < release)
            env *= static_cast<double>(end - i) / release;
        out[i] += static_cast<float>(env * table[static_cast<size_t>(phase) & (TableSize - 1)]);
        phase += step;
        if (phase >= TableSize)
            phase -= TableSize;
        level *= fall;
    }
}

} // namespace detail

// Renders the sections in order at the tempo; noise is the level of white
// noise added throughout (full scale 1.0).
inline TSong Render(const std::vector<TSection>& sections, double bpm, int rate = 11025, float noise = 0.01f)
{
    using namespace detail;
    TSong song;
    song.Rate = rate;
    song.Bpm = bpm;
    const double beat = 60.0 / bpm;
    int totalBars = 0;
    for (const TSection& s : sections)
        totalBars += s.Bars;
    song.Samples.assign(static_cast<size_t>(totalBars * 4 * beat * rate) + 1, 0.0f);
    std::array<std::vector<float>, 4> tables;
    for (int i = 0; i < 4; ++i)
        tables[i] = Table(i);
    const std::vector<float> sine = Table(0);
    TRandom drumNoise{12345u};
    auto at = [&](double seconds) { return static_cast<size_t>(seconds * rate); };

    double t = 0;
    for (const TSection& s : sections) {
        song.Kinds.push_back(s.Kind);
        song.SectionStarts.push_back(t);
        TRandom melody{s.MelodySeed};
        // The melody of a section: one note a beat from its chord or its scale.
        for (int bar = 0; bar < s.Bars; ++bar) {
            const TChord chord = s.Chords.empty() ? TChord{} : s.Chords[bar % s.Chords.size()];
            const double barStart = t + bar * 4 * beat;
            song.Bars.push_back(barStart);
            const int third = chord.Minor ? 3 : 4;
            const int tones[3] = {chord.Root, chord.Root + third, chord.Root + 7};
            for (int n = 0; n < 3; ++n)
                Note(song.Samples, rate, tables[s.PadSound], at(barStart), at(4 * beat),
                    MidiHz(48 + tones[n]), 0.12f * s.Gain, 0);
            for (int b = 0; b < 4; ++b) {
                const double bt = barStart + b * beat;
                song.Beats.push_back(bt);
                Note(song.Samples, rate, sine, at(bt), at(beat), MidiHz(36 + chord.Root), 0.25f * s.Gain,
                    0.25);
                const uint32_t r = melody.Next();
                const int steps[7] = {0, 2, 4, 5, 7, 9, 11};
                const int pitch = (r & 1) ? tones[(r >> 1) % 3] : chord.Root + steps[(r >> 3) % 7];
                Note(song.Samples, rate, tables[s.LeadSound], at(bt), at(beat * 0.9), MidiHz(72 + pitch % 12),
                    0.15f * s.Gain, 0.4);
                if (s.Drums) {
                    const size_t start = at(bt);
                    const size_t len
                        = std::min(song.Samples.size() - std::min(start, song.Samples.size()), at(0.08));
                    for (size_t i = 0; i < len; ++i) {
                        const float env = std::exp(-static_cast<float>(i) / (0.02f * rate));
                        const float hit
                            = (b % 2 == 0) ? std::sin(2 * 3.14159f * 55.0f * i / rate) : drumNoise.Uniform();
                        song.Samples[start + i] += 0.3f * s.Gain * env * hit;
                    }
                }
            }
        }
        t += s.Bars * 4 * beat;
    }
    song.SectionStarts.push_back(t);
    TRandom hiss{777u};
    for (float& x : song.Samples)
        x += noise * hiss.Uniform();
    return song;
}

} // namespace synth
