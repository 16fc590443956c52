// The transport commands through the real main window and the real device
// (SDL's silent driver, which plays at real-time pace).
#include "MainWindowTest.h"
#include "TransportRules.h"

#include <QEventLoop>

#include <cstdlib>

namespace {

struct PaintCounter : QObject {
    int count = 0;
    bool eventFilter(QObject*, QEvent* event) override
    {
        count += event->type() == QEvent::Paint || event->type() == QEvent::UpdateRequest;
        return false;
    }
};

class TransportTest : public MainWindowTest {
protected:
    void Load(double seconds = 45)
    {
        Open(Mp3("song.mp3", seconds, {"-ac", "2", "-b:a", "128k"}));
        ASSERT_EQ(Mode(), 1);
    }
    void Select(int start, int end, int cursor)
    {
        form->WaveRender->SelStart = start;
        form->WaveRender->SelEnd = end;
        form->WaveRender->PlayPos = cursor;
    }
    std::pair<int, int> Selection() const { return {form->WaveRender->SelStart, form->WaveRender->SelEnd}; }
    bool WaitForMode(int mode)
    {
        return QTest::qWaitFor([&] { return Mode() == mode; }, 5000);
    }
    void Release(int x)
    {
        QTest::mousePress(form->imgWave, Qt::LeftButton, {}, QPoint(10, 40));
        QTest::mouseRelease(form->imgWave, Qt::LeftButton, {}, QPoint(x, 40));
    }
};

TEST_F(TransportTest, BeforeAnyFileEveryCommandIsInertAndTheLabelsShowTheDefaults)
{
    for (QWidget* button :
        std::initializer_list<QWidget*>{form->btnPlay, form->MouseEffectImage1, form->btnMarkStart,
            form->btnMarkEnd, form->btnMoveLeft, form->btnMoveRight, form->btnPlaySelected})
        Click(button);
    form->Timer2Timer();
    Settle();
    EXPECT_EQ(Selection(), std::make_pair(100, 150));
    EXPECT_EQ(form->WaveRender->PlayPos, 20);
    EXPECT_EQ(Mode(), 0);
    EXPECT_EQ(Positions(),
        (QStringList{
            "Begin Pos: 00:00:20", "End Pos: 00:00:30", "Length: 00:00:10", "Current Pos: 00:00:00"}));
    EXPECT_TRUE(dialogs.Log.isEmpty()) << dialogs.Log.join('\n').toStdString();

    // The refresh runs whenever the queue runs empty; unchanged texts repaint nothing.
    PaintCounter paints;
    for (QWidget* label : std::initializer_list<QWidget*>{
             form->lblBeginPos, form->lblEndPos, form->lblSelectedLength, form->lblCurrentPos})
        label->installEventFilter(&paints);
    for (int i = 0; i < 5; ++i)
        Settle();
    EXPECT_EQ(paints.count, 0);
    form->WaveRender->SelStart = 105;
    Settle();
    EXPECT_EQ(form->lblBeginPos->Caption(), "Begin Pos: 00:00:21");
}

TEST_F(TransportTest, MarkAndExtendMoveTheSelectionAndItsLabels)
{
    Load();
    const struct {
        int start, end, cursor;
        QWidget* button;
        int newStart, newEnd;
        const char* begin;
        const char* length;
    } cases[] = {
        {100, 150, 200, form->btnMarkStart, 200, 201, "Begin Pos: 00:00:40", "Length: 00:00:00"},
        {100, 150, 20, form->btnMarkStart, 20, 150, "Begin Pos: 00:00:04", "Length: 00:00:26"},
        {100, 150, 150, form->btnMarkStart, 150, 150, "Begin Pos: 00:00:30", "Length: 00:00:00"},
        {100, 150, 60, form->btnMarkEnd, 60, 61, "Begin Pos: 00:00:12", "Length: 00:00:00"},
        {100, 150, 120, form->btnMarkEnd, 100, 120, "Begin Pos: 00:00:20", "Length: 00:00:04"},
        {3, 150, 0, form->btnMoveLeft, -2, 150, "Begin Pos: 00:00:00", "Length: 00:00:30"},
        {-2, 150, 0, form->btnMoveLeft, -7, 150, "Begin Pos: 00:00:-01", "Length: 00:00:31"},
        {100, 150, 0, form->btnMoveRight, 100, 155, "Begin Pos: 00:00:20", "Length: 00:00:11"},
        {104, 106, 0, form->btnMoveRight, 104, 111, "Begin Pos: 00:00:20", "Length: 00:00:02"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << c.start << ".." << c.end << " at " << c.cursor);
        Select(c.start, c.end, c.cursor);
        Click(c.button);
        Settle();
        EXPECT_EQ(Selection(), std::make_pair(c.newStart, c.newEnd));
        EXPECT_EQ(form->lblBeginPos->Caption(), c.begin);
        EXPECT_EQ(form->lblSelectedLength->Caption(), c.length);
    }
    Select(104, 106, 0);
    Settle();
    EXPECT_EQ(form->lblSelectedLength->Caption(), "Length: 00:00:01");
}

TEST_F(TransportTest, PlayPauseAndTheCursorFollowingPlayback)
{
    Load();
    Select(100, 150, 61); // Play starts at the cursor's whole second, 12 s
    Click(form->MouseEffectImage1); // Pause when stopped: nothing
    EXPECT_EQ(Mode(), 1);
    Click(form->btnPlay);
    EXPECT_EQ(Mode(), 2);
    EXPECT_EQ(form->MediaPlayer1->StartPos(), 12000);
    ASSERT_TRUE(QTest::qWaitFor([&] { return form->MediaPlayer1->Position() >= 12345; }, 5000));
    // Play while playing: nothing, playback runs on from where it is.
    Click(form->btnPlay);
    EXPECT_GE(form->MediaPlayer1->Position(), 12345);
    const int before = form->MediaPlayer1->Position();
    form->Timer2Timer();
    const int after = form->MediaPlayer1->Position();
    const int column = form->WaveRender->PlayPos;
    EXPECT_TRUE(column == Transport::FollowColumn(before) || column == Transport::FollowColumn(after))
        << column;
    // The timer itself moves the cursor a second later.
    form->WaveRender->PlayPos = 0;
    EXPECT_TRUE(QTest::qWaitFor([&] { return form->WaveRender->PlayPos >= 60; }, 3000));
    Settle();
    EXPECT_TRUE(form->lblCurrentPos->Caption().startsWith("Current Pos: 00:00:1"));
    Click(form->MouseEffectImage1);
    EXPECT_EQ(Mode(), 1);
    const int stoppedAt = form->WaveRender->PlayPos;
    form->Timer2Timer(); // stopped: the cursor stays
    EXPECT_EQ(form->WaveRender->PlayPos, stoppedAt);
}

TEST_F(TransportTest, ClickOnTheTimelineMovesTheCursorAndSeeksOnlyWhilePlaying)
{
    Load();
    Select(100, 150, 20);
    const int position = form->MediaPlayer1->Position();
    Release(99);
    EXPECT_EQ(form->WaveRender->PlayPos, 100);
    EXPECT_EQ(Mode(), 1);
    EXPECT_EQ(form->MediaPlayer1->Position(), position);
    Click(form->btnPlay);
    EXPECT_GE(form->MediaPlayer1->Position(), 20000);
    EXPECT_LT(form->MediaPlayer1->Position(), 21000);

    Release(49); // while playing: stop, seek to 10 s, play on to the end
    EXPECT_EQ(form->WaveRender->PlayPos, 50);
    EXPECT_EQ(Mode(), 2);
    EXPECT_GE(form->MediaPlayer1->Position(), 10000);
    EXPECT_LT(form->MediaPlayer1->Position(), 11000);
    EXPECT_FALSE(form->MediaPlayer1->EndPending());
}

TEST_F(TransportTest, PlayTheSelectionPlaysWhatSaveWrites)
{
    Load();
    Select(100, 150, 0);
    Click(form->btnPlaySelected);
    EXPECT_EQ(Mode(), 2);
    EXPECT_EQ(form->MediaPlayer1->StartPos(), 20000);
    EXPECT_EQ(form->MediaPlayer1->EndPos(), 30000);
    EXPECT_GE(form->MediaPlayer1->Position(), 20000);
    EXPECT_EQ(form->WaveRender->PlayPos, 0); // the timer moves it, not the command
}

TEST_F(TransportTest, ACursorOutsideTheFilePlaysNothingAndSaysNothing)
{
    Load(5);
    Release(-30); // a release left of the image
    EXPECT_EQ(form->WaveRender->PlayPos, -29);
    Click(form->btnPlay);
    EXPECT_TRUE(WaitForMode(1));
    Select(100, 150, 5000); // far beyond the end
    Click(form->btnPlay);
    EXPECT_TRUE(WaitForMode(1));
    Click(form->btnPlaySelected); // the selection lies beyond the end, too
    EXPECT_TRUE(WaitForMode(1));
    EXPECT_TRUE(dialogs.Log.filter("error").isEmpty()) << dialogs.Log.join('\n').toStdString();
}

TEST_F(TransportTest, PlayTheSelectionOfAFileThatIsGoneShowsTheDeviceError)
{
    Load(5);
    ASSERT_TRUE(QFile::remove(form->OpenedFileName));
    Click(form->btnPlaySelected);
    EXPECT_EQ(dialogs.Entries("error").size(), 1);
    EXPECT_EQ(Mode(), 0);
    Click(form->btnPlay); // the device is closed: nothing more happens
    EXPECT_EQ(dialogs.Entries("error").size(), 1);
}

// Real sound: the file named on the command line, Play clicked, through a
// private PulseAudio server (scripts/with-pulse.sh).
TEST_F(TransportTest, PlaysARealFileThroughTheSoundServer)
{
    const char* flag = std::getenv("VELUMO_PULSE_TEST");
    if (!flag || std::string(flag) != "1")
        GTEST_SKIP() << "needs scripts/with-pulse.sh";
    form->OpenPath(Mp3("from the command line.mp3", 40, {"-ac", "2", "-b:a", "128k"}));
    ASSERT_EQ(Mode(), 1);
    Select(100, 150, 20);
    Click(form->btnPlay);
    EXPECT_EQ(SoundOutputDriver(), "pulseaudio");
    EXPECT_EQ(Mode(), 2);
    // The null sink's clock may run slow: ask for progress, not for pace.
    EXPECT_TRUE(QTest::qWaitFor([&] { return form->MediaPlayer1->Position() >= 4500; }, 10000));
    EXPECT_TRUE(QTest::qWaitFor([&] { return form->WaveRender->PlayPos > 20; }, 5000)); // the next tick
    Select(100, 101, 20); // within the 20th second: that second plays
    Click(form->btnPlaySelected);
    EXPECT_TRUE(QTest::qWaitFor([&] { return Mode() == 1; }, 15000));
    EXPECT_EQ(form->MediaPlayer1->Position(), 21000);
    EXPECT_TRUE(dialogs.Log.filter("error").isEmpty()) << dialogs.Log.join('\n').toStdString();
}

} // namespace
