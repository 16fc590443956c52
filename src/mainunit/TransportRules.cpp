#include "TransportRules.h"

#include "FileInfo.h"
#include "appDefine.h"

#include <QCoreApplication>
#include <algorithm>
#include <climits>

namespace Transport {

namespace {

// Column arithmetic saturates: the extend commands have no bound, and a
// column must never wrap round to the other end.
int Add(int column, int delta)
{
    const long long sum = static_cast<long long>(column) + delta;
    return static_cast<int>(std::clamp<long long>(sum, INT_MIN, INT_MAX));
}

} // namespace

bool PlayActs(int mode)
{
    return mode == Stopped || mode == Seeking || mode == Paused || mode == Open;
}

bool PauseActs(int mode)
{
    return mode == Playing;
}

bool SelectionActs(int mode)
{
    return PlayActs(mode) || mode == Playing;
}

bool FollowsPlayback(int mode)
{
    return mode == Playing;
}

PlaceChange MarkStartAt(TTimePos selStart, TTimePos selEnd, TTimePos mark, int64_t columnMs)
{
    // Beyond the selection: a new one-column selection at the mark.
    if (mark.Ms > std::max(selStart.Ms, selEnd.Ms))
        return {mark, mark.Moved(columnMs)};
    return {mark, std::nullopt};
}

PlaceChange MarkEndAt(TTimePos selStart, TTimePos selEnd, TTimePos mark, int64_t columnMs)
{
    if (mark.Ms < std::min(selStart.Ms, selEnd.Ms))
        return {mark, mark.Moved(columnMs)};
    return {std::nullopt, mark};
}

PlaceChange ExtendLeftAt(TTimePos selStart, TTimePos selEnd)
{
    return {(selStart.Ms < selEnd.Ms ? selStart : selEnd).Moved(-1000), std::nullopt};
}

PlaceChange ExtendRightAt(TTimePos selStart, TTimePos selEnd)
{
    return {std::nullopt, (selStart.Ms < selEnd.Ms ? selEnd : selStart).Moved(1000)};
}

namespace {

// A change of places read as default-scale columns, saturated at the ends.
SelectionChange Columns(const PlaceChange& change)
{
    SelectionChange columns;
    if (change.Start)
        columns.Start = static_cast<int>(*change.Start);
    if (change.End)
        columns.End = static_cast<int>(*change.End);
    return columns;
}

constexpr int64_t DefaultColumnMs = ColumnMs(ColumnsPerSecond);

} // namespace

SelectionChange MarkStart(int selStart, int selEnd, int cursor)
{
    return Columns(MarkStartAt(selStart, selEnd, cursor, DefaultColumnMs));
}

SelectionChange MarkEnd(int selStart, int selEnd, int cursor)
{
    return Columns(MarkEndAt(selStart, selEnd, cursor, DefaultColumnMs));
}

SelectionChange ExtendLeft(int selStart, int selEnd)
{
    return Columns(ExtendLeftAt(selStart, selEnd));
}

SelectionChange ExtendRight(int selStart, int selEnd)
{
    return Columns(ExtendRightAt(selStart, selEnd));
}

ClickPlan TimelineClick(int mode, int x)
{
    // The cursor lands one column right of the pointer.
    return MoveCursor(mode, Add(x, 1));
}

int LastSecondColumn(int timelineColumns)
{
    return std::max(timelineColumns / ColumnsPerSecond - 1, 0) * ColumnsPerSecond;
}

PlacePlan MoveCursorTo(int mode, TTimePos cursor)
{
    PlacePlan plan;
    plan.Cursor = cursor;
    if (mode == Playing) {
        plan.Stop = true;
        plan.SeekTo = DeviceMs(cursor.Ms); // exact to the column, also at the default scale
    }
    return plan;
}

ClickPlan MoveCursor(int mode, int column)
{
    const PlacePlan plan = MoveCursorTo(mode, column);
    return {plan.Stop, column, plan.SeekTo};
}

PlacePlan TimelineClickAt(int mode, int64_t x, int scale)
{
    if (scale == ColumnsPerSecond)
        return MoveCursorTo(mode, Add(static_cast<int>(std::clamp<int64_t>(x, INT_MIN, INT_MAX)), 1));
    return MoveCursorTo(mode, TTimePos::Exact(x * ColumnMs(scale)));
}

TTimePos FollowPlace(int positionMs, int scale)
{
    if (scale == ColumnsPerSecond)
        return FollowColumn(positionMs);
    return TTimePos::Exact(positionMs);
}

int DeviceMs(int64_t ms)
{
    return static_cast<int>(std::clamp<int64_t>(ms, INT_MIN, INT_MAX));
}

std::optional<Segment> LoopSegmentMs(int64_t selStartMs, int64_t selEndMs)
{
    if (selEndMs <= selStartMs)
        return std::nullopt;
    return Segment{DeviceMs(selStartMs), DeviceMs(selEndMs)};
}

int SecondsToMs(long long seconds)
{
    return static_cast<int>(std::clamp<long long>(seconds * 1000, INT_MIN, INT_MAX));
}

int FollowColumn(int positionMs)
{
    return positionMs / 1000 * ColumnsPerSecond;
}

Segment SelectionSegment(int selStartSeconds, int selEndSeconds)
{
    const long long end = std::max<long long>(selEndSeconds, static_cast<long long>(selStartSeconds) + 1);
    return {SecondsToMs(selStartSeconds), SecondsToMs(end)};
}

Segment SelectionSegmentMs(int64_t selStartMs, int64_t selEndMs)
{
    return {DeviceMs(selStartMs), DeviceMs(selEndMs > selStartMs ? selEndMs : selStartMs + 1000)};
}

QString TimeText(int64_t ms)
{
    return ClockTextMs(ms, 2);
}

PositionTexts PositionsMs(int64_t selStartMs, int64_t selEndMs, int positionMs, bool fineCurrent)
{
    return {QCoreApplication::translate("MainForm", "Begin Pos: ") + TimeText(selStartMs),
        QCoreApplication::translate("MainForm", "End Pos: ") + TimeText(selEndMs),
        QCoreApplication::translate("MainForm", "Length: ") + TimeText(selEndMs - selStartMs),
        QCoreApplication::translate("MainForm", "Current Pos: ")
            + (fineCurrent ? TimeText(positionMs) : ClockText(positionMs / 1000))};
}

PositionTexts Positions(int selStartSeconds, int selEndSeconds, int positionMs)
{
    const long long length = static_cast<long long>(selEndSeconds) - selStartSeconds;
    return {QCoreApplication::translate("MainForm", "Begin Pos: ") + ClockText(selStartSeconds),
        QCoreApplication::translate("MainForm", "End Pos: ") + ClockText(selEndSeconds),
        QCoreApplication::translate("MainForm", "Length: ")
            + ClockText(static_cast<int>(std::clamp<long long>(length, INT_MIN, INT_MAX))),
        QCoreApplication::translate("MainForm", "Current Pos: ") + ClockText(positionMs / 1000)};
}

} // namespace Transport
