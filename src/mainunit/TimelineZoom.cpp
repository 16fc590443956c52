// Zooming the timeline: 5 (the default) to 250 columns a second. At the
// default scale the picture is the whole timeline, as ever. Zoomed in, the
// picture is only a window round the visible part, drawn anew from the
// envelope (or the stretched decorative walk) whenever the view leaves it;
// the scroll box's content still spans the whole timeline.

#include "TMainForm.h"

#include "MediaDevice.h"
#include "TImage.h"
#include "TransportRules.h"
#include "WaveEnvelope.h"
#include "WaveRender.h"

#include <QScrollArea>
#include <QScrollBar>
#include <QTimer>
#include <QWheelEvent>

#include <algorithm>
#include <cstdlib>

namespace {

// Timer2's period: once a second at the default scale, as ever; zoomed in
// the cursor moves 20 times a second.
constexpr int FollowMs = 1000;
constexpr int SmoothFollowMs = 50;

} // namespace

bool TMainForm::Zoomed() const
{
    return !Closing() && WaveRender->Scale != ColumnsPerSecond;
}

std::vector<int>& TMainForm::DefaultSamples()
{
    return Zoomed() ? defaultSamples_ : WaveRender->Samples;
}

void TMainForm::ZoomInKey()
{
    if (!Closing())
        ZoomAroundCursor(NextScale(WaveRender->Scale, +1));
}

void TMainForm::ZoomOutKey()
{
    if (!Closing())
        ZoomAroundCursor(NextScale(WaveRender->Scale, -1));
}

void TMainForm::ZoomResetKey()
{
    ZoomAroundCursor(ColumnsPerSecond);
}

void TMainForm::ZoomAroundCursor(int scale)
{
    if (Closing())
        return;
    const TWaveRender& r = *WaveRender;
    const int viewWidth = ScrollBoxWave->viewport()->width();
    const int64_t cursorX
        = WaveOrigin.x() + ColumnOfMs(r.PlayPos.Ms, r.Scale) - ScrollBoxWave->horizontalScrollBar()->value();
    const int anchorX = cursorX >= 0 && cursorX < viewWidth ? static_cast<int>(cursorX) : viewWidth / 2;
    ZoomAt(scale, r.PlayPos.Ms, anchorX);
}

bool TMainForm::TimelineWheel(QWheelEvent* event)
{
    if (!(event->modifiers() & Qt::ControlModifier) || Closing() || !ScrollBoxWave->isVisibleTo(this))
        return false;
    const int delta = event->angleDelta().y();
    if (delta == 0)
        return true;
    // One step a notch; turning back starts a new notch.
    if ((wheelZoomTurn_ > 0) != (delta > 0))
        wheelZoomTurn_ = 0;
    wheelZoomTurn_ += delta;
    if (std::abs(wheelZoomTurn_) < QWheelEvent::DefaultDeltasPerStep)
        return true;
    wheelZoomTurn_ = 0;
    const TWaveRender& r = *WaveRender;
    const int x = static_cast<int>(event->position().x());
    const int64_t column = ScrollBoxWave->horizontalScrollBar()->value() + x - WaveOrigin.x();
    ZoomAt(NextScale(r.Scale, delta > 0 ? +1 : -1), column * ColumnMs(r.Scale), x);
    return true;
}

void TMainForm::ZoomAt(int scale, int64_t anchorMs, int anchorViewX)
{
    if (Closing() || !ScrollBoxWave->isVisibleTo(this))
        return;
    TWaveRender& r = *WaveRender;
    if (scale == r.Scale
        || std::find(std::begin(TimelineScales), std::end(TimelineScales), scale) == std::end(TimelineScales))
        return;
    if (!Zoomed()) {
        // The whole-timeline picture and its samples wait for the way back.
        defaultPicture_ = std::move(imgWave->Picture());
        defaultSamples_ = std::move(r.Samples);
        imgWave->Picture() = QImage();
    }
    r.Scale = scale;
    QScrollBar* bar = ScrollBoxWave->horizontalScrollBar();
    if (!Zoomed()) {
        imgWave->Picture() = std::move(defaultPicture_);
        defaultPicture_ = QImage();
        r.Samples = std::move(defaultSamples_);
        defaultSamples_.clear();
        r.FirstColumn = 0;
        r.Width = r.WaveLength;
        window_ = {};
        imgWave->setGeometry(QRect(WaveOrigin, QSize(imgWave->Picture().width(), imgWave->height())));
        FitScrollContent();
        r.Paint();
        imgWave->PictureChanged();
    } else {
        FitScrollContent();
    }
    const int64_t left = TimelineView::ZoomedViewLeft(anchorMs, anchorViewX, scale) + WaveOrigin.x();
    bar->setValue(static_cast<int>(std::clamp<int64_t>(left, bar->minimum(), bar->maximum())));
    PlaceTimelineWindow(true);
    Timer2->setInterval(Zoomed() ? SmoothFollowMs : FollowMs);
}

void TMainForm::PlaceTimelineWindow(bool force)
{
    if (!Zoomed())
        return;
    TWaveRender& r = *WaveRender;
    const int viewWidth = std::max(ScrollBoxWave->viewport()->width(), 1);
    const int64_t viewLeft = ScrollBoxWave->horizontalScrollBar()->value() - WaveOrigin.x();
    const TimelineView::Window w = TimelineView::WindowFor(
        viewLeft, viewWidth, r.TimelineColumns(), force ? TimelineView::Window{} : window_);
    if (!force && w == window_)
        return;
    window_ = w;
    QImage& picture = imgWave->Picture();
    const int width = std::max(w.Width, 1);
    if (picture.width() != width || picture.height() != r.Height)
        picture = QImage(width, r.Height, QImage::Format_RGB32);
    r.FirstColumn = w.First;
    r.Width = w.Width;
    FillWindowSamples();
    imgWave->setGeometry(
        static_cast<int>(std::min<int64_t>(WaveOrigin.x() + w.First, QWIDGETSIZE_MAX - width)),
        WaveOrigin.y(), width, imgWave->height());
    r.Paint();
    imgWave->PictureChanged();
}

void TMainForm::FillWindowSamples()
{
    TWaveRender& r = *WaveRender;
    r.Samples.assign(static_cast<size_t>(std::max(window_.Width, 0)), 0);
    windowFilled_ = 0;
    if (WaveKind == TWaveKind::Decorative) {
        // The default scale's walk, stretched: zooming adds no detail.
        for (size_t j = 0; j < r.Samples.size(); ++j) {
            const int64_t at = (window_.First + static_cast<int64_t>(j)) * ColumnsPerSecond / r.Scale;
            if (at >= 0 && at < static_cast<int64_t>(walk_.size()))
                r.Samples[j] = walk_[static_cast<size_t>(at)];
        }
        return;
    }
    if (!SoundEnvelope)
        return;
    windowFilled_ = SoundEnvelope->FilledAt(r.Scale);
    const int64_t end = std::min<int64_t>(window_.First + window_.Width, windowFilled_);
    for (int64_t t = window_.First; t < end; ++t)
        r.Samples[static_cast<size_t>(t - window_.First)]
            = TWaveEnvelope::HalfHeight(SoundEnvelope->ValueAt(static_cast<int>(t), r.Scale), r.Height);
}

void TMainForm::KeepCursorInView()
{
    const TWaveRender& r = *WaveRender;
    QScrollBar* bar = ScrollBoxWave->horizontalScrollBar();
    const int64_t viewLeft = bar->value() - WaveOrigin.x();
    const int64_t left = TimelineView::FollowViewLeft(
        ColumnOfMs(r.PlayPos.Ms, r.Scale), viewLeft, ScrollBoxWave->viewport()->width());
    if (left != viewLeft)
        bar->setValue(
            static_cast<int>(std::clamp<int64_t>(left + WaveOrigin.x(), bar->minimum(), bar->maximum())));
}

void TMainForm::DropZoom()
{
    if (!Zoomed())
        return;
    TWaveRender& r = *WaveRender;
    r.Scale = ColumnsPerSecond;
    r.FirstColumn = 0;
    defaultPicture_ = QImage();
    defaultSamples_.clear();
    window_ = {};
    imgWave->move(WaveOrigin);
    // No move event when the picture was already there: the content is fitted here.
    FitScrollContent();
    Timer2->setInterval(FollowMs);
}
