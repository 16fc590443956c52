#include "BeatGrid.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

namespace beats {

namespace {

// Beat k of the grid, milliseconds, continued at the tempo before the first
// beat and after the last.
double BeatAtMs(const TBeatGrid& grid, std::int64_t k)
{
    const auto n = static_cast<std::int64_t>(grid.Beats.size());
    const double period = 60000.0 / grid.TempoBpm;
    if (k < 0)
        return grid.Beats.front() * 1000.0 + static_cast<double>(k) * period;
    if (k >= n)
        return grid.Beats.back() * 1000.0 + static_cast<double>(k - n + 1) * period;
    return grid.Beats[static_cast<std::size_t>(k)] * 1000.0;
}

bool Usable(const TBeatGrid& grid)
{
    return grid.Steady && grid.TempoBpm > 0 && !grid.Beats.empty();
}

// The index of the grid's beat nearest to ms, the grid continued either way.
std::int64_t NearestBeat(const TBeatGrid& grid, double ms)
{
    const double periodMs = 60000.0 / grid.TempoBpm;
    const double first = grid.Beats.front() * 1000.0;
    const double last = grid.Beats.back() * 1000.0;
    if (ms <= first)
        return static_cast<std::int64_t>(std::lround((ms - first) / periodMs));
    const auto n = static_cast<std::int64_t>(grid.Beats.size());
    if (ms >= last)
        return n - 1 + static_cast<std::int64_t>(std::lround((ms - last) / periodMs));
    const auto it = std::lower_bound(grid.Beats.begin(), grid.Beats.end(), ms / 1000.0);
    auto k = static_cast<std::int64_t>(it - grid.Beats.begin());
    if (std::fabs(BeatAtMs(grid, k - 1) - ms) <= std::fabs(BeatAtMs(grid, k) - ms))
        --k;
    return k;
}

} // namespace

std::optional<std::int64_t> SnapToBeatMs(const TBeatGrid& grid, std::int64_t ms)
{
    if (!Usable(grid))
        return std::nullopt;
    const double at = static_cast<double>(ms);
    const auto n = static_cast<std::int64_t>(grid.Beats.size());
    const std::int64_t k = std::clamp<std::int64_t>(NearestBeat(grid, at), 0, n - 1);
    const double beat = BeatAtMs(grid, k);
    // Half of the beat on the side the time lies.
    const double neighbour = BeatAtMs(grid, at < beat ? k - 1 : k + 1);
    if (std::fabs(at - beat) > std::fabs(neighbour - beat) / 2)
        return std::nullopt;
    return static_cast<std::int64_t>(std::llround(beat));
}

std::int64_t WholeBarsEndMs(
    const TBeatGrid& grid, std::int64_t startMs, std::int64_t markedEndMs, std::int64_t durationMs)
{
    if (!Usable(grid) || markedEndMs <= startMs)
        return markedEndMs;
    const std::int64_t step = grid.BeatsPerBar > 0 && !grid.Bars.empty() ? grid.BeatsPerBar : 1;
    const std::int64_t first = NearestBeat(grid, static_cast<double>(startMs));
    const double origin = BeatAtMs(grid, first);
    const auto endAfter = [&](std::int64_t units) {
        return startMs
            + static_cast<std::int64_t>(std::llround(BeatAtMs(grid, first + units * step) - origin));
    };
    std::int64_t best = -1;
    std::int64_t bestDistance = 0;
    for (std::int64_t units = 1;; ++units) {
        const std::int64_t end = endAfter(units);
        if (durationMs > 0 && end > durationMs)
            break;
        const std::int64_t distance = std::llabs(end - markedEndMs);
        if (best >= 0 && distance >= bestDistance)
            break; // past the nearest; a tie goes to the shorter selection
        best = end;
        bestDistance = distance;
    }
    return best >= 0 ? best : markedEndMs;
}

} // namespace beats
