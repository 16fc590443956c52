#pragma once
// What the transport commands do, decided without a window: which device
// modes each command acts in, the mark and extend rules, what a click on the
// timeline does to the device, and the four position texts. Columns are
// timeline columns (ColumnsPerSecond a second); times are milliseconds.

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
// The first column of the last whole second of a timeline; 0 when shorter than a second.
int LastSecondColumn(int timelineColumns);

// The cursor column for a playing position: the start of its whole second.
int FollowColumn(int positionMs);

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

// The four position labels.
struct PositionTexts {
    QString Begin;
    QString End;
    QString Length;
    QString Current;
};
PositionTexts Positions(int selStartSeconds, int selEndSeconds, int positionMs);

} // namespace Transport
