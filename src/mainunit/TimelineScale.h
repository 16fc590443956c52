#pragma once
// The timeline's scales and its places, the one definition read by the
// renderer, its ruler, the keys and the transport rules. At the default scale
// a column is 200 ms of the song; zoomed in, down to 4 ms.

#include <algorithm>
#include <climits>
#include <cstdint>
#include <iterator>

// The default scale, columns a second.
inline constexpr int ColumnsPerSecond = 5;
// The selection the window starts with, default-scale columns (20 s to 30 s).
inline constexpr int OpeningSelStart = 100;
inline constexpr int OpeningSelEnd = 150;
// The scales the timeline zooms through, coarse to fine; the first is the default.
inline constexpr int TimelineScales[] = {5, 10, 25, 50, 100, 250};
inline constexpr int FinestColumnsPerSecond = 250;

// Division rounding toward minus infinity: columns left of the start.
constexpr int64_t FloorDiv(int64_t a, int64_t b)
{
    const int64_t q = a / b;
    return (a % b != 0 && ((a < 0) != (b < 0))) ? q - 1 : q;
}

// One column of a scale, ms (every scale divides a second in whole ms).
constexpr int64_t ColumnMs(int scale)
{
    return 1000 / scale;
}
// The column at `scale` that holds the time `ms`.
constexpr int64_t ColumnOfMs(int64_t ms, int scale)
{
    return FloorDiv(ms * scale, 1000);
}

// The next finer (step +1) or coarser (step -1) scale; the same one at the ends.
constexpr int NextScale(int scale, int step)
{
    const int* const first = std::begin(TimelineScales);
    const int* const last = std::end(TimelineScales);
    const int* at = std::find(first, last, scale);
    if (at == last)
        return ColumnsPerSecond;
    if (step > 0 && at + 1 != last)
        ++at;
    else if (step < 0 && at != first)
        --at;
    return *at;
}

// A place on the timeline (the play cursor, a mark), held in milliseconds.
// A place put on a column of the default scale stands for its whole second
// wherever its time is read (the labels, Play, Save), as the whole-second
// timeline always has, and is drawn on that column; a place put while zoomed
// in is exact. Read or written as an int, a place is a column of the default
// scale.
struct TTimePos {
    int64_t Ms = 0;
    bool WholeSecond = true;

    constexpr TTimePos() = default;
    constexpr TTimePos(int column) // NOLINT: columns are places
        : Ms(int64_t{column} * ColumnMs(ColumnsPerSecond))
    {
    }
    // A place exact to the millisecond.
    static constexpr TTimePos Exact(int64_t ms)
    {
        TTimePos p;
        p.Ms = ms;
        p.WholeSecond = false;
        return p;
    }
    // The same kind of place `deltaMs` further on.
    constexpr TTimePos Moved(int64_t deltaMs) const
    {
        TTimePos p = *this;
        p.Ms = std::clamp<int64_t>(Ms + deltaMs, INT64_MIN / 1000, INT64_MAX / 1000);
        return p;
    }
    constexpr operator int() const // NOLINT: the default scale's column
    {
        return static_cast<int>(std::clamp<int64_t>(ColumnOfMs(Ms, ColumnsPerSecond), INT_MIN, INT_MAX));
    }
    // The time the labels, Play and Save take: the whole second (toward zero)
    // of a default-scale place, else the exact one.
    constexpr int64_t TimeMs() const { return WholeSecond ? Ms / 1000 * 1000 : Ms; }
};
