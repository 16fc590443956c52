// The timeline draws the real sound: after a file is shown, an envelope
// worker decodes it and a GUI timer copies the columns it has finished into
// the renderer's samples, repainting only when something new arrived. The W
// key switches to the decorative walk and back; the choice is kept.

#include "SoundPicture.h"

#include "ErrorGuard.h"
#include "FileInfo.h"
#include "MediaDevice.h"
#include "TMainForm.h"
#include "WaveEnvelope.h"
#include "WaveRender.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QScrollArea>
#include <QSettings>
#include <QTimer>

#include <algorithm>
#include <stdexcept>

#include <sys/stat.h>

namespace {

const QString WaveKindKey = QStringLiteral("Timeline/Picture");
const QString SoundValue = QStringLiteral("sound");
const QString DecorativeValue = QStringLiteral("decorative");
// How often the filled part of the timeline is brought up to date, ms; a
// timeline so wide that one paint takes longer is refreshed less often, so
// painting takes at most a tenth of the GUI thread.
constexpr int EnvelopeRefreshMs = 100;
constexpr int RefreshesPerPaintTime = 10;

bool FileExists(const std::string& name)
{
    struct stat st { };
    return ::stat(name.c_str(), &st) == 0;
}

} // namespace

QSettings UserSettings()
{
    return {
        QSettings::NativeFormat, QSettings::UserScope, QStringLiteral("velumo"), QStringLiteral("velumo")};
}

TWaveKind ReadWaveKind()
{
    return UserSettings().value(WaveKindKey).toString() == DecorativeValue ? TWaveKind::Decorative
                                                                           : TWaveKind::Sound;
}

void KeepWaveKind(TWaveKind kind)
{
    QSettings settings = UserSettings();
    settings.setValue(WaveKindKey, kind == TWaveKind::Decorative ? DecorativeValue : SoundValue);
    settings.sync();
    if (settings.status() != QSettings::NoError)
        throw std::runtime_error(
            QCoreApplication::translate("MainForm", "Cannot keep the timeline choice: '%1' cannot be written")
                .arg(settings.fileName())
                .toStdString());
}

int CopyEnvelopeColumns(
    const TSoundEnvelope& envelope, int shown, std::vector<int>& samples, int pictureHeight)
{
    const int filled = std::min(envelope.Filled(), static_cast<int>(samples.size()));
    for (int j = std::max(shown, 0); j < filled; ++j)
        samples[static_cast<size_t>(j)] = TWaveEnvelope::HalfHeight(envelope.Value(j), pictureHeight);
    return std::max(shown, filled);
}

void TMainForm::ShowNewTimeline(int width)
{
    // The previous file's worker ends before its timeline changes.
    StopEnvelope();
    DropZoom();
    TWaveRender& render = *WaveRender;
    // The previous song's beats and chorus are not this one's.
    analysis_.reset();
    render.BeatTicksMs.clear();
    // As SetWaveLength, with one paint of what is chosen. The walk is made
    // whatever is shown, so the decorative sequence is the same either way.
    render.WaveLength = width;
    render.Width = width;
    render.GenerateWave();
    if (width >= 1) {
        walk_ = render.Samples;
        if (WaveKind == TWaveKind::Sound)
            render.Samples.assign(static_cast<size_t>(width), 0); // nothing decoded yet
    }
    render.Paint();
}

void TMainForm::StartEnvelope(const std::string& fileName, int width)
{
    StopEnvelope();
    if (width < 1 || Closing())
        return;
    try {
        SoundEnvelope = std::make_unique<TSoundEnvelope>(fileName, width, ColumnsPerSecond);
    } catch (const std::exception& e) {
        throw std::runtime_error(QCoreApplication::translate("MainForm",
                                     "Cannot start reading the sound for the timeline (it stays empty): ")
                                     .toStdString()
            + e.what());
    }
    envelopeFile_ = fileName;
    if (!EnvelopeTimer) {
        EnvelopeTimer = new QTimer(this);
        connect(EnvelopeTimer, &QTimer::timeout, this, [this] { Guarded([this] { EnvelopeTimerTimer(); }); });
    }
    EnvelopeTimer->start(EnvelopeRefreshMs);
}

void TMainForm::StopEnvelope()
{
    if (EnvelopeTimer)
        EnvelopeTimer->stop();
    // Joins the worker; it sees the request between two reads of the file.
    SoundEnvelope.reset();
    envelopeShown_ = 0;
}

void TMainForm::EnvelopeTimerTimer()
{
    if (Closing() || !SoundEnvelope) {
        EnvelopeTimer->stop();
        return;
    }
    // Read before the columns: once finished, every column is already filled.
    const bool finished = SoundEnvelope->Finished();
    if (!finished && !FileExists(envelopeFile_))
        SoundEnvelope->Cancel(); // what was decoded stays drawn
    if (WaveKind == TWaveKind::Sound) {
        QElapsedTimer paint;
        paint.start();
        ShowEnvelopeColumns();
        const auto ms = static_cast<int>(std::min<qint64>(paint.elapsed(), 60000));
        EnvelopeTimer->setInterval(std::max(EnvelopeRefreshMs, RefreshesPerPaintTime * ms));
    }
    if (finished) {
        EnvelopeTimer->stop();
        // Read in the same pass as the columns: ready as they are.
        SetSongAnalysis(SoundEnvelope->Analysis());
    }
}

void TMainForm::ShowEnvelopeColumns()
{
    if (!SoundEnvelope)
        return;
    const int shown
        = CopyEnvelopeColumns(*SoundEnvelope, envelopeShown_, DefaultSamples(), WaveRender->Height);
    const bool moreShown = shown != envelopeShown_;
    envelopeShown_ = shown;
    if (!Zoomed()) {
        if (moreShown)
            WaveRender->Paint();
        return;
    }
    // Zoomed in: the window again once more of it is decoded.
    if (windowFilled_ < window_.First + window_.Width
        && SoundEnvelope->FilledAt(WaveRender->Scale) > windowFilled_)
        PlaceTimelineWindow(true);
}

void TMainForm::SwitchWaveKey()
{
    if (Closing())
        return;
    WaveKind = WaveKind == TWaveKind::Sound ? TWaveKind::Decorative : TWaveKind::Sound;
    TWaveRender& render = *WaveRender;
    // Before the first file there is no timeline to repaint.
    if (ScrollBoxWave->isVisibleTo(this) && render.WaveLength >= 1) {
        if (WaveKind == TWaveKind::Decorative) {
            DefaultSamples() = walk_;
            if (!Zoomed())
                render.Paint();
        } else {
            DefaultSamples().assign(static_cast<size_t>(render.WaveLength), 0);
            envelopeShown_ = 0;
            ShowEnvelopeColumns();
            if (envelopeShown_ == 0 && !Zoomed())
                render.Paint(); // nothing decoded yet: an empty band
        }
        PlaceTimelineWindow(true);
    }
    KeepWaveKind(WaveKind);
}
