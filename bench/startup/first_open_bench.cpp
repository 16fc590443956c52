// The first Open after start-up against later ones, on the real main window
// in a program that, like velumo, holds no media library of its own: the
// window is shown and idles for a second (a user finding the Open button),
// then the same file is opened again and again through the Open button. The
// Open dialog answers after half a second (a user picking the file; the
// sound module loads meanwhile); each Open is timed from that answer to the
// timeline painted. Run it alone in its process: the first Open is only
// first once.
#include "Dialogs.h"
#include "FormComponents.h"
#include "GuiServices.h"
#include "TImage.h"
#include "TMainForm.h"
#include "MouseEffectImage.h"

#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

#include <benchmark/benchmark.h>

#include <algorithm>
#include <vector>

namespace {

class AnswerWith final : public TDialogs {
public:
    QString path;
    QElapsedTimer answered;
    bool ExecuteOpen(TFileDialogSettings& dialog) override
    {
        QTest::qWait(500);
        dialog.FileName = path;
        answered.start();
        return true;
    }
    bool ExecuteSave(TFileDialogSettings&) override { return false; }
    void Error(const QString& text) override { qFatal("open failed: %s", qPrintable(text)); }
    uint16_t ReadError(const QString&, const QString&) override { return 2; }
    void Message(const QString&) override { }
    bool Question(const QString&, const QString&) override { return false; }
    void OpenFolder(const QString&) override { }
};

constexpr int LaterOpens = 10;

void FirstOpenAgainstLater(benchmark::State& state)
{
    QTemporaryDir dir;
    qputenv("XDG_RUNTIME_DIR", QFile::encodeName(dir.path()));
    AnswerWith dialogs;
    dialogs.path = dir.filePath("song.mp3");
    if (QProcess::execute("ffmpeg",
            {"-nostdin", "-loglevel", "error", "-f", "lavfi", "-i", "sine=frequency=440:duration=240", "-ac", "2",
                "-c:a", "libmp3lame", "-b:a", "128k", dialogs.path})
        != 0)
        qFatal("ffmpeg could not make the test MP3");
    SetDialogs(&dialogs);
    TMainForm form;
    InstallGuiServices(&form);
    form.show();
    if (!QTest::qWaitForWindowExposed(&form))
        qFatal("the window did not show");
    QTest::qWait(1000);
    const auto timedOpen = [&form, &dialogs] {
        QTest::mouseClick(form.btnOpen, Qt::LeftButton);
        form.imgWave->repaint();
        return dialogs.answered.nsecsElapsed() / 1e6;
    };
    double first = 0;
    std::vector<double> later;
    for (auto _ : state) {
        first = timedOpen();
        for (int i = 0; i < LaterOpens; ++i)
            later.push_back(timedOpen());
        state.SetIterationTime(first / 1e3);
    }
    std::sort(later.begin(), later.end());
    const double median = later[later.size() / 2];
    state.counters["first_ms"] = first;
    state.counters["later_median_ms"] = median;
    state.counters["first_minus_later_ms"] = first - median;
    RemoveGuiServices();
    SetDialogs(nullptr);
}

} // namespace

BENCHMARK(FirstOpenAgainstLater)->Iterations(1)->UseManualTime()->Unit(benchmark::kMillisecond);
