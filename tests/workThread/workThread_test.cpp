#include "workThread.h"

#include <gtest/gtest.h>

namespace {

TEST(JobInfo, SelectionSecondsBecomeClockTexts)
{
    // Columns 100..150 are 20 s..30 s; columns 104 and 151 truncate to the same.
    TCutMp3ThreadInfo info = MakeJobInfo("/a.mp3", "/b.mp3", 104 / 5, 151 / 5);
    EXPECT_EQ(info.StartTime, "00:00:20");
    EXPECT_EQ(info.Duration, "00:00:10");
    info = MakeJobInfo("/a.mp3", "/b.mp3", -5 / 5, 30);
    EXPECT_EQ(info.StartTime, "00:00:-01");
    EXPECT_EQ(info.Duration, "00:00:31");
    EXPECT_EQ(MakeJobInfo("", "", 3725, 3725).StartTime, "01:02:05");
}

TEST(ConverterCommand, FollowsTheTargetsExtensionExactly)
{
    TCutMp3ThreadInfo info{"/music/my song & more.wav", "/out/ring tone.mp3", "00:00:20", "00:00:10"};
    auto command = ConverterCommand(info);
    ASSERT_TRUE(command);
    EXPECT_EQ(command->Program, "av");
    EXPECT_EQ(command->Arguments,
        (QStringList{"-i", "/music/my song & more.wav", "-ss", "00:00:20", "-t", "00:00:10", "-acodec", "mp3",
            "-ab", "64", "-ac", "2", "/out/ring tone.mp3"}));

    info.TargetFile = "/out/ring.tone.amr";
    command = ConverterCommand(info);
    ASSERT_TRUE(command);
    EXPECT_EQ(command->Arguments.mid(6),
        (QStringList{
            "-f", "amr", "-acodec", "amr_nb", "-ab", "32", "-ac", "1", "-ar", "8000", "/out/ring.tone.amr"}));

    for (const char* target : {"/out/ring.MP3", "/out/ring.Amr", "/out.mp3/ring", "/out/ring"}) {
        info.TargetFile = target;
        EXPECT_FALSE(ConverterCommand(info)) << target;
    }
}

} // namespace

#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>

namespace {

QString Probe(const QString& file)
{
    QProcess probe;
    probe.start("ffprobe",
        {"-v", "error", "-show_entries", "stream=codec_name,channels,sample_rate", "-of", "default=nw=1",
            file});
    probe.waitForFinished(30000);
    return QString::fromUtf8(probe.readAllStandardOutput()).simplified();
}

TEST(ConverterCommand, RunsThroughTheConverterIntoRingtones)
{
    QTemporaryDir dir;
    const QString source = dir.filePath("a song.wav");
    ASSERT_EQ(QProcess::execute("ffmpeg",
                  {"-nostdin", "-loglevel", "error", "-f", "lavfi", "-i", "sine=frequency=440:duration=6",
                      "-ac", "2", source}),
        0);
    for (const auto& [target, expected] :
        {std::pair{QString("ring tone.mp3"), QString("codec_name=mp3 sample_rate=44100 channels=2")},
            std::pair{QString("ring tone.amr"), QString("codec_name=amr_nb sample_rate=8000 channels=1")}}) {
        const auto command = ConverterCommand(MakeJobInfo(source, dir.filePath(target), 1, 4));
        ASSERT_TRUE(command);
        EXPECT_EQ(QProcess::execute(AV_PATH, command->Arguments), 0) << target.toStdString();
        EXPECT_EQ(Probe(dir.filePath(target)), expected);
    }
}

} // namespace
