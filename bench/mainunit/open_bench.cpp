// The Open command on the real main window, from the click (dialog answered
// at once) to the painted timeline, for a 4-minute and a 1-hour MP3.
#include "Dialogs.h"
#include "FormComponents.h"
#include "GuiServices.h"
#include "MediaDevice.h"
#include "MouseEffectImage.h"
#include "TImage.h"
#include "TMainForm.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

#include <benchmark/benchmark.h>

namespace {

// Chooses the same file every time.
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

QString MakeMp3(const QTemporaryDir& dir, int seconds)
{
    const QString path = dir.filePath(QStringLiteral("song-%1.mp3").arg(seconds));
    if (!QFile::exists(path)
        && QProcess::execute("ffmpeg",
               {"-nostdin", "-loglevel", "error", "-f", "lavfi", "-i",
                   QStringLiteral("sine=frequency=440:duration=%1").arg(seconds), "-ac", "2", "-c:a",
                   "libmp3lame", "-b:a", "128k", path})
            != 0)
        qFatal("ffmpeg could not make the test MP3");
    return path;
}

void OpenToPaintedTimeline(benchmark::State& state)
{
    static QTemporaryDir dir;
    qputenv("XDG_RUNTIME_DIR", QFile::encodeName(dir.path()));
    AnswerWith dialogs;
    dialogs.path = MakeMp3(dir, static_cast<int>(state.range(0)));
    SetDialogs(&dialogs);
    TMainForm form;
    InstallGuiServices(&form);
    form.show();
    if (!QTest::qWaitForWindowExposed(&form))
        qFatal("the window did not show");
    for (auto _ : state) {
        QTest::mouseClick(form.btnOpen, Qt::LeftButton);
        // Painted: the exposed part of the timeline is on the window's backing store.
        form.imgWave->repaint();
    }
    state.counters["columns"] = form.imgWave->width();
    RemoveGuiServices();
    SetDialogs(nullptr);
}

} // namespace

BENCHMARK(OpenToPaintedTimeline)->Arg(240)->Arg(3600)->Unit(benchmark::kMillisecond)->UseRealTime();
