// The first Open after start-up against later ones, on the real main window
// in a program that, like velumo, holds no media library of its own: the
// window is shown and idles for a second (a user finding the Open button),
// then the same file is opened again and again through the Open button. The
// Open dialog answers after half a second (a user picking the file; the
// sound module loads meanwhile); each Open is timed from that answer to the
// timeline painted. The first Open is only first once, so each of nine
// starts runs in a process of its own; the medians are reported.
#include "Dialogs.h"
#include "FormComponents.h"
#include "GuiServices.h"
#include "TImage.h"
#include "TMainForm.h"
#include "MouseEffectImage.h"

#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>

#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
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
constexpr int Starts = 9; // fresh processes, each with its own first Open

// One start: the first Open and the median of the later ones, ms.
std::pair<double, double> MeasureOneStart()
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
    std::vector<double> later;
    double first = 0;
    {
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
        first = timedOpen();
        for (int i = 0; i < LaterOpens; ++i)
            later.push_back(timedOpen());
        RemoveGuiServices();
    }
    SetDialogs(nullptr);
    std::sort(later.begin(), later.end());
    return {first, later[later.size() / 2]};
}

double Median(std::vector<double> v)
{
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}

void FirstOpenAgainstLater(benchmark::State& state)
{
    // A child measures one start and prints it.
    if (qEnvironmentVariableIntValue("FIRST_OPEN_CHILD") == 1) {
        const auto [first, later] = MeasureOneStart();
        std::printf("first-open %f %f\n", first, later);
        std::fflush(stdout);
        std::_Exit(0);
    }
    std::vector<double> firsts, laters, excess;
    for (auto _ : state) {
        for (int run = 0; run < Starts; ++run) {
            QProcess child;
            QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
            env.insert("FIRST_OPEN_CHILD", "1");
            child.setProcessEnvironment(env);
            child.start(QCoreApplication::applicationFilePath(), {"--benchmark_filter=FirstOpenAgainstLater"});
            if (!child.waitForFinished(120000)) {
                state.SkipWithError("a start did not finish");
                return;
            }
            const QRegularExpressionMatch m
                = QRegularExpression(R"(first-open (\S+) (\S+))").match(QString::fromUtf8(child.readAllStandardOutput()));
            if (!m.hasMatch()) {
                state.SkipWithError("a start measured nothing");
                return;
            }
            firsts.push_back(m.captured(1).toDouble());
            laters.push_back(m.captured(2).toDouble());
            excess.push_back(firsts.back() - laters.back());
        }
        state.SetIterationTime(Median(firsts) / 1e3);
    }
    state.counters["first_ms"] = Median(firsts);
    state.counters["later_median_ms"] = Median(laters);
    state.counters["first_minus_later_ms"] = Median(excess);
}

} // namespace

BENCHMARK(FirstOpenAgainstLater)->Iterations(1)->UseManualTime()->Unit(benchmark::kMillisecond);
