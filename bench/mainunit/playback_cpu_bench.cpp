// CPU the whole application uses while it plays a 128 kbit/s MP3 with its
// window shown: every thread (GUI, decoder, sound output), over 20 s of
// playback, as a share of one core. Run it on a real display (Xvfb) for the
// window's own painting: QT_QPA_PLATFORM=xcb xvfb-run ./playback_cpu_bench
#include "Dialogs.h"
#include "GuiServices.h"
#include "MediaDevice.h"
#include "MouseEffectImage.h"
#include "TMainForm.h"
#include "MediaDevice.h"
#include "WaveRender.h"

#include <QEventLoop>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <benchmark/benchmark.h>

#include <sys/resource.h>

namespace {

double CpuSeconds()
{
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return static_cast<double>(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec)
        + (usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
}

void PlayingWithTheWindowShown(benchmark::State& state)
{
    QTemporaryDir dir;
    qputenv("XDG_RUNTIME_DIR", QFile::encodeName(dir.path()));
    qputenv("XDG_CONFIG_HOME", QFile::encodeName(dir.path())); // the real sound drawn, as by default
    const QString song = dir.filePath("song.mp3");
    if (QProcess::execute("ffmpeg",
            {"-nostdin", "-loglevel", "error", "-f", "lavfi", "-i", "sine=frequency=440:duration=60", "-ac",
                "2", "-c:a", "libmp3lame", "-b:a", "128k", song})
        != 0)
        qFatal("ffmpeg could not make the test MP3");
    TMainForm form;
    InstallGuiServices(&form);
    form.show();
    if (!QTest::qWaitForWindowExposed(&form))
        qFatal("the window did not show");
    form.OpenPath(song);
    // Measured once the timeline's envelope is done.
    if (!QTest::qWaitFor([&] { return form.SoundEnvelope && form.SoundEnvelope->Finished(); }, 60000))
        qFatal("the envelope did not finish");
    const double seconds = static_cast<double>(state.range(0));
    double share = 0;
    for (auto _ : state) {
        form.WaveRender->PlayPos = 0;
        QTest::mouseClick(form.btnPlay, Qt::LeftButton);
        if (form.MediaPlayer1->Mode() != TMediaPlayer::mpPlaying)
            qFatal("playback did not start");
        const double before = CpuSeconds();
        QEventLoop loop;
        QTimer::singleShot(static_cast<int>(seconds * 1000), &loop, &QEventLoop::quit);
        loop.exec();
        share = (CpuSeconds() - before) / seconds * 100;
        QTest::mouseClick(form.MouseEffectImage1, Qt::LeftButton);
    }
    state.counters["cpu_percent_of_one_core"] = share;
    RemoveGuiServices();
}

} // namespace

BENCHMARK(PlayingWithTheWindowShown)->Arg(20)->Iterations(1)->Unit(benchmark::kSecond)->UseRealTime();
