// The Save command and the export job, through the real main window, the
// deployed converter and the installed ffmpeg.

#include "../appDefine/WithoutFileOverride.h"
#include "GuiServices.h"
#include "ScriptedDialogs.h"
#include "TLabel.h"
#include "TMainForm.h"
#include "WaveRender.h"
#include "appDefine.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

#include <dirent.h>
#include <memory>
#include <sys/stat.h>

namespace {

const QString Question = "question: Confirm|Completed. Do you want to open the target directory?";
const QString Busy = "message: A ringtone is being saved. Please wait until it is finished.";

QString MakeSong(const QString& target, const QString& lavfi, const QStringList& encoding)
{
    const QStringList head{"-nostdin", "-loglevel", "error", "-f", "lavfi", "-i", lavfi};
    return QProcess::execute("ffmpeg", head + encoding + QStringList{target}) == 0 ? target : QString();
}

enum class TKind { Mp3, Amr };

// 10 s within 0.1 s, in the format the export promises.
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
    EXPECT_EQ(stream["codec_name"].toString(), kind == TKind::Mp3 ? "mp3" : "amr_nb");
    EXPECT_EQ(stream["channels"].toInt(), kind == TKind::Mp3 ? 2 : 1);
    if (kind == TKind::Mp3) {
        EXPECT_EQ(stream["bit_rate"].toString(), "64000");
        EXPECT_NEAR(json["format"]["duration"].toString().toDouble(), 10.0, 0.1);
        return;
    }
    EXPECT_EQ(stream["sample_rate"].toString(), "8000");
    // "#!AMR\n", then 20 ms frames; 0x3C heads the 32-byte frame of the 12.2 kbit/s mode.
    QFile amr(file);
    ASSERT_TRUE(amr.open(QIODevice::ReadOnly));
    const QByteArray bytes = amr.readAll();
    ASSERT_TRUE(bytes.startsWith("#!AMR\n"));
    EXPECT_EQ((bytes.size() - 6) % 32, 0);
    qsizetype frames = 0;
    for (qsizetype at = 6; at < bytes.size() && bytes[at] == '\x3c'; at += 32)
        ++frames;
    EXPECT_EQ(frames, (bytes.size() - 6) / 32);
    EXPECT_NEAR(frames * 0.020, 10.0, 0.1);
}

class SaveCommand : public ::testing::Test {
public:
    static void SetUpTestSuite()
    {
        media = new QTemporaryDir;
        song = MakeSong(
            media->filePath("a song.mp3"), "sine=duration=40", {"-ac", "2", "-ar", "44100", "-b:a", "128k"});
    }
    static void TearDownTestSuite() { delete media; }
    // Over an hour long; made on first use.
    static QString LongSong()
    {
        static const QString path = MakeSong(media->filePath("a long song.mp3"),
            "sine=duration=3740:sample_rate=8000", {"-ac", "1", "-b:a", "8k"});
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

    // Save with the dialogs answered, then the job to its end.
    void Save(const QString& target, std::optional<bool> openFolder = false)
    {
        dialogs.Log.clear();
        dialogs.Saves.push_back({target});
        if (openFolder)
            dialogs.Questions.push_back(*openFolder);
        form->btnSaveClick();
        EXPECT_TRUE(QTest::qWaitFor([] { return !Converting; }, 60000));
    }
    QString Status() const { return form->sb_status->Caption(); }

    static inline QTemporaryDir* media = nullptr;
    static inline QString song;
    QTemporaryDir runtime;
    ScriptedDialogs dialogs;
    std::unique_ptr<TMainForm> form;
};

TEST_F(SaveCommand, CutsTheSelectionIntoRingtonesWhileTheWindowStaysLive)
{
    const struct {
        int selStart, selEnd; // columns; 0, 0: the window's own selection
        bool longSong;
        QString target;
        bool openFolder;
        QString start;
        TKind kind;
    } rows[] = {
        {0, 0, false, "ring tone.mp3", true, "00:00:20", TKind::Mp3},
        {104, 151, false, "ring tone.amr", false, "00:00:20", TKind::Amr},
        {3725 * 5, 3735 * 5, true, "late.amr", true, "01:02:05", TKind::Amr},
        // Over 512 characters in all, with blanks, quotes, '&', '$' and a leading '-'.
        {50, 100, false,
            "odd folder/" + QString(200, 'x') + "/" + QString(200, 'y') + "/-ring \"tone\" & $HOME's.mp3",
            false, "00:00:10", TKind::Mp3},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.target.toStdString());
        if (row.selStart != 0) {
            form->WaveRender->SelStart = row.selStart;
            form->WaveRender->SelEnd = row.selEnd;
        }
        form->OpenedFileName = row.longSong ? LongSong() : song;
        const QString target = runtime.filePath(row.target);
        ASSERT_TRUE(QDir().mkpath(QFileInfo(target).path()));

        // A 10 ms timer of the window's thread ticks while the job runs: a
        // save that blocked the window would let it tick only before or after.
        QTimer timer;
        int ticksWhileConverting = 0;
        QObject::connect(&timer, &QTimer::timeout, [&] { ticksWhileConverting += Converting ? 1 : 0; });
        timer.start(10);
        Save(target, row.openFolder);
        EXPECT_GE(ticksWhileConverting, 3);

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

TEST_F(SaveCommand, RingtonesForTodaysPhones)
{
    const struct {
        int selStart, selEnd; // columns
        QString target;
        QString codec, container;
        double seconds;
        bool phoneLimit; // the question tells that the phone plays 40 s
    } rows[] = {
        {100, 150, "ring.m4r", "aac", "mp4", 10, false},
        {100, 150, "ring.ogg", "vorbis", "ogg", 10, false},
        {100, 325, "long.m4r", "aac", "mp4", 45, true},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.target.toStdString());
        form->OpenedFileName = row.seconds > 20 ? LongSong() : song;
        form->WaveRender->SelStart = row.selStart;
        form->WaveRender->SelEnd = row.selEnd;
        const QString target = runtime.filePath(row.target);
        Save(target, false);
        EXPECT_EQ(Status(), "Completed.");
        EXPECT_EQ(dialogs.Log,
            (QStringList{"save",
                row.phoneLimit ? Question + " Note that the phone plays at most 40 seconds of a ringtone."
                               : Question}));
        QProcess probe;
        probe.start("ffprobe",
            {"-v", "error", "-show_entries",
                "stream=codec_name,sample_rate,channels:format=duration,format_name", "-of", "json", target});
        ASSERT_TRUE(probe.waitForFinished(30000));
        const QJsonObject json = QJsonDocument::fromJson(probe.readAllStandardOutput()).object();
        const QJsonObject stream = json["streams"][0].toObject();
        EXPECT_EQ(stream["codec_name"].toString(), row.codec);
        EXPECT_EQ(stream["channels"].toInt(), 2);
        EXPECT_EQ(stream["sample_rate"].toString(), "44100");
        EXPECT_TRUE(json["format"]["format_name"].toString().contains(row.container));
        EXPECT_NEAR(json["format"]["duration"].toString().toDouble(), row.seconds, 0.1);
    }
    // Refused as for MP3: an existing target is left as it is.
    const QString existing = runtime.filePath("ring.ogg");
    const QByteArray before = [&] {
        QFile f(existing);
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }();
    Save(existing, std::nullopt);
    EXPECT_EQ(Status(), "Failed.");
    EXPECT_EQ(dialogs.Entries("error").size(), 1);
    QFile after(existing);
    ASSERT_TRUE(after.open(QIODevice::ReadOnly));
    EXPECT_EQ(after.readAll(), before);
}

TEST_F(SaveCommand, RunsOneJobAtATimeAndTheDialogKeepsItsChoice)
{
    const QString first = runtime.filePath("first.amr"), second = runtime.filePath("second.mp3");
    dialogs.Saves.push_back({std::nullopt});
    form->btnSaveClick(); // cancelled
    EXPECT_EQ(dialogs.Log, QStringList{"save"});
    EXPECT_FALSE(Converting);
    EXPECT_EQ(dialogs.LastSaveShown.Filter,
        "Mp3 Music File (*.mp3)|*.mp3|AMR Ringtone (*.amr)|*.amr|iPhone Ringtone (*.m4r)|*.m4r|"
        "Android Ringtone (*.ogg)|*.ogg");
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

    Save(second); // the first has ended: a new job
    EXPECT_EQ(dialogs.LastSaveShown.FileName, first);
    EXPECT_EQ(dialogs.LastSaveShown.FilterIndex, 2);
    EXPECT_EQ(dialogs.Log, (QStringList{"save", Question}));
    EXPECT_GT(QFileInfo(first).size(), 0);
    EXPECT_GT(QFileInfo(second).size(), 0);
}

TEST_F(SaveCommand, EndsFailedWithItsReasonInsteadOfCompleted)
{
    const struct {
        QString source, target;
        int selStart, selEnd;
        std::function<void()> arrange;
        QString reason; // part of the error box's text
    } rows[] = {
        {"", "a.mp3", 100, 150, {}, "no music file is open"},
        {song, "a.mp3", -5, 50, {}, "the start 00:00:-01 lies before the beginning"},
        {song, "a.amr", 100, 104, {}, "the length 00:00:00 is zero"},
        {song, "a.mp3", 100, 150,
            [&] {
                QFile file(runtime.filePath("a.mp3"));
                file.open(QIODevice::WriteOnly);
                file.write("keep");
            },
            "already exists; it was left as it is."},
        {song, "a.mp3", 100, 150, [] { WorkDirProblem = "The work folder X belongs to another user."; },
            "the work folder X belongs to another user."},
        {song, "a.mp3", 100, 150, [] { ::chmod(QFile::encodeName(WorkDir).constData(), 0); },
            "the work folder " + runtime.filePath("DravikMp3RingTone/")
                + " cannot be read (Permission denied)."},
        {song, "a.mp3", 100, 150, [] { QFile::remove(WorkDir + "av"); },
            "the converter \"av\" is neither beside the program"},
        {song, "a.mp3", 100, 150, [] { QFile::setPermissions(WorkDir + "av", QFile::ReadOwner); },
            "the converter could not be started (Permission denied)."},
        {song, "a.MP3", 100, 150, {},
            "\"a.MP3\" is neither an MP3 ringtone (\".mp3\") nor an AMR ringtone (\".amr\")"},
    };
    const TWithoutFileOverride asAUser;
    for (const auto& row : rows) {
        SCOPED_TRACE(row.reason.toStdString());
        form = std::make_unique<TMainForm>(); // deploys the converter afresh
        form->OpenedFileName = row.source;
        form->WaveRender->SelStart = row.selStart;
        form->WaveRender->SelEnd = row.selEnd;
        QFile::remove(runtime.filePath("a.mp3"));
        if (row.arrange)
            row.arrange();
        const QString target = runtime.filePath(row.target);
        const bool existed = QFile::exists(target);
        Save(target, std::nullopt);
        WorkDirProblem.clear();
        ::chmod(QFile::encodeName(WorkDir).constData(), 0700);

        EXPECT_EQ(Status(), "Failed.");
        ASSERT_EQ(dialogs.Log.size(), 2);
        EXPECT_TRUE(dialogs.Log[1].startsWith("error: The ringtone was not saved: "))
            << dialogs.Log[1].toStdString();
        EXPECT_TRUE(dialogs.Log[1].contains(row.reason)) << dialogs.Log[1].toStdString();
        EXPECT_EQ(QFile::exists(target), existed);
        EXPECT_EQ(QFileInfo(target).size(), existed ? 4 : 0); // an existing one is left as it was
    }
}

// The names in a folder, as the file system holds them.
QList<QByteArray> Entries(const QString& folder)
{
    QList<QByteArray> names;
    const std::unique_ptr<DIR, int (*)(DIR*)> dir(
        ::opendir(QFile::encodeName(folder).constData()), ::closedir);
    while (const dirent* entry = dir ? ::readdir(dir.get()) : nullptr) {
        if (entry->d_name[0] != '.')
            names << QByteArray(entry->d_name);
    }
    std::sort(names.begin(), names.end());
    return names;
}

TEST_F(SaveCommand, NamesInLatin1AreReadAndWrittenUnderTheirOwnBytes)
{
    QTemporaryDir out;
    const QByteArray folder = QFile::encodeName(out.path()) + "/";
    ASSERT_TRUE(QFile::copy(song, out.filePath("made.mp3")));
    ASSERT_EQ(::rename((folder + "made.mp3").constData(), (folder + "chanson \xe9t\xe9.mp3").constData()), 0);
    form->OpenedFileName = FileNameFromBytes(folder + "chanson \xe9t\xe9.mp3");
    form->WaveRender->SelStart = 50;
    form->WaveRender->SelEnd = 100;
    Save(FileNameFromBytes(folder + "r\xe9.mp3"));

    EXPECT_EQ(Status(), "Completed.");
    EXPECT_EQ(dialogs.Log, (QStringList{"save", Question}));
    EXPECT_EQ(Entries(out.path()), (QList<QByteArray>{"chanson \xe9t\xe9.mp3", "r\xe9.mp3"}));
    // Probed under a plain name: the probe's own arguments would not keep the bytes.
    ASSERT_EQ(::rename((folder + "r\xe9.mp3").constData(), (folder + "probe.mp3").constData()), 0);
    ExpectRingtone(out.filePath("probe.mp3"), TKind::Mp3);
}

// Run by the next test in a process of its own, as the application runs: a
// user saves and closes the window as soon as the conversion begins.
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
    QTimer watch;
    QObject::connect(&watch, &QTimer::timeout, [&] {
        if (form.sb_status->Caption().startsWith("Generating") && form.isVisible())
            form.close();
    });
    watch.start(1);
    QTimer::singleShot(0, &form, [&] { form.btnSaveClick(); });
    QTimer::singleShot(60000, qApp, [] { QCoreApplication::exit(1); });
    EXPECT_EQ(QApplication::exec(), 0);
    RemoveGuiServices();
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
    EXPECT_EQ(child.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(child.exitCode(), 0) << child.readAll().toStdString();
    EXPECT_TRUE(QTest::qWaitFor([&] { return QFile::exists(target); }, 60000));
    ExpectRingtone(target, TKind::Amr);
}

} // namespace

// "velumo --save" with the window's selection and the choices kept in the
// settings writes the very file the window's Save writes.
TEST_F(SaveCommand, TheCommandLineSavesTheFileTheWindowSaves)
{
    const TRingtoneChoices choices{1000, 2000, true};
    form->Choices = choices;
    QTemporaryDir user;
    const QString settings = user.filePath("config/velumo/velumo.conf");
    ASSERT_TRUE(QDir().mkpath(QFileInfo(settings).path()));
    QFile file(settings);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("[Ringtone]\nFadeInMs=1000\nFadeOutMs=2000\nMatchLoudness=true\n");
    file.close();

    for (const char* name : {"ring.mp3", "ring.amr"}) {
        SCOPED_TRACE(name);
        form->WaveRender->SelStart = 26; // columns: 5.2 s
        form->WaveRender->SelEnd = 61; // 12.2 s
        ASSERT_TRUE(QDir().mkpath(runtime.filePath("window")));
        const QString byWindow = runtime.filePath(QStringLiteral("window/") + name);
        Save(byWindow);
        ASSERT_EQ(Status(), "Completed.");
        ASSERT_NE(form->JobInfo.Shape.GainDb, 0.0); // the loudness was measured

        const QString byCommand = user.filePath(name);
        QProcess program;
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert("XDG_CONFIG_HOME", user.filePath("config"));
        environment.insert("XDG_RUNTIME_DIR", user.path());
        environment.remove("DISPLAY");
        environment.remove("WAYLAND_DISPLAY");
        program.setProcessEnvironment(environment);
        program.start(VELUMO_PROGRAM,
            {"--save", byCommand, song, "--from", QString::number(form->JobInfo.StartMs / 1000.0), "--to",
                QString::number((form->JobInfo.StartMs + form->JobInfo.LengthMs) / 1000.0)});
        ASSERT_TRUE(program.waitForFinished(60000));
        EXPECT_EQ(program.exitCode(), 0) << program.readAllStandardError().toStdString();
        EXPECT_EQ(program.readAllStandardOutput().toStdString(),
            QString("Saved \"%1\" from %2 to %3 seconds.\n")
                .arg(byCommand, QString::number(form->JobInfo.StartMs / 1000.0, 'f', 3),
                    QString::number((form->JobInfo.StartMs + form->JobInfo.LengthMs) / 1000.0, 'f', 3))
                .toStdString());

        QFile a(byWindow), b(byCommand);
        ASSERT_TRUE(a.open(QIODevice::ReadOnly));
        ASSERT_TRUE(b.open(QIODevice::ReadOnly));
        const QByteArray windowBytes = a.readAll();
        EXPECT_GT(windowBytes.size(), 1000);
        EXPECT_TRUE(windowBytes == b.readAll());
    }
}
