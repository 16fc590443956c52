#include "TImage.h"

#include "SkinPictures.h"

#include <QMouseEvent>
#include <QPaintEvent>
#include <QPainter>

#include <cmath>

namespace {

bool IsWhole(qreal factor)
{
    return std::abs(factor - std::round(factor)) < 1e-6;
}

} // namespace

TImage::TImage(QWidget* parent)
    : TControl(parent)
{
}

void TImage::SetPicture(const QImage& image)
{
    picture_ = image;
    PictureChanged();
}

void TImage::PictureChanged()
{
    FitToPicture();
    update();
}

void TImage::PictureChanged(const QRect& area)
{
    update(area);
}

void TImage::SetAutoSize(bool on)
{
    autoSize_ = on;
    FitToPicture();
}

void TImage::FitToPicture()
{
    if (autoSize_ && !picture_.isNull() && size() != picture_.size())
        resize(picture_.size());
}

void TImage::paintEvent(QPaintEvent* event)
{
    if (picture_.isNull())
        return;
    // Only the exposed part: the timeline picture can be hundreds of MB wide.
    const QRect area = event->rect() & picture_.rect();
    if (area.isEmpty())
        return;
    QPainter painter(this);
    const qreal ratio = devicePixelRatioF();
    if (ratio == 1) {
        painter.drawImage(area.topLeft(), picture_, area);
        return;
    }
    // A screen with more device pixels than pixels. A skin picture that has a
    // copy at twice the size is drawn from it (exactly at 2x, resampled at
    // 1.25 or 1.5). Any other picture, the timeline above all, is scaled
    // without blending neighbouring pixels, so one-pixel lines keep one colour.
    const QImage sharp = Skin::SharpCopy(picture_);
    if (!sharp.isNull()) {
        painter.setRenderHint(QPainter::SmoothPixmapTransform, !IsWhole(ratio / 2));
        painter.drawImage(QRectF(area), sharp, QRectF(area.topLeft() * 2, area.size() * 2));
    } else {
        painter.drawImage(QRectF(area), picture_, QRectF(area));
    }
}
