#include "workThread.h"

#include "appDefine.h"
#include "av_args.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QPointer>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>
#include <QThread>

#include <gtest/gtest.h>

#include <csignal>

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

// Every line the export builds, read by the converter's own parser: it must
// mean the type the target's extension names, the selection and the target.
TEST(ConverterCommand, EveryTypesLineMeansWhatTheExportAsks)
{
    for (const TRingtoneType& type : RingtoneTypes()) {
        SCOPED_TRACE(type.Extension.toStdString());
        const QString target = "/out/-ring tone.v2\n" + type.Extension;
        TCutMp3ThreadInfo info = MakeJobInfo("/music/my song & more.wav", target, 3725, 3755);
        info.Shape = {2000, 500, -27.0 / 7, true}; // a gain of many decimals
        const auto command = ConverterCommand(info);
        ASSERT_TRUE(command);
        EXPECT_EQ(command->Program, "av");
        std::vector<std::string> args;
        for (const QString& a : command->Arguments)
            args.push_back(a.toStdString());
        const auto parsed = av::parseArgs(args);
        ASSERT_TRUE(std::holds_alternative<av::Job>(parsed)) << std::get<av::ArgError>(parsed).message;
        const av::Job& job = std::get<av::Job>(parsed);
        // The codec the extension alone would choose.
        const auto byName = av::parseArgs(std::vector<std::string>{"-i", "s", target.toStdString()});
        EXPECT_EQ(job.codec, std::get<av::Job>(byName).codec);
        EXPECT_EQ(job.source, "/music/my song & more.wav");
        EXPECT_EQ(job.target, target.toStdString());
        EXPECT_EQ(job.startSeconds, 3725);
        EXPECT_EQ(job.lengthSeconds, 30);
        EXPECT_EQ(info.LengthSeconds, 30);
        EXPECT_GT(job.bitRate, 0);
        ASSERT_TRUE(job.channels);
        EXPECT_EQ(*job.channels, job.codec == av::Codec::AmrNb ? 1 : 2); // AMR-NB is mono
        EXPECT_TRUE(!job.sampleRate || *job.sampleRate >= 8000);
        // The shape and the name the phone shows, as the window chose them.
        EXPECT_EQ(job.fadeInMs, 2000);
        EXPECT_EQ(job.fadeOutMs, 500);
        EXPECT_NEAR(job.gainDb, -27.0 / 7, 0.001);
        EXPECT_TRUE(job.limit);
        EXPECT_EQ(job.title, "-ring tone.v2 ");
    }
    // A plain shape: the edge fades only, no gain, no limiter.
    const auto plain = ConverterCommand(MakeJobInfo("/a.mp3", "/out/ring.ogg", 20, 30));
    std::vector<std::string> plainArgs;
    for (const QString& a : plain->Arguments)
        plainArgs.push_back(a.toStdString());
    const av::Job plainJob = std::get<av::Job>(av::parseArgs(plainArgs));
    EXPECT_EQ(plainJob.fadeInMs + plainJob.fadeOutMs, 0);
    EXPECT_EQ(plainJob.gainDb, 0);
    EXPECT_FALSE(plainJob.limit);
    EXPECT_EQ(plainJob.title, "ring");
    // Any other name, also in other letter case, gets no line.
    for (const char* target :
        {"/out/ring.MP3", "/out/ring.Amr", "/out/ring.M4R", "/out.mp3/ring", "/out/ring", "/out/ring.wav"}) {
        EXPECT_FALSE(ConverterCommand(MakeJobInfo("/a.mp3", target, 20, 30))) << target;
    }
}

} // namespace

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

namespace {

using TState = TRunResult::TState;

TEST(JudgeRun, NeedsExitZeroAndANonEmptyTargetElseSaysWhy)
{
    const QString no = "The ringtone was not saved: ";
    const struct {
        TRunResult run;
        qint64 size;
        QString reason; // empty: completed
    } rows[] = {
        {{TState::Exited, 0, ""}, 1000, ""},
        {{TState::Exited, 0, ""}, -1, no + "the converter reported success, but \"/r/t.mp3\" is not there."},
        {{TState::Exited, 0, ""}, 0, no + "the converter reported success, but \"/r/t.mp3\" is empty."},
        {{TState::Exited, 5,
             "noise\nav: the target \"/r/t.mp3\" already exists; it was left as it is\nmore\n"},
            9, no + "the target \"/r/t.mp3\" already exists; it was left as it is."},
        {{TState::Exited, 12, "av: The disk is full: the ringtone was not saved (48 kB were free)\n"}, -1,
            "The disk is full: the ringtone was not saved (48 kB were free)."},
        {{TState::Exited, 9, "no line of its own\n"}, -1, no + "the converter failed with exit status 9."},
        {{TState::Killed, SIGTERM, ""}, -1, no + "the converter was stopped by signal 15 (Terminated)."},
        {{TState::NotStarted, ENOENT, ""}, -1,
            no + "the converter could not be started (No such file or directory)."},
    };
    for (const auto& row : rows) {
        const TJobOutcome outcome = JudgeRun(row.run, "/r/t.mp3", row.size);
        EXPECT_EQ(outcome.Completed, row.reason.isEmpty()) << row.reason.toStdString();
        EXPECT_EQ(outcome.Reason, row.reason);
    }
}

TEST(RunAndWait, PassesEachArgumentWholeAndKeepsStatusAndErrors)
{
    QTemporaryDir dir;
    const QStringList odd{"-ring", "a b", "\"q\"", "&", "$HOME", "", "*.mp3"};
    // The script prints its folder and each argument on stderr.
    const TRunResult run = RunAndWait("/bin/sh",
        QStringList{"-c", "pwd >&2; for a in \"$@\"; do printf '<%s>\\n' \"$a\" >&2; done; exit 7", "sh"}
            + odd,
        dir.path());
    EXPECT_EQ(run.State, TState::Exited);
    EXPECT_EQ(run.Code, 7);
    QStringList expected{QDir(dir.path()).canonicalPath()};
    for (const QString& a : odd)
        expected << "<" + a + ">";
    EXPECT_EQ(run.ErrorOutput.split('\n', Qt::SkipEmptyParts), expected);

    const TRunResult killed = RunAndWait("/bin/sh", {"-c", "kill -TERM $$"}, {});
    EXPECT_EQ(killed.State, TState::Killed);
    EXPECT_EQ(killed.Code, SIGTERM);

    const QString plain = dir.filePath("plain");
    QFile(plain).open(QIODevice::WriteOnly);
    for (const auto& [program, error] :
        {std::pair{dir.filePath("missing"), ENOENT}, std::pair{plain, EACCES}}) {
        bool started = false;
        const TRunResult run = RunAndWait(program, {}, {}, [&] { started = true; });
        EXPECT_EQ(run.State, TState::NotStarted) << program.toStdString();
        EXPECT_EQ(run.Code, error);
        EXPECT_FALSE(started);
    }
}

TEST(FindConverter, LooksBesideTheProgramThenInTheWorkFolder)
{
    QTemporaryDir program, work;
    const TJobPlace place{work.path() + "/", "", program.path()};
    EXPECT_EQ(FindConverter(place, "av"), "");
    QFile(work.filePath("av")).open(QIODevice::WriteOnly);
    EXPECT_EQ(FindConverter(place, "av"), work.filePath("av"));
    QFile(program.filePath("av")).open(QIODevice::WriteOnly);
    EXPECT_EQ(FindConverter(place, "av"), program.filePath("av"));
}

// The installed program (in the install's bin folder) takes the converter
// installed with it, even when a stranger's "av" lies in that shared folder;
// a build elsewhere keeps to its own folder and the work folder's copy.
TEST(FindConverter, AnInstalledProgramTakesTheInstalledConverter)
{
    QTemporaryDir bin, libexec, work, build;
    for (const QTemporaryDir* dir : {&bin, &libexec, &work, &build})
        QFile(QDir(dir->path()).filePath("av")).open(QIODevice::WriteOnly);
    const TInstallPlaces installed{bin.path(), libexec.path()};
    const QString workDir = work.path() + "/";
    struct TCase {
        QString programDir;
        QString removed; // an av taken away first
        QString found;
    };
    const TCase cases[] = {
        {bin.path(), "", libexec.filePath("av")},
        {bin.path() + "/.", "", libexec.filePath("av")},
        {bin.path(), libexec.path(), work.filePath("av")},
        {build.path(), "", build.filePath("av")},
        {build.path(), build.path(), work.filePath("av")},
        {build.path(), work.path(), ""},
    };
    for (const TCase& c : cases) {
        if (!c.removed.isEmpty())
            QFile::remove(QDir(c.removed).filePath("av"));
        EXPECT_EQ(FindConverter({workDir, "", c.programDir}, "av", nullptr, installed), c.found)
            << c.programDir.toStdString();
    }
}

// Logs every call, after checking that it came on the GUI thread.
class TLogView final : public TJobView {
public:
    TLogView(QStringList& log, bool answer)
        : log_(log)
        , answer_(answer)
    {
    }
    void SetStatus(const QString& text) override { Add("status: " + text); }
    bool Question(const QString& caption, const QString& text) override
    {
        Add("question: " + caption + "|" + text);
        return answer_;
    }
    void Error(const QString& text) override { Add("error: " + text); }
    void OpenFolder(const QString& folder) override { Add("folder: " + folder); }

private:
    void Add(const QString& entry)
    {
        EXPECT_EQ(QThread::currentThread(), QCoreApplication::instance()->thread()) << entry.toStdString();
        log_ << entry;
    }
    QStringList& log_;
    bool answer_;
};

// Runs one job to its end and returns what its view was told.
QStringList RunJob(const TCutMp3ThreadInfo& info, const TJobPlace& place, bool answer)
{
    QStringList log;
    QPointer<TJobView> view = new TLogView(log, answer);
    Converting = true;
    TCutMp3Thread::Start(info, place, view);
    EXPECT_TRUE(QTest::qWaitFor([&] { return !Converting; }, 60000));
    EXPECT_TRUE(QTest::qWaitFor([&] { return view.isNull(); }, 10000));
    return log;
}

class ExportJob : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(QFile::copy(AV_PATH, place.WorkDir + "av"));
        ASSERT_EQ(QProcess::execute("ffmpeg",
                      {"-nostdin", "-loglevel", "error", "-f", "lavfi", "-i", "sine=duration=6", "-ac", "2",
                          source}),
            0);
    }
    int argc = 1;
    char name[16] = "workThread_test";
    char* argv[2] = {name, nullptr};
    QCoreApplication app{argc, argv};
    QTemporaryDir dir;
    const TJobPlace place{dir.path() + "/", "", ""};
    const QString source = dir.filePath("a song.wav");
};

TEST_F(ExportJob, ShowsItsStepsInOrderOnTheGuiThreadAndFreesItsView)
{
    for (const auto& [file, answer] : {std::pair{"ring tone.mp3", true}, std::pair{"ring tone.amr", false}}) {
        const QString target = dir.filePath(file);
        const QStringList log = RunJob(MakeJobInfo(source, target, 1, 3), place, answer);
        QStringList expected{"status: Converting Mp3 Ringtone ... ", "status: Generating " + target + " ...",
            "status: Completed.", "question: Confirm|Completed. Do you want to open the target directory?"};
        if (answer)
            expected << "folder: " + dir.path() + "/";
        EXPECT_EQ(log, expected);
        EXPECT_GT(QFileInfo(target).size(), 0) << file;
    }
}

// An ffmpeg that exits 0 after writing a well-formed but shorter file.
TEST_F(ExportJob, RingtoneShorterThanTheSelectionEndsInFailed)
{
    const QString sample = dir.filePath("one second.mp3");
    ASSERT_EQ(QProcess::execute(AV_PATH, ConverterCommand(MakeJobInfo(source, sample, 0, 1))->Arguments), 0);
    ASSERT_TRUE(QDir(dir.path()).mkdir("bin"));
    QFile script(dir.filePath("bin/ffmpeg"));
    ASSERT_TRUE(script.open(QIODevice::WriteOnly));
    script.write("#!/bin/sh\nfor a; do last=$a; done\n/bin/cp '" + QFile::encodeName(sample)
        + "' \"${last#file:}\"\nprintf 'out_time_us=3000000\\nprogress=end\\n'\n");
    script.close();
    script.setPermissions(QFile::ReadOwner | QFile::ExeOwner);
    const QByteArray path = qgetenv("PATH");
    qputenv("PATH", QFile::encodeName(dir.filePath("bin")));
    const QString target = dir.filePath("ring tone.mp3");
    const QStringList log = RunJob(MakeJobInfo(source, target, 1, 4), place, true);
    qputenv("PATH", path);
    EXPECT_EQ(log,
        (QStringList{"status: Converting Mp3 Ringtone ... ", "status: Generating " + target + " ...",
            "status: Failed.",
            "error: The ringtone was not saved: ffmpeg reported success but its file holds 1.0 s of MP3 "
            "audio "
            "for a cut of 3.0 s."}));
    EXPECT_FALSE(QFileInfo::exists(target));
}

} // namespace
