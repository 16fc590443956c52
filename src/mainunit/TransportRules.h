#pragma once
// What the transport commands do, decided without a window: which device
// modes each command acts in, the mark and extend rules, what a click on the
// timeline does to the device, and the four position texts. Columns are
// timeline columns (ColumnsPerSecond a second); times are milliseconds.
// The rules over places (TTimePos) serve every scale; the column forms are
// the same rules at the default scale.

#include "TimelineScale.h"

#include <QString>

#include <optional>

namespace Transport {

// Device modes as the device reports them: TMediaPlayer's mp* values, held
// equal by the checks in DeviceModes.cpp.
enum Mode : int { NotReady = 0, Stopped = 1, Playing = 2, Recording = 3, Seeking = 4, Paused = 5, Open = 6 };

bool PlayActs(int mode); // stopped, seeking, paused, open
bool PauseActs(int mode); // playing
bool SelectionActs(int mode); // mark, extend and play selection: those and playing
bool FollowsPlayback(int mode); // playing

// A change of the selection: each present value goes to its setter, start
// first. An empty change leaves the selection alone.
struct SelectionChange {
    std::optional<int> Start;
    std::optional<int> End;
    friend bool operator==(const SelectionChange&, const SelectionChange&) = default;
};
// The same over places, at a scale whose one column is columnMs. The mark
// lands on `mark`: the cursor's place (a place snapped from it may stand in).
struct PlaceChange {
    std::optional<TTimePos> Start;
    std::optional<TTimePos> End;
};
PlaceChange MarkStartAt(TTimePos selStart, TTimePos selEnd, TTimePos mark, int64_t columnMs);
PlaceChange MarkEndAt(TTimePos selStart, TTimePos selEnd, TTimePos mark, int64_t columnMs);
// One second out from the lower or the higher end.
PlaceChange ExtendLeftAt(TTimePos selStart, TTimePos selEnd);
PlaceChange ExtendRightAt(TTimePos selStart, TTimePos selEnd);

SelectionChange MarkStart(int selStart, int selEnd, int cursor);
SelectionChange MarkEnd(int selStart, int selEnd, int cursor);
SelectionChange ExtendLeft(int selStart, int selEnd);
SelectionChange ExtendRight(int selStart, int selEnd);

// A release on the timeline at column x, in the device's mode.
struct ClickPlan {
    bool Stop = false;
    int Cursor = 0; // new play-cursor column
    std::optional<int> SeekTo; // ms, then play on to the end
    friend bool operator==(const ClickPlan&, const ClickPlan&) = default;
};
ClickPlan TimelineClick(int mode, int x);
// The cursor put on a column by a key: the same as a click one column left of it.
ClickPlan MoveCursor(int mode, int column);
// The same for a place, at any scale.
struct PlacePlan {
    bool Stop = false;
    TTimePos Cursor;
    std::optional<int> SeekTo; // ms, then play on to the end
};
PlacePlan MoveCursorTo(int mode, TTimePos cursor);
// A release on column x of the timeline shown at `scale`: at the default
// scale one column right of the pointer, as always; zoomed in, exactly on
// the clicked column's time.
PlacePlan TimelineClickAt(int mode, int64_t x, int scale);
// The first column of the last whole second of a timeline; 0 when shorter than a second.
int LastSecondColumn(int timelineColumns);

// The cursor column for a playing position: the start of its whole second.
int FollowColumn(int positionMs);

// The cursor for a playing position: at the default scale the start of its
// second; zoomed in, the position itself.
TTimePos FollowPlace(int positionMs, int scale);

// The start of a whole second, in ms, held inside the device's 32-bit positions.
int SecondsToMs(long long seconds);

// The segment Play selection plays: the stretch Save writes, from the start
// second to the end second; a selection within one second plays that second.
struct Segment {
    int From = 0;
    int To = 0;
    friend bool operator==(const Segment&, const Segment&) = default;
};
Segment SelectionSegment(int selStartSeconds, int selEndSeconds);
// The same in ms: from the start to the end; an empty selection plays one second.
Segment SelectionSegmentMs(int64_t selStartMs, int64_t selEndMs);
// A time held inside the device's 32-bit positions.
int DeviceMs(int64_t ms);
// The stretch the loop preview repeats, from the start to the end (ms, held
// in the device's positions); none for an empty selection.
std::optional<Segment> LoopSegmentMs(int64_t selStartMs, int64_t selEndMs);

// The four position labels.
struct PositionTexts {
    QString Begin;
    QString End;
    QString Length;
    QString Current;
};
PositionTexts Positions(int selStartSeconds, int selEndSeconds, int positionMs);
// From times in ms: whole seconds read as ever ("00:00:20"), any other time
// with its hundredths ("00:00:20.35"). The current position shows whole
// seconds unless `fineCurrent` (the timeline zoomed in).
PositionTexts PositionsMs(int64_t selStartMs, int64_t selEndMs, int positionMs, bool fineCurrent);
// A time as the labels show it, see PositionsMs.
QString TimeText(int64_t ms);

} // namespace Transport
