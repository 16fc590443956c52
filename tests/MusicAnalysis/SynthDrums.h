// Music the beat tests make: a drum kit (kick, snare, hi-hats) and a bass note
// on every beat in 4/4, with the beats and bars it was written on; and sound
// with no beat at all (speech-like babble, an ambient pad). Mono float.
#pragma once

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <random>
#include <vector>

namespace drums {

inline constexpr int kRate = 44100;
inline constexpr double kPi = 3.14159265358979323846;

struct TSong {
    std::vector<float> Samples;
    std::vector<double> Beats; // seconds, as written
    std::vector<double> Bars; // seconds, the first beat of each bar
};

struct TGroove {
    double Bpm = 120;
    double Seconds = 30;
    double FirstBeat = 0.25; // seconds
    double IntroSeconds = 0; // bass and pad only, no drums
    double Swing = 0.5; // where the off-beat eighth falls, as a fraction of the beat (0.5: straight)
    double JitterMs = 0; // standard deviation of each hit's timing, ms
    double VelocitySpread = 0; // 0..1: how much each hit's loudness varies
    bool Sixteenths = false; // hi-hats on every sixteenth note
    std::uint32_t Seed = 1;
};

namespace detail {

inline void AddAt(std::vector<float>& out, double at, const std::vector<float>& sound, double gain)
{
    const auto start = static_cast<std::int64_t>(std::lround(at * kRate));
    for (std::size_t i = 0; i < sound.size(); ++i) {
        const std::int64_t j = start + static_cast<std::int64_t>(i);
        if (j >= 0 && j < static_cast<std::int64_t>(out.size()))
            out[static_cast<std::size_t>(j)] += static_cast<float>(gain * sound[i]);
    }
}

inline std::vector<float> Kick()
{
    std::vector<float> s(static_cast<std::size_t>(0.35 * kRate));
    double phase = 0;
    for (std::size_t i = 0; i < s.size(); ++i) {
        const double t = static_cast<double>(i) / kRate;
        phase += 2 * kPi * (48 + 110 * std::exp(-t / 0.03)) / kRate;
        s[i] = static_cast<float>(0.9 * std::sin(phase) * std::exp(-t / 0.12));
    }
    return s;
}

inline std::vector<float> Snare(std::mt19937& rng)
{
    std::uniform_real_distribution<double> noise(-1, 1);
    std::vector<float> s(static_cast<std::size_t>(0.22 * kRate));
    double previous = 0;
    for (std::size_t i = 0; i < s.size(); ++i) {
        const double t = static_cast<double>(i) / kRate;
        const double n = noise(rng);
        const double bright = n - 0.5 * previous; // tilted towards the highs
        previous = n;
        s[i] = static_cast<float>(
            0.45 * bright * std::exp(-t / 0.06) + 0.4 * std::sin(2 * kPi * 185 * t) * std::exp(-t / 0.04));
    }
    return s;
}

inline std::vector<float> Hat(std::mt19937& rng)
{
    std::uniform_real_distribution<double> noise(-1, 1);
    std::vector<float> s(static_cast<std::size_t>(0.06 * kRate));
    double previous = 0;
    for (std::size_t i = 0; i < s.size(); ++i) {
        const double t = static_cast<double>(i) / kRate;
        const double n = noise(rng);
        s[i] = static_cast<float>(0.5 * (n - previous) * std::exp(-t / 0.015));
        previous = n;
    }
    return s;
}

// A plucked bass note: a few harmonics, a quick attack and a decay.
inline std::vector<float> Bass(double hz, double seconds)
{
    std::vector<float> s(static_cast<std::size_t>(seconds * kRate));
    for (std::size_t i = 0; i < s.size(); ++i) {
        const double t = static_cast<double>(i) / kRate;
        const double env
            = std::min(1.0, t / 0.005) * std::exp(-t / 0.25) * std::min(1.0, (seconds - t) / 0.01);
        double v = 0;
        for (int h = 1; h <= 4; ++h)
            v += std::sin(2 * kPi * hz * h * t) / h;
        s[i] = static_cast<float>(0.35 * env * v);
    }
    return s;
}

// A soft chord that swells in and out over its length.
inline void AddPad(
    std::vector<float>& out, double at, double seconds, const std::vector<double>& hz, double gain)
{
    const auto start = static_cast<std::int64_t>(at * kRate);
    const auto length = static_cast<std::int64_t>(seconds * kRate);
    for (std::int64_t i = 0; i < length; ++i) {
        const std::int64_t j = start + i;
        if (j < 0 || j >= static_cast<std::int64_t>(out.size()))
            continue;
        const double t = static_cast<double>(i) / kRate;
        const double env = std::sin(kPi * t / seconds);
        double v = 0;
        for (double f : hz)
            v += std::sin(2 * kPi * f * t) + 0.3 * std::sin(2 * kPi * f * 2.003 * t);
        out[static_cast<std::size_t>(j)] += static_cast<float>(gain * env * env * v / hz.size());
    }
}

} // namespace detail

// A drum groove in 4/4 with a bass note on every beat and a chord a bar.
inline TSong Groove(const TGroove& groove)
{
    TSong song;
    song.Samples.assign(static_cast<std::size_t>(groove.Seconds * kRate), 0.0F);
    std::mt19937 rng(groove.Seed);
    std::normal_distribution<double> jitter(0, groove.JitterMs / 1000.0);
    std::uniform_real_distribution<double> spread(1 - groove.VelocitySpread, 1);
    const auto humanise = [&](double t) {
        return groove.JitterMs > 0
            ? t + std::clamp(jitter(rng), -2.5 * groove.JitterMs / 1000, 2.5 * groove.JitterMs / 1000)
            : t;
    };
    const auto velocity = [&]() { return groove.VelocitySpread > 0 ? spread(rng) : 1.0; };

    const std::vector<float> kick = detail::Kick();
    const std::vector<float> snare = detail::Snare(rng);
    const std::vector<float> hat = detail::Hat(rng);
    const double beat = 60.0 / groove.Bpm;
    const double roots[4] = {55.0, 43.65, 65.41, 49.0}; // A1, F1, C2, G1: one a bar
    std::vector<std::vector<float>> bass;
    for (double root : roots)
        bass.push_back(detail::Bass(root, beat * 0.85));

    for (int i = 0;; ++i) {
        const double t = groove.FirstBeat + i * beat;
        if (t + beat > groove.Seconds)
            break;
        const int inBar = i % 4;
        const int bar = i / 4;
        song.Beats.push_back(t);
        if (inBar == 0)
            song.Bars.push_back(t);
        detail::AddAt(song.Samples, humanise(t), bass[static_cast<std::size_t>(bar % 4)], velocity());
        if (inBar == 0)
            detail::AddPad(song.Samples, t, 4 * beat,
                {roots[bar % 4] * 4, roots[bar % 4] * 5, roots[bar % 4] * 6}, 0.08);
        if (t < groove.IntroSeconds)
            continue;
        if (inBar == 0 || inBar == 2)
            detail::AddAt(song.Samples, humanise(t), kick, velocity());
        if (inBar == 2)
            detail::AddAt(song.Samples, humanise(t + groove.Swing * beat), kick, 0.6 * velocity());
        if (inBar == 1 || inBar == 3)
            detail::AddAt(song.Samples, humanise(t), snare, velocity());
        detail::AddAt(song.Samples, humanise(t), hat, 0.8 * velocity());
        detail::AddAt(song.Samples, humanise(t + groove.Swing * beat), hat, 0.5 * velocity());
        if (groove.Sixteenths) {
            detail::AddAt(song.Samples, humanise(t + 0.25 * beat), hat, 0.6 * velocity());
            detail::AddAt(song.Samples, humanise(t + 0.75 * beat), hat, 0.6 * velocity());
        }
    }
    return song;
}

// Speech-like babble: syllables of a voiced, gliding tone with a consonant's
// noise now and then, in words of irregular length and irregular pauses.
inline std::vector<float> Babble(double seconds, std::uint32_t seed)
{
    std::vector<float> out(static_cast<std::size_t>(seconds * kRate), 0.0F);
    std::mt19937 rng(seed);
    std::uniform_real_distribution<double> u(0, 1);
    std::uniform_real_distribution<double> noise(-1, 1);
    double t = 0.2;
    while (t < seconds) {
        const int syllables = 1 + static_cast<int>(u(rng) * 4);
        for (int s = 0; s < syllables && t < seconds; ++s) {
            const double length = 0.08 + 0.22 * u(rng);
            const double f0 = 100 + 90 * u(rng);
            const double glide = (u(rng) - 0.5) * 60;
            const double formant = 500 + 1500 * u(rng);
            const bool consonant = u(rng) < 0.5;
            const auto start = static_cast<std::size_t>(t * kRate);
            const auto count = static_cast<std::size_t>(length * kRate);
            double phase = 0;
            for (std::size_t i = 0; i < count && start + i < out.size(); ++i) {
                const double x = static_cast<double>(i) / static_cast<double>(count);
                phase += 2 * kPi * (f0 + glide * x) / kRate;
                double v = 0;
                for (int h = 1; h <= 20; ++h) {
                    const double f = (f0 + glide * x) * h;
                    const double weight = std::exp(-std::pow((f - formant) / 400, 2)) + 0.5 / h;
                    v += weight * std::sin(phase * h);
                }
                double sample = 0.12 * std::sin(kPi * x) * v;
                if (consonant && x < 0.15)
                    sample += 0.2 * noise(rng) * (1 - x / 0.15);
                out[start + i] += static_cast<float>(sample);
            }
            t += length + 0.02 + 0.1 * u(rng);
        }
        t += 0.15 + 0.6 * u(rng);
    }
    return out;
}

// An ambient bed: overlapping chords that swell over several seconds, with a
// breath of noise, and nothing that repeats.
inline std::vector<float> Ambient(double seconds, std::uint32_t seed)
{
    std::vector<float> out(static_cast<std::size_t>(seconds * kRate), 0.0F);
    std::mt19937 rng(seed);
    std::uniform_real_distribution<double> u(0, 1);
    std::uniform_real_distribution<double> noise(-1, 1);
    for (double t = -2; t < seconds; t += 2.5 + 3 * u(rng)) {
        const double root = 110 * std::pow(2.0, std::floor(u(rng) * 12) / 12);
        detail::AddPad(out, t, 6 + 4 * u(rng), {root, root * 1.25, root * 1.5, root * 2}, 0.25);
    }
    double low = 0;
    for (std::size_t i = 0; i < out.size(); ++i) {
        low += 0.02 * (noise(rng) - low);
        const double t = static_cast<double>(i) / kRate;
        out[i] += static_cast<float>(0.05 * low * (1 + 0.5 * std::sin(2 * kPi * t / 7.3)));
    }
    return out;
}

} // namespace drums
