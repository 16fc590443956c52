// The song's beats and chorus in the real main window, from analysis results
// the tests hand it as the sound module will: snapped marks, whole bars, the
// beat ticks, the suggested ringtone, the menu entries and the kept choice.
#include "MainWindowTest.h"
#include "SongAnalysis.h"
#include "SynthDrums.h"
#include "TransportRules.h"
#include "WaveEnvelope.h"

#include <QAction>
#include <QApplication>
#include <QMenu>
#include <QScrollArea>
#include <QScrollBar>

#include <algorithm>
#include <cmath>
#include <optional>

namespace {

// An analysis result as the sound module hands it over; remembers what Suggest was asked.
class TFakeAnalysis : public TSongAnalysis {
public:
    TFakeAnalysis(beats::TBeatGrid grid, music::TChorusSuggestion chorus = {})
        : grid_(std::move(grid))
        , chorus_(chorus)
    {
    }
    const beats::TBeatGrid& Beats() const override { return grid_; }
    music::TChorusSuggestion Suggest(double lengthSeconds, double maxLengthSeconds) const override
    {
        asked = {lengthSeconds, maxLengthSeconds};
        return chorus_;
    }
    mutable std::optional<std::pair<double, double>> asked;

private:
    beats::TBeatGrid grid_;
    music::TChorusSuggestion chorus_;
};

// 120 BPM from 0.25 s on, off the columns' 200 ms grid; bars of 4 beats (2 s) when `bars`.
beats::TBeatGrid Steady(bool bars, double seconds = 300)
{
    beats::TBeatGrid grid;
    grid.Steady = true;
    grid.TempoBpm = 120;
    for (int k = 0; 0.25 + 0.5 * k < seconds; ++k) {
        grid.Beats.push_back(0.25 + 0.5 * k);
        if (bars && k % 4 == 0)
            grid.Bars.push_back(grid.Beats.back());
    }
    grid.BeatsPerBar = bars ? 4 : 0;
    return grid;
}

class BeatsWindow : public MainWindowTest {
protected:
    // A 5-minute song shown, its envelope drawn in full.
    void OpenSong()
    {
        Open(Wav("song.wav", 300));
        ASSERT_TRUE(EnvelopeDone());
    }
    void Analysed(beats::TBeatGrid grid, music::TChorusSuggestion chorus = {})
    {
        analysis = std::make_shared<TFakeAnalysis>(std::move(grid), chorus);
        form->SetSongAnalysis(analysis);
    }
    void Cursor(int64_t ms) { form->WaveRender->SetPlayPos(TTimePos::Exact(ms)); }
    QAction* Entry(const QString& text) const
    {
        if (!form->OptionsMenu)
            form->ShowOptionsMenu(QPoint(0, 0));
        if (auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget()))
            menu->close();
        for (QAction* action : form->OptionsMenu->actions())
            if (action->text() == text)
                return action;
        return nullptr;
    }
    std::shared_ptr<TFakeAnalysis> analysis;
};

// The selection as the labels, Play and Save read it, ms.
std::pair<int64_t, int64_t> Selection(const TMainForm& form)
{
    return {form.WaveRender->SelStartMs(), form.WaveRender->SelEndMs()};
}

TEST_F(BeatsWindow, MarksLandOnBeatsAndTheEndOnWholeBars)
{
    OpenSong();
    const QString notSteady = "Not snapped: this song has no steady beat";
    const QString notReady = "Not snapped: the beats are still being found";
    const struct {
        const char* what;
        bool snap;
        std::optional<beats::TBeatGrid> grid; // none: not analysed yet
        int64_t startCursor, endCursor;
        std::pair<int64_t, int64_t> selection;
        QString hint; // empty: the hint line is left alone
    } rows[] = {
        // Snapping off: as ever, whatever the analysis says.
        {"off", false, Steady(true), 10400, 17000, {10400, 17000}, {}},
        // 10.4 s: the beat at 10.25 s; the end at 17 s snaps to 16.75 s, and
        // the nearest whole number of 2 s bars from 10.25 s ends at 16.25 s.
        {"bars", true, Steady(true), 10400, 17000, {10250, 16250}, {}},
        // No bars known: whole beats, so 16.75 s stays.
        {"beats", true, Steady(false), 10400, 17000, {10250, 16750}, {}},
        // An end within the first bar: one bar.
        {"one bar", true, Steady(true), 10400, 11000, {10250, 12250}, {}},
        {"no steady beat", true, beats::TBeatGrid{}, 10400, 17000, {10400, 17000}, notSteady},
        {"not ready", true, std::nullopt, 10400, 17000, {10400, 17000}, notReady},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.what);
        form->SnapToBeat = row.snap;
        form->SetSongAnalysis(nullptr);
        if (row.grid)
            Analysed(*row.grid);
        form->lbl_status->SetCaption({});
        Cursor(row.startCursor);
        Click(form->btnMarkStart);
        Cursor(row.endCursor);
        QTest::keyClick(form.get(), Qt::Key_BracketRight);
        EXPECT_EQ(Selection(*form), row.selection);
        EXPECT_EQ(form->lbl_status->Caption(), row.hint);

        // The loop preview repeats what is selected: with snapping, its seam
        // is on a beat and whole bars (beats) from its start.
        const std::optional<Transport::Segment> loop
            = Transport::LoopSegmentMs(row.selection.first, row.selection.second);
        ASSERT_TRUE(loop);
        if (row.snap && row.grid && row.grid->Steady) {
            const int unitMs = row.grid->BeatsPerBar > 0 ? 2000 : 500;
            EXPECT_EQ((loop->To - loop->From) % unitMs, 0) << loop->From << ".." << loop->To;
            EXPECT_EQ(loop->From % 500, 250); // on a beat
        }
    }
}

TEST_F(BeatsWindow, BeatTicksShowOnlyWhileSnappingWithKnownBeats)
{
    OpenSong();
    const QImage today = form->imgWave->Picture();
    const QRgb tick = 0xFF000000u | TWaveRender::BeatColor;
    const struct {
        const char* what;
        bool snap;
        std::optional<beats::TBeatGrid> grid;
        bool ticks;
    } rows[] = {
        {"off, beats known", false, Steady(true), false},
        {"on, not analysed", true, std::nullopt, false},
        {"on, no steady beat", true, beats::TBeatGrid{}, false},
        {"on, beats known", true, Steady(true), true},
        {"off again", false, Steady(true), false},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.what);
        form->SetSongAnalysis(nullptr);
        if (row.grid)
            Analysed(*row.grid);
        if (form->SnapToBeat != row.snap)
            QTest::keyClick(form.get(), Qt::Key_B);
        ASSERT_EQ(form->SnapToBeat, row.snap);
        const QImage& now = form->imgWave->Picture();
        if (!row.ticks) {
            EXPECT_TRUE(now == today);
            continue;
        }
        // A tick on each beat's column (0.25 s: column 1, 10.75 s: column 53)
        // in the four rows under the ruler, and nothing else changed.
        for (const int x : {1, 53})
            for (int y = 16; y < 20; ++y)
                EXPECT_EQ(now.pixel(x, y), tick) << x << "," << y;
        int changed = 0;
        for (int y = 0; y < now.height(); ++y)
            for (int x = 0; x < now.width(); ++x)
                if (now.pixel(x, y) != today.pixel(x, y)) {
                    ++changed;
                    EXPECT_TRUE(y >= 16 && y < 20 && (x * 200 + 200 - 250) % 500 < 200) << x << "," << y;
                }
        EXPECT_EQ(changed, 4 * 600); // two beats a second, 300 s
    }
}

TEST_F(BeatsWindow, SuggestSelectsTheChorusAndShowsIt)
{
    OpenSong();
    QScrollBar* bar = form->ScrollBoxWave->horizontalScrollBar();
    const struct {
        const char* what;
        std::function<void()> before;
        int filterIndex; // the save dialog's type: 1 MP3 (the phone plays all), 3 iPhone (40 s)
        music::TChorusSuggestion chorus;
        std::pair<double, double> asked; // length, limit
        QString hint;
    } rows[] = {
        {"untouched selection", [] {}, 1, {250.5, 280.5, true}, {30, 0}, "Suggested: the chorus at 04:10"},
        {"marked 12 s, iPhone", [&] { form->WaveRender->SetSelEnd(TTimePos::Exact(262500)); }, 3,
            {62.25, 74.25, true}, {12, 40}, "Suggested: the chorus at 01:02"},
        {"nothing repeats", [] {}, 1, {130, 142, false}, {12, 0},
            "Nothing repeats: suggested the strongest stretch at 02:10"},
        // Zoomed in to the finest scale, far from the cursor: the view follows too.
        {"zoomed in",
            [&] {
                for (int i = 0; i < 5; ++i)
                    QTest::keyClick(form.get(), Qt::Key_Plus);
            },
            1, {275.5, 287.5, true}, {12, 0}, "Suggested: the chorus at 04:35"},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.what);
        row.before();
        form->SaveDialog1.FilterIndex = row.filterIndex;
        Analysed(Steady(true), row.chorus);
        QTest::keyClick(form.get(), Qt::Key_C);
        ASSERT_TRUE(analysis->asked);
        EXPECT_EQ(*analysis->asked, row.asked);
        const auto ms = [](double s) { return static_cast<int64_t>(std::llround(s * 1000)); };
        EXPECT_EQ(Selection(*form), std::make_pair(ms(row.chorus.StartSeconds), ms(row.chorus.EndSeconds)));
        EXPECT_EQ(form->WaveRender->PlayPosMs(), ms(row.chorus.StartSeconds));
        EXPECT_EQ(form->lbl_status->Caption(), row.hint);
        // The start is in view.
        const int scale = form->WaveRender->Scale;
        EXPECT_EQ(scale, std::string(row.what) == "zoomed in" ? FinestColumnsPerSecond : ColumnsPerSecond);
        const int x
            = TMainForm::WaveOrigin.x() + static_cast<int>(ColumnOfMs(ms(row.chorus.StartSeconds), scale));
        EXPECT_GE(x, bar->value()) << scale;
        EXPECT_LT(x, bar->value() + form->ScrollBoxWave->viewport()->width());
    }

    // Before the analysis is ready: nothing selected, and the hint says why.
    const auto before = Selection(*form);
    form->SetSongAnalysis(nullptr);
    QTest::keyClick(form.get(), Qt::Key_C);
    EXPECT_EQ(Selection(*form), before);
    EXPECT_EQ(form->lbl_status->Caption(), "Not suggested yet: the song is still being analysed");
    // Handing over an analysis never changes the selection by itself.
    Analysed(Steady(true), {10, 40, true});
    EXPECT_EQ(Selection(*form), before);
    EXPECT_FALSE(analysis->asked);
}

TEST_F(BeatsWindow, TheMenuOffersBothAndSnappingIsKept)
{
    // F1 lists the keys.
    QTest::keyClick(form.get(), Qt::Key_F1);
    ASSERT_FALSE(dialogs.Log.isEmpty());
    EXPECT_TRUE(dialogs.Log.last().contains("\nB\tSnap to the beat on / off\n"));
    EXPECT_TRUE(dialogs.Log.last().contains("\nC\tSuggest a ringtone (the chorus)\n"));

    QAction* snap = Entry("Snap to the beat");
    ASSERT_NE(snap, nullptr);
    ASSERT_NE(Entry("Suggest a ringtone"), nullptr);
    EXPECT_TRUE(snap->isCheckable());
    EXPECT_FALSE(snap->isChecked());
    EXPECT_FALSE(form->SnapToBeat); // off at first
    snap->trigger();
    EXPECT_TRUE(form->SnapToBeat);

    // A new start reads it back, and the menu shows it checked.
    form = std::make_unique<TMainForm>();
    form->show();
    EXPECT_TRUE(form->SnapToBeat);
    EXPECT_TRUE(Entry("Snap to the beat")->isChecked());
    QTest::keyClick(form.get(), Qt::Key_B);
    form = std::make_unique<TMainForm>();
    EXPECT_FALSE(form->SnapToBeat);
}

} // namespace

namespace {

// The whole road with the real sound module: a drum groove opens, its beats
// are found in the pass that draws its sound, and the marks snap onto the
// beats it was made with; Suggest then selects within the song.
TEST_F(BeatsWindow, AnOpenedGrooveSnapsToItsOwnBeats)
{
    const drums::TSong groove = drums::Groove({.Bpm = 120, .Seconds = 30, .Seed = 3});
    const QString path = Path("groove.wav");
    testmedia::WriteWav(QFile::encodeName(path).toStdString(), drums::kRate, 1,
        static_cast<int64_t>(groove.Samples.size()), [&](int64_t i, int) {
            return static_cast<int16_t>(std::clamp(groove.Samples[size_t(i)], -1.0f, 1.0f) * 32000);
        });
    Open(path);
    ASSERT_TRUE(QTest::qWaitFor([&] { return form->SongAnalysis() != nullptr; }, 60000))
        << "the analysis never reached the window";
    ASSERT_TRUE(form->SongAnalysis()->Beats().Steady);
    EXPECT_NEAR(form->SongAnalysis()->Beats().TempoBpm, 120, 2.4);

    form->SnapToBeat = true;
    const auto nearestTrueBeat = [&](int64_t ms) {
        double best = 1e9;
        for (double beat : groove.Beats)
            best = std::min(best, std::abs(beat * 1000 - double(ms)));
        return best;
    };
    Cursor(10400);
    Click(form->btnMarkStart);
    Cursor(18100);
    Click(form->btnMarkEnd);
    const auto [start, end] = Selection(*form);
    EXPECT_LT(nearestTrueBeat(start), 70) << start;
    EXPECT_LT(nearestTrueBeat(end), 70) << end;
    // Whole bars of 2 s at 120 BPM: the phone's repeat lands on the beat.
    const double bars = double(end - start) / 2000.0;
    EXPECT_GE(bars, 1);
    EXPECT_NEAR(bars, std::round(bars), 0.05);

    QTest::keyClick(form.get(), Qt::Key_C);
    const auto [from, to] = Selection(*form);
    EXPECT_GE(from, 0);
    EXPECT_LE(to, 30000);
    EXPECT_EQ(form->WaveRender->PlayPosMs(), from);
    EXPECT_FALSE(form->lbl_status->Caption().isEmpty());
}

} // namespace
