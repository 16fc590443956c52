#include "TImage.h"

#include <QMouseEvent>
#include <QPaintEvent>
#include <QPainter>

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
    painter.drawImage(area.topLeft(), picture_, area);
}
