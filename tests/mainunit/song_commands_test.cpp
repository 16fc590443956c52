// velumo --beats and velumo --suggest, run as a user runs them, on MP3 files
// encoded here from music the tests make.
#include "SynthDrums.h"
#include "SynthSongs.h"
#include "TestMedia.h"

#include <QDir>
#include <QProcess>
#include <QStringList>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <fstream>

namespace {

struct TRun {
    int ExitCode = -1;
    QByteArray Out, Err;
};

TRun RunVelumo(const QStringList& arguments, const QProcessEnvironment& extra = {})
{
    QProcess program;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    for (const QString& name : extra.keys())
        environment.insert(name, extra.value(name));
    environment.remove(QStringLiteral("DISPLAY"));
    environment.remove(QStringLiteral("WAYLAND_DISPLAY"));
    environment.insert(QStringLiteral("VELUMO_MEDIA_MODULE"), QStringLiteral(VELUMO_MEDIA_MODULE));
    program.setProcessEnvironment(environment);
    program.start(QStringLiteral(VELUMO_PROGRAM), arguments);
    if (!program.waitForFinished(120000) || program.exitStatus() != QProcess::NormalExit)
        return {};
    return {program.exitCode(), program.readAllStandardOutput(), program.readAllStandardError()};
}

// Mono samples at `rate` as an MP3 at 44.1 kHz, 128 kbit/s.
bool EncodeMp3(const std::vector<float>& samples, int rate, const std::string& mp3)
{
    const std::string wav = mp3 + ".wav";
    testmedia::WriteWav(wav, rate, 1, static_cast<int64_t>(samples.size()), [&](int64_t i, int) {
        return static_cast<int16_t>(
            std::lround(std::clamp(samples[static_cast<size_t>(i)], -1.0F, 1.0F) * 32000));
    });
    const std::string command
        = "ffmpeg -nostdin -loglevel error -y -i '" + wav + "' -ar 44100 -b:a 128k '" + mp3 + "'";
    return std::system(command.c_str()) == 0;
}

std::vector<double> Numbers(const QByteArray& line)
{
    std::vector<double> out;
    for (const QByteArray& word : line.split(' ')) {
        bool ok = false;
        out.push_back(word.toDouble(&ok));
        if (!ok)
            return {};
    }
    return out;
}

class SongCommands : public testing::Test {
protected:
    static void SetUpTestSuite()
    {
        Dir = new QTemporaryDir;
        const std::string dir = Dir->path().toStdString();
        Groove = drums::Groove({.Bpm = 128, .Seconds = 32, .Seed = 7});
        ASSERT_TRUE(EncodeMp3(Groove.Samples, drums::kRate, dir + "/groove.mp3"));

        // 150 BPM, a bar 1.6 s: intro, verse, chorus, bridge, the chorus twice,
        // outro (38 s).
        using synth::TSection;
        const auto maj = [](int root) { return synth::TChord{root, false}; };
        const auto min = [](int root) { return synth::TChord{root, true}; };
        const TSection intro{'I', 2, {maj(5), maj(7)}, 1, 0, 0, 0.5F, false};
        const TSection verse{'V', 4, {min(9), min(4), maj(5), maj(7)}, 11, 0, 2, 0.6F, true};
        const TSection chorus{'C', 4, {maj(0), maj(7), min(2), maj(5)}, 22, 1, 1, 1.0F, true};
        const TSection bridge{'B', 4, {maj(10), maj(5), min(2), min(4)}, 33, 3, 3, 0.7F, false};
        const TSection outro{'O', 2, {maj(0), maj(5)}, 44, 0, 0, 0.4F, false};
        Song = synth::Render({intro, verse, chorus, bridge, chorus, chorus, outro}, 150);
        ASSERT_TRUE(EncodeMp3(Song.Samples, Song.Rate, dir + "/song.mp3"));

        // An MP3's name over bytes that are no sound.
        std::ofstream damaged(dir + "/damaged.mp3", std::ios::binary);
        for (int i = 0; i < 20000; ++i)
            damaged.put(static_cast<char>((i * 7919) % 251));
    }
    static void TearDownTestSuite()
    {
        delete Dir;
        Dir = nullptr;
    }
    static QString Path(const char* name) { return Dir->path() + u'/' + QString::fromUtf8(name); }

    static inline QTemporaryDir* Dir = nullptr;
    static inline drums::TSong Groove;
    static inline synth::TSong Song;
};

} // namespace

// The tempo on the first line, then the beats the groove was written on.
TEST_F(SongCommands, BeatsPrintsTheTempoThenTheBeats)
{
    const TRun run = RunVelumo({QStringLiteral("--beats"), Path("groove.mp3")});
    ASSERT_EQ(run.ExitCode, 0) << run.Err.toStdString();
    EXPECT_TRUE(run.Err.isEmpty()) << run.Err.toStdString();
    ASSERT_TRUE(run.Out.endsWith('\n'));
    const QList<QByteArray> lines = run.Out.chopped(1).split('\n');
    ASSERT_GT(lines.size(), 10);
    bool ok = false;
    const double tempo = lines.front().toDouble(&ok);
    ASSERT_TRUE(ok) << lines.front().toStdString();
    EXPECT_NEAR(tempo, 128, 128 * 0.02);

    std::vector<double> beats;
    for (qsizetype i = 1; i < lines.size(); ++i) {
        beats.push_back(lines[i].toDouble(&ok));
        ASSERT_TRUE(ok) << lines[i].toStdString();
        if (beats.size() > 1) {
            EXPECT_GT(beats.back(), beats[beats.size() - 2]);
        }
    }
    // F-measure with a +-70 ms window, each written beat matched once.
    const std::vector<double>& truth = Groove.Beats;
    std::vector<bool> used(truth.size(), false);
    int hits = 0;
    for (const double b : beats)
        for (size_t j = 0; j < truth.size(); ++j)
            if (!used[j] && std::abs(truth[j] - b) <= 0.07) {
                used[j] = true;
                ++hits;
                break;
            }
    const double precision = static_cast<double>(hits) / static_cast<double>(beats.size());
    const double recall = static_cast<double>(hits) / static_cast<double>(truth.size());
    EXPECT_GE(2 * precision * recall / (precision + recall), 0.9);
}

// START END on one line: at a chorus start, as long as asked (30 s at first,
// cut at the song's end).
TEST_F(SongCommands, SuggestPrintsTheChorusAsLongAsAsked)
{
    const auto choruses = Song.Sections('C');
    ASSERT_EQ(choruses.size(), 3U);
    struct TCase {
        QStringList extra;
        double length;
    };
    const TCase cases[] = {
        {{QStringLiteral("--length"), QStringLiteral("6")}, 6},
        {{QStringLiteral("--length=7.5")}, 7.5},
        {{}, 30},
    };
    for (const TCase& c : cases) {
        const TRun run = RunVelumo(QStringList{QStringLiteral("--suggest"), Path("song.mp3")} + c.extra);
        const std::string what = c.extra.join(' ').toStdString();
        ASSERT_EQ(run.ExitCode, 0) << what << run.Err.toStdString();
        EXPECT_TRUE(run.Err.isEmpty()) << what;
        ASSERT_TRUE(run.Out.endsWith('\n')) << what;
        ASSERT_EQ(run.Out.count('\n'), 1) << what;
        const std::vector<double> pick = Numbers(run.Out.chopped(1));
        ASSERT_EQ(pick.size(), 2U) << what << run.Out.toStdString();
        EXPECT_NEAR(pick[1] - pick[0], std::min(c.length, Song.Duration() - pick[0]), 0.1) << what;
        if (c.length < 8) {
            EXPECT_TRUE(std::any_of(choruses.begin(), choruses.end(),
                [&](const auto& chorus) { return std::abs(chorus.first - pick[0]) <= 1.0; }))
                << what << ": " << run.Out.toStdString();
        }
    }
}

// Failures: one line on stderr, nothing on stdout; 1 for a file or a number
// that will not do, 2 for a command line that is not understood.
TEST_F(SongCommands, FailuresGiveOneLineAndTheirExitCode)
{
    const QString song = Path("song.mp3");
    struct TCase {
        QStringList arguments;
        int exitCode;
        QByteArray err; // start of the one line
    };
    const TCase cases[] = {
        {{QStringLiteral("--beats"), Path("missing.mp3")}, 1, "velumo: Cannot open file "},
        {{QStringLiteral("--suggest"), Path("missing.mp3")}, 1, "velumo: Cannot open file "},
        {{QStringLiteral("--beats"), Path("damaged.mp3")}, 1, "velumo: "},
        {{QStringLiteral("--beats"), Dir->path()}, 1, "velumo: "},
        {{QStringLiteral("--suggest"), song, QStringLiteral("--length"), QStringLiteral("abc")}, 1,
            "velumo: Not a length in seconds: 'abc'."},
        {{QStringLiteral("--suggest"), song, QStringLiteral("--length"), QStringLiteral("-5")}, 1,
            "velumo: Not a length in seconds: '-5'."},
        {{QStringLiteral("--suggest"), song, QStringLiteral("--length"), QStringLiteral("0")}, 1,
            "velumo: Not a length in seconds: '0'."},
        {{QStringLiteral("--suggest"), song, QStringLiteral("--length"), QStringLiteral("nan")}, 1,
            "velumo: Not a length in seconds: 'nan'."},
        {{QStringLiteral("--beats")}, 2, "velumo: --beats needs one FILE. Try 'velumo --help'."},
        {{QStringLiteral("--suggest"), song, song}, 2, "velumo: --suggest needs one FILE."},
        {{QStringLiteral("--beats"), QStringLiteral("--suggest"), song}, 2, "velumo: Only one of"},
        {{QStringLiteral("--length"), QStringLiteral("5"), song}, 2, "velumo: --length goes with --suggest."},
        {{QStringLiteral("--beats"), song, QStringLiteral("--length"), QStringLiteral("5")}, 2,
            "velumo: --length goes with --suggest."},
        {{QStringLiteral("--suggest"), song, QStringLiteral("--length")}, 2, "velumo: Missing value after"},
    };
    for (const TCase& c : cases) {
        const std::string what = c.arguments.join(' ').toStdString();
        const TRun run = RunVelumo(c.arguments);
        EXPECT_EQ(run.ExitCode, c.exitCode) << what;
        EXPECT_TRUE(run.Out.isEmpty()) << what;
        EXPECT_TRUE(run.Err.startsWith(c.err)) << what << ": " << run.Err.toStdString();
        EXPECT_EQ(run.Err.count('\n'), 1) << what << ": " << run.Err.toStdString();
        EXPECT_TRUE(run.Err.endsWith('\n')) << what;
    }
}

// The settings and the work folder of a user of its own, so the choices are
// the plain ones and the converter is written afresh.
QProcessEnvironment FreshUser(const QTemporaryDir& home)
{
    QProcessEnvironment environment;
    environment.insert(QStringLiteral("XDG_CONFIG_HOME"), home.filePath(QStringLiteral("config")));
    environment.insert(QStringLiteral("XDG_RUNTIME_DIR"), home.path());
    return environment;
}

double ProbedSeconds(const QString& file)
{
    QProcess probe;
    probe.start(QStringLiteral("ffprobe"),
        {QStringLiteral("-v"), QStringLiteral("error"), QStringLiteral("-show_entries"),
            QStringLiteral("format=duration"), QStringLiteral("-of"), QStringLiteral("csv=p=0"), file});
    if (!probe.waitForFinished(30000))
        return -1;
    return probe.readAllStandardOutput().trimmed().toDouble();
}

// Without times: the ringtone --suggest names, saved, and said so in one line.
TEST_F(SongCommands, SaveWithoutTimesSavesTheSuggestion)
{
    const TRun suggest = RunVelumo({QStringLiteral("--suggest"), Path("song.mp3")});
    ASSERT_EQ(suggest.ExitCode, 0) << suggest.Err.toStdString();
    const std::vector<double> pick = Numbers(suggest.Out.chopped(1));
    ASSERT_EQ(pick.size(), 2U);

    QTemporaryDir home;
    const QString target = home.filePath(QStringLiteral("chorus tone.ogg"));
    const TRun save = RunVelumo({QStringLiteral("--save"), target, Path("song.mp3")}, FreshUser(home));
    ASSERT_EQ(save.ExitCode, 0) << save.Err.toStdString();
    EXPECT_TRUE(save.Err.isEmpty()) << save.Err.toStdString();
    const QList<QByteArray> words = suggest.Out.chopped(1).split(' ');
    EXPECT_EQ(QString::fromLocal8Bit(save.Out),
        QStringLiteral("Saved \"%1\" from %2 to %3 seconds.\n")
            .arg(target, QString::fromUtf8(words[0]), QString::fromUtf8(words[1])));
    EXPECT_NEAR(ProbedSeconds(target), pick[1] - pick[0], 0.1);
}

// Failures: one line on stderr, nothing on stdout, and no file in the
// target's folder; 1 for a file, a number or a target that will not do, 2 for
// a command line that is not understood.
TEST_F(SongCommands, SaveFailuresWriteNothing)
{
    const QString song = Path("song.mp3");
    const QString s = QStringLiteral("--save");
    const QString from = QStringLiteral("--from");
    const QString to = QStringLiteral("--to");
    struct TCase {
        QStringList arguments; // "T" stands for the target
        int exitCode;
        QByteArray err; // start of the one line
    };
    const TCase cases[] = {
        {{s, "T.mp3", Path("missing.mp3")}, 1, "velumo: Cannot open file "},
        {{s, "T.mp3", Path("missing.mp3"), from, "1", to, "5"}, 1, "velumo: The ringtone was not saved: "},
        {{s, "T.mp3", Path("damaged.mp3")}, 1, "velumo: "},
        {{s, "T.amr", Path("damaged.mp3"), from, "1", to, "5"}, 1, "velumo: The ringtone was not saved: "},
        {{s, "T.mp3", Dir->path(), from, "1", to, "5"}, 1, "velumo: The ringtone was not saved: "},
        {{s, "T.mp3", song, from, "abc", to, "5"}, 1, "velumo: Not a time in seconds: 'abc'."},
        {{s, "T.mp3", song, from, "-1", to, "5"}, 1, "velumo: Not a time in seconds: '-1'."},
        {{s, "T.mp3", song, from, "1", to, "inf"}, 1, "velumo: Not a time in seconds: 'inf'."},
        {{s, "T.mp3", song, from, "5", to, "5"}, 1, "velumo: --to (5) must come after --from (5)."},
        {{s, "T.mp3", song, from, "100", to, "110"}, 1, "velumo: The ringtone was not saved: "},
        {{s, "T.wav", song}, 1, "velumo: \"T.wav\" is not a ringtone type"},
        {{s, "T.MP3", song, from, "1", to, "5"}, 1, "velumo: \"T.MP3\" is not a ringtone type"},
        {{s, "T.mp3"}, 2, "velumo: --save needs one FILE after its TARGET. Try 'velumo --help'."},
        {{s, "T.mp3", song, song}, 2, "velumo: --save needs one FILE"},
        {{s, "T.mp3", song, from, "1"}, 2, "velumo: --from and --to go together."},
        {{s, "T.mp3", song, to, "5"}, 2, "velumo: --from and --to go together."},
        {{s, "T.mp3", song, QStringLiteral("--beats")}, 2, "velumo: --save goes with none of"},
        {{s, "T.mp3", song, QStringLiteral("--length"), "5"}, 2, "velumo: --save goes with none of"},
        {{from, "1", to, "5", song}, 2, "velumo: --from goes with --save."},
        {{song, s}, 2, "velumo: Missing value after"},
    };
    for (const TCase& c : cases) {
        QTemporaryDir home;
        const QString targets = home.filePath(QStringLiteral("targets"));
        ASSERT_TRUE(QDir().mkpath(targets));
        QStringList arguments = c.arguments;
        for (QString& a : arguments)
            if (a.startsWith(QStringLiteral("T.")))
                a = targets + u'/' + a;
        const std::string what = c.arguments.join(' ').toStdString();
        const TRun run = RunVelumo(arguments, FreshUser(home));
        EXPECT_EQ(run.ExitCode, c.exitCode) << what;
        EXPECT_TRUE(run.Out.isEmpty()) << what;
        EXPECT_TRUE(run.Err.startsWith(c.err)) << what << ": " << run.Err.toStdString();
        EXPECT_EQ(run.Err.count('\n'), 1) << what << ": " << run.Err.toStdString();
        EXPECT_TRUE(run.Err.endsWith('\n')) << what;
        EXPECT_TRUE(QDir(targets).isEmpty(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot))
            << what << ": "
            << QDir(targets).entryList(QDir::AllEntries | QDir::Hidden).join(' ').toStdString();
    }
}

TEST(SongCommandsHelp, HelpListsTheSongCommands)
{
    const TRun run = RunVelumo({QStringLiteral("--help")});
    ASSERT_EQ(run.ExitCode, 0);
    for (const char* option :
        {"--beats", "--suggest", "--length <SECONDS>", "--save <TARGET>", "--from <SECONDS>"})
        EXPECT_TRUE(run.Out.contains(option)) << option;
}
