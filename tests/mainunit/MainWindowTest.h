#pragma once
// The real main window in a test: a private runtime folder, the GUI services
// installed, dialogs answered by script, and audio files made on the spot.

#include "../MPlayer/TestMedia.h"
#include "GuiServices.h"
#include "MediaDevice.h"
#include "MouseEffectImage.h"
#include "ScriptedDialogs.h"
#include "TImage.h"
#include "TLabel.h"
#include "TMainForm.h"
#include "WaveRender.h"

#include <QEventLoop>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

#include <memory>
#include <ostream>

// Readable failures for Qt strings.
inline void PrintTo(const QString& text, std::ostream* out)
{
    *out << '"' << text.toStdString() << '"';
}

class MainWindowTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        qputenv("XDG_RUNTIME_DIR", QFile::encodeName(runtime.path()));
        form = std::make_unique<TMainForm>();
        InstallGuiServices(form.get());
        form->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(form.get()));
    }
    void TearDown() override
    {
        form.reset();
        RemoveGuiServices();
    }

    QString Path(const QString& name) const { return runtime.filePath(name); }

    // The envelope has read the whole song and the window has drawn it.
    bool EnvelopeDone()
    {
        return QTest::qWaitFor(
            [&] {
                return form->SoundEnvelope && form->SoundEnvelope->Finished()
                    && !form->EnvelopeTimer->isActive();
            },
            60000);
    }
    // The drawn half-height of the timeline picture's column x: wave pixels
    // (green, or purple in the selection) above the centre line.
    int Drawn(int x) const
    {
        const QImage& picture = form->imgWave->Picture();
        int n = 0;
        for (int y = 16; y < 80; ++y)
            n += picture.pixel(x, y) == qRgb(0, 128, 0) || picture.pixel(x, y) == qRgb(128, 0, 128);
        return n;
    }

    // An MP3 made by ffmpeg from a sine tone; extra arguments go before the output.
    QString Mp3(const QString& name, double seconds, const QStringList& extra = {})
    {
        const QString path = Path(name);
        QStringList args{"-nostdin", "-loglevel", "error", "-y", "-f", "lavfi", "-i",
            QStringLiteral("sine=frequency=440:duration=%1").arg(seconds), "-c:a", "libmp3lame"};
        args << extra << "-f"
             << "mp3" << path;
        EXPECT_EQ(QProcess::execute("ffmpeg", args), 0);
        return path;
    }
    QString Wav(const QString& name, double seconds, int rate = 8000)
    {
        const QString path = Path(name);
        testmedia::WriteWav(QFile::encodeName(path).toStdString(), rate, 1,
            static_cast<int64_t>(seconds * rate),
            [](int64_t i, int) { return static_cast<int16_t>((i % 40) * 500 - 10000); });
        return path;
    }

    // Opens a file through the Open button, the dialog answered with path.
    void Open(const QString& path)
    {
        dialogs.Opens.push_back({path});
        QTest::mouseClick(form->btnOpen, Qt::LeftButton);
    }
    QStringList Labels() const
    {
        return {form->lblFilename->Caption(), form->lblSampleRate->Caption(), form->lblLength->Caption(),
            form->lblBitrate->Caption(), form->lblChannel->Caption()};
    }
    QStringList Positions() const
    {
        return {form->lblBeginPos->Caption(), form->lblEndPos->Caption(), form->lblSelectedLength->Caption(),
            form->lblCurrentPos->Caption()};
    }
    int Mode() const { return form->MediaPlayer1->Mode(); }
    static void Click(QWidget* control) { QTest::mouseClick(control, Qt::LeftButton); }
    // Runs the event loop until its queue has run empty once, so the idle
    // refresh has run.
    static void Settle()
    {
        QEventLoop loop;
        QTimer::singleShot(1, &loop, &QEventLoop::quit);
        loop.exec();
    }

    QTemporaryDir runtime;
    ScriptedDialogs dialogs;
    std::unique_ptr<TMainForm> form;
};
