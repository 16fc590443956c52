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

SelectionChange MarkStart(int selStart, int selEnd, int cursor)
{
    // Beyond the selection: a new one-column selection at the cursor.
    if (cursor > std::max(selStart, selEnd))
        return {cursor, Add(cursor, 1)};
    return {cursor, std::nullopt};
}

SelectionChange MarkEnd(int selStart, int selEnd, int cursor)
{
    if (cursor < std::min(selStart, selEnd))
        return {cursor, Add(cursor, 1)};
    return {std::nullopt, cursor};
}

SelectionChange ExtendLeft(int selStart, int selEnd)
{
    return {Add(std::min(selStart, selEnd), -ColumnsPerSecond), std::nullopt};
}

SelectionChange ExtendRight(int selStart, int selEnd)
{
    return {std::nullopt, Add(std::max(selStart, selEnd), ColumnsPerSecond)};
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

ClickPlan MoveCursor(int mode, int column)
{
    ClickPlan plan;
    plan.Cursor = column;
    if (mode == Playing) {
        plan.Stop = true;
        plan.SeekTo = static_cast<int>(std::clamp<long long>(
            static_cast<long long>(plan.Cursor) * 1000 / ColumnsPerSecond, INT_MIN, INT_MAX));
    }
    return plan;
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
