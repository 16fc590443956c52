#include "Chorus.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstddef>
#include <numeric>

namespace music {

namespace {

constexpr int TimbreDims = ShapeBands + 1; // band shape and brightness
constexpr double ChromaWeight = 0.8; // of a beat pair's similarity; the rest is timbre
constexpr double MinLagSeconds = 3.0; // closer repetitions are one held sound
constexpr double MaxLagSeconds = 360.0;
constexpr double MinRunSeconds = 6.0; // shortest repetition that counts
constexpr int MinRunBeats = 8;
constexpr int MaxGapBeats = 2; // a repetition survives this many odd beats
constexpr double MinSimilarity = 0.7;
constexpr double FullWeightSeconds = 12.0; // repetitions shorter than this weigh less
constexpr double LagRadiusSeconds = 1.5; // lines this close in lag are one repetition
constexpr double MinContrast = 1.0; // standard deviations above a beat's usual similarity
constexpr double LoudnessWeight = 0.1; // per standard deviation of beat loudness
constexpr double MinRepeatScore = 0.4; // mean repetitions per beat for a chorus

struct TBeat {
    std::array<float, ChromaBins> Chroma{}; // unit length, or zero in silence
    std::array<float, TimbreDims> Timbre{}; // unit length after standardising
    double Energy = 0; // mean square
    double LoudDb = 0;
};

double Median(std::vector<double> v)
{
    if (v.empty())
        return 0;
    std::nth_element(v.begin(), v.begin() + v.size() / 2, v.end());
    return v[v.size() / 2];
}

// Beat boundaries inside the song: n beats give n + 1 times.
std::vector<double> BeatGrid(const std::vector<double>& beats, double duration)
{
    std::vector<double> grid;
    for (double b : beats)
        if (std::isfinite(b) && b >= 0 && b < duration && (grid.empty() || b > grid.back() + 0.05))
            grid.push_back(b);
    if (grid.size() < 8) {
        grid.clear();
        for (double t = 0; t < duration; t += 0.5)
            grid.push_back(t);
    }
    std::vector<double> periods;
    for (size_t i = 1; i < grid.size(); ++i)
        periods.push_back(grid[i] - grid[i - 1]);
    const double period = periods.empty() ? 0.5 : Median(periods);
    grid.push_back(std::min(duration, grid.back() + period));
    return grid;
}

void Normalise(float* v, int n)
{
    double sum = 0;
    for (int i = 0; i < n; ++i)
        sum += static_cast<double>(v[i]) * v[i];
    const double norm = std::sqrt(sum);
    for (int i = 0; i < n; ++i)
        v[i] = norm > 1e-12 ? static_cast<float>(v[i] / norm) : 0.0f;
}

std::vector<TBeat> BeatFeatures(const TFeatureFrames& frames, const std::vector<double>& grid)
{
    const size_t beats = grid.size() - 1;
    const size_t count = frames.Count();
    std::vector<TBeat> out(beats);
    double maxEnergy = 0;
    for (size_t b = 0; b < beats; ++b) {
        // Frames centred in the beat; a short beat takes the frame nearest its middle.
        auto frameAt = [&](double t) {
            const double i = std::ceil((t - frames.FirstCentreSeconds) / frames.HopSeconds);
            return static_cast<size_t>(std::clamp(i, 0.0, static_cast<double>(count)));
        };
        size_t first = frameAt(grid[b]);
        size_t last = frameAt(grid[b + 1]);
        if (first >= last) {
            const double mid = 0.5 * (grid[b] + grid[b + 1]);
            const double i = std::round((mid - frames.FirstCentreSeconds) / frames.HopSeconds);
            first = static_cast<size_t>(std::clamp(i, 0.0, static_cast<double>(count - 1)));
            last = first + 1;
        }
        std::array<double, ChromaBins> chroma{};
        std::array<double, ShapeBands> bands{};
        double energy = 0;
        double bright = 0;
        for (size_t f = first; f < last; ++f) {
            for (int k = 0; k < ChromaBins; ++k)
                chroma[k] += frames.Chroma[f * ChromaBins + k];
            for (int k = 0; k < ShapeBands; ++k)
                bands[k] += frames.Bands[f * ShapeBands + k];
            energy += frames.Energy[f];
            bright += frames.Brightness[f];
        }
        const double n = static_cast<double>(last - first);
        TBeat& beat = out[b];
        for (int k = 0; k < ChromaBins; ++k)
            beat.Chroma[k] = static_cast<float>(chroma[k] / n);
        Normalise(beat.Chroma.data(), ChromaBins);
        // The spectral shape without its level: log band powers about their mean.
        double meanDb = 0;
        std::array<double, ShapeBands> db{};
        for (int k = 0; k < ShapeBands; ++k) {
            db[k] = 10 * std::log10(bands[k] / n + 1e-12);
            meanDb += db[k] / ShapeBands;
        }
        for (int k = 0; k < ShapeBands; ++k)
            beat.Timbre[k] = static_cast<float>(db[k] - meanDb);
        beat.Timbre[ShapeBands] = static_cast<float>(100 * bright / n); // on a scale like the dB values
        beat.Energy = energy / n;
        beat.LoudDb = 10 * std::log10(beat.Energy + 1e-10);
        maxEnergy = std::max(maxEnergy, beat.Energy);
    }
    // Standardise each timbre value over the song so that each counts alike.
    for (int k = 0; k < TimbreDims; ++k) {
        double mean = 0, sq = 0;
        for (const TBeat& beat : out)
            mean += beat.Timbre[k];
        mean /= static_cast<double>(beats);
        for (const TBeat& beat : out)
            sq += (beat.Timbre[k] - mean) * (beat.Timbre[k] - mean);
        const double sd = std::sqrt(sq / static_cast<double>(beats));
        for (TBeat& beat : out)
            beat.Timbre[k] = sd > 1e-6 ? static_cast<float>((beat.Timbre[k] - mean) / sd) : 0.0f;
    }
    for (TBeat& beat : out) {
        Normalise(beat.Timbre.data(), TimbreDims);
        // Silence repeats nothing.
        if (beat.Energy < maxEnergy * 1e-6) {
            beat.Chroma.fill(0);
            beat.Timbre.fill(0);
        }
    }
    return out;
}

float Similarity(const TBeat& a, const TBeat& b)
{
    float chroma = 0, timbre = 0;
    for (int k = 0; k < ChromaBins; ++k)
        chroma += a.Chroma[k] * b.Chroma[k];
    for (int k = 0; k < TimbreDims; ++k)
        timbre += a.Timbre[k] * b.Timbre[k];
    return static_cast<float>(ChromaWeight * chroma + (1 - ChromaWeight) * 0.5 * (1 + timbre));
}

// Beats [Begin, End) match beats [Begin - Lag, End - Lag).
struct TLine {
    int Lag, Begin, End;
    double Strength; // 0..1
};

struct TRepetitions {
    std::vector<double> Count; // weighted repetitions each beat takes part in
    std::vector<char> Starts; // beats where a repetition begins
    std::vector<TLine> Lines; // the repetitions found
};

TRepetitions FindRepetitions(const std::vector<TBeat>& beats, double period)
{
    const int n = static_cast<int>(beats.size());
    TRepetitions rep{std::vector<double>(n, 0.0), std::vector<char>(n, 0), {}};
    const int minLag = std::max(2, static_cast<int>(std::ceil(MinLagSeconds / period)));
    const int maxLag = std::min(n - 1, static_cast<int>(MaxLagSeconds / period));
    const int minRun = std::max(MinRunBeats, static_cast<int>(std::ceil(MinRunSeconds / period)));
    if (maxLag < minLag || n < minRun)
        return rep;

    // How similar each beat usually is to the others, to find the pairs that stand out.
    std::vector<double> sum(n, 0.0), sq(n, 0.0), pairs(n, 0.0);
    for (int lag = minLag; lag <= maxLag; ++lag)
        for (int t = lag; t < n; ++t) {
            const double s = Similarity(beats[t], beats[t - lag]);
            sum[t] += s, sq[t] += s * s, pairs[t] += 1;
            sum[t - lag] += s, sq[t - lag] += s * s, pairs[t - lag] += 1;
        }
    std::vector<float> mean(n), inverseSd(n);
    for (int t = 0; t < n; ++t) {
        const double m = pairs[t] > 0 ? sum[t] / pairs[t] : 0.0;
        const double var = pairs[t] > 0 ? sq[t] / pairs[t] - m * m : 0.0;
        mean[t] = static_cast<float>(m);
        inverseSd[t] = static_cast<float>(1.0 / std::sqrt(std::max(var, 1e-6)));
    }

    std::vector<float> line(n);
    std::vector<char> on(n);
    std::vector<TLine> lines;
    for (int lag = minLag; lag <= maxLag; ++lag) {
        for (int t = lag; t < n; ++t) {
            const float s = Similarity(beats[t], beats[t - lag]);
            const float z = 0.5f * ((s - mean[t]) * inverseSd[t] + (s - mean[t - lag]) * inverseSd[t - lag]);
            line[t] = s;
            on[t] = s >= MinSimilarity && z >= MinContrast;
        }
        // Runs of matching beats, bridging short gaps.
        int t = lag;
        while (t < n) {
            if (!on[t]) {
                ++t;
                continue;
            }
            const int begin = t;
            int end = t + 1; // one past the last matching beat
            int gap = 0;
            for (int u = t + 1; u < n && gap <= MaxGapBeats; ++u) {
                if (on[u]) {
                    end = u + 1;
                    gap = 0;
                } else {
                    ++gap;
                }
            }
            t = end;
            if (end - begin < minRun)
                continue;
            // A line longer than its lag is a loop (a chord cycle played
            // again and again); only its first turn counts.
            end = std::min(end, begin + lag);
            double strength = 0;
            for (int u = begin; u < end; ++u)
                strength += (line[u] - MinSimilarity) / (1 - MinSimilarity);
            // Longer repetitions weigh more: a whole section played again
            // tells more than a phrase of it.
            const double span = std::min(1.0, (end - begin) * period / FullWeightSeconds);
            lines.push_back({lag, begin, end, span * strength / (end - begin)});
        }
    }

    // A repetition shows at a few neighbouring lags (a held chord matches a
    // beat or two off); the strongest of them stands for it.
    const int radius = std::max(2, static_cast<int>(std::lround(LagRadiusSeconds / period)));
    std::sort(lines.begin(), lines.end(), [](const TLine& a, const TLine& b) {
        return a.Strength * (a.End - a.Begin) > b.Strength * (b.End - b.Begin);
    });
    std::vector<std::vector<size_t>> keptAt(maxLag + 1);
    for (size_t i = 0; i < lines.size(); ++i) {
        const TLine& l = lines[i];
        bool shadowed = false;
        for (int lag = std::max(minLag, l.Lag - radius); lag <= std::min(maxLag, l.Lag + radius) && !shadowed;
             ++lag)
            for (size_t k : keptAt[lag]) {
                const TLine& o = lines[k];
                const int overlap = std::min(l.End, o.End) - std::max(l.Begin, o.Begin);
                if (2 * overlap >= std::min(l.End - l.Begin, o.End - o.Begin)) {
                    shadowed = true;
                    break;
                }
            }
        if (shadowed)
            continue;
        keptAt[l.Lag].push_back(i);
        for (int u = l.Begin; u < l.End; ++u) {
            rep.Count[u] += l.Strength;
            rep.Count[u - l.Lag] += l.Strength;
        }
        rep.Starts[l.Begin] = 1;
        rep.Starts[l.Begin - l.Lag] = 1;
        rep.Lines.push_back(l);
    }
    return rep;
}

// Index of the first boundary at or after time t.
size_t BeatAt(const std::vector<double>& grid, double t)
{
    return static_cast<size_t>(std::lower_bound(grid.begin(), grid.end() - 1, t) - grid.begin());
}

// The start moved to a bar start within a beat and a half, where bars are known.
double OnBar(double start, const std::vector<double>& bars, double period)
{
    double best = start;
    double bestDistance = 1.5 * period;
    for (double bar : bars) {
        const double d = std::abs(bar - start);
        if (std::isfinite(bar) && d <= bestDistance) {
            best = bar;
            bestDistance = d;
        }
    }
    return best;
}

// The start of the loudest stretch of the given length, on a bar start where
// bars are known, else on a beat.
double LoudestStart(const std::vector<TBeat>& beats, const std::vector<double>& grid,
    const std::vector<double>& bars, double length)
{
    const size_t n = beats.size();
    std::vector<double> energy(n + 1, 0.0); // energy up to each boundary, in seconds of full scale
    for (size_t b = 0; b < n; ++b)
        energy[b + 1] = energy[b] + beats[b].Energy * (grid[b + 1] - grid[b]);
    auto energyUntil = [&](double t) {
        const size_t b = std::min(BeatAt(grid, t), n);
        if (b == 0)
            return 0.0;
        const double over = std::max(0.0, grid[b] - t);
        return energy[b] - beats[b - 1].Energy * std::min(over, grid[b] - grid[b - 1]);
    };
    std::vector<double> starts;
    for (double bar : bars)
        if (std::isfinite(bar) && bar >= grid.front() && bar < grid.back())
            starts.push_back(bar);
    if (starts.empty())
        starts.assign(grid.begin(), grid.end() - 1);
    double best = starts.front();
    double bestEnergy = -1;
    for (double s : starts) {
        const double e = energyUntil(s + length) - energyUntil(s);
        if (e > bestEnergy * (1 + 1e-9)) {
            bestEnergy = e;
            best = s;
        }
    }
    return best;
}

} // namespace

TChorusSuggestion SuggestChorus(const TFeatureFrames& frames, const std::vector<double>& beatSeconds,
    const std::vector<double>& barSeconds, const TChorusRequest& request)
{
    const double duration = frames.DurationSeconds;
    if (frames.Count() == 0 || !(duration > 0) || !(frames.HopSeconds > 0))
        return {};
    double length
        = request.LengthSeconds > 0 && std::isfinite(request.LengthSeconds) ? request.LengthSeconds : 30;
    if (request.MaxLengthSeconds > 0)
        length = std::min(length, request.MaxLengthSeconds);
    length = std::min(length, duration);

    const std::vector<double> grid = BeatGrid(beatSeconds, duration);
    const std::vector<TBeat> beats = BeatFeatures(frames, grid);
    const size_t n = beats.size();
    std::vector<double> periods;
    for (size_t i = 0; i < n; ++i)
        periods.push_back(grid[i + 1] - grid[i]);
    const double period = std::max(Median(periods), 0.05);

    const TRepetitions rep = FindRepetitions(beats, period);

    // Loud beats count a little more.
    double meanDb = 0, sqDb = 0;
    for (const TBeat& b : beats)
        meanDb += b.LoudDb / static_cast<double>(n);
    for (const TBeat& b : beats)
        sqDb += (b.LoudDb - meanDb) * (b.LoudDb - meanDb) / static_cast<double>(n);
    const double sdDb = std::max(std::sqrt(sqDb), 1.0);
    std::vector<double> weighted(n + 1, 0.0); // prefix sums of the weighted counts
    for (size_t b = 0; b < n; ++b) {
        const double z = std::clamp((beats[b].LoudDb - meanDb) / sdDb, -2.0, 2.0);
        weighted[b + 1] = weighted[b] + rep.Count[b] * std::exp(LoudnessWeight * z);
    }

    // Each repetition start is scored by the lower quarter of the counts over
    // the 6 to 12 s after it: a stretch that begins before the section has
    // the weaker counts of what precedes it there.
    const size_t window = std::max<size_t>(1, static_cast<size_t>(std::clamp(length, 6.0, 12.0) / period));
    std::vector<double> part;
    auto score = [&](size_t s) {
        part.assign(window, 0.0);
        for (size_t i = 0; i < window && s + i < n; ++i)
            part[i] = weighted[s + i + 1] - weighted[s + i];
        std::nth_element(part.begin(), part.begin() + window / 4, part.end());
        return part[window / 4];
    };
    size_t best = n;
    double bestScore = MinRepeatScore;
    for (size_t s = 0; s < n; ++s)
        if (rep.Starts[s] && score(s) > bestScore) {
            bestScore = score(s);
            best = s;
        }

    TChorusSuggestion out;
    if (best < n) {
        // The section begins where most of the repetitions through the
        // middle of that stretch begin; a repetition that also takes in the
        // section before is outvoted.
        const size_t middle = std::min(n - 1, best + window / 2);
        std::vector<double> votes(n, 0.0);
        for (const TLine& l : rep.Lines) {
            const size_t lag = static_cast<size_t>(l.Lag);
            if (middle >= static_cast<size_t>(l.Begin) && middle < static_cast<size_t>(l.End))
                votes[l.Begin] += l.Strength;
            if (middle + lag >= static_cast<size_t>(l.Begin) && middle + lag < static_cast<size_t>(l.End))
                votes[l.Begin - l.Lag] += l.Strength;
        }
        auto near = [&](size_t s) {
            return votes[s] + 0.5 * ((s > 0 ? votes[s - 1] : 0.0) + (s + 1 < n ? votes[s + 1] : 0.0));
        };
        double bestVote = 0;
        for (size_t s = 0; s <= middle; ++s)
            if (votes[s] > 0 && near(s) > bestVote * (1 + 1e-9)) {
                bestVote = near(s);
                best = s;
            }
        // A section made of one phrase played twice in a row starts at the
        // first turn: step back over a repetition that ends where it begins.
        for (int step = 0; step < 4; ++step) {
            const size_t from = best;
            for (const TLine& l : rep.Lines) {
                const int b = static_cast<int>(best);
                if (std::abs(l.Begin - b) <= 1 && std::abs(l.End - l.Begin - l.Lag) <= std::max(2, l.Lag / 8)
                    && score(static_cast<size_t>(l.Begin - l.Lag)) >= 0.8 * score(best)) {
                    best = static_cast<size_t>(l.Begin - l.Lag);
                    break;
                }
            }
            if (best == from)
                break;
        }
        out.StartSeconds = OnBar(grid[best], barSeconds, period);
        out.Repeated = true;
    } else {
        out.StartSeconds = LoudestStart(beats, grid, barSeconds, length);
    }
    out.StartSeconds = std::clamp(out.StartSeconds, 0.0, duration);
    out.EndSeconds = std::min(duration, out.StartSeconds + length);
    return out;
}

} // namespace music
