// The zoomed timeline of a 1-hour song: repainting the drawn window at 250
// columns a second, and a zoom step on the real window from the key to the
// repainted picture. The envelope's memory for that hour is reported beside
// them (envelope_bytes).
#include "Dialogs.h"
#include "FormComponents.h"
#include "GuiServices.h"
#include "MediaDevice.h"
#include "MouseEffectImage.h"
#include "TCanvas.h"
#include "TImage.h"
#include "TMainForm.h"
#include "WaveEnvelope.h"
#include "WaveRender.h"

#include <QFile>
#include <QProcess>
#include <QScrollArea>
#include <QTemporaryDir>
#include <QTest>

#include <benchmark/benchmark.h>

namespace {

constexpr int Hour = 3600;

double EnvelopeBytes()
{
    // No such file: the worker ends at once, the values are allocated all the same.
    TWaveEnvelope envelope("/nonexistent/velumo-bench.mp3", Hour * ColumnsPerSecond, ColumnsPerSecond);
    return static_cast<double>(envelope.MemoryBytes());
}

void RepaintZoomedWindow(benchmark::State& state)
{
    // The view and the window round it, as the window draws them.
    const int width = 361 + 2 * TimelineView::WindowMargin;
    QImage image(width, 152, QImage::Format_RGB32);
    TCanvas canvas(image);
    TWaveRender render(canvas, width, 152);
    render.WaveLength = Hour * ColumnsPerSecond;
    render.Scale = 250;
    render.FirstColumn = 1800 * 250;
    render.Width = width;
    render.Samples.resize(static_cast<size_t>(width));
    for (int j = 0; j < width; ++j)
        render.Samples[static_cast<size_t>(j)] = (j * 37) % 60;
    render.SelStart = TTimePos::Exact(1800500);
    render.SelEnd = TTimePos::Exact(1802000);
    render.PlayPos = TTimePos::Exact(1801000);
    for (auto _ : state) {
        render.Paint();
        benchmark::DoNotOptimize(image.constBits());
    }
    state.counters["envelope_bytes"] = EnvelopeBytes();
}

class AnswerWith final : public TDialogs {
public:
    QString path;
    bool ExecuteOpen(TFileDialogSettings& dialog) override
    {
        dialog.FileName = path;
        return true;
    }
    bool ExecuteSave(TFileDialogSettings&) override { return false; }
    void Error(const QString& text) override { qFatal("open failed: %s", qPrintable(text)); }
    uint16_t ReadError(const QString&, const QString&) override { return 2; }
    void Message(const QString&) override { }
    bool Question(const QString&, const QString&) override { return false; }
    void OpenFolder(const QString&) override { }
};

void ZoomStepToRepaintedPicture(benchmark::State& state)
{
    static QTemporaryDir dir;
    qputenv("XDG_RUNTIME_DIR", QFile::encodeName(dir.path()));
    AnswerWith dialogs;
    dialogs.path = dir.filePath(QStringLiteral("hour.mp3"));
    if (!QFile::exists(dialogs.path)
        && QProcess::execute("ffmpeg",
               {"-nostdin", "-loglevel", "error", "-f", "lavfi", "-i", "sine=frequency=440:duration=3600",
                   "-ar", "8000", "-ac", "1", "-c:a", "libmp3lame", "-b:a", "16k", dialogs.path})
            != 0)
        qFatal("ffmpeg could not make the test MP3");
    SetDialogs(&dialogs);
    TMainForm form;
    InstallGuiServices(&form);
    form.show();
    if (!QTest::qWaitForWindowExposed(&form))
        qFatal("the window did not show");
    QTest::mouseClick(form.btnOpen, Qt::LeftButton);
    // The whole envelope, so every step draws decoded sound.
    if (!QTest::qWaitFor([&] { return form.SoundEnvelope && form.SoundEnvelope->Finished(); }, 600000))
        qFatal("the envelope did not finish");
    form.WaveRender->PlayPos = 1800 * ColumnsPerSecond;
    int step = 0;
    for (auto _ : state) {
        // Through the finer scales and back: 10, 25, 50, 100, 250, 100, ...
        const int scales[] = {10, 25, 50, 100, 250, 100, 50, 25};
        form.ZoomAt(scales[step++ % 8], form.WaveRender->PlayPos.Ms, 180);
        form.imgWave->repaint();
    }
    state.counters["envelope_bytes"] = EnvelopeBytes();
    RemoveGuiServices();
    SetDialogs(nullptr);
}

} // namespace

BENCHMARK(RepaintZoomedWindow)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(ZoomStepToRepaintedPicture)->Unit(benchmark::kMillisecond)->UseRealTime();
