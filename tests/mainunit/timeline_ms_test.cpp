// The millisecond rules of a zoomable timeline, without a window: marks,
// extends, cursor moves and clicks at each scale, the labels with and without
// hundredths, the converter's times, and which part of a zoomed timeline is
// drawn.
#include "TimelineView.h"
#include "TransportRules.h"
#include "workThread.h"

#include <gtest/gtest.h>

namespace {

using namespace Transport;

TTimePos Ms(int64_t ms)
{
    return TTimePos::Exact(ms);
}

// Start and end times (as Play and Save read them) after a change applied to
// a selection.
std::pair<int64_t, int64_t> Apply(TTimePos start, TTimePos end, const PlaceChange& change)
{
    return {change.Start.value_or(start).TimeMs(), change.End.value_or(end).TimeMs()};
}

TEST(MillisecondRules, MarkAndExtendAtEveryScale)
{
    const struct {
        const char* what;
        int scale;
        TTimePos start, end, cursor;
        int64_t markStartFrom, markStartTo; // the selection after Mark start
        int64_t markEndFrom, markEndTo; // after Mark end
    } rows[] = {
        // Default scale: places on columns stand for their whole seconds.
        {"inside, default", 5, 100, 150, 120, 24000, 30000, 20000, 24000},
        {"beyond, default", 5, 100, 150, 200, 40000, 40000, 20000, 40000},
        {"before, default", 5, 100, 150, 60, 12000, 30000, 12000, 12000},
        // Zoomed in: exact, and a new selection is one column of the scale wide.
        {"inside, 250", 250, Ms(20000), Ms(30000), Ms(20348), 20348, 30000, 20000, 20348},
        {"beyond, 250", 250, Ms(20000), Ms(30000), Ms(32800), 32800, 32804, 20000, 32800},
        {"before, 100", 100, Ms(20000), Ms(30000), Ms(19350), 19350, 30000, 19350, 19360},
        {"beyond, 10", 10, Ms(20000), Ms(30000), Ms(30100), 30100, 30200, 20000, 30100},
        // A whole-second selection marked finer keeps its other end.
        {"mixed, 50", 50, 100, 150, Ms(20340), 20340, 30000, 20000, 20340},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.what);
        const int64_t column = ColumnMs(row.scale);
        EXPECT_EQ(Apply(row.start, row.end, MarkStartAt(row.start, row.end, row.cursor, column)),
            std::make_pair(row.markStartFrom, row.markStartTo));
        EXPECT_EQ(Apply(row.start, row.end, MarkEndAt(row.start, row.end, row.cursor, column)),
            std::make_pair(row.markEndFrom, row.markEndTo));
    }
    // Extend widens by a whole second at every scale, keeping the hundredths.
    EXPECT_EQ(Apply(Ms(20350), Ms(32800), ExtendLeftAt(Ms(20350), Ms(32800))),
        std::make_pair(int64_t{19350}, int64_t{32800}));
    EXPECT_EQ(Apply(Ms(20350), Ms(32800), ExtendRightAt(Ms(20350), Ms(32800))),
        std::make_pair(int64_t{20350}, int64_t{33800}));
    EXPECT_EQ(Apply(3, 150, ExtendLeftAt(3, 150)), std::make_pair(int64_t{0}, int64_t{30000}));
}

TEST(MillisecondRules, ClicksCursorAndFollowingAtEveryScale)
{
    const struct {
        int scale;
        int64_t x; // the clicked column of the timeline
        int64_t cursorMs; // the cursor's exact place
        int64_t timeMs; // its time for Play
    } rows[] = {
        {5, 99, 20000, 20000}, // one column right of the pointer, as ever
        {5, 101, 20400, 20000}, {10, 203, 20300, 20300}, {25, 509, 20360, 20360}, {50, 1017, 20340, 20340},
        {100, 2035, 20350, 20350}, {250, 5088, 20352, 20352},
        {250, -3, -12, -12}, // left of the start: stored, as a click beyond the end is
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.scale);
        const PlacePlan stopped = TimelineClickAt(Stopped, row.x, row.scale);
        EXPECT_FALSE(stopped.Stop);
        EXPECT_FALSE(stopped.SeekTo.has_value());
        EXPECT_EQ(stopped.Cursor.Ms, row.cursorMs);
        EXPECT_EQ(stopped.Cursor.TimeMs(), row.timeMs);
        const PlacePlan playing = TimelineClickAt(Playing, row.x, row.scale);
        EXPECT_TRUE(playing.Stop);
        EXPECT_EQ(playing.SeekTo, static_cast<int>(row.cursorMs)); // exact to the column
    }
    // Following playback: whole seconds at the default scale, exact when zoomed.
    EXPECT_EQ(static_cast<int>(FollowPlace(12345, 5)), 60);
    EXPECT_EQ(FollowPlace(12345, 5).TimeMs(), 12000);
    EXPECT_EQ(FollowPlace(12345, 250).TimeMs(), 12345);
    // Cursor keys: a second keeps the kind of place; the column-grid step is the scale's.
    EXPECT_EQ(Ms(20350).Moved(-1000).TimeMs(), 19350);
    EXPECT_EQ(TTimePos(104).Moved(1000).TimeMs(), 21000);
    EXPECT_EQ(static_cast<int>(TTimePos(104).Moved(1000)), 109);
    for (int scale : TimelineScales)
        EXPECT_EQ(ColumnMs(scale) * scale, 1000) << scale;
    EXPECT_EQ(NextScale(5, +1), 10);
    EXPECT_EQ(NextScale(250, +1), 250);
    EXPECT_EQ(NextScale(5, -1), 5);
    EXPECT_EQ(NextScale(100, -1), 50);
}

TEST(MillisecondRules, LabelsShowHundredthsOnlyOffTheWholeSecond)
{
    const struct {
        int64_t ms;
        const char* text;
    } rows[] = {
        {20000, "00:00:20"},
        {20350, "00:00:20.35"},
        {20359, "00:00:20.35"}, // truncated, as the whole seconds are
        {20004, "00:00:20.00"},
        {3725990, "01:02:05.99"},
        {-1000, "00:00:-01"},
        {-1350, "00:00:-01.35"},
        {-350, "00:00:-00.35"},
        {0, "00:00:00"},
    };
    for (const auto& row : rows)
        EXPECT_EQ(TimeText(row.ms), row.text) << row.ms;

    PositionTexts texts = PositionsMs(20350, 32800, 21234, false);
    EXPECT_EQ(texts.Begin, "Begin Pos: 00:00:20.35");
    EXPECT_EQ(texts.End, "End Pos: 00:00:32.80");
    EXPECT_EQ(texts.Length, "Length: 00:00:12.45");
    EXPECT_EQ(texts.Current, "Current Pos: 00:00:21");
    EXPECT_EQ(PositionsMs(20350, 32800, 21234, true).Current, "Current Pos: 00:00:21.23");
    // Whole seconds read exactly as the whole-second labels.
    texts = PositionsMs(TTimePos(104).TimeMs(), TTimePos(106).TimeMs(), 0, false);
    const PositionTexts today = Positions(104 / 5, 106 / 5, 0);
    EXPECT_EQ(texts.Begin, today.Begin);
    EXPECT_EQ(texts.Length, today.Length);
    // Play selection and the loop from the exact times; an empty one plays a second.
    EXPECT_EQ(SelectionSegmentMs(20350, 32800), (Segment{20350, 32800}));
    EXPECT_EQ(SelectionSegmentMs(20350, 20350), (Segment{20350, 21350}));
    EXPECT_EQ(SelectionSegmentMs(20000, 30000), SelectionSegment(20, 30));
}

TEST(MillisecondRules, ConverterTimesAreTodaysForWholeSeconds)
{
    const struct {
        int64_t startMs, endMs;
        const char* start;
        const char* duration;
    } rows[] = {
        {20000, 30000, "00:00:20", "00:00:10"},
        {3725000, 3735000, "01:02:05", "00:00:10"},
        {20000, 20000, "00:00:20", "00:00:00"},
        {20350, 32800, "00:00:20.350", "00:00:12.450"},
        {20352, 21000, "00:00:20.352", "00:00:00.648"},
        {3599996, 3600000, "00:59:59.996", "00:00:00.004"},
    };
    for (const auto& row : rows) {
        const TCutMp3ThreadInfo job = MakeJobInfoMs("in.mp3", "out.mp3", row.startMs, row.endMs);
        EXPECT_EQ(job.StartTime, row.start);
        EXPECT_EQ(job.Duration, row.duration);
        EXPECT_EQ(job.LengthMs, row.endMs - row.startMs);
    }
    const TCutMp3ThreadInfo seconds = MakeJobInfo("in.mp3", "out.mp3", 20, 30);
    const TCutMp3ThreadInfo ms = MakeJobInfoMs("in.mp3", "out.mp3", 20000, 30000);
    EXPECT_EQ(ConverterCommand(seconds)->Arguments, ConverterCommand(ms)->Arguments);
}

TEST(ZoomedView, OnlyAWindowRoundTheViewIsDrawn)
{
    using namespace TimelineView;
    const int64_t hour = 3600LL * FinestColumnsPerSecond; // 900 000 columns
    const int view = 361;
    Window w = WindowFor(0, view, hour, {});
    EXPECT_EQ(w, (Window{0, view + 2 * WindowMargin}));
    // Scrolling inside the window keeps it; leaving it centres a new one.
    EXPECT_EQ(WindowFor(WindowMargin, view, hour, w), w);
    const Window moved = WindowFor(500000, view, hour, w);
    EXPECT_EQ(moved, (Window{500000 - WindowMargin, view + 2 * WindowMargin}));
    // At the end, and a timeline shorter than the view (half a second).
    EXPECT_EQ(WindowFor(hour - view, view, hour, moved).First, hour - view - 2 * WindowMargin);
    EXPECT_EQ(WindowFor(0, view, 125, {}), (Window{0, 125}));
    EXPECT_EQ(WindowFor(0, view, 0, {}), (Window{0, 0}));
    // 18 hours at the finest scale: still a window of the same size.
    EXPECT_EQ(WindowFor(16000000, view, 18LL * hour, {}).Width, view + 2 * WindowMargin);

    // A zoom keeps the anchor's time under the same pixel.
    EXPECT_EQ(ZoomedViewLeft(20000, 100, 5), 0);
    EXPECT_EQ(ZoomedViewLeft(20000, 100, 250), 4900);
    // Following: still while in view, else the cursor a quarter in.
    EXPECT_EQ(FollowViewLeft(5000, 4900, view), 4900);
    EXPECT_EQ(FollowViewLeft(5300, 4900, view), 5300 - view / 4);
}

} // namespace
