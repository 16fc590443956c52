// The zoomed timeline in the real window: clicks drawn where they are at 250
// columns a second, only a window of a long timeline drawn, the keys and the
// wheel, marks to the hundredth and the default picture unchanged after a zoom.
#include "MainWindowTest.h"
#include "WaveEnvelope.h"

#include <QAccessible>
#include <QKeyEvent>
#include <QScrollArea>
#include <QScrollBar>
#include <QWheelEvent>

namespace {

class Zoom : public MainWindowTest {
protected:
    void Press(int key, Qt::KeyboardModifiers modifiers = Qt::NoModifier)
    {
        QKeyEvent press(QEvent::KeyPress, key, modifiers);
        QApplication::sendEvent(form.get(), &press);
    }
    // 4 s at 8 kHz: a 1 ms click every 0.25 s, silence between.
    QString ClickTrack()
    {
        const QString path = Path("clicks.wav");
        testmedia::WriteWav(QFile::encodeName(path).toStdString(), 8000, 1, 4 * 8000,
            [](int64_t i, int) { return static_cast<int16_t>(i % 2000 < 8 ? 24000 : 0); });
        return path;
    }
    void Idle() { form->ApplicationEvents1Idle(); }
};

TEST_F(Zoom, ClicksAQuarterSecondApartAreSeparatePeaksAt250ColumnsASecond)
{
    Open(ClickTrack());
    ASSERT_TRUE(EnvelopeDone());
    form->WaveRender->PlayPos = 1000; // cursor and marks off the clicks
    form->ZoomAt(250, 0, 0);
    ASSERT_EQ(form->WaveRender->Scale, 250);
    ASSERT_EQ(form->WaveRender->FirstColumn, 0);
    for (int k = 0; k < 16; ++k) {
        SCOPED_TRACE(k);
        const int at = k * 250 / 4; // the click's column
        int peak = at;
        for (int x = std::max(at - 10, 0); x <= at + 10; ++x)
            if (Drawn(x) > Drawn(peak))
                peak = x;
        EXPECT_LE(std::abs(peak - at), 1);
        EXPECT_GT(Drawn(peak), 20);
        // Silence between the clicks: each peak stands alone.
        EXPECT_EQ(Drawn(at + 31), 0);
    }
}

TEST_F(Zoom, ALongTimelineIsDrawnOnlyRoundTheViewAndTheDefaultPictureComesBack)
{
    Open(Mp3("long.mp3", 1200, {"-ar", "8000", "-ac", "1", "-b:a", "16k"}));
    ASSERT_EQ(form->WaveRender->WaveLength, 6000);
    ASSERT_TRUE(EnvelopeDone());
    const QImage whole = form->imgWave->Picture();
    Idle();
    const QStringList labels{form->lblBeginPos->Caption(), form->lblEndPos->Caption()};
    ASSERT_EQ(form->Timer2->interval(), 1000);
    for (int i = 0; i < 5; ++i)
        Press(Qt::Key_Plus);
    ASSERT_EQ(form->WaveRender->Scale, 250);
    EXPECT_EQ(form->Timer2->interval(), 50); // the cursor moves 20 times a second
    // 300 000 columns of timeline, a picture not much wider than the view.
    EXPECT_EQ(form->ScrollBoxWaveContent->width(), 13 + 300000);
    EXPECT_LE(form->imgWave->Picture().width(), form->ScrollBoxWave->viewport()->width() + 1000);
    // Scrolled far on: the picture follows and draws that part.
    QScrollBar* bar = form->ScrollBoxWave->horizontalScrollBar();
    bar->setValue(200000);
    const int64_t first = form->WaveRender->FirstColumn;
    EXPECT_LE(first, 200000 - 13);
    EXPECT_GE(
        first + form->imgWave->Picture().width(), 200000 - 13 + form->ScrollBoxWave->viewport()->width());
    EXPECT_EQ(form->imgWave->x(), 13 + first);
    // A click lands on the clicked column's time.
    QTest::mouseClick(form->imgWave, Qt::LeftButton, {}, QPoint(100, 60));
    EXPECT_EQ(form->WaveRender->PlayPos.Ms, (first + 100) * 4);

    Press(Qt::Key_0);
    EXPECT_EQ(form->WaveRender->Scale, 5);
    EXPECT_EQ(form->Timer2->interval(), 1000);
    EXPECT_EQ(form->imgWave->Picture().width(), 6000);
    EXPECT_EQ(form->ScrollBoxWaveContent->width(), 13 + 6000);
    // The same picture but for the cursor, which the click moved.
    form->WaveRender->PlayPos = 20;
    form->WaveRender->Paint();
    EXPECT_TRUE(form->imgWave->Picture() == whole);
    Idle();
    EXPECT_EQ((QStringList{form->lblBeginPos->Caption(), form->lblEndPos->Caption()}), labels);
}

TEST_F(Zoom, KeysAndTheWheelMarkToTheHundredth)
{
    Open(Wav("song.wav", 40));
    // Ctrl+wheel over the timeline zooms in round the pointer.
    QWidget* viewport = form->ScrollBoxWave->viewport();
    QWheelEvent wheel(QPointF(50, 60), viewport->mapToGlobal(QPointF(50, 60)), {}, {0, 120}, Qt::NoButton,
        Qt::ControlModifier, Qt::NoScrollPhase, false);
    QApplication::sendEvent(viewport, &wheel);
    EXPECT_EQ(form->WaveRender->Scale, 10);
    Press(Qt::Key_Minus);
    EXPECT_EQ(form->WaveRender->Scale, 5);
    Press(Qt::Key_Minus); // the default scale is the coarsest
    EXPECT_EQ(form->WaveRender->Scale, 5);
    // A touchpad turns a notch in small steps: one zoom step a notch.
    for (const int expected : {5, 5, 10, 10, 10, 25}) {
        QWheelEvent turn(QPointF(50, 60), viewport->mapToGlobal(QPointF(50, 60)), {}, {0, 40}, Qt::NoButton,
            Qt::ControlModifier, Qt::ScrollUpdate, false);
        QApplication::sendEvent(viewport, &turn);
        EXPECT_EQ(form->WaveRender->Scale, expected);
    }
    Press(Qt::Key_0);

    // The cursor at 4 s; at 100 columns a second Alt+Right is 10 ms on.
    for (int i = 0; i < 4; ++i)
        Press(Qt::Key_Plus, Qt::KeypadModifier);
    ASSERT_EQ(form->WaveRender->Scale, 100);
    for (int i = 0; i < 35; ++i)
        Press(Qt::Key_Right, Qt::AltModifier);
    Press(Qt::Key_Left, Qt::AltModifier);
    EXPECT_EQ(form->WaveRender->PlayPosMs(), 4340);
    Press(Qt::Key_BracketLeft);
    Press(Qt::Key_Right); // a whole second on
    Press(Qt::Key_Right, Qt::AltModifier);
    Press(Qt::Key_BracketRight);
    Idle();
    EXPECT_EQ(form->lblBeginPos->Caption(), "Begin Pos: 00:00:04.34");
    EXPECT_EQ(form->lblEndPos->Caption(), "End Pos: 00:00:05.35");
    EXPECT_EQ(form->lblSelectedLength->Caption(), "Length: 00:00:01.01");
    QAccessibleInterface* timeline = QAccessible::queryAccessibleInterface(form->imgWave);
    ASSERT_NE(timeline, nullptr);
    EXPECT_EQ(timeline->text(QAccessible::Value), "Start 00:00:04.34, end 00:00:05.35, cursor 00:00:05.35");
    // Back at the default scale the marks keep their hundredths.
    Press(Qt::Key_0);
    Idle();
    EXPECT_EQ(form->lblBeginPos->Caption(), "Begin Pos: 00:00:04.34");
    // Shift+Right still widens by a second.
    Press(Qt::Key_Right, Qt::ShiftModifier);
    Idle();
    EXPECT_EQ(form->lblEndPos->Caption(), "End Pos: 00:00:06.35");
}

TEST_F(Zoom, ZoomedInTheCursorFollowsPlaybackSmoothlyAndStaysInView)
{
    Open(Wav("song.wav", 40));
    form->ZoomAt(250, form->WaveRender->PlayPos.Ms, 20);
    QTest::mouseClick(form->btnPlay, Qt::LeftButton);
    ASSERT_EQ(form->MediaPlayer1->Mode(), 2);
    const auto inView = [&] {
        const int64_t left = form->ScrollBoxWave->horizontalScrollBar()->value() - 13;
        const int64_t column = ColumnOfMs(form->WaveRender->PlayPos.Ms, 250);
        return column >= left && column < left + form->ScrollBoxWave->viewport()->width();
    };
    // Past the first view (1.4 s at 250 columns a second): the view has moved on with it.
    EXPECT_TRUE(QTest::qWaitFor([&] { return form->WaveRender->PlayPos.Ms > 6000 && inView(); }, 10000));
    // Positions between whole seconds, and the current position with its hundredths.
    EXPECT_TRUE(QTest::qWaitFor([&] { return form->WaveRender->PlayPos.Ms % 1000 > 100; }, 5000));
    EXPECT_TRUE(QTest::qWaitFor(
        [&] {
            Idle();
            return form->lblCurrentPos->Caption().contains(u'.');
        },
        5000))
        << form->lblCurrentPos->Caption().toStdString();
    QTest::mouseClick(form->MouseEffectImage1, Qt::LeftButton);
}

TEST_F(Zoom, ZoomedInTheMarksStandWhereTheRingtoneIsCut)
{
    Open(Wav("song.wav", 40));
    ASSERT_TRUE(EnvelopeDone());
    TWaveRender& r = *form->WaveRender;
    // Marked at the default scale on columns 104 and 151: cut from 20 s to 30 s.
    form->WaveRender->SetSelStart(104);
    form->WaveRender->SetSelEnd(151);
    ASSERT_EQ(r.SelStartMs(), 20000);
    ASSERT_EQ(r.SelEndMs(), 30000);
    form->WaveRender->PlayPos = 0;
    for (int i = 0; i < 2; ++i)
        Press(Qt::Key_Plus);
    ASSERT_EQ(r.Scale, 25);
    // The start mark's triangle ends on its column, the end mark's begins on its.
    const QImage& picture = form->imgWave->Picture();
    const int bottom = picture.height() - 1;
    for (const auto& [ms, color] :
        {std::pair{int64_t{20000}, r.StartMarkColor}, {int64_t{30000}, r.EndMarkColor}}) {
        SCOPED_TRACE(ms);
        const int64_t x = ColumnOfMs(ms, 25) - r.FirstColumn;
        ASSERT_GE(x, 8);
        ASSERT_LT(x + 8, picture.width());
        EXPECT_EQ(picture.pixel(static_cast<int>(x), bottom), 0xFF000000u | color);
        const int64_t late = ColumnOfMs(ms + 800, 25) - r.FirstColumn;
        EXPECT_NE(picture.pixel(static_cast<int>(late), bottom), 0xFF000000u | color);
    }

    // Zoomed in at the timeline's start, a new file's timeline scrolls only as far as it reaches.
    Open(Wav("short.wav", 3));
    EXPECT_EQ(r.Scale, 5);
    EXPECT_EQ(form->ScrollBoxWaveContent->width(), 13 + 15);
}

TEST_F(Zoom, NothingToZoomBeforeAFileAndHalfASecondZoomsSafely)
{
    Press(Qt::Key_Plus); // before any file: no timeline to zoom
    EXPECT_EQ(form->WaveRender->Scale, 5);
    Open(Wav("short.wav", 0.5)); // a timeline of no whole second
    for (int i = 0; i < 6; ++i)
        Press(Qt::Key_Plus);
    EXPECT_EQ(form->WaveRender->Scale, 250);
    EXPECT_LE(form->imgWave->Picture().width(), 1);
    Press(Qt::Key_Right, Qt::AltModifier);
    EXPECT_EQ(form->WaveRender->PlayPosMs(), 4004);
    Press(Qt::Key_0);
    EXPECT_EQ(form->WaveRender->Scale, 5);
    // A new file always opens at the default scale.
    Press(Qt::Key_Plus);
    Open(Wav("again.wav", 3));
    EXPECT_EQ(form->WaveRender->Scale, 5);
    EXPECT_EQ(form->Timer2->interval(), 1000);
    EXPECT_EQ(form->imgWave->Picture().width(), 15);
    EXPECT_EQ(form->imgWave->x(), 13);
}

} // namespace
