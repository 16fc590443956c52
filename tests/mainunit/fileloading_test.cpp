// The Open command through the real main window, with files made here.
#include "FileInfo.h"
#include "MPGTools.h"
#include "MainWindowTest.h"
#include "appDefine.h"

#include <QDir>
#include <QElapsedTimer>
#include <QScrollArea>
#include <QThread>

#include <cstdio>

namespace {

class FileLoading : public MainWindowTest {
protected:
    // A CBR MP3 of exactly 1 000 000 bytes at 128 kbit/s, 44.1 kHz, joint
    // stereo, without tags or a Xing/Info frame.
    QString MillionByteMp3()
    {
        const QString path = Mp3("cbr.mp3", 70,
            {"-b:a", "128k", "-ar", "44100", "-ac", "2", "-write_xing", "0", "-id3v2_version", "0"});
        QFile file(path);
        EXPECT_TRUE(file.resize(1000000));
        return path;
    }
    void ExpectShown(const QString& path, const QStringList& labels, int width)
    {
        SCOPED_TRACE(path.toStdString());
        EXPECT_EQ(Labels(), labels);
        EXPECT_EQ(form->imgWave->width(), width);
        EXPECT_EQ(form->imgWave->Picture().width(), width);
        EXPECT_EQ(form->imgWave->height(), 152);
        EXPECT_EQ(form->WaveRender->Width, width);
        EXPECT_EQ(form->OpenedFileName, path);
        EXPECT_EQ(form->lblFilename->toolTip(), "File Name: " + DisplayFileName(path));
        EXPECT_FALSE(form->imgAd->isVisible());
        EXPECT_TRUE(form->ScrollBoxWave->isVisible());
    }
    const QStringList initialLabels{"File Name:", "Sample Rate:", "Length:", "Bitrate:", "Channels:"};
};

TEST_F(FileLoading, CancelChangesNothing)
{
    dialogs.Opens.push_back({std::nullopt});
    Click(form->btnOpen);
    EXPECT_EQ(dialogs.Log, QStringList{"open"});
    EXPECT_EQ(dialogs.LastOpenShown.NameFilters(),
        (QStringList{"Mp3 Music Files (*.mp3)", "Wave Files (*.wav)", "WMA Files (*.wma)", "All Files (*)"}));
    EXPECT_EQ(dialogs.LastOpenShown.FilterIndex, 1);
    EXPECT_EQ(dialogs.LastOpenShown.DefaultExt, "");
    EXPECT_EQ(Labels(), initialLabels);
    EXPECT_TRUE(form->imgAd->isVisible());
    EXPECT_FALSE(form->ScrollBoxWave->isVisible());
    EXPECT_EQ(form->OpenedFileName, "");
    EXPECT_EQ(Mode(), 0);
}

TEST_F(FileLoading, EachKindOfFileFillsThePanelAndSizesTheTimeline)
{
    const QString us = DurationText({0, 1, 2, 0});
    QDir(runtime.path()).mkdir("v1.2");
    const struct {
        QString path;
        QStringList labels; // without the file name
        int width;
    } cases[] = {
        {Wav("long.wav", 183.9), {"Sample Rate: ", "Time Length: 183", "Bitrate: ", "Channel: "}, 915},
        {MillionByteMp3(), {"Sample Rate: 44100", "Time Length: " + us, "Bitrate: 128", "Channel: Stereo"},
            310},
        {Mp3("vbr.mp3", 12, {"-q:a", "4", "-ac", "2"}),
            {"Sample Rate: 44100", "Time Length: " + DurationText({0, 0, 12, 0}), "Bitrate: VBR",
                "Channel: Stereo"},
            60},
        {Mp3("mono.mp3", 3, {"-ac", "1", "-b:a", "64k"}),
            {"Sample Rate: 44100", "Time Length: " + DurationText({0, 0, 3, 0}), "Bitrate: 64",
                "Channel: Mono"},
            15},
        {Mp3("CAPS.MP3", 3.5), {"Sample Rate: ", "Time Length: 3", "Bitrate: ", "Channel: "}, 15},
        {Mp3("song.mp3.wav", 4.2), {"Sample Rate: ", "Time Length: 4", "Bitrate: ", "Channel: "}, 20},
        {Mp3("noextension", 2.5), {"Sample Rate: ", "Time Length: 2", "Bitrate: ", "Channel: "}, 10},
        {Mp3("v1.2/inside", 2.5), {"Sample Rate: ", "Time Length: 2", "Bitrate: ", "Channel: "}, 10},
        {Wav("short.wav", 0.5), {"Sample Rate: ", "Time Length: 0", "Bitrate: ", "Channel: "}, 0},
    };
    // The selection and the cursor stay where they were, also beyond the file.
    form->WaveRender->SelStart = 30;
    form->WaveRender->SelEnd = 400;
    form->WaveRender->PlayPos = 1000;
    for (const auto& c : cases) {
        Open(c.path);
        ExpectShown(c.path, QStringList{"File Name: " + c.path} + c.labels, c.width);
        EXPECT_EQ(Mode(), 1);
        EXPECT_EQ(form->WaveRender->SelStart, 30);
        EXPECT_EQ(form->WaveRender->SelEnd, 400);
        EXPECT_EQ(form->WaveRender->PlayPos, 1000);
    }
    EXPECT_TRUE(dialogs.Entries("error").isEmpty()) << dialogs.Log.join('\n').toStdString();
}

TEST_F(FileLoading, AFileTheDeviceCannotOpenLeavesEverythingAsItWas)
{
    const QString good = Wav("good.wav", 3);
    Open(good);
    const QStringList before = Labels();
    for (const QString& bad : {Path("missing.wav"), runtime.path()}) {
        Open(bad);
        ASSERT_EQ(dialogs.Entries("error").size(), 1) << dialogs.Log.join('\n').toStdString();
        dialogs.Log.clear();
        EXPECT_EQ(Labels(), before);
        EXPECT_EQ(form->imgWave->width(), 15);
        EXPECT_EQ(form->OpenedFileName, good);
        EXPECT_EQ(Mode(), 0); // the device no longer has the old file
    }
}

TEST_F(FileLoading, AnMp3TheAnalyserCannotReadAsksFirstThenShowsClearedValues)
{
    // Sound the device plays, but no MPEG frame for the analyser.
    const QString path = Wav("not really.mp3", 3);
    const QString prompt = "read error: Error|Error openning file: " + path;
    for (const QList<uint16_t>& answers : {QList<uint16_t>{MPGReadError::Cancel}, {MPGReadError::Ignore},
             {MPGReadError::Retry, MPGReadError::Cancel}}) {
        dialogs.Log.clear();
        for (uint16_t a : answers)
            dialogs.ReadErrors.push_back(a);
        Open(path);
        EXPECT_EQ(dialogs.Entries("read error").size(), answers.size());
        EXPECT_EQ(dialogs.Entries("read error").value(0), prompt);
        ExpectShown(path,
            {"File Name: " + path, "Sample Rate: 0", "Time Length: " + DurationText({}), "Bitrate: 0",
                "Channel: Stereo"},
            0);
    }
}

TEST_F(FileLoading, ATimelineTooLongForMemoryEndsTheLoadWithAMessage)
{
    const QString first = Wav("first.wav", 2);
    Open(first);
    form->MakeTimelineBitmap = [](int, int) { return QImage(); };
    Open(Wav("second.wav", 4));
    ASSERT_EQ(dialogs.Entries("error").size(), 1);
    EXPECT_TRUE(dialogs.Entries("error").at(0).contains("memory"));
    EXPECT_EQ(form->lblFilename->Caption(), "File Name: " + first);
    EXPECT_EQ(form->imgWave->width(), 10);
    EXPECT_EQ(form->OpenedFileName, first);
    // The window goes on working.
    form->MakeTimelineBitmap = [](int w, int h) { return QImage(w, h, QImage::Format_RGB32); };
    const QString third = Wav("third.wav", 6);
    Open(third);
    ExpectShown(
        third, {"File Name: " + third, "Sample Rate: ", "Time Length: 6", "Bitrate: ", "Channel: "}, 30);
}

// At the analyser's first pump, posts `action` and pumps as the window does
// until `done` holds: the action lands inside the scan however fast it runs.
void DuringTheScan(std::function<void()> action, std::function<bool()> done, int& pumps)
{
    SetMessagePump([&pumps, action, done] {
        if (++pumps == 1) {
            QTimer::singleShot(0, action);
            QElapsedTimer waited;
            waited.start();
            while (!done() && waited.elapsed() < 10000) {
                PumpMessages();
                QThread::yieldCurrentThread();
            }
        }
        return PumpMessages();
    });
}

TEST_F(FileLoading, ASecondOpenDuringALoadIsIgnored)
{
    const QString path = Wav("scan.mp3", 30); // half a megabyte for the analyser to search
    dialogs.ReadErrors.push_back(MPGReadError::Cancel);
    dialogs.Opens.push_back({path});
    int pumps = 0, clicks = 0;
    QObject::connect(form->btnOpen, &TControl::Click, [&] { ++clicks; });
    DuringTheScan([&] { Click(form->btnOpen); }, [&] { return clicks == 1; }, pumps);
    Click(form->btnOpen);
    EXPECT_EQ(pumps > 0, true);
    EXPECT_EQ(clicks, 2);
    EXPECT_EQ(dialogs.Entries("open").size(), 1);
    EXPECT_EQ(form->OpenedFileName, path);
}

TEST_F(FileLoading, ClosingTheWindowDuringTheScanStopsTheLoadThere)
{
    const QString path = Wav("scan.mp3", 30);
    dialogs.Opens.push_back({path});
    int pumps = 0;
    DuringTheScan([&] { form->close(); }, [&] { return !form->isVisible(); }, pumps);
    Click(form->btnOpen);
    EXPECT_GT(pumps, 0);
    EXPECT_EQ(form->WaveRender, nullptr);
    EXPECT_EQ(Labels(), initialLabels);
    EXPECT_EQ(form->OpenedFileName, "");
    EXPECT_TRUE(dialogs.Entries("read error").isEmpty());
    EXPECT_TRUE(dialogs.Entries("error").isEmpty());
}

TEST_F(FileLoading, APathFromTheCommandLineOpensLikeTheDialog)
{
    const QString path = Wav("from the shell.wav", 2);
    ASSERT_TRUE(QDir::setCurrent(runtime.path()));
    form->OpenPath("from the shell.wav");
    ExpectShown(
        path, {"File Name: " + path, "Sample Rate: ", "Time Length: 2", "Bitrate: ", "Channel: "}, 10);
    EXPECT_EQ(form->dlgOpen.FileName, path);
    EXPECT_TRUE(dialogs.Entries("open").isEmpty());
}

TEST_F(FileLoading, ANameInLatin1FromTheCommandLineOpensThatVeryFile)
{
    // As a file manager passes it: the file system's bytes, relative to the
    // current folder. The analyser and the device both read it.
    const QByteArray folder = QFile::encodeName(runtime.path()) + "/";
    const QString made = Mp3("made.mp3", 3, {"-ac", "1", "-b:a", "64k"});
    ASSERT_EQ(::rename(QFile::encodeName(made).constData(), (folder + "caf\xe9.mp3").constData()), 0);
    ASSERT_TRUE(QDir::setCurrent(runtime.path()));
    form->OpenPath(FileNameFromBytes("caf\xe9.mp3"));
    EXPECT_TRUE(dialogs.Log.isEmpty()) << dialogs.Log.join('\n').toStdString();
    EXPECT_EQ(Mode(), 1);
    const QString shown = "File Name: " + runtime.path() + "/caf" + QChar::ReplacementCharacter + ".mp3";
    ExpectShown(FileNameFromBytes(folder + "caf\xe9.mp3"),
        {shown, "Sample Rate: 44100", "Time Length: " + DurationText({0, 0, 3, 0}), "Bitrate: 64",
            "Channel: Mono"},
        15);
}

} // namespace
