// The timeline draws the real sound of the file opened, or on W the
// decorative walk; a new Open or a close ends the decoding worker.
#include "MainWindowTest.h"
#include "TCanvas.h"
#include "WaveEnvelope.h"

#include <QKeyEvent>

#include <algorithm>
#include <utility>

namespace {

constexpr int CursorColumn = 20; // the play cursor's line covers this column

class SoundPicture : public MainWindowTest {
protected:
    // 30 s: silence, a loud tone, the tone 30 dB lower, 10 s each.
    QString ThreeParts(const QString& name)
    {
        EXPECT_EQ(
            QProcess::execute("ffmpeg",
                {"-nostdin", "-loglevel", "error", "-y", "-f", "lavfi", "-i",
                    "aevalsrc='if(lt(t,10),0,if(lt(t,20),0.9,0.9*0.0316))*sin(2*PI*440*t)':s=44100:d=30",
                    Path(name)}),
            0);
        return Path(name);
    }
    void Press(int key)
    {
        QKeyEvent press(QEvent::KeyPress, key, Qt::NoModifier);
        QApplication::sendEvent(form.get(), &press);
    }
    // The lowest and the highest drawn half-height of columns from .. to.
    std::pair<int, int> DrawnRange(int from, int to) const
    {
        std::pair<int, int> range{64, 0};
        for (int x = from; x <= to; ++x)
            if (x != CursorColumn)
                range = {std::min(range.first, Drawn(x)), std::max(range.second, Drawn(x))};
        return range;
    }
    void Restart()
    {
        TearDown();
        SetUp();
    }
};

TEST_F(SoundPicture, LoudQuietAndSilentStretchesAreDrawnWhereTheyAre)
{
    for (const char* name : {"parts.mp3", "parts.wav", "parts.ogg"}) {
        SCOPED_TRACE(name);
        Open(ThreeParts(name));
        ASSERT_EQ(form->WaveRender->WaveLength, 150);
        ASSERT_TRUE(EnvelopeDone());
        // Boundaries at columns 50 and 100, one column either side allowed.
        const auto silence = DrawnRange(0, 48), loud = DrawnRange(52, 98), quiet = DrawnRange(102, 149);
        EXPECT_EQ(silence.second, 0);
        EXPECT_GT(quiet.first, 5);
        EXPECT_GT(loud.first, quiet.second + 10);
    }
}

TEST_F(SoundPicture, TheDecorativePictureIsTodaysAndTheChoiceIsKept)
{
    Press(Qt::Key_W); // before any file: only the choice changes
    Restart();
    ASSERT_EQ(form->WaveKind, TWaveKind::Decorative);
    const uint32_t seed = RandSeed;
    Open(ThreeParts("song.mp3"));
    ASSERT_TRUE(EnvelopeDone());

    // The renderer on its own, from the same point of the random sequence.
    QImage expected(150, 152, QImage::Format_RGB32);
    TCanvas canvas(expected);
    const uint32_t after = RandSeed;
    RandSeed = seed;
    TWaveRender reference(canvas, 150, 152);
    reference.SetWaveLength(150);
    ASSERT_EQ(RandSeed, after);
    EXPECT_TRUE(form->imgWave->Picture() == expected);

    Press(Qt::Key_W); // the real sound
    EXPECT_EQ(Drawn(10), 0);
    EXPECT_GT(Drawn(70), 40);
    Press(Qt::Key_W);
    // Two more paints, as the window made: a repaint keeps the last column's pen mode.
    reference.Paint();
    reference.Paint();
    EXPECT_TRUE(form->imgWave->Picture() == expected);
    Press(Qt::Key_W);
    Restart();
    EXPECT_EQ(form->WaveKind, TWaveKind::Sound);
}

TEST_F(SoundPicture, AnOpenOrACloseEndsTheWorker)
{
    // Long enough that its envelope is still being made when the next step comes.
    const QString longSong = Mp3("long.mp3", 1200, {"-ar", "8000", "-ac", "1", "-b:a", "16k"});
    Open(longSong);
    ASSERT_TRUE(form->SoundEnvelope);
    ASSERT_FALSE(form->SoundEnvelope->Finished());
    Open(ThreeParts("parts.mp3"));
    ASSERT_TRUE(EnvelopeDone());
    EXPECT_EQ(form->SoundEnvelope->Columns(), 150);
    EXPECT_EQ(Drawn(10), 0); // the first file's tone never reaches the new timeline
    EXPECT_GT(Drawn(70), 40);

    Open(longSong);
    ASSERT_FALSE(form->SoundEnvelope->Finished());
    form->close();
    EXPECT_FALSE(form->SoundEnvelope);
    EXPECT_TRUE(form->Closing());
    EXPECT_FALSE(form->EnvelopeTimer->isActive());
    Settle();
}

} // namespace
