// A 30 s cut of a 4-minute MP3: from the click on Save (dialog answered by
// script) to "Completed." in the status line, against the deployed av run
// alone on the same cut (export_over_av_pct). Also the longest pause between
// two ticks of a 5 ms timer on the GUI thread while a job ran (gui_gap_max_ms).
#include "Dialogs.h"
#include "FormComponents.h"
#include "TLabel.h"
#include "TMainForm.h"
#include "WaveRender.h"
#include "appDefine.h"
#include "workThread.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QTimer>

#include <benchmark/benchmark.h>

#include <cstdlib>
#include <filesystem>

namespace {

constexpr int CutStart = 20, CutEnd = 50; // seconds

class TAnswers final : public TDialogs {
public:
    explicit TAnswers(QString target)
        : target_(std::move(target))
    {
        SetDialogs(this);
    }
    ~TAnswers() override { SetDialogs(nullptr); }
    bool ExecuteOpen(TFileDialogSettings&) override { return false; }
    bool ExecuteSave(TFileDialogSettings& dialog) override
    {
        dialog.FileName = target_;
        return true;
    }
    void Error(const QString& text) override { failure = text; }
    uint16_t ReadError(const QString&, const QString&) override { return 0; }
    void Message(const QString&) override { }
    bool Question(const QString&, const QString&) override { return false; }
    void OpenFolder(const QString&) override { }
    QString failure;

private:
    QString target_;
};

// A private work folder and the 4-minute song, for the whole run.
struct TPlace {
    std::filesystem::path dir;
    QString song;
    TPlace()
    {
        std::string templ = (std::filesystem::temp_directory_path() / "export bench XXXXXX").string();
        if (!::mkdtemp(templ.data()))
            std::abort();
        dir = templ;
        qputenv("XDG_RUNTIME_DIR", dir.c_str());
        song = QString::fromStdString((dir / "a song.mp3").string());
        if (QProcess::execute("ffmpeg",
                {"-nostdin", "-loglevel", "error", "-f", "lavfi", "-i", "sine=frequency=440:duration=240",
                    "-ac", "2", "-b:a", "128k", song})
            != 0)
            std::abort();
    }
    ~TPlace() { std::filesystem::remove_all(dir); }
    QString Target(const char* name) const { return QString::fromStdString((dir / name).string()); }
};

TPlace& Place()
{
    static TPlace place;
    return place;
}

// Each iteration cuts once with av alone and once through the Save command, in
// turn, so a busy machine weighs on both alike. The time is the export's.
void BM_SaveClickToCompleted(benchmark::State& state)
{
    TMainForm form; // deploys av
    const QString target = Place().Target("export.mp3"), alone = Place().Target("alone.mp3");
    TAnswers answers(target);
    form.OpenedFileName = Place().song;
    form.WaveRender->SelStart = CutStart * 5;
    form.WaveRender->SelEnd = CutEnd * 5;
    const auto command = ConverterCommand(MakeJobInfo(Place().song, alone, CutStart, CutEnd));

    QTimer ticks;
    ticks.setTimerType(Qt::PreciseTimer);
    QElapsedTimer sinceTick;
    qint64 longestGap = 0;
    QObject::connect(&ticks, &QTimer::timeout, [&] {
        if (Converting)
            longestGap = std::max(longestGap, sinceTick.nsecsElapsed());
        sinceTick.restart();
    });
    sinceTick.start();
    ticks.start(5);

    qint64 aloneNs = 0, exportNs = 0;
    for (auto _ : state) {
        QFile::remove(target);
        QFile::remove(alone);
        form.sb_status->SetCaption(QString());
        QElapsedTimer clock;
        clock.start();
        const TRunResult run = RunAndWait(WorkDir + command->Program, command->Arguments, WorkDir);
        const qint64 aloneTime = clock.nsecsElapsed();
        if (run.State != TRunResult::TState::Exited || run.Code != 0)
            state.SkipWithError(run.ErrorOutput.toStdString().c_str());

        sinceTick.restart(); // the run above held this thread; the export's gaps start here
        clock.start();
        form.btnSaveClick();
        while (form.sb_status->Caption() != JobText::Completed() && answers.failure.isEmpty())
            QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
        const qint64 exportTime = clock.nsecsElapsed();
        while (Converting) // the completion prompt, answered No
            QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
        if (!answers.failure.isEmpty())
            state.SkipWithError(answers.failure.toStdString().c_str());
        state.SetIterationTime(static_cast<double>(exportTime) / 1e9);
        aloneNs += aloneTime;
        exportNs += exportTime;
    }
    state.counters["av_alone_ms"]
        = benchmark::Counter(static_cast<double>(aloneNs) / 1e6, benchmark::Counter::kAvgIterations);
    state.counters["export_ms"]
        = benchmark::Counter(static_cast<double>(exportNs) / 1e6, benchmark::Counter::kAvgIterations);
    state.counters["export_over_av_pct"]
        = aloneNs > 0 ? 100.0 * static_cast<double>(exportNs - aloneNs) / static_cast<double>(aloneNs) : 0;
    state.counters["gui_gap_max_ms"] = static_cast<double>(longestGap) / 1e6;
}

BENCHMARK(BM_SaveClickToCompleted)->Unit(benchmark::kMillisecond)->UseManualTime()->Iterations(20);

} // namespace
