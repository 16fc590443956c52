#include "BeatRules.h"

#include <QCoreApplication>

#include <algorithm>
#include <cmath>

namespace BeatRules {

namespace {

// The place a mark takes: the beat within half a beat of the cursor, exact;
// else the cursor itself.
TTimePos Snapped(const beats::TBeatGrid* grid, TTimePos cursor)
{
    if (!grid)
        return cursor;
    const std::optional<int64_t> beat = beats::SnapToBeatMs(*grid, cursor.Ms);
    return beat ? TTimePos::Exact(std::max<int64_t>(*beat, 0)) : cursor;
}

int64_t Ms(double seconds)
{
    return std::llround(std::clamp(seconds, 0.0, 1e12) * 1000.0);
}

} // namespace

Transport::PlaceChange MarkStartAt(
    const beats::TBeatGrid* grid, TTimePos selStart, TTimePos selEnd, TTimePos cursor, int64_t columnMs)
{
    return Transport::MarkStartAt(selStart, selEnd, Snapped(grid, cursor), columnMs);
}

Transport::PlaceChange MarkEndAt(const beats::TBeatGrid* grid, TTimePos selStart, TTimePos selEnd,
    TTimePos cursor, int64_t columnMs, int64_t durationMs)
{
    const TTimePos mark = Snapped(grid, cursor);
    Transport::PlaceChange change = Transport::MarkEndAt(selStart, selEnd, mark, columnMs);
    // Only an end marked after the kept start is fitted to whole bars; a mark
    // before the selection starts a new one there.
    if (!grid || change.Start || !change.End)
        return change;
    const int64_t startMs = std::min(selStart.TimeMs(), selEnd.TimeMs());
    const int64_t endMs = mark.TimeMs();
    const int64_t whole = beats::WholeBarsEndMs(*grid, startMs, endMs, durationMs);
    if (whole != endMs)
        change.End = TTimePos::Exact(whole);
    return change;
}

QString SnapHint(const beats::TBeatGrid* grid)
{
    if (!grid)
        return QCoreApplication::translate("MainForm", "Not snapped: the beats are still being found");
    if (!grid->Steady || grid->Beats.empty())
        return QCoreApplication::translate("MainForm", "Not snapped: this song has no steady beat");
    return {};
}

std::vector<int64_t> BeatTicksMs(bool snapping, const beats::TBeatGrid* grid)
{
    std::vector<int64_t> ticks;
    if (!snapping || !grid || !grid->Steady)
        return ticks;
    ticks.reserve(grid->Beats.size());
    for (const double beat : grid->Beats)
        ticks.push_back(Ms(beat));
    return ticks;
}

bool UntouchedSelection(TTimePos selStart, TTimePos selEnd)
{
    const TTimePos start = OpeningSelStart, end = OpeningSelEnd;
    return selStart.WholeSecond && selEnd.WholeSecond && selStart.Ms == start.Ms && selEnd.Ms == end.Ms;
}

double SuggestLengthSeconds(TTimePos selStart, TTimePos selEnd)
{
    constexpr double Default = 30;
    if (UntouchedSelection(selStart, selEnd))
        return Default;
    const int64_t length = std::abs(selEnd.TimeMs() - selStart.TimeMs());
    return length > 0 ? static_cast<double>(length) / 1000.0 : Default;
}

QString MinutesSeconds(double seconds)
{
    const int64_t whole = std::llround(std::floor(std::clamp(seconds, 0.0, 1e9)));
    return QStringLiteral("%1:%2").arg(whole / 60, 2, 10, QChar(u'0')).arg(whole % 60, 2, 10, QChar(u'0'));
}

SuggestPlan Suggestion(const music::TChorusSuggestion& suggestion)
{
    SuggestPlan plan;
    const int64_t from = Ms(suggestion.StartSeconds), to = Ms(suggestion.EndSeconds);
    if (to <= from) {
        plan.Hint = QCoreApplication::translate("MainForm", "Nothing to suggest: the song has no sound");
        return plan;
    }
    plan.Start = TTimePos::Exact(from);
    plan.End = TTimePos::Exact(to);
    const QString at = MinutesSeconds(suggestion.StartSeconds);
    plan.Hint = suggestion.Repeated
        ? QCoreApplication::translate("MainForm", "Suggested: the chorus at %1").arg(at)
        : QCoreApplication::translate("MainForm", "Nothing repeats: suggested the strongest stretch at %1")
              .arg(at);
    return plan;
}

QString SuggestNotReadyHint()
{
    return QCoreApplication::translate("MainForm", "Not suggested yet: the song is still being analysed");
}

} // namespace BeatRules
