// The Save command and the export job, through the real main window.

#include "GuiServices.h"
#include "ScriptedDialogs.h"
#include "TLabel.h"
#include "TMainForm.h"
#include "WaveRender.h"
#include "appDefine.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

#include <cstdio>
#include <memory>

#include <unistd.h>

namespace {

const QString Question = "question: Confirm|Completed. Do you want to open the target directory?";
const QString Busy = "message: A ringtone is being saved. Please wait until it is finished.";

QString Ffmpeg(const QString& target, const QString& lavfi, const QStringList& encoding)
{
    const int status = QProcess::execute("ffmpeg",
        QStringList{"-nostdin", "-loglevel", "error", "-f", "lavfi", "-i", lavfi} + encoding
            + QStringList{target});
    return status == 0 ? target : QString();
}

enum class TKind { Mp3, Amr };

// The ringtone is 10 s long within 0.1 s, and in the format the export promises.
void ExpectRingtone(const QString& file, TKind kind)
{
    SCOPED_TRACE(file.toStdString());
    QProcess probe;
    probe.start("ffprobe",
        {"-v", "error", "-show_entries", "stream=codec_name,sample_rate,channels,bit_rate:format=duration",
            "-of", "json", file});
    ASSERT_TRUE(probe.waitForFinished(30000));
    const QJsonObject json = QJsonDocument::fromJson(probe.readAllStandardOutput()).object();
    const QJsonObject stream = json["streams"][0].toObject();
    if (kind == TKind::Mp3) {
        EXPECT_EQ(stream["codec_name"].toString(), "mp3");
        EXPECT_EQ(stream["channels"].toInt(), 2);
        EXPECT_EQ(stream["bit_rate"].toString(), "64000");
        EXPECT_NEAR(json["format"]["duration"].toString().toDouble(), 10.0, 0.1);
        return;
    }
    EXPECT_EQ(stream["codec_name"].toString(), "amr_nb");
    EXPECT_EQ(stream["sample_rate"].toString(), "8000");
    EXPECT_EQ(stream["channels"].toInt(), 1);
    // Storage format: "#!AMR\n", then 20 ms frames; 0x3C heads a 32-byte frame of the 12.2 kbit/s mode.
    QFile amr(file);
    ASSERT_TRUE(amr.open(QIODevice::ReadOnly));
    const QByteArray bytes = amr.readAll();
    ASSERT_TRUE(bytes.startsWith("#!AMR\n"));
    qsizetype frames = 0, other = 0;
    for (qsizetype at = 6; at < bytes.size(); at += 32, ++frames)
        other += bytes[at] != '\x3c';
    EXPECT_EQ(other, 0);
    EXPECT_EQ((bytes.size() - 6) % 32, 0);
    EXPECT_NEAR(frames * 0.020, 10.0, 0.1);
}

// The longest time between two ticks of a 10 ms timer on the GUI thread.
class TGapMeter {
public:
    TGapMeter()
    {
        clock_.start();
        timer_.setTimerType(Qt::PreciseTimer);
        QObject::connect(
            &timer_, &QTimer::timeout, [this] { longest_ = std::max(longest_, clock_.restart()); });
        timer_.start(10);
    }
    qint64 Longest() const { return longest_; }

private:
    QTimer timer_;
    QElapsedTimer clock_;
    qint64 longest_ = 0;
};

class SaveCommand : public ::testing::Test {
protected:
    static void SetUpTestSuite()
    {
        media = new QTemporaryDir;
        song = Ffmpeg(media->filePath("a song.mp3"), "sine=frequency=440:duration=40",
            {"-ac", "2", "-ar", "44100", "-b:a", "128k"});
    }
    static void TearDownTestSuite() { delete media; }
    // Over an hour long; made on first use.
    static QString LongSong()
    {
        static const QString path = Ffmpeg(media->filePath("a long song.mp3"),
            "sine=frequency=440:duration=3740:sample_rate=8000", {"-ac", "1", "-b:a", "8k"});
        return path;
    }

    void SetUp() override
    {
        ASSERT_FALSE(song.isEmpty());
        qputenv("XDG_RUNTIME_DIR", QFile::encodeName(runtime.path()));
        form = std::make_unique<TMainForm>();
        form->OpenedFileName = song;
    }
    void TearDown() override
    {
        EXPECT_TRUE(QTest::qWaitFor([] { return !Converting; }, 60000));
    }

    // Save with the dialog answered, then the job to its end.
    void Save(const QString& target, bool openFolder = false)
    {
        dialogs.Log.clear();
        dialogs.Saves.push_back({target});
        dialogs.Questions.push_back(openFolder);
        form->btnSaveClick();
        EXPECT_TRUE(QTest::qWaitFor([] { return !Converting; }, 60000));
    }
    QString Status() const { return form->sb_status->Caption(); }

public: // reached by the table rows' set-up
    static inline QTemporaryDir* media = nullptr;
    static inline QString song;
    QTemporaryDir runtime;
    ScriptedDialogs dialogs;
    std::unique_ptr<TMainForm> form;
};

TEST_F(SaveCommand, CutsTheSelectionIntoRingtonesThroughTheDeployedConverter)
{
    struct Row {
        const char* what;
        int selStart, selEnd; // columns; 0, 0: the window's own selection
        bool longSong;
        QString target;
        bool openFolder;
        QString start;
        TKind kind;
    };
    const Row rows[] = {
        {"default selection", 0, 0, false, "ring tone.mp3", true, "00:00:20", TKind::Mp3},
        {"columns truncate", 104, 151, false, "ring tone.amr", false, "00:00:20", TKind::Amr},
        {"an hour in", 3725 * 5, 3735 * 5, true, "late.amr", true, "01:02:05", TKind::Amr},
        {"odd names", 50, 100, false, "odd folder/-ring \"tone\" & $HOME's.mp3", false, "00:00:10",
            TKind::Mp3},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.what);
        if (row.selStart == 0) {
            EXPECT_EQ(form->WaveRender->SelStart, 100);
            EXPECT_EQ(form->WaveRender->SelEnd, 150);
        } else {
            form->WaveRender->SelStart = row.selStart;
            form->WaveRender->SelEnd = row.selEnd;
        }
        form->OpenedFileName = row.longSong ? LongSong() : song;
        const QString target = runtime.filePath(row.target);
        ASSERT_TRUE(QDir().mkpath(QFileInfo(target).path()));

        TGapMeter gaps;
        Save(target, row.openFolder);
        EXPECT_LT(gaps.Longest(), 500);

        EXPECT_EQ(form->JobInfo.SourceFile, form->OpenedFileName);
        EXPECT_EQ(form->JobInfo.TargetFile, target);
        EXPECT_EQ(form->JobInfo.StartTime, row.start);
        EXPECT_EQ(form->JobInfo.Duration, "00:00:10");
        EXPECT_EQ(Status(), "Completed.");
        QStringList expected{"save", Question};
        if (row.openFolder)
            expected << "folder: " + QFileInfo(target).path() + "/";
        EXPECT_EQ(dialogs.Log, expected);
        ExpectRingtone(target, row.kind);
    }
}

TEST_F(SaveCommand, OneJobAtATimeAndTheDialogKeepsItsChoice)
{
    const QString first = runtime.filePath("first.amr"), second = runtime.filePath("second.mp3");
    dialogs.Saves.push_back({std::nullopt});
    form->btnSaveClick();
    EXPECT_EQ(dialogs.Log, QStringList{"save"});
    EXPECT_FALSE(Converting);
    EXPECT_EQ(dialogs.LastSaveShown.Filter, "Mp3 Music File (*.mp3)|*.mp3|AMR Ringtone (*.amr)|*.amr");
    EXPECT_EQ(dialogs.LastSaveShown.DefaultExt, "mp3");
    EXPECT_EQ(dialogs.LastSaveShown.FilterIndex, 1);

    dialogs.Log.clear();
    dialogs.Saves.push_back({first, 2});
    dialogs.Questions.push_back(false);
    form->btnSaveClick();
    form->btnSaveClick(); // still converting
    EXPECT_EQ(dialogs.Log, (QStringList{"save", Busy}));
    EXPECT_TRUE(QTest::qWaitFor([] { return !Converting; }, 60000));
    EXPECT_EQ(dialogs.Log, (QStringList{"save", Busy, Question}));

    Save(second); // after the first has ended: a new job
    EXPECT_EQ(dialogs.LastSaveShown.FileName, first);
    EXPECT_EQ(dialogs.LastSaveShown.FilterIndex, 2);
    EXPECT_EQ(dialogs.Log, (QStringList{"save", Question}));
    EXPECT_GT(QFileInfo(first).size(), 0);
    EXPECT_GT(QFileInfo(second).size(), 0);
}

TEST_F(SaveCommand, EndsFailedWithItsReasonInsteadOfCompleted)
{
    struct Row {
        const char* what;
        std::function<void(SaveCommand&)> arrange;
        QString target;
        QString reason; // part of the error box's text
    };
    const Row rows[] = {
        {"no file opened", [](SaveCommand& t) { t.form->OpenedFileName.clear(); }, "a.mp3",
            "no music file is open"},
        {"start before 0",
            [](SaveCommand& t) {
                t.form->WaveRender->SelStart = -5;
                t.form->WaveRender->SelEnd = 50;
            },
            "a.mp3", "the start 00:00:-01 lies before the beginning"},
        {"zero length", [](SaveCommand& t) { t.form->WaveRender->SelEnd = 104; }, "a.amr",
            "the length 00:00:00 is zero"},
        {"existing target",
            [](SaveCommand& t) {
                QFile file(t.runtime.filePath("a.mp3"));
                ASSERT_TRUE(file.open(QIODevice::WriteOnly));
                file.write("keep");
            },
            "a.mp3", "already exists; it was left as it is."},
        {"unsafe work folder",
            [](SaveCommand&) { WorkDirProblem = "The work folder X belongs to another user."; }, "a.mp3",
            "the work folder X belongs to another user."},
        {"converter missing", [](SaveCommand&) { QFile::remove(WorkDir + "av"); }, "a.mp3",
            "the converter \"av\" is neither beside the program"},
        {"converter not startable",
            [](SaveCommand&) { QFile::setPermissions(WorkDir + "av", QFile::ReadOwner | QFile::WriteOwner); },
            "a.mp3", "the converter could not be started (Permission denied)."},
        {"upper-case extension", [](SaveCommand&) {}, "a.MP3",
            "\"a.MP3\" is neither an MP3 ringtone (\".mp3\") nor an AMR ringtone (\".amr\")"},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.what);
        form = std::make_unique<TMainForm>();
        form->OpenedFileName = song;
        for (const QString& name : QDir(runtime.path()).entryList({"a.*"}))
            QFile::remove(runtime.filePath(name));
        row.arrange(*this);
        const QString target = runtime.filePath(row.target);
        const bool existed = QFile::exists(target);
        dialogs.Log.clear();
        dialogs.Saves.push_back({target});
        form->btnSaveClick();
        EXPECT_TRUE(QTest::qWaitFor([] { return !Converting; }, 60000));
        WorkDirProblem.clear();

        EXPECT_EQ(Status(), "Failed.");
        ASSERT_EQ(dialogs.Log.size(), 2);
        EXPECT_TRUE(dialogs.Log[1].startsWith("error: The ringtone was not saved: "))
            << dialogs.Log[1].toStdString();
        EXPECT_TRUE(dialogs.Log[1].contains(row.reason)) << dialogs.Log[1].toStdString();
        if (existed)
            EXPECT_EQ(QFileInfo(target).size(), 4);
        else
            EXPECT_FALSE(QFile::exists(target));
    }
}

// True while a converter this process started is running.
bool ConverterRunning()
{
    const QString self = QString::number(::getpid());
    for (const QString& pid : QDir("/proc").entryList(QDir::Dirs)) {
        QFile stat("/proc/" + pid + "/stat");
        if (!stat.open(QIODevice::ReadOnly))
            continue;
        // "pid (name) state ppid ..."
        const QString line = QString::fromUtf8(stat.readAll());
        const qsizetype close = line.lastIndexOf(')');
        if (line.mid(line.indexOf('(') + 1, close - line.indexOf('(') - 1) == "av"
            && line.mid(close + 2).split(' ').value(1) == self)
            return true;
    }
    return false;
}

// Run by the next test in a process of its own: a user saves, and closes the
// window while the converter runs.
TEST(DISABLED_SaveCommandChild, ClosesTheWindowWhileConverting)
{
    ScriptedDialogs dialogs;
    TMainForm form;
    InstallGuiServices(&form);
    form.OpenedFileName = qEnvironmentVariable("VELUMO_TEST_SOURCE");
    form.WaveRender->SelStart = 3725 * 5;
    form.WaveRender->SelEnd = 3735 * 5;
    dialogs.Saves.push_back({qEnvironmentVariable("VELUMO_TEST_TARGET")});
    form.show();
    bool closed = false;
    QTimer watch;
    QObject::connect(&watch, &QTimer::timeout, [&] {
        if (!closed && ConverterRunning()) {
            closed = true;
            std::printf("closing while converting\n");
            std::fflush(stdout);
            form.close();
        }
    });
    watch.start(5);
    QTimer::singleShot(0, &form, [&] { form.btnSaveClick(); });
    QTimer::singleShot(60000, qApp, &QCoreApplication::quit);
    QApplication::exec();
    RemoveGuiServices();
    EXPECT_TRUE(closed);
}

TEST_F(SaveCommand, ClosingTheWindowMidConversionEndsTheProgramAndTheRingtoneStillComes)
{
    const QString target = runtime.filePath("after close.amr");
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("VELUMO_TEST_SOURCE", LongSong());
    env.insert("VELUMO_TEST_TARGET", target);
    QProcess child;
    child.setProcessEnvironment(env);
    child.start(QCoreApplication::applicationFilePath(),
        {"--gtest_also_run_disabled_tests", "--gtest_filter=DISABLED_SaveCommandChild.*"});
    ASSERT_TRUE(child.waitForFinished(60000));
    const QByteArray output = child.readAll();
    EXPECT_EQ(child.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(child.exitCode(), 0) << output.toStdString();
    EXPECT_TRUE(output.contains("closing while converting")) << output.toStdString();
    EXPECT_TRUE(QTest::qWaitFor([&] { return QFile::exists(target); }, 60000));
    ExpectRingtone(target, TKind::Amr);
}

} // namespace
